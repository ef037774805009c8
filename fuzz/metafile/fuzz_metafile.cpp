// Feeds arbitrary bytes to the EMF/WMF loader and plays what loads into a small image:
// loading must give a metafile or an error text, and playing must stay inside the data.
#include "graphics/metafile/metafile.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Text records need the font database, which needs an application object.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string error;
    auto m = graphics::Metafile::Load(std::vector<std::uint8_t>(data, data + size), error);
    if (!m) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (m->Width() <= 0 || m->Height() <= 0) std::abort();
    QImage image(32, 32, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter painter(&image);
    m->Play(painter, QRectF(0, 0, 32, 32));
    return 0;
}
