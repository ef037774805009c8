#pragma once
// The exposition's background: a vertical gradient between the dark and the light
// colour, and the filter that re-colours the stretched picture against it.
#include "compose/color.h"
#include "compose/pixels.h"

namespace compose {

struct GradientShape {
    TColor DarkColor = 0;
    TColor LightColor = 0;
    double HorizonPosition = 0.5; // fraction of the height where the gradient is lightest
    double GradientExponent = 0.5;
    int Height = 1; // canvas height
};

// The gradient's colour of a row; defined for any row, also outside the canvas
// (channels then wrap to their low 8 bits).
TColor GradientColor(const GradientShape& shape, int row);

// Paints every row of the canvas in its gradient colour, reporting 0 for every
// 50th row.
void PaintGradient(PixelView canvas, const GradientShape& shape, const Progress& progress);

// The filter's parameters: factors (at most 1) or divisors (above 1) for luminance
// and saturation.
struct FilterParams {
    double a = 1.0;
    double b = 1.0;
    bool takeGradientHue = false;
    bool isRaster = true;
};

// Divisors above 1 are raised to what the dark colour's luminance and saturation
// need (ceil(160 / (121 - |120 - v|))), so that a dark colour far from the middle
// of the scale still keeps the filtered values in range.
FilterParams GuardFilter(FilterParams params, TColor darkColor);

// Re-colours the pixels of rect that lie on the canvas against their row's
// gradient colour (GuardFilter is applied first). Reports (y - top) * 100 / height
// for every row y of rect, on or off the canvas, that is a multiple of 10.
void FilterBackground(PixelView canvas, const TRect& rect, const GradientShape& shape, FilterParams params,
                      const Progress& progress);

// Reports the progress values of a pass over rows [begin, end) in the order a
// row-by-row loop would: value(y) for each y that is a multiple of step, after
// work has done that part. The work runs in bands of rows split over the cores,
// so the receiver sees the same sequence, only in bursts.
void RunRowsInBands(int begin, int end, int step, const Progress& progress, const std::function<int(int y)>& value,
                    const std::function<void(int first, int last)>& work);

} // namespace compose
