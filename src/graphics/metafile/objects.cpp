// Object records: creating pens, extended pens, brushes (solid, hatched, pattern),
// fonts, palettes and regions; selecting and deleting them; EMF stock objects.
#include "graphics/metafile/objects.h"

#include "graphics/metafile/dib.h"
#include "graphics/metafile/families.h"
#include "graphics/metafile/player.h"
#include "graphics/metafile/records.h"
#include "graphics/metafile/region.h"
#include "graphics/metafile/text.h"

namespace graphics::metafile {

namespace {

enum PenStyle : std::uint32_t {
    kPsSolid = 0, kPsDash, kPsDot, kPsDashDot, kPsDashDotDot, kPsNull, kPsInsideFrame, kPsUserStyle, kPsAlternate,
};
enum BrushStyle : std::uint32_t { kBsSolid = 0, kBsNull = 1, kBsHatched = 2, kBsPattern = 3, kBsDibPattern = 5, kBsDibPatternPt = 6 };
constexpr std::size_t kMaxDashes = 64;

void Select(Player& p, const GdiObject& object)
{
    DeviceContext& dc = p.Dc();
    if (auto pen = std::get_if<Pen>(&object)) dc.pen = *pen;
    else if (auto brush = std::get_if<Brush>(&object)) dc.brush = *brush;
    else if (auto font = std::get_if<LogFont>(&object)) dc.font = *font;
    else if (auto region = std::get_if<Region>(&object)) p.CombineClip(p.Total().map(region->area), 5 /* RGN_COPY */);
    // palettes: colours are always given directly, nothing to realise
}

// LOGFONT after its height, which callers read themselves (32 or 16 bits).
LogFont ReadLogFontTail(ByteCursor& c, std::int32_t height, bool wide)
{
    LogFont f;
    f.height = height;
    f.width = wide ? c.I32() : c.I16();
    f.escapement = wide ? c.I32() : c.I16();
    if (wide) c.I32(); else c.I16(); // orientation: follows the escapement here
    f.weight = wide ? c.I32() : c.I16();
    f.italic = c.U8() != 0;
    f.underline = c.U8() != 0;
    f.strikeOut = c.U8() != 0;
    f.charSet = c.U8();
    c.Skip(3); // output and clip precision, quality
    f.pitchAndFamily = c.U8();
    if (wide) {
        QString face;
        for (int i = 0; i < 32 && c.Has(2); ++i) {
            char16_t ch = c.U16();
            if (!ch) break;
            face.append(QChar(ch));
        }
        f.face = face;
    } else {
        std::size_t n = std::min<std::size_t>(c.Remaining(), 32);
        const std::uint8_t* bytes = c.Bytes(n);
        std::size_t len = 0;
        while (bytes && len < n && bytes[len]) ++len;
        f.face = bytes ? DecodeAnsi(bytes, len, 0) : QString();
    }
    return f;
}

} // namespace

Pen MakePen(std::uint32_t style, double width, QColor color, bool cosmetic, const std::vector<std::uint32_t>& userDashes)
{
    Pen pen;
    pen.color = color;
    pen.width = std::abs(width);
    pen.cosmetic = cosmetic || width == 0;
    switch (style & 0x0f) {
    case kPsNull: pen.null = true; break;
    case kPsDash: pen.style = Qt::DashLine; break;
    case kPsDot: case kPsAlternate: pen.style = Qt::DotLine; break;
    case kPsDashDot: pen.style = Qt::DashDotLine; break;
    case kPsDashDotDot: pen.style = Qt::DashDotDotLine; break;
    case kPsUserStyle: {
        double unit = pen.cosmetic || pen.width <= 0 ? 1.0 : pen.width;
        for (std::uint32_t d : userDashes) pen.dashes.push_back(std::max(0.1, d / unit));
        if (pen.dashes.size() % 2) pen.dashes.push_back(pen.dashes.back());
        pen.style = pen.dashes.isEmpty() ? Qt::SolidLine : Qt::CustomDashLine;
        break;
    }
    default: pen.style = Qt::SolidLine; break;
    }
    switch (style & 0x0f00) {
    case 0x0100: pen.cap = Qt::SquareCap; break;
    case 0x0200: pen.cap = Qt::FlatCap; break;
    default: pen.cap = Qt::RoundCap; break;
    }
    switch (style & 0xf000) {
    case 0x1000: pen.join = Qt::BevelJoin; break;
    case 0x2000: pen.join = Qt::MiterJoin; break;
    default: pen.join = Qt::RoundJoin; break;
    }
    return pen;
}

Brush MakeBrush(std::uint32_t style, QColor color, std::uint32_t hatch)
{
    Brush b;
    switch (style) {
    case kBsNull: b.brush = QBrush(Qt::NoBrush); break;
    case kBsHatched: {
        static const Qt::BrushStyle kHatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                  Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        b.brush = QBrush(color, hatch < 6 ? kHatches[hatch] : Qt::SolidPattern);
        b.hatched = hatch < 6;
        break;
    }
    default: b.brush = QBrush(color); break; // solid, and pattern kinds without their bitmap
    }
    return b;
}

Brush MakePatternBrush(const QImage& pattern)
{
    Brush b;
    b.brush = QBrush(pattern);
    return b;
}

bool EmfObjects(Player& p, std::uint32_t type, ByteCursor& c)
{
    switch (type) {
    case emr::kCreatePen: {
        std::uint32_t index = c.U32();
        std::uint32_t style = c.U32();
        std::int32_t width = c.I32();
        c.I32(); // width.y is unused
        QColor color = ReadColorRef(c);
        if (c.Ok() && index != 0) p.Objects().Put(index, MakePen(style, width, color, false));
        return true;
    }
    case emr::kExtCreatePen: {
        std::uint32_t index = c.U32();
        c.Skip(16); // pattern bitmap of the pen's brush: drawn as its colour
        std::uint32_t style = c.U32();
        std::uint32_t width = c.U32();
        std::uint32_t brushStyle = c.U32();
        QColor color = ReadColorRef(c);
        c.U32(); // hatch
        std::uint32_t count = c.U32();
        std::vector<std::uint32_t> dashes;
        if (c.Ok() && count <= kMaxDashes)
            for (std::uint32_t i = 0; i < count && c.Has(4); ++i) dashes.push_back(c.U32());
        if (!c.Ok() || index == 0) return true;
        bool cosmetic = (style & 0x000f0000) == 0; // PS_COSMETIC
        Pen pen = MakePen(style, width, color, cosmetic, dashes);
        if (brushStyle == kBsNull) pen.null = true;
        p.Objects().Put(index, pen);
        return true;
    }
    case emr::kCreateBrushIndirect: {
        std::uint32_t index = c.U32();
        std::uint32_t style = c.U32();
        QColor color = ReadColorRef(c);
        std::uint32_t hatch = c.U32();
        if (c.Ok() && index != 0) p.Objects().Put(index, MakeBrush(style, color, hatch));
        return true;
    }
    case emr::kCreateDibPatternBrushPt:
    case emr::kCreateMonoBrush: {
        std::uint32_t index = c.U32();
        std::uint32_t usage = c.U32();
        std::uint32_t offBmi = c.U32(), cbBmi = c.U32(), offBits = c.U32(), cbBits = c.U32();
        if (!c.Ok() || index == 0) return true;
        auto image = DecodeDib(c.Sub(offBmi, cbBmi), c.Sub(offBits, cbBits), usage);
        if (image && type == emr::kCreateMonoBrush) {
            // A monochrome pattern paints its 0 bits in the text colour, its 1 bits in the background colour.
            QImage mono = image->convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < mono.height(); ++y) {
                QRgb* row = reinterpret_cast<QRgb*>(mono.scanLine(y));
                for (int x = 0; x < mono.width(); ++x)
                    row[x] = qGray(row[x]) < 128 ? p.Dc().textColor.rgb() : p.Dc().backgroundColor.rgb();
            }
            image = mono;
        }
        p.Objects().Put(index, image ? MakePatternBrush(*image) : MakeBrush(kBsSolid, Qt::gray, 0));
        return true;
    }
    case emr::kExtCreateFontIndirectW: {
        std::uint32_t index = c.U32();
        std::int32_t height = c.I32();
        LogFont font = ReadLogFontTail(c, height, true);
        if (c.Ok() && index != 0) p.Objects().Put(index, font);
        return true;
    }
    case emr::kCreatePalette: {
        std::uint32_t index = c.U32();
        c.U16(); // version
        std::uint16_t count = c.U16();
        Palette palette;
        for (int i = 0; i < count && c.Has(4); ++i) palette.colors.push_back(ReadColorRef(c));
        if (c.Ok() && index != 0) p.Objects().Put(index, palette);
        return true;
    }
    case emr::kSelectObject: {
        std::uint32_t handle = c.U32();
        if (!c.Ok()) return true;
        if (ObjectTable::IsStock(handle)) {
            if (auto stock = ObjectTable::Stock(handle)) Select(p, *stock);
        } else if (const GdiObject* o = p.Objects().Get(handle)) {
            Select(p, *o);
        }
        return true;
    }
    case emr::kDeleteObject: {
        std::uint32_t handle = c.U32();
        if (c.Ok() && !ObjectTable::IsStock(handle)) p.Objects().Remove(handle);
        return true;
    }
    case emr::kSelectPalette:
    case emr::kRealizePalette:
    case emr::kSetPaletteEntries:
    case emr::kResizePalette:
        return true;
    default: return false;
    }
}

bool WmfObjects(Player& p, std::uint16_t function, ByteCursor& c)
{
    // A damaged creation record still takes its slot, so that the handles of the
    // objects after it keep pointing where the writer meant.
    switch (function) {
    case meta::kCreatePenIndirect: {
        std::uint16_t style = c.U16();
        std::int16_t width = c.I16();
        c.I16();
        QColor color = ReadColorRef(c);
        p.Objects().Add(c.Ok() ? MakePen(style, width, color, false) : Pen{});
        return true;
    }
    case meta::kCreateBrushIndirect: {
        std::uint16_t style = c.U16();
        QColor color = ReadColorRef(c);
        std::uint16_t hatch = c.U16();
        p.Objects().Add(c.Ok() ? MakeBrush(style, color, hatch) : Brush{});
        return true;
    }
    case meta::kCreateFontIndirect: {
        std::int16_t height = c.I16();
        LogFont font = ReadLogFontTail(c, height, false);
        p.Objects().Add(c.Ok() ? font : LogFont{});
        return true;
    }
    case meta::kCreatePalette: {
        c.U16(); // start
        std::uint16_t count = c.U16();
        Palette palette;
        for (int i = 0; i < count && c.Has(4); ++i) palette.colors.push_back(ReadColorRef(c));
        p.Objects().Add(palette);
        return true;
    }
    case meta::kCreateRegion: {
        auto area = ReadWmfRegion(c);
        p.Objects().Add(Region{area ? *area : QPainterPath()});
        return true;
    }
    case meta::kDibCreatePatternBrush: {
        std::uint16_t style = c.U16();
        std::uint16_t usage = c.U16();
        std::optional<QImage> image;
        if (c.Ok() && style != kBsPattern) image = DecodePackedDib(c.Sub(c.Position(), c.Remaining()), usage);
        p.Objects().Add(image ? MakePatternBrush(*image) : MakeBrush(kBsSolid, Qt::gray, 0));
        return true;
    }
    case meta::kCreatePatternBrush:
        // An old device-dependent bitmap pattern: shown as a mid-grey fill.
        p.Objects().Add(MakeBrush(kBsSolid, Qt::gray, 0));
        return true;
    case meta::kSelectObject: {
        std::uint16_t index = c.U16();
        if (!c.Ok()) return true;
        if (const GdiObject* o = p.Objects().Get(index)) Select(p, *o);
        return true;
    }
    case meta::kDeleteObject: {
        std::uint16_t index = c.U16();
        if (c.Ok()) p.Objects().Remove(index);
        return true;
    }
    case meta::kSelectPalette:
    case meta::kRealizePalette:
    case meta::kSetPalEntries:
    case meta::kResizePalette:
    case meta::kAnimatePalette:
        return true;
    default: return false;
    }
}

} // namespace graphics::metafile
