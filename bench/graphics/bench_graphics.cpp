// Drawing a large raster picture at the sizes every exposition asks for, and the
// JPEG and BMP codecs at screen size.
#include "graphics/bmp.h"
#include "graphics/jpeg.h"
#include "graphics/picture.h"

#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

QImage Photo(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
        uchar* p = img.scanLine(y);
        for (int x = 0; x < w; ++x) {
            p[x * 3] = static_cast<uchar>(x * 7 + y);
            p[x * 3 + 1] = static_cast<uchar>(y * 3 ^ x);
            p[x * 3 + 2] = static_cast<uchar>((x * y) >> 5);
        }
    }
    return img;
}

// A 3000 x 2000 picture drawn into a canvas of 3840 x 2160: args are the target
// width and height, centred on the canvas (4000 x 2300 is the cover size of a
// 4K screen, reaching past its edges).
void DrawRaster(benchmark::State& state)
{
    const auto picture = graphics::Picture::FromImage(Photo(3000, 2000));
    QImage canvas(3840, 2160, QImage::Format_RGB888);
    canvas.fill(Qt::black);
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    const QRect target((3840 - w) / 2, (2160 - h) / 2, w, h);
    for (auto _ : state) {
        QPainter p(&canvas);
        picture.Draw(p, target);
    }
}
BENCHMARK(DrawRaster)->Args({4000, 2300})->Args({1000, 700})->Args({145, 97})->Unit(benchmark::kMillisecond);

// Qt's own smooth scaling of the same picture, for comparison.
void QtSmoothScale(benchmark::State& state)
{
    const QImage photo = Photo(3000, 2000);
    for (auto _ : state)
        benchmark::DoNotOptimize(photo.scaled(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                                              Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}
BENCHMARK(QtSmoothScale)->Args({4000, 2300})->Args({1000, 700})->Unit(benchmark::kMillisecond);

void DecodeJpeg3000x2000(benchmark::State& state)
{
    std::vector<std::uint8_t> bytes;
    std::string error;
    graphics::EncodeJpeg(Photo(3000, 2000), 90, bytes, error);
    for (auto _ : state)
        benchmark::DoNotOptimize(graphics::DecodeJpeg(bytes));
}
BENCHMARK(DecodeJpeg3000x2000)->Unit(benchmark::kMillisecond);

void EncodeScreen(benchmark::State& state)
{
    const QImage screen = Photo(3840, 2160);
    std::vector<std::uint8_t> bytes;
    std::string error;
    for (auto _ : state) {
        if (state.range(0) == 0)
            graphics::EncodeBmp(screen, bytes, error);
        else
            graphics::EncodeJpeg(screen, 90, bytes, error);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(EncodeScreen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
