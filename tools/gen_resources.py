#!/usr/bin/env python3
"""Generates Quillet's embedded art and sounds into resources/.

Standard library only; ImageMagick's `convert` is used for one step, turning
the popup's PPM into the committed JPEG.  Every run writes the same bytes:
all randomness comes from fixed seeds.

    python3 tools/gen_resources.py
"""
import math
import os
import random
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources")

RED = (255, 0, 0)          # window-shape key: cut away
MAGENTA = (255, 0, 255)    # icon transparency key
CAPTION = (70, 99, 145)    # the bar buttons' caption colour


# ---------------------------------------------------------------- pictures

def clamp8(v):
    return 0 if v < 0 else 255 if v > 255 else int(round(v))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def shade(c, f):
    return tuple(c[i] * f for i in range(3))


class Image:
    def __init__(self, w, h, fill=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[tuple(fill) for _ in range(w)] for _ in range(h)]

    def get(self, x, y):
        return self.px[y][x]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = tuple(c)

    def blend(self, x, y, c, a):
        if 0 <= x < self.w and 0 <= y < self.h and a > 0:
            self.px[y][x] = mix(self.px[y][x], c, min(1.0, a))

    def rect(self, x0, y0, x1, y1, c, a=1.0):
        """Fills x0 <= x < x1, y0 <= y < y1."""
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.blend(x, y, c, a)

    def ints(self):
        return [[tuple(clamp8(v) for v in p) for p in row] for row in self.px]


def write_bmp24(path, img):
    rows = img.ints()
    stride = (img.w * 3 + 3) & ~3
    data = bytearray()
    for y in range(img.h - 1, -1, -1):       # bottom-up
        line = bytearray()
        for r, g, b in rows[y]:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, img.w, img.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_ppm(path, img):
    rows = img.ints()
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (img.w, img.h))
        f.write(bytes(v for row in rows for p in row for v in p))


def coverage(inside, x, y, n=4):
    """Share of an n x n grid of samples in pixel (x, y) for which inside() holds."""
    hit = 0
    for j in range(n):
        for i in range(n):
            if inside(x + (i + 0.5) / n, y + (j + 0.5) / n):
                hit += 1
    return hit / (n * n)


def distance_inward(inside_px, w, h):
    """Chamfer distance (4-neighbour steps) of each inside pixel to the outside."""
    big = 10 ** 6
    d = [[big if inside_px[y][x] else 0 for x in range(w)] for y in range(h)]
    for y in range(h):
        for x in range(w):
            if d[y][x]:
                up = d[y - 1][x] if y > 0 else 0
                left = d[y][x - 1] if x > 0 else 0
                d[y][x] = min(d[y][x], up + 1, left + 1)
    for y in range(h - 1, -1, -1):
        for x in range(w - 1, -1, -1):
            if d[y][x]:
                down = d[y + 1][x] if y < h - 1 else 0
                right = d[y][x + 1] if x < w - 1 else 0
                d[y][x] = min(d[y][x], down + 1, right + 1)
    return d


def rounded_rect(x0, y0, x1, y1, r):
    """inside(px, py) for a rounded rectangle with corners of radius r."""
    def inside(px, py):
        if px < x0 or px > x1 or py < y0 or py > y1:
            return False
        cx = min(max(px, x0 + r), x1 - r)
        cy = min(max(py, y0 + r), y1 - r)
        return (px - cx) ** 2 + (py - cy) ** 2 <= r * r
    return inside


# 5 x 7 pixel letters for the bar's title.
FONT = {
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "u": ["00000", "00000", "10001", "10001", "10001", "10011", "01101"],
    "i": ["00100", "00000", "01100", "00100", "00100", "00100", "01110"],
    "l": ["01100", "00100", "00100", "00100", "00100", "00100", "01110"],
    "e": ["00000", "00000", "01110", "10001", "11111", "10000", "01110"],
    "t": ["01000", "01000", "11100", "01000", "01000", "01001", "00110"],
}


# ------------------------------------------------------------------ quill

def quill_sampler(size, light=False, detail=True):
    """Returns f(u, v) -> colour or None for the feather in the unit square."""
    bx, by, tx, ty = 0.12, 0.93, 0.90, 0.07
    dx, dy = tx - bx, ty - by
    length = math.hypot(dx, dy)
    dx, dy = dx / length, dy / length
    nx, ny = dy, -dx                       # normal pointing up-left of the axis
    vane_start = 0.24
    shaft = max(0.012, 0.55 / size)
    if light:
        base, tip, rib, nib = (150, 185, 230), (250, 252, 255), (255, 255, 255), (225, 232, 245)
    else:
        base, tip, rib, nib = (38, 70, 140), (125, 175, 235), (235, 243, 252), (30, 40, 75)
    edge_dark = 0.78 if not light else 0.9

    def f(u, v):
        px, py = u - bx, v - by
        a = (px * dx + py * dy) / length          # 0 at the nib, 1 at the tip
        b = (px * nx + py * ny) / length
        if a < -0.01 or a > 1.0:
            return None
        b -= 0.07 * math.sin(math.pi * max(0.0, a))   # the gently bent shaft
        if a < vane_start:                            # bare quill and nib
            t = max(0.0, a) / vane_start
            if abs(b) <= shaft * 0.4 + 0.03 * t:
                return nib if t < 0.45 else mix(nib, rib, (t - 0.45) / 0.55 * 0.7)
            return None
        s = (a - vane_start) / (1 - vane_start)
        prof = math.sin(math.pi * (s ** 0.75)) ** 0.55 * (1 - 0.25 * s)
        w = (0.23 if b > 0 else 0.15) * prof
        if abs(b) <= shaft * 0.5 and s < 0.97:
            return rib
        if abs(b) > w:
            return None
        # two notches where the barbs have parted
        for an, side in ((0.52, 1), (0.7, -1)):
            if b * side > 0 and abs(b) > 0.3 * w:
                if abs((a - an) - abs(b) * 0.9) < 0.016:
                    return None
        c = mix(base, tip, s ** 0.9)
        across = abs(b) / w if w > 0 else 1
        c = mix(c, rib, 0.28 * (1 - across))
        c = shade(c, 1 - (1 - edge_dark) * across ** 2)
        if detail:
            c = shade(c, 1 + 0.05 * math.sin(2 * math.pi * (a * 38 + abs(b) * 26)))
        return c
    return f


def render_sampler(f, w, h, n=4):
    """Anti-aliased RGBA picture of a unit-square sampler."""
    out = []
    for y in range(h):
        row = []
        for x in range(w):
            acc = [0.0, 0.0, 0.0]
            hit = 0
            for j in range(n):
                for i in range(n):
                    c = f((x + (i + 0.5) / n) / w, (y + (j + 0.5) / n) / h)
                    if c is not None:
                        hit += 1
                        for k in range(3):
                            acc[k] += c[k]
            if hit:
                row.append((acc[0] / hit, acc[1] / hit, acc[2] / hit, hit / (n * n)))
            else:
                row.append((0, 0, 0, 0.0))
        out.append(row)
    return out


def paste_rgba(img, rgba, ox, oy):
    for y, row in enumerate(rgba):
        for x, (r, g, b, a) in enumerate(row):
            img.blend(ox + x, oy + y, (r, g, b), a)


# -------------------------------------------------------------------- bar

BAR_W, BAR_H = 121, 300
BUTTON_TOPS = [25, 49, 75, 99, 125, 149, 173, 197, 223, 247, 271]
BUTTON_X, BUTTON_W, BUTTON_H = 34, 82, 23


def bar_right_edge(y):
    # The right edge is trimmed most at the ends, not at all in the middle.
    return BAR_W - 4.5 * ((y - BAR_H / 2) / (BAR_H / 2)) ** 2


def bar_inside(px, py):
    r = 8.0
    right = bar_right_edge(py)
    if px < 0 or py < 0 or py > BAR_H or px > right:
        return False
    cx = min(max(px, r), right - r)
    cy = min(max(py, r), BAR_H - r)
    return (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def make_bar():
    img = Image(BAR_W, BAR_H)
    top, bottom = (238, 243, 250), (204, 217, 237)
    for y in range(BAR_H):
        t = y / (BAR_H - 1)
        row = mix(top, bottom, t)
        for x in range(BAR_W):
            # a faint sheen across the width
            img.set(x, y, shade(row, 1 + 0.025 * math.cos(math.pi * (x - 75) / 90)))
    # soft gloss above the first button
    for y in range(0, 22):
        img.rect(34, y, BAR_W, y + 1, (255, 255, 255), 0.35 * (1 - y / 22))

    # left strip: a deep blue band with the quill and the title
    band_top, band_bottom = (108, 140, 190), (58, 86, 134)
    for y in range(BAR_H):
        c = mix(band_top, band_bottom, y / (BAR_H - 1))
        for x in range(2, 31):
            img.set(x, y, shade(c, 1 + 0.14 * math.cos(math.pi * (x - 14) / 30)))
        img.set(31, y, (236, 242, 250))
        img.set(32, y, mix(c, (200, 214, 236), 0.6))
    quill = render_sampler(quill_sampler(36, light=True), 28, 36)
    paste_rgba(img, quill, 3, 6)
    # a dotted trail between emblem and title
    for i, y in enumerate(range(52, 196, 12)):
        a = 0.75 * (1 - i / 13) + 0.15
        img.blend(16, y, (235, 242, 252), a)
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            img.blend(16 + dx, y + dy, (235, 242, 252), a * 0.4)
    # "Quillet" running up the strip, letter tops facing left
    text = "Quillet"
    scale = 2
    y0 = 286
    x0 = 9
    pos = 0
    for ch in text:
        glyph = FONT[ch]
        for gy, line in enumerate(glyph):
            for gx, bit in enumerate(line):
                if bit == "1":
                    for sy in range(scale):
                        for sx in range(scale):
                            X = x0 + gy * scale + sy
                            Y = y0 - (pos + gx * scale + sx)
                            img.blend(X + 1, Y + 1, (30, 50, 90), 0.5)
        pos += 6 * scale
    pos = 0
    for ch in text:
        glyph = FONT[ch]
        for gy, line in enumerate(glyph):
            for gx, bit in enumerate(line):
                if bit == "1":
                    for sy in range(scale):
                        for sx in range(scale):
                            X = x0 + gy * scale + sy
                            Y = y0 - (pos + gx * scale + sx)
                            img.set(X, Y, mix((255, 255, 255), (214, 228, 248), gy / 7))
        pos += 6 * scale

    # separators between the button groups, in the gaps
    for y, etched in ((73, True), (123, True), (172, False), (221, True), (270, False)):
        for x in range(38, 113):
            fade = min(1.0, (x - 38) / 14, (112 - x) / 14)
            img.blend(x, y, (150, 170, 204), 0.9 * fade)
            if etched:
                img.blend(x, y + 1, (255, 255, 255), 0.8 * fade)

    # outline, frame and highlight
    inside = [[coverage(bar_inside, x, y) >= 0.5 for x in range(BAR_W)] for y in range(BAR_H)]
    dist = distance_inward(inside, BAR_W, BAR_H)
    for y in range(BAR_H):
        for x in range(BAR_W):
            d = dist[y][x]
            if d == 0:
                img.set(x, y, RED)
            elif d == 1:
                img.set(x, y, (86, 112, 156))
            elif d == 2:
                img.blend(x, y, (255, 255, 255), 0.55 if x > 32 else 0.3)
    # nothing but the cut-away may be pure red
    for y in range(BAR_H):
        for x in range(BAR_W):
            if inside[y][x] and tuple(clamp8(v) for v in img.get(x, y)) == RED:
                img.set(x, y, (254, 0, 0))
    return img


# ------------------------------------------------------------------ icons

def icon_canvas():
    return Image(17, 17, MAGENTA)


def draw_shape(img, inside, fill, outline=None, n=3):
    """Hard-edged pixel art: a pixel belongs to the shape when most of it is
    covered; the shape's border pixels take the outline colour."""
    mask = [[coverage(inside, x, y, n) >= 0.5 for x in range(img.w)] for y in range(img.h)]
    for y in range(img.h):
        for x in range(img.w):
            if not mask[y][x]:
                continue
            edge = False
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                xx, yy = x + dx, y + dy
                if not (0 <= xx < img.w and 0 <= yy < img.h) or not mask[yy][xx]:
                    edge = True
            c = fill(x, y) if callable(fill) else fill
            img.set(x, y, outline if (edge and outline) else c)
    return mask


def vgrad(c0, c1, y0, y1):
    return lambda x, y: mix(c0, c1, min(1, max(0, (y - y0) / max(1, y1 - y0))))


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r0, r1):
    return lambda x, y: r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 <= r1 * r1


def box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def polygon(pts):
    def inside(x, y):
        c = False
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                c = not c
            j = i
        return c
    return inside


def segment(x0, y0, x1, y1, r):
    def inside(x, y):
        vx, vy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * vx + (y - y0) * vy) / (vx * vx + vy * vy)))
        return (x - x0 - t * vx) ** 2 + (y - y0 - t * vy) ** 2 <= r * r
    return inside


DARK = (38, 58, 96)


def icon_play():
    img = icon_canvas()
    draw_shape(img, polygon([(4, 2), (15, 8.5), (4, 15)]), vgrad((120, 210, 120), (40, 140, 60), 2, 15), (30, 95, 40))
    return img


def icon_stop():
    img = icon_canvas()
    draw_shape(img, rounded_rect(3, 3, 14, 14, 1.6), vgrad((240, 130, 115), (190, 50, 40), 3, 14), (120, 30, 25))
    return img


def icon_wallpaper():
    img = icon_canvas()
    draw_shape(img, box(1, 2, 16, 15), (235, 225, 200), (120, 90, 50))           # frame
    draw_shape(img, box(3, 4, 14, 13), vgrad((150, 200, 245), (215, 235, 252), 4, 10))  # sky
    draw_shape(img, circle(11.2, 6.6, 1.6), (255, 215, 60))                       # sun
    hill = lambda x, y: 3 <= x <= 14 and 4 <= y <= 13 and y >= 9.5 + 2.5 * math.sin((x - 2) * 0.55)
    draw_shape(img, hill, vgrad((110, 190, 80), (50, 130, 50), 8, 13))
    peak = lambda x, y: 3 <= x <= 14 and 4 <= y <= 13 and y >= 6 + 1.1 * abs(x - 6.5)
    draw_shape(img, peak, vgrad((120, 140, 170), (80, 100, 130), 6, 13))
    return img


def icon_pause():
    img = icon_canvas()
    g = vgrad((130, 170, 235), (50, 85, 160), 3, 14)
    draw_shape(img, rounded_rect(3.5, 3, 7.5, 14, 1), g, DARK)
    draw_shape(img, rounded_rect(9.5, 3, 13.5, 14, 1), g, DARK)
    return img


def icon_cd():
    img = icon_canvas()
    def fill(x, y):
        ang = math.atan2(y + 0.5 - 8.5, x + 0.5 - 8.5)
        tint = (0.5 + 0.5 * math.cos(2 * ang), 0.5 + 0.5 * math.cos(2 * ang + 2.1), 0.5 + 0.5 * math.cos(2 * ang + 4.2))
        base = (205, 212, 225)
        return tuple(base[i] * 0.8 + 255 * 0.2 * tint[i] for i in range(3))
    draw_shape(img, circle(8.5, 8.5, 7.6), fill, (90, 100, 125))
    draw_shape(img, circle(8.5, 8.5, 3.3), (240, 243, 248), (150, 160, 182))
    draw_shape(img, circle(8.5, 8.5, 1.5), MAGENTA)
    img.set(5, 5, (255, 255, 255))
    img.set(6, 4, (255, 255, 255))
    return img


def icon_note():
    img = icon_canvas()
    draw_shape(img, box(2, 2, 13, 16), (255, 246, 190), (150, 120, 50))
    for y in (6, 9, 12):
        for x in range(4, 11):
            img.set(x, y, (150, 170, 205))
    draw_shape(img, box(2, 2, 13, 4.2), (235, 170, 70), (150, 100, 40))
    draw_shape(img, segment(15.2, 4.2, 8.8, 11.8, 1.45), (70, 110, 190), DARK)
    draw_shape(img, segment(8.4, 12.2, 7.4, 13.6, 0.8), (240, 200, 150))
    img.set(7, 13, (60, 40, 30))
    return img


def icon_reminder():
    img = icon_canvas()
    draw_shape(img, circle(3.8, 3.8, 2.4), (240, 190, 60), (150, 100, 30))    # bells
    draw_shape(img, circle(13.2, 3.8, 2.4), (240, 190, 60), (150, 100, 30))
    draw_shape(img, segment(4.5, 14.8, 3.2, 16.2, 0.7), DARK)
    draw_shape(img, segment(12.5, 14.8, 13.8, 16.2, 0.7), DARK)
    draw_shape(img, circle(8.5, 9.5, 6.6), (255, 255, 255), (60, 90, 150))
    draw_shape(img, ring(8.5, 9.5, 5.3, 6.0), (150, 180, 225))
    for x, y in ((8, 5), (8, 6), (8, 7), (8, 8), (8, 9), (9, 9), (10, 9), (11, 9)):
        img.set(x, y, DARK)
    img.set(8, 9, (200, 60, 50))
    return img


def icon_quick():
    img = icon_canvas()
    bolt = polygon([(10.5, 0.3), (2.5, 10), (7.6, 10), (5, 16.8), (14.8, 6.6), (9.6, 6.6), (13, 0.3)])
    draw_shape(img, bolt, vgrad((255, 240, 120), (240, 150, 30), 1, 16), (150, 80, 20))
    return img


def icon_settings():
    img = icon_canvas()
    def gear(x, y):
        dx, dy = x - 8.5, y - 8.5
        r = math.hypot(dx, dy)
        ang = math.atan2(dy, dx)
        tooth = math.cos(8 * ang) > 0.1
        return r <= (7.9 if tooth else 6.0)
    draw_shape(img, gear, vgrad((200, 210, 228), (110, 125, 155), 1, 16), (60, 72, 100))
    draw_shape(img, circle(8.5, 8.5, 3.4), (85, 100, 135))
    draw_shape(img, circle(8.5, 8.5, 1.5), MAGENTA)
    return img


def icon_about():
    img = icon_canvas()
    draw_shape(img, circle(8.5, 8.5, 7.7), vgrad((120, 170, 240), (40, 80, 170), 1, 16), (30, 55, 120))
    draw_shape(img, box(7.0, 3.0, 10.0, 5.0), (255, 255, 255))
    draw_shape(img, box(7.4, 7.0, 9.6, 13.6), (255, 255, 255))
    draw_shape(img, box(6.2, 7.0, 7.4, 8.2), (255, 255, 255))
    draw_shape(img, box(6.2, 12.4, 10.8, 13.6), (255, 255, 255))
    return img


def icon_exit():
    img = icon_canvas()
    def arc(x, y):
        dx, dy = x - 8.5, y - 9.0
        r = math.hypot(dx, dy)
        ang = math.degrees(math.atan2(dx, -dy))       # 0 straight up
        return 4.2 <= r <= 7.4 and abs(ang) >= 40
    g = vgrad((245, 140, 110), (200, 60, 45), 1, 16)
    draw_shape(img, arc, g, (120, 35, 25))
    draw_shape(img, rounded_rect(7.0, 0.6, 10.0, 9.8, 1.2), g, (120, 35, 25))
    return img


ICONS = [icon_play, icon_stop, icon_wallpaper, icon_pause, icon_cd, icon_note,
         icon_reminder, icon_quick, icon_settings, icon_about, icon_exit]


# ------------------------------------------------------------- program icon

def quantize(colours, count):
    """Up to count palette entries for the given colours, most frequent first."""
    hist = {}
    for c in colours:
        key = (c[0] & 0xF8, c[1] & 0xF8, c[2] & 0xF8)
        hist[key] = hist.get(key, 0) + 1
    ranked = sorted(hist.items(), key=lambda kv: (-kv[1], kv[0]))
    return [k for k, _ in ranked[:count]]


def nearest(palette, c, cache):
    if c in cache:
        return cache[c]
    best, bi = None, 0
    for i, p in enumerate(palette):
        d = (p[0] - c[0]) ** 2 + (p[1] - c[1]) ** 2 + (p[2] - c[2]) ** 2
        if best is None or d < best:
            best, bi = d, i
    cache[c] = bi
    return bi


def and_mask(rgba, size, opaque):
    stride = ((size + 31) // 32) * 4
    data = bytearray()
    for y in range(size - 1, -1, -1):
        line = bytearray(stride)
        for x in range(size):
            if not opaque(rgba[y][x]):
                line[x // 8] |= 0x80 >> (x % 8)
        data += line
    return data


def ico_image_8bit(rgba, size):
    opaque = lambda p: p[3] >= 0.5
    pix = [[tuple(clamp8(v) for v in p[:3]) for p in row] for row in rgba]
    colours = [pix[y][x] for y in range(size) for x in range(size) if opaque(rgba[y][x])]
    palette = [(0, 0, 0)] + quantize(colours, 255)
    palette += [(0, 0, 0)] * (256 - len(palette))
    cache = {}
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            xor.append(nearest(palette, pix[y][x], cache) if opaque(rgba[y][x]) else 0)
        xor += b"\0" * (((size + 3) & ~3) - size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + pal + xor + and_mask(rgba, size, opaque)


def ico_image_32bit(rgba, size):
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            r, g, b, a = rgba[y][x]
            xor += bytes((clamp8(b), clamp8(g), clamp8(r), clamp8(a * 255)))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + xor + and_mask(rgba, size, lambda p: clamp8(p[3] * 255) > 0)


def make_icon():
    images = []
    for bits in (8, 32):
        for size in (16, 32, 48):
            rgba = render_sampler(quill_sampler(size, detail=size >= 32), size, size)
            data = ico_image_8bit(rgba, size) if bits == 8 else ico_image_32bit(rgba, size)
            images.append((size, bits, data))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    return bytes(out)


def make_emblem():
    w, h = 45, 47
    img = Image(w, h)
    tile = rounded_rect(0.5, 0.5, w - 0.5, h - 0.5, 7)
    for y in range(h):
        for x in range(w):
            c = mix((245, 249, 255), (196, 214, 240), (x + y) / (w + h))
            img.set(x, y, c)
    for y in range(h):
        for x in range(w):
            cov = coverage(tile, x, y)
            if cov < 1:     # soft rim of the tile
                img.blend(x, y, (120, 145, 190), 1 - cov * 0.6)
    quill = render_sampler(quill_sampler(44), 41, 43)
    paste_rgba(img, quill, 2, 2)
    return img


# ------------------------------------------------------------------ popup

def make_popup():
    w, h = 185, 200
    img = Image(w, h)
    for y in range(h):
        c = mix((228, 237, 250), (200, 216, 240), y / (h - 1))
        for x in range(w):
            img.set(x, y, c)
    # title band
    for y in range(3, 31):
        c = mix((200, 218, 243), (165, 192, 230), (y - 3) / 27)
        for x in range(3, w - 3):
            img.set(x, y, c)
    img.rect(3, 3, w - 3, 4, (255, 255, 255), 0.7)
    img.rect(3, 30, w - 3, 31, (110, 140, 190))
    quill = render_sampler(quill_sampler(24, detail=False), 20, 22)
    paste_rgba(img, quill, w - 26, 6)
    # content panel behind the message label
    panel = rounded_rect(6, 33, 179, 154, 4)
    for y in range(31, 160):
        for x in range(4, 182):
            cov = coverage(panel, x, y)
            if cov > 0:
                img.blend(x, y, mix((252, 253, 255), (238, 244, 252), (y - 33) / 124), cov)
    mask = [[coverage(panel, x, y) >= 0.5 for x in range(w)] for y in range(h)]
    for y in range(1, h - 1):
        for x in range(1, w - 1):
            if mask[y][x] and not (mask[y - 1][x] and mask[y + 1][x] and mask[y][x - 1] and mask[y][x + 1]):
                img.blend(x, y, (140, 165, 205), 0.7)
    # footer for the two buttons
    for y in range(158, h - 3):
        img.rect(3, y, w - 3, y + 1, mix((214, 226, 245), (190, 207, 235), (y - 158) / 39))
    img.rect(8, 158, w - 8, 159, (150, 172, 208))
    img.rect(8, 159, w - 8, 160, (255, 255, 255), 0.7)
    # frame
    for x in range(w):
        img.set(x, 0, CAPTION)
        img.set(x, h - 1, CAPTION)
    for y in range(h):
        img.set(0, y, CAPTION)
        img.set(w - 1, y, CAPTION)
    img.rect(1, 1, w - 1, 2, (255, 255, 255), 0.6)
    img.rect(1, 1, 2, h - 1, (255, 255, 255), 0.6)
    return img


# ------------------------------------------------------------------- note

NOTE_W, NOTE_H = 151, 270
STRIP_H = 23


def note_strip_colour(y):
    return mix((252, 222, 130), (238, 192, 88), y / (STRIP_H - 1))


def menu_glyph(img, ox, oy):
    ink = (110, 70, 20)
    for dy in (2, 5, 8):
        for x in range(2, 10):
            img.set(ox + x, oy + dy, ink)
            img.set(ox + x, oy + dy + 1, mix(ink, note_strip_colour(oy + dy + 1), 0.55))


def close_glyph(img, ox, oy):
    ink = (110, 50, 20)
    for i in range(7):     # soft shoulders first, so the strokes stay solid where they cross
        for x in (3 + i, 7 - i):
            img.set(ox + x, oy + 1 + i, mix(ink, note_strip_colour(oy + 1 + i), 0.5))
    for i in range(7):
        for x in (2 + i, 8 - i):
            img.set(ox + x, oy + 1 + i, ink)


def make_note():
    img = Image(NOTE_W, NOTE_H)
    rng = random.Random(1510)
    for y in range(NOTE_H):
        for x in range(NOTE_W):
            if y < STRIP_H:
                c = note_strip_colour(y)
            else:
                c = mix((255, 251, 222), (250, 240, 196), (y - STRIP_H) / (NOTE_H - STRIP_H))
                c = shade(c, 1 + (rng.random() - 0.5) * 0.025)     # paper grain
            img.set(x, y, c)
    img.rect(0, 1, NOTE_W, 2, (255, 245, 200), 0.8)
    img.rect(0, STRIP_H, NOTE_W, STRIP_H + 1, (200, 150, 60))
    img.rect(0, STRIP_H + 1, NOTE_W, STRIP_H + 2, (255, 255, 240), 0.7)
    menu_glyph(img, 8, 7)
    close_glyph(img, 131, 7)
    shape = rounded_rect(0, 0, NOTE_W, NOTE_H, 7)
    inside = [[coverage(shape, x, y) >= 0.5 for x in range(NOTE_W)] for y in range(NOTE_H)]
    dist = distance_inward(inside, NOTE_W, NOTE_H)
    for y in range(NOTE_H):
        for x in range(NOTE_W):
            d = dist[y][x]
            if d == 0:
                img.set(x, y, RED)
            elif d == 1:
                img.set(x, y, (170, 125, 45))
            elif d == 2:
                img.blend(x, y, (255, 255, 255), 0.4)
            elif tuple(clamp8(v) for v in img.get(x, y)) == RED:
                img.set(x, y, (254, 0, 0))
    return img


def make_note_button(w, h, ox, oy, glyph):
    img = Image(w, h)
    for y in range(h):
        for x in range(w):
            img.set(x, y, note_strip_colour(oy + y))
    # draw at the offset the glyph expects, then shift into this picture
    big = Image(ox + w, oy + h)
    for y in range(h):
        for x in range(w):
            big.set(ox + x, oy + y, img.get(x, y))
    glyph(big, ox, oy)
    for y in range(h):
        for x in range(w):
            img.set(x, y, big.get(ox + x, oy + y))
    return img


# ------------------------------------------------------------------ sounds

def write_wav(name, rate, bits, file_size, samples):
    """PCM mono WAV with the plain 44-byte header; the data fills the file.
    An odd data size gets no pad byte, so the file keeps its exact size."""
    data_size = file_size - 44
    width = bits // 8
    n = data_size // width
    assert len(samples) == n, (name, len(samples), n)
    body = bytearray()
    for s in samples:
        s = max(-1.0, min(1.0, s))
        if bits == 8:
            body.append(max(0, min(255, int(round(128 + 127 * s)))))
        else:
            body += struct.pack("<h", int(round(32767 * s)))
    body += b"\0" * (data_size - len(body))
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", file_size - 8, b"WAVE", b"fmt ", 16,
                         1, 1, rate, rate * width, width, bits, b"data", data_size)
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(header + body)


def sample_count(file_size, bits):
    return (file_size - 44) // (bits // 8)


def finish(samples, rate, peak, fade_in=0.003, fade_out=0.02):
    """Scales to the given peak and fades both ends so there is no click."""
    top = max(abs(s) for s in samples) or 1.0
    n = len(samples)
    out = [s * peak / top for s in samples]
    fi = max(1, int(fade_in * rate))
    fo = max(1, int(fade_out * rate))
    for i in range(min(fi, n)):
        out[i] *= 0.5 - 0.5 * math.cos(math.pi * i / fi)
    for i in range(min(fo, n)):
        out[n - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / fo)
    out[0] = out[-1] = 0.0
    return out


def strike(buf, rate, start, partials, attack=0.003):
    """Adds a struck tone: partials are (frequency, amplitude, decay seconds)."""
    n = len(buf)
    i0 = int(start * rate)
    nyquist = rate / 2 * 0.9
    for freq, amp, tau in partials:
        if freq >= nyquist:
            continue
        w = 2 * math.pi * freq / rate
        for i in range(i0, n):
            t = (i - i0) / rate
            env = math.exp(-t / tau)
            if env < 1e-4:
                break
            if t < attack:
                env *= math.sin(0.5 * math.pi * t / attack)
            buf[i] += amp * env * math.sin(w * (i - i0))


def snd_hover():
    rate, n = 22050, sample_count(1762, 16)
    buf = [0.0] * n
    strike(buf, rate, 0.001, [(1900, 1.0, 0.007), (3150, 0.45, 0.004), (950, 0.3, 0.01)], attack=0.0008)
    return finish(buf, rate, 0.22, 0.0008, 0.004)


def snd_trayshow():
    rate, n = 22050, sample_count(4728, 16)
    buf = [0.0] * n
    strike(buf, rate, 0.002, [(1046.5, 1.0, 0.03), (2093, 0.18, 0.015)], attack=0.003)
    strike(buf, rate, 0.042, [(1568, 1.0, 0.035), (3136, 0.15, 0.015)], attack=0.003)
    return finish(buf, rate, 0.3, 0.002, 0.008)


def snd_cuckoo():
    rate, n = 11025, sample_count(8960, 8)
    buf = [0.0] * n
    for start, f in ((0.02, 784.0), (0.41, 622.3)):
        strike(buf, rate, start, [(f, 1.0, 0.14), (2 * f, 0.22, 0.07), (3 * f, 0.06, 0.04)], attack=0.012)
    return finish(buf, rate, 0.62, 0.004, 0.04)


def snd_wind_chime():
    rate, n = 22050, sample_count(42696, 8)
    buf = [0.0] * n
    rng = random.Random(211)
    notes = [1318.5, 1568.0, 1760.0, 2093.0, 2349.3, 2637.0]
    t = 0.005
    amp = 1.0
    while t < 1.2:
        f = rng.choice(notes) * (1 + (rng.random() - 0.5) * 0.004)
        strike(buf, rate, t, [(f, amp, 0.75), (f * 2.756, amp * 0.45, 0.35),
                              (f * 5.404, amp * 0.2, 0.18), (f * 0.5, amp * 0.08, 0.5)], attack=0.002)
        t += 0.1 + rng.random() * 0.15
        amp *= 0.84
    return finish(buf, rate, 0.6, 0.002, 0.25)


def snd_drum_and_bell():
    rate, n = 25752, sample_count(66544, 8)
    buf = [0.0] * n
    rng = random.Random(212)
    for start, amp in ((0.01, 1.0), (0.36, 0.7)):
        i0 = int(start * rate)
        phase = 0.0
        noise = 0.0
        for i in range(i0, min(n, i0 + int(0.9 * rate))):
            t = (i - i0) / rate
            f = 52 + 70 * math.exp(-t / 0.035)
            phase += 2 * math.pi * f / rate
            env = math.exp(-t / 0.17) * math.sin(0.5 * math.pi * min(1.0, t / 0.004))
            noise = 0.85 * noise + 0.15 * (rng.random() * 2 - 1)      # dull skin noise
            buf[i] += amp * env * (math.sin(phase) + 0.6 * noise * math.exp(-t / 0.025))
    f0 = 262.0
    strike(buf, rate, 0.85, [(f0 * 0.5, 0.35, 1.6), (f0, 0.8, 1.3), (f0 + 1.3, 0.35, 1.3),
                             (f0 * 1.19, 0.4, 0.95), (f0 * 1.5, 0.3, 0.8), (f0 * 2.0, 0.3, 0.7),
                             (f0 * 2.51, 0.18, 0.5), (f0 * 2.66, 0.14, 0.45), (f0 * 3.01, 0.1, 0.35),
                             (f0 * 4.2, 0.06, 0.2)], attack=0.004)
    return finish(buf, rate, 0.62, 0.002, 0.3)


def snd_meteor():
    rate, n = 22050, sample_count(37310, 8)
    buf = [0.0] * n
    rng = random.Random(213)
    phase = 0.0
    for i in range(n):
        t = i / rate
        if t > 1.25:
            break
        f = 600 * (2600 / 600) ** min(1.0, t / 1.0)          # rising glide
        phase += 2 * math.pi * f / rate
        env = min(1.0, t / 0.18) * (1.0 if t < 0.6 else max(0.0, 1 - (t - 0.6) / 0.65) ** 1.5)
        buf[i] += 0.55 * env * (math.sin(phase) + 0.25 * math.sin(2 * phase)) * (1 + 0.15 * math.sin(2 * math.pi * 11 * t))
    for _ in range(46):                                       # the sparkles of the trail
        t = 0.08 + rng.random() ** 0.8 * 1.45
        f = 2400 + rng.random() * 4200
        a = 0.28 * (0.4 + 0.6 * rng.random()) * (1.0 if t < 1.0 else max(0.2, 1.6 - t))
        strike(buf, rate, t, [(f, a, 0.03 + rng.random() * 0.05), (f * 1.5, a * 0.3, 0.02)], attack=0.001)
    return finish(buf, rate, 0.58, 0.003, 0.12)


def snd_alert():
    rate, n = 22050, sample_count(5475, 8)
    buf = [0.0] * n
    strike(buf, rate, 0.003, [(1318.5, 1.0, 0.05), (2637, 0.15, 0.025)], attack=0.004)
    strike(buf, rate, 0.085, [(1046.5, 1.0, 0.07), (2093, 0.15, 0.03)], attack=0.004)
    return finish(buf, rate, 0.45, 0.003, 0.03)


# ------------------------------------------------------------------- list

LIST = [
    (1, "ICON", "quillet.ico"),
    (100, "RCDATA", "bar.bmp"),
] + [(110 + i, "RCDATA", "icon%d.bmp" % i) for i in range(11)] + [
    (200, "RCDATA", "hover.wav"),
    (201, "RCDATA", "trayshow.wav"),
    (210, "RCDATA", "chime0.wav"),
    (211, "RCDATA", "chime1.wav"),
    (212, "RCDATA", "chime2.wav"),
    (213, "RCDATA", "chime3.wav"),
    (220, "RCDATA", "alert.wav"),
    (300, "RCDATA", "popup.jpg"),
    (310, "RCDATA", "note.bmp"),
    (311, "RCDATA", "notemenu.bmp"),
    (312, "RCDATA", "noteclose.bmp"),
    (320, "RCDATA", "emblem.bmp"),
]


def main():
    os.makedirs(OUT, exist_ok=True)
    p = lambda name: os.path.join(OUT, name)
    write_bmp24(p("bar.bmp"), make_bar())
    for i, draw in enumerate(ICONS):
        write_bmp24(p("icon%d.bmp" % i), draw())
    with open(p("quillet.ico"), "wb") as f:
        f.write(make_icon())
    write_bmp24(p("emblem.bmp"), make_emblem())
    write_bmp24(p("note.bmp"), make_note())
    write_bmp24(p("notemenu.bmp"), make_note_button(12, 12, 8, 7, menu_glyph))
    write_bmp24(p("noteclose.bmp"), make_note_button(11, 9, 131, 7, close_glyph))
    with tempfile.TemporaryDirectory() as tmp:
        ppm = os.path.join(tmp, "popup.ppm")
        write_ppm(ppm, make_popup())
        subprocess.run(["convert", ppm, "-strip", "-quality", "90", p("popup.jpg")], check=True)
    write_wav("hover.wav", 22050, 16, 1762, snd_hover())
    write_wav("trayshow.wav", 22050, 16, 4728, snd_trayshow())
    write_wav("chime0.wav", 11025, 8, 8960, snd_cuckoo())
    write_wav("chime1.wav", 22050, 8, 42696, snd_wind_chime())
    write_wav("chime2.wav", 25752, 8, 66544, snd_drum_and_bell())
    write_wav("chime3.wav", 22050, 8, 37310, snd_meteor())
    write_wav("alert.wav", 22050, 8, 5475, snd_alert())     # odd data size, no pad byte
    # The list last: the build refuses a list that names a missing file.
    with open(p("resources.list"), "w") as f:
        f.write("# <id> <RCDATA|ICON> <file>; ids as in platform/resources.h\n")
        for rid, kind, name in LIST:
            f.write("%d %s %s\n" % (rid, kind, name))
    return 0


if __name__ == "__main__":
    sys.exit(main())
