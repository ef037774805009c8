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

CsvRecords ParseCsvRecords(std::string_view text);

// The record for a picture: looked up by its path relative to the CSV's folder,
// then by its file name alone. Null when none.
const PictureRecord* FindCsvRecord(const CsvRecords& records, const std::string& relativePath,
                                   const std::string& fileName);

} // namespace packmaker
