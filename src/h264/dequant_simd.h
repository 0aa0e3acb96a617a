// AVX2 kernels of the H.264 inverse transforms and residual adds, for the
// files compiled with -mavx2 only. The 4x4 saturating transform is written
// once over a vector width: V128 holds one block (a row in the low 64 bits of
// each register), V256 two horizontally adjacent blocks (one per 128-bit
// lane). Internal linkage throughout, see core/common.h.
#pragma once

#ifndef __AVX2__
#error "h264/dequant_simd.h is for AVX2 files only"
#endif

#include <immintrin.h>

#include <cstring>

#include "h264/dequant_kernels.h"

namespace zan::h264::simd {
namespace {

struct V128 {
    using V = __m128i;
    static V adds(V a, V b) { return _mm_adds_epi16(a, b); }
    static V subs(V a, V b) { return _mm_subs_epi16(a, b); }
    static V sra1(V a) { return _mm_srai_epi16(a, 1); }
    static V sra6(V a) { return _mm_srai_epi16(a, 6); }
    static V set16(int16_t v) { return _mm_set1_epi16(v); }
    static V unpacklo16(V a, V b) { return _mm_unpacklo_epi16(a, b); }
    static V unpacklo32(V a, V b) { return _mm_unpacklo_epi32(a, b); }
    static V unpackhi32(V a, V b) { return _mm_unpackhi_epi32(a, b); }
    static V high64(V a) { return _mm_srli_si128(a, 8); }
};

struct V256 {
    using V = __m256i;
    static V adds(V a, V b) { return _mm256_adds_epi16(a, b); }
    static V subs(V a, V b) { return _mm256_subs_epi16(a, b); }
    static V sra1(V a) { return _mm256_srai_epi16(a, 1); }
    static V sra6(V a) { return _mm256_srai_epi16(a, 6); }
    static V set16(int16_t v) { return _mm256_set1_epi16(v); }
    static V unpacklo16(V a, V b) { return _mm256_unpacklo_epi16(a, b); }
    static V unpacklo32(V a, V b) { return _mm256_unpacklo_epi32(a, b); }
    static V unpackhi32(V a, V b) { return _mm256_unpackhi_epi32(a, b); }
    static V high64(V a) { return _mm256_srli_si256(a, 8); }
};

// Transposes the 4x4 block(s) held in the low 64 bits of each (lane of) r.
template <class P>
ZAN_INLINE void transpose4x4_16(typename P::V* r) {
    using V = typename P::V;
    const V t0 = P::unpacklo16(r[0], r[1]), t1 = P::unpacklo16(r[2], r[3]);
    const V u0 = P::unpacklo32(t0, t1), u1 = P::unpackhi32(t0, t1);
    r[0] = u0;
    r[1] = P::high64(u0);
    r[2] = u1;
    r[3] = P::high64(u1);
}

template <class P>
ZAN_INLINE void idct4_1d_sat(typename P::V* d) {
    using V = typename P::V;
    const V e = P::adds(d[0], d[2]), f = P::subs(d[0], d[2]);
    const V g = P::subs(P::sra1(d[1]), d[3]), h = P::adds(d[1], P::sra1(d[3]));
    d[0] = P::adds(e, h);
    d[1] = P::adds(f, g);
    d[2] = P::subs(f, g);
    d[3] = P::subs(e, h);
}

// Rows r[0..3] of dequantized coefficients -> rows of (x + 32) >> 6, all in
// 16-bit saturating arithmetic (rows first, then columns).
template <class P>
ZAN_INLINE void idct4x4_sat(typename P::V* r) {
    transpose4x4_16<P>(r);
    idct4_1d_sat<P>(r);
    transpose4x4_16<P>(r);
    idct4_1d_sat<P>(r);
    for (int i = 0; i < 4; ++i) r[i] = P::sra6(P::adds(r[i], P::set16(32)));
}

// Saturating products c * s of 16-bit lanes.
ZAN_INLINE __m128i mul_sat16(__m128i c, __m128i s) {
    const __m128i lo = _mm_mullo_epi16(c, s), hi = _mm_mulhi_epi16(c, s);
    return _mm_packs_epi32(_mm_unpacklo_epi16(lo, hi), _mm_unpackhi_epi16(lo, hi));
}
ZAN_INLINE __m256i mul_sat16(__m256i c, __m256i s) {
    const __m256i lo = _mm256_mullo_epi16(c, s), hi = _mm256_mulhi_epi16(c, s);
    return _mm256_packs_epi32(_mm256_unpacklo_epi16(lo, hi), _mm256_unpackhi_epi16(lo, hi));
}

ZAN_INLINE __m128i load4x16(const int16_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }
ZAN_INLINE __m128i load4x8(const uint8_t* p) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return _mm_cvtsi32_si128(v);
}
ZAN_INLINE void store4x8(uint8_t* p, __m128i v) {
    const int32_t x = _mm_cvtsi128_si32(v);
    std::memcpy(p, &x, 4);
}

// Dequantized rows of one block (flat path): rows of sat(c * scale), the
// DC replaced by *dc when given, AC cleared when ac is false.
ZAN_INLINE void dequant_rows_sat(const int16_t* c, const int16_t* dc, bool ac, const int16_t* scale, __m128i* r) {
    if (ac) {
        // Two rows per product: rows 0-1 and 2-3.
        const __m128i p01 = mul_sat16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c)),
                                      _mm_loadu_si128(reinterpret_cast<const __m128i*>(scale)));
        const __m128i p23 = mul_sat16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c + 8)),
                                      _mm_loadu_si128(reinterpret_cast<const __m128i*>(scale + 8)));
        r[0] = p01;
        r[1] = _mm_srli_si128(p01, 8);
        r[2] = p23;
        r[3] = _mm_srli_si128(p23, 8);
    } else {
        r[1] = r[2] = r[3] = _mm_setzero_si128();
        r[0] = _mm_setzero_si128();
    }
    const int16_t d0 = dc ? *dc : sat_s16(int(c[0]) * scale[0]);
    r[0] = _mm_insert_epi16(r[0], d0, 0);
}

// pred + residual rows, limited to 0..255, written as 4 bytes per row.
ZAN_INLINE void add_rows4(const uint8_t* pred, int32_t predStep, const __m128i* r, uint8_t* dst, int32_t dstStep) {
    for (int i = 0; i < 4; ++i) {
        const __m128i p = _mm_cvtepu8_epi16(load4x8(pred + ptrdiff_t(predStep) * i));
        store4x8(dst + ptrdiff_t(dstStep) * i, _mm_packus_epi16(_mm_adds_epi16(p, r[i]), p));
    }
}

// One flat-scaled block added to a prediction (16-bit saturating path).
ZAN_INLINE void add4x4_sat(const uint8_t* pred, int32_t predStep, const int16_t* c, const int16_t* dc, bool ac,
                           const int16_t* scale, uint8_t* dst, int32_t dstStep) {
    __m128i r[4];
    dequant_rows_sat(c, dc, ac, scale, r);
    idct4x4_sat<V128>(r);
    add_rows4(pred, predStep, r, dst, dstStep);
}

// Two horizontally adjacent coded blocks (left coefficients cl, right cr),
// flat-scaled, added in place to the 8x4 region at dst.
ZAN_INLINE void add4x4_sat_pair(const int16_t* cl, const int16_t* cr, const int16_t* scale, uint8_t* dst,
                                int32_t step) {
    const __m256i s01 = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(scale)));
    const __m256i s23 = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(scale + 8)));
    auto load2 = [](const int16_t* l, const int16_t* r) {
        return _mm256_set_m128i(_mm_loadu_si128(reinterpret_cast<const __m128i*>(r)),
                                _mm_loadu_si128(reinterpret_cast<const __m128i*>(l)));
    };
    const __m256i p01 = mul_sat16(load2(cl, cr), s01), p23 = mul_sat16(load2(cl + 8, cr + 8), s23);
    __m256i r[4] = {p01, _mm256_srli_si256(p01, 8), p23, _mm256_srli_si256(p23, 8)};
    idct4x4_sat<V256>(r);
    for (int i = 0; i < 4; ++i) {
        uint8_t* d = dst + ptrdiff_t(step) * i;
        const __m128i res = _mm_unpacklo_epi64(_mm256_castsi256_si128(r[i]), _mm256_extracti128_si256(r[i], 1));
        const __m128i p = _mm_cvtepu8_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(d)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d), _mm_packus_epi16(_mm_adds_epi16(p, res), p));
    }
}

// ---- 32-bit paths (caller's scaling levels, 8x8 transform) ----

ZAN_INLINE void transpose4x4_32(__m128i* r) {
    const __m128i t0 = _mm_unpacklo_epi32(r[0], r[1]), t1 = _mm_unpacklo_epi32(r[2], r[3]);
    const __m128i t2 = _mm_unpackhi_epi32(r[0], r[1]), t3 = _mm_unpackhi_epi32(r[2], r[3]);
    r[0] = _mm_unpacklo_epi64(t0, t1);
    r[1] = _mm_unpackhi_epi64(t0, t1);
    r[2] = _mm_unpacklo_epi64(t2, t3);
    r[3] = _mm_unpackhi_epi64(t2, t3);
}

ZAN_INLINE void idct4_1d_32(__m128i* d) {
    const __m128i e = _mm_add_epi32(d[0], d[2]), f = _mm_sub_epi32(d[0], d[2]);
    const __m128i g = _mm_sub_epi32(_mm_srai_epi32(d[1], 1), d[3]);
    const __m128i h = _mm_add_epi32(d[1], _mm_srai_epi32(d[3], 1));
    d[0] = _mm_add_epi32(e, h);
    d[1] = _mm_add_epi32(f, g);
    d[2] = _mm_sub_epi32(f, g);
    d[3] = _mm_sub_epi32(e, h);
}

// 16 dequantized 32-bit coefficients -> 16 residuals (x + 32) >> 6, rows.
ZAN_INLINE void idct4x4_32(const int32_t* d, __m128i* r) {
    for (int i = 0; i < 4; ++i) r[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + 4 * i));
    transpose4x4_32(r);
    idct4_1d_32(r);
    transpose4x4_32(r);
    idct4_1d_32(r);
    for (int i = 0; i < 4; ++i) r[i] = _mm_srai_epi32(_mm_add_epi32(r[i], _mm_set1_epi32(32)), 6);
}

// Adds 32-bit residual rows of width 4 (r) to 8-bit samples in place.
ZAN_INLINE void add_rows4_32(uint8_t* dst, int32_t step, const __m128i* r) {
    for (int i = 0; i < 4; ++i) {
        uint8_t* d = dst + ptrdiff_t(step) * i;
        const __m128i s = _mm_add_epi32(_mm_cvtepu8_epi32(load4x8(d)), r[i]);
        const __m128i w = _mm_packs_epi32(s, s);
        store4x8(d, _mm_packus_epi16(w, w));
    }
}

ZAN_INLINE void transpose8x8_32(__m256i* r) {
    __m256i t[8], u[8];
    for (int i = 0; i < 8; i += 2) {
        t[i] = _mm256_unpacklo_epi32(r[i], r[i + 1]);
        t[i + 1] = _mm256_unpackhi_epi32(r[i], r[i + 1]);
    }
    for (int i = 0; i < 8; i += 4) {
        u[i] = _mm256_unpacklo_epi64(t[i], t[i + 2]);
        u[i + 1] = _mm256_unpackhi_epi64(t[i], t[i + 2]);
        u[i + 2] = _mm256_unpacklo_epi64(t[i + 1], t[i + 3]);
        u[i + 3] = _mm256_unpackhi_epi64(t[i + 1], t[i + 3]);
    }
    for (int i = 0; i < 4; ++i) {
        r[i] = _mm256_permute2x128_si256(u[i], u[i + 4], 0x20);
        r[i + 4] = _mm256_permute2x128_si256(u[i], u[i + 4], 0x31);
    }
}

ZAN_INLINE void idct8_1d_32(__m256i* d) {
    auto add = [](__m256i a, __m256i b) { return _mm256_add_epi32(a, b); };
    auto sub = [](__m256i a, __m256i b) { return _mm256_sub_epi32(a, b); };
    auto sr1 = [](__m256i a) { return _mm256_srai_epi32(a, 1); };
    auto sr2 = [](__m256i a) { return _mm256_srai_epi32(a, 2); };
    const __m256i e0 = add(d[0], d[4]);
    const __m256i e1 = sub(sub(sub(d[5], d[3]), d[7]), sr1(d[7]));
    const __m256i e2 = sub(d[0], d[4]);
    const __m256i e3 = sub(sub(add(d[1], d[7]), d[3]), sr1(d[3]));
    const __m256i e4 = sub(sr1(d[2]), d[6]);
    const __m256i e5 = add(add(sub(d[7], d[1]), d[5]), sr1(d[5]));
    const __m256i e6 = add(d[2], sr1(d[6]));
    const __m256i e7 = add(add(add(d[3], d[5]), d[1]), sr1(d[1]));
    const __m256i f0 = add(e0, e6), f1 = add(e1, sr2(e7)), f2 = add(e2, e4), f3 = add(e3, sr2(e5));
    const __m256i f4 = sub(e2, e4), f5 = sub(sr2(e3), e5), f6 = sub(e0, e6), f7 = sub(e7, sr2(e1));
    d[0] = add(f0, f7);
    d[1] = add(f2, f5);
    d[2] = add(f4, f3);
    d[3] = add(f6, f1);
    d[4] = sub(f6, f1);
    d[5] = sub(f4, f3);
    d[6] = sub(f2, f5);
    d[7] = sub(f0, f7);
}

// 64 dequantized coefficients -> residual added in place to an 8x8 block.
ZAN_INLINE void add8x8_32(const int32_t* d, uint8_t* dst, int32_t step) {
    __m256i r[8];
    for (int i = 0; i < 8; ++i) r[i] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + 8 * i));
    transpose8x8_32(r);
    idct8_1d_32(r);
    transpose8x8_32(r);
    idct8_1d_32(r);
    for (int i = 0; i < 8; ++i) {
        uint8_t* p = dst + ptrdiff_t(step) * i;
        const __m256i res = _mm256_srai_epi32(_mm256_add_epi32(r[i], _mm256_set1_epi32(32)), 6);
        const __m256i s = _mm256_add_epi32(_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))), res);
        const __m128i w = _mm_packs_epi32(_mm256_castsi256_si128(s), _mm256_extracti128_si256(s, 1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(w, w));
    }
}

// Scaling with the caller's levels, 8 values at a time (n a multiple of 8):
// qP >= 24 (4x4; 36 for 8x8): (c * ls) << (qP/6 - base), else
// (c * ls + 2^(base - 1 - qP/6)) >> (base - qP/6), 32-bit wrap-around.
ZAN_INLINE void dequant_levels(const int16_t* c, const int16_t* ls, int qp, int base, int n, int32_t* d) {
    const int sh = qp / 6 - base;
    const __m128i count = _mm_cvtsi32_si128(sh >= 0 ? sh : -sh);
    const __m256i round = _mm256_set1_epi32(sh >= 0 ? 0 : 1 << (-sh - 1));
    for (int i = 0; i < n; i += 8) {
        const __m256i cv = _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c + i)));
        const __m256i lv = _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(ls + i)));
        const __m256i p = _mm256_mullo_epi32(cv, lv);
        const __m256i r = sh >= 0 ? _mm256_sll_epi32(p, count) : _mm256_sra_epi32(_mm256_add_epi32(p, round), count);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), r);
    }
}

// Flat scaling of one 4x4 block: 32-bit products c * scale.
ZAN_INLINE void dequant_flat(const int16_t* c, const int16_t* scale, int32_t* d) {
    for (int i = 0; i < 16; i += 8) {
        const __m256i cv = _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c + i)));
        const __m256i sv = _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(scale + i)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_mullo_epi32(cv, sv));
    }
}

}  // namespace
}  // namespace zan::h264::simd
