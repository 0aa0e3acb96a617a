// H.264 dequantization and inverse transforms, portable implementations
// (H.264 8.5.10 to 8.5.12, SP/SI decoding 8.6.1 and 8.6.2).
#include "h264/dequant_kernels.h"

namespace zan::c {

using namespace zan::h264;

ZanResult zaniTransformDequantLumaDC_H264_16s_C1I(Zan16s* pSrcDst, int32_t QP) {
    if (!pSrcDst) return ZAN_ERR_NULL_PTR;
    if (QP < 0 || QP > 51) return ZAN_ERR_OUT_OF_RANGE;
    // f = H c H with the 4x4 Hadamard matrix; H is symmetric, so both passes
    // are the same butterfly.
    int32_t f[16];
    for (int i = 0; i < 16; ++i) f[i] = pSrcDst[i];
    auto hadamard = [](int32_t& a, int32_t& b, int32_t& c, int32_t& d) {
        const int32_t s0 = a + b, s1 = a - b, s2 = c + d, s3 = c - d;
        a = s0 + s2;  // 1  1  1  1
        b = s0 - s2;  // 1  1 -1 -1
        c = s1 - s3;  // 1 -1 -1  1
        d = s1 + s3;  // 1 -1  1 -1
    };
    for (int i = 0; i < 4; ++i) hadamard(f[4 * i], f[4 * i + 1], f[4 * i + 2], f[4 * i + 3]);
    for (int j = 0; j < 4; ++j) hadamard(f[j], f[4 + j], f[8 + j], f[12 + j]);
    const int32_t s = InvQuantLuma16x16DCTable[QP];
    for (int i = 0; i < 16; ++i) {
        const int32_t p = wrap_mul(f[i], s);
        const int32_t dc = QP < 6 ? int32_t(uint32_t(p) + 2) >> 2 : QP < 12 ? int32_t(uint32_t(p) + 1) >> 1 : p;
        pSrcDst[i] = int16_t(dc);
    }
    return ZAN_OK;
}

ZanResult zaniTransformDequantChromaDC_H264_16s_C1I(Zan16s* pSrcDst, int32_t QP) {
    if (!pSrcDst) return ZAN_ERR_NULL_PTR;
    if (uint32_t(QP) > 51) return ZAN_ERR_OUT_OF_RANGE;
    const int c0 = pSrcDst[0], c1 = pSrcDst[1], c2 = pSrcDst[2], c3 = pSrcDst[3];
    const int16_t f[4] = {int16_t(c0 + c1 + c2 + c3), int16_t(c0 - c1 + c2 - c3), int16_t(c0 + c1 - c2 - c3),
                          int16_t(c0 - c1 - c2 + c3)};
    const int32_t s = InvQuantTable[QP][0];
    for (int i = 0; i < 4; ++i) pSrcDst[i] = int16_t((f[i] * s) >> 1);
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
    if (!pPred || !pDst) return ZAN_ERR_NULL_PTR;
    if (uint32_t(QP) > 51) return ZAN_ERR_OUT_OF_RANGE;
    if (!pSrcDst && (!pDC || AC)) return ZAN_ERR_NULL_PTR;
    int16_t r[16];
    residual4x4_sat(pSrcDst, pDC, AC != 0, InvQuantScale4x4[QP].data(), r);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            pDst[ptrdiff_t(dstStep) * y + x] = clip_u8(int(pPred[ptrdiff_t(predStep) * y + x]) + r[4 * y + x]);
    return ZAN_OK;
}

ZanResult zaniTransformResidual4x4Inv_H264_16s_C1(const Zan16s* pSrc, Zan16s* pDst) {
    if (!pSrc || !pDst) return ZAN_ERR_NULL_PTR;
    Sat16 b[16];
    for (int i = 0; i < 16; ++i) b[i] = {pSrc[i]};
    idct4x4(b);
    for (int i = 0; i < 16; ++i) pDst[i] = b[i].v;
    return ZAN_OK;
}

ZanResult zaniTransformResidual4x4Inv_H264_32s_C1(const Zan32s* pSrc, Zan32s* pDst) {
    if (!pSrc || !pDst) return ZAN_ERR_NULL_PTR;
    Wrap32 b[16];
    for (int i = 0; i < 16; ++i) b[i] = {pSrc[i]};
    idct4x4(b);
    for (int i = 0; i < 16; ++i) pDst[i] = b[i].v;
    return ZAN_OK;
}

}  // namespace zan::c
