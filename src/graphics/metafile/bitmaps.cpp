// Bitmap records: StretchDIBits, SetDIBitsToDevice, BitBlt and StretchBlt with a source
// bitmap or without one (a pattern fill), AlphaBlend; the WMF DIB forms and PatBlt.
#include "graphics/metafile/dib.h"
#include "graphics/metafile/families.h"
#include "graphics/metafile/player.h"
#include "graphics/metafile/records.h"

#include <QPainter>

namespace graphics::metafile {

namespace {

// Raster operations (the ternary code in bits 16..23 of a ROP3).
enum Rop3 : std::uint8_t {
    kBlackness = 0x00, kNotSrcCopy = 0x33, kDstInvert = 0x55, kPatInvert = 0x5A, kSrcInvert = 0x66,
    kSrcAnd = 0x88, kNop = 0xAA, kMergeCopy = 0xC0, kSrcCopy = 0xCC, kSrcPaint = 0xEE, kPatCopy = 0xF0,
    kWhiteness = 0xFF,
};
constexpr std::uint32_t kSrcCopyRop = 0x00CC0020;

std::uint8_t Rop3Of(std::uint32_t rop) { return static_cast<std::uint8_t>(rop >> 16); }

bool UsesSource(std::uint32_t rop)
{
    // The source takes part when the code differs between source bit 0 and 1.
    std::uint8_t code = Rop3Of(rop);
    return ((code >> 2) & 0x33) != (code & 0x33);
}

// Rows of a DIB are bottom-up unless its height is negative; StretchDIBits counts its
// source rectangle from the bottom row of a bottom-up bitmap.
bool DibBottomUp(ByteCursor info)
{
    std::uint32_t size = info.U32();
    if (size == 12) return true;
    info.I32();
    return info.I32() >= 0;
}

QRectF DibSourceRect(const QImage& image, ByteCursor info, double x, double y, double w, double h)
{
    if (DibBottomUp(info)) y = image.height() - y - h;
    return QRectF(x, y, w, h);
}

} // namespace

void Player::Bitmap(const QImage& image, const QRectF& src, const QRectF& dest, std::uint32_t rop)
{
    if (dc_.inPath || image.isNull()) return;
    if (!UsesSource(rop)) {
        PatternBlt(dest, rop);
        return;
    }
    QImage img = image;
    QRectF s = src;
    QRectF d = dest;
    // Negative extents mirror the bitmap.
    bool flipX = (s.width() < 0) != (d.width() < 0);
    bool flipY = (s.height() < 0) != (d.height() < 0);
    s = s.normalized();
    d = d.normalized();
    if (flipX || flipY) {
        img = img.mirrored(flipX, flipY);
        if (flipX) s.moveLeft(img.width() - s.right());
        if (flipY) s.moveTop(img.height() - s.bottom());
    }
    const QTransform total = Total();
    QPainterPath area;
    area.addRect(d);
    if (!Visible(total.map(area)) || s.isEmpty()) return;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (Rop3Of(rop)) {
    case kSrcAnd: mode = QPainter::CompositionMode_Multiply; break;   // masks: black cuts, white keeps
    case kSrcPaint: mode = QPainter::CompositionMode_Lighten; break;  // OR of a masked image
    case kSrcInvert: mode = QPainter::CompositionMode_Difference; break;
    case kNotSrcCopy:
        img = img.convertToFormat(QImage::Format_RGB32);
        img.invertPixels();
        break;
    default: break; // SRCCOPY, MERGECOPY and the rest draw the source
    }
    painter_.setTransform(total);
    painter_.setCompositionMode(mode);
    painter_.drawImage(d, img, s);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void Player::PatternBlt(const QRectF& dest, std::uint32_t rop)
{
    if (dc_.inPath) return;
    QPainterPath area;
    area.addRect(dest.normalized());
    const QTransform total = Total();
    if (!Visible(total.map(area))) return;
    QBrush brush = dc_.brush.brush;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (Rop3Of(rop)) {
    case kNop: return;
    case kBlackness: brush = QBrush(Qt::black); break;
    case kWhiteness: brush = QBrush(Qt::white); break;
    case kDstInvert:
        brush = QBrush(Qt::white);
        mode = QPainter::CompositionMode_Difference;
        break;
    case kPatInvert: mode = QPainter::CompositionMode_Difference; break;
    default: break; // PATCOPY and the rest paint the brush
    }
    painter_.setCompositionMode(mode);
    FillWith(area, brush);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

bool EmfBitmaps(Player& p, std::uint32_t type, ByteCursor& c)
{
    switch (type) {
    case emr::kBitBlt:
    case emr::kStretchBlt:
    case emr::kAlphaBlend: {
        c.Skip(16); // bounds
        double xDest = c.I32(), yDest = c.I32(), cxDest = c.I32(), cyDest = c.I32();
        std::uint32_t rop = c.U32();
        double xSrc = c.I32(), ySrc = c.I32();
        c.Skip(24 + 4); // source transform, source background colour
        std::uint32_t usage = c.U32();
        std::uint32_t offBmi = c.U32(), cbBmi = c.U32(), offBits = c.U32(), cbBits = c.U32();
        double cxSrc = cxDest, cySrc = cyDest;
        if (type != emr::kBitBlt) {
            cxSrc = c.I32();
            cySrc = c.I32();
        }
        if (!c.Ok()) return true;
        QRectF dest(xDest, yDest, cxDest, cyDest);
        if (cbBmi == 0) {
            if (type != emr::kAlphaBlend) p.PatternBlt(dest, rop);
            return true;
        }
        if (type == emr::kAlphaBlend) {
            // BLENDFUNCTION: operation, flags, constant alpha, AC_SRC_ALPHA.
            int constantAlpha = (rop >> 16) & 0xff;
            bool perPixel = (rop >> 24) & 1;
            auto image = DecodeDib(c.Sub(offBmi, cbBmi), c.Sub(offBits, cbBits), usage, perPixel);
            if (!image) return true;
            p.Painter().save();
            p.Painter().setOpacity(constantAlpha / 255.0);
            p.Bitmap(*image, QRectF(xSrc, ySrc, cxSrc, cySrc), dest, kSrcCopyRop);
            p.Painter().restore();
            return true;
        }
        auto image = DecodeDib(c.Sub(offBmi, cbBmi), c.Sub(offBits, cbBits), usage);
        if (image) p.Bitmap(*image, QRectF(xSrc, ySrc, cxSrc, cySrc), dest, rop);
        return true;
    }
    case emr::kStretchDiBits: {
        c.Skip(16);
        double xDest = c.I32(), yDest = c.I32(), xSrc = c.I32(), ySrc = c.I32(), cxSrc = c.I32(), cySrc = c.I32();
        std::uint32_t offBmi = c.U32(), cbBmi = c.U32(), offBits = c.U32(), cbBits = c.U32();
        std::uint32_t usage = c.U32();
        std::uint32_t rop = c.U32();
        double cxDest = c.I32(), cyDest = c.I32();
        if (!c.Ok()) return true;
        QRectF dest(xDest, yDest, cxDest, cyDest);
        if (cbBmi == 0) {
            p.PatternBlt(dest, rop);
            return true;
        }
        ByteCursor info = c.Sub(offBmi, cbBmi);
        auto image = DecodeDib(info, c.Sub(offBits, cbBits), usage);
        if (image) p.Bitmap(*image, DibSourceRect(*image, info, xSrc, ySrc, cxSrc, cySrc), dest, rop);
        return true;
    }
    case emr::kSetDiBitsToDevice: {
        c.Skip(16);
        double xDest = c.I32(), yDest = c.I32(), xSrc = c.I32(), ySrc = c.I32(), cxSrc = c.I32(), cySrc = c.I32();
        std::uint32_t offBmi = c.U32(), cbBmi = c.U32(), offBits = c.U32(), cbBits = c.U32();
        std::uint32_t usage = c.U32();
        if (!c.Ok()) return true;
        ByteCursor info = c.Sub(offBmi, cbBmi);
        auto image = DecodeDib(info, c.Sub(offBits, cbBits), usage);
        if (image)
            p.Bitmap(*image, DibSourceRect(*image, info, xSrc, ySrc, cxSrc, cySrc),
                     QRectF(xDest, yDest, cxSrc, cySrc), kSrcCopyRop);
        return true;
    }
    case emr::kMaskBlt:
    case emr::kPlgBlt:
        return true; // not used by clip art; skipped rather than drawn wrongly
    default: return false;
    }
}

bool WmfBitmaps(Player& p, std::uint16_t function, ByteCursor& c)
{
    // Records of the BitBlt family hold no bitmap when their size is exactly the
    // fixed part: they fill with the brush, like PatBlt.
    const bool noBitmap = c.Size() / 2 == std::size_t(function >> 8) + 3;
    switch (function) {
    case meta::kPatBlt: {
        std::uint32_t rop = c.U32();
        double h = c.I16(), w = c.I16(), y = c.I16(), x = c.I16();
        if (c.Ok()) p.PatternBlt(QRectF(x, y, w, h), rop);
        return true;
    }
    case meta::kDibBitBlt:
    case meta::kBitBlt: {
        std::uint32_t rop = c.U32();
        double ySrc = c.I16(), xSrc = c.I16();
        if (noBitmap) c.I16(); // reserved
        double h = c.I16(), w = c.I16(), yDest = c.I16(), xDest = c.I16();
        if (!c.Ok()) return true;
        QRectF dest(xDest, yDest, w, h);
        if (noBitmap) p.PatternBlt(dest, rop);
        else if (function == meta::kDibBitBlt)
            if (auto image = DecodePackedDib(c.Sub(c.Position(), c.Remaining()), kDibRgbColors))
                p.Bitmap(*image, QRectF(xSrc, ySrc, w, h), dest, rop);
        return true;
    }
    case meta::kDibStretchBlt:
    case meta::kStretchBlt: {
        std::uint32_t rop = c.U32();
        double hSrc = c.I16(), wSrc = c.I16(), ySrc = c.I16(), xSrc = c.I16();
        if (noBitmap) c.I16();
        double h = c.I16(), w = c.I16(), yDest = c.I16(), xDest = c.I16();
        if (!c.Ok()) return true;
        QRectF dest(xDest, yDest, w, h);
        if (noBitmap) p.PatternBlt(dest, rop);
        else if (function == meta::kDibStretchBlt)
            if (auto image = DecodePackedDib(c.Sub(c.Position(), c.Remaining()), kDibRgbColors))
                p.Bitmap(*image, QRectF(xSrc, ySrc, wSrc, hSrc), dest, rop);
        return true;
    }
    case meta::kStretchDib: {
        std::uint32_t rop = c.U32();
        std::uint16_t usage = c.U16();
        double hSrc = c.I16(), wSrc = c.I16(), ySrc = c.I16(), xSrc = c.I16();
        double h = c.I16(), w = c.I16(), yDest = c.I16(), xDest = c.I16();
        if (!c.Ok()) return true;
        ByteCursor dib = c.Sub(c.Position(), c.Remaining());
        if (auto image = DecodePackedDib(dib, usage))
            p.Bitmap(*image, DibSourceRect(*image, dib, xSrc, ySrc, wSrc, hSrc), QRectF(xDest, yDest, w, h), rop);
        return true;
    }
    case meta::kSetDibToDev: {
        std::uint16_t usage = c.U16();
        c.U16(); // scan count
        c.U16(); // start scan
        double ySrc = c.I16(), xSrc = c.I16(), h = c.I16(), w = c.I16(), yDest = c.I16(), xDest = c.I16();
        if (!c.Ok()) return true;
        ByteCursor dib = c.Sub(c.Position(), c.Remaining());
        if (auto image = DecodePackedDib(dib, usage))
            p.Bitmap(*image, DibSourceRect(*image, dib, xSrc, ySrc, w, h), QRectF(xDest, yDest, w, h), kSrcCopyRop);
        return true;
    }
    default: return false;
    }
}

} // namespace graphics::metafile
