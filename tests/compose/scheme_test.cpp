// The colour scheme: which hues each influence allows, how often each comes up,
// and the dark and light colours derived from the base.
#include "core/random.h"
#include "compose/reference_hls.h"
#include "compose/scheme.h"

#include <gtest/gtest.h>

#include <map>

using namespace compose;

namespace {
bool NeutralHue(int h) { return (h >= 30 && h <= 110) || (h >= 171 && h <= 229); }
bool EnergeticHue(int h) { return (h >= 0 && h <= 25) || (h >= 231 && h <= 239); }
bool RelaxingHue(int h) { return h >= 120 && h <= 149; }
} // namespace

TEST(Scheme, InfluencesGiveTheirHueRangesAndFrequencies)
{
    SeedRandom(7);
    std::map<Influence, int> counts;
    for (int i = 0; i < 20000; ++i) {
        Influence chosen{};
        const Hls v = PickBaseHls(7, 1, 1, &chosen);
        ++counts[chosen];
        if (chosen == Energetic)
            ASSERT_TRUE(EnergeticHue(v.h)) << v.h;
        else if (chosen == compose::Neutral)
            ASSERT_TRUE(NeutralHue(v.h)) << v.h;
        else
            ASSERT_TRUE(RelaxingHue(v.h)) << v.h;
        // Always muted: the ranges the word mark and the gradient rely on.
        ASSERT_GE(v.l, 63);
        ASSERT_LE(v.l, 122);
        ASSERT_LE(v.s, 60);
    }
    EXPECT_NEAR(counts[Relaxing] / 20000.0, 0.5, 0.02);
    EXPECT_NEAR(counts[Energetic] / 20000.0, 0.25, 0.02);
    EXPECT_NEAR(counts[compose::Neutral] / 20000.0, 0.25, 0.02);

    // 0 counts as Neutral alone, and so does a value with none of the three bits,
    // which could otherwise never end the draw; Relaxing alone ends on its first f >= 2.
    for (int i = 0; i < 2000; ++i) {
        ASSERT_TRUE(NeutralHue(PickBaseHls(0, 1, 1).h));
        ASSERT_TRUE(NeutralHue(PickBaseHls(8, 1, 1).h));
        Influence chosen{};
        ASSERT_TRUE(RelaxingHue(PickBaseHls(4, 1, 1, &chosen).h));
        ASSERT_EQ(chosen, Relaxing);
    }
}

TEST(Scheme, LightnessAndSaturationLevels)
{
    SeedRandom(11);
    for (int i = 0; i < 3000; ++i) {
        // Darker, Relaxing: lum 70 - 5 = 65 with a +-2 % jitter.
        const Hls dark = PickBaseHls(4, 0, 1);
        ASSERT_GE(dark.l, 63);
        ASSERT_LE(dark.l, 66);
        // Brighter, Neutral: lum 120 with jitter.
        const Hls bright = PickBaseHls(2, 2, 1);
        ASSERT_GE(bright.l, 117);
        ASSERT_LE(bright.l, 122);
        // Softer with a hue above 170 starts from 0 and ends at 0 or 1.
        const Hls soft = PickBaseHls(2, 1, 0);
        if (soft.h > 170) {
            ASSERT_LE(soft.s, 1);
        }
    }
    // 3 picks one of the three levels anew for each composition.
    std::map<int, int> lums;
    for (int i = 0; i < 3000; ++i)
        ++lums[PickBaseHls(2, 3, 1).l / 25];
    EXPECT_GE(lums.size(), 3u);
    // Any other lightness value takes the Darker base.
    EXPECT_LE(PickBaseHls(2, 9, 1).l, 71);
}

TEST(Scheme, DerivedColoursFollowTheBase)
{
    SeedRandom(3);
    for (int i = 0; i < 500; ++i) {
        const ColorScheme s = DrawColorScheme(7, 3, 3);
        const Hls base = reference::RgbToHls(s.BaseColor);
        const Hls dark = reference::RgbToHls(s.DarkColor);
        const Hls light = reference::RgbToHls(s.LightColor);
        ASSERT_LE(dark.l, base.l);
        ASSERT_GE(light.l, base.l);
        ASSERT_GE(dark.l, base.l * 85 / 100 - 2);
        ASSERT_LE(light.l, base.l * 115 / 100 + 2);
        const int horizon = static_cast<int>(s.HorizonPosition * 10 + 0.5);
        const int exponent = static_cast<int>(s.GradientExponent * 10 + 0.5);
        ASSERT_TRUE(horizon >= 3 && horizon <= 7);
        ASSERT_TRUE(exponent >= 5 && exponent <= 7);
    }
    // The same seed gives the same scheme: compositions are reproducible.
    SeedRandom(99);
    const ColorScheme a = DrawColorScheme(7, 1, 1);
    SeedRandom(99);
    const ColorScheme b = DrawColorScheme(7, 1, 1);
    EXPECT_EQ(a.BaseColor, b.BaseColor);
    EXPECT_EQ(a.DarkColor, b.DarkColor);
    EXPECT_EQ(a.HorizonPosition, b.HorizonPosition);
}
