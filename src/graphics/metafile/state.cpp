// State records: SaveDC/RestoreDC, colours, background mode, text alignment, fill mode,
// raster operation of the pen, arc direction, miter limit.
#include "graphics/metafile/families.h"
#include "graphics/metafile/player.h"
#include "graphics/metafile/records.h"

#include <bit>
#include <cmath>

namespace graphics::metafile {

namespace {

void SetFillMode(Player& p, std::uint32_t mode)
{
    if (mode == 1) p.Dc().fillRule = Qt::OddEvenFill;  // ALTERNATE
    else if (mode == 2) p.Dc().fillRule = Qt::WindingFill; // WINDING
}

void SetBackgroundMode(Player& p, std::uint32_t mode)
{
    if (mode == kTransparent || mode == kOpaque) p.Dc().backgroundMode = static_cast<int>(mode);
}

void SetRop2(Player& p, std::uint32_t rop)
{
    if (rop >= 1 && rop <= 16) p.Dc().rop2 = static_cast<int>(rop);
}

} // namespace

bool EmfState(Player& p, std::uint32_t type, ByteCursor& c)
{
    DeviceContext& dc = p.Dc();
    switch (type) {
    case emr::kSaveDc: p.SaveDc(); return true;
    case emr::kRestoreDc: {
        std::int32_t which = c.I32();
        if (c.Ok()) p.RestoreDc(which);
        return true;
    }
    case emr::kSetBkMode: {
        std::uint32_t mode = c.U32();
        if (c.Ok()) SetBackgroundMode(p, mode);
        return true;
    }
    case emr::kSetBkColor:
    case emr::kSetTextColor: {
        QColor color = ReadColorRef(c);
        if (!c.Ok()) return true;
        (type == emr::kSetBkColor ? dc.backgroundColor : dc.textColor) = color;
        return true;
    }
    case emr::kSetTextAlign: {
        std::uint32_t align = c.U32();
        if (c.Ok()) dc.textAlign = align;
        return true;
    }
    case emr::kSetPolyFillMode: {
        std::uint32_t mode = c.U32();
        if (c.Ok()) SetFillMode(p, mode);
        return true;
    }
    case emr::kSetRop2: {
        std::uint32_t rop = c.U32();
        if (c.Ok()) SetRop2(p, rop);
        return true;
    }
    case emr::kSetArcDirection: {
        std::uint32_t dir = c.U32();
        if (c.Ok()) dc.arcClockwise = dir == 2; // AD_CLOCKWISE
        return true;
    }
    case emr::kSetMiterLimit: {
        // Writers disagree whether this is an integer or a float: small values are integers.
        std::uint32_t raw = c.U32();
        if (!c.Ok()) return true;
        double limit = raw < 0x10000 ? double(raw) : double(std::bit_cast<float>(raw));
        if (std::isfinite(limit) && limit >= 1 && limit <= 1000) dc.miterLimit = limit;
        return true;
    }
    case emr::kSetStretchBltMode:
    case emr::kSetMapperFlags:
    case emr::kSetBrushOrgEx:
    case emr::kSetColorAdjustment:
    case emr::kSetIcmMode:
    case emr::kSetLayout:
        return true;
    default: return false;
    }
}

bool WmfState(Player& p, std::uint16_t function, ByteCursor& c)
{
    DeviceContext& dc = p.Dc();
    switch (function) {
    case meta::kSaveDc: p.SaveDc(); return true;
    case meta::kRestoreDc: {
        std::int16_t which = c.I16();
        if (c.Ok()) p.RestoreDc(which);
        return true;
    }
    case meta::kSetBkMode: {
        std::uint16_t mode = c.U16();
        if (c.Ok()) SetBackgroundMode(p, mode);
        return true;
    }
    case meta::kSetBkColor:
    case meta::kSetTextColor: {
        QColor color = ReadColorRef(c);
        if (!c.Ok()) return true;
        (function == meta::kSetBkColor ? dc.backgroundColor : dc.textColor) = color;
        return true;
    }
    case meta::kSetTextAlign: {
        std::uint16_t align = c.U16();
        if (c.Ok()) dc.textAlign = align;
        return true;
    }
    case meta::kSetPolyFillMode: {
        std::uint16_t mode = c.U16();
        if (c.Ok()) SetFillMode(p, mode);
        return true;
    }
    case meta::kSetRop2: {
        std::uint16_t rop = c.U16();
        if (c.Ok()) SetRop2(p, rop);
        return true;
    }
    case meta::kSetStretchBltMode:
    case meta::kSetRelAbs:
    case meta::kSetTextCharExtra:
    case meta::kSetTextJustification:
    case meta::kSetMapperFlags:
    case meta::kSetLayout:
        return true;
    default: return false;
    }
}

} // namespace graphics::metafile
