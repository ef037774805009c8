// The built-in picture (resources/builtin/builtin.emf): an enhanced metafile, a
// portrait line drawing of 490 x 634, which our player draws as strokes only.
#include "graphics/metafile/render_support.h"

#include <gtest/gtest.h>

using namespace testing_metafile;

namespace {

QString SourceDir()
{
    QByteArray dir = qgetenv("AMBIENCE_SOURCE_DIR");
    return dir.isEmpty() ? QStringLiteral(AMBIENCE_SOURCE_DIR_FOR_TESTS) : QString::fromLocal8Bit(dir);
}

TEST(BuiltinPicture, IsAPortraitLineDrawing)
{
    std::string error;
    auto m = LoadBytes(ReadFileBytes(SourceDir() + "/resources/builtin/builtin.emf"), &error);
    ASSERT_TRUE(m) << error;
    EXPECT_TRUE(m->IsEnhanced());
    EXPECT_EQ(m->Width(), 490);
    EXPECT_EQ(m->Height(), 634);

    // Played over a colour, it leaves that colour everywhere but its strokes: some ink,
    // no filled areas, nothing in the corners.
    const QColor ground(40, 120, 160);
    QImage image = Render(*m, 490, 634, ground);
    int ink = 0, untouched = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            QColor c = image.pixelColor(x, y);
            if (c == ground) ++untouched;
            else if (qGray(c.rgb()) < 60) ++ink;
        }
    const int total = 490 * 634;
    EXPECT_GT(ink, total / 200);
    EXPECT_LT(ink, total / 10);
    EXPECT_GT(untouched, total * 85 / 100);
    EXPECT_EQ(image.pixelColor(2, 2), ground);
    EXPECT_EQ(image.pixelColor(487, 2), ground);
    EXPECT_EQ(image.pixelColor(245, 632), ground); // between the shoulders' ends
}

} // namespace
