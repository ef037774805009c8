// ambience_icon_render SVG OUT.png SIZE: draws the application icon at one size of
// the icon theme's, so every size comes from the one drawing.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    bool ok = false;
    const int size = args.size() == 4 ? args[3].toInt(&ok) : 0;
    if (!ok || size < 1 || size > 1024) {
        std::fprintf(stderr, "usage: ambience_icon_render SVG OUT.png SIZE\n");
        return 2;
    }
    QSvgRenderer svg(args[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "ambience_icon_render: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    if (!image.save(args[2], "PNG")) {
        std::fprintf(stderr, "ambience_icon_render: cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
