#!/usr/bin/env python3
"""Draws the ten 32 x 32 program icons as PNG files, in their index order:
0 open album, 1 folder held on a hand, 2 folder with a keyboard, 3 folder on a pad
with a keyboard, 4 leaflet with a landscape picture, 5 calendar page with a marked
day, 6 sheet of paper, 7 strip of continuous paper, 8 green ball with a face,
9 white flower with leaves. Pack descriptions refer to them by index; the "more
packs" item uses 4 and 8. Needs only the Python standard library.

Usage: make_icons.py [OUTPUT_FOLDER]   (default: the folder of this script)
"""
import math
import os
import struct
import sys
import zlib

SIZE = 32
SS = 4  # samples per pixel along each axis


class Canvas:
    def __init__(self):
        self.px = [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]

    def _fill(self, inside, colour, bbox):
        x0, y0, x1, y1 = bbox
        for y in range(max(0, int(y0)), min(SIZE, int(math.ceil(y1)) + 1)):
            for x in range(max(0, int(x0)), min(SIZE, int(math.ceil(x1)) + 1)):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside(x + (sx + 0.5) / SS, y + (sy + 0.5) / SS):
                            hits += 1
                if hits:
                    self._blend(x, y, colour, hits / (SS * SS))

    def _blend(self, x, y, colour, cover):
        r, g, b = colour[:3]
        a = (colour[3] / 255.0 if len(colour) > 3 else 1.0) * cover
        dr, dg, db, da = self.px[y][x]
        da_f = da / 255.0
        out_a = a + da_f * (1 - a)
        if out_a <= 0:
            return
        mix = lambda s, d: (s * a + d * da_f * (1 - a)) / out_a
        self.px[y][x] = (round(mix(r, dr)), round(mix(g, dg)), round(mix(b, db)), round(out_a * 255))

    def polygon(self, points, colour):
        def inside(px, py):
            result = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self._fill(inside, colour, (min(xs), min(ys), max(xs), max(ys)))

    def rect(self, x0, y0, x1, y1, colour):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], colour)

    def framed(self, x0, y0, x1, y1, fill, edge):
        self.rect(x0, y0, x1, y1, edge)
        self.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill)

    def ellipse(self, cx, cy, rx, ry, colour):
        inside = lambda px, py: ((px - cx) / rx) ** 2 + ((py - cy) / ry) ** 2 <= 1.0
        self._fill(inside, colour, (cx - rx, cy - ry, cx + rx, cy + ry))

    def line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], colour)

    def png(self):
        raw = b"".join(b"\0" + b"".join(struct.pack("4B", *p) for p in row) for row in self.px)
        chunk = lambda kind, data: (struct.pack(">I", len(data)) + kind + data
                                    + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
        header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


INK = (40, 40, 48)
WHITE = (250, 250, 250)
PAPER = (244, 240, 226)
FOLDER = (236, 196, 84)
FOLDER_DARK = (190, 146, 40)
SKY = (120, 180, 235)
HILL = (80, 160, 70)
SUN = (250, 210, 60)


def folder(c, x, y, w, h):
    c.polygon([(x, y + 3), (x + w * 0.4, y + 3), (x + w * 0.5, y), (x + w, y), (x + w, y + h), (x, y + h)], FOLDER_DARK)
    c.rect(x + 1, y + 4, x + w - 1, y + h - 1, FOLDER)


def keyboard(c, x, y, w, h):
    c.framed(x, y, x + w, y + h, (210, 210, 215), INK)
    for row in range(2):
        for k in range(int((w - 2) // 3)):
            kx = x + 1.5 + k * 3
            ky = y + 1.5 + row * (h - 2) / 2
            c.rect(kx, ky, kx + 2, ky + (h - 2) / 2 - 1, (120, 120, 130))


def landscape(c, x0, y0, x1, y1):
    c.rect(x0, y0, x1, y1, SKY)
    c.ellipse(x1 - (x1 - x0) * 0.25, y0 + (y1 - y0) * 0.3, (x1 - x0) * 0.1, (x1 - x0) * 0.1, SUN)
    c.polygon([(x0, y1), (x0, y0 + (y1 - y0) * 0.6), (x0 + (x1 - x0) * 0.4, y0 + (y1 - y0) * 0.35),
               (x1, y0 + (y1 - y0) * 0.75), (x1, y1)], HILL)


def icon_album(c):  # 0
    c.polygon([(2, 8), (16, 6), (16, 28), (2, 30)], (120, 40, 40))
    c.polygon([(30, 8), (16, 6), (16, 28), (30, 30)], (140, 50, 50))
    c.polygon([(4, 8), (15, 7), (15, 26), (4, 28)], PAPER)
    c.polygon([(28, 8), (17, 7), (17, 26), (28, 28)], PAPER)
    landscape(c, 6, 11, 13, 18)
    landscape(c, 19, 11, 26, 18)
    for yy in (21, 23):
        c.line(6, yy, 13, yy - 0.5, 0.8, (150, 150, 150))
        c.line(19, yy - 0.5, 26, yy, 0.8, (150, 150, 150))


def icon_folder_hand(c):  # 1
    folder(c, 5, 4, 22, 16)
    skin = (230, 180, 140)
    c.polygon([(2, 22), (10, 20), (26, 19), (30, 21), (28, 24), (16, 27), (4, 30), (2, 30)], skin)
    for fy in (21, 23, 25):
        c.line(18, fy, 28, fy - 1, 1.2, (200, 150, 110))


def icon_folder_keyboard(c):  # 2
    folder(c, 4, 3, 24, 17)
    keyboard(c, 3, 21, 26, 8)


def icon_folder_pad_keyboard(c):  # 3
    c.polygon([(1, 16), (31, 16), (28, 22), (4, 22)], (110, 90, 160))
    folder(c, 7, 3, 18, 14)
    keyboard(c, 5, 23, 22, 7)


def icon_leaflet(c):  # 4
    c.polygon([(6, 2), (22, 2), (27, 7), (27, 30), (6, 30)], INK)
    c.polygon([(7, 3), (21.5, 3), (26, 7.5), (26, 29), (7, 29)], WHITE)
    c.polygon([(21.5, 3), (21.5, 7.5), (26, 7.5)], (200, 200, 200))
    landscape(c, 9, 9, 24, 20)
    for yy in (23, 25, 27):
        c.line(9, yy, 24, yy, 0.8, (140, 140, 140))


def icon_calendar(c):  # 5
    c.framed(4, 5, 28, 30, WHITE, INK)
    c.rect(5, 6, 27, 11, (200, 40, 40))
    for ring in (9, 16, 23):
        c.rect(ring, 3, ring + 1.5, 8, INK)
    for row in range(3):
        for col in range(4):
            c.rect(7 + col * 5, 13 + row * 5, 10 + col * 5, 16 + row * 5, (170, 170, 180))
    c.ellipse(18.5, 19.5, 3.5, 3.5, (220, 40, 40, 200))
    c.rect(17, 18, 20, 21, (170, 170, 180))


def icon_sheet(c):  # 6
    c.polygon([(7, 2), (20, 2), (26, 8), (26, 30), (7, 30)], INK)
    c.polygon([(8, 3), (19.5, 3), (25, 8.5), (25, 29), (8, 29)], WHITE)
    c.polygon([(19.5, 3), (19.5, 8.5), (25, 8.5)], (205, 205, 205))
    for yy in range(12, 28, 3):
        c.line(10, yy, 23, yy, 0.8, (150, 150, 170))


def icon_strip(c):  # 7
    c.rect(8, 1, 24, 31, INK)
    c.rect(9, 1, 23, 31, (235, 245, 235))
    for yy in range(3, 31, 4):
        c.ellipse(10.5, yy, 0.8, 0.8, INK)
        c.ellipse(21.5, yy, 0.8, 0.8, INK)
        c.line(12.5, yy + 1, 19.5, yy + 1, 0.7, (120, 160, 120))
    for yy in (10, 21):
        c.line(9, yy, 23, yy, 0.6, (160, 160, 160))


def icon_ball(c):  # 8
    c.ellipse(16, 16, 14, 14, (20, 110, 30))
    c.ellipse(16, 16, 13, 13, (60, 180, 60))
    c.ellipse(12, 11, 5, 4, (130, 220, 120))
    c.ellipse(11.5, 14, 1.8, 2.5, INK)
    c.ellipse(20.5, 14, 1.8, 2.5, INK)
    c.polygon([(9, 19), (23, 19), (21, 23), (16, 25), (11, 23)], INK)
    c.polygon([(11, 20), (21, 20), (19.5, 22.5), (16, 23.8), (12.5, 22.5)], (200, 60, 60))


def icon_flower(c):  # 9
    c.line(16, 18, 16, 31, 2, (40, 120, 40))
    c.polygon([(16, 27), (6, 22), (9, 28)], (60, 150, 50))
    c.polygon([(16, 25), (27, 20), (24, 27)], (60, 150, 50))
    for k in range(6):
        ang = k * math.pi / 3
        c.ellipse(16 + 6 * math.cos(ang), 11 + 6 * math.sin(ang), 4.2, 4.2, (170, 170, 170))
    for k in range(6):
        ang = k * math.pi / 3
        c.ellipse(16 + 6 * math.cos(ang), 11 + 6 * math.sin(ang), 3.6, 3.6, WHITE)
    c.ellipse(16, 11, 3, 3, (240, 200, 40))


ICONS = [icon_album, icon_folder_hand, icon_folder_keyboard, icon_folder_pad_keyboard, icon_leaflet,
         icon_calendar, icon_sheet, icon_strip, icon_ball, icon_flower]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(out, exist_ok=True)
    for index, draw in enumerate(ICONS):
        canvas = Canvas()
        draw(canvas)
        with open(os.path.join(out, "icon%d.png" % index), "wb") as f:
            f.write(canvas.png())


if __name__ == "__main__":
    main()
