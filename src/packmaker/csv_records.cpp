#include "packmaker/csv_records.h"

#include "packs/text.h"

#include <vector>

namespace packmaker {
namespace {

// Splits the text into rows of fields; false when a quoted field is not closed.
// Empty when the rows were read, else what is wrong.
std::string Rows(std::string_view text, std::vector<std::vector<std::string>>& rows)
{
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    bool any = false;
    std::size_t rowStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i - rowStart > kMaxCsvLineBytes)
            return "line " + std::to_string(rows.size() + 1) + " is longer than " + std::to_string(kMaxCsvLineBytes)
                   + " bytes";
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
            any = true;
        } else if (c == ',') {
            row.push_back(std::move(field));
            field.clear();
            any = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            if (any || !field.empty()) {
                row.push_back(std::move(field));
                rows.push_back(std::move(row));
            }
            row.clear();
            field.clear();
            any = false;
            rowStart = i + 1;
        } else {
            field += c;
            any = true;
        }
    }
    if (quoted)
        return "a quoted field is not closed";
    if (any || !field.empty()) {
        row.push_back(std::move(field));
        rows.push_back(std::move(row));
    }
    return {};
}

std::string Lower(std::string_view text)
{
    std::string out(packs::Trim(text));
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

} // namespace

CsvRecords ParseCsvRecords(std::string_view text)
{
    CsvRecords result;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3); // a byte order mark, as spreadsheets write
    std::vector<std::vector<std::string>> rows;
    if (text.size() > kMaxCsvBytes) {
        result.error = "the file is larger than " + std::to_string(kMaxCsvBytes >> 20) + " MB";
        return result;
    }
    if (std::string error = Rows(text, rows); !error.empty()) {
        result.error = std::move(error);
        return result;
    }
    int file = 0, title = 1, author = 2, year = 3;
    std::size_t first = 0;
    if (!rows.empty()) {
        const auto& head = rows.front();
        bool named = false;
        for (std::size_t i = 0; i < head.size(); ++i) {
            const std::string name = Lower(head[i]);
            int* column = name == "file" ? &file : name == "title" ? &title : name == "author" ? &author
                                                                             : name == "year" ? &year : nullptr;
            if (column) {
                if (!named)
                    file = title = author = year = -1;
                named = true;
                *column = static_cast<int>(i);
            }
        }
        if (named)
            first = 1;
        if (named && file < 0) {
            result.error = "the first line names no \"file\" column";
            return result;
        }
    }
    auto at = [](const std::vector<std::string>& row, int column) {
        return column >= 0 && static_cast<std::size_t>(column) < row.size() ? std::string(packs::Trim(row[column]))
                                                                             : std::string();
    };
    for (std::size_t r = first; r < rows.size(); ++r) {
        const auto& row = rows[r];
        const std::string name = at(row, file);
        if (name.empty())
            continue;
        PictureRecord record;
        record.Title = at(row, title);
        record.Author = at(row, author);
        record.Year = packs::ParseInteger(at(row, year)).value_or(0);
        result.byFile[name] = std::move(record);
    }
    return result;
}

const PictureRecord* FindCsvRecord(const CsvRecords& records, const std::string& relativePath,
                                   const std::string& fileName)
{
    if (auto it = records.byFile.find(relativePath); it != records.byFile.end())
        return &it->second;
    if (auto it = records.byFile.find(fileName); it != records.byFile.end())
        return &it->second;
    return nullptr;
}

} // namespace packmaker
