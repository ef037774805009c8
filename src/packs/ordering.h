#pragma once
// The order of a pack's pictures and of the catalogue's packs.
#include "packs/pic.h"

#include <string>
#include <vector>

struct TPack;

namespace packs {

// Ascending by number, author, year, title; numbers as signed integers, texts byte
// by byte. Ties keep their earlier order.
bool PictureLess(const TPic& a, const TPic& b);

// Sorts a pack's pictures. A pack without its own author whose pictures carry no
// numbers is grouped by artist: each artist's pictures stay together, artists
// follow by their earliest year (undated counts as 0), then by name, and each
// artist's pictures follow by year and title. Otherwise the plain sort holds.
// The grouping overwrites Number with the artist's earliest year.
void OrderPictures(std::vector<TPic>& pictures, const std::string& packAuthor);

// Catalogue order: ascending by icon index, then by name byte by byte.
bool CatalogueLess(const TPack& a, const TPack& b);

} // namespace packs
