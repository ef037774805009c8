// Large pictures are encoded in bands on several cores and joined with restart
// markers: the file must decode, here and in ImageMagick, to exactly the pixels
// of the same picture encoded in one piece.
#include "graphics/jpeg.h"
#include "graphics/jpeg_bands.h"

#include "image_tools.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QImage Grain(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            image.scanLine(y)[x] = static_cast<uchar>(((x / 3) * 3 + y * 2 + (x % 3) * 80 + (x * 7919 + y * 31) % 23) % 256);
    return image;
}

TEST(JpegBands, PlansWholeBlockRowsWithinTheRestartCount)
{
    struct Row {
        int width, height, workers;
        int count, rows, interval;
    } rows[] = {
        {3840, 2160, 2, 2, 1088, 240 * 68},  // 135 block rows: 68 and 67
        {3840, 2160, 1, 1, 0, 0},            // one core
        {1200, 1000, 2, 1, 0, 0},            // too small to gain
        {60000, 1000, 2, 4, 272, 3750 * 17}, // 3750 blocks a row: 17 rows an interval at most
    };
    for (const Row& row : rows) {
        const graphics::JpegBands plan = graphics::PlanJpegBands(row.width, row.height, row.workers);
        EXPECT_EQ(plan.count, row.count) << row.width << "x" << row.height;
        if (plan.count > 1) {
            EXPECT_EQ(plan.rows, row.rows);
            EXPECT_EQ(plan.interval, row.interval);
            EXPECT_LE(plan.interval, 65535);
            EXPECT_GE(plan.count * plan.rows, row.height);
            EXPECT_LT((plan.count - 1) * plan.rows, row.height);
        }
    }
}

TEST(JpegBands, DecodeToThePixelsOfTheOnePieceEncoding)
{
    QTemporaryDir dir;
    // Partial blocks at the right and the bottom; three bands (two restart markers).
    for (const QSize size : {QSize(1921, 1083), QSize(1600, 1024), QSize(30000, 1100)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        const QImage picture = Grain(size.width(), size.height());
        ASSERT_GT(graphics::PlanJpegBands(size.width(), size.height(), 2).count, 1);
        std::vector<std::uint8_t> banded;
        std::string error;
        ASSERT_TRUE(graphics::EncodeJpeg(picture, 90, banded, error)) << error;
        const auto ours = graphics::DecodeJpeg(banded);
        const auto reference = graphics::DecodeJpeg(EncodeWithLibjpeg(picture, 90));
        ASSERT_TRUE(ours.ok()) << ours.message;
        ASSERT_TRUE(reference.ok());
        EXPECT_TRUE(ours.image == reference.image);
        if (HaveImageMagick() && size.width() < 10000) {
            const QString path = dir.filePath(QStringLiteral("banded.jpg"));
            WriteBytes(path, banded);
            EXPECT_TRUE(ReadWithImageMagick(path) == reference.image);
        }
    }
}

TEST(JpegBands, RefusesToJoinWhatIsNoBandOfTheEncoder)
{
    std::vector<std::uint8_t> band;
    std::string error;
    ASSERT_TRUE(graphics::EncodeJpeg(Grain(64, 32), 90, band, error));
    std::vector<std::uint8_t> cut(band.begin(), band.end() - 1);
    std::vector<std::uint8_t> progressive = band;
    for (std::size_t i = 2; i + 1 < progressive.size(); ++i)
        if (progressive[i] == 0xFF && progressive[i + 1] == 0xC0) {
            progressive[i + 1] = 0xC2;
            break;
        }
    std::vector<std::uint8_t> none;
    for (const std::vector<std::uint8_t>* bad : {&cut, &progressive, &none}) {
        const std::span<const std::uint8_t> bands[] = {band, *bad};
        std::vector<std::uint8_t> out(graphics::JoinedJpegRoom(bands));
        EXPECT_EQ(graphics::JoinJpegBands(bands, 64, 8, out), 0u);
    }
    const std::span<const std::uint8_t> both[] = {band, band};
    std::vector<std::uint8_t> out(graphics::JoinedJpegRoom(both));
    EXPECT_GT(graphics::JoinJpegBands(both, 64, 8, out), 0u);
    EXPECT_EQ(graphics::JoinJpegBands(both, 64, 8, std::span<std::uint8_t>(out).first(10)), 0u);
}

} // namespace
