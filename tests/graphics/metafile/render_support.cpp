#include "graphics/metafile/render_support.h"

#include <QFile>
#include <QPainter>

#include <cstdlib>

namespace testing_metafile {

std::vector<std::uint8_t> ReadFileBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QByteArray bytes = f.readAll();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::shared_ptr<const graphics::Metafile> LoadBytes(const std::vector<std::uint8_t>& data, std::string* error)
{
    std::string e;
    auto m = graphics::Metafile::Load(data, e);
    if (error) *error = e;
    return m;
}

QImage Render(const graphics::Metafile& m, int width, int height, QColor background)
{
    return RenderInto(m, QSize(width, height), QRectF(0, 0, width, height), background);
}

QImage RenderInto(const graphics::Metafile& m, QSize size, const QRectF& target, QColor background)
{
    QImage image(size, QImage::Format_RGB888);
    image.fill(background);
    QPainter painter(&image);
    m.Play(painter, target);
    painter.end();
    return image;
}

Difference Compare(const QImage& a, const QImage& b)
{
    QImage x = a.convertToFormat(QImage::Format_RGB32);
    QImage y = b.convertToFormat(QImage::Format_RGB32);
    Difference d;
    if (x.size() != y.size() || x.isNull()) return {255, 1};
    double total = 0;
    long far = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const QRgb* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            int dr = std::abs(qRed(p[col]) - qRed(q[col]));
            int dg = std::abs(qGreen(p[col]) - qGreen(q[col]));
            int db = std::abs(qBlue(p[col]) - qBlue(q[col]));
            total += dr + dg + db;
            if (dr > 64 || dg > 64 || db > 64) ++far;
        }
    }
    double n = double(x.width()) * x.height();
    d.meanAbsolute = total / (3 * n);
    d.farShare = far / n;
    return d;
}

} // namespace testing_metafile
