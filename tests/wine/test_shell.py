"""How an installation ties the product into the shell and the registry under Wine, with
packages made by `quox build`: shortcuts in the user's or all users' folders (read back
through the shell's link object) and the uninstaller's own shortcuts; shared-file
counts with a reinstall, COM servers and type libraries; file associations with their
backups and record lines; fonts on both families, the product's registry key and the
PATH line."""

import os
import shutil
import tempfile

import bench
import package
from installed import CLASSES, SHARED_DLLS, UNINSTALL_KEY
from services_script import check_rows, shown

HKLM, HKCU = "HKEY_LOCAL_MACHINE\\", "HKEY_CURRENT_USER\\"
SHELL_FOLDERS = r"Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
SYSTEM = r"C:\windows\system32"


class Work:
    """A scratch directory for the packages of one test."""

    def __init__(self):
        self.path = tempfile.mkdtemp(prefix="quox-shell-", dir=bench.BENCH_DIR)

    def package(self, name, manifest, files):
        directory = os.path.join(self.path, name)
        os.makedirs(directory, exist_ok=True)
        return package.make(directory, manifest, files, name + ".exe")

    def close(self):
        shutil.rmtree(self.path, ignore_errors=True)


def install(test, prefix, setup, args="/a"):
    result = prefix.run(setup, args, timeout=bench.scaled(90))
    test.assertEqual((result.exit_code, [(b.caption, b.text) for b in result.boxes if b.text]), (1, []))


def read_text(prefix, path):
    return prefix.read(path).decode("latin-1")


def detailed_log(prefix, directory):
    """Install.LOG after its header."""
    return read_text(prefix, directory + r"\Install.LOG").split("\r\n\r\n", 1)[1]


def file_list(prefix, directory):
    """The uninstall file list of Uninstall.DAT, one entry per line."""
    return read_text(prefix, directory + r"\Uninstall.DAT").split("\r\n\r\n[Strings]")[0].split("\r\n")


def associations_record(prefix, directory):
    text = read_text(prefix, directory + r"\Uninstall.DAT")
    return text.split("\r\n\r\n[Associations]\r\n")[1] if "[Associations]" in text else ""


LINK_MANIFEST = r'''
[product]
name = "Link Demo"
flags = ["UninstallSupport", "StartMenuUninstaller", "DesktopUninstaller", "SubdirUninstaller", "VerboseLog",
         "AlwaysWriteLog"]
[directories]
default = "C:\\LinkDemo"
start_menu = "%(start_menu)s"
%(desktop_folder)s
uninstall_subdir = "uninst"
[install]
all_users = %(all_users)s
[files.tool]
source = "tool.exe"
flags = ["DesktopShortcut", "StartMenuShortcut"]
shortcut = "Tool.lnk"
arguments = "/open %%InstallDir%%\\data"
workdir = "%%InstallDir%%\\data"
icon = "tool.ico"
[files.data]
source = "readme.txt"
subdir = "data"
[files.viewer]
source = "viewer.exe"
flags = ["DesktopShortcut", "StartMenuShortcut"]
shortcut = "Group\\Sub\\Viewer"
workdir = "C:\\Nowhere"
[files.starter]
source = "start.exe"
destination = "startup"
shortcut = "Starter"
[files.kept]
source = "kept.exe"
flags = ["StartMenuShortcut", "Permanent"]
shortcut = "Kept"
'''

LINK_FILES = {name: b"MZ " + name.encode() for name in ("tool.exe", "viewer.exe", "start.exe", "kept.exe")}
LINK_FILES["readme.txt"] = b"data"


class Shortcuts(bench.WineTestCase):
    def test_shortcuts_and_uninstaller_shortcuts_by_shortcut_mode(self):
        rows = [  # name, all users, desktop folder name, Start Menu folder name (manifest, expected)
            ("the user's folders, a desktop folder", False, "Quox Desk", r"Quox\\Link Demo", r"Quox\Link Demo"),
            # Without a Start Menu folder name the package's default is the product's name.
            ("all users' folders, on the desktop itself", True, "", "", "Link Demo"),
        ]
        work = Work()
        self.addCleanup(work.close)
        for number, (name, all_users, desktop_folder, start_menu, menu_folder) in enumerate(rows):
            with self.subTest(name), bench.Prefix() as p:
                manifest = LINK_MANIFEST % {
                    "all_users": "true" if all_users else "false",
                    "desktop_folder": 'desktop_folder = "%s"' % desktop_folder if desktop_folder else "",
                    "start_menu": start_menu}
                install(self, p, work.package("links%d" % number, manifest, LINK_FILES))
                self.check_links(p, all_users, desktop_folder, menu_folder)

    def check_links(self, p, all_users, desktop_folder, start_menu):
        registry = p.registry()
        hive, prefix = (HKLM, "Common ") if all_users else (HKCU, "")
        desktop = registry.value(hive + SHELL_FOLDERS, prefix + "Desktop")
        programs = registry.value(hive + SHELL_FOLDERS, prefix + "Programs")
        startup = registry.value(hive + SHELL_FOLDERS, prefix + "Startup")
        self.assertTrue(desktop and programs and startup)
        on_desktop = desktop + "\\" + desktop_folder if desktop_folder else desktop
        in_menu = programs + "\\" + start_menu
        directory, uninstaller = r"C:\LinkDemo", r"C:\LinkDemo\uninst\Uninstall.exe"
        links = {  # link: target, arguments, working directory, icon
            on_desktop + r"\Tool.lnk": (r"C:\LinkDemo\tool.exe", r"/open C:\LinkDemo\data", r"C:\LinkDemo\data",
                                        r"C:\LinkDemo\uninst\tool.ico"),
            in_menu + r"\Tool.lnk": (r"C:\LinkDemo\tool.exe", r"/open C:\LinkDemo\data", r"C:\LinkDemo\data",
                                     r"C:\LinkDemo\uninst\tool.ico"),
            on_desktop + r"\Group\Sub\Viewer.LNK": (r"C:\LinkDemo\viewer.exe", "", directory,
                                                    r"C:\LinkDemo\viewer.exe"),
            in_menu + r"\Group\Sub\Viewer.LNK": (r"C:\LinkDemo\viewer.exe", "", directory, r"C:\LinkDemo\viewer.exe"),
            startup + r"\Starter.LNK": (r"C:\LinkDemo\start.exe", "", directory, r"C:\LinkDemo\start.exe"),
            in_menu + r"\Kept.LNK": (r"C:\LinkDemo\kept.exe", "", directory, r"C:\LinkDemo\kept.exe"),
            on_desktop + r"\Uninstall Link Demo.LNK": (uninstaller, '/u:"Link Demo"', directory, uninstaller),
            in_menu + r"\Uninstall Link Demo.LNK": (uninstaller, '/u:"Link Demo"', "", uninstaller),
            r"C:\LinkDemo\uninst\Uninstall Link Demo.LNK": (uninstaller, '/u:"Link Demo"', "", uninstaller),
        }
        check_rows(self, p, [
            (link, "readlink|" + link, " ".join(shown(text) for text in fields[:4]) + " 0 []")
            for link, fields in links.items()])

        with self.subTest("none in the other kind of folders"):
            other_hive, other_prefix = (HKCU, "") if all_users else (HKLM, "Common ")
            names = {link.rsplit("\\", 1)[1].lower() for link in links}
            for folder in ("Desktop", "Programs", "Startup"):
                path = registry.value(other_hive + SHELL_FOLDERS, other_prefix + folder)
                for _, _, found in os.walk(p.host_path(path)) if path else ():
                    self.assertFalse(names & {n.lower() for n in found}, (path, found))

        with self.subTest("each link listed once for removal, the desktop folder once, the permanent one not"):
            listed = file_list(p, r"C:\LinkDemo\uninst")
            for link in links:
                self.assertEqual(listed.count(link), 0 if link.endswith("Kept.LNK") else 1, link)
            if desktop_folder:
                self.assertEqual(listed.count("~" + on_desktop), 1)

        with self.subTest("the detailed log names each shortcut"):
            log = detailed_log(p, r"C:\LinkDemo\uninst")
            kind = "Desktop Folder Shortcut" if desktop_folder else "Desktop Shortcut"
            for line in (
                    r"%s(Tool.lnk) -> %s\Tool.lnk" % (kind, on_desktop),
                    r"Start Menu Shortcut(Group\Sub\Viewer) -> %s\Group\Sub\Viewer.LNK" % in_menu,
                    r"Startup Shortcut(Starter) -> %s\Starter.LNK" % startup,
                    r"%s(Uninstall Link Demo) -> %s\Uninstall Link Demo.LNK" % (kind, on_desktop),
                    r"Uninstaller Shortcut -> %s\Uninstall Link Demo.LNK" % in_menu,
                    r"Uninstaller Shortcut -> C:\LinkDemo\uninst\Uninstall Link Demo.LNK"):
                self.assertIn(line + "\r\n", log)

    def test_a_desktop_folder_that_cannot_be_made(self):
        work = Work()
        self.addCleanup(work.close)
        manifest = LINK_MANIFEST % {"all_users": "false", "desktop_folder": 'desktop_folder = "Blocked"',
                                    "start_menu": ""}
        setup = work.package("blocked", manifest, LINK_FILES)
        with bench.Prefix() as p:
            desktop = p.registry().value(HKCU + SHELL_FOLDERS, "Desktop")
            p.write(desktop + r"\Blocked", b"a file where the folder would go")
            result = p.run(setup, "/a", timeout=bench.scaled(90))
            self.assertEqual(result.exit_code, 1)
            log = read_text(p, r"C:\LinkDemo\uninst\Install.LOG")
            # Reported once, for the folder; then each link that could not go in it.
            self.assertEqual(log.count(r"Failed to create directory %s\Blocked: " % desktop), 1)
            self.assertIn("Unable to create the file %s\\Blocked\\Tool.lnk\r\n" % desktop, log)
            self.assertTrue(p.exists(r"C:\LinkDemo\uninst\Uninstall Link Demo.LNK"))
            listed = file_list(p, r"C:\LinkDemo\uninst")
            self.assertEqual(listed.count("~%s\\Blocked" % desktop), 1)
            self.assertNotIn("%s\\Blocked\\Tool.lnk" % desktop, listed)


COMPONENT_MANIFEST = r'''
[product]
name = "%(name)s"
flags = [%(flags)s"AlwaysWriteLog"]
[directories]
default = "C:\\%(name)s"
shared = "Quox Shared"
[files.shared]
source = "common.dll"
destination = "shared"
[files.kept]
source = "perm.dll"
destination = "shared"
flags = ["Permanent"]
[files.system]
source = "sysfile.dll"
destination = "system"
[files.server]
source = "comserver.dll"
destination = "system-com"
target = "%(server)s"
[files.noentry]
source = "noregister.dll"
destination = "system-com"
[files.notalibrary]
source = "broken.dll"
destination = "system-com"
[files.typelib]
source = "library.tlb"
destination = "system-typelib"
[files.badtypelib]
source = "bad.tlb"
destination = "system-typelib"
'''


class Components(bench.WineTestCase):
    GUID = "{6A1E2B3C-4D5E-4F60-8172-93A4B5C6D7E9}"

    def test_shared_counts_com_servers_and_type_libraries(self):
        work = Work()
        self.addCleanup(work.close)
        with bench.Prefix() as p:
            check_rows(self, p, [("made", r"maketlb|C:\bench\library.tlb|%s" % self.GUID, "00000000")])
            files = {"common.dll": b"shared", "perm.dll": b"permanent", "sysfile.dll": b"system",
                     "broken.dll": b"not a library", "bad.tlb": b"not a type library",
                     "library.tlb": p.read(r"C:\bench\library.tlb")}
            for name in ("comserver.dll", "noregister.dll"):
                with open(os.path.join(bench.DRIVERS, name), "rb") as f:
                    files[name] = f.read()
            shared = r"C:\Program Files\Common Files\Quox Shared"
            counted = [shared + r"\common.dll", shared + r"\perm.dll", SYSTEM + r"\sysfile.dll",
                       SYSTEM + r"\server.dll", SYSTEM + r"\noregister.dll", SYSTEM + r"\broken.dll",
                       SYSTEM + r"\library.tlb", SYSTEM + r"\bad.tlb"]
            setup = work.package("shared", COMPONENT_MANIFEST % {
                "name": "Shared Demo", "flags": '"UninstallSupport", ', "server": "server.dll"}, files)
            # Another product already counts the system file.
            p.edit_registry_values("system.reg", SHARED_DLLS, {SYSTEM + r"\sysfile.dll": 2})

            install(self, p, setup)
            with self.subTest("first installation: each file counted once more"):
                counts = p.registry().values(HKLM + SHARED_DLLS)
                self.assertEqual({path: counts.get(path) for path in counted},
                                 {path: 3 if path.endswith("sysfile.dll") else 1 for path in counted})
            with self.subTest("DllRegisterServer called, each outcome logged, the install goes on"):
                self.assertTrue(p.exists(SYSTEM + r"\server.dll.registered"))
                log = detailed_log(p, r"C:\Shared Demo")
                for line in (
                        'Registering COM File "%s\\server.dll"...OK\r\n' % SYSTEM,
                        'Registering COM File "%s\\noregister.dll"...GetProcAddress() Failed\r\n' % SYSTEM,
                        'Registering COM File "%s\\broken.dll"...LoadLibrary() Failed\r\n' % SYSTEM,
                        'Registering Type Library "%s\\library.tlb"...OK\r\n' % SYSTEM,
                        'Registering Type Library "%s\\bad.tlb"...FAILED\r\n' % SYSTEM):
                    self.assertIn(line, log)
                # None of these failures is an error of the installation.
                self.assertTrue(log.endswith("\r\nInstallation Complete\r\n\r\n"), log)
                registry = p.registry()
                self.assertEqual(registry.value(r"HKCR\TypeLib\%s\1.0\0\win32" % self.GUID, ""),
                                 SYSTEM + r"\library.tlb")

            with self.subTest("a reinstall takes back the counts it added before"):
                # The Uninstall entry as the first installation left it, markers and all.
                p.edit_registry_values("system.reg", UNINSTALL_KEY + r"\Shared Demo", {
                    "InstallLocation": r"C:\Shared Demo",
                    "SharedFiles": ";".join('"%s%s"' % (path, marker) for path, marker in zip(
                        counted, ["", " ", " ", "^", "^", "^", "\xa9", "\xa9"]))})
                install(self, p, setup)
                counts = p.registry().values(HKLM + SHARED_DLLS)
                self.assertEqual({path: counts.get(path) for path in counted},
                                 {path: 3 if path.endswith("sysfile.dll") else 1 for path in counted})
                self.assertIn("Install type: Reinstall", read_text(p, r"C:\Shared Demo\Install.LOG"))

            with self.subTest("without UninstallSupport no count is touched, but servers still register"):
                other = work.package("uncounted", COMPONENT_MANIFEST % {
                    "name": "Uncounted", "flags": "", "server": "server2.dll"}, files)
                install(self, p, other)
                counts = p.registry().values(HKLM + SHARED_DLLS)
                self.assertEqual({path: counts.get(path) for path in counted},
                                 {path: 3 if path.endswith("sysfile.dll") else 1 for path in counted})
                self.assertNotIn(SYSTEM + r"\server2.dll", counts)
                self.assertTrue(p.exists(SYSTEM + r"\server2.dll.registered"))
                # Without an uninstaller there is no shared directory: the install directory
                # takes the shared files.
                for name in ("common.dll", "perm.dll"):
                    self.assertTrue(p.exists(r"C:\Uncounted\%s" % name), name)


ASSOCIATION_MANIFEST = r'''
[product]
name = "Assoc Demo"
flags = ["UninstallSupport"]
[directories]
default = "C:\\Assoc"
[strings]
languages = ["English", "Deutsch"]
[files.viewer]
source = "viewer.exe"

[[associations]]
extension = "qxa"
type = "QuoxA.Doc"
description = "Quox A document"
verb = "open"
caption = "&Open with Quox"
command = "\"%InstallDir%\\viewer.exe\" \"%1\""
icon = "%InstallDir%\\viewer.exe,1"
default_verb = true

[[associations]]
extension = ".qxb"
type = "QuoxB.Type"
verb = "view"
caption = "View"
command = "viewer.exe /b \"%1\""

[[associations]]
extension = "qxc"
verb = "print"
caption = "Print"
command = "viewer.exe /p \"%1\""

[[associations]]
extension = "qxd"
type = "QuoxD.Doc"
verb = "open"
caption = "Open"
command = "viewer.exe /d"
language = "Deutsch"

[[associations]]
extension = "qxe"
verb = "open"
caption = "Open"
command = "viewer.exe /e"

[[associations]]
extension = "qxf"
type = "QuoxF.Doc"
verb = "NOVERB"
caption = "Caption"
command = "viewer.exe /f"
'''


class Associations(bench.WineTestCase):
    def test_associations_backups_record_and_failure(self):
        work = Work()
        self.addCleanup(work.close)
        built = work.package("assoc", ASSOCIATION_MANIFEST, {"viewer.exe": b"MZ viewer"})
        # The builder refuses an empty verb; a damaged package may still carry one.
        stream = package.settings_stream(built, work.path)
        self.assertEqual(stream.count(b"\0NOVERB\0"), 1)
        setup = package.reseal(built, stream.replace(b"\0NOVERB\0", b"\0\0"), built + ".noverb.exe")
        backup = "Assoc Demo Backup"
        with bench.Prefix() as p:
            before = {
                ".qxa": {"": "OtherApp.Doc"},                       # another product's type: kept
                "QuoxA.Doc": {"": "Older description"},
                ".qxb": {"": "quoxb.type"},                         # the same type but for case
                ".qxc": {"": "qxcfile"},                            # no type given: this one is used
                r"qxcfile\shell\print\command": {"": "oldprint.exe %1"},
            }
            for key, values in before.items():
                p.edit_registry_values("system.reg", CLASSES + key, values)
            install(self, p, setup)
            registry = p.registry()
            expected = [  # key, value name, value
                (".qxa", "", "QuoxA.Doc"), (".qxa", backup, "OtherApp.Doc"),
                ("QuoxA.Doc", "", "Quox A document"), ("QuoxA.Doc", backup, "Older description"),
                (r"QuoxA.Doc\DefaultIcon", "", r"C:\Assoc\viewer.exe,1"),
                (r"QuoxA.Doc\shell", "", "open"),
                (r"QuoxA.Doc\shell\open", "", "&Open with Quox"),
                (r"QuoxA.Doc\shell\open\command", "", r'"C:\Assoc\viewer.exe" "%1"'),
                (".qxb", "", "QuoxB.Type"), (".qxb", backup, None),
                (r"QuoxB.Type\shell", "", None),
                (r"QuoxB.Type\shell\view\command", "", 'viewer.exe /b "%1"'),
                (".qxc", "", "qxcfile"), (".qxc", backup, None),
                (r"qxcfile\shell\print", "", "Print"),
                (r"qxcfile\shell\print\command", "", 'viewer.exe /p "%1"'),
                (r"qxcfile\shell\print\command", backup, "oldprint.exe %1"),
            ]
            for key, name, value in expected:
                with self.subTest(key=key, name=name):
                    self.assertEqual(registry.value("HKCR\\" + key, name), value)
            with self.subTest("another language's, a type-less and a verb-less association leave no trace"):
                for key in (".qxd", "QuoxD.Doc", ".qxe", "shell", ".qxf", "QuoxF.Doc"):
                    self.assertFalse(registry.has_key("HKCR\\" + key), key)
            with self.subTest("an association without a verb is reported and left out"):
                self.assertIn('Failed to associate file type:  ".qxf".\r\n\r\n',
                              read_text(p, r"C:\Assoc\Install.LOG"))
            with self.subTest("the association record of Uninstall.DAT"):
                self.assertEqual(associations_record(p, r"C:\Assoc"),
                                 ".qxa~!~QuoxA.Doc~!~open\r\n.qxb~!~QuoxB.Type~!~view\r\n"
                                 ".qxc~!~qxcfile~!~print\r\n")


FONT_MANIFEST = r'''
[product]
name = "Font Demo"
registry_key = "Quox Vendor\\Font Demo"
flags = ["UninstallSupport", "AddToPath"]
[directories]
default = "C:\\QUOXFNT"
[files.font]
source = "quoxfnt.ttf"
destination = "fonts"
font = "Quox Font Demo (TrueType)"
'''


class FontsKeyAndPath(bench.WineTestCase):
    def test_fonts_product_key_and_path_on_both_families(self):
        rows = [  # Windows version, fonts key
            ("win98", r"Software\Microsoft\Windows\CurrentVersion\Fonts"),
            ("winxp", r"Software\Microsoft\Windows NT\CurrentVersion\Fonts"),
        ]
        work = Work()
        self.addCleanup(work.close)
        setup = work.package("fonts", FONT_MANIFEST, {"quoxfnt.ttf": b"not really a font"})
        for version, fonts_key in rows:
            with self.subTest(version), bench.Prefix(windows_version=version) as p:
                p.write(r"C:\autoexec.bat", "@echo off\r\n")
                install(self, p, setup)
                registry = p.registry()
                self.assertEqual(registry.value(HKLM + fonts_key, "Quox Font Demo (TrueType)"), "quoxfnt.ttf")
                self.assertTrue(p.exists(r"C:\windows\Fonts\quoxfnt.ttf"))
                for root in (HKLM, HKCU):
                    self.assertTrue(registry.has_key(root + r"Software\Quox Vendor\Font Demo"), root)
                self.assertEqual(read_text(p, r"C:\autoexec.bat"), "@echo off\r\nPATH=%PATH%;C:\\QUOXFNT\r\n")


if __name__ == "__main__":
    bench.main()
