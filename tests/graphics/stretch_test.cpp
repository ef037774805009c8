// The resampling kernel against a straightforward floating-point version of the
// same filters (area average for reductions, linear for enlargements).
#include "graphics/stretch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace {

struct Buffer {
    int width, height;
    std::vector<std::uint8_t> px;
    Buffer(int w, int h) : width(w), height(h), px(static_cast<std::size_t>(w) * h * 3 + 7) {}
    // Stride with a few spare bytes, as QImage rows may have.
    std::ptrdiff_t stride() const { return width * 3 + 1; }
    std::uint8_t& at(int x, int y, int c) { return px[static_cast<std::size_t>(y * stride() + x * 3 + c)]; }
    core::ConstPixelView view() const { return {px.data(), width, height, stride()}; }
    core::PixelView view() { return {px.data(), width, height, stride()}; }
};

Buffer MakeBuffer(int w, int h)
{
    Buffer b(w, h);
    b.px.resize(static_cast<std::size_t>(b.stride()) * h);
    return b;
}

// Weights of one axis: the source pixels covering target position o.
std::vector<std::pair<int, double>> OracleWeights(int src, int full, int o)
{
    std::vector<std::pair<int, double>> w;
    const double scale = double(src) / full;
    if (scale >= 1.0) {
        const double a = o * scale, b = (o + 1) * scale;
        for (int i = 0; i < src; ++i) {
            const double cover = std::min<double>(b, i + 1) - std::max<double>(a, i);
            if (cover > 0)
                w.push_back({i, cover / scale});
        }
    } else {
        const double c = std::clamp((o + 0.5) * scale - 0.5, 0.0, src - 1.0);
        const int i = int(std::floor(c));
        const double f = c - i;
        w.push_back({i, 1 - f});
        if (i + 1 < src)
            w.push_back({i + 1, f});
    }
    return w;
}

Buffer Oracle(const Buffer& src, int fullW, int fullH, int left, int top, int w, int h)
{
    Buffer out = MakeBuffer(w, h);
    for (int y = 0; y < h; ++y) {
        const auto wy = OracleWeights(src.height, fullH, top + y);
        for (int x = 0; x < w; ++x) {
            const auto wx = OracleWeights(src.width, fullW, left + x);
            for (int c = 0; c < 3; ++c) {
                double v = 0;
                for (auto [sy, fy] : wy)
                    for (auto [sx, fx] : wx)
                        v += fy * fx * const_cast<Buffer&>(src).at(sx, sy, c);
                out.at(x, y, c) = std::uint8_t(std::clamp(std::lround(v), 0L, 255L));
            }
        }
    }
    return out;
}

Buffer Noise(int w, int h, unsigned seed)
{
    Buffer b = MakeBuffer(w, h);
    std::mt19937 gen(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                b.at(x, y, c) = std::uint8_t(gen() & 0xFF);
    return b;
}

int MaxDifference(Buffer& a, Buffer& b)
{
    int worst = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(int(a.at(x, y, c)) - int(b.at(x, y, c))));
    return worst;
}

struct Case {
    int srcW, srcH, fullW, fullH, left, top, w, h;
};

TEST(StretchRgb, MatchesTheFloatingPointFiltersWithinOneLevel)
{
    const Case cases[] = {
        {40, 30, 40, 30, 0, 0, 40, 30},   // same size: a copy
        {97, 61, 13, 9, 0, 0, 13, 9},     // strong reduction, uneven ratio
        {64, 48, 17, 31, 0, 0, 17, 31},   // reduction in x, reduction in y by a fraction
        {10, 7, 53, 29, 0, 0, 53, 29},    // enlargement
        {50, 10, 20, 35, 0, 0, 20, 35},   // reduction in x, enlargement in y
        {80, 60, 200, 150, 37, 51, 90, 60}, // a window inside an enlargement
        {300, 200, 70, 45, 20, 5, 30, 25},  // a window inside a reduction
        {1, 1, 9, 4, 0, 0, 9, 4},           // a single pixel
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.srcW << "x" << k.srcH << " -> " << k.fullW << "x" << k.fullH << " @"
                                        << k.left << "," << k.top);
        const Buffer src = Noise(k.srcW, k.srcH, unsigned(k.srcW * 31 + k.fullW));
        Buffer fast = MakeBuffer(k.w, k.h);
        graphics::StretchRgb(src.view(), k.fullW, k.fullH, k.left, k.top, fast.view());
        Buffer slow = Oracle(src, k.fullW, k.fullH, k.left, k.top, k.w, k.h);
        EXPECT_LE(MaxDifference(fast, slow), 1);
    }
}

// Random sizes reach every way through the kernel: either pass first, two to
// many taps, sources narrower than a set of taps, edges held. A window must also
// equal that part of the whole picture exactly, as bands drawn by different
// threads and parts clipped by the canvas rely on.
TEST(StretchRgb, RandomSizesMatchTheFiltersAndEveryWindowMatchesTheWhole)
{
    std::mt19937 gen(7);
    const auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    for (int round = 0; round < 120; ++round) {
        const int srcW = between(1, 40), srcH = between(1, 40);
        const int fullW = between(1, 90), fullH = between(1, 90);
        SCOPED_TRACE(testing::Message() << srcW << "x" << srcH << " -> " << fullW << "x" << fullH);
        const Buffer src = Noise(srcW, srcH, unsigned(round));
        Buffer whole = MakeBuffer(fullW, fullH);
        graphics::StretchRgb(src.view(), fullW, fullH, 0, 0, whole.view());
        Buffer slow = Oracle(src, fullW, fullH, 0, 0, fullW, fullH);
        ASSERT_LE(MaxDifference(whole, slow), 1);

        const int left = between(0, fullW - 1), top = between(0, fullH - 1);
        const int w = between(1, fullW - left), h = between(1, fullH - top);
        Buffer part = MakeBuffer(w, h);
        graphics::StretchRgb(src.view(), fullW, fullH, left, top, part.view());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(part.at(x, y, c), whole.at(left + x, top + y, c))
                        << "window " << left << "," << top << " " << w << "x" << h << " at " << x << "," << y;
    }
}

TEST(StretchRgb, AveragesAFineCheckerboardToGreyAndKeepsFlatColoursExact)
{
    Buffer board = MakeBuffer(200, 120);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 200; ++x)
            for (int c = 0; c < 3; ++c)
                board.at(x, y, c) = (x + y) % 2 ? 255 : 0;
    Buffer out = MakeBuffer(37, 23);
    graphics::StretchRgb(std::as_const(board).view(), 37, 23, 0, 0, out.view());
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            EXPECT_NEAR(out.at(x, y, 1), 127.5, 8) << x << "," << y;

    Buffer flat = MakeBuffer(33, 17);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 33; ++x) {
            flat.at(x, y, 0) = 201;
            flat.at(x, y, 1) = 7;
            flat.at(x, y, 2) = 255;
        }
    for (auto [w, h] : {std::pair{5, 3}, std::pair{77, 41}}) {
        Buffer o = MakeBuffer(w, h);
        graphics::StretchRgb(std::as_const(flat).view(), w, h, 0, 0, o.view());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(o.at(x, y, 0), 201);
                ASSERT_EQ(o.at(x, y, 1), 7);
                ASSERT_EQ(o.at(x, y, 2), 255);
            }
    }
}

TEST(StretchRgb, LeavesTheTargetAloneForAWindowOutsideThePicture)
{
    const Buffer src = Noise(8, 8, 1);
    Buffer out = MakeBuffer(4, 4);
    std::fill(out.px.begin(), out.px.end(), 0xAB);
    graphics::StretchRgb(src.view(), 10, 10, 8, 0, out.view()); // 8 + 4 > 10
    graphics::StretchRgb(src.view(), 0, 10, 0, 0, out.view());
    EXPECT_TRUE(std::all_of(out.px.begin(), out.px.end(), [](std::uint8_t v) { return v == 0xAB; }));
}

} // namespace
