// Clipping: the player's clip in painter device coordinates, and the records that
// change it (IntersectClipRect, ExcludeClipRect, OffsetClipRgn, ExtSelectClipRgn,
// SelectClipRegion).
#include "graphics/metafile/families.h"
#include "graphics/metafile/player.h"
#include "graphics/metafile/records.h"
#include "graphics/metafile/region.h"

#include <QPainter>

#include <cmath>

namespace graphics::metafile {

namespace {
enum RegionMode { kRgnAnd = 1, kRgnOr = 2, kRgnXor = 3, kRgnDiff = 4, kRgnCopy = 5 };

QPainterPath RectPath(const QRectF& r)
{
    QPainterPath p;
    p.addRect(r.normalized());
    return p;
}
} // namespace

QPainterPath Player::Everything() const
{
    QPainterPath p;
    p.addRect(QRectF(-1e7, -1e7, 2e7, 2e7));
    return p;
}

void Player::ApplyClip()
{
    std::optional<QPainterPath> clip = dc_.clip;
    if (outerClip_) clip = clip ? clip->intersected(*outerClip_) : *outerClip_;
    painter_.setTransform(QTransform());
    if (clip) painter_.setClipPath(*clip, Qt::ReplaceClip);
    else painter_.setClipping(false);
}

// Clip areas past this many path elements are not refined further: boolean operations
// on paths grow quickly, and no drawing needs such a clip.
constexpr int kMaxClipElements = 20000;

void Player::SetClip(std::optional<QPainterPath> clip)
{
    if (clip && clip->elementCount() > kMaxClipElements) return;
    dc_.clip = std::move(clip);
    ApplyClip();
}

void Player::IntersectClip(const QPainterPath& logical)
{
    QPainterPath device = Total().map(logical);
    SetClip(dc_.clip ? dc_.clip->intersected(device) : device);
}

void Player::ExcludeClip(const QPainterPath& logical)
{
    QPainterPath device = Total().map(logical);
    SetClip((dc_.clip ? *dc_.clip : Everything()).subtracted(device));
}

void Player::CombineClip(const std::optional<QPainterPath>& device, int mode)
{
    if (mode == kRgnCopy) {
        SetClip(device);
        return;
    }
    if (!device) return;
    switch (mode) {
    case kRgnAnd: SetClip(dc_.clip ? dc_.clip->intersected(*device) : *device); break;
    case kRgnOr:
        if (dc_.clip) SetClip(dc_.clip->united(*device));
        break; // no clip already lets everything through
    case kRgnXor: {
        QPainterPath base = dc_.clip ? *dc_.clip : Everything();
        SetClip(base.united(*device).subtracted(base.intersected(*device)));
        break;
    }
    case kRgnDiff: SetClip((dc_.clip ? *dc_.clip : Everything()).subtracted(*device)); break;
    default: break;
    }
}

void Player::OffsetClip(QPointF logicalOffset)
{
    if (!dc_.clip) return;
    const QTransform t = Total();
    QPointF d = t.map(logicalOffset) - t.map(QPointF(0, 0));
    if (!std::isfinite(d.x()) || !std::isfinite(d.y())) return;
    QPainterPath moved = *dc_.clip;
    moved.translate(d);
    SetClip(moved);
}

std::optional<QPainterPath> ReadRegionData(ByteCursor c)
{
    std::uint32_t headerSize = c.U32();
    c.U32(); // iType: rectangles
    std::uint32_t count = c.U32();
    c.U32(); // nRgnSize
    c.Skip(16); // bounds
    if (!c.Ok() || headerSize < 32 || count > kMaxRegionRects) return std::nullopt;
    c.Seek(headerSize);
    if (!c.Has(std::size_t(count) * 16)) return std::nullopt;
    QPainterPath area;
    for (std::uint32_t i = 0; i < count; ++i) {
        QRectF r = ReadRectL(c);
        if (r.width() > 0 && r.height() > 0) area.addRect(r);
    }
    return area.simplified();
}

std::optional<QPainterPath> ReadWmfRegion(ByteCursor& c)
{
    c.I16(); // nextInChain
    c.I16(); // objectType
    c.I32(); // objectCount
    c.I16(); // regionSize
    int scanCount = c.I16();
    c.I16(); // maxScan
    c.Skip(8); // bounding rectangle
    if (!c.Ok() || scanCount < 0) return std::nullopt;
    QPainterPath area;
    for (int s = 0; s < scanCount; ++s) {
        int count = c.U16();
        double top = c.I16();
        double bottom = c.I16();
        if (!c.Ok() || count % 2 != 0 || !c.Has(std::size_t(count) * 2 + 2)) return std::nullopt;
        for (int i = 0; i < count / 2; ++i) {
            double left = c.I16();
            double right = c.I16();
            if (right > left && bottom > top) area.addRect(QRectF(left, top, right - left, bottom - top));
        }
        c.U16(); // count repeated
    }
    if (!c.Ok()) return std::nullopt;
    return area.simplified();
}

bool EmfClipping(Player& p, std::uint32_t type, ByteCursor& c)
{
    switch (type) {
    case emr::kIntersectClipRect:
    case emr::kExcludeClipRect: {
        QRectF r = ReadRectL(c);
        if (!c.Ok()) return true;
        if (type == emr::kIntersectClipRect) p.IntersectClip(RectPath(r));
        else p.ExcludeClip(RectPath(r));
        return true;
    }
    case emr::kOffsetClipRgn: {
        QPointF d = ReadPointL(c);
        if (c.Ok()) p.OffsetClip(d);
        return true;
    }
    case emr::kExtSelectClipRgn: {
        std::uint32_t size = c.U32();
        int mode = static_cast<int>(c.U32());
        if (!c.Ok()) return true;
        if (size == 0) {
            p.CombineClip(std::nullopt, mode);
            return true;
        }
        auto region = ReadRegionData(c.Sub(c.Position(), std::min<std::size_t>(size, c.Remaining())));
        if (region) p.CombineClip(p.Base().map(*region), mode);
        return true;
    }
    case emr::kSetMetaRgn: return true;
    default: return false;
    }
}

bool WmfClipping(Player& p, std::uint16_t function, ByteCursor& c)
{
    switch (function) {
    case meta::kIntersectClipRect:
    case meta::kExcludeClipRect: {
        QRectF r = ReadRectBRTL(c);
        if (!c.Ok()) return true;
        if (function == meta::kIntersectClipRect) p.IntersectClip(RectPath(r));
        else p.ExcludeClip(RectPath(r));
        return true;
    }
    case meta::kOffsetClipRgn: {
        QPointF d = ReadYX(c);
        if (c.Ok()) p.OffsetClip(d);
        return true;
    }
    case meta::kSelectClipRegion: {
        std::uint16_t index = c.U16();
        if (!c.Ok()) return true;
        if (const GdiObject* o = p.Objects().Get(index)) {
            if (const Region* r = std::get_if<Region>(o)) p.CombineClip(p.Total().map(r->area), kRgnCopy);
        }
        return true;
    }
    default: return false;
    }
}

} // namespace graphics::metafile
