"""Screenshots of the bench's Xvfb screen, read straight from the XWD file that Xvfb
keeps of it (-fbdir), with the few pixel queries the tests of the installer's windows
need. A failing test can save what it saw as PNG."""

import os
import struct
import time
import zlib

import bench


class Screenshot:
    """One picture of the screen: 32-bit TrueColor pixels, as Xvfb writes them."""

    def __init__(self, data):
        (header_size, version, _format, _depth, self.width, self.height, _xoffset, byte_order, _unit, _bit_order,
         _pad, bits_per_pixel, self.bytes_per_line, _visual, red_mask, green_mask, blue_mask, _bits_per_rgb,
         _entries, colours) = struct.unpack(">20I", data[:80])
        if version != 7 or bits_per_pixel != 32 or byte_order != 0 or (red_mask, green_mask, blue_mask) != (
                0xff0000, 0xff00, 0xff):
            raise ValueError("unexpected XWD layout")
        self.offset = header_size + colours * 12
        self.data = data

    @classmethod
    def capture(cls):
        with open(bench.screen_file(), "rb") as f:
            return cls(f.read())

    def pixel(self, x, y):
        """(red, green, blue) at x, y."""
        i = self.offset + y * self.bytes_per_line + 4 * x
        return self.data[i + 2], self.data[i + 1], self.data[i]

    def column(self, x, top=0, bottom=None):
        return [self.pixel(x, y) for y in range(top, self.height if bottom is None else bottom)]

    def row(self, y, left=0, right=None):
        return [self.pixel(x, y) for x in range(left, self.width if right is None else right)]

    def box(self, rgb, region=None):
        """The smallest box (left, top, right, bottom, inclusive) that holds every pixel of
        exactly this colour within region (left, top, right, bottom, exclusive); None
        when there is none."""
        left, top, right, bottom = region or (0, 0, self.width, self.height)
        pattern = bytes((rgb[2], rgb[1], rgb[0]))
        found = None
        for y in range(top, bottom):
            start = self.offset + y * self.bytes_per_line
            line = self.data[start + 4 * left:start + 4 * right]
            xs = []
            i = line.find(pattern)
            while i >= 0:
                if i % 4 == 0:
                    xs.append(left + i // 4)
                i = line.find(pattern, i + 1)
            if xs:
                lo, hi = min(xs), max(xs)
                found = (lo, y, hi, y) if found is None else (min(found[0], lo), found[1], max(found[2], hi), y)
        return found

    def save_png(self, path):
        rows = []
        for y in range(self.height):
            start = self.offset + y * self.bytes_per_line
            line = self.data[start:start + 4 * self.width]
            rgb = bytearray(3 * self.width)
            rgb[0::3], rgb[1::3], rgb[2::3] = line[2::4], line[1::4], line[0::4]
            rows.append(b"\0" + bytes(rgb))

        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
                    + chunk(b"IDAT", zlib.compress(b"".join(rows))) + chunk(b"IEND", b""))


def settled(condition=lambda shot: True, timeout=60):
    """A screenshot once `condition` holds for it and the screen has stopped changing
    (Wine copies what a window painted to the X screen a little later); the last one
    seen when the time runs out."""
    deadline = time.monotonic() + timeout
    previous = None
    while True:
        shot = Screenshot.capture()
        if previous is not None and shot.data == previous.data and condition(shot):
            return shot
        if time.monotonic() >= deadline:
            return shot
        previous = shot
        time.sleep(0.3)


def keep_for_diagnosis(shot, name):
    """Saves the screenshot as PNG beside the bench's prefixes and answers the path."""
    path = os.path.join(bench.BENCH_DIR, name + ".png")
    shot.save_png(path)
    return path
