#!/usr/bin/env python3
"""Writes the corrupted metafiles of this folder; README.md says what is broken in each.
Each file is small and damaged in one way; the player must refuse it or play it
without reading outside the data."""
import struct


def rec(kind, payload=b""):
    payload += b"\0" * (-len(payload) % 4)
    return struct.pack("<II", kind, 8 + len(payload)) + payload


def emf(*records, handles=4, header_size=88, frame=(0, 0, 2540, 2540)):
    body = b"".join(records) + rec(14, struct.pack("<III", 0, 16, 20))
    h = struct.pack("<II", 1, header_size) + struct.pack("<4i", 0, 0, 99, 99) + struct.pack("<4i", *frame)
    h += struct.pack("<IIIIHHIII", 0x464D4520, 0x10000, header_size + len(body), 0, handles, 0, 0, 0, 0)
    h += struct.pack("<4i", 100, 100, 26, 26)
    return h + b"\0" * (header_size - len(h)) + body


def wrec(function, payload=b"", words=None):
    if len(payload) % 2:
        payload += b"\0"
    size = words if words is not None else 3 + len(payload) // 2
    return struct.pack("<IH", size, function) + payload


def wmf(*records, objects=4, box=(0, 0, 1000, 1000), inch=1000, placeable=True):
    out = b""
    if placeable:
        p = struct.pack("<IH4hHI", 0x9AC6CDD7, 0, *box, inch, 0)
        s = 0
        for i in range(0, 20, 2):
            s ^= struct.unpack("<H", p[i:i + 2])[0]
        out += p + struct.pack("<H", s)
    body = b"".join(records) + wrec(0)
    out += struct.pack("<HHHIHIH", 1, 9, 0x300, (18 + len(body)) // 2, objects, 64, 0)
    return out + body


brush = rec(39, struct.pack("<IIII", 1, 0, 0x0000FF, 0))
select = rec(37, struct.pack("<I", 1))
rect = rec(43, struct.pack("<4i", 10, 10, 90, 90))
dib_header = struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 24, 0, 0, 0, 0, 0, 0)

FILES = {
    "emf-record-size-past-end.emf": emf(brush, select, struct.pack("<II", 43, 0x7FFFFFF0) + b"\0" * 16),
    "emf-record-size-not-multiple-of-4.emf": emf(brush, struct.pack("<II", 37, 10) + b"\x01\0\0\0\0\0", rect),
    "emf-record-size-zero.emf": emf(brush, struct.pack("<II", 37, 0), rect),
    "emf-header-too-short.emf": emf(brush, rect, header_size=40),
    "emf-no-size.emf": emf(rect, frame=(0, 0, 0, 0))[:8] + struct.pack("<4i", 0, 0, -5, -5) + emf(rect, frame=(0, 0, 0, 0))[24:],
    "emf-polygon-count-huge.emf": emf(brush, select, rec(86, struct.pack("<4iI", 0, 0, 9, 9, 0x7FFFFFFF) + struct.pack("<4h", 1, 1, 5, 5))),
    "emf-polypolygon-counts-past-points.emf": emf(brush, select, rec(91, struct.pack("<4iIIII", 0, 0, 9, 9, 2, 3, 1000, 1000) + struct.pack("<6h", 1, 1, 5, 5, 1, 9))),
    "emf-polypolygon-polygon-count-huge.emf": emf(rec(8, struct.pack("<4iII", 0, 0, 9, 9, 0xFFFFFFFF, 2) + b"\0" * 16)),
    "emf-object-index-out-of-range.emf": emf(rec(39, struct.pack("<IIII", 0xFFFFFFF0, 0, 255, 0)), rec(37, struct.pack("<I", 0x7FFFFFFF)), rec(40, struct.pack("<I", 70000)), rec(39, struct.pack("<IIII", 0, 0, 255, 0)), rect),
    "emf-dib-offsets-past-record.emf": emf(rec(81, struct.pack("<4i6i4IIIii", 0, 0, 9, 9, 0, 0, 0, 0, 2, 2, 80, 40, 0x7FFFFFF0, 16, 0, 0x00CC0020, 50, 50) + dib_header)),
    "emf-dib-size-huge.emf": emf(rec(81, struct.pack("<4i6i4IIIii", 0, 0, 9, 9, 0, 0, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0x00CC0020, 50, 50) + struct.pack("<IiiHHIIiiII", 40, 100000, -100000, 1, 32, 0, 0, 0, 0, 0, 0) + b"\0" * 16)),
    "emf-dib-height-huge.emf": emf(rec(81, struct.pack("<4i6i4IIIii", 0, 0, 9, 9, 0, 0, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0x00CC0020, 50, 50) + struct.pack("<IiiHHIIiiII", 40, 2, -16711678, 1, 24, 0, 0, 0, 0, 0, 0) + b"\0" * 16)),
    "emf-dib-rle-height-huge.emf": emf(rec(81, struct.pack("<4i6i4IIIii", 0, 0, 9, 9, 0, 0, 0, 0, 2, 2, 80, 48, 128, 4, 0, 0x00CC0020, 50, 50) + struct.pack("<IiiHHIIiiII", 40, 4, 16000000, 1, 8, 1, 0, 0, 0, 2, 0) + b"\0" * 8 + b"\0\x02\xff\xff")),
    "emf-dib-palette-count-huge.emf": emf(rec(81, struct.pack("<4i6i4IIIii", 0, 0, 9, 9, 0, 0, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0x00CC0020, 50, 50) + struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 8, 0, 0, 0, 0, 0xFFFFFFFF, 0) + b"\0" * 16)),
    "emf-dib-rle-runs-past-rows.emf": emf(rec(81, struct.pack("<4i6i4IIIii", 0, 0, 9, 9, 0, 0, 0, 0, 2, 2, 80, 40 + 8, 128, 16, 0, 0x00CC0020, 50, 50) + struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 8, 1, 0, 0, 0, 2, 0) + b"\xff\0\0\0\0\xff\0\0" + b"\xff\x01" * 4 + b"\0\x02\xff\xff" + b"\0\x05\x01\x01")),
    "emf-absurd-coordinates.emf": emf(brush, select, rec(43, struct.pack("<4i", -2**31, -2**31, 2**31 - 1, 2**31 - 1)), rec(42, struct.pack("<4i", 0, 0, 2**31 - 1, 5))),
    "emf-world-transform-nan.emf": emf(brush, select, rec(35, struct.pack("<6f", float("nan"), 0, 0, float("inf"), 0, 0)), rec(36, struct.pack("<6fI", 1e30, 0, 0, 1e30, 0, 0, 2)), rect),
    "emf-window-extent-zero.emf": emf(rec(17, struct.pack("<I", 8)), rec(9, struct.pack("<ii", 0, 0)), rec(11, struct.pack("<ii", 0, 0)), brush, select, rect),
    "emf-savedc-endless.emf": emf(brush, select, *([rec(33)] * 2000), rect),
    "emf-restoredc-out-of-range.emf": emf(rec(34, struct.pack("<i", -2**31)), rec(34, struct.pack("<i", 2**31 - 1)), brush, select, rect),
    "emf-text-count-past-record.emf": emf(rec(84, struct.pack("<4iIff2iIII4iI", 0, 0, 9, 9, 1, 0, 0, 10, 10, 0x40000000, 76, 0, 0, 0, 0, 0, 80) + b"A\0")),
    "emf-text-offsets-past-record.emf": emf(rec(84, struct.pack("<4iIff2iIII4iI", 0, 0, 9, 9, 1, 0, 0, 10, 10, 4, 0xFFFFFFF0, 0, 0, 0, 0, 0, 0xFFFFFFF0) + b"A\0B\0C\0D\0")),
    "emf-region-count-huge.emf": emf(rec(75, struct.pack("<II", 48, 5) + struct.pack("<IIII4i", 32, 1, 0x7FFFFFFF, 0, 0, 0, 9, 9) + struct.pack("<4i", 0, 0, 5, 5))),
    "emf-extpen-dash-count-huge.emf": emf(rec(95, struct.pack("<5IIIIIII", 1, 0, 0, 0, 0, 0x10007, 3, 0, 0, 0, 0xFFFFFFFF) + struct.pack("<I", 5)), select, rect),
    "emf-path-never-ended.emf": emf(brush, select, rec(59), rect, rec(61), rec(62, b"\0" * 16), rec(67, struct.pack("<I", 5)), rect),
    "emf-truncated-mid-record.emf": emf(brush, select, rect)[:-30],
    "wmf-record-size-zero.wmf": wmf(wrec(0x02FC, struct.pack("<HIH", 0, 0xFF, 0), words=0)),
    "wmf-record-size-past-end.wmf": wmf(wrec(0x041B, struct.pack("<4h", 90, 90, 10, 10), words=0x7FFFFFFF)),
    "wmf-header-damaged.wmf": wmf(placeable=False)[:2] + struct.pack("<H", 4) + wmf(placeable=False)[4:],
    "wmf-no-size.wmf": wmf(wrec(0x041B, struct.pack("<4h", 90, 90, 10, 10)), placeable=False),
    "wmf-placeable-empty-box.wmf": wmf(wrec(0x041B, struct.pack("<4h", 90, 90, 10, 10)), box=(5, 5, 5, 5)),
    "wmf-polygon-count-negative.wmf": wmf(wrec(0x0324, struct.pack("<h4h", -3, 1, 1, 5, 5))),
    "wmf-polygon-count-past-record.wmf": wmf(wrec(0x0324, struct.pack("<h4h", 30000, 1, 1, 5, 5))),
    "wmf-polypolygon-counts-past-points.wmf": wmf(wrec(0x0538, struct.pack("<HHH4h", 2, 60000, 60000, 1, 1, 5, 5))),
    "wmf-object-table-full.wmf": wmf(*([wrec(0x02FC, struct.pack("<HIH", 0, 0xFF, 0))] * 300), wrec(0x012D, struct.pack("<H", 65535)), wrec(0x01F0, struct.pack("<H", 40000)), objects=1),
    "wmf-text-length-past-record.wmf": wmf(wrec(0x0521, struct.pack("<h", 32000) + b"AB" + struct.pack("<hh", 10, 10)), wrec(0x0A32, struct.pack("<hhhH", 10, 10, 5000, 6) + struct.pack("<4h", 0, 0, 9, 9) + b"XY")),
    "wmf-region-scan-count-huge.wmf": wmf(wrec(0x06FF, struct.pack("<hhihhh4h", 0, 6, 0, 0, 32000, 0, 0, 0, 9, 9) + struct.pack("<Hhhhh", 2, 0, 5, 0, 5)), wrec(0x012C, struct.pack("<H", 0))),
    "wmf-dib-bitblt-truncated.wmf": wmf(wrec(0x0940, struct.pack("<Ihh6h", 0x00CC0020, 0, 0, 2, 2, 0, 0, 0, 0) + dib_header[:20])),
    "wmf-savedc-endless.wmf": wmf(*([wrec(0x001E)] * 2000), wrec(0x0127, struct.pack("<h", -32768))),
}

if __name__ == "__main__":
    import os
    here = os.path.dirname(os.path.abspath(__file__))
    for name, data in FILES.items():
        with open(os.path.join(here, name), "wb") as f:
            f.write(data)
