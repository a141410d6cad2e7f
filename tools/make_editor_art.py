#!/usr/bin/env python3
"""Draws the editor's pictures: its icon and its toolbar strips.

    editor/win32/res/Kanopa.ico          16, 24, 32, 48 and 256 px
    editor/win32/res/toolbar_16.bmp      eight 16 x 16 pictures side by side (100 %)
    editor/win32/res/toolbar_24.bmp      the same at 24 x 24 (150 %)
    editor/win32/res/toolbar_32.bmp      the same at 32 x 32 (200 %)

Toolbar order: New, Open, Save, Calendar, FixedForm, Copy, Font, BackColor. The strips
are 32-bit bottom-up BMPs with straight (not premultiplied) alpha, for an ILC_COLOR32
image list. Every size is drawn from its own pixel grid, with straight edges on whole
pixels and lines one pixel wide at 100 % and 150 %, two at 200 %; only curves and
slants are anti-aliased (8 x 8 samples a pixel).

The icon shares the viewer's colours: its yellow note with ruled lines and red pin now
lies on the folder with a pencil writing on it.

Run by hand after changing a drawing; the build uses the committed files and needs no
Python. Standard library only.
    python3 tools/make_editor_art.py [--preview DIR]
--preview also writes enlarged PNGs of everything into DIR for looking at.
"""
import math
import struct
import sys
import zlib
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
RES = ROOT / "editor" / "win32" / "res"

# Colours as (r, g, b). The first group is the viewer icon's.
FOLDER_OUTLINE = (120, 82, 20)
FOLDER_BACK = (222, 168, 58)
FOLDER_FRONT = (247, 205, 92)
NOTE = (255, 252, 210)
NOTE_EDGE = (150, 140, 90)
NOTE_LINES = (90, 110, 170)
PIN = (214, 48, 49)

INK = (64, 72, 92)           # outlines of paper things
PAPER = (255, 255, 255)
PAPER_SHADE = (226, 232, 240)
TEXT_LINE = (120, 132, 160)
DISK = (52, 101, 178)
DISK_DARK = (30, 58, 112)
METAL = (200, 206, 214)
CAL_RED = (210, 52, 52)
CAL_CELL = (150, 160, 180)
BOARD = (170, 112, 52)
BOARD_DARK = (110, 68, 26)
CLIP = (150, 156, 166)
FONT_BLUE = (36, 64, 150)
PALETTE = (236, 204, 150)
PALETTE_EDGE = (140, 100, 50)
PENCIL_BODY = (242, 178, 40)
PENCIL_DARK = (160, 104, 20)
PENCIL_WOOD = (240, 214, 170)
PENCIL_LEAD = (50, 50, 50)
ERASER = (236, 120, 140)
FERRULE = (170, 176, 186)

SUPER = 8


# ---------------------------------------------------------------- shapes ----
# A shape is (bbox, inside(x, y)) in pixel coordinates: x to the right, y down,
# pixel (i, j) covering [i, i+1) x [j, j+1).

def rect(x0, y0, x1, y1):
    return (x0, y0, x1, y1), lambda x, y: x0 <= x < x1 and y0 <= y < y1


def round_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return (x0, y0, x1, y1), inside


def ellipse(cx, cy, rx, ry):
    return (cx - rx, cy - ry, cx + rx, cy + ry), \
        lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def polygon(pts):
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]

    def inside(x, y):
        hit = False
        j = len(pts) - 1
        for i, (xi, yi) in enumerate(pts):
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return (min(xs), min(ys), max(xs), max(ys)), inside


def segment(x0, y0, x1, y1, width):
    """A straight stroke with square ends cut flush at both end points."""
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy)
    nx, ny = -dy / length * width / 2, dx / length * width / 2
    return polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)])


def minus(shape, hole):
    (box, a), (_, b) = shape, hole
    return box, lambda x, y: a(x, y) and not b(x, y)


def rotated(shape, cx, cy, degrees):
    """The shape turned about (cx, cy); its box grows to cover every turn."""
    (x0, y0, x1, y1), inside = shape
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    corners = [(x, y) for x in (x0, x1) for y in (y0, y1)]
    turned = [(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c)
              for x, y in corners]

    def turned_inside(x, y):
        u, v = x - cx, y - cy
        return inside(cx + u * c + v * s, cy - u * s + v * c)
    return (min(p[0] for p in turned), min(p[1] for p in turned),
            max(p[0] for p in turned), max(p[1] for p in turned)), turned_inside


# ---------------------------------------------------------------- canvas ----

class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def fill(self, shape, colour, alpha=1.0):
        (x0, y0, x1, y1), inside = shape
        n = SUPER * SUPER
        for j in range(max(0, int(math.floor(y0))), min(self.size, int(math.ceil(y1)) + 1)):
            for i in range(max(0, int(math.floor(x0))), min(self.size, int(math.ceil(x1)) + 1)):
                hits = 0
                for sy in range(SUPER):
                    y = j + (sy + 0.5) / SUPER
                    for sx in range(SUPER):
                        if inside(i + (sx + 0.5) / SUPER, y):
                            hits += 1
                if hits:
                    self.blend(i, j, colour, alpha * hits / n)

    def blend(self, i, j, colour, a):
        p = self.px[j * self.size + i]
        out_a = a + p[3] * (1 - a)
        for k in range(3):
            p[k] = (colour[k] * a + p[k] * p[3] * (1 - a)) / out_a
        p[3] = out_a

    def framed(self, outer, inner, edge, face):
        """An outlined area: `outer` in the edge colour, `inner` in the face colour."""
        self.fill(outer, edge)
        self.fill(inner, face)

    def rows_bgra(self, bottom_up):
        rows = []
        order = range(self.size - 1, -1, -1) if bottom_up else range(self.size)
        for j in order:
            row = bytearray()
            for i in range(self.size):
                r, g, b, a = self.px[j * self.size + i]
                row += bytes((round(b), round(g), round(r), round(a * 255)))
            rows.append(bytes(row))
        return rows


# ------------------------------------------------------- toolbar pictures ----
# Each draws on a size x size canvas. `w` is the line width of the size: one pixel at
# 16 and 24, two at 32. Coordinates are whole pixels wherever an edge is straight.

def line_width(size):
    return 1 if size < 32 else 2


def g(size, fraction):
    """A fraction of the picture, on the pixel grid of this size."""
    return round(size * fraction)


def draw_page(c, x0, y0, x1, y1, fold, w, face=PAPER, edge=INK):
    """A sheet with its top-right corner folded down."""
    outer = polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)])
    inner = polygon([(x0 + w, y0 + w), (x1 - fold - w * 0.4, y0 + w), (x1 - w, y0 + fold + w * 0.4),
                     (x1 - w, y1 - w), (x0 + w, y1 - w)])
    c.framed(outer, inner, edge, face)
    # The folded corner: shaded, outlined along its two inner edges.
    c.fill(polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)]), PAPER_SHADE)
    c.fill(rect(x1 - fold, y0, x1 - fold + w, y0 + fold), edge)
    c.fill(rect(x1 - fold, y0 + fold - w, x1, y0 + fold), edge)
    c.fill(segment(x1 - fold, y0, x1, y0 + fold, w * 1.2), edge)


def text_lines(c, x0, x1, y0, y1, count, w, colour=TEXT_LINE, ragged=True):
    step = (y1 - y0) / max(1, count - 1) if count > 1 else 0
    for k in range(count):
        y = round(y0 + k * step)
        end = x1 - (round((x1 - x0) * 0.3) if ragged and k == count - 1 else 0)
        c.fill(rect(x0, y, end, y + w), colour)


def pic_new(c, s, w):
    draw_page(c, g(s, 3 / 16), g(s, 1 / 16), g(s, 13 / 16), g(s, 15 / 16), g(s, 4 / 16), w)
    # A spark at the lower left says "new".
    if s == 16:
        # Drawn pixel by pixel: a cross with a bright middle.
        cx, cy = 4, 12
        c.fill(rect(cx - 2, cy, cx + 3, cy + 1), (238, 170, 0))
        c.fill(rect(cx, cy - 2, cx + 1, cy + 3), (238, 170, 0))
        c.fill(rect(cx, cy, cx + 1, cy + 1), (255, 226, 90))
        return
    cx, cy, r = g(s, 5 / 16) + 0.5, g(s, 12 / 16) + 0.5, s * 3.2 / 16
    star = []
    for k in range(8):
        radius = r if k % 2 == 0 else r * 0.38
        angle = math.radians(k * 45)
        star.append((cx + radius * math.sin(angle), cy - radius * math.cos(angle)))
    c.fill(polygon(star), (238, 170, 0))
    c.fill(ellipse(cx, cy, r * 0.3, r * 0.3), (255, 226, 90))


def draw_folder_back(c, s, w):
    x0, x1 = g(s, 1 / 16), g(s, 14 / 16)
    top, tab_end = g(s, 3 / 16), g(s, 6 / 16)
    body_top, bottom = g(s, 5 / 16), g(s, 14 / 16)
    outer = polygon([(x0, top), (tab_end, top), (tab_end + w + 1, body_top), (x1, body_top),
                     (x1, bottom), (x0, bottom)])
    inner = polygon([(x0 + w, top + w), (tab_end - w * 0.5, top + w), (tab_end + 1, body_top + w),
                     (x1 - w, body_top + w), (x1 - w, bottom - w), (x0 + w, bottom - w)])
    c.framed(outer, inner, FOLDER_OUTLINE, FOLDER_BACK)
    return x0, x1, bottom


def pic_open(c, s, w):
    x0, x1, bottom = draw_folder_back(c, s, w)
    # A sheet standing in the folder.
    c.framed(rect(g(s, 3 / 16), g(s, 4 / 16), g(s, 12 / 16), g(s, 11 / 16)),
             rect(g(s, 3 / 16) + w, g(s, 4 / 16) + w, g(s, 12 / 16) - w, g(s, 11 / 16)),
             INK, PAPER)
    # The front flap, tipped forward: the folder is open.
    ft = g(s, 8 / 16)
    slant = g(s, 2 / 16)
    outer = polygon([(x0 + slant, ft), (s, ft), (x1, bottom), (x0, bottom)])
    inner = polygon([(x0 + slant + w * 1.3, ft + w), (s - w * 1.8, ft + w), (x1 - w, bottom - w),
                     (x0 + w * 1.1, bottom - w)])
    c.framed(outer, inner, FOLDER_OUTLINE, FOLDER_FRONT)


def pic_save(c, s, w):
    x0, y0, x1, y1 = g(s, 2 / 16), g(s, 2 / 16), g(s, 14 / 16), g(s, 14 / 16)
    cut = max(2, g(s, 2 / 16))
    outer = polygon([(x0, y0), (x1 - cut, y0), (x1, y0 + cut), (x1, y1), (x0, y1)])
    inner = polygon([(x0 + w, y0 + w), (x1 - cut - w * 0.4, y0 + w), (x1 - w, y0 + cut + w * 0.4),
                     (x1 - w, y1 - w), (x0 + w, y1 - w)])
    c.framed(outer, inner, DISK_DARK, DISK)
    # Shutter at the top with its window.
    sx0, sx1, sy1 = g(s, 5 / 16), g(s, 11 / 16), g(s, 6 / 16)
    c.fill(rect(sx0, y0 + w, sx1, sy1), METAL)
    c.fill(rect(g(s, 9 / 16), y0 + w + (1 if s >= 24 else 0), g(s, 10 / 16), sy1 - (1 if s >= 24 else 0)),
           DISK_DARK)
    # Label at the bottom.
    lx0, lx1, ly0 = g(s, 4 / 16), g(s, 12 / 16), g(s, 9 / 16)
    c.fill(rect(lx0, ly0, lx1, y1 - w), PAPER)
    if s >= 24:
        text_lines(c, lx0 + w + 1, lx1 - w - 1, ly0 + w + 1, y1 - w - 2 * w - 1, 2, w, TEXT_LINE, False)


def pic_calendar(c, s, w):
    x0, y0, x1, y1 = g(s, 1 / 16), g(s, 3 / 16), g(s, 15 / 16), g(s, 15 / 16)
    c.framed(rect(x0, y0, x1, y1), rect(x0 + w, y0 + w, x1 - w, y1 - w), INK, PAPER)
    head = g(s, 6 / 16)
    c.fill(rect(x0 + w, y0 + w, x1 - w, head), CAL_RED)
    # Two rings over the binding.
    for fx in (5 / 16, 11 / 16):
        rx = g(s, fx)
        c.fill(rect(rx - w, g(s, 1 / 16), rx + w if w > 1 else rx + 1, y0 + w + max(1, w)), INK)
    # Day cells: 4 x 3 at 16, 5 x 4 at the larger sizes; one picked out.
    cols, rows = (4, 3) if s == 16 else (5, 4)
    gx0, gx1 = x0 + w + 1, x1 - w - 1
    gy0, gy1 = head + 1, y1 - w - 1
    cell = max(1, w)
    for r in range(rows):
        for k in range(cols):
            cx = gx0 + round(k * (gx1 - gx0 - cell) / (cols - 1))
            cy = gy0 + round(r * (gy1 - gy0 - cell) / (rows - 1)) if rows > 1 else gy0
            size = cell + (1 if s == 24 else 0)
            colour = CAL_RED if (r, k) == (rows - 2, cols - 2) else CAL_CELL
            if colour is CAL_RED:
                c.fill(rect(cx - 1, cy - 1, cx + size + 1, cy + size + 1), CAL_RED)
            else:
                c.fill(rect(cx, cy, cx + size, cy + size), colour)


def pic_fixed_form(c, s, w):
    # A clipboard holding a sheet of ready-made lines.
    x0, y0, x1, y1 = g(s, 2 / 16), g(s, 2 / 16), g(s, 14 / 16), g(s, 15 / 16)
    c.framed(round_rect(x0, y0, x1, y1, max(1.0, s / 16)),
             round_rect(x0 + w, y0 + w, x1 - w, y1 - w, max(0.5, s / 32)), BOARD_DARK, BOARD)
    px0, py0, px1, py1 = x0 + w + 1, g(s, 4 / 16), x1 - w - 1, y1 - w - 1
    c.fill(rect(px0, py0, px1, py1), PAPER)
    clip_x0, clip_x1 = g(s, 5 / 16), g(s, 11 / 16)
    c.framed(rect(clip_x0, g(s, 1 / 16), clip_x1, g(s, 5 / 16)),
             rect(clip_x0 + w, g(s, 1 / 16) + w, clip_x1 - w, g(s, 5 / 16) - w), INK, CLIP)
    count = 3 if s == 16 else 4
    bullet = max(1, w)
    lx0 = px0 + 1 + (1 if s >= 24 else 0)
    ly0 = py0 + (3 if s == 16 else g(s, 3 / 16) + 0)
    ly1 = py1 - (2 if s == 16 else g(s, 2 / 16))
    step = (ly1 - ly0) / (count - 1)
    for k in range(count):
        y = round(ly0 + k * step)
        c.fill(rect(lx0, y, lx0 + bullet, y + w), CAL_RED)
        end = px1 - 1 - (round((px1 - px0) * 0.25) if k % 2 else 0)
        c.fill(rect(lx0 + bullet + max(1, w), y, end, y + w), TEXT_LINE)


def draw_note(c, x0, y0, x1, y1, w, lines):
    c.framed(rect(x0, y0, x1, y1), rect(x0 + w, y0 + w, x1 - w, y1 - w), NOTE_EDGE, NOTE)
    if lines:
        inset = w + max(1, w)
        text_lines(c, x0 + inset, x1 - inset, y0 + inset + w + (1 if w == 1 else 0),
                   y1 - inset - w, lines, w, NOTE_LINES)


def pic_copy(c, s, w):
    # The same memo many times over: stacked notes, each a step down and to the right.
    count = 2 if s == 16 else 3
    size = g(s, 10 / 16) if s == 16 else g(s, 9 / 16)
    step = (s - size - 2 * g(s, 1 / 16)) // (count - 1)
    start = g(s, 1 / 16)
    for k in range(count):
        x = start + k * step
        last = k == count - 1
        draw_note(c, x, x, x + size, x + size, w, (2 if s == 16 else 3) if last else 0)
    # The pin of the front note.
    x = start + (count - 1) * step
    c.fill(ellipse(x + size / 2, x + w + 0.5, s * 1.7 / 16, s * 1.7 / 16), PIN)


def draw_letter_a(c, x0, x1, top, base, stroke, colour):
    """A plain sans-serif capital A between x0 and x1, from `top` down to `base`."""
    mid = (x0 + x1) / 2
    h = stroke * 0.6                      # half the flat top
    t = stroke * 1.3                      # each leg's width measured across
    outer = polygon([(mid - h, top), (mid + h, top), (x1, base), (x0, base)])
    # Between the legs: open above and below the cross bar.
    apex = top + (t - h) * (base - top) / (mid - h - x0)
    between_box, between = polygon([(mid, apex), (x1 - t, base + 1), (x0 + t, base + 1)])
    bar_top = top + (base - top) * 0.58
    bar_bottom = bar_top + stroke * 0.9
    hole = (between_box, lambda x, y: between(x, y) and not bar_top <= y < bar_bottom)
    c.fill(minus(outer, hole), colour)


def pic_font(c, s, w):
    stroke = {16: 2.2, 24: 3.2, 32: 4.2}[s]
    draw_letter_a(c, g(s, 1.5 / 16), g(s, 14.5 / 16), g(s, 1 / 16), g(s, 12 / 16), stroke,
                  FONT_BLUE)
    # The colour bar under the letter: the dialog picks the text colour too.
    c.fill(rect(g(s, 1 / 16), g(s, 13 / 16), g(s, 15 / 16), g(s, 15 / 16)), CAL_RED)


def pic_back_color(c, s, w):
    # A painter's palette with four dabs of colour.
    cx, cy = s * 0.5, s * 0.53
    rx, ry = s * 0.47, s * 0.40
    body = minus(ellipse(cx, cy, rx, ry), ellipse(cx + rx * 0.35, cy + ry * 0.55, s * 0.12, s * 0.10))
    inner = minus(ellipse(cx, cy, rx - w, ry - w),
                  ellipse(cx + rx * 0.35, cy + ry * 0.55, s * 0.12 + w, s * 0.10 + w))
    c.framed(body, inner, PALETTE_EDGE, PALETTE)
    r = s * (1.9 if s == 16 else 1.7) / 16
    for (fx, fy), colour in zip(((0.24, 0.45), (0.42, 0.28), (0.63, 0.28), (0.80, 0.45)),
                                ((214, 48, 49), (240, 190, 20), (60, 170, 80), (50, 100, 200))):
        c.fill(ellipse(s * fx, s * fy, r, r), colour)


TOOLBAR = (pic_new, pic_open, pic_save, pic_calendar, pic_fixed_form, pic_copy, pic_font,
           pic_back_color)


def toolbar_strip(size):
    canvases = []
    for draw in TOOLBAR:
        c = Canvas(size)
        draw(c, size, line_width(size))
        canvases.append(c)
    return canvases


# ------------------------------------------------------------------ icon ----

def draw_icon(c, s):
    u = s / 16.0  # one sixteenth of the icon
    small = s <= 32
    # Small sizes keep every straight edge on whole pixels and the note upright.
    q = (lambda v: float(round(v))) if small else (lambda v: v)
    o = max(1.0, round(s / 32)) if small else s / 32  # outline width
    tilt = 0 if small else -4
    detailed = s >= 32
    # The viewer's folder behind everything, its tab to the left of the note.
    top, tab, body, front, bottom = q(3 * u), q(5.5 * u), q(4.5 * u), q(8 * u), q(15 * u)
    left, right = q(0.5 * u), q(15.5 * u)
    back = polygon([(left, top), (tab, top), (tab + o + u * 0.4, body), (right, body), (right, bottom),
                    (left, bottom)])
    back_in = polygon([(left + o, top + o), (tab - o * 0.4, top + o), (tab + u * 0.4, body + o),
                       (right - o, body + o), (right - o, bottom - o), (left + o, bottom - o)])
    c.framed(back, back_in, FOLDER_OUTLINE, FOLDER_BACK)
    c.framed(rect(left, front, right, bottom), rect(left + o, front + o, right - o, bottom - o),
             FOLDER_OUTLINE, FOLDER_FRONT)
    # The viewer's note, larger and upright: the memo being written.
    nx0, ny0, nx1, ny1 = q(3.5 * u), q(1.5 * u), q(12 * u), q(13.5 * u)
    ncx, ncy = (nx0 + nx1) / 2, (ny0 + ny1) / 2
    c.framed(rotated(rect(nx0, ny0, nx1, ny1), ncx, ncy, tilt),
             rotated(rect(nx0 + o, ny0 + o, nx1 - o, ny1 - o), ncx, ncy, tilt), NOTE_EDGE, NOTE)
    lines = (5 * u, 7.5 * u, 10 * u) if detailed else (6 * u, 9 * u) if s == 24 else (6 * u, 9 * u)
    thick = o if small else 0.7 * u
    for k, y in enumerate(lines):
        right_end = q(10.5 * u) if k < len(lines) - 1 else q(8 * u)
        c.fill(rotated(rect(q(5 * u), q(y), right_end, q(y) + thick), ncx, ncy, tilt), NOTE_LINES)
    # The pin.
    c.fill(ellipse(q(7.75 * u), q(2.5 * u), 1.5 * u, 1.5 * u), PIN)
    if detailed:
        c.fill(ellipse(q(7.75 * u) - 0.45 * u, q(2.5 * u) - 0.45 * u, 0.45 * u, 0.45 * u),
               (250, 160, 160))
    # The pencil, writing on the note from the lower right.
    length, width = 9.5 * u, (3 if s == 16 else 2.6) * u
    tip_x, tip_y = 7.6 * u, 12.2 * u
    cx = tip_x + length / 2 * math.cos(math.radians(45))
    cy = tip_y - length / 2 * math.sin(math.radians(45))
    x0, x1 = cx - length / 2, cx + length / 2
    y0, y1 = cy - width / 2, cy + width / 2
    point = 2.6 * u
    ferrule = 0 if s == 16 else 1.2 * u
    eraser = 1.4 * u

    def turned(shape):
        return rotated(shape, cx, cy, -45)
    # Laid out flat, point to the left, then turned up to the right.
    c.fill(turned(polygon([(x0 - o, cy), (x0 + point, y0 - o), (x1 + o, y0 - o), (x1 + o, y1 + o),
                           (x0 + point, y1 + o)])), PENCIL_DARK)
    c.fill(turned(polygon([(x0 + o * 0.8, cy), (x0 + point, y0), (x0 + point, y1)])), PENCIL_WOOD)
    c.fill(turned(polygon([(x0 + o * 0.8, cy), (x0 + point * 0.4, cy - width * 0.3),
                           (x0 + point * 0.4, cy + width * 0.3)])), PENCIL_LEAD)
    c.fill(turned(rect(x0 + point, y0, x1 - eraser - ferrule, y1)), PENCIL_BODY)
    if detailed:
        c.fill(turned(rect(x0 + point, cy - width * 0.08, x1 - eraser - ferrule, cy + width * 0.08)),
               (226, 150, 20))
    if ferrule:
        c.fill(turned(rect(x1 - eraser - ferrule, y0, x1 - eraser, y1)), FERRULE)
    c.fill(turned(round_rect(x1 - eraser, y0, x1, y1, min(width / 2, 0.6 * u))), ERASER)


# --------------------------------------------------------------- writers ----

def bmp_file(canvases):
    """One 32-bit bottom-up BMP with the pictures side by side."""
    size = canvases[0].size
    rows_each = [c.rows_bgra(bottom_up=True) for c in canvases]
    pixels = b"".join(b"".join(rows[j] for rows in rows_each) for j in range(size))
    width = size * len(canvases)
    info = struct.pack("<IiiHHIIiiII", 40, width, size, 1, 32, 0, len(pixels), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def ico_bmp_entry(canvas):
    size = canvas.size
    rows = canvas.rows_bgra(bottom_up=True)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in rows:
        bits = bytearray(mask_stride)
        for x in range(size):
            if row[x * 4 + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + b"".join(rows) + bytes(mask)


def png(width, height, rgba_rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + row for row in rgba_rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def rgba_rows(canvas):
    return [bytes(b for px in (row[i:i + 4] for i in range(0, len(row), 4))
                  for b in (px[2], px[1], px[0], px[3]))
            for row in canvas.rows_bgra(bottom_up=False)]


def ico_file(canvases):
    images = []
    for c in canvases:
        # The large picture as PNG, as icon files have held since Windows Vista.
        images.append(png(c.size, c.size, rgba_rows(c)) if c.size >= 256 else ico_bmp_entry(c))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, image in zip(canvases, images):
        dim = c.size if c.size < 256 else 0
        data += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return data + b"".join(images)


def preview(canvases, scale, path):
    """The pictures side by side on a light grey ground, each pixel `scale` times."""
    size = canvases[0].size
    gap = 4
    width = len(canvases) * (size * scale + gap) + gap
    height = size * scale + 2 * gap
    ground = (236, 236, 236)
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            k, rem = divmod(x - gap, size * scale + gap)
            py = (y - gap) // scale
            if 0 <= x - gap and rem < size * scale and 0 <= py < size and k < len(canvases):
                r, gg, b, a = canvases[k].px[py * size + rem // scale]
                row += bytes(round(ch * a + gr * (1 - a)) for ch, gr in zip((r, gg, b), ground)) + b"\xff"
            else:
                row += bytes(ground) + b"\xff"
        rows.append(bytes(row))
    path.write_bytes(png(width, height, rows))


def main():
    preview_dir = None
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        preview_dir = Path(sys.argv[2])
        preview_dir.mkdir(parents=True, exist_ok=True)
    RES.mkdir(parents=True, exist_ok=True)
    for size in (16, 24, 32):
        strip = toolbar_strip(size)
        (RES / f"toolbar_{size}.bmp").write_bytes(bmp_file(strip))
        if preview_dir:
            preview(strip, 8 if size < 32 else 6, preview_dir / f"toolbar_{size}.png")
    global SUPER
    icons = []
    for size in (16, 24, 32, 48, 256):
        SUPER = 8 if size < 256 else 3
        c = Canvas(size)
        draw_icon(c, size)
        icons.append(c)
    (RES / "Kanopa.ico").write_bytes(ico_file(icons))
    if preview_dir:
        for c in icons:
            preview([c], max(1, 256 // c.size) if c.size < 256 else 2, preview_dir / f"icon_{c.size}.png")


if __name__ == "__main__":
    main()
