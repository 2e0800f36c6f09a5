"""What a prefix holds, to compare before and after a program ran: every file and
directory under drive C (size and modification time) and every registry value of the
two hives, leaving out what Wine itself rewrites while programs run and the bench's own
folders."""

import os

import winreg_text

# Keys that Wine itself rewrites while programs run (it fills "Console" in the first
# console window a program opens).
NOISE_KEYS = ("software\\wine", "console", "system\\currentcontrolset\\control\\session manager\\environment",
              "software\\microsoft\\windows\\currentversion\\explorer", "software\\microsoft\\rpc",
              "system\\currentcontrolset\\services", "system\\currentcontrolset\\enum",
              "system\\currentcontrolset\\control\\class", "hardware")
# Folders of drive C that the bench fills (the watcher, its scripts and reports, the
# programs it copies in), lower case.
NOISE_FOLDERS = ("bench", "test")


def _noise_folder(relative):
    lower = relative.lower()
    return any(lower == n or lower.startswith(n + "\\") for n in NOISE_FOLDERS)


def files(prefix):
    """{relative Windows path under C:\\: (size, mtime) for files, None for directories}."""
    root = prefix.host_path("C:\\")
    found = {}
    for here, dirs, names in os.walk(root):
        relative_dir = os.path.relpath(here, root).replace(os.sep, "\\")
        if relative_dir != "." and _noise_folder(relative_dir):
            dirs[:] = []
            continue
        for name in dirs:
            found[(relative_dir + "\\" + name).lstrip(".\\")] = None
        for name in names:
            path = os.path.join(here, name)
            st = os.lstat(path)
            found[(relative_dir + "\\" + name).lstrip(".\\")] = (st.st_size, st.st_mtime_ns)
    return found


def registry(prefix):
    """{(root, key, value name): (type, value)} of both hives; stops the prefix's Wine,
    which saves them."""
    prefix.registry()
    values = {}
    for hive, root in (("system.reg", "HKLM"), ("user.reg", "HKCU")):
        for lower, (name, entries) in winreg_text._parse(os.path.join(prefix.root, hive)).items():
            if lower.startswith(NOISE_KEYS):
                continue
            for value_name, kind, value in entries.values():
                values[(root, name, value_name)] = (kind, value)
    return values


def take(prefix):
    return files(prefix), registry(prefix)


def differences(before, after):
    """Sorted lines "+ path", "- path", "~ path" for what was added, removed or changed,
    files first, then registry values as root\\key\\name."""
    lines = []
    for (old, new), show in ((
            (before[0], after[0]), lambda k: k),
            ((before[1], after[1]), lambda k: "%s\\%s\\%s" % k)):
        for key in sorted(set(old) | set(new), key=str):
            if key not in new:
                lines.append("- " + show(key))
            elif key not in old:
                lines.append("+ " + show(key))
            elif old[key] != new[key]:
                lines.append("~ " + show(key))
    return lines
