#pragma once
// Picture records from a CSV file with the columns file,title,author,year (RFC 4180:
// fields in double quotes may hold commas, line breaks and doubled quotes). A first
// line naming the columns is recognised and may put them in another order.
#include "packmaker/entry_name.h"

#include <map>
#include <string>
#include <string_view>

namespace packmaker {

struct CsvRecords {
    // By the "file" column as written: a file name, or a path relative to the CSV.
    std::map<std::string, PictureRecord> byFile;
    std::string error; // empty when the text was read
};

// A list of pictures' records is a few kilobytes; anything near these bounds is
// no such list (a device, a binary file) and is refused before it fills memory.
inline constexpr std::size_t kMaxCsvBytes = std::size_t{16} << 20;
inline constexpr std::size_t kMaxCsvLineBytes = std::size_t{64} << 10;

CsvRecords ParseCsvRecords(std::string_view text);

// The record for a picture: looked up by its path relative to the CSV's folder,
// then by its file name alone. Null when none.
const PictureRecord* FindCsvRecord(const CsvRecords& records, const std::string& relativePath,
                                   const std::string& fileName);

} // namespace packmaker
