"""The install sequence with its windows under Wine, driven from outside by boxwatch.exe
(which answers every dialog in turn) and windowinspector.exe: the dialogs in their
order, the language choice and the title that follows it, the directory loop with each
of its checks, the progress dialog's Cancel, the refusals before the directory choice
(Windows version, master product, reinstallation) and the volume files."""

import os
import shutil
import tempfile

import bench
import inspector
import package
import screen
from inspector import box_text, control

ERROR_TEXTS = {
    14: "Invalid:", 16: "Drive %c not ready", 17: "Root refused", 18: "Not into %s",
    19: "Need %s on %c, free %s", 20: "Space", 21: "Problem", 22: "Exists %s", 23: "Create %s",
    24: "Folder", 66: "No network",
}


def strings_table(texts, language="English"):
    lines = ["[strings.%s]" % language]
    for number, text in sorted(texts.items()):
        lines.append('%d = "%s"' % (number, text.replace("\\", "\\\\").replace("\r\n", "\\r\\n")))
    return "\n".join(lines) + "\n"


class Sequence(bench.SharedPrefixTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.work = tempfile.mkdtemp(prefix="quox-sequence-", dir=bench.BENCH_DIR)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)
        super().tearDownClass()

    def package(self, name, manifest, files=None):
        directory = os.path.join(self.work, name)
        os.makedirs(directory, exist_ok=True)
        return package.make(directory, manifest, files or {"a.txt": b"a"}, name + ".exe")

    def start(self, setup, args=(), env=None):
        running = self.prefix.start(setup, list(args), env=env)
        return running, inspector.Inspector(self.prefix, "exe:" + os.path.basename(setup))

    def test_one_language_package_with_its_dialogs_answered(self):
        hello = package.build(os.path.join(os.path.dirname(__file__), "..", "..", "examples", "hello", "manifest.toml"),
                              os.path.join(self.work, "hello.exe"))
        result = self.prefix.run(hello, timeout=bench.scaled(120))
        self.assertEqual(result.exit_code, 1)
        captions = [box.caption for box in result.boxes]
        # The opening question, the licence, the readme, the directory, then progress:
        # a package with one language never asks for one.
        self.assertEqual(captions[:4], ["Hello Notes Setup", "Licence Agreement", "Read Me", "Installation Folder"])
        self.assertNotIn("Choose Your Language", captions)
        self.assertTrue(result.boxes[0].text.startswith("This will install Hello Notes 1.0"), result.boxes[0].text)
        self.assertEqual(self.prefix.read(r"C:\Program Files\Quox Examples\Hello Notes\hello.txt"),
                         open(os.path.join(os.path.dirname(__file__), "..", "..", "examples", "hello", "files",
                                           "hello.txt"), "rb").read())

    def test_language_choice_and_title(self):
        manifest = '''
[product]
name = "Bilingual"
[look]
title_color = "#FFFF00"
title_position = "top-center"
top_color = "#000040"
bottom_color = "#000040"
[files.a]
source = "a.txt"
[strings]
languages = ["English", "German"]
[strings.English]
0 = "Short"
1 = "Install in English?"
65 = "Question"
[strings.German]
0 = "Ein Viel L\u00e4ngerer Titel Auf Deutsch"
1 = "Auf Deutsch installieren?"
48 = "Weiter"
49 = "Abbrechen"
65 = "Frage"
'''
        setup = self.package("bilingual", manifest)
        running, look = self.start(setup, env=bench.locale_env("de_DE"))
        selector = "title:Choose Your Language"
        window = look.window(selector)
        # The user's language is chosen first, and the dialog and the title show it.
        self.assertEqual(control(window, 1017)["items"], ["English", "German"])
        self.assertEqual(control(window, 1017)["selected"], 1)
        self.assertEqual(control(window, 1001)["text"], "Weiter")
        german = screen.settled(lambda shot: shot.box((255, 255, 0)) is not None).box((255, 255, 0))
        look.run(["select", selector, 1017, 0], ["waittext", selector, 1001, "OK", 30000])
        english = screen.settled(lambda shot: shot.box((255, 255, 0)) != german).box((255, 255, 0))
        self.assertLess(english[2] - english[0], german[2] - german[0] - 50, (english, german))
        # Back to German, and on: the opening question speaks it.
        look.run(["select", selector, 1017, 1], ["waittext", selector, 1001, "Weiter", 30000],
                 ["click", selector, 1001])
        question = look.window("box:Frage")
        self.assertEqual(box_text(question), "Auf Deutsch installieren?")
        look.run(["click", "box:Frage", 7])
        self.assertIsNotNone(running.wait(bench.scaled(60)))
        self.assertFalse(self.prefix.exists(r"C:\Program Files\Bilingual"))

    def test_directory_loop(self):
        manifest = '''
[product]
name = "Folders"
flags = ["AskDirectory", "ConfirmDirectory", "NoNetworkPaths", "NoSuccessMessage"]
[directories]
default = "C:\\\\Folders Default"
[files.a]
source = "empty.txt"
[files.b]
source = "also empty.txt"
''' + strings_table({**ERROR_TEXTS, 1: "Go?", 65: "Start"})
        setup = self.package("folders", manifest, {"empty.txt": b"", "also empty.txt": b""})
        # A drive whose free space is known: Wine's Q: on /proc has none at all, as
        # much as the package's empty files need.
        q_drive = os.path.join(self.prefix.root, "dosdevices", "q:")
        if not os.path.islink(q_drive):
            os.symlink("/proc", q_drive)
        running, look = self.start(setup)
        look.run(["wait", "box:Start", 120000], ["click", "box:Start", 6])
        rows = [
            # name, typed, message box (caption, text) or None, button pressed in it
            ("blank: asked again", "   ", None, None),
            ("invalid", r"C:\bad|name", ("Problem", "Invalid:\r\nC:\\bad|name"), 1),
            ("relative", r"relative\path", ("Problem", "Invalid:\r\nrelative\\path"), 1),
            ("drive not ready", r"R:\App", ("Problem", "Drive R not ready"), 1),
            ("root", "C:\\", ("Problem", "Root refused"), 1),
            ("Program Files", r"c:\program files\ ", ("Problem", r"Not into C:\Program Files"), 1),
            ("network path refused", r"\\server\share\app", ("Problem", "No network"), 1),
            ("exactly the free space still asks", r"Q:\Equal", ("Space", "Need 0 bytes on Q, free 0 bytes"), 7),
            ("new directory confirmed", r"C:\Brand New", ("Folder", r"Create C:\Brand New"), 7),
            ("existing directory confirmed", r"C:\windows", ("Folder", r"Exists C:\windows"), 7),
            ("quoted, with a trailing backslash", '"C:\\Chosen Place\\"', ("Folder", r"Create C:\Chosen Place"), 6),
        ]
        for name, typed, box, button in rows:
            with self.subTest(name):
                dialog = look.window("has:1015")
                self.assertEqual(dialog["text"], "Folder")
                look.run(["settext", "has:1015", 1015, typed], ["click", "has:1015", 1001])
                if box is None:
                    # Shown again with the text trimmed to nothing.
                    look.run(["waittext", "has:1015", 1015, "", 60000])
                    continue
                caption, text = box
                shown = look.window("box:" + caption)
                self.assertEqual(box_text(shown), text)
                look.run(["click", "box:" + caption, button])
        self.assertIsNotNone(running.wait(bench.scaled(120)))
        self.assertEqual(self.prefix.read(r"C:\Chosen Place\empty.txt"), b"")
        for refused in (r"C:\Brand New", r"C:\Folders Default", r"C:\Equal"):
            self.assertFalse(self.prefix.exists(refused), refused)

    def test_low_disk_space_question(self):
        manifest = '''
[product]
name = "Roomy"
flags = ["AskDirectory"]
[files.a]
source = "a.txt"
''' + strings_table({19: "Need %s on %c, free %s", 20: "Space"})
        setup = self.package("roomy", manifest, {"a.txt": b"x" * 5000})
        q_drive = os.path.join(self.prefix.root, "dosdevices", "q:")
        if not os.path.islink(q_drive):
            os.symlink("/proc", q_drive)
        running, look = self.start(setup)
        look.run(["wait", "box:Roomy Setup", 120000], ["click", "box:Roomy Setup", 6])
        look.run(["wait", "has:1015", 60000], ["settext", "has:1015", 1015, r"Q:\Roomy"], ["click", "has:1015", 1001])
        # 5000 bytes take two clusters of 4096 bytes.
        self.assertEqual(box_text(look.window("box:Space")), "Need 8.00 KB on Q, free 0 bytes")
        look.run(["click", "box:Space", 7], ["wait", "has:1015", 60000], ["click", "has:1015", 1003])
        self.assertIsNotNone(running.wait(bench.scaled(60)))

    def test_progress_cancel(self):
        base = '''
[product]
name = "%s"
flags = [%s]
[directories]
default = "C:\\\\%s"
[install]
step_delay = 6000
[files.a]
source = "a.txt"
''' + strings_table({1: "Go?", 65: "Start", 28: "Really stop?", 20: "Stop"})
        with self.subTest("grey with NoCancel"):
            # No closing message, which nobody would answer here.
            setup = self.package("steady", base % ("Steady", '"NoCancel", "NoSuccessMessage"', "Steady"))
            running, look = self.start(setup)
            look.run(["wait", "box:Start", 120000], ["click", "box:Start", 6])
            window = look.window("title:Steady Setup")
            self.assertFalse(control(window, 1003)["enabled"])
            self.assertIsNotNone(running.wait(bench.scaled(120)))
            self.assertEqual(self.prefix.read(r"C:\Steady\a.txt"), b"a")
        for answer, installed in ((7, True), (6, False)):
            name = "Cancel%d" % answer
            with self.subTest("the question answered %s" % ("No" if answer == 7 else "Yes")):
                setup = self.package(name.lower(), base % (name, '"NoSuccessMessage"', name))
                running, look = self.start(setup)
                look.run(["wait", "box:Start", 120000], ["click", "box:Start", 6])
                window = look.window("title:%s Setup" % name)
                self.assertTrue(control(window, 1003)["enabled"])
                question = look.window("box:Stop", ["click", "title:%s Setup" % name, 1003])
                self.assertEqual(box_text(question), "Really stop?")
                look.run(["click", "box:Stop", answer])
                self.assertIsNotNone(running.wait(bench.scaled(120)))
                self.assertEqual(self.prefix.exists("C:\\%s\\a.txt" % name), installed)

    def test_refusals_before_the_directory(self):
        p = self.prefix
        uninstall = r"Software\Microsoft\Windows\CurrentVersion\Uninstall"
        p.edit_registry("system.reg", uninstall + r"\Earlier", "InstallLocation", r"C:\Earlier")
        p.edit_registry("system.reg", uninstall + r"\Earlier", "DisplayVersion", "1.5")
        p.edit_registry("system.reg", uninstall + r"\Leftover", "InstallLocation", r"C:\Leftover")
        p.write(r"C:\Earlier\old.txt", "old")
        rows = [
            # name, [product] lines, arguments, expected boxes, files afterwards
            ("an excluded Windows", 'name = "Picky"\nexcluded_windows = ["Other", "Win95", "Win98", "WinME", '
             '"NT3", "NT4", "Win2000", "WinXP", "Win2003", "Win32s"]', "", None, None),
            ("no master product", 'name = "AddOn"\nmaster = "Missing Master"', "",
             [("Error", "AddOn needs Missing Master, which is not installed on this computer. Install it first.")],
             None),
            ("a master without an uninstall command", 'name = "AddOn2"\nmaster = "Leftover"', "",
             [("Error", "AddOn2 needs Leftover, which is not installed on this computer. Install it first.")],
             None),
            ("reinstall refused, even in automatic mode", 'name = "Earlier"\nflags = ["UninstallSupport", '
             '"RefuseReinstall"]', "/a",
             [("Error", "Earlier is already installed on this computer. Remove it before you install it again.")],
             None),
            ("reinstall question with the versions", 'name = "Earlier"\nversion = "2.0"\nflags = '
             '["UninstallSupport", "ShowVersionComparison"]', "",
             [("Earlier Setup", "This will install Earlier on your computer.\r\n\r\nDo you want to continue?"),
              ("Earlier Is Already Installed", "An older version of Earlier is installed in this folder:\r\n"
               "C:\\Earlier\r\n\r\nDo you want to install Earlier into this folder again?")], None),
            ("automatic mode reinstalls there", 'name = "Earlier"\nflags = ["UninstallSupport"]', "/a", [],
             r"C:\Earlier\a.txt"),
        ]
        for number, (name, product, args, boxes, afterwards) in enumerate(rows):
            with self.subTest(name):
                setup = self.package("refusal%d" % number, "[product]\n%s\n[files.a]\nsource = \"a.txt\"\n" % product)
                result = p.run(setup, args, ["default", "id 7"], timeout=bench.scaled(60))
                self.assertEqual(result.exit_code, 1)
                shown = [(b.caption, b.text) for b in result.boxes if b.text]
                if boxes is None:
                    self.assertEqual(len(shown), 1, shown)
                    self.assertEqual(shown[0][0], "Error")
                    self.assertTrue(shown[0][1].startswith("Picky cannot be installed on Windows"), shown)
                else:
                    self.assertEqual(shown, boxes)
                if afterwards:
                    self.assertEqual(p.read(afterwards), b"a")
        self.assertFalse(p.exists(r"C:\Program Files\Earlier"))

    def test_volumes(self):
        p = self.prefix
        data = {"%d.bin" % n: os.urandom(30000) for n in range(3)}
        manifest = '''
[product]
name = "Spanned"
[directories]
default = "C:\\\\Spanned"
[package]
compression = "none"
volume_size = 40000
installer_data = 5000
[files.a]
source = "*.bin"
''' + strings_table({26: "Disk %d in %c please", 27: "Insert Disk", 30: "Wrong disk.", 28: "Stop now?", 20: "Stop"})
        setup = self.package("spanned", manifest, data)
        volumes = sorted(n for n in os.listdir(os.path.dirname(setup)) if n.upper().endswith(".QOX"))
        self.assertEqual(volumes, ["spanned2.QOX", "spanned3.QOX", "spanned4.QOX"])

        def place(skip=None, wrong_tag=None):
            for name in volumes:
                target = "C:\\test\\" + name
                if p.exists(target):
                    os.remove(p.host_path(target))
                if name == skip:
                    continue
                with open(os.path.join(os.path.dirname(setup), name), "rb") as f:
                    content = bytearray(f.read())
                if name == wrong_tag:
                    content[0] ^= 0xFF
                p.write(target, bytes(content))

        with self.subTest("three volumes install"):
            place()
            result = p.run(setup, "/a", timeout=bench.scaled(60))
            self.assertEqual([(b.caption, b.text) for b in result.boxes if b.text], [])
            for name, content in data.items():
                self.assertEqual(p.read("C:\\Spanned\\" + name), content)
        rows = [
            ("a missing volume", "spanned3.QOX", None, "Disk 3 in C please"),
            ("a volume with another tag", None, "spanned3.QOX", "Wrong disk.\r\n\r\nDisk 3 in C please"),
        ]
        for name, skip, wrong, prompt in rows:
            with self.subTest(name):
                place(skip, wrong)
                where = r"C:\Spanned " + name
                result = p.run(setup, '/a /n:"%s" /d:"%s"' % (name, where), ["id 2", "id 6"], timeout=bench.scaled(60))
                shown = [(b.caption, b.text) for b in result.boxes if b.text]
                self.assertEqual(shown, [("Insert Disk", prompt), ("Stop", "Stop now?")])
                self.assertEqual(result.exit_code, 1)
                self.assertFalse(any(files for _, _, files in os.walk(p.host_path(where))))
        with self.subTest("OK retries; from the second attempt on the prompt says the disk was wrong"):
            place("spanned4.QOX")
            result = p.run(setup, r'/a /n:"Retried" /d:"C:\Retried"', ["id 1", "id 2", "id 6"],
                           timeout=bench.scaled(60))
            shown = [(b.caption, b.text) for b in result.boxes if b.text]
            self.assertEqual(shown, [("Insert Disk", "Disk 4 in C please"),
                                     ("Insert Disk", "Wrong disk.\r\n\r\nDisk 4 in C please"), ("Stop", "Stop now?")])


if __name__ == "__main__":
    bench.main()
