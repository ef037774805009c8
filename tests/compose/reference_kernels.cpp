#include "compose/reference_kernels.h"

#include "compose/reference_hls.h"

#include <cmath>
#include <cstdlib>

using namespace compose;

namespace reference {
namespace {

TColor Get(const PixelView& v, int x, int y)
{
    const std::uint8_t* p = v.Row(y) + 3 * x;
    return Rgb(p[0], p[1], p[2]);
}

void Put(const PixelView& v, int x, int y, TColor c)
{
    std::uint8_t* p = v.Row(y) + 3 * x;
    p[0] = std::uint8_t(Red(c));
    p[1] = std::uint8_t(Green(c));
    p[2] = std::uint8_t(Blue(c));
}

bool OnCanvas(const PixelView& v, int x, int y) { return x >= 0 && y >= 0 && x < v.width && y < v.height; }

} // namespace

void PaintGradient(PixelView canvas, const GradientShape& shape, const Progress& progress)
{
    for (int y = 0; y < canvas.height; ++y) {
        if (y % 50 == 0 && progress)
            progress(0);
        const TColor c = compose::GradientColor(shape, y);
        for (int x = 0; x < canvas.width; ++x)
            Put(canvas, x, y, c);
    }
}

void FilterBackground(PixelView canvas, const TRect& rect, const GradientShape& shape, FilterParams params,
                      const Progress& progress)
{
    const compose::Hls dark = RgbToHls(shape.DarkColor);
    const int dL = static_cast<int>(std::ceil(160.0 / (121 - std::abs(120 - dark.l))));
    const int dS = static_cast<int>(std::ceil(160.0 / (121 - std::abs(120 - dark.s))));
    double a = params.a, b = params.b;
    if (a > 1 && dL > a)
        a = dL;
    if (b > 1 && dS > b)
        b = dS;
    const int height = rect.bottom - rect.top;
    for (int y = rect.top; y < rect.bottom; ++y) {
        if (y % 10 == 0 && progress)
            progress((y - rect.top) * 100 / height);
        const compose::Hls g = RgbToHls(compose::GradientColor(shape, y));
        for (int x = rect.left; x < rect.right; ++x) {
            if (!OnCanvas(canvas, x, y))
                continue;
            compose::Hls v = RgbToHls(Get(canvas, x, y));
            if (!params.isRaster && v == g)
                continue;
            if (params.takeGradientHue)
                v.h = g.h;
            v.l = a > 1 ? static_cast<int>(g.l + (v.l - 140) / a) : static_cast<int>(a * v.l);
            v.s = b > 1 ? static_cast<int>(g.s + (v.s - 140) / b) : static_cast<int>(b * v.s);
            Put(canvas, x, y, HlsToRgb(v.h, v.l, v.s));
        }
    }
}

void DarkenFrame(PixelView canvas, const TRect& picture, int e, int inset, const Progress& progress)
{
    const int h = picture.bottom - picture.top;
    for (int y = picture.top - e; y < picture.bottom + e; ++y) {
        if (y % 10 == 0 && progress)
            progress((y - picture.top) * 100 / h);
        for (int x = picture.left - e; x < picture.right + e; ++x) {
            if (!OnCanvas(canvas, x, y))
                continue;
            if (x < picture.left + inset || x >= picture.right - inset || y < picture.top + inset
                || y >= picture.bottom - inset) {
                const compose::Hls v = RgbToHls(Get(canvas, x, y));
                Put(canvas, x, y, HlsToRgb(v.h, v.l * 2 / 3, v.s / 2));
            }
        }
    }
}

ExpoKernels Kernels()
{
    ExpoKernels k;
    k.PaintGradient = &PaintGradient;
    k.FilterBackground = &FilterBackground;
    k.DarkenFrame = &DarkenFrame;
    return k;
}

} // namespace reference
