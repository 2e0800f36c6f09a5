"""Times silent installations of the benchmark corpora under Wine: a quox installer
(best compression) against NSIS 3 installers of the same files, zlib (NSIS's default,
each file compressed on its own) and lzma solid. Every installer runs in a fresh prefix
whose Wine services have been started by a first small program, so that the time is
the installation's own; the installed files are compared with the corpus. Called by
bench/install/run.sh."""

import filecmp
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "wine"))
import bench  # noqa: E402

QUOX = os.path.join(bench.BUILD_DIR, "builder", "quox")
TARGET = r"C:\Installed"  # not C:\bench, the bench's own folder
ROUNDS = int(os.environ.get("QUOX_BENCH_ROUNDS", "1"))


def dpkg_directory(package, suffix):
    listing = subprocess.run(["dpkg", "-L", package], check=True, capture_output=True, text=True).stdout
    return next(line for line in listing.splitlines() if line.endswith(suffix))


def corpora():
    """(name, source directory, the corpus's files relative to it)."""
    headers = dpkg_directory("mingw-w64-common", "/mingw-w64/include")
    dlls = dpkg_directory("libwine:i386", "/i386-windows")
    out = []
    for name, directory, wanted in (("headers", headers, lambda n: True),
                                    ("dlls", dlls, lambda n: n[:1] in "abc")):
        files = []
        for here, _, names in os.walk(directory):
            for n in names:
                relative = os.path.relpath(os.path.join(here, n), directory)
                if wanted(relative) and os.path.isfile(os.path.join(here, n)):
                    files.append(relative)
        out.append((name, directory, sorted(files)))
    return out


def build_quox(work, name, directory):
    manifest = os.path.join(work, name + ".toml")
    pattern = "**" if name == "headers" else "[abc]*"
    with open(manifest, "w") as f:
        f.write('[product]\nname = "%s bench"\n[directories]\ndefault = "C:\\\\Installed"\n'
                '[files.all]\nsource = "%s/%s"\n' % (name, directory, pattern))
    output = os.path.join(work, name + "-quox.exe")
    subprocess.run([QUOX, "build", manifest, "-o", output], check=True, stdout=subprocess.DEVNULL)
    return output


def build_nsis(work, name, directory, compressor):
    script = os.path.join(work, "%s-%s.nsi" % (name, compressor.split()[-1]))
    output = os.path.join(work, "%s-nsis-%s.exe" % (name, compressor.split()[-1]))
    files = ('File /r "%s/*"' % directory if name == "headers"
             else "\n".join('File "%s/%s*"' % (directory, c) for c in "abc"))
    with open(script, "w") as f:
        f.write('Unicode false\nName "%s bench"\nOutFile "%s"\nSetCompressor %s\nInstallDir "C:\\Installed"\n'
                'SilentInstall silent\nRequestExecutionLevel user\n'
                'Section\n  SetOutPath "$INSTDIR"\n  %s\nSectionEnd\n' % (name, output, compressor, files))
    subprocess.run(["makensis", "-V1", script], check=True, stdout=subprocess.DEVNULL)
    return output


def timed_install(installer, args, directory, files):
    """Seconds of one silent installation in a fresh, warmed prefix; checks the files."""
    with bench.Prefix() as prefix:
        # Wine's services and desktop start with the prefix's first window: not the
        # installer's time (quox shows its progress window also when silent, NSIS none).
        prefix.warm_up()
        program = prefix.put(installer, "C:\\setup\\" + os.path.basename(installer))
        start = time.monotonic()
        prefix.run_console(program, args, timeout=3600)
        seconds = time.monotonic() - start
        installed = prefix.host_path(TARGET)
        _, mismatch, errors = filecmp.cmpfiles(directory, installed, files, shallow=False)
        if mismatch or errors:
            raise AssertionError("%s: %d files differ, %d missing" % (installer, len(mismatch), len(errors)))
        return seconds


def main():
    work = tempfile.mkdtemp(prefix="quox-install-bench-", dir=bench.BENCH_DIR)
    try:
        print(bench.machine_note())
        print(subprocess.run(["uname", "-srm"], capture_output=True, text=True).stdout.strip())
        print(subprocess.run(["makensis", "-VERSION"], capture_output=True, text=True).stdout.strip(), "(makensis)")
        print("stub: %d bytes" % os.path.getsize(bench.STUB))
        print("%-8s %-10s %6s %12s %12s %9s" % ("corpus", "installer", "files", "bytes", "installer", "seconds"))
        results = {}
        for name, directory, files in corpora():
            size = sum(os.path.getsize(os.path.join(directory, f)) for f in files)
            installers = [
                ("quox", build_quox(work, name, directory), ["/a", "/d:" + TARGET]),
                ("nsis-zlib", build_nsis(work, name, directory, "zlib"), ["/S", "/D=" + TARGET]),
                ("nsis-lzma", build_nsis(work, name, directory, "/SOLID lzma"), ["/S", "/D=" + TARGET]),
            ]
            for label, installer, args in installers:
                times = [timed_install(installer, args, directory, files) for _ in range(ROUNDS)]
                results[(name, label)] = (min(times), os.path.getsize(installer))
                print("%-8s %-10s %6d %12d %12d %9.1f" % (name, label, len(files), size,
                                                          os.path.getsize(installer), min(times)), flush=True)
        for name in ("headers", "dlls"):
            quox, zlib = results[(name, "quox")], results[(name, "nsis-zlib")]
            print("%s: quox / NSIS zlib time %.2f (target <= 0.90), size %.2f" % (name, quox[0] / zlib[0],
                                                                                 quox[1] / zlib[1]))
    finally:
        shutil.rmtree(work, ignore_errors=True)
        bench._Display.stop()


if __name__ == "__main__":
    main()
