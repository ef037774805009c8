#include "graphics/picture.h"

#include "graphics/metafile/metafile.h"
#include "graphics/stretch.h"

#include <QPaintDevice>
#include <QPainter>
#include <QTransform>

#include <algorithm>

namespace graphics {
namespace {

// Largest side of an intermediate image for painters that rotate or shear; such
// painters are rare (the canvas and the preview draw unrotated).
constexpr int MaxTransformedSide = 8192;

QImage StretchPart(const QImage& image, QSize full, QRect part)
{
    QImage out(part.size(), QImage::Format_RGB888);
    if (out.isNull())
        return out;
    const core::ConstPixelView src{image.constBits(), image.width(), image.height(), image.bytesPerLine()};
    const core::PixelView dst{out.bits(), out.width(), out.height(), out.bytesPerLine()};
    StretchRgb(src, full.width(), full.height(), part.left(), part.top(), dst);
    return out;
}

} // namespace

Picture Picture::FromImage(const QImage& image)
{
    Picture p;
    if (!image.isNull())
        p.image_ = image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
    return p;
}

Picture Picture::FromMetafile(std::shared_ptr<const Metafile> metafile)
{
    Picture p;
    p.metafile_ = std::move(metafile);
    return p;
}

int Picture::Width() const
{
    if (IsRaster())
        return image_.width();
    return metafile_ ? metafile_->Width() : 0;
}

int Picture::Height() const
{
    if (IsRaster())
        return image_.height();
    return metafile_ ? metafile_->Height() : 0;
}

void Picture::Clear()
{
    image_ = QImage();
    metafile_.reset();
}

void Picture::Draw(QPainter& painter, const QRect& target) const
{
    if (IsEmpty() || target.width() <= 0 || target.height() <= 0 || !painter.isActive())
        return;

    if (IsMetafile()) {
        painter.save();
        metafile_->Play(painter, QRectF(target));
        painter.restore();
        return;
    }

    // The world transform maps our coordinates to the paint device's own. (The
    // device transform may also hold a widget's offset in its window's backing
    // store, which the device's own rectangle does not include.)
    const QTransform world = painter.worldTransform();
    QPaintDevice* pd = painter.device();
    if (world.type() <= QTransform::TxTranslate && pd && pd->devicePixelRatioF() == 1.0) {
        // Pixels map one to one: resample only the part of the target that lies on
        // the device, so a picture far larger than the canvas costs no more than
        // the canvas itself.
        const int dx = static_cast<int>(world.dx());
        const int dy = static_cast<int>(world.dy());
        const QRect onDevice = target.translated(dx, dy);
        QRect visible = onDevice.intersected(QRect(0, 0, pd->width(), pd->height()));
        if (painter.hasClipping())
            visible = visible.intersected(painter.clipBoundingRect().toAlignedRect().translated(dx, dy));
        if (visible.isEmpty())
            return;
        const QImage part = StretchPart(image_, target.size(), visible.translated(-onDevice.topLeft()));
        if (!part.isNull())
            painter.drawImage(visible.topLeft() - QPoint(dx, dy), part);
        return;
    }

    // Scaled, rotated or high-density painters: stretch to the size the target
    // has on the device, then let the painter map it.
    const QRectF mapped = painter.deviceTransform().mapRect(QRectF(target));
    const QSize size(std::clamp(static_cast<int>(mapped.width() + 0.5), 1, MaxTransformedSide),
                     std::clamp(static_cast<int>(mapped.height() + 0.5), 1, MaxTransformedSide));
    const QImage stretched = StretchPart(image_, size, QRect(QPoint(0, 0), size));
    if (stretched.isNull())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(target), stretched);
    painter.restore();
}

} // namespace graphics
