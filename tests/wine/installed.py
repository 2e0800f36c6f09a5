"""An installed product laid down directly in a prefix, as an installation leaves it: its
files, the values of its key under the Windows Uninstall key, Uninstall.DAT and the
uninstaller program (the plain stub, which is the uninstaller). The uninstaller's tests
start from it."""

import os
import time

import bench

UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall"
SHARED_DLLS = r"Software\Microsoft\Windows\CurrentVersion\SharedDLLs"
CLASSES = "Software\\Classes\\"
SELF_REMOVAL_SCRIPT = r"C:\delunins.bat"

# ProductFlags bits.
ASK_FONT_REMOVAL = 0x10
AUTOMATIC_UNINSTALL = 0x200
REMOVE_INSTALL_DIR_TREE = 0x400
ADD_TO_PATH = 0x1000
SAVE_BACKGROUND_BITMAP = 0x8000
ASK_SHARED_REMOVAL = 0x20000
HIDE_UNINSTALL_BATCH1 = 0x4000000
HIDE_UNINSTALL_BATCH2 = 0x8000000
NO_BACKGROUND = 0x20000000
SHOW_ERRORS_IN_AUTOMATIC = 0x8 << 32

# The nineteen messages of Uninstall.DAT, in their order.
MESSAGE_NUMBERS = (10, 15, 20, 30, 34, 35, 39, 49, 53, 55, 56, 57, 58, 59, 67, 68, 69, 70, 71)
# Each text names its number, so that a test sees which message a box shows; those that
# take a value carry a "%s".
MESSAGES = {n: "M%d" % n for n in MESSAGE_NUMBERS}
MESSAGES.update({10: "M10 <product>:\r\n%s", 56: "M56 %s?", 59: "M59 %s?"})

YES, NO = "id 6", "id 7"


def files_under(prefix, directory):
    """{relative path: bytes} of every file below a directory of the prefix."""
    root = prefix.host_path(directory)
    found = {}
    for here, _, names in os.walk(root):
        for name in names:
            path = os.path.join(here, name)
            with open(path, "rb") as f:
                found[os.path.relpath(path, root).replace(os.sep, "\\")] = f.read()
    return found


def messages(result):
    """The message boxes a run showed, as (caption, text), without the progress dialog
    (the one dialog without a message text)."""
    return [(box.caption, box.text) for box in result.boxes if box.text]


def uninstall_dat(lines, messages=MESSAGES, associations=()):
    """Uninstall.DAT as the installer writes it: the file list (lines without their
    breaks: a path, "~" and a directory, "!" and a key), the [Strings] section and, when
    there are any, the associations (extension, type name, verb)."""
    text = "".join(line + "\r\n" for line in lines) + "\r\n\r\n[Strings]\r\n"
    for number in MESSAGE_NUMBERS:
        text += "~%d\r\n%s\r\n" % (number, messages.get(number, ""))
    if associations:
        text += "\r\n\r\n[Associations]\r\n" + "".join("%s~!~%s~!~%s\r\n" % a for a in associations)
    return text


class Product:
    """One installed product. `files` maps Windows paths to their contents (str or
    bytes); `lines` is the file list of Uninstall.DAT (default: the files, in order);
    `values` adds to or overrides the Uninstall key's values (None deletes one)."""

    def __init__(self, name, install_dir, flags=0, files=None, lines=None, values=None, subdir="",
                 messages=MESSAGES, associations=(), dat=None, uninstaller="Uninstall.exe"):
        self.name = name
        self.install_dir = install_dir
        self.flags = flags
        self.files = dict(files or {})
        self.lines = list(self.files) if lines is None else list(lines)
        self.subdir = subdir
        self.messages = messages
        self.associations = associations
        self.dat = dat
        self.uninstall_dir = install_dir.rstrip("\\") + ("\\" + subdir if subdir else "")
        # A full path puts the uninstaller elsewhere (a product in a directory that must
        # not be touched).
        self.uninstaller = uninstaller if ":" in uninstaller else self.uninstall_dir + "\\" + uninstaller
        self.dat_path = self.uninstall_dir + r"\Uninstall.DAT"
        self.key = UNINSTALL_KEY + "\\" + name
        self.values = {
            "UninstallString": '"%s" /u:"%s"' % (self.uninstaller, name),
            "DisplayName": name,
            "ProductFlags": str(flags - (1 << 64) if flags >= 1 << 63 else flags),
            "UninstallSubdir": subdir or None,
            "DisplayTitle": name,
            "TitleColor": 0xFFFFFF,
            "TopColor": 0x800000,
            "BottomColor": 0,
            "MonoColor": 0,
            "TitleShadow": 2,
            "TitlePosition": 1,
            "BitmapSize": 0,
            "InstallLocation": install_dir,
            "InstallDate": "1-5-24 12:00:00pm",
        }
        self.values.update(values or {})

    def dat_text(self):
        return self.dat if self.dat else uninstall_dat(self.lines, self.messages, self.associations)

    def lay_down(self, prefix):
        """Files, the uninstaller and Uninstall.DAT (none with dat=False); the registry
        values are written by `write_values`, which stops the prefix's Wine."""
        for path, content in self.files.items():
            prefix.write(path, content)
        prefix.put(bench.STUB, self.uninstaller)
        if self.dat is not False:
            prefix.write(self.dat_path, self.dat_text())

    def write_values(self, prefix):
        prefix.edit_registry_values("system.reg", self.key, {k: v for k, v in self.values.items() if v is not None})

    def install(self, prefix):
        self.lay_down(prefix)
        self.write_values(prefix)

    def uninstall(self, prefix, answers=(), automatic=False, timeout=120):
        """Runs the product's uninstaller, as its Uninstall entry would."""
        args = ("/a " if automatic else "") + '/u:"%s"' % self.name
        return prefix.run(self.uninstaller, args, answers=answers, timeout=timeout)


def wait_until_gone(prefix, paths, seconds=60):
    """Waits for the self-removal script: True once none of the paths exists."""
    deadline = time.monotonic() + bench.scaled(seconds)
    while time.monotonic() < deadline:
        if not any(prefix.exists(path) for path in paths):
            return True
        time.sleep(0.5)
    return False
