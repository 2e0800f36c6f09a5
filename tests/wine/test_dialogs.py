"""The installer's dialogs under Wine, shown by dialogdriver.exe and read and worked from
outside by windowinspector.exe: their templates and texts in two languages, the
language choice by the user's locale and its live re-labelling, the buttons that alone
end them, the directory field's limit and the folder browser, and the progress dialog's
bar, step wait and Cancel."""

import os

import bench
import inspector
import screen
from inspector import control, texts

SCREEN_W, SCREEN_H = 1024, 768

# Window styles the templates ask for.
WS_VSCROLL, WS_BORDER, WS_TABSTOP, WS_EX_CLIENTEDGE = 0x200000, 0x800000, 0x10000, 0x200
BS_DEFPUSHBUTTON, ES_MULTILINE, ES_AUTOHSCROLL, ES_READONLY = 0x1, 0x4, 0x80, 0x800
LBS_NOTIFY, SS_BLACKFRAME = 0x1, 0x7

# The package's texts in English and German (with a character beyond ASCII).
STRINGS = {
    0: ("My Product", "Mein Produkt"),
    11: ("Choose the folder", "Ordner w\xe4hlen"),
    20: ("Question", "Frage"),
    24: ("Installation folder", "Installationsordner"),
    28: ("Really cancel?", "Wirklich abbrechen?"),
    39: ("Installing", "Installiere"),
    44: ("Licence", "Lizenz"),
    45: ("I accept", "Ich stimme zu"),
    46: ("I decline", "Ich lehne ab"),
    47: ("Please read", "Bitte lesen"),
    48: ("OK", "Weiter"),
    49: ("Cancel", "Abbrechen"),
    50: ("Readme", "Liesmich"),
    51: ("Notes", "Hinweise"),
    52: ("Browse...", "Durchsuchen..."),
    54: ("Setup", "Einrichtung"),
    55: ("Removal", "Entfernen"),
    71: ("Removing", "Entferne"),
}


def escape(text):
    return text.replace("\\", "\\\\").replace("|", "\\|").replace("\r", "\\r").replace("\n", "\\n")


def string_lines(strings=STRINGS):
    return ["text %d %s" % (n, "|".join(escape(t) for t in row)) for n, row in sorted(strings.items())]


# Each dialog: its controls (id, class, style bits it must have) and the string number
# of each text (0 for the caption).
TEMPLATES = {
    "license": ([(1001, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP), (1003, "Button", WS_TABSTOP), (1009, "Static", 0),
                 (1005, "Edit", WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_READONLY | ES_MULTILINE)],
                {0: 44, 1009: 47, 1001: 45, 1003: 46}),
    "readme": ([(1001, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP), (1003, "Button", WS_TABSTOP), (1009, "Static", 0),
                (1005, "Edit", WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_READONLY | ES_MULTILINE)],
               {0: 50, 1009: 51, 1001: 48, 1003: 49}),
    "directory": ([(1009, "Static", 0), (1015, "Edit", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL),
                   (1013, "Button", WS_TABSTOP), (1001, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP),
                   (1003, "Button", WS_TABSTOP)],
                  {0: 24, 1009: 11, 1001: 48, 1003: 49, 1013: 52}),
    "language": ([(1017, "ListBox", WS_BORDER | LBS_NOTIFY), (1001, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP),
                  (1003, "Button", WS_TABSTOP)],
                 {1001: 48, 1003: 49}),
}


class DialogTest(bench.SharedPrefixTestCase):
    def start(self, prefix, lines, env=None, strings=STRINGS):
        stop = prefix.host_path(r"C:\bench\stop")
        if os.path.exists(stop):
            os.remove(stop)
        prefix.write(r"C:\test\dialogs.txt", "\r\n".join(string_lines(strings) + lines) + "\r\n")
        self.running = prefix.start(bench.driver("dialogdriver"), [r"C:\test\dialogs.txt"], env=env)
        self.inspector = inspector.Inspector(prefix)
        return self.running

    def line(self, predicate, timeout=120):
        found = self.running.wait_line(predicate, timeout)
        self.assertIsNotNone(found, "no line %r in %r" % (predicate, self.running.lines))
        return found

    def finish(self):
        self.assertEqual(self.running.wait(120), 0, self.running.lines)
        self.assertEqual(self.running.lines[-1], "end")

    def assertCentred(self, window):
        left, top, right, bottom = window["rect"]
        self.assertLessEqual(abs((left + right) - SCREEN_W), 1, window["rect"])
        self.assertLessEqual(abs((top + bottom) - SCREEN_H), 1, window["rect"])

    def assertTemplate(self, window, name, language):
        controls, numbers = TEMPLATES[name]
        self.assertEqual(sorted((c["id"], c["class"]) for c in window["children"]),
                         sorted((i, cls) for i, cls, _ in controls))
        for control_id, _, style in controls:
            child = control(window, control_id)
            # The dialog manager draws an edit's or a list's border as a sunken edge.
            if style & WS_BORDER and child["exstyle"] & WS_EX_CLIENTEDGE:
                style &= ~WS_BORDER
            self.assertEqual(child["style"] & style, style, control_id)
        shown = texts(window)
        for control_id, number in numbers.items():
            self.assertEqual(shown[control_id], STRINGS[number][language], (name, control_id))
        self.assertCentred(window)

    def test_dialogs_and_their_texts_in_two_languages(self):
        body = "Terms of use.\r\nSecond line."
        prefix = self.prefix
        script = ["languages English|German", "look title My Product", "look position 2", "background"]
        for language in (1, 0):
            # The language dialog comes last: its answer changes the language.
            script += ["language %d" % language, "dialog license " + escape(body),
                       "dialog readme " + escape(body), r"dialog directory C:\\Program Files\\My Product",
                       "progress install cancel 0", "dialog language"]
        self.start(prefix, script)
        for language in (1, 0):
            for name in ("license", "readme", "directory"):
                with self.subTest(dialog=name, language=language):
                    selector = "title:" + STRINGS[TEMPLATES[name][1][0]][language]
                    window = self.inspector.window(selector, then=[["click", selector, 1001]])
                    self.assertTemplate(window, name, language)
                    if name == "directory":
                        self.assertEqual(control(window, 1015)["text"], r"C:\Program Files\My Product")
                        self.assertEqual(control(window, 1015)["limit"], 259)
                        self.assertEqual(self.line("answer directory"),
                                         r"answer directory 1 C:\Program Files\My Product")
                    else:
                        self.assertEqual(control(window, 1005)["text"], body)
                        self.assertEqual(self.line("answer " + name), "answer %s 1001" % name)
            with self.subTest(dialog="progress", language=language):
                self.line("step 3")
                window = self.inspector.window("title:" + STRINGS[54][language])
                shown = texts(window)
                self.assertEqual(shown[1009], STRINGS[39][language])
                self.assertEqual(shown[1003], STRINGS[49][language])
                self.assertTrue(shown[1011].startswith("Step "), shown[1011])
                self.assertTrue(control(window, 1003)["enabled"])
                self.assertEqual(control(window, 1007)["style"] & 0xf, SS_BLACKFRAME)
                self.assertCentred(window)
                # The bar lies over the frame, one pixel beyond it on every side
                # (two on the right and bottom), and shows the steps' positions.
                bars = [c for c in window["children"] if c["class"] == "msctls_progress32"]
                self.assertEqual(len(bars), 1)
                frame = control(window, 1007)["rect"]
                self.assertEqual(bars[0]["rect"], [frame[0] - 1, frame[1] - 1, frame[2] + 2, frame[3] + 2])
                self.assertIn(bars[0]["position"], [n * 10 % 101 for n in range(1, 2000)])
                prefix.write(r"C:\bench\stop", "")
                self.line("answer progress done")
                os.remove(prefix.host_path(r"C:\bench\stop"))
            with self.subTest(dialog="language", language=language):
                selector = "title:Choose Your Language"
                window = self.inspector.window(selector, then=[["click", selector, 1001]])
                self.assertEqual(control(window, 1017)["items"], ["English", "German"])
                # The prefix's user language is English: the dialog shows itself in it.
                self.assertEqual(control(window, 1017)["selected"], 0)
                self.assertTemplate(window, "language", 0)
                self.assertEqual(self.line("answer language"), "answer language 1001 0")
        self.finish()

    def test_language_preselection(self):
        german = bench.locale_env("de_DE")
        rows = [
            # name, languages, environment, expected selection
            ("the user's language", ["English", "French", "German"], german, 2),
            ("begins with it, any case", ["English", "german (Standard)"], german, 1),
            ("no match: English", ["French", "English", "Italian"], german, 1),
            ("no match, no English: the first", ["French", "Italian"], german, 0),
            ("English of the user's locale", ["French", "English (US)", "German"], None, 1),
        ]
        prefix = self.prefix
        for name, languages, env, expected in rows:
            with self.subTest(name):
                strings = {48: tuple("OK " + l for l in languages), 49: tuple("Cancel " + l for l in languages)}
                self.start(prefix, ["languages " + "|".join(languages), "dialog language"], env=env,
                           strings=strings)
                window = self.inspector.window("title:Choose Your Language",
                                               then=[["click", "title:Choose Your Language", 1001]])
                self.assertEqual(control(window, 1017)["items"], languages)
                self.assertEqual(control(window, 1017)["selected"], expected)
                self.assertEqual(control(window, 1001)["text"], "OK " + languages[expected])
                self.assertEqual(control(window, 1003)["text"], "Cancel " + languages[expected])
                self.assertEqual(self.line("answer language"), "answer language 1001 %d" % expected)
                self.finish()
        with self.subTest("one language: nothing to choose"):
            self.start(prefix, ["languages German", "language 0", "dialog language"])
            self.assertEqual(self.line("answer language"), "answer language 1001 0")
            self.assertNotIn("shown 0", self.running.lines)
            self.finish()

    def test_selection_relabels_at_once(self):
        titles = ("My Product", "Mein Produkt", "Mon Produit Tr\xe8s Long")
        strings = {0: titles, 48: ("OK", "Weiter", "Suivant"), 49: ("Cancel", "Abbrechen", "Annuler")}
        prefix = self.prefix
        self.start(prefix, ["languages English|German|French", "look title-color 00FFFF", "look position 2",
                            "background", "dialog language"], strings=strings)
        selector = "title:Choose Your Language"
        self.inspector.run(["wait", selector, 60000])
        self.line("shown 0")
        before = screen.settled(lambda shot: shot.box((255, 255, 0)) is not None).box((255, 255, 0))
        window = self.inspector.window(selector, ["select", selector, 1017, 2],
                                       ["waittext", selector, 1001, "Suivant", 30000])
        self.assertEqual(texts(window)[1003], "Annuler")
        self.assertEqual(control(window, 1017)["selected"], 2)
        self.line("shown 2")
        # The background's title is painted again in the language shown.
        after = screen.settled(lambda shot: shot.box((255, 255, 0)) != before).box((255, 255, 0))
        self.assertGreater(after[2] - after[0], before[2] - before[0] + 20, (before, after))
        # A double click chooses and ends the dialog.
        self.inspector.run(["dblclick", selector, 1017, 1])
        self.assertEqual(self.line("answer language"), "answer language 1001 1")
        self.finish()

    def test_only_the_buttons_end_the_dialogs(self):
        prefix = self.prefix
        self.start(prefix, ["languages English|German", "background", "dialog language", "dialog license Text",
                            "dialog readme Text", r"dialog directory C:\\App", "progress install cancel 100"])
        for name, caption, answer in (("language", "Choose Your Language", "answer language 1003 0"),
                                      ("license", "Licence", "answer license 1003"),
                                      ("readme", "Readme", "answer readme 1003"),
                                      ("directory", "Installation folder", "answer directory 0 C:\\App")):
            with self.subTest(name):
                selector = "title:" + caption
                # Esc, then the close box (Alt+F4 sends the same): each reaches the
                # dialog as IDCANCEL, and the dialog stays.
                self.inspector.run(["wait", selector, 60000], ["key", selector, "esc"], ["close", selector])
                self.line("command 2")
                self.line("command 2")
                window = self.inspector.window(selector, then=[["click", selector, 1003]])
                self.assertEqual(window["text"], caption)
                self.assertEqual(self.line("answer " + name), answer)
        with self.subTest("progress"):
            self.inspector.run(["wait", "title:Setup", 60000], ["close", "title:Setup"])
            self.line("command 2")
            self.line(lambda line: line.startswith("step"))
            self.assertNotIn("cancel", " ".join(self.running.lines))
            prefix.write(r"C:\bench\stop", "")
            self.line("answer progress done")
        self.finish()

    def test_directory_field_limit_and_folder_browser(self):
        typed = "C:\\" + "d" * 297
        prefix = self.prefix
        self.start(prefix, [r"dialog directory C:\\Old", r"dialog directory c:\\WINDOWS\\system32",
                            r"dialog directory c:\\WINDOWS\\system32"])
        selector = "title:Installation folder"
        with self.subTest("typed text is cut at 259 characters"):
            window = self.inspector.window(selector, ["wait", selector, 60000], ["settext", selector, 1015, ""],
                                           ["type", selector, 1015, typed],
                                           ["waittext", selector, 1015, typed[:259], 30000], ["sleep", 500],
                                           then=[["click", selector, 1001]])
            self.assertEqual(control(window, 1015)["text"], typed[:259])
            self.assertEqual(self.line("answer directory"), "answer directory 1 " + typed[:259])
        with self.subTest("the browser's folder goes into the field"):
            browser = self.inspector.window("title:Browse for Folder", ["wait", selector, 60000],
                                            ["click", selector, 1013])
            self.assertIn("Choose the folder", [c["text"] for c in browser["children"]])
            self.assertCentred(browser)
            # It opens at the field's folder; OK gives that folder's path as the
            # shell spells it.
            window = self.inspector.window(selector, ["click", "title:Browse for Folder", 1],
                                           ["gone", "title:Browse for Folder", 30000],
                                           ["waittext", selector, 1015, r"C:\windows\system32", 30000])
            self.assertEqual(control(window, 1015)["text"], r"C:\windows\system32")
            self.inspector.run(["click", selector, 1001])
            self.assertEqual(self.line("answer directory"), r"answer directory 1 C:\windows\system32")
        with self.subTest("cancelling the browser changes nothing"):
            window = self.inspector.window(selector, ["wait", selector, 60000], ["click", selector, 1013],
                                           ["wait", "title:Browse for Folder", 60000],
                                           ["click", "title:Browse for Folder", 2],
                                           ["gone", "title:Browse for Folder", 30000], ["sleep", 500])
            self.assertEqual(control(window, 1015)["text"], r"c:\WINDOWS\system32")
            self.inspector.run(["click", selector, 1003])
            self.assertEqual(self.line("answer directory"), r"answer directory 0 c:\WINDOWS\system32")
        self.finish()

    def test_progress_cancel_question(self):
        prefix = self.prefix
        with self.subTest("No goes on"):
            self.start(prefix, ["progress install cancel 300"])
            self.line("step 1")
            question = self.inspector.window("title:Question", ["click", "title:Setup", 1003])
            self.assertIn("Really cancel?", [c["text"] for c in question["children"]])
            self.inspector.run(["click", "title:Question", 7])
            self.line("cancel no")
            going_on = self.line(lambda line: line.startswith("step"))
            prefix.write(r"C:\bench\stop", "")
            self.line("answer progress done")
            self.finish()
            steps = [line.split() for line in self.running.lines if line.startswith("step")]
            self.assertIn(going_on.split(), steps)
            # Every step stayed on screen for its 300 milliseconds at least.
            self.assertGreaterEqual(min(int(ms) for _, _, ms in steps), 300, steps)
        with self.subTest("Yes ends"):
            self.start(prefix, ["progress install cancel 300"])
            self.line("step 1")
            self.inspector.run(["click", "title:Setup", 1003], ["wait", "title:Question", 60000],
                               ["click", "title:Question", 6])
            self.line("cancel yes")
            self.assertEqual(self.running.wait(60), 3)

    def test_progress_cancel_is_grey_when_asked(self):
        prefix = self.prefix
        for mode, cancel, caption, label in (("uninstall", "cancel", "Removal", "Removing"),
                                             ("install", "nocancel", "Setup", "Installing")):
            with self.subTest(mode=mode, cancel=cancel):
                self.start(prefix, ["progress %s %s 100" % (mode, cancel)])
                selector = "title:" + caption
                window = self.inspector.window(selector)
                self.assertEqual(texts(window)[1009], label)
                self.assertFalse(control(window, 1003)["enabled"])
                # A user cannot press it; a click notification that reaches the
                # dialog anyway does nothing.
                refused = self.inspector.run(["click", selector, 1003], check=False)[0]
                self.assertFalse(refused["ok"])
                self.inspector.run(["command", selector, 1003])
                self.line("command 1003")
                self.line(lambda line: line.startswith("step"))
                prefix.write(r"C:\bench\stop", "")
                self.line("answer progress done")
                self.finish()
                self.assertFalse([line for line in self.running.lines if line.startswith("cancel")])


if __name__ == "__main__":
    bench.main()
