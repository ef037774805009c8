// Picture placement (the worked example of a 1024 x 768 screen) and the darkened
// frame band.
#include "compose/kernel_support.h"
#include "compose/placement.h"
#include "compose/reference_hls.h"
#include "compose/reference_kernels.h"

#include <gtest/gtest.h>

using namespace compose;

namespace {
PlacementInput Example(bool raster)
{
    PlacementInput in;
    in.canvasWidth = 1024;
    in.canvasHeight = 768;
    in.workArea = {0, 0, 1024, 738};
    in.pictureWidth = 800;
    in.pictureHeight = 600;
    in.isRaster = raster;
    return in;
}
} // namespace

TEST(Placement, WorkedExampleOfA1024By768Screen)
{
    struct Row {
        int size;
        TRect vectorCentred, rasterCentred, rasterLowerRight;
    };
    const Row rows[] = {
        {Smaller, {426, 320, 597, 448}, {413, 309, 610, 457}, {787, 550, 984, 698}},
        {Optimal, {325, 244, 697, 523}, {280, 210, 744, 558}, {520, 350, 984, 698}},
        {Larger, {256, 192, 768, 576}, {192, 144, 832, 624}, {344, 218, 984, 698}},
        {Maximum, {0, 0, 1024, 768}, {0, 0, 1024, 768}, {-40, -70, 984, 698}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(PlacePicture(Example(false), r.size, 0, 0), r.vectorCentred) << r.size;
        EXPECT_EQ(PlacePicture(Example(true), r.size, 0, 0), r.rasterCentred) << r.size;
        EXPECT_EQ(PlacePicture(Example(true), r.size, 1, 0), r.rasterLowerRight) << r.size;
        // Unknown anchors centre.
        EXPECT_EQ(PlacePicture(Example(true), r.size, 7, 0), r.rasterCentred) << r.size;
    }
    EXPECT_EQ(PlacePicture(Example(true), CoverSize, 0, 0), (TRect{-34, -25, 1058, 793}));
    // The Optimal draw widens the picture by 45, 46 or 47 %.
    EXPECT_GT(PlacePicture(Example(false), Optimal, 0, 2).Width(), PlacePicture(Example(false), Optimal, 0, 0).Width());
}

TEST(Placement, LimitsKeepMarginsAndTallPicturesFitTheHeight)
{
    PlacementInput tall = Example(true);
    tall.pictureWidth = 300;
    tall.pictureHeight = 900;
    const TRect r = PlacePicture(tall, Larger, 0, 0);
    EXPECT_LE(r.Height(), 692);
    EXPECT_GE(r.Height(), 690);
    EXPECT_NEAR(r.Width(), 691.2 / 3, 1.5);
    for (int size : {Smaller, Optimal, Larger}) {
        PlacementInput wide = Example(true);
        wide.pictureWidth = 2000;
        wide.pictureHeight = 500;
        const TRect w = PlacePicture(wide, size, 0, 2);
        EXPECT_GE(w.left, 1024 / 20 - 1);
        EXPECT_LE(w.right, 1024 - 1024 / 20 + 1);
        EXPECT_GE(w.top, 768 / 20 - 1);
    }
}

TEST(Frame, BandIsDarkenedOnceAndTheMiddleIsKept)
{
    const QImage source = NoiseImage(200, 150, 3);
    const TRect picture{40, 30, 160, 120};
    for (int inset : {0, 4}) {
        QImage fast = source, slow = source;
        ProgressLog fastLog, slowLog;
        DarkenFrame(ViewOf(fast), picture, 10, inset, fastLog.Callback());
        reference::DarkenFrame(ViewOf(slow), picture, 10, inset, slowLog.Callback());
        EXPECT_EQ(fast, slow);
        EXPECT_EQ(fastLog.values, slowLog.values);
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x) {
                const std::uint8_t* p = source.constScanLine(y) + 3 * x;
                const std::uint8_t* q = fast.constScanLine(y) + 3 * x;
                const bool inBand = x >= 30 && x < 170 && y >= 20 && y < 130;
                const bool inMiddle = x >= 40 + inset && x < 160 - inset && y >= 30 + inset && y < 120 - inset;
                const Hls v = reference::RgbToHls(p[0], p[1], p[2]);
                const TColor expected = inBand && !inMiddle ? reference::HlsToRgb(v.h, v.l * 2 / 3, v.s / 2)
                                                             : Rgb(p[0], p[1], p[2]);
                ASSERT_EQ(Rgb(q[0], q[1], q[2]), expected) << x << "," << y;
            }
    }
}

TEST(Frame, BandOverTheCanvasEdgesIsClippedAndProgressRunsPast100)
{
    const QImage source = NoiseImage(120, 90, 4);
    const TRect picture{-40, -70, 100, 80}; // "Maximum" at the lower right
    QImage fast = source, slow = source;
    ProgressLog fastLog, slowLog;
    DarkenFrame(ViewOf(fast), picture, 12, 0, fastLog.Callback());
    reference::DarkenFrame(ViewOf(slow), picture, 12, 0, slowLog.Callback());
    EXPECT_EQ(fast, slow);
    EXPECT_EQ(fastLog.values, slowLog.values);
    EXPECT_LT(fastLog.values.front(), 0);
    EXPECT_GT(fastLog.values.back(), 100);
}
