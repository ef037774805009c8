#include "compose/color.h"

#include "compose/hls_fast.h"

#include <algorithm>
#include <cmath>

namespace compose {

Hls RgbToHls(int r, int g, int b) { return fast::RgbToHls(r, g, b); }

Hls RgbToHls(TColor c)
{
    // Runs of equal pixels are common: remember the last conversion of this thread.
    struct Cache {
        TColor in = 0xFFFFFFFF;
        Hls out;
    };
    thread_local Cache cache;
    if (cache.in != c)
        cache = {c, fast::RgbToHls(c)};
    return cache.out;
}

TColor HlsToRgb(int h, int l, int s)
{
    return fast::HlsToRgb(std::clamp(h, 0, 240), std::clamp(l, 0, 240), std::clamp(s, 0, 240));
}

TColor AdjustLuminance(TColor c, int n)
{
    struct Cache {
        TColor in = 0xFFFFFFFF;
        int n = 0;
        TColor out = 0;
    };
    thread_local Cache cache;
    if (cache.in != c || cache.n != n) {
        const Hls v = RgbToHls(c);
        cache = {c, n, HlsToRgb(v.h, v.l + n, v.s)};
    }
    return cache.out;
}

int RoundHalfUp(double x)
{
    const double f = std::floor(x);
    return static_cast<int>(f) + (x - f >= 0.5 ? 1 : 0);
}

} // namespace compose
