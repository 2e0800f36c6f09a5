#!/usr/bin/env python3
"""What the stub is made of: its size, its sections, and the bytes of code by source file
and by function.

The stub is linked with link-time optimisation, so its code comes out of one object made
at the link and a map alone cannot say which source a byte came from. The Windows build
therefore also links a twin of the stub, `quoxstub-sizes.exe`: the same link, unstripped,
with line tables and a map (cmake/Windows.cmake). Its code and data are checked to be
the stub's byte for byte; then every byte of code is given to the source line it was
made from - inlined code to the header or file where it was written - and the rest to
the input section of the map that holds it (the runtime pieces, import thunks, data).

Usage: stub_size.py WINDOWS_BUILD_DIR [--top N]   (scripts/stub-size.sh builds first)
"""

import argparse
import bisect
import collections
import os
import re
import struct
import subprocess
import sys

OBJDUMP = "i686-w64-mingw32-objdump"
NM = "i686-w64-mingw32-nm"
SOURCE_DIR = os.path.realpath(os.path.join(os.path.dirname(__file__), ".."))


class PeFile:
    """The few header fields and the section table of a PE image."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        count, = struct.unpack_from("<H", self.data, pe + 6)
        optional, = struct.unpack_from("<H", self.data, pe + 20)
        self.image_base, = struct.unpack_from("<I", self.data, pe + 24 + 28)
        self.file_alignment, = struct.unpack_from("<I", self.data, pe + 24 + 36)
        self.headers_size, = struct.unpack_from("<I", self.data, pe + 24 + 60)
        self.import_directory = struct.unpack_from("<II", self.data, pe + 24 + 96 + 8)
        self.sections = []
        table = pe + 24 + optional
        for i in range(count):
            entry = table + 40 * i
            name = self.data[entry:entry + 8].rstrip(b"\0").decode()
            virtual_size, address, raw_size, raw_offset = struct.unpack_from("<IIII", self.data, entry + 8)
            self.sections.append((name, virtual_size, self.image_base + address, raw_size, raw_offset))

    def section(self, name):
        for s in self.sections:
            if s[0] == name:
                return s
        return None

    def contents(self, name):
        _, virtual_size, _, raw_size, raw_offset = self.section(name)
        return self.data[raw_offset:raw_offset + min(virtual_size, raw_size)]


def parse_map(path):
    """Input sections placed in the image: (output section, input section, address, size, file)."""
    placed = []
    output = None
    pending = None
    with open(path, errors="replace") as f:
        text = f.read()
    text = text[text.index("Linker script and memory map"):]
    for line in text.splitlines():
        m = re.match(r"^(\.\w+)\s+0x[0-9a-f]+\s+0x[0-9a-f]+", line)
        if m:
            output = m.group(1)
            continue
        m = re.match(r"^ (\S+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+) (.+)$", line)
        if m:
            name, address, size, origin = m.groups()
        elif pending and re.match(r"^\s+0x[0-9a-f]+\s+0x[0-9a-f]+ ", line):
            address, size, origin = line.split(None, 2)
            address, size, name = address[2:], size[2:], pending
        else:
            m = re.match(r"^ (\S+)$", line)
            pending = m.group(1) if m else None
            continue
        pending = None
        if name.startswith("*") or not output:
            continue
        address, size = int(address, 16), int(size, 16)
        if address and size:
            placed.append((output, name, address, size, origin.strip()))
    return placed


def short_origin(origin):
    """An input file as a reader knows it: the archive and member, or the object's name."""
    if ".ltrans" in origin:
        return "program code (link-time optimised)"
    m = re.search(r"([^/]+\.a)\(([^)]+)\)$", origin)
    if m:
        archive, member = m.groups()
        # Import libraries hold one tiny member per function.
        if re.match(r"lib(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|version|msvcrt|uuid)\.a$",
                    archive):
            return "import thunks and names (%s)" % archive
        return "%s(%s)" % (archive, re.sub(r"^lib32_lib\w+?_a-", "", member))
    return os.path.basename(origin)


def line_rows(twin):
    """(address, source file) for every row of the line tables, end rows as None."""
    out = subprocess.run([OBJDUMP, "--dwarf=decodedline", twin], check=True, capture_output=True,
                         text=True).stdout
    rows = []
    current = None
    for line in out.splitlines():
        if line.endswith(":") and ("/" in line or line.startswith("<")):
            current = line[:-1]
            continue
        parts = line.split()
        if len(parts) >= 3 and parts[2].startswith("0x") and current:
            address = int(parts[2], 16)
            rows.append((address, None if parts[1] == "-" else current))
    rows.sort(key=lambda r: r[0])
    return rows


def source_name(path):
    if path.startswith(SOURCE_DIR + "/"):
        return path[len(SOURCE_DIR) + 1:]
    if "/include/c++/" in path:
        return "C++ library headers"
    if "/include/" in path:
        return "mingw headers"
    return path


def code_by_source(placed, rows):
    """Bytes of .text code by source file; bytes no line covers go to their input file."""
    starts = [r[0] for r in rows]
    totals = collections.Counter()
    for output, name, address, size, origin in placed:
        if output != ".text" or not name.startswith(".text"):
            continue
        end = address + size
        first = bisect.bisect_right(starts, address)
        last = bisect.bisect_left(starts, end)
        points = [address] + starts[first:last] + [end]
        for begin, stop in zip(points, points[1:]):
            i = bisect.bisect_right(starts, begin) - 1
            owner = rows[i][1] if i >= 0 else None
            totals[source_name(owner) if owner else short_origin(origin)] += stop - begin
    return totals


def symbol_sizes(twin, ranges):
    """Sizes of the symbols inside `ranges`: each runs to the next symbol or its range's end."""
    out = subprocess.run([NM, "-n", "-C", "--defined-only", twin], check=True, capture_output=True,
                         text=True).stdout
    ranges = sorted(ranges)
    starts = [r[0] for r in ranges]
    symbols = []
    for line in out.splitlines():
        parts = line.split(None, 2)
        if len(parts) == 3 and parts[1] in "tTrR" and not parts[2].startswith("."):
            address = int(parts[0], 16)
            i = bisect.bisect_right(starts, address) - 1
            if i >= 0 and address < ranges[i][1]:
                symbols.append((address, parts[2], ranges[i][1]))
    sizes = collections.Counter()
    for (address, name, range_end), following in zip(symbols, symbols[1:] + [(None, None, None)]):
        end = range_end if following[0] is None else min(range_end, following[0])
        sizes[name] += end - address
    return sizes


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("build", help="the Windows build directory")
    parser.add_argument("--top", type=int, default=25, help="how many sources and functions to list")
    args = parser.parse_args()

    stub_path = os.path.join(args.build, "install", "quoxstub.exe")
    twin_path = os.path.join(args.build, "quoxstub-sizes.exe")
    map_path = os.path.join(args.build, "quoxstub-sizes.map")
    stub = PeFile(stub_path)
    twin = PeFile(twin_path)

    for name in (".text", ".data"):
        if stub.section(name) and stub.contents(name) != twin.contents(name):
            sys.exit("%s of the twin differs from the stub's: rebuild both (scripts/stub-size.sh)" % name)

    placed = parse_map(map_path)
    size = len(stub.data)
    print("%s: %s bytes" % (os.path.relpath(stub_path), format(size, ",")))
    print("  %-8s %7s" % ("headers", format(stub.headers_size, ",")))
    kinds = collections.defaultdict(collections.Counter)
    for output, name, address, length, origin in placed:
        if output == ".text":
            kind = "code" if name.startswith(".text") else "read-only data"
        elif output == ".data":
            kind = "import tables" if name.startswith(".idata") else "data"
        elif output == ".rsrc":
            kind = "resources"
        else:
            continue
        kinds[output][kind] += length
    for name, virtual_size, _, raw_size, _ in stub.sections:
        parts = ", ".join("%s %s" % (kind, format(n, ",")) for kind, n in kinds[name].most_common())
        if raw_size:
            parts += (", " if parts else "") + "padding %s" % format(raw_size - min(raw_size, virtual_size), ",")
        else:
            parts = "only in memory: %s" % format(virtual_size, ",")
        print("  %-8s %7s  (%s)" % (name, format(raw_size, ","), parts))
    if not stub.import_directory[0]:
        print("  warning: the import directory is empty")

    totals = code_by_source(placed, line_rows(twin_path))
    print("\nCode by source file (inlined code counted where it was written), top %d of %d:"
          % (min(args.top, len(totals)), len(totals)))
    for owner, n in totals.most_common(args.top):
        print("  %7s  %s" % (format(n, ","), owner))

    code = [(a, a + n) for output, name, a, n, _ in placed if output == ".text" and name.startswith(".text")]
    data = [(a, a + n) for output, name, a, n, _ in placed if output == ".text" and not name.startswith(".text")]
    for title, ranges in (("Largest functions", code), ("Largest named read-only data (unnamed texts count with the name before them)", data)):
        sizes = symbol_sizes(twin_path, ranges)
        print("\n%s, top %d of %d:" % (title, min(args.top, len(sizes)), len(sizes)))
        for name, n in sizes.most_common(args.top):
            print("  %7s  %s" % (format(n, ","), name if len(name) <= 110 else name[:107] + "..."))


if __name__ == "__main__":
    main()
