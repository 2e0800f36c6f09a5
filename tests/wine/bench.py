"""The Wine test bench: runs the real stub (and small driver programs) in a 32-bit
Wine prefix under Xvfb, one fresh prefix per test, and reads back what they did.

A template prefix is made once per build tree (wineboot, about 8 s) and reused by
every test. Each test gets its own prefix made from it in a few milliseconds: small
files are copied, the large system binaries are hard-linked. Wine replaces registry
files by renaming, so links are safe there; a test that rewrote a linked binary in
place would change the template for later tests, so the bench checks those files
after every test and fails the test (and retires the template) if one changed.

Dialogs are watched from inside the prefix by boxwatch.exe, which starts the program
under test, records every dialog it shows (caption, text, buttons), answers each as
the test asked, and reports the exit code. Windows are unmanaged (no window manager
waits), so a run with a message box costs about a tenth of a second once the prefix's
wineserver is up.
"""

import fcntl
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time
import unittest
from dataclasses import dataclass, field

import winreg_text

BUILD_DIR = os.environ.get("QUOX_BUILD_DIR", os.path.abspath("build"))
WINDOWS_BUILD = os.environ.get("QUOX_WINDOWS_BUILD", os.path.join(BUILD_DIR, "windows"))
BENCH_DIR = os.path.join(BUILD_DIR, "wine-bench")
TEMPLATE = os.path.join(BENCH_DIR, "template")
# Binaries bigger than this under the template are hard-linked instead of copied.
LINK_THRESHOLD = 64 * 1024
LINK_SUFFIXES = (".dll", ".exe", ".drv", ".sys", ".ocx", ".acm", ".cpl", ".tlb", ".ax", ".ds",
                 ".nls", ".ttf", ".fon", ".ttc", ".mui", ".com", ".vxd", ".msstyles")

WINDOWS_VERSIONS = ("win95", "win98", "winme", "nt40", "win2k", "winxp", "win7")

STUB = os.path.join(WINDOWS_BUILD, "install", "quoxstub.exe")
DRIVERS = os.path.join(WINDOWS_BUILD, "tests", "drivers")


def driver(name):
    return os.path.join(DRIVERS, name + ".exe")


def _i386_emulator():
    """The interpreter that binfmt_misc runs i386 programs through, or None when the
    kernel runs them itself. Machines whose kernel refuses 32-bit programs run Wine
    through qemu-i386 (scripts/setup.sh registers it)."""
    root = "/proc/sys/fs/binfmt_misc"
    try:
        names = os.listdir(root)
    except OSError:
        return None
    for name in names:
        if name in ("register", "status"):
            continue
        try:
            with open(os.path.join(root, name)) as f:
                entry = f.read().split("\n")
        except OSError:
            continue
        fields = dict(line.split(" ", 1) for line in entry if " " in line)
        # ELF, 32-bit, little-endian, machine 3 (i386).
        if "enabled" in entry and fields.get("magic", "").startswith("7f454c46010101") \
                and fields.get("magic", "").endswith("0300"):
            return fields.get("interpreter")
    return None


I386_EMULATOR = _i386_emulator()
# Every time limit of the bench is multiplied by this: under emulation Wine starts and
# draws several times more slowly, and a slow machine must never pass for a faulty program.
TIME_SCALE = float(os.environ.get("QUOX_WINE_TIME_SCALE") or (4 if I386_EMULATOR else 1))


def scaled(seconds):
    return seconds * TIME_SCALE


def machine_note():
    if I386_EMULATOR:
        return "i386 programs run emulated through %s on this machine (time limits x%g)" % (I386_EMULATOR, TIME_SCALE)
    return "i386 programs run natively on this machine"


def _wine_env(prefix, display):
    env = dict(os.environ)
    env.update({
        "WINEPREFIX": prefix,
        "WINEARCH": "win32",
        "WINEDEBUG": "-all",
        "DISPLAY": display,
        # No desktop menu entries for shortcuts, no Mono or Gecko installers.
        "WINEDLLOVERRIDES": "winemenubuilder.exe=d;mscoree=d;mshtml=d",
    })
    return env


# The Xvfb screen of this process: a module may set another size before its first
# prefix (the background window covers the whole screen, so its tests choose its size).
SCREEN_SIZE = "1024x768x24"


class _Display:
    """One Xvfb server for this process, started on first use. Its screen is also an
    XWD file in `framebuffer_dir` (Xvfb's -fbdir), which the tests read as screenshots."""
    value = None
    process = None
    framebuffer_dir = None

    @classmethod
    def get(cls):
        if cls.value:
            return cls.value
        read_end, write_end = os.pipe()
        cls.framebuffer_dir = tempfile.mkdtemp(prefix="xvfb-")
        cls.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", SCREEN_SIZE, "-fbdir", cls.framebuffer_dir,
             "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read_end, 16)
            if not chunk:
                raise RuntimeError("Xvfb did not start")
            number += chunk
        os.close(read_end)
        cls.value = ":" + number.decode().strip()
        return cls.value

    @classmethod
    def stop(cls):
        if cls.process:
            cls.process.terminate()
            cls.process.wait()
            cls.process = None
            cls.value = None
        if cls.framebuffer_dir:
            shutil.rmtree(cls.framebuffer_dir, ignore_errors=True)
            cls.framebuffer_dir = None


def _linked(path, size):
    return size >= LINK_THRESHOLD and path.lower().endswith(LINK_SUFFIXES)


def _snapshot(root):
    """Size and modification time of every file the test prefixes share by link."""
    shared = {}
    for directory, _, files in os.walk(root):
        for name in files:
            path = os.path.join(directory, name)
            st = os.lstat(path)
            if _linked(path, st.st_size):
                shared[os.path.relpath(path, root)] = (st.st_size, st.st_mtime_ns)
    return shared


def _detach_home(prefix):
    """wineboot links the user's Desktop, Documents and the like to the host's home
    directory; a test that makes shortcuts there would write outside its prefix and leave
    files behind. Each becomes a folder of the prefix's own."""
    users = os.path.join(prefix, "drive_c", "users")
    for user in os.listdir(users):
        folder = os.path.join(users, user)
        for name in os.listdir(folder):
            path = os.path.join(folder, name)
            if os.path.islink(path) and not os.readlink(path).startswith(prefix):
                os.remove(path)
                os.mkdir(path)


def _ensure_template():
    os.makedirs(BENCH_DIR, exist_ok=True)
    ready = os.path.join(TEMPLATE, ".quox-ready")
    with open(os.path.join(BENCH_DIR, "template.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.exists(ready):
            return
        shutil.rmtree(TEMPLATE, ignore_errors=True)
        env = _wine_env(TEMPLATE, _Display.get())
        subprocess.run(["wineboot", "--init"], env=env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=scaled(300))
        settings = [
            # Unmanaged windows: Wine then does not wait for a window manager that Xvfb lacks.
            (r"HKCU\Software\Wine\X11 Driver", "Managed", "N"),
            (r"HKCU\Software\Wine\X11 Driver", "Decorated", "N"),
            # A crash must end the program, not wait for someone to close a dialog.
            (r"HKCU\Software\Wine\WineDbg", "ShowCrashDialog", "0"),
        ]
        for key, name, value in settings:
            subprocess.run(["wine", "reg", "add", key, "/v", name, "/d", value, "/f"], env=env, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=scaled(120))
        subprocess.run(["wineserver", "-w"], env=env, check=True, timeout=scaled(120))
        _detach_home(TEMPLATE)
        with open(ready, "w") as f:
            f.write("ok\n")


@dataclass
class Box:
    caption: str
    text: str
    buttons: list


@dataclass
class RunResult:
    exit_code: int = None
    timed_out: bool = False
    boxes: list = field(default_factory=list)
    error: str = ""


def _unescape(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            out.append({"\\": "\\", "t": "\t", "r": "\r", "n": "\n"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


class Running:
    """A program started with Prefix.start: it runs while the test looks at its windows.
    Its standard output is read line by line as it comes."""

    def __init__(self, process):
        self.process = process
        self.lines = []
        self._partial = b""
        self._read = 0

    def _fill(self, timeout):
        """Reads what the program writes within `timeout` seconds. False once it has
        ended and everything it wrote has been read. (Its end, not the end of the pipe,
        counts: Wine's own processes may hold the pipe open longer.)"""
        ready, _, _ = select.select([self.process.stdout], [], [], max(timeout, 0))
        if not ready:
            return self.process.poll() is None
        chunk = os.read(self.process.stdout.fileno(), 65536)
        if not chunk:
            self.process.wait()
            return False
        self._partial += chunk.replace(b"\r\n", b"\n")
        *complete, self._partial = self._partial.split(b"\n")
        self.lines.extend(line.decode("latin-1") for line in complete)
        return True

    def wait_line(self, predicate, timeout=60):
        """The first line not yet taken for which predicate(line) holds (a str predicate
        matches a line that starts with it); None when the time runs out or the program
        ends first. Lines passed over stay in `lines`."""
        if isinstance(predicate, str):
            prefix = predicate
            predicate = lambda line: line.startswith(prefix)
        deadline = time.monotonic() + scaled(timeout)
        more = True
        while True:
            while self._read < len(self.lines):
                line = self.lines[self._read]
                self._read += 1
                if predicate(line):
                    return line
            remaining = deadline - time.monotonic()
            if remaining <= 0 or not more:
                return None
            more = self._fill(min(remaining, 0.5))

    def wait(self, timeout=60):
        """Waits for the end and answers the exit code (None when it did not end in time:
        it is then ended)."""
        deadline = time.monotonic() + timeout
        while self._fill(min(max(deadline - time.monotonic(), 0), 0.5)):
            if time.monotonic() >= deadline:
                self.kill()
                return None
        return self.process.returncode

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.process.stdout.close()


class Prefix:
    """A fresh Wine prefix for one test. Use as a context manager."""

    def __init__(self, windows_version=None, persistent_server=True):
        _ensure_template()
        self.display = _Display.get()
        self.root = tempfile.mkdtemp(prefix="prefix-", dir=BENCH_DIR)
        self._shared = {}
        self._running = []
        for directory, dirs, files in os.walk(TEMPLATE):
            relative = os.path.relpath(directory, TEMPLATE)
            target_dir = os.path.join(self.root, relative)
            os.makedirs(target_dir, exist_ok=True)
            for name in dirs:
                source = os.path.join(directory, name)
                if os.path.islink(source):
                    os.symlink(os.readlink(source), os.path.join(target_dir, name))
            for name in files:
                source = os.path.join(directory, name)
                target = os.path.join(target_dir, name)
                if os.path.islink(source):
                    os.symlink(os.readlink(source), target)
                    continue
                st = os.stat(source)
                if _linked(source, st.st_size):
                    os.link(source, target)
                    self._shared[os.path.join(relative, name)] = (st.st_size, st.st_mtime_ns)
                else:
                    shutil.copy2(source, target)
        self.env = _wine_env(self.root, self.display)
        self._server = None
        # A test that waits for Wine to end on its own (a restart of Windows) needs a
        # server that leaves with the last program.
        self._persistent = persistent_server
        if windows_version:
            self.set_windows_version(windows_version)

    # Files -------------------------------------------------------------------------

    def host_path(self, windows_path):
        """Where a path of drive C: lies on the host (case as given)."""
        drive, rest = windows_path[:2], windows_path[2:]
        if drive.lower() != "c:":
            raise ValueError("only drive C: is mapped: " + windows_path)
        return os.path.join(self.root, "drive_c", *[p for p in rest.split("\\") if p])

    def put(self, host_file, windows_path):
        target = self.host_path(windows_path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(host_file, target)
        return windows_path

    def write(self, windows_path, data):
        target = self.host_path(windows_path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode("latin-1"))
        return windows_path

    def read(self, windows_path):
        with open(self.host_path(windows_path), "rb") as f:
            return f.read()

    def exists(self, windows_path):
        return os.path.exists(self.host_path(windows_path))

    # Registry ----------------------------------------------------------------------

    def set_windows_version(self, version):
        if version not in WINDOWS_VERSIONS:
            raise ValueError(version)
        self._stop_server()
        winreg_text.set_value(os.path.join(self.root, "user.reg"), r"Software\Wine", "Version", version)

    def registry(self):
        """The prefix's registry as saved by wineserver, which is stopped first."""
        self._stop_server()
        return winreg_text.Registry(self.root)

    def edit_registry(self, hive_file, key, name, value):
        """Writes a value into a saved hive (system.reg or user.reg) while Wine is stopped.
        `value` is a str (REG_SZ), an int (REG_DWORD) or None to delete the value."""
        self._stop_server()
        winreg_text.set_value(os.path.join(self.root, hive_file), key, name, value)

    def edit_registry_values(self, hive_file, key, values):
        """Writes several values of one key at once, as edit_registry does one."""
        self._stop_server()
        winreg_text.set_values(os.path.join(self.root, hive_file), key, values)

    # Running -----------------------------------------------------------------------

    def run(self, program, args="", answers=(), timeout=30, directory=r"C:\test"):
        """Runs a program in the prefix and watches its dialogs.

        `program` is a host file (copied into `directory` under its own name) or a
        Windows path already in the prefix. `answers` answer the dialogs in order:
        "default", "leave", "id N", "button TEXT"."""
        if os.path.isabs(program) and os.path.exists(program):
            program = self.put(program, directory + "\\" + os.path.basename(program))
        watcher = self.put(driver("boxwatch"), r"C:\bench\boxwatch.exe")
        self.start_server()
        script = "\r\n".join([program + (" " + args if args else ""), "timeout %d" % int(timeout * 1000)]
                             + list(answers)) + "\r\n"
        self.write(r"C:\bench\script.txt", script)
        report_path = self.host_path(r"C:\bench\report.txt")
        if os.path.exists(report_path):
            os.remove(report_path)
        result = RunResult()
        try:
            subprocess.run(["wine", watcher, r"C:\bench\script.txt", r"C:\bench\report.txt"], env=self.env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout + 30)
        except subprocess.TimeoutExpired:
            result.timed_out = True
            result.error = "the watcher did not end"
            self._stop_server()
        if os.path.exists(report_path):
            with open(report_path, "rb") as f:
                report = f.read().decode("latin-1")
            for line in report.split("\r\n"):
                fields = line.split("\t")
                if fields[0] == "box":
                    buttons = _unescape(fields[3]).split("|") if fields[3] else []
                    result.boxes.append(Box(_unescape(fields[1]), _unescape(fields[2]), buttons))
                elif fields[0] == "exit":
                    result.exit_code = int(fields[1])
                elif fields[0] == "timeout":
                    result.timed_out = True
                elif fields[0] == "error":
                    result.error = fields[1]
        return result

    def run_console(self, program, args=(), timeout=60, directory=r"C:\test", env=None):
        """Runs a console program (a test driver) directly under wine and returns
        (exit code, standard output as text). No dialogs are watched. `env` adds
        environment variables."""
        timeout = scaled(timeout)
        if os.path.isabs(program) and os.path.exists(program):
            program = self.put(program, directory + "\\" + os.path.basename(program))
        self.start_server()
        # Output goes to a file, not a pipe: Wine's system processes started by this run
        # inherit its handles and outlive it, so a pipe would never reach its end.
        with tempfile.TemporaryFile(dir=BENCH_DIR) as output:
            completed = subprocess.run(["wine", program] + list(args), env=dict(self.env, **(env or {})),
                                       stdout=output, stderr=subprocess.DEVNULL, timeout=timeout)
            output.seek(0)
            text = output.read()
        return completed.returncode, text.decode("latin-1").replace("\r\n", "\n")

    def warm_up(self):
        """Starts Wine's system processes before a timed run, as a running Windows has
        them: the services, and the desktop process that Wine starts only when the first
        window appears (seconds under emulation). A program that shows no window would
        leave the desktop's start to whichever timed program first shows one."""
        result = self.run(STUB, '/u:"warm-up"', answers=("default",))
        if not result.boxes:
            raise RuntimeError("the warm-up showed no window: %r" % result)

    def start_server(self):
        """Keeps this prefix's wineserver, and with it Wine's system processes (services,
        devices, the desktop), running from one program to the next. Without it every
        run starts them all again, which costs seconds per run under emulation."""
        if self._server is None and self._persistent:
            self._server = subprocess.Popen(["wineserver", "-p"], env=self.env, stdin=subprocess.DEVNULL,
                                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start(self, program, args=(), directory=r"C:\test", env=None):
        """Starts a console program under wine and returns it running (a Running); the
        prefix ends it when it closes, should the test not have waited for it."""
        if os.path.isabs(program) and os.path.exists(program):
            program = self.put(program, directory + "\\" + os.path.basename(program))
        self.start_server()
        process = subprocess.Popen(["wine", program] + list(args), env=dict(self.env, **(env or {})),
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        running = Running(process)
        self._running.append(running)
        return running

    def _stop_server(self):
        # SIGTERM ends the processes at once; the server then saves the registry and exits.
        subprocess.run(["wineserver", "-k15"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self._server is not None:
            self._server.wait()
            self._server = None

    def _kill_leftovers(self):
        """Wine's system processes (services, winedevice, explorer) can outlive their
        server; end every process that still belongs to this prefix."""
        for pid in os.listdir("/proc"):
            if not pid.isdigit():
                continue
            try:
                with open("/proc/%s/environ" % pid, "rb") as f:
                    environment = f.read().split(b"\0")
            except OSError:
                continue
            if ("WINEPREFIX=" + self.root).encode() in environment:
                try:
                    os.kill(int(pid), signal.SIGKILL)
                except OSError:
                    pass

    def end_programs(self):
        """Ends every program started with `start` that is still running."""
        for running in self._running:
            running.kill()
        self._running = []

    def close(self):
        self.end_programs()
        self._stop_server()
        self._kill_leftovers()
        changed = []
        for relative, (size, mtime) in self._shared.items():
            st = os.stat(os.path.join(TEMPLATE, relative))
            if (st.st_size, st.st_mtime_ns) != (size, mtime):
                changed.append(relative)
        shutil.rmtree(self.root, ignore_errors=True)
        if changed:
            # The template is no longer pristine: make the next test build a new one.
            try:
                os.remove(os.path.join(TEMPLATE, ".quox-ready"))
            except FileNotFoundError:
                pass
            raise AssertionError("the test rewrote shared system files in place: " + ", ".join(changed[:5]))

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False


def locale_env(name):
    """Environment that gives a Wine program the user locale `name` ("de_DE"): Wine takes
    it from the Unix locale, which is compiled here (once per build tree) so that the
    machine need not have it installed."""
    directory = os.path.join(BENCH_DIR, "locales")
    os.makedirs(directory, exist_ok=True)
    full = name + ".UTF-8"
    with open(os.path.join(directory, ".lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(os.path.join(directory, full)):
            subprocess.run(["localedef", "-i", name, "-f", "UTF-8", os.path.join(directory, full)], check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    return {"LOCPATH": directory, "LANG": full, "LC_ALL": full}


def screen_file():
    """The XWD file that holds this process's Xvfb screen."""
    _Display.get()
    return os.path.join(_Display.framebuffer_dir, "Xvfb_screen0")


class WineTestCase(unittest.TestCase):
    """Base class: skips everything when the Windows build or Wine is missing."""

    @classmethod
    def setUpClass(cls):
        if not os.path.exists(STUB):
            raise unittest.SkipTest("the Windows build is missing: " + STUB)
        if not shutil.which("wine") or not shutil.which("Xvfb"):
            raise unittest.SkipTest("wine or Xvfb is not installed")
        # A module run on its own in a fresh build may make scratch folders here before
        # its first prefix has made the directory.
        os.makedirs(BENCH_DIR, exist_ok=True)

    def assertBoxes(self, result, expected):
        """`expected` is a list of (caption, text) pairs, in order."""
        self.assertEqual([(b.caption, b.text) for b in result.boxes], list(expected))


class SharedPrefixTestCase(WineTestCase):
    """Base class for tests that share one prefix: its first program start brings up
    Wine's services (some 20 seconds under emulation), which tests that only show
    windows and write their own scratch files need not pay again. Programs a test
    started are ended after it."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.prefix = Prefix()

    @classmethod
    def tearDownClass(cls):
        cls.prefix.close()

    def tearDown(self):
        self.prefix.end_programs()


class _Result(unittest.TextTestResult):
    """Adds to every failure whether i386 ran emulated, so that a slow or broken
    emulator is never mistaken for a fault of the program."""

    def _note(self, records):
        test, text = records[-1]
        records[-1] = (test, text + "\n[machine] " + machine_note() + "\n")

    def addFailure(self, test, err):
        super().addFailure(test, err)
        self._note(self.failures)

    def addError(self, test, err):
        super().addError(test, err)
        self._note(self.errors)


def main():
    print("[machine] " + machine_note(), flush=True)
    try:
        unittest.main(verbosity=2, testRunner=unittest.TextTestRunner(resultclass=_Result, verbosity=2))
    finally:
        _Display.stop()
