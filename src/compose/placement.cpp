#include "compose/placement.h"

#include "compose/background.h"
#include "compose/frame_pixels.h"
#include "compose/parallel.h"

#include <algorithm>
#include <cmath>

namespace compose {

TRect CoverRect(int width, int height)
{
    return {-width / 30, -height / 30, width * 31 / 30, height * 31 / 30};
}

TRect PlacePicture(const PlacementInput& in, int sizeClass, int anchor, int optimalDraw)
{
    const int W = in.canvasWidth;
    const int H = in.canvasHeight;
    if (sizeClass == CoverSize)
        return CoverRect(W, H);
    const double c = in.pictureHeight / in.pictureWidth;
    double d = sizeClass == Maximum ? W : std::sqrt(static_cast<double>(W) * H) / (3 - sizeClass) * 0.5 / std::sqrt(c);
    if (sizeClass == Optimal)
        d = (145 + optimalDraw) * 0.01 * d;
    if (in.isRaster)
        d = d * (sizeClass == Smaller ? 1.15 : 1.25);
    const double e = sizeClass == Maximum ? 1.0 : 0.9;
    if (d > W * e)
        d = W * e;
    double g = d * c;
    if (g > H * e) {
        g = H * e;
        d = g / c;
    }
    TRect r;
    if (anchor == 1) {
        // Both margins are a 25th of the width.
        r.right = in.workArea.right - W / 25;
        r.bottom = in.workArea.bottom - W / 25;
    } else {
        r.right = static_cast<int>((W + d) * 0.5);
        r.bottom = static_cast<int>((H + g) * 0.5);
    }
    r.left = static_cast<int>(r.right - d);
    r.top = static_cast<int>(r.bottom - g);
    return r;
}

void DarkenFrame(PixelView canvas, const TRect& picture, int e, int inset, const Progress& progress)
{
    const int h = picture.Height();
    if (h <= 0 || picture.Width() <= 0)
        return;
    const int x0 = std::max(picture.left - e, 0);
    const int x1 = std::min(picture.right + e, canvas.width);
    const TRect inner{picture.left + inset, picture.top + inset, picture.right - inset, picture.bottom - inset};
    RunRowsInBands(
        picture.top - e, picture.bottom + e, 10, progress, [&](int y) { return (y - picture.top) * 100 / h; },
        [&](int first, int last) {
            first = std::max(first, 0);
            last = std::min(last, canvas.height);
            if (x0 >= x1)
                return;
            ParallelRows(first, last, [&](int y0, int y1) {
                for (int y = y0; y < y1; ++y) {
                    std::uint8_t* row = canvas.Row(y);
                    if (y < inner.top || y >= inner.bottom || inner.left >= inner.right) {
                        DarkenPixels(row + 3 * x0, x1 - x0);
                        continue;
                    }
                    // The untouched middle of the picture is passed over.
                    const int a = std::clamp(inner.left, x0, x1);
                    const int b = std::clamp(inner.right, x0, x1);
                    DarkenPixels(row + 3 * x0, a - x0);
                    DarkenPixels(row + 3 * b, x1 - b);
                }
            });
        });
}

} // namespace compose
