#include "compose/background.h"

#include "compose/hls_fast.h"
#include "compose/parallel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace compose {

TColor GradientColor(const GradientShape& shape, int row)
{
    const double c = shape.HorizonPosition;
    const double m = c >= 0.5 ? c : 1 - c;
    const double r = (static_cast<double>(row) / shape.Height - c) / m;
    const double t = 1 - std::pow(std::fabs(r), shape.GradientExponent);
    auto mix = [t](int dark, int light) { return RoundHalfUp(dark + t * (light - dark)) & 0xFF; };
    return Rgb(mix(Red(shape.DarkColor), Red(shape.LightColor)), mix(Green(shape.DarkColor), Green(shape.LightColor)),
               mix(Blue(shape.DarkColor), Blue(shape.LightColor)));
}

void RunRowsInBands(int begin, int end, int step, const Progress& progress, const std::function<int(int)>& value,
                    const std::function<void(int, int)>& work)
{
    if (end <= begin)
        return;
    // About sixteen bands per pass: often enough for a lively progress bar, seldom
    // enough that starting the threads costs nothing worth measuring.
    const int band = std::max(64, (end - begin + 15) / 16);
    for (int first = begin; first < end; first += band) {
        const int last = std::min(end, first + band);
        work(first, last);
        if (!progress)
            continue;
        for (int y = first; y < last; ++y) {
            if (y % step == 0)
                progress(value(y));
        }
    }
}

void PaintGradient(PixelView canvas, const GradientShape& shape, const Progress& progress)
{
    RunRowsInBands(
        0, canvas.height, 50, progress, [](int) { return 0; },
        [&](int first, int last) {
            ParallelRows(first, last, [&](int y0, int y1) {
                for (int y = y0; y < y1; ++y) {
                    const TColor c = GradientColor(shape, y);
                    std::uint8_t* p = canvas.Row(y);
                    const std::uint8_t rgb[3] = {std::uint8_t(Red(c)), std::uint8_t(Green(c)), std::uint8_t(Blue(c))};
                    for (int x = 0; x < canvas.width; ++x, p += 3)
                        std::memcpy(p, rgb, 3);
                }
            });
        });
}

FilterParams GuardFilter(FilterParams params, TColor darkColor)
{
    const Hls dark = RgbToHls(darkColor);
    const int dL = static_cast<int>(std::ceil(160.0 / (121 - std::abs(120 - dark.l))));
    const int dS = static_cast<int>(std::ceil(160.0 / (121 - std::abs(120 - dark.s))));
    if (params.a > 1 && dL > params.a)
        params.a = dL;
    if (params.b > 1 && dS > params.b)
        params.b = dS;
    return params;
}

namespace {

// What a filtered component becomes, for every input value 0..240 given the row's
// gradient value g: the same double expression a pixel-by-pixel loop evaluates,
// once per row instead of once per pixel.
void FilterTable(std::array<std::uint8_t, 241>& table, double factor, int g)
{
    for (int v = 0; v <= 240; ++v) {
        const int out = factor > 1 ? static_cast<int>(g + (v - 140) / factor) : static_cast<int>(factor * v);
        table[v] = static_cast<std::uint8_t>(std::clamp(out, 0, 240));
    }
}

// Where the filter takes the gradient's hue, the result depends only on the
// filtered luminance and saturation within a row of one hue: a direct-mapped memo
// keyed by them (tagged with the hue, so it stays valid across rows) turns most
// conversions back into a lookup.
struct HueMemo {
    std::vector<std::uint32_t> entries = std::vector<std::uint32_t>(241 * 241, 0xFFFFFFFFu); // rgb | hue << 24
};

void FilterRow(std::uint8_t* row, int x0, int x1, const Hls& g, const FilterParams& params, HueMemo& memo)
{
    std::array<std::uint8_t, 241> lum, sat;
    FilterTable(lum, params.a, g.l);
    FilterTable(sat, params.b, g.s);
    const std::uint32_t tag = static_cast<std::uint32_t>(g.h) << 24;
    // Each pixel's result depends only on its own colour in this row: a one-entry
    // cache turns runs of equal pixels into copies.
    std::uint32_t lastIn = 0xFFFFFFFF;
    std::uint8_t lastOut[3] = {0, 0, 0};
    std::uint8_t* p = row + 3 * x0;
    for (int x = x0; x < x1; ++x, p += 3) {
        const std::uint32_t in = p[0] | (p[1] << 8) | (p[2] << 16);
        if (in == lastIn) {
            p[0] = lastOut[0];
            p[1] = lastOut[1];
            p[2] = lastOut[2];
            continue;
        }
        lastIn = in;
        const Hls v = fast::RgbToHls(p[0], p[1], p[2]);
        if (params.isRaster || !(v == g)) {
            TColor c;
            if (params.takeGradientHue) {
                std::uint32_t& entry = memo.entries[lum[v.l] * 241 + sat[v.s]];
                if ((entry & 0xFF000000u) != tag)
                    entry = fast::HlsToRgb(g.h, lum[v.l], sat[v.s]) | tag;
                c = entry & 0xFFFFFFu;
            } else {
                c = fast::HlsToRgb(v.h, lum[v.l], sat[v.s]);
            }
            p[0] = std::uint8_t(Red(c));
            p[1] = std::uint8_t(Green(c));
            p[2] = std::uint8_t(Blue(c));
        }
        lastOut[0] = p[0];
        lastOut[1] = p[1];
        lastOut[2] = p[2];
    }
}

} // namespace

void FilterBackground(PixelView canvas, const TRect& rect, const GradientShape& shape, FilterParams params,
                      const Progress& progress)
{
    params = GuardFilter(params, shape.DarkColor);
    const int height = rect.Height();
    if (height <= 0)
        return;
    const int x0 = std::max(rect.left, 0);
    const int x1 = std::min(rect.right, canvas.width);
    RunRowsInBands(
        rect.top, rect.bottom, 10, progress, [&](int y) { return (y - rect.top) * 100 / height; },
        [&](int first, int last) {
            first = std::max(first, 0);
            last = std::min(last, canvas.height);
            if (x0 >= x1)
                return;
            ParallelRows(first, last, [&](int y0, int y1) {
                HueMemo memo;
                for (int y = y0; y < y1; ++y)
                    FilterRow(canvas.Row(y), x0, x1, fast::RgbToHls(GradientColor(shape, y)), params, memo);
            });
        });
}

} // namespace compose
