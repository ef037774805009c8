// The gradient and the background filter: the gradient's defined values, the guard
// of the filter's divisors, and the fast passes against the reference passes.
#include "compose/background.h"
#include "compose/kernel_support.h"
#include "compose/reference_hls.h"
#include "compose/reference_kernels.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace compose;

TEST(Gradient, EndRowsFollowTheHorizon)
{
    const TColor dark = Rgb(40, 50, 60);
    const TColor light = Rgb(140, 150, 200);
    // Horizon in the middle: the first row is the dark colour exactly, the last
    // very nearly, the horizon row the light colour.
    GradientShape mid{dark, light, 0.5, 0.6, 1000};
    EXPECT_EQ(GradientColor(mid, 0), dark);
    EXPECT_EQ(GradientColor(mid, 500), light);
    const TColor last = GradientColor(mid, 999);
    EXPECT_LE(std::abs(Red(last) - Red(dark)) + std::abs(Blue(last) - Blue(dark)), 6);

    // Horizon at 0.3: the lower edge is farther, so it gets (nearly) the dark colour
    // and the first row lies at t = 1 - (3/7)^g.
    GradientShape high{dark, light, 0.3, 0.5, 1000};
    const double t = 1 - std::pow(3.0 / 7.0, 0.5);
    EXPECT_EQ(GradientColor(high, 0),
              Rgb(RoundHalfUp(40 + t * 100), RoundHalfUp(50 + t * 100), RoundHalfUp(60 + t * 140)));
    EXPECT_EQ(GradientColor(high, 1000), dark);
    // Rows beyond the canvas are defined too: channels wrap to their low 8 bits.
    const TColor beyond = GradientColor(high, -2000);
    const double tb = 1 - std::pow((-2.0 - 0.3) / 0.7 * -1, 0.5);
    EXPECT_EQ(Red(beyond), RoundHalfUp(40 + tb * 100) & 0xFF);
}

TEST(Gradient, FastPaintEqualsReference)
{
    GradientShape shape{Rgb(20, 30, 40), Rgb(150, 160, 170), 0.4, 0.7, 333};
    QImage fast(257, 333, QImage::Format_RGB888), slow(257, 333, QImage::Format_RGB888);
    ProgressLog fastLog, slowLog;
    PaintGradient(ViewOf(fast), shape, fastLog.Callback());
    reference::PaintGradient(ViewOf(slow), shape, slowLog.Callback());
    EXPECT_EQ(fast, slow);
    EXPECT_EQ(fastLog.values, slowLog.values);
    EXPECT_EQ(fastLog.values.size(), 7u); // rows 0, 50, ..., 300
}

TEST(Filter, GuardRaisesDivisorsForExtremeDarkColours)
{
    // Luminance and saturation near the middle: dL = dS = 2, nothing changes.
    FilterParams params = GuardFilter({4, 48, true, true}, reference::HlsToRgb(100, 120, 120));
    EXPECT_EQ(params.a, 4);
    EXPECT_EQ(params.b, 48);
    // A grey dark colour (saturation 0): the saturation divisor goes up to 160.
    params = GuardFilter({5, 48, true, false}, Rgb(60, 60, 60));
    EXPECT_EQ(params.b, 160);
    const Hls grey = reference::RgbToHls(Rgb(60, 60, 60));
    EXPECT_EQ(params.a, std::max(5, static_cast<int>(std::ceil(160.0 / (121 - std::abs(120 - grey.l))))));
    // Factors (at most 1) are never touched.
    params = GuardFilter({0.97, 0.6, false, true}, Rgb(0, 0, 0));
    EXPECT_EQ(params.a, 0.97);
    EXPECT_EQ(params.b, 0.6);
}

TEST(Filter, FastFilterEqualsReferenceForEveryType)
{
    const GradientShape shape{Rgb(35, 45, 70), Rgb(120, 130, 160), 0.6, 0.5, 180};
    const QImage source = NoiseImage(240, 180, 5);
    // The cover rectangle overhangs every edge, as in a composition.
    const TRect cover = CoverRect(240, 180);
    const FilterParams paramSets[] = {{0.97, 0.6, false, true}, {0.9, 0.25, true, true}, {4, 48, true, true}};
    for (const FilterParams& params : paramSets) {
        QImage fast = source, slow = source;
        ProgressLog fastLog, slowLog;
        FilterBackground(ViewOf(fast), cover, shape, params, fastLog.Callback());
        reference::FilterBackground(ViewOf(slow), cover, shape, params, slowLog.Callback());
        EXPECT_EQ(fast, slow) << params.a;
        EXPECT_EQ(fastLog.values, slowLog.values);
        // Progress covers the rows off the canvas too and stays below 100.
        EXPECT_LE(fastLog.values.front(), 10);
        EXPECT_LT(fastLog.values.back(), 100);
        EXPECT_GT(fastLog.values.back(), 90);
    }
}

TEST(Filter, VectorPictureLeavesUnpaintedGradientAlone)
{
    const GradientShape shape{Rgb(35, 45, 70), Rgb(120, 130, 160), 0.5, 0.5, 100};
    QImage image(100, 100, QImage::Format_RGB888);
    PaintGradient(ViewOf(image), shape, {});
    // The "metafile" painted only the left half.
    QImage painted = NoiseImage(50, 100, 9);
    for (int y = 0; y < 100; ++y)
        std::memcpy(image.scanLine(y), painted.constScanLine(y), 150);
    QImage slow = image;
    const QImage before = image;
    FilterBackground(ViewOf(image), CoverRect(100, 100), shape, {5, 48, true, false}, {});
    reference::FilterBackground(ViewOf(slow), CoverRect(100, 100), shape, {5, 48, true, false}, {});
    EXPECT_EQ(image, slow);
    for (int y = 0; y < 100; ++y) {
        EXPECT_EQ(std::memcmp(image.constScanLine(y) + 150, before.constScanLine(y) + 150, 150), 0) << y;
        EXPECT_NE(std::memcmp(image.constScanLine(y), before.constScanLine(y), 150), 0) << y;
    }
}
