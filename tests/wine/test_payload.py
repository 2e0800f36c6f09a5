"""The real stub reading real packages: a good package is found and decoded (its file data
at every compression level the builder offers), and every check of the header and the
settings stream that a damaged package can trip ends with its corrupt-installer code.
The damaged packages are made from a good one built by `quox` from the example manifest."""

import os
import shutil
import struct
import tempfile

import bench
import package
from installed import files_under

EXAMPLE = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "hello", "manifest.toml")
# The first question of the example: by then the header, the settings stream and the stub
# have been read and checked.
OPENING = ("Hello Notes Setup", "This will install Hello Notes 1.0, a tiny example, on your computer.\r\n\r\n"
           "Do you want to continue?")
HELLO_FILES = {"hello.txt": "hello.txt", "second.txt": "second.txt", "docs\\guide.txt": "docs/guide.txt"}
VERSION_TEXT = ("The installer version (12.0) does not match the version of QUOX (%.1f).  "
                "Close all applications and reinstall QUOX.")


class Payload(bench.WineTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.work = tempfile.mkdtemp(prefix="payload-", dir=bench.BENCH_DIR)
        cls.good = package.build(EXAMPLE, os.path.join(cls.work, "hello-setup.exe"), "--stub", bench.STUB)
        cls.stream = package.settings_stream(cls.good, cls.work)
        cls.fields = package.StreamFields(cls.stream)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def variant(self, name):
        return os.path.join(self.work, name + ".exe")

    def header_variant(self, name, field, value):
        pe = package.read_pe(self.good)
        pe.set_header(field, value)
        return pe.save(self.variant(name))

    def stream_variant(self, name, stream, key=None):
        return package.reseal(self.good, stream, self.variant(name), key)

    def int_field(self, field, fmt, value):
        return package.with_int(self.stream, self.fields.offsets[field], fmt, value)

    def assertRead(self, prefix, program):
        """The package is read and its opening question asked; answered No."""
        result = prefix.run(program, answers=["button No"])
        self.assertEqual(result.exit_code, 1)
        self.assertGreaterEqual(len(result.boxes), 1, result.boxes)
        self.assertEqual((result.boxes[0].caption, result.boxes[0].text), OPENING, result.boxes)

    def assertInstalls(self, prefix, program, name, expected):
        """Installed in automatic mode into a folder of its own: exactly `expected`
        ({installed name: bytes}) is there, besides Uninstall.DAT and the uninstaller,
        which is the plain stub byte for byte: none of the package's file data, also
        when that data lies after the image."""
        directory = "C:\\Levels\\" + name
        result = prefix.run(program, '/a /n:"%s" /d:"%s"' % (name, directory), timeout=bench.scaled(60))
        self.assertEqual((result.exit_code, [(b.caption, b.text) for b in result.boxes if b.text]), (1, []))
        found = files_under(prefix, directory)
        found.pop("Uninstall.DAT", None)
        with open(bench.STUB, "rb") as f:
            self.assertEqual(found.pop("Uninstall Hello.exe", None), f.read())
        self.assertEqual(found, expected)

    def assertCorrupt(self, result, code, text=package.BUILT_IN_CORRUPT_TEXT):
        self.assertEqual(result.exit_code, 1)
        self.assertBoxes(result, [("FATAL ERROR", text % code)])

    def test_good_package_is_read_and_installs_at_every_level(self):
        hello = {}
        for name, source in HELLO_FILES.items():
            with open(os.path.join(os.path.dirname(EXAMPLE), "files", source), "rb") as f:
                hello[name] = f.read()
        with bench.Prefix() as prefix:
            self.assertRead(prefix, self.good)
            # Started with a name without extension, it still finds itself.
            prefix.put(self.good, r"C:\test\setup.exe")
            self.assertRead(prefix, r"C:\test\setup")

            for level in ("none", "fast", "best"):
                with self.subTest(level):
                    built = package.build(EXAMPLE, self.variant("level-" + level), "--stub", bench.STUB,
                                          "--compression", level)
                    self.assertInstalls(prefix, built, "Level " + level, hello)

            # File data after the image, outside what Windows maps, is read from the file.
            with open(os.path.join(self.work, "bulk.bin"), "wb") as f:
                bulk = os.urandom(200000)
                f.write(bulk)
            manifest = self.manifest_variant("external", 'compression = "best"', 'compression = "fast"\ndata = "external"',
                                             '\n[files.bulk]\nsource = "bulk.bin"\ndestination = "install"\n')
            external = package.build(manifest, self.variant("external"), "--stub", bench.STUB)
            _, _, _, raw_size, raw_offset, _ = package.read_pe(external).payload()
            self.assertGreater(os.path.getsize(external), raw_offset + raw_size + 100000)
            self.assertInstalls(prefix, external, "External", dict(hello, **{"bulk.bin": bulk}))

    def test_damaged_headers(self):
        pe = package.read_pe(self.good)
        first_size = pe.settings_block_offset() - 4 * pe.header("size_count")
        rows = [
            # (name, field or offset, value, expected: a code, "read" or ("version", v))
            ("wrong magic", "magic", 0xA4F23DE4, 20),
            ("version 1202", "version", 1202, ("version", 12.02)),
            ("version 1201 passes", "version", 1201, "read"),
            ("older version passes", "version", 1100, "read"),
            ("settings length 0", "settings_length", 0, 22),
            ("settings length over the limit", "settings_length", 0xA00000, 22),
            # Within the limit but past the end of the section: the bounded reader refuses.
            ("settings length past the section", "settings_length", 0x9FFFFF, 48),
            ("wrong settings key", "settings_key", pe.header("settings_key") ^ 0x01010101, 47),
            ("negative file data end", "file_data_end", -1, 45),
            ("negative size count", "size_count", -1, 27),
            # The entries after the real ones are the settings block's bytes, checked as sizes.
            ("size table running into the settings", "size_count", 0x7FFFFFFF, 28),
            ("negative file data length", "file_data_length", -1, 29),
            ("negative file size", first_size, -1, 28),
            ("file size over the limit", first_size, 0x40000001, 28),
            ("file size at the limit", first_size, 0x40000000, "read"),
        ]
        with bench.Prefix() as prefix:
            for name, field, value, expected in rows:
                with self.subTest(name):
                    pe = package.read_pe(self.good)
                    if isinstance(field, int):
                        pe.put_u32(field, value)
                    else:
                        pe.set_header(field, value)
                    if expected == "read":
                        self.assertRead(prefix, pe.save(self.variant("header")))
                        continue
                    result = prefix.run(pe.save(self.variant("header")))
                    if isinstance(expected, tuple):
                        self.assertEqual(result.exit_code, 1)
                        self.assertBoxes(result, [("FATAL ERROR", VERSION_TEXT % expected[1])])
                    else:
                        self.assertCorrupt(result, expected)

    def test_payload_section_without_raw_data(self):
        pe = package.read_pe(self.good)
        entry = pe.payload()[5]
        pe.put_u32(entry + 20, 0)
        with bench.Prefix() as prefix:
            self.assertCorrupt(prefix.run(pe.save(self.variant("noraw"))), 9)

    def test_damaged_settings_streams(self):
        f = self.fields.offsets
        deletion = b"old.txt\0\0\0\0\0\0\0"  # path, condition 0, empty value, flags 0

        def with_deletions(n):
            return self.stream[:f["deletions"]] + deletion * n + self.stream[f["deletions"]:]

        rows = [
            ("settings checksum differs", self.stream, package.checksum(self.stream) + 1, 25),
            ("step delay 9999", self.int_field("step_delay", "<H", 9999), None, "read"),
            ("step delay 10000", self.int_field("step_delay", "<H", 10000), None, 19),
            ("bitmap size 101", self.int_field("bitmap_size", "<i", 101), None, 39),
            ("bitmap size -1", self.int_field("bitmap_size", "<i", -1), None, 39),
            ("21 licence texts", self.int_field("licence_count", "<i", 21), None, 24),
            ("negative licence count", self.int_field("licence_count", "<i", -1), None, 24),
            ("21 readme texts", self.int_field("readme_count", "<i", 21), None, 26),
            ("empty volume name", package.with_text(self.stream, f["volume_name"], b""), None, 21),
            ("negative patch offset", self.int_field("patch_offset", "<i", -1), None, 23),
            ("patch offset beyond the file", self.int_field("patch_offset", "<i", 0x7FFFFFFF), None, 23),
            ("1001 deletion rules", with_deletions(1001), None, "read"),
            ("1002 deletion rules", with_deletions(1002), None, 38),
            ("10001 associations", self.int_field("association_count", "<i", 10001), None, 36),
            ("negative associations", self.int_field("association_count", "<i", -1), None, 36),
            ("negative uninstall values", self.int_field("uninstall_data_count", "<i", -1), None, 37),
            ("no languages", self.int_field("language_count", "<B", 0), None, 30),
            ("101 languages", self.int_field("language_count", "<B", 101), None, 30),
            ("no string rows", self.int_field("string_rows", "<i", 0), None, 31),
            ("10001 string rows", self.int_field("string_rows", "<i", 10001), None, 31),
            ("wrong end marker", self.int_field("end_marker", "<I", 0xD3E82B96), None, 32),
            ("stream cut before its marker", self.stream[:-4], None, 32),
        ]
        with bench.Prefix() as prefix:
            for name, stream, key, expected in rows:
                with self.subTest(name):
                    if expected == "read":
                        self.assertRead(prefix, self.stream_variant("stream", stream, key))
                    else:
                        self.assertCorrupt(prefix.run(self.stream_variant("stream", stream, key)), expected)

    def manifest_variant(self, name, old, new, extra=""):
        """The example manifest with one text replaced and `extra` appended, beside copies
        of its files."""
        manifest = os.path.join(self.work, name + ".toml")
        with open(EXAMPLE) as f:
            text = f.read()
        self.assertIn(old, text)
        with open(manifest, "w") as f:
            f.write(text.replace(old, new) + extra)
        for item in ("LICENSE.txt", "README.txt", "background.bmp", "files"):
            source = os.path.join(os.path.dirname(EXAMPLE), item)
            target = os.path.join(self.work, item)
            if not os.path.exists(target):
                (shutil.copytree if os.path.isdir(source) else shutil.copy)(source, target)
        return manifest

    def test_stub_checksum(self):
        manifest = self.manifest_variant("checkstub", 'flags = ["UninstallSupport"',
                                         'flags = ["CheckStub", "UninstallSupport"')
        checked = package.build(manifest, self.variant("checkstub"), "--stub", bench.STUB)
        pe = package.read_pe(checked)
        # One byte of the DOS stub's message: the program still runs, its stub differs.
        index = bytes(pe.data).index(b"This program cannot be run in DOS mode")
        pe.data[index] ^= 0x20
        damaged = pe.save(self.variant("checkstub-damaged"))
        with bench.Prefix() as prefix:
            self.assertRead(prefix, checked)
            # The string table is read by now: the package's own text 13 is used.
            result = prefix.run(damaged)
            self.assertEqual(result.exit_code, 1)
            self.assertEqual(len(result.boxes), 1)
            self.assertTrue(result.boxes[0].text.endswith("Error code: 40"), result.boxes[0].text)

    def test_section_that_is_not_the_last(self):
        pe = package.read_pe(self.good)
        payload = pe.payload()
        pe.append_section(".extra", b"later section data " * 40)
        moved = pe.save(self.variant("notlast"))

        # What taking the payload out must give: the later section moves down in the file.
        expected = package.read_pe(moved)
        _, _, _, raw_size, raw_offset, entry = payload
        data = expected.data[:raw_offset] + expected.data[raw_offset + raw_size:]
        rebuilt = package.PeFile(data)
        count = rebuilt.section_count
        table_end = rebuilt.table + 40 * count
        rebuilt.data[entry:table_end] = rebuilt.data[entry + 40:table_end + 40]
        later = entry
        rebuilt.put_u32(later + 20, rebuilt.u32(later + 20) - raw_size)
        rebuilt.put_u16(rebuilt.pe + 6, count - 1)
        rebuilt.put_u32(rebuilt.pe + 32, rebuilt.u32(rebuilt.pe + 32) - raw_size)
        sections = rebuilt.sections()
        self.assertEqual([s[0] for s in sections][-1], ".extra")
        alignment = rebuilt.u32(rebuilt.pe + 56)
        end = max(va + vs for _, vs, va, _, _, _ in sections)
        rebuilt.put_u32(rebuilt.pe + 80, (end + alignment - 1) // alignment * alignment)

        with bench.Prefix() as prefix:
            self.assertRead(prefix, moved)
            # That rebuilt stub is a program that runs and finds no archive in itself.
            result = prefix.run(rebuilt.save(self.variant("rebuilt")))
            self.assertEqual(result.exit_code, 1)
            self.assertEqual(len(result.boxes), 1)
            self.assertIn("There is no installation archive present.", result.boxes[0].text)


if __name__ == "__main__":
    bench.main()
