// expo_shots OUTDIR PICTURE...: composes one exposition of each picture (JPEG,
// EMF or WMF) per background type, picture orientation and picture size, as PNG
// files in OUTDIR, to be looked at. Colours are seeded, so two runs agree.
#include "compose/captions.h"
#include "compose/expo.h"
#include "core/random.h"
#include "graphics/picture_loader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: expo_shots OUTDIR PICTURE...\n");
        return 2;
    }
    const QString folder = args.first();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "expo_shots: cannot make %s\n", qPrintable(folder));
        return 1;
    }
    const compose::PictureCaption caption{QStringLiteral("Harbour at Dawn"), QStringLiteral("A. Painter"), 1901};
    int n = 0;
    for (const QString& path : args.mid(1)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "expo_shots: cannot read %s\n", qPrintable(path));
            return 1;
        }
        const QByteArray bytes = file.readAll();
        std::string error;
        const QString extension = QStringLiteral(".") + QFileInfo(path).suffix().toLower();
        const graphics::Picture picture = graphics::LoadPictureData(
            std::vector<std::uint8_t>(bytes.begin(), bytes.end()), extension.toStdString(), error);
        if (picture.IsEmpty()) {
            std::fprintf(stderr, "expo_shots: %s: %s\n", qPrintable(path), error.c_str());
            return 1;
        }
        const QString stem = QFileInfo(path).completeBaseName();
        for (int background = 0; background <= 4; ++background)
            for (int orientation = 0; orientation <= 2; ++orientation)
                for (int size = 0; size <= 3; ++size) {
                    SeedRandom(100 + n++);
                    compose::ExpoSettings settings;
                    settings.BackgroundType = background;
                    settings.PictureOrientation = orientation;
                    settings.PictureSize = size;
                    settings.ColorLightness = settings::ColorLightness::Random;
                    settings.ColorSaturation = settings::ColorSaturation::Random;
                    TExpo expo(&picture, &caption, {}, QSize(1280, 800), QRect(0, 0, 1280, 772), settings);
                    if (!expo.Compose().ok())
                        return 1;
                    const QString out =
                        QStringLiteral("%1/%2-b%3-o%4-s%5.png").arg(folder, stem).arg(background).arg(orientation).arg(size);
                    if (!expo.Exposition().save(out)) {
                        std::fprintf(stderr, "expo_shots: cannot write %s\n", qPrintable(out));
                        return 1;
                    }
                }
    }
    std::printf("%d expositions in %s\n", n, qPrintable(folder));
    return 0;
}
