// H.264 macroblock reconstruction, written once over
//  - a sample format F: Fmt8 (8-bit samples, 16-bit coefficients and levels)
//    or FmtHigh (16-bit samples of bitDepth bits, 32-bit coefficients and
//    levels), and the chroma height (8 for 4:2:0, 16 for 4:2:2);
//  - a kernel policy K that adds residual blocks to the picture:
//      K::add4x4_sat(c, dc, scale, dst, step)       flat 16-bit saturating path (8-bit)
//      K::add4x4_sat_pair(cl, cr, scale, dst, step) two horizontally adjacent blocks
//      K::add4x4_i32(d, dst, step, xs, maxv)        32-bit 4x4 inverse transform
//      K::add8x8_i32(d, dst, step, maxv)            32-bit 8x8 inverse transform
//    (d: dequantized coefficients; xs: 1 for a plane, 2 for one component
//    of an interleaved Cb/Cr plane; maxv: the largest sample value).
// recon.cpp instantiates it with PortableKernel, recon_avx2.cpp with the
// AVX2 one. Internal linkage throughout, see core/common.h.
#pragma once

#include <cstring>

#include "h264/dequant_kernels.h"
#include "h264/intra_pred.h"

namespace zan::h264::recon {
namespace {

template <class P, class C, int Bits>
struct Fmt {
    using Pel = P;    // sample
    using Coef = C;   // coefficient and scaling level
    static constexpr int kMaxBitDepth = Bits;
};
using Fmt8 = Fmt<uint8_t, int16_t, 8>;
using FmtHigh = Fmt<uint16_t, int32_t, 14>;

// blkIdx -> position in 4x4 units (8x8 quadrants in raster order, the four
// 4x4 blocks of a quadrant in raster order).
constexpr int kBlkX[16] = {0, 1, 0, 1, 2, 3, 2, 3, 0, 1, 0, 1, 2, 3, 2, 3};
constexpr int kBlkY[16] = {0, 0, 1, 1, 0, 0, 1, 1, 2, 2, 3, 3, 2, 2, 3, 3};

// edgeType bits: set = that neighbouring macroblock may not be used.
enum : uint32_t { kEdgeLeft = 1, kEdgeTop = 4, kEdgeTopLeft = 16, kEdgeTopRight = 32 };

constexpr uint32_t kLumaAcBits = 0x1FFFEu;  // cbp4x4 bits 1..16

// Availability of the 4x4 block blkIdx from edgeType (also used for the
// blocks 0..7 of a 16x8 half).
ZAN_INLINE uint32_t avail4x4(int blk, uint32_t edge) {
    const int bx = kBlkX[blk], by = kBlkY[blk];
    const bool topMb = !(edge & kEdgeTop), leftMb = !(edge & kEdgeLeft);
    uint32_t a = 0;
    if (by > 0 || topMb) a |= kAvailTop;
    if (bx > 0 || leftMb) a |= kAvailLeft;
    const bool tl = (bx > 0 && by > 0) || (bx == 0 && by == 0 ? !(edge & kEdgeTopLeft) : by == 0 ? topMb : leftMb);
    if (tl) a |= kAvailTopLeft;
    bool tr;
    if (blk == 3 || blk == 7 || blk == 11 || blk == 13 || blk == 15) tr = false;
    else if (blk == 5) tr = !(edge & kEdgeTopRight);
    else tr = by > 0 || topMb;
    if (tr) a |= kAvailTopRight;
    return a;
}

// Availability of the 8x8 block k (raster) from edgeType.
ZAN_INLINE uint32_t avail8x8(int k, uint32_t edge) {
    const int bx = k & 1, by = k >> 1;
    const bool topMb = !(edge & kEdgeTop), leftMb = !(edge & kEdgeLeft);
    uint32_t a = 0;
    if (by > 0 || topMb) a |= kAvailTop;
    if (bx > 0 || leftMb) a |= kAvailLeft;
    const bool tl = k == 0 ? !(edge & kEdgeTopLeft) : k == 1 ? topMb : k == 2 ? leftMb : true;
    if (tl) a |= kAvailTopLeft;
    const bool tr = k == 0 ? topMb : k == 1 ? !(edge & kEdgeTopRight) : k == 2;
    if (tr) a |= kAvailTopRight;
    return a;
}

// Chroma predictor availability; edgeBottom's left bit marks the lower half
// of the left column (the Halves forms), else edge's left bit covers both.
ZAN_INLINE uint32_t avail_chroma(uint32_t edge, uint32_t edgeBottom) {
    uint32_t a = 0;
    if (!(edge & kEdgeTop)) a |= kAvailTop;
    if (!(edge & kEdgeLeft)) a |= kAvailLeft;
    if (!(edgeBottom & kEdgeLeft)) a |= kAvailLeftLower;
    if (!(edge & kEdgeTopLeft)) a |= kAvailTopLeft;
    return a;
}

ZAN_INLINE bool bad_modes(const int32_t* modes, int n) {
    for (int i = 0; i < n; ++i)
        if (uint32_t(modes[i]) > 8) return true;
    return false;
}

// Portable residual kernels; the AVX2 policy overrides the 8-bit ones.
struct PortableKernel {
    static void add4x4_sat(const int16_t* c, const int16_t* dc, const int16_t* scale, uint8_t* dst, int32_t step) {
        int16_t r[16];
        residual4x4_sat(c, dc, true, scale, r);
        int32_t r32[16];
        for (int i = 0; i < 16; ++i) r32[i] = r[i];
        add_residual<4>(dst, step, 1, r32);
    }
    static void add4x4_sat_pair(const int16_t* cl, const int16_t* cr, const int16_t* scale, uint8_t* dst,
                                int32_t step) {
        add4x4_sat(cl, nullptr, scale, dst, step);
        add4x4_sat(cr, nullptr, scale, dst + 4, step);
    }
    template <int N, class Pel>
    static void add_i32(const int32_t* d, Pel* dst, int32_t step, int xs, int maxv) {
        Wrap32 b[N * N];
        for (int i = 0; i < N * N; ++i) b[i] = {d[i]};
        if constexpr (N == 4) idct4x4(b);
        else idct8x8(b);
        int32_t r[N * N];
        for (int i = 0; i < N * N; ++i) r[i] = b[i].v;
        add_residual<N>(dst, step, xs, r, maxv);
    }
    // Scaling with the caller's levels (H.264 8.5.12.1, 8.5.13.1); N = 4 or 8.
    template <int N, class C>
    static void dequant(const C* c, const C* ls, int qp, int32_t* d) {
        for (int i = 0; i < N * N; ++i) d[i] = N == 4 ? scale4x4(c[i], ls[i], qp) : scale8x8(c[i], ls[i], qp);
    }
    // Flat scaling: c * InvQuantTable[QP] entry per position.
    template <class C>
    static void dequant_flat(const C* c, const int16_t* scale, int32_t* d) {
        for (int i = 0; i < 16; ++i) d[i] = wrap_mul(c[i], scale[i]);
    }
    template <class Pel>
    static void add4x4_i32(const int32_t* d, Pel* dst, int32_t step, int xs, int maxv) {
        add_i32<4>(d, dst, step, xs, maxv);
    }
    template <class Pel>
    static void add8x8_i32(const int32_t* d, Pel* dst, int32_t step, int maxv) {
        add_i32<8>(d, dst, step, 1, maxv);
    }
};

// How the residual of a block is scaled.
template <class F>
struct Scaling {
    const typename F::Coef* levels;  // caller's LevelScale entries, or null for the flat scale of qp
    int qp;
    bool bypass;  // transform bypass (lossless)
    int maxv;     // (1 << bitDepth) - 1
};

// Adds one 4x4 block: coefficients c (null: none coded), DC override dc.
template <class K, class F>
ZAN_INLINE void add4x4_levels(const typename F::Coef* c, const Scaling<F>& s, typename F::Pel* dst, int32_t step,
                              int xs, const int32_t* dc = nullptr) {
    int32_t d[16];
    if (s.bypass) {
        for (int i = 0; i < 16; ++i) d[i] = c ? int32_t(c[i]) : 0;
        if (dc) d[0] = *dc;
        add_residual<4>(dst, step, xs, d, s.maxv);
        return;
    }
    if (c && s.levels)
        K::template dequant<4>(c, s.levels, s.qp, d);
    else if (c)
        K::dequant_flat(c, InvQuantScale4x4[s.qp].data(), d);
    else
        std::memset(d, 0, sizeof d);
    if (dc) d[0] = *dc;
    K::add4x4_i32(d, dst, step, xs, s.maxv);
}

template <class K, class F>
ZAN_INLINE void add8x8_levels(const typename F::Coef* c, const Scaling<F>& s, typename F::Pel* dst, int32_t step) {
    int32_t d[64];
    if (s.bypass) {
        for (int i = 0; i < 64; ++i) d[i] = int32_t(c[i]);
        add_residual<8>(dst, step, 1, d, s.maxv);
        return;
    }
    K::template dequant<8>(c, s.levels, s.qp, d);
    K::add8x8_i32(d, dst, step, s.maxv);
}

template <class F>
ZAN_INLINE typename F::Pel* block_at(typename F::Pel* plane, int32_t step, int x, int y) {
    return row(plane, step, y) + x;
}

// Inter luma: the coded 4x4 blocks in blkIdx order.
template <class K, class F>
void luma4x4_residuals(const typename F::Coef*& coef, typename F::Pel* plane, int32_t step, uint32_t cbp,
                       const Scaling<F>& s) {
    for (int blk = 0; blk < 16; ++blk) {
        if (!(cbp & (2u << blk))) continue;
        auto* dst = block_at<F>(plane, step, 4 * kBlkX[blk], 4 * kBlkY[blk]);
        if constexpr (std::is_same_v<F, Fmt8>) {
            if (!s.levels && !s.bypass) {
                if (!(blk & 1) && (cbp & (4u << blk))) {  // blkIdx 2j and 2j + 1 lie side by side
                    K::add4x4_sat_pair(coef, coef + 16, InvQuantScale4x4[s.qp].data(), dst, step);
                    coef += 32;
                    ++blk;
                    continue;
                }
                K::add4x4_sat(coef, nullptr, InvQuantScale4x4[s.qp].data(), dst, step);
                coef += 16;
                continue;
            }
        }
        add4x4_levels<K, F>(coef, s, dst, step, 1);
        coef += 16;
    }
}

// Intra 4x4 luma for n blocks (16, or 8 for a half); cbp bit of block k is
// k + shift. Returns 11 when a block fell back to the default value.
template <class K, class F>
ZanResult luma_intra4x4(const typename F::Coef*& coef, typename F::Pel* plane, int32_t step, const int32_t* modes,
                        uint32_t cbp, int shift, int n, uint32_t edge, const Scaling<F>& s, int bitDepth) {
    bool fallback = false;
    for (int blk = 0; blk < n; ++blk) {
        auto* dst = block_at<F>(plane, step, 4 * kBlkX[blk], 4 * kBlkY[blk]);
        fallback |= !predict_intra4x4(dst, step, modes[blk], avail4x4(blk, edge), bitDepth);
        if (!(cbp & (1u << (blk + shift)))) continue;
        if constexpr (std::is_same_v<F, Fmt8>) {
            if (!s.levels && !s.bypass) {
                K::add4x4_sat(coef, nullptr, InvQuantScale4x4[s.qp].data(), dst, step);
                coef += 16;
                continue;
            }
        }
        add4x4_levels<K, F>(coef, s, dst, step, 1);
        coef += 16;
    }
    return fallback ? ZAN_WRN_PRED_FALLBACK : ZAN_OK;
}

// Intra 8x8 luma for n blocks (4, or 2 for a half), cbp bits 0..n-1.
template <class K, class F>
ZanResult luma_intra8x8(const typename F::Coef*& coef, typename F::Pel* plane, int32_t step, const int32_t* modes,
                        uint32_t cbp, int n, uint32_t edge, const Scaling<F>& s, int bitDepth) {
    bool fallback = false;
    for (int k = 0; k < n; ++k) {
        auto* dst = block_at<F>(plane, step, 8 * (k & 1), 8 * (k >> 1));
        fallback |= !predict_intra8x8(dst, step, modes[k], avail8x8(k, edge), bitDepth);
        if (!(cbp & (1u << k))) continue;
        add8x8_levels<K, F>(coef, s, dst, step);
        coef += 64;
    }
    return fallback ? ZAN_WRN_PRED_FALLBACK : ZAN_OK;
}

// Inter 8x8 luma, cbp bits 0..3.
template <class K, class F>
void luma8x8_residuals(const typename F::Coef*& coef, typename F::Pel* plane, int32_t step, uint32_t cbp,
                       const Scaling<F>& s) {
    for (int k = 0; k < 4; ++k) {
        if (!(cbp & (1u << k))) continue;
        add8x8_levels<K, F>(coef, s, block_at<F>(plane, step, 8 * (k & 1), 8 * (k >> 1)), step);
        coef += 64;
    }
}

// Intra 16x16 luma after the prediction: DC block (bit 0), then the AC
// blocks (bits 1..16) in blkIdx order; every block with coded AC or a
// non-zero DC gets its residual.
template <class K, class F>
void luma_intra16x16_residual(const typename F::Coef*& coef, typename F::Pel* plane, int32_t step, uint32_t cbp,
                              const Scaling<F>& s) {
    int32_t dc[16] = {};
    if (cbp & 1) {
        if (s.bypass) {
            for (int i = 0; i < 16; ++i) dc[i] = int32_t(coef[i]);
        } else if (!s.levels) {
            int16_t t[16];
            for (int i = 0; i < 16; ++i) t[i] = int16_t(coef[i]);
            luma_dc_flat(t, s.qp);
            for (int i = 0; i < 16; ++i) dc[i] = t[i];
        } else {
            luma_dc_levels(coef, s.levels[0], s.qp, dc);
        }
        coef += 16;
    }
    for (int blk = 0; blk < 16; ++blk) {
        const int pos = 4 * kBlkY[blk] + kBlkX[blk];
        const bool coded = cbp & (2u << blk);
        if (!coded && dc[pos] == 0) continue;
        add4x4_levels<K, F>(coded ? coef : nullptr, s, block_at<F>(plane, step, 4 * kBlkX[blk], 4 * kBlkY[blk]), step,
                            1, &dc[pos]);
        if (coded) coef += 16;
    }
}

// cbp4x4 bits of chroma: DC bits 17 (Cb) and 18 (Cr); AC blocks of 4:2:0 at
// bits 19..22 (Cb) and 23..26 (Cr), of 4:2:2 at bits 1..8 (Cb) and 9..16 (Cr).
ZAN_INLINE uint32_t chroma_ac_bit(int height, int comp, int b) {
    return height == 8 ? 1u << (19 + 4 * comp + b) : 1u << (1 + 8 * comp + b);
}
ZAN_INLINE uint32_t chroma_bits(int height) { return height == 8 ? 0x7FE0000u : 0x7FFFEu; }

// Chroma residual of both components: DC blocks first, then the AC blocks
// of Cb and of Cr (blocks in raster order, 2 wide).
template <class K, class F>
void chroma_residual(const typename F::Coef*& coef, typename F::Pel* const comp[2], const int32_t step[2], int xs,
                     int height, uint32_t cbp, const Scaling<F> s[2]) {
    const int nb = height / 2;  // 4x4 blocks per component: 4 or 8
    int32_t dc[2][8] = {};
    for (int c = 0; c < 2; ++c) {
        if (!(cbp & (1u << (17 + c)))) continue;
        if (s[c].bypass) {
            for (int i = 0; i < nb; ++i) dc[c][i] = int32_t(coef[i]);
        } else if (height == 8) {
            chroma_dc(coef, s[c].levels ? s[c].levels[0] : 0, s[c].qp, dc[c]);
        } else {
            chroma_dc422(coef, s[c].levels[0], s[c].qp, dc[c]);
        }
        coef += nb;
    }
    for (int c = 0; c < 2; ++c)
        for (int b = 0; b < nb; ++b) {
            const bool coded = cbp & chroma_ac_bit(height, c, b);
            if (!coded && dc[c][b] == 0) continue;
            auto* dst = row(comp[c], step[c], 4 * (b >> 1)) + ptrdiff_t(4 * (b & 1)) * xs;
            add4x4_levels<K, F>(coded ? coef : nullptr, s[c], dst, step[c], xs, &dc[c][b]);
            if (coded) coef += 16;
        }
}

// ---- The export bodies, checks included ----

ZAN_INLINE bool bypass_on(int32_t bypass, int qp) { return bypass && qp == 0; }

// Luma arguments of every form.
template <class F>
struct LumaArgs {
    typename F::Coef** pp;
    typename F::Pel* plane;
    int32_t step;
    uint32_t cbp;
    int32_t qp;
    const typename F::Coef* levels;
    bool scaled;      // levels required
    int32_t bypass;
    int bitDepth;
    bool checkStep;   // step < 1: -14
    bool checkDepth;  // bitDepth 8..14 and QP up to 6 * bitDepth + 3
};

// Common checks: pointers (extra: further required pointers), step, bit
// depth, QP. Returns 0 when all pass.
template <class F>
ZanResult check_luma(const LumaArgs<F>& a, bool extraOk) {
    if (!a.pp || !*a.pp || !a.plane || (a.scaled && !a.levels) || !extraOk) return ZAN_ERR_NULL_PTR;
    if (a.checkStep && a.step < 1) return ZAN_ERR_STEP;
    if (a.checkDepth && (a.bitDepth < 8 || a.bitDepth > F::kMaxBitDepth)) return ZAN_ERR_OUT_OF_RANGE;
    if (uint32_t(a.qp) > uint32_t(a.checkDepth ? 6 * a.bitDepth + 3 : 51)) return ZAN_ERR_OUT_OF_RANGE;
    return ZAN_OK;
}

template <class F>
ZAN_INLINE Scaling<F> luma_scaling(const LumaArgs<F>& a) {
    return {a.levels, a.qp, bypass_on(a.bypass, a.qp), (1 << a.bitDepth) - 1};
}

// Inter forms: 4x4 (eight = false) or 8x8 transform.
template <class K, class F>
ZanResult luma_inter(const LumaArgs<F>& a, bool eight) {
    if (const ZanResult r = check_luma(a, true)) return r;
    const typename F::Coef* coef = *a.pp;
    if (eight) luma8x8_residuals<K, F>(coef, a.plane, a.step, a.cbp, luma_scaling(a));
    else if (a.cbp & kLumaAcBits) luma4x4_residuals<K, F>(coef, a.plane, a.step, a.cbp, luma_scaling(a));
    *a.pp = const_cast<typename F::Coef*>(coef);
    return ZAN_OK;
}

// Intra NxN forms: 4x4 or 8x8 transform, whole macroblock or 16x8 half.
template <class K, class F>
ZanResult luma_intra_nxn(const LumaArgs<F>& a, const int32_t* modes, uint8_t edge, bool eight, bool half) {
    if (const ZanResult r = check_luma(a, modes != nullptr)) return r;
    const int n = eight ? (half ? 2 : 4) : (half ? 8 : 16);
    if (bad_modes(modes, n)) return ZAN_ERR_OUT_OF_RANGE;
    const typename F::Coef* coef = *a.pp;
    const ZanResult r =
        eight ? luma_intra8x8<K, F>(coef, a.plane, a.step, modes, a.cbp, n, edge, luma_scaling(a), a.bitDepth)
              : luma_intra4x4<K, F>(coef, a.plane, a.step, modes, a.cbp, half ? 0 : 1, n, edge, luma_scaling(a),
                                    a.bitDepth);
    *a.pp = const_cast<typename F::Coef*>(coef);
    return r;
}

template <class K, class F>
ZanResult luma_intra16x16(const LumaArgs<F>& a, int32_t mode, uint8_t edge) {
    if (const ZanResult r = check_luma(a, true)) return r;
    if (uint32_t(mode) > 3) return ZAN_ERR_OUT_OF_RANGE;
    uint32_t avail = 0;
    if (!(edge & kEdgeTop)) avail |= kAvailTop;
    if (!(edge & kEdgeLeft)) avail |= kAvailLeft;
    if (!(edge & kEdgeTopLeft)) avail |= kAvailTopLeft;
    if (!intra16x16_mode_ok(mode, avail)) return ZAN_ERR_NEIGHBOUR_UNAVAILABLE;
    predict_intra16x16(a.plane, a.step, mode, avail, a.bitDepth);
    if (!(a.cbp & 0x1FFFFu)) return ZAN_OK;
    const typename F::Coef* coef = *a.pp;
    luma_intra16x16_residual<K, F>(coef, a.plane, a.step, a.cbp, luma_scaling(a));
    *a.pp = const_cast<typename F::Coef*>(coef);
    return ZAN_OK;
}

// Chroma arguments of every form. cb, cr: the component bases (for the
// interleaved forms Cb = plane, Cr = plane + 1, xs = 2); steps per
// component; levels null: flat scaling of qp; edgeBottom: left
// availability of the lower half (the Halves forms), else equal to edge.
template <class F>
struct ChromaArgs {
    typename F::Coef** pp;
    typename F::Pel* cb;
    typename F::Pel* cr;
    int32_t step[2];
    int xs;
    int height;  // 8 (4:2:0) or 16 (4:2:2)
    bool checkStep;
    bool intra;
    int32_t mode;
    uint32_t cbp;
    int32_t qp[2];
    uint8_t edge, edgeBottom;
    const typename F::Coef* levels[2];
    bool scaled;
    int32_t bypass;
    int bitDepth;
    bool checkDepth;
};

template <class K, class F>
ZanResult chroma_mb(const ChromaArgs<F>& a) {
    if (!a.pp || !*a.pp || !a.cb || !a.cr || (a.scaled && (!a.levels[0] || !a.levels[1]))) return ZAN_ERR_NULL_PTR;
    if (a.checkStep && (a.step[0] < 1 || a.step[1] < 1)) return ZAN_ERR_STEP;
    if (a.checkDepth && (a.bitDepth < 8 || a.bitDepth > F::kMaxBitDepth)) return ZAN_ERR_OUT_OF_RANGE;
    const uint32_t qpMax = 39 + 6 * uint32_t(a.bitDepth - 8);
    if (uint32_t(a.qp[0]) > qpMax || uint32_t(a.qp[1]) > qpMax) return ZAN_ERR_OUT_OF_RANGE;
    if (a.intra) {
        if (uint32_t(a.mode) > 3) return ZAN_ERR_OUT_OF_RANGE;
        const uint32_t avail = avail_chroma(a.edge, a.edgeBottom);
        if (!chroma_mode_ok(a.mode, avail)) return ZAN_ERR_NEIGHBOUR_UNAVAILABLE;
        predict_chroma(a.cb, a.step[0], a.xs, a.height, a.mode, avail, a.bitDepth);
        predict_chroma(a.cr, a.step[1], a.xs, a.height, a.mode, avail, a.bitDepth);
    }
    if (!(a.cbp & chroma_bits(a.height))) return ZAN_OK;
    const typename F::Coef* coef = *a.pp;
    typename F::Pel* const comp[2] = {a.cb, a.cr};
    // Transform bypass is the macroblock's: the chroma QPs do not enter.
    const int maxv = (1 << a.bitDepth) - 1;
    const Scaling<F> s[2] = {{a.levels[0], a.qp[0], a.bypass != 0, maxv}, {a.levels[1], a.qp[1], a.bypass != 0, maxv}};
    chroma_residual<K, F>(coef, comp, a.step, a.xs, a.height, a.cbp, s);
    *a.pp = const_cast<typename F::Coef*>(coef);
    return ZAN_OK;
}

}  // namespace
}  // namespace zan::h264::recon
