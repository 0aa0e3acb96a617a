// H.264 SP and SI decoding of transform coefficients (H.264 8.6.1 and
// 8.6.2): the prediction is transformed, combined with the levels,
// requantized with QS and dequantized. Portable only: SP/SI macroblocks are
// rare.
#include "h264/dequant_kernels.h"

namespace zan::c {

using namespace zan::h264;

namespace {

// Requantization with QS (LevelScale2), rounding offset 2^(shift - 1).
int32_t sp_quant(int64_t x, int32_t ls2, int shift) {
    const int64_t a = ((x < 0 ? -x : x) * ls2 + (int64_t(1) << (shift - 1))) >> shift;
    return int32_t(x < 0 ? -a : a);
}

// Forward core transform of a 4x4 prediction block: cp = T p T^T.
void forward4x4(const int16_t* p, int32_t* cp) {
    int32_t t[16];
    auto fwd = [](int32_t a, int32_t b, int32_t c, int32_t d, int32_t* o, int s) {
        const int32_t s03 = a + d, d03 = a - d, s12 = b + c, d12 = b - c;
        o[0] = s03 + s12;
        o[s] = 2 * d03 + d12;
        o[2 * s] = s03 - s12;
        o[3 * s] = d03 - 2 * d12;
    };
    for (int i = 0; i < 4; ++i) fwd(p[4 * i], p[4 * i + 1], p[4 * i + 2], p[4 * i + 3], t + 4 * i, 1);
    for (int j = 0; j < 4; ++j) fwd(t[j], t[4 + j], t[8 + j], t[12 + j], cp + j, 4);
}

}  // namespace

ZanResult zaniDequantTransformResidual_SISP_H264_16s_C1I(Zan16s* pSrcDst, const Zan16s* pPredictBlock,
                                                         const Zan16s* pDC, int32_t AC, int32_t QP, int32_t QS,
                                                         int32_t switching) {
    if (!pSrcDst || !pPredictBlock) return ZAN_ERR_NULL_PTR;
    if (QP < 0 || QP > 51) return ZAN_ERR_OUT_OF_RANGE;
    if (QS < 0 || QS > 51) return ZAN_ERR_OUT_OF_RANGE;
    int32_t cp[16];
    forward4x4(pPredictBlock, cp);
    const int qsShift = 15 + QS / 6;
    Wrap32 d[16];
    for (int i = 0; i < 16; ++i) {
        const int k = class4x4(i);  // 0 both even, 1 mixed, 2 both odd
        const int32_t c = AC ? int32_t(pSrcDst[i]) : 0;
        const int32_t ls2 = LevelScale2_def[QS % 6][k];
        int32_t level;
        if (switching) {
            level = int32_t(int64_t(c) + sp_quant(cp[i], ls2, qsShift));
        } else {
            const int64_t ls = InvLevelScale_4x4_default[QP % 6][i];
            const int64_t cs = cp[i] + (((int64_t(c) * ls * SPScaleA_def[k]) << (QP / 6)) >> 10);
            level = sp_quant(cs, ls2, qsShift);
        }
        d[i] = {wrap_mul(level, InvQuantTable_def[QS % 6][k] << (QS / 6))};
    }
    if (pDC) d[0] = {*pDC};
    idct4x4(d);
    for (int i = 0; i < 16; ++i) pSrcDst[i] = int16_t(d[i].v);
    return ZAN_OK;
}

ZanResult zaniTransformDequantChromaDC_SISP_H264_16s_C1I(Zan16s* pSrcDst, const Zan16s* pDCPredict, int32_t QP,
                                                         int32_t QS, int32_t switching) {
    if (!pSrcDst || !pDCPredict) return ZAN_ERR_NULL_PTR;
    if (QP < 0 || QP > 51) return ZAN_ERR_OUT_OF_RANGE;
    if (QS < 0 || QS > 51) return ZAN_ERR_OUT_OF_RANGE;
    auto f2x2 = [](const int32_t* c, int32_t* f) {
        f[0] = c[0] + c[1] + c[2] + c[3];
        f[1] = c[0] - c[1] + c[2] - c[3];
        f[2] = c[0] + c[1] - c[2] - c[3];
        f[3] = c[0] - c[1] - c[2] + c[3];
    };
    int32_t pred[4], dcp[4], level[4];
    for (int i = 0; i < 4; ++i) pred[i] = pDCPredict[i];
    f2x2(pred, dcp);
    const int32_t ls2 = LevelScale2_def[QS % 6][0];
    const int qsShift = 16 + QS / 6;
    for (int i = 0; i < 4; ++i) {
        const int32_t dcr = pSrcDst[i];
        if (switching) {
            level[i] = int32_t(int64_t(dcr) + sp_quant(dcp[i], ls2, qsShift));
        } else {
            const int64_t ls = InvLevelScale_4x4_default[QP % 6][0];
            const int64_t dcs = dcp[i] + (((int64_t(dcr) * ls * SPScaleA_def[0]) << (QP / 6)) >> 9);
            level[i] = sp_quant(dcs, ls2, qsShift);
        }
    }
    int32_t f[4];
    for (int i = 0; i < 4; ++i) level[i] = int32_t(int16_t(level[i]));  // the levels' 16-bit range
    f2x2(level, f);
    for (int i = 0; i < 4; ++i) pSrcDst[i] = int16_t(wrap_mul(f[i], InvQuantTable[QS][0]) >> 1);
    return ZAN_OK;
}

}  // namespace zan::c
