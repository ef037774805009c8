#include "graphics/exif_orientation.h"

#include <QTransform>

#include <cstring>

namespace graphics {
namespace {

// A bounds-checked reader over the TIFF structure of the Exif segment, in the
// byte order its header names ("II" little, "MM" big endian).
struct TiffCursor {
    std::span<const std::uint8_t> data;
    bool little = true;

    bool Fits(std::size_t at, std::size_t n) const { return at <= data.size() && n <= data.size() - at; }
    std::uint16_t U16(std::size_t at) const
    {
        return little ? static_cast<std::uint16_t>(data[at] | data[at + 1] << 8)
                      : static_cast<std::uint16_t>(data[at] << 8 | data[at + 1]);
    }
    std::uint32_t U32(std::size_t at) const
    {
        const std::uint32_t a = data[at], b = data[at + 1], c = data[at + 2], d = data[at + 3];
        return little ? (a | b << 8 | c << 16 | d << 24) : (a << 24 | b << 16 | c << 8 | d);
    }
};

int OrientationInTiff(std::span<const std::uint8_t> tiff)
{
    TiffCursor c{tiff};
    if (!c.Fits(0, 8))
        return 1;
    if (tiff[0] == 'I' && tiff[1] == 'I')
        c.little = true;
    else if (tiff[0] == 'M' && tiff[1] == 'M')
        c.little = false;
    else
        return 1;
    if (c.U16(2) != 42)
        return 1;
    const std::size_t ifd = c.U32(4);
    if (!c.Fits(ifd, 2))
        return 1;
    const std::size_t count = c.U16(ifd);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = ifd + 2 + i * 12;
        if (!c.Fits(entry, 12))
            return 1;
        if (c.U16(entry) != 0x0112)
            continue;
        // SHORT, count 1: the value sits in the first two bytes of the value field.
        if (c.U16(entry + 2) != 3 || c.U32(entry + 4) != 1)
            return 1;
        const int value = c.U16(entry + 8);
        return value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
}

} // namespace

int JpegExifOrientation(std::span<const std::uint8_t> data)
{
    if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return 1;
    std::size_t at = 2;
    while (at + 4 <= data.size()) {
        if (data[at] != 0xFF)
            return 1;
        const std::uint8_t marker = data[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        // Start of scan or end of image: no more metadata segments follow.
        if (marker == 0xDA || marker == 0xD9)
            return 1;
        const std::size_t length = static_cast<std::size_t>(data[at + 2]) << 8 | data[at + 3];
        if (length < 2 || at + 2 + length > data.size())
            return 1;
        const std::span<const std::uint8_t> body = data.subspan(at + 4, length - 2);
        if (marker == 0xE1 && body.size() >= 6 && std::memcmp(body.data(), "Exif\0\0", 6) == 0)
            return OrientationInTiff(body.subspan(6));
        at += 2 + length;
    }
    return 1;
}

bool JpegFrameSize(std::span<const std::uint8_t> data, int& width, int& height)
{
    if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return false;
    std::size_t at = 2;
    while (at + 4 <= data.size()) {
        if (data[at] != 0xFF)
            return false;
        const std::uint8_t marker = data[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9)
            return false;
        const std::size_t length = static_cast<std::size_t>(data[at + 2]) << 8 | data[at + 3];
        if (length < 2 || at + 2 + length > data.size())
            return false;
        // SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC): precision, height, width.
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 7)
                return false;
            height = data[at + 5] << 8 | data[at + 6];
            width = data[at + 7] << 8 | data[at + 8];
            return width > 0 && height > 0;
        }
        at += 2 + length;
    }
    return false;
}

QImage ApplyOrientation(const QImage& image, int orientation)
{
    switch (orientation) {
    case 2: return image.mirrored(true, false);
    case 3: return image.transformed(QTransform().rotate(180));
    case 4: return image.mirrored(false, true);
    case 5: return image.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6: return image.transformed(QTransform().rotate(90));
    case 7: return image.transformed(QTransform().rotate(-90)).mirrored(true, false);
    case 8: return image.transformed(QTransform().rotate(-90));
    default: return image;
    }
}

} // namespace graphics
