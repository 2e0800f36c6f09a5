"""The end of an installation under Wine, with packages made by `quox build`: the
uninstall record it leaves (the uninstaller copy, the product's Uninstall entry,
Uninstall.DAT) and the round trip through that uninstaller back to the prefix as it
was; Install.LOG and the closing messages; the restart question and the program started
after the installation; a file in use at uninstall on a product the installer made; the
uninstaller's self-removal."""

import os
import re
import shutil
import tempfile
import time

import bench
import package
import snapshot
from installed import SELF_REMOVAL_SCRIPT, wait_until_gone

HELLO = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples", "hello")
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
# The example's uninstaller date: 2024-05-01 12:00 local time (Wine's is the host's).
MAY_2024 = time.mktime((2024, 5, 1, 12, 0, 0, 0, 0, -1))
# ProductFlags bits.
UNINSTALL_SUPPORT = 0x4
SAVE_BACKGROUND_BITMAP = 0x8000
SHOW_VERSION_COMPARISON = 0x10 << 32


# Answers by button text: the progress dialog, which the watcher may count among the
# dialogs to answer or not depending on when it sees it, has none of these buttons, so an
# answer it takes presses nothing and the next one still fits the next box.
YES, NO, OK = "button Yes", "button No", "button OK"
PERSON = [YES, "button OK/No", "button OK/No"]


def messages(result):
    """The message boxes a run showed (the progress dialog has no text of its own)."""
    return [(box.caption, box.text) for box in result.boxes if box.text]


class Work:
    def __init__(self):
        self.path = tempfile.mkdtemp(prefix="quox-finish-", dir=bench.BENCH_DIR)

    def package(self, name, manifest, files=None):
        directory = os.path.join(self.path, name)
        os.makedirs(directory, exist_ok=True)
        return package.make(directory, manifest, files or {"a.txt": b"a"}, name + ".exe")

    def close(self):
        shutil.rmtree(self.path, ignore_errors=True)


def uninstall_command(prefix, name, value="QuietUninstallString"):
    return prefix.registry().value(UNINSTALL + "\\" + name, value)


class RoundTrip(bench.WineTestCase):
    """The example installed in automatic mode and uninstalled with the command its entry
    names: afterwards the prefix is as it was, files and registry alike."""

    # Kept on purpose: the publisher's folder under Program Files, made on the way to the
    # install directory. The installer lists only the directories it installs into, so
    # that a folder other products of the publisher may share is never taken away.
    KEPT = ["+ Program Files\\Quox Examples"]

    def round_trip(self, version):
        install_dir = r"C:\Program Files\Quox Examples\Hello Notes"
        uninstaller = install_dir + r"\Uninstall Hello.exe"
        with bench.Prefix(version) as p:
            setup = package.build(os.path.join(HELLO, "manifest.toml"), os.path.join(p.root, "hello.exe"))
            p.put(setup, r"C:\test\hello.exe")
            p.run(bench.STUB, "/bogus")  # the bench's own files are in place before the snapshot
            before = snapshot.take(p)

            result = p.run(r"C:\test\hello.exe", "/a", timeout=bench.scaled(120))
            self.assertEqual((result.exit_code, messages(result)), (1, []))
            # The uninstaller is the plain stub, with the package's date for it.
            self.assertEqual(p.read(uninstaller), open(bench.STUB, "rb").read())
            self.assertEqual(os.path.getmtime(p.host_path(uninstaller)), MAY_2024)
            self.assertTrue(p.exists(install_dir + r"\Uninstall.DAT"))
            self.assertFalse(p.exists(install_dir + r"\Install.LOG"))
            quiet = uninstall_command(p, "Hello Notes")
            self.assertEqual(quiet, '"%s" /a /u:"Hello Notes"' % uninstaller)

            result = p.run(quiet, timeout=bench.scaled(120))
            self.assertEqual((result.exit_code, messages(result)), (1, []))
            self.assertTrue(wait_until_gone(p, [uninstaller, install_dir, SELF_REMOVAL_SCRIPT]),
                            "the self-removal script did not finish")
            self.assertEqual(snapshot.differences(before, snapshot.take(p)), self.KEPT)

    def test_round_trip_win98(self):
        self.round_trip("win98")

    def test_round_trip_winxp(self):
        self.round_trip("winxp")


class UninstallEntry(bench.SharedPrefixTestCase):
    maxDiff = None

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.work = Work()

    @classmethod
    def tearDownClass(cls):
        cls.work.close()
        super().tearDownClass()

    def test_values_of_a_versioned_product_then_a_reinstall_without_version(self):
        p = self.prefix
        manifest = r'''
[product]
name = "Entry Test"
%s
publisher = "Quox Tests"
registry_key = "Quox Tests\\Entry"
uninstall_name = "QuoxEntryTest"
flags = ["UninstallSupport", "ShowVersionComparison", "SaveBackgroundBitmap"]
[directories]
default = "C:\\Entry Test"
uninstall_subdir = "Remover"
start_menu = "Quox Tests\\Entry"
[uninstaller]
file_name = "Remove Entry.exe"
[look]
title_color = "#102030"
title_shadow = 3
title_position = "bottom-right"
top_color = "#405060"
bottom_color = "#405060"
picture = "picture.bmp"
picture_size = 60
[package]
compression = "none"
[scripts]
uninstall_first = "echo first"
[files.a]
source = "a.txt"
[[uninstall_values]]
name = "HelpLink"
value = "http://example.invalid/help"
[[uninstall_values]]
name = "Readme"
type = "expand"
value = "%%InstallDir%%\\readme.txt"
[[uninstall_values]]
name = "EstimatedSize"
type = "number"
value = 42
[[uninstall_values]]
name = "NoModify"
type = "number"
value = 0
[strings.English]
0 = "Entry Test Title"
'''
        expected = {
            "UninstallString": r'"C:\Entry Test\Remover\Remove Entry.exe" /u:"QuoxEntryTest"',
            "QuietUninstallString": r'"C:\Entry Test\Remover\Remove Entry.exe" /a /u:"QuoxEntryTest"',
            "DisplayName": "Entry Test",
            "InstallSource": r"C:\test\entry1.exe",
            "DisplayVersion": "2.15b",
            "Publisher": "Quox Tests",
            "VersionMajor": 2,
            "VersionMinor": 15,
            "ProductRegistry": r"Quox Tests\Entry",
            "ProductStartMenu": r"Quox Tests\Entry",
            # The publisher's folder under Common Files, the default shared directory.
            "SharedPath": r"C:\Program Files\Common Files\Quox Tests",
            # The whole 64-bit word as one decimal number, the high half included.
            "ProductFlags": str(SHOW_VERSION_COMPARISON | SAVE_BACKGROUND_BITMAP | UNINSTALL_SUPPORT),
            "UninstallBatch1": "echo first",
            "UninstallSubdir": "Remover",
            "DisplayTitle": "Entry Test Title",
            "TitleColor": 0x302010,
            "TopColor": 0x605040,
            # One colour: no BottomColor.
            "MonoColor": 1,
            "TitleShadow": 3,
            "TitlePosition": 6,
            "BitmapSize": 60,
            "HelpLink": "http://example.invalid/help",
            "Readme": r"C:\Entry Test\readme.txt",
            "EstimatedSize": 42,
            "InstallLocation": r"C:\Entry Test",
        }
        key = UNINSTALL + r"\QuoxEntryTest"
        with open(os.path.join(HELLO, "background.bmp"), "rb") as f:
            picture = f.read()
        files = {"a.txt": b"a", "picture.bmp": picture}
        with self.subTest("version 2.15b"):
            setup = self.work.package("entry1", manifest % 'version = "2.15b"', files)
            result = p.run(setup, "/a", timeout=bench.scaled(60))
            self.assertEqual((result.exit_code, messages(result)), (1, []))
            registry = p.registry()
            values = registry.values(key)
            self.assertRegex(values.pop("InstallDate"), r"^\d{1,2}/\d{1,2}/\d\d \d{1,2}:\d\d:\d\d[ap]$")
            self.assertEqual(values, expected)
            self.assertEqual(registry.raw(key, "Readme")[0], 2)  # REG_EXPAND_SZ
            self.assertTrue(p.exists(r"C:\Entry Test\Remover\Remove Entry.exe"))
            # The picture beside the uninstaller, listed for removal after the files.
            bitmap = r"C:\Entry Test\Remover\Installer Background.BMP"
            self.assertEqual(p.read(bitmap), picture)
            listed = p.read(r"C:\Entry Test\Remover\Uninstall.DAT").decode("latin-1").split("\r\n\r\n\r\n[Strings]")[0]
            self.assertEqual(listed.split("\r\n"), [r"C:\Entry Test\a.txt", bitmap])
        with self.subTest("reinstalled with no version: the version values go"):
            setup = self.work.package("entry2", manifest % "", files)
            result = p.run(setup, "/a", timeout=bench.scaled(60))
            self.assertEqual((result.exit_code, messages(result)), (1, []))
            values = p.registry().values(key)
            for gone in ("DisplayVersion", "VersionMajor", "VersionMinor"):
                self.assertNotIn(gone, values)
            self.assertEqual(values["InstallSource"], r"C:\test\entry2.exe")
            self.assertEqual(values["InstallLocation"], r"C:\Entry Test")
        with self.subTest("a version without a point has no numbers"):
            setup = self.work.package("entry3", manifest % 'version = "3"', files)
            p.run(setup, "/a", timeout=bench.scaled(60))
            values = p.registry().values(key)
            self.assertEqual(values["DisplayVersion"], "3")
            self.assertNotIn("VersionMajor", values)
            self.assertNotIn("VersionMinor", values)


class LogAndMessages(bench.SharedPrefixTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.work = Work()

    @classmethod
    def tearDownClass(cls):
        cls.work.close()
        super().tearDownClass()

    def test_log_and_closing_messages(self):
        p = self.prefix
        p.write(r"C:\out\placeholder.txt", "")
        opening = lambda name: ("%s Setup" % name, "This will install %s on your computer.\r\n\r\n"
                                "Do you want to continue?" % name)
        success = lambda name: ("Installation Complete", "%s has been installed successfully." % name)
        errors = lambda name: ("Installation Errors", "Some parts of %s could not be installed. The details are in "
                               "the log:\r\nC:\\Log %s\\Install.LOG\r\n\r\nDo you want to see the log now?"
                               % (name, name))
        rows = [
            # name, flags, arguments, a file in the way, answers, boxes, log written, program
            # started (None: none asked for)
            ("clean, automatic", [], "/a", False, [], lambda n: [], False, None),
            ("clean, with the person", [], "", False, PERSON, lambda n: [opening(n), success(n)], False, None),
            ("no success message", ["NoSuccessMessage"], "", False, PERSON, lambda n: [opening(n)], False, None),
            ("always a log, and a program after", ["AlwaysWriteLog"], "/a", False, [], lambda n: [], True, True),
            ("errors, automatic: no program", [], "/a", True, [], lambda n: [], True, False),
            # No: the log is not opened.
            ("errors, with the person", [], "", True, PERSON, lambda n: [opening(n), errors(n)], True, None),
        ]
        for number, (name, flags, args, blocked, answers, boxes, logged, launched) in enumerate(rows):
            with self.subTest(name):
                product = "Log%d" % number
                where = "C:\\Log %s" % product
                manifest = ('[product]\nname = "%s"\nversion = "1.5"\nflags = %r\n[directories]\ndefault = "%s"\n'
                            '[scripts]\nclosing = "echo closed> C:\\\\out\\\\closing%d.txt"\n'
                            '[files.a]\nsource = "a.txt"\n[files.b]\nsource = "b.txt"\n'
                            % (product, ["UninstallSupport"] + flags, where.replace("\\", "\\\\"), number))
                setup = self.work.package(product, manifest, {"a.txt": b"a", "b.txt": b"b"})
                if blocked:
                    # A directory where a file is to go: that file cannot be written.
                    os.makedirs(p.host_path(where + r"\b.txt\in the way"))
                launch = r"C:\out\launched%d.txt" % number
                if launched is not None:
                    args += ' /r:"cmd /c echo ran> %s"' % launch
                result = p.run(setup, args.strip(), answers, timeout=bench.scaled(60))
                self.assertEqual(result.exit_code, 1)
                self.assertEqual(messages(result), boxes(product))
                self.assertEqual(p.exists(where + r"\Install.LOG"), logged)
                self.assertTrue(p.exists(r"C:\out\closing%d.txt" % number))
                # The program starts only after a clean installation, without being waited for.
                if launched is not None:
                    self.assertEqual(self.wait_for(p, launch, launched), launched)
                if not logged:
                    continue
                log = p.read(where + r"\Install.LOG").decode("latin-1")
                header, _, rest = log.partition("\r\n\r\n")
                lines = header.split("\r\n")
                self.assertRegex(lines.pop(2), r"^Install date: \d{1,2}-[A-Z][a-z]{2}-\d{4} \d{1,2}:\d\d:\d\d[ap]$")
                self.assertEqual(lines, ["", "Installation log for: " + product, "Install type: New",
                                         "Install location: " + where, "Installer version: 12.0",
                                         "Product version: 1.5"])
                if blocked:
                    self.assertIn("Unable to create the file %s\\b.txt\r\n" % where, rest)
                else:
                    self.assertTrue(rest.endswith("Launch on exit: cmd /c echo ran> %s\r\n\r\n"
                                                  "Installation Complete\r\n\r\n" % launch), rest)

    def wait_for(self, p, path, expected):
        """Whether `path` appears within a while (or, when it is not expected, stays away
        for a few seconds)."""
        deadline = time.monotonic() + (bench.scaled(30) if expected else bench.scaled(3))
        while time.monotonic() < deadline:
            if p.exists(path):
                return True
            time.sleep(0.3)
        return False

    def test_reinstall_is_named_in_the_log(self):
        p = self.prefix
        manifest = ('[product]\nname = "Again"\nflags = ["UninstallSupport", "AlwaysWriteLog"]\n'
                    '[directories]\ndefault = "C:\\\\Again"\n[files.a]\nsource = "a.txt"\n')
        setup = self.work.package("again", manifest)
        types = []
        for _ in range(2):
            result = p.run(setup, "/a", timeout=bench.scaled(60))
            self.assertEqual((result.exit_code, messages(result)), (1, []))
            log = p.read(r"C:\Again\Install.LOG").decode("latin-1")
            types.append(re.search(r"\r\nInstall type: (\w+)\r\n", log).group(1))
            # No product version: no line for it.
            self.assertNotIn("Product version:", log)
        self.assertEqual(types, ["New", "Reinstall"])


class FileInUseAtUninstall(bench.WineTestCase):
    def test_a_file_in_use_stays_listed_and_a_second_run_finishes(self):
        manifest = r'''
[product]
name = "Held Product"
flags = ["UninstallSupport"]
[directories]
default = "C:\\Held"
uninstall_subdir = "Uninstall"
[files.a]
source = "free.txt"
[files.b]
source = "locked.dll"
subdir = "sub"
'''
        work = Work()
        try:
            with bench.Prefix("winxp") as p:
                setup = work.package("held", manifest, {"free.txt": b"free", "locked.dll": b"held"})
                result = p.run(setup, "/a", timeout=bench.scaled(60))
                self.assertEqual((result.exit_code, messages(result)), (1, []))
                uninstaller = r"C:\Held\Uninstall\Uninstall.exe"
                command = uninstall_command(p, "Held Product", "UninstallString")
                self.assertEqual(command, '"%s" /u:"Held Product"' % uninstaller)
                locked = r"C:\Held\sub\locked.dll"
                release = r"C:\bench\release.txt"
                p.write(r"C:\bench\holder.txt", "open|A|%s|0\r\nwaitfor|%s|600000\r\n" % (locked, release))
                holder = p.start(bench.driver("filesdriver"), [r"C:\bench\holder.txt"])
                self.assertTrue(holder.wait_line("open: 0"), holder.lines)

                first = p.run(command, answers=[YES, OK, OK], timeout=bench.scaled(60))
                self.assertEqual(messages(first), [
                    ("Held Product Uninstall",
                     "Do you want to remove Held Product and all of its components from your computer?"),
                    ("Held Product", "Some parts of Held Product could not be removed:\r\n\r\n"
                     "Unable to remove the file %s\r\n\r\nYou can remove them yourself, or run the uninstaller "
                     "again after restarting Windows." % locked)])
                self.assertFalse(p.exists(r"C:\Held\free.txt"))
                self.assertTrue(p.exists(uninstaller))
                self.assertFalse(p.exists(SELF_REMOVAL_SCRIPT))
                listed = p.read(r"C:\Held\Uninstall\Uninstall.DAT").decode("latin-1").split("\r\n\r\n\r\n[Strings]")[0]
                self.assertEqual(listed.split("\r\n"), [locked, r"~C:\Held\sub"])

                p.write(release, "")
                self.assertEqual(holder.wait(timeout=bench.scaled(60)), 0)
                second = p.run(command, answers=[YES, OK, OK], timeout=bench.scaled(60))
                self.assertEqual(messages(second), [messages(first)[0], (
                    "Held Product Uninstall", "Held Product has been removed from your computer.")])
                # The script takes the uninstaller, its folder, the install folder and itself.
                self.assertTrue(wait_until_gone(p, [uninstaller, r"C:\Held\Uninstall", r"C:\Held",
                                                    SELF_REMOVAL_SCRIPT]), "the self-removal script did not finish")
                self.assertFalse(p.registry().has_key(UNINSTALL + r"\Held Product"))
        finally:
            work.close()


class RestartQuestion(bench.WineTestCase):
    """A file in use is replaced at the next start of Windows, which the installer asks
    for: with AskRestartInAutomatic the question comes in automatic mode too, and No
    keeps Windows running. (The restart itself is Wine's to carry out, and test_restart
    checks it; a restart while another program holds the file cannot replace it under
    Wine, which processes the pending moves at once rather than after every program has
    ended.)"""

    def test_restart_question_answered_no(self):
        manifest = r'''
[product]
name = "Restarting"
flags = ["UninstallSupport", "AskRestartInAutomatic"]
[directories]
default = "C:\\Restarting"
[files.a]
source = "held.dll"
destination = "install-versioned"
'''
        work = Work()
        target = r"C:\Restarting\held.dll"
        release = r"C:\bench\release.txt"
        try:
            with bench.Prefix("winxp") as p:
                setup = work.package("asked", manifest, {"held.dll": b"new"})
                p.write(target, "old")
                os.utime(p.host_path(target), (0, 0))
                p.write(r"C:\bench\holder.txt", "open|A|%s|0\r\nwaitfor|%s|600000\r\n" % (target, release))
                holder = p.start(bench.driver("filesdriver"), [r"C:\bench\holder.txt"])
                self.assertTrue(holder.wait_line("open: 0"), holder.lines)
                result = p.run(setup, "/a", [NO, NO], timeout=bench.scaled(60))
                self.assertEqual((result.exit_code, messages(result)), (1, [(
                    "Restarting", "Windows must be restarted to finish the installation of Restarting.\r\n\r\n"
                    "Do you want to restart now?")]))
                # Windows keeps running: the holder is still there, the file not yet replaced.
                self.assertEqual(p.read(target), b"old")
                p.write(release, "")
                self.assertEqual(holder.wait(timeout=bench.scaled(60)), 0)
        finally:
            work.close()


if __name__ == "__main__":
    bench.main()
