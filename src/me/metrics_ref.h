// Block metrics, portable kernels: the formulas written out sample by sample.
// The AVX2 kernels (metrics_avx2.cpp) compute the same values; the shared
// scalar finishing steps (variance from sums, minimum search) live here too.
// Internal linkage throughout: see core/common.h.
#pragma once

#include <algorithm>

#include "core/common.h"

namespace zan::me {
namespace {

// Half-sample position (mcType >> 2, or (mcType & 12) >> 2).
enum : int { kFF = 0, kFH = 1, kHF = 2, kHH = 3 };

template <class T>
inline int at(const T* p, int32_t step, int x, int y) {
    return row(p, step, y)[x];
}

// mcType decoding. Members that take mcType >> 2 accept 0..15; members that
// name the four values accept exactly 0, 4, 8, 12; GetDiff and the
// bi-directional SqrDiff mask with 12. -1: not handled.
inline int pos_shift(int32_t mcType) { return (mcType >> 2) >= 0 && (mcType >> 2) <= 3 ? mcType >> 2 : -1; }
inline int pos_exact(int32_t mcType) { return (mcType & ~12) == 0 ? mcType >> 2 : -1; }
inline int pos_masked(int32_t mcType) { return (mcType & 12) >> 2; }

// Prediction of sample (x, y) of the reference at half-sample position pos,
// rounding term reduced by rc. nb: distance of the right neighbour in
// elements (2 for two interleaved channels). Interpolation sums saturate at
// 65535, which only 16-bit samples can reach.
template <class T>
inline int predict(const T* r, int32_t rs, int x, int y, int pos, int rc, int nb = 1) {
    const auto sat = [](int s) { return std::min(s, 65535); };
    const int a = at(r, rs, x, y);
    switch (pos) {
        case kFH: return sat(a + at(r, rs, x, y + 1) + 1 - rc) >> 1;
        case kHF: return sat(a + at(r, rs, x + nb, y) + 1 - rc) >> 1;
        case kHH:
            return sat(a + at(r, rs, x + nb, y) + at(r, rs, x, y + 1) + at(r, rs, x + nb, y + 1) + 2 - rc) >> 2;
        default: return a;
    }
}

// Magnitude of the 16-bit signed wrapped difference (0..32768), the absolute
// difference of 16-bit samples; for 8-bit samples the plain |a - b|.
template <class T>
inline int absdiff(int a, int b) {
    if constexpr (sizeof(T) == 1) {
        return a > b ? a - b : b - a;
    } else {
        const int d = int16_t(uint16_t(a - b));
        return d < 0 ? -d : d;
    }
}

inline int mag16(int v) {
    const int d = int16_t(uint16_t(v));
    return d < 0 ? -d : d;
}

// Natural-order (Sylvester) Hadamard butterflies over n values at v[0],
// v[stride], ...; stages of distance 1, 2, 4 up to (but excluding) `stop`.
inline void hadamard(int* v, int n, int stride, int stop) {
    for (int len = 1; len < stop; len <<= 1)
        for (int i = 0; i < n; i += 2 * len)
            for (int j = i; j < i + len; ++j) {
                const int a = v[j * stride], b = v[(j + len) * stride];
                v[j * stride] = a + b;
                v[(j + len) * stride] = a - b;
            }
}

// Single-precision variance of an 8x8 block from its sum S and sum of squares
// Q: trunc(Q/64 - (S/64)^2). The barrier keeps the square and subtraction as
// two roundings (no fused multiply-subtract in either build).
inline int32_t var8x8_from_sums(int32_t S, int32_t Q) {
    const float q = float(Q) / 64.0f;
    const float m = float(S) / 64.0f;
    float m2 = m * m;
    __asm__("" : "+x"(m2));
    return int32_t(q - m2);
}

// 256 times the population variance of a 16x16 block, exact.
inline int32_t var16x16_from_sums(uint32_t S, uint32_t Q) {
    return int32_t(Q - uint32_t((uint64_t(S) * S) >> 8));
}

// One 8x8 part of VarMeanDiff: M = (srcSum - predSum) / 8 truncated,
// var = (D2 - M^2) >> 6 when D2 > M^2, else 0.
inline void var_mean_diff_part(int32_t srcSum, int32_t predSum, uint32_t d2, Zan32s* var, Zan32s* mean) {
    const int32_t m = int32_t(uint32_t(srcSum) - uint32_t(predSum));
    const int32_t M = m / 8;
    const int64_t M2 = int64_t(M) * M;
    *var = int64_t(d2) > M2 ? int32_t((int64_t(d2) - M2) >> 6) : 0;
    *mean = M;
}

struct RefKernels {
    // Sum over a W x H block of |src - pred|.
    template <int W, int H, class T>
    static int32_t sad(const T* s, int32_t ss, const T* r, int32_t rs, int pos) {
        int32_t sum = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) sum += absdiff<T>(at(s, ss, x, y), predict(r, rs, x, y, pos, 0));
        return sum;
    }

    // Two interleaved 8x8 channels.
    static void sad8x8_c2(const Zan8u* s, int32_t ss, const Zan8u* r, int32_t rs, int pos, int32_t out[2]) {
        for (int c = 0; c < 2; ++c) {
            out[c] = 0;
            for (int y = 0; y < 8; ++y)
                for (int x = c; x < 16; x += 2)
                    out[c] += absdiff<Zan8u>(at(s, ss, x, y), predict(r, rs, x, y, pos, 0, 2));
        }
    }

    template <int W, int H>
    static void sad_xn(const Zan8u* s, int32_t ss, const Zan8u* r, int32_t rs, Zan16u* out, int n) {
        for (int k = 0; k < n; ++k) out[k] = Zan16u(sad<W, H>(s, ss, r + k, rs, kFF));
    }

    // Smallest index of the minimum of v[0..n-1].
    static int32_t min_index(const Zan16u* v, int n) {
        int32_t best = 0;
        for (int k = 1; k < n; ++k)
            if (v[k] < v[best]) best = k;
        return best;
    }

    // Full-sample SADs of the B x B sub-blocks of a 16x16 block, raster order.
    template <int B, class T, class Out>
    static void sad_blocks(const T* s, int32_t ss, const T* r, int32_t rs, Out* out) {
        for (int by = 0; by < 16 / B; ++by)
            for (int bx = 0; bx < 16 / B; ++bx)
                out[by * (16 / B) + bx] =
                    Out(sad<B, B>(row(s, ss, by * B) + bx * B, ss, row(r, rs, by * B) + bx * B, rs, kFF));
    }

    // Sum of |H d H| over the 4x4 sub-blocks of d = src - ref.
    template <int W, int H>
    static int32_t satd(const Zan8u* s, int32_t ss, const Zan8u* r, int32_t rs) {
        int32_t sum = 0;
        for (int by = 0; by < H; by += 4)
            for (int bx = 0; bx < W; bx += 4) {
                int d[4][4];
                for (int y = 0; y < 4; ++y)
                    for (int x = 0; x < 4; ++x) d[y][x] = at(s, ss, bx + x, by + y) - at(r, rs, bx + x, by + y);
                for (int y = 0; y < 4; ++y) hadamard(d[y], 4, 1, 4);
                for (int x = 0; x < 4; ++x) hadamard(&d[0][x], 4, 4, 4);
                for (auto& line : d)
                    for (int v : line) sum += v < 0 ? -v : v;
            }
        return sum;
    }

    // 8x8 Hadamard SAD: rows fully transformed, columns up to the stage that
    // pairs rows i and i+4, which is summed as 2 * max(|a|, |b|) on the 16-bit
    // wrapped values (the full sum of |coefficients| whenever nothing wraps).
    template <class T>
    static int32_t sat8x8d(const T* s, int32_t ss, const T* r, int32_t rs) {
        int d[8][8];
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) d[y][x] = int16_t(uint16_t(at(s, ss, x, y) - at(r, rs, x, y)));
        for (int y = 0; y < 8; ++y) hadamard(d[y], 8, 1, 8);
        for (int x = 0; x < 8; ++x) hadamard(&d[0][x], 8, 8, 4);
        int32_t sum = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x) sum += std::max(mag16(d[y][x]), mag16(d[y + 4][x]));
        return 2 * sum;
    }

    template <int W, int H>
    static int32_t ssd(const Zan8u* s, int32_t ss, const Zan8u* r, int32_t rs, int pos) {
        int32_t sum = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const int d = at(s, ss, x, y) - predict(r, rs, x, y, pos, 0);
                sum += d * d;
            }
        return sum;
    }

    static int32_t ssd16x16_b(const Zan8u* s, int32_t ss, const Zan8u* rf, int32_t rfs, int posF, const Zan8u* rb,
                              int32_t rbs, int posB) {
        int32_t sum = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int p = (predict(rf, rfs, x, y, posF, 0) + predict(rb, rbs, x, y, posB, 0) + 1) >> 1;
                const int d = at(s, ss, x, y) - p;
                sum += d * d;
            }
        return sum;
    }

    // Sum and sum of squares of an 8x8 block; 16-bit samples: column sums
    // with signed 16-bit saturation (rows in order), squares modulo 2^32.
    template <class T>
    static void var8x8_sums(const T* s, int32_t ss, int32_t* S, int32_t* Q) {
        int32_t sum = 0;
        uint32_t sq = 0;
        for (int x = 0; x < 8; ++x) {
            int col = 0;
            for (int y = 0; y < 8; ++y) {
                const int v = at(s, ss, x, y);
                col = sizeof(T) == 1 ? col + v : sat_s16(col + v);
                sq += uint32_t(v * v);
            }
            sum += col;
        }
        *S = sum;
        *Q = int32_t(sq);
    }

    static void sums16x16(const Zan8u* s, int32_t ss, uint32_t* S, uint32_t* Q) {
        uint32_t sum = 0, sq = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const uint32_t v = at(s, ss, x, y);
                sum += v;
                sq += v * v;
            }
        *S = sum;
        *Q = sq;
    }

    // Per 8x8 part (P parts side by side, then below: raster order of a
    // 16-wide block): prediction sum and sum of squared differences.
    template <int H>
    static void var_mean_diff_parts(const Zan8u* s, int32_t ss, const Zan8u* r, int32_t rs, int pos,
                                    int32_t* predSum, uint32_t* d2) {
        for (int i = 0; i < 2 * H / 8; ++i) {
            const int x0 = (i & 1) * 8, y0 = (i >> 1) * 8;
            predSum[i] = 0;
            d2[i] = 0;
            for (int y = y0; y < y0 + 8; ++y)
                for (int x = x0; x < x0 + 8; ++x) {
                    const int p = predict(r, rs, x, y, pos, 0);
                    const int d = at(s, ss, x, y) - p;
                    predSum[i] += p;
                    d2[i] += uint32_t(d * d);
                }
        }
    }

    // diff = cur - pred (pred optionally stored as 16-bit values).
    template <int W, int H>
    static void get_diff(const Zan8u* c, int32_t cs, const Zan8u* r, int32_t rs, Zan16s* d, int32_t ds, Zan16s* p,
                         int32_t ps, int pos, int rc) {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const int pred = predict(r, rs, x, y, pos, rc);
                row(d, ds, y)[x] = Zan16s(at(c, cs, x, y) - pred);
                if (p) row(p, ps, y)[x] = Zan16s(pred);
            }
    }

    template <int W, int H>
    static void get_diff_b(const Zan8u* c, int32_t cs, const Zan8u* rf, int32_t rfs, int posF, const Zan8u* rb,
                           int32_t rbs, int posB, Zan16s* d, int32_t ds, int rc) {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const int pred = (predict(rf, rfs, x, y, posF, rc) + predict(rb, rbs, x, y, posB, rc) + 1) >> 1;
                row(d, ds, y)[x] = Zan16s(at(c, cs, x, y) - pred);
            }
    }

    // Two interleaved 8-wide channels in, one difference plane per channel.
    // posB < 0: single direction.
    template <int H>
    static void get_diff_c2(const Zan8u* c, int32_t cs, const Zan8u* rf, int32_t rfs, int posF, const Zan8u* rb,
                            int32_t rbs, int posB, Zan16s* du, int32_t dus, Zan16s* dv, int32_t dvs, int rc) {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < 16; ++x) {
                int pred = predict(rf, rfs, x, y, posF, rc, 2);
                if (posB >= 0) pred = (pred + predict(rb, rbs, x, y, posB, rc, 2) + 1) >> 1;
                Zan16s* d = (x & 1) ? row(dv, dvs, y) : row(du, dus, y);
                d[x >> 1] = Zan16s(at(c, cs, x, y) - pred);
            }
    }

    // dst = src1 - src2 as 16 bits (16-bit samples: modulo 65536).
    template <int W, int H, class T>
    static void sub(const T* a, int32_t as, const T* b, int32_t bs, Zan16s* d, int32_t ds) {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) row(d, ds, y)[x] = Zan16s(uint16_t(at(a, as, x, y) - at(b, bs, x, y)));
    }

    static int32_t sub_sad8x8(const Zan8u* a, int32_t as, const Zan8u* b, int32_t bs, Zan16s* d, int32_t ds) {
        sub<8, 8>(a, as, b, bs, d, ds);
        return sad<8, 8>(a, as, b, bs, kFF);
    }

    // Sums of (src - pred) per 4x4 sub-block; optional contiguous difference
    // rows. nb = 2 and channel c read one channel of an interleaved source.
    template <int W, class T, class Sum, class Diff>
    static void sums_diff(const T* s, int32_t ss, const T* p, int32_t ps, Sum* sums, Diff* diff, int nb = 1,
                          int c = 0) {
        for (int i = 0; i < W * W / 16; ++i) sums[i] = 0;
        for (int y = 0; y < W; ++y)
            for (int x = 0; x < W; ++x) {
                const int d = at(s, ss, x * nb + c, y) - at(p, ps, x, y);
                sums[(y / 4) * (W / 4) + x / 4] = Sum(sums[(y / 4) * (W / 4) + x / 4] + d);
                if (diff) diff[y * W + x] = Diff(d);
            }
    }

    static void sums_diff_c2p2(const Zan8u* s, int32_t ss, const Zan8u* p0, int32_t p0s, const Zan8u* p1,
                               int32_t p1s, Zan16s* sums0, Zan16s* diff0, Zan16s* sums1, Zan16s* diff1) {
        sums_diff<8>(s, ss, p0, p0s, sums0, diff0, 2, 0);
        sums_diff<8>(s, ss, p1, p1s, sums1, diff1, 2, 1);
    }
};

}  // namespace
}  // namespace zan::me
