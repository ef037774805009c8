// Development aid: renders a metafile to a PNG to look at.
//   metafile_render IN OUT.png [WIDTH HEIGHT]
#include "graphics/metafile/render_support.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: metafile_render IN OUT.png [WIDTH HEIGHT]\n");
        return 2;
    }
    std::string error;
    auto m = testing_metafile::LoadBytes(testing_metafile::ReadFileBytes(argv[1]), &error);
    if (!m) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    int w = argc > 4 ? std::atoi(argv[3]) : m->Width();
    int h = argc > 4 ? std::atoi(argv[4]) : m->Height();
    std::printf("%s: %s %d x %d, %zu records\n", argv[1], m->IsEnhanced() ? "EMF" : "WMF", m->Width(), m->Height(),
                m->RecordCount());
    return testing_metafile::Render(*m, w, h).save(argv[2]) ? 0 : 1;
}
