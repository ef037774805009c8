#include "graphics/bmp.h"

#include <cerrno>
#include <cstddef>
#include <limits>

namespace graphics {
namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40; // BITMAPINFOHEADER
constexpr std::int32_t PixelsPerMetre = 3780; // 96 dots per inch

void Put16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace

bool EncodeBmp(const QImage& image, std::vector<std::uint8_t>& out, std::string& error)
{
    out.clear();
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
        error = "there is no picture to write";
        return false;
    }
    const std::size_t width = static_cast<std::size_t>(image.width());
    const std::size_t height = static_cast<std::size_t>(image.height());
    const std::size_t rowBytes = (width * 3 + 3) & ~std::size_t{3};
    const std::size_t offset = FileHeaderSize + InfoHeaderSize;
    // Sizes are 32-bit fields in the headers.
    if (rowBytes > (std::numeric_limits<std::uint32_t>::max() - offset) / height
        || width > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        error = "the picture is too large for a BMP file";
        return false;
    }
    const std::size_t imageBytes = rowBytes * height;
    const QImage rgb = image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull()) {
        error = "not enough memory to convert the picture";
        return false;
    }
    out.assign(offset + imageBytes, 0);
    std::uint8_t* h = out.data();
    h[0] = 'B';
    h[1] = 'M';
    Put32(h + 2, static_cast<std::uint32_t>(offset + imageBytes)); // file size
    Put32(h + 10, static_cast<std::uint32_t>(offset));              // pixel data offset
    std::uint8_t* info = h + FileHeaderSize;
    Put32(info + 0, InfoHeaderSize);
    Put32(info + 4, static_cast<std::uint32_t>(width));
    Put32(info + 8, static_cast<std::uint32_t>(height)); // positive: bottom-up rows
    Put16(info + 12, 1);                                 // planes
    Put16(info + 14, 24);                                // bits per pixel
    Put32(info + 16, 0);                                 // BI_RGB, uncompressed
    Put32(info + 20, static_cast<std::uint32_t>(imageBytes));
    Put32(info + 24, PixelsPerMetre);
    Put32(info + 28, PixelsPerMetre);
    // Colours used and important stay 0: no palette.

    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* s = rgb.constScanLine(static_cast<int>(y));
        std::uint8_t* d = out.data() + offset + (height - 1 - y) * rowBytes;
        for (std::size_t x = 0; x < width; ++x, s += 3, d += 3) {
            d[0] = s[2]; // pixels are stored blue, green, red
            d[1] = s[1];
            d[2] = s[0];
        }
    }
    return true;
}

core::Result<void> SaveBmp(const QImage& image, const QString& path)
{
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!EncodeBmp(image, bytes, error))
        return WriteFailure(path, EINVAL, error);
    return WritePictureFile(path, QByteArrayView(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
}

} // namespace graphics
