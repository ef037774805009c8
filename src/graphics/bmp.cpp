#include "graphics/bmp.h"

#include "graphics/large_image.h"

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

// What a BMP file of image takes: its size, the row length and where the rows
// start. size is 0, with error set, when the file cannot hold the picture.
struct BmpLayout {
    std::size_t size = 0;
    std::size_t rowBytes = 0;
    std::size_t offset = FileHeaderSize + InfoHeaderSize;
};

BmpLayout LayOut(const QImage& image, std::string& error)
{
    BmpLayout layout;
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
        error = "there is no picture to write";
        return layout;
    }
    const std::size_t width = static_cast<std::size_t>(image.width());
    const std::size_t height = static_cast<std::size_t>(image.height());
    const std::size_t rowBytes = (width * 3 + 3) & ~std::size_t{3};
    // Sizes are 32-bit fields in the headers.
    if (rowBytes > (std::numeric_limits<std::uint32_t>::max() - layout.offset) / height
        || width > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        error = "the picture is too large for a BMP file";
        return layout;
    }
    layout.rowBytes = rowBytes;
    layout.size = layout.offset + rowBytes * height;
    return layout;
}

// Writes the headers and the rows of rgb (RGB888) into out, layout.size bytes
// that are zero.
void Fill(const QImage& rgb, const BmpLayout& layout, std::uint8_t* out)
{
    const std::size_t width = static_cast<std::size_t>(rgb.width());
    const std::size_t height = static_cast<std::size_t>(rgb.height());
    const std::size_t imageBytes = layout.size - layout.offset;
    std::uint8_t* h = out;
    h[0] = 'B';
    h[1] = 'M';
    Put32(h + 2, static_cast<std::uint32_t>(layout.size));   // file size
    Put32(h + 10, static_cast<std::uint32_t>(layout.offset)); // pixel data offset
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
        std::uint8_t* d = out + layout.offset + (height - 1 - y) * layout.rowBytes;
        for (std::size_t x = 0; x < width; ++x, s += 3, d += 3) {
            d[0] = s[2]; // pixels are stored blue, green, red
            d[1] = s[1];
            d[2] = s[0];
        }
    }
}

QImage AsRgb(const QImage& image, std::string& error)
{
    QImage rgb = image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull())
        error = "not enough memory to convert the picture";
    return rgb;
}

} // namespace

bool EncodeBmp(const QImage& image, std::vector<std::uint8_t>& out, std::string& error)
{
    out.clear();
    const BmpLayout layout = LayOut(image, error);
    if (layout.size == 0)
        return false;
    const QImage rgb = AsRgb(image, error);
    if (rgb.isNull())
        return false;
    out.assign(layout.size, 0);
    Fill(rgb, layout, out.data());
    return true;
}

core::Result<void> SaveBmp(const QImage& image, const QString& path)
{
    std::string error;
    const BmpLayout layout = LayOut(image, error);
    if (layout.size == 0)
        return WriteFailure(path, EINVAL, error);
    const QImage rgb = AsRgb(image, error);
    if (rgb.isNull())
        return WriteFailure(path, EINVAL, error);
    // A wallpaper file is megabytes, written once.
    const LargeBuffer bytes(layout.size);
    if (!bytes.data())
        return WriteFailure(path, ENOMEM, "not enough memory for the file");
    Fill(rgb, layout, bytes.data());
    return WritePictureFile(path, QByteArrayView(reinterpret_cast<const char*>(bytes.data()), qsizetype(layout.size)));
}

} // namespace graphics
