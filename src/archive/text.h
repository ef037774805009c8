#pragma once
// Conversion of stored names and comments to UTF-8.
#include <cstddef>
#include <string>

namespace archiva {

bool IsValidUtf8(const unsigned char* data, std::size_t size);

// Bytes in code page 437 (the original IBM PC set ZIP names default to) as UTF-8.
std::string Cp437ToUtf8(const unsigned char* data, std::size_t size);

// A stored name or comment as UTF-8: taken as is when `utf8Flag` (general-purpose
// bit 11) is set or the bytes are valid UTF-8, else converted from code page 437.
// Flagged text with invalid sequences gets U+FFFD for each bad byte.
std::string StoredTextToUtf8(const unsigned char* data, std::size_t size, bool utf8Flag);

} // namespace archiva
