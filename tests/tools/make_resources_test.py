#!/usr/bin/env python3
"""The picture reader and the strip composition of tools/make_resources.py."""
import importlib.util
import struct
import sys
import tempfile
import unittest
import zlib
from pathlib import Path

TOOLS = Path(__file__).resolve().parents[2] / "tools"
module_spec = importlib.util.spec_from_file_location("make_resources", TOOLS / "make_resources.py")
mr = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(mr)


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def png(width, height, depth, colour, lines, filters, palette=b"", trns=b"", interlace=0):
    """A PNG of the given raw (unfiltered) sample lines, each line filtered
    with the filter type at its place in `filters`."""
    bits = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour] * depth
    step = max(1, bits // 8)
    previous = bytes(len(lines[0]))
    raw = bytearray()
    for line, kind in zip(lines, filters):
        out = bytearray()
        for i, x in enumerate(line):
            a = line[i - step] if i >= step else 0
            b = previous[i]
            c = previous[i - step] if i >= step else 0
            predictor = [0, a, b, (a + b) // 2, mr._paeth(a, b, c)][kind] if kind <= 4 else 0
            out.append((x - predictor) & 255)
        raw += bytes([kind]) + out
        previous = line
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace))
    if palette:
        data += chunk(b"PLTE", palette)
    if trns:
        data += chunk(b"tRNS", trns)
    return data + chunk(b"IDAT", zlib.compress(bytes(raw))) + chunk(b"IEND", b"")


class ReadPng(unittest.TestCase):
    def test_every_row_filter_of_rgba(self):
        pixels = [[(x * 40, y * 60, (x * y * 37) % 256, 255 - x * 20) for x in range(5)] for y in range(5)]
        lines = [bytes(v for p in row for v in p) for row in pixels]
        self.assertEqual(mr.read_png(png(5, 5, 8, 6, lines, [0, 1, 2, 3, 4])), (5, 5, pixels))

    def test_sample_layouts(self):
        cases = [
            # name, depth, colour, raw line, palette, tRNS, expected row
            ("rgb", 8, 2, bytes([1, 2, 3, 250, 251, 252]), b"", b"", [(1, 2, 3, 255), (250, 251, 252, 255)]),
            ("grey", 8, 0, bytes([7, 200]), b"", b"", [(7, 7, 7, 255), (200, 200, 200, 255)]),
            ("grey and alpha", 8, 4, bytes([9, 10, 11, 12]), b"", b"", [(9, 9, 9, 10), (11, 11, 11, 12)]),
            ("16-bit rgba keeps the high byte", 16, 6, bytes([1, 99, 2, 99, 3, 99, 4, 99] * 2), b"", b"",
             [(1, 2, 3, 4), (1, 2, 3, 4)]),
            ("palette with transparency", 8, 3, bytes([1, 0]), bytes([10, 20, 30, 40, 50, 60]), bytes([0]),
             [(40, 50, 60, 255), (10, 20, 30, 0)]),
            ("palette at 2 bits", 2, 3, bytes([0b01000000]), bytes([10, 20, 30, 40, 50, 60]), b"",
             [(40, 50, 60, 255), (10, 20, 30, 255)]),
        ]
        for name, depth, colour, line, palette, trns, row in cases:
            with self.subTest(name):
                data = png(2, 2, depth, colour, [line, line], [1, 4], palette, trns)
                self.assertEqual(mr.read_png(data), (2, 2, [row, row]))

    def test_refusals(self):
        good = png(1, 1, 8, 6, [bytes(4)], [0])
        corrupt = bytearray(good)
        corrupt[40] ^= 1
        cases = [
            ("not a png", b"GIF89a" + bytes(40), "not a PNG"),
            ("interlaced", png(1, 1, 8, 6, [bytes(4)], [0], interlace=1), "interlaced"),
            ("damaged chunk", bytes(corrupt), "checksum"),
            ("unknown row filter", png(1, 1, 8, 6, [bytes(4)], [7]), "filter"),
        ]
        for name, data, message in cases:
            with self.subTest(name), self.assertRaises(mr.PngError) as caught:
                mr.read_png(data)
            self.assertIn(message, str(caught.exception))


class Composition(unittest.TestCase):
    def test_scaling_averages_weighted_by_alpha(self):
        red, clear = (200, 0, 0, 255), (0, 0, 255, 0)
        image = (2, 2, [[red, clear], [clear, red]])
        self.assertEqual(mr.scaled(image, 1), [[(200, 0, 0, 128)]])
        self.assertEqual(mr.scaled(image, 2), [[red, clear], [clear, red]])
        four = mr.scaled((1, 1, [[(1, 2, 3, 255)]]), 4)
        self.assertEqual(four, [[(1, 2, 3, 255)] * 4] * 4)

    def test_keying_onto_the_mask(self):
        image = [[(10, 20, 30, mr.ALPHA_THRESHOLD), (10, 20, 30, mr.ALPHA_THRESHOLD - 1),
                  (255, 0, 255, 255), (0, 0, 0, 0)]]
        self.assertEqual(mr.keyed(image), {(0, 0): (10, 20, 30), (2, 0): (254, 0, 254)})

    def test_layering_and_greying(self):
        base = [[(0, 0, 200, 255), (0, 0, 0, 0)]]
        mr.over(base, [[(200, 0, 0, 255)]], 1, 0)
        self.assertEqual(base, [[(0, 0, 200, 255), (200, 0, 0, 255)]])
        mr.over(base, [[(100, 100, 0, 0), (0, 200, 0, 255)]], 0, 0)
        self.assertEqual(base[0][1], (0, 200, 0, 255))
        self.assertEqual(base[0][0], (0, 0, 200, 255), "a clear pixel leaves the base")
        grey = mr.greyed([[(255, 0, 0, 255), (0, 0, 0, 255)]])[0]
        self.assertTrue(all(r == g == b for r, g, b, _ in grey))
        self.assertGreater(grey[0][0], grey[1][0], "lighter colours stay lighter")
        self.assertLess(grey[0][3], 255, "faded")


class Strips(unittest.TestCase):
    def test_a_missing_theme_names_the_package(self):
        saved = mr.ICON_THEME
        with tempfile.TemporaryDirectory() as empty:
            mr.ICON_THEME = Path(empty) / "none"
            try:
                with self.assertRaises(SystemExit) as caught:
                    mr.theme_pictures()
            finally:
                mr.ICON_THEME = saved
        self.assertIn("tango-icon-theme", str(caught.exception))

    @unittest.skipUnless(mr.ICON_THEME.is_dir(), "the icon theme is not installed")
    def test_the_strips_come_from_the_theme(self):
        toolbar, history, status = mr.theme_pictures()
        self.assertEqual((len(toolbar), len(history), len(status)), (7, 4, 11))
        for strip in (toolbar, history, status):
            for index, picture in enumerate(strip):
                with self.subTest(index=index):
                    self.assertGreater(len(picture), 40, "the picture covers part of its cell")
                    self.assertNotIn(mr.MAGENTA, picture.values())
        # Unavailable history arrows are grey, available ones are not.
        for index in (0, 1):
            self.assertTrue(all(r == g == b for r, g, b in history[index].values()))
        for index in (2, 3):
            self.assertFalse(all(r == g == b for r, g, b in history[index].values()))
        # The query tree's folder and query, filling most of their cells at both sizes.
        for size in (16, 32):
            pictures = mr.query_tree_pictures(size)
            self.assertEqual(len(pictures), 2)
            for picture in pictures:
                self.assertGreater(len(picture), size * size // 2)
                self.assertTrue(all(0 <= x < size and 0 <= y < size for x, y in picture))
        # The masters' picture of a missing icon file, in colour at both sizes.
        for size in (16, 32):
            pictures = mr.master_pictures(size)
            self.assertEqual(len(pictures), 1)
            self.assertGreater(len(pictures[0]), size * size // 4)
            self.assertFalse(all(r == g == b for r, g, b in pictures[0].values()))
        # The launch button is the theme's play triangle in green.
        self.assertTrue(sum(1 for r, g, b in toolbar[0].values() if g > r + 40 and g > b + 40) > 20)


if __name__ == "__main__":
    sys.exit(0 if unittest.main(exit=False).result.wasSuccessful() else 1)
