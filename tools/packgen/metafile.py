"""Vector drawings written record by record as Enhanced Metafiles (EMF) and
Windows Metafiles (WMF, with the placeable header), plus a raster preview of
the same drawing so it can be looked at without a metafile player.

A Drawing is a list of operations in logical units (1 unit = 1 pixel at
96 dots per inch): a pen (colour, width or None), a brush (colour or None)
and shapes (polygon, polyline, ellipse, rectangle, bezier). Record layouts
follow the published EMF ([MS-EMF] 2.3) and WMF ([MS-WMF] 2.3) formats.
"""

import struct

from PIL import Image, ImageDraw


def colorref(rgb):
    r, g, b = rgb
    return r | (g << 8) | (b << 16)


def bezier_points(points, steps=24):
    """Flattens a cubic Bezier path (1 + 3k points) into a polyline."""
    out = [points[0]]
    for i in range(0, len(points) - 1, 3):
        p0, p1, p2, p3 = points[i:i + 4]
        for s in range(1, steps + 1):
            t = s / steps
            u = 1 - t
            x = u ** 3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t ** 3 * p3[0]
            y = u ** 3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t ** 3 * p3[1]
            out.append((x, y))
    return out


class Drawing:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.ops = []

    def pen(self, rgb, width=1):
        self.ops.append(("pen", rgb, max(1, int(round(width)))))

    def no_pen(self):
        self.ops.append(("pen", None, 0))

    def brush(self, rgb):
        self.ops.append(("brush", rgb))

    def no_brush(self):
        self.ops.append(("brush", None))

    def _pts(self, points):
        return [(int(round(x)), int(round(y))) for x, y in points]

    def polygon(self, points):
        self.ops.append(("polygon", self._pts(points)))

    def polyline(self, points):
        self.ops.append(("polyline", self._pts(points)))

    def ellipse(self, left, top, right, bottom):
        self.ops.append(("ellipse", tuple(int(round(v)) for v in (left, top, right, bottom))))

    def rectangle(self, left, top, right, bottom):
        self.ops.append(("rectangle", tuple(int(round(v)) for v in (left, top, right, bottom))))

    def bezier(self, points, closed=False):
        """A cubic Bezier path; closed ones are filled with the brush."""
        self.ops.append(("bezier", self._pts(points), closed))


# ---------------------------------------------------------------- EMF

EMR_HEADER = 1
EMR_POLYGON16 = 86
EMR_POLYLINE16 = 87
EMR_POLYBEZIER16 = 85
EMR_EOF = 14
EMR_SETMAPMODE = 17
EMR_SETBKMODE = 18
EMR_SELECTOBJECT = 37
EMR_CREATEPEN = 38
EMR_CREATEBRUSHINDIRECT = 39
EMR_DELETEOBJECT = 40
EMR_ELLIPSE = 42
EMR_RECTANGLE = 43

NULL_BRUSH = 0x80000005
NULL_PEN = 0x80000008
PS_SOLID = 0
PS_NULL = 5
BS_SOLID = 0
MM_TEXT = 1
TRANSPARENT = 1


def _rec(kind, payload):
    return struct.pack("<II", kind, 8 + len(payload)) + payload


def _bounds(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return struct.pack("<4i", min(xs), min(ys), max(xs), max(ys))


def _points16(points):
    return b"".join(struct.pack("<hh", x, y) for x, y in points)


def to_emf(drawing, description="Ambience"):
    w, h = drawing.width, drawing.height
    records = [
        _rec(EMR_SETMAPMODE, struct.pack("<I", MM_TEXT)),
        _rec(EMR_SETBKMODE, struct.pack("<I", TRANSPARENT)),
    ]
    handles = 1  # slot 0 is the metafile itself
    pen_handle = None
    brush_handle = None
    for op in drawing.ops:
        kind = op[0]
        if kind == "pen":
            _, rgb, width = op
            new = handles
            handles += 1
            style = PS_NULL if rgb is None else PS_SOLID
            records.append(_rec(EMR_CREATEPEN, struct.pack("<IIiiI", new, style, width, 0, colorref(rgb or (0, 0, 0)))))
            records.append(_rec(EMR_SELECTOBJECT, struct.pack("<I", new)))
            if pen_handle is not None:
                records.append(_rec(EMR_DELETEOBJECT, struct.pack("<I", pen_handle)))
            pen_handle = new
        elif kind == "brush":
            _, rgb = op
            if rgb is None:
                records.append(_rec(EMR_SELECTOBJECT, struct.pack("<I", NULL_BRUSH)))
                if brush_handle is not None:
                    records.append(_rec(EMR_DELETEOBJECT, struct.pack("<I", brush_handle)))
                brush_handle = None
                continue
            new = handles
            handles += 1
            records.append(_rec(EMR_CREATEBRUSHINDIRECT, struct.pack("<IIII", new, BS_SOLID, colorref(rgb), 0)))
            records.append(_rec(EMR_SELECTOBJECT, struct.pack("<I", new)))
            if brush_handle is not None:
                records.append(_rec(EMR_DELETEOBJECT, struct.pack("<I", brush_handle)))
            brush_handle = new
        elif kind in ("polygon", "polyline"):
            pts = op[1]
            rtype = EMR_POLYGON16 if kind == "polygon" else EMR_POLYLINE16
            records.append(_rec(rtype, _bounds(pts) + struct.pack("<I", len(pts)) + _points16(pts)))
        elif kind == "bezier":
            _, pts, closed = op
            if closed:
                # Filled curves go out flattened: a polygon plays the same everywhere.
                flat = [(int(round(x)), int(round(y))) for x, y in bezier_points(pts)]
                records.append(_rec(EMR_POLYGON16, _bounds(flat) + struct.pack("<I", len(flat)) + _points16(flat)))
            else:
                records.append(_rec(EMR_POLYBEZIER16, _bounds(pts) + struct.pack("<I", len(pts)) + _points16(pts)))
        elif kind in ("ellipse", "rectangle"):
            rtype = EMR_ELLIPSE if kind == "ellipse" else EMR_RECTANGLE
            records.append(_rec(rtype, struct.pack("<4i", *op[1])))
    # Leave the stock objects selected and free ours, as a tidy writer does.
    if pen_handle is not None:
        records.append(_rec(EMR_SELECTOBJECT, struct.pack("<I", NULL_PEN)))
        records.append(_rec(EMR_DELETEOBJECT, struct.pack("<I", pen_handle)))
    if brush_handle is not None:
        records.append(_rec(EMR_SELECTOBJECT, struct.pack("<I", NULL_BRUSH)))
        records.append(_rec(EMR_DELETEOBJECT, struct.pack("<I", brush_handle)))
    records.append(_rec(EMR_EOF, struct.pack("<III", 0, 16, 20)))

    desc = (description + "\0\0").encode("utf-16-le")
    if len(desc) % 4:
        desc += b"\0\0"
    header_size = 108
    body = b"".join(records)
    n_bytes = header_size + len(desc) + len(body)
    # Reference device: 1920 x 1080 pixels on 508 x 286 mm, about 96 dots per inch.
    frame = (0, 0, int(round((w - 1) * 2540 / 96)), int(round((h - 1) * 2540 / 96)))
    header = struct.pack(
        "<II4i4iIIIIHHIIIiiiiIIIii",
        EMR_HEADER, header_size + len(desc),
        0, 0, w - 1, h - 1,
        *frame,
        0x464D4520, 0x10000, n_bytes, len(records) + 1, handles, 0,
        len(desc) // 2, header_size, 0,
        1920, 1080, 508, 286,
        0, 0, 0,
        508000, 285750,
    )
    assert len(header) == header_size
    return header + desc + body


# ---------------------------------------------------------------- WMF

META_EOF = 0x0000
META_SETBKMODE = 0x0102
META_SETMAPMODE = 0x0103
META_SETPOLYFILLMODE = 0x0106
META_SETWINDOWORG = 0x020B
META_SETWINDOWEXT = 0x020C
META_SELECTOBJECT = 0x012D
META_DELETEOBJECT = 0x01F0
META_CREATEPENINDIRECT = 0x02FA
META_CREATEBRUSHINDIRECT = 0x02FC
META_POLYGON = 0x0324
META_POLYLINE = 0x0325
META_ELLIPSE = 0x0418
META_RECTANGLE = 0x041B
BS_NULL = 1
ALTERNATE = 1


def _wrec(function, payload):
    assert len(payload) % 2 == 0
    return struct.pack("<IH", 3 + len(payload) // 2, function) + payload


class _Slots:
    """The WMF object table: a new object takes the lowest free index."""

    def __init__(self):
        self.used = []

    def take(self):
        for i, u in enumerate(self.used):
            if not u:
                self.used[i] = True
                return i
        self.used.append(True)
        return len(self.used) - 1

    def free(self, i):
        self.used[i] = False


def to_wmf(drawing):
    w, h = drawing.width, drawing.height
    slots = _Slots()
    records = [
        _wrec(META_SETMAPMODE, struct.pack("<H", MM_TEXT)),
        _wrec(META_SETWINDOWORG, struct.pack("<hh", 0, 0)),
        _wrec(META_SETWINDOWEXT, struct.pack("<hh", h, w)),
        _wrec(META_SETBKMODE, struct.pack("<H", TRANSPARENT)),
        _wrec(META_SETPOLYFILLMODE, struct.pack("<H", ALTERNATE)),
    ]
    pen = None
    brush = None
    for op in drawing.ops:
        kind = op[0]
        if kind in ("pen", "brush"):
            new = slots.take()
            if kind == "pen":
                _, rgb, width = op
                style = PS_NULL if rgb is None else PS_SOLID
                records.append(_wrec(META_CREATEPENINDIRECT,
                                     struct.pack("<HhhI", style, width, 0, colorref(rgb or (0, 0, 0)))))
            else:
                _, rgb = op
                style = BS_NULL if rgb is None else BS_SOLID
                records.append(_wrec(META_CREATEBRUSHINDIRECT,
                                     struct.pack("<HIH", style, colorref(rgb or (0, 0, 0)), 0)))
            records.append(_wrec(META_SELECTOBJECT, struct.pack("<H", new)))
            old = pen if kind == "pen" else brush
            if old is not None:
                records.append(_wrec(META_DELETEOBJECT, struct.pack("<H", old)))
                slots.free(old)
            if kind == "pen":
                pen = new
            else:
                brush = new
        elif kind in ("polygon", "polyline", "bezier"):
            pts = op[1]
            function = META_POLYLINE if kind == "polyline" else META_POLYGON
            if kind == "bezier":
                # WMF has no curves: flatten them.
                pts = [(int(round(x)), int(round(y))) for x, y in bezier_points(pts)]
                function = META_POLYGON if op[2] else META_POLYLINE
            records.append(_wrec(function, struct.pack("<H", len(pts)) + _points16(pts)))
        elif kind in ("ellipse", "rectangle"):
            left, top, right, bottom = op[1]
            function = META_ELLIPSE if kind == "ellipse" else META_RECTANGLE
            records.append(_wrec(function, struct.pack("<hhhh", bottom, right, top, left)))
    records.append(_wrec(META_EOF, b""))
    body = b"".join(records)
    n_objects = max(1, len(slots.used))
    max_record = max(struct.unpack_from("<I", r)[0] for r in records)
    total_words = 9 + len(body) // 2
    header = struct.pack("<HHHIHIH", 1, 9, 0x0300, total_words, n_objects, max_record, 0)
    # Placeable header: 96 units per inch, so one unit is one pixel.
    words = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, w, h, 96, 0)
    checksum = 0
    for (word,) in struct.iter_unpack("<H", words):
        checksum ^= word
    placeable = words + struct.pack("<H", checksum)
    return placeable + header + body


# ---------------------------------------------------------------- preview

def to_image(drawing, scale=1.0):
    """Renders the drawing with PIL (4x supersampled) for looking at it."""
    ss = 4
    f = scale * ss
    img = Image.new("RGB", (int(drawing.width * f), int(drawing.height * f)), (128, 128, 128))
    d = ImageDraw.Draw(img)
    pen = (None, 0)
    brush = None

    def sc(points):
        return [(x * f, y * f) for x, y in points]

    for op in drawing.ops:
        kind = op[0]
        if kind == "pen":
            pen = (op[1], op[2])
        elif kind == "brush":
            brush = op[1]
        else:
            width = max(1, int(pen[1] * f)) if pen[0] is not None else 0
            if kind in ("polygon", "bezier"):
                pts = op[1] if kind == "polygon" else bezier_points(op[1])
                closed = kind == "polygon" or op[2]
                if closed:
                    if brush is not None:
                        d.polygon(sc(pts), fill=brush)
                    if pen[0] is not None:
                        d.line(sc(pts + [pts[0]]), fill=pen[0], width=width, joint="curve")
                else:
                    if pen[0] is not None:
                        d.line(sc(pts), fill=pen[0], width=width, joint="curve")
            elif kind == "polyline":
                if pen[0] is not None:
                    d.line(sc(op[1]), fill=pen[0], width=width, joint="curve")
            elif kind in ("ellipse", "rectangle"):
                box = [v * f for v in op[1]]
                fn = d.ellipse if kind == "ellipse" else d.rectangle
                fn(box, fill=brush, outline=pen[0], width=width if pen[0] is not None else 0)
    return img.resize((int(drawing.width * scale), int(drawing.height * scale)), Image.LANCZOS)
