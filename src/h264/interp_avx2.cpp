// H.264 luma and chroma interpolation and averaging, AVX2 kernels.
//
// Luma: one kernel per width (4, 8, 16) and fractional position. A vector
// holds 16 samples: one row of 16, two rows of 8 or four rows of 4, so the
// same code serves every width. Half samples are six-tap sums in 16 bits;
// the centre position keeps its vertical sums unrounded in 16 bits and runs
// the horizontal taps in 32 bits.
// Chroma: one kernel per width (2, 4, 8) and kind (copy, horizontal,
// vertical, both), two rows per pass, byte pairs weighted with maddubs.
#include <immintrin.h>

#include <array>
#include <utility>

#include "h264/interp_frontends.h"

namespace {

using zan::h264::Interp;
using zan::h264::kLumaQuarterRule;
using zan::h264::kStripRows;
using zan::h264::LumaOperand;
using LumaKernel = void (*)(const Interp<uint8_t>&);

ZAN_INLINE uint32_t load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
ZAN_INLINE void store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
ZAN_INLINE uint16_t load16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
ZAN_INLINE void store16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }

// --------------------------------------------------------------------------
// Row groups: 16 / W rows of W samples in one vector, in row order.
// --------------------------------------------------------------------------
template <int W>
ZAN_INLINE __m128i load_rows(const uint8_t* p, ptrdiff_t s) {
    if constexpr (W == 16)
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    else if constexpr (W == 8)
        return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                                  _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + s)));
    else
        return _mm_setr_epi32(int(load32(p)), int(load32(p + s)), int(load32(p + 2 * s)), int(load32(p + 3 * s)));
}

template <int W>
ZAN_INLINE void store_rows(uint8_t* p, ptrdiff_t s, __m128i v) {
    if constexpr (W == 16) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    } else if constexpr (W == 8) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p + s), _mm_unpackhi_epi64(v, v));
    } else {
        store32(p, uint32_t(_mm_cvtsi128_si32(v)));
        store32(p + s, uint32_t(_mm_extract_epi32(v, 1)));
        store32(p + 2 * s, uint32_t(_mm_extract_epi32(v, 2)));
        store32(p + 3 * s, uint32_t(_mm_extract_epi32(v, 3)));
    }
}

template <int W>
ZAN_INLINE __m256i widen(const uint8_t* p, ptrdiff_t s) {
    return _mm256_cvtepu8_epi16(load_rows<W>(p, s));
}

// The same groups of 16-bit intermediates (step in elements).
template <int W>
ZAN_INLINE void store_i16(int16_t* p, ptrdiff_t s, __m256i v) {
    if constexpr (W == 16) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
    } else if constexpr (W == 8) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(v));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + s), _mm256_extracti128_si256(v, 1));
    } else {
        const __m128i lo = _mm256_castsi256_si128(v), hi = _mm256_extracti128_si256(v, 1);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), lo);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p + s), _mm_unpackhi_epi64(lo, lo));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p + 2 * s), hi);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p + 3 * s), _mm_unpackhi_epi64(hi, hi));
    }
}

template <int W>
ZAN_INLINE __m256i load_i16(const int16_t* p, ptrdiff_t s) {
    auto ld8 = [](const int16_t* q) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(q)); };
    auto ld16 = [](const int16_t* q) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)); };
    if constexpr (W == 16)
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    else if constexpr (W == 8)
        return _mm256_set_m128i(ld16(p + s), ld16(p));
    else
        return _mm256_set_m128i(_mm_unpacklo_epi64(ld8(p + 2 * s), ld8(p + 3 * s)),
                                _mm_unpacklo_epi64(ld8(p), ld8(p + s)));
}

// --------------------------------------------------------------------------
// Luma filters
// --------------------------------------------------------------------------

// e - 5f + 20g + 20h - 5i + j as e + j + 5(4(g + h) - (f + i)); exact in
// 16 bits for 8-bit samples (-2550 .. 10710).
ZAN_INLINE __m256i tap6(__m256i e, __m256i f, __m256i g, __m256i h, __m256i i, __m256i j) {
    const __m256i t = _mm256_sub_epi16(_mm256_slli_epi16(_mm256_add_epi16(g, h), 2), _mm256_add_epi16(f, i));
    return _mm256_add_epi16(_mm256_add_epi16(e, j), _mm256_add_epi16(_mm256_slli_epi16(t, 2), t));
}

template <int W>
ZAN_INLINE __m256i hsum(const uint8_t* p, ptrdiff_t s) {
    return tap6(widen<W>(p - 2, s), widen<W>(p - 1, s), widen<W>(p, s), widen<W>(p + 1, s), widen<W>(p + 2, s),
                widen<W>(p + 3, s));
}

template <int W>
ZAN_INLINE __m256i vsum(const uint8_t* p, ptrdiff_t s) {
    return tap6(widen<W>(p - 2 * s, s), widen<W>(p - s, s), widen<W>(p, s), widen<W>(p + s, s),
                widen<W>(p + 2 * s, s), widen<W>(p + 3 * s, s));
}

// Clip1((v + 16) >> 5) as 16 bytes.
ZAN_INLINE __m128i round_half(__m256i v) {
    v = _mm256_srai_epi16(_mm256_add_epi16(v, _mm256_set1_epi16(16)), 5);
    return _mm_packus_epi16(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
}

ZAN_INLINE __m256i taps_pair(int first, int second) {
    return _mm256_set1_epi32(int(uint32_t(uint16_t(first)) | (uint32_t(uint16_t(second)) << 16)));
}

// The centre j over unrounded vertical sums: t points at the sums of
// column x-2 of the group's first row (tmp step kTmpStep).
constexpr int kTmpStep = 32;

template <int W>
ZAN_INLINE __m128i centre(const int16_t* t) {
    __m256i v[6];
    for (int k = 0; k < 6; ++k) v[k] = load_i16<W>(t + k, kTmpStep);
    const __m256i k01 = taps_pair(1, -5), k23 = taps_pair(20, 20), k45 = taps_pair(-5, 1);
    const __m256i round = _mm256_set1_epi32(512);
    auto half = [&](auto unpack) {
        __m256i s = _mm256_madd_epi16(unpack(v[0], v[1]), k01);
        s = _mm256_add_epi32(s, _mm256_madd_epi16(unpack(v[2], v[3]), k23));
        s = _mm256_add_epi32(s, _mm256_madd_epi16(unpack(v[4], v[5]), k45));
        return _mm256_srai_epi32(_mm256_add_epi32(s, round), 10);
    };
    const __m256i lo = half([](__m256i a, __m256i b) { return _mm256_unpacklo_epi16(a, b); });
    const __m256i hi = half([](__m256i a, __m256i b) { return _mm256_unpackhi_epi16(a, b); });
    const __m256i j = _mm256_packs_epi32(lo, hi);  // back in lane order
    return _mm_packus_epi16(_mm256_castsi256_si128(j), _mm256_extracti128_si256(j, 1));
}

template <int W, LumaOperand O>
ZAN_INLINE __m128i operand(const uint8_t* p, ptrdiff_t s, const int16_t* t) {
    if constexpr (O == LumaOperand::G) return load_rows<W>(p, s);
    if constexpr (O == LumaOperand::H) return load_rows<W>(p + 1, s);
    if constexpr (O == LumaOperand::M) return load_rows<W>(p + s, s);
    if constexpr (O == LumaOperand::b) return round_half(hsum<W>(p, s));
    if constexpr (O == LumaOperand::s) return round_half(hsum<W>(p + s, s));
    if constexpr (O == LumaOperand::h) return round_half(vsum<W>(p, s));
    if constexpr (O == LumaOperand::m) return round_half(vsum<W>(p + 1, s));
    if constexpr (O == LumaOperand::j) return centre<W>(t);
    return _mm_setzero_si128();
}

template <int W, int Pos>
void luma_kernel(const Interp<uint8_t>& d) {
    constexpr int G = 16 / W;
    constexpr auto rule = kLumaQuarterRule[Pos];
    constexpr bool usesJ = rule.first == LumaOperand::j || rule.second == LumaOperand::j;
    alignas(32) int16_t tmp[usesJ ? kStripRows * kTmpStep : 1];
    const ptrdiff_t ss = d.srcStep, ds = d.dstStep;
    for (int r0 = 0; r0 < d.height; r0 += kStripRows) {
        const int n = std::min(kStripRows, d.height - r0);
        const uint8_t* src = d.src + r0 * ss;
        uint8_t* dst = d.dst + r0 * ds;
        if constexpr (usesJ) {
            // Vertical sums of columns -2 .. W+2, column c at tmp index c + 2.
            for (int y = 0; y < n; y += G) {
                const uint8_t* p = src + y * ss;
                int16_t* t = tmp + y * kTmpStep + 2;
                store_i16<W>(t - 2, kTmpStep, vsum<W>(p - 2, ss));
                if constexpr (W == 4) store_i16<W>(t, kTmpStep, vsum<W>(p, ss));
                store_i16<W>(t + 3, kTmpStep, vsum<W>(p + 3, ss));
            }
        }
        for (int y = 0; y < n; y += G) {
            const uint8_t* p = src + y * ss;
            const int16_t* t = tmp + (usesJ ? y * kTmpStep : 0);
            __m128i v = operand<W, rule.first>(p, ss, t);
            if constexpr (rule.second != LumaOperand::None) v = _mm_avg_epu8(v, operand<W, rule.second>(p, ss, t));
            store_rows<W>(dst + y * ds, ds, v);
        }
    }
}

template <int W, size_t... P>
constexpr std::array<LumaKernel, 16> luma_row(std::index_sequence<P...>) {
    return {luma_kernel<W, int(P)>...};
}

// Indexed by width class (4, 8, 16) and position dy*4+dx.
constexpr std::array<LumaKernel, 16> kLumaKernels[3] = {luma_row<4>(std::make_index_sequence<16>()),
                                                       luma_row<8>(std::make_index_sequence<16>()),
                                                       luma_row<16>(std::make_index_sequence<16>())};

ZAN_INLINE int width_class(int w, int narrow) { return w <= narrow ? 0 : (w <= 2 * narrow ? 1 : 2); }

// --------------------------------------------------------------------------
// Chroma
// --------------------------------------------------------------------------
template <int W>
ZAN_INLINE __m128i load_w(const uint8_t* p) {
    if constexpr (W == 8) return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    if constexpr (W == 4) return _mm_cvtsi32_si128(int(load32(p)));
    if constexpr (W == 2) return _mm_cvtsi32_si128(load16(p));
}

template <int W>
ZAN_INLINE void store_w(uint8_t* p, __m128i v) {
    if constexpr (W == 8) _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
    if constexpr (W == 4) store32(p, uint32_t(_mm_cvtsi128_si32(v)));
    if constexpr (W == 2) store16(p, uint16_t(_mm_cvtsi128_si32(v)));
}

// Byte pairs (p[x], q[x]) of one row.
template <int W>
ZAN_INLINE __m128i pairs(const uint8_t* p, const uint8_t* q) {
    return _mm_unpacklo_epi8(load_w<W>(p), load_w<W>(q));
}

ZAN_INLINE __m256i weight_pair(int first, int second) { return _mm256_set1_epi16(int16_t(first | (second << 8))); }

// Kind: bit 0 horizontal fraction, bit 1 vertical fraction.
template <int W, int Kind>
void chroma_kernel(const Interp<uint8_t>& d) {
    const ptrdiff_t ss = d.srcStep, ds = d.dstStep;
    if constexpr (Kind == 0) {
        for (int y = 0; y < d.height; ++y) store_w<W>(d.dst + y * ds, load_w<W>(d.src + y * ss));
        return;
    }
    constexpr bool fx = Kind & 1, fy = Kind & 2;
    const __m256i w0 = fx && fy ? weight_pair((8 - d.dx) * (8 - d.dy), d.dx * (8 - d.dy))
                                : (fx ? weight_pair(8 - d.dx, d.dx) : weight_pair(8 - d.dy, d.dy));
    const __m256i w1 = weight_pair((8 - d.dx) * d.dy, d.dx * d.dy);
    const __m256i round = _mm256_set1_epi16(fx && fy ? 32 : 4);
    for (int y = 0; y < d.height; y += 2) {
        const uint8_t* r0 = d.src + y * ss;
        const uint8_t* r1 = r0 + ss;
        __m256i acc;
        if constexpr (fx && fy) {
            const __m128i p0 = pairs<W>(r0, r0 + 1), p1 = pairs<W>(r1, r1 + 1), p2 = pairs<W>(r1 + ss, r1 + ss + 1);
            acc = _mm256_add_epi16(_mm256_maddubs_epi16(_mm256_set_m128i(p1, p0), w0),
                                   _mm256_maddubs_epi16(_mm256_set_m128i(p2, p1), w1));
            acc = _mm256_srli_epi16(_mm256_add_epi16(acc, round), 6);
        } else {
            const __m128i p0 = fx ? pairs<W>(r0, r0 + 1) : pairs<W>(r0, r1);
            const __m128i p1 = fx ? pairs<W>(r1, r1 + 1) : pairs<W>(r1, r1 + ss);
            acc = _mm256_maddubs_epi16(_mm256_set_m128i(p1, p0), w0);
            acc = _mm256_srli_epi16(_mm256_add_epi16(acc, round), 3);
        }
        const __m256i packed = _mm256_packus_epi16(acc, acc);
        store_w<W>(d.dst + y * ds, _mm256_castsi256_si128(packed));
        store_w<W>(d.dst + (y + 1) * ds, _mm256_extracti128_si256(packed, 1));
    }
}

constexpr LumaKernel kChromaKernels[3][4] = {
    {chroma_kernel<2, 0>, chroma_kernel<2, 1>, chroma_kernel<2, 2>, chroma_kernel<2, 3>},
    {chroma_kernel<4, 0>, chroma_kernel<4, 1>, chroma_kernel<4, 2>, chroma_kernel<4, 3>},
    {chroma_kernel<8, 0>, chroma_kernel<8, 1>, chroma_kernel<8, 2>, chroma_kernel<8, 3>},
};

// --------------------------------------------------------------------------
// Averaging: rows of 2..16 bytes as two overlapping pieces of 2, 4 or 8.
// --------------------------------------------------------------------------
template <int N>
ZAN_INLINE void average_row(const uint8_t* a, const uint8_t* b, uint8_t* d, int w) {
    const __m128i head = _mm_avg_epu8(load_w<N>(a), load_w<N>(b));
    const __m128i tail = _mm_avg_epu8(load_w<N>(a + w - N), load_w<N>(b + w - N));
    store_w<N>(d, head);
    store_w<N>(d + w - N, tail);
}

struct Avx2Kernels {
    static void luma(const Interp<uint8_t>& d) { kLumaKernels[width_class(d.width, 4)][d.dy * 4 + d.dx](d); }
    static void chroma(const Interp<uint8_t>& d) {
        kChromaKernels[width_class(d.width, 2)][(d.dy ? 2 : 0) | (d.dx ? 1 : 0)](d);
    }
    static void average(const uint8_t* a, ptrdiff_t aStep, const uint8_t* b, ptrdiff_t bStep, uint8_t* d,
                        ptrdiff_t dStep, int w, int h) {
        for (int y = 0; y < h; ++y, a += aStep, b += bStep, d += dStep) {
            if (w == 16)
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d),
                                 _mm_avg_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a)),
                                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(b))));
            else if (w >= 8)
                average_row<8>(a, b, d, w);
            else if (w >= 4)
                average_row<4>(a, b, d, w);
            else
                average_row<2>(a, b, d, w);
        }
    }
};

}  // namespace

ZAN_H264_INTERP_EXPORTS(zan::avx2, Avx2Kernels)
