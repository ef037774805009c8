#pragma once
// Helpers of the text records: 8-bit texts of WMF and ExtTextOutA.
#include <QString>

#include <cstddef>
#include <cstdint>

namespace graphics::metafile {

// Windows-1252 (Western) bytes to text; the character set of the font is not used
// further, other code pages being rare in clip art.
QString DecodeAnsi(const std::uint8_t* bytes, std::size_t length, std::uint8_t charSet);

} // namespace graphics::metafile
