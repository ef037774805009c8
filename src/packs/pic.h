#pragma once
// One picture of a pack, as read from its entry name. Texts are UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

struct TPic {
    std::string EntryName; // full name as the archive lists it, folders joined by "/"
    std::string Title;
    std::string Author;
    std::int32_t Number = 0;
    std::int32_t Year = 0;
};

// Reads number, year, title and author from an entry name such as
// "03 - 1889 - Title - Author.jpg": the file name without folders and extension is
// split at " - " and "|"; a leading field of up to three characters holding a
// nonzero integer is the number, a following four-character nonzero integer the
// year, then come the title and the author. Missing parts stay empty or 0.
TPic ParsePictureName(std::string_view entryName);
