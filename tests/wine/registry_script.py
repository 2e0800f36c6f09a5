"""Runs registrydriver.exe in a prefix: a script of commands, one a line, and their
results, one per command (the "folders" command gives one result per folder)."""

import bench

SCRIPT = r"C:\test\registry-script.txt"


def run(prefix, commands, test=None):
    """Runs the commands in one driver process; returns the results in order, as the
    text after "<command>: " of each output line."""
    prefix.write(SCRIPT, "\r\n".join(commands) + "\r\n")
    code, output = prefix.run_console(bench.driver("registrydriver"), [SCRIPT])
    lines = [line for line in output.split("\n") if line]
    if test is not None:
        test.assertEqual(code, 0, output)
    results = []
    for line in lines:
        _, _, result = line.partition(": ")
        results.append(result)
    return results


def run_watched(prefix, commands):
    """Runs the commands under the dialog watcher; returns the bench's RunResult."""
    prefix.write(SCRIPT, "\r\n".join(commands) + "\r\n")
    return prefix.run(bench.driver("registrydriver"), SCRIPT)


def text(value):
    """The driver's form of a text: in brackets, bytes outside printable ASCII as \\xNN."""
    out = []
    for c in value:
        out.append(c if 32 <= ord(c) <= 126 else "\\x%02X" % ord(c))
    return "[" + "".join(out) + "]"
