"""The background window under Wine, read back from screenshots of the Xvfb screen: the
gradient, the plain fill and the banded fallback, the picture at full and half size, the
title at every position with and without its shadow, and pictures that cannot be drawn."""

import os
import struct

import bench
import screen

# 1000 pixels high: the banded gradient then draws 3-pixel bands.
bench.SCREEN_SIZE = "1280x1000x24"
WIDTH, HEIGHT = 1280, 1000

NAVY = (0x20, 0x30, 0x90)
PLAIN = (0x40, 0x60, 0x40)
YELLOW = (0xff, 0xff, 0x00)
BLACK = (0, 0, 0)
RED, BLUE, GREEN, WHITE = (255, 0, 0), (0, 0, 255), (0, 255, 0), (255, 255, 255)


def colorref(rgb):
    return "%06X" % (rgb[0] | rgb[1] << 8 | rgb[2] << 16)


def bitmap(width, height, colour_of, core=False):
    """A 24-bit picture as a packed bitmap (no file header), rows bottom-up."""
    stride = (width * 3 + 3) // 4 * 4
    bits = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = colour_of(x, y)
            row += bytes((b, g, r))
        bits += row + b"\0" * (stride - len(row))
    if core:
        header = struct.pack("<IHHHH", 12, width, height, 1, 24)
    else:
        header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(bits), 0, 0, 0, 0)
    return header + bytes(bits)


def bmp_file(packed, bits_offset):
    return b"BM" + struct.pack("<IHHI", 14 + len(packed), 0, 0, 14 + bits_offset) + packed


def quadrants(width, height):
    """Red top left, blue top right, green bottom left, white bottom right."""
    def colour(x, y):
        if y < height // 2:
            return RED if x < width // 2 else BLUE
        return GREEN if x < width // 2 else WHITE
    return colour


def close(a, b, tolerance=2):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


class BackgroundTest(bench.SharedPrefixTestCase):
    def show(self, prefix, look, picture=None, env=None, condition=lambda shot: True):
        """Shows the background window with these look lines and answers the settled
        screenshot; the driver is then told to stop and must end cleanly."""
        lines = ["look %s %s" % item for item in look]
        if picture is not None:
            prefix.write(r"C:\test\picture.bin", picture)
            lines.append(r"picture-packed C:\test\picture.bin")
        prefix.write(r"C:\test\look.txt", "\r\n".join(lines + ["background", "hold"]) + "\r\n")
        if prefix.exists(r"C:\bench\stop"):
            os.remove(prefix.host_path(r"C:\bench\stop"))
        running = prefix.start(bench.driver("dialogdriver"), [r"C:\test\look.txt"], env=env)
        ready = running.wait_line("ready background", timeout=120)
        self.assertEqual(ready, "ready background %d %d" % (WIDTH, HEIGHT), running.lines)
        shot = screen.settled(condition)
        prefix.write(r"C:\bench\stop", "")
        self.assertEqual(running.wait(60), 0, running.lines)
        self.assertEqual(running.lines[-1], "end")
        self.loaded = [line for line in running.lines if line.startswith("loaded")]
        return shot

    def assertMonotone(self, column, top, bottom):
        for channel in range(3):
            values = [pixel[channel] for pixel in column]
            direction = 1 if bottom[channel] >= top[channel] else -1
            steps = [direction * (b - a) for a, b in zip(values, values[1:])]
            self.assertGreaterEqual(min(steps), 0, "channel %d turns back" % channel)

    def test_gradient_plain_fill_and_bands_without_gradient_fill(self):
        top, bottom = (0x10, 0x20, 0xe0), (0xf0, 0xc0, 0x08)
        gradient = [("top", colorref(top)), ("bottom", colorref(bottom))]
        prefix = self.prefix
        with self.subTest("gradient"):
            shot = self.show(prefix, gradient)
            column = shot.column(WIDTH // 2)
            self.assertTrue(close(column[0], top), column[0])
            self.assertTrue(close(column[-1], bottom), column[-1])
            self.assertMonotone(column, top, bottom)
            self.assertEqual(shot.row(HEIGHT // 2), [shot.pixel(0, HEIGHT // 2)] * WIDTH)
            gradient_runs = runs(column)

        with self.subTest("plain fill"):
            shot = self.show(prefix, [("top", colorref(PLAIN)), ("bottom", colorref(PLAIN))])
            samples = {shot.pixel(x, y) for x in range(0, WIDTH, 97) for y in range(0, HEIGHT, 89)}
            self.assertEqual(samples, {PLAIN})

        with self.subTest("bands without msimg32"):
            hidden = {"WINEDLLOVERRIDES": prefix.env["WINEDLLOVERRIDES"] + ";msimg32=d"}
            shot = self.show(prefix, [("top", "000000"), ("bottom", "FFFFFF")], env=hidden)
            column = shot.column(WIDTH // 2)
            self.assertMonotone(column, BLACK, WHITE)
            self.assertEqual(column[-1], WHITE)
            bands = runs(column)
            # Bands are 3 rows high from the top (neighbours of one colour make
            # longer stretches, still whole bands); the last is cut by the bottom.
            self.assertTrue(all(start % 3 == 0 and length % 3 == 0 for start, length in bands[:-1]), bands[:8])
            self.assertEqual(sum(length for _, length in bands), HEIGHT)
            self.assertGreater(len(bands), 200)
            # With GradientFill the same colours change every 3 or 4 rows, not in bands.
            self.assertFalse(all(start % 3 == 0 and length % 3 == 0 for start, length in gradient_runs[:-1]))

    def test_picture_placement(self):
        packed = bitmap(200, 100, quadrants(200, 100))
        prefix = self.prefix
        with self.subTest("100 percent fills the window, whatever its proportions"):
            core = bitmap(16, 8, quadrants(16, 8), core=True)
            shot = self.show(prefix, [("top", "000000"), ("bottom", "FFFFFF"), ("size", "100")], picture=core)
            self.assertEqual(self.loaded, ["loaded 1"])
            self.assertEqual(shot.pixel(0, 0), RED)
            self.assertEqual(shot.pixel(WIDTH - 1, 0), BLUE)
            self.assertEqual(shot.pixel(0, HEIGHT - 1), GREEN)
            self.assertEqual(shot.pixel(WIDTH - 1, HEIGHT - 1), WHITE)
            # The picture is stretched over one row and column more than the window
            # shows (its right and bottom edges count as inclusive), so its middle
            # lies half a pixel beyond the window's.
            self.assertEqual(shot.box(RED), (0, 0, WIDTH // 2, HEIGHT // 2))

        with self.subTest("50 percent of a landscape picture"):
            shot = self.show(prefix, [("top", colorref(NAVY)), ("bottom", colorref(NAVY)), ("size", "50")],
                             picture=packed)
            # Half of 1281 x 1001 is 641 x 501 at (319, 249); the picture's 2:1 then
            # makes it 250 high, centred again at 374.
            boxes = [shot.box(c) for c in (RED, BLUE, GREEN, WHITE)]
            union = (min(b[0] for b in boxes), min(b[1] for b in boxes), max(b[2] for b in boxes),
                     max(b[3] for b in boxes))
            self.assertEqual(union, (319, 374, 319 + 641 - 1, 374 + 250 - 1))
            self.assertEqual(boxes[0][:2], union[:2])  # red stays top left
            self.assertEqual(shot.pixel(union[0] - 1, 500), NAVY)
            self.assertEqual(shot.pixel(640, union[1] - 1), NAVY)
            self.assertEqual(shot.pixel(640, union[3] + 1), NAVY)

    def test_title_positions_and_shadow(self):
        # Expected title block: x from the left, centre or right edge; y at the top or
        # against the bottom edge (the glyphs end above the text's descent).
        rows = [(0, 0), (1, 0), (2, 0), (3, 0), (4, 0), (5, 4), (6, 4), (1, 4)]
        prefix = self.prefix
        for position, shadow in rows:
            with self.subTest(position=position, shadow=shadow):
                shot = self.show(prefix, [("top", colorref(NAVY)), ("bottom", colorref(NAVY)),
                                          ("title", "Product Title"), ("title-color", colorref(YELLOW)),
                                          ("position", position), ("shadow", shadow)])
                title = shot.box(YELLOW)
                if position == 0:
                    self.assertIsNone(title)
                    continue
                left, top, right, bottom = title
                if position in (1, 4):
                    self.assertLess(left, 12)
                elif position in (2, 5):
                    self.assertLessEqual(abs((left + right) / 2 - WIDTH / 2), 8)
                else:
                    self.assertGreater(right, WIDTH - shadow - 16)
                    self.assertLessEqual(right, WIDTH - shadow - 3)
                if position <= 3:
                    self.assertLess(top, 14)
                else:
                    self.assertGreater(bottom, HEIGHT - shadow - 24)
                    self.assertLessEqual(bottom, HEIGHT - shadow - 2)
                self.assertGreater(bottom - top, 14, "26 points fit: the title is drawn large")
                shade = shot.box(BLACK)
                if shadow:
                    self.assertEqual(shade[2:], (right + shadow, bottom + shadow))
                else:
                    self.assertIsNone(shade)

    def test_long_title_shrinks_to_fit(self):
        # The same letters, so that the heights of the glyphs compare.
        prefix = self.prefix
        heights = {}
        for name, title in (("short", "Title"), ("long", " ".join(["Title"] * 40))):
            shot = self.show(prefix, [("top", colorref(NAVY)), ("bottom", colorref(NAVY)), ("title", title),
                                      ("title-color", colorref(YELLOW)), ("position", 2)])
            left, top, right, bottom = shot.box(YELLOW)
            heights[name] = bottom - top
            self.assertGreaterEqual(left, 0)
            self.assertLess(right, WIDTH - 2)
        self.assertLess(heights["long"], heights["short"])

    def test_unusable_pictures_are_not_drawn(self):
        good = bitmap(20, 10, quadrants(20, 10))
        truncated = good[:-1]
        wrong_header = struct.pack("<I", 99) + good[4:]
        huge = good[:4] + struct.pack("<ii", 30000, 30000) + good[12:]
        prefix = self.prefix
        for name, picture in (("bits cut short", truncated), ("unknown header", wrong_header),
                              ("huge size", huge), ("three bytes", b"abc")):
            with self.subTest(name):
                shot = self.show(prefix, [("top", colorref(PLAIN)), ("bottom", colorref(PLAIN)), ("size", "100")],
                                 picture=picture)
                self.assertEqual(self.loaded, ["loaded 0"])
                samples = {shot.pixel(x, y) for x in range(0, WIDTH, 101) for y in range(0, HEIGHT, 93)}
                self.assertEqual(samples, {PLAIN})

    def test_picture_file_round_trip(self):
        packed = bitmap(5, 3, quadrants(5, 3))
        prefix = self.prefix
        prefix.write(r"C:\test\picture.bin", packed)
        prefix.write(r"C:\App\Uninstall.DAT", "")
        prefix.write(r"C:\test\other.bmp", b"BA" + bmp_file(packed, 40)[2:])
        prefix.write(r"C:\test\files.txt", "\r\n".join([
            r"picture-packed C:\test\picture.bin",
            r"save-picture C:\App\Installer Background.BMP",
            # No extension: ".bmp" is added, and the file system ignores its case.
            r"picture C:\App\Installer Background",
            r"picture C:\test\other",
            r"picture C:\test\missing",
        ]) + "\r\n")
        code, out = prefix.run_console(bench.driver("dialogdriver"), [r"C:\test\files.txt"])
        self.assertEqual(code, 0, out)
        self.assertEqual([line for line in out.splitlines() if line[:5] in ("saved", "loade")],
                         ["loaded 1", "saved 1", "loaded 1", "loaded 0", "loaded 0"])
        self.assertEqual(prefix.read(r"C:\App\Installer Background.BMP"), bmp_file(packed, 40))


def runs(column):
    """(first row, length) of each stretch of equal pixels."""
    found = []
    for y, pixel in enumerate(column):
        if found and column[found[-1][0]] == pixel:
            found[-1][1] += 1
        else:
            found.append([y, 1])
    return [tuple(r) for r in found]


if __name__ == "__main__":
    bench.main()
