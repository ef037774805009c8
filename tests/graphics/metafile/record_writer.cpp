#include "graphics/metafile/record_writer.h"

#include <cstring>

namespace testing_metafile {

void Bytes::F32(float v)
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    U32(bits);
}

namespace {
void Put32(std::vector<std::uint8_t>& d, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) d[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put16(std::vector<std::uint8_t>& d, std::size_t at, std::uint16_t v)
{
    d[at] = v & 0xff;
    d[at + 1] = v >> 8;
}
} // namespace

EmfWriter::EmfWriter(int boundsRight, int boundsBottom, int frameRight, int frameBottom, int handles, int devicePxX,
                     int devicePxY, int deviceMmX, int deviceMmY)
{
    out_.U32(1);
    out_.U32(88);
    for (int v : {0, 0, boundsRight, boundsBottom, 0, 0, frameRight, frameBottom}) out_.I32(v);
    out_.U32(0x464D4520);
    out_.U32(0x10000);
    out_.U32(0); // bytes, filled in
    out_.U32(0); // records, filled in
    out_.U16(static_cast<std::uint16_t>(handles));
    out_.U16(0);
    out_.U32(0); // description
    out_.U32(0);
    out_.U32(0); // palette entries
    for (int v : {devicePxX, devicePxY, deviceMmX, deviceMmY}) out_.I32(v);
}

EmfWriter& EmfWriter::Rec(std::uint32_t type, std::initializer_list<std::int64_t> fields)
{
    out_.U32(type);
    out_.U32(static_cast<std::uint32_t>(8 + 4 * fields.size()));
    for (std::int64_t f : fields) out_.U32(static_cast<std::uint32_t>(f));
    ++records_;
    return *this;
}

EmfWriter& EmfWriter::RecBytes(std::uint32_t type, Bytes params)
{
    params.Pad4();
    out_.U32(type);
    out_.U32(static_cast<std::uint32_t>(8 + params.Size()));
    out_.Raw(params.Data());
    ++records_;
    return *this;
}

EmfWriter& EmfWriter::SolidBrush(std::uint32_t index, std::uint32_t colorRef)
{
    return Rec(39, {index, 0, colorRef, 0});
}

EmfWriter& EmfWriter::Pen(std::uint32_t index, std::uint32_t style, int width, std::uint32_t colorRef)
{
    return Rec(38, {index, style, width, 0, colorRef});
}

EmfWriter& EmfWriter::Polygon16(std::initializer_list<std::pair<int, int>> points)
{
    Bytes b;
    for (int i = 0; i < 4; ++i) b.I32(0);
    b.U32(static_cast<std::uint32_t>(points.size()));
    for (auto [x, y] : points) {
        b.I16(static_cast<std::int16_t>(x));
        b.I16(static_cast<std::int16_t>(y));
    }
    return RecBytes(86, b);
}

std::vector<std::uint8_t> EmfWriter::Finish()
{
    Rec(14, {0, 16, 20});
    std::vector<std::uint8_t> d = out_.Data();
    Put32(d, 48, static_cast<std::uint32_t>(d.size()));
    Put32(d, 52, records_);
    return d;
}

WmfWriter::WmfWriter(bool placeable, int left, int top, int right, int bottom, int inch, int objects)
{
    if (placeable) {
        out_.U32(0x9AC6CDD7);
        out_.U16(0);
        for (int v : {left, top, right, bottom}) out_.I16(static_cast<std::int16_t>(v));
        out_.U16(static_cast<std::uint16_t>(inch));
        out_.U32(0);
        std::uint16_t sum = 0;
        for (int i = 0; i < 10; ++i) sum ^= out_.Data()[2 * i] | (out_.Data()[2 * i + 1] << 8);
        out_.U16(sum);
    }
    headerAt_ = out_.Size();
    out_.U16(1);
    out_.U16(9);
    out_.U16(0x300);
    out_.U32(0); // size in words, filled in
    out_.U16(static_cast<std::uint16_t>(objects));
    out_.U32(0); // largest record, filled in
    out_.U16(0);
}

WmfWriter& WmfWriter::Rec(std::uint16_t function, std::initializer_list<int> params)
{
    Bytes b;
    for (int p : params) b.I16(static_cast<std::int16_t>(p));
    return RecBytes(function, b);
}

WmfWriter& WmfWriter::RecBytes(std::uint16_t function, Bytes params)
{
    if (params.Size() % 2) params.U8(0);
    std::uint32_t words = static_cast<std::uint32_t>(3 + params.Size() / 2);
    out_.U32(words);
    out_.U16(function);
    out_.Raw(params.Data());
    if (words > maxRecord_) maxRecord_ = words;
    return *this;
}

WmfWriter& WmfWriter::SolidBrush(std::uint32_t colorRef)
{
    Bytes b;
    b.U16(0);
    b.U32(colorRef);
    b.U16(0);
    return RecBytes(0x02FC, b);
}

WmfWriter& WmfWriter::Pen(std::uint16_t style, int width, std::uint32_t colorRef)
{
    Bytes b;
    b.U16(style);
    b.I16(static_cast<std::int16_t>(width));
    b.I16(0);
    b.U32(colorRef);
    return RecBytes(0x02FA, b);
}

std::vector<std::uint8_t> WmfWriter::Finish()
{
    Rec(0, {});
    std::vector<std::uint8_t> d = out_.Data();
    Put32(d, headerAt_ + 6, static_cast<std::uint32_t>((d.size() - headerAt_) / 2));
    Put32(d, headerAt_ + 12, maxRecord_);
    Put16(d, headerAt_ + 16, 0);
    return d;
}

} // namespace testing_metafile
