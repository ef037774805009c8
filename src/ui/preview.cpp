#include "ui/preview.h"

#include "graphics/metafile/metafile.h"

#include <QFile>
#include <QPainter>

namespace ui {

TPreview::TPreview(QWidget* parent) : QWidget(parent)
{
    // The picture paints the whole area; whatever it leaves shows the page.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TPreview::SetPicture(graphics::Picture picture)
{
    picture_ = std::move(picture);
    rendered_ = QImage();
    update();
}

void TPreview::Clear()
{
    picture_.Clear();
    rendered_ = QImage();
    update();
}

void TPreview::paintEvent(QPaintEvent*)
{
    if (picture_.IsEmpty() || width() <= 0 || height() <= 0)
        return;
    // Stretching a large picture is slow: do it once per picture and size into an
    // image of our own (whose painter maps pixels one to one), then only copy.
    const QSize pixels = size() * devicePixelRatio();
    if (rendered_.size() != pixels) {
        rendered_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        rendered_.fill(Qt::transparent);
        QPainter canvas(&rendered_);
        canvas.setRenderHint(QPainter::SmoothPixmapTransform);
        canvas.setRenderHint(QPainter::Antialiasing);
        picture_.Draw(canvas, QRect(QPoint(0, 0), pixels));
        canvas.end();
        rendered_.setDevicePixelRatio(devicePixelRatio());
    }
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), rendered_);
}

graphics::Picture LoadBuiltinPicture()
{
    QFile file(QStringLiteral(":/builtin/builtin.emf"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    std::string error;
    auto metafile = graphics::Metafile::Load(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), error);
    if (!metafile)
        return {};
    return graphics::Picture::FromMetafile(std::move(metafile));
}

} // namespace ui
