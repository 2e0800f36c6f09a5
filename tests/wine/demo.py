"""Runs the stub as a person would, in a fresh Wine prefix, and prints what it shows.
Called by scripts/demo.sh."""

import os
import sys

import bench


def show(title, result):
    print("== %s" % title)
    for box in result.boxes:
        print("-- message box \"%s\" [%s]" % (box.caption, " ".join(box.buttons)))
        print(box.text.replace("\r\n", "\n").replace("\r", "\n"))
    print("-- exit code %s%s\n" % (result.exit_code, " (timed out)" if result.timed_out else ""))


def main():
    stub = bench.STUB
    print("stub: %s (%d bytes)\n" % (stub, os.path.getsize(stub)))
    package = os.path.join(bench.BUILD_DIR, "hello-setup.exe")
    with bench.Prefix() as prefix:
        show("quoxstub.exe /bogus  (an unknown switch)", prefix.run(stub, "/bogus"))
        if os.path.exists(package):
            show("hello-setup.exe  (the example package)", prefix.run(package))
    bench._Display.stop()


if __name__ == "__main__":
    sys.exit(main())
