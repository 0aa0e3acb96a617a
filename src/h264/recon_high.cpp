// H.264 macroblock reconstruction of high-bit-depth pictures (16-bit
// samples, 32-bit coefficients), 4:2:0 and 4:2:2: the 8-bit templates of
// h264/recon_mb.h instantiated for FmtHigh with the portable kernels.
#include "h264/recon_mb.h"

namespace zan::c {

namespace {

using namespace zan::h264::recon;
using Kernel = PortableKernel;
using LH = LumaArgs<FmtHigh>;
using CH = ChromaArgs<FmtHigh>;

// Luma arguments from the record; a null record gives null pointers that
// the checks report as -8.
LH luma_args(const ZanReconstructHigh_32s16u* r) {
    if (!r) return LH{nullptr, nullptr, 1, 0, 0, nullptr, true, 0, 8, true, true};
    return LH{r->ppSrcDstCoeff, r->pSrcDstPlane, r->srcDstStep, r->cbp4x4, r->QP, r->pScaleLevels,
              true,             r->bypass,       r->bitDepth,   true,      true};
}

// Chroma arguments from the two records (Cb, Cr).
CH chroma_args(const ZanReconstructHigh_32s16u* r, int height, bool intra, int32_t mode, uint8_t edge,
               uint8_t edgeBottom) {
    if (!r) return CH{nullptr, nullptr, nullptr, {1, 1}, 1, height, true, intra, mode, 0, {0, 0}, edge, edgeBottom,
                      {nullptr, nullptr}, true, 0, 8, true};
    return CH{r[0].ppSrcDstCoeff,
              r[0].pSrcDstPlane,
              r[1].pSrcDstPlane,
              {r[0].srcDstStep, r[1].srcDstStep},
              1,
              height,
              true,
              intra,
              mode,
              r[0].cbp4x4,
              {r[0].QP, r[1].QP},
              edge,
              edgeBottom,
              {r[0].pScaleLevels, r[1].pScaleLevels},
              true,
              r[0].bypass,
              r[0].bitDepth,
              true};
}

}  // namespace

ZanResult zaniReconstructLumaInter4x4_H264High_32s16u_IP1R(const ZanReconstructHigh_32s16u* pReconInfo) {
    return luma_inter<Kernel>(luma_args(pReconInfo), false);
}

ZanResult zaniReconstructLumaInter8x8_H264High_32s16u_IP1R(const ZanReconstructHigh_32s16u* pReconInfo) {
    return luma_inter<Kernel>(luma_args(pReconInfo), true);
}

ZanResult zaniReconstructLumaIntra4x4_H264High_32s16u_IP1R(const ZanReconstructHigh_32s16u* pReconInfo,
                                                           const Zan32s* pMBIntraTypes, Zan8u edgeType) {
    return luma_intra_nxn<Kernel>(luma_args(pReconInfo), pMBIntraTypes, edgeType, false, false);
}

ZanResult zaniReconstructLumaIntra8x8_H264High_32s16u_IP1R(const ZanReconstructHigh_32s16u* pReconInfo,
                                                           const Zan32s* pMBIntraTypes, Zan8u edgeType) {
    return luma_intra_nxn<Kernel>(luma_args(pReconInfo), pMBIntraTypes, edgeType, true, false);
}

ZanResult zaniReconstructLumaIntraHalf4x4_H264High_32s16u_IP1R(const ZanReconstructHigh_32s16u* pReconInfo,
                                                               const Zan32s* pMBIntraTypes, Zan8u edgeType) {
    return luma_intra_nxn<Kernel>(luma_args(pReconInfo), pMBIntraTypes, edgeType, false, true);
}

ZanResult zaniReconstructLumaIntraHalf8x8_H264High_32s16u_IP1R(const ZanReconstructHigh_32s16u* pReconInfo,
                                                               const Zan32s* pMBIntraTypes, Zan8u edgeType) {
    return luma_intra_nxn<Kernel>(luma_args(pReconInfo), pMBIntraTypes, edgeType, true, true);
}

ZanResult zaniReconstructLumaIntra16x16_H264High_32s16u_IP1R(const ZanReconstructHigh_32s16u* pReconInfo,
                                                             int32_t intraLumaMode, Zan8u edgeType) {
    return luma_intra16x16<Kernel>(luma_args(pReconInfo), intraLumaMode, edgeType);
}

ZanResult zaniReconstructChromaInter4x4_H264High_32s16u_IP2R(const ZanReconstructHigh_32s16u* pReconInfo) {
    return chroma_mb<Kernel>(chroma_args(pReconInfo, 8, false, 0, 0, 0));
}

ZanResult zaniReconstructChromaIntra4x4_H264High_32s16u_IP2R(const ZanReconstructHigh_32s16u* pReconInfo,
                                                             int32_t intraChromaMode, Zan8u edgeType) {
    return chroma_mb<Kernel>(chroma_args(pReconInfo, 8, true, intraChromaMode, edgeType, edgeType));
}

ZanResult zaniReconstructChromaIntraHalf4x4_H264High_32s16u_IP2R(const ZanReconstructHigh_32s16u* pReconInfo,
                                                                 int32_t intraChromaMode, Zan8u edgeTypeTop,
                                                                 Zan8u edgeTypeBottom) {
    return chroma_mb<Kernel>(chroma_args(pReconInfo, 8, true, intraChromaMode, edgeTypeTop, edgeTypeBottom));
}

ZanResult zaniReconstructChroma422Inter4x4_H264High_32s16u_IP2R(const ZanReconstructHigh_32s16u* pReconInfo) {
    return chroma_mb<Kernel>(chroma_args(pReconInfo, 16, false, 0, 0, 0));
}

ZanResult zaniReconstructChroma422Intra4x4_H264High_32s16u_IP2R(const ZanReconstructHigh_32s16u* pReconInfo,
                                                                int32_t intraChromaMode, Zan8u edgeType) {
    return chroma_mb<Kernel>(chroma_args(pReconInfo, 16, true, intraChromaMode, edgeType, edgeType));
}

ZanResult zaniReconstructChroma422IntraHalf4x4_H264High_32s16u_IP2R(const ZanReconstructHigh_32s16u* pReconInfo,
                                                                    int32_t intraChromaMode, Zan8u edgeTypeTop,
                                                                    Zan8u edgeTypeBottom) {
    return chroma_mb<Kernel>(chroma_args(pReconInfo, 16, true, intraChromaMode, edgeTypeTop, edgeTypeBottom));
}

}  // namespace zan::c
