"""The line drawings of the vector pack, built from polygons, polylines,
ellipses and curves so they stay sharp at any size."""

import math

from metafile import Drawing

INK = (38, 34, 48)
PAPER = (246, 240, 226)


def _paper(d, tint=PAPER):
    d.no_pen()
    d.brush(tint)
    d.rectangle(0, 0, d.width, d.height)


def _wave(rng, x0, x1, y, amp, steps=60, phase=0.0, freq=3.0):
    pts = []
    for i in range(steps + 1):
        x = x0 + (x1 - x0) * i / steps
        pts.append((x, y + amp * math.sin(phase + freq * 2 * math.pi * i / steps) + amp * 0.3 * (rng.random() - 0.5)))
    return pts


def harbour(rng, w=1600, h=1200):
    d = Drawing(w, h)
    _paper(d, (243, 233, 214))
    # Sun and sky bands.
    d.no_pen()
    d.brush((244, 190, 120))
    d.ellipse(w * 0.62, h * 0.14, w * 0.62 + 220, h * 0.14 + 220)
    d.pen((216, 150, 110), 3)
    for i in range(5):
        y = h * (0.12 + 0.05 * i)
        d.polyline([(w * 0.08, y), (w * (0.5 - 0.05 * i), y)])
    # Far hills.
    d.pen(INK, 3)
    d.brush((176, 190, 196))
    pts = [(0, h * 0.52)]
    for i in range(21):
        x = w * i / 20
        pts.append((x, h * 0.46 - 60 * math.sin(i * 0.7) - 30 * rng.random()))
    pts += [(w, h * 0.52)]
    d.polygon(pts)
    # Water.
    d.no_pen()
    d.brush((92, 132, 160))
    d.rectangle(0, h * 0.52, w, h)
    d.pen((210, 225, 230), 3)
    for i in range(14):
        y = h * 0.56 + i * 36
        x0 = rng.random() * w * 0.5
        d.polyline(_wave(rng, x0, x0 + w * (0.2 + 0.3 * rng.random()), y, 5, 30, rng.random() * 6, 4))
    # Boats with sails.
    for bx, scale, sail in ((0.22, 1.0, (232, 94, 74)), (0.52, 0.8, (250, 246, 238)), (0.78, 0.6, (242, 186, 72))):
        cx = w * bx
        base = h * (0.66 + 0.08 * (1 - scale))
        s = 220 * scale
        d.pen(INK, 4)
        d.brush((70, 56, 52))
        d.polygon([(cx - s, base), (cx + s, base), (cx + s * 0.75, base + s * 0.3), (cx - s * 0.8, base + s * 0.3)])
        d.polyline([(cx, base), (cx, base - s * 1.9)])
        d.brush(sail)
        d.bezier([(cx + 8, base - s * 1.85), (cx + s * 0.9, base - s * 1.3), (cx + s * 0.9, base - s * 0.5),
                  (cx + 8, base - s * 0.15)], closed=True)
        d.brush((250, 246, 238))
        d.polygon([(cx - 8, base - s * 1.6), (cx - 8, base - s * 0.15), (cx - s * 0.7, base - s * 0.15)])
        d.pen((60, 80, 100), 2)
        d.no_brush()
        for k in range(3):
            d.polyline(_wave(rng, cx - s * 1.1, cx + s * 1.1, base + s * 0.42 + k * 14, 4, 20, k, 3))
    return d


def spiral(rng, w=2000, h=1236):
    h = int(h)
    d = Drawing(w, int(h))
    _paper(d)
    colours = [(224, 122, 95), (61, 64, 91), (129, 178, 154), (242, 204, 143), (196, 88, 72), (90, 120, 160)]
    # Golden rectangles, each cut into a square and a smaller rectangle.
    x, y, cw, ch = 0.0, 0.0, float(w), float(h)
    squares = []
    for i in range(10):
        side = min(cw, ch)
        k = i % 4
        if k == 0:
            sq = (x, y, x + side, y + side); x += side; cw -= side
        elif k == 1:
            sq = (x, y, x + side, y + side); y += side; ch -= side
        elif k == 2:
            sq = (x + cw - side, y, x + cw, y + side); cw -= side
        else:
            sq = (x, y + ch - side, x + side, y + ch); ch -= side
        squares.append((sq, k))
    for i, (sq, k) in enumerate(squares):
        d.pen(INK, 4)
        d.brush(colours[i % len(colours)] if i % 3 != 2 else PAPER)
        d.rectangle(*sq)
    # The spiral: a quarter circle through each square.
    d.pen(INK, 6)
    d.no_brush()
    corners = {0: (2, 3), 1: (0, 3), 2: (0, 1), 3: (2, 1)}
    for (l, t, r, b), k in squares:
        side = r - l
        # centre of the arc: the square corner that touches the next square
        cx, cy = [(r, b), (l, b), (l, t), (r, t)][k]
        a0 = [math.pi, 1.5 * math.pi, 0, 0.5 * math.pi][k]
        pts = [(cx + side * math.cos(a0 + math.pi / 2 * s / 24), cy + side * math.sin(a0 + math.pi / 2 * s / 24))
               for s in range(25)]
        d.polyline(pts)
    del corners
    return d


def still_life(rng, w=1500, h=1350):
    d = Drawing(w, h)
    _paper(d, (238, 228, 208))
    # Wall and table.
    d.no_pen()
    d.brush((205, 190, 168))
    d.rectangle(0, 0, w, h * 0.62)
    d.pen(INK, 4)
    d.brush((150, 96, 64))
    d.polygon([(0, h * 0.62), (w, h * 0.62), (w, h), (0, h)])
    d.pen((110, 70, 48), 2)
    for i in range(6):
        y = h * 0.66 + i * 60
        d.polyline(_wave(rng, 0, w, y, 4, 40, i, 2))
    # Vase.
    cx, base = w * 0.36, h * 0.70
    d.pen(INK, 5)
    d.brush((64, 110, 140))
    d.bezier([(cx - 60, base - 560), (cx - 40, base - 420), (cx - 220, base - 330), (cx - 180, base - 150),
              (cx - 150, base - 20), (cx - 80, base), (cx, base), (cx + 80, base), (cx + 150, base - 20), (cx + 180, base - 150),
              (cx + 220, base - 330), (cx + 40, base - 420), (cx + 60, base - 560)], closed=True)
    d.pen((230, 236, 240), 6)
    d.bezier([(cx - 110, base - 320), (cx - 140, base - 250), (cx - 130, base - 160), (cx - 90, base - 90)])
    # Branches with leaves in the vase.
    d.pen((70, 90, 60), 5)
    for k in range(5):
        a = -math.pi / 2 + (k - 2) * 0.28
        ex, ey = cx + math.cos(a) * 300, base - 560 + math.sin(a) * 300
        d.bezier([(cx, base - 520), (cx + (ex - cx) * 0.3, base - 640), (ex - 30, ey + 50), (ex, ey)])
        d.brush((118, 160, 98))
        for j in range(3):
            lx = cx + (ex - cx) * (0.5 + 0.2 * j)
            ly = base - 560 + (ey - base + 560) * (0.5 + 0.2 * j)
            d.ellipse(lx - 34, ly - 15, lx + 34, ly + 15)
    # Pears.
    for px, tint in ((w * 0.64, (214, 190, 80)), (w * 0.78, (190, 170, 70)), (w * 0.70, (222, 150, 70))):
        py = base + (30 if tint[2] == 70 and px > w * 0.7 else 0)
        d.pen(INK, 4)
        d.brush(tint)
        d.bezier([(px, py - 230), (px + 40, py - 230), (px + 50, py - 150), (px + 70, py - 110),
                  (px + 150, py - 40), (px + 110, py + 20), (px, py + 20), (px - 110, py + 20), (px - 150, py - 40),
                  (px - 70, py - 110), (px - 50, py - 150), (px - 40, py - 230), (px, py - 230)], closed=True)
        d.pen((80, 60, 40), 5)
        d.polyline([(px, py - 230), (px + 10, py - 270)])
    return d


def fern(rng, w=1200, h=1600):
    d = Drawing(w, h)
    _paper(d, (244, 240, 228))

    def frond(x, y, angle, length, depth, colour):
        if depth == 0 or length < 14:
            return
        pts = []
        bend = 0.25 * (1 if rng.random() < 0.5 else -1) if depth == 3 else 0.15
        a = angle
        px, py = x, y
        steps = 16
        joints = []
        for i in range(steps + 1):
            pts.append((px, py))
            joints.append((px, py, a))
            a += bend / steps
            px += math.cos(a) * length / steps
            py += math.sin(a) * length / steps
        d.pen(colour, max(1, depth * 2))
        d.polyline(pts)
        for i in range(2, steps, 1):
            jx, jy, ja = joints[i]
            sub = length * 0.36 * (1 - i / steps) ** 0.6
            frond(jx, jy, ja + 1.0, sub, depth - 1, colour)
            frond(jx, jy, ja - 1.0, sub, depth - 1, colour)

    greens = [(46, 94, 62), (78, 130, 84), (112, 160, 100)]
    frond(w * 0.5, h * 0.97, -math.pi / 2 + 0.05, h * 0.85, 3, greens[0])
    frond(w * 0.45, h * 0.97, -math.pi / 2 - 0.55, h * 0.55, 3, greens[1])
    frond(w * 0.55, h * 0.97, -math.pi / 2 + 0.6, h * 0.5, 3, greens[2])
    return d


def rooftops(rng, w=1800, h=1200):
    d = Drawing(w, h)
    _paper(d, (236, 222, 200))
    d.no_pen()
    d.brush((240, 180, 140))
    d.ellipse(w * 0.72, h * 0.08, w * 0.72 + 160, h * 0.08 + 160)
    walls = [(214, 170, 132), (196, 140, 108), (226, 196, 150), (180, 120, 96), (206, 186, 160)]
    roofs = [(160, 70, 52), (120, 56, 44), (176, 92, 60)]
    for row in range(3):
        base = h * (0.55 + 0.2 * row)
        x = -40 - rng.random() * 100
        while x < w:
            bw = 160 + rng.random() * 160
            bh = 180 + rng.random() * 200 - row * 20
            d.pen(INK, 3)
            d.brush(walls[int(rng.integers(0, len(walls)))])
            d.rectangle(x, base - bh, x + bw, base + 250)
            d.brush(roofs[int(rng.integers(0, len(roofs)))])
            peak = base - bh - 60 - rng.random() * 80
            d.polygon([(x - 14, base - bh), (x + bw / 2, peak), (x + bw + 14, base - bh)])
            d.brush((70, 82, 104))
            cols = int(bw // 60)
            for c in range(cols):
                for r in range(2):
                    wx = x + 24 + c * (bw - 24) / max(cols, 1)
                    wy = base - bh + 40 + r * 80
                    d.rectangle(wx, wy, wx + 28, wy + 44)
            if rng.random() < 0.4:
                d.brush((120, 80, 60))
                cx = x + bw * 0.7
                d.rectangle(cx, peak + 30, cx + 26, peak + 100)
                d.pen((140, 140, 150), 3)
                d.no_brush()
                d.polyline(_wave(rng, cx + 13, cx + 130, peak + 10, 10, 12, 0, 1.5))
            x += bw + 6
    return d


def rolling_hills(rng, w=1800, h=1200):
    d = Drawing(w, h)
    _paper(d, (250, 236, 206))
    d.no_pen()
    d.brush((246, 206, 128))
    d.ellipse(w * 0.18, h * 0.10, w * 0.18 + 200, h * 0.10 + 200)
    d.pen((230, 170, 100), 3)
    d.no_brush()
    for r in range(1, 4):
        d.ellipse(w * 0.18 - r * 40, h * 0.10 - r * 40, w * 0.18 + 200 + r * 40, h * 0.10 + 200 + r * 40)
    greens = [(176, 198, 120), (136, 176, 98), (96, 146, 86), (64, 112, 72), (44, 84, 60)]
    for i, g in enumerate(greens):
        base = h * (0.38 + 0.13 * i)
        pts = [(0, h)]
        phase = rng.random() * 6
        for k in range(41):
            x = w * k / 40
            pts.append((x, base - 70 * math.sin(phase + k * 0.25) - 30 * math.sin(phase * 2 + k * 0.6)))
        pts.append((w, h))
        d.pen(INK, 3)
        d.brush(g)
        d.polygon(pts)
        # Furrows across the field.
        d.pen(tuple(max(0, c - 30) for c in g), 2)
        for f in range(3):
            d.polyline([(x, y + 24 + f * 22) for x, y in pts[1:-1:2]])
        # A few round trees on the crest.
        for t in range(int(rng.integers(1, 4))):
            k = int(rng.integers(3, 38))
            tx, ty = pts[k + 1]
            size = 30 + 12 * i
            d.pen(INK, 3)
            d.brush((90, 66, 50))
            d.rectangle(tx - 5, ty - size * 0.9, tx + 5, ty)
            d.brush(tuple(max(0, c - 40) for c in g))
            d.ellipse(tx - size * 0.6, ty - size * 2.0, tx + size * 0.6, ty - size * 0.7)
    return d
