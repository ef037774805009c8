#pragma once
// Region data as EMF stores it (RGNDATA: a header and a list of rectangles, in
// reference-device pixels) and as WMF stores a region object (scan lines of x pairs).
#include "core/byte_cursor.h"

#include <QPainterPath>

#include <optional>

namespace graphics::metafile {
using core::ByteCursor;

// Most rectangles a region may list before it counts as damage.
constexpr std::uint32_t kMaxRegionRects = 4096;

// The union of the rectangles, or none when the data is short or absurd.
std::optional<QPainterPath> ReadRegionData(ByteCursor c);
// A WMF Region object (after the record's function), or none when damaged.
std::optional<QPainterPath> ReadWmfRegion(ByteCursor& c);

} // namespace graphics::metafile
