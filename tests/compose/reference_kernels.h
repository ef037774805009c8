#pragma once
// The composer's pixel passes written the straightforward way: one pixel after the
// other, float HLS, progress reported row by row. The fast passes must give the
// same bytes and the same progress values.
#include "compose/expo.h"

namespace reference {

void PaintGradient(compose::PixelView canvas, const compose::GradientShape& shape, const compose::Progress& progress);
void FilterBackground(compose::PixelView canvas, const compose::TRect& rect, const compose::GradientShape& shape,
                      compose::FilterParams params, const compose::Progress& progress);
void DarkenFrame(compose::PixelView canvas, const compose::TRect& picture, int bandWidth, int inset,
                 const compose::Progress& progress);

compose::ExpoKernels Kernels();

} // namespace reference
