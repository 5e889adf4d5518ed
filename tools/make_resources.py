#!/usr/bin/env python3
"""Draws the program's bitmaps: the wait-window strip and the program icon.

usage: make_resources.py OUTPUT_DIR
"""
import math
import struct
import sys
from pathlib import Path

FRAME_W, FRAME_H, FRAMES = 420, 80, 12


def bmp24(width, height, pixel):
    """A bottom-up 24-bit BMP; pixel(x, y) gives (r, g, b) with y from the top."""
    row = bytearray()
    rows = []
    pad = (4 - (width * 3) % 4) % 4
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * pad
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data


def wait_pixel(x, y):
    frame, fy = divmod(y, FRAME_H)
    # A soft band of dots that moves one step to the right per frame.
    base = (32, 40, 64)
    cy = FRAME_H // 2
    for i in range(8):
        cx = 60 + i * 43
        lit = (i - frame) % 8
        radius = 9 - lit
        if radius > 2 and (x - cx) ** 2 + (fy - cy) ** 2 <= radius * radius:
            level = 255 - lit * 28
            return (level // 2, level, 255)
    return base


def icon_pixel(x, y, size):
    c = (size - 1) / 2
    d = math.hypot(x - c, y - c)
    if d > size / 2 - 1:
        return (0, 0, 0, 0)
    if abs(x - c) < size / 8 and y < size * 0.7:
        return (255, 255, 255, 255)
    return (40, 90, 200, 255)


def ico(sizes):
    images = []
    for size in sizes:
        pixels = bytearray()
        for y in range(size - 1, -1, -1):
            for x in range(size):
                r, g, b, a = icon_pixel(x, y, size)
                pixels += bytes((b, g, r, a))
        mask_row = ((size + 31) // 32) * 4
        mask = b"\0" * (mask_row * size)
        info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
        images.append((size, info + bytes(pixels) + mask))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return out


MAGENTA = (255, 0, 255)


def glyph_strip(count, size, draw):
    """A strip of `count` square glyphs on the magenta mask colour."""
    def pixel(x, y):
        index, gx = divmod(x, size)
        return draw(index, gx, y) or MAGENTA
    return bmp24(count * size, size, pixel)


def toolbar_glyph(index, x, y):
    # launch, edit, machine, media, genre, rating, add: one coloured mark each
    colours = [(40, 160, 60), (60, 90, 200), (90, 90, 90), (200, 120, 40), (160, 60, 160), (200, 60, 60), (40, 140, 160)]
    c = colours[index]
    if index == 0:  # a play triangle
        return c if 3 <= x <= 12 and abs(y - 7.5) <= (x - 3) * 0.6 + 0.5 else None
    if 2 <= x <= 13 and 2 <= y <= 13:
        inner = 4 <= x <= 11 and 4 <= y <= 11
        return (255, 255, 255) if inner and (x + y + index) % 5 == 0 else c
    return None


def history_glyph(index, x, y):
    # 0 back unavailable, 1 forward unavailable, 2 back available, 3 forward available
    dx = x if index % 2 == 1 else 15 - x
    if 3 <= dx <= 12 and abs(y - 7.5) <= (12 - dx) * 0.6 + 0.5:
        return (50, 100, 200) if index >= 2 else (170, 170, 170)
    return None


def status_glyph(index, x, y):
    # 0/1 library loading safe/caution, 2/3 layout normal/BigPicture, 4 keyboard,
    # 5/6 scroll lock off/on, 7-10 automatic snapshot off/full/window/manual
    palette = [(40, 160, 60), (220, 160, 0), (60, 90, 200), (200, 60, 60), (90, 90, 90),
               (150, 150, 150), (40, 160, 60), (150, 150, 150), (200, 60, 60), (60, 90, 200), (200, 120, 40)]
    if 2 <= x <= 13 and 3 <= y <= 12:
        border = x in (2, 13) or y in (3, 12)
        return (30, 30, 30) if border else palette[index]
    return None


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    (out / "wait_anime.bmp").write_bytes(bmp24(FRAME_W, FRAME_H * FRAMES, wait_pixel))
    (out / "velmarook.ico").write_bytes(ico([16, 32, 48]))
    (out / "toolbar.bmp").write_bytes(glyph_strip(7, 16, toolbar_glyph))
    (out / "HistBar.bmp").write_bytes(glyph_strip(4, 16, history_glyph))
    (out / "images.bmp").write_bytes(glyph_strip(11, 16, status_glyph))


if __name__ == "__main__":
    main()
