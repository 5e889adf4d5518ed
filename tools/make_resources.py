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


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    (out / "wait_anime.bmp").write_bytes(bmp24(FRAME_W, FRAME_H * FRAMES, wait_pixel))
    (out / "velmarook.ico").write_bytes(ico([16, 32, 48]))


if __name__ == "__main__":
    main()
