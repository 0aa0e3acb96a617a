// A straightforward model of H.264 macroblock reconstruction for the tests,
// written from the standard's equations: 64-bit dequantization and inverse
// transforms (8.5.12, 8.5.13), intra prediction of every block size
// (8.3.1 to 8.3.4) and neighbour availability derived from decoding order.
// Samples are 8- or 16-bit; steps count samples.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/common.h"
#include "zanvc.h"

namespace rm {

constexpr int kBlkX[16] = {0, 1, 0, 1, 2, 3, 2, 3, 0, 1, 0, 1, 2, 3, 2, 3};
constexpr int kBlkY[16] = {0, 0, 1, 1, 0, 0, 1, 1, 2, 2, 3, 3, 2, 2, 3, 3};
constexpr int kV0[6] = {10, 11, 13, 14, 16, 18};  // v(m, 0)

inline int blk_at(int x, int y) {  // blkIdx of the 4x4 block holding sample (x, y)
    for (int b = 0; b < 16; ++b)
        if (kBlkX[b] == x / 4 && kBlkY[b] == y / 4) return b;
    return -1;
}

// Whether sample (x, y) relative to the macroblock may be used by the block
// decoded as number `cur` (blocks of `size` samples, in decoding order):
// other macroblocks by their edgeType bit, this one's samples when their
// block is already decoded.
inline bool sample_available(int x, int y, int cur, int size, uint8_t edge) {
    if (y < 0) return x < 0 ? !(edge & 16) : x < 16 ? !(edge & 4) : !(edge & 32);
    if (x < 0) return !(edge & 1);
    if (x >= 16) return false;
    const int k = size == 4 ? blk_at(x, y) : x / 8 + 2 * (y / 8);
    return k < cur;
}

inline int avail_bits(int bx, int by, int cur, int size, uint8_t edge) {
    int a = 0;
    if (sample_available(bx, by - 1, cur, size, edge)) a |= 1;
    if (sample_available(bx - 1, by, cur, size, edge)) a |= 2;
    if (sample_available(bx - 1, by - 1, cur, size, edge)) a |= 32;
    if (sample_available(bx + size, by - 1, cur, size, edge)) a |= 64;
    return a;
}

// base 4 (4x4 blocks) or 6 (8x8 blocks, luma and 4:2:2 chroma DC).
inline int64_t scale_std(int64_t c, int64_t ls, int qp, int base) {
    if (qp / 6 >= base) return (c * ls) << (qp / 6 - base);
    return (c * ls + (int64_t(1) << (base - 1 - qp / 6))) >> (base - qp / 6);
}

inline void idct_1d(int64_t* d, int n, int s) {
    int64_t o[8];
    if (n == 4) {
        const int64_t e = d[0] + d[2 * s], f = d[0] - d[2 * s];
        const int64_t g = (d[s] >> 1) - d[3 * s], h = d[s] + (d[3 * s] >> 1);
        o[0] = e + h, o[1] = f + g, o[2] = f - g, o[3] = e - h;
    } else {
        int64_t x[8];
        for (int i = 0; i < 8; ++i) x[i] = d[i * s];
        const int64_t a0 = x[0] + x[4], a4 = x[0] - x[4], a2 = (x[2] >> 1) - x[6], a6 = x[2] + (x[6] >> 1);
        const int64_t b0 = a0 + a6, b2 = a4 + a2, b4 = a4 - a2, b6 = a0 - a6;
        const int64_t a1 = -x[3] + x[5] - x[7] - (x[7] >> 1), a3 = x[1] + x[7] - x[3] - (x[3] >> 1);
        const int64_t a5 = -x[1] + x[7] + x[5] + (x[5] >> 1), a7 = x[3] + x[5] + x[1] + (x[1] >> 1);
        const int64_t b1 = a1 + (a7 >> 2), b7 = a7 - (a1 >> 2), b3 = a3 + (a5 >> 2), b5 = (a3 >> 2) - a5;
        o[0] = b0 + b7, o[1] = b2 + b5, o[2] = b4 + b3, o[3] = b6 + b1;
        o[4] = b6 - b1, o[5] = b4 - b3, o[6] = b2 - b5, o[7] = b0 - b7;
    }
    for (int i = 0; i < n; ++i) d[i * s] = o[i];
}

// Residual of an n x n block from its scaled coefficients d, added to the
// samples at p (xs apart) and limited to 0..maxv.
template <class Pel>
void add(Pel* p, int step, int xs, int64_t* d, int n, bool transform, int maxv) {
    if (transform) {
        for (int i = 0; i < n; ++i) idct_1d(d + n * i, n, 1);
        for (int j = 0; j < n; ++j) idct_1d(d + j, n, n);
        for (int i = 0; i < n * n; ++i) d[i] = (d[i] + 32) >> 6;
    }
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            Pel& s = p[y * step + x * xs];
            s = Pel(zan::clip3(0, maxv, int(s + d[n * y + x])));
        }
}

// One 4x4 block: coefficients c (may be null), DC override dc (may be null).
template <class Pel, class C, class L>
void block4(Pel* p, int step, int xs, const C* c, const int64_t* dc, const L* ls, int qp, bool bypass, int maxv) {
    int64_t d[16];
    for (int i = 0; i < 16; ++i) d[i] = !c ? 0 : bypass ? int64_t(c[i]) : scale_std(c[i], ls[i], qp, 4);
    if (dc) d[0] = *dc;
    add(p, step, xs, d, 4, !bypass, maxv);
}

template <class Pel, class C, class L>
void block8(Pel* p, int step, const C* c, const L* ls, int qp, bool bypass, int maxv) {
    int64_t d[64];
    for (int i = 0; i < 64; ++i) d[i] = bypass ? int64_t(c[i]) : scale_std(c[i], ls[i], qp, 6);
    add(p, step, 1, d, 8, !bypass, maxv);
}

// Intra NxN prediction (N = 4: 8.3.1.2; N = 8: 8.3.2.2 with the reference
// sample filter); returns false when the block took the default value.
template <class Pel>
bool pred_nxn(Pel* blk, int step, int n, int mode, int av, int bitDepth) {
    const bool top = av & 1, left = av & 2, tl = av & 32, tr = av & 64;
    auto P = [&](int x, int y) { return int(blk[y * step + x]); };
    const bool need[9][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 0}, {1, 0, 0}, {1, 1, 1},
                             {1, 1, 1}, {1, 1, 1}, {1, 0, 0}, {0, 1, 0}};
    const int dflt = 1 << (bitDepth - 1);
    if ((need[mode][0] && !top) || (need[mode][1] && !left) || (need[mode][2] && !tl)) {
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) blk[y * step + x] = Pel(dflt);
        return false;
    }
    int t[16] = {}, l[8] = {}, c = 0;
    if (top)
        for (int x = 0; x < 2 * n; ++x) t[x] = P(x < n || tr ? x : n - 1, -1);
    if (left)
        for (int y = 0; y < n; ++y) l[y] = P(-1, y);
    if (tl) c = P(-1, -1);
    int ft[16] = {}, fl[8] = {}, fc = c;
    if (n == 4) {
        std::memcpy(ft, t, sizeof t);
        std::memcpy(fl, l, sizeof l);
    } else {
        if (top) {
            ft[0] = tl ? (c + 2 * t[0] + t[1] + 2) >> 2 : (3 * t[0] + t[1] + 2) >> 2;
            for (int x = 1; x < 15; ++x) ft[x] = (t[x - 1] + 2 * t[x] + t[x + 1] + 2) >> 2;
            ft[15] = (t[14] + 3 * t[15] + 2) >> 2;
        }
        if (tl)
            fc = top && left ? (t[0] + 2 * c + l[0] + 2) >> 2 : top ? (3 * c + t[0] + 2) >> 2
               : left        ? (3 * c + l[0] + 2) >> 2
                             : c;
        if (left) {
            fl[0] = tl ? (c + 2 * l[0] + l[1] + 2) >> 2 : (3 * l[0] + l[1] + 2) >> 2;
            for (int y = 1; y < 7; ++y) fl[y] = (l[y - 1] + 2 * l[y] + l[y + 1] + 2) >> 2;
            fl[7] = (l[6] + 3 * l[7] + 2) >> 2;
        }
    }
    auto T = [&](int x) { return x < 0 ? fc : ft[x]; };
    auto L = [&](int y) { return y < 0 ? fc : fl[y]; };
    int sT = 0, sL = 0;
    for (int i = 0; i < n; ++i) sT += ft[i], sL += fl[i];
    const int lg = n == 4 ? 2 : 3;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            int v;
            switch (mode) {
                case 0: v = T(x); break;
                case 1: v = L(y); break;
                case 2:
                    v = top && left ? (sT + sL + n) >> (lg + 1) : left ? (sL + n / 2) >> lg
                        : top       ? (sT + n / 2) >> lg
                                    : dflt;
                    break;
                case 3:
                    v = x == n - 1 && y == n - 1 ? (T(2 * n - 2) + 3 * T(2 * n - 1) + 2) >> 2
                                                 : (T(x + y) + 2 * T(x + y + 1) + T(x + y + 2) + 2) >> 2;
                    break;
                case 4:
                    v = x > y   ? (T(x - y - 2) + 2 * T(x - y - 1) + T(x - y) + 2) >> 2
                        : x < y ? (L(y - x - 2) + 2 * L(y - x - 1) + L(y - x) + 2) >> 2
                                : (T(0) + 2 * fc + L(0) + 2) >> 2;
                    break;
                case 5: {
                    const int z = 2 * x - y;
                    if (z >= 0 && z % 2 == 0) v = (T(x - (y >> 1) - 1) + T(x - (y >> 1)) + 1) >> 1;
                    else if (z > 0) v = (T(x - (y >> 1) - 2) + 2 * T(x - (y >> 1) - 1) + T(x - (y >> 1)) + 2) >> 2;
                    else if (z == -1) v = (L(0) + 2 * fc + T(0) + 2) >> 2;
                    else v = (L(y - 2 * x - 1) + 2 * L(y - 2 * x - 2) + L(y - 2 * x - 3) + 2) >> 2;
                    break;
                }
                case 6: {
                    const int z = 2 * y - x;
                    if (z >= 0 && z % 2 == 0) v = (L(y - (x >> 1) - 1) + L(y - (x >> 1)) + 1) >> 1;
                    else if (z > 0) v = (L(y - (x >> 1) - 2) + 2 * L(y - (x >> 1) - 1) + L(y - (x >> 1)) + 2) >> 2;
                    else if (z == -1) v = (L(0) + 2 * fc + T(0) + 2) >> 2;
                    else v = (T(x - 2 * y - 1) + 2 * T(x - 2 * y - 2) + T(x - 2 * y - 3) + 2) >> 2;
                    break;
                }
                case 7:
                    v = y % 2 == 0 ? (T(x + (y >> 1)) + T(x + (y >> 1) + 1) + 1) >> 1
                                   : (T(x + (y >> 1)) + 2 * T(x + (y >> 1) + 1) + T(x + (y >> 1) + 2) + 2) >> 2;
                    break;
                default: {
                    const int z = x + 2 * y;
                    if (z > 2 * n - 3) v = L(n - 1);
                    else if (z == 2 * n - 3) v = (L(n - 2) + 3 * L(n - 1) + 2) >> 2;
                    else if (z % 2) v = (L(y + (x >> 1)) + 2 * L(y + (x >> 1) + 1) + L(y + (x >> 1) + 2) + 2) >> 2;
                    else v = (L(y + (x >> 1)) + L(y + (x >> 1) + 1) + 1) >> 1;
                    break;
                }
            }
            blk[y * step + x] = Pel(v);
        }
    return true;
}

// Chroma prediction of 8 x h (h = 8 or 16) per 8.3.4, with the left column
// available in its upper half (leftTop) and lower half (leftBottom)
// separately. Returns false when the mode needs a missing neighbour.
template <class Pel>
bool pred_chroma(Pel* p, int step, int xs, int h, int mode, bool top, bool leftTop, bool leftBottom, bool tl,
                 int bitDepth) {
    auto at = [&](int x, int y) -> Pel& { return p[y * step + x * xs]; };
    const bool left = leftTop && leftBottom;
    if ((mode == 1 && !left) || (mode == 2 && !top) || (mode == 3 && !(left && top && tl))) return false;
    const int maxv = (1 << bitDepth) - 1;
    Pel out[16][8];
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < 8; ++x) {
            int v;
            if (mode == 0) {
                const int xO = x / 4 * 4, yO = y / 4 * 4;
                const bool l = yO < h / 2 ? leftTop : leftBottom;
                int sT = 0, sL = 0;
                for (int i = 0; i < 4; ++i) {
                    if (top) sT += at(xO + i, -1);
                    if (l) sL += at(-1, yO + i);
                }
                v = 1 << (bitDepth - 1);
                if ((xO == 0 && yO == 0) || (xO > 0 && yO > 0)) {
                    if (top && l) v = (sT + sL + 4) >> 3;
                    else if (l) v = (sL + 2) >> 2;
                    else if (top) v = (sT + 2) >> 2;
                } else if (xO > 0) {
                    if (top) v = (sT + 2) >> 2;
                    else if (l) v = (sL + 2) >> 2;
                } else {
                    if (l) v = (sL + 2) >> 2;
                    else if (top) v = (sT + 2) >> 2;
                }
            } else if (mode == 1) {
                v = at(-1, y);
            } else if (mode == 2) {
                v = at(x, -1);
            } else {
                const int yCF = h == 16 ? 4 : 0;
                int H = 0, V = 0;
                for (int i = 0; i <= 3; ++i) H += (i + 1) * (at(4 + i, -1) - at(2 - i, -1));
                for (int i = 0; i <= 3 + yCF; ++i) V += (i + 1) * (at(-1, 4 + yCF + i) - at(-1, 2 + yCF - i));
                const int a = 16 * (at(-1, h - 1) + at(7, -1));
                const int b = (34 * H + 32) >> 6, c = ((h == 16 ? 5 : 34) * V + 32) >> 6;
                v = zan::clip3(0, maxv, (a + b * (x - 3) + c * (y - 3 - yCF) + 16) >> 5);
            }
            out[y][x] = Pel(v);
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < 8; ++x) at(x, y) = out[y][x];
    return true;
}

template <class Pel>
void pred16x16(Pel* p, int step, int mode, bool top, bool left, int bitDepth) {
    auto at = [&](int x, int y) -> Pel& { return p[y * step + x]; };
    int sT = 0, sL = 0, H = 0, V = 0;
    for (int i = 0; i < 16; ++i) {
        if (top) sT += at(i, -1);
        if (left) sL += at(-1, i);
    }
    if (mode == 3)
        for (int i = 0; i < 8; ++i) {
            H += (i + 1) * (at(8 + i, -1) - at(6 - i, -1));
            V += (i + 1) * (at(-1, 8 + i) - at(-1, 6 - i));
        }
    const int a = 16 * (at(-1, 15) + at(15, -1)), b = (5 * H + 32) >> 6, c = (5 * V + 32) >> 6;
    const int dc = top && left ? (sT + sL + 16) >> 5 : top ? (sT + 8) >> 4 : left ? (sL + 8) >> 4 : 1 << (bitDepth - 1);
    Pel out[16][16];
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            out[y][x] = Pel(mode == 0 ? at(x, -1)
                            : mode == 1 ? at(-1, y)
                            : mode == 2 ? dc
                                        : zan::clip3(0, (1 << bitDepth) - 1, (a + b * (x - 7) + c * (y - 7) + 16) >> 5));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) at(x, y) = out[y][x];
}

// One luma macroblock (or 16x8 half) of the forms 0 inter 4x4, 1 inter
// 8x8, 2 intra 4x4, 3 intra 8x8, 4 half 4x4, 5 half 8x8, 6 intra 16x16.
// Returns the status; c advances past the coefficients used. flat16: the
// flat forms keep the 16x16 and chroma DC values as 16-bit numbers.
template <class Pel, class C>
ZanResult model_luma(Pel* mb, int step, int form, const int32_t* modes, int mode16, uint8_t edge, uint32_t cbp,
                     int qp, const C* ls, bool bypass, int bd, bool flat16, const C*& c) {
    const int maxv = (1 << bd) - 1;
    bool fallback = false;
    if (form == 0 || form == 2 || form == 4) {
        const int n = form == 4 ? 8 : 16, shift = form == 4 ? 0 : 1;
        for (int b = 0; b < n; ++b) {
            Pel* blk = mb + 4 * kBlkY[b] * step + 4 * kBlkX[b];
            if (form != 0)
                fallback |= !pred_nxn(blk, step, 4, modes[b], avail_bits(4 * kBlkX[b], 4 * kBlkY[b], b, 4, edge), bd);
            if (cbp & (1u << (b + shift))) {
                block4(blk, step, 1, c, static_cast<const int64_t*>(nullptr), ls, qp, bypass, maxv);
                c += 16;
            }
        }
    } else if (form != 6) {
        const int n = form == 5 ? 2 : 4;
        for (int k = 0; k < n; ++k) {
            Pel* blk = mb + 8 * (k >> 1) * step + 8 * (k & 1);
            if (form != 1)
                fallback |= !pred_nxn(blk, step, 8, modes[k], avail_bits(8 * (k & 1), 8 * (k >> 1), k, 8, edge), bd);
            if (cbp & (1u << k)) {
                block8(blk, step, c, ls, qp, bypass, maxv);
                c += 64;
            }
        }
    } else {
        const bool top = !(edge & 4), left = !(edge & 1), tl = !(edge & 16);
        if ((mode16 == 0 && !top) || (mode16 == 1 && !left) || (mode16 == 3 && !(top && left && tl)))
            return ZAN_ERR_NEIGHBOUR_UNAVAILABLE;
        pred16x16(mb, step, mode16, top, left, bd);
        int64_t dc[16] = {};
        if (cbp & 1) {
            const int H[4][4] = {{1, 1, 1, 1}, {1, 1, -1, -1}, {1, -1, -1, 1}, {1, -1, 1, -1}};
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j) {
                    int64_t f = 0;
                    for (int k = 0; k < 4; ++k)
                        for (int l = 0; l < 4; ++l) f += H[i][k] * int64_t(c[4 * k + l]) * H[l][j];
                    dc[4 * i + j] = bypass ? int64_t(c[4 * i + j]) : scale_std(f, ls[0], qp, 6);
                    if (flat16) dc[4 * i + j] = int16_t(dc[4 * i + j]);  // the flat DC path keeps 16 bits
                }
            c += 16;
        }
        for (int b = 0; b < 16; ++b) {
            const bool coded = cbp & (2u << b);
            const int64_t d0 = dc[4 * kBlkY[b] + kBlkX[b]];
            if (!coded && d0 == 0) continue;
            block4(mb + 4 * kBlkY[b] * step + 4 * kBlkX[b], step, 1, coded ? c : nullptr, &d0, ls, qp, bypass, maxv);
            if (coded) c += 16;
        }
    }
    return fallback ? ZAN_WRN_PRED_FALLBACK : ZAN_OK;
}

// Chroma model of both components; h = 8 (4:2:0) or 16 (4:2:2).
template <class Pel, class C>
ZanResult model_chroma(Pel* cb, Pel* cr, int step, int h, bool intra, int mode, uint8_t edge, uint8_t edgeBottom,
                       uint32_t cbp, const int qp[2], const C* const ls[2], bool bypass, int bd, bool flat16,
                       const C*& c) {
    const int maxv = (1 << bd) - 1;
    Pel* comp[2] = {cb, cr};
    if (intra) {
        for (Pel* p : comp)
            if (!pred_chroma(p, step, 1, h, mode, !(edge & 4), !(edge & 1), !(edgeBottom & 1), !(edge & 16), bd))
                return ZAN_ERR_NEIGHBOUR_UNAVAILABLE;
    }
    const uint32_t all = h == 8 ? 0x7FE0000u : 0x7FFFEu;
    if (!(cbp & all)) return ZAN_OK;
    const int nb = h / 2;
    int64_t dc[2][8] = {};
    for (int k = 0; k < 2; ++k) {
        if (!(cbp & (1u << (17 + k)))) continue;
        if (h == 8) {
            const int64_t f[4] = {int64_t(c[0]) + c[1] + c[2] + c[3], int64_t(c[0]) - c[1] + c[2] - c[3],
                                  int64_t(c[0]) + c[1] - c[2] - c[3], int64_t(c[0]) - c[1] - c[2] + c[3]};
            for (int i = 0; i < 4; ++i) {
                dc[k][i] = bypass ? int64_t(c[i]) : ((f[i] * ls[k][0]) << (qp[k] / 6)) >> 5;
                if (flat16) dc[k][i] = int16_t(dc[k][i]);
            }
        } else {
            // f = A c B over the 4x2 block (H.264 8.5.11.1), qP,DC = QPc + 3.
            const int A[4][4] = {{1, 1, 1, 1}, {1, 1, -1, -1}, {1, -1, -1, 1}, {1, -1, 1, -1}};
            const int B[2][2] = {{1, 1}, {1, -1}};
            const int qpdc = qp[k] + 3;
            const int64_t lsdc = ls[k][0] / kV0[qp[k] % 6] * kV0[qpdc % 6];
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 2; ++j) {
                    int64_t f = 0;
                    for (int a = 0; a < 4; ++a)
                        for (int b = 0; b < 2; ++b) f += A[i][a] * int64_t(c[2 * a + b]) * B[b][j];
                    dc[k][2 * i + j] = bypass ? int64_t(c[2 * i + j]) : scale_std(f, lsdc, qpdc, 6);
                }
        }
        c += nb;
    }
    for (int k = 0; k < 2; ++k)
        for (int b = 0; b < nb; ++b) {
            const uint32_t bit = h == 8 ? 1u << (19 + 4 * k + b) : 1u << (1 + 8 * k + b);
            const bool coded = cbp & bit;
            if (!coded && dc[k][b] == 0) continue;
            block4(comp[k] + 4 * (b >> 1) * step + 4 * (b & 1), step, 1, coded ? c : nullptr, &dc[k][b], ls[k],
                       qp[k], bypass, maxv);
            if (coded) c += 16;
        }
    return ZAN_OK;
}

}  // namespace rm
