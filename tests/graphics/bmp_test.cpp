// BMP files as other programs read them: pixel-exact through ImageMagick, for
// widths that need row padding and for pictures in other formats.
#include "graphics/bmp.h"

#include "image_tools.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QImage Pattern(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixelColor(x, y, QColor((x * 37) % 256, (y * 53) % 256, (x * y * 7 + 3) % 256));
    return img;
}

TEST(Bmp, ImageMagickReadsItBackPixelExact)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    QTemporaryDir dir;
    // The last is megabytes, written from memory of its own: the same bytes as
    // the encoding in memory.
    for (const QSize size : {QSize(1, 1), QSize(7, 5), QSize(64, 33), QSize(1366, 771)}) {
        const QImage img = Pattern(size.width(), size.height());
        const QString path = dir.filePath(QStringLiteral("p%1.bmp").arg(size.width()));
        const auto r = graphics::SaveBmp(img, path);
        ASSERT_TRUE(r.ok()) << r.error().text;
        EXPECT_EQ(ReadWithImageMagick(path), img) << size.width() << "x" << size.height();
        std::vector<std::uint8_t> encoded;
        std::string error;
        ASSERT_TRUE(graphics::EncodeBmp(img, encoded, error)) << error;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray(reinterpret_cast<const char*>(encoded.data()), qsizetype(encoded.size())));
    }
    // Other formats are converted, alpha dropped.
    QImage argb(3, 2, QImage::Format_ARGB32);
    argb.fill(QColor(10, 200, 30));
    const QString path = dir.filePath(QStringLiteral("argb.bmp"));
    ASSERT_TRUE(graphics::SaveBmp(argb, path).ok());
    EXPECT_EQ(ReadWithImageMagick(path), argb.convertToFormat(QImage::Format_RGB888));
}

} // namespace
