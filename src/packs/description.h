#pragma once
// The description of a pack: the INI-style text held in the archive comment.
//
//   [Pack]
//   Name=Quiet Rooms
//   Author=Some Painter
//   Icon=2
//
// Lines end at CR, LF or both and are trimmed; ";" starts a comment line; section
// and key names match without regard to ASCII case. When a section occurs more than
// once only the last one counts, and within it the last occurrence of a key counts.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace packs {

class PackDescription {
public:
    static PackDescription Parse(std::string_view text);

    bool HasSection(std::string_view section) const;
    // The value of a key, nullopt when the section or the key is missing.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    std::string Text(std::string_view section, std::string_view key, std::string fallback = {}) const;
    // A value that is missing or is no decimal 32-bit integer gives `fallback`.
    std::int32_t Integer(std::string_view section, std::string_view key, std::int32_t fallback = 0) const;

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys; // in text order
    };
    const Section* Find(std::string_view section) const;
    std::vector<Section> sections_; // in text order; duplicates kept, the last wins
};

// "Credit=plain" in [Pack]: the pack's works are public domain, and captions credit
// the artist without the copyright sign. Any other value, or none, keeps the sign.
bool PlainCredit(const PackDescription& description);

} // namespace packs
