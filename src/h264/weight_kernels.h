// H.264 weighted sample prediction (8.4.2.3) and bi-prediction averaging:
// the one formula every weighting export reduces to, its portable block
// loop, and the export bodies (argument checks, then a kernel) written once
// over a kernel policy. weight.cpp instantiates them with the portable
// policy, weight_avx2.cpp with the AVX2 one. Internal linkage throughout:
// see core/common.h.
//
// Every weighting export computes, per sample,
//   out = Clip(((x0 * w0 + x1 * w1 + round) >> shift) + offset)
// in 32-bit two's complement arithmetic with an arithmetic shift of 0..32;
// one-direction weighting is the case w1 = 0 with a single source.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/common.h"

namespace zan::h264w {
namespace {

// Weight and offset of one channel (NV12 rows alternate Cb, Cr).
struct Lane {
    int32_t w0 = 0, w1 = 0, offset = 0;
};

struct Params {
    Lane ch[2];          // ch[0] for one-channel rows
    uint32_t round = 0;  // added modulo 2^32
    int shift = 0;       // 0..32
    int32_t maxval = 255;
};

// A block of `samples` elements per row (CbCr pairs count two) and `height`
// rows; steps count elements. `b` is null for one-direction weighting.
template <class T>
struct Block {
    const T* a;
    ptrdiff_t aStep;
    const T* b;
    ptrdiff_t bStep;
    T* d;
    ptrdiff_t dStep;
    int samples = 0, height = 0;
};

// ---------------------------------------------------------------------------
// Parameters of each weighting mode
// ---------------------------------------------------------------------------

// One direction, H.264 8-270: rounding 2^(logWD-1), none when logWD is 0.
inline Params unidir(uint32_t ulog2wd, Lane cb, Lane cr = {}) {
    Params p;
    p.shift = int(ulog2wd & 31);
    p.round = p.shift ? uint32_t(1) << (p.shift - 1) : 0;
    p.ch[0] = cb;
    p.ch[1] = cr;
    return p;
}

// The combined offset (o0 + o1 + 1) >> 1 of two-direction weighting, exact
// for all 32-bit offsets.
inline int32_t combined_offset(int32_t o0, int32_t o1) {
    return int32_t((int64_t(o0) + int64_t(o1) + 1) >> 1);
}

// Two directions, explicit, H.264 8-272: rounding 2^logWD, shift logWD + 1.
inline Params bidir(uint32_t ulog2wd, int32_t w0, int32_t o0, int32_t w1, int32_t o1) {
    Params p;
    const int logWD = int(ulog2wd & 31);
    p.shift = logWD + 1;
    p.round = uint32_t(1) << logWD;
    p.ch[0] = p.ch[1] = {w0, w1, combined_offset(o0, o1)};
    return p;
}

// Two directions, implicit: logWD 5 and zero offsets.
inline Params implicit(int32_t w0, int32_t w1) { return bidir(5, w0, 0, w1, 0); }

// Weighted average: rounding 2^(s-1) when s >= 1, s = shift modulo 32.
inline Params average(uint32_t shift, int32_t w1, int32_t w2, int32_t offset) {
    Params p = unidir(shift, {w1, w2, offset});
    p.ch[1] = p.ch[0];
    return p;
}

// Saturation maximum of the 16-bit forms.
inline int32_t max_for_depth(int32_t bitDepth) {
    return bitDepth <= 0 ? 0 : bitDepth >= 16 ? 65535 : (int32_t(1) << bitDepth) - 1;
}

// ---------------------------------------------------------------------------
// The formula and the portable block loop
// ---------------------------------------------------------------------------

ZAN_INLINE int32_t weigh(uint32_t x0, uint32_t x1, const Lane& l, const Params& p) {
    const uint32_t acc = x0 * uint32_t(l.w0) + x1 * uint32_t(l.w1) + p.round;
    const int32_t scaled = int32_t(int64_t(int32_t(acc)) >> p.shift);
    return int32_t(uint32_t(scaled) + uint32_t(l.offset));
}

// Block and parameters are taken by value: stores through a byte pointer
// may alias anything, and local copies stay in registers.
template <class T, int C, bool Two>
void weigh_block(const Block<T> k, const Params p) {
    for (int y = 0; y < k.height; ++y) {
        const T* a = k.a + k.aStep * y;
        const T* b = Two ? k.b + k.bStep * y : nullptr;
        T* d = k.d + k.dStep * y;
        for (int x = 0; x < k.samples; ++x) {
            const int32_t v = weigh(a[x], Two ? b[x] : 0u, p.ch[x % C], p);
            d[x] = T(clip3(0, p.maxval, v));
        }
    }
}

// The portable kernel policy.
struct Portable {
    template <int C, bool Two, class T>
    static void run(const Block<T>& k, const Params& p) {
        weigh_block<T, C, Two>(k, p);
    }
};

// ---------------------------------------------------------------------------
// Argument checks
// ---------------------------------------------------------------------------

ZAN_INLINE bool block_dim(int32_t v) { return v == 2 || v == 4 || v == 8 || v == 16; }
ZAN_INLINE bool block_size(ZanSize s) { return block_dim(s.width) && block_dim(s.height); }

// A step is too short when it is below the row it must hold (channels *
// width); compared as integers, so a negative width is left to the size
// check.
ZAN_INLINE bool short_step(int64_t step, ZanSize s, int channels = 1) {
    return step < int64_t(channels) * s.width;
}

// Step checks, then size checks, then the kernel; fills in the block's
// extent only once the size is known to be valid.
template <class K, int C, bool Two, class T>
ZAN_INLINE ZanResult run_checked(Block<T> k, ZanSize roi, const Params& p) {
    if (short_step(k.aStep, roi, C) || (Two && short_step(k.bStep, roi, C)) || short_step(k.dStep, roi, C))
        return ZAN_ERR_STEP;
    if (!block_size(roi)) return ZAN_ERR_SIZE;
    k.samples = C * roi.width;
    k.height = roi.height;
    K::template run<C, Two>(k, p);
    return ZAN_OK;
}

// ---------------------------------------------------------------------------
// The export bodies
// ---------------------------------------------------------------------------

template <class K>
ZAN_INLINE ZanResult unidir_8u_c1(Zan8u* pSrcDst, Zan32u step, Zan32u ulog2wd, int32_t w, int32_t o,
                                  ZanSize roi) {
    if (!pSrcDst) return ZAN_ERR_NULL_PTR;
    const ptrdiff_t s = ptrdiff_t(step);
    return run_checked<K, 1, false>(Block<uint8_t>{pSrcDst, s, nullptr, 0, pSrcDst, s}, roi,
                                    unidir(ulog2wd, {w, 0, o}));
}

template <class K>
ZAN_INLINE ZanResult unidir_8u_c2(const ZanBidirBlock_8u* pBlock, const ZanWeightParams* pParams) {
    if (!pBlock || !pParams || !pBlock->pDst) return ZAN_ERR_NULL_PTR;
    const ZanBidirBlock_8u& b = *pBlock;
    const ZanWeightParams& w = *pParams;
    const Params p = unidir(w.ulog2wd & 15, {w.weights[0], 0, w.offsets[0]}, {w.weights[1], 0, w.offsets[1]});
    return run_checked<K, 2, false>(Block<uint8_t>{b.pDst, b.dstStep, nullptr, 0, b.pDst, b.dstStep}, b.roiSize,
                                    p);
}

template <class K>
ZAN_INLINE ZanResult bidir_8u_p3(const Zan8u* pSrc1, const Zan8u* pSrc2, Zan8u* pDst, int32_t s1, int32_t s2,
                                 int32_t sd, const Params& p, ZanSize roi) {
    if (!pSrc1 || !pSrc2 || !pDst) return ZAN_ERR_NULL_PTR;
    return run_checked<K, 1, true>(Block<uint8_t>{pSrc1, s1, pSrc2, s2, pDst, sd}, roi, p);
}

template <class K>
ZAN_INLINE ZanResult bidir_8u_c2(const ZanBidirBlock_8u* pBlock, const ZanWeightParams* pL0,
                                 const ZanWeightParams* pL1) {
    if (!pBlock || !pL0 || !pL1) return ZAN_ERR_NULL_PTR;
    const ZanBidirBlock_8u& b = *pBlock;
    if (!b.pSrc1 || !b.pSrc2 || !b.pDst) return ZAN_ERR_NULL_PTR;
    Params p = bidir(pL0->ulog2wd & 15, 0, 0, 0, 0);
    for (int c = 0; c < 2; ++c)
        p.ch[c] = {pL0->weights[c], pL1->weights[c], combined_offset(pL0->offsets[c], pL1->offsets[c])};
    return run_checked<K, 2, true>(Block<uint8_t>{b.pSrc1, b.src1Step, b.pSrc2, b.src2Step, b.pDst, b.dstStep},
                                   b.roiSize, p);
}

template <class K>
ZAN_INLINE ZanResult average_8u(const Zan8u* pSrc1, Zan8u* pSrc2Dst, int32_t step, int32_t w1, int32_t w2,
                                Zan32u shift, int32_t o, ZanSize roi) {
    if (!pSrc1 || !pSrc2Dst) return ZAN_ERR_NULL_PTR;
    return run_checked<K, 1, true>(Block<uint8_t>{pSrc1, step, pSrc2Dst, step, pSrc2Dst, step}, roi,
                                   average(shift, w1, w2, o));
}

template <class K>
ZAN_INLINE ZanResult unidir_16u(Zan16u* pSrcDst, int32_t step, Zan32u ulog2wd, int32_t w, int32_t o, ZanSize roi,
                                int32_t bitDepth) {
    if (!pSrcDst) return ZAN_ERR_NULL_PTR;
    Params p = unidir(ulog2wd, {w, 0, o});
    p.maxval = max_for_depth(bitDepth);
    return run_checked<K, 1, false>(Block<uint16_t>{pSrcDst, step, nullptr, 0, pSrcDst, step}, roi, p);
}

template <class K>
ZAN_INLINE ZanResult bidir_16u(const ZanBidir_16u* pBlock, Params p) {
    if (!pBlock || !pBlock->pSrc1 || !pBlock->pSrc2 || !pBlock->pDst) return ZAN_ERR_NULL_PTR;
    const ZanBidir_16u& b = *pBlock;
    p.maxval = max_for_depth(b.bitDepth);
    return run_checked<K, 1, true>(Block<uint16_t>{b.pSrc1, b.src1Step, b.pSrc2, b.src2Step, b.pDst, b.dstStep},
                                   b.roiSize, p);
}

}  // namespace
}  // namespace zan::h264w
