// JPEG decoding of the colour layouts pack pictures come in, the failures a
// damaged file must give, and the encoder's round trip.
#include "graphics/jpeg.h"

#include "image_tools.h"
#include "support/temp_env.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace {

using graphics::DecodeJpeg;
using graphics::JpegError;

// The centres of the four quadrants of the 32 x 32 test pictures.
struct Quadrants {
    QColor topLeft, topRight, bottomLeft, bottomRight;
};

void ExpectQuadrants(const QImage& image, const Quadrants& q, int tolerance)
{
    ASSERT_EQ(image.size(), QSize(32, 32));
    ASSERT_EQ(image.format(), QImage::Format_RGB888);
    const std::pair<QPoint, QColor> checks[] = {
        {{8, 8}, q.topLeft}, {{24, 8}, q.topRight}, {{8, 24}, q.bottomLeft}, {{24, 24}, q.bottomRight}};
    for (const auto& [at, want] : checks) {
        const QColor got = image.pixelColor(at);
        EXPECT_NEAR(got.red(), want.red(), tolerance) << at.x() << "," << at.y();
        EXPECT_NEAR(got.green(), want.green(), tolerance) << at.x() << "," << at.y();
        EXPECT_NEAR(got.blue(), want.blue(), tolerance) << at.x() << "," << at.y();
    }
}

const Quadrants Colours{QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255), QColor(127, 127, 127)};

TEST(DecodeJpeg, ShowsEveryColourLayoutInItsOwnColours)
{
    for (const char* name : {"baseline.jpg", "progressive.jpg", "cmyk.jpg", "ycck.jpg"}) {
        SCOPED_TRACE(name);
        const auto decoded = DecodeJpeg(ReadTestFile(QString::fromLatin1(name)));
        ASSERT_TRUE(decoded.ok()) << decoded.message;
        EXPECT_TRUE(decoded.message.empty());
        ExpectQuadrants(decoded.image, Colours, 6);
    }
    // Greyscale comes out as equal channels with the luminance of each colour.
    const auto grey = DecodeJpeg(ReadTestFile(QStringLiteral("grey.jpg")));
    ASSERT_TRUE(grey.ok()) << grey.message;
    ExpectQuadrants(grey.image, {QColor(54, 54, 54), QColor(182, 182, 182), QColor(18, 18, 18), QColor(127, 127, 127)},
                    4);
}

TEST(DecodeJpeg, EncodedPictureDecodesCloseToTheOriginal)
{
    QImage original(123, 77, QImage::Format_RGB888);
    for (int y = 0; y < original.height(); ++y)
        for (int x = 0; x < original.width(); ++x)
            original.setPixelColor(x, y, QColor(x * 2, y * 3, 100 + (x + y) / 2));
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(graphics::EncodeJpeg(original, 90, bytes, error)) << error;
    const auto decoded = DecodeJpeg(bytes);
    ASSERT_TRUE(decoded.ok()) << decoded.message;
    EXPECT_EQ(decoded.image.size(), original.size());
    EXPECT_LT(MeanDifference(decoded.image, original), 3.0);

    // Quality matters: a lower quality gives a smaller file.
    std::vector<std::uint8_t> rough;
    ASSERT_TRUE(graphics::EncodeJpeg(original, 20, rough, error));
    EXPECT_LT(rough.size(), bytes.size());

    EXPECT_FALSE(graphics::EncodeJpeg(QImage(), 90, bytes, error));
    EXPECT_FALSE(error.empty());
}

TEST(DecodeJpeg, SaveJpegWritesAFileOthersRead)
{
    QTemporaryDir dir;
    QImage original(40, 30, QImage::Format_RGB888);
    original.fill(QColor(200, 100, 50));
    const QString path = dir.filePath(QStringLiteral("export.jpg"));
    const auto written = graphics::SaveJpeg(original, path);
    ASSERT_TRUE(written.ok()) << written.error().text;
    const auto back = DecodeJpeg(ReadBytes(path));
    ASSERT_TRUE(back.ok()) << back.message;
    EXPECT_LT(MeanDifference(back.image, original), 2.0);
    if (HaveImageMagick()) {
        EXPECT_LT(MeanDifference(ReadWithImageMagick(path), original), 2.0);
    }
    // Grain at the highest quality: the file is what the encoding in memory gives.
    QImage grain(900, 700, QImage::Format_RGB888);
    for (int y = 0; y < grain.height(); ++y)
        for (int x = 0; x < grain.bytesPerLine(); ++x)
            grain.scanLine(y)[x] = static_cast<uchar>((x * 7919 + y * 104729) % 251);
    const QString grainPath = dir.filePath(QStringLiteral("grain.jpg"));
    ASSERT_TRUE(graphics::SaveJpeg(grain, grainPath, 100).ok());
    std::vector<std::uint8_t> encoded;
    std::string error;
    ASSERT_TRUE(graphics::EncodeJpeg(grain, 100, encoded, error)) << error;
    EXPECT_EQ(ReadBytes(grainPath), encoded);
}

TEST(DecodeJpeg, RefusesWhatIsNoJpeg)
{
    const auto empty = DecodeJpeg({});
    EXPECT_EQ(empty.error, JpegError::NotJpeg);
    EXPECT_TRUE(empty.image.isNull());

    const std::string text = "GIF89a, certainly not a JPEG picture";
    const auto gif = DecodeJpeg(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    EXPECT_EQ(gif.error, JpegError::NotJpeg);
    EXPECT_NE(gif.message.find("Not a JPEG"), std::string::npos) << gif.message;
}

TEST(DecodeJpeg, TruncatedFilesFailAtEveryLength)
{
    // Cut inside the header, inside the tables and inside the scan data; never a
    // half-grey picture reported as success, never a crash.
    for (const char* name : {"baseline.jpg", "progressive.jpg", "cmyk.jpg"}) {
        const auto whole = ReadTestFile(QString::fromLatin1(name));
        ASSERT_FALSE(whole.empty());
        for (std::size_t cut = 1; cut + 2 < whole.size(); ++cut) {
            const std::vector<std::uint8_t> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
            const auto r = DecodeJpeg(part);
            ASSERT_FALSE(r.ok()) << name << " cut at " << cut;
            if (cut > whole.size() / 2) { // inside the scan data
                EXPECT_EQ(r.error, JpegError::Truncated) << name << " cut at " << cut << ": " << r.message;
            }
            EXPECT_TRUE(r.image.isNull());
            EXPECT_FALSE(r.message.empty());
        }
    }
    const auto whole = ReadTestFile(QStringLiteral("baseline.jpg"));
    const std::vector<std::uint8_t> half(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() * 3 / 4));
    const auto r = DecodeJpeg(half);
    EXPECT_EQ(r.error, JpegError::Truncated);
    EXPECT_NE(r.message.find("Truncated"), std::string::npos) << r.message;

    // A file that only lacks its end marker still holds the whole picture.
    const std::vector<std::uint8_t> noEnd(whole.begin(), whole.end() - 2);
    const auto shown = DecodeJpeg(noEnd);
    EXPECT_TRUE(shown.ok()) << shown.message;
}

// Offset of the start-of-frame segment's height field.
std::size_t FrameSizeOffset(const std::vector<std::uint8_t>& jpeg)
{
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2))
            return i + 5;
    return 0;
}

TEST(DecodeJpeg, RefusesAHeaderDeclaringAHugePictureBeforeAllocatingIt)
{
    for (const char* name : {"baseline.jpg", "progressive.jpg"}) {
        auto data = ReadTestFile(QString::fromLatin1(name));
        const std::size_t at = FrameSizeOffset(data);
        ASSERT_NE(at, 0u);
        data[at] = data[at + 2] = 0xFD; // 65000 x 65000
        data[at + 1] = data[at + 3] = 0xE8;
        const auto r = DecodeJpeg(data);
        EXPECT_EQ(r.error, JpegError::TooLarge) << name;
        EXPECT_TRUE(r.image.isNull());
        EXPECT_NE(r.message.find("65000 x 65000"), std::string::npos) << r.message;
    }
    // Under a tighter limit a small picture is refused the same way.
    graphics::JpegLimits tight;
    tight.maxDecodedBytes = 1000;
    EXPECT_EQ(DecodeJpeg(ReadTestFile(QStringLiteral("baseline.jpg")), tight).error, JpegError::TooLarge);
}

TEST(DecodeJpeg, LimitsTheScansOfAProgressivePicture)
{
    graphics::JpegLimits limits;
    limits.maxScans = 2;
    const auto r = DecodeJpeg(ReadTestFile(QStringLiteral("progressive.jpg")), limits);
    EXPECT_EQ(r.error, JpegError::Damaged);
    EXPECT_NE(r.message.find("scans"), std::string::npos) << r.message;
}

TEST(DecodeJpeg, DamagedDataGivesAnErrorNotGarbage)
{
    auto data = ReadTestFile(QStringLiteral("baseline.jpg"));
    // Wreck the quantisation table's marker length; and separately the colour
    // components count in the frame header.
    auto badLength = data;
    for (std::size_t i = 2; i + 3 < badLength.size(); ++i)
        if (badLength[i] == 0xFF && badLength[i + 1] == 0xDB) {
            badLength[i + 2] = 0x00;
            badLength[i + 3] = 0x01;
            break;
        }
    EXPECT_EQ(DecodeJpeg(badLength).error, JpegError::Damaged);

    auto badComponents = data;
    const std::size_t at = FrameSizeOffset(badComponents);
    ASSERT_NE(at, 0u);
    badComponents[at + 4] = 0; // no components
    const auto r = DecodeJpeg(badComponents);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.image.isNull());
}

} // namespace

namespace {

// A grainy picture (one channel for grey) encoded with the given luma sampling and
// restart interval in rows.
std::vector<std::uint8_t> GrainyJpeg(int width, int height, int h, int v, int components, int restartRows)
{
    QImage image(width, height, components == 3 ? QImage::Format_RGB888 : QImage::Format_Grayscale8);
    unsigned state = 5;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image.scanLine(y);
        for (int x = 0; x < width * components; ++x) {
            state = state * 1664525u + 1013904223u;
            row[x] = static_cast<std::uint8_t>((x * 7 + y * 3) / 11 % 230 + (state >> 28));
        }
    }
    return EncodeWithLibjpeg(image, 92, h, v, restartRows);
}

// libjpeg's own decoding from the top, row after row, in RGB.
QImage DecodedInOneGo(const std::vector<std::uint8_t>& data, unsigned denominator)
{
    jpeg_decompress_struct c;
    jpeg_error_mgr e;
    c.err = jpeg_std_error(&e);
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&c, TRUE);
    c.out_color_space = JCS_RGB;
    c.scale_num = 1;
    c.scale_denom = denominator;
    jpeg_start_decompress(&c);
    QImage image(int(c.output_width), int(c.output_height), QImage::Format_RGB888);
    while (c.output_scanline < c.output_height) {
        JSAMPROW r = image.scanLine(int(c.output_scanline));
        jpeg_read_scanlines(&c, &r, 1);
    }
    jpeg_finish_decompress(&c);
    jpeg_destroy_decompress(&c);
    return image;
}

} // namespace

// Large pictures are decoded in two parts at once, the second passing over the
// rows of the first: every pixel must be what one decoding from the top gives,
// whatever the sampling, restart markers and scale; and data cut short in either
// part is still a truncated picture.
TEST(DecodeJpeg, ALargePictureDecodedInTwoPartsIsAsDecodedFromTheTop)
{
    const struct {
        int width, height, h, v, components, restart;
    } pictures[] = {
        {1500, 900, 2, 2, 3, 0}, {1201, 877, 2, 2, 3, 1}, {1203, 875, 2, 1, 3, 0},
        {1100, 980, 1, 1, 3, 0}, {1099, 1001, 1, 1, 1, 0},
    };
    for (const auto& p : pictures) {
        const auto data = GrainyJpeg(p.width, p.height, p.h, p.v, p.components, p.restart);
        for (int denominator : {1, 2}) {
            SCOPED_TRACE(std::to_string(p.width) + "x" + std::to_string(p.height) + " sampled " + std::to_string(p.h)
                         + "x" + std::to_string(p.v) + ", 1/" + std::to_string(denominator));
            graphics::JpegLimits limits;
            limits.scaleDenominator = denominator;
            const auto decoded = DecodeJpeg(data, limits);
            ASSERT_TRUE(decoded.ok()) << decoded.message;
            const QImage expected = DecodedInOneGo(data, unsigned(denominator));
            ASSERT_EQ(decoded.image.size(), expected.size());
            for (int y = 0; y < expected.height(); ++y)
                ASSERT_EQ(std::memcmp(decoded.image.constScanLine(y), expected.constScanLine(y),
                                      std::size_t(expected.width()) * 3),
                          0)
                    << "row " << y;
        }
    }
    const auto whole = GrainyJpeg(1500, 900, 2, 2, 3, 0);
    for (const double share : {0.3, 0.9}) {
        const std::vector<std::uint8_t> part(whole.begin(), whole.begin() + std::ptrdiff_t(double(whole.size()) * share));
        const auto r = DecodeJpeg(part);
        EXPECT_EQ(r.error, JpegError::Truncated) << share << ": " << r.message;
        EXPECT_TRUE(r.image.isNull());
    }
}
