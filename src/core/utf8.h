#pragma once
// The program's one strict UTF-8 check (RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF), for ZIP names and comments and the
// settings file. Standard C++ only: the archive layer uses it.
#include <cstddef>
#include <cstdint>

namespace core {

// Length of the well-formed UTF-8 sequence at d[i], or 0 when it is not one.
inline std::size_t Utf8SequenceLength(const std::uint8_t* d, std::size_t size, std::size_t i)
{
    const std::uint8_t c = d[i];
    if (c < 0x80)
        return 1;
    std::size_t len;
    std::uint8_t lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0) lo = 0xA0;
        if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (size - i < len)
        return 0;
    if (d[i + 1] < lo || d[i + 1] > hi)
        return 0;
    for (std::size_t k = 2; k < len; ++k)
        if ((d[i + k] & 0xC0) != 0x80)
            return 0;
    return len;
}

inline bool IsValidUtf8(const std::uint8_t* data, std::size_t size)
{
    for (std::size_t i = 0; i < size;) {
        const std::size_t n = Utf8SequenceLength(data, size, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

inline bool IsValidUtf8(const char* data, std::size_t size)
{
    return IsValidUtf8(reinterpret_cast<const std::uint8_t*>(data), size);
}

} // namespace core
