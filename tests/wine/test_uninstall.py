"""The uninstaller under Wine: the plain stub started with /u:"name" removes a product
that installed.py lays down in the prefix as an installation leaves it (files, the
Uninstall key's values, Uninstall.DAT, the uninstaller copy), and then removes itself
through its script. Each test class uses one prefix for several products."""

import os
import subprocess

import bench
import installed
import registry_script
from installed import (Product, YES, NO, SELF_REMOVAL_SCRIPT, CLASSES, SHARED_DLLS, messages,
                       wait_until_gone)
from services_script import check_rows

APP = r"C:\Program Files\Quox Demo"
HKLM, HKCU = "HKEY_LOCAL_MACHINE\\", "HKEY_CURRENT_USER\\"
DONE = [("M55", "M53"), ("M15", "M34")]


def present(registry, key):
    """Whether the key exists; Wine saves a key without values only through its sub-keys."""
    return registry.has_key(key) or bool(registry.subkeys(key))


def driver_result(prefix, driver, commands):
    """Runs a console driver's script; its result lines, the command names taken off."""
    prefix.write(r"C:\bench\uninstall-script.txt", "\r\n".join(commands) + "\r\n")
    code, output = prefix.run_console(bench.driver(driver), [r"C:\bench\uninstall-script.txt"])
    return [line.partition(": ")[2] for line in output.split("\n") if line]


class CompleteUninstall(bench.WineTestCase):
    def test_everything_goes_and_the_uninstaller_last(self):
        files = {
            APP + r"\demo.exe": "program",
            APP + r"\readme.txt": "text",
            APP + r"\a\one.txt": "1",
            APP + r"\a\b\two.txt": "2",
            APP + r"\a\b\c\three.txt": "3",
            APP + r"\Uninstall\Install.LOG": "log",
            APP + r"\Uninstall\Installer Background.BMP": bmp(),
        }
        lines = [APP + r"\demo.exe", APP + r"\readme.txt", "~" + APP + r"\a", APP + r"\a\one.txt",
                 "~" + APP + r"\a\b", APP + r"\a\b\two.txt", "~" + APP + r"\a\b\c", APP + r"\a\b\c\three.txt",
                 APP + r"\Uninstall\Installer Background.BMP", "!QuoxDemo.Extra"]
        flags = installed.ADD_TO_PATH | installed.SAVE_BACKGROUND_BITMAP | installed.HIDE_UNINSTALL_BATCH1
        product = Product("Quox Demo", APP, flags, files=files, lines=lines, subdir="Uninstall", values={
            "ProductRegistry": r"Quox Vendor\Demo",
            "ProductStartMenu": r"Quox Vendor\Demo",
            "BitmapSize": 50,
            # The hidden batch must not wait for a key; the second runs in the drive's root.
            "UninstallBatch1": "@pause\r\necho %InstallDir%;%InstallDrive%> C:\\out\\first.txt\r\n",
            "UninstallBatch2": "echo %InstallDir%> C:\\out\\last.txt\n",
        })
        with bench.Prefix() as p:
            product.lay_down(p)
            p.write(r"C:\out\placeholder.txt", "")
            programs = registry_script.run(p, ["folder|Programs"], self)[0][1:-1]
            short = driver_result(p, "filesdriver", ["shortname|" + APP, "setreadonly|%s\\readme.txt|1" % APP])
            short_app = short[0][1:-1]
            self.assertNotEqual(short_app, APP)
            p.write(r"C:\autoexec.bat", "@echo off\r\nPATH=%%PATH%%;%s\r\nrem end\r\n" % short_app)
            shortcut = programs + r"\Quox Vendor\Demo\Demo.lnk"
            p.write(shortcut, "link")
            product.lines.append(shortcut)
            p.write(product.dat_path, product.dat_text())
            product.write_values(p)
            p.edit_registry_values("system.reg", r"Software\Quox Vendor\Demo\Settings", {"Size": 3})
            p.edit_registry_values("system.reg", r"Software\Quox Vendor\Other", {"Kept": "yes"})
            p.edit_registry_values("user.reg", r"Software\Quox Vendor\Demo", {"Window": "max"})
            p.edit_registry_values("system.reg", CLASSES + r"QuoxDemo.Extra\sub", {"": "x"})

            result = product.uninstall(p, answers=[YES])
            self.assertEqual(result.exit_code, 1, result)
            self.assertEqual(messages(result), DONE)
            self.assertTrue(wait_until_gone(p, [product.uninstaller, SELF_REMOVAL_SCRIPT, APP]),
                            "the self-removal script did not finish")
            self.assertFalse(p.exists(r"C:\Program Files\Quox Demo"))
            self.assertTrue(p.exists(r"C:\Program Files"))
            self.assertFalse(p.exists(programs + r"\Quox Vendor"))
            self.assertTrue(p.exists(programs))
            self.assertEqual(p.read(r"C:\autoexec.bat"), b"@echo off\r\nrem end\r\n")
            self.assertEqual(p.read(r"C:\out\first.txt").strip(), (APP + ";C:").encode())
            self.assertEqual(p.read(r"C:\out\last.txt").strip(), b"C:\\")
            self.assertFalse(p.exists(APP + r"\QUOXBAT.BAT") or p.exists(r"C:\QUOXBAT.BAT"))

            registry = p.registry()
            self.assertFalse(present(registry, HKLM + product.key))
            self.assertFalse(present(registry, HKLM + r"Software\Quox Vendor\Demo"))
            self.assertEqual(registry.value(HKLM + r"Software\Quox Vendor\Other", "Kept"), "yes")
            self.assertFalse(present(registry, HKCU + r"Software\Quox Vendor"))
            self.assertFalse(present(registry, r"HKCR\QuoxDemo.Extra"))


class InstallDirectoryAndAutomaticMode(bench.WineTestCase):
    def test_automatic_mode_asks_nothing_and_shows_errors_only_when_told(self):
        def product(name, flags=0, failing=False):
            app = r"C:\Apps\%s" % name
            files = {app + r"\x\file.txt": "x"}
            lines = ["~" + app + r"\x", app + r"\x\file.txt"]
            if failing:
                # A directory listed as a file cannot be deleted as one.
                files[app + r"\busy\inner.txt"] = "in"
                lines.append(app + r"\busy")
            return Product(name, app, flags, files=files, lines=lines)

        by_switch = product("Switch")
        by_flag = product("Flag", installed.AUTOMATIC_UNINSTALL)
        silent_failure = product("Silent", installed.AUTOMATIC_UNINSTALL, failing=True)
        shown_failure = product("Shown", installed.AUTOMATIC_UNINSTALL | installed.SHOW_ERRORS_IN_AUTOMATIC,
                                failing=True)
        with bench.Prefix() as p:
            for each in (by_switch, by_flag, silent_failure, shown_failure):
                each.lay_down(p)
                each.write_values(p)
            # With its script kept from being written, the uninstaller leaves its own
            # directory in place: it never removes the install directory itself.
            os.makedirs(p.host_path(SELF_REMOVAL_SCRIPT))

            result = by_switch.uninstall(p, automatic=True)
            self.assertEqual((result.exit_code, messages(result)), (1, []))
            self.assertEqual(os.listdir(p.host_path(by_switch.install_dir)), ["Uninstall.exe"])
            self.assertEqual(messages(by_flag.uninstall(p)), [])
            self.assertEqual(os.listdir(p.host_path(by_flag.install_dir)), ["Uninstall.exe"])

            self.assertEqual(messages(silent_failure.uninstall(p)), [])
            result = shown_failure.uninstall(p)
            self.assertEqual(messages(result), [("M20", "M10 Shown:\r\nM58 C:\\Apps\\Shown\\busy\r\n")])
            for failed in (silent_failure, shown_failure):
                self.assertEqual(p.read(failed.dat_path).decode("latin-1"),
                                 installed.uninstall_dat([failed.install_dir + r"\busy"]))
                self.assertFalse(p.exists(failed.install_dir + r"\x"))

            registry = p.registry()
            for gone in (by_switch, by_flag):
                self.assertFalse(present(registry, HKLM + gone.key))
            for kept in (silent_failure, shown_failure):
                self.assertTrue(present(registry, HKLM + kept.key))


class Refusals(bench.WineTestCase):
    def test_nothing_is_removed_without_a_usable_record_or_a_yes(self):
        declined = Product("Declined", r"C:\Apps\Declined", files={r"C:\Apps\Declined\keep.txt": "k"})
        blank = Product("Blank Demo", r"C:\Apps\Blank", files={r"C:\Apps\Blank\keep.txt": "k"},
                        values={"InstallLocation": "  "})
        relative = Product("Relative Demo", r"C:\Apps\Relative", files={r"C:\Apps\Relative\keep.txt": "k"},
                           values={"InstallLocation": "Temp"})
        locked = Product("Locked Demo", r"C:\Apps\Locked", files={r"C:\Apps\Locked\keep.txt": "k"})
        stub = r"C:\test\quoxstub.exe"
        cannot = "The uninstallation cannot be performed."
        with bench.Prefix() as p:
            for each in (declined, blank, relative, locked):
                each.install(p)
            p.put(bench.STUB, stub)
            self.assertEqual(registry_script.run(p, [
                "open|HKLM|Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Locked Demo|0", "readonly"]),
                ["1", "0"])
            rows = [
                ("declined", declined.uninstall(p, answers=[NO]), [("M55", "M53")]),
                ("not installed", p.run(stub, '/u:"Nobody"'), [("Error", "No product named 'Nobody' is installed.")]),
                ("another key's path", p.run(stub, r'/u:"Declined\..\Declined"'),
                 [("Error", "No product named 'Declined\\..\\Declined' is installed.")]),
                ("not installed, automatic", p.run(stub, '/a /u:"Nobody"'), []),
                ("blank location", blank.uninstall(p),
                 [("Error", "The uninstall information for Blank Demo is corrupt.\r\n\r\n" + cannot)]),
                ("relative location", relative.uninstall(p),
                 [("Error", "The uninstall information for Relative Demo is corrupt.\r\n\r\n" + cannot)]),
                ("key not writable", locked.uninstall(p),
                 [("Error", "Unable to access the uninstall information for:\r\nLocked Demo\r\n\r\n" + cannot)]),
            ]
            for name, result, expected in rows:
                with self.subTest(name):
                    self.assertEqual(result.exit_code, 1)
                    self.assertEqual(messages(result), expected)
            registry = p.registry()
            for each in (declined, blank, relative, locked):
                with self.subTest(each.name):
                    self.assertTrue(p.exists(each.install_dir + r"\keep.txt"))
                    self.assertTrue(p.exists(each.uninstaller))
                    self.assertEqual(p.read(each.dat_path).decode("latin-1"), each.dat_text())
                    self.assertTrue(present(registry, HKLM + each.key))


class FileInUse(bench.WineTestCase):
    def test_partial_uninstall_keeps_a_record_that_a_second_run_finishes(self):
        locked = APP + r"\sub\locked.dll"
        files = {APP + r"\free.txt": "f", locked: "held", r"C:\Shared\counted.dll": "shared",
                 r"C:\windows\Fonts\QUOXPART.TTF": "font"}  # the file list holds the product's own
        product = Product("Quox Demo", APP, files=files, associations=[(".qxz", "QuoxDoc.Z", "open")],
                          lines=[APP + r"\free.txt", "~" + APP + r"\sub", locked], values={
                              "SharedFiles": r'"C:\Shared\counted.dll"',
                              "ProductFonts": '"Quox Part" "QUOXPART.TTF" ',
                              "ProductRegistry": r"Quox Vendor\Demo",
                              "UninstallBatch1": "echo ran>> C:\\out\\first.txt\r\n",
                          })
        with bench.Prefix() as p:
            product.lay_down(p)
            p.write(r"C:\out\placeholder.txt", "")
            product.write_values(p)
            p.edit_registry_values("system.reg", SHARED_DLLS, {r"C:\Shared\counted.dll": 3})
            release = r"C:\bench\release.txt"
            p.write(r"C:\bench\holder.txt", "open|A|%s|0\r\nwaitfor|%s|600000\r\n" % (locked, release))
            holder = p.start(bench.driver("filesdriver"), [r"C:\bench\holder.txt"])
            self.assertTrue(holder.wait_line("open: 0"), holder.lines)

            first = product.uninstall(p, answers=[YES])
            self.assertEqual(messages(first),
                             [("M55", "M53"), ("M20", "M10 Quox Demo:\r\nM58 %s\r\n" % locked)])
            self.assertFalse(p.exists(APP + r"\free.txt"))
            self.assertFalse(p.exists(SELF_REMOVAL_SCRIPT))
            self.assertTrue(p.exists(product.uninstaller))
            # The record lists what is left, keeps the messages and drops the associations.
            self.assertEqual(p.read(product.dat_path).decode("latin-1"),
                             installed.uninstall_dat([locked, "~" + APP + r"\sub"]))

            p.write(release, "")
            self.assertEqual(holder.wait(timeout=bench.scaled(60)), 0)
            registry = p.registry()
            values = registry.values(HKLM + product.key)
            for done in ("UninstallBatch1", "ProductFonts", "ProductRegistry", "SharedFiles"):
                self.assertNotIn(done, values)
            self.assertEqual(values["InstallLocation"], APP)
            self.assertEqual(registry.value(HKLM + SHARED_DLLS, r"C:\Shared\counted.dll"), 2)

            second = product.uninstall(p, answers=[YES])
            self.assertEqual(messages(second), DONE)
            self.assertTrue(wait_until_gone(p, [product.uninstaller, SELF_REMOVAL_SCRIPT, APP]))
            # Nothing was done twice: the batch ran once, the count went down once.
            self.assertEqual(p.read(r"C:\out\first.txt").split(), [b"ran"])
            registry = p.registry()
            self.assertFalse(present(registry, HKLM + product.key))
            self.assertEqual(registry.value(HKLM + SHARED_DLLS, r"C:\Shared\counted.dll"), 2)
            self.assertTrue(p.exists(r"C:\Shared\counted.dll"))


class SharedFiles(bench.WineTestCase):
    GUID = "{5A4C8E21-7F3B-4C1D-9E2A-0B1C2D3E4F51}"

    def test_counts_markers_and_unregistration(self):
        entries = [  # path, marker, count (None: no value), file stays, count afterwards
            (r"C:\Shared\three.dll", "", 3, True, 2),
            (r"C:\Shared\one.dll", "", 1, False, None),
            (r"C:\Shared\uncounted.dll", "", None, False, None),
            (r"C:\Shared\kept.dll", " ", None, True, None),
            (r"C:\Shared\kept1.dll", " ", 1, True, None),
            (r"C:\Shared\server.dll", "^", 1, False, None),
            (r"C:\Shared\library.tlb", "\xa9", 1, False, None),
        ]
        listed = ";".join('"%s%s"' % (path, marker) for path, marker, _, _, _ in entries)
        files = {path: "dll" for path, marker, _, _, _ in entries if not path.endswith((".tlb", "server.dll"))}
        # Shared files are not in the file list: their counts alone decide.
        shared = Product("Shared Demo", r"C:\Apps\Shared", files=files, lines=[],
                         values={"SharedFiles": listed, "SharedPath": r"C:\Shared"})
        asking = Product("Asking Demo", r"C:\Apps\Asking", installed.ASK_SHARED_REMOVAL,
                         files={r"C:\Shared2\no.dll": "n", r"C:\Shared2\yes.dll": "y"}, lines=[],
                         values={"SharedFiles": r'"C:\Shared2\no.dll";"C:\Shared2\yes.dll"',
                                 "SharedPath": r"C:\Shared2"})
        refused = Product("Refused Demo", r"C:\Apps\Refused", files={r"C:\Shared3\one.dll": "1"}, lines=[],
                          values={"SharedFiles": r'"C:\Shared3\one.dll"'})
        with bench.Prefix() as p:
            for each in (shared, asking, refused):
                each.lay_down(p)
            p.put(os.path.join(bench.DRIVERS, "comserver.dll"), r"C:\Shared\server.dll")
            check_rows(self, p, [
                ("made", r"maketlb|C:\Shared\library.tlb|%s" % self.GUID, "00000000"),
                ("registered", r"regtlb|C:\Shared\library.tlb", lambda r: r.startswith("1 ")),
            ])
            for each in (shared, asking, refused):
                each.write_values(p)
            counts = {path: count for path, _, count, _, _ in entries if count is not None}
            counts.update({r"C:\Shared2\no.dll": 1, r"C:\Shared2\yes.dll": 1, r"C:\Shared3\one.dll": 1})
            p.edit_registry_values("system.reg", SHARED_DLLS, counts)
            self.assertTrue(p.registry().has_key(r"HKCR\TypeLib\%s\1.0" % self.GUID))

            self.assertEqual(messages(shared.uninstall(p, automatic=True)), [])
            result = asking.uninstall(p, answers=[YES, NO, YES])
            self.assertEqual(messages(result)[1:3], [("M35", r"M59 C:\Shared2\no.dll?"),
                                                     ("M35", r"M59 C:\Shared2\yes.dll?")])
            self.assertEqual(registry_script.run(p, ["open|HKLM|%s|0" % SHARED_DLLS, "readonly"]), ["1", "0"])
            result = refused.uninstall(p, answers=[YES])
            self.assertEqual(messages(result)[1:], [
                ("M20", "M10 Refused Demo:\r\nREGISTRY ERROR:  Unable to adjust shared file reference counts.\r\n\r\n")])

            self.assertTrue(p.exists(r"C:\Shared\server.dll.unregistered"))
            registry = p.registry()
            for path, _, _, stays, count in entries:
                with self.subTest(path):
                    self.assertEqual(p.exists(path), stays)
                    self.assertEqual(registry.value(HKLM + SHARED_DLLS, path), count)
            self.assertFalse(present(registry, r"HKCR\TypeLib\%s\1.0" % self.GUID))
            self.assertEqual((p.exists(r"C:\Shared2\no.dll"), p.exists(r"C:\Shared2\yes.dll")), (True, False))
            self.assertTrue(p.exists(r"C:\Shared3\one.dll"))
            self.assertEqual(registry.value(HKLM + SHARED_DLLS, r"C:\Shared3\one.dll"), 1)


class Associations(bench.WineTestCase):
    def test_previous_defaults_return_and_what_the_installer_made_goes(self):
        backup = "Assoc Demo Backup"
        keys = {
            # Extension with a previous type: that type comes back.
            ".qxa": {"": "QuoxDoc.A", backup: "OldType.A"},
            "QuoxDoc.A": {"": "Quox A document"},
            r"QuoxDoc.A\shell\open\command": {"": "quox.exe %1"},
            # A type with an icon keeps the icon and so stays, its verb goes.
            ".qxb": {"": "QuoxDoc.B"},
            r"QuoxDoc.B\DefaultIcon": {"": r"C:\Apps\quox.exe,0"},
            r"QuoxDoc.B\shell": {"": "open"},
            r"QuoxDoc.B\shell\open\command": {"": "quox.exe %1"},
            # A type of another program keeps its own verbs.
            ".qxc": {"": "OtherType.C"},
            r"OtherType.C\shell\print\command": {"": "other.exe /p %1"},
            r"OtherType.C\shell\quoxedit\command": {"": "quox.exe /e %1"},
            # An extension key with more in it than the installer wrote stays.
            ".qxd": {"": "QuoxDoc.D", "Content Type": "text/x-quox"},
            r".qxd\ShellNew": {"NullFile": ""},
            r"QuoxDoc.D\shell\open\command": {"": "quox.exe %1"},
            # A command that replaced another gets the old one back.
            ".qxe": {"": "Shared.E"},
            r"Shared.E\shell\open\command": {"": "quox.exe %1", backup: "theirs.exe %1"},
        }
        associations = [(".qxa", "QuoxDoc.A", "open"), (".qxb", "QuoxDoc.B", "open"),
                        (".qxc", "OtherType.C", "quoxedit"), (".qxd", "QuoxDoc.D", "open"), (".qxe", "Shared.E", "open")]
        product = Product("Assoc Demo", r"C:\Apps\Assoc", associations=associations)
        with bench.Prefix() as p:
            product.install(p)
            for key, values in keys.items():
                p.edit_registry_values("system.reg", CLASSES + key, values)
            self.assertEqual(messages(product.uninstall(p, automatic=True)), [])
            self.assertTrue(wait_until_gone(p, [product.uninstaller]))
            r = p.registry()
            hkcr = "HKCR\\"
            rows = [
                ("previous type back", r.values(hkcr + ".qxa"), {"": "OldType.A"}),
                ("installer's type gone", present(r, hkcr + "QuoxDoc.A"), False),
                ("extension with icon type stays", r.values(hkcr + ".qxb"), {"": "QuoxDoc.B"}),
                ("icon stays", r.value(hkcr + r"QuoxDoc.B\DefaultIcon", ""), r"C:\Apps\quox.exe,0"),
                ("verb of icon type gone", present(r, hkcr + r"QuoxDoc.B\shell"), False),
                ("other verb stays", r.value(hkcr + r"OtherType.C\shell\print\command", ""), "other.exe /p %1"),
                ("our verb gone", present(r, hkcr + r"OtherType.C\shell\quoxedit"), False),
                ("other type's extension stays", r.values(hkcr + ".qxc"), {"": "OtherType.C"}),
                ("extension keeps the rest", r.values(hkcr + ".qxd"), {"Content Type": "text/x-quox"}),
                ("ShellNew stays", r.has_key(hkcr + r".qxd\ShellNew"), True),
                ("type gone", present(r, hkcr + "QuoxDoc.D"), False),
                ("command back", r.values(hkcr + r"Shared.E\shell\open\command"), {"": "theirs.exe %1"}),
            ]
            for name, actual, expected in rows:
                with self.subTest(name):
                    self.assertEqual(actual, expected)


class Fonts(bench.WineTestCase):
    def test_fonts_go_from_either_family_s_key(self):
        cases = [  # version, fonts key
            ("win98", r"Software\Microsoft\Windows\CurrentVersion\Fonts"),
            ("winxp", r"Software\Microsoft\Windows NT\CurrentVersion\Fonts"),
        ]
        with bench.Prefix() as p:
            for version, key in cases:
                with self.subTest(version):
                    name = "Fonts " + version
                    kept, removed = "QKEEP%s.TTF" % version[-2:], "QGONE%s.TTF" % version[-2:]
                    product = Product(name, r"C:\Apps\Fonts" + version, installed.ASK_FONT_REMOVAL, values={
                        "ProductFonts": '"Kept %s" "%s" "Gone %s" "%s" ' % (version, kept, version, removed)})
                    product.lay_down(p)
                    for font in (kept, removed):
                        p.write(r"C:\windows\Fonts\%s" % font, "not really a font")
                    product.write_values(p)
                    p.edit_registry_values("system.reg", key, {"Kept " + version: kept, "Gone " + version: removed})
                    p.set_windows_version(version)
                    result = product.uninstall(p, answers=[YES, NO, YES])
                    self.assertEqual(messages(result), [("M55", "M53"), ("M57", "M56 Kept %s?" % version),
                                                        ("M57", "M56 Gone %s?" % version), ("M15", "M34")])
                    self.assertTrue(wait_until_gone(p, [product.uninstaller]))
                    registry = p.registry()
                    self.assertEqual(registry.value(HKLM + key, "Kept " + version), kept)
                    self.assertIsNone(registry.value(HKLM + key, "Gone " + version))
                    self.assertTrue(p.exists(r"C:\windows\Fonts\%s" % kept))
                    self.assertFalse(p.exists(r"C:\windows\Fonts\%s" % removed))


class Safety(bench.WineTestCase):
    def test_system_trees_are_never_deleted(self):
        protected = [  # install directory, a file in the tree that must stay
            ("C:\\", r"C:\sentinel.txt"),
            (r"C:\windows", r"C:\windows\sentinel.txt"),
            (r"C:\windows\system32", r"C:\windows\system32\sentinel.txt"),
            (r"C:\windows\Fonts", r"C:\windows\Fonts\sentinel.txt"),
            (r"C:\Program Files", r"C:\Program Files\sentinel.txt"),
            (r"C:\Program Files\Quox Demo\..", r"C:\Program Files\sentinel.txt"),
            (r"C:\PROGRA~1", r"C:\Program Files\sentinel.txt"),
            (r"C:\Program Files\..\windows", r"C:\windows\sentinel.txt"),
            (r"C:\users", r"C:\users\sentinel.txt"),
        ]
        flags = installed.REMOVE_INSTALL_DIR_TREE
        products = [Product("Tree %d" % i, directory, flags, uninstaller=r"C:\test\tree%d.exe" % i, dat=False)
                    for i, (directory, _) in enumerate(protected)]
        ordinary = Product("Tree App", r"C:\Tree App", flags, files={r"C:\Tree App\data\user.txt": "mine"},
                           lines=[])
        with bench.Prefix() as p:
            for each in products + [ordinary]:
                each.install(p)
            for _, sentinel in protected:
                p.write(sentinel, "stay")
            for each in products + [ordinary]:
                with self.subTest(each.install_dir):
                    result = each.uninstall(p, automatic=True)
                    self.assertEqual((result.exit_code, result.timed_out, messages(result)), (1, False, []))
                    self.assertTrue(wait_until_gone(p, [each.uninstaller, SELF_REMOVAL_SCRIPT]))
            for directory, sentinel in protected:
                with self.subTest(directory):
                    self.assertTrue(p.exists(sentinel))
            self.assertFalse(p.exists(r"C:\Tree App"))

    def test_damaged_records_never_crash_or_hang(self):
        seeds = os.path.join(os.path.dirname(__file__), "..", "fuzz", "seeds", "records_readers")
        hostile = {
            "cut in a message": installed.uninstall_dat([r"C:\Apps\Hostile\a.txt"])[:70],
            "binary": bytes(range(256)) * 64,
            "long line": "C:\\" + "x" * 100000 + "\r\n[Strings]\r\n~10\r\n" + "%s%n%n%n" * 1000,
            "many lines": "~C:\\Apps\\Hostile\\d\r\n" * 3000 + "[Associations]\r\n" + ".a~!~~!~\r\n" * 1000,
            "zero bytes": "C:\\Apps\\Hostile\\a.txt\0\0\r\n[Strings]\r\n~53\r\n\0\0\r\n",
        }
        for name in sorted(os.listdir(seeds)):
            with open(os.path.join(seeds, name), "rb") as f:
                data = f.read()
            if data[:1] == b"\0":  # the first byte chooses the Uninstall.DAT reader
                hostile["seed " + name] = data[1:]
        products = [Product("Hostile %d" % i, r"C:\Apps\Hostile", files={r"C:\Apps\Hostile\a.txt": "a"},
                            dat=data if isinstance(data, bytes) else data.encode("latin-1"),
                            uninstaller=r"C:\test\hostile%d.exe" % i)
                    for i, data in enumerate(hostile.values())]
        with bench.Prefix() as p:
            for each in products:
                each.install(p)
            for (name, _), each in zip(hostile.items(), products):
                p.write(each.dat_path, each.dat)
                with self.subTest(name):
                    result = each.uninstall(p, answers=[YES])
                    self.assertEqual((result.exit_code, result.timed_out), (1, False), result)
                    self.assertTrue(wait_until_gone(p, [SELF_REMOVAL_SCRIPT]))


def bmp():
    """A 2 x 2 picture of 24 bits as a .BMP file."""
    pixels = b"\xff\x00\x00" * 2 + b"\x00\x00" + b"\x00\xff\x00" * 2 + b"\x00\x00"
    info = (40).to_bytes(4, "little") + (2).to_bytes(4, "little") + (2).to_bytes(4, "little") + \
        (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + bytes(24)
    size = 14 + len(info) + len(pixels)
    return b"BM" + size.to_bytes(4, "little") + bytes(4) + (54).to_bytes(4, "little") + info + pixels


if __name__ == "__main__":
    bench.main()
