#pragma once
// The colour scheme of one exposition: a muted base colour drawn from the user's
// colour influences, lightness and saturation, the dark and light colours of the
// gradient derived from it, and the gradient's shape.
#include "compose/color.h"

namespace compose {

// Bits of ColorInfluence.
enum Influence { Energetic = 1, Neutral = 2, Relaxing = 4 };

// Draws from the process-wide generator: lightness and saturation first when they
// are 3 (random), then hues until one of an allowed influence comes up, then the
// two jitters (saturation first).
TColor PickBaseColor(int influence, int lightness, int saturation);

// The same draws, stopping short of the conversion to RGB; chosen (when given)
// receives the influence the hue was drawn from.
Hls PickBaseHls(int influence, int lightness, int saturation, Influence* chosen = nullptr);

struct ColorScheme {
    TColor BaseColor = 0;
    TColor DarkColor = 0;
    TColor LightColor = 0;
    double HorizonPosition = 0.5;
    double GradientExponent = 0.5;
};

// BaseColor by PickBaseColor, then the derived colours and the gradient shape,
// drawing in that order.
ColorScheme DrawColorScheme(int influence, int lightness, int saturation);

} // namespace compose
