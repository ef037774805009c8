// Making a pack from 50 camera-sized pictures (24 megapixels, half JPEG, half PNG,
// made at start), by ambience-cli and by the usual shell pipeline: ImageMagick's
// convert for each picture (one process per picture) and zip -0. Each run's wall
// time and peak memory (of the largest process) are measured in a child process,
// and the ratio of the two is printed at the end.
//
//   build/bin/bench_packmaker [--pictures=N] [--benchmark_filter=...]
#include "graphics/jpeg.h"

#include <cstdlib>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int pictureCount = 50;
constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

QTemporaryDir* work = nullptr;
QString Pictures() { return work->path() + "/pictures"; }

double ourSeconds = 0;
double theirSeconds = 0;
long ourPeakKb = 0;
long theirPeakKb = 0;

// Smooth colour fields with fine grain, as a photograph has: the grain keeps the
// PNG files realistic in size and decoding cost.
QImage CameraPicture(unsigned seed)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB888);
    std::mt19937 random(seed);
    const int phase = static_cast<int>(random() % 360);
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* row = image.scanLine(y);
        for (int x = 0; x < kWidth; ++x) {
            const unsigned grain = random();
            row[3 * x] = static_cast<std::uint8_t>(((x + phase) * 255 / kWidth) ^ (grain & 7));
            row[3 * x + 1] = static_cast<std::uint8_t>((y * 255 / kHeight) + ((grain >> 3) & 7));
            row[3 * x + 2] = static_cast<std::uint8_t>(((x + y) >> 6) + ((grain >> 6) & 7));
        }
    }
    return image;
}

void MakePictures()
{
    QDir().mkpath(Pictures());
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([t] {
            for (int i = t; i < pictureCount; i += 2) {
                const QImage image = CameraPicture(static_cast<unsigned>(i));
                const QString base = Pictures() + QStringLiteral("/%1 - Picture %1 - Camera").arg(i + 1, 2, 10, QLatin1Char('0'));
                if (i % 2 == 0) {
                    if (!graphics::SaveJpeg(image, base + ".jpg", 92).ok())
                        std::abort(); // no pictures, no measurement
                } else {
                    QImageWriter writer(base + ".png", "png");
                    writer.setCompression(1); // as a camera's raw converter would: fast
                    writer.write(image);
                }
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
}

// Runs argv to its end; wall seconds, and the child's peak resident size in KiB.
bool RunChild(const std::vector<std::string>& argv, double& seconds, long& peakKb)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        if (!std::freopen("/dev/null", "w", stdout))
            _exit(126);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return false;
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    peakKb = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void AmbienceCli(benchmark::State& state)
{
    const std::string out = (work->path() + "/ambience.zip").toStdString();
    for (auto _ : state) {
        QFile::remove(QString::fromStdString(out));
        double seconds = 0;
        long peak = 0;
        if (!RunChild({AMBIENCE_CLI, "pack", "make", Pictures().toStdString(), "--name", "Bench", "--out", out},
                      seconds, peak)) {
            state.SkipWithError("ambience-cli pack make failed");
            return;
        }
        state.SetIterationTime(seconds);
        ourSeconds = seconds;
        ourPeakKb = peak;
    }
    state.counters["peak_MB"] = static_cast<double>(ourPeakKb) / 1024.0;
    state.counters["pictures"] = pictureCount;
}

void ImageMagickAndZip(benchmark::State& state)
{
    const QString jpegs = work->path() + "/magick";
    for (auto _ : state) {
        QDir(jpegs).removeRecursively();
        QDir().mkpath(jpegs);
        double total = 0;
        long peak = 0;
        const QStringList files = QDir(Pictures()).entryList(QDir::Files, QDir::Name);
        for (const QString& file : files) {
            double seconds = 0;
            long kb = 0;
            const std::string target = (jpegs + "/" + QFileInfo(file).completeBaseName() + ".jpg").toStdString();
            if (!RunChild({"convert", (Pictures() + "/" + file).toStdString(), "-resize", "4096x4096>", "-quality", "92",
                           target},
                          seconds, kb)) {
                state.SkipWithError("convert failed");
                return;
            }
            total += seconds;
            peak = std::max(peak, kb);
        }
        double seconds = 0;
        long kb = 0;
        // zip -0 from inside the folder, so the entries carry no folder.
        const std::string script = "cd '" + jpegs.toStdString() + "' && exec zip -q -0 ../magick.zip *.jpg";
        QFile::remove(work->path() + "/magick.zip");
        if (!RunChild({"sh", "-c", script}, seconds, kb)) {
            state.SkipWithError("zip failed");
            return;
        }
        total += seconds;
        peak = std::max(peak, kb);
        state.SetIterationTime(total);
        theirSeconds = total;
        theirPeakKb = peak;
    }
    state.counters["peak_MB"] = static_cast<double>(theirPeakKb) / 1024.0;
    state.counters["pictures"] = pictureCount;
}

BENCHMARK(AmbienceCli)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(ImageMagickAndZip)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--pictures=", 11) == 0)
            pictureCount = std::max(1, std::atoi(argv[i] + 11));
        else
            args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&count, args.data());
    QTemporaryDir dir;
    work = &dir;
    std::fprintf(stderr, "Making %d pictures of %d x %d in %s ...\n", pictureCount, kWidth, kHeight,
                 qPrintable(dir.path()));
    MakePictures();
    benchmark::RunSpecifiedBenchmarks();
    if (ourSeconds > 0 && theirSeconds > 0)
        std::printf("\nambience-cli pack make: %.1f s, peak %.0f MB; convert + zip -0: %.1f s, peak %.0f MB; "
                    "ambience-cli is %.2fx as fast\n",
                    ourSeconds, ourPeakKb / 1024.0, theirSeconds, theirPeakKb / 1024.0, theirSeconds / ourSeconds);
    benchmark::Shutdown();
    return 0;
}
