"""RegistryKey under Wine: opening and the key stack, reading and writing values of
every type, deleting key trees, and the two things it shows (the required-value stop
and the error box). Scripts run in registrydriver.exe; results are checked both as the
driver prints them and in the hives Wine saves."""

import bench
import registry_script
from registry_script import text

REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD = 1, 2, 3, 4

REQUIRED_TAIL = ("\n\nIf you have tried moving this program to a different computer by copying files, "
                 "this will not work.  This program must be reinstalled.")


class Keys(bench.WineTestCase):
    def test_open_close_and_the_key_stack(self):
        rows = [
            # (name, command, expected result)
            ("create a missing two-level key", r"open|HKLM|Software\QuoxTest\A\B|0", "2"),
            ("its path", "path", text(r"HKEY_LOCAL_MACHINE\Software\QuoxTest\A\B")),
            ("open it again", r"open|HKLM|Software\QuoxTest\A\B|0", "1"),
            ("closing the second returns to the first", "close", text(r"HKEY_LOCAL_MACHINE\Software\QuoxTest\A\B")),
            ("closing the first leaves none", "close", text("")),
            ("no key left", "path", "<none>"),
            ("open below without a key", "below|X|0", "0"),
            ("write without a key", "writetext|v|x|0", "false"),
            ("open a user key", r"open|HKCU|Software\QuoxTest|0", "2"),
            ("missing sub-key with 0x40", "below|Child|64", "0"),
            ("the failed open kept the path", "path", text(r"HKEY_CURRENT_USER\Software\QuoxTest")),
            ("and the key: this lands in the outer key", "writetext|marker|outer|0", "true"),
            ("open below creates", "below|Child|0", "2"),
            ("a nested path", "path", text(r"HKEY_CURRENT_USER\Software\QuoxTest\Child")),
            ("this lands in the child", "writetext|marker|inner|0", "true"),
            ("back to the outer key", "close", text(r"HKEY_CURRENT_USER\Software\QuoxTest")),
            ("reads the outer value", "readtext|marker|", text("outer")),
            ("close all", "closeall", "false"),
            ("product key per user", "product|QuoxProduct|1|0", "2"),
            ("its path", "path", text(r"HKEY_CURRENT_USER\Software\QuoxProduct")),
            ("missing product key of the machine", "product|QuoxProduct|0|64", "0"),
            ("exists per user", "exists|QuoxProduct|1", "true"),
            ("not for the machine", "exists|QuoxProduct|0", "false"),
            ("empty name", "exists||1", "false"),
            ("null name", "exists|<null>|1", "false"),
            ("null sub-key", "open|HKLM|<null>|0", "0"),
            ("null product key", "product|<null>|1|0", "0"),
            ("close all", "closeall", "false"),
            ("classes root", "open|HKCR|.quoxtest|0", "2"),
            ("its path", "path", text(r"HKEY_CLASSES_ROOT\.quoxtest")),
            ("users", r"open|HKU|.DEFAULT\Software\QuoxTest|0", "2"),
            ("its path", "path", text(r"HKEY_USERS\.DEFAULT\Software\QuoxTest")),
            ("current config", r"open|HKCC|Software\QuoxTest|0", "2"),
            ("its path", "path", text(r"HKEY_CURRENT_CONFIG\Software\QuoxTest")),
        ]
        with bench.Prefix() as prefix:
            results = registry_script.run(prefix, [row[1] for row in rows], self)
            self.assertEqual(len(results), len(rows))
            for (name, command, expected), result in zip(rows, results):
                with self.subTest(name, command=command):
                    self.assertEqual(result, expected)
            registry = prefix.registry()
            self.assertTrue(registry.has_key(r"HKLM\Software\QuoxTest\A\B"))
            self.assertEqual(registry.value(r"HKCU\Software\QuoxTest", "marker"), "outer")
            self.assertEqual(registry.value(r"HKCU\Software\QuoxTest\Child", "marker"), "inner")
            self.assertFalse(registry.has_key(r"HKLM\Software\QuoxProduct"))
            self.assertTrue(registry.has_key(r"HKCR\.quoxtest"))

    def test_questions(self):
        rows = [
            ("no key: count", "count", "-1"),
            ("no key: empty", "empty", "true"),
            ("no key: names", "names", "0 error 6"),
            ("no key: value exists", "valueexists|x", "false"),
            ("make a key", r"open|HKCU|Software\QuoxAsk|0", "2"),
            ("new key is empty", "empty", "true"),
            ("no sub-keys", "hassubkeys", "false"),
            ("child a", "below|a|0", "2"), ("", "close", text(r"HKEY_CURRENT_USER\Software\QuoxAsk")),
            ("child b", "below|b|0", "2"), ("", "close", text(r"HKEY_CURRENT_USER\Software\QuoxAsk")),
            ("child c", "below|c|0", "2"), ("", "close", text(r"HKEY_CURRENT_USER\Software\QuoxAsk")),
            ("three sub-keys", "count", "3"),
            ("has sub-keys", "hassubkeys", "true"),
            ("not empty", "empty", "false"),
            ("their names, end reached", "names", "3 error 0 [a] [b] [c]"),
            ("a value", "writetext|v|1|0", "true"),
            ("it exists", "valueexists|v", "true"),
            ("another does not", "valueexists|w", "false"),
            ("a key with a value only", "below|a|0", "1"),
            ("value only", "writenumber|n|0|0", "true"),
            ("is not empty", "empty", "false"),
        ]
        with bench.Prefix() as prefix:
            results = registry_script.run(prefix, [row[1] for row in rows], self)
            for (name, command, expected), result in zip(rows, results):
                with self.subTest(name, command=command):
                    self.assertEqual(result, expected)


LONG_TEXT = "0123456789abcdefghijklmnopqrstuvwxyzABCD"  # 40 characters, beyond the first buffer


class Values(bench.WineTestCase):
    def test_read_and_write(self):
        rows = [
            # (name, command, expected result)
            ("text", "writetext|short|hello|0", "true"),
            ("reads back", "read|short|0", "true type 12 " + text("hello")),
            ("40 characters", "writetext|long|%s|0" % LONG_TEXT, "true"),
            ("read whole", "read|long|0", "true type 12 " + text(LONG_TEXT)),
            ("an empty text is stored", "writetext|empty||0", "true"),
            ("reads empty", "read|empty|0", "true type 12 []"),
            ("expandable text", r"writetext|expand|%SystemRoot%\x|256", "true"),
            ("reads without terminator", "read|expand|0", "true type 12 " + text(r"%SystemRoot%\x")),
            ("binary text", "writetext|bin|ab|128", "true"),
            ("0x80 wins over 0x100", "writetext|bin2|cd|384", "true"),
            ("reads its bytes", "read|bin|0", "true type 12 " + text("ab")),
            ("binary with a zero byte", "raw|zero|3|610062", "0"),
            ("keeps every byte", "read|zero|0", "true type 12 " + text("a\0b")),
            ("long binary", "raw|longbin|3|" + "41" * 39 + "00", "0"),
            ("keeps its last zero", "read|longbin|0", "true type 12 " + text("A" * 39 + "\0")),
            ("text written without terminator by others", "raw|bare|1|616263", "0"),
            ("reads whole", "read|bare|0", "true type 12 " + text("abc")),
            ("multi-string", "raw|multi|7|6100620000", "0"),
            ("items with their separators", "read|multi|0", "true type 12 " + text("a\0b\0")),
            ("long multi-string", "raw|longmulti|7|" + "41" * 20 + "00" + "42" * 20 + "0000", "0"),
            ("the same rule when long", "read|longmulti|0", "true type 12 " + text("A" * 20 + "\0" + "B" * 20 + "\0")),
            ("number", "writenumber|num|42|0", "true"),
            ("reads as an integer", "read|num|0", "true type 16 [42]"),
            ("the largest number", "writenumber|big|4294967295|0", "true"),
            ("reads unsigned", "read|big|0", "true type 16 [4294967295]"),
            ("two-byte dword", "raw|dword2|4|0102", "0"),
            ("reads as false", "read|dword2|0", "false"),
            ("eight-byte dword", "raw|dword8|4|0102030405060708", "0"),
            ("reads as false", "read|dword8|0", "false"),
            ("another type", "raw|qword|11|0100000000000000", "0"),
            ("reads as false", "read|qword|0", "false"),
            ("missing value", "read|missing|0", "false"),
            ("default value by null name", "writetext|<null>|default text|0", "true"),
            ("reads by empty name", "read||0", "true type 12 " + text("default text")),
            # Typed reads.
            ("number as text", "readtext|num|x", text("42")),
            ("missing text", "readtext|missing|fallback", text("fallback")),
            ("text as number", "writetext|numtext|17|0", "true"),
            ("reads 17", "readnumber|numtext|-1", "17"),
            ("missing number", "readnumber|missing|-1", "-1"),
            ("yes text", "writetext|flag|yes|0", "true"),
            ("is true", "readflag|flag|0", "true"),
            ("zero number is false", "writenumber|off|0|0", "true"),
            ("reads false", "readflag|off|1", "false"),
            ("missing flag", "readflag|missing|1", "true"),
            # Value writes.
            ("value: dword", "write|vdword|dword|7|0", "true"),
            ("value: truth", "write|vbool|bool|1|0", "true"),
            ("value: 64-bit", "write|vint64|int64|-2|0", "true"),
            ("value: double as text", "write|vdouble|double|11|0", "true"),
            ("value: expandable text", "write|vtext|text|x|256", "true"),
            ("value: empty deletes", "write|short|empty||0", "true"),
            ("value: zero with 0x08 deletes", "write|num|dword|0|8", "true"),
            ("value: zero without 0x08 writes", "write|vzero|dword|0|0", "true"),
            # Deleting through writes.
            ("empty text with 0x08 deletes", "writetext|empty||8", "true"),
            ("it is gone", "valueexists|empty", "false"),
            ("nothing to delete", "writetext|empty||8", "false"),
            ("zero with 0x08 deletes", "writenumber|off|0|8", "true"),
            ("delete a value", "deletevalue|long", "1"),
            ("again", "deletevalue|long", "3"),
            ("read at: key and value", r"readat|HKCU|Software\QuoxValues\numtext|d|0", text("17")),
            ("read at: missing key with 0x40", r"readat|HKCU|Software\QuoxNotMade\x|d|64", text("d")),
            ("read at: missing key is made", r"readat|HKCU|Software\QuoxMade\x|d|0", text("d")),
            ("read at: null", "readat|HKCU|<null>|d|0", text("d")),
            ("close all", "closeall", "false"),
            ("no key: delete value", "deletevalue|numtext", "2"),
            ("no key: read", "read|numtext|0", "false"),
            ("no key: write", "writenumber|x|1|0", "false"),
        ]
        with bench.Prefix() as prefix:
            commands = [r"open|HKCU|Software\QuoxValues|0"] + [row[1] for row in rows]
            results = registry_script.run(prefix, commands, self)
            self.assertEqual(results[0], "2")
            for (name, command, expected), result in zip(rows, results[1:]):
                with self.subTest(name, command=command):
                    self.assertEqual(result, expected)

            registry = prefix.registry()
            key = r"HKCU\Software\QuoxValues"
            stored = [
                ("numtext", (REG_SZ, "17")),
                ("expand", (REG_EXPAND_SZ, r"%SystemRoot%\x")),
                ("bin", (REG_BINARY, b"ab")),
                ("bin2", (REG_BINARY, b"cd")),
                ("big", (REG_DWORD, 0xFFFFFFFF)),
                ("vdword", (REG_DWORD, 7)),
                ("vbool", (REG_DWORD, 1)),
                ("vint64", (REG_DWORD, 0xFFFFFFFE)),
                ("vdouble", (REG_SZ, "2.75")),
                ("vtext", (REG_EXPAND_SZ, "x")),
                ("vzero", (REG_DWORD, 0)),
                ("", (REG_SZ, "default text")),
                ("short", None),
                ("num", None),
                ("empty", None),
                ("off", None),
                ("long", None),
            ]
            for name, expected in stored:
                with self.subTest("stored", value=name):
                    self.assertEqual(registry.raw(key, name), expected)
            self.assertFalse(registry.has_key(r"HKCU\Software\QuoxNotMade"))
            self.assertTrue(registry.has_key(r"HKCU\Software\QuoxMade"))

    def test_text_is_stored_with_its_terminator(self):
        # Others read REG_SZ values as C strings; the stored data must end in a zero.
        with bench.Prefix() as prefix:
            registry_script.run(prefix, [r"open|HKCU|Software\QuoxValues|0", "writetext|t|abc|0",
                                         "writetext|e|abc|256"], self)
            prefix.registry()  # stops Wine, which saves the hive
            with open(prefix.root + "/user.reg", encoding="latin-1") as f:
                lines = f.read().split("\n")
            # Wine saves a terminated text as "abc" and an unterminated one as hex(1):...
            self.assertIn('"t"="abc"', lines)
            self.assertIn('"e"=str(2):"abc"', lines)

    def test_required_value_stops_the_program(self):
        with bench.Prefix() as prefix:
            result = registry_script.run_watched(prefix, [
                "title|Quox Test Product",
                r"open|HKCU|Software\QuoxRequired|0",
                r"below|Inner|0",
                "writetext|Present|x|0",
                "read|Present|2",
                "read|Missing|2",
                "writetext|NotReached|x|0",
            ])
            self.assertEqual(result.exit_code, 1)
            self.assertBoxes(result, [(
                "FATAL ERROR",
                "The following registry key is required by Quox Test Product, but is invalid or does not exist:"
                "\n\nHKEY_CURRENT_USER\\Software\\QuoxRequired\\InnerMissing" + REQUIRED_TAIL)])
            self.assertIsNone(prefix.registry().value(r"HKCU\Software\QuoxRequired\Inner", "NotReached"))


class Deletion(bench.WineTestCase):
    def test_delete_keys(self):
        base = r"HKCU\Software\QuoxDelete"
        setup = [
            r"open|HKCU|Software\QuoxDelete|0",
            # A tree three levels deep below T, with values and a sibling at each level.
            r"below|T\L1\L2\L3|0", "writetext|v|3|0", "close",
            r"below|T\L1\L2|0", "writetext|v|2|0", "close",
            r"below|T\L1b|0", "close",
            r"below|T|0", "writetext|v|0|0", "close",
            r"below|Full|0", "writetext|v|x|0", "close",
            r"below|Empty|0", "close",
            r"below|Parent\Kid|0", "close",
            r"below|Keep\Sub|0", "close",
        ]
        rows = [
            ("tree of three levels", "deletekey|T|0", "1"),
            ("0x20 keeps a key with a value", "deletekey|Full|32", "4"),
            ("0x20 deletes an empty key", "deletekey|Empty|32", "1"),
            ("0x20 keeps a key with a sub-key", "deletekey|Parent|32", "4"),
            ("missing key", "deletekey|Missing|0", "3"),
            ("empty name never deletes the key itself", "deletekey||0", "2"),
            ("null name", "deletekey|<null>|0", "2"),
            ("the current key survived", "path", text(r"HKEY_CURRENT_USER\Software\QuoxDelete")),
            ("product key", r"deleteproduct|QuoxDelete\Keep|1|0", "1"),
            ("product key, missing parent", r"deleteproduct|QuoxNone\Keep|1|0", "2"),
            ("product key, empty", "deleteproduct||1|0", "2"),
            ("key at a path", r"deleteat|HKCU|Software\QuoxDelete|Parent|0", "1"),
            ("key at a missing path", r"deleteat|HKCU|Software\QuoxNone|Parent|0", "2"),
            ("key at a null path below a root", "deleteat|HKCR|<null>|.quoxdel|0", "1"),
            ("close all", "closeall", "false"),
            ("no key", "deletekey|Full|0", "2"),
        ]
        with bench.Prefix() as prefix:
            results = registry_script.run(prefix, setup + [r"open|HKCR|.quoxdel|0", "close"]
                                          + [row[1] for row in rows], self)
            results = results[len(setup) + 2:]
            for (name, command, expected), result in zip(rows, results):
                with self.subTest(name, command=command):
                    self.assertEqual(result, expected)
            registry = prefix.registry()
            self.assertFalse(registry.has_key(base + r"\T"))
            self.assertFalse(any(k.lower().startswith("t") for k in registry.subkeys(base)))
            self.assertEqual(registry.value(base + r"\Full", "v"), "x")
            self.assertFalse(registry.has_key(base + r"\Empty"))
            self.assertFalse(registry.has_key(base + r"\Parent"))
            self.assertFalse(registry.has_key(base + r"\Keep"))
            self.assertFalse(registry.has_key(r"HKCR\.quoxdel"))
            self.assertEqual(registry.subkeys(base), ["Full"])

    def test_error_box_of_0x10(self):
        with bench.Prefix() as prefix:
            result = registry_script.run_watched(prefix, [
                r"open|HKCU|Software\QuoxBox|0",
                "below|Missing|64",   # no box without 0x10
                "below|Missing|80",   # box: the open failed
                "deletekey|Missing|0",  # no box
                "deletekey|Missing|16",  # two boxes: the open, then the deletion
            ])
            self.assertEqual(result.exit_code, 0)
            self.assertEqual([b.caption for b in result.boxes], ["Registry Error"] * 3)
            for box in result.boxes:
                self.assertTrue(box.text.strip(), box)
                self.assertEqual(box.buttons, ["OK"])


if __name__ == "__main__":
    bench.main()
