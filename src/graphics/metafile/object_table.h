#pragma once
// The handle-indexed table of objects a metafile creates (pens, brushes, fonts,
// palettes, regions), with index checks, and the stock objects that EMF addresses by
// handles with the high bit set.
#include "graphics/metafile/device_context.h"

#include <QPainterPath>

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace graphics::metafile {

struct Palette {
    std::vector<QColor> colors;
};
struct Region {
    QPainterPath area; // logical units
};

using GdiObject = std::variant<Pen, Brush, LogFont, Palette, Region>;

class ObjectTable {
public:
    // Largest table a file may ask for; more is taken as damage.
    static constexpr std::uint32_t kMaxObjects = 65536;

    explicit ObjectTable(std::uint32_t size = 0) : slots_(size) {}

    std::size_t Size() const { return slots_.size(); }
    // EMF: the file names the index; false when it is out of range.
    bool Put(std::uint32_t index, GdiObject object);
    // WMF: a new object takes the lowest free slot; false when the table is full.
    bool Add(GdiObject object);
    // Null for an empty slot or an index out of range.
    const GdiObject* Get(std::uint32_t index) const;
    void Remove(std::uint32_t index);

    // EMF stock objects: handles 0x80000000 + WHITE_BRUSH (0) ... DC_PEN (19).
    static bool IsStock(std::uint32_t handle) { return (handle & 0x80000000u) != 0; }
    static std::optional<GdiObject> Stock(std::uint32_t handle);

private:
    std::vector<std::optional<GdiObject>> slots_;
    std::size_t lowestFree_ = 0; // no free slot below this one
};

} // namespace graphics::metafile
