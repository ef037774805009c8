#pragma once
// Building pens, brushes and fonts from the fields the formats store; shared by the
// EMF and WMF object records.
#include "graphics/metafile/device_context.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace graphics::metafile {

// style: PS_* with end cap, join and type bits; width in logical units.
// cosmetic: the pen ignores its width (extended cosmetic pens, and width 0).
Pen MakePen(std::uint32_t style, double width, QColor color, bool cosmetic,
            const std::vector<std::uint32_t>& userDashes = {});
// style: BS_*; hatch: HS_* for hatched brushes.
Brush MakeBrush(std::uint32_t style, QColor color, std::uint32_t hatch);
Brush MakePatternBrush(const QImage& pattern);

} // namespace graphics::metafile
