#pragma once
// Resampling of 24-bit RGB pixels for drawing pictures at any size. The kernel works
// on plain views (pointer, size, stride) so it can be tested and measured on its own.
#include <cstddef>
#include <cstdint>

namespace graphics {

// Pixels read by a kernel: width * height pixels of 3 bytes (R, G, B), rows
// stride bytes apart.
struct ConstRgbView {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
};

// Pixels written by a kernel, laid out as ConstRgbView.
struct RgbView {
    std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
};

// Stretches src to a picture of fullWidth x fullHeight pixels and writes the part
// of it that starts at (left, top) and is dst.width x dst.height pixels large into
// dst; the part must lie inside the full picture. Each axis is resampled on its
// own: a reduction averages exactly the source area a target pixel covers
// (fractional coverage at its edges), an enlargement interpolates linearly between
// pixel centres. Does nothing when a size is not positive.
void StretchRgb(ConstRgbView src, int fullWidth, int fullHeight, int left, int top, RgbView dst);

} // namespace graphics
