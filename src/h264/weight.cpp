// H.264 weighted prediction and averaging, portable implementations.
#include "h264/weight_kernels.h"

namespace zan::c {

using Policy = h264w::Portable;

#include "h264/weight_exports_8u.inc"

// ---------------------------------------------------------------------------
// 16-bit forms (steps count samples)
// ---------------------------------------------------------------------------

ZanResult zaniUnidirWeight_H264_16u_IP2P1R(Zan16u* pSrcDst, int32_t srcDstStep, Zan32u ulog2wd, int32_t iWeight,
                                           int32_t iOffset, ZanSize roiSize, int32_t bitDepth) {
    if (!pSrcDst) return ZAN_ERR_NULL_PTR;
    h264w::Params p = h264w::unidir(ulog2wd, {iWeight, 0, iOffset});
    p.maxval = h264w::max_for_depth(bitDepth);
    return h264w::run_checked<Policy, 1, false>(
        h264w::Block<uint16_t>{pSrcDst, srcDstStep, nullptr, 0, pSrcDst, srcDstStep}, roiSize, p);
}

ZanResult zaniBidirWeight_H264_16u_P2P1R(const ZanBidir_16u* pBlock, Zan32u ulog2wd, int32_t iWeight1,
                                         int32_t iOffset1, int32_t iWeight2, int32_t iOffset2) {
    return h264w::bidir_16u<Policy>(pBlock, h264w::bidir(ulog2wd, iWeight1, iOffset1, iWeight2, iOffset2));
}

ZanResult zaniBidirWeightImplicit_H264_16u_P2P1R(const ZanBidir_16u* pBlock, int32_t iWeight1, int32_t iWeight2) {
    return h264w::bidir_16u<Policy>(pBlock, h264w::implicit(iWeight1, iWeight2));
}

// Plain average (x0 + x1 + 1) >> 1: the weighting formula with both weights
// 1, rounding 1 and shift 1. Any width and height in 2..16; no step check.
ZanResult zaniBidir_H264_16u_P2P1R(const ZanBidir_16u* pBlock) {
    if (!pBlock || !pBlock->pSrc1 || !pBlock->pSrc2 || !pBlock->pDst) return ZAN_ERR_NULL_PTR;
    const ZanBidir_16u& b = *pBlock;
    const auto in_range = [](int32_t v) { return v >= 2 && v <= 16; };
    if (!in_range(b.roiSize.width) || !in_range(b.roiSize.height)) return ZAN_ERR_BAD_ARG;
    h264w::Params p = h264w::average(1, 1, 1, 0);
    p.maxval = 65535;
    h264w::weigh_block<uint16_t, 1, true>(
        {b.pSrc1, b.src1Step, b.pSrc2, b.src2Step, b.pDst, b.dstStep, b.roiSize.width, b.roiSize.height}, p);
    return ZAN_OK;
}

}  // namespace zan::c
