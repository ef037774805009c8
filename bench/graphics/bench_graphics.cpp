// Drawing a large raster picture at the sizes every exposition asks for, and the
// JPEG and BMP codecs at screen size.
#include "graphics/bmp.h"
#include "graphics/jpeg.h"
#include "graphics/picture.h"
#include "graphics/stretch.h"

#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>

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

// The kernel alone as the composer calls it for a 1600 x 1200 picture on a 4K
// screen: args are the full target size, of which the middle 3840 x 2160 (or all
// of a smaller target) is drawn, in one call as Picture::Draw does.
void StretchKernel(benchmark::State& state)
{
    const QImage photo = Photo(1600, 1200);
    const int fullW = static_cast<int>(state.range(0));
    const int fullH = static_cast<int>(state.range(1));
    const int w = std::min(fullW, 3840);
    const int h = std::min(fullH, 2160);
    QImage canvas(w, h, QImage::Format_RGB888);
    const core::ConstPixelView src{photo.constBits(), photo.width(), photo.height(), photo.bytesPerLine()};
    const core::PixelView dst{canvas.bits(), w, h, canvas.bytesPerLine()};
    for (auto _ : state)
        graphics::StretchRgb(src, fullW, fullH, (fullW - w) / 2, (fullH - h) / 2, dst);
    benchmark::DoNotOptimize(canvas.constBits());
}
// Cover (enlargement), a framed picture slightly reduced, a small one.
BENCHMARK(StretchKernel)->Args({4096, 2304})->Args({1518, 1138})->Args({638, 479})->Unit(benchmark::kMillisecond);

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
