// H.264 weighted prediction and averaging, portable implementations.
#include "h264/weight_kernels.h"

namespace zan::c {

using Policy = h264w::Portable;

#include "h264/weight_exports.inc"

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
