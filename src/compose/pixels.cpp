#include "compose/pixels.h"

namespace compose {

PixelView ViewOf(QImage& image)
{
    Q_ASSERT(image.format() == QImage::Format_RGB888);
    return {image.bits(), image.width(), image.height(), static_cast<std::ptrdiff_t>(image.bytesPerLine())};
}

} // namespace compose
