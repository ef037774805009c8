#include "graphics/metafile/object_table.h"

#include <algorithm>

namespace graphics::metafile {

bool ObjectTable::Put(std::uint32_t index, GdiObject object)
{
    if (index >= slots_.size()) return false;
    slots_[index] = std::move(object);
    return true; // EMF tables name their slots; the free-slot hint is for WMF only
}

bool ObjectTable::Add(GdiObject object)
{
    // The hint keeps a file full of creations from scanning the whole table each time.
    for (; lowestFree_ < slots_.size(); ++lowestFree_) {
        if (!slots_[lowestFree_]) {
            slots_[lowestFree_++] = std::move(object);
            return true;
        }
    }
    return false;
}

const GdiObject* ObjectTable::Get(std::uint32_t index) const
{
    if (index >= slots_.size() || !slots_[index]) return nullptr;
    return &*slots_[index];
}

void ObjectTable::Remove(std::uint32_t index)
{
    if (index >= slots_.size()) return;
    slots_[index].reset();
    lowestFree_ = std::min<std::size_t>(lowestFree_, index);
}

namespace {

Brush SolidBrush(QColor color)
{
    Brush b;
    b.brush = QBrush(color);
    return b;
}

Pen SolidPen(QColor color)
{
    Pen p;
    p.color = color;
    return p;
}

} // namespace

std::optional<GdiObject> ObjectTable::Stock(std::uint32_t handle)
{
    switch (handle & 0x7fffffffu) {
    case 0: return SolidBrush(QColor(255, 255, 255));  // WHITE_BRUSH
    case 1: return SolidBrush(QColor(192, 192, 192));  // LTGRAY_BRUSH
    case 2: return SolidBrush(QColor(128, 128, 128));  // GRAY_BRUSH
    case 3: return SolidBrush(QColor(64, 64, 64));     // DKGRAY_BRUSH
    case 4: return SolidBrush(QColor(0, 0, 0));        // BLACK_BRUSH
    case 5: {                                          // NULL_BRUSH
        Brush b;
        b.brush = QBrush(Qt::NoBrush);
        return b;
    }
    case 6: return SolidPen(QColor(255, 255, 255));    // WHITE_PEN
    case 7: return SolidPen(QColor(0, 0, 0));          // BLACK_PEN
    case 8: {                                          // NULL_PEN
        Pen p;
        p.null = true;
        return p;
    }
    case 10: case 11: case 16: {                       // the fixed-pitch fonts
        LogFont f;
        f.face = QStringLiteral("Courier New");
        f.pitchAndFamily = 0x31; // FIXED_PITCH | FF_MODERN
        f.height = 16;
        return f;
    }
    case 12: case 13: case 14: case 17: {              // the variable-pitch fonts
        LogFont f;
        f.face = QStringLiteral("Arial");
        f.pitchAndFamily = 0x22; // VARIABLE_PITCH | FF_SWISS
        f.height = 16;
        return f;
    }
    case 15: return Palette{};                         // DEFAULT_PALETTE
    case 18: return SolidBrush(QColor(255, 255, 255)); // DC_BRUSH
    case 19: return SolidPen(QColor(0, 0, 0));         // DC_PEN
    default: return std::nullopt;
    }
}

} // namespace graphics::metafile
