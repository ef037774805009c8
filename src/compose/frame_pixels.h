#pragma once
// The darkening of the band round a picture: each pixel's HLS luminance taken to
// two thirds and its saturation halved, exactly as the HLS conversions give it.
#include <cstdint>

namespace compose {

// Darkens count packed RGB pixels at rgb in place.
void DarkenPixels(std::uint8_t* rgb, int count);

// The same, one pixel at a time, whatever the processor offers: what the vector
// code must match.
void DarkenPixelsOneByOne(std::uint8_t* rgb, int count);

} // namespace compose
