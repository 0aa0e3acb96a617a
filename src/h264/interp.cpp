// H.264 luma and chroma interpolation and averaging, portable
// implementations.
#include "h264/interp_frontends.h"

namespace {

struct PortableKernels {
    static void luma(const zan::h264::Interp<uint8_t>& d) { zan::h264::luma_c(d); }
    static void chroma(const zan::h264::Interp<uint8_t>& d) { zan::h264::chroma_c(d); }
    static constexpr auto average = zan::h264::average_c;
};

}  // namespace

ZAN_H264_INTERP_EXPORTS(zan::c, PortableKernels)

namespace zan::c {

ZanResult zaniInterpolateLuma_H264_16u_C1R(const ZanInterpolate_16u* pParams) {
    return interp16(pParams, true, Edge::None, 0);
}
ZanResult zaniInterpolateLumaTop_H264_16u_C1R(const ZanInterpolate_16u* pParams, int32_t outPixels) {
    return interp16(pParams, true, Edge::Top, outPixels);
}
ZanResult zaniInterpolateLumaBottom_H264_16u_C1R(const ZanInterpolate_16u* pParams, int32_t outPixels) {
    return interp16(pParams, true, Edge::Bottom, outPixels);
}
ZanResult zaniInterpolateChroma_H264_16u_C1R(const ZanInterpolate_16u* pParams) {
    return interp16(pParams, false, Edge::None, 0);
}
ZanResult zaniInterpolateChromaTop_H264_16u_C1R(const ZanInterpolate_16u* pParams, int32_t outPixels) {
    return interp16(pParams, false, Edge::Top, outPixels);
}
ZanResult zaniInterpolateChromaBottom_H264_16u_C1R(const ZanInterpolate_16u* pParams, int32_t outPixels) {
    return interp16(pParams, false, Edge::Bottom, outPixels);
}
ZanResult zaniInterpolateLumaBlock_H264_16u_P1R(const ZanInterpolateBlock_16u* pParams) {
    return luma_block<uint16_t>(pParams, luma_c<uint16_t>);
}
ZanResult zaniInterpolateChromaBlock_H264_16u_P2R(const ZanInterpolateBlock_16u* pParams) {
    return chroma_block_planar<uint16_t>(pParams, chroma_c<uint16_t>);
}

}  // namespace zan::c
