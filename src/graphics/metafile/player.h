#pragma once
// Plays checked records onto a QPainter. The player owns the device context, its save
// stack and the object table; the record families (control, objects, state, transforms,
// clipping, paths, drawing, bitmaps, text) decode their records and call the drawing
// helpers here, which know about the path bracket, the clip and the coordinate spaces:
//   logical --world transform--> page --map mode--> device --base--> painter device.
// "Device" is the reference device of an EMF (its pixels), or for a WMF the space of
// its bounding box.
#include "core/byte_cursor.h"
#include "graphics/metafile/device_context.h"
#include "graphics/metafile/object_table.h"

#include <QImage>
#include <QPainterPath>
#include <QTransform>

#include <cstdint>
#include <optional>
#include <vector>

class QPainter;

namespace graphics::metafile {
using core::ByteCursor;

class Player {
public:
    // Deepest SaveDC nesting played; deeper saves are ignored.
    static constexpr std::size_t kMaxSaveDepth = 256;

    struct Setup {
        bool enhanced = true;
        std::uint32_t objectCount = 0;
        QTransform base;          // device to painter device
        double devicePerMmX = 96 / 25.4; // reference device pixels per millimetre
        double devicePerMmY = 96 / 25.4;
        DeviceContext initial;    // starting state (WMF: window and viewport of its box)
    };

    Player(QPainter& painter, const Setup& setup);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    bool Enhanced() const { return enhanced_; }
    DeviceContext& Dc() { return dc_; }
    ObjectTable& Objects() { return objects_; }
    QPainter& Painter() { return painter_; }

    // Ends playback after the current record (EOF, or damage found while playing).
    void Stop() { stopped_ = true; }
    bool Stopped() const { return stopped_; }

    // Coordinate spaces.
    QTransform PageToDevice() const;
    QTransform Base() const { return base_; }
    QTransform Total() const; // logical to painter device

    // State stack. RestoreDc: negative counts back from the top, positive names the
    // n-th save; false when out of range (nothing changes then).
    bool SaveDc();
    bool RestoreDc(int which);

    // Drawing in logical coordinates. Inside a path bracket these add to the path.
    void Shape(const QPainterPath& logical);          // filled and outlined
    void Lines(const QPainterPath& logical);          // outlined only; a new figure
    void LinesFromCurrent(const QPainterPath& logical); // continues the figure at the current position
    void FillWith(const QPainterPath& logical, const QBrush& brush);
    void FillDeviceRegion(const QPainterPath& device, const QBrush& brush);

    // The path bracket's path (painter device coordinates) filled and/or stroked.
    void PaintDevicePath(const QPainterPath& device, bool fill, bool stroke);

    // A bitmap: the part src of image stretched onto dest (logical), with a raster operation.
    void Bitmap(const QImage& image, const QRectF& src, const QRectF& dest, std::uint32_t rop);
    // A raster operation without a source (PatBlt): paints dest with the brush or a constant.
    void PatternBlt(const QRectF& dest, std::uint32_t rop);

    // Text at a logical reference point. dx: advance of each character in logical units
    // (may be empty). options: ETO_* flags; rect: the opaque/clip rectangle when given.
    void Text(QPointF reference, const QString& text, const std::vector<double>& dx,
              std::uint32_t options, const std::optional<QRectF>& rect);

    // Clipping. Paths in logical coordinates except where named device.
    void IntersectClip(const QPainterPath& logical);
    void ExcludeClip(const QPainterPath& logical);
    // RGN_AND 1, RGN_OR 2, RGN_XOR 3, RGN_DIFF 4, RGN_COPY 5; a null region with
    // RGN_COPY removes the clip.
    void CombineClip(const std::optional<QPainterPath>& device, int mode);
    void OffsetClip(QPointF logicalOffset);

private:
    void ApplyClip();
    void SetClip(std::optional<QPainterPath> clip);
    bool Visible(const QPainterPath& device) const;
    bool PrepareStroke(const QTransform& total);
    bool PrepareFill(const QTransform& total, const Brush& brush);
    void AddToPath(const QPainterPath& logical, bool continueFigure);
    QPainterPath Everything() const;

    QPainter& painter_;
    bool enhanced_;
    QTransform base_;
    double devicePerMmX_;
    double devicePerMmY_;
    DeviceContext dc_;
    std::vector<DeviceContext> saved_;
    ObjectTable objects_;
    std::optional<QPainterPath> outerClip_;
    bool stopped_ = false;
};

// Readers of the coordinate pairs the formats store.
inline QPointF ReadPointL(ByteCursor& c)
{
    double x = c.I32();
    double y = c.I32();
    return {x, y};
}
inline QPointF ReadPointS(ByteCursor& c)
{
    double x = c.I16();
    double y = c.I16();
    return {x, y};
}
// WMF parameters list y before x.
inline QPointF ReadYX(ByteCursor& c)
{
    double y = c.I16();
    double x = c.I16();
    return {x, y};
}
// EMF RECTL: left, top, right, bottom.
inline QRectF ReadRectL(ByteCursor& c)
{
    double l = c.I32(), t = c.I32(), r = c.I32(), b = c.I32();
    return QRectF(QPointF(l, t), QPointF(r, b));
}
// WMF rectangles in parameters: bottom, right, top, left.
inline QRectF ReadRectBRTL(ByteCursor& c)
{
    double b = c.I16(), r = c.I16(), t = c.I16(), l = c.I16();
    return QRectF(QPointF(l, t), QPointF(r, b));
}
// COLORREF: red, green, blue, reserved.
inline QColor ReadColorRef(ByteCursor& c)
{
    int r = c.U8(), g = c.U8(), b = c.U8();
    c.U8();
    return QColor(r, g, b);
}

} // namespace graphics::metafile
