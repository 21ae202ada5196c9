#!/usr/bin/env python3
"""Draws Quillon's icons into res/icons/*.ico.

Every icon holds a 16x16 and a 32x32 image, 32-bit BGRA with an AND mask.
Glyphs are described once on a 16-unit grid and rendered at both sizes with
supersampling, so edges on whole units stay crisp and slanted ones are smooth.
Standard library only.

    python3 scripts/make-icons.py               # writes res/icons/*.ico
    python3 scripts/make-icons.py --sheet x.png # also a contact sheet to look at
"""

import argparse
import math
import os
import struct
import zlib

GRID = 16.0
SIZES = (16, 32)
SAMPLES = 6  # per axis and pixel

INK = (28, 36, 48, 255)
RED = (196, 32, 32, 255)
BLUE = (36, 92, 184, 255)
PAPER = (252, 252, 248, 255)
EDGE = (96, 104, 116, 255)
FOLD = (210, 214, 220, 255)
AMBER = (232, 140, 16, 255)
AMBER_EDGE = (164, 88, 0, 255)
WHITE = (255, 255, 255, 255)
PANEL = (70, 130, 200, 255)


# ---------------------------------------------------------------- shapes
# A shape is a predicate over design coordinates (x right, y down, 0..16).

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def polygon(*pts):
    n = len(pts)

    def inside(x, y):
        hit = False
        j = n - 1
        for i in range(n):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return inside


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def _seg_dist2(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    px, py = ax + t * dx - x, ay + t * dy - y
    return px * px + py * py


def polyline(pts, width):
    """A stroke with round joins and round ends."""
    r2 = (width / 2.0) ** 2
    segs = list(zip(pts, pts[1:]))
    return lambda x, y: any(_seg_dist2(x, y, a[0], a[1], b[0], b[1]) <= r2
                            for a, b in segs)


def arc(cx, cy, radius, width, start, end):
    """A ring sector; angles in degrees, 0 to the right, growing clockwise
    (y points down), from start to end."""
    lo, hi = radius - width / 2.0, radius + width / 2.0
    span = (end - start) % 360.0

    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if not lo <= d <= hi:
            return False
        a = math.degrees(math.atan2(y - cy, x - cx))
        return (a - start) % 360.0 <= span
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, cut):
    return lambda x, y: shape(x, y) and not cut(x, y)


def frame(x0, y0, x1, y1, t=1.0):
    return minus(rect(x0, y0, x1, y1), rect(x0 + t, y0 + t, x1 - t, y1 - t))


# ---------------------------------------------------------------- glyphs
# A glyph is a list of (shape, colour) layers, painted in order.

def speaker():
    return union(rect(2, 6, 5, 10), polygon((4.5, 6), (9, 2.5), (9, 13.5), (4.5, 10)))


def list_lines():
    # Kept to rows 4..11: the list faces and the close cross sit on the
    # player's smallest buttons, 16 by 14 pixels borders included.
    return union(rect(2, 4, 7, 5), rect(2, 6, 7, 7), rect(2, 8, 7, 9), rect(2, 10, 7, 11))


def small_window():
    # the editor window: frame with a title bar
    return union(frame(2, 1, 14, 9), rect(2, 1, 14, 3))


def note_on_page():
    page = polygon((3, 1), (10, 1), (13, 4), (13, 15), (3, 15))
    inner = polygon((4, 2), (9.6, 2), (12, 4.4), (12, 14), (4, 14))
    fold = polygon((10, 1), (10, 4), (13, 4))
    heads = union(ellipse(6.4, 11.6, 1.7, 1.25), ellipse(10.0, 10.6, 1.7, 1.25))
    stems = union(rect(7.3, 5.6, 8.1, 11.6), rect(10.9, 4.6, 11.7, 10.6))
    beam = polygon((7.3, 5.6), (11.7, 4.6), (11.7, 6.4), (7.3, 7.4))
    return [
        (page, EDGE),
        (inner, PAPER),
        (fold, FOLD),
        (polyline([(10, 1), (10, 4), (13, 4)], 0.8), EDGE),
        (union(heads, stems, beam), BLUE),
    ]


GLYPHS = {
    "app": note_on_page(),
    "pause": [(union(rect(4, 3, 7, 13), rect(9, 3, 12, 13)), INK)],
    "play": [(polygon((5, 3), (5, 13), (12.5, 8)), INK)],
    "stop": [(rect(4, 4, 12, 12), INK)],
    "next": [(union(polygon((3, 3), (3, 13), (10, 8)), rect(11, 3, 13, 13)), INK)],
    "previous": [(union(rect(3, 3, 5, 13), polygon((13, 3), (13, 13), (6, 8))), INK)],
    "fast-forward": [(union(polygon((1.5, 3.5), (1.5, 12.5), (8, 8)),
                            polygon((8, 3.5), (8, 12.5), (14.5, 8))), INK)],
    "rewind": [(union(polygon((14.5, 3.5), (14.5, 12.5), (8, 8)),
                      polygon((8, 3.5), (8, 12.5), (1.5, 8))), INK)],
    # tucked-in player below the editor: click slides it out (down)
    "player-hidden": [(small_window(), INK),
                      (polygon((4.5, 10.5), (11.5, 10.5), (8, 14.5)), INK)],
    # player out below the editor: click tucks it in (up)
    "player-shown": [(small_window(), INK),
                     (rect(3, 9, 13, 11), PANEL),
                     (polygon((4.5, 15), (11.5, 15), (8, 11.5)), INK)],
    # the editor is hidden: click brings the list back (down, open)
    "list-hidden": [(list_lines(), INK), (polygon((7.5, 5), (15.5, 5), (11.5, 9)), INK)],
    # the editor is shown: click puts the list away (up, close)
    "list-shown": [(list_lines(), INK), (polygon((7.5, 10), (15.5, 10), (11.5, 6)), INK)],
    "close": [(union(polyline([(5, 4.5), (11, 11.5)], 1.8),
                     polyline([(5, 11.5), (11, 4.5)], 1.8)), INK)],
    "shuffle": [(union(polyline([(1.5, 4.5), (4.5, 4.5), (9.5, 11.5), (11.5, 11.5)], 1.6),
                       polyline([(1.5, 11.5), (4.5, 11.5), (9.5, 4.5), (11.5, 4.5)], 1.6),
                       polygon((11, 1.5), (15, 4.5), (11, 7.5)),
                       polygon((11, 8.5), (15, 11.5), (11, 14.5))), INK)],
    # two arrows chasing each other round a loop
    "repeat": [(union(rect(2, 6.6, 3.6, 9.2), arc(4.8, 6.6, 2.0, 1.6, 180, 270),
                      rect(4.8, 3.8, 10.4, 5.4), polygon((10.2, 1.6), (14, 4.6), (10.2, 7.6)),
                      rect(12.4, 6.8, 14, 9.4), arc(11.2, 9.4, 2.0, 1.6, 0, 90),
                      rect(5.6, 10.6, 11.2, 12.2), polygon((5.8, 8.4), (2, 11.4), (5.8, 14.4))),
                INK)],
    "muted": [(speaker(), INK),
              (union(polyline([(10.5, 5.5), (14.5, 10.5)], 1.7),
                     polyline([(10.5, 10.5), (14.5, 5.5)], 1.7)), RED)],
    "unmuted": [(union(speaker(), arc(7.5, 8, 3.6, 1.4, 315, 45),
                       arc(7.5, 8, 6.4, 1.4, 312, 48)), INK)],
    "paused-tray": [(ellipse(8, 8, 7.5, 7.5), AMBER_EDGE),
                    (ellipse(8, 8, 6.5, 6.5), AMBER),
                    (union(rect(5, 4, 7, 12), rect(9, 4, 11, 12)), WHITE)],
}


# ---------------------------------------------------------------- raster

def render(layers, size):
    """Rows of (r, g, b, a) pixels, top row first, straight alpha."""
    scale = GRID / size
    n = SAMPLES
    offs = [(i + 0.5) / n for i in range(n)]
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied sums
            for oy in offs:
                y = (py + oy) * scale
                for ox in offs:
                    x = (px + ox) * scale
                    r = g = b = a = 0.0
                    for shape, (cr, cg, cb, ca) in layers:
                        if shape(x, y):
                            sa = ca / 255.0
                            r = cr * sa + r * (1 - sa)
                            g = cg * sa + g * (1 - sa)
                            b = cb * sa + b * (1 - sa)
                            a = sa + a * (1 - sa)
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            k = n * n
            alpha = acc[3] / k
            if alpha <= 0.0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(min(255, int(round(c / k / alpha))) for c in acc[:3])
                           + (min(255, int(round(alpha * 255))),))
        rows.append(row)
    return rows


def ico_image(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(rows):  # DIBs are stored bottom-up
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return bytes(header + xor + mask)


def ico_file(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        body += data
    return out + body


# ---------------------------------------------------------------- contact sheet

def png(width, height, pixels):
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def contact_sheet(rendered):
    """A grid of cells, one per icon: the 16 and 32 images magnified (4x and
    2x), and below them both at actual size on button grey and on dark grey."""
    light, dark, paper = (212, 208, 200), (40, 40, 40), (255, 255, 255)
    cols, cw, ch = 6, 148, 120
    rows_n = (len(rendered) + cols - 1) // cols
    width, height = cols * cw, rows_n * ch
    canvas = [[paper] * width for _ in range(height)]

    def fill(x0, y0, w, h, c):
        for y in range(y0, y0 + h):
            canvas[y][x0:x0 + w] = [c] * w

    def blit(img, x0, y0, bg, z):
        for y, row in enumerate(img):
            for x, (r, g, b, a) in enumerate(row):
                f = a / 255.0
                c = tuple(int(round(s * f + d * (1 - f))) for s, d in zip((r, g, b), bg))
                for yy in range(z):
                    canvas[y0 + y * z + yy][x0 + x * z:x0 + x * z + z] = [c] * z

    for i, (_, imgs) in enumerate(rendered):
        x0, y0 = (i % cols) * cw + 6, (i // cols) * ch + 6
        fill(x0, y0, 64, 64, light)
        blit(imgs[16], x0, y0, light, 4)
        fill(x0 + 70, y0, 64, 64, light)
        blit(imgs[32], x0 + 70, y0, light, 2)
        for j, bg in enumerate((light, dark)):
            bx = x0 + j * 70
            fill(bx, y0 + 70, 64, 40, bg)
            blit(imgs[16], bx + 6, y0 + 82, bg, 1)
            blit(imgs[32], bx + 28, y0 + 74, bg, 1)
    return png(width, height, canvas)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "res", "icons"))
    parser.add_argument("--sheet", help="also write a PNG contact sheet here")
    args = parser.parse_args()

    os.makedirs(args.out, exist_ok=True)
    rendered = []
    for name, layers in GLYPHS.items():
        imgs = {size: render(layers, size) for size in SIZES}
        rendered.append((name, imgs))
        with open(os.path.join(args.out, name + ".ico"), "wb") as f:
            f.write(ico_file([(size, ico_image(imgs[size])) for size in SIZES]))
    if args.sheet:
        with open(args.sheet, "wb") as f:
            f.write(contact_sheet(rendered))


if __name__ == "__main__":
    main()
