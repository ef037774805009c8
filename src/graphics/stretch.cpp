#include "graphics/stretch.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace graphics {
namespace {

// Weights are fixed point with 14 fraction bits, so a sum of weights times a
// 16-bit intermediate value still fits a signed 32-bit accumulator.
constexpr int WeightBits = 14;
constexpr std::int32_t WeightOne = 1 << WeightBits;

// For every target position of one axis: the first source index it reads and its
// weights (taps of them, padded with zeros).
struct Taps {
    std::vector<int> first;
    std::vector<std::int32_t> weights;
    int taps = 0;
};

// Positions [start, start + count) of an axis of fullSize target pixels taken
// from srcSize source pixels.
Taps ComputeTaps(int srcSize, int fullSize, int start, int count)
{
    Taps t;
    const double scale = static_cast<double>(srcSize) / fullSize;
    // A reduction covers up to ceil(scale) + 1 source pixels; an enlargement two.
    t.taps = scale > 1.0 ? static_cast<int>(std::ceil(scale)) + 1 : 2;
    t.first.resize(static_cast<std::size_t>(count));
    t.weights.assign(static_cast<std::size_t>(count) * static_cast<std::size_t>(t.taps), 0);
    std::vector<double> w(static_cast<std::size_t>(t.taps));

    for (int i = 0; i < count; ++i) {
        const int o = start + i;
        int first = 0;
        int n = 0;
        std::fill(w.begin(), w.end(), 0.0);
        if (scale >= 1.0) {
            // Box filter: the share of [a, b) each source pixel covers.
            const double a = o * scale;
            const double b = std::min<double>((o + 1) * scale, srcSize);
            first = std::clamp(static_cast<int>(std::floor(a)), 0, srcSize - 1);
            const int last = std::clamp(static_cast<int>(std::ceil(b)) - 1, first, srcSize - 1);
            n = std::min(last - first + 1, t.taps);
            for (int k = 0; k < n; ++k) {
                const double lo = std::max<double>(a, first + k);
                const double hi = std::min<double>(b, first + k + 1);
                w[static_cast<std::size_t>(k)] = std::max(0.0, hi - lo);
            }
        } else {
            // Linear interpolation between the centres of the two nearest pixels;
            // the outermost pixels are held at the edges.
            const double centre = std::clamp((o + 0.5) * scale - 0.5, 0.0, srcSize - 1.0);
            first = static_cast<int>(std::floor(centre));
            const double f = centre - first;
            if (first + 1 < srcSize) {
                n = 2;
                w[0] = 1.0 - f;
                w[1] = f;
            } else {
                n = 1;
                w[0] = 1.0;
            }
        }
        double sum = 0.0;
        for (int k = 0; k < n; ++k)
            sum += w[static_cast<std::size_t>(k)];
        if (sum <= 0.0) {
            w[0] = 1.0;
            sum = 1.0;
            n = std::max(n, 1);
        }
        // Quantise, then give the rounding remainder to the largest weight so every
        // set sums to exactly one and flat areas stay exactly flat.
        std::int32_t* out = &t.weights[static_cast<std::size_t>(i) * static_cast<std::size_t>(t.taps)];
        std::int32_t total = 0;
        int largest = 0;
        for (int k = 0; k < n; ++k) {
            out[k] = static_cast<std::int32_t>(std::lround(w[static_cast<std::size_t>(k)] / sum * WeightOne));
            total += out[k];
            if (out[k] > out[largest])
                largest = k;
        }
        out[largest] += WeightOne - total;
        t.first[static_cast<std::size_t>(i)] = first;
    }
    return t;
}

} // namespace

void StretchRgb(ConstRgbView src, int fullWidth, int fullHeight, int left, int top, RgbView dst)
{
    if (src.width <= 0 || src.height <= 0 || fullWidth <= 0 || fullHeight <= 0 || dst.width <= 0 || dst.height <= 0)
        return;
    if (left < 0 || top < 0 || left > fullWidth - dst.width || top > fullHeight - dst.height)
        return;

    const Taps cols = ComputeTaps(src.width, fullWidth, left, dst.width);
    const Taps rows = ComputeTaps(src.height, fullHeight, top, dst.height);

    // Only the source columns some target column reads.
    const int colFirst = cols.first.front();
    int colEnd = colFirst + 1;
    for (int i = 0; i < dst.width; ++i) {
        const std::int32_t* w = &cols.weights[static_cast<std::size_t>(i) * static_cast<std::size_t>(cols.taps)];
        for (int k = 0; k < cols.taps; ++k)
            if (w[k] != 0)
                colEnd = std::max(colEnd, cols.first[static_cast<std::size_t>(i)] + k + 1);
    }
    colEnd = std::min(colEnd, src.width);
    const int span = (colEnd - colFirst) * 3;

    // One target row at a time: blend the source rows it covers into a row of
    // 16-bit-precision values, then blend along the row into the target.
    std::vector<std::int32_t> blended(static_cast<std::size_t>(span));
    for (int y = 0; y < dst.height; ++y) {
        std::fill(blended.begin(), blended.end(), 0);
        const int firstRow = rows.first[static_cast<std::size_t>(y)];
        const std::int32_t* rw = &rows.weights[static_cast<std::size_t>(y) * static_cast<std::size_t>(rows.taps)];
        for (int k = 0; k < rows.taps; ++k) {
            const std::int32_t w = rw[k];
            if (w == 0 || firstRow + k >= src.height)
                continue;
            const std::uint8_t* s = src.pixels + (firstRow + k) * src.stride + colFirst * 3;
            std::int32_t* b = blended.data();
            for (int x = 0; x < span; ++x)
                b[x] += w * s[x];
        }
        // Keep 8 fraction bits: at most 255 << 8, times a weight sum of 1 << 14.
        for (auto& v : blended)
            v = (v + (1 << (WeightBits - 9))) >> (WeightBits - 8);

        std::uint8_t* d = dst.pixels + y * dst.stride;
        for (int x = 0; x < dst.width; ++x) {
            const int firstCol = cols.first[static_cast<std::size_t>(x)] - colFirst;
            const std::int32_t* cw = &cols.weights[static_cast<std::size_t>(x) * static_cast<std::size_t>(cols.taps)];
            std::int32_t r = 0, g = 0, bl = 0;
            for (int k = 0; k < cols.taps; ++k) {
                const std::int32_t w = cw[k];
                if (w == 0)
                    continue;
                const std::int32_t* p = &blended[static_cast<std::size_t>(firstCol + k) * 3];
                r += w * p[0];
                g += w * p[1];
                bl += w * p[2];
            }
            constexpr int shift = WeightBits + 8;
            constexpr std::int32_t half = 1 << (shift - 1);
            d[x * 3 + 0] = static_cast<std::uint8_t>(std::min((r + half) >> shift, 255));
            d[x * 3 + 1] = static_cast<std::uint8_t>(std::min((g + half) >> shift, 255));
            d[x * 3 + 2] = static_cast<std::uint8_t>(std::min((bl + half) >> shift, 255));
        }
    }
}

} // namespace graphics
