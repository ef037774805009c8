#include "packs/description.h"

#include <cctype>

#include "packs/text.h"

namespace packs {

PackDescription PackDescription::Parse(std::string_view text)
{
    PackDescription result;
    // Text editors may put a byte-order mark before the first section.
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    Section* current = nullptr;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = Trim(text.substr(pos, end - pos));
        pos = end + 1;

        if (line.empty() || line.front() == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            result.sections_.push_back({std::string(Trim(line.substr(1, line.size() - 2))), {}});
            current = &result.sections_.back();
            continue;
        }
        if (!current)
            continue; // lines before the first section mean nothing
        const auto eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        current->keys.emplace_back(std::string(Trim(line.substr(0, eq))), std::string(Trim(line.substr(eq + 1))));
    }
    return result;
}

const PackDescription::Section* PackDescription::Find(std::string_view section) const
{
    for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
        if (EqualsNoCase(it->name, section))
            return &*it;
    }
    return nullptr;
}

bool PackDescription::HasSection(std::string_view section) const
{
    return Find(section) != nullptr;
}

std::optional<std::string> PackDescription::Value(std::string_view section, std::string_view key) const
{
    const Section* s = Find(section);
    if (!s)
        return std::nullopt;
    for (auto it = s->keys.rbegin(); it != s->keys.rend(); ++it) {
        if (EqualsNoCase(it->first, key))
            return it->second;
    }
    return std::nullopt;
}

std::string PackDescription::Text(std::string_view section, std::string_view key, std::string fallback) const
{
    auto v = Value(section, key);
    return v ? std::move(*v) : std::move(fallback);
}

std::int32_t PackDescription::Integer(std::string_view section, std::string_view key, std::int32_t fallback) const
{
    const auto v = Value(section, key);
    if (!v)
        return fallback;
    return ParseInteger(*v).value_or(fallback);
}

bool PlainCredit(const PackDescription& description)
{
    const std::optional<std::string> value = description.Value("Pack", "Credit");
    if (!value || value->size() != 5)
        return false;
    for (std::size_t i = 0; i < 5; ++i)
        if (static_cast<char>(std::tolower(static_cast<unsigned char>((*value)[i]))) != "plain"[i])
            return false;
    return true;
}

} // namespace packs
