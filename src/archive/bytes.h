#pragma once
// Little-endian reads through one bounds-checked cursor with a sticky "ok" flag:
// read a whole record, check ok() once, then use the values.
#include <cstddef>
#include <cstdint>

namespace archiva {

inline std::uint16_t Le16(const unsigned char* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
inline std::uint32_t Le32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
inline std::uint64_t Le64(const unsigned char* p)
{
    return std::uint64_t(Le32(p)) | (std::uint64_t(Le32(p + 4)) << 32);
}

class byte_cursor {
public:
    byte_cursor(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t u8() { return Take(1) ? data_[pos_ - 1] : 0; }
    std::uint16_t u16() { return Take(2) ? Le16(data_ + pos_ - 2) : 0; }
    std::uint32_t u32() { return Take(4) ? Le32(data_ + pos_ - 4) : 0; }
    std::uint64_t u64() { return Take(8) ? Le64(data_ + pos_ - 8) : 0; }
    // Pointer to the next n bytes, or nullptr (and not ok) when fewer remain.
    const unsigned char* bytes(std::size_t n) { return Take(n) ? data_ + pos_ - n : nullptr; }
    void skip(std::size_t n) { Take(n); }

    bool ok() const { return ok_; }
    std::size_t remaining() const { return size_ - pos_; }

private:
    bool Take(std::size_t n)
    {
        if (!ok_ || n > size_ - pos_) {
            ok_ = false;
            return false;
        }
        pos_ += n;
        return true;
    }
    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

} // namespace archiva
