// A process that writes changes of two monitors to a record of the wall as fast as
// it can, printing each change's number once it is committed: the test kills it
// in the middle of its writing.
#include "gallery/wall_record.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3)
        return 2;
    auto record = gallery::WallRecord::Open(QString::fromLocal8Bit(argv[1]));
    if (!record.ok()) {
        std::fprintf(stderr, "%s\n", record.error().text.c_str());
        return 1;
    }
    QImage picture(400, 300, QImage::Format_RGB888);
    picture.fill(Qt::darkMagenta);
    const int count = std::atoi(argv[2]);
    for (int i = 0; i < count; ++i) {
        gallery::WallEntry left, right;
        left.monitor = "LEFT";
        right.monitor = "RIGHT";
        right.primary = false;
        left.packFile = right.packFile = "pack.zip";
        left.entry = QString::number(i);
        right.entry = QString::number(i + 1);
        const auto added = (*record)->Add({left, right}, {picture, picture});
        if (!added.ok()) {
            std::fprintf(stderr, "%s\n", added.error().text.c_str());
            return 1;
        }
        std::printf("%lld\n", static_cast<long long>(*added));
        std::fflush(stdout);
    }
    return 0;
}
