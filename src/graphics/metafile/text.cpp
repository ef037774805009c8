// Text records: ExtTextOutW and ExtTextOutA (EMF), TextOut and ExtTextOut (WMF), and
// the player's text drawing: font realisation, alignment, character advances,
// escapement, opaque and clipping rectangles.
#include "graphics/metafile/text.h"

#include "graphics/metafile/families.h"
#include "graphics/metafile/player.h"
#include "graphics/metafile/records.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>
#include <numbers>

namespace graphics::metafile {

namespace {

enum TextOptions : std::uint32_t {
    kEtoOpaque = 0x0002,
    kEtoClipped = 0x0004,
    kEtoGlyphIndex = 0x0010,
    kEtoNoRect = 0x0100,
    kEtoPdy = 0x2000,
};
constexpr std::uint32_t kMaxChars = 1u << 16;
// Text is laid out at this pixel size, then scaled: outlines stay exact at any size.
constexpr double kNominalPixels = 256;

QFont Realise(const LogFont& lf)
{
    QFont font(lf.face.isEmpty() ? QStringLiteral("Arial") : lf.face);
    switch (lf.pitchAndFamily & 0xf0) {
    case 0x10: font.setStyleHint(QFont::Serif); break;
    case 0x20: font.setStyleHint(QFont::SansSerif); break;
    case 0x30: font.setStyleHint(QFont::Monospace); break;
    case 0x40: font.setStyleHint(QFont::Cursive); break;
    case 0x50: font.setStyleHint(QFont::Decorative); break;
    default: break;
    }
    font.setPixelSize(static_cast<int>(kNominalPixels));
    int weight = lf.weight <= 0 ? 400 : std::clamp(lf.weight, 100, 900);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(lf.italic);
    font.setUnderline(lf.underline);
    font.setStrikeOut(lf.strikeOut);
    font.setKerning(true);
    return font;
}

double Length(QPointF v) { return std::hypot(v.x(), v.y()); }

} // namespace

QString DecodeAnsi(const std::uint8_t* bytes, std::size_t length, std::uint8_t)
{
    // 0x80..0x9F of Windows-1252; the rest is Latin-1. Unassigned codes stay as they are.
    static const char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString text;
    text.reserve(static_cast<qsizetype>(length));
    for (std::size_t i = 0; i < length; ++i) {
        std::uint8_t b = bytes[i];
        text.append(QChar(b >= 0x80 && b < 0xa0 ? kHigh[b - 0x80] : char16_t(b)));
    }
    return text;
}

void Player::Text(QPointF reference, const QString& text, const std::vector<double>& dx, std::uint32_t options,
                  const std::optional<QRectF>& rect)
{
    const QTransform t = Total();
    if ((options & kEtoOpaque) && rect && !dc_.inPath) {
        QPainterPath box;
        box.addRect(rect->normalized());
        FillWith(box, dc_.backgroundColor);
    }
    // Glyph indices name glyphs of the writer's font, which we do not have.
    if (text.isEmpty() || (options & kEtoGlyphIndex)) return;
    if (dc_.textAlign & kTaUpdateCp) reference = dc_.current;

    const QPointF origin = t.map(reference);
    const QPointF vx = t.map(QPointF(1, 0)) - t.map(QPointF(0, 0));
    const QPointF vy = t.map(QPointF(0, 1)) - t.map(QPointF(0, 0));
    const double sx = Length(vx), sy = Length(vy);
    if (!(sx > 0) || !(sy > 0) || !std::isfinite(origin.x()) || !std::isfinite(origin.y())) return;

    QFont font = Realise(dc_.font);
    QFontMetricsF metrics(font);
    // Negative heights give the em size, positive ones the cell (ascent + descent).
    double em;
    if (dc_.font.height < 0) em = -double(dc_.font.height) * sy;
    else if (dc_.font.height > 0) em = dc_.font.height * sy * kNominalPixels / (metrics.ascent() + metrics.descent());
    else em = 16; // the default font: about 16 device pixels
    if (!(em > 0.01) || em > 1e5) return;
    const double k = em / kNominalPixels;
    double stretch = 1;
    if (dc_.font.width > 0 && metrics.averageCharWidth() > 0)
        stretch = std::clamp(dc_.font.width * sx / (metrics.averageCharWidth() * k), 0.1, 10.0);

    // Baseline direction: the device direction of the logical x axis (a mirrored x axis
    // does not mirror text), turned by the escapement.
    double angle = std::atan2(vx.y(), vx.x()) * 180 / std::numbers::pi;
    if (vx.x() < 0 && std::abs(vx.y()) < 1e-9 * std::abs(vx.x())) angle = 0;
    angle -= dc_.font.escapement / 10.0;

    // Layout in nominal units along the baseline.
    QPainterPath glyphs;
    double advance = 0; // nominal units
    if (!dx.empty()) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            glyphs.addText(QPointF(advance, 0), font, text.mid(i, 1));
            if (static_cast<std::size_t>(i) < dx.size()) advance += dx[i] * sx / (k * stretch);
        }
    } else {
        glyphs.addText(QPointF(0, 0), font, text);
        advance = metrics.horizontalAdvance(text);
    }
    double x0 = 0, y0 = 0;
    switch (dc_.textAlign & kTaHorizontalMask) {
    case kTaCenter: x0 = -advance / 2; break;
    case kTaRight: x0 = -advance; break;
    default: break;
    }
    switch (dc_.textAlign & kTaVerticalMask) {
    case kTaBaseline: break;
    case kTaBottom: y0 = -metrics.descent(); break;
    default: y0 = metrics.ascent(); break; // TA_TOP
    }

    QTransform local;
    local.translate(origin.x(), origin.y());
    local.rotate(angle);
    local.scale(k * stretch, k);
    local.translate(x0, y0);

    if (dc_.textAlign & kTaUpdateCp) {
        bool ok = false;
        QTransform back = t.inverted(&ok);
        if (ok) dc_.current = back.map(local.map(QPointF(-x0 + advance, -y0)));
    }

    if (dc_.inPath) {
        dc_.path.addPath(local.map(glyphs));
        return;
    }
    QPainterPath device = local.map(glyphs);
    if (!Visible(device)) return;
    painter_.save();
    if ((options & kEtoClipped) && rect) {
        painter_.setTransform(t);
        painter_.setClipRect(rect->normalized(), Qt::IntersectClip);
    }
    painter_.setTransform(local);
    if (dc_.backgroundMode == kOpaque && !(options & kEtoOpaque))
        painter_.fillRect(QRectF(0, -metrics.ascent(), advance, metrics.ascent() + metrics.descent()), dc_.backgroundColor);
    painter_.fillPath(glyphs, dc_.textColor);
    painter_.restore();
}

bool EmfText(Player& p, std::uint32_t type, ByteCursor& c)
{
    if (type != emr::kExtTextOutW && type != emr::kExtTextOutA) return false;
    c.Skip(16 + 4 + 8); // bounds, graphics mode, scales
    QPointF reference = ReadPointL(c);
    std::uint32_t count = c.U32();
    std::uint32_t offString = c.U32();
    std::uint32_t options = c.U32();
    std::optional<QRectF> rect;
    if (!(options & kEtoNoRect)) rect = ReadRectL(c);
    std::uint32_t offDx = c.U32();
    if (!c.Ok() || count > kMaxChars) return true;
    const bool wide = type == emr::kExtTextOutW;
    ByteCursor s = c.Sub(offString, std::size_t(count) * (wide ? 2 : 1));
    if (!s.Ok()) return true;
    QString text;
    if (wide) {
        for (std::uint32_t i = 0; i < count; ++i) text.append(QChar(char16_t(s.U16())));
    } else {
        text = DecodeAnsi(s.Data(), count, 0);
    }
    std::vector<double> dx;
    if (offDx != 0) {
        const std::size_t stride = (options & kEtoPdy) ? 8 : 4;
        ByteCursor d = c.Sub(offDx, std::size_t(count) * stride);
        if (d.Ok()) {
            for (std::uint32_t i = 0; i < count; ++i) {
                dx.push_back(d.I32());
                if (stride == 8) d.I32(); // vertical advance
            }
        }
    }
    if (rect && rect->isNull()) rect.reset();
    p.Text(reference, text, dx, options, rect);
    return true;
}

bool WmfText(Player& p, std::uint16_t function, ByteCursor& c)
{
    switch (function) {
    case meta::kTextOut: {
        std::int16_t length = c.I16();
        if (length < 0) return true;
        const std::uint8_t* bytes = c.Bytes(static_cast<std::size_t>(length));
        if (length % 2) c.Skip(1);
        QPointF at = ReadYX(c);
        if (c.Ok()) p.Text(at, DecodeAnsi(bytes, static_cast<std::size_t>(length), p.Dc().font.charSet), {}, 0, std::nullopt);
        return true;
    }
    case meta::kExtTextOut: {
        QPointF at = ReadYX(c);
        std::int16_t length = c.I16();
        std::uint16_t options = c.U16();
        std::optional<QRectF> rect;
        if (options & (kEtoOpaque | kEtoClipped)) {
            double l = c.I16(), t = c.I16(), r = c.I16(), b = c.I16();
            rect = QRectF(QPointF(l, t), QPointF(r, b));
        }
        if (length < 0) return true;
        const std::uint8_t* bytes = c.Bytes(static_cast<std::size_t>(length));
        if (length % 2) c.Skip(1);
        if (!c.Ok()) return true;
        std::vector<double> dx;
        if (c.Remaining() >= std::size_t(length) * 2)
            for (int i = 0; i < length; ++i) dx.push_back(c.I16());
        p.Text(at, DecodeAnsi(bytes, static_cast<std::size_t>(length), p.Dc().font.charSet), dx, options, rect);
        return true;
    }
    default: return false;
    }
}

} // namespace graphics::metafile
