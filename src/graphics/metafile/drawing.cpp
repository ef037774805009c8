// Drawing records: lines and the current position, polylines, polygons and
// poly-polygons (16- and 32-bit points), Béziers, rectangles, rounded rectangles,
// ellipses, arcs, chords, pies, PolyDraw, pixels and filled regions.
#include "graphics/metafile/families.h"
#include "graphics/metafile/player.h"
#include "graphics/metafile/records.h"
#include "graphics/metafile/region.h"

#include <QPainterPath>

#include <cmath>
#include <numbers>
#include <vector>

namespace graphics::metafile {

namespace {

// Most polygons one poly-polygon record may hold; the point data bounds the rest.
constexpr std::uint32_t kMaxPolygons = 1u << 20;

enum class ArcKind { Open, Chord, Pie };

// Reads count points; empty when the record does not hold them.
std::vector<QPointF> ReadPoints(ByteCursor& c, std::uint64_t count, bool small)
{
    std::vector<QPointF> points;
    if (!c.Has(count * (small ? 4 : 8))) {
        c.Skip(c.Remaining() + 1); // fail the cursor
        return points;
    }
    points.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) points.push_back(small ? ReadPointS(c) : ReadPointL(c));
    return points;
}

QPainterPath PolylinePath(const std::vector<QPointF>& points, std::size_t from, std::size_t count, bool closed)
{
    QPainterPath path;
    if (count == 0) return path;
    path.moveTo(points[from]);
    for (std::size_t i = 1; i < count; ++i) path.lineTo(points[from + i]);
    if (closed) path.closeSubpath();
    return path;
}

// Cubic Béziers from start through points taken three at a time.
void AddBeziers(QPainterPath& path, const std::vector<QPointF>& points, std::size_t from)
{
    for (std::size_t i = from; i + 2 < points.size(); i += 3) path.cubicTo(points[i], points[i + 1], points[i + 2]);
}

// Parametric angle (degrees, counter-clockwise as seen) of the ellipse point on the
// ray from the centre through p.
double EllipseAngle(const QRectF& box, QPointF p)
{
    QPointF c = box.center();
    double dx = (p.x() - c.x()) / (box.width() / 2);
    double dy = (p.y() - c.y()) / (box.height() / 2);
    if (dx == 0 && dy == 0) return 0;
    return std::atan2(-dy, dx) * 180 / std::numbers::pi;
}

// The arc of box from the ray through start to the ray through end, in the arc
// direction; the path begins at the arc's start unless a start point is given.
QPainterPath ArcPath(QRectF box, QPointF start, QPointF end, bool clockwise, ArcKind kind)
{
    box = box.normalized();
    QPainterPath path;
    if (box.width() <= 0 || box.height() <= 0) return path;
    double a0 = EllipseAngle(box, start);
    double a1 = EllipseAngle(box, end);
    double sweep = a1 - a0;
    if (clockwise) {
        while (sweep >= 0) sweep -= 360;
        while (sweep < -360) sweep += 360;
    } else {
        while (sweep <= 0) sweep += 360;
        while (sweep > 360) sweep -= 360;
    }
    if (kind == ArcKind::Pie) path.moveTo(box.center());
    else path.arcMoveTo(box, a0);
    path.arcTo(box, a0, sweep);
    if (kind != ArcKind::Open) path.closeSubpath();
    return path;
}

QPainterPath RectPath(const QRectF& r)
{
    QPainterPath path;
    path.addRect(r.normalized());
    return path;
}

QPainterPath EllipsePath(const QRectF& r)
{
    QPainterPath path;
    path.addEllipse(r.normalized());
    return path;
}

QPainterPath RoundRectPath(const QRectF& r, double w, double h)
{
    QPainterPath path;
    path.addRoundedRect(r.normalized(), std::abs(w) / 2, std::abs(h) / 2);
    return path;
}

void LineTo(Player& p, QPointF to)
{
    QPainterPath path;
    path.moveTo(p.Dc().current);
    path.lineTo(to);
    p.LinesFromCurrent(path);
    p.Dc().current = to;
}

void MoveTo(Player& p, QPointF to)
{
    p.Dc().current = to;
    p.Dc().figureOpen = false;
}

void SetPixel(Player& p, QPointF at, QColor color)
{
    QPointF d = p.Total().map(at);
    QPainterPath dot;
    dot.addRect(QRectF(std::floor(d.x()), std::floor(d.y()), 1, 1));
    p.FillDeviceRegion(dot, color);
}

// Poly-polygon and poly-polyline records: counts, then all points.
void PolyPoly(Player& p, ByteCursor& c, bool small, bool closed, std::uint32_t polys, std::uint64_t total)
{
    if (!c.Ok() || polys > kMaxPolygons || !c.Has(std::uint64_t(polys) * (small && !p.Enhanced() ? 2 : 4))) return;
    std::vector<std::uint32_t> counts(polys);
    std::uint64_t sum = 0;
    for (auto& n : counts) {
        n = p.Enhanced() ? c.U32() : c.U16();
        sum += n;
    }
    if (!p.Enhanced()) total = sum;
    if (sum > total) return; // counts past the points
    std::vector<QPointF> points = ReadPoints(c, total, small);
    if (!c.Ok()) return;
    QPainterPath path;
    std::size_t at = 0;
    for (std::uint32_t n : counts) {
        path.addPath(PolylinePath(points, at, n, closed));
        at += n;
    }
    if (closed) p.Shape(path);
    else p.Lines(path);
}

// PolyDraw: points with PT_MOVETO / PT_LINETO / PT_BEZIERTO types, PT_CLOSEFIGURE flag.
void PolyDraw(Player& p, const std::vector<QPointF>& points, const std::uint8_t* types)
{
    QPainterPath path;
    path.moveTo(p.Dc().current);
    for (std::size_t i = 0; i < points.size(); ++i) {
        std::uint8_t t = types[i] & ~1u;
        if (t == 6) {
            path.moveTo(points[i]);
        } else if (t == 2) {
            path.lineTo(points[i]);
        } else if (t == 4 && i + 2 < points.size()) {
            path.cubicTo(points[i], points[i + 1], points[i + 2]);
            i += 2;
        } else {
            return; // malformed type sequence: GDI draws nothing
        }
        if (types[i] & 1) path.closeSubpath();
    }
    p.LinesFromCurrent(path);
    if (!points.empty()) p.Dc().current = points.back();
}

} // namespace

bool EmfDrawing(Player& p, std::uint32_t type, ByteCursor& c)
{
    DeviceContext& dc = p.Dc();
    switch (type) {
    case emr::kMoveToEx: {
        QPointF to = ReadPointL(c);
        if (c.Ok()) MoveTo(p, to);
        return true;
    }
    case emr::kLineTo: {
        QPointF to = ReadPointL(c);
        if (c.Ok()) LineTo(p, to);
        return true;
    }
    case emr::kPolyline: case emr::kPolyline16:
    case emr::kPolygon: case emr::kPolygon16:
    case emr::kPolyBezier: case emr::kPolyBezier16:
    case emr::kPolylineTo: case emr::kPolylineTo16:
    case emr::kPolyBezierTo: case emr::kPolyBezierTo16: {
        const bool small = type >= emr::kPolyBezier16;
        c.Skip(16); // bounds
        std::uint32_t count = c.U32();
        std::vector<QPointF> points = ReadPoints(c, count, small);
        if (!c.Ok() || points.empty()) return true;
        QPainterPath path;
        switch (type) {
        case emr::kPolygon: case emr::kPolygon16:
            p.Shape(PolylinePath(points, 0, points.size(), true));
            break;
        case emr::kPolyline: case emr::kPolyline16:
            p.Lines(PolylinePath(points, 0, points.size(), false));
            break;
        case emr::kPolyBezier: case emr::kPolyBezier16:
            path.moveTo(points[0]);
            AddBeziers(path, points, 1);
            p.Lines(path);
            break;
        case emr::kPolylineTo: case emr::kPolylineTo16:
            path.moveTo(dc.current);
            for (const QPointF& pt : points) path.lineTo(pt);
            p.LinesFromCurrent(path);
            dc.current = points.back();
            break;
        default: // PolyBezierTo
            path.moveTo(dc.current);
            AddBeziers(path, points, 0);
            p.LinesFromCurrent(path);
            dc.current = path.currentPosition();
            break;
        }
        return true;
    }
    case emr::kPolyPolyline: case emr::kPolyPolyline16:
    case emr::kPolyPolygon: case emr::kPolyPolygon16: {
        c.Skip(16);
        std::uint32_t polys = c.U32();
        std::uint32_t total = c.U32();
        bool closed = type == emr::kPolyPolygon || type == emr::kPolyPolygon16;
        PolyPoly(p, c, type == emr::kPolyPolyline16 || type == emr::kPolyPolygon16, closed, polys, total);
        return true;
    }
    case emr::kPolyDraw: case emr::kPolyDraw16: {
        c.Skip(16);
        std::uint32_t count = c.U32();
        std::vector<QPointF> points = ReadPoints(c, count, type == emr::kPolyDraw16);
        const std::uint8_t* types = c.Bytes(count);
        if (c.Ok()) PolyDraw(p, points, types);
        return true;
    }
    case emr::kRectangle:
    case emr::kEllipse: {
        QRectF box = ReadRectL(c);
        if (c.Ok()) p.Shape(type == emr::kRectangle ? RectPath(box) : EllipsePath(box));
        return true;
    }
    case emr::kRoundRect: {
        QRectF box = ReadRectL(c);
        double w = c.I32(), h = c.I32();
        if (c.Ok()) p.Shape(RoundRectPath(box, w, h));
        return true;
    }
    case emr::kArc: case emr::kArcTo: case emr::kChord: case emr::kPie: {
        QRectF box = ReadRectL(c);
        QPointF start = ReadPointL(c);
        QPointF end = ReadPointL(c);
        if (!c.Ok()) return true;
        if (type == emr::kChord) p.Shape(ArcPath(box, start, end, dc.arcClockwise, ArcKind::Chord));
        else if (type == emr::kPie) p.Shape(ArcPath(box, start, end, dc.arcClockwise, ArcKind::Pie));
        else if (type == emr::kArc) p.Lines(ArcPath(box, start, end, dc.arcClockwise, ArcKind::Open));
        else {
            QPainterPath arc = ArcPath(box, start, end, dc.arcClockwise, ArcKind::Open);
            if (arc.isEmpty()) return true;
            QPainterPath path;
            path.moveTo(dc.current);
            path.connectPath(arc);
            p.LinesFromCurrent(path);
            dc.current = path.currentPosition();
        }
        return true;
    }
    case emr::kAngleArc: {
        QPointF centre = ReadPointL(c);
        double radius = c.U32();
        double start = c.F32();
        double sweep = c.F32();
        if (!c.Ok() || !std::isfinite(start) || !std::isfinite(sweep) || std::abs(sweep) > 3600) return true;
        QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        QPainterPath path;
        path.moveTo(dc.current);
        path.arcTo(box, start, sweep);
        p.LinesFromCurrent(path);
        dc.current = path.currentPosition();
        return true;
    }
    case emr::kSetPixelV: {
        QPointF at = ReadPointL(c);
        QColor color = ReadColorRef(c);
        if (c.Ok()) SetPixel(p, at, color);
        return true;
    }
    case emr::kFillRgn:
    case emr::kPaintRgn: {
        c.Skip(16);
        std::uint32_t size = c.U32();
        std::uint32_t brushIndex = type == emr::kFillRgn ? c.U32() : 0;
        if (!c.Ok()) return true;
        auto region = ReadRegionData(c.Sub(c.Position(), std::min<std::size_t>(size, c.Remaining())));
        if (!region) return true;
        QBrush brush = dc.brush.brush;
        if (type == emr::kFillRgn) {
            std::optional<GdiObject> stock;
            const GdiObject* o = ObjectTable::IsStock(brushIndex) ? (stock = ObjectTable::Stock(brushIndex), stock ? &*stock : nullptr)
                                                                 : p.Objects().Get(brushIndex);
            const Brush* b = o ? std::get_if<Brush>(o) : nullptr;
            if (!b) return true;
            brush = b->brush;
        }
        p.FillDeviceRegion(p.Base().map(*region), brush);
        return true;
    }
    case emr::kFrameRgn:
    case emr::kInvertRgn:
    case emr::kExtFloodFill:
        return true;
    default: return false;
    }
}

bool WmfDrawing(Player& p, std::uint16_t function, ByteCursor& c)
{
    DeviceContext& dc = p.Dc();
    switch (function) {
    case meta::kMoveTo: {
        QPointF to = ReadYX(c);
        if (c.Ok()) MoveTo(p, to);
        return true;
    }
    case meta::kLineTo: {
        QPointF to = ReadYX(c);
        if (c.Ok()) LineTo(p, to);
        return true;
    }
    case meta::kPolyline:
    case meta::kPolygon: {
        std::int16_t count = c.I16();
        if (count < 0) return true;
        std::vector<QPointF> points = ReadPoints(c, static_cast<std::uint64_t>(count), true);
        if (!c.Ok() || points.empty()) return true;
        if (function == meta::kPolygon) p.Shape(PolylinePath(points, 0, points.size(), true));
        else p.Lines(PolylinePath(points, 0, points.size(), false));
        return true;
    }
    case meta::kPolyPolygon: {
        std::uint16_t polys = c.U16();
        PolyPoly(p, c, true, true, polys, 0);
        return true;
    }
    case meta::kRectangle:
    case meta::kEllipse: {
        QRectF box = ReadRectBRTL(c);
        if (c.Ok()) p.Shape(function == meta::kRectangle ? RectPath(box) : EllipsePath(box));
        return true;
    }
    case meta::kRoundRect: {
        double h = c.I16(), w = c.I16();
        QRectF box = ReadRectBRTL(c);
        if (c.Ok()) p.Shape(RoundRectPath(box, w, h));
        return true;
    }
    case meta::kArc: case meta::kChord: case meta::kPie: {
        QPointF end = ReadYX(c);
        QPointF start = ReadYX(c);
        QRectF box = ReadRectBRTL(c);
        if (!c.Ok()) return true;
        if (function == meta::kArc) p.Lines(ArcPath(box, start, end, false, ArcKind::Open));
        else p.Shape(ArcPath(box, start, end, false, function == meta::kPie ? ArcKind::Pie : ArcKind::Chord));
        return true;
    }
    case meta::kSetPixel: {
        QColor color = ReadColorRef(c);
        QPointF at = ReadYX(c);
        if (c.Ok()) SetPixel(p, at, color);
        return true;
    }
    case meta::kFillRegion:
    case meta::kPaintRegion: {
        std::uint16_t regionIndex = c.U16();
        std::uint16_t brushIndex = function == meta::kFillRegion ? c.U16() : 0;
        if (!c.Ok()) return true;
        const GdiObject* r = p.Objects().Get(regionIndex);
        const Region* region = r ? std::get_if<Region>(r) : nullptr;
        if (!region) return true;
        QBrush brush = dc.brush.brush;
        if (function == meta::kFillRegion) {
            const GdiObject* b = p.Objects().Get(brushIndex);
            const Brush* fill = b ? std::get_if<Brush>(b) : nullptr;
            if (!fill) return true;
            brush = fill->brush;
        }
        p.FillWith(region->area, brush);
        return true;
    }
    case meta::kFrameRegion:
    case meta::kInvertRegion:
    case meta::kFloodFill:
    case meta::kExtFloodFill:
        return true;
    default: return false;
    }
}

} // namespace graphics::metafile
