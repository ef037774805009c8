#include "packmaker/entry_name.h"

#include "packs/pic.h"
#include "packs/text.h"

#include <cstdio>
#include <cstdlib>

namespace packmaker {
namespace {

constexpr std::string_view kEnDash = "\u2013";
constexpr std::string_view kBrokenBar = "\u00A6";
constexpr std::string_view kDivisionSlash = "\u2215";
constexpr std::string_view kReverseSolidus = "\u29F5";
constexpr std::string_view kRatio = "\u2236";
constexpr std::string_view kOneDotLeader = "\u2024";
constexpr std::string_view kNoBreakSpace = "\u00A0";

bool IsDigits(std::string_view text)
{
    if (text.empty())
        return false;
    std::size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

// Would the reader, meeting this field first, take it for a number or a year?
bool ReadsAsNumberOrYear(std::string_view field, bool numberPossible)
{
    const auto value = packs::ParseInteger(field);
    if (!value || *value == 0)
        return false;
    return (numberPossible && field.size() < 4) || field.size() == 4;
}

} // namespace

std::string SafeText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (text.compare(i, 3, " - ") == 0) {
            out += ' ';
            out += kEnDash;
            ++i; // the blank after the hyphen follows on the next round
        } else if (c == '|') {
            out += kBrokenBar;
        } else if (c == '/') {
            out += kDivisionSlash;
        } else if (c == '\\') {
            out += kReverseSolidus;
        } else if (c == ':') {
            out += kRatio;
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            out += ' ';
        } else {
            out += c;
        }
    }
    // " -" at the end would join the separator after it into " - -", split early.
    if (out.size() >= 2 && out.compare(out.size() - 2, 2, " -") == 0) {
        out.pop_back();
        out += kEnDash;
    }
    std::size_t dots = 0;
    while (dots < out.size() && out[out.size() - 1 - dots] == '.')
        ++dots;
    if (dots > 0) {
        out.resize(out.size() - dots);
        for (std::size_t i = 0; i < dots; ++i)
            out += kOneDotLeader;
    }
    return out;
}

std::string EntryStem(const PictureRecord& record)
{
    std::string stem;
    // The number must be shorter than four characters, the year exactly four.
    const bool number = record.Number >= -99 && record.Number <= 999 && record.Number != 0;
    const bool year = record.Year >= -999 && record.Year <= 9999 && record.Year != 0;
    if (number)
        stem += std::to_string(record.Number) + " - ";
    if (year) {
        char text[8];
        std::snprintf(text, sizeof text, record.Year > 0 ? "%04d" : "-%03d", std::abs(static_cast<int>(record.Year)));
        stem += std::string(text) + " - ";
    }
    std::string title = SafeText(record.Title);
    // After a year the reader takes the next field as the title whatever it holds;
    // before that, a field of digits would become the number or the year.
    if (!year && ReadsAsNumberOrYear(title, !number))
        title += kNoBreakSpace;
    stem += title;
    if (!record.Author.empty())
        stem += " - " + SafeText(record.Author);
    return stem;
}

PictureRecord RecordFromFileName(std::string_view fileName, bool& structured)
{
    const TPic pic = ParsePictureName(fileName);
    PictureRecord record;
    record.Number = pic.Number;
    record.Year = pic.Year;
    // A name of fields only (such as "1889.jpg") leaves the reader's title at the whole
    // name; there is no title in it then.
    record.Title = pic.Title == pic.EntryName && (pic.Number != 0 || pic.Year != 0) ? std::string() : pic.Title;
    record.Author = pic.Author;
    structured = pic.Number != 0 || pic.Year != 0 || !pic.Author.empty();
    return record;
}

std::int32_t YearOfDate(std::string_view date)
{
    date = packs::Trim(date);
    if (date.size() < 4)
        return 0;
    const std::string_view digits = date.substr(0, 4);
    if (!IsDigits(digits) || digits[0] == '-' || digits[0] == '+')
        return 0;
    if (date.size() > 4 && date[4] >= '0' && date[4] <= '9')
        return 0; // five digits and more are no year
    return *packs::ParseInteger(digits);
}

} // namespace packmaker
