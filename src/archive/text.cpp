#include "archive/text.h"

#include <cstdint>

namespace archiva {

namespace {

// Code points of bytes 0x80..0xFF of code page 437.
constexpr char16_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

void AppendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Length of the well-formed UTF-8 sequence at data[i] (RFC 3629: no overlong forms,
// no surrogates, nothing above U+10FFFF), or 0 when it is not one.
std::size_t SequenceLength(const unsigned char* d, std::size_t size, std::size_t i)
{
    unsigned char c = d[i];
    if (c < 0x80)
        return 1;
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
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

} // namespace

bool IsValidUtf8(const unsigned char* data, std::size_t size)
{
    for (std::size_t i = 0; i < size;) {
        std::size_t n = SequenceLength(data, size, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

std::string Cp437ToUtf8(const unsigned char* data, std::size_t size)
{
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        unsigned char c = data[i];
        AppendUtf8(out, c < 0x80 ? c : kCp437High[c - 0x80]);
    }
    return out;
}

std::string StoredTextToUtf8(const unsigned char* data, std::size_t size, bool utf8Flag)
{
    if (IsValidUtf8(data, size))
        return std::string(reinterpret_cast<const char*>(data), size);
    if (!utf8Flag)
        return Cp437ToUtf8(data, size);
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < size;) {
        std::size_t n = SequenceLength(data, size, i);
        if (n == 0) {
            AppendUtf8(out, 0xFFFD);
            ++i;
        } else {
            out.append(reinterpret_cast<const char*>(data + i), n);
            i += n;
        }
    }
    return out;
}

} // namespace archiva
