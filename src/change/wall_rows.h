#pragma once
// The rows a desktop change gives the record of the wall: which pack and picture
// each monitor shows, with the work's source where the pack carries one.
#include "gallery/wall_entry.h"

#include <string>

struct TPack;
struct TPic;

namespace change {

// The pack's and the picture's part of a row (no file is read).
gallery::WallEntry WallRowOf(const TPack& pack, const TPic& picture);

// Fills in row.source from the pack's sources entry, when it has one for the
// picture. Reads the pack file: for the worker thread.
void ReadWorkSource(const std::string& packPath, const std::string& password, gallery::WallEntry& row);

} // namespace change
