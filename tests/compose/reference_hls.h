#pragma once
// The HLS conversions exactly as defined, in floating point: the oracle for the
// integer versions the composer runs.
#include "compose/color.h"

namespace reference {

compose::Hls RgbToHls(int r, int g, int b);
inline compose::Hls RgbToHls(compose::TColor c) { return RgbToHls(compose::Red(c), compose::Green(c), compose::Blue(c)); }
// Inputs outside 0..240 are clamped, as the composer does.
compose::TColor HlsToRgb(int h, int l, int s);

} // namespace reference
