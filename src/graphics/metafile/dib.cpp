#include "graphics/metafile/dib.h"

#include <array>
#include <bit>
#include <vector>

namespace graphics::metafile {

namespace {

enum Compression : std::uint32_t { kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiJpeg = 4, kBiPng = 5 };

struct DibHeader {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // negative: rows stored top-down
    int bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t colorsUsed = 0;
    std::array<std::uint32_t, 4> masks{}; // red, green, blue, alpha
    bool core = false;                    // BITMAPCOREHEADER: 3-byte colour entries
};

std::optional<DibHeader> ReadHeader(ByteCursor& c)
{
    DibHeader h;
    h.headerSize = c.U32();
    if (!c.Ok()) return std::nullopt;
    if (h.headerSize == 12) {
        h.core = true;
        h.width = c.U16();
        h.height = c.U16();
        c.U16(); // planes
        h.bitCount = c.U16();
    } else if (h.headerSize >= 40) {
        h.width = c.I32();
        h.height = c.I32();
        c.U16(); // planes
        h.bitCount = c.U16();
        h.compression = c.U32();
        c.Skip(12); // image size, resolution
        h.colorsUsed = c.U32();
        c.U32(); // colours important
        if (h.headerSize >= 56) {
            for (auto& m : h.masks) m = c.U32();
        } else if (h.headerSize >= 52) {
            for (int i = 0; i < 3; ++i) h.masks[i] = c.U32();
        }
    } else {
        return std::nullopt;
    }
    if (!c.Ok()) return std::nullopt;
    c.Seek(h.headerSize);
    // Bitfield masks of the 40-byte header follow it.
    if (h.compression == kBiBitfields && h.headerSize == 40) {
        for (int i = 0; i < 3; ++i) h.masks[i] = c.U32();
    }
    if (!c.Ok() || h.width <= 0 || h.height == 0) return std::nullopt;
    std::uint64_t pixels = std::uint64_t(h.width) * std::uint64_t(h.height < 0 ? -h.height : h.height);
    if (h.width > 65535 || pixels > kMaxDibPixels) return std::nullopt;
    switch (h.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default:
        if (h.compression != kBiJpeg && h.compression != kBiPng) return std::nullopt;
    }
    return h;
}

std::size_t ColorCount(const DibHeader& h)
{
    if (h.bitCount <= 8) {
        std::size_t full = std::size_t(1) << h.bitCount;
        return h.colorsUsed && h.colorsUsed < full ? h.colorsUsed : full;
    }
    return h.colorsUsed;
}

std::size_t ColorTableBytes(const DibHeader& h, std::uint32_t usage)
{
    std::size_t entry = usage == kDibPalColors ? 2 : (h.core ? 3 : 4);
    std::size_t count = h.bitCount <= 8 ? ColorCount(h) : std::min<std::size_t>(h.colorsUsed, 1u << 16);
    return count * entry;
}

std::vector<QRgb> ReadColors(ByteCursor& c, const DibHeader& h, std::uint32_t usage)
{
    std::vector<QRgb> colors;
    if (h.bitCount > 8) return colors;
    std::size_t n = ColorCount(h);
    colors.resize(std::size_t(1) << h.bitCount, qRgb(0, 0, 0));
    for (std::size_t i = 0; i < n && c.Ok(); ++i) {
        if (usage == kDibPalColors) {
            // Indices into a logical palette we do not realise: show them as greys.
            int v = c.U16() & 0xff;
            colors[i] = qRgb(v, v, v);
        } else {
            int b = c.U8(), g = c.U8(), r = c.U8();
            if (!h.core) c.U8();
            colors[i] = qRgb(r, g, b);
        }
    }
    return colors;
}

int MaskShift(std::uint32_t mask) { return mask ? std::countr_zero(mask) : 0; }

int MaskChannel(std::uint32_t value, std::uint32_t mask)
{
    if (!mask) return 0;
    std::uint32_t v = (value & mask) >> MaskShift(mask);
    std::uint32_t max = mask >> MaskShift(mask);
    return max ? static_cast<int>(v * 255 / max) : 0;
}

// Run-length encoded 8- or 4-bit pixels into indices, rows bottom-up as stored.
bool DecodeRle(ByteCursor c, const DibHeader& h, std::vector<std::uint8_t>& indices)
{
    const std::size_t w = static_cast<std::size_t>(h.width);
    const std::size_t rows = static_cast<std::size_t>(h.height < 0 ? -h.height : h.height);
    indices.assign(w * rows, 0);
    const bool four = h.compression == kBiRle4;
    std::size_t x = 0, y = 0;
    auto put = [&](std::uint8_t v) {
        if (x < w && y < rows) indices[y * w + x] = v;
        ++x;
    };
    while (c.Ok() && c.Remaining() >= 2 && y < rows) {
        std::uint8_t count = c.U8();
        std::uint8_t value = c.U8();
        if (count > 0) {
            for (int i = 0; i < count; ++i) put(four ? ((i % 2) ? value & 0x0f : value >> 4) : value);
        } else if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta
            x += c.U8();
            y += c.U8();
        } else { // absolute run of value pixels, padded to a word
            std::size_t bytes = four ? (value + 1) / 2 : value;
            const std::uint8_t* p = c.Bytes(bytes);
            if (!p) return false;
            for (int i = 0; i < value; ++i) put(four ? ((i % 2) ? p[i / 2] & 0x0f : p[i / 2] >> 4) : p[i]);
            if (bytes % 2) c.Skip(1);
        }
    }
    return true;
}

} // namespace

std::optional<QImage> DecodeDib(ByteCursor info, ByteCursor bits, std::uint32_t usage, bool alpha)
{
    auto header = ReadHeader(info);
    if (!header) return std::nullopt;
    const DibHeader& h = *header;
    if (h.compression == kBiPng || h.compression == kBiJpeg) {
        QImage image;
        if (!bits.Ok() || !image.loadFromData(bits.Data(), static_cast<int>(bits.Size()))) return std::nullopt;
        return image;
    }
    std::vector<QRgb> colors = ReadColors(info, h, usage);
    if (!info.Ok()) return std::nullopt;
    if (!bits.Ok()) return std::nullopt;

    const int width = static_cast<int>(h.width);
    const int rows = static_cast<int>(h.height < 0 ? -h.height : h.height);
    const bool topDown = h.height < 0;
    const bool rle = h.compression == kBiRle8 || h.compression == kBiRle4;
    const std::uint64_t stride = (std::uint64_t(width) * h.bitCount + 31) / 32 * 4;
    // Sizes are checked against the data before anything is allocated. Run-length data
    // cannot say how much it covers; one byte covering more than a few hundred pixels
    // is no picture.
    if (rle) {
        if ((h.compression == kBiRle8 && h.bitCount != 8) || (h.compression == kBiRle4 && h.bitCount != 4))
            return std::nullopt;
        if (std::uint64_t(width) * rows > std::uint64_t(bits.Size()) * 512) return std::nullopt;
    } else if (h.compression != kBiRgb && h.compression != kBiBitfields) {
        return std::nullopt;
    } else if (stride * rows > bits.Size()) {
        return std::nullopt;
    }
    QImage image(width, rows, alpha && h.bitCount == 32 ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull()) return std::nullopt;

    if (rle) {
        std::vector<std::uint8_t> indices;
        if (!DecodeRle(bits, h, indices)) return std::nullopt;
        for (int y = 0; y < rows; ++y) {
            QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(rows - 1 - y));
            for (int x = 0; x < width; ++x) out[x] = colors[indices[std::size_t(y) * width + x] % colors.size()];
        }
        return image;
    }
    std::array<std::uint32_t, 4> masks = h.masks;
    if (h.compression != kBiBitfields || (!masks[0] && !masks[1] && !masks[2])) {
        if (h.bitCount == 16) masks = {0x7c00, 0x03e0, 0x001f, 0};
        else masks = {0xff0000, 0x00ff00, 0x0000ff, 0xff000000};
    }
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* in = bits.Data() + stride * std::uint64_t(topDown ? y : rows - 1 - y);
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            switch (h.bitCount) {
            case 1: out[x] = colors[(in[x / 8] >> (7 - x % 8)) & 1]; break;
            case 4: out[x] = colors[(in[x / 2] >> (x % 2 ? 0 : 4)) & 0x0f]; break;
            case 8: out[x] = colors[in[x]]; break;
            case 24: out[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]); break;
            case 16: {
                std::uint32_t v = in[2 * x] | (in[2 * x + 1] << 8);
                out[x] = qRgb(MaskChannel(v, masks[0]), MaskChannel(v, masks[1]), MaskChannel(v, masks[2]));
                break;
            }
            case 32: {
                std::uint32_t v = in[4 * x] | (in[4 * x + 1] << 8) | (in[4 * x + 2] << 16) | (std::uint32_t(in[4 * x + 3]) << 24);
                int r = MaskChannel(v, masks[0]), g = MaskChannel(v, masks[1]), b = MaskChannel(v, masks[2]);
                if (alpha) {
                    int a = in[4 * x + 3];
                    // Premultiplied as stored; keep colour within alpha for a valid pixel.
                    out[x] = qRgba(std::min(r, a), std::min(g, a), std::min(b, a), a);
                } else {
                    out[x] = qRgb(r, g, b);
                }
                break;
            }
            }
        }
    }
    return image;
}

std::optional<QImage> DecodePackedDib(ByteCursor dib, std::uint32_t usage)
{
    ByteCursor probe = dib;
    auto header = ReadHeader(probe);
    if (!header) return std::nullopt;
    std::size_t offset = header->headerSize + ColorTableBytes(*header, usage);
    if (header->compression == kBiBitfields && header->headerSize == 40) offset += 12;
    if (offset > dib.Size()) return std::nullopt;
    return DecodeDib(dib.Sub(0, offset), dib.Sub(offset, dib.Size() - offset), usage);
}

} // namespace graphics::metafile
