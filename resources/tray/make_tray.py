#!/usr/bin/env python3
"""Draws the two 16 x 16 notification-area pictures on a magenta (255, 0, 255)
background, which the agent makes transparent:
0 the program's small icon: a tilted square tile, checkered yellow and white, with
  a grey and black edge;
1 a clock face: a round dial about 12 pixels across centred on (7.5, 7.5),
  checkered yellow and white, with a grey and black rim. The hands are drawn by
  the program.
Hard edges only: a blended edge pixel would keep a magenta tint once the key
colour is cut out. Needs only the Python standard library.

Usage: make_tray.py [OUTPUT_FOLDER]   (default: the folder of this script)
"""
import os
import struct
import sys
import zlib

SIZE = 16
MAGENTA = (255, 0, 255)
BLACK = (0, 0, 0)
GREY = (128, 128, 128)
YELLOW = (255, 255, 0)
WHITE = (255, 255, 255)


def checker(x, y, cell=3):
    return YELLOW if (((x - 1) // cell) + ((y - 1) // cell)) % 2 == 0 else WHITE


def tile():
    """A square turned by 45 degrees: |x - c| + |y - c| <= r around c = 7.5."""
    px = [[MAGENTA] * SIZE for _ in range(SIZE)]
    c = 7.5
    for y in range(SIZE):
        for x in range(SIZE):
            d = abs(x - c) + abs(y - c)
            if d <= 6.0:
                # The lower right edges in black, the upper left ones grey: lit from above.
                if d > 5.0:
                    px[y][x] = BLACK if (x + y) >= 15 else GREY
                else:
                    # Checker along the tile's own tilted axes.
                    u = (x - y + 16) // 3
                    v = (x + y + 1) // 3
                    px[y][x] = YELLOW if (u + v) % 2 == 0 else WHITE
    return px


def dial():
    """A disc of radius 6 around (7.5, 7.5): a black outer rim, a grey inner one."""
    px = [[MAGENTA] * SIZE for _ in range(SIZE)]
    c = 7.5
    for y in range(SIZE):
        for x in range(SIZE):
            r2 = (x - c) ** 2 + (y - c) ** 2
            if r2 <= 6.3 ** 2:
                if r2 > 5.3 ** 2:
                    px[y][x] = BLACK
                elif r2 > 4.4 ** 2:
                    px[y][x] = GREY
                else:
                    px[y][x] = checker(x, y)
    return px


def png(path, px):
    raw = b"".join(b"\x00" + bytes(v for p in row for v in p) for row in px)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    png(os.path.join(out, "tray0.png"), tile())
    png(os.path.join(out, "tray1.png"), dial())


if __name__ == "__main__":
    main()
