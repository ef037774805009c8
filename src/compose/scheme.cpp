#include "compose/scheme.h"

#include "core/random.h"
#include "settings/settings.h"

namespace compose {

TColor PickBaseColor(int influence, int lightness, int saturation)
{
    return HlsToRgb(PickBaseHls(influence, lightness, saturation));
}

Hls PickBaseHls(int influence, int lightness, int saturation, Influence* chosenInfluence)
{
    if (influence == 0)
        influence = Neutral;
    namespace Lightness = settings::ColorLightness;
    namespace Saturation = settings::ColorSaturation;
    if (lightness == Lightness::Random)
        lightness = RandomBelow(3);
    if (saturation == Saturation::Random)
        saturation = RandomBelow(3);

    int lum = 70 + (lightness == Lightness::Optimal ? 25 : lightness == Lightness::Brighter ? 50 : 0);
    int sat = 10 + (saturation == Saturation::Optimal ? 10 : saturation == Saturation::Deeper ? 30 : 0);

    // Influences outside the three bits are never allowed; with none of them set the
    // draw could not end, so Neutral stands in as for 0.
    if ((influence & (Energetic | Neutral | Relaxing)) == 0)
        influence = Neutral;
    int hue = -1;
    int chosen = 0;
    while (hue < 0) {
        const int f = RandomBelow(4);
        if (f == 0 && (influence & Energetic)) {
            hue = RandomBelow(35);
            if (hue > 25)
                hue += 205;
            chosen = Energetic;
        } else if (f == 1 && (influence & Neutral)) {
            hue = 30 + RandomBelow(140);
            if (hue > 110)
                hue += 60;
            chosen = Neutral;
        } else if (f >= 2 && (influence & Relaxing)) {
            hue = 120 + RandomBelow(30);
            chosen = Relaxing;
        }
    }

    if (hue > 170)
        sat -= 10;
    const double x = ((hue > 130 ? hue - 130 : hue) - 60) / 60.0;
    sat = static_cast<int>(sat + (saturation == Saturation::Softer ? 2.0 : 5.0) * x * x);
    if (chosen == Relaxing) {
        sat += 10;
        lum -= 5;
    }
    sat = static_cast<int>((98 + RandomBelow(5)) * 0.01 * sat);
    lum = static_cast<int>((98 + RandomBelow(5)) * 0.01 * lum);
    if (chosenInfluence)
        *chosenInfluence = static_cast<Influence>(chosen);
    return {hue, lum, sat};
}

ColorScheme DrawColorScheme(int influence, int lightness, int saturation)
{
    ColorScheme scheme;
    scheme.BaseColor = PickBaseColor(influence, lightness, saturation);
    const Hls base = RgbToHls(scheme.BaseColor);
    const int k1 = 12 + RandomBelow(4);
    const int k2 = 12 + RandomBelow(4);
    scheme.DarkColor = HlsToRgb(base.h, base.l * (100 - k1) / 100, base.s * (100 - k2) / 100);
    scheme.LightColor = HlsToRgb(base.h, base.l * (100 + k1) / 100, base.s * (100 + k2) / 100);
    scheme.HorizonPosition = (3 + RandomBelow(5)) * 0.1;
    scheme.GradientExponent = (5 + RandomBelow(3)) * 0.1;
    return scheme;
}

} // namespace compose
