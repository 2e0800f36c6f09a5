"""The main job's Wine part, called by scripts/demo.sh: installs the example package in
a fresh Wine prefix, once in automatic mode and once with its dialogs answered as a
person would (each dialog's default button: Yes, I Accept, OK), and prints what each
showed and wrote - the files with their sizes and dates, and the registry values it
set. The automatic installation is then uninstalled again with the command its entry
in the list of installed programs names (QuietUninstallString), and the demo shows what
is left of it compared with the prefix before the installation."""

import datetime
import os
import sys

import bench
import installed
import snapshot
import winreg_text

INSTALL_DIR = r"C:\Program Files\Quox Examples\Hello Notes"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hello Notes"


def show_run(title, result):
    print("== %s" % title)
    for box in result.boxes:
        if box.text:
            print("-- message box \"%s\" [%s]" % (box.caption, " ".join(box.buttons)))
            print("   " + box.text.replace("\r\n", "\n").replace("\r", "\n").replace("\n", "\n   "))
        else:
            print("-- dialog \"%s\" [%s]" % (box.caption, " ".join(box.buttons)))
    print("-- exit code %s%s" % (result.exit_code, " (timed out)" if result.timed_out else ""))


def show_files(prefix, directory):
    root = prefix.host_path(directory)
    print("-- files in %s" % directory)
    for here, _, names in sorted(os.walk(root)):
        for name in sorted(names):
            path = os.path.join(here, name)
            stamp = datetime.datetime.fromtimestamp(os.path.getmtime(path)).strftime("%Y-%m-%d %H:%M:%S")
            relative = os.path.relpath(path, root).replace(os.sep, "\\")
            print("   %-28s %8d bytes  %s" % (relative, os.path.getsize(path), stamp))


def registry_snapshot(prefix):
    prefix.registry()  # stops the server, which saves the hives
    found = {}
    for hive, root in (("system.reg", "HKLM"), ("user.reg", "HKCU")):
        for lower, (name, values) in winreg_text._parse(os.path.join(prefix.root, hive)).items():
            if lower.startswith(snapshot.NOISE_KEYS):
                continue
            for value_name, kind, value in values.values():
                found[(root + "\\" + name, value_name)] = value
    return found


def show_registry(before, after):
    changed = sorted(key for key in after if before.get(key) != after[key])
    print("-- registry values set: %d" % len(changed))
    for key, name in changed:
        print("   %s\\%s = %r" % (key, name or "(default)", after[(key, name)]))


def main():
    stub = bench.STUB
    print("stub: %s (%d bytes)\n" % (stub, os.path.getsize(stub)))
    package = os.path.join(bench.BUILD_DIR, "hello-setup.exe")
    with bench.Prefix() as prefix:
        show_run("quoxstub.exe /bogus  (an unknown switch)", prefix.run(bench.STUB, "/bogus"))
        print()
        if not os.path.exists(package):
            print("no example package at %s" % package)
            return 1
        before = registry_snapshot(prefix)
        prefix.put(package, r"C:\test\hello-setup.exe")
        whole_before = snapshot.take(prefix)
        show_run("hello-setup.exe /a  (automatic mode)",
                 prefix.run(r"C:\test\hello-setup.exe", "/a", timeout=bench.scaled(120)))
        show_files(prefix, INSTALL_DIR)
        show_registry(before, registry_snapshot(prefix))
        print()
        quiet = prefix.registry().value(UNINSTALL_KEY, "QuietUninstallString")
        if not quiet:
            print("no QuietUninstallString under %s" % UNINSTALL_KEY)
            return 1
        show_run("%s  (the entry's QuietUninstallString)" % quiet, prefix.run(quiet, timeout=bench.scaled(120)))
        gone = installed.wait_until_gone(prefix, [INSTALL_DIR, installed.SELF_REMOVAL_SCRIPT])
        print("-- the uninstaller removed itself and %s: %s" % (INSTALL_DIR, "yes" if gone else "NO"))
        left = snapshot.differences(whole_before, snapshot.take(prefix))
        print("-- changes to drive C: and the registry since before the installation: %d" % len(left))
        for line in left:
            print("   " + line)
    print()
    with bench.Prefix() as prefix:
        before = registry_snapshot(prefix)
        show_run("hello-setup.exe  (its dialogs answered with their default buttons)",
                 prefix.run(package, timeout=bench.scaled(180)))
        show_files(prefix, INSTALL_DIR)
        show_registry(before, registry_snapshot(prefix))
    bench._Display.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
