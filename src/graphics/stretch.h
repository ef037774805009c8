#pragma once
// Resampling of 24-bit RGB pixels for drawing pictures at any size. The kernel works
// on plain views (pointer, size, stride) so it can be tested and measured on its own.
#include "core/pixel_view.h"

namespace graphics {

// Stretches src to a picture of fullWidth x fullHeight pixels and writes the part
// of it that starts at (left, top) and is dst.width x dst.height pixels large into
// dst; the part must lie inside the full picture. Each axis is resampled on its
// own: a reduction averages exactly the source area a target pixel covers
// (fractional coverage at its edges), an enlargement interpolates linearly between
// pixel centres. Does nothing when a size is not positive.
void StretchRgb(core::ConstPixelView src, int fullWidth, int fullHeight, int left, int top, core::PixelView dst);

} // namespace graphics
