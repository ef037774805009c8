#pragma once
// Inline integer evaluations of the HLS conversions for the pixel kernels. They
// give exactly what the floating-point definition gives (ties to even included);
// the tests check every colour and every HLS triple.
#include "compose/color.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace compose::fast {

// n / d rounded to nearest, ties to even; d > 0, n of any sign.
inline int RoundRatio(std::int64_t n, std::int64_t d)
{
    std::int64_t q = n / d;
    std::int64_t r = n % d;
    if (r < 0) {
        q -= 1;
        r += d;
    }
    if (2 * r > d || (2 * r == d && (q & 1)))
        ++q;
    return static_cast<int>(q);
}

struct Tables {
    std::uint8_t luminance[511];       // by cmax + cmin
    std::uint8_t saturation[257][256]; // by the divisor D (sum, or 510 - sum) and d = cmax - cmin
    std::int8_t hueOffset[256][511];   // by d and the difference of the other two channels (+255)
    std::uint8_t channel[241];         // channel value v -> (v*255 + 120) / 240, at most 255
    std::uint8_t grey[241];            // luminance -> l*255 / 240 for saturation 0
};

inline const Tables& tables()
{
    static const Tables* const t = [] {
        auto* t = new Tables{};
        for (int sum = 0; sum <= 510; ++sum)
            t->luminance[sum] = static_cast<std::uint8_t>(RoundRatio(sum * 240 + 255, 510));
        for (int D = 1; D <= 256; ++D)
            for (int d = 0; d < 256; ++d)
                t->saturation[D][d] = static_cast<std::uint8_t>(std::clamp(RoundRatio(480 * d + D, 2 * D), 0, 255));
        for (int d = 1; d < 256; ++d)
            for (int diff = -255; diff <= 255; ++diff)
                t->hueOffset[d][diff + 255] = static_cast<std::int8_t>(std::clamp(RoundRatio(40 * diff, d), -127, 127));
        for (int v = 0; v <= 240; ++v) {
            t->channel[v] = static_cast<std::uint8_t>(std::min(255, RoundRatio(v * 255 + 120, 240)));
            t->grey[v] = static_cast<std::uint8_t>(std::min(255, RoundRatio(v * 255, 240)));
        }
        return t;
    }();
    return *t;
}

// The hue is a multiple of 40 (by the largest channel) plus 40 * diff / d for the
// other two channels' difference; rounding that offset with ties to even gives the
// rounded hue, the multiples of 40 being even. With red largest and a negative
// offset the float definition adds 240 before rounding.
inline Hls RgbToHls(int r, int g, int b)
{
    const Tables& t = tables();
    const int cmax = std::max(r, std::max(g, b));
    const int cmin = std::min(r, std::min(g, b));
    const int sum = cmax + cmin;
    const int d = cmax - cmin;
    Hls out;
    out.l = t.luminance[sum];
    if (d == 0) {
        out.h = 160;
        return out;
    }
    // The definition compares the unrounded luminance with 120: sum <= 253.
    const int D = sum <= 253 ? sum : 510 - sum;
    out.s = t.saturation[D][d];
    if (r == cmax)
        out.h = t.hueOffset[d][g - b + 255] + (g < b ? 240 : 0);
    else if (g == cmax)
        out.h = 80 + t.hueOffset[d][b - r + 255];
    else
        out.h = 160 + t.hueOffset[d][r - g + 255];
    return out;
}

inline Hls RgbToHls(TColor c) { return RgbToHls(Red(c), Green(c), Blue(c)); }

// The channel function of the conversion on exact fractions: M1 and M2 are m1 and
// m2 times 240 (M1 >= -120, M2 >= 120). Where the exact value lies exactly halfway
// between two integers, the float formula's own rounding error decides; that case
// (about one in ten thousand) is evaluated the float way so the result is the same.
inline int Channel(int h, int M1, int M2, int l, int s)
{
    if (h < 0)
        h += 240;
    if (h > 240)
        h -= 240;
    int t;
    if (h < 40) {
        t = h;
    } else if (h < 120) {
        const unsigned q = unsigned(M2) / 240u, r = unsigned(M2) % 240u;
        return int(q + (r > 120u || (r == 120u && (q & 1u))));
    } else if (h < 160) {
        t = 160 - h;
    } else {
        // Shifted by two whole units so that the division works on a positive number.
        const unsigned n = unsigned(M1 + 480);
        const unsigned q = n / 240u, r = n % 240u;
        return int(q + (r > 120u || (r == 120u && (q & 1u)))) - 2;
    }
    const unsigned n = unsigned(40 * M1 + (M2 - M1) * t + 4800); // in units of 1/9600, never negative
    const unsigned q = n / 9600u, r = n % 9600u;
    if (r != 4800u)
        return int(q + (r > 4800u));
    const double m2 = l <= 120 ? (l * (240.0 + s) + 120) / 240 : l + s - (l * static_cast<double>(s) + 120) / 240;
    const double m1 = 2.0 * l - m2;
    return static_cast<int>(std::nearbyint(m1 + ((m2 - m1) * t + 20) / 40));
}

// h, l, s within 0..240.
inline TColor HlsToRgb(int h, int l, int s)
{
    const Tables& t = tables();
    if (s == 0) {
        const int v = t.grey[l];
        return Rgb(v, v, v);
    }
    const int M2 = l <= 120 ? l * (240 + s) + 120 : 240 * (l + s) - (l * s + 120);
    const int M1 = 480 * l - M2;
    auto channel = [&](int hue) { return t.channel[std::min(Channel(hue, M1, M2, l, s), 240)]; };
    return Rgb(channel(h + 80), channel(h), channel(h - 80));
}

} // namespace compose::fast
