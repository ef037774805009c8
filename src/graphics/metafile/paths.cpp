// Path records (EMF): the path bracket, closing figures, filling and stroking the path,
// widening it and making it the clip.
#include "graphics/metafile/families.h"
#include "graphics/metafile/player.h"
#include "graphics/metafile/records.h"

#include <QPainterPathStroker>

#include <cmath>

namespace graphics::metafile {

namespace {

// The path is used up by the operations that consume it, as on the original device.
QPainterPath TakePath(DeviceContext& dc)
{
    QPainterPath path = std::move(dc.path);
    dc.path = QPainterPath();
    dc.inPath = false;
    dc.figureOpen = false;
    return path;
}

} // namespace

bool EmfPaths(Player& p, std::uint32_t type, ByteCursor& c)
{
    DeviceContext& dc = p.Dc();
    switch (type) {
    case emr::kBeginPath:
        dc.path = QPainterPath();
        dc.inPath = true;
        dc.figureOpen = false;
        return true;
    case emr::kEndPath:
        dc.inPath = false;
        dc.figureOpen = false;
        return true;
    case emr::kAbortPath:
        TakePath(dc);
        return true;
    case emr::kCloseFigure:
        if (dc.inPath) {
            dc.path.closeSubpath();
            dc.figureOpen = false;
        }
        return true;
    case emr::kFillPath:
    case emr::kStrokeAndFillPath:
    case emr::kStrokePath: {
        QPainterPath path = TakePath(dc);
        p.PaintDevicePath(path, type != emr::kStrokePath, type != emr::kFillPath);
        return true;
    }
    case emr::kFlattenPath:
        return true; // curves are drawn as curves either way
    case emr::kWidenPath: {
        if (dc.inPath || dc.path.isEmpty() || dc.pen.null) return true;
        const QTransform t = p.Total();
        double scale = std::sqrt(std::abs(t.m11() * t.m22() - t.m12() * t.m21()));
        QPainterPathStroker stroker;
        stroker.setWidth(dc.pen.cosmetic ? 1.0 : std::max(1.0, dc.pen.width * scale));
        stroker.setCapStyle(dc.pen.cap);
        stroker.setJoinStyle(dc.pen.join);
        dc.path = stroker.createStroke(dc.path);
        return true;
    }
    case emr::kSelectClipPath: {
        std::uint32_t mode = c.U32();
        if (!c.Ok()) return true;
        QPainterPath path = TakePath(dc);
        path.setFillRule(dc.fillRule);
        p.CombineClip(path, static_cast<int>(mode));
        return true;
    }
    default: return false;
    }
}

} // namespace graphics::metafile
