// A large JPEG picture meant for a small canvas is decoded reduced, never below
// what covering the canvas needs, and turned upright before the sides are compared.
#include "graphics/jpeg.h"
#include "graphics/picture_loader.h"

#include <QImage>

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ScaledDecode, TheReductionStillCoversTheCanvas)
{
    const struct {
        int width, height, canvasWidth, canvasHeight, denominator;
    } cases[] = {
        {3000, 2000, 640, 360, 4},    // 750 x 500 covers 640 x 360; 375 x 250 would not
        {3000, 2000, 3840, 2160, 1},  // larger than the picture: all of it
        {3000, 2000, 1920, 1080, 1},  // 1500 x 1000 misses 1080 rows
        {3000, 2000, 1500, 1000, 2},
        {8000, 6000, 1000, 750, 8},
        {8000, 6000, 100, 10, 8},     // never more than an eighth
        {400, 3000, 200, 200, 2},     // a tall picture covers with its width
        {3000, 2000, 0, 0, 1},        // no canvas known
        {0, 2000, 640, 360, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " on " + std::to_string(c.canvasWidth)
                     + "x" + std::to_string(c.canvasHeight));
        const int d = graphics::CoverScaleDenominator(c.width, c.height, c.canvasWidth, c.canvasHeight);
        EXPECT_EQ(d, c.denominator);
        if (c.canvasWidth > 0 && c.width > 0) {
            const bool covers = c.width / d >= c.canvasWidth || c.height / d >= c.canvasHeight;
            EXPECT_TRUE(covers || d == 1);
        }
    }
}

TEST(ScaledDecode, ALoadedPictureIsReducedOnlyForASmallCanvas)
{
    QImage image(1600, 1200, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / 1600, y * 255 / 1200, 90));
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(graphics::EncodeJpeg(image, 90, bytes, error)) << error;

    const struct {
        QSize canvas;
        QSize decoded;
    } cases[] = {{{}, {1600, 1200}}, {{1920, 1080}, {1600, 1200}}, {{400, 300}, {400, 300}}, {{150, 100}, {200, 150}}};
    for (const auto& c : cases) {
        const graphics::Picture picture = graphics::LoadPictureData(bytes, ".jpg", error, c.canvas);
        ASSERT_TRUE(picture.IsRaster()) << error;
        EXPECT_EQ(QSize(picture.Width(), picture.Height()), c.decoded);
        // The reduced picture keeps its colours where they were.
        const QRgb corner = picture.Image().pixel(picture.Width() - 1, picture.Height() - 1);
        EXPECT_NEAR(qRed(corner), 254, 6);
        EXPECT_NEAR(qGreen(corner), 254, 6);
    }
}

} // namespace
