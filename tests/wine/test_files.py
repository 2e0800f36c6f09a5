"""Files, paths, directories and file lists under Wine, through filesdriver.exe: a
script of commands run in one process, one result line per command."""

import os
import shutil
import subprocess
import time

import bench

SCRIPT = r"C:\bench\files-script.txt"

# Open flags.
OPEN_ALWAYS, OPEN_EXISTING, CREATE_NEW, CREATE_ALWAYS = 0, 1, 2, 3
NO_READ, NO_WRITE, REQUIRED, RETRY_ONCE, IN_MEMORY = 0x08, 0x10, 0x20, 0x40, 0x80
SHARE_READ, SHARE_WRITE, APPEND, NO_SHARING_RETRY = 0x100, 0x200, 0x400, 0x1000
NEW_TEMP, NEW_TEMP_IN_DIR, NEW_TEMP_BESIDE, IN_TEMP_DIR = 0x20000000, 0x40000000, 0x80000000, 0xC0000000
READ_SHARED = 273

RESULT_TEXTS = [
    "The file was successfully opened.", "An unknown error occurred.", "The filename is invalid.",
    "The file was not found.", "The directory does not exist.", "The file is locked by another application.",
    "Failed to read the file into memory.", "Too many files are already open.", "An invalid parameter was used.",
    "The file already exists.", "Too many indexed files exist.", "Access denied.",
    "The file's Read-Only attribute is set.",
]


def esc(text):
    """A free-text field of the script (the driver undoes these escapes)."""
    return text.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n").replace("|", "\\x7C")


def shown(text):
    """The driver's form of a text: in brackets, bytes outside printable ASCII as \\xNN."""
    return "[" + "".join(c if 32 <= ord(c) <= 126 else "\\x%02X" % ord(c) for c in text) + "]"


def failed_open(code):
    return "%d %s %s" % (code, RESULT_TEXTS[code], shown(RESULT_TEXTS[code]))


def run(test, prefix, commands):
    prefix.write(SCRIPT, "\r\n".join(commands) + "\r\n")
    code, output = prefix.run_console(bench.driver("filesdriver"), [SCRIPT])
    lines = [line for line in output.split("\n") if line]
    test.assertEqual(code, 0, output)
    test.assertEqual(len(lines), len(commands), output)
    return [line.partition(": ")[2] for line in lines]


def check_rows(test, prefix, rows):
    """Runs every row's command in one driver process, then checks each row as a
    subtest. A row is (name, command, expected); expected is the exact result, a
    predicate on it, or None for a set-up step."""
    results = run(test, prefix, [row[1] for row in rows])
    for (name, command, expected), result in zip(rows, results):
        if expected is None:
            continue
        with test.subTest(name):
            if callable(expected):
                test.assertTrue(expected(result), "%s -> %s" % (command, result))
            else:
                test.assertEqual(result, expected, command)
    return results


class DeniedWrites:
    """Makes files refuse opening for writing, as Windows does for read-only files.
    Wine maps the read-only attribute to the file's write permissions, which do not stop
    root; as root the files are also made immutable for the duration."""

    def __init__(self, paths):
        self.paths = paths
        self.immutable = os.geteuid() == 0 and shutil.which("chattr") is not None

    def __enter__(self):
        if self.immutable:
            for path in self.paths:
                if subprocess.run(["chattr", "+i", path], stderr=subprocess.DEVNULL).returncode != 0:
                    self.immutable = False
        return self

    def __exit__(self, *exc):
        if os.geteuid() == 0:
            for path in self.paths:
                subprocess.run(["chattr", "-i", path], stderr=subprocess.DEVNULL)
        return False


class FileOpening(bench.WineTestCase):
    def test_result_codes_and_names(self):
        with bench.Prefix() as p:
            p.write(r"C:\t\exists.txt", "x")
            p.write(r"C:\t\locked.txt", "x")
            ro = p.host_path(p.write(r"C:\t\ro.txt", "x"))
            denied = p.host_path(p.write(r"C:\t\denied.txt", "x"))
            os.chmod(ro, 0o444)
            with DeniedWrites([ro, denied] if os.geteuid() == 0 else [ro]) as writes:
                if os.geteuid() == 0 and not writes.immutable:
                    self.skipTest("files cannot be write-protected against root here")
                self._check_result_codes(p, denied_without_read_only=os.geteuid() == 0)

    def _check_result_codes(self, p, denied_without_read_only):
        rows = [
            ("missing file", r"open|A|C:\t\nothere.txt|%d" % OPEN_EXISTING, failed_open(3)),
            ("missing directory", r"open|A|C:\nodir\x.txt|%d" % OPEN_EXISTING, failed_open(4)),
            ("read-only seen", r"isreadonly|C:\t\ro.txt", "1"),
            ("read-only for writing", r"open|A|C:\t\ro.txt|%d" % OPEN_EXISTING, failed_open(12)),
            ("read-only for reading", r"open|A|C:\t\ro.txt|%d" % READ_SHARED, "0 " + RESULT_TEXTS[0]),
            ("denied without read-only", r"open|A|C:\t\denied.txt|%d" % OPEN_EXISTING,
             failed_open(11) if denied_without_read_only else None),
            ("create new on existing", r"open|A|C:\t\exists.txt|%d" % CREATE_NEW, failed_open(9)),
            ("existing kept", r"readfile|C:\t\exists.txt", "0 [x]"),
            ("empty name", "open|A||0", failed_open(2)),
            ("null name", "open|A|<null>|0", failed_open(2)),
            ("invalid character", r"open|A|C:\t\a<b.txt|%d" % OPEN_EXISTING, failed_open(2)),
            ("a directory", r"open|A|C:\t|%d" % READ_SHARED, failed_open(11)),
            ("undefined name mode", r"open|A|C:\t\x.txt|%d" % 0x60000000, failed_open(8)),
            ("code beyond the table", "resulttext|13", shown(RESULT_TEXTS[1])),
            ("negative code", "resulttext|-1", shown(RESULT_TEXTS[1])),
            ("code 10 has a text", "resulttext|10", shown(RESULT_TEXTS[10])),
            ("temporary file", "open|A||%d" % NEW_TEMP, "0 " + RESULT_TEXTS[0]),
            ("temporary name", "name|A", None),
            ("temporary dir", "tempdir", None),
            ("temporary in directory", r"open|B|C:\t|%d" % NEW_TEMP_IN_DIR, "0 " + RESULT_TEXTS[0]),
            ("its name", "name|B", lambda r: r.startswith(r"[C:\t\KZQ") and r.lower().endswith(".tmp]")),
            ("temporary beside", r"open|B|C:\t\whatever.dat|%d" % NEW_TEMP_BESIDE, "0 " + RESULT_TEXTS[0]),
            ("its name", "name|B", lambda r: r.startswith(r"[C:\t\KZQ")),
            ("temporary in missing directory", r"open|B|C:\nodir|%d" % NEW_TEMP_IN_DIR,
             lambda r: r.startswith("1 ")),
            ("joined onto temporary directory", "open|B|joined.dat|%d" % (IN_TEMP_DIR | CREATE_ALWAYS),
             "0 " + RESULT_TEXTS[0]),
            ("joined name", "name|B", None),
            ("close", "close|B", "1"),
            ("probe existing", r"canopen|C:\t\exists.txt", "1"),
            ("probe missing", r"canopen|C:\t\nothere.txt", "0"),
            ("probe null", "canopen|<null>", "0"),
            ("hold unshared", r"open|B|C:\t\locked.txt|0", "0 " + RESULT_TEXTS[0]),
            ("probe locked counts as there", r"canopen|C:\t\locked.txt", "1"),
            # Beside the result code, the Windows error code of the failure is kept.
            ("missing again", r"open|A|C:\t\nothere.txt|%d" % OPEN_EXISTING, failed_open(3)),
            ("file not found", "syserror|A", "2"),
            ("no directory", r"open|A|C:\nodir\x.txt|%d" % OPEN_EXISTING, failed_open(4)),
            ("path not found", "syserror|A", "3"),
            ("a directory again", r"open|A|C:\t|%d" % READ_SHARED, failed_open(11)),
            ("access denied", "syserror|A", "5"),
            ("refused by the program", "open|A||0", failed_open(2)),
            ("no system error", "syserror|A", "0"),
        ]
        results = check_rows(self, p, rows)
        temp_dir = results[18][1:-1]
        self.assertFalse(temp_dir.endswith("\\"))
        temp_name = results[17][1:-1]
        self.assertTrue(temp_name.startswith(temp_dir + "\\KZQ"), temp_name)
        self.assertEqual(results[25], shown(temp_dir + "\\joined.dat"))

    def test_required_open_is_fatal(self):
        with bench.Prefix() as p:
            p.write(r"C:\t\present.txt", "x")
            p.write(SCRIPT, "open|A|C:\\t\\missing.txt|%d\r\n" % (OPEN_EXISTING | REQUIRED))
            result = p.run(bench.driver("filesdriver"), SCRIPT)
            self.assertEqual(result.exit_code, 1)
            self.assertBoxes(result, [("FATAL ERROR", "Failed to open required file:\r\nC:\\t\\missing.txt"
                                                      "\r\n\r\nThe file was not found.")])

    def test_sharing_rules_and_retries(self):
        with bench.Prefix() as p:
            p.write(r"C:\t\f.txt", "data")
            rows = [
                ("holder", r"open|A|C:\t\f.txt|0", "0 " + RESULT_TEXTS[0]),
                # Six attempts 100 ms apart.
                ("retried", r"timedopen|B|C:\t\f.txt|0", lambda r: r.split()[0] == "5" and 450 <= int(r.split()[1]) < 3000),
                ("no retry", r"timedopen|B|C:\t\f.txt|%d" % NO_SHARING_RETRY,
                 lambda r: r.split()[0] == "5" and int(r.split()[1]) < 90),
                # 150 ms, then two sharing retries of 100 ms: four attempts in all.
                ("retry once", r"timedopen|B|C:\t\f.txt|%d" % RETRY_ONCE,
                 lambda r: r.split()[0] == "5" and 300 <= int(r.split()[1]) < 480),
                ("holder closes", "close|A", "1"),
                # A reader that shares reading shares writing as well.
                ("reader", r"open|A|C:\t\f.txt|%d" % READ_SHARED, "0 " + RESULT_TEXTS[0]),
                ("writer sharing both", r"open|B|C:\t\f.txt|%d" % (OPEN_EXISTING | SHARE_READ | SHARE_WRITE),
                 "0 " + RESULT_TEXTS[0]),
                ("writer sharing nothing", r"open|B|C:\t\f.txt|%d" % (OPEN_EXISTING | NO_SHARING_RETRY),
                 failed_open(5)),
                ("second reader", r"open|B|C:\t\f.txt|%d" % READ_SHARED, "0 " + RESULT_TEXTS[0]),
                ("whole-file read beside reader", r"readfile|C:\t\f.txt", "0 [data]"),
            ]
            check_rows(self, p, rows)

    def test_file_held_by_another_process(self):
        with bench.Prefix() as p:
            p.write(r"C:\t\f.txt", "data")
            holder_script = r"C:\bench\holder.txt"
            release = r"C:\bench\release.txt"
            # The holder lets go after this long even unreleased; the checks below start
            # another driver first, which takes long on a loaded, emulating machine.
            p.write(holder_script, "open|A|C:\\t\\f.txt|0\r\nwaitfor|%s|%d\r\n"
                    % (release, int(bench.scaled(30000))))
            program = p.put(bench.driver("filesdriver"), r"C:\test\filesdriver.exe")
            holder = subprocess.Popen(["wine", program, holder_script], env=p.env, stdout=subprocess.PIPE,
                                      stderr=subprocess.DEVNULL)
            try:
                self.assertEqual(holder.stdout.readline().decode("latin-1").strip(), "open: 0 " + RESULT_TEXTS[0])
                rows = [
                    ("retried", r"timedopen|B|C:\t\f.txt|%d" % READ_SHARED,
                     lambda r: r.split()[0] == "5" and int(r.split()[1]) >= 450),
                    ("at once", r"timedopen|B|C:\t\f.txt|%d" % (READ_SHARED | NO_SHARING_RETRY),
                     lambda r: r.split()[0] == "5" and int(r.split()[1]) < 90),
                    ("whole file", r"readfile|C:\t\f.txt", "5 []"),
                    ("append gives up", r"append|C:\t\f.txt|0|x", "0"),
                ]
                check_rows(self, p, rows)
            finally:
                p.write(release, "")
                holder.wait(timeout=bench.scaled(60))
                holder.stdout.close()
            self.assertEqual(p.read(r"C:\t\f.txt"), b"data")


class FileBlocks(bench.WineTestCase):
    def test_blocks_positions_and_memory_image(self):
        with bench.Prefix() as p:
            p.write(r"C:\t\ten.txt", "0123456789")
            p.write(r"C:\t\shrink.txt", "0123456789")
            p.write(r"C:\t\grow.txt", "0123456789")
            p.write(r"C:\t\z.bin", b"abc\0def")
            p.write(r"C:\t\empty.txt", "")
            rows = [
                ("open reader", r"open|A|C:\t\ten.txt|%d" % READ_SHARED, "0 " + RESULT_TEXTS[0]),
                ("read at past end", "readat|A|6|10", "0 [Read past end of file] pos 0"),
                ("read at inside", "readat|A|2|3", "1 [234] pos 0"),
                ("tail", "tail|A|4", "1 [6789] pos 0"),
                ("tail too long", "tail|A|11", "0 [Read past end of file] pos 0"),
                ("tail of nothing", "tail|A|0", lambda r: r.startswith("0 ")),
                ("read", "read|A|4", "1 [0123]"),
                ("position", "pos|A", "4"),
                ("size keeps position", "size|A", "10"),
                ("position after size", "pos|A", "4"),
                ("inside", "ends|A", "1 0"),
                ("seek from end", "seekend|A|-2", "1"),
                ("read to end", "read|A|2", "1 [89]"),
                ("at end", "ends|A", "0 1"),
                ("read beyond", "read|A|1", "0 [Read past end of file]"),
                ("write without access", "write|A|x", "0 [Write access denied]"),
                ("truncate without access", "truncate|A", "0"),
                ("null block", "readnull|A", "0 [NULL block pointer]"),
                ("negative block", "read|A|-1", lambda r: r.startswith("0 [Illegal block size -1]")),
                ("zero block", "read|A|0", "1 []"),
                ("close", "close|A", "1"),
                ("size when closed", "size|A", "-1"),
                ("position when closed", "pos|A", "-1"),
                ("read when closed", "read|A|1", "0 [Read access denied]"),
                ("flush when closed", "flush|A", "0"),
                ("seek when closed", "seek|A|0", "0"),
                # Texts up to a zero byte.
                ("open zero text", r"open|A|C:\t\z.bin|%d" % READ_SHARED, "0 " + RESULT_TEXTS[0]),
                ("first text", "readtext|A", "[abc]"),
                ("second text", "readtext|A", "[def]"),
                ("no more", "readtext|A", "[]"),
                # A dirty image that was shortened leaves the file shortened.
                ("image", r"open|A|C:\t\shrink.txt|%d" % (OPEN_EXISTING | IN_MEMORY), "0 " + RESULT_TEXTS[0]),
                ("image write", "seek|A|4", "1"),
                ("overwrite", "write|A|xy", "1"),
                ("back", "seek|A|3", "1"),
                ("cut", "truncate|A", "1"),
                ("image size", "size|A", "3"),
                ("image read past end", "read|A|1", "0 [Read past end of file]"),
                ("write back", "close|A", "1"),
                # The file is not touched until the image is closed.
                ("shared image", r"open|A|C:\t\grow.txt|%d" % (OPEN_EXISTING | IN_MEMORY | SHARE_READ | SHARE_WRITE),
                 "0 " + RESULT_TEXTS[0]),
                ("image append", "seekend|A|0", "1"),
                ("image grows", "write|A|AB", "1"),
                ("disk unchanged", r"readfile|C:\t\grow.txt", "0 [0123456789]"),
                ("image position", "pos|A", "12"),
                ("image read at", "readat|A|9|3", "1 [9AB] pos 12"),
                ("image closed", "close|A", "1"),
                ("disk written", r"readfile|C:\t\grow.txt", "0 [0123456789AB]"),
                # An image of an empty file; read access is needed to load one.
                ("empty image", r"open|A|C:\t\empty.txt|%d" % (OPEN_EXISTING | IN_MEMORY), "0 " + RESULT_TEXTS[0]),
                ("empty size", "size|A", "0"),
                ("empty image closed", "close|A", "1"),
                ("image without read", r"open|A|C:\t\ten.txt|%d" % (OPEN_EXISTING | NO_READ | IN_MEMORY),
                 failed_open(6)),
                # Text at the end, the position kept when it was elsewhere.
                ("writer", r"open|A|C:\t\ten.txt|%d" % OPEN_EXISTING, "0 " + RESULT_TEXTS[0]),
                ("text at end from start", "textatend|A|Z", "1 pos 0"),
                ("line ended", "endline|A", "1"),
                ("line already ended", "endline|A", "1"),
                ("write at start", "write|A|-", "1"),
                ("stamp", "settime|A|2001|2|3|4|5|6", "1"),
                ("stamp without time", "settime|A|2001|2|3|-1|0|0", "0"),
                ("closed", "close|A", "1"),
                ("stamp kept", r"lastwrite|C:\t\ten.txt", "2001-02-03 04:05:06"),
                ("found", r"find|C:\t\ten*", lambda r: r.startswith("1 [ten.txt] 32 13 2001-02-03 04:05:06")),
                ("not found", r"find|C:\t\none*", "0"),
                ("empty file needs no line end", r"open|A|C:\t\empty.txt|%d" % OPEN_EXISTING, "0 " + RESULT_TEXTS[0]),
                ("empty line end", "endline|A", "1"),
                ("empty closed", "close|A", "1"),
                ("append mode", r"open|A|C:\t\ten.txt|%d" % (OPEN_EXISTING | APPEND), "0 " + RESULT_TEXTS[0]),
                ("appended at end", "pos|A", "13"),
                ("closed again", "close|A", "1"),
            ]
            check_rows(self, p, rows)
            self.assertEqual(p.read(r"C:\t\shrink.txt"), b"012")
            self.assertEqual(p.read(r"C:\t\ten.txt"), b"-123456789Z\r\n")
            self.assertEqual(p.read(r"C:\t\empty.txt"), b"")

    def test_whole_file_helpers(self):
        size = 3 * 1024 * 1024
        with bench.Prefix() as p:
            p.write(r"C:\t\empty.txt", "")
            p.write(r"C:\t\log.txt", "line1")
            p.write(r"C:\t\crlf.txt", "line1\r\n")
            p.write(r"C:\t\same.txt", "same bytes")
            p.write(r"C:\t\ro.txt", "ro")
            p.write(r"C:\t\plain.txt", "plain")
            rows = [
                ("three MiB", r"writebig|C:\t\big.bin|%d" % size, "1 1"),
                ("read empty", r"readfile|C:\t\empty.txt", "0 []"),
                ("read missing", r"readfile|C:\t\missing.txt", "3 []"),
                ("read no name", "readfile|", "2 []"),
                ("read null name", "readfile|<null>", "2 []"),
                ("write bytes", r"writefile|C:\t\w.bin|%s" % esc("a\0b\r\n"), "1"),
                ("read bytes", r"readfile|C:\t\w.bin", r"0 [a\x00b\x0D\x0A]"),
                ("write up to zero", r"writetext|C:\t\z.txt|%s" % esc("abc\0def"), "1"),
                ("read up to zero", r"readfile|C:\t\z.txt", "0 [abc]"),
                ("write nothing", r"writefile|C:\t\nothing.txt|<null>|0", "1"),
                ("write nothing negative", r"writefile|C:\t\neg.txt|<null>|-5", "0"),
                ("write no name", "writefile||x", "0"),
                ("write missing directory", r"writefile|C:\nodir\x.txt|x", "0"),
                ("temporary", "tempfile|%s" % esc("temp\r\n"), lambda r: r.startswith("1 [") and "\\KZQ" in r),
                ("append with line end", r"append|C:\t\log.txt|1|line2", "1"),
                ("append after line end", r"append|C:\t\crlf.txt|1|line2", "1"),
                ("append plain", r"append|C:\t\crlf.txt|0|line3", "1"),
                ("append existing only", r"append|C:\t\nolog.txt|4|x", "0"),
                ("append creates", r"append|C:\t\newlog.txt|0|first", "1"),
                ("append no name", "append||0|x", "0"),
                ("same", r"same|C:\t\same.txt|same bytes", "1"),
                ("same length other bytes", r"same|C:\t\same.txt|same bytez", "0"),
                ("shorter", r"same|C:\t\same.txt|same", "0"),
                ("same missing", r"same|C:\t\missing.txt|", "0"),
                ("same empty", r"same|C:\t\empty.txt|", "1"),
                ("attributes of missing", r"attrs|C:\t\missing.txt", "-1"),
                ("attributes of null", "attrs|<null>", "-1"),
                ("not read-only", r"isreadonly|C:\t\ro.txt", "0"),
                ("set read-only", r"setreadonly|C:\t\ro.txt|1", "1"),
                ("read-only", r"isreadonly|C:\t\ro.txt", "1"),
                ("keep read-only refuses", r"delete|C:\t\ro.txt|1", "0"),
                ("delete clears read-only", r"delete|C:\t\ro.txt|0", "1"),
                ("gone", r"attrs|C:\t\ro.txt", "-1"),
                ("hidden and system", r"setattrs|C:\t\plain.txt|6|4391", "1"),
                # Wine keeps the archive bit of every file whatever it is told.
                ("attributes set", r"attrs|C:\t\plain.txt", lambda r: int(r) & ~0x20 == 6),
                ("masked bits only", r"setattrs|C:\t\plain.txt|1|1", "1"),
                ("attributes added", r"attrs|C:\t\plain.txt", lambda r: int(r) & ~0x20 == 7),
                ("clear three", r"clearattrs|C:\t\plain.txt|7", "1"),
                ("attributes cleared", r"attrs|C:\t\plain.txt", lambda r: (int(r) & 7) == 0),
                ("set read-only on missing", r"setreadonly|C:\t\missing.txt|1", "0"),
                ("delete missing", r"delete|C:\t\missing.txt|0", "0"),
                ("delete no name", "delete||0", "0"),
                ("delete null", "delete|<null>|0", "0"),
                ("deferred delete registered", r"delete|C:\t\plain.txt|2", "1"),
                ("kept", r"attrs|C:\t\plain.txt", lambda r: r != "-1"),
                ("no error text for 0", "errortext|0", "[]"),
                ("system text", "errortext|2", lambda r: len(r) > 6 and r.endswith("\\x0D\\x0A]")),
            ]
            results = check_rows(self, p, rows)
            big = p.read(r"C:\t\big.bin")
            self.assertEqual(len(big), size)
            self.assertEqual(big, bytes((i * 7) % 251 for i in range(size)))
            self.assertEqual(p.read(r"C:\t\log.txt"), b"line1\r\nline2")
            self.assertEqual(p.read(r"C:\t\crlf.txt"), b"line1\r\nline2line3")
            self.assertEqual(p.read(r"C:\t\newlog.txt"), b"first")
            self.assertFalse(p.exists(r"C:\t\nolog.txt"))
            self.assertFalse(p.exists(r"C:\t\neg.txt"))
            self.assertEqual(p.read(r"C:\t\nothing.txt"), b"")
            temp_name = results[13][3:-1]
            self.assertTrue(os.path.basename(temp_name.replace("\\", "/")).upper().startswith("KZQ"))
            temp_dir = temp_name.rsplit("\\", 1)[0]
            self.assertTrue(temp_dir.lower().startswith("c:\\"), temp_dir)
            with open(p.host_path(temp_name), "rb") as f:
                self.assertEqual(f.read(), b"temp\r\n")


class PathsAndDirectories(bench.WineTestCase):
    def test_system_paths(self):
        with bench.Prefix() as p:
            p.write(r"C:\Program Files\x.txt", "x")
            rows = [
                ("windows", "windir", r"[C:\windows]"),
                ("program file", "progfile", r"[C:\test\filesdriver.exe]"),
                ("program directory", "progdir", r"[C:\test]"),
                ("program name", "progname", "[filesdriver.exe]"),
                ("program drive", "progdrive", "[C]"),
                ("command interpreter", "comspec", lambda r: r.lower().endswith("cmd.exe]") and '"' not in r),
                ("temporary", "tempdir", lambda r: r.startswith("[C:\\") and not r.endswith("\\]")),
                ("system", "sysdir", r"[C:\windows\system32]"),
                ("current is the program's", "curdir", r"[C:\test]"),
                ("in program directory", "inprogdir|setup.ini", r"[C:\test\setup.ini]"),
                ("absolute to program", r"abstoprog|sub\x.dll", r"1 [C:\test\sub\x.dll]"),
                ("other drive", "abstoprog|d:x", r"1 [d:\test\x]"),
                ("already absolute", r"abstoprog|C:\y", r"0 [C:\y]"),
                ("short name", r"shortname|C:\Program Files\x.txt",
                 lambda r: r.startswith("[C:\\") and " " not in r and r.upper().endswith("\\X.TXT]")),
                ("short name missing", r"shortname|C:\no such\x.txt", r"[C:\no such\x.txt]"),
                ("short name empty", "shortname|", "[]"),
            ]
            check_rows(self, p, rows)

    def test_directories_and_drives(self):
        with bench.Prefix() as p:
            p.write(r"C:\t\file.txt", "x")
            for name in (r"C:\tree\a.txt", r"C:\tree\sub\b.txt", r"C:\tree\sub\deep\c.txt", r"C:\tree\ro.txt"):
                p.write(name, "data")
            p.write(r"C:\busy\held.txt", "x")
            p.write(r"C:\busy\free.txt", "x")
            p.write(r"C:\busy\sub\free2.txt", "x")
            p.write(r"C:\outside\keep.txt", "keep")
            os.makedirs(p.host_path(r"C:\linked"))
            os.symlink(p.host_path(r"C:\outside"), p.host_path(r"C:\linked\link"))
            rows = [
                ("exists", r"direxists|C:\t", "1"),
                ("current kept", "curdir", r"[C:\test]"),
                ("missing", r"direxists|C:\nodir", "0"),
                ("a file", r"direxists|C:\t\file.txt", "0"),
                ("empty", "direxists|", "0"),
                ("drive C", "driveexists|C", "1"),
                ("drive Q", "driveexists|Q", "0"),
                ("not a letter", "driveexists|1", "0"),
                ("create nested", r"mkdirs|C:\a\b\c", "1"),
                ("created", r"direxists|C:\a\b\c", "1"),
                ("create existing", r"mkdirs|C:\a\b", "1"),
                ("trailing backslash", "mkdirs|C:\\a\\d\\", "1"),
                ("create root", "mkdirs|C:\\", "1"),
                ("create empty", "mkdirs|", "0"),
                ("create below a file", r"mkdirs|C:\t\file.txt\sub", "0"),
                # The reason is CreateDirectoryA's, not that of the existence test after it.
                ("a file of that name", r"mkdirserror|C:\t\file.txt", "0 183"),
                ("below a file, the same reason", r"mkdirserror|C:\t\file.txt\sub", "0 183"),
                ("remove leaf", r"rmdir|C:\a\b\c", "1"),
                ("removed", r"direxists|C:\a\b\c", "0"),
                ("remove non-empty", r"rmdir|C:\a", "0"),
                ("remove root", "rmdir|C:\\", "0"),
                ("remove with backslash", "rmdir|C:\\a\\d\\", "1"),
                ("make read-only", r"setreadonly|C:\tree\ro.txt|1", "1"),
                ("delete tree", r"deltree|C:\tree", "1 0"),
                ("tree gone", r"direxists|C:\tree", "0"),
                ("root refused", "deltree|C:\\", lambda r: r.startswith("0 ")),
                ("drive refused", "deltree|C:", lambda r: r.startswith("0 ")),
                ("windows refused", "deltree|C:\\WINDOWS\\", lambda r: r.startswith("0 ")),
                ("windows by a detour", r"deltree|C:\t\..\windows", lambda r: r.startswith("0 ")),
                ("root by a detour", r"deltree|C:\t\..", lambda r: r.startswith("0 ")),
                ("share root refused", r"deltree|\\server\share", lambda r: r.startswith("0 ")),
                ("missing tree", r"deltree|C:\nodir", lambda r: r.startswith("0 ")),
                ("empty path", "deltree|", lambda r: r.startswith("0 ")),
                ("hold a file", r"open|A|C:\busy\held.txt|0", "0 " + RESULT_TEXTS[0]),
                # The loop goes on after the failure and reports it.
                ("busy tree", r"deltree|C:\busy", "0 32"),
                ("held file kept", r"attrs|C:\busy\held.txt", lambda r: r != "-1"),
                ("others deleted", r"attrs|C:\busy\free.txt", "-1"),
                ("subdirectory deleted", r"direxists|C:\busy\sub", "0"),
                ("release", "close|A", "1"),
                ("link not followed", r"deltree|C:\linked", lambda r: r.split()[0] in ("0", "1")),
                ("free space", "freespace|C:\\", lambda r: r.startswith("1 ") and 0 < int(r.split()[1]) <= int(r.split()[2])),
                ("free space of a path", r"drivefree|C:\t\file.txt", lambda r: r.startswith("1 ") and int(r.split()[2]) > 0),
                ("no drive letter", r"drivefree|\\server\share", "-1 0 0"),
                ("missing drive", "freespace|Q:\\", "0 0 0"),
                ("cluster size", r"cluster|C:\t", lambda r: int(r) > 0 and int(r) % 512 == 0),
                ("cluster without letter", r"cluster|\t", "-1"),
                ("cluster of missing drive", r"cluster|Q:\x", "-1"),
            ]
            check_rows(self, p, rows)
            self.assertFalse(p.exists(r"C:\tree"))
            self.assertEqual(p.read(r"C:\outside\keep.txt"), b"keep")
            self.assertTrue(os.path.isdir(p.host_path(r"C:\windows\system32")))

    def test_run_time_loading(self):
        with bench.Prefix() as p:
            rows = [
                ("found in a loaded library", "loadfn|kernel32.dll|GetDiskFreeSpaceExA", "1 1 1"),
                ("missing function frees the library", "loadfn|msimg32.dll|NoSuchFunction", "0 0 0"),
                ("kept while in use", "loadfn|msimg32.dll|GradientFill", "1 1 1"),
                ("missing library", "loadfn|nosuch.dll|Anything", "0 0 0"),
                ("optional missing", "loadtable|kernel32.dll|GetTickCount|NoSuchFunction|1", "1 1 0"),
                ("required missing", "loadtable|kernel32.dll|GetTickCount|NoSuchFunction|0", "0 1 0"),
                ("freed at exit", "freelibs|msimg32.dll", "0"),
            ]
            check_rows(self, p, rows)


class FileLists(bench.WineTestCase):
    def _tree(self, p):
        files = {
            r"C:\s\b.txt": (b"bb", 2001),
            r"C:\s\A.txt": (b"a", 2003),
            r"C:\s\c.log": (b"cccc", 2002),
            r"C:\s\sub\d.txt": (b"ddd", 2002),
            r"C:\s\sub\deep\e.txt": (b"eeeee", 2000),
            r"C:\n\a.txt": (b"", 2000),
            r"C:\n\a-b.txt": (b"", 2000),
        }
        for name, (data, year) in files.items():
            p.write(name, data)
            stamp = time.mktime((year, 6, 1, 12, 0, 0, 0, 0, -1))
            os.utime(p.host_path(name), (stamp, stamp))
        os.makedirs(p.host_path(r"C:\s\Sub2"))

    def test_scan_with_recursion_and_sorts(self):
        by_path, by_time, by_text = 0x80, 0x40, 0xC0
        reverse, name_only, no_ext, dirs, recurse, add = 0x20, 0x04, 0x08, 0x01, 0x02, 0x10
        with bench.Prefix() as p:
            self._tree(p)
            rows = [
                ("by path", r"scan|C:\s\*.txt|%d" % by_path, r"3 [C:\s\A.txt] [C:\s\b.txt]"),
                ("by path reversed", r"scan|C:\s\*.txt|%d" % (by_path | reverse), r"3 [C:\s\b.txt] [C:\s\A.txt]"),
                ("newest first", r"scan|C:\s\*.*|%d" % by_time, r"7 [C:\s\A.txt] [C:\s\c.log] [C:\s\b.txt]"),
                ("oldest first", r"scan|C:\s\*.*|%d" % (by_time | reverse),
                 r"7 [C:\s\b.txt] [C:\s\c.log] [C:\s\A.txt]"),
                ("recursive suffix", r"scan|C:\s\*.txt /S|%d" % by_path,
                 r"11 [C:\s\A.txt] [C:\s\b.txt] [C:\s\sub\d.txt] [C:\s\sub\deep\e.txt]"),
                ("recursive option", r"scan|C:\s\*.txt|%d" % (by_path | recurse),
                 r"11 [C:\s\A.txt] [C:\s\b.txt] [C:\s\sub\d.txt] [C:\s\sub\deep\e.txt]"),
                ("names only", r"scan|C:\s\*.txt /s|%d" % (by_path | name_only), "11 [A.txt] [b.txt] [d.txt] [e.txt]"),
                # The path sort sees "a-b.txt" before "a.txt"; the text sort sees "a" first.
                ("path sort before trimming", r"scan|C:\n\*.txt|%d" % (by_path | no_ext), r"0 [C:\n\a-b] [C:\n\a]"),
                ("text sort after trimming", r"scan|C:\n\*.txt|%d" % (by_text | no_ext), r"0 [C:\n\a] [C:\n\a-b]"),
                ("text sort reversed", r"scan|C:\n\*.txt|%d" % (by_text | no_ext | name_only | reverse), "0 [a-b] [a]"),
                ("with directories", r"scan|C:\s\*|%d" % (by_path | dirs),
                 r"7 [C:\s\A.txt] [C:\s\b.txt] [C:\s\c.log] [C:\s\sub] [C:\s\Sub2]"),
                ("added to the list", r"scan|C:\s\a.txt|%d|keep" % add, r"1 [kept] [C:\s\A.txt]"),
                ("list replaced", r"scan|C:\s\a.txt|0|keep", r"1 [C:\s\A.txt]"),
                ("matches nothing", r"scan|C:\s\*.zip /s|0", "0"),
                ("missing directory", r"scan|C:\nodir\*.txt|0", "0"),
                ("empty mask", "scan||0", "0"),
                ("unsorted has them all", r"scan|C:\s\*.txt /s|0",
                 lambda r: sorted(r.split(" ")[1:]) == sorted([r"[C:\s\A.txt]", r"[C:\s\b.txt]", r"[C:\s\sub\d.txt]",
                                                               r"[C:\s\sub\deep\e.txt]"])),
            ]
            check_rows(self, p, rows)

    def test_parse_file_specifications(self):
        fresh = 0x800 | 0x1000 | 0x2000
        with bench.Prefix() as p:
            for name, size in ((r"C:\p\a.exe", 1), (r"C:\p\b.dll", 2), (r"C:\p\sub\c.dll", 4), (r"C:\q\x.txt", 8)):
                p.write(name, b"x" * size)
            not_absolute = "is not an absolute path.  Please include the drive and directory.\r\n"
            rows = [
                ("one line, two masks", "parse|<null>|%d|%s" % (fresh, esc("C:\\p\\*.exe;*.dll")),
                 r"3 names [C:\p\a.exe] [C:\p\b.dll] lines messages []"),
                ("blanks around masks", "parse|<null>|%d|%s" % (fresh, esc("  C:\\p\\*.exe ; *.dll ;; ")),
                 r"3 names [C:\p\a.exe] [C:\p\b.dll] lines messages []"),
                ("duplicate", "parse|<null>|%d|%s" % (fresh, esc("C:\\p\\*.exe\r\nc:\\P\\A.EXE")),
                 r"2 names [C:\p\a.exe] lines messages " + shown('The file "c:\\P\\a.exe" occurs more than once.\r\n')),
                ("duplicates allowed", "parse|<null>|%d|%s" % (fresh | 0x200, esc("C:\\p\\*.exe\nC:\\p\\a.exe")),
                 r"2 names [C:\p\a.exe] [C:\p\a.exe] lines 0 1 messages []"),
                ("relative without default", "parse|<null>|%d|%s" % (fresh, esc("C:\\p\\a.exe\n\n*.txt")),
                 r"1 names [C:\p\a.exe] lines messages " +
                 shown('The file specification "*.txt" on line 3 ' + not_absolute)),
                ("without line numbers", "parse|<null>|%d|%s" % (fresh | 0x100, esc("*.txt")),
                 r"0 names lines messages " + shown('The file specification "*.txt" ' + not_absolute)),
                ("matches nothing", "parse|<null>|%d|%s" % (fresh, esc("C:\\p\\*.zip")),
                 r"0 names lines messages " +
                 shown('The file specification "C:\\p\\*.zip" on line 1 did not match any files.\r\n')),
                ("default directory", "parse|C:\\p|%d|%s" % (fresh, esc("*.exe\r\n\r\nsub\\*.dll;*.zip")),
                 r"5 names [C:\p\a.exe] [C:\p\sub\c.dll] lines messages " +
                 shown('The file specification "C:\\p\\sub\\*.zip" on line 3 did not match any files.\r\n')),
                ("other absolute mask", "parse|C:\\p|%d|%s" % (fresh, esc("*.exe;C:\\q\\*.txt")),
                 r"9 names [C:\p\a.exe] [C:\q\x.txt] lines messages []"),
                ("missing default directory", "parse|C:\\nodir|%d|%s" % (fresh, esc("*.exe")),
                 "0 names lines messages " +
                 shown('The default directory "C:\\nodir" does not exist.\r\n'
                       'The file specification "C:\\nodir\\*.exe" on line 1 did not match any files.\r\n')),
                ("recursion", "parse|<null>|%d|%s" % (fresh | 0x002, esc("C:\\p\\*.dll")),
                 r"6 names [C:\p\b.dll] [C:\p\sub\c.dll] lines messages []"),
                ("blank is an error", "parse|<null>|%d|%s" % (0x400, esc(" \r\n\t")),
                 r"0 names [C:\earlier\name.txt] lines messages " + shown("No files were specified.\r\n")),
                ("blank is fine", "parse|<null>|%d|%s" % (fresh, esc(" \r\n")), "0 names lines messages []"),
                ("lists kept", "parse|<null>|0|%s" % esc("C:\\q\\x.txt"),
                 r"8 names [C:\earlier\name.txt] [C:\q\x.txt] lines messages " + shown("old\r\n")),
            ]
            check_rows(self, p, rows)


if __name__ == "__main__":
    bench.main()
