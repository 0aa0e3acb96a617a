// Block metrics, AVX2 kernels. Blocks are read as vectors of whole rows
// (two 16-byte rows, four 8-byte rows or eight 4-byte rows to a 256-bit
// register, zero-padded when the block is smaller), the half-sample
// prediction is formed on those vectors, and each metric reduces them. Every
// kernel computes exactly what the portable kernels in metrics_ref.h compute.
#include <immintrin.h>

#include <cstring>
#include <type_traits>

#include "me/metrics_ref.h"

namespace zan::me {
namespace {

using V = __m256i;
using V128 = __m128i;

inline V zero() { return _mm256_setzero_si256(); }
inline V128 load32(const uint8_t* p) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return _mm_cvtsi32_si128(v);
}
inline V128 load64(const uint8_t* p) { return _mm_loadl_epi64(reinterpret_cast<const V128*>(p)); }
inline V128 load128(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const V128*>(p)); }
inline V combine(V128 lo, V128 hi) { return _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1); }
inline V128 lo128(V v) { return _mm256_castsi256_si128(v); }
inline V128 hi128(V v) { return _mm256_extracti128_si256(v, 1); }
template <class T>
inline const uint8_t* bytes(const T* p) {
    return reinterpret_cast<const uint8_t*>(p);
}

// N rows of WB bytes packed from byte 0 of a 128-bit lane (N * WB <= 16).
template <int WB, int N>
inline V128 load_lane(const uint8_t* p, int32_t step) {
    static_assert(N * WB <= 16);
    if constexpr (N == 0) {
        return _mm_setzero_si128();
    } else if constexpr (WB == 16) {
        return load128(p);
    } else if constexpr (WB == 8) {
        const V128 a = load64(p);
        return N == 1 ? a : _mm_unpacklo_epi64(a, load64(p + step));
    } else {
        const V128 a = load32(p);
        const V128 b = N > 1 ? load32(p + step) : _mm_setzero_si128();
        const V128 c = N > 2 ? load32(p + 2 * ptrdiff_t(step)) : _mm_setzero_si128();
        const V128 d = N > 3 ? load32(p + 3 * ptrdiff_t(step)) : _mm_setzero_si128();
        return _mm_unpacklo_epi64(_mm_unpacklo_epi32(a, b), _mm_unpacklo_epi32(c, d));
    }
}

// R rows of WB bytes packed from byte 0 of a 256-bit register, zeros after.
template <int WB, int R>
inline V load_rows(const uint8_t* p, int32_t step) {
    if constexpr (WB == 32) {
        static_assert(R == 1);
        return _mm256_loadu_si256(reinterpret_cast<const V*>(p));
    } else {
        constexpr int L = 16 / WB;  // rows per lane
        constexpr int N0 = R < L ? R : L;
        const V128 lo = load_lane<WB, N0>(p, step);
        if constexpr (R <= L) return _mm256_zextsi128_si256(lo);
        else return combine(lo, load_lane<WB, R - L>(p + ptrdiff_t(step) * L, step));
    }
}

template <int W, int H, class T>
struct Shape {
    static constexpr int WB = W * int(sizeof(T));               // bytes per row
    static constexpr int R = H < 32 / WB ? H : (WB > 32 ? 1 : 32 / WB);  // rows per register
};

// Half-sample prediction of R rows (8-bit samples), rounding term reduced
// by rc; NB: byte distance of the right neighbour.
template <int POS, int WB, int R, int NB>
inline V pred8(const uint8_t* r, int32_t rs, int rc) {
    const V a = load_rows<WB, R>(r, rs);
    if constexpr (POS == kFF) {
        return a;
    } else if constexpr (POS == kFH || POS == kHF) {
        const V b = load_rows<WB, R>(POS == kFH ? r + rs : r + NB, rs);
        const V avg = _mm256_avg_epu8(a, b);  // (a + b + 1) >> 1
        // (a + b) >> 1 = avg - ((a ^ b) & 1)
        return _mm256_sub_epi8(avg, _mm256_and_si256(_mm256_xor_si256(a, b), _mm256_set1_epi8(char(rc))));
    } else {
        const V b = load_rows<WB, R>(r + NB, rs);
        const V c = load_rows<WB, R>(r + rs, rs);
        const V d = load_rows<WB, R>(r + rs + NB, rs);
        const V z = zero(), k = _mm256_set1_epi16(short(2 - rc));
        const auto half = [&](auto unpack) {
            const V s = _mm256_add_epi16(_mm256_add_epi16(unpack(a, z), unpack(b, z)),
                                         _mm256_add_epi16(unpack(c, z), unpack(d, z)));
            return _mm256_srli_epi16(_mm256_add_epi16(s, k), 2);
        };
        return _mm256_packus_epi16(half([](V x, V y) { return _mm256_unpacklo_epi8(x, y); }),
                                   half([](V x, V y) { return _mm256_unpackhi_epi8(x, y); }));
    }
}

// Half-sample prediction of R rows of 16-bit samples: sums saturate at 65535.
template <int POS, int WB, int R>
inline V pred16(const uint8_t* r, int32_t rs) {
    const V a = load_rows<WB, R>(r, rs);
    if constexpr (POS == kFF) {
        return a;
    } else if constexpr (POS == kFH || POS == kHF) {
        const V b = load_rows<WB, R>(POS == kFH ? r + rs : r + 2, rs);
        return _mm256_srli_epi16(_mm256_adds_epu16(_mm256_adds_epu16(a, b), _mm256_set1_epi16(1)), 1);
    } else {
        V s = _mm256_adds_epu16(a, load_rows<WB, R>(r + 2, rs));
        s = _mm256_adds_epu16(s, load_rows<WB, R>(r + rs, rs));
        s = _mm256_adds_epu16(s, load_rows<WB, R>(r + rs + 2, rs));
        return _mm256_srli_epi16(_mm256_adds_epu16(s, _mm256_set1_epi16(2)), 2);
    }
}

template <class T, int POS, int WB, int R>
inline V pred(const uint8_t* r, int32_t rs) {
    if constexpr (sizeof(T) == 1) return pred8<POS, WB, R, 1>(r, rs, 0);
    else return pred16<POS, WB, R>(r, rs);
}

// Calls f(std::integral_constant<int, pos>) for a run-time position 0..3.
template <class F>
inline auto with_pos(int pos, F f) {
    if (pos == kFF) return f(std::integral_constant<int, kFF>{});  // the common case first
    switch (pos) {
        case kFH: return f(std::integral_constant<int, kFH>{});
        case kHF: return f(std::integral_constant<int, kHF>{});
        case kHH: return f(std::integral_constant<int, kHH>{});
        default: return f(std::integral_constant<int, kFF>{});
    }
}

inline int32_t hsum32(V v) {
    V128 s = _mm_add_epi32(lo128(v), hi128(v));
    s = _mm_add_epi32(s, _mm_shuffle_epi32(s, 0x4E));
    s = _mm_add_epi32(s, _mm_shuffle_epi32(s, 0xB1));
    return _mm_cvtsi128_si32(s);
}
// Sum of the four 64-bit lanes of psadbw results (each below 2^31).
inline int32_t hsum64(V v) {
    const V128 s = _mm_add_epi64(lo128(v), hi128(v));
    return _mm_cvtsi128_si32(_mm_add_epi64(s, _mm_unpackhi_epi64(s, s)));
}
// 16-bit magnitudes (0..32768) of the wrapped differences, summed in pairs
// into 32-bit lanes.
inline V absdiff16_pairs(V a, V b) {
    const V ad = _mm256_abs_epi16(_mm256_sub_epi16(a, b));
    return _mm256_add_epi32(_mm256_and_si256(ad, _mm256_set1_epi32(0xFFFF)), _mm256_srli_epi32(ad, 16));
}
inline V absdiff8(V a, V b) { return _mm256_sub_epi8(_mm256_max_epu8(a, b), _mm256_min_epu8(a, b)); }

// Squared differences of 8-bit rows, summed into 32-bit lanes.
inline V sqr_diff8(V a, V p) {
    const V z = zero();
    const V dl = _mm256_sub_epi16(_mm256_unpacklo_epi8(a, z), _mm256_unpacklo_epi8(p, z));
    const V dh = _mm256_sub_epi16(_mm256_unpackhi_epi8(a, z), _mm256_unpackhi_epi8(p, z));
    return _mm256_add_epi32(_mm256_madd_epi16(dl, dl), _mm256_madd_epi16(dh, dh));
}

// Stores the rows held by 16 int16 values (16 / W rows of W values).
template <int W>
inline void store_rows16(Zan16s* d, int32_t ds, V v, int n) {
    if constexpr (W == 16) {
        _mm256_storeu_si256(reinterpret_cast<V*>(d), v);
    } else if constexpr (W == 8) {
        _mm_storeu_si128(reinterpret_cast<V128*>(d), lo128(v));
        if (n > 1) _mm_storeu_si128(reinterpret_cast<V128*>(row(d, ds, 1)), hi128(v));
    } else {
        const V128 lo = lo128(v), hi = hi128(v);
        _mm_storel_epi64(reinterpret_cast<V128*>(d), lo);
        if (n > 1) _mm_storel_epi64(reinterpret_cast<V128*>(row(d, ds, 1)), _mm_unpackhi_epi64(lo, lo));
        if (n > 2) _mm_storel_epi64(reinterpret_cast<V128*>(row(d, ds, 2)), hi);
        if (n > 3) _mm_storel_epi64(reinterpret_cast<V128*>(row(d, ds, 3)), _mm_unpackhi_epi64(hi, hi));
    }
}

// Widens the 8-bit rows of one register (R rows of W) and stores them as
// 16-bit rows: lane h holds rows h * 16 / W onwards.
template <int W, int R>
inline void store_widened(Zan16s* d, int32_t ds, V v8) {
    constexpr int L = 16 / W;
    store_rows16<W>(d, ds, _mm256_cvtepu8_epi16(lo128(v8)), R < L ? R : L);
    if constexpr (R > L) store_rows16<W>(row(d, ds, L), ds, _mm256_cvtepu8_epi16(hi128(v8)), R - L);
}
template <int W, int R>
inline void store_diff(Zan16s* d, int32_t ds, V a, V p) {
    constexpr int L = 16 / W;
    const auto wide = [](V128 x) { return _mm256_cvtepu8_epi16(x); };
    store_rows16<W>(d, ds, _mm256_sub_epi16(wide(lo128(a)), wide(lo128(p))), R < L ? R : L);
    if constexpr (R > L)
        store_rows16<W>(row(d, ds, L), ds, _mm256_sub_epi16(wide(hi128(a)), wide(hi128(p))), R - L);
}

// Hadamard butterfly stage within groups of 2, 4 or 8 16-bit lanes:
// x[i] +- x[i ^ dist].
template <int DIST>
inline V hstage(V x) {
    V y, sgn;
    if constexpr (DIST == 1) {
        y = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(x, 0xB1), 0xB1);
        sgn = _mm256_set1_epi32(int(0xFFFF0001u));
    } else if constexpr (DIST == 2) {
        y = _mm256_shuffle_epi32(x, 0xB1);
        sgn = _mm256_set1_epi64x(int64_t(0xFFFFFFFF00010001ull));
    } else {
        y = _mm256_shuffle_epi32(x, 0x4E);
        sgn = _mm256_setr_epi16(1, 1, 1, 1, -1, -1, -1, -1, 1, 1, 1, 1, -1, -1, -1, -1);
    }
    return _mm256_add_epi16(_mm256_sign_epi16(x, sgn), y);
}

// 8-bit difference rows widened to 16 bits: lane 0 holds row y (W bytes),
// lane 1 row y2 (W <= 8) or the rest of row y (W = 16). y2 < 0: zeros.
template <int W>
inline V diff_rows16(const uint8_t* s, int32_t ss, const uint8_t* r, int32_t rs, int y, int y2) {
    const auto pick = [&](const uint8_t* p, int32_t st) -> V128 {
        const uint8_t* a = p + ptrdiff_t(st) * y;
        if constexpr (W == 16) return load128(a);
        const uint8_t* b = p + ptrdiff_t(st) * (y2 < 0 ? y : y2);
        V128 lo = W == 8 ? load64(a) : load32(a), hi = W == 8 ? load64(b) : load32(b);
        if (y2 < 0) hi = _mm_setzero_si128();
        return W == 8 ? _mm_unpacklo_epi64(lo, hi) : _mm_unpacklo_epi32(lo, hi);
    };
    return _mm256_sub_epi16(_mm256_cvtepu8_epi16(pick(s, ss)), _mm256_cvtepu8_epi16(pick(r, rs)));
}

// Full-sample SAD of 16-wide rows (the motion search's hottest call): one
// psadbw per row with the reference as memory operand, 128-bit throughout.
// The opaque base pointers keep every load a base + step address, so the
// kernel needs no callee-saved registers.
template <int H>
inline int32_t sad16_ff(const uint8_t* s, int32_t ss, const uint8_t* r, int32_t rs) {
    const ptrdiff_t s1 = ss, r1 = rs;
    V128 acc0 = _mm_setzero_si128(), acc1 = _mm_setzero_si128();
    for (int y = 0; y < H; y += 2) {
        __asm__("" : "+r"(s), "+r"(r));
        acc0 = _mm_add_epi64(acc0, _mm_sad_epu8(load128(s), load128(r)));
        acc1 = _mm_add_epi64(acc1, _mm_sad_epu8(load128(s + s1), load128(r + r1)));
        s += 2 * s1;
        r += 2 * r1;
    }
    const V128 t = _mm_add_epi64(acc0, acc1);
    return _mm_cvtsi128_si32(_mm_add_epi64(t, _mm_unpackhi_epi64(t, t)));
}

struct Avx2Kernels {
    template <int W, int H, class T>
    static int32_t sad(const T* s, int32_t ss, const T* r, int32_t rs, int pos) {
        if constexpr (sizeof(T) == 1 && W == 16)
            if (pos == kFF) [[likely]]
                return sad16_ff<H>(s, ss, r, rs);
        return sad_any<W, H>(s, ss, r, rs, pos);
    }

    // Kept out of line so that the full-sample path above stays lean.
    template <int W, int H, class T>
    __attribute__((noinline)) static int32_t sad_any(const T* s, int32_t ss, const T* r, int32_t rs, int pos) {
        using S = Shape<W, H, T>;
        return with_pos(pos, [&](auto P) {
            V acc = zero();
            for (int y = 0; y < H; y += S::R) {
                const V a = load_rows<S::WB, S::R>(bytes(row(s, ss, y)), ss);
                const V p = pred<T, P.value, S::WB, S::R>(bytes(row(r, rs, y)), rs);
                if constexpr (sizeof(T) == 1) acc = _mm256_add_epi64(acc, _mm256_sad_epu8(a, p));
                else acc = _mm256_add_epi32(acc, absdiff16_pairs(a, p));
            }
            return sizeof(T) == 1 ? hsum64(acc) : hsum32(acc);
        });
    }

    static void sad8x8_c2(const Zan8u* s, int32_t ss, const Zan8u* r, int32_t rs, int pos, int32_t out[2]) {
        with_pos(pos, [&](auto P) {
            V even = zero(), odd = zero();
            const V lowByte = _mm256_set1_epi16(0x00FF);
            for (int y = 0; y < 8; y += 2) {
                const V ad = absdiff8(load_rows<16, 2>(row(s, ss, y), ss), pred8<P.value, 16, 2, 2>(row(r, rs, y), rs, 0));
                even = _mm256_add_epi64(even, _mm256_sad_epu8(_mm256_and_si256(ad, lowByte), zero()));
                odd = _mm256_add_epi64(odd, _mm256_sad_epu8(_mm256_srli_epi16(ad, 8), zero()));
            }
            out[0] = hsum64(even);
            out[1] = hsum64(odd);
            return 0;
        });
    }

    // 11 bytes p[0..10] without reading past them.
    static V128 load11(const uint8_t* p) { return _mm_unpacklo_epi64(load64(p), _mm_srli_si128(load64(p + 3), 5)); }
    template <bool SAFE>
    static V128 ref_group(const uint8_t* p) {
        if constexpr (SAFE) return load11(p);
        else return load128(p);
    }

    // Eight candidates k..k+7 of a W x H block (W = 4, 8, 16) by multiple
    // SADs of 4-byte groups: each mpsadbw lane gives eight 4-sample SADs.
    // SAFE: the last eight candidates, read without passing the last byte
    // that candidate k + 7 covers.
    template <int W, int H, bool SAFE>
    static V128 sad_x8(const uint8_t* s, int32_t ss, const uint8_t* r, int32_t rs) {
        V acc = zero();
        if constexpr (W == 4) {
            for (int y = 0; y < H; y += 2) {
                const V a = combine(ref_group<SAFE>(row(r, rs, y)), ref_group<SAFE>(row(r, rs, y + 1)));
                const V b = combine(load32(row(s, ss, y)), load32(row(s, ss, y + 1)));
                acc = _mm256_add_epi16(acc, _mm256_mpsadbw_epu8(a, b, 0x00));
            }
        } else {
            for (int y = 0; y < H; ++y) {
                const uint8_t* rr = row(r, rs, y);
                const V b = _mm256_broadcastsi128_si256(W == 16 ? load128(row(s, ss, y)) : load64(row(s, ss, y)));
                // lane 0: group 0 against rr, lane 1: group 1 against rr + 4
                acc = _mm256_add_epi16(
                    acc, _mm256_mpsadbw_epu8(combine(ref_group<SAFE>(rr), ref_group<SAFE>(rr + 4)), b, 0x08));
                if constexpr (W == 16)
                    acc = _mm256_add_epi16(acc, _mm256_mpsadbw_epu8(combine(ref_group<SAFE>(rr + 8),
                                                                            ref_group<SAFE>(rr + 12)),
                                                                    b, 0x1A));
            }
        }
        return _mm_add_epi16(lo128(acc), hi128(acc));
    }

    template <int W, int H>
    static void sad_xn(const Zan8u* s, int32_t ss, const Zan8u* r, int32_t rs, Zan16u* out, int n) {
        if constexpr (W == 2) {
            for (int k = 0; k < n; k += 8) {
                V128 acc = _mm_setzero_si128();
                for (int y = 0; y < 2; ++y) {
                    const uint8_t* rr = row(r, rs, y) + k;
                    const V128 a0 = _mm_cvtepu8_epi16(load64(rr)), a1 = _mm_cvtepu8_epi16(load64(rr + 1));
                    const V128 s0 = _mm_set1_epi16(row(s, ss, y)[0]), s1 = _mm_set1_epi16(row(s, ss, y)[1]);
                    acc = _mm_add_epi16(acc, _mm_add_epi16(_mm_abs_epi16(_mm_sub_epi16(a0, s0)),
                                                           _mm_abs_epi16(_mm_sub_epi16(a1, s1))));
                }
                _mm_storeu_si128(reinterpret_cast<V128*>(out + k), acc);
            }
        } else {
            int k = 0;
            for (; k + 8 < n; k += 8)
                _mm_storeu_si128(reinterpret_cast<V128*>(out + k), sad_x8<W, H, false>(s, ss, r + k, rs));
            _mm_storeu_si128(reinterpret_cast<V128*>(out + k), sad_x8<W, H, true>(s, ss, r + k, rs));
        }
    }

    static int32_t min_index(const Zan16u* v, int n) {
        const auto at8 = [&](int k) { return _mm_loadu_si128(reinterpret_cast<const V128*>(v + k)); };
        V128 m = at8(0);
        for (int k = 8; k < n; k += 8) m = _mm_min_epu16(m, at8(k));
        const V128 key = _mm_set1_epi16(short(_mm_extract_epi16(_mm_minpos_epu16(m), 0)));
        for (int k = 0;; k += 8)
            if (const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(at8(k), key)))
                return k + __builtin_ctz(unsigned(mask)) / 2;
    }

    template <int B, class T, class Out>
    static void sad_blocks(const T* s, int32_t ss, const T* r, int32_t rs, Out* out) {
        if constexpr (sizeof(T) == 1 && B == 8) {
            for (int half = 0; half < 2; ++half) {
                V acc = zero();
                for (int y = 8 * half; y < 8 * half + 8; y += 2)
                    acc = _mm256_add_epi64(acc, _mm256_sad_epu8(load_rows<16, 2>(row(s, ss, y), ss),
                                                                load_rows<16, 2>(row(r, rs, y), rs)));
                const V128 lr = _mm_add_epi64(lo128(acc), hi128(acc));
                out[2 * half] = Out(_mm_cvtsi128_si32(lr));
                out[2 * half + 1] = Out(_mm_extract_epi32(lr, 2));
            }
        } else if constexpr (sizeof(T) == 1) {
            const V ones8 = _mm256_set1_epi8(1), ones16 = _mm256_set1_epi16(1);
            for (int band = 0; band < 4; ++band) {
                V acc = zero();
                for (int y = 4 * band; y < 4 * band + 4; y += 2) {
                    const V ad = absdiff8(load_rows<16, 2>(row(s, ss, y), ss), load_rows<16, 2>(row(r, rs, y), rs));
                    acc = _mm256_add_epi32(acc, _mm256_madd_epi16(_mm256_maddubs_epi16(ad, ones8), ones16));
                }
                const V128 g = _mm_add_epi32(lo128(acc), hi128(acc));  // four 4-column sums
                _mm_storel_epi64(reinterpret_cast<V128*>(out + 4 * band), _mm_packus_epi32(g, g));
            }
        } else {
            // 16-bit samples: one row per register, 32-bit sums of lane pairs.
            for (int band = 0; band < 16 / B; ++band) {
                V acc = zero();
                for (int y = B * band; y < B * band + B; ++y)
                    acc = _mm256_add_epi32(acc, absdiff16_pairs(load_rows<32, 1>(bytes(row(s, ss, y)), ss),
                                                                load_rows<32, 1>(bytes(row(r, rs, y)), rs)));
                V h = _mm256_hadd_epi32(acc, acc);  // lane: [c0, c1, c0, c1] of 4 columns each
                if constexpr (B == 8) h = _mm256_hadd_epi32(h, h);
                const V128 lo = lo128(h), hi = hi128(h);
                if constexpr (B == 8) {
                    out[2 * band] = Out(_mm_cvtsi128_si32(lo));
                    out[2 * band + 1] = Out(_mm_cvtsi128_si32(hi));
                } else {
                    _mm_storeu_si128(reinterpret_cast<V128*>(out + 4 * band), _mm_unpacklo_epi64(lo, hi));
                }
            }
        }
    }

    // SATD: four rows of 4x4 sub-blocks per pass (16-wide blocks: one band;
    // narrower blocks: two bands side by side in the two lanes). Rows are
    // transformed in-lane, then the first vertical stage; the last vertical
    // stage is summed as max(|a|, |b|) and the total doubled.
    template <int W, int H>
    static int32_t satd(const Zan8u* s, int32_t ss, const Zan8u* r, int32_t rs) {
        V acc = zero();
        constexpr int bandsPerPass = W == 16 ? 1 : 2;
        for (int y0 = 0; y0 < H; y0 += 4 * bandsPerPass) {
            V d[4];
            for (int i = 0; i < 4; ++i) {
                const int y2 = (W < 16 && y0 + 4 < H) ? y0 + 4 + i : -1;
                d[i] = hstage<2>(hstage<1>(diff_rows16<W>(s, ss, r, rs, y0 + i, y2)));
            }
            const V e0 = _mm256_add_epi16(d[0], d[1]), e1 = _mm256_sub_epi16(d[0], d[1]);
            const V e2 = _mm256_add_epi16(d[2], d[3]), e3 = _mm256_sub_epi16(d[2], d[3]);
            acc = _mm256_add_epi16(acc, _mm256_max_epi16(_mm256_abs_epi16(e0), _mm256_abs_epi16(e2)));
            acc = _mm256_add_epi16(acc, _mm256_max_epi16(_mm256_abs_epi16(e1), _mm256_abs_epi16(e3)));
        }
        return 2 * hsum32(_mm256_madd_epi16(acc, _mm256_set1_epi16(1)));
    }

    // 8x8 Hadamard: register i holds rows i and i + 4; rows are transformed
    // in-lane (three stages), columns by two stages across registers, and the
    // last column stage (lane 0 against lane 1) as max of 16-bit magnitudes.
    template <class T>
    static int32_t sat8x8d(const T* s, int32_t ss, const T* r, int32_t rs) {
        V d[4];
        for (int i = 0; i < 4; ++i) {
            V x;
            if constexpr (sizeof(T) == 1) {
                x = diff_rows16<8>(s, ss, r, rs, i, i + 4);
            } else {
                const auto two = [&](const T* p, int32_t st) {
                    return combine(load128(bytes(row(p, st, i))), load128(bytes(row(p, st, i + 4))));
                };
                x = _mm256_sub_epi16(two(s, ss), two(r, rs));
            }
            d[i] = hstage<4>(hstage<2>(hstage<1>(x)));
        }
        const V e0 = _mm256_add_epi16(d[0], d[1]), e1 = _mm256_sub_epi16(d[0], d[1]);
        const V e2 = _mm256_add_epi16(d[2], d[3]), e3 = _mm256_sub_epi16(d[2], d[3]);
        const V f[4] = {_mm256_add_epi16(e0, e2), _mm256_add_epi16(e1, e3), _mm256_sub_epi16(e0, e2),
                        _mm256_sub_epi16(e1, e3)};
        V acc = zero();
        for (const V& v : f) {
            const V a = _mm256_abs_epi16(v);
            acc = _mm256_add_epi32(acc, _mm256_cvtepu16_epi32(_mm_max_epu16(lo128(a), hi128(a))));
        }
        return 2 * hsum32(acc);
    }

    template <int W, int H>
    static int32_t ssd(const Zan8u* s, int32_t ss, const Zan8u* r, int32_t rs, int pos) {
        using S = Shape<W, H, Zan8u>;
        return with_pos(pos, [&](auto P) {
            V acc = zero();
            for (int y = 0; y < H; y += S::R)
                acc = _mm256_add_epi32(acc, sqr_diff8(load_rows<W, S::R>(row(s, ss, y), ss),
                                                      pred8<P.value, W, S::R, 1>(row(r, rs, y), rs, 0)));
            return hsum32(acc);
        });
    }

    static int32_t ssd16x16_b(const Zan8u* s, int32_t ss, const Zan8u* rf, int32_t rfs, int posF, const Zan8u* rb,
                              int32_t rbs, int posB) {
        return with_pos(posF, [&](auto PF) {
            return with_pos(posB, [&](auto PB) {
                V acc = zero();
                for (int y = 0; y < 16; y += 2) {
                    const V p = _mm256_avg_epu8(pred8<PF.value, 16, 2, 1>(row(rf, rfs, y), rfs, 0),
                                                pred8<PB.value, 16, 2, 1>(row(rb, rbs, y), rbs, 0));
                    acc = _mm256_add_epi32(acc, sqr_diff8(load_rows<16, 2>(row(s, ss, y), ss), p));
                }
                return hsum32(acc);
            });
        });
    }

    template <class T>
    static void var8x8_sums(const T* s, int32_t ss, int32_t* S, int32_t* Q) {
        if constexpr (sizeof(T) == 1) {
            V sum = zero(), sq = zero();
            for (int y = 0; y < 8; y += 4) {
                const V a = load_rows<8, 4>(row(s, ss, y), ss);
                sum = _mm256_add_epi64(sum, _mm256_sad_epu8(a, zero()));
                sq = _mm256_add_epi32(sq, sqr_diff8(a, zero()));
            }
            *S = hsum64(sum);
            *Q = hsum32(sq);
        } else {
            // Column sums saturate row by row, in order; squares wrap.
            V128 col = _mm_setzero_si128(), sq = _mm_setzero_si128();
            for (int y = 0; y < 8; ++y) {
                const V128 x = load128(bytes(row(s, ss, y)));
                col = _mm_adds_epi16(col, x);
                sq = _mm_add_epi32(sq, _mm_madd_epi16(x, x));
            }
            *S = hsum32(_mm256_cvtepi16_epi32(col));
            *Q = hsum32(_mm256_zextsi128_si256(sq));
        }
    }

    static void sums16x16(const Zan8u* s, int32_t ss, uint32_t* S, uint32_t* Q) {
        V sum = zero(), sq = zero();
        for (int y = 0; y < 16; y += 2) {
            const V a = load_rows<16, 2>(row(s, ss, y), ss);
            sum = _mm256_add_epi64(sum, _mm256_sad_epu8(a, zero()));
            sq = _mm256_add_epi32(sq, sqr_diff8(a, zero()));
        }
        *S = uint32_t(hsum64(sum));
        *Q = uint32_t(hsum32(sq));
    }

    template <int H>
    static void var_mean_diff_parts(const Zan8u* s, int32_t ss, const Zan8u* r, int32_t rs, int pos,
                                    int32_t* predSum, uint32_t* d2) {
        with_pos(pos, [&](auto P) {
            const V z = zero();
            for (int part = 0; part < H / 8; ++part) {
                V psum = z, accL = z, accR = z;
                for (int y = 8 * part; y < 8 * part + 8; y += 2) {
                    const V a = load_rows<16, 2>(row(s, ss, y), ss);
                    const V p = pred8<P.value, 16, 2, 1>(row(r, rs, y), rs, 0);
                    psum = _mm256_add_epi64(psum, _mm256_sad_epu8(p, z));
                    const V dl = _mm256_sub_epi16(_mm256_unpacklo_epi8(a, z), _mm256_unpacklo_epi8(p, z));
                    const V dr = _mm256_sub_epi16(_mm256_unpackhi_epi8(a, z), _mm256_unpackhi_epi8(p, z));
                    accL = _mm256_add_epi32(accL, _mm256_madd_epi16(dl, dl));
                    accR = _mm256_add_epi32(accR, _mm256_madd_epi16(dr, dr));
                }
                const V128 lr = _mm_add_epi64(lo128(psum), hi128(psum));
                predSum[2 * part] = _mm_cvtsi128_si32(lr);
                predSum[2 * part + 1] = _mm_extract_epi32(lr, 2);
                d2[2 * part] = uint32_t(hsum32(accL));
                d2[2 * part + 1] = uint32_t(hsum32(accR));
            }
            return 0;
        });
    }

    template <int W, int H>
    static void get_diff(const Zan8u* c, int32_t cs, const Zan8u* r, int32_t rs, Zan16s* d, int32_t ds, Zan16s* p,
                         int32_t ps, int pos, int rc) {
        using S = Shape<W, H, Zan8u>;
        with_pos(pos, [&](auto P) {
            for (int y = 0; y < H; y += S::R) {
                const V pr = pred8<P.value, W, S::R, 1>(row(r, rs, y), rs, rc);
                store_diff<W, S::R>(row(d, ds, y), ds, load_rows<W, S::R>(row(c, cs, y), cs), pr);
                if (p) store_widened<W, S::R>(row(p, ps, y), ps, pr);
            }
            return 0;
        });
    }

    template <int W, int H>
    static void get_diff_b(const Zan8u* c, int32_t cs, const Zan8u* rf, int32_t rfs, int posF, const Zan8u* rb,
                           int32_t rbs, int posB, Zan16s* d, int32_t ds, int rc) {
        using S = Shape<W, H, Zan8u>;
        with_pos(posF, [&](auto PF) {
            return with_pos(posB, [&](auto PB) {
                for (int y = 0; y < H; y += S::R) {
                    const V pr = _mm256_avg_epu8(pred8<PF.value, W, S::R, 1>(row(rf, rfs, y), rfs, rc),
                                                 pred8<PB.value, W, S::R, 1>(row(rb, rbs, y), rbs, rc));
                    store_diff<W, S::R>(row(d, ds, y), ds, load_rows<W, S::R>(row(c, cs, y), cs), pr);
                }
                return 0;
            });
        });
    }

    template <int H>
    static void get_diff_c2(const Zan8u* c, int32_t cs, const Zan8u* rf, int32_t rfs, int posF, const Zan8u* rb,
                            int32_t rbs, int posB, Zan16s* du, int32_t dus, Zan16s* dv, int32_t dvs, int rc) {
        const auto run = [&](auto predAt) {
            const V lowByte = _mm256_set1_epi16(0x00FF);
            for (int y = 0; y < H; y += 2) {
                const V a = load_rows<16, 2>(row(c, cs, y), cs), p = predAt(y);
                store_rows16<8>(row(du, dus, y), dus,
                                _mm256_sub_epi16(_mm256_and_si256(a, lowByte), _mm256_and_si256(p, lowByte)), 2);
                store_rows16<8>(row(dv, dvs, y), dvs,
                                _mm256_sub_epi16(_mm256_srli_epi16(a, 8), _mm256_srli_epi16(p, 8)), 2);
            }
            return 0;
        };
        with_pos(posF, [&](auto PF) {
            const auto fwd = [&](int y) { return pred8<PF.value, 16, 2, 2>(row(rf, rfs, y), rfs, rc); };
            if (posB < 0) return run(fwd);
            return with_pos(posB, [&](auto PB) {
                return run([&](int y) {
                    return _mm256_avg_epu8(fwd(y), pred8<PB.value, 16, 2, 2>(row(rb, rbs, y), rbs, rc));
                });
            });
        });
    }

    template <int W, int H, class T>
    static void sub(const T* a, int32_t as, const T* b, int32_t bs, Zan16s* d, int32_t ds) {
        if constexpr (sizeof(T) == 1) {
            get_diff<W, H>(a, as, b, bs, d, ds, nullptr, 0, kFF, 0);
        } else {
            using S = Shape<W, H, T>;
            for (int y = 0; y < H; y += S::R)
                store_rows16<W>(row(d, ds, y), ds,
                                _mm256_sub_epi16(load_rows<S::WB, S::R>(bytes(row(a, as, y)), as),
                                                 load_rows<S::WB, S::R>(bytes(row(b, bs, y)), bs)),
                                S::R);
        }
    }

    static int32_t sub_sad8x8(const Zan8u* a, int32_t as, const Zan8u* b, int32_t bs, Zan16s* d, int32_t ds) {
        V acc = zero();
        for (int y = 0; y < 8; y += 4) {
            const V x = load_rows<8, 4>(row(a, as, y), as), z = load_rows<8, 4>(row(b, bs, y), bs);
            store_diff<8, 4>(row(d, ds, y), ds, x, z);
            acc = _mm256_add_epi64(acc, _mm256_sad_epu8(x, z));
        }
        return hsum64(acc);
    }

    // Sums per 4x4 of eight 8-wide 16-bit difference rows; diff rows stored
    // contiguously when requested.
    static void sums_diff_rows8(const V128 d[8], Zan16s* sums, Zan16s* diff) {
        for (int band = 0; band < 2; ++band) {
            const V128* b = d + 4 * band;
            const V128 t = _mm_add_epi16(_mm_add_epi16(b[0], b[1]), _mm_add_epi16(b[2], b[3]));
            V128 m = _mm_madd_epi16(t, _mm_set1_epi16(1));
            m = _mm_hadd_epi32(m, m);  // [left, right, left, right]
            const int32_t packed = _mm_cvtsi128_si32(_mm_packs_epi32(m, m));
            std::memcpy(sums + 2 * band, &packed, 4);
        }
        if (diff)
            for (int y = 0; y < 8; ++y) _mm_storeu_si128(reinterpret_cast<V128*>(diff + 8 * y), d[y]);
    }

    template <int W, class T, class Sum, class Diff>
    static void sums_diff(const T* s, int32_t ss, const T* p, int32_t ps, Sum* sums, Diff* diff) {
        if constexpr (sizeof(T) == 1 && W == 8) {
            V128 d[8];
            for (int y = 0; y < 8; ++y)
                d[y] = _mm_sub_epi16(_mm_cvtepu8_epi16(load64(row(s, ss, y))), _mm_cvtepu8_epi16(load64(row(p, ps, y))));
            sums_diff_rows8(d, sums, diff);
        } else if constexpr (sizeof(T) == 1) {
            for (int band = 0; band < 4; ++band) {
                V t = zero();
                for (int y = 4 * band; y < 4 * band + 4; ++y) {
                    const V d = diff_rows16<16>(s, ss, p, ps, y, -1);
                    if (diff) _mm256_storeu_si256(reinterpret_cast<V*>(diff + 16 * y), d);
                    t = _mm256_add_epi16(t, d);
                }
                V h = _mm256_hadd_epi32(_mm256_madd_epi16(t, _mm256_set1_epi16(1)), zero());
                h = _mm256_packs_epi32(h, h);  // lane 0: c0 c1, lane 1: c2 c3
                const int32_t a = _mm_cvtsi128_si32(lo128(h)), b = _mm_cvtsi128_si32(hi128(h));
                std::memcpy(sums + 4 * band, &a, 4);
                std::memcpy(sums + 4 * band + 2, &b, 4);
            }
        } else {
            // 16-bit samples: exact 32-bit differences, eight columns a register.
            constexpr int G = W / 8;  // registers a row
            for (int band = 0; band < W / 4; ++band) {
                V t[G] = {};
                for (int y = 4 * band; y < 4 * band + 4; ++y)
                    for (int g = 0; g < G; ++g) {
                        const V d = _mm256_sub_epi32(_mm256_cvtepu16_epi32(load128(bytes(row(s, ss, y) + 8 * g))),
                                                     _mm256_cvtepu16_epi32(load128(bytes(row(p, ps, y) + 8 * g))));
                        if (diff) _mm256_storeu_si256(reinterpret_cast<V*>(diff + W * y + 8 * g), d);
                        t[g] = _mm256_add_epi32(t[g], d);
                    }
                for (int g = 0; g < G; ++g) {
                    V h = _mm256_hadd_epi32(t[g], t[g]);
                    h = _mm256_hadd_epi32(h, h);  // lane 0: columns 0..3, lane 1: columns 4..7
                    sums[(W / 4) * band + 2 * g] = _mm_cvtsi128_si32(lo128(h));
                    sums[(W / 4) * band + 2 * g + 1] = _mm_cvtsi128_si32(hi128(h));
                }
            }
        }
    }

    static void sums_diff_c2p2(const Zan8u* s, int32_t ss, const Zan8u* p0, int32_t p0s, const Zan8u* p1,
                               int32_t p1s, Zan16s* sums0, Zan16s* diff0, Zan16s* sums1, Zan16s* diff1) {
        V128 d0[8], d1[8];
        const V128 lowByte = _mm_set1_epi16(0x00FF);
        for (int y = 0; y < 8; ++y) {
            const V128 a = load128(row(s, ss, y));
            d0[y] = _mm_sub_epi16(_mm_and_si128(a, lowByte), _mm_cvtepu8_epi16(load64(row(p0, p0s, y))));
            d1[y] = _mm_sub_epi16(_mm_srli_epi16(a, 8), _mm_cvtepu8_epi16(load64(row(p1, p1s, y))));
        }
        sums_diff_rows8(d0, sums0, diff0);
        sums_diff_rows8(d1, sums1, diff1);
    }
};

}  // namespace
}  // namespace zan::me

namespace zan::avx2 {

namespace {
using K = me::Avx2Kernels;
}

#include "me/metrics_entry.inc"

}  // namespace zan::avx2
