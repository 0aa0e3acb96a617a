// Block metrics, portable implementations: the exports of metrics_entry.inc
// over the portable kernels, plus the source-activity measures that have no
// AVX2 kernel (frame/field activity, mean absolute deviation, edge test).
#include "me/metrics_ref.h"

namespace zan::c {

namespace {

using K = me::RefKernels;
using me::absdiff;
using me::at;

// Frame measure: rows r, r+1 (r = 0..6, 8..14); field measure: rows r, r+2
// (r = 0..13). D(a, b) gives each absolute difference, Acc the totals.
template <class Acc, class T, class D>
void frame_field(const T* s, int32_t ss, D dist, Acc* frame, Acc* field) {
    Acc fr = 0, fi = 0;
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 16; ++x) {
            if (y != 7) fr = Acc(fr + dist(at(s, ss, x, y), at(s, ss, x, y + 1)));
            if (y < 14) fi = Acc(fi + dist(at(s, ss, x, y), at(s, ss, x, y + 2)));
        }
    *frame = fr;
    *field = fi;
}

template <int N>
int32_t mean_abs_dev(const Zan8u* s, int32_t ss) {
    constexpr int shift = N == 8 ? 6 : 8;
    int32_t sum = 0;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) sum += at(s, ss, x, y);
    const int mean = (sum + (1 << (shift - 1))) >> shift;
    int32_t dev = 0;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) dev += absdiff<Zan8u>(at(s, ss, x, y), mean);
    return dev;
}

// Edge samples among rows and columns 0..14; `mag` gives the measured
// difference. True when the count exceeds limit (checked after each row).
template <class T, class M>
bool edges16x16(const T* s, int32_t ss, uint32_t threshold, uint32_t limit, M mag) {
    uint32_t count = 0;
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 15; ++x) {
            const int v = at(s, ss, x, y);
            if (uint32_t(mag(v, at(s, ss, x + 1, y))) > threshold || uint32_t(mag(v, at(s, ss, x, y + 1))) > threshold)
                ++count;
        }
        if (count > limit) return true;
    }
    return false;
}

}  // namespace

#include "me/metrics_entry.inc"

ZanResult zaniFrameFieldSAD16x16_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, Zan32s* pFrameSAD,
                                           Zan32s* pFieldSAD) {
    if (!pSrc || !pFrameSAD || !pFieldSAD) return ZAN_ERR_NULL_PTR;
    frame_field<Zan32s>(pSrc, srcStep, absdiff<Zan8u>, pFrameSAD, pFieldSAD);
    return ZAN_OK;
}

ZanResult zaniFrameFieldSAD16x16_16s32s_C1R(const Zan16s* pSrc, int32_t srcStep, Zan32s* pFrameSAD,
                                            Zan32s* pFieldSAD) {
    if (!pSrc || !pFrameSAD || !pFieldSAD) return ZAN_ERR_NULL_PTR;
    // max(a - b, b - a) in 16-bit wrap-around arithmetic; totals modulo 65536.
    const auto dist16 = [](int a, int b) { return std::max(int16_t(uint16_t(a - b)), int16_t(uint16_t(b - a))); };
    Zan16u frame, field;
    frame_field<Zan16u>(pSrc, srcStep, dist16, &frame, &field);
    *pFrameSAD = frame;
    *pFieldSAD = field;
    return ZAN_OK;
}

ZanResult zaniMeanAbsDev8x8_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, Zan32s* pResult) {
    if (!pSrc || !pResult) return ZAN_ERR_NULL_PTR;
    *pResult = mean_abs_dev<8>(pSrc, srcStep);
    return ZAN_OK;
}

ZanResult zaniMeanAbsDev16x16_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, Zan32s* pResult) {
    if (!pSrc || !pResult) return ZAN_ERR_NULL_PTR;
    *pResult = mean_abs_dev<16>(pSrc, srcStep);
    return ZAN_OK;
}

ZanResult zaniEdgesDetect16x16_8u_C1R(const Zan8u* pSrc, int32_t srcStep, Zan8u edgeThreshold, Zan8u edgeCountLimit,
                                      Zan8u* pRes) {
    if (!pSrc || !pRes) return ZAN_ERR_NULL_PTR;
    const auto mag = [](int a, int b) { return std::min(absdiff<Zan8u>(a, b), 127); };
    *pRes = edges16x16(pSrc, srcStep, edgeThreshold, edgeCountLimit, mag) ? 1 : 0;
    return ZAN_OK;
}

ZanResult zaniEdgesDetect16x16_16u_C1R(const Zan16u* pSrc, int32_t srcStep, Zan32u edgeThreshold,
                                       Zan32u edgeCountLimit, Zan32u* pRes) {
    if (!pSrc || !pRes) return ZAN_ERR_NULL_PTR;
    if (edgeThreshold >= 65536 || edgeCountLimit > 256) return ZAN_ERR_OUT_OF_RANGE;
    *pRes = edges16x16(pSrc, srcStep, edgeThreshold, edgeCountLimit, absdiff<Zan16u>) ? 1 : 0;
    return ZAN_OK;
}

}  // namespace zan::c
