// Compositions at 1920x1080 and 3840x2160 for each background type, with a raster
// picture and with a metafile, each with the fast passes and with the reference
// passes; the reference's time divided by the fast one's is printed at the end.
//
//   bench_compose [--metafile FILE.emf] [benchmark options]
#include "core/product.h"
#include "core/random.h"
#include "compose/expo.h"
#include "compose/kernel_support.h"
#include "compose/reference_kernels.h"
#include "compose/test_pictures.h"
#include "graphics/metafile/metafile.h"
#include "graphics/picture.h"
#include "compose/captions.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

graphics::Picture gRaster;
graphics::Picture gMetafile;
std::map<std::string, double> gSeconds; // by benchmark name

// Smooth fields with a few bits of grain in each channel, as a photograph has.
QImage GrainyImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    unsigned state = 12345;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* p = image.scanLine(y);
        for (int x = 0; x < width; ++x, p += 3) {
            state = state * 1664525u + 1013904223u;
            p[0] = std::uint8_t(x * 247 / width + ((state >> 24) & 7));
            p[1] = std::uint8_t(y * 247 / height + ((state >> 20) & 7));
            p[2] = std::uint8_t(((x + y) >> 5) % 200 + ((state >> 16) & 7));
        }
    }
    return image;
}

const char* const BackgroundNames[] = {"Original", "Shaded", "Embossed", "Smoothed", "Solid"};

void Compose(benchmark::State& state, const graphics::Picture* picture, int width, int height, int background,
             bool reference)
{
    compose::ExpoSettings settings;
    settings.BackgroundType = background;
    settings.PictureOrientation = 2; // collage: two pictures, two frames
    settings.PictureSize = 1;
    const compose::PictureCaption record{"Harbour at Dawn", "A. Painter", 1901};
    for (auto _ : state) {
        SeedRandom(42);
        TExpo expo(picture, &record, {}, QSize(width, height), QRect(0, 0, width, height - 30), settings);
        if (reference)
            expo.UseKernels(reference::Kernels());
        benchmark::DoNotOptimize(expo.Compose().ok());
    }
}

void Register(const char* kind, const graphics::Picture* picture)
{
    for (auto [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}})
        for (int background = 0; background < 5; ++background)
            for (bool reference : {false, true}) {
                const std::string name = std::string(kind) + "/" + BackgroundNames[background] + "/" + std::to_string(w)
                    + "x" + std::to_string(h) + (reference ? "/reference" : "/fast");
                benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& s) {
                    Compose(s, picture, w, h, background, reference);
                })->Unit(benchmark::kMillisecond)->MinTime(reference ? 0.5 : 1.0)->MeasureProcessCPUTime()->UseRealTime();
            }
}

// The passes one by one at 3840x2160, to see where a composition's time goes.
void RegisterPasses()
{
    using namespace compose;
    const int W = 3840, H = 2160;
    const GradientShape shape{Rgb(40, 50, 70), Rgb(110, 120, 150), 0.4, 0.6, H};
    for (bool reference : {false, true}) {
        const ExpoKernels k = reference ? reference::Kernels() : ExpoKernels{};
        const std::string suffix = reference ? "/reference" : "/fast";
        benchmark::RegisterBenchmark(("pass/gradient" + suffix).c_str(), [=](benchmark::State& s) {
            QImage image(W, H, QImage::Format_RGB888);
            for (auto _ : s)
                k.PaintGradient(ViewOf(image), shape, {});
        })->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
        benchmark::RegisterBenchmark(("pass/smoothed-filter" + suffix).c_str(), [=](benchmark::State& s) {
            QImage image = MakePainting(W, H);
            for (auto _ : s) {
                s.PauseTiming();
                QImage work = image;
                work.detach();
                s.ResumeTiming();
                k.FilterBackground(ViewOf(work), CoverRect(W, H), shape, {4, 48, true, true}, {});
            }
        })->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
        benchmark::RegisterBenchmark(("pass/smoothed-filter-noise" + suffix).c_str(), [=](benchmark::State& s) {
            QImage image = NoiseImage(W, H, 1);
            for (auto _ : s) {
                s.PauseTiming();
                QImage work = image;
                work.detach();
                s.ResumeTiming();
                k.FilterBackground(ViewOf(work), CoverRect(W, H), shape, {4, 48, true, true}, {});
            }
        })->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
        benchmark::RegisterBenchmark(("pass/frame" + suffix).c_str(), [=](benchmark::State& s) {
            QImage image = MakePainting(W, H);
            for (auto _ : s)
                k.DarkenFrame(ViewOf(image), TRect{900, 500, 2900, 1700}, 130, 52, {});
        })->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
        // A photograph's grain: hardly two neighbours of the same colour.
        benchmark::RegisterBenchmark(("pass/frame-grain" + suffix).c_str(), [=](benchmark::State& s) {
            const QImage original = GrainyImage(W, H);
            for (auto _ : s) {
                s.PauseTiming();
                QImage image = original;
                image.detach();
                s.ResumeTiming();
                k.DarkenFrame(ViewOf(image), TRect{720, 405, 3120, 2005}, 163, 65, {});
            }
        })->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
    }
    benchmark::RegisterBenchmark("pass/draw-cover-picture", [=](benchmark::State& s) {
        QImage image(W, H, QImage::Format_RGB888);
        const TRect r = CoverRect(W, H);
        for (auto _ : s) {
            QPainter painter(&image);
            gRaster.Draw(painter, QRect(r.left, r.top, r.Width(), r.Height()));
        }
    })->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
}

// Keeps each run's time per iteration so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                // Names carry options after the variant ("/fast/min_time:1.000/..."): cut them.
                std::string name = run.benchmark_name();
                for (const char* variant : {"/fast", "/reference"}) {
                    const auto at = name.find(variant);
                    if (at != std::string::npos)
                        name = name.substr(0, at + std::string(variant).size());
                }
                gSeconds[name] = run.GetAdjustedRealTime();
            }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QString metafilePath = QStringLiteral(AMBIENCE_SOURCE_DIR "/tests/data/metafile/real/inkscape.emf");
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--metafile" && i + 1 < argc)
            metafilePath = QString::fromLocal8Bit(argv[++i]);
        else
            rest.push_back(argv[i]);
    }
    int restCount = static_cast<int>(rest.size());

    gRaster = graphics::Picture::FromImage(MakePainting(1600, 1200));
    QFile file(metafilePath);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        std::string error;
        if (auto metafile = graphics::Metafile::Load({bytes.begin(), bytes.end()}, error))
            gMetafile = graphics::Picture::FromMetafile(metafile);
        else
            std::fprintf(stderr, "metafile %s not usable (%s): raster pictures only\n", qPrintable(metafilePath), error.c_str());
    }

    RegisterPasses();
    Register("raster", &gRaster);
    if (!gMetafile.IsEmpty())
        Register("metafile", &gMetafile);

    benchmark::Initialize(&restCount, rest.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-36s %12s %12s %8s\n", "composition", "fast ms", "reference ms", "ratio");
    for (const auto& [name, seconds] : gSeconds) {
        const auto slash = name.rfind("/fast");
        if (slash == std::string::npos)
            continue;
        const std::string base = name.substr(0, slash);
        const auto ref = gSeconds.find(base + "/reference");
        if (ref == gSeconds.end())
            continue;
        std::printf("%-36s %12.1f %12.1f %7.1fx\n", base.c_str(), seconds, ref->second, ref->second / seconds);
    }
    benchmark::Shutdown();
    return 0;
}
