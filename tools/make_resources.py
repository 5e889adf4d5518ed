#!/usr/bin/env python3
"""Draws the program's bitmaps: the wait-window strip, the program icon and the
button strips, composed from the icon theme of the Debian package
tango-icon-theme where it has a picture of the command's meaning.

usage: make_resources.py OUTPUT_DIR
"""
import math
import struct
import sys
import zlib
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


class Canvas:
    """A 16 x 16 glyph drawn with hard edges: the strips' mask colour leaves
    no room for blended borders."""

    def __init__(self):
        self.px = {}

    def put(self, x, y, c):
        if 0 <= x < 16 and 0 <= y < 16:
            self.px[(int(x), int(y))] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.put(x, y0, c)
            self.put(x, y1, c)
        for y in range(y0, y1 + 1):
            self.put(x0, y, c)
            self.put(x1, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(16):
            for x in range(16):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def polygon(self, points, c):
        """Fills the pixels whose centres lie inside the polygon."""
        n = len(points)
        for y in range(16):
            for x in range(16):
                px, py, inside = x + 0.5, y + 0.5, False
                for i in range(n):
                    (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
                    if (y0 > py) != (y1 > py) and px < x0 + (py - y0) * (x1 - x0) / (y1 - y0):
                        inside = not inside
                if inside:
                    self.put(x, y, c)

    def line(self, x0, y0, x1, y1, c, width=1):
        steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        for i in range(steps + 1):
            t = i / steps
            x, y = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
            for dy in range(width):
                for dx in range(width):
                    self.put(round(x) + dx, round(y) + dy, c)


DARK = (40, 40, 40)
WHITE = (255, 255, 255)


def draw_launch(g):  # a green button with a play triangle
    g.disc(7.5, 7.5, 7.2, (30, 120, 40))
    g.disc(7.5, 7.5, 6.2, (60, 170, 70))
    g.polygon([(5.5, 3.5), (12.5, 8), (5.5, 12.5)], WHITE)


def draw_edit(g):  # a sheet with a pencil across it
    g.rect(1, 1, 10, 14, WHITE)
    g.frame(1, 1, 10, 14, (110, 110, 110))
    for y in (4, 6, 8):
        g.line(3, y, 8, y, (150, 150, 150))
    g.polygon([(13, 2), (15, 4), (7, 12), (5, 10)], (240, 190, 40))
    g.line(13, 2, 15, 4, (200, 80, 80), 2)
    g.polygon([(5, 10), (7, 12), (4, 13)], (230, 200, 160))
    g.put(4, 12, DARK)


def draw_machine(g):  # a monitor on its stand
    g.rect(1, 2, 14, 11, (70, 70, 70))
    g.rect(2, 3, 13, 10, (70, 140, 220))
    g.line(3, 4, 6, 4, (170, 210, 250))
    g.rect(6, 12, 9, 12, (90, 90, 90))
    g.rect(3, 13, 12, 14, (70, 70, 70))


def draw_media(g):  # an optical disc
    g.disc(7.5, 7.5, 7.2, (120, 120, 130))
    g.disc(7.5, 7.5, 6.4, (205, 210, 225))
    g.polygon([(8, 1), (14, 6), (9, 7)], (235, 240, 250))
    g.disc(7.5, 7.5, 2.6, (120, 120, 130))
    g.disc(7.5, 7.5, 1.5, None)


def draw_genre(g):  # a price tag with its hole
    g.polygon([(1, 7.5), (6.5, 2), (15, 2), (15, 13), (6.5, 13)], (190, 110, 30))
    g.polygon([(2.5, 7.5), (7, 3), (14, 3), (14, 12), (7, 12)], (245, 170, 60))
    g.disc(7, 7.5, 1.3, WHITE)


def draw_rating(g):  # a red badge with an R
    g.rect(1, 1, 14, 14, (200, 50, 50))
    g.frame(1, 1, 14, 14, (140, 20, 20))
    g.rect(5, 4, 6, 12, WHITE)
    g.rect(7, 4, 9, 5, WHITE)
    g.rect(7, 8, 9, 8, WHITE)
    g.rect(10, 5, 10, 7, WHITE)
    g.line(8, 9, 10, 12, WHITE)


def draw_folder(g, plus=True):  # a folder, with a green plus for adding
    g.polygon([(0.5, 3), (6, 3), (7.5, 4.5), (15, 4.5), (15, 14), (0.5, 14)], (200, 150, 40))
    g.rect(1, 6, 14, 13, (250, 205, 90))
    if plus:
        g.rect(9, 8, 15, 10, (30, 130, 40))
        g.rect(11, 6, 13, 12, (30, 130, 40))
        g.rect(10, 9, 14, 9, (90, 200, 90))
        g.rect(12, 7, 12, 11, (90, 200, 90))


def draw_arrow(g, forward, available):  # back or forward, on a round button
    ring, fill = ((30, 80, 170), (60, 120, 220)) if available else ((150, 150, 150), (190, 190, 190))
    g.disc(7.5, 7.5, 7.2, ring)
    g.disc(7.5, 7.5, 6.2, fill)
    points = [(3, 7.5), (8, 3), (8, 6), (12.5, 6), (12.5, 9.5), (8, 9.5), (8, 12)]
    if forward:
        points = [(15 - x, y) for x, y in points]
    g.polygon(points, WHITE)


def draw_shield(g, safe):  # safe library loading: a green shield; caution: a yellow warning sign
    if safe:
        g.polygon([(2, 2), (8, 0.5), (14, 2), (13, 9), (8, 15), (3, 9)], (30, 120, 40))
        g.polygon([(3, 3), (8, 1.8), (13, 3), (12, 8.5), (8, 13.5), (4, 8.5)], (70, 180, 80))
        g.line(5, 8, 7, 10, WHITE, 2)
        g.line(7, 10, 11, 5, WHITE, 2)
    else:
        g.polygon([(8, 0.5), (15.5, 14.5), (0.5, 14.5)], (150, 110, 0))
        g.polygon([(8, 2.5), (14, 13.5), (2, 13.5)], (250, 200, 40))
        g.rect(7, 5, 8, 10, DARK)
        g.rect(7, 12, 8, 12, DARK)


def draw_window(g, full):  # normal layout: a window; BigPicture: a wide screen with arrows out
    if full:
        g.rect(0, 3, 15, 12, (50, 50, 50))
        g.rect(1, 4, 14, 11, (70, 140, 220))
        for x0, y0, dx, dy in ((2, 5, 1, 1), (13, 5, -1, 1), (2, 10, 1, -1), (13, 10, -1, -1)):
            g.put(x0, y0, WHITE)
            g.put(x0 + dx, y0, WHITE)
            g.put(x0, y0 + dy, WHITE)
    else:
        g.rect(1, 2, 14, 13, (70, 70, 70))
        g.rect(2, 3, 13, 4, (60, 110, 200))
        g.rect(2, 5, 13, 12, WHITE)
        g.rect(3, 6, 6, 11, (210, 220, 235))


def draw_keyboard(g):
    g.rect(0, 4, 15, 12, (80, 80, 80))
    g.rect(1, 5, 14, 11, (225, 225, 225))
    for y in (6, 8):
        for x in range(2, 14, 2):
            g.put(x, y, (80, 80, 80))
    g.rect(4, 10, 11, 10, (80, 80, 80))


def draw_lock(g, on):  # Scroll Lock: an open grey padlock, a closed green one
    body, edge = ((60, 170, 70), (30, 110, 40)) if on else ((180, 180, 180), (110, 110, 110))
    shackle = edge
    g.frame(5, 1, 10, 8, shackle)
    g.frame(6, 2, 9, 8, shackle)
    if not on:
        g.rect(10, 5, 10, 8, None)
        g.rect(9, 6, 9, 8, None)
    g.rect(3, 7, 12, 14, edge)
    g.rect(4, 8, 11, 13, body)
    g.rect(7, 10, 8, 12, DARK)


def draw_camera(g, mode):  # automatic snapshot: off, full screen, active window, manual
    body = (150, 150, 150) if mode == 0 else (60, 60, 60)
    g.rect(5, 2, 10, 4, body)
    g.rect(1, 4, 14, 13, body)
    g.disc(7.5, 8.5, 3.5, (225, 225, 225))
    g.disc(7.5, 8.5, 2.2, [(150, 150, 150), (60, 120, 220), (60, 170, 70), (220, 140, 40)][mode])
    if mode == 0:
        g.line(1, 14, 14, 1, (210, 40, 40), 2)


def drawn(draw, *args):
    g = Canvas()
    draw(g, *args)
    return g.px


# ---- The icon theme the strips are composed from --------------------------

ICON_THEME = Path("/usr/share/icons/Tango")
ICON_PACKAGE = "tango-icon-theme"


class PngError(Exception):
    pass


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_png(data):
    """Decodes a non-interlaced PNG of 8 or 16 bits a sample (grey, grey with
    alpha, RGB, RGBA) or of 1 to 8 bits a palette index. Returns (width,
    height, pixels), pixels a list of rows of (r, g, b, a) with 8-bit samples."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise PngError("not a PNG file")
    pos, header, palette, alphas, idat = 8, None, [], b"", bytearray()
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if len(body) != length:
            raise PngError("truncated chunk")
        if zlib.crc32(kind + body) != struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])[0]:
            raise PngError("bad checksum in chunk " + kind.decode("latin-1"))
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, length - 2, 3)]
        elif kind == b"tRNS":
            alphas = body
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    if header is None:
        raise PngError("no header")
    width, height, depth, colour, _, _, interlace = header
    if interlace:
        raise PngError("interlaced images are not read")
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}.get(colour)
    if channels is None or (colour == 3 and depth > 8) or (colour != 3 and depth not in (8, 16)):
        raise PngError("colour type %d at %d bits is not read" % (colour, depth))
    bits = channels * depth
    stride = (width * bits + 7) // 8
    step = max(1, bits // 8)
    raw = zlib.decompress(bytes(idat))
    if len(raw) < height * (stride + 1):
        raise PngError("image data too short")
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - step] if i >= step else 0
            b = previous[i]
            c = previous[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                line[i] = (line[i] + _paeth(a, b, c)) & 255
            elif kind != 0:
                raise PngError("unknown row filter %d" % kind)
        previous = line
        row = []
        for x in range(width):
            if colour == 3:
                bit = x * depth
                index = (line[bit // 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1)
                if index >= len(palette):
                    raise PngError("palette index out of range")
                r, g, b = palette[index]
                row.append((r, g, b, alphas[index] if index < len(alphas) else 255))
                continue
            size = depth // 8
            s = [line[(x * channels + k) * size] for k in range(channels)]  # the high byte at 16 bits
            if colour == 0:
                row.append((s[0], s[0], s[0], 255))
            elif colour == 4:
                row.append((s[0], s[0], s[0], s[1]))
            elif colour == 2:
                row.append((s[0], s[1], s[2], 255))
            else:
                row.append(tuple(s))
        rows.append(row)
    return width, height, rows


def scaled(image, size):
    """An (r, g, b, a) square picture of `size`, averaged over the source
    pixels each target pixel covers, colours weighted by their alpha."""
    width, height, rows = image
    if (width, height) == (size, size):
        return [list(row) for row in rows]
    out = []
    for ty in range(size):
        y0, y1 = ty * height / size, (ty + 1) * height / size
        row = []
        for tx in range(size):
            x0, x1 = tx * width / size, (tx + 1) * width / size
            acc = [0.0, 0.0, 0.0, 0.0]
            area = 0.0
            for sy in range(int(y0), min(height, math.ceil(y1))):
                wy = min(y1, sy + 1) - max(y0, sy)
                for sx in range(int(x0), min(width, math.ceil(x1))):
                    w = wy * (min(x1, sx + 1) - max(x0, sx))
                    r, g, b, a = rows[sy][sx]
                    acc[0] += r * a * w
                    acc[1] += g * a * w
                    acc[2] += b * a * w
                    acc[3] += a * w
                    area += w
            alpha = acc[3] / area if area else 0
            if acc[3]:
                row.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]), round(alpha)))
            else:
                row.append((0, 0, 0, 0))
        out.append(row)
    return out


def theme_icon(name, size):
    """The theme's picture `name` (as "actions/go-next") at `size` pixels: the
    file of that size when the theme has one, else the next larger scaled down."""
    sizes = sorted(int(d.name.split("x")[0]) for d in ICON_THEME.glob("*x*") if d.name.split("x")[0].isdigit())
    for s in [s for s in sizes if s == size] + [s for s in sizes if s > size] + sorted(sizes, reverse=True):
        path = ICON_THEME / ("%dx%d" % (s, s)) / (name + ".png")
        if path.exists():
            try:
                return scaled(read_png(path.read_bytes()), size)
            except PngError as error:
                raise SystemExit("make_resources.py: %s: %s" % (path, error))
    raise SystemExit("make_resources.py: the icon %s is missing from %s (package %s)"
                     % (name, ICON_THEME, ICON_PACKAGE))


def over(base, layer, left=0, top=0):
    """Lays `layer` on `base` (both lists of rows of RGBA) at (left, top)."""
    for y, row in enumerate(layer):
        for x, (r, g, b, a) in enumerate(row):
            by, bx = top + y, left + x
            if a == 0 or not (0 <= by < len(base) and 0 <= bx < len(base[by])):
                continue
            br, bg, bb, ba = base[by][bx]
            fa, fb = a / 255, ba / 255 * (1 - a / 255)
            oa = fa + fb
            base[by][bx] = (round((r * fa + br * fb) / oa), round((g * fa + bg * fb) / oa),
                            round((b * fa + bb * fb) / oa), round(oa * 255))
    return base


def greyed(image):
    """The picture as a disabled button shows it: grey, light and faded."""
    out = []
    for row in image:
        line = []
        for r, g, b, a in row:
            level = 150 + round(0.3 * r + 0.59 * g + 0.11 * b) * 2 // 5
            line.append((level, level, level, a * 3 // 5))
        out.append(line)
    return out


def tinted(image, colour):
    """The picture recoloured in `colour`, its light and shade kept."""
    out = []
    for row in image:
        line = []
        for r, g, b, a in row:
            v = (0.3 * r + 0.59 * g + 0.11 * b) / 255
            line.append(tuple(min(255, round(c * (0.35 + v))) for c in colour) + (a,))
        out.append(line)
    return out


def from_glyph(px, size=16):
    return [[(*px[(x, y)], 255) if px.get((x, y)) else (0, 0, 0, 0) for x in range(size)] for y in range(size)]


ALPHA_THRESHOLD = 100


def keyed(image):
    """Maps an RGBA picture onto the strips' magenta mask: pixels below the
    alpha threshold become the mask, the rest keep their colour opaque (the
    theme's colours are not premultiplied, so no magenta bleeds into the
    edges), and an opaque pixel never takes the mask colour itself."""
    px = {}
    for y, row in enumerate(image):
        for x, (r, g, b, a) in enumerate(row):
            if a >= ALPHA_THRESHOLD:
                px[(x, y)] = (254, 0, 254) if (r, g, b) == MAGENTA else (r, g, b)
    return px


def badge(picture, name, size=16, part=10):
    """`picture` with the theme's icon `name` shrunk into its lower right corner."""
    return over(picture, theme_icon(name, part), size - part, size - part)


def crossed(picture):
    """A red stroke across the picture, for a mode that is off."""
    return over(picture, from_glyph(drawn(lambda g: g.line(1, 14, 14, 1, (204, 0, 0), 2))))


def theme_pictures():
    if not ICON_THEME.is_dir():
        raise SystemExit("make_resources.py: the icon theme is missing (%s): install the Debian package %s "
                         "(tools/setup.sh does)" % (ICON_THEME, ICON_PACKAGE))
    icon = lambda name: theme_icon(name, 16)
    back, forward = icon("actions/go-previous"), icon("actions/go-next")
    camera = icon("devices/camera-photo")
    toolbar = [tinted(icon("actions/media-playback-start"), (78, 154, 6)), icon("apps/accessories-text-editor"),
               icon("devices/computer"), icon("devices/media-optical"), from_glyph(drawn(draw_genre)),
               from_glyph(drawn(draw_rating)), badge(icon("mimetypes/image-x-generic"), "actions/list-add")]
    history = [greyed(back), greyed(forward), back, forward]
    status = [from_glyph(drawn(draw_shield, True)), icon("status/dialog-warning"),
              icon("apps/preferences-system-windows"), icon("actions/view-fullscreen"),
              icon("devices/input-keyboard"), greyed(icon("actions/system-lock-screen")),
              icon("actions/system-lock-screen"),
              crossed(greyed(camera)), badge(icon("devices/camera-photo"), "devices/video-display", 16, 9),
              badge(icon("devices/camera-photo"), "apps/preferences-system-windows", 16, 9),
              badge(icon("devices/camera-photo"), "actions/media-record", 16, 8)]
    return [keyed(p) for p in toolbar], [keyed(p) for p in history], [keyed(p) for p in status]


def query_tree_pictures(size):
    """The query tree's default pictures at `size`: a folder, a saved query."""
    return [keyed(theme_icon("places/folder", size)), keyed(theme_icon("places/application-x-gnome-saved-search", size))]


def master_pictures(size):
    """The masters' built-in picture at `size` for an icon file that is
    missing (a master without an icon shows none, so rows stay uncluttered)."""
    return [keyed(theme_icon("status/image-missing", size))]


TOOLBAR, HISTORY, STATUS = [], [], []


def toolbar_glyph(index, x, y):
    # launch, edit, machine, media, genre, extended rating, add images
    return TOOLBAR[index].get((x, y))


def history_glyph(index, x, y):
    # 0 back unavailable, 1 forward unavailable, 2 back available, 3 forward available
    return HISTORY[index].get((x, y))


def status_glyph(index, x, y):
    # 0/1 library loading safe/caution, 2/3 layout normal/BigPicture, 4 keyboard,
    # 5/6 scroll lock off/on, 7-10 automatic snapshot off/full/window/manual
    return STATUS[index].get((x, y))


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    TOOLBAR[:], HISTORY[:], STATUS[:] = theme_pictures()
    (out / "wait_anime.bmp").write_bytes(bmp24(FRAME_W, FRAME_H * FRAMES, wait_pixel))
    (out / "velmarook.ico").write_bytes(ico([16, 32, 48]))
    (out / "toolbar.bmp").write_bytes(glyph_strip(7, 16, toolbar_glyph))
    (out / "HistBar.bmp").write_bytes(glyph_strip(4, 16, history_glyph))
    (out / "images.bmp").write_bytes(glyph_strip(11, 16, status_glyph))
    for size in (16, 32):
        for name, pictures in (("QueryTree", query_tree_pictures(size)), ("MasterIcons", master_pictures(size))):
            (out / ("%s%d.bmp" % (name, size))).write_bytes(
                glyph_strip(len(pictures), size, lambda index, x, y, p=pictures: p[index].get((x, y))))


if __name__ == "__main__":
    main()
