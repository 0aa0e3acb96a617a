// H.264 deblocking filters, AVX2 kernels for the 8-bit forms. The samples
// around an edge are brought into 16-bit lanes (rows of a vertical edge by
// transposition), one lane per position along the edge; every position of
// an edge (two edges at once where they cannot interact) is filtered in one
// pass, with alpha, beta, tC0 and bS chosen per lane. Results equal the
// portable driver's for every input.
#include <immintrin.h>

#include <cstring>

#include "h264/deblock.h"

namespace zan::avx2 {

namespace {

using namespace zan::deblock;

using V = __m256i;

// Per-lane thresholds, 16-bit: bS 0 skips the lane, above 3 is strong.
struct Lanes {
    V alpha, beta, tc0, bs;
};

ZAN_INLINE int32_t ld4(const uint8_t* p) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Loads N bytes (4, 8 or 12) without reading past them.
template <int N>
ZAN_INLINE __m128i load_n(const uint8_t* p) {
    static_assert(N == 4 || N == 8 || N == 12);
    if constexpr (N == 4) return _mm_cvtsi32_si128(ld4(p));
    const __m128i lo = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    if constexpr (N == 8) return lo;
    return _mm_insert_epi32(lo, ld4(p + 8), 2);
}

// Spreads bytes over 16 lanes by a shuffle pattern (index -1: zero).
ZAN_INLINE V spread(__m128i bytes, __m128i pattern) { return _mm256_cvtepu8_epi16(_mm_shuffle_epi8(bytes, pattern)); }

// Shuffle patterns: byte i -> lanes 4i..4i+3, or 2i, 2i+1. Functions, not
// namespace-scope constants: nothing in this file may run at load time on a
// processor without AVX2.
ZAN_INLINE __m128i by4() { return _mm_setr_epi8(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3); }
ZAN_INLINE __m128i by2() { return _mm_setr_epi8(0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7); }

ZAN_INLINE V widen(__m128i x) { return _mm256_cvtepu8_epi16(x); }
ZAN_INLINE __m128i narrow(V v) {
    return _mm_packus_epi16(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
}
ZAN_INLINE V halves(int lo, int hi) {
    return _mm256_set_m128i(_mm_set1_epi16(int16_t(hi)), _mm_set1_epi16(int16_t(lo)));
}

ZAN_INLINE V clip_tc(V x, V tc) { return _mm256_min_epi16(_mm256_max_epi16(x, _mm256_sub_epi16(_mm256_setzero_si256(), tc)), tc); }
ZAN_INLINE V absdiff(V a, V b) { return _mm256_abs_epi16(_mm256_sub_epi16(a, b)); }
ZAN_INLINE V sel(V keep, V take, V mask) { return _mm256_blendv_epi8(keep, take, mask); }
ZAN_INLINE V add3(V a, V b, V c) { return _mm256_add_epi16(_mm256_add_epi16(a, b), c); }

// H.264 8.7.2.3/8.7.2.4 on 16 positions: x[0..7] = p3, p2, p1, p0, q0, q1,
// q2, q3 (chroma uses x[2..5] only). The normal and the strong filter are
// each computed only when some lane takes it.
template <bool Luma>
ZAN_INLINE void filter_lanes(V* x, const Lanes& L) {
    const V zero = _mm256_setzero_si256(), two = _mm256_set1_epi16(2), four = _mm256_set1_epi16(4);
    const V p1 = x[2], p0 = x[3], q0 = x[4], q1 = x[5];
    const V p3 = Luma ? x[0] : zero, p2 = Luma ? x[1] : zero, q2 = Luma ? x[6] : zero, q3 = Luma ? x[7] : zero;
    const V ad = absdiff(p0, q0);
    V on = _mm256_and_si256(_mm256_cmpgt_epi16(L.alpha, ad),
                            _mm256_and_si256(_mm256_cmpgt_epi16(L.beta, absdiff(p1, p0)),
                                             _mm256_cmpgt_epi16(L.beta, absdiff(q1, q0))));
    on = _mm256_andnot_si256(_mm256_cmpeq_epi16(L.bs, zero), on);
    if (_mm256_testz_si256(on, on)) return;
    const V strong = _mm256_and_si256(on, _mm256_cmpgt_epi16(L.bs, _mm256_set1_epi16(3)));
    const V normal = _mm256_andnot_si256(strong, on);
    V ap = zero, aq = zero;
    if constexpr (Luma) {
        ap = _mm256_cmpgt_epi16(L.beta, absdiff(p2, p0));
        aq = _mm256_cmpgt_epi16(L.beta, absdiff(q2, q0));
    }

    if (!_mm256_testz_si256(normal, normal)) {  // bS 1..3
        const V d = _mm256_srai_epi16(
            add3(_mm256_slli_epi16(_mm256_sub_epi16(q0, p0), 2), _mm256_sub_epi16(p1, q1), four), 3);
        const V tc = Luma ? _mm256_sub_epi16(_mm256_sub_epi16(L.tc0, ap), aq)
                          : _mm256_add_epi16(L.tc0, _mm256_set1_epi16(1));
        const V delta = clip_tc(d, tc), max = _mm256_set1_epi16(255);
        const V np0 = _mm256_max_epi16(_mm256_min_epi16(_mm256_add_epi16(p0, delta), max), zero);
        const V nq0 = _mm256_max_epi16(_mm256_min_epi16(_mm256_sub_epi16(q0, delta), max), zero);
        x[3] = sel(p0, np0, normal);
        x[4] = sel(q0, nq0, normal);
        if constexpr (Luma) {
            const V avg = _mm256_avg_epu16(p0, q0);
            const V dp1 = _mm256_srai_epi16(_mm256_sub_epi16(_mm256_add_epi16(p2, avg), _mm256_slli_epi16(p1, 1)), 1);
            const V dq1 = _mm256_srai_epi16(_mm256_sub_epi16(_mm256_add_epi16(q2, avg), _mm256_slli_epi16(q1, 1)), 1);
            x[2] = sel(p1, _mm256_add_epi16(p1, clip_tc(dp1, L.tc0)), _mm256_and_si256(normal, ap));
            x[5] = sel(q1, _mm256_add_epi16(q1, clip_tc(dq1, L.tc0)), _mm256_and_si256(normal, aq));
        }
    }

    if (!_mm256_testz_si256(strong, strong)) {  // bS 4
        // The chroma form, also the luma one where the sides are not smooth.
        const V wp0 = _mm256_srai_epi16(add3(_mm256_slli_epi16(p1, 1), p0, _mm256_add_epi16(q1, two)), 2);
        const V wq0 = _mm256_srai_epi16(add3(_mm256_slli_epi16(q1, 1), q0, _mm256_add_epi16(p1, two)), 2);
        x[3] = sel(x[3], wp0, strong);
        x[4] = sel(x[4], wq0, strong);
        if constexpr (Luma) {
            const V gap = _mm256_cmpgt_epi16(_mm256_add_epi16(_mm256_srai_epi16(L.alpha, 2), two), ad);
            const V sp = _mm256_and_si256(strong, _mm256_and_si256(ap, gap));
            const V sq = _mm256_and_si256(strong, _mm256_and_si256(aq, gap));
            const V pq0 = _mm256_add_epi16(p0, q0);
            const V sp0 = _mm256_srai_epi16(
                add3(_mm256_add_epi16(p2, q1), _mm256_slli_epi16(_mm256_add_epi16(p1, pq0), 1), four), 3);
            const V sq0 = _mm256_srai_epi16(
                add3(_mm256_add_epi16(q2, p1), _mm256_slli_epi16(_mm256_add_epi16(q1, pq0), 1), four), 3);
            const V sp1 = _mm256_srai_epi16(add3(p2, p1, _mm256_add_epi16(pq0, two)), 2);
            const V sq1 = _mm256_srai_epi16(add3(q2, q1, _mm256_add_epi16(pq0, two)), 2);
            const V sp2 = _mm256_srai_epi16(add3(_mm256_slli_epi16(_mm256_add_epi16(p3, p2), 1),
                                                 _mm256_add_epi16(p2, p1), _mm256_add_epi16(pq0, four)),
                                            3);
            const V sq2 = _mm256_srai_epi16(add3(_mm256_slli_epi16(_mm256_add_epi16(q3, q2), 1),
                                                 _mm256_add_epi16(q2, q1), _mm256_add_epi16(pq0, four)),
                                            3);
            x[3] = sel(x[3], sp0, sp);
            x[4] = sel(x[4], sq0, sq);
            x[2] = sel(x[2], sp1, sp);
            x[5] = sel(x[5], sq1, sq);
            x[1] = sel(p2, sp2, sp);
            x[6] = sel(q2, sq2, sq);
        }
    }
}

// ---------------------------------------------------------------------------
// Transpositions
// ---------------------------------------------------------------------------

// 16x16 bytes held as 8 registers, register i = lines i (low lane) and i+8
// (high lane); each lane is transposed on its own. Three interleave stages
// pair register j with j+4; reading the input in bit-reversed order leaves
// register k holding, per lane, byte 2k of the lane's 8 lines in its low 8
// bytes and byte 2k+1 in its high 8 bytes.
ZAN_INLINE void butterfly8(V* r) {
    static constexpr int kRev[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    V a[8], b[8];
    for (int i = 0; i < 8; ++i) a[i] = r[kRev[i]];
    for (int j = 0; j < 4; ++j) {
        b[2 * j] = _mm256_unpacklo_epi8(a[j], a[j + 4]);
        b[2 * j + 1] = _mm256_unpackhi_epi8(a[j], a[j + 4]);
    }
    for (int j = 0; j < 4; ++j) {
        a[2 * j] = _mm256_unpacklo_epi16(b[j], b[j + 4]);
        a[2 * j + 1] = _mm256_unpackhi_epi16(b[j], b[j + 4]);
    }
    for (int j = 0; j < 4; ++j) {
        r[2 * j] = _mm256_unpacklo_epi32(a[j], a[j + 4]);
        r[2 * j + 1] = _mm256_unpackhi_epi32(a[j], a[j + 4]);
    }
}

// 16 rows (16 bytes each, or 8 in the low half) -> 16 columns in 16-bit
// lanes, lane y = row y.
ZAN_INLINE void rows_to_columns(const __m128i* rows, V* cols) {
    V r[8];
    for (int i = 0; i < 8; ++i) r[i] = _mm256_inserti128_si256(_mm256_castsi128_si256(rows[i]), rows[i + 8], 1);
    butterfly8(r);
    const V zero = _mm256_setzero_si256();
    for (int k = 0; k < 8; ++k) {
        cols[2 * k] = _mm256_unpacklo_epi8(r[k], zero);
        cols[2 * k + 1] = _mm256_unpackhi_epi8(r[k], zero);
    }
}

// The inverse: 16 columns of 16-bit lanes (values 0..255) -> 16 rows of 16
// bytes, rows[y] for y = 0..15 in pairs: out[m] low lane row m, high lane
// row m + 8.
ZAN_INLINE void columns_to_rows(const V* cols, V* out) {
    V r[8];
    for (int k = 0; k < 8; ++k) r[k] = _mm256_packus_epi16(cols[k], cols[k + 8]);  // per lane: col k | col k+8
    butterfly8(r);  // r[m], m < 4: rows 2m | 2m+1 of columns 0..7; r[m+4]: of columns 8..15
    for (int m = 0; m < 4; ++m) {
        out[2 * m] = _mm256_unpacklo_epi64(r[m], r[m + 4]);
        out[2 * m + 1] = _mm256_unpackhi_epi64(r[m], r[m + 4]);
    }
}

ZAN_INLINE void store_row_pair(uint8_t* lo, uint8_t* hi, V v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lo), _mm256_castsi256_si128(v));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(hi), _mm256_extracti128_si256(v, 1));
}

// 8x8 bytes: in[i] holds line i in its low 8 bytes; out[j] gets byte 2j of
// every line in its low half and byte 2j + 1 in its high half.
ZAN_INLINE void transpose8(const __m128i* in, __m128i* out) {
    __m128i a[4], b[4];
    for (int i = 0; i < 4; ++i) a[i] = _mm_unpacklo_epi8(in[2 * i], in[2 * i + 1]);
    b[0] = _mm_unpacklo_epi16(a[0], a[1]);
    b[1] = _mm_unpackhi_epi16(a[0], a[1]);
    b[2] = _mm_unpacklo_epi16(a[2], a[3]);
    b[3] = _mm_unpackhi_epi16(a[2], a[3]);
    out[0] = _mm_unpacklo_epi32(b[0], b[2]);
    out[1] = _mm_unpackhi_epi32(b[0], b[2]);
    out[2] = _mm_unpacklo_epi32(b[1], b[3]);
    out[3] = _mm_unpackhi_epi32(b[1], b[3]);
}

// 8x8 16-bit units (NV12 CbCr pairs): in[i] line i, out[j] unit j of every line.
ZAN_INLINE void transpose8x16bit(const __m128i* in, __m128i* out) {
    __m128i a[8], b[8];
    for (int i = 0; i < 4; ++i) {
        a[i] = _mm_unpacklo_epi16(in[2 * i], in[2 * i + 1]);
        a[i + 4] = _mm_unpackhi_epi16(in[2 * i], in[2 * i + 1]);
    }
    for (int i = 0; i < 2; ++i)
        for (int h = 0; h < 2; ++h) {
            b[4 * h + 2 * i] = _mm_unpacklo_epi32(a[4 * h + 2 * i], a[4 * h + 2 * i + 1]);
            b[4 * h + 2 * i + 1] = _mm_unpackhi_epi32(a[4 * h + 2 * i], a[4 * h + 2 * i + 1]);
        }
    for (int h = 0; h < 2; ++h)
        for (int i = 0; i < 2; ++i) {
            out[4 * h + 2 * i] = _mm_unpacklo_epi64(b[4 * h + i], b[4 * h + i + 2]);
            out[4 * h + 2 * i + 1] = _mm_unpackhi_epi64(b[4 * h + i], b[4 * h + i + 2]);
        }
}

// 4 bytes of each of 4 lines <-> 4 columns of 4 bytes (a 4x4 transpose).
ZAN_INLINE __m128i k4x4() { return _mm_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15); }

ZAN_INLINE uint8_t* at(uint8_t* p, int32_t step, int y) { return p + ptrdiff_t(step) * y; }
ZAN_INLINE __m128i ld16(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
ZAN_INLINE __m128i ld8(const uint8_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }
ZAN_INLINE void st16(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
ZAN_INLINE void st8(uint8_t* p, __m128i v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v); }
ZAN_INLINE void st8hi(uint8_t* p, __m128i v) { st8(p, _mm_unpackhi_epi64(v, v)); }
template <int N>
ZAN_INLINE void st_n(uint8_t* p, __m128i v) {  // the low N < 16 bytes
    alignas(16) uint8_t b[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(b), v);
    std::memcpy(p, b, N);
}

// Rows around a vertical edge at the block's left side start Lead bytes
// before it. When that edge is idle (its bS bytes all 0, as at a picture
// border) nothing left of the block is touched: the row is read from the
// block on and shifted into place, and written back from the block on.
template <int Lead>
ZAN_INLINE __m128i ld_lead(const uint8_t* p, bool ext, __m128i (*load)(const uint8_t*)) {
    return ext ? load(p - Lead) : _mm_slli_si128(load(p), Lead);
}
template <int N, int Lead>
ZAN_INLINE void st_lead(uint8_t* p, __m128i v, bool ext) {
    if (ext) {
        if constexpr (N == 16) st16(p - Lead, v);
        else st8(p - Lead, v);
    } else {
        st_n<N - Lead>(p, _mm_srli_si128(v, Lead));
    }
}

ZAN_INLINE bool all_zero(__m128i v) { return _mm_testz_si128(v, v); }

// ---------------------------------------------------------------------------
// Luma 16x16
// ---------------------------------------------------------------------------

// The four luma edges in order over v[0..19] (samples -4..15 across them).
ZAN_INLINE void luma_edges(V* v, const uint8_t* pAlpha, const uint8_t* pBeta, const uint8_t* pTc0,
                           const uint8_t* pBs) {
    for (int e = 0; e < 4; ++e) {
        const __m128i b = load_n<4>(pBs + 4 * e);
        if (all_zero(b)) continue;
        const int a = LumaEdges::alpha(e);
        const Lanes L{_mm256_set1_epi16(pAlpha[a]), _mm256_set1_epi16(pBeta[a]), spread(load_n<4>(pTc0 + 4 * e), by4()),
                      spread(b, by4())};
        filter_lanes<true>(v + 4 * e, L);
    }
}

void luma_ver(uint8_t* p, int32_t step, const uint8_t* pAlpha, const uint8_t* pBeta, const uint8_t* pTc0,
              const uint8_t* pBs) {
    if (all_zero(ld16(pBs))) return;
    __m128i rows[16];
    V v[20], out[8];
    if (ld4(pBs) == 0) {  // left edge idle: columns 0..15 only
        for (int y = 0; y < 16; ++y) rows[y] = ld16(at(p, step, y));
        rows_to_columns(rows, v + 4);
        luma_edges(v, pAlpha, pBeta, pTc0, pBs);
        columns_to_rows(v + 4, out);
        for (int m = 0; m < 8; ++m) store_row_pair(at(p, step, m), at(p, step, m + 8), out[m]);
        return;
    }
    // Columns -4..11 by one transposition, 12..15 by a 4x4 one per 4 lines.
    for (int y = 0; y < 16; ++y) rows[y] = ld16(at(p, step, y) - 4);
    rows_to_columns(rows, v);
    __m128i quad[4];
    for (int g = 0; g < 4; ++g)
        quad[g] = _mm_shuffle_epi8(_mm_setr_epi32(ld4(at(p, step, 4 * g) + 12), ld4(at(p, step, 4 * g + 1) + 12),
                                                  ld4(at(p, step, 4 * g + 2) + 12), ld4(at(p, step, 4 * g + 3) + 12)),
                                   k4x4());
    const __m128i t0 = _mm_unpacklo_epi32(quad[0], quad[1]), t1 = _mm_unpacklo_epi32(quad[2], quad[3]);
    const __m128i t2 = _mm_unpackhi_epi32(quad[0], quad[1]), t3 = _mm_unpackhi_epi32(quad[2], quad[3]);
    v[16] = widen(_mm_unpacklo_epi64(t0, t1));
    v[17] = widen(_mm_unpackhi_epi64(t0, t1));
    v[18] = widen(_mm_unpacklo_epi64(t2, t3));
    v[19] = widen(_mm_unpackhi_epi64(t2, t3));

    luma_edges(v, pAlpha, pBeta, pTc0, pBs);

    // Columns -3..12 back as 16-byte rows, then 13..14 as 2-byte pieces.
    columns_to_rows(v + 1, out);
    for (int m = 0; m < 8; ++m) store_row_pair(at(p, step, m) - 3, at(p, step, m + 8) - 3, out[m]);
    const __m128i c13 = narrow(v[17]), c14 = narrow(v[18]);
    const __m128i lo = _mm_unpacklo_epi8(c13, c14), hi = _mm_unpackhi_epi8(c13, c14);
    alignas(16) uint16_t pairs[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(pairs), lo);
    _mm_store_si128(reinterpret_cast<__m128i*>(pairs + 8), hi);
    for (int y = 0; y < 16; ++y) std::memcpy(at(p, step, y) + 13, &pairs[y], 2);
}

void luma_hor(uint8_t* p, int32_t step, const uint8_t* pAlpha, const uint8_t* pBeta, const uint8_t* pTc0,
              const uint8_t* pBs) {
    if (all_zero(ld16(pBs))) return;
    const int first = ld4(pBs) ? 0 : 4;  // rows above only when the top edge is active
    V v[20];
    for (int i = first; i < 20; ++i) v[i] = widen(ld16(at(p, step, i - 4)));
    luma_edges(v, pAlpha, pBeta, pTc0, pBs);
    for (int i = first + 1; i < 19; ++i) st16(at(p, step, i - 4), narrow(v[i]));
}

// ---------------------------------------------------------------------------
// Chroma 4:2:0, one plane: both edges in one pass (lanes 0..7 edge 0, 8..15
// edge 1); chroma edges 4 apart never touch each other's samples.
// ---------------------------------------------------------------------------

ZAN_INLINE Lanes chroma420_lanes(const uint8_t* pAlpha, const uint8_t* pBeta, const uint8_t* pTc0,
                                 const uint8_t* pBs) {
    const __m128i bsPattern = _mm_setr_epi8(0, 0, 1, 1, 2, 2, 3, 3, 8, 8, 9, 9, 10, 10, 11, 11);
    return Lanes{halves(pAlpha[0], pAlpha[1]), halves(pBeta[0], pBeta[1]), spread(load_n<8>(pTc0), by2()),
                 spread(load_n<12>(pBs), bsPattern)};
}

ZAN_INLINE bool chroma420_idle(const uint8_t* pBs) {
    return all_zero(_mm_and_si128(load_n<12>(pBs), _mm_setr_epi32(-1, 0, -1, 0)));
}

void chroma_ver(uint8_t* p, int32_t step, const uint8_t* pAlpha, const uint8_t* pBeta, const uint8_t* pTc0,
                const uint8_t* pBs) {
    if (chroma420_idle(pBs)) return;
    const bool ext = ld4(pBs) != 0;
    __m128i rows[8], c[4];
    for (int y = 0; y < 8; ++y) rows[y] = ld_lead<2>(at(p, step, y), ext, ld8);
    transpose8(rows, c);  // c[j]: columns 2j, 2j+1 of -2..5
    V v[8];
    v[2] = widen(_mm_unpacklo_epi64(c[0], c[2]));
    v[3] = widen(_mm_unpackhi_epi64(c[0], c[2]));
    v[4] = widen(_mm_unpacklo_epi64(c[1], c[3]));
    v[5] = widen(_mm_unpackhi_epi64(c[1], c[3]));
    filter_lanes<false>(v, chroma420_lanes(pAlpha, pBeta, pTc0, pBs));
    const __m128i P1 = narrow(v[2]), P0 = narrow(v[3]), Q0 = narrow(v[4]), Q1 = narrow(v[5]);
    const __m128i cols[8] = {P1, P0, Q0, Q1, _mm_unpackhi_epi64(P1, P1), _mm_unpackhi_epi64(P0, P0),
                             _mm_unpackhi_epi64(Q0, Q0), _mm_unpackhi_epi64(Q1, Q1)};
    __m128i out[4];
    transpose8(cols, out);
    for (int j = 0; j < 4; ++j) {
        st_lead<8, 2>(at(p, step, 2 * j), out[j], ext);
        st_lead<8, 2>(at(p, step, 2 * j + 1), _mm_unpackhi_epi64(out[j], out[j]), ext);
    }
}

void chroma_hor(uint8_t* p, int32_t step, const uint8_t* pAlpha, const uint8_t* pBeta, const uint8_t* pTc0,
                const uint8_t* pBs) {
    if (chroma420_idle(pBs)) return;
    const bool ext = ld4(pBs) != 0;  // else edge 0's lanes stay idle: rows above not touched
    V v[8];
    for (int i = 0; i < 4; ++i)
        v[2 + i] = widen(_mm_unpacklo_epi64(ld8(at(p, step, ext ? i - 2 : i & 1)), ld8(at(p, step, i + 2))));
    filter_lanes<false>(v, chroma420_lanes(pAlpha, pBeta, pTc0, pBs));
    const __m128i P0 = narrow(v[3]), Q0 = narrow(v[4]);
    if (ext) st8(at(p, step, -1), P0);
    st8hi(at(p, step, 3), P0);
    st8(at(p, step, 0), Q0);
    st8hi(at(p, step, 4), Q0);
}

// ---------------------------------------------------------------------------
// NV12 chroma: per edge 16 lanes, lane 2k + c for position k of component c
// (both directions interleave Cb and Cr the same way).
// ---------------------------------------------------------------------------

ZAN_INLINE Lanes nv12_lanes(const Params<uint8_t>& prm, int e) {
    const int a = Chroma420Edges::alpha(e);
    // tC0 bytes: Cb entries 4e..4e+3 then Cr entries, lane 2k + c -> [4c + (k >> 1)].
    const __m128i tc = _mm_unpacklo_epi32(_mm_cvtsi32_si128(ld4(prm.tc0 + 4 * e)),
                                          _mm_cvtsi32_si128(ld4(prm.tc0 + prm.tcStride + 4 * e)));
    const __m128i tcPattern = _mm_setr_epi8(0, 4, 0, 4, 1, 5, 1, 5, 2, 6, 2, 6, 3, 7, 3, 7);
    return Lanes{_mm256_set1_epi32((prm.alpha[2 + a] << 16) | prm.alpha[a]),
                 _mm256_set1_epi32((prm.beta[2 + a] << 16) | prm.beta[a]), spread(tc, tcPattern),
                 spread(load_n<4>(prm.bs + 8 * e), by4())};
}

void nv12_ver(uint8_t* p, int32_t step, const Params<uint8_t>& prm) {
    if (chroma420_idle(prm.bs)) return;
    const bool ext = ld4(prm.bs) != 0;
    __m128i rows[8], cols[8];
    for (int y = 0; y < 8; ++y) rows[y] = ld_lead<4>(at(p, step, y), ext, ld16);
    transpose8x16bit(rows, cols);  // pair columns -2..5
    for (int e = 0; e < 2; ++e) {
        if (all_zero(load_n<4>(prm.bs + 8 * e))) continue;
        V v[8];
        for (int i = 0; i < 4; ++i) v[2 + i] = widen(cols[4 * e + i]);
        filter_lanes<false>(v, nv12_lanes(prm, e));
        cols[4 * e + 1] = narrow(v[3]);
        cols[4 * e + 2] = narrow(v[4]);
    }
    transpose8x16bit(cols, rows);
    for (int y = 0; y < 8; ++y) st_lead<16, 4>(at(p, step, y), rows[y], ext);
}

void nv12_hor(uint8_t* p, int32_t step, const Params<uint8_t>& prm) {
    for (int e = 0; e < 2; ++e) {
        if (all_zero(load_n<4>(prm.bs + 8 * e))) continue;
        uint8_t* edge = at(p, step, 4 * e);
        V v[8];
        for (int i = 0; i < 4; ++i) v[2 + i] = widen(ld16(at(edge, step, i - 2)));
        filter_lanes<false>(v, nv12_lanes(prm, e));
        st16(at(edge, step, -1), narrow(v[3]));
        st16(edge, narrow(v[4]));
    }
}

// ---------------------------------------------------------------------------
// Chroma 4:2:2 (8 wide, 16 high)
// ---------------------------------------------------------------------------

void chroma422_ver(uint8_t* p, int32_t step, const uint8_t* pAlpha, const uint8_t* pBeta, const uint8_t* pTc0,
                   const uint8_t* pBs) {
    if (chroma420_idle(pBs)) return;
    const bool ext = ld4(pBs) != 0;
    __m128i rows[16];
    for (int y = 0; y < 16; ++y) rows[y] = _mm_move_epi64(ld_lead<2>(at(p, step, y), ext, ld8));
    V cols[16];
    rows_to_columns(rows, cols);  // cols[0..7]: columns -2..5; 8..15 zero
    for (int e = 0; e < 2; ++e) {
        const __m128i b = load_n<4>(pBs + 8 * e);
        if (all_zero(b)) continue;
        const int a = Chroma422VerEdges::alpha(e);
        V v[8];
        for (int i = 0; i < 4; ++i) v[2 + i] = cols[4 * e + i];
        filter_lanes<false>(v, Lanes{_mm256_set1_epi16(pAlpha[a]), _mm256_set1_epi16(pBeta[a]),
                                     spread(load_n<4>(pTc0 + 4 * e), by4()), spread(b, by4())});
        cols[4 * e + 1] = v[3];
        cols[4 * e + 2] = v[4];
    }
    V out[8];
    columns_to_rows(cols, out);
    for (int m = 0; m < 8; ++m) {
        st_lead<8, 2>(at(p, step, m), _mm256_castsi256_si128(out[m]), ext);
        st_lead<8, 2>(at(p, step, m + 8), _mm256_extracti128_si256(out[m], 1), ext);
    }
}

// Edges (0, 1) and (2, 3) in pairs; the filter of each position follows the
// edge's first bS byte as in the portable driver.
void chroma422_hor(uint8_t* p, int32_t step, const uint8_t* pAlpha, const uint8_t* pBeta, const uint8_t* pTc0,
                   const uint8_t* pBs) {
    alignas(16) uint8_t f[16];
    for (int e = 0; e < 4; ++e)
        for (int s = 0; s < 4; ++s) f[4 * e + s] = filter_of<Chroma422HorEdges>(pBs, e, 2 * s);
    for (int pair = 0; pair < 2; ++pair) {
        const __m128i b = load_n<8>(f + 8 * pair);
        if (all_zero(b)) continue;
        uint8_t* edge = at(p, step, 8 * pair);
        const bool ext = pair > 0 || ld4(f) != 0;  // else edge 0's lanes stay idle: rows above not touched
        V v[8];
        for (int i = 0; i < 4; ++i)
            v[2 + i] = widen(_mm_unpacklo_epi64(ld8(at(edge, step, ext ? i - 2 : i & 1)), ld8(at(edge, step, i + 2))));
        const int a0 = Chroma422HorEdges::alpha(2 * pair), a1 = Chroma422HorEdges::alpha(2 * pair + 1);
        filter_lanes<false>(v, Lanes{halves(pAlpha[a0], pAlpha[a1]), halves(pBeta[a0], pBeta[a1]),
                                     spread(load_n<8>(pTc0 + 8 * pair), by2()), spread(b, by2())});
        const __m128i P0 = narrow(v[3]), Q0 = narrow(v[4]);
        if (ext) st8(at(edge, step, -1), P0);
        st8hi(at(edge, step, 3), P0);
        st8(edge, Q0);
        st8hi(at(edge, step, 4), Q0);
    }
}

// ---------------------------------------------------------------------------
// MBAFF left edges: luma 8 rows (lanes 0..7), chroma 4 rows (lanes 0..3).
// Against 8-bit samples an alpha or beta above 1023 acts like 1023.
// ---------------------------------------------------------------------------

ZAN_INLINE Lanes mbaff_lanes(Zan32u nAlpha, Zan32u nBeta, const uint8_t* pTc0, const uint8_t* pBs, __m128i pattern) {
    return Lanes{_mm256_set1_epi16(int16_t(std::min<Zan32u>(nAlpha, 1023))),
                 _mm256_set1_epi16(int16_t(std::min<Zan32u>(nBeta, 1023))), spread(load_n<4>(pTc0), pattern),
                 spread(load_n<4>(pBs), pattern)};
}

void luma_mbaff(uint8_t* p, int32_t step, Zan32u nAlpha, Zan32u nBeta, const uint8_t* pTc0, const uint8_t* pBs) {
    if (nAlpha == 0 || ld4(pBs) == 0) return;
    __m128i rows[8], c[4];
    for (int y = 0; y < 8; ++y) rows[y] = ld8(at(p, step, y) - 4);
    transpose8(rows, c);
    V v[8];
    for (int j = 0; j < 4; ++j) {
        v[2 * j] = widen(c[j]);
        v[2 * j + 1] = widen(_mm_unpackhi_epi64(c[j], c[j]));
    }
    const __m128i pattern = _mm_setr_epi8(0, 0, 1, 1, 2, 2, 3, 3, -1, -1, -1, -1, -1, -1, -1, -1);
    filter_lanes<true>(v, mbaff_lanes(nAlpha, nBeta, pTc0, pBs, pattern));
    __m128i cols[8];
    for (int i = 0; i < 8; ++i) cols[i] = narrow(v[i]);
    transpose8(cols, c);
    for (int j = 0; j < 4; ++j)
        for (int h = 0; h < 2; ++h) {
            alignas(16) uint8_t line[16];
            _mm_store_si128(reinterpret_cast<__m128i*>(line), c[j]);
            std::memcpy(at(p, step, 2 * j + h) - 3, line + 8 * h + 1, 6);  // columns -3..2
        }
}

void chroma_mbaff(uint8_t* p, int32_t step, Zan32u nAlpha, Zan32u nBeta, const uint8_t* pTc0, const uint8_t* pBs) {
    if (nAlpha == 0 || ld4(pBs) == 0) return;
    const __m128i cols = _mm_shuffle_epi8(
        _mm_setr_epi32(ld4(at(p, step, 0) - 2), ld4(at(p, step, 1) - 2), ld4(at(p, step, 2) - 2), ld4(at(p, step, 3) - 2)),
        k4x4());
    V v[8];
    v[2] = widen(cols);
    v[3] = widen(_mm_srli_si128(cols, 4));
    v[4] = widen(_mm_srli_si128(cols, 8));
    v[5] = widen(_mm_srli_si128(cols, 12));
    const __m128i pattern = _mm_setr_epi8(0, 1, 2, 3, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    filter_lanes<false>(v, mbaff_lanes(nAlpha, nBeta, pTc0, pBs, pattern));
    const __m128i back = _mm_shuffle_epi8(
        _mm_unpacklo_epi64(_mm_unpacklo_epi32(narrow(v[2]), narrow(v[3])), _mm_unpacklo_epi32(narrow(v[4]), narrow(v[5]))),
        k4x4());
    alignas(16) int32_t line[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(line), back);
    for (int y = 0; y < 4; ++y) std::memcpy(at(p, step, y) - 2, &line[y], 4);
}

// NV12 kernels in the common argument form: one threshold set for both
// components (C2IR) or one set each (C2I).
template <int Sets>
void nv12_ver_args(uint8_t* p, int32_t step, const uint8_t* a, const uint8_t* b, const uint8_t* t, const uint8_t* bs) {
    nv12_ver(p, step, make_params<Chroma420Edges>(a, b, t, bs, Sets));
}
template <int Sets>
void nv12_hor_args(uint8_t* p, int32_t step, const uint8_t* a, const uint8_t* b, const uint8_t* t, const uint8_t* bs) {
    nv12_hor(p, step, make_params<Chroma420Edges>(a, b, t, bs, Sets));
}

using Kernel = void (*)(uint8_t*, int32_t, const uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*);

template <Kernel K>
ZanResult checked(Zan8u* p, int32_t step, const Zan8u* a, const Zan8u* b, const Zan8u* t, const Zan8u* bs) {
    if (const ZanResult r = check_pointers(p, a, b, t, bs); r != ZAN_OK) return r;
    K(p, step, a, b, t, bs);
    return ZAN_OK;
}

template <Kernel K>
ZanResult checked(const ZanFilterDeblock_8u* r) {
    if (const ZanResult s = check_record(r); s != ZAN_OK) return s;
    K(r->pSrcDst, r->srcdstStep, r->pAlpha, r->pBeta, r->pThresholds, r->pBs);
    return ZAN_OK;
}

template <void (*K)(uint8_t*, int32_t, Zan32u, Zan32u, const uint8_t*, const uint8_t*)>
ZanResult checked(Zan8u* p, int32_t step, Zan32u nAlpha, Zan32u nBeta, const Zan8u* t, const Zan8u* bs) {
    if (!p || !t || !bs) return ZAN_ERR_NULL_PTR;
    K(p, step, nAlpha, nBeta, t, bs);
    return ZAN_OK;
}

}  // namespace

#define ZAN_DEBLOCK8(NAME, KERNEL)                                                                            \
    ZanResult NAME(Zan8u* pSrcDst, int32_t srcdstStep, const Zan8u* pAlpha, const Zan8u* pBeta,               \
                   const Zan8u* pThresholds, const Zan8u* pBs) {                                              \
        return checked<KERNEL>(pSrcDst, srcdstStep, pAlpha, pBeta, pThresholds, pBs);                         \
    }
ZAN_DEBLOCK8(zaniFilterDeblockingLuma_VerEdge_H264_8u_C1IR, luma_ver)
ZAN_DEBLOCK8(zaniFilterDeblockingLuma_HorEdge_H264_8u_C1IR, luma_hor)
ZAN_DEBLOCK8(zaniFilterDeblockingChroma_VerEdge_H264_8u_C1IR, chroma_ver)
ZAN_DEBLOCK8(zaniFilterDeblockingChroma_HorEdge_H264_8u_C1IR, chroma_hor)
ZAN_DEBLOCK8(zaniFilterDeblockingChroma_VerEdge_H264_8u_C2IR, nv12_ver_args<1>)
ZAN_DEBLOCK8(zaniFilterDeblockingChroma_HorEdge_H264_8u_C2IR, nv12_hor_args<1>)
#undef ZAN_DEBLOCK8

ZanResult zaniFilterDeblockingChroma_VerEdge_H264_8u_C2I(const ZanFilterDeblock_8u* r) {
    return checked<nv12_ver_args<2>>(r);
}
ZanResult zaniFilterDeblockingChroma_HorEdge_H264_8u_C2I(const ZanFilterDeblock_8u* r) {
    return checked<nv12_hor_args<2>>(r);
}
ZanResult zaniFilterDeblockingChroma422VerEdge_H264_8u_C1IR(const ZanFilterDeblock_8u* r) {
    return checked<chroma422_ver>(r);
}
ZanResult zaniFilterDeblockingChroma422HorEdge_H264_8u_C1IR(const ZanFilterDeblock_8u* r) {
    return checked<chroma422_hor>(r);
}
ZanResult zaniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcdstStep, Zan32u nAlpha,
                                                              Zan32u nBeta, const Zan8u* pThresholds,
                                                              const Zan8u* pBs) {
    return checked<luma_mbaff>(pSrcDst, srcdstStep, nAlpha, nBeta, pThresholds, pBs);
}
ZanResult zaniFilterDeblockingChroma_VerEdge_MBAFF_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcdstStep, Zan32u nAlpha,
                                                                Zan32u nBeta, const Zan8u* pThresholds,
                                                                const Zan8u* pBs) {
    return checked<chroma_mbaff>(pSrcDst, srcdstStep, nAlpha, nBeta, pThresholds, pBs);
}

}  // namespace zan::avx2
