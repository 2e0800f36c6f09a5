"""The stub's start-up under Wine: the command line's usage box, the fatal paths of
the library, and the hand-offs to installation and uninstallation."""

import bench

USAGE_TAIL = ("\n\nUsage:\nquoxstub.exe [/a] [/d:\"dir\"] [/n:\"name\"] [/u:\"name\"] [/r:\"program\"]\n\n"
              "/a                  \tAutomatic mode\n"
              "/d:\"dir\"        \tOverride installation directory\n"
              "/n:\"name\"\tOverride product name\n"
              "/u:\"name\"\tUninstall product by name\r\n"
              "/r:\"program\"\tRun the specified program after a successful installation")

NO_ARCHIVE = ("This program performs installations and uninstallations.\r\n"
              "There is no installation archive present.\r\n"
              "No Uninstallation parameters were specified.\r\n\r\n"
              "You should not delete this program or execute it directly.")


class CommandLine(bench.WineTestCase):
    def test_usage_errors(self):
        rows = [
            ("unknown switch", "/x", "Illegal command line atom:\n/x"),
            ("not a switch", "setup", "Unexpected command line parameter:\nsetup"),
            ("uninstall without name", "/u", "Product name required"),
            ("any U word uninstalls", "-update", "Product name required"),
            ("malformed run switch", "/r:prog.exe", "Illegal command line atom:\n/r:prog.exe"),
            # The open quote runs to the end of the line: an accepted directory.
            ("unbalanced quote", "/d:\"c:\\x y", None),
        ]
        with bench.Prefix() as prefix:
            for name, args, complaint in rows:
                with self.subTest(name):
                    result = prefix.run(bench.STUB, args)
                    self.assertFalse(result.timed_out)
                    self.assertEqual(result.exit_code, 1)
                    if complaint is None:
                        # Accepted: the install hand-off then finds no payload.
                        self.assertBoxes(result, [("FATAL ERROR", NO_ARCHIVE)])
                    else:
                        self.assertBoxes(result, [("FATAL ERROR", complaint + USAGE_TAIL)])

    def test_accepted_line_hands_off_to_installation(self):
        with bench.Prefix() as prefix:
            result = prefix.run(bench.STUB, '/a /d:"C:\\Program Files\\X" /n:"X Y" /r:"notepad.exe `a b`"')
            self.assertEqual(result.exit_code, 1)
            self.assertBoxes(result, [("FATAL ERROR", NO_ARCHIVE)])

    def test_uninstall_hand_off_changes_nothing(self):
        with bench.Prefix() as prefix:
            result = prefix.run(bench.STUB, '/u:"Some Product"')
            self.assertEqual(result.exit_code, 1)
            self.assertEqual(len(result.boxes), 1)
            self.assertEqual(result.boxes[0].caption, "Error")
            self.assertEqual(result.boxes[0].text, "No product named 'Some Product' is installed.")

    def test_automatic_uninstall_is_silent(self):
        with bench.Prefix() as prefix:
            result = prefix.run(bench.STUB, '/a /u:"Some Product"')
            self.assertEqual(result.exit_code, 1)
            self.assertBoxes(result, [])


class FatalPaths(bench.WineTestCase):
    def test_fatal_boxes(self):
        with bench.Prefix() as prefix:
            result = prefix.run(bench.driver("fataldriver"), "index")
            self.assertEqual(result.exit_code, 1)
            self.assertBoxes(result, [("FATAL ERROR", "Internal Fatal Error\r\nModule: Core\r\nLine: 8062")])

            for trigger in ("oom", "new"):
                with self.subTest(trigger):
                    result = prefix.run(bench.driver("fataldriver"), trigger)
                    self.assertEqual(result.exit_code, 1)
                    self.assertEqual(len(result.boxes), 1)
                    box = result.boxes[0]
                    self.assertEqual(box.caption, "FATAL ERROR")
                    head = ("Out Of Memory.  Make sure your hard drive is not full.\n"
                            "Requested size = 3000000000 (0xB2D05E00)\n\nStack contents:")
                    self.assertTrue(box.text.startswith(head), box.text)
                    dump = box.text[len(head):]
                    rows = dump.split("\r")
                    self.assertEqual(rows[0], "")
                    self.assertEqual(len(rows), 11)
                    words = [w for row in rows[1:] for w in row.split(" ")]
                    self.assertEqual(len(words), 80)
                    self.assertEqual(words[:2], ["11223344", "55667788"])
                    self.assertTrue(all(len(w) == 8 and w == w.upper() for w in words))

    def test_failing_try_set_length_shows_nothing(self):
        with bench.Prefix() as prefix:
            result = prefix.run(bench.driver("fataldriver"), "trysetlength")
            self.assertEqual(result.exit_code, 7)
            self.assertBoxes(result, [])
            result = prefix.run(bench.driver("fataldriver"), "setlength")
            self.assertEqual(result.exit_code, 1)
            self.assertEqual(len(result.boxes), 1)
            self.assertIn("Requested size = 2147483665 (0x80000011)", result.boxes[0].text)


if __name__ == "__main__":
    bench.main()
