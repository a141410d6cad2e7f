#!/usr/bin/env python3
"""Draws viewer/win32/res/KanopaViewer.ico: a manila folder with a yellow note pinned to
its front. Usage: tools/make_viewer_icon.py [OUTPUT.ico]

Run by hand after changing the drawing; the build uses the committed .ico and needs
no Python. Standard library only. Each size is drawn at 8x and averaged down, so the
edges are anti-aliased; the images are stored as 32-bit BMP entries with an AND mask.
"""
import struct
import sys
from pathlib import Path

SIZES = (16, 32, 48)
SUPER = 8

# Colours as (r, g, b, a).
OUTLINE = (120, 82, 20, 255)
FOLDER_BACK = (222, 168, 58, 255)
FOLDER_FRONT = (247, 205, 92, 255)
NOTE = (255, 252, 210, 255)
NOTE_EDGE = (150, 140, 90, 255)
LINES = (90, 110, 170, 255)
PIN = (214, 48, 49, 255)


def inside_round_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def inside_polygon(x, y, pts):
    hit = False
    j = len(pts) - 1
    for i, (xi, yi) in enumerate(pts):
        xj, yj = pts[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def shade(u, v, size):
    """Colour of the point (u, v) in the unit square; later shapes lie on top."""
    o = 1.4 / size  # outline width: about one pixel at every size
    colour = None
    # Back of the folder with its tab.
    back = [(0.04, 0.22), (0.36, 0.22), (0.44, 0.12), (0.96, 0.12), (0.96, 0.90), (0.04, 0.90)]
    if inside_round_rect(u, v, 0.04 - o, 0.12 - o, 0.96 + o, 0.90 + o, 0.05) and (
            v >= 0.22 - o or u >= 0.36 - o):
        colour = OUTLINE
    if inside_polygon(u, v, back):
        colour = FOLDER_BACK
    # Front flap, slanted like an open folder.
    front = [(0.04, 0.34), (0.96, 0.34), (0.96, 0.90), (0.04, 0.90)]
    front_outer = [(0.04 - o, 0.34 - o), (0.96 + o, 0.34 - o), (0.96 + o, 0.90 + o),
                   (0.04 - o, 0.90 + o)]
    if inside_polygon(u, v, front_outer):
        colour = OUTLINE
    if inside_polygon(u, v, front):
        colour = FOLDER_FRONT
    # The note, tilted a little, over the right half of the folder.
    nu, nv = u - 0.66, v - 0.52
    ru, rv = nu * 0.985 + nv * 0.17, -nu * 0.17 + nv * 0.985  # rotate by about -10 degrees
    if abs(ru) <= 0.27 + o and abs(rv) <= 0.33 + o:
        colour = NOTE_EDGE
    if abs(ru) <= 0.27 and abs(rv) <= 0.33:
        colour = NOTE
        # Three ruled lines, dropped at 16 px where they would only blur.
        if size >= 32:
            for line in (-0.12, 0.02, 0.16):
                if abs(rv - line) <= 0.025 and abs(ru) <= 0.19:
                    colour = LINES
        elif abs(rv - 0.02) <= 0.05 and abs(ru) <= 0.17:
            colour = LINES
    # The pin's head at the note's top.
    pu, pv = 0.62, 0.22
    if (u - pu) ** 2 + (v - pv) ** 2 <= 0.085 ** 2:
        colour = PIN
    return colour


def render(size):
    """Rows bottom-up of BGRA bytes, as a BMP entry stores them."""
    rows = []
    n = SUPER * SUPER
    for y in range(size - 1, -1, -1):
        row = bytearray()
        for x in range(size):
            r = g = b = a = 0
            for sy in range(SUPER):
                for sx in range(SUPER):
                    c = shade((x + (sx + 0.5) / SUPER) / size, (y + (sy + 0.5) / SUPER) / size,
                              size)
                    if c:
                        r += c[0] * c[3]
                        g += c[1] * c[3]
                        b += c[2] * c[3]
                        a += c[3]
            if a:
                row += bytes((round(b / a), round(g / a), round(r / a), round(a / n)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def bmp_entry(size):
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(rows)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in rows:
        bits = bytearray(mask_stride)
        for x in range(size):
            if row[x * 4 + 3] == 0:  # fully transparent: set in the AND mask
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def main():
    default = Path(__file__).resolve().parent.parent / "viewer" / "win32" / "res" / "KanopaViewer.ico"
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else default
    images = [bmp_entry(s) for s in SIZES]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    data += b"".join(images)
    out.write_bytes(data)


if __name__ == "__main__":
    main()
