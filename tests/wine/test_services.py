"""The process launcher and the document opener, file versions, shortcuts and type
libraries under Wine, through servicesdriver.exe. The launcher's child is the driver
itself (--child), which writes down how it was started."""

import ntpath
import os
import pwd

import bench
from services_script import check_rows, shown

DRIVER = r"C:\test\servicesdriver.exe"

# Run options.
WAIT, HIDDEN, MAXIMIZED, MINIMIZED, REPORT, PUMP = 0x1, 0x10, 0x20, 0x40, 0x80, 0x100


def child(report, exit_code=0, milliseconds=0):
    return r"%s --child C:\t\%s.txt %d %d" % (DRIVER, report, exit_code, milliseconds)


def child_report(p, name):
    """What the child wrote: {field: value}."""
    text = p.read(r"C:\t\%s.txt" % name).decode("latin-1")
    return dict(line.split("=", 1) for line in text.split("\r\n") if line)


class Launcher(bench.WineTestCase):
    def test_run_options_and_results(self):
        with bench.Prefix() as p:
            p.write(r"C:\t\placeholder.txt", "")
            rows = [
                ("exit code", "run|%s|%d|" % (child("wait", 7), WAIT), "00000007 ticks 0 []"),
                ("command interpreter", "run|cmd /c exit 3|%d|" % WAIT, "00000003 ticks 0 []"),
                ("not waited for", "run|cmd /c exit 3|0|", "80000001 ticks 0 []"),
                ("hidden", "run|%s|%d|" % (child("hidden"), WAIT | HIDDEN), None),
                ("maximised wins", "run|%s|%d|" % (child("maximised"), WAIT | MAXIMIZED | MINIMIZED | HIDDEN), None),
                ("minimised wins", "run|%s|%d|" % (child("minimised"), WAIT | MINIMIZED | HIDDEN), None),
                ("in a directory", "run|%s|%d|C:\\t" % (child("directory"), WAIT), None),
                # A timer ticks every 10 ms while the child sleeps for 600.
                ("pumped while waiting", "run|%s|%d|" % (child("pumped", 0, 600), WAIT | PUMP),
                 lambda r: r.startswith("00000000 ticks ") and int(r.split()[2]) > 0),
                ("not pumped", "run|%s|%d|" % (child("unpumped", 0, 600), WAIT), "00000000 ticks 0 []"),
                ("failure reported", r"run|C:\nosuch\prog.exe /x|%d|" % REPORT,
                 "80000000 ticks 0 " + shown("Unable to create process:\r\nC:\\nosuch\\prog.exe /x")),
                ("failure not reported", r"run|C:\nosuch\prog.exe /x|%d|" % WAIT, "80000000 ticks 0 []"),
                ("empty command line", "run||%d|" % (WAIT | REPORT), "80000000 ticks 0 []"),
                ("missing directory", r"run|%s|%d|C:\nodir" % (child("nodir"), WAIT), "80000000 ticks 0 []"),
            ]
            check_rows(self, p, rows)
            # Wine starts every child at normal priority whatever it is asked, so the
            # priority classes are checked by the host tests alone.
            expected = {
                # name: (show state, directory)
                "wait": ("-1", r"C:\test"),
                "hidden": ("0", r"C:\test"),
                "maximised": ("3", r"C:\test"),
                "minimised": ("6", r"C:\test"),
                "directory": ("-1", r"C:\t"),
            }
            for name, (show, directory) in expected.items():
                with self.subTest(name):
                    report = child_report(p, name)
                    self.assertEqual((report["show"], report["directory"]), (show, directory))
                    self.assertEqual(report["command"], child(name, 7 if name == "wait" else 0))
            self.assertFalse(p.exists(r"C:\t\nodir.txt"))

    def test_open_document(self):
        with bench.Prefix() as p:
            p.write(r"C:\t\letter.quoxdoc", "text")
            rows = [
                ("associate", 'assoc|.quoxdoc|"%s" --child C:\\t\\opened.txt 0 0 "%%1"' % DRIVER, "1"),
                # The opener works in the program's directory, not the current one.
                ("elsewhere", r"cd|C:\t", "1"),
                ("open", r"open|C:\t\letter.quoxdoc", lambda r: r.startswith("1 ")),
                ("opened", r"waitfor|C:\t\opened.txt|60000", "1"),
                ("missing document", r"open|C:\t\missing.quoxdoc", "0 2"),
                ("no name", "open|", "0 87"),
            ]
            check_rows(self, p, rows)
            report = child_report(p, "opened")
            self.assertEqual(report["directory"], r"C:\test")
            self.assertIn(r"C:\t\letter.quoxdoc", report["command"])


class FileVersions(bench.WineTestCase):
    def test_versions_of_files_on_disk(self):
        with bench.Prefix() as p:
            for name in ("english", "german", "untranslated", "nofileversion"):
                p.put(os.path.join(bench.DRIVERS, "version_%s.dll" % name), r"C:\v\%s.dll" % name)
            rows = [
                ("plain", r"version|C:\v\english.dll|0", "[1.0.0.12]"),
                ("padded", r"version|C:\v\english.dll|1", "[0000000001.0000000000.0000000000.0000000012]"),
                ("translation", r"translation|C:\v\english.dll", "1 1 [040904e4]"),
                ("another string", r"string|C:\v\english.dll|CompanyName", "1 [Quox Test Company]"),
                ("missing string", r"string|C:\v\english.dll|Comments", "0 []"),
                # The first translation is followed, not the English block beside it.
                ("other translation", r"translation|C:\v\german.dll", "1 1 [040704b0]"),
                ("build text", r"version|C:\v\german.dll|0", "[5.1.2600.0(xp.010817-1148)]"),
                ("build text padded", r"version|C:\v\german.dll|1",
                 "[0000000005.0000000001.0000002600.0000000(XP.010817-1148)]"),
                ("no translation table", r"translation|C:\v\untranslated.dll", "1 1 [040904e4]"),
                ("found through the default", r"version|C:\v\untranslated.dll|1", "[0000000002.000000000B]"),
                ("no FileVersion", r"version|C:\v\nofileversion.dll|0", "[]"),
                ("but other strings", r"string|C:\v\nofileversion.dll|CompanyName", "1 [Quox Test Company]"),
                ("no resource", r"translation|%s" % DRIVER, "0 0 [040904e4]"),
                ("no resource, no version", r"version|%s|1" % DRIVER, "[]"),
                ("missing file", r"version|C:\v\missing.dll|1", "[]"),
                ("no name", "string|<null>|FileVersion", "0 []"),
                ("no string name", r"string|C:\v\english.dll|", "0 []"),
            ]
            check_rows(self, p, rows)


def made(result):
    return result.startswith("1 ")


class Shortcuts(bench.WineTestCase):
    def test_links_read_back(self):
        with bench.Prefix() as p:
            # The template's user desktop is a link to the host's home directory; this
            # prefix gets a desktop of its own.
            desktop = p.host_path(r"C:\users\%s\Desktop" % pwd.getpwuid(os.getuid()).pw_name)
            if os.path.islink(desktop):
                os.remove(desktop)
                os.makedirs(desktop)
            p.write(r"C:\icons\app.ico", "")
            rows = [
                ("full link", r'link|C:\links\Tool|%s|--flag "a b"|C:\work|C:\icons\app.ico' % DRIVER, made),
                ("read back", r"readlink|C:\links\Tool.LNK",
                 "[%s] [--flag \"a b\"] [C:\\work] [C:\\icons\\app.ico] 0 []" % DRIVER),
                ("plain link", r"link|C:\links\Plain.lnk|%s|||" % DRIVER, made),
                # Without an icon file the target's first icon; nothing else is set.
                ("plain read back", r"readlink|C:\links\Plain.lnk", "[%s] [] [] [%s] 0 []" % (DRIVER, DRIVER)),
                ("dotted folder", r"link|C:\links\v1.lnk files\Tool|%s|||" % DRIVER, made),
                ("programs group", "programs|Quox Group\\Sub\\Tool|%s|/x|C:\\work||0" % DRIVER,
                 lambda r: r.startswith("1 [") and r.endswith("\\Quox Group\\Sub\\Tool.LNK]")),
                ("common desktop", "desktop|Quox Tool.lnk|%s||||1" % DRIVER,
                 lambda r: r.startswith("1 [") and r.endswith("\\Quox Tool.lnk]")),
                ("user desktop", "desktop|Quox Tool|%s||||0" % DRIVER,
                 lambda r: r.startswith("1 [") and r.endswith("\\Quox Tool.LNK]")),
                ("too long", "link|C:\\%s|%s|||" % ("x" * 260, DRIVER), "0 206"),
                ("no link name", "link||%s|||" % DRIVER, "0 87"),
                ("no target", r"link|C:\links\None||||", "0 87"),
                ("no shortcut name", "desktop||%s||||0" % DRIVER, "0 []"),
            ]
            results = check_rows(self, p, rows)
            links = sorted(os.listdir(p.host_path(r"C:\links")))
            self.assertEqual(links, ["Plain.lnk", "Tool.LNK", "v1.lnk files"])
            self.assertEqual(os.listdir(p.host_path(r"C:\links\v1.lnk files")), ["Tool.LNK"])
            paths = {name: results[name][3:-1] for name in ("programs group", "common desktop", "user desktop")}
            for name, path in paths.items():
                with self.subTest(name):
                    self.assertTrue(os.path.isfile(p.host_path(path)), path)
            self.assertNotEqual(ntpath.dirname(paths["common desktop"]), ntpath.dirname(paths["user desktop"]))
            more = check_rows(self, p, [("group read back", "readlink|" + paths["programs group"],
                                         "[%s] [/x] [C:\\work] [%s] 0 []" % (DRIVER, DRIVER))])
            self.assertTrue(more)


class TypeLibraries(bench.WineTestCase):
    GUID = "{5A4C8E21-7F3B-4C1D-9E2A-0B1C2D3E4F50}"

    def test_register_and_unregister(self):
        key = r"HKCR\TypeLib\%s\1.0" % self.GUID
        with bench.Prefix() as p:
            p.write(r"C:\tlb\garbage.tlb", "not a type library")
            made = check_rows(self, p, [
                ("made", r"maketlb|C:\tlb\quox.tlb|%s" % self.GUID, "00000000"),
                ("count before", "tlbcount", None),
                ("register", r"regtlb|C:\tlb\quox.tlb", lambda r: r.startswith("1 ")),
                ("count after", "tlbcount", None),
            ])
            self.assertEqual(int(made["count after"]), int(made["count before"]) + 1)
            registry = p.registry()
            self.assertEqual(registry.value(key, ""), "QuoxTestLibrary")
            self.assertEqual(registry.value(key + r"\0\win32", ""), r"C:\tlb\quox.tlb")

            rows = [
                ("count before", "tlbcount", None),
                ("unregister", r"unregtlb|C:\tlb\quox.tlb", lambda r: r.startswith("1 ")),
                ("count after", "tlbcount", None),
                # Not a type library: refused with a reason, and nothing registered.
                ("register garbage", r"regtlb|C:\tlb\garbage.tlb", lambda r: r.startswith("0 ") and r != "0 12345"),
                ("unregister garbage", r"unregtlb|C:\tlb\garbage.tlb", lambda r: r.startswith("0 ") and r != "0 12345"),
                ("register missing", r"regtlb|C:\tlb\missing.tlb", lambda r: r.startswith("0 ") and r != "0 12345"),
                ("no name", "regtlb|", "0 87"),
                ("count at the end", "tlbcount", None),
            ]
            results = check_rows(self, p, rows)
            self.assertEqual(int(results["count after"]), int(results["count before"]) - 1)
            self.assertEqual(results["count at the end"], results["count after"])
            self.assertFalse(p.registry().has_key(key))


if __name__ == "__main__":
    bench.main()
