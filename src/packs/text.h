#pragma once
// Small text helpers shared by the pack description and picture-name parsers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace packs {

// The whole text as a decimal 32-bit integer with an optional sign; nullopt for
// anything else (empty, blanks, other characters, out of range).
std::optional<std::int32_t> ParseInteger(std::string_view text);

// Drops leading and trailing blanks and control characters (bytes up to 0x20).
std::string_view Trim(std::string_view text);

// ASCII case-insensitive equality, for section and key names.
bool EqualsNoCase(std::string_view a, std::string_view b);

} // namespace packs
