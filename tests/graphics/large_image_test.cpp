// Images and buffers in memory of their own: usable as any QImage (copies detach,
// every pixel holds what was written), and where they are large, in memory the
// kernel was asked to give in huge pages, all of it.
#include "graphics/large_image.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// The flags of the mapping holding address, from /proc/self/smaps: a line naming
// a range starts each mapping, lines "Name: value" describe it.
QStringList MappingFlags(const void* address)
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    bool inside = false;
    for (QByteArray line = smaps.readLine(); !line.isEmpty(); line = smaps.readLine()) {
        const QByteArray first = line.split(' ').value(0);
        if (!first.endsWith(':')) {
            const QList<QByteArray> ends = first.split('-');
            inside = ends.size() == 2 && ends[0].toULongLong(nullptr, 16) <= at && at < ends[1].toULongLong(nullptr, 16);
        } else if (inside && first == "VmFlags:") {
            return QString::fromLatin1(line.mid(8).trimmed()).split(QLatin1Char(' '));
        }
    }
    return {};
}

// A kernel built without transparent huge pages refuses the advice: the memory
// is ordinary, and the images work all the same.
bool KernelHasHugePages()
{
    return QFile::exists(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
}

// The last byte of the 2 MiB page holding address.
const void* EndOfHugePage(const void* address)
{
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    return reinterpret_cast<const void*>((reinterpret_cast<std::uintptr_t>(address) | (kHuge - 1)));
}

TEST(LargeImage, BehavesAsAnImageAndLargeOnesLieInHugePages)
{
    struct Row {
        int width, height;
        QImage::Format format;
        bool large;
    } rows[] = {
        {300, 200, QImage::Format_RGB888, false},
        {1921, 1080, QImage::Format_RGB888, true}, // rows padded to four bytes
        {1000, 700, QImage::Format_ARGB32, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.width << "x" << row.height);
        QImage image = graphics::NewLargeImage(row.width, row.height, row.format);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(row.width, row.height));
        EXPECT_EQ(image.format(), row.format);
        EXPECT_EQ(image.bytesPerLine() % 4, 0);
        image.fill(QColor(10, 20, 30));
        image.setPixelColor(row.width - 1, row.height - 1, QColor(200, 100, 50));
        QImage copy = image;
        copy.setPixelColor(0, 0, QColor(1, 2, 3));
        EXPECT_EQ(image.pixelColor(0, 0), QColor(10, 20, 30));
        EXPECT_EQ(image.pixelColor(row.width - 1, row.height - 1), QColor(200, 100, 50));
        EXPECT_EQ(copy.pixelColor(0, 0), QColor(1, 2, 3));
        if (row.large && KernelHasHugePages()) {
            // The advice covers the first pixel, and the whole huge page of the last.
            EXPECT_TRUE(MappingFlags(image.constBits()).contains(QStringLiteral("hg")));
            EXPECT_TRUE(MappingFlags(EndOfHugePage(image.constBits() + image.sizeInBytes() - 1))
                            .contains(QStringLiteral("hg")));
        }
    }
    EXPECT_TRUE(graphics::NewLargeImage(0, 10, QImage::Format_RGB888).isNull());
    EXPECT_TRUE(graphics::NewLargeImage(10, -1, QImage::Format_RGB888).isNull());

    const graphics::LargeBuffer buffer(5 << 20);
    ASSERT_NE(buffer.data(), nullptr);
    EXPECT_EQ(buffer.data()[0], 0);
    EXPECT_EQ(buffer.data()[buffer.size() - 1], 0);
    if (KernelHasHugePages()) {
        EXPECT_TRUE(MappingFlags(EndOfHugePage(buffer.data() + buffer.size() - 1)).contains(QStringLiteral("hg")));
    }
    EXPECT_EQ(graphics::LargeBuffer(0).data(), nullptr);
    const graphics::LargeBuffer small(3000); // an encoded thumbnail's room: from the heap
    ASSERT_NE(small.data(), nullptr);
    EXPECT_EQ(small.size(), 3000u);
    EXPECT_EQ(small.data()[2999], 0);
}

} // namespace
