// H.264 dequantization and inverse transforms, portable implementations
// (H.264 8.5.10 to 8.5.12, SP/SI decoding 8.6.1 and 8.6.2).
#include "h264/dequant_kernels.h"

namespace zan::c {

using namespace zan::h264;

ZanResult zaniTransformDequantLumaDC_H264_16s_C1I(Zan16s* pSrcDst, int32_t QP) {
    if (!pSrcDst) return ZAN_ERR_NULL_PTR;
    if (QP < 0 || QP > 51) return ZAN_ERR_OUT_OF_RANGE;
    luma_dc_flat(pSrcDst, QP);
    return ZAN_OK;
}

ZanResult zaniTransformDequantChromaDC_H264_16s_C1I(Zan16s* pSrcDst, int32_t QP) {
    if (!pSrcDst) return ZAN_ERR_NULL_PTR;
    if (uint32_t(QP) > 51) return ZAN_ERR_OUT_OF_RANGE;
    int32_t dc[4];
    chroma_dc(pSrcDst, 0, QP, dc);
    for (int i = 0; i < 4; ++i) pSrcDst[i] = int16_t(dc[i]);
    return ZAN_OK;
}

ZanResult zaniDequantTransformResidual_H264_16s_C1I(Zan16s* pSrcDst, int32_t step, const Zan16s* pDC, int32_t AC,
                                                    int32_t QP) {
    if (!pSrcDst) return ZAN_ERR_NULL_PTR;
    if (QP < 0 || QP > 51) return ZAN_ERR_OUT_OF_RANGE;
    if (step < 8) return ZAN_ERR_STEP;
    const auto& q = InvQuantTable[QP];
    const int32_t dc = pDC ? int32_t(*pDC) : int32_t(pSrcDst[0]) * q[0];
    if (!AC) {
        const int16_t v = int16_t((int32_t(int16_t(dc)) + 32) >> 6);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) row(pSrcDst, step, y)[x] = v;
        return ZAN_OK;
    }
    Wrap32 b[16];
    for (int i = 0; i < 16; ++i) b[i] = {int32_t(row(pSrcDst, step, i >> 2)[i & 3]) * q[QuantIndex[i]]};
    b[0] = {dc};
    idct4x4(b);
    for (int i = 0; i < 16; ++i) row(pSrcDst, step, i >> 2)[i & 3] = int16_t(b[i].v);
    return ZAN_OK;
}

ZanResult zaniDequantTransformResidualAndAdd_H264_16s_C1I(const Zan8u* pPred, Zan16s* pSrcDst, const Zan16s* pDC,
                                                          Zan8u* pDst, int32_t predStep, int32_t dstStep,
                                                          int32_t QP, int32_t AC) {
    if (const ZanResult r = check_add_args(pPred, pSrcDst, pDC, pDst, QP, AC)) return r;
    int16_t r[16];
    residual4x4_sat(pSrcDst, pDC, AC != 0, InvQuantScale4x4[QP].data(), r);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            pDst[ptrdiff_t(dstStep) * y + x] = clip_u8(int(pPred[ptrdiff_t(predStep) * y + x]) + r[4 * y + x]);
    return ZAN_OK;
}

ZanResult zaniTransformResidual4x4Inv_H264_16s_C1(const Zan16s* pSrc, Zan16s* pDst) {
    if (!pSrc || !pDst) return ZAN_ERR_NULL_PTR;
    inverse4x4<Sat16>(pSrc, pDst);
    return ZAN_OK;
}

ZanResult zaniTransformResidual4x4Inv_H264_32s_C1(const Zan32s* pSrc, Zan32s* pDst) {
    if (!pSrc || !pDst) return ZAN_ERR_NULL_PTR;
    inverse4x4<Wrap32>(pSrc, pDst);
    return ZAN_OK;
}

}  // namespace zan::c
