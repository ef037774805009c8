#include "compose/frame_pixels.h"

#include "compose/hls_fast.h"

#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#define AMBIENCE_FRAME_AVX2 1
#include <immintrin.h>
#endif

namespace compose {
namespace {

void DarkenOne(std::uint8_t* p)
{
    const Hls v = fast::RgbToHls(p[0], p[1], p[2]);
    const TColor c = fast::HlsToRgb(v.h, v.l * 2 / 3, v.s / 2);
    p[0] = std::uint8_t(Red(c));
    p[1] = std::uint8_t(Green(c));
    p[2] = std::uint8_t(Blue(c));
}

#if AMBIENCE_FRAME_AVX2
// A band of a photograph is mostly grain, nearly every pixel a colour of its own:
// eight pixels at once, each of the scalar code's tables evaluated as the rounded
// ratio it holds.
#define AMBIENCE_AVX2 __attribute__((target("avx2")))

using V = __m256i;

AMBIENCE_AVX2 inline V Int(int x) { return _mm256_set1_epi32(x); }
AMBIENCE_AVX2 inline V Add(V a, V b) { return _mm256_add_epi32(a, b); }
AMBIENCE_AVX2 inline V Sub(V a, V b) { return _mm256_sub_epi32(a, b); }
AMBIENCE_AVX2 inline V Mul(V a, V b) { return _mm256_mullo_epi32(a, b); }
AMBIENCE_AVX2 inline V And(V a, V b) { return _mm256_and_si256(a, b); }
AMBIENCE_AVX2 inline V Greater(V a, V b) { return _mm256_cmpgt_epi32(a, b); }
AMBIENCE_AVX2 inline V Equal(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
AMBIENCE_AVX2 inline V Select(V mask, V ifSet, V ifClear) { return _mm256_blendv_epi8(ifClear, ifSet, mask); }

// floor(n / d) and the remainder, for |n| < 2^23 and 0 < d < 2^14: the float
// quotient is at most one off, and the remainder says which way.
struct Division {
    V q, r;
};
AMBIENCE_AVX2 inline Division Corrected(V n, V d, __m256 quotient)
{
    V q = _mm256_cvttps_epi32(_mm256_floor_ps(quotient));
    V r = Sub(n, Mul(q, d));
    const V under = Greater(_mm256_setzero_si256(), r);
    q = Add(q, under); // a mask is -1
    r = Add(r, And(under, d));
    const V over = Greater(r, Sub(d, Int(1)));
    q = Sub(q, over);
    r = Sub(r, And(over, d));
    return {q, r};
}
AMBIENCE_AVX2 inline Division Divide(V n, V d)
{
    return Corrected(n, d, _mm256_div_ps(_mm256_cvtepi32_ps(n), _mm256_cvtepi32_ps(d)));
}
AMBIENCE_AVX2 inline Division Divide(V n, int d)
{
    return Corrected(n, Int(d), _mm256_mul_ps(_mm256_cvtepi32_ps(n), _mm256_set1_ps(1.0f / float(d))));
}

// n / d rounded to nearest, ties to even (fast::RoundRatio), from the division.
AMBIENCE_AVX2 inline V Rounded(const Division& x, V d)
{
    const V twice = Add(x.r, x.r);
    const V odd = Equal(And(x.q, Int(1)), Int(1));
    return Sub(x.q, _mm256_or_si256(Greater(twice, d), And(Equal(twice, d), odd)));
}
AMBIENCE_AVX2 inline V RoundRatio(V n, V d) { return Rounded(Divide(n, d), d); }
AMBIENCE_AVX2 inline V RoundRatio(V n, int d) { return Rounded(Divide(n, d), Int(d)); }

struct Channel {
    V value; // before the channel table, not yet at most 240
    V tie;   // lanes the scalar code must settle
};

// fast::Channel for eight hues, with its two flat parts computed once per pixel.
AMBIENCE_AVX2 inline Channel ChannelOf(V hue, V M1, V M2, V top, V bottom)
{
    hue = Add(hue, And(Greater(_mm256_setzero_si256(), hue), Int(240)));
    hue = Sub(hue, And(Greater(hue, Int(240)), Int(240)));
    const V rising = Greater(Int(40), hue);
    const V below120 = Greater(Int(120), hue);
    const V flatTop = _mm256_andnot_si256(rising, below120);
    const V falling = _mm256_andnot_si256(below120, Greater(Int(160), hue));
    const V t = Select(rising, hue, Sub(Int(160), hue));
    const V n = Add(Add(Mul(Int(40), M1), Mul(Sub(M2, M1), t)), Int(4800));
    const Division ramp = Divide(n, 9600);
    const V onRamp = _mm256_or_si256(rising, falling);
    Channel c;
    c.value = Select(onRamp, Sub(ramp.q, Greater(ramp.r, Int(4800))), Select(flatTop, top, bottom));
    c.tie = And(onRamp, Equal(ramp.r, Int(4800)));
    return c;
}

// fast::Tables::channel: v * 255 / 240 rounded, v of at most 240.
AMBIENCE_AVX2 inline V ChannelByte(V v)
{
    return _mm256_min_epi32(RoundRatio(Add(Mul(_mm256_min_epi32(v, Int(240)), Int(255)), Int(120)), 240), Int(255));
}

// Eight pixels as 0x00BBGGRR lanes; ties: the lanes the scalar code must redo.
AMBIENCE_AVX2 inline V DarkenLanes(V v, int& ties)
{
    const V ff = Int(0xFF);
    const V r = And(v, ff);
    const V g = And(_mm256_srli_epi32(v, 8), ff);
    const V b = And(_mm256_srli_epi32(v, 16), ff);

    // fast::RgbToHls
    const V cmax = _mm256_max_epi32(r, _mm256_max_epi32(g, b));
    const V cmin = _mm256_min_epi32(r, _mm256_min_epi32(g, b));
    const V sum = Add(cmax, cmin);
    const V d = Sub(cmax, cmin);
    const V grey = Equal(d, _mm256_setzero_si256());
    const V divisor = Select(grey, Int(1), d);
    const V l = RoundRatio(Add(Mul(sum, Int(240)), Int(255)), 510);
    const V D = Select(Greater(sum, Int(253)), Sub(Int(510), sum), sum);
    V s = _mm256_andnot_si256(grey, RoundRatio(Add(Mul(Int(480), d), D), Add(D, D)));
    const V redTop = Equal(r, cmax);
    const V greenTop = _mm256_andnot_si256(redTop, Equal(g, cmax));
    V diff = Select(greenTop, Sub(b, r), Sub(r, g));
    diff = Select(redTop, Sub(g, b), diff);
    V base = Select(greenTop, Int(80), Int(160));
    base = Select(redTop, And(Greater(b, g), Int(240)), base);
    const V h = Select(grey, Int(160), Add(base, RoundRatio(Mul(Int(40), diff), divisor)));

    // Two thirds of the luminance (x * 43691 >> 17 is x / 3 for x below 2^17), half the saturation.
    const V l2 = _mm256_srli_epi32(Mul(Add(l, l), Int(43691)), 17);
    s = _mm256_srli_epi32(s, 1);

    // fast::HlsToRgb
    const V ls = Mul(l2, s);
    const V M2 = Select(Greater(Int(121), l2), Add(Add(Mul(l2, Int(240)), ls), Int(120)),
                        Sub(Mul(Add(l2, s), Int(240)), Add(ls, Int(120))));
    const V M1 = Sub(Mul(l2, Int(480)), M2);
    const V top = RoundRatio(M2, 240);
    const V bottom = Sub(RoundRatio(Add(M1, Int(480)), 240), Int(2));
    const Channel cr = ChannelOf(Add(h, Int(80)), M1, M2, top, bottom);
    const Channel cg = ChannelOf(h, M1, M2, top, bottom);
    const Channel cb = ChannelOf(Sub(h, Int(80)), M1, M2, top, bottom);
    const V unsaturated = Equal(s, _mm256_setzero_si256());
    const V greyByte = _mm256_min_epi32(RoundRatio(Mul(l2, Int(255)), 240), Int(255));
    const V R = Select(unsaturated, greyByte, ChannelByte(cr.value));
    const V G = Select(unsaturated, greyByte, ChannelByte(cg.value));
    const V B = Select(unsaturated, greyByte, ChannelByte(cb.value));
    const V tie = _mm256_andnot_si256(unsaturated, _mm256_or_si256(cr.tie, _mm256_or_si256(cg.tie, cb.tie)));
    ties = _mm256_movemask_ps(_mm256_castsi256_ps(tie));
    return _mm256_or_si256(R, _mm256_or_si256(_mm256_slli_epi32(G, 8), _mm256_slli_epi32(B, 16)));
}

AMBIENCE_AVX2 void DarkenWithAvx2(std::uint8_t* p, int count)
{
    // 24 bytes of pixels spread to eight lanes, and back.
    const V spreadLanes = _mm256_setr_epi32(0, 1, 2, 3, 3, 4, 5, 6);
    const V spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, //
                                      0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const V pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, //
                                    0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    std::uint32_t lastIn = 0xFFFFFFFF, lastOut = 0;
    int i = 0;
    // A load takes 32 bytes, a little more than eight pixels: the last ten pixels of
    // a run at most are left to the scalar code.
    for (; i + 11 <= count; i += 8, p += 24) {
        const V raw = _mm256_loadu_si256(reinterpret_cast<const V*>(p));
        const V in = _mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(raw, spreadLanes), spread);
        // A run of one colour, as in smooth parts of a picture, is darkened once.
        const bool run = _mm256_movemask_epi8(Equal(in, Int(int(lastIn)))) == -1;
        int ties = 0;
        const V out = run ? Int(int(lastOut)) : DarkenLanes(in, ties);
        const V packed = _mm256_shuffle_epi8(out, pack);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(packed));
        const __m128i high = _mm256_extracti128_si256(packed, 1);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p + 12), high);
        const std::uint32_t last = std::uint32_t(_mm_extract_epi32(high, 2));
        std::memcpy(p + 20, &last, 4);
        if (ties != 0) {
            // The float way decides an exact half: those pixels again, from their colour as it was.
            alignas(32) std::uint32_t was[8];
            _mm256_store_si256(reinterpret_cast<V*>(was), in);
            for (int k = 0; k < 8; ++k) {
                if ((ties & (1 << k)) == 0)
                    continue;
                std::uint8_t* q = p + 3 * k;
                q[0] = std::uint8_t(was[k]);
                q[1] = std::uint8_t(was[k] >> 8);
                q[2] = std::uint8_t(was[k] >> 16);
                DarkenOne(q);
            }
        }
        if (!run) {
            lastIn = std::uint32_t(_mm256_extract_epi32(in, 7));
            lastOut = p[21] | (p[22] << 8) | (p[23] << 16);
        }
    }
    DarkenPixelsOneByOne(p, count - i);
}

bool HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

} // namespace

void DarkenPixelsOneByOne(std::uint8_t* p, int count)
{
    // Smooth parts of a picture repeat a colour along a row.
    std::uint32_t lastIn = 0xFFFFFFFF;
    std::uint8_t lastOut[3] = {0, 0, 0};
    for (int i = 0; i < count; ++i, p += 3) {
        const std::uint32_t in = p[0] | (p[1] << 8) | (p[2] << 16);
        if (in != lastIn) {
            lastIn = in;
            DarkenOne(p);
            std::memcpy(lastOut, p, 3);
            continue;
        }
        std::memcpy(p, lastOut, 3);
    }
}

void DarkenPixels(std::uint8_t* rgb, int count)
{
#if AMBIENCE_FRAME_AVX2
    if (HasAvx2()) {
        DarkenWithAvx2(rgb, count);
        return;
    }
#endif
    DarkenPixelsOneByOne(rgb, count);
}

} // namespace compose
