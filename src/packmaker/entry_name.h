#pragma once
// Entry names for a pack's pictures, built so that the pack reader
// (ParsePictureName) gives back the number, year, title and author intended.
//
// The reader splits the name without folders and extension at " - " and "|",
// ends the folder part at "/", "\" and ":", reads a leading field of up to three
// characters as a number and a following four-character field as a year. Texts
// that would be split or misread are written with look-alike characters the rules
// do not treat specially (SafeText), so they read back as a person reads them.
#include <cstdint>
#include <string>
#include <string_view>

namespace packmaker {

struct PictureRecord {
    std::int32_t Number = 0; // 0: none
    std::int32_t Year = 0;   // 0: none
    std::string Title;
    std::string Author;      // empty: the pack's author
};

// The text as it can stand in one field: " - " becomes " – " (en dash), a field that
// ends in " -" ends in " –", "|" becomes "¦", "/" "∕", "\" "⧵", ":" "∶", trailing
// dots become "․" (one dot leader, as file systems drop trailing dots), control
// characters become blanks. Text without such characters is returned unchanged.
std::string SafeText(std::string_view text);

// "03 - 1889 - Title - Author" (without extension and folders) for the record.
// A number outside -99..999 or a year outside -999..9999 cannot be written and is
// left out. A title that the reader would take for a number or year (digits only, when
// no number or year comes before it) gets a no-break space after it.
std::string EntryStem(const PictureRecord& record);

// The record a file name gives, when it follows the pack naming (at least two
// fields, such as "Title - Author" or "1889 - Title - Author"); otherwise only
// Title is set, to the name without extension, and `structured` is false.
PictureRecord RecordFromFileName(std::string_view fileName, bool& structured);

// The four-digit year at the start of a date such as "1889-06-01" or "1889:06:01
// 10:00:00"; 0 when the text does not start so.
std::int32_t YearOfDate(std::string_view date);

} // namespace packmaker
