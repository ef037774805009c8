#include "graphics/stretch.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The stretch is separable: one pass along the rows, one along the columns, with
// an intermediate of 16-bit values carrying 7 fraction bits between them. Which
// pass goes first depends on the vertical scale:
//
//  - enlarging vertically, each source row is resampled horizontally once into a
//    small cache, and every target row blends two cached rows (a row of the
//    source serves several target rows, so resampling it once saves most work);
//  - otherwise every target row first blends the source rows it covers, then
//    resamples that one row horizontally.
//
// The choice depends only on the sizes, and every value depends only on its
// place in the whole target, so a window of the target (a band of rows drawn by
// one thread, a part clipped by the canvas) equals that part of the whole.
namespace graphics {
namespace {

// Weights are fixed point with 14 fraction bits; each set sums to exactly one.
constexpr int WeightBits = 14;
constexpr std::int32_t WeightOne = 1 << WeightBits;

// The intermediate keeps 7 fraction bits, so 255 << 7 and the weights both fit
// signed 16 bits and a weighted sum of intermediates fits 32 bits.
constexpr int FractionBits = 7;
constexpr int FirstShift = WeightBits - FractionBits;  // source bytes -> intermediate
constexpr int SecondShift = WeightBits + FractionBits; // intermediate -> bytes

// For every target position of one axis: the first source index it reads, how
// many it reads, and their weights (taps of them, padded with zeros).
struct Taps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<std::int16_t> weights;
    int taps = 0;
    int lowest = 0; // the smallest first index
    int end = 0;    // one past the largest source index read
    // Every position reads exactly taps existing pixels (see FixCounts), so the
    // loops along a row have a fixed length; offset holds (first - lowest) * 3.
    bool fixed = false;
    std::vector<int> offset;
#if defined(__SSE2__)
    // For two to four taps: each position's weights as pairs for _mm_madd_epi16,
    // (w[k], w[k + 1]) for each channel and 0 in the fourth lane; and how many
    // leading positions may use them (see ResampleSimd).
    std::vector<std::int16_t> pairWeights; // 8 lanes a pair
    int simdCount = 0;
#endif

    const std::int16_t* WeightsAt(int i) const
    {
        return &weights[static_cast<std::size_t>(i) * static_cast<std::size_t>(taps)];
    }
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
    t.count.resize(static_cast<std::size_t>(count));
    t.weights.assign(static_cast<std::size_t>(count) * static_cast<std::size_t>(t.taps), 0);
    std::vector<double> w(static_cast<std::size_t>(t.taps));
    std::vector<std::int32_t> quantised(static_cast<std::size_t>(t.taps));

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
        std::int16_t* out = &t.weights[static_cast<std::size_t>(i) * static_cast<std::size_t>(t.taps)];
        std::int32_t total = 0;
        int largest = 0;
        for (int k = 0; k < n; ++k) {
            quantised[static_cast<std::size_t>(k)] =
                static_cast<std::int32_t>(std::lround(w[static_cast<std::size_t>(k)] / sum * WeightOne));
            total += quantised[static_cast<std::size_t>(k)];
            if (quantised[static_cast<std::size_t>(k)] > quantised[static_cast<std::size_t>(largest)])
                largest = k;
        }
        quantised[static_cast<std::size_t>(largest)] += WeightOne - total;
        for (int k = 0; k < n; ++k)
            out[k] = static_cast<std::int16_t>(quantised[static_cast<std::size_t>(k)]);
        t.first[static_cast<std::size_t>(i)] = first;
        t.count[static_cast<std::size_t>(i)] = n;
    }
    t.lowest = t.first.front();
    t.end = t.lowest + 1;
    for (int i = 0; i < count; ++i) {
        t.lowest = std::min(t.lowest, t.first[static_cast<std::size_t>(i)]);
        t.end = std::max(t.end, t.first[static_cast<std::size_t>(i)] + t.count[static_cast<std::size_t>(i)]);
    }
    return t;
}

// Makes every position read exactly taps pixels: sets shorter than that are
// padded with zero weights, after them or (at the far edge of the source) before
// them. The results stay the same; only the loops along a row get simpler.
void FixCounts(Taps& t, int srcSize)
{
    if (t.taps > srcSize)
        return;
    const std::size_t positions = t.first.size();
    for (std::size_t i = 0; i < positions; ++i) {
        const int shift = std::max(0, t.first[i] + t.taps - srcSize);
        if (shift > 0) {
            std::int16_t* w = &t.weights[i * static_cast<std::size_t>(t.taps)];
            for (int k = t.taps - 1; k >= 0; --k)
                w[k] = k >= shift ? w[k - shift] : 0;
            t.first[i] -= shift;
        }
        t.count[i] = t.taps;
    }
    t.lowest = *std::min_element(t.first.begin(), t.first.end());
    t.end = *std::max_element(t.first.begin(), t.first.end()) + t.taps;
    t.offset.resize(positions);
    for (std::size_t i = 0; i < positions; ++i)
        t.offset[i] = (t.first[i] - t.lowest) * 3;
    t.fixed = true;
#if defined(__SSE2__)
    if (t.taps <= 4) {
        const int pairs = (t.taps + 1) / 2;
        t.pairWeights.resize(positions * static_cast<std::size_t>(pairs) * 8);
        for (std::size_t i = 0; i < positions; ++i) {
            const std::int16_t* w = &t.weights[i * static_cast<std::size_t>(t.taps)];
            for (int k = 0; k < pairs; ++k) {
                const std::int16_t a = w[2 * k];
                const std::int16_t b = 2 * k + 1 < t.taps ? w[2 * k + 1] : 0;
                std::int16_t* lanes = &t.pairWeights[(i * static_cast<std::size_t>(pairs) + static_cast<std::size_t>(k)) * 8];
                const std::int16_t pattern[8] = {a, b, a, b, a, b, 0, 0};
                std::copy(pattern, pattern + 8, lanes);
            }
        }
        // Each pair is read as 8 values from its first pixel on, and each result
        // is stored as 4 values: only positions whose reads stay inside the
        // source span, and never the last one, whose store would pass the row end.
        const int reach = 6 * (pairs - 1) + 8;
        const int available = (t.end - t.lowest) * 3;
        int n = static_cast<int>(positions) - 1;
        while (n > 0 && t.offset[static_cast<std::size_t>(n - 1)] + reach > available)
            --n;
        t.simdCount = std::max(n, 0);
    }
#endif
}

// A weighted sum (weights summing to WeightOne) brought down by Shift bits,
// rounded half up; bytes are clamped as a last guard.
template <int Shift, typename Out>
inline Out Narrow(std::int32_t sum)
{
    const std::int32_t v = (sum + (1 << (Shift - 1))) >> Shift;
    if constexpr (sizeof(Out) == 1)
        return static_cast<Out>(std::min(v, 255));
    else
        return static_cast<Out>(v);
}

// Resamples one row along x with N taps per position (0: cols.taps of them).
template <int Shift, int N, typename In, typename Out>
void ResampleFixed(const In* in, const Taps& cols, Out* out, int from, int width)
{
    const int n = N > 0 ? N : cols.taps;
    const int* offset = cols.offset.data();
    const std::int16_t* weights = cols.weights.data();
    for (int x = from; x < width; ++x) {
        const In* p = in + offset[x];
        const std::int16_t* w = weights + static_cast<std::ptrdiff_t>(x) * n;
        std::int32_t r = 0, g = 0, b = 0;
        for (int k = 0; k < n; ++k) {
            const std::int32_t wk = w[k];
            r += p[3 * k + 0] * wk;
            g += p[3 * k + 1] * wk;
            b += p[3 * k + 2] * wk;
        }
        out[3 * x + 0] = Narrow<Shift, Out>(r);
        out[3 * x + 1] = Narrow<Shift, Out>(g);
        out[3 * x + 2] = Narrow<Shift, Out>(b);
    }
}

#if defined(__SSE2__)
// Eight values from p as 16-bit lanes.
inline __m128i Load8(const std::uint8_t* p)
{
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
}
inline __m128i Load8(const std::int16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// Four 32-bit lanes stored as four values (the fourth one is overwritten by the
// next pixel).
inline void Store4(__m128i v, std::uint8_t* out)
{
    const int packed = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(v, v), v));
    std::memcpy(out, &packed, 4);
}
inline void Store4(__m128i v, std::int16_t* out)
{
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packs_epi32(v, v));
}

// ResampleFixed for the first cols.simdCount positions, the three channels of a
// pixel at once: the same sums, rounding and saturation, so the same results.
template <int Shift, int N, typename In, typename Out>
int ResampleSimd(const In* in, const Taps& cols, Out* out)
{
    constexpr int Pairs = (N + 1) / 2;
    const int* offset = cols.offset.data();
    const std::int16_t* weights = cols.pairWeights.data();
    const __m128i round = _mm_set1_epi32(1 << (Shift - 1));
    const int count = cols.simdCount;
    for (int x = 0; x < count; ++x) {
        const In* p = in + offset[x];
        const std::int16_t* w = weights + static_cast<std::ptrdiff_t>(x) * Pairs * 8;
        __m128i sum = round;
        for (int k = 0; k < Pairs; ++k) {
            // [r g b r' g' b' ..] -> [r r' g g' b b' ..]: madd then sums each pair.
            const __m128i v = Load8(p + 6 * k);
            const __m128i wk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + 8 * k));
            sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_unpacklo_epi16(v, _mm_srli_si128(v, 6)), wk));
        }
        Store4(_mm_srai_epi32(sum, Shift), out + 3 * x);
    }
    return count;
}
#endif

template <int Shift, int N, typename In, typename Out>
void ResampleTaps(const In* in, const Taps& cols, Out* out, int width)
{
    int from = 0;
#if defined(__SSE2__)
    if constexpr (N >= 2 && N <= 4)
        from = ResampleSimd<Shift, N>(in, cols, out);
#endif
    ResampleFixed<Shift, N>(in, cols, out, from, width);
}

// Resamples one row along x: in holds the source pixels from column cols.lowest
// on (3 values each), out receives width target pixels.
template <int Shift, typename In, typename Out>
void ResampleRow(const In* in, const Taps& cols, Out* out, int width)
{
    if (cols.fixed) {
        switch (cols.taps) {
        case 2: // enlargements and copies
            return ResampleTaps<Shift, 2>(in, cols, out, width);
        case 3: // reductions to no less than half
            return ResampleTaps<Shift, 3>(in, cols, out, width);
        case 4:
            return ResampleTaps<Shift, 4>(in, cols, out, width);
        default:
            return ResampleTaps<Shift, 0>(in, cols, out, width);
        }
    }
    // A source narrower than a set of taps: a strong reduction of a tiny picture.
    const std::int16_t* weights = cols.weights.data();
    for (int x = 0; x < width; ++x) {
        const In* p = in + (cols.first[static_cast<std::size_t>(x)] - cols.lowest) * 3;
        const std::int16_t* w = weights + static_cast<std::ptrdiff_t>(x) * cols.taps;
        std::int32_t r = 0, g = 0, b = 0;
        for (int k = 0, n = cols.count[static_cast<std::size_t>(x)]; k < n; ++k, p += 3) {
            const std::int32_t wk = w[k];
            r += p[0] * wk;
            g += p[1] * wk;
            b += p[2] * wk;
        }
        out[3 * x + 0] = Narrow<Shift, Out>(r);
        out[3 * x + 1] = Narrow<Shift, Out>(g);
        out[3 * x + 2] = Narrow<Shift, Out>(b);
    }
}

// Blends N rows of len values with the weights w into out, in one sweep.
template <int Shift, int N, typename In, typename Out>
void BlendFixed(const In* const* rows, const std::int16_t* w, Out* out, int len)
{
    const In* r[N];
    std::int32_t wk[N];
    for (int k = 0; k < N; ++k) {
        r[k] = rows[k];
        wk[k] = w[k];
    }
    for (int i = 0; i < len; ++i) {
        std::int32_t sum = 0;
        for (int k = 0; k < N; ++k)
            sum += r[k][i] * wk[k];
        out[i] = Narrow<Shift, Out>(sum);
    }
}

// Blends n rows of len values with the weights w into out; acc is scratch of len
// values for more than four rows.
template <int Shift, typename In, typename Out>
void BlendRows(const In* const* rows, const std::int16_t* w, int n, Out* out, int len, std::int32_t* acc)
{
    switch (n) {
    case 1:
        return BlendFixed<Shift, 1>(rows, w, out, len);
    case 2:
        return BlendFixed<Shift, 2>(rows, w, out, len);
    case 3:
        return BlendFixed<Shift, 3>(rows, w, out, len);
    case 4:
        return BlendFixed<Shift, 4>(rows, w, out, len);
    default:
        break;
    }
    {
        const In* r0 = rows[0];
        const std::int32_t w0 = w[0];
        for (int i = 0; i < len; ++i)
            acc[i] = r0[i] * w0;
    }
    for (int k = 1; k < n; ++k) {
        const In* rk = rows[k];
        const std::int32_t wk = w[k];
        for (int i = 0; i < len; ++i)
            acc[i] += rk[i] * wk;
    }
    for (int i = 0; i < len; ++i)
        out[i] = Narrow<Shift, Out>(acc[i]);
}

// Vertical enlargement: each source row is resampled along x once, into one of two
// cached rows, and each target row blends the (at most two) rows it lies between.
void HorizontalFirst(core::ConstPixelView src, const Taps& cols, const Taps& rows, core::PixelView dst)
{
    const int len = dst.width * 3;
    std::vector<std::int16_t> cache(static_cast<std::size_t>(len) * 2);
    int cached[2] = {-1, -1};
    const std::uint8_t* origin = src.pixels + static_cast<std::ptrdiff_t>(cols.lowest) * 3;
    // Rows are asked for in increasing order, so the lower of the two cached rows
    // is the one no later target row needs.
    const auto fetch = [&](int row) -> const std::int16_t* {
        for (int s = 0; s < 2; ++s)
            if (cached[s] == row)
                return &cache[static_cast<std::size_t>(s) * static_cast<std::size_t>(len)];
        const int s = cached[0] <= cached[1] ? 0 : 1;
        std::int16_t* out = &cache[static_cast<std::size_t>(s) * static_cast<std::size_t>(len)];
        ResampleRow<FirstShift>(origin + row * src.stride, cols, out, dst.width);
        cached[s] = row;
        return out;
    };
    for (int y = 0; y < dst.height; ++y) {
        const int first = rows.first[static_cast<std::size_t>(y)];
        const int n = rows.count[static_cast<std::size_t>(y)];
        // Fetching first + 1 never evicts first: the other slot holds a lower row
        // (or first + 1 itself).
        const std::int16_t* lines[2] = {fetch(first), n > 1 ? fetch(first + 1) : nullptr};
        std::uint8_t* out = dst.pixels + y * dst.stride;
        if (n > 1)
            BlendFixed<SecondShift, 2>(lines, rows.WeightsAt(y), out, len);
        else
            BlendFixed<SecondShift, 1>(lines, rows.WeightsAt(y), out, len);
    }
}

// Vertical reduction or copy: each target row blends the source rows it covers
// (only the columns some target pixel reads), then resamples that row along x.
void VerticalFirst(core::ConstPixelView src, const Taps& cols, const Taps& rows, core::PixelView dst)
{
    const int span = (cols.end - cols.lowest) * 3;
    std::vector<std::int16_t> line(static_cast<std::size_t>(span));
    std::vector<std::int32_t> acc(rows.taps > 4 ? static_cast<std::size_t>(span) : 0);
    std::vector<const std::uint8_t*> sources(static_cast<std::size_t>(rows.taps));
    const std::uint8_t* origin = src.pixels + static_cast<std::ptrdiff_t>(cols.lowest) * 3;
    for (int y = 0; y < dst.height; ++y) {
        const int first = rows.first[static_cast<std::size_t>(y)];
        const int n = rows.count[static_cast<std::size_t>(y)];
        for (int k = 0; k < n; ++k)
            sources[static_cast<std::size_t>(k)] = origin + (first + k) * src.stride;
        BlendRows<FirstShift>(sources.data(), rows.WeightsAt(y), n, line.data(), span, acc.data());
        ResampleRow<SecondShift>(line.data(), cols, dst.pixels + y * dst.stride, dst.width);
    }
}

} // namespace

void StretchRgb(core::ConstPixelView src, int fullWidth, int fullHeight, int left, int top, core::PixelView dst)
{
    if (src.width <= 0 || src.height <= 0 || fullWidth <= 0 || fullHeight <= 0 || dst.width <= 0 || dst.height <= 0)
        return;
    if (left < 0 || top < 0 || left > fullWidth - dst.width || top > fullHeight - dst.height)
        return;

    Taps cols = ComputeTaps(src.width, fullWidth, left, dst.width);
    FixCounts(cols, src.width);
    const Taps rows = ComputeTaps(src.height, fullHeight, top, dst.height);
    if (fullHeight > src.height)
        HorizontalFirst(src, cols, rows, dst);
    else
        VerticalFirst(src, cols, rows, dst);
}

} // namespace graphics
