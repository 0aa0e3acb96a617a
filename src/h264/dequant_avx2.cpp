// H.264 add-to-prediction path and inverse 4x4 transform, AVX2 kernels.
#include "h264/dequant_simd.h"

namespace zan::avx2 {

using namespace zan::h264;

ZanResult zaniDequantTransformResidualAndAdd_H264_16s_C1I(const Zan8u* pPred, Zan16s* pSrcDst, const Zan16s* pDC,
                                                          Zan8u* pDst, int32_t predStep, int32_t dstStep,
                                                          int32_t QP, int32_t AC) {
    if (const ZanResult r = check_add_args(pPred, pSrcDst, pDC, pDst, QP, AC)) return r;
    simd::add4x4_sat(pPred, predStep, pSrcDst, pDC, AC != 0, InvQuantScale4x4[QP].data(), pDst, dstStep);
    return ZAN_OK;
}

ZanResult zaniTransformResidual4x4Inv_H264_16s_C1(const Zan16s* pSrc, Zan16s* pDst) {
    if (!pSrc || !pDst) return ZAN_ERR_NULL_PTR;
    const __m128i r01 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pSrc));
    const __m128i r23 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pSrc + 8));
    __m128i r[4] = {r01, _mm_srli_si128(r01, 8), r23, _mm_srli_si128(r23, 8)};
    simd::idct4x4_sat<simd::V128>(r);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst), _mm_unpacklo_epi64(r[0], r[1]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst + 8), _mm_unpacklo_epi64(r[2], r[3]));
    return ZAN_OK;
}

}  // namespace zan::avx2
