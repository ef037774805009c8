// Pack entries to pictures by extension, and a metafile drawn through Picture.
#include "graphics/picture_loader.h"

#include "image_tools.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

TEST(LoadPictureData, ChoosesTheDecoderByExtension)
{
    std::string error;
    const auto jpeg = graphics::LoadPictureData(ReadTestFile(QStringLiteral("baseline.jpg")), ".jpg", error);
    EXPECT_TRUE(jpeg.IsRaster()) << error;
    EXPECT_EQ(jpeg.Width(), 32);

    const auto wmf = graphics::LoadPictureData(HalfRedWmf(), ".wmf", error);
    ASSERT_TRUE(wmf.IsMetafile()) << error;
    EXPECT_FALSE(wmf.IsRaster());
    EXPECT_EQ(wmf.Width(), 100);
    EXPECT_EQ(wmf.Height(), 100);

    // Unknown or mismatched types, empty and damaged data: an empty picture and a reason.
    struct Bad {
        std::vector<std::uint8_t> data;
        const char* ext;
        const char* says;
    };
    auto truncated = ReadTestFile(QStringLiteral("baseline.jpg"));
    truncated.resize(100);
    const Bad bad[] = {
        {ReadTestFile(QStringLiteral("baseline.jpg")), ".bmp", "Unknown picture type"},
        {ReadTestFile(QStringLiteral("baseline.jpg")), ".jpeg", "Unknown picture type"},
        {{}, ".jpg", "no data"},
        {truncated, ".jpg", "Truncated JPEG"},
        {HalfRedWmf(), ".jpg", "Not a JPEG"},
        {ReadTestFile(QStringLiteral("baseline.jpg")), ".emf", ""},
    };
    for (const Bad& b : bad) {
        const auto p = graphics::LoadPictureData(b.data, b.ext, error);
        EXPECT_TRUE(p.IsEmpty()) << b.ext << " " << b.says;
        EXPECT_FALSE(error.empty());
        EXPECT_NE(error.find(b.says), std::string::npos) << error;
    }
}

TEST(LoadPictureData, AMetafilePaintsOnlyWhatItDraws)
{
    std::string error;
    const auto wmf = graphics::LoadPictureData(HalfRedWmf(), ".wmf", error);
    ASSERT_TRUE(wmf.IsMetafile()) << error;
    QImage canvas(200, 100, QImage::Format_RGB888);
    canvas.fill(Qt::blue);
    {
        QPainter p(&canvas);
        wmf.Draw(p, QRect(0, 0, 200, 100)); // stretched to twice its width
    }
    EXPECT_EQ(canvas.pixelColor(50, 50), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(90, 10), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(110, 50), QColor(Qt::blue));
    EXPECT_EQ(canvas.pixelColor(190, 90), QColor(Qt::blue));
}

} // namespace
