#!/usr/bin/env python3
# Draws the program's icon (a written page and an arrow to a new page) and writes it beside this
# script: pomvex.png at 32 x 32 (the window's icon), and pomvex_N.png at the other sizes that the
# desktop's menus and launchers use, and pomvex.ico (16 to 256 pixels) for the Windows programs and
# their installer. The drawing is made on a 32 x 32 grid and scaled. Standard library only; run it
# again after changing the drawing.
import math
import os
import struct
import zlib

GRID = 32  # the drawing's own size; the coordinates below are in its units
SIZES = (16, 32, 48, 64, 128, 256)
ICO_SIZES = (16, 32, 48, 256)
SAMPLES = 4  # sub-pixels per side, for smooth edges

PAPER = (255, 255, 250)
INK = (60, 64, 72)
TEXT = (120, 128, 140)
BADGE = (32, 110, 200)
ARROW = (255, 255, 255)


def inside_page(x, y):
    # The page from (4, 2) to (22, 29), its top right corner folded.
    if not (4 <= x <= 22 and 2 <= y <= 29):
        return None
    if x - 16 > y - 2:  # beyond the fold
        return None
    edge = x < 5 or x > 21 or y < 3 or y > 28 or abs((x - 16) - (y - 2)) < 0.9
    if edge:
        return INK
    if 16 <= x and y <= 8 and x - 16 < y - 2:
        return (225, 228, 235)  # the folded flap
    for row in (10, 14, 18, 22):
        if row <= y < row + 1.6 and 7 <= x <= (19 if row != 22 else 13):
            return TEXT
    return PAPER


def inside_badge(x, y):
    cx, cy, r = 23.5, 23.5, 8.0
    d = math.hypot(x - cx, y - cy)
    if d > r:
        return None
    if d > r - 1.1:
        return (20, 70, 140)
    # A right-pointing arrow: a shaft and a head.
    if 18.5 <= x <= 24 and 22 <= y <= 25:
        return ARROW
    if 23.5 <= x <= 28.5 and abs(y - 23.5) <= (28.5 - x) * 0.9:
        return ARROW
    return BADGE


def pixel(px, py, scale):
    acc = [0.0, 0.0, 0.0, 0.0]
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = (px + (sx + 0.5) / SAMPLES) * scale
            y = (py + (sy + 0.5) / SAMPLES) * scale
            colour = inside_badge(x, y) or inside_page(x, y)
            if colour:
                acc[0] += colour[0]
                acc[1] += colour[1]
                acc[2] += colour[2]
                acc[3] += 255
    n = SAMPLES * SAMPLES
    alpha = acc[3] / n
    if alpha == 0:
        return (0, 0, 0, 0)
    cover = acc[3] / 255
    return tuple(round(c / cover) for c in acc[:3]) + (round(alpha),)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_icon(size):
    scale = GRID / size
    rows = b""
    for y in range(size):
        rows += b"\x00" + b"".join(bytes(pixel(x, y, scale)) for x in range(size))
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(rows, 9))
    png += chunk(b"IEND", b"")
    name = "pomvex.png" if size == GRID else "pomvex_%d.png" % size
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), name)
    with open(path, "wb") as out:
        out.write(png)
    return png


def write_ico(pngs):
    # A Windows icon file: its header, one directory entry per size (0 stands for 256), then the
    # images, each a PNG.
    header = struct.pack("<HHH", 0, 1, len(pngs))
    offset = len(header) + 16 * len(pngs)
    entries = b""
    for size, png in pngs:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(png), offset)
        offset += len(png)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pomvex.ico")
    with open(path, "wb") as out:
        out.write(header + entries + b"".join(png for _, png in pngs))


def main():
    pngs = {size: write_icon(size) for size in SIZES}
    write_ico([(size, pngs[size]) for size in ICO_SIZES])


if __name__ == "__main__":
    main()
