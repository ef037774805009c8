// Drawing raster pictures onto a canvas: size, clipping at the canvas edges, and
// the area averaging that a reduction must do.
#include "graphics/picture.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

QImage Checkerboard(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixelColor(x, y, (x + y) % 2 ? Qt::white : Qt::black);
    return img;
}

QImage Gradient(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixelColor(x, y, QColor(x * 255 / (w - 1), y * 255 / (h - 1), (x + y) % 256));
    return img;
}

QImage Canvas(int w, int h, QColor fill = QColor(10, 20, 30))
{
    QImage c(w, h, QImage::Format_RGB888);
    c.fill(fill);
    return c;
}

TEST(Picture, DrawsIntoExactlyTheTargetRectangle)
{
    QImage white(40, 30, QImage::Format_RGB888);
    white.fill(Qt::white);
    const auto picture = graphics::Picture::FromImage(white);
    QImage canvas = Canvas(100, 80);
    {
        QPainter p(&canvas);
        picture.Draw(p, QRect(10, 20, 57, 33));
    }
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x) {
            const bool inside = x >= 10 && x < 67 && y >= 20 && y < 53;
            ASSERT_EQ(canvas.pixelColor(x, y), inside ? QColor(Qt::white) : QColor(10, 20, 30)) << x << "," << y;
        }
}

TEST(Picture, ClipsAtTheCanvasEdgesWithoutShiftingThePicture)
{
    // A target reaching past every edge (as the cover size does) must show the
    // same pixels as the middle part of that target drawn on a canvas large
    // enough for all of it.
    const auto picture = graphics::Picture::FromImage(Gradient(90, 70));
    const QRect target(-13, -9, 126, 98);
    QImage small = Canvas(100, 80);
    QImage large = Canvas(126, 98);
    {
        QPainter p(&small);
        picture.Draw(p, target);
    }
    {
        QPainter p(&large);
        picture.Draw(p, QRect(0, 0, 126, 98));
    }
    EXPECT_EQ(small, large.copy(13, 9, 100, 80));

    // Wholly outside: nothing changes.
    QImage untouched = Canvas(50, 50);
    {
        QPainter p(&untouched);
        picture.Draw(p, QRect(60, 0, 20, 20));
        picture.Draw(p, QRect(0, 0, 0, 20));
    }
    EXPECT_EQ(untouched, Canvas(50, 50));
}

TEST(Picture, ReductionAveragesACheckerboardToGrey)
{
    const auto picture = graphics::Picture::FromImage(Checkerboard(300, 200));
    QImage canvas = Canvas(64, 48);
    {
        QPainter p(&canvas);
        picture.Draw(p, QRect(0, 0, 64, 48));
    }
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const QColor c = canvas.pixelColor(x, y);
            ASSERT_NEAR(c.red(), 127.5, 6) << x << "," << y;
            ASSERT_NEAR(c.blue(), 127.5, 6) << x << "," << y;
        }
}

TEST(Picture, FollowsThePainterTransform)
{
    // A translated painter gives the same pixels at the moved place; a scaled one
    // fills the scaled rectangle.
    const auto picture = graphics::Picture::FromImage(Gradient(30, 20));
    QImage direct = Canvas(80, 60);
    QImage moved = Canvas(80, 60);
    {
        QPainter p(&direct);
        picture.Draw(p, QRect(15, 12, 45, 30));
    }
    {
        QPainter p(&moved);
        p.translate(10, 10);
        picture.Draw(p, QRect(5, 2, 45, 30));
    }
    EXPECT_EQ(direct, moved);

    QImage scaled = Canvas(80, 60, Qt::black);
    QImage white(10, 10, QImage::Format_RGB888);
    white.fill(Qt::white);
    {
        QPainter p(&scaled);
        p.scale(2, 2);
        graphics::Picture::FromImage(white).Draw(p, QRect(5, 5, 20, 10));
    }
    EXPECT_EQ(scaled.pixelColor(11, 11), QColor(Qt::white));
    EXPECT_EQ(scaled.pixelColor(48, 28), QColor(Qt::white));
    EXPECT_EQ(scaled.pixelColor(52, 20), QColor(Qt::black));
    EXPECT_EQ(scaled.pixelColor(20, 32), QColor(Qt::black));
}

} // namespace
