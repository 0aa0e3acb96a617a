// H.264 macroblock reconstruction of 8-bit 4:2:0 pictures, written once
// over a kernel policy K that adds residual blocks to the picture:
//   K::add4x4_sat(c, dc, scale, dst, step)       flat 16-bit saturating path
//   K::add4x4_sat_pair(cl, cr, scale, dst, step) two horizontally adjacent blocks
//   K::add4x4_i32(d, dst, step, xs)              32-bit 4x4 inverse transform
//   K::add8x8_i32(d, dst, step)                  32-bit 8x8 inverse transform
// (d: dequantized coefficients; xs: 1 for a plane, 2 for one component of an
// interleaved Cb/Cr plane). recon.cpp instantiates it with the portable
// policy, recon_avx2.cpp with the AVX2 one. Internal linkage throughout, see
// core/common.h.
#pragma once

#include <cstring>

#include "h264/dequant_kernels.h"
#include "h264/intra_pred.h"

namespace zan::h264::recon {
namespace {

// blkIdx -> position in 4x4 units (8x8 quadrants in raster order, the four
// 4x4 blocks of a quadrant in raster order).
constexpr int kBlkX[16] = {0, 1, 0, 1, 2, 3, 2, 3, 0, 1, 0, 1, 2, 3, 2, 3};
constexpr int kBlkY[16] = {0, 0, 1, 1, 0, 0, 1, 1, 2, 2, 3, 3, 2, 2, 3, 3};

// edgeType bits: set = that neighbouring macroblock may not be used.
enum : uint32_t { kEdgeLeft = 1, kEdgeTop = 4, kEdgeTopLeft = 16, kEdgeTopRight = 32 };

constexpr uint32_t kLumaAcBits = 0x1FFFEu;    // cbp4x4 bits 1..16
constexpr uint32_t kChromaBits = 0x7FE0000u;  // cbp4x4 bits 17..26

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

// How the residual of one 4x4 or 8x8 block is scaled.
struct Scaling {
    const int16_t* levels;  // caller's LevelScale entries, or null for the flat scale of qp
    int qp;
    bool bypass;            // transform bypass (lossless)
};

// Adds one coded 4x4 luma block with the caller's levels (or bypass).
template <class K>
ZAN_INLINE void add4x4_levels(const int16_t* c, const Scaling& s, uint8_t* dst, int32_t step, int xs,
                              const int32_t* dc = nullptr) {
    int32_t d[16];
    if (s.bypass) {
        for (int i = 0; i < 16; ++i) d[i] = c ? c[i] : 0;
        if (dc) d[0] = *dc;
        add_residual<4>(dst, step, xs, d);
        return;
    }
    for (int i = 0; i < 16; ++i)
        d[i] = !c ? 0
             : s.levels ? scale4x4(c[i], s.levels[i], s.qp)
                        : wrap_mul(c[i], InvQuantTable[s.qp][QuantIndex[i]]);
    if (dc) d[0] = *dc;
    K::add4x4_i32(d, dst, step, xs);
}

// Inter luma: the 16 (or 8, for a half) 4x4 blocks in blkIdx order.
template <class K>
ZanResult luma4x4_residuals(const int16_t*& coef, uint8_t* plane, int32_t step, uint32_t cbp, const Scaling& s) {
    for (int blk = 0; blk < 16; ++blk) {
        if (!(cbp & (2u << blk))) continue;
        uint8_t* dst = plane + ptrdiff_t(step) * 4 * kBlkY[blk] + 4 * kBlkX[blk];
        if (!s.levels && !s.bypass) {
            if (!(blk & 1) && (cbp & (4u << blk))) {  // blkIdx 2j and 2j + 1 lie side by side
                K::add4x4_sat_pair(coef, coef + 16, InvQuantScale4x4[s.qp].data(), dst, step);
                coef += 32;
                ++blk;
                continue;
            }
            K::add4x4_sat(coef, nullptr, InvQuantScale4x4[s.qp].data(), dst, step);
        } else {
            add4x4_levels<K>(coef, s, dst, step, 1);
        }
        coef += 16;
    }
    return ZAN_OK;
}

template <class K>
ZAN_INLINE void add8x8_levels(const int16_t* c, const Scaling& s, uint8_t* dst, int32_t step) {
    int32_t d[64];
    if (s.bypass) {
        for (int i = 0; i < 64; ++i) d[i] = c[i];
        add_residual<8>(dst, step, 1, d);
        return;
    }
    for (int i = 0; i < 64; ++i) d[i] = scale8x8(c[i], s.levels[i], s.qp);
    K::add8x8_i32(d, dst, step);
}

// Intra 4x4 luma for n blocks (16, or 8 for a half); cbp bit of block k is
// k + shift. Returns 11 when a block fell back to 128.
template <class K>
ZanResult luma_intra4x4(const int16_t*& coef, uint8_t* plane, int32_t step, const int32_t* modes, uint32_t cbp,
                        int shift, int n, uint32_t edge, const Scaling& s) {
    bool fallback = false;
    for (int blk = 0; blk < n; ++blk) {
        uint8_t* dst = plane + ptrdiff_t(step) * 4 * kBlkY[blk] + 4 * kBlkX[blk];
        fallback |= !predict_intra4x4(dst, step, modes[blk], avail4x4(blk, edge));
        if (!(cbp & (1u << (blk + shift)))) continue;
        if (!s.levels && !s.bypass)
            K::add4x4_sat(coef, nullptr, InvQuantScale4x4[s.qp].data(), dst, step);
        else
            add4x4_levels<K>(coef, s, dst, step, 1);
        coef += 16;
    }
    return fallback ? ZAN_WRN_PRED_FALLBACK : ZAN_OK;
}

// Intra 8x8 luma for n blocks (4, or 2 for a half), cbp bits 0..n-1.
template <class K>
ZanResult luma_intra8x8(const int16_t*& coef, uint8_t* plane, int32_t step, const int32_t* modes, uint32_t cbp,
                        int n, uint32_t edge, const Scaling& s) {
    bool fallback = false;
    for (int k = 0; k < n; ++k) {
        uint8_t* dst = plane + ptrdiff_t(step) * 8 * (k >> 1) + 8 * (k & 1);
        fallback |= !predict_intra8x8(dst, step, modes[k], avail8x8(k, edge));
        if (!(cbp & (1u << k))) continue;
        add8x8_levels<K>(coef, s, dst, step);
        coef += 64;
    }
    return fallback ? ZAN_WRN_PRED_FALLBACK : ZAN_OK;
}

// Intra 16x16 luma after the prediction: DC block (bit 0), then the AC
// blocks (bits 1..16) in blkIdx order; every block with coded AC or a
// non-zero DC gets its residual.
template <class K>
void luma_intra16x16_residual(const int16_t*& coef, uint8_t* plane, int32_t step, uint32_t cbp, const Scaling& s) {
    int32_t dc[16] = {};
    if (cbp & 1) {
        if (s.bypass) {
            for (int i = 0; i < 16; ++i) dc[i] = coef[i];
        } else if (!s.levels) {
            int16_t t[16];
            std::memcpy(t, coef, sizeof t);
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
        uint8_t* dst = plane + ptrdiff_t(step) * 4 * kBlkY[blk] + 4 * kBlkX[blk];
        add4x4_levels<K>(coded ? coef : nullptr, s, dst, step, 1, &dc[pos]);
        if (coded) coef += 16;
    }
}

// Chroma 4:2:0 residual of both components (bits 17..26): DC blocks first,
// then the AC blocks of Cb and of Cr.
template <class K>
void chroma_residual(const int16_t*& coef, uint8_t* const comp[2], int32_t step, int xs, uint32_t cbp,
                     const Scaling s[2]) {
    int32_t dc[2][4] = {};
    for (int c = 0; c < 2; ++c) {
        if (!(cbp & (1u << (17 + c)))) continue;
        if (s[c].bypass) {
            for (int i = 0; i < 4; ++i) dc[c][i] = coef[i];
        } else {
            chroma_dc(coef, s[c].levels ? s[c].levels[0] : 0, s[c].qp, dc[c]);
        }
        coef += 4;
    }
    for (int c = 0; c < 2; ++c)
        for (int b = 0; b < 4; ++b) {
            const bool coded = cbp & (1u << (19 + 4 * c + b));
            if (!coded && dc[c][b] == 0) continue;
            uint8_t* dst = comp[c] + ptrdiff_t(step) * 4 * (b >> 1) + ptrdiff_t(4 * (b & 1)) * xs;
            add4x4_levels<K>(coded ? coef : nullptr, s[c], dst, step, xs, &dc[c][b]);
            if (coded) coef += 16;
        }
}

// ---- The export bodies, checks included ----

inline bool bypass_on(uint8_t bypass, int qp) { return bypass && qp == 0; }

template <class K>
ZanResult luma_inter(int16_t** pp, uint8_t* plane, int32_t step, uint32_t cbp, int32_t qp, const int16_t* levels,
                     bool scaled, uint8_t bypass) {
    if (!pp || !*pp || !plane || (scaled && !levels)) return ZAN_ERR_NULL_PTR;
    if (uint32_t(qp) > 51) return ZAN_ERR_OUT_OF_RANGE;
    if (!(cbp & kLumaAcBits)) return ZAN_OK;
    const int16_t* coef = *pp;
    luma4x4_residuals<K>(coef, plane, step, cbp, {levels, qp, bypass_on(bypass, qp)});
    *pp = const_cast<int16_t*>(coef);
    return ZAN_OK;
}

template <class K>
ZanResult luma_inter8x8(int16_t** pp, uint8_t* plane, int32_t step, uint32_t cbp, int32_t qp, const int16_t* levels,
                        uint8_t bypass) {
    if (!pp || !*pp || !plane || !levels) return ZAN_ERR_NULL_PTR;
    if (uint32_t(qp) > 51) return ZAN_ERR_OUT_OF_RANGE;
    const int16_t* coef = *pp;
    const Scaling s{levels, qp, bypass_on(bypass, qp)};
    for (int k = 0; k < 4; ++k) {
        if (!(cbp & (1u << k))) continue;
        add8x8_levels<K>(coef, s, plane + ptrdiff_t(step) * 8 * (k >> 1) + 8 * (k & 1), step);
        coef += 64;
    }
    *pp = const_cast<int16_t*>(coef);
    return ZAN_OK;
}

// Intra 4x4 (n = 16, shift 1) and its half (n = 8, shift 0, step >= 1).
template <class K>
ZanResult luma_intra4x4_mb(int16_t** pp, uint8_t* plane, int32_t step, const int32_t* modes, uint32_t cbp,
                           int32_t qp, uint8_t edge, const int16_t* levels, bool scaled, uint8_t bypass, bool half) {
    if (!pp || !*pp || !plane || !modes || (scaled && !levels)) return ZAN_ERR_NULL_PTR;
    if (half && step < 1) return ZAN_ERR_STEP;
    if (uint32_t(qp) > 51) return ZAN_ERR_OUT_OF_RANGE;
    if (bad_modes(modes, half ? 8 : 16)) return ZAN_ERR_OUT_OF_RANGE;
    const int16_t* coef = *pp;
    const ZanResult r = luma_intra4x4<K>(coef, plane, step, modes, cbp, half ? 0 : 1, half ? 8 : 16, edge,
                                         {levels, qp, bypass_on(bypass, qp)});
    *pp = const_cast<int16_t*>(coef);
    return r;
}

template <class K>
ZanResult luma_intra8x8_mb(int16_t** pp, uint8_t* plane, int32_t step, const int32_t* modes, uint32_t cbp,
                           int32_t qp, uint8_t edge, const int16_t* levels, uint8_t bypass, bool half) {
    if (!pp || !*pp || !plane || !modes || !levels) return ZAN_ERR_NULL_PTR;
    if (half && step < 1) return ZAN_ERR_STEP;
    if (uint32_t(qp) > 51) return ZAN_ERR_OUT_OF_RANGE;
    if (bad_modes(modes, half ? 2 : 4)) return ZAN_ERR_OUT_OF_RANGE;
    const int16_t* coef = *pp;
    const ZanResult r =
        luma_intra8x8<K>(coef, plane, step, modes, cbp, half ? 2 : 4, edge, {levels, qp, bypass_on(bypass, qp)});
    *pp = const_cast<int16_t*>(coef);
    return r;
}

template <class K>
ZanResult luma_intra16x16_mb(int16_t** pp, uint8_t* plane, int32_t step, int32_t mode, uint32_t cbp, int32_t qp,
                             uint8_t edge, const int16_t* levels, bool scaled, uint8_t bypass) {
    if (!pp || !*pp || !plane || (scaled && !levels)) return ZAN_ERR_NULL_PTR;
    if (uint32_t(qp) > 51) return ZAN_ERR_OUT_OF_RANGE;
    if (uint32_t(mode) > 3) return ZAN_ERR_OUT_OF_RANGE;
    uint32_t avail = 0;
    if (!(edge & kEdgeTop)) avail |= kAvailTop;
    if (!(edge & kEdgeLeft)) avail |= kAvailLeft;
    if (!(edge & kEdgeTopLeft)) avail |= kAvailTopLeft;
    if (!intra16x16_mode_ok(mode, avail)) return ZAN_ERR_NEIGHBOUR_UNAVAILABLE;
    predict_intra16x16(plane, step, mode, avail);
    if (!(cbp & 0x1FFFFu)) return ZAN_OK;
    const int16_t* coef = *pp;
    luma_intra16x16_residual<K>(coef, plane, step, cbp, {levels, qp, bypass_on(bypass, qp)});
    *pp = const_cast<int16_t*>(coef);
    return ZAN_OK;
}

// Chroma, all forms. planes: Cb and Cr component bases (for the
// interleaved forms Cb = plane, Cr = plane + 1, xs = 2).
// levels null: flat scaling of qp. edgeBottom: left availability of the
// lower half (the Halves forms), else equal to edge.
struct ChromaArgs {
    int16_t** pp;
    uint8_t* cb;
    uint8_t* cr;
    int32_t step;
    int xs;
    bool checkStep;
    bool intra;
    int32_t mode;
    uint32_t cbp;
    int32_t qp[2];
    uint8_t edge, edgeBottom;
    const int16_t* levels[2];
    bool scaled;
    uint8_t bypass;
};

template <class K>
ZanResult chroma_mb(const ChromaArgs& a) {
    if (!a.pp || !*a.pp || !a.cb || !a.cr || (a.scaled && (!a.levels[0] || !a.levels[1]))) return ZAN_ERR_NULL_PTR;
    if (a.checkStep && a.step < 1) return ZAN_ERR_STEP;
    if (uint32_t(a.qp[0]) > 39 || uint32_t(a.qp[1]) > 39) return ZAN_ERR_OUT_OF_RANGE;
    if (a.intra) {
        if (uint32_t(a.mode) > 3) return ZAN_ERR_OUT_OF_RANGE;
        const uint32_t avail = avail_chroma(a.edge, a.edgeBottom);
        if (!chroma_mode_ok(a.mode, avail)) return ZAN_ERR_NEIGHBOUR_UNAVAILABLE;
        predict_chroma8x8(a.cb, a.step, a.xs, a.mode, avail);
        predict_chroma8x8(a.cr, a.step, a.xs, a.mode, avail);
    }
    if (!(a.cbp & kChromaBits)) return ZAN_OK;
    const int16_t* coef = *a.pp;
    uint8_t* const comp[2] = {a.cb, a.cr};
    // Transform bypass is the macroblock's: the chroma QPs do not enter.
    const Scaling s[2] = {{a.levels[0], a.qp[0], a.bypass != 0}, {a.levels[1], a.qp[1], a.bypass != 0}};
    chroma_residual<K>(coef, comp, a.step, a.xs, a.cbp, s);
    *a.pp = const_cast<int16_t*>(coef);
    return ZAN_OK;
}

}  // namespace
}  // namespace zan::h264::recon
