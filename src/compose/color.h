#pragma once
// Colours of the exposition: 24-bit RGB packed as red + green*256 + blue*65536, and
// the hue-luminance-saturation model on the 0..240 scale that every pixel
// operation of the composer works in.
#include <cstdint>

namespace compose {

using TColor = std::uint32_t;

constexpr TColor Rgb(int r, int g, int b)
{
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int Red(TColor c) { return static_cast<int>(c & 0xFF); }
constexpr int Green(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int Blue(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr int HlsMax = 240;

struct Hls {
    int h = 0;
    int l = 0;
    int s = 0;
    bool operator==(const Hls&) const = default;
};

// The classic conversion with HLSMAX 240 and RGBMAX 255 as defined in floating
// point, each result rounded to nearest with ties to even. These are exact integer
// evaluations of that definition (tests compare them with the float formulas for
// every input), so they are safe to use per pixel.
Hls RgbToHls(TColor c);
Hls RgbToHls(int r, int g, int b);
// Components outside 0..240 are clamped first: the model is only defined there,
// and filtered values can land one step outside.
TColor HlsToRgb(int h, int l, int s);
inline TColor HlsToRgb(const Hls& v) { return HlsToRgb(v.h, v.l, v.s); }
// HlsToRgb of RgbToHls(c) with n added to the luminance.
TColor AdjustLuminance(TColor c, int n);

// floor(x), plus 1 when the fraction is at least one half.
int RoundHalfUp(double x);

} // namespace compose
