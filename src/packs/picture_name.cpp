#include "packs/pic.h"

#include "packs/text.h"

#include <vector>

namespace {

// The file name without folders and without its extension. Entry names use "/";
// "\" and ":" also end a folder part, as names written on other systems may hold them.
std::string_view TitlePart(std::string_view name)
{
    if (!name.empty() && (name.back() == '/' || name.back() == '\\'))
        name.remove_suffix(1);
    const auto slash = name.find_last_of("/\\:");
    if (slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string_view::npos)
        name = name.substr(0, dot);
    return name;
}

// Splits at every " - " and every "|"; empty fields count, nothing is trimmed.
std::vector<std::string_view> Fields(std::string_view text)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '|') {
            fields.push_back(text.substr(start, i - start));
            start = i = i + 1;
        } else if (text.compare(i, 3, " - ") == 0) {
            fields.push_back(text.substr(start, i - start));
            start = i = i + 3;
        } else {
            ++i;
        }
    }
    fields.push_back(text.substr(start));
    return fields;
}

} // namespace

TPic ParsePictureName(std::string_view entryName)
{
    TPic pic;
    pic.EntryName = std::string(entryName);
    pic.Title = pic.EntryName;

    const auto fields = Fields(TitlePart(entryName));
    std::size_t next = 0;
    if (next < fields.size() && fields[next].size() < 4) {
        const auto n = packs::ParseInteger(fields[next]);
        if (n && *n != 0) {
            pic.Number = *n;
            ++next;
        }
    }
    if (next < fields.size() && fields[next].size() == 4) {
        const auto y = packs::ParseInteger(fields[next]);
        if (y && *y != 0) {
            pic.Year = *y;
            ++next;
        }
    }
    if (next < fields.size())
        pic.Title = std::string(fields[next++]);
    if (next < fields.size())
        pic.Author = std::string(fields[next++]);
    return pic;
}
