#include "image_tools.h"

#include "support/temp_env.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

std::vector<std::uint8_t> EncodeWithLibjpeg(const QImage& image, int quality, int hSampling, int vSampling,
                                            int restartRows)
{
    const bool grey = image.format() == QImage::Format_Grayscale8;
    jpeg_compress_struct c;
    jpeg_error_mgr e;
    c.err = jpeg_std_error(&e);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = JDIMENSION(image.width());
    c.image_height = JDIMENSION(image.height());
    c.input_components = grey ? 1 : 3;
    c.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    c.comp_info[0].h_samp_factor = hSampling;
    c.comp_info[0].v_samp_factor = vSampling;
    c.restart_in_rows = restartRows;
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.constScanLine(int(c.next_scanline)));
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

std::vector<std::uint8_t> ReadBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray b = f.readAll();
    return {b.begin(), b.end()};
}

std::vector<std::uint8_t> ReadTestFile(const QString& name)
{
    return ReadBytes(TestDataDir() + QStringLiteral("/graphics/") + name);
}

void WriteBytes(const QString& path, const std::vector<std::uint8_t>& data)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(reinterpret_cast<const char*>(data.data()), static_cast<qint64>(data.size()));
}

double MeanDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    if (x.size() != y.size() || x.isNull())
        return 1e9;
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i)
            sum += std::abs(int(p[i]) - int(q[i]));
    }
    return sum / (double(x.width()) * x.height() * 3);
}

bool HaveImageMagick()
{
    return !QStandardPaths::findExecutable(QStringLiteral("convert")).isEmpty();
}

QImage ReadWithImageMagick(const QString& path)
{
    // "-depth 8 ppm:-" gives a binary PPM that Qt reads without any of our code.
    QProcess p;
    p.start(QStringLiteral("convert"), {path, QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("ppm:-")});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    QImage image;
    image.loadFromData(p.readAllStandardOutput(), "PPM");
    return image.convertToFormat(QImage::Format_RGB888);
}

// A placeable Windows metafile of 100 x 100 units at 96 units an inch that fills
// only its left half with red, without an outline.
std::vector<std::uint8_t> HalfRedWmf()
{
    std::vector<std::uint8_t> b;
    auto u16 = [&](int v) {
        b.push_back(std::uint8_t(v & 0xFF));
        b.push_back(std::uint8_t((v >> 8) & 0xFF));
    };
    auto u32 = [&](std::uint32_t v) {
        u16(int(v & 0xFFFF));
        u16(int(v >> 16));
    };
    // Placeable header: key, handle, bounds, units per inch, reserved, checksum.
    const int words[] = {0xCDD7, 0x9AC6, 0, 0, 0, 100, 100, 96, 0, 0};
    int checksum = 0;
    for (int w : words) {
        u16(w);
        checksum ^= w;
    }
    u16(checksum);
    const std::size_t header = b.size();
    // Records after the 9-word header: window org (5), window ext (5), brush (7),
    // select (4), null pen (8), select (4), rectangle (7), end (3).
    const std::uint32_t total = 9 + 5 + 5 + 7 + 4 + 8 + 4 + 7 + 3;
    u16(1), u16(9), u16(0x0300), u32(total), u16(2), u32(8), u16(0);
    u32(5), u16(0x020B), u16(0), u16(0);     // SETWINDOWORG y, x
    u32(5), u16(0x020C), u16(100), u16(100); // SETWINDOWEXT y, x
    u32(7), u16(0x02FC), u16(0), u32(0x000000FF), u16(0); // solid red brush
    u32(4), u16(0x012D), u16(0);
    u32(8), u16(0x02FA), u16(5), u16(0), u16(0), u32(0); // null pen
    u32(4), u16(0x012D), u16(1);
    u32(7), u16(0x041B), u16(100), u16(50), u16(0), u16(0); // RECTANGLE bottom, right, top, left
    u32(3), u16(0);
    Q_ASSERT(b.size() - header == total * 2);
    (void)header;
    return b;
}
