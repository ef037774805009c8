#!/usr/bin/env python3
"""Writes builtin.emf, the built-in picture: a portrait bust drawn in a few pen strokes,
like a museum sketch, without text. 490 x 634 units in its bounds, at 96 dots per inch.

Run from anywhere: python3 make_builtin.py [OUTPUT]  (default: builtin.emf beside it).
Every stroke is a cubic Bezier chain: a start point followed by (control, control, end)
triples, in picture units (pixels, y down).
"""
import os
import struct
import sys

WIDTH, HEIGHT = 490, 634
INK = (58, 42, 34)      # sepia
SOFT_INK = (96, 74, 60)

# (pen, points): pen 1 is the main line, pen 2 the fine one.
STROKES = [
    # hair: the mass over the crown, from the left temple to the right temple
    (1, [(188, 228), (150, 150), (196, 70), (276, 70), (358, 72), (376, 160), (314, 228)]),
    # face: left cheek, a rounded chin, right cheek
    (1, [(188, 228), (182, 306), (206, 380), (232, 400), (242, 408), (258, 408), (268, 400),
         (294, 380), (318, 306), (314, 228)]),
    # hair falling behind, to the right shoulder
    (1, [(300, 80), (402, 102), (412, 240), (376, 330), (354, 380), (362, 430), (394, 462)]),
    # the parting and a lock on the left
    (2, [(262, 72), (236, 108), (212, 150), (204, 214)]),
    (2, [(198, 118), (144, 180), (142, 300), (178, 376)]),
    (2, [(330, 112), (362, 164), (366, 236), (348, 300)]),
    # brows
    (2, [(202, 254), (212, 244), (228, 242), (238, 248)]),
    (2, [(262, 248), (274, 242), (290, 243), (300, 253)]),
    # eyes: upper and lower lids
    (2, [(205, 271), (214, 261), (229, 261), (238, 270)]),
    (2, [(208, 273), (217, 279), (229, 279), (236, 272)]),
    (2, [(263, 270), (272, 261), (287, 261), (296, 271)]),
    (2, [(265, 272), (272, 279), (284, 279), (293, 273)]),
    # nose
    (1, [(250, 262), (246, 298), (236, 318), (240, 330), (246, 337), (257, 337), (263, 330)]),
    # lips
    (2, [(228, 360), (239, 352), (247, 355), (250, 357), (253, 355), (261, 352), (272, 360)]),
    (2, [(228, 360), (243, 364), (257, 364), (272, 360)]),
    (2, [(232, 363), (242, 375), (258, 375), (268, 363)]),
    # neck
    (1, [(216, 392), (218, 430), (214, 466), (202, 498)]),
    (1, [(286, 390), (284, 430), (290, 466), (302, 498)]),
    # shoulders
    (1, [(202, 498), (150, 518), (80, 540), (38, 624)]),
    (1, [(302, 498), (350, 518), (420, 542), (456, 624)]),
    # neckline of the dress
    (2, [(140, 556), (196, 604), (292, 604), (352, 556)]),
]
PUPILS = [(220, 268, 5), (280, 268, 5)]


def rec(kind, payload):
    payload += b"\0" * (-len(payload) % 4)
    return struct.pack("<II", kind, 8 + len(payload)) + payload


def colorref(rgb):
    return struct.pack("<BBBB", rgb[0], rgb[1], rgb[2], 0)


def bezier16(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    body = struct.pack("<4iI", min(xs), min(ys), max(xs), max(ys), len(points))
    body += b"".join(struct.pack("<hh", x, y) for x, y in points)
    return rec(85, body)  # EMR_POLYBEZIER16


def ext_pen(index, width, rgb):
    # PS_GEOMETRIC | PS_ENDCAP_ROUND | PS_JOIN_ROUND | PS_SOLID, BS_SOLID
    style = 0x00010000
    return rec(95, struct.pack("<5I", index, 0, 0, 0, 0) + struct.pack("<II", style, width)
               + struct.pack("<I", 0) + colorref(rgb) + struct.pack("<II", 0, 0))


def build():
    for _, pts in STROKES:
        assert (len(pts) - 1) % 3 == 0, pts
    body = [
        ext_pen(1, 3, INK),
        ext_pen(2, 2, SOFT_INK),
        rec(39, struct.pack("<II", 3, 0) + colorref(INK) + struct.pack("<I", 0)),  # brush 3
        rec(37, struct.pack("<I", 0x80000005)),  # NULL_BRUSH: strokes only
    ]
    current = None
    for pen, pts in STROKES:
        if pen != current:
            body.append(rec(37, struct.pack("<I", pen)))
            current = pen
        body.append(bezier16(pts))
    body.append(rec(37, struct.pack("<I", 3)))
    body.append(rec(37, struct.pack("<I", 0x80000008)))  # NULL_PEN
    for x, y, r in PUPILS:
        body.append(rec(42, struct.pack("<4i", x - r, y - r, x + r, y + r)))  # EMR_ELLIPSE
    for handle in (1, 2, 3):
        body.append(rec(40, struct.pack("<I", handle)))
    body.append(rec(14, struct.pack("<III", 0, 16, 20)))  # EMR_EOF

    # Reference device: 1920 x 1080 pixels at 96 dots per inch.
    dev = (1920, 1080)
    um = (508000, 285750)
    px_per_mm = 96 / 25.4
    frame = (0, 0, round(WIDTH / px_per_mm * 100), round(HEIGHT / px_per_mm * 100))
    records = len(body) + 1
    size = 108 + sum(len(b) for b in body)
    header = struct.pack("<II", 1, 108)
    header += struct.pack("<4i", 0, 0, WIDTH - 1, HEIGHT - 1)  # bounds, inclusive
    header += struct.pack("<4i", *frame)
    header += struct.pack("<IIIIHHIII", 0x464D4520, 0x10000, size, records, 4, 0, 0, 0, 0)
    header += struct.pack("<ii", *dev) + struct.pack("<ii", um[0] // 1000, um[1] // 1000)
    header += struct.pack("<III", 0, 0, 0) + struct.pack("<ii", *um)
    assert len(header) == 108
    return header + b"".join(body)


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "builtin.emf")
    with open(out, "wb") as f:
        f.write(build())
