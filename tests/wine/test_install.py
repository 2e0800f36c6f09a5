"""Installations in automatic mode under Wine, with packages made by `quox build`: the
example package's files with their contents and dates, /d: and the default directory,
the replace rules, a locked file replaced at the next start on both families, deletion
rules, the scripts' batch environment and the PATH line, packages damaged on purpose
(every corrupt-entry code before anything is written) and a byte-flip sweep."""

import os
import random
import re
import shutil
import struct
import tempfile
import time

import bench
import package
from installed import files_under
from services_script import check_rows, shown

HELLO = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples", "hello")
SESSION_MANAGER = r"HKLM\System\CurrentControlSet\Control\Session Manager"
READ_ONLY, HIDDEN, ARCHIVE = 0x1, 0x2, 0x20
# By its text: the progress dialog, which the watcher may take for a dialog to answer,
# has no such button, so the answer still reaches the question.
NO = "button No"


def restart_question(product):
    """The restart question's caption and text with the default messages."""
    return (product, "Windows must be restarted to finish the installation of %s.\r\n\r\n"
                     "Do you want to restart now?" % product)


def local_time(*fields):
    """The host time of a file stamped with these local date and time fields: Wine's
    local time is the host's."""
    return time.mktime(tuple(fields) + (0, 0, -1))


MAY_2024 = local_time(2024, 5, 1, 12, 0, 0)
# The example's uninstaller, beside its files.
UNINSTALLER = "Uninstall Hello.exe"


def messages(result):
    """The message boxes a run showed (the progress dialog has no text of its own)."""
    return [(box.caption, box.text) for box in result.boxes if box.text]


def hello_files():
    """The example's files as its manifest installs them: {installed name: (bytes)}."""
    base = os.path.join(HELLO, "files")
    wanted = {"hello.txt": "hello.txt", "second.txt": "second.txt", "docs\\guide.txt": "docs/guide.txt"}
    out = {}
    for name, source in wanted.items():
        with open(os.path.join(base, source), "rb") as f:
            out[name] = f.read()
    return out


class Work:
    """A scratch directory for the packages of one test."""

    def __init__(self):
        self.path = tempfile.mkdtemp(prefix="quox-install-", dir=bench.BENCH_DIR)

    def package(self, name, manifest, files, *options):
        directory = os.path.join(self.path, name)
        os.makedirs(directory, exist_ok=True)
        return package.make(directory, manifest, files, name + ".exe", *options)

    def close(self):
        shutil.rmtree(self.path, ignore_errors=True)


def install_log(prefix, directory):
    return prefix.read(directory + r"\Install.LOG").decode("latin-1")


def detailed_log(log):
    """The log's lines after its header."""
    return log.split("\r\n\r\n", 1)[1]


class AutomaticInstalls(bench.SharedPrefixTestCase):
    """Installations that each go to their own directory under their own name, so that
    they share one prefix."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.work = Work()
        cls.hello = package.build(os.path.join(HELLO, "manifest.toml"), os.path.join(cls.work.path, "hello.exe"))

    @classmethod
    def tearDownClass(cls):
        cls.work.close()
        super().tearDownClass()

    def assertInstalled(self, directory, expected, mtime=None):
        self.assertEqual(files_under(self.prefix, directory), expected)
        if mtime is not None:
            for name in expected:
                self.assertEqual(os.path.getmtime(self.prefix.host_path(directory + "\\" + name)), mtime, name)

    def test_example_package(self):
        p = self.prefix
        with self.subTest("every file with its content and date, under Program Files"):
            result = p.run(self.hello, "/a", timeout=bench.scaled(60))
            self.assertEqual((result.exit_code, messages(result)), (1, []))
            directory = r"C:\Program Files\Quox Examples\Hello Notes"
            installed = files_under(p, directory)
            # The uninstall record: the file list and the uninstaller (the plain stub).
            self.assertIn("Uninstall.DAT", installed)
            del installed["Uninstall.DAT"]
            with open(bench.STUB, "rb") as f:
                self.assertEqual(installed.pop(UNINSTALLER), f.read())
            self.assertEqual(installed, hello_files())
            for name in hello_files():
                self.assertEqual(os.path.getmtime(p.host_path(directory + "\\" + name)), MAY_2024, name)
        with self.subTest("/d: names a directory that is made with its parents"):
            result = p.run(self.hello, r'/a /n:"Hello Elsewhere" /d:"C:\Deep Er\New\Place"', timeout=bench.scaled(60))
            self.assertEqual((result.exit_code, messages(result)), (1, []))
            installed = files_under(p, r"C:\Deep Er\New\Place")
            self.assertEqual({k: v for k, v in installed.items() if k not in ("Uninstall.DAT", UNINSTALLER)},
                             hello_files())

    def test_default_directory(self):
        p = self.prefix
        rows = [
            # name, [directories] table, where the files go
            ("none: the product's name under Program Files", "", r"C:\Program Files\Defaultless"),
            ("path variables", 'default = "%WinDir%\\\\QuoxApp"', r"C:\windows\QuoxApp"),
            ("<os> and a relative rest", 'default = "<os>\\\\..\\\\OsApp"', r"C:\windows\..\OsApp"),
        ]
        for number, (name, table, where) in enumerate(rows):
            with self.subTest(name):
                manifest = '[product]\nname = "%s"\n[directories]\n%s\n[files.a]\nsource = "a.txt"\n' % (
                    "Defaultless" if number == 0 else "Default %d" % number, table)
                setup = self.work.package("default%d" % number, manifest, {"a.txt": b"A%d" % number})
                result = p.run(setup, "/a", timeout=bench.scaled(60))
                self.assertEqual((result.exit_code, messages(result)), (1, []))
                self.assertEqual(p.read(where + r"\a.txt"), b"A%d" % number)

    def test_scripts_see_the_folders_and_never_wait_for_a_key(self):
        p = self.prefix
        manifest = r'''
[product]
name = "Scripted"
flags = ["UninstallSupport"]
[directories]
default = "C:\\Scripted App"
shared = "C:\\Scripted Shared"
[scripts]
pre_install = """
echo %InstallDir%;%InstallDrive%;%SharedDir%;%InstallerDrive%;%InstallerFilename%;%SystemDir%> seen.txt
cd > where.txt
  @pause
echo pause> kept.txt
if exist QUOXBAT.BAT echo present> batch.txt
"""
post_install = "echo after> post.txt"
[files.a]
source = "a.txt"
'''
        setup = self.work.package("scripted", manifest, {"a.txt": b"a"})
        result = p.run(setup, "/a", timeout=bench.scaled(90))
        self.assertEqual((result.exit_code, result.timed_out, messages(result)), (1, False, []))
        directory = r"C:\Scripted App"
        self.assertEqual(p.read(directory + r"\seen.txt"),
                         b"C:\\Scripted App;C:;C:\\Scripted Shared;C:;scripted.exe;C:\\windows\\system32\r\n")
        self.assertEqual(p.read(directory + r"\where.txt"), b"C:\\Scripted App\r\n")
        # The pause line went; the line that merely says "pause" stayed.
        self.assertEqual(p.read(directory + r"\kept.txt"), b"pause\r\n")
        self.assertEqual(p.read(directory + r"\batch.txt"), b"present\r\n")
        self.assertEqual(p.read(directory + r"\post.txt"), b"after\r\n")
        self.assertFalse(p.exists(directory + r"\QUOXBAT.BAT"))

    def test_path_variables_of_the_machine(self):
        p = self.prefix
        rows = [
            ("the installer's drive alone", r"expand|C:\A|C:\S|%InstallerDrive%;%installerdrive%", shown("C;C")),
            ("drives with their colon", r"expand|D:\A|C:\S|%InstallDrive%;%BootDrive%", shown("D:;C:")),
            ("no drive for a network path", r"expand|\\srv\share\a|C:\S|[%InstallDrive%]", shown("[]")),
            ("folders", r"expand|C:\A|C:\S|%WinDir%;%SystemDir%;%ProgramsDir%;%FontDir%",
             shown(r"C:\windows;C:\windows\system32;C:\Program Files;C:\windows\Fonts")),
            ("the installer's file", r"expand|C:\A|C:\S|%InstallerFilepath%;%InstallerDir%",
             shown(r"C:\test\servicesdriver.exe;C:\test")),
            ("a later variable inside an earlier one's value", r"expand|%WinDir%\x|C:\S|%InstallDir%",
             shown(r"C:\windows\x")),
        ]
        check_rows(self, p, rows)

    def test_corrupt_entries_stop_before_anything_is_written(self):
        p = self.prefix
        manifest = '''
[product]
name = "Damaged"
[directories]
default = "C:\\\\Damaged"
[package]
compression = "none"
[[deletions]]
path = "*.old"
when = "date-not-later"
date = 2030-01-01
[files.a]
source = "first.txt"
[files.b]
source = "second.txt"
'''
        sound = self.work.package("damaged", manifest, {"first.txt": b"first file", "second.txt": b"second"})
        with open(sound, "rb") as f:
            data = f.read()
        pe = package.PeFile(data)
        start = pe.payload()[4] + pe.header("file_data_end") - pe.header("file_data_length")
        first_entry = start  # name "first.txt", 0, destination, flags, attributes, data...
        data_at = first_entry + len(b"first.txt") + 1 + 12

        def with_bytes(offset, replacement):
            damaged = package.PeFile(data)
            damaged.data[offset:offset + len(replacement)] = replacement
            stored = bytes(damaged.data[start:start + damaged.header("file_data_length")])
            damaged.set_header("file_data_checksum", package.checksum(stored))
            return damaged

        stream = package.settings_stream(sound, self.work.path)
        fields = package.StreamFields(stream)
        rule = fields.offsets["deletions"]
        value_start = stream.index(b"\0", rule) + 2
        value_end = stream.index(b"\0", value_start)
        rows = [
            ("70: an entry without a name", 70, with_bytes(first_entry, b"\0")),
            ("100: a file that does not match its checksum", 100, with_bytes(data_at, b"F")),
            ("110: an entry of an unknown kind", 110, with_bytes(first_entry + 10, struct.pack("<i", 42))),
        ]
        for number, (name, code, damaged) in enumerate(rows):
            with self.subTest(name):
                setup = damaged.save(os.path.join(self.work.path, "damaged%d.exe" % number))
                self.check_refused(setup, code, r"C:\Damaged%d" % number)
        with self.subTest("65: a deletion rule's date that does not read"):
            broken = package.with_text(stream, (value_start, value_end), b"not a date at all")
            setup = package.reseal(sound, broken, os.path.join(self.work.path, "damaged65.exe"))
            p.write(r"C:\Damaged65\kept.old", "an earlier version's file")
            self.check_refused(setup, 65, r"C:\Damaged65", {"kept.old": b"an earlier version's file"})

    def check_refused(self, setup, code, directory, left=None):
        result = self.prefix.run(setup, '/a /n:"%s" /d:"%s"' % (directory[3:], directory), timeout=bench.scaled(60))
        self.assertEqual(result.exit_code, 1)
        self.assertEqual([(b.caption, b.text[-len("Error code: %d" % code):]) for b in result.boxes if b.text],
                         [("FATAL ERROR", "Error code: %d" % code)])
        self.assertEqual(files_under(self.prefix, directory), left or {})

    def test_byte_flip_sweep(self):
        """Damage in the header, the settings block or the file data either stops the
        installer with its code before any file is written, or leaves every file as it
        should be; never a crash, a hang or a wrong file."""
        p = self.prefix
        seed = int(os.environ.get("QUOX_SWEEP_SEED") or random.randrange(1 << 30))
        print("byte-flip sweep seed %d (set QUOX_SWEEP_SEED to repeat)" % seed, flush=True)
        rng = random.Random(seed)
        directory = os.path.join(self.work.path, "sweep")
        os.makedirs(directory)
        sound = self.hello
        with open(sound, "rb") as f:
            data = f.read()
        header, block, file_data = package.payload_ranges(sound)
        # The header fields that place the file data: damage there may announce data in
        # volume files, which the installer then asks for. The settings length and the
        # size count count too: the file data starts after the settings block and the
        # size table, and a settings stream still ends where its own fields say.
        volume_fields = set()
        for field in ("settings_length", "size_count", "file_data_end", "file_data_length"):
            at = package.read_pe(sound).header_offset(field)
            volume_fields.update(range(at, at + 4))
        positions = [rng.randrange(*part) for part in (header, block, file_data) for _ in range(8)]
        expected = hello_files()
        outcomes = {"refused": 0, "installed": 0, "asked for a volume": 0}
        for number, position in enumerate(positions):
            damaged = bytearray(data)
            damaged[position] ^= rng.randrange(1, 256)
            setup = os.path.join(directory, "flip%d.exe" % number)
            with open(setup, "wb") as f:
                f.write(damaged)
            where = r"C:\sweep\%d" % number
            with self.subTest(position=position, byte=damaged[position]):
                result = p.run(setup, '/a /n:"Sweep %d" /d:"%s"' % (number, where),
                               ["button Cancel/OK", "button Yes/OK"] * 4, timeout=bench.scaled(60))
                self.assertFalse(result.timed_out)
                self.assertEqual(result.exit_code, 1)
                installed = files_under(p, where)
                captions = [box.caption for box in result.boxes if box.text]
                if "FATAL ERROR" in captions:
                    text = [box.text for box in result.boxes if box.caption == "FATAL ERROR"][0]
                    self.assertTrue(re.search(r"Error code: \d+$", text) or "does not match the version" in text,
                                    text)
                    self.assertEqual(installed, {})
                    outcomes["refused"] += 1
                elif "Insert Disk" in captions:
                    self.assertIn(position, volume_fields)
                    self.assertEqual(installed, {})
                    outcomes["asked for a volume"] += 1
                else:
                    self.assertEqual(captions, [])
                    installed.pop("Uninstall.DAT", None)
                    installed.pop(UNINSTALLER, None)
                    self.assertEqual(installed, expected)
                    outcomes["installed"] += 1
        print("byte-flip sweep: %r" % outcomes, flush=True)


def rules_manifest():
    return r'''
[product]
name = "Rules"
flags = ["UninstallSupport", "AlwaysWriteLog", "VerboseLog"]
[directories]
default = "C:\\Rules"
shared = "C:\\Rules Shared"
[files.uptodate]
source = "uptodate.txt"
destination = "shared"
date = 2024-05-01T12:00:00
[files.outofdate]
source = "outofdate.txt"
destination = "shared"
date = 2024-05-01T12:00:00
[files.equal]
source = "equal.dll"
destination = "install-versioned"
version = "1.0.0.12"
date = 2024-05-01T12:00:00
[files.newer]
source = "quoxnewer.dll"
destination = "system-com"
version = "2.0"
date = 2020-01-01T00:00:00
[files.keep]
source = "keep.txt"
install_if = "missing"
[files.renamed]
source = "readme.txt"
target = "readme.new"
[files.system]
source = "quoxsys.txt"
destination = "target"
target = "%SystemDir%\\"
[files.font]
source = "quoxtest.ttf"
destination = "fonts"
font = "Quox Test Font (TrueType)"
[files.hidden]
source = "hidden.txt"
subdir = "sub"
attributes = ["ReadOnly", "Hidden"]
date = 2024-05-01T12:00:00
'''


class ReplaceRules(bench.WineTestCase):
    def test_replace_rules(self):
        work = Work()
        packaged = {name: b"packaged " + name.encode() for name in
                    ("uptodate.txt", "outofdate.txt", "equal.dll", "quoxnewer.dll", "keep.txt", "readme.txt",
                     "quoxsys.txt", "hidden.txt", "quoxtest.ttf")}
        setup = work.package("rules", rules_manifest(), packaged)
        versioned = bench.driver("version_english")[:-4] + ".dll"  # FileVersion "1, 0, 0, 12"
        with open(versioned, "rb") as f:
            library = f.read()
        earlier = {
            # path, content, time of last change
            r"C:\Rules Shared\uptodate.txt": (b"present", MAY_2024),
            r"C:\Rules Shared\outofdate.txt": (b"present", local_time(2024, 5, 1, 11, 59, 59)),
            r"C:\Rules\equal.dll": (library, local_time(2020, 1, 1, 0, 0, 0)),
            r"C:\windows\system32\quoxnewer.dll": (library, MAY_2024),
            r"C:\Rules\keep.txt": (b"present", MAY_2024),
        }
        try:
            with bench.Prefix() as p:
                for path, (content, mtime) in earlier.items():
                    p.write(path, content)
                    os.utime(p.host_path(path), (mtime, mtime))
                result = p.run(setup, "/a", timeout=bench.scaled(60))
                self.assertEqual((result.exit_code, messages(result)), (1, []))
                rows = [
                    # name, file, content now, log line
                    ("destination 1 up to date: kept", r"C:\Rules Shared\uptodate.txt", b"present",
                     r"C:\Rules Shared\uptodate.txt is up to date."),
                    ("destination 1 out of date: replaced", r"C:\Rules Shared\outofdate.txt",
                     packaged["outofdate.txt"], r"C:\Rules Shared\outofdate.txt is out of date and will be replaced."),
                    ("destination 9 equal version: kept", r"C:\Rules\equal.dll", library,
                     r"C:\Rules\equal.dll was not installed because its version is not newer."),
                    ("destination 7 newer version, older date: kept", r"C:\windows\system32\quoxnewer.dll", library,
                     r"C:\windows\system32\quoxnewer.dll was not installed because its date is not newer."),
                    ("condition 12 on an existing file: kept", r"C:\Rules\keep.txt", b"present", None),
                    ("readme.new: renamed in its place", r"C:\Rules\readme.new", packaged["readme.txt"],
                     r"readme.new -> C:\Rules\readme.new"),
                    ("%SystemDir%\\: the system directory, own name", r"C:\windows\system32\quoxsys.txt",
                     packaged["quoxsys.txt"], r"quoxsys.txt -> C:\windows\system32\quoxsys.txt"),
                    ("attributes and date", r"C:\Rules\sub\hidden.txt", packaged["hidden.txt"],
                     r"sub\hidden.txt -> C:\Rules\sub\hidden.txt"),
                    ("a font in the fonts folder", r"C:\windows\Fonts\quoxtest.ttf", packaged["quoxtest.ttf"],
                     r"quoxtest.ttf -> C:\windows\Fonts\quoxtest.ttf"),
                ]
                log = install_log(p, r"C:\Rules")
                lines = detailed_log(log).split("\r\n")
                for name, path, content, line in rows:
                    with self.subTest(name):
                        self.assertEqual(p.read(path), content)
                        if line:
                            self.assertIn(line, lines)
                self.assertFalse(p.exists(r"C:\Rules\readme.txt"))
                # The up-to-date and kept files keep their dates; the written one has the package's.
                self.assertEqual(os.path.getmtime(p.host_path(r"C:\Rules Shared\uptodate.txt")), MAY_2024)
                self.assertEqual(os.path.getmtime(p.host_path(r"C:\Rules\sub\hidden.txt")), MAY_2024)
                # Nothing failed: the error report is the success message.
                self.assertTrue(log.endswith("\r\nInstallation Complete\r\n\r\n"), log)
                # What the uninstaller is to remove: the product's files, kept ones
                # included, with the new directory before its file; not the shared or
                # system files.
                listed = p.read(r"C:\Rules\Uninstall.DAT").decode("latin-1").split("\r\n\r\n\r\n[Strings]")[0]
                self.assertEqual(listed.split("\r\n"), [
                    r"C:\Rules\equal.dll", r"C:\Rules\keep.txt", r"C:\Rules\readme.new", r"~C:\Rules\sub",
                    r"C:\Rules\sub\hidden.txt"])
                p.write(r"C:\test\attrs.txt", "attrs|C:\\Rules\\sub\\hidden.txt\r\n")
                code, out = p.run_console(bench.driver("filesdriver"), [r"C:\test\attrs.txt"])
                # Wine shows every file as archived, whatever was set.
                self.assertEqual(int(out.split(":")[1]) & ~ARCHIVE, READ_ONLY | HIDDEN, out)
                # The font is registered under its face name.
                fonts = p.registry().value(r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts",
                                           "Quox Test Font (TrueType)")
                self.assertEqual(fonts, "quoxtest.ttf")
        finally:
            work.close()


def locked_manifest():
    return r'''
[product]
name = "Locked"
flags = ["UninstallSupport", "AlwaysWriteLog", "AskRestartInAutomatic"]
[directories]
default = "C:\\Locked"
shared = "C:\\Shared Place"
[files.library]
source = "Locked Library.dll"
destination = "shared"
date = 2024-05-01T12:00:00
'''


LOCKED = r"C:\Shared Place\Locked Library.dll"


def install_over_a_locked_file(test, p, setup):
    """Installs while servicesdriver holds the existing copy open; answers the log."""
    p.write(LOCKED, "in use")
    os.utime(p.host_path(LOCKED), (local_time(2020, 1, 1, 0, 0, 0),) * 2)
    p.write(r"C:\test\hold.txt", "hold|A|%s\r\nwaitfor|C:\\bench\\released|300000\r\n" % LOCKED)
    holder = p.start(bench.driver("servicesdriver"), [r"C:\test\hold.txt"])
    test.assertEqual(holder.wait_line("hold", 120), "hold: 0")
    # The restart that the replacement needs is asked for (AskRestartInAutomatic) and
    # declined, so that the test sees the state before it.
    result = p.run(setup, "/a", [NO, NO], timeout=bench.scaled(60))
    p.write(r"C:\bench\released", "")
    holder.wait(bench.scaled(60))
    test.assertEqual((result.exit_code, messages(result)), (1, [restart_question("Locked")]))
    test.assertEqual(p.read(LOCKED), b"in use")
    log = install_log(p, r"C:\Locked")
    # The report goes to the detailed log: the installation counts as successful.
    test.assertIn("\r\nUnable to create the file %s\r\n" % LOCKED, log)
    test.assertIn('"%s" has been successfully registered for replacement.\r\nTemporary file is "' % LOCKED, log)
    test.assertIn("Reboot will be required.\r\n", log)
    test.assertTrue(log.endswith("\r\nInstallation Complete\r\n\r\n"), log)
    return log


def temporary_of(log):
    return re.search(r'Temporary file is "([^"]+)"', log).group(1)


class NtFamily(bench.WineTestCase):
    def test_locked_file_and_deletion_rules(self):
        work = Work()
        try:
            with bench.Prefix("winxp") as p:
                with self.subTest("a locked file is replaced at the next start"):
                    setup = work.package("locked", locked_manifest(), {"Locked Library.dll": b"new library"})
                    log = install_over_a_locked_file(self, p, setup)
                    temporary = temporary_of(log)
                    self.assertEqual(p.read(temporary), b"new library")
                with self.subTest("deletion rules"):
                    self.check_deletion_rules(p, work)
                pending = p.registry().value(SESSION_MANAGER, "PendingFileRenameOperations")
                self.assertEqual(pending, ["\\??\\" + temporary, "!\\??\\" + LOCKED, "\\??\\C:\\Purge\\busy.dat"])
        finally:
            work.close()

    def check_deletion_rules(self, p, work):
        manifest = r'''
[product]
name = "Purge"
flags = ["AlwaysWriteLog", "AskRestartInAutomatic"]
[directories]
default = "C:\\Purge"
[[deletions]]
path = "*.tmp"
when = "size-at-least"
size = 0
[[deletions]]
path = "old*.log;other\\*.log"
when = "date-not-later"
date = 2021-01-01
[[deletions]]
path = "busy.dat"
at_restart = true
[files.a]
source = "new.txt"
'''
        setup = work.package("purge", manifest, {"new.txt": b"new"})
        before = {
            r"C:\Purge\empty.tmp": ("", 2022), r"C:\Purge\full.tmp": ("x" * 10, 2022),
            r"C:\Purge\sub\deeper.tmp": ("no recursion", 2022), r"C:\Purge\old1.log": ("older", 2019),
            r"C:\Purge\old2.log": ("newer", 2022), r"C:\Purge\other\old3.log": ("older", 2020),
            r"C:\Purge\busy.dat": ("held", 2022),
        }
        for path, (content, year) in before.items():
            p.write(path, content)
            os.utime(p.host_path(path), (local_time(year, 6, 1, 0, 0, 0),) * 2)
        p.write(r"C:\test\hold.txt", "hold|A|C:\\Purge\\busy.dat\r\nwaitfor|C:\\bench\\released2|300000\r\n")
        holder = p.start(bench.driver("servicesdriver"), [r"C:\test\hold.txt"])
        self.assertEqual(holder.wait_line("hold", 120), "hold: 0")
        result = p.run(setup, "/a", [NO, NO], timeout=bench.scaled(60))
        p.write(r"C:\bench\released2", "")
        holder.wait(bench.scaled(60))
        self.assertEqual((result.exit_code, messages(result)), (1, [restart_question("Purge")]))
        left = sorted(files_under(p, r"C:\Purge"))
        self.assertEqual(left, ["Install.LOG", "busy.dat", "new.txt", "old2.log", "sub\\deeper.tmp"])
        lines = detailed_log(install_log(p, r"C:\Purge")).split("\r\n")
        self.assertIn(r"Deleted file: C:\Purge\empty.tmp", lines)
        self.assertIn(r"Deleted file: C:\Purge\full.tmp", lines)
        self.assertIn(r"Deleted file: C:\Purge\old1.log", lines)
        self.assertIn(r"Deleted file: C:\Purge\other\old3.log", lines)
        busy = [line for line in lines if "busy.dat" in line]
        self.assertEqual(len(busy), 1)
        self.assertTrue(busy[0].startswith(r"File 'C:\Purge\busy.dat' will be deleted after rebooting: "), busy)


class NineXFamily(bench.WineTestCase):
    def test_locked_file_and_autoexec_path(self):
        work = Work()
        try:
            with bench.Prefix("win98") as p:
                with self.subTest("a locked file is replaced at the next start"):
                    setup = work.package("locked", locked_manifest(), {"Locked Library.dll": b"new library"})
                    log = install_over_a_locked_file(self, p, setup)
                    temporary = temporary_of(log)
                    # wininit.exe reads the short names; Wine carries the section out
                    # at its next start.
                    self.assertNotIn(" ", temporary)
                    wininit = p.read(r"C:\windows\wininit.ini").decode("latin-1")
                    line = re.search(r"\r\n\[rename\]\r\n(.*)=(.*)$", wininit)
                    self.assertIsNotNone(line, wininit)
                    target, source = line.groups()
                    self.assertEqual(source, temporary)
                    short = check_rows(self, p, [("short name", "shortname|" + LOCKED, None)])["short name"]
                    self.assertEqual(shown(target), short)
                    self.assertNotIn(" ", target)
                    self.assertEqual(p.read(temporary), b"new library")
                with self.subTest("the PATH line of autoexec.bat"):
                    self.check_autoexec(p)
        finally:
            work.close()

    def check_autoexec(self, p):
        directory = r"C:\Program Files\Path App"
        os.makedirs(p.host_path(directory), exist_ok=True)
        autoexec = p.host_path(r"C:\autoexec.bat")
        if os.path.exists(autoexec):
            os.remove(autoexec)
        rows = [
            ("remove from a missing file", "autoexec|remove|" + directory,
             shown("Unable to modify C:\\autoexec.bat.  You will need to manually remove %s from the PATH "
                   "environment variable.\r\n\r\n" % directory)),
            ("add creates the file", "autoexec|add|" + directory, "[]"),
            ("add again", "autoexec|add|" + directory, "[]"),
            ("short name", "shortname|" + directory, None),
        ]
        results = check_rows(self, p, rows)
        line = "PATH=%%PATH%%;%s\r\n" % results["short name"][1:-1]
        self.assertNotIn(" ", line)
        self.assertEqual(p.read(r"C:\autoexec.bat").decode("latin-1"), "\r\n" + line)
        # The last line without its break goes too.
        p.write(r"C:\autoexec.bat", "@echo off\r\n" + line.rstrip("\r\n").lower())
        check_rows(self, p, [("remove a last line without a break", "autoexec|remove|" + directory, "[]")])
        self.assertEqual(p.read(r"C:\autoexec.bat"), b"@echo off\r\n")


if __name__ == "__main__":
    bench.main()
