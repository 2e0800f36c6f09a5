"""Takes installer packages apart for the Wine tests: the `.quox` section and its
header fields, the settings stream and the offsets of its fields, and a few PE edits.
What needs the codec (re-encoding an edited settings stream) goes through the host
tool `packagetool`."""

import os
import struct
import subprocess

import bench

QUOX = os.path.join(bench.BUILD_DIR, "builder", "quox")
PACKAGETOOL = os.path.join(bench.BUILD_DIR, "tests", "packagetool")

HEADER_FIELDS = ("magic", "version", "settings_length", "settings_key", "stub_checksum", "file_data_end",
                 "size_count", "file_data_length", "file_data_checksum")

BUILT_IN_CORRUPT_TEXT = (
    "This installation program is corrupt.  This is usually caused by a faulty download, but it can also be "
    "caused by a virus on your computer.  The installation cannot proceed.\r\n\r\n"
    "Delete the corrupted installer (to prevent caching), then re-download it.  If the problem persists, check "
    "your system for viruses.\r\n\r\nError code: %d")


def checksum(data):
    """The installer's additive checksum."""
    total = 0x79E2BC9D
    if not data:
        return total
    whole = len(data) // 4 * 4
    for (word,) in struct.iter_unpack("<I", data[:whole]):
        total += word
    for byte in data[whole:]:
        total += byte - 256 if byte >= 128 else byte
    return (total + len(data)) & 0xFFFFFFFF


def build(manifest, output, *options):
    subprocess.run([QUOX, "build", manifest, "-o", output] + list(options), check=True,
                   stdout=subprocess.DEVNULL)
    return output


class PeFile:
    def __init__(self, data):
        self.data = bytearray(data)

    @property
    def pe(self):
        return struct.unpack_from("<H", self.data, 0x3C)[0]

    @property
    def section_count(self):
        return struct.unpack_from("<H", self.data, self.pe + 6)[0]

    @property
    def table(self):
        return self.pe + 24 + struct.unpack_from("<H", self.data, self.pe + 20)[0]

    def sections(self):
        """(name, virtual size, virtual address, raw size, raw offset, entry offset)."""
        out = []
        for i in range(self.section_count):
            entry = self.table + 40 * i
            name = bytes(self.data[entry:entry + 8]).rstrip(b"\0").decode("latin-1")
            vsize, va, rsize, roff = struct.unpack_from("<IIII", self.data, entry + 8)
            out.append((name, vsize, va, rsize, roff, entry))
        return out

    def payload(self):
        for section in self.sections():
            if section[0] == ".quox":
                return section
        raise ValueError("no .quox section")

    def u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def put_u32(self, offset, value):
        struct.pack_into("<I", self.data, offset, value & 0xFFFFFFFF)

    def put_u16(self, offset, value):
        struct.pack_into("<H", self.data, offset, value & 0xFFFF)

    # The payload header, by field name.
    def header_offset(self, field):
        return self.payload()[4] + 4 * HEADER_FIELDS.index(field)

    def header(self, field):
        return self.u32(self.header_offset(field))

    def set_header(self, field, value):
        self.put_u32(self.header_offset(field), value)

    def settings_block_offset(self):
        return self.payload()[4] + 36 + 4 * self.header("size_count")

    def append_section(self, name, data, characteristics=0x40000040):
        """Adds a section after the last one (the file must end with the last section)."""
        pe, count, table = self.pe, self.section_count, self.table
        file_alignment = self.u32(pe + 60)
        section_alignment = self.u32(pe + 56)
        align = lambda v, a: (v + a - 1) // a * a
        last_va_end = max(va + vs for _, vs, va, _, _, _ in self.sections())
        raw_offset = align(len(self.data), file_alignment)
        raw_size = align(len(data), file_alignment)
        va = align(last_va_end, section_alignment)
        entry = table + 40 * count
        struct.pack_into("<8sIIIIIIHHI", self.data, entry, name.encode(), len(data), va, raw_size, raw_offset,
                         0, 0, 0, 0, characteristics)
        self.put_u16(pe + 6, count + 1)
        self.put_u32(pe + 80, align(va + len(data), section_alignment))
        self.data += b"\0" * (raw_offset - len(self.data)) + data + b"\0" * (raw_size - len(data))

    def save(self, path):
        with open(path, "wb") as f:
            f.write(self.data)
        return path


def read_pe(path):
    with open(path, "rb") as f:
        return PeFile(f.read())


def settings_stream(package_path, work_dir):
    out = os.path.join(work_dir, "stream.bin")
    subprocess.run([PACKAGETOOL, "settings", package_path, out], check=True)
    with open(out, "rb") as f:
        return bytearray(f.read())


def reseal(package_path, stream, output, key=None):
    stream_path = output + ".stream"
    with open(stream_path, "wb") as f:
        f.write(stream)
    command = [PACKAGETOOL, "reseal", package_path, stream_path, output]
    if key is not None:
        command.append("%08X" % key)
    subprocess.run(command, check=True)
    return output


class StreamFields:
    """Offsets of the settings stream's fields, found by walking it in stored order."""

    def __init__(self, stream):
        self.stream = bytes(stream)
        self.offsets = {}
        self.position = 0
        s = self
        flags = s.take("product_flags", "<Q")
        s.take("step_delay", "<H")
        s.take("shortcut_mode", "<B")
        s.skip(24)
        for name in ("publisher", "product_name", "shared_dir", "start_menu", "default_directory", "version",
                     "registry"):
            s.text(name)
        s.take("bitmap_size", "<i")
        for name in ("licence", "readme"):
            for _ in range(s.take(name + "_count", "<i")):
                s.text(None)
        for name in ("uninstall_subdir", "volume_name", "uninstaller_file", "uninstall_name"):
            s.text(name)
        s.take("title_color", "<i")
        s.skip(2)
        s.take("top_color", "<i")
        s.take("bottom_color", "<i")
        s.skip(max(0, s.take("picture_length", "<i")))
        if flags & 0x10000:
            s.text("master")
        for name in ("desktop", "pre_script", "post_script", "closing_script", "batch1", "batch2"):
            s.text(name)
        s.skip(20)
        s.take("excluded_versions", "<i")
        s.take("external_data", "<B")
        s.take("volume_tag", "<i")
        if flags & 0x4:
            if s.take("patch_offset", "<i") > 0:
                s.skip(s.take("patch_length", "<i"))
        self.offsets["deletions"] = s.position
        while s.text(None) != b"~~THE END~~":
            s.skip(1)
            s.text(None)
            s.skip(4)
        self.offsets["deletions_end"] = s.position
        for _ in range(s.take("association_count", "<i")):
            s.skip(4)
            for _ in range(8):
                s.text(None)
        for _ in range(s.take("uninstall_data_count", "<i")):
            s.text(None)
            s.skip(1)
            s.text(None)
        languages = s.take("language_count", "<B")
        rows = s.take("string_rows", "<i")
        self.offsets["language_names"] = s.position
        for _ in range(languages * (rows + 1)):
            s.text(None)
        s.take("end_marker", "<I")

    def take(self, name, fmt):
        value = struct.unpack_from(fmt, self.stream, self.position)[0]
        self.offsets[name] = self.position
        self.position += struct.calcsize(fmt)
        return value

    def skip(self, n):
        self.position += n

    def text(self, name):
        end = self.stream.index(b"\0", self.position)
        if name:
            self.offsets[name] = (self.position, end)
        value = self.stream[self.position:end]
        self.position = end + 1
        return value


def with_int(stream, offset, fmt, value):
    out = bytearray(stream)
    struct.pack_into(fmt, out, offset, value)
    return out


def with_text(stream, span, text):
    start, end = span
    return bytearray(stream[:start]) + text + bytearray(stream[end:])


def make(directory, manifest, files, output="setup.exe", *options):
    """Writes the files ({relative path: bytes}) and the manifest text into `directory`
    and builds the installer there with `quox build`; answers its path."""
    for relative, data in files.items():
        path = os.path.join(directory, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    manifest_path = os.path.join(directory, "manifest.toml")
    with open(manifest_path, "w", encoding="utf-8") as f:
        f.write(manifest)
    return build(manifest_path, os.path.join(directory, output), *options)


def payload_ranges(path):
    """File offsets of the payload's parts: (header with size table, settings block, file
    data in the section), each as (start, end)."""
    pe = read_pe(path)
    raw = pe.payload()[4]
    table_end = raw + 36 + 4 * pe.header("size_count")
    block_end = table_end + pe.header("settings_length")
    return (raw, table_end), (table_end, block_end), (block_end, raw + pe.header("file_data_end"))
