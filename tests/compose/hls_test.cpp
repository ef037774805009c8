// The integer HLS conversions against the float definition, for every input.
#include "compose/color.h"
#include "compose/frame_pixels.h"
#include "compose/hls_fast.h"
#include "compose/reference_hls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace compose;

TEST(Hls, EveryColourConvertsLikeTheFloatDefinition)
{
    long mismatches = 0;
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b) {
                const Hls fast = fast::RgbToHls(r, g, b);
                const Hls slow = reference::RgbToHls(r, g, b);
                if (!(fast == slow) && mismatches++ < 5)
                    ADD_FAILURE() << r << "," << g << "," << b << ": " << fast.h << " " << fast.l << " " << fast.s
                                  << " instead of " << slow.h << " " << slow.l << " " << slow.s;
            }
    EXPECT_EQ(mismatches, 0);
}

TEST(Hls, EveryTripleConvertsBackLikeTheFloatDefinition)
{
    long mismatches = 0;
    for (int h = 0; h <= 240; ++h)
        for (int l = 0; l <= 240; ++l)
            for (int s = 0; s <= 240; ++s) {
                const TColor fast = fast::HlsToRgb(h, l, s);
                const TColor slow = reference::HlsToRgb(h, l, s);
                if (fast != slow && mismatches++ < 5)
                    ADD_FAILURE() << h << "," << l << "," << s << ": " << std::hex << fast << " instead of " << slow;
            }
    EXPECT_EQ(mismatches, 0);
}

TEST(Hls, KnownValuesAndPacking)
{
    EXPECT_EQ(Rgb(1, 2, 3), 1u + 2u * 256 + 3u * 65536);
    EXPECT_EQ(RgbToHls(Rgb(255, 0, 0)), (Hls{0, 120, 240}));
    EXPECT_EQ(RgbToHls(Rgb(0, 0, 255)), (Hls{160, 120, 240}));
    // A grey has hue 160 and no saturation.
    EXPECT_EQ(RgbToHls(Rgb(127, 127, 127)), (Hls{160, 120, 0}));
    EXPECT_EQ(HlsToRgb(80, 120, 240), Rgb(0, 255, 0));
    EXPECT_EQ(HlsToRgb(0, 240, 0), Rgb(255, 255, 255));
    // Out-of-range components are clamped rather than wrapped.
    EXPECT_EQ(HlsToRgb(0, 300, 0), Rgb(255, 255, 255));
    EXPECT_EQ(HlsToRgb(0, -5, 100), Rgb(0, 0, 0));
    // The cached paths give what the uncached ones give, also after a different input.
    for (TColor c : {Rgb(10, 200, 30), Rgb(10, 200, 30), Rgb(0, 0, 0), Rgb(10, 200, 30)})
        EXPECT_EQ(RgbToHls(c), reference::RgbToHls(c));
    const Hls v = reference::RgbToHls(Rgb(240, 240, 240));
    EXPECT_EQ(AdjustLuminance(Rgb(240, 240, 240), -7), reference::HlsToRgb(v.h, v.l - 7, v.s));
    EXPECT_EQ(AdjustLuminance(Rgb(240, 240, 240), 0), reference::HlsToRgb(v.h, v.l, v.s));
}

TEST(Hls, RoundHalfUp)
{
    EXPECT_EQ(RoundHalfUp(2.5), 3);
    EXPECT_EQ(RoundHalfUp(2.49999), 2);
    EXPECT_EQ(RoundHalfUp(-2.5), -2);
    EXPECT_EQ(RoundHalfUp(-2.6), -3);
    EXPECT_EQ(RoundHalfUp(0.0), 0);
}

// The frame's darkening, eight pixels at a time where the processor allows, against
// the conversions one pixel at a time: every colour, in runs of every length up to
// 40 so that the pixels left over after each eight are covered too.
TEST(Hls, EveryColourDarkensInTheFrameAsOnePixelAtATime)
{
    constexpr int kColours = 1 << 24;
    std::vector<std::uint8_t> many(std::size_t(kColours) * 3);
    for (int c = 0; c < kColours; ++c) {
        many[3 * std::size_t(c)] = std::uint8_t(c);
        many[3 * std::size_t(c) + 1] = std::uint8_t(c >> 8);
        many[3 * std::size_t(c) + 2] = std::uint8_t(c >> 16);
    }
    std::vector<std::uint8_t> one = many;
    for (int first = 0, run = 1; first < kColours; first += run, run = run % 40 + 1) {
        const int count = std::min(run, kColours - first);
        DarkenPixels(many.data() + 3 * std::size_t(first), count);
        DarkenPixelsOneByOne(one.data() + 3 * std::size_t(first), count);
    }
    long mismatches = 0;
    for (int c = 0; c < kColours; ++c)
        if (std::memcmp(&many[3 * std::size_t(c)], &one[3 * std::size_t(c)], 3) != 0 && mismatches++ < 5)
            ADD_FAILURE() << "colour " << std::hex << c << ": " << int(many[3 * std::size_t(c)]) << ","
                          << int(many[3 * std::size_t(c) + 1]) << "," << int(many[3 * std::size_t(c) + 2]) << " instead of "
                          << int(one[3 * std::size_t(c)]) << "," << int(one[3 * std::size_t(c) + 1]) << ","
                          << int(one[3 * std::size_t(c) + 2]);
    EXPECT_EQ(mismatches, 0);
}
