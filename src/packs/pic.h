#pragma once
// One picture of a pack, as read from its entry name. Texts are UTF-8.
#include <cstdint>
#include <string>

struct TPic {
    std::string EntryName; // full name as the archive lists it, folders joined by "/"
    std::string Title;
    std::string Author;
    std::int32_t Number = 0;
    std::int32_t Year = 0;
};
