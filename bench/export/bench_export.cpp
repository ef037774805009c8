// Exporting an exposition of a 3000 x 2000 picture as a whole process, as a user's
// script or key binding runs it: ambience-cli export at 3840 x 2160 and at
// 1920 x 1080, beside an ImageMagick pipeline that makes a comparable picture
// (a gradient, the picture reduced, framed and centred, a caption, JPEG at 90).
// Each run is a child process timed on the wall clock; the quickest of the
// repetitions counts, and the ratios are printed at the end.
//
//   build/bin/bench_export [--benchmark_filter=...]
#include "graphics/jpeg.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

QTemporaryDir* work = nullptr;
std::map<std::string, double> quickest; // seconds by benchmark name

QString Path(const char* name) { return work->path() + QLatin1Char('/') + QLatin1String(name); }

// Runs argv with the private folders; false when it failed. seconds: wall time.
bool RunChild(const std::vector<std::string>& argv, double& seconds)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const std::string home = work->path().toStdString();
        setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr))
            _exit(126);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return false;
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A photograph-like picture: smooth colour fields with grain.
void MakePicture()
{
    QImage image(3000, 2000, QImage::Format_RGB888);
    std::mt19937 random(7);
    for (int y = 0; y < image.height(); ++y) {
        std::uint8_t* row = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const unsigned grain = random();
            // Each field stays below 256 with its grain added: a channel that wrapped
            // round would draw a band of noise no photograph has.
            row[3 * x] = static_cast<std::uint8_t>((x * 255 / 3000) ^ (grain & 7));
            row[3 * x + 1] = static_cast<std::uint8_t>((y * 248 / 2000) + ((grain >> 3) & 7));
            row[3 * x + 2] = static_cast<std::uint8_t>(((x + y) >> 5) + ((grain >> 6) & 7));
        }
    }
    QDir().mkpath(Path("pictures"));
    if (const auto written = graphics::SaveJpeg(image, Path("pictures") + "/1 - 1889 - Wheat Field - Painter.jpg", 92);
        !written.ok())
        throw std::runtime_error(written.error().text);
}

void Measure(benchmark::State& state, const std::string& name, const std::vector<std::string>& argv)
{
    double best = 1e9;
    for (auto _ : state) {
        double seconds = 0;
        if (!RunChild(argv, seconds)) {
            state.SkipWithError((name + " failed").c_str());
            return;
        }
        state.SetIterationTime(seconds);
        best = std::min(best, seconds);
    }
    quickest[name] = best;
    state.counters["quickest_ms"] = best * 1000.0;
}

std::vector<std::string> Ambience(const char* size)
{
    return {AMBIENCE_CLI, "export", Path("out.jpg").toStdString(), "--size", size, "--pack", "bench.zip",
            "--picture", "1", "--seed", "1"};
}

std::vector<std::string> Magick(int width, int height)
{
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string picture = std::to_string(width * 5 / 8) + "x" + std::to_string(height * 5 / 8);
    return {"convert", "-size", size, "gradient:#3a4a66-#c8b89a", "(",
            (Path("pictures") + "/1 - 1889 - Wheat Field - Painter.jpg").toStdString(), "-resize", picture,
            "-bordercolor", "#1e1e1e", "-border", std::to_string(width / 160), ")", "-gravity", "center",
            "-composite", "-fill", "#e0e0e0", "-pointsize", std::to_string(height / 70), "-annotate",
            "+0+" + std::to_string(height * 3 / 8), "Wheat Field (1889, Painter)", "-quality", "90",
            Path("magick.jpg").toStdString()};
}

void Export4K(benchmark::State& state) { Measure(state, "ambience 3840x2160", Ambience("3840x2160")); }
void Export1080(benchmark::State& state) { Measure(state, "ambience 1920x1080", Ambience("1920x1080")); }
void Magick4K(benchmark::State& state) { Measure(state, "imagemagick 3840x2160", Magick(3840, 2160)); }
void Magick1080(benchmark::State& state) { Measure(state, "imagemagick 1920x1080", Magick(1920, 1080)); }

BENCHMARK(Export4K)->UseManualTime()->Iterations(6)->Unit(benchmark::kMillisecond);
BENCHMARK(Magick4K)->UseManualTime()->Iterations(6)->Unit(benchmark::kMillisecond);
BENCHMARK(Export1080)->UseManualTime()->Iterations(6)->Unit(benchmark::kMillisecond);
BENCHMARK(Magick1080)->UseManualTime()->Iterations(6)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    work = &dir;
    MakePicture();
    double seconds = 0;
    if (!RunChild({AMBIENCE_CLI, "pack", "make", Path("pictures").toStdString(), "--name", "Bench", "--out",
                   Path("bench.zip").toStdString()},
                  seconds)) {
        std::fprintf(stderr, "the pack could not be made\n");
        return 1;
    }
    if (!RunChild({AMBIENCE_CLI, "install", Path("bench.zip").toStdString()}, seconds)) {
        std::fprintf(stderr, "the pack could not be installed\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const char* size : {"3840x2160", "1920x1080"}) {
        const auto ours = quickest.find(std::string("ambience ") + size);
        const auto theirs = quickest.find(std::string("imagemagick ") + size);
        if (ours != quickest.end() && theirs != quickest.end() && theirs->second > 0)
            std::printf("%s: ambience-cli %.0f ms, ImageMagick %.0f ms, ratio %.3f\n", size, ours->second * 1000,
                        theirs->second * 1000, ours->second / theirs->second);
    }
    return 0;
}
