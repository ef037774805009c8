#pragma once
// Where a pack's picture comes from: the museum's page of the work, its credit line
// and licence, and its whole title, as the pack maker keeps them in the pack's
// source entry ("sources.json", keyed by the picture's entry name). Packs without
// that entry, or pictures it does not name, have no source.
#include "core/result.h"

#include <string>

namespace packs {

struct PictureSource {
    std::string Title;   // whole, also where the entry name had to be shortened
    std::string Page;    // web address of the work's page; may be empty
    std::string Credit;  // the museum's credit line; may be empty
    std::string Licence; // "CC0 1.0 (public domain)"; may be empty
};

// The name of the source entry (no picture extension: the pack reader passes it by).
inline constexpr const char* kSourcesEntry = "sources.json";

// The source of the picture `entryName` in the pack at `archivePath`. Errors: 2 when
// the pack has no source entry or it does not name the picture, 23 when the entry
// is no JSON object, or the archive reader's code.
core::Result<PictureSource> ReadPictureSource(const std::string& archivePath, const std::string& entryName,
                                              const std::string& password = {});

// The same from the entry's text, for callers that hold it already.
core::Result<PictureSource> PictureSourceFromJson(const std::string& json, const std::string& entryName);

} // namespace packs
