// Transform records: map mode, window and viewport origin and extent, and the world
// transform (EMF). A WMF's viewport is the target rectangle, so its viewport records
// are left alone, as when the system plays a WMF into a rectangle.
#include "graphics/metafile/families.h"
#include "graphics/metafile/player.h"
#include "graphics/metafile/records.h"

#include <cmath>

namespace graphics::metafile {

namespace {

enum WorldMode : std::uint32_t { kMwtIdentity = 1, kMwtLeftMultiply = 2, kMwtRightMultiply = 3, kMwtSet = 4 };

bool Scalable(const DeviceContext& dc)
{
    return dc.mapMode == kMmIsotropic || dc.mapMode == kMmAnisotropic;
}

void SetMapMode(Player& p, std::uint32_t mode)
{
    if (mode >= kMmText && mode <= kMmAnisotropic) p.Dc().mapMode = static_cast<int>(mode);
}

// Extents are ignored outside the scalable map modes, and a zero extent is refused.
void SetExtent(Player& p, QSizeF& extent, double cx, double cy)
{
    if (!Scalable(p.Dc()) || cx == 0 || cy == 0) return;
    extent = QSizeF(cx, cy);
}

void ScaleExtent(Player& p, QSizeF& extent, double xNum, double xDenom, double yNum, double yDenom)
{
    if (!Scalable(p.Dc()) || xDenom == 0 || yDenom == 0) return;
    double cx = extent.width() * xNum / xDenom;
    double cy = extent.height() * yNum / yDenom;
    if (cx != 0 && cy != 0 && std::isfinite(cx) && std::isfinite(cy)) extent = QSizeF(cx, cy);
}

// XFORM: eM11, eM12, eM21, eM22, eDx, eDy. Non-finite or absurd values are refused.
std::optional<QTransform> ReadXform(ByteCursor& c)
{
    double v[6];
    for (double& x : v) x = c.F32();
    if (!c.Ok()) return std::nullopt;
    for (double x : v)
        if (!std::isfinite(x) || std::abs(x) > 1e9) return std::nullopt;
    return QTransform(v[0], v[1], v[2], v[3], v[4], v[5]);
}

} // namespace

bool EmfTransforms(Player& p, std::uint32_t type, ByteCursor& c)
{
    DeviceContext& dc = p.Dc();
    switch (type) {
    case emr::kSetMapMode: {
        std::uint32_t mode = c.U32();
        if (c.Ok()) SetMapMode(p, mode);
        return true;
    }
    case emr::kSetWindowExtEx:
    case emr::kSetViewportExtEx: {
        double cx = c.I32(), cy = c.I32();
        if (c.Ok()) SetExtent(p, type == emr::kSetWindowExtEx ? dc.windowExt : dc.viewportExt, cx, cy);
        return true;
    }
    case emr::kSetWindowOrgEx:
    case emr::kSetViewportOrgEx: {
        QPointF origin = ReadPointL(c);
        if (c.Ok()) (type == emr::kSetWindowOrgEx ? dc.windowOrg : dc.viewportOrg) = origin;
        return true;
    }
    case emr::kScaleWindowExtEx:
    case emr::kScaleViewportExtEx: {
        double xNum = c.I32(), xDenom = c.I32(), yNum = c.I32(), yDenom = c.I32();
        if (c.Ok())
            ScaleExtent(p, type == emr::kScaleWindowExtEx ? dc.windowExt : dc.viewportExt, xNum, xDenom, yNum, yDenom);
        return true;
    }
    case emr::kSetWorldTransform: {
        if (auto xf = ReadXform(c)) dc.world = *xf;
        return true;
    }
    case emr::kModifyWorldTransform: {
        auto xf = ReadXform(c);
        std::uint32_t mode = c.U32();
        if (!c.Ok()) return true;
        if (mode == kMwtIdentity) dc.world = QTransform();
        else if (!xf) return true;
        else if (mode == kMwtLeftMultiply) dc.world = *xf * dc.world; // xf applies first
        else if (mode == kMwtRightMultiply) dc.world = dc.world * *xf;
        else if (mode == kMwtSet) dc.world = *xf;
        return true;
    }
    default: return false;
    }
}

bool WmfTransforms(Player& p, std::uint16_t function, ByteCursor& c)
{
    DeviceContext& dc = p.Dc();
    switch (function) {
    case meta::kSetMapMode: {
        std::uint16_t mode = c.U16();
        if (c.Ok()) SetMapMode(p, mode);
        return true;
    }
    case meta::kSetWindowOrg: {
        QPointF origin = ReadYX(c);
        if (c.Ok()) dc.windowOrg = origin;
        return true;
    }
    case meta::kSetWindowExt: {
        QPointF ext = ReadYX(c);
        if (c.Ok()) SetExtent(p, dc.windowExt, ext.x(), ext.y());
        return true;
    }
    case meta::kOffsetWindowOrg: {
        QPointF d = ReadYX(c);
        if (c.Ok()) dc.windowOrg += d;
        return true;
    }
    case meta::kScaleWindowExt: {
        double yDenom = c.I16(), yNum = c.I16(), xDenom = c.I16(), xNum = c.I16();
        if (c.Ok()) ScaleExtent(p, dc.windowExt, xNum, xDenom, yNum, yDenom);
        return true;
    }
    case meta::kSetViewportOrg:
    case meta::kSetViewportExt:
    case meta::kOffsetViewportOrg:
    case meta::kScaleViewportExt:
        return true;
    default: return false;
    }
}

} // namespace graphics::metafile
