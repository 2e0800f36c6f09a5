"""Runs scripts of servicesdriver.exe (replacement at restart, restart, launcher, file
versions, shortcuts, type libraries) and checks their result lines as rows."""

import bench

SCRIPT = r"C:\bench\services-script.txt"


def shown(text):
    """The driver's form of a text: in brackets, bytes outside printable ASCII as \\xNN."""
    return "[" + "".join(c if 32 <= ord(c) <= 126 else "\\x%02X" % ord(c) for c in text) + "]"


def run(test, prefix, commands):
    """Runs the commands in one driver process; returns one result per command."""
    prefix.write(SCRIPT, "\r\n".join(commands) + "\r\n")
    code, output = prefix.run_console(bench.driver("servicesdriver"), [SCRIPT], timeout=180)
    lines = [line for line in output.split("\n") if line]
    test.assertEqual(code, 0, output)
    test.assertEqual(len(lines), len(commands), output)
    return [line.partition(": ")[2] for line in lines]


def check_rows(test, prefix, rows):
    """A row is (name, command, expected): the exact result, a predicate on it, or None
    for a step whose result does not matter. Every row is checked as a subtest; the
    results come back for further checks."""
    results = run(test, prefix, [row[1] for row in rows])
    for (name, command, expected), result in zip(rows, results):
        if expected is None:
            continue
        with test.subTest(name):
            if callable(expected):
                test.assertTrue(expected(result), "%s -> %s" % (command, result))
            else:
                test.assertEqual(result, expected, command)
    return dict(zip((row[0] for row in rows), results))
