"""Times the uninstallation of the two benchmark corpora under Wine, quox's uninstaller
beside NSIS's, in one prefix and one run.

NSIS: makensis builds an installer that installs the corpus and writes an uninstaller
whose section deletes every file and removes every directory one by one (the way an
NSIS script removes what it installed without deleting the whole folder); the installer
runs silently (/S), then the uninstaller is timed with /S _?=<directory>, which runs it
in place and waits for it (without _?= it copies itself away and returns at once).

quox: `quox build` makes an installer of the corpus (UninstallSupport, no compression,
like NSIS's SetCompress off), which installs it in automatic mode (/a) and leaves its
records (Uninstall.DAT with every file and directory, the Uninstall key's values, the
uninstaller copy); the uninstaller is timed with the entry's QuietUninstallString until
its process ends (its self-removal script runs after that, as NSIS's own cleanup does).

Both are started through the bench's dialog watcher, so the start-up cost is the same.
Each is timed `--runs` times (default 3) on a freshly installed copy; the table gives the
median and the fastest.

    QUOX_BUILD_DIR=<build> python3 bench/uninstall/uninstall_bench.py [--runs N] [--corpus headers|dlls]
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "wine"))
import bench  # noqa: E402
import installed  # noqa: E402

QUOX = os.path.join(bench.BUILD_DIR, "builder", "quox")
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"


def corpus_files(name):
    """(host root, sorted relative paths) of a corpus."""
    if name == "headers":
        root = subprocess.run(["sh", "-c", "dpkg -L mingw-w64-common | grep -m1 '/mingw-w64/include$'"],
                              capture_output=True, text=True, check=True).stdout.strip()
        paths = []
        for directory, _, files in os.walk(root):
            for f in files:
                paths.append(os.path.relpath(os.path.join(directory, f), root))
    else:
        root = subprocess.run(["sh", "-c", "dpkg -L libwine:i386 | grep -m1 '/i386-windows$'"],
                              capture_output=True, text=True, check=True).stdout.strip()
        paths = [f for f in os.listdir(root) if f[:1] in "abc" and os.path.isfile(os.path.join(root, f))]
    return root, sorted(paths)


def windows(relative):
    return relative.replace("/", "\\")


def directories(paths):
    """Every directory below the root that holds a file, parents before children."""
    found = set()
    for path in paths:
        parts = path.split("/")[:-1]
        for i in range(1, len(parts) + 1):
            found.add("/".join(parts[:i]))
    return sorted(found)


def nsis_installer(work, corpus, root, paths, install_dir):
    script = os.path.join(work, corpus + ".nsi")
    lines = [
        'Name "Bench %s"' % corpus,
        'OutFile "%s"' % os.path.join(work, corpus + "-nsis.exe"),
        'InstallDir "%s"' % install_dir,
        "RequestExecutionLevel admin",
        "SetCompress off",
        'Section',
        '  SetOutPath "$INSTDIR"',
        '  File /r "%s/*"' % root,
        '  WriteUninstaller "$INSTDIR\\uninst.exe"',
        '  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NSIS %s" '
        '"UninstallString" "$INSTDIR\\uninst.exe"' % corpus,
        'SectionEnd',
        'Section "Uninstall"',
    ]
    lines += ['  Delete "$INSTDIR\\%s"' % windows(p) for p in paths]
    lines += ['  RMDir "$INSTDIR\\%s"' % windows(d) for d in reversed(directories(paths))]
    lines += [
        '  Delete "$INSTDIR\\uninst.exe"',
        '  RMDir "$INSTDIR"',
        '  DeleteRegKey HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NSIS %s"' % corpus,
        'SectionEnd',
    ]
    with open(script, "w") as f:
        f.write("\n".join(lines) + "\n")
    subprocess.run(["makensis", "-V1", script], check=True)
    return os.path.join(work, corpus + "-nsis.exe")


def quox_installer(work, corpus, root, install_dir):
    manifest = os.path.join(work, corpus + ".toml")
    pattern = "**" if corpus == "headers" else "[abc]*"
    with open(manifest, "w") as f:
        f.write('[product]\nname = "Quox %s"\nflags = ["UninstallSupport"]\n[directories]\ndefault = "%s"\n'
                '[package]\ncompression = "none"\n[files.all]\nsource = "%s/%s"\n'
                % (corpus, install_dir.replace("\\", "\\\\"), root, pattern))
    output = os.path.join(work, corpus + "-quox.exe")
    subprocess.run([QUOX, "build", manifest, "-o", output], check=True, stdout=subprocess.DEVNULL)
    return output


def timed(run):
    start = time.monotonic()
    result = run()
    seconds = time.monotonic() - start
    if result.exit_code is None or result.timed_out:
        raise RuntimeError("run did not end: %r" % result)
    return seconds, result


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--corpus", choices=("headers", "dlls"), action="append")
    args = parser.parse_args()
    print("[machine] " + bench.machine_note())
    print("stub: %d bytes" % os.path.getsize(bench.STUB))
    work = tempfile.mkdtemp(prefix="uninstall-bench-")
    rows = []
    try:
        with bench.Prefix() as p:
            p.warm_up()
            for corpus in args.corpus or ("headers", "dlls"):
                root, paths = corpus_files(corpus)
                size = sum(os.path.getsize(os.path.join(root, f)) for f in paths)
                nsis_dir = "C:\\Bench\\%s-nsis" % corpus
                quox_dir = "C:\\Bench\\%s-quox" % corpus
                setup = nsis_installer(work, corpus, root, paths, nsis_dir)
                p.put(setup, r"C:\Bench\setup-%s.exe" % corpus)
                p.put(quox_installer(work, corpus, root, quox_dir), r"C:\Bench\quox-%s.exe" % corpus)
                times = {"NSIS": [], "quox": []}
                for _ in range(args.runs):
                    installed_ok = p.run(r"C:\Bench\setup-%s.exe" % corpus, "/S", timeout=3600)
                    assert installed_ok.exit_code == 0, installed_ok
                    assert p.exists(nsis_dir + "\\" + windows(paths[-1]))
                    p.warm_up()
                    seconds, result = timed(lambda: p.run(nsis_dir + "\\uninst.exe", "/S _?=" + nsis_dir,
                                                          timeout=3600))
                    assert not p.exists(nsis_dir + "\\" + windows(paths[-1])), "NSIS left the files"
                    times["NSIS"].append(seconds)

                    installed_ok = p.run(r"C:\Bench\quox-%s.exe" % corpus, "/a", timeout=3600)
                    assert installed.messages(installed_ok) == [], installed_ok
                    assert p.exists(quox_dir + "\\" + windows(paths[-1]))
                    quiet = p.registry().value(UNINSTALL + "\\Quox " + corpus, "QuietUninstallString")
                    # Reading the registry stopped Wine: its services start again before timing.
                    p.warm_up()
                    seconds, result = timed(lambda: p.run(quiet, timeout=3600))
                    assert installed.messages(result) == [], result
                    assert not p.exists(quox_dir + "\\" + windows(paths[-1])), "quox left the files"
                    assert installed.wait_until_gone(p, [installed.SELF_REMOVAL_SCRIPT, quox_dir], 600)
                    times["quox"].append(seconds)
                for name in ("NSIS", "quox"):
                    rows.append((corpus, len(paths), size, name, statistics.median(times[name]), min(times[name])))
                    print("%-8s %5d files %11d bytes  %-5s median %7.2f s  fastest %7.2f s" % rows[-1], flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)
        bench._Display.stop()
    print()
    print("| corpus | files | bytes | uninstaller | median s | fastest s |")
    print("|---|---:|---:|---|---:|---:|")
    for row in rows:
        print("| %s | %d | %d | %s | %.2f | %.2f |" % row)


if __name__ == "__main__":
    main()
