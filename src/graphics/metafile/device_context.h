#pragma once
// The drawing state of a playing metafile: what SaveDC copies and RestoreDC brings
// back, as one value. Objects selected into it are held by value, so deleting an object
// from the table never invalidates what is selected (the system keeps selected objects
// alive the same way).
#include <QBrush>
#include <QColor>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include <cstdint>
#include <optional>

namespace graphics::metafile {

// Map modes, background modes and text alignment flags as both formats store them.
enum MapMode : int {
    kMmText = 1,
    kMmLoMetric = 2,
    kMmHiMetric = 3,
    kMmLoEnglish = 4,
    kMmHiEnglish = 5,
    kMmTwips = 6,
    kMmIsotropic = 7,
    kMmAnisotropic = 8,
};
enum BackgroundMode : int { kTransparent = 1, kOpaque = 2 };
enum TextAlign : std::uint32_t {
    kTaUpdateCp = 0x0001,
    kTaRight = 0x0002,
    kTaCenter = 0x0006,
    kTaBottom = 0x0008,
    kTaBaseline = 0x0018,
    kTaHorizontalMask = 0x0006,
    kTaVerticalMask = 0x0018,
};
// Raster operations of the pen (SetROP2) that change what a primitive paints.
enum Rop2 : int { kR2Black = 1, kR2Nop = 11, kR2CopyPen = 13, kR2White = 16 };

// A logical font as LOGFONT describes it; realised into a QFont only when text is drawn.
struct LogFont {
    std::int32_t height = 0; // < 0: character (em) height, > 0: cell height, 0: default
    std::int32_t width = 0;
    std::int32_t escapement = 0; // tenths of a degree, counter-clockwise
    std::int32_t weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charSet = 0;
    std::uint8_t pitchAndFamily = 0;
    QString face;
};

struct Pen {
    QColor color = Qt::black;
    double width = 0;      // logical units; 0 draws one device pixel wide
    bool cosmetic = true;  // cosmetic pens are one device pixel wide whatever the width
    bool null = false;
    Qt::PenStyle style = Qt::SolidLine;
    Qt::PenCapStyle cap = Qt::RoundCap;
    Qt::PenJoinStyle join = Qt::RoundJoin;
    QVector<qreal> dashes; // user style, in pen widths
};

struct Brush {
    QBrush brush{Qt::white};
    bool hatched = false; // hatch gaps take the background colour in opaque mode
    bool null() const { return brush.style() == Qt::NoBrush; }
};

struct DeviceContext {
    Pen pen;
    Brush brush;
    LogFont font;
    QColor textColor = Qt::black;
    QColor backgroundColor = Qt::white;
    int backgroundMode = kOpaque;
    std::uint32_t textAlign = 0;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    int rop2 = kR2CopyPen;
    bool arcClockwise = false;
    double miterLimit = 10;

    int mapMode = kMmText;
    QPointF windowOrg{0, 0};
    QSizeF windowExt{1, 1};
    QPointF viewportOrg{0, 0};
    QSizeF viewportExt{1, 1};
    QTransform world; // logical to page space (EMF only)

    QPointF current{0, 0}; // current position, logical units

    // Clip in painter device coordinates; none means "everything".
    std::optional<QPainterPath> clip;

    // The path bracket, in painter device coordinates like the clip.
    bool inPath = false;
    bool figureOpen = false;
    QPainterPath path;
};

} // namespace graphics::metafile
