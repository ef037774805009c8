// The clock face to the pixel: hand end points, the lines that lead to them, and
// the icon picture with its transparent background.
#include "agent/clock_face.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <utility>

namespace {

using Pixels = std::map<std::pair<int, int>, QRgb>;
constexpr QRgb B = agent::kHandColour;
constexpr QRgb S = agent::kTipColour;
constexpr QRgb kBlank = 0xFF808080;

QImage Blank()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(kBlank);
    return image;
}

// Every pixel that is no longer blank, with its colour.
Pixels Painted(const QImage& image)
{
    Pixels painted;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != kBlank)
                painted[{x, y}] = image.pixel(x, y);
    return painted;
}

Pixels Hands(int hour, int minute)
{
    QImage image = Blank();
    agent::DrawClockHands(image, hour, minute);
    return Painted(image);
}

TEST(ClockFace, HandEndPoints)
{
    const QImage image = Blank();
    EXPECT_EQ(agent::HandCentre(image), QPoint(7, 8));
    // 12:00: both up; 3.5 rounds up to 4.
    EXPECT_EQ(agent::HandEnd(image, 0.0, 4.0), QPoint(7, 4));
    EXPECT_EQ(agent::HandEnd(image, 0.0, 4.5), QPoint(7, 4));
    // 3:00.
    EXPECT_EQ(agent::HandEnd(image, 0.25, 4.0), QPoint(11, 8));
    // 6:30: the minute hand straight down, 12.5 rounded up.
    EXPECT_EQ(agent::HandEnd(image, 0.5, 4.5), QPoint(7, 13));
    // Quarter to: 2.5 rounds up to 3.
    EXPECT_EQ(agent::HandEnd(image, 0.75, 4.5), QPoint(3, 8));
    // A fraction of 1 or more wraps around.
    EXPECT_EQ(agent::HandEnd(image, 1.25, 4.0), QPoint(11, 8));
    EXPECT_EQ(agent::HandEnd(image, 1.0, 4.5), QPoint(7, 4));
}

TEST(ClockFace, HandsToThePixel)
{
    // 12:00: the minute hand is drawn last over the hour hand.
    EXPECT_EQ(Hands(12, 0), (Pixels{{{7, 8}, B}, {{7, 7}, B}, {{7, 6}, B}, {{7, 5}, B}, {{7, 4}, S}}));
    EXPECT_EQ(Hands(0, 0), Hands(12, 0));
    // 3:00: the hour hand's line stops short of its silver end.
    EXPECT_EQ(Hands(3, 0), (Pixels{{{7, 8}, B}, {{8, 8}, B}, {{9, 8}, B}, {{10, 8}, B}, {{11, 8}, S},
                                   {{7, 7}, B}, {{7, 6}, B}, {{7, 5}, B}, {{7, 4}, S}}));
    // 1:30: the hour hand on the exact diagonal to (10, 5); the minute hand down to (7, 13).
    EXPECT_EQ(Hands(1, 30), (Pixels{{{7, 8}, B}, {{8, 7}, B}, {{9, 6}, B}, {{10, 5}, S},
                                    {{7, 9}, B}, {{7, 10}, B}, {{7, 11}, B}, {{7, 12}, B}, {{7, 13}, S}}));
    // 6:30: the hour hand just past six ends at (6, 12), under the minute hand's line.
    const Pixels half_past_six = Hands(6, 30);
    EXPECT_EQ(half_past_six.at({6, 12}), S);
    EXPECT_EQ(half_past_six.at({7, 13}), S);
    for (int y = 8; y <= 12; ++y)
        EXPECT_EQ(half_past_six.at({7, y}), B) << y;
    // 9:45: the minute hand to (3, 8), the hour hand towards ten.
    const Pixels quarter_to_ten = Hands(9, 45);
    EXPECT_EQ(quarter_to_ten.at({3, 8}), S);
    EXPECT_EQ(quarter_to_ten.at({3, 6}), S);
}

TEST(ClockFace, LinesLeaveTheirEndAndStayConnected)
{
    // Every direction from the centre: the start is painted, the end is not, one
    // pixel per step of the longer axis, each step to a neighbouring pixel.
    const QPoint from(7, 8);
    for (int ex = 0; ex < 16; ++ex)
        for (int ey = 0; ey < 16; ++ey) {
            const QPoint to(ex, ey);
            if (to == from)
                continue;
            QImage image = Blank();
            agent::DrawLine(image, from, to, B);
            const Pixels painted = Painted(image);
            SCOPED_TRACE(testing::Message() << "to " << ex << "," << ey);
            EXPECT_EQ(painted.count({7, 8}), 1u);
            EXPECT_EQ(painted.count({ex, ey}), 0u);
            EXPECT_EQ(static_cast<int>(painted.size()), std::max(std::abs(ex - 7), std::abs(ey - 8)));
            for (const auto& [at, colour] : painted) {
                (void)colour;
                // Each painted pixel lies no farther from the line than half a pixel
                // along the shorter axis (a Bresenham line's defining property).
                const double dx = ex - 7, dy = ey - 8;
                const double px = at.first - 7, py = at.second - 8;
                const double cross = std::abs(px * dy - py * dx) / std::max(std::abs(dx), std::abs(dy));
                EXPECT_LE(cross, 0.5 + 1e-9);
            }
        }
    // Lines that leave the picture are cut, not wrapped or crashed.
    QImage image = Blank();
    agent::DrawLine(image, QPoint(7, 8), QPoint(40, -30), B);
    agent::DrawHand(image, 0.1, 100.0);
    EXPECT_FALSE(Painted(image).empty());
}

TEST(ClockFace, IconPictures)
{
    const QImage tile = agent::TrayPicture(0);
    const QImage dial = agent::TrayPicture(1);
    ASSERT_EQ(tile.size(), QSize(16, 16));
    ASSERT_EQ(dial.size(), QSize(16, 16));
    EXPECT_NE(tile, dial);
    // Drawn on magenta, with a picture in the middle (not the fallback square).
    EXPECT_EQ(tile.pixel(0, 15), agent::kKeyColour);
    EXPECT_EQ(dial.pixel(0, 15), agent::kKeyColour);
    EXPECT_NE(tile.pixel(7, 7), agent::kKeyColour);
    EXPECT_NE(dial.pixel(7, 7), agent::kKeyColour);

    // "No icon" and "a small icon" show the tile; the clock shows the dial with hands.
    const QImage none = agent::MakeIconImage(0, 3, 0);
    const QImage small = agent::MakeIconImage(1, 3, 0);
    const QImage clock = agent::MakeIconImage(2, 3, 0);
    EXPECT_EQ(none, small);
    EXPECT_NE(clock, agent::MakeIconImage(2, 4, 0));
    EXPECT_EQ(small, agent::MakeIconImage(1, 4, 0)); // no hands on the tile
    EXPECT_EQ(clock.pixel(11, 8), S);
    EXPECT_EQ(clock.pixel(9, 8), B);
    // Magenta is cut out; nothing else is.
    EXPECT_EQ(qAlpha(clock.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(clock.pixel(0, 15)), 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int expected = dial.pixel(x, y) == agent::kKeyColour ? 0 : 255;
            EXPECT_EQ(qAlpha(clock.pixel(x, y)), expected) << x << "," << y;
        }

    // A hand-edited setting outside the range falls back to the tile instead of
    // reading past the pictures.
    EXPECT_EQ(agent::MakeIconImage(5, 3, 0), small);
    EXPECT_EQ(agent::MakeIconImage(-1, 3, 0), small);
}

} // namespace
