"""Reads and edits the registry files that wineserver saves in a prefix
(system.reg for HKEY_LOCAL_MACHINE, user.reg for HKEY_CURRENT_USER).

Values come back as Python values: str for REG_SZ and REG_EXPAND_SZ, int for
REG_DWORD and REG_QWORD, list of str for REG_MULTI_SZ, bytes for everything else
(with the type in `Registry.raw`)."""

import os
import re
import time

REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_QWORD = 1, 2, 3, 4, 7, 11

ROOTS = {
    "HKEY_LOCAL_MACHINE": "system.reg", "HKLM": "system.reg",
    "HKEY_CURRENT_USER": "user.reg", "HKCU": "user.reg",
}


def _unquote(text, start):
    """Reads a quoted string at text[start] == '"'; returns (value, index after)."""
    out, i = [], start + 1
    while i < len(text):
        c = text[i]
        if c == "\\":
            n = text[i + 1]
            if n == "x":
                m = re.match(r"[0-9a-fA-F]{1,4}", text[i + 2:])
                out.append(chr(int(m.group(0), 16)))
                i += 2 + len(m.group(0))
                continue
            out.append({"n": "\n", "r": "\r", "t": "\t", "0": "\0"}.get(n, n))
            i += 2
        elif c == '"':
            return "".join(out), i + 1
        else:
            out.append(c)
            i += 1
    raise ValueError("unterminated string")


def _quote(text):
    out = []
    for c in text:
        if c in '\\"':
            out.append("\\" + c)
        elif c == "\n":
            out.append("\\n")
        elif c == "\r":
            out.append("\\r")
        elif c == "\t":
            out.append("\\t")
        elif ord(c) < 32 or ord(c) > 126:
            out.append("\\x%04x" % ord(c))
        else:
            out.append(c)
    return '"' + "".join(out) + '"'


def _decode(data):
    """Parses the part after '=' of a value line; returns (type, value)."""
    if data.startswith('"'):
        return REG_SZ, _unquote(data, 0)[0]
    if data.startswith("str(2):"):
        return REG_EXPAND_SZ, _unquote(data, 7)[0]
    if data.startswith("str(7):"):
        return REG_MULTI_SZ, [s for s in _unquote(data, 7)[0].split("\0") if s]
    if data.startswith("dword:"):
        return REG_DWORD, int(data[6:], 16)
    m = re.match(r"hex(?:\(([0-9a-fA-F]+)\))?:(.*)", data, re.S)
    if m:
        kind = int(m.group(1), 16) if m.group(1) else REG_BINARY
        digits = re.sub(r"[\\\s]", "", m.group(2))
        raw = bytes(int(b, 16) for b in digits.split(",") if b)
        if kind in (REG_SZ, REG_EXPAND_SZ):
            return kind, raw.decode("utf-16-le").rstrip("\0")
        if kind == REG_MULTI_SZ:
            return kind, [s for s in raw.decode("utf-16-le").split("\0") if s]
        if kind == REG_DWORD and len(raw) == 4:
            return kind, int.from_bytes(raw, "little")
        if kind == REG_QWORD and len(raw) == 8:
            return kind, int.from_bytes(raw, "little")
        return kind, raw
    raise ValueError("unknown value form: " + data[:40])


def _parse(path):
    """Returns {lower-case key path: (key path, {lower-case name: (name, type, value)})}."""
    keys = {}
    with open(path, encoding="latin-1") as f:
        lines = f.read().split("\n")
    current = None
    i = 0
    while i < len(lines):
        line = lines[i]
        # Long values are continued with a trailing backslash.
        while line.endswith("\\") and i + 1 < len(lines) and re.search(r"hex(\([0-9a-f]+\))?:", line):
            i += 1
            line = line[:-1] + lines[i].strip()
        i += 1
        if line.startswith("["):
            name, _ = _unquote('"' + line[1:line.rindex("]")] + '"', 0)
            current = keys.setdefault(name.lower(), (name, {}))[1]
        elif current is not None and (line.startswith('"') or line.startswith("@=")):
            if line.startswith("@="):
                name, rest = "", line[2:]
            else:
                name, after = _unquote(line, 0)
                rest = line[after + 1:]
            kind, value = _decode(rest)
            current[name.lower()] = (name, kind, value)
    return keys


class Registry:
    def __init__(self, prefix_root):
        self.root = prefix_root
        self._hives = {}

    def _hive(self, file_name):
        if file_name not in self._hives:
            self._hives[file_name] = _parse(os.path.join(self.root, file_name))
        return self._hives[file_name]

    def _locate(self, key):
        root, _, rest = key.partition("\\")
        root = root.upper()
        if root in ("HKEY_CLASSES_ROOT", "HKCR"):
            return "system.reg", ("Software\\Classes\\" + rest).rstrip("\\")
        if root not in ROOTS:
            raise ValueError("unknown root: " + root)
        return ROOTS[root], rest

    def raw(self, key, name):
        """(type, value) of a value, or None."""
        hive, path = self._locate(key)
        entry = self._hive(hive).get(path.lower())
        if not entry:
            return None
        value = entry[1].get(name.lower())
        return (value[1], value[2]) if value else None

    def value(self, key, name):
        found = self.raw(key, name)
        return found[1] if found else None

    def has_key(self, key):
        hive, path = self._locate(key)
        return path.lower() in self._hive(hive)

    def values(self, key):
        hive, path = self._locate(key)
        entry = self._hive(hive).get(path.lower())
        return {v[0]: v[2] for v in entry[1].values()} if entry else {}

    def subkeys(self, key):
        hive, path = self._locate(key)
        prefix = path.lower() + "\\"
        names = set()
        for lower, (name, _) in self._hive(hive).items():
            if lower.startswith(prefix):
                names.add(name[len(prefix):].split("\\")[0])
        return sorted(names)


def _encode(value):
    if isinstance(value, bool):
        raise TypeError("use int for REG_DWORD")
    if isinstance(value, int):
        return "dword:%08x" % value
    if isinstance(value, bytes):
        return "hex:" + ",".join("%02x" % b for b in value)
    return _quote(value)


def _set_in_lines(lines, key, name, value):
    header = "[" + key.replace("\\", "\\\\") + "]"
    start = None
    for i, line in enumerate(lines):
        if line.lower().startswith(header.lower()):
            start = i
            break
    value_line = None if value is None else (("@" if name == "" else _quote(name)) + "=" + _encode(value))
    if start is None:
        if value_line is None:
            return
        lines += ["", "%s %d" % (header, int(time.time())), value_line]
        return
    end = start + 1
    while end < len(lines) and not lines[end].startswith("["):
        end += 1
    target = "@=" if name == "" else _quote(name).lower() + "="
    for i in range(start + 1, end):
        if lines[i].lower().startswith(target):
            if value_line is None:
                del lines[i]
            else:
                lines[i] = value_line
            break
    else:
        if value_line is not None:
            insert_at = end
            while insert_at > start + 1 and lines[insert_at - 1] == "":
                insert_at -= 1
            lines.insert(insert_at, value_line)


def set_values(reg_file, key, values):
    """Sets (or with value None deletes) several values of one key in a saved hive file,
    reading and writing the file once. `values` maps names to values ("" for the key's
    default value)."""
    with open(reg_file, encoding="latin-1") as f:
        lines = f.read().split("\n")
    for name, value in values.items():
        _set_in_lines(lines, key, name, value)
    with open(reg_file, "w", encoding="latin-1") as f:
        f.write("\n".join(lines))


def set_value(reg_file, key, name, value):
    """Sets (or with value None deletes) one value in a saved hive file."""
    set_values(reg_file, key, {name: value})
