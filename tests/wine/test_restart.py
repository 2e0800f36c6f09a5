"""Replacement and deletion at the next start of Windows, moving files, and the restart
itself, under Wine through servicesdriver.exe. The 9x family gets wininit.ini lines with
short names, the NT family PendingFileRenameOperations; in both, the restart that the
driver asks for runs Wine's own start-up processing, which carries the changes out."""

import os
import subprocess

import bench
from services_script import check_rows

SESSION_MANAGER = r"HKLM\System\CurrentControlSet\Control\Session Manager"
TARGET = r"C:\app\Long Name Library.dll"
SOURCE = r"C:\app\Replacement Data.tmp"

# Options.
KEEP_READ_ONLY, AT_RESTART, AT_RESTART_IF_BUSY = 0x01, 0x02, 0x10
MUST_EXIST, NEVER_REPLACE, MAKE_DIRECTORIES, MOVE_AT_RESTART = 0x01, 0x02, 0x04, 0x08


def locked_file_rows(family):
    """A locked library replaced at restart, a locked file deleted at restart, and the
    cases that must not wait for a restart; the same on both families."""
    return [
        ("family", "family", family),
        ("hold the library", r"hold|A|%s" % TARGET, "0"),
        ("hold a file", r"hold|B|C:\app\busy.txt", "0"),
        ("locked file not deleted", r"deleteone|C:\app\busy.txt|0", "0"),
        ("deletion when busy waits", r"delete|C:\app\busy.txt|%d" % AT_RESTART_IF_BUSY, lambda r: r.startswith("restart ")),
        ("replacement waits", "move|%s|%s|%d" % (SOURCE, TARGET, MOVE_AT_RESTART), lambda r: r.startswith("restart ")),
        ("a missing file needs no restart", r"delete|C:\app\missing.txt|%d" % AT_RESTART_IF_BUSY, "failed 2"),
        ("a free file goes now", r"deleteone|C:\app\free.txt|%d" % AT_RESTART_IF_BUSY, "1"),
        ("deletion at restart without trying", r"delete|C:\app\later.txt|%d" % AT_RESTART, lambda r: r.startswith("restart ")),
        ("target short name", "shortname|" + TARGET, None),
        ("source short name", "shortname|" + SOURCE, None),
        ("release the library", "release|A", "1"),
        ("release the file", "release|B", "1"),
    ]


def put_files(p):
    p.write(TARGET, "old")
    p.write(SOURCE, "new")
    for name in ("busy", "free", "later"):
        p.write(r"C:\app\%s.txt" % name, name)


def check_before_restart(test, p):
    test.assertEqual(p.read(TARGET), b"old")
    test.assertEqual(p.read(SOURCE), b"new")
    test.assertTrue(p.exists(r"C:\app\busy.txt"))
    test.assertTrue(p.exists(r"C:\app\later.txt"))
    test.assertFalse(p.exists(r"C:\app\free.txt"))


def check_after_restart(test, p):
    test.assertEqual(p.read(TARGET), b"new")
    test.assertFalse(p.exists(SOURCE))
    test.assertFalse(p.exists(r"C:\app\busy.txt"))
    test.assertFalse(p.exists(r"C:\app\later.txt"))


# The restart as the installer asks for it (kind 2, not forced), in the same driver run as
# the registrations: every new wineserver is a new start of Windows to Wine, which then
# carries out what is pending, so only a run without one shows the restart's own work.
RESTART_ROW = ("restart", "restart|2|0", lambda r: r.startswith("1 "))


def wait_for_restart(p):
    """Windows goes on with the restart after the call returns: waits for all of it.
    The prefix must have been made with persistent_server=False."""
    subprocess.run(["wineserver", "-w"], env=p.env, timeout=300)


class NineXFamily(bench.WineTestCase):
    def test_wininit_lines_with_short_names_and_restart(self):
        with bench.Prefix("win98", persistent_server=False) as p:
            put_files(p)
            results = check_rows(self, p, locked_file_rows("9x") + [RESTART_ROW])
            wait_for_restart(p)
            target, source = results["target short name"][1:-1], results["source short name"][1:-1]
            self.assertNotIn(" ", target + source)
            self.assertNotEqual(target.lower(), TARGET.lower())
            # Wine keeps the file it carried out as wininit.bak. Newest line first, one
            # section, made with the file.
            self.assertEqual(p.read(r"C:\windows\wininit.bak").decode("latin-1"),
                             "\r\n[rename]\r\nNUL=C:\\app\\later.txt\r\n%s=%s\r\nNUL=C:\\app\\busy.txt"
                             % (target, source))
            self.assertFalse(p.exists(r"C:\windows\wininit.ini"))
            self.assertIsNone(p.registry().value(SESSION_MANAGER, "PendingFileRenameOperations"))
            check_after_restart(self, p)

    def test_existing_section_is_reused(self):
        with bench.Prefix("win98") as p:
            p.write(r"C:\app\a.txt", "a")
            rows = [
                # Written from inside: Wine carries out a wininit.ini it finds when it starts.
                ("earlier file", r"writelines|C:\windows\wininit.ini|[boot]|x=1|[Rename]|NUL=C:\OLD.TXT", "1"),
                ("deferred", r"delete|C:\app\a.txt|%d" % AT_RESTART, lambda r: r.startswith("restart ")),
                ("blank key", "rename||C:\\x", "0 0"),
                ("blank value", "rename|NUL| ", "0 0"),
            ]
            check_rows(self, p, rows)
            self.assertEqual(p.read(r"C:\windows\wininit.ini"),
                             b"[boot]\r\nx=1\r\n[Rename]\r\nNUL=C:\\app\\a.txt\r\nNUL=C:\\OLD.TXT\r\n")


class NtFamily(bench.WineTestCase):
    def test_pending_operations(self):
        with bench.Prefix("winxp", persistent_server=False) as p:
            put_files(p)
            check_rows(self, p, locked_file_rows("nt"))
            pending = p.registry().value(SESSION_MANAGER, "PendingFileRenameOperations")
            # Pairs of source and target, the target empty for a deletion (the hive
            # reader drops empty strings); "!" asks for the target to be replaced.
            self.assertEqual(pending, ["\\??\\C:\\app\\busy.txt", "\\??\\" + SOURCE, "!\\??\\" + TARGET,
                                       "\\??\\C:\\app\\later.txt"])
            self.assertFalse(p.exists(r"C:\windows\wininit.ini"))
            check_before_restart(self, p)
            # The next start of Windows (here: of a wineserver) carries them out.
            check_rows(self, p, [("family", "family", "nt")])
            wait_for_restart(p)
            check_after_restart(self, p)

    def test_restart(self):
        with bench.Prefix("winxp", persistent_server=False) as p:
            p.write(TARGET, "old")
            p.write(SOURCE, "new")
            rows = [
                ("replacement waits", "move|%s|%s|%d" % (SOURCE, TARGET, MOVE_AT_RESTART), lambda r: r.startswith("restart ")),
                RESTART_ROW,
                # Turned off again after the call.
                ("privilege off", "privstate|SeShutdownPrivilege", "held off"),
            ]
            check_rows(self, p, rows)
            wait_for_restart(p)
            self.assertEqual(p.read(TARGET), b"new")
            self.assertFalse(p.exists(SOURCE))

    def test_wininit_when_windows_refuses(self):
        # A name longer than Windows' own paths makes MoveFileExA fail; then wininit.ini
        # stands in, but only where wininit.exe is there to read it.
        overlong = "C:\\" + "a" * 40000
        with bench.Prefix("winxp") as p:
            rows = [
                ("refused, no wininit.exe", "delete|%s|%d" % (overlong, AT_RESTART), "failed 87"),
                ("wininit.exe", r"writelines|C:\windows\wininit.exe|", "1"),
                ("refused, wininit.exe there", "delete|%s|%d" % (overlong, AT_RESTART), lambda r: r.startswith("restart ")),
                ("taken by Windows", r"delete|C:\app\x.txt|%d" % AT_RESTART, lambda r: r.startswith("restart ")),
            ]
            check_rows(self, p, rows)
            self.assertEqual(p.read(r"C:\windows\wininit.ini").decode("latin-1"), "\r\n[rename]\r\nNUL=" + overlong)
            pending = p.registry().value(SESSION_MANAGER, "PendingFileRenameOperations")
            self.assertEqual(pending, ["\\??\\C:\\app\\x.txt"])

    def test_moves_now(self):
        with bench.Prefix("winxp") as p:
            for name in ("a", "b", "c", "d", "case", "kept"):
                p.write(r"C:\m\%s.txt" % name, name)
            rows = [
                ("same name does nothing", r"move|C:\m\a.txt|C:\m\a.txt|0", lambda r: r.startswith("done ")),
                ("target must exist", r"move|C:\m\a.txt|C:\m\none.txt|%d" % MUST_EXIST, "failed 2"),
                ("never replace", r"move|C:\m\a.txt|C:\m\b.txt|%d" % NEVER_REPLACE, "failed 80"),
                ("replace now", r"move|C:\m\a.txt|C:\m\b.txt|0", lambda r: r.startswith("done ")),
                ("existing target deleted first", r"move|C:\m\b.txt|C:\m\c.txt|%d" % MUST_EXIST,
                 lambda r: r.startswith("done ")),
                ("directories made", r"move|C:\m\d.txt|C:\m\new\deeper\d.txt|%d" % MAKE_DIRECTORIES,
                 lambda r: r.startswith("done ")),
                ("no directories made", r"move|C:\m\kept.txt|C:\m\other\kept.txt|0", "failed 3"),
                # The one file must not be deleted as "the target" before the rename.
                ("case only", r"move|C:\m\case.txt|C:\m\CASE.TXT|0", lambda r: r.startswith("done ")),
                ("missing source", r"move|C:\m\none.txt|C:\m\x.txt|0", "failed 2"),
                ("blank source", r"move| |C:\m\x.txt|0", "failed 87"),
                ("null target", r"move|C:\m\kept.txt|<null>|0", "failed 87"),
                ("blank deletion", "delete||%d" % AT_RESTART, "failed 87"),
                ("read-only kept", r"deleteone|C:\m\ro.txt|%d" % KEEP_READ_ONLY, "0"),
                ("read-only cleared", r"deleteone|C:\m\ro.txt|0", "1"),
            ]
            p.write(r"C:\m\ro.txt", "ro")
            os.chmod(p.host_path(r"C:\m\ro.txt"), 0o444)
            check_rows(self, p, rows)
            self.assertEqual(p.read(r"C:\m\c.txt"), b"a")
            self.assertFalse(p.exists(r"C:\m\a.txt") or p.exists(r"C:\m\b.txt"))
            self.assertEqual(p.read(r"C:\m\new\deeper\d.txt"), b"d")
            self.assertEqual(p.read(r"C:\m\kept.txt"), b"kept")
            # Wine keeps the name's case; what matters is that the file is still there.
            renamed = [n for n in os.listdir(p.host_path(r"C:\m")) if n.lower() == "case.txt"]
            self.assertEqual(len(renamed), 1)
            self.assertEqual(p.read("C:\\m\\" + renamed[0]), b"case")
            self.assertIsNone(p.registry().value(SESSION_MANAGER, "PendingFileRenameOperations"))

    def test_shutdown_privilege(self):
        with bench.Prefix("winxp") as p:
            rows = [
                ("off at start", "privstate|SeShutdownPrivilege", "held off"),
                ("turn on", "privilege|SeShutdownPrivilege|1", "1"),
                ("on", "privstate|SeShutdownPrivilege", "held on"),
                ("turn off", "privilege|SeShutdownPrivilege|0", "1"),
                ("off", "privstate|SeShutdownPrivilege", "held off"),
                # Turning one privilege off leaves the others as they were.
                ("others untouched", "privstate|SeChangeNotifyPrivilege", "held on"),
                ("unknown privilege", "privilege|SeNoSuchPrivilege|1", "0"),
            ]
            check_rows(self, p, rows)


if __name__ == "__main__":
    bench.main()
