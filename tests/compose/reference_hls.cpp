#include "compose/reference_hls.h"

#include <algorithm>
#include <cmath>

namespace reference {
namespace {

int Round(double x) { return static_cast<int>(std::nearbyint(x)); } // ties to even

double Channel(double h, double m1, double m2)
{
    if (h < 0)
        h += 240;
    if (h > 240)
        h -= 240;
    double v;
    if (h < 40)
        v = m1 + ((m2 - m1) * h + 20) / 40;
    else if (h < 120)
        v = m2;
    else if (h < 160)
        v = m1 + ((m2 - m1) * (160 - h) + 20) / 40;
    else
        v = m1;
    return Round(v);
}

int Limit(double x) { return x > 255 ? 255 : Round(x); }

} // namespace

compose::Hls RgbToHls(int r, int g, int b)
{
    const int cmax = std::max({r, g, b});
    const int cmin = std::min({r, g, b});
    const double L = ((cmax + cmin) * 240.0 + 255) / 510;
    if (cmax == cmin)
        return {160, Round(L), 0};
    const double sum = cmax + cmin;
    const double d = cmax - cmin;
    const double S = L <= 120 ? (d * 240 + sum / 2) / sum : (d * 240 + (510 - sum) / 2) / (510 - sum);
    const double rd = ((cmax - r) * 40 + d / 2) / d;
    const double gd = ((cmax - g) * 40 + d / 2) / d;
    const double bd = ((cmax - b) * 40 + d / 2) / d;
    double H;
    if (r == cmax)
        H = bd - gd;
    else if (g == cmax)
        H = 80 + rd - bd;
    else
        H = 160 + gd - rd;
    if (H < 0)
        H += 240;
    if (H > 240)
        H -= 240;
    return {Round(H), Round(L), Round(S)};
}

compose::TColor HlsToRgb(int h, int l, int s)
{
    h = std::clamp(h, 0, 240);
    l = std::clamp(l, 0, 240);
    s = std::clamp(s, 0, 240);
    if (s == 0) {
        const int v = Limit(l * 255.0 / 240);
        return compose::Rgb(v, v, v);
    }
    const double m2 = l <= 120 ? (l * (240.0 + s) + 120) / 240 : l + s - (l * static_cast<double>(s) + 120) / 240;
    const double m1 = 2.0 * l - m2;
    auto out = [&](double hue) { return Limit((Channel(hue, m1, m2) * 255 + 120) / 240); };
    return compose::Rgb(out(h + 80), out(h), out(h - 80));
}

} // namespace reference
