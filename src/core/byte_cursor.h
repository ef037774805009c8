#pragma once
// The program's one bounds-checked little-endian reader, for ZIP records, bitmaps
// and metafiles: it reads over a byte range it does not own; reads past the end
// return 0 and clear a sticky ok flag, so a record is read whole and checked once
// before anything is built from it. Standard C++ only: the archive layer uses it.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace core {

// Little-endian values at p, for the few places that look at a signature before
// reading a record whole.
inline std::uint16_t Le16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
inline std::uint32_t Le32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
inline std::uint64_t Le64(const std::uint8_t* p) { return std::uint64_t(Le32(p)) | (std::uint64_t(Le32(p + 4)) << 32); }


class ByteCursor {
public:
    ByteCursor() = default;
    ByteCursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Ok() const { return ok_; }
    std::size_t Size() const { return size_; }
    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return ok_ ? size_ - pos_ : 0; }
    const std::uint8_t* Data() const { return data_; }

    // Moves to an absolute offset; an offset past the end fails the cursor.
    void Seek(std::size_t offset)
    {
        if (offset > size_) Fail();
        else pos_ = offset;
    }
    void Skip(std::size_t n)
    {
        if (!Has(n)) Fail();
        else pos_ += n;
    }
    bool Has(std::size_t n) const { return ok_ && n <= size_ - pos_; }

    std::uint8_t U8() { return static_cast<std::uint8_t>(Read(1)); }
    std::uint16_t U16() { return static_cast<std::uint16_t>(Read(2)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Read(4)); }
    std::uint64_t U64() { return Read(8); }
    std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    float F32()
    {
        std::uint32_t bits = U32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    // A pointer to the next n bytes, or null (and the cursor failed) when they are not there.
    const std::uint8_t* Bytes(std::size_t n)
    {
        if (!Has(n)) {
            Fail();
            return nullptr;
        }
        const std::uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }
    // A cursor over [offset, offset + n) of this one, or a failed cursor when it does not fit.
    ByteCursor Sub(std::size_t offset, std::size_t n) const
    {
        if (!ok_ || offset > size_ || n > size_ - offset) {
            ByteCursor bad;
            bad.ok_ = false;
            return bad;
        }
        return ByteCursor(data_ + offset, n);
    }

private:
    std::uint64_t Read(std::size_t n)
    {
        if (!Has(n)) {
            Fail();
            return 0;
        }
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < n; ++i) v |= std::uint64_t(data_[pos_ + i]) << (8 * i);
        pos_ += n;
        return v;
    }
    void Fail()
    {
        ok_ = false;
        pos_ = size_;
    }

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

} // namespace core
