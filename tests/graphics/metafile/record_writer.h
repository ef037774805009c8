#pragma once
// A tiny writer of EMF and WMF records, so tests can state exactly what a metafile holds.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace testing_metafile {

class Bytes {
public:
    void U8(std::uint8_t v) { data_.push_back(v); }
    void U16(std::uint16_t v) { U8(v & 0xff); U8(v >> 8); }
    void U32(std::uint32_t v) { U16(v & 0xffff); U16(v >> 16); }
    void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void F32(float v);
    void Raw(const std::vector<std::uint8_t>& v) { data_.insert(data_.end(), v.begin(), v.end()); }
    void Pad4() { while (data_.size() % 4) U8(0); }
    std::size_t Size() const { return data_.size(); }
    std::vector<std::uint8_t>& Data() { return data_; }

private:
    std::vector<std::uint8_t> data_;
};

// COLORREF of r, g, b.
constexpr std::uint32_t Rgb(int r, int g, int b) { return std::uint32_t(r) | (std::uint32_t(g) << 8) | (std::uint32_t(b) << 16); }

class EmfWriter {
public:
    // bounds in device pixels (inclusive), frame in 0.01 mm; the reference device has
    // devicePx pixels over deviceMm millimetres.
    EmfWriter(int boundsRight, int boundsBottom, int frameRight, int frameBottom, int handles = 8,
              int devicePxX = 1000, int devicePxY = 1000, int deviceMmX = 254, int deviceMmY = 254);
    // A record of 32-bit fields.
    EmfWriter& Rec(std::uint32_t type, std::initializer_list<std::int64_t> fields);
    // A record whose parameters are given whole.
    EmfWriter& RecBytes(std::uint32_t type, Bytes params);
    // Common records.
    EmfWriter& SolidBrush(std::uint32_t index, std::uint32_t colorRef);
    EmfWriter& Pen(std::uint32_t index, std::uint32_t style, int width, std::uint32_t colorRef);
    EmfWriter& Select(std::uint32_t handle) { return Rec(37, {handle}); }
    EmfWriter& Rectangle(int l, int t, int r, int b) { return Rec(43, {l, t, r, b}); }
    EmfWriter& Polygon16(std::initializer_list<std::pair<int, int>> points);
    // Ends with EMR_EOF and fills in the header's totals.
    std::vector<std::uint8_t> Finish();

    // Header fields that tests damage on purpose.
    static constexpr std::size_t kBoundsOffset = 8;
    static constexpr std::size_t kFrameOffset = 24;
    static constexpr std::size_t kHandlesOffset = 56;

private:
    Bytes out_;
    std::uint32_t records_ = 1;
};

class WmfWriter {
public:
    // placeable: with the 22-byte header giving the box and units per inch.
    WmfWriter(bool placeable, int left, int top, int right, int bottom, int inch = 1440, int objects = 8);
    WmfWriter& Rec(std::uint16_t function, std::initializer_list<int> params);
    WmfWriter& RecBytes(std::uint16_t function, Bytes params);
    WmfWriter& SolidBrush(std::uint32_t colorRef);
    WmfWriter& Pen(std::uint16_t style, int width, std::uint32_t colorRef);
    std::vector<std::uint8_t> Finish();

private:
    Bytes out_;
    std::size_t headerAt_ = 0;
    std::uint32_t maxRecord_ = 3;
};

} // namespace testing_metafile
