"""System folders, boot drive, fonts key and Windows identity under Wine.

Wine keeps the shell folder values that Windows keeps and resolves the shell lookup
from its "User Shell Folders" values; the lookup fails for a folder whose directory is
missing (it is asked not to create it). Wine also writes the "Shell Folders" value of a
folder back when it resolves one, so every fall-back case below asks for the folder
once, in a fresh process, before anything else has asked for the folders it leans on.
Wine keeps no MediaPath or DevicePath value, so those two fall to their defaults."""

import os
import shutil

import bench
import registry_script
from registry_script import text

SHELL_FOLDERS = r"Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
USER_SHELL_FOLDERS = r"Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders"
CURRENT_VERSION = r"Software\Microsoft\Windows\CurrentVersion"

# Every folder in the driver's order: where Windows keeps it (hive, key, value name),
# or None for the two values Wine does not keep.
FOLDERS = [
    ("CommonFiles", "HKLM", CURRENT_VERSION, "CommonFilesDir"),
    ("Desktop", "HKCU", SHELL_FOLDERS, "Desktop"),
    ("CommonDesktop", "HKLM", SHELL_FOLDERS, "Common Desktop"),
    ("Documents", "HKCU", SHELL_FOLDERS, "Personal"),
    ("CommonDocuments", "HKLM", SHELL_FOLDERS, "Common Documents"),
    ("Favorites", "HKCU", SHELL_FOLDERS, "Favorites"),
    ("CommonFavorites", "HKLM", SHELL_FOLDERS, "Common Favorites"),
    ("Fonts", "HKCU", SHELL_FOLDERS, "Fonts"),
    ("ProgramFiles", "HKLM", CURRENT_VERSION, "ProgramFilesDir"),
    ("Media", None, None, None),
    ("DevicePath", None, None, None),
    ("StartMenu", "HKCU", SHELL_FOLDERS, "Start Menu"),
    ("CommonStartMenu", "HKLM", SHELL_FOLDERS, "Common Start Menu"),
    ("Programs", "HKCU", SHELL_FOLDERS, "Programs"),
    ("CommonPrograms", "HKLM", SHELL_FOLDERS, "Common Programs"),
    ("Startup", "HKCU", SHELL_FOLDERS, "Startup"),
    ("CommonStartup", "HKLM", SHELL_FOLDERS, "Common Startup"),
]

HIVES = {"HKLM": "system.reg", "HKCU": "user.reg"}


def windows_directory(registry):
    return registry.value(r"HKLM\Software\Microsoft\Windows NT\CurrentVersion", "SystemRoot")


def remove_directory(prefix, windows_path):
    """Removes a directory of the prefix; Wine links some profile folders to the
    host's home, and only the link goes."""
    path = prefix.host_path(windows_path)
    if os.path.islink(path):
        os.unlink(path)
    elif os.path.isdir(path):
        shutil.rmtree(path)


class Folders(bench.WineTestCase):
    def test_every_folder_from_the_registry(self):
        edits = {
            # folder: (stored value, expected folder)
            "Desktop": ("c:\\stuff\\", "c:\\stuff"),
            "Documents": ("c:\\", "c:\\"),
            "CommonDocuments": ("C:\\Shared\\Docs\\\\", "C:\\Shared\\Docs\\"),
        }
        with bench.Prefix() as prefix:
            registry = prefix.registry()
            windows = windows_directory(registry)
            expected = {}
            for folder, hive, key, name in FOLDERS:
                if folder in edits:
                    prefix.edit_registry(HIVES[hive], key, name, edits[folder][0])
                    expected[folder] = edits[folder][1]
                elif hive:
                    expected[folder] = registry.value(hive + "\\" + key, name)
                    self.assertTrue(expected[folder], folder)
            prefix.edit_registry("system.reg", CURRENT_VERSION, "MediaPath", "C:\\Media\\")
            prefix.edit_registry("system.reg", CURRENT_VERSION, "DevicePath", r"%SystemRoot%\inf")
            expected["Media"] = r"C:\Media"
            expected["DevicePath"] = windows + r"\inf"

            results = registry_script.run(prefix, ["folders"], self)
            self.assertEqual(len(results), len(FOLDERS))
            for (folder, _, _, _), result in zip(FOLDERS, results):
                with self.subTest(folder):
                    self.assertEqual(result, text(expected[folder]))

    def test_fall_backs(self):
        with bench.Prefix() as prefix:
            windows = windows_directory(prefix.registry())
            removed = [
                ("user.reg", SHELL_FOLDERS, ["Desktop", "Personal", "Programs", "StartUp", "Favorites"]),
                ("system.reg", SHELL_FOLDERS, ["Common Desktop", "Common Documents", "Common Programs",
                                               "Common StartUp"]),
                ("system.reg", CURRENT_VERSION, ["CommonFilesDir"]),
            ]
            for hive, key, names in removed:
                for name in names:
                    prefix.edit_registry(hive, key, name, None)
            prefix.edit_registry("user.reg", SHELL_FOLDERS, "Start Menu", "C:\\Menu\\")
            prefix.edit_registry("system.reg", CURRENT_VERSION, "ProgramFilesDir", "D:\\Apps\\")
            # The shell finds Favorites where "User Shell Folders" points.
            prefix.edit_registry("user.reg", USER_SHELL_FOLDERS, "Favorites", r"C:\Faves")
            prefix.write(r"C:\Faves\keep.txt", "")
            for directory in [r"C:\users\Public\Desktop", r"C:\users\Public\Documents",
                              r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs",
                              r"C:\Program Files\Common Files"]:
                remove_directory(prefix, directory)
            for directory in ["Desktop", "Documents", r"AppData\Roaming\Microsoft\Windows\Start Menu\Programs"]:
                remove_directory(prefix, self.profile_directory(prefix) + "\\" + directory)

            rows = [
                # (folder, expected): each asked for before the folders it falls back to.
                ("CommonStartup", r"C:\Menu\Programs\StartUp"),
                ("CommonDesktop", windows + r"\Desktop"),
                ("CommonDocuments", r"c:\My Documents"),
                ("CommonFiles", r"D:\Apps\Common Files"),
                ("Favorites", r"C:\Faves"),
                ("Media", windows + r"\Media"),
                ("DevicePath", windows + r"\INF"),
            ]
            results = registry_script.run(prefix, ["folder|" + folder for folder, _ in rows], self)
            for (folder, expected), result in zip(rows, results):
                with self.subTest(folder):
                    self.assertEqual(result, text(expected))

    @staticmethod
    def profile_directory(prefix):
        """The user's profile directory, as Wine named it for the user running the tests."""
        for name in os.listdir(prefix.host_path(r"C:\users")):
            if name.lower() != "public":
                return "C:\\users\\" + name
        raise AssertionError("no user profile in the prefix")

    def test_device_path_and_boot_drive(self):
        setup = r"Software\Microsoft\Windows\CurrentVersion\Setup"
        device_rows = [
            # (stored DevicePath, options of the write, expected folder); None deletes the value
            (r"%SystemRoot%\inf", 256, "{windows}\\inf"),
            (r"%systemroot%\INF;%SystemRoot%\more", 0, "{windows}\\INF;%SystemRoot%\\more"),
            ("%SystemRoot%", 0, "{windows}"),
            ("C:\\Drivers\\", 0, r"C:\Drivers"),
            ("", 0, "{windows}\\INF"),
            (None, 0, "{windows}\\INF"),
        ]
        boot_rows = [
            # (stored BootDir, expected drive); None deletes the value
            ("d:\\", "D"),
            ("e:", "E"),
            ("C:\\", "C"),
            ("", "C"),
            (r"\\server\boot", "C"),
            ("1:\\", "C"),
            (None, "C"),
        ]
        commands = [r"open|HKLM|%s|64" % CURRENT_VERSION]
        for value, options, _ in device_rows:
            commands.append("deletevalue|DevicePath" if value is None
                            else "writetext|DevicePath|%s|%d" % (value, options))
            commands.append("folder|DevicePath")
        commands.append(r"below|Setup|64")
        for value, _ in boot_rows:
            commands.append("deletevalue|BootDir" if value is None else "writetext|BootDir|%s|0" % value)
            commands.append("bootdrive")
        with bench.Prefix() as prefix:
            windows = windows_directory(prefix.registry())
            results = registry_script.run(prefix, commands, self)
            self.assertEqual(results[0], "1")
            device_results = results[2:2 + 2 * len(device_rows):2]
            for (value, _, expected), result in zip(device_rows, device_results):
                with self.subTest("DevicePath", value=value):
                    self.assertEqual(result, text(expected.format(windows=windows)))
            boot_results = results[len(device_rows) * 2 + 3::2]
            self.assertEqual(len(boot_results), len(boot_rows))
            for (value, expected), result in zip(boot_rows, boot_results):
                with self.subTest("BootDir", value=value):
                    self.assertEqual(result, expected)
            self.assertIsNone(prefix.registry().value("HKLM\\" + setup, "BootDir"))


NT_FONTS = r"Software\Microsoft\Windows NT\CurrentVersion\Fonts"
WIN9X_FONTS = r"Software\Microsoft\Windows\CurrentVersion\Fonts"

VERSIONS = [
    # (Wine version, NT family, code, description)
    ("win95", False, 4, "Windows 95"),
    ("win98", False, 8, "Windows 98 A"),
    ("winme", False, 16, "Windows ME"),
    ("nt40", True, 64, "Windows NT 4.0 Service Pack 6a"),
    ("win2k", True, 128, "Windows 2000 Service Pack 4"),
    ("winxp", True, 256, "Windows XP Service Pack 3"),
    ("win7", True, 1, "Windows NT 6.1 Service Pack 1"),
]


class Identity(bench.WineTestCase):
    def test_windows_versions(self):
        with bench.Prefix() as prefix:
            for version, nt, code, description in VERSIONS:
                with self.subTest(version):
                    prefix.set_windows_version(version)
                    keep = "Quox Keep " + version
                    rows = [
                        ("isnt", "true" if nt else "false"),
                        ("code", str(code)),
                        ("description", text(description)),
                        ("fontskey", NT_FONTS if nt else WIN9X_FONTS),
                        ("registerfont|Quox Sans (TrueType)|quoxsans.ttf", "true"),
                        ("unregisterfont|Quox Sans (TrueType)", "true"),
                        ("unregisterfont|Quox Sans (TrueType)", "false"),
                        ("registerfont|%s|keep.ttf" % keep, "true"),
                        ("registerfont||x.ttf", "false"),
                        ("registerfont|<null>|x.ttf", "false"),
                        ("registerfont|Quox Null|<null>", "false"),
                        ("unregisterfont|", "false"),
                        ("unregisterfont|<null>", "false"),
                        ("notifyassociations", "true"),
                        (r"notifyfolder|C:\windows", "true"),
                        ("notifyfolder| ", "false"),
                        ("notifyfolder|<null>", "false"),
                        ("notifydesktop|0", "true"),
                        ("notifydesktop|1", "true"),
                    ]
                    results = registry_script.run(prefix, [row[0] for row in rows] + ["elapsed|5000"], self)
                    for (command, expected), result in zip(rows, results):
                        self.assertEqual(result, expected, command)
                    self.assertTrue(5000 <= int(results[-1]) < 10000, results[-1])
                    registry = prefix.registry()
                    own, other = (NT_FONTS, WIN9X_FONTS) if nt else (WIN9X_FONTS, NT_FONTS)
                    self.assertEqual(registry.value("HKLM\\" + own, keep), "keep.ttf")
                    self.assertIsNone(registry.value("HKLM\\" + other, keep))
                    self.assertIsNone(registry.value("HKLM\\" + own, "Quox Sans (TrueType)"))


if __name__ == "__main__":
    bench.main()
