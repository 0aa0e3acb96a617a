// Stubs of the library functions that this branch's library does not export
// yet (see library_pending.h). Each returns ZAN_ERR_BAD_ARG, so a stream that
// needs one stops with an error message instead of decoding wrongly. They are
// weak so that a static link with the library's objects (the fuzz target)
// takes the real functions whenever they exist.
#include "library_pending.h"

#ifndef H264DEC_DEV_FALLBACK
extern "C" {
#if !H264DEC_HAVE_RECON
__attribute__((weak)) ZanResult zaniReconstructLumaInterMB_H264_16s8u_C1R(Zan16s**, Zan8u*, int32_t, Zan32u, int32_t) { return ZAN_ERR_BAD_ARG; }
__attribute__((weak)) ZanResult zaniReconstructLumaInter4x4MB_H264_16s8u_C1R(Zan16s**, Zan8u*, int32_t, Zan32u, int32_t, const Zan16s*, Zan8u) { return ZAN_ERR_BAD_ARG; }
__attribute__((weak)) ZanResult zaniReconstructLumaInter8x8MB_H264_16s8u_C1R(Zan16s**, Zan8u*, int32_t, Zan32u, int32_t, const Zan16s*, Zan8u) { return ZAN_ERR_BAD_ARG; }
__attribute__((weak)) ZanResult zaniReconstructLumaIntra4x4MB_H264_16s8u_C1R(Zan16s**, Zan8u*, int32_t, const Zan32s*, Zan32u, int32_t, Zan8u, const Zan16s*, Zan8u) { return ZAN_ERR_BAD_ARG; }
__attribute__((weak)) ZanResult zaniReconstructLumaIntra8x8MB_H264_16s8u_C1R(Zan16s**, Zan8u*, int32_t, const Zan32s*, Zan32u, int32_t, Zan8u, const Zan16s*, Zan8u) { return ZAN_ERR_BAD_ARG; }
__attribute__((weak)) ZanResult zaniReconstructLumaIntra16x16MB_H264_16s8u_C1R(Zan16s**, Zan8u*, int32_t, int32_t, Zan32u, int32_t, Zan8u) { return ZAN_ERR_BAD_ARG; }
__attribute__((weak)) ZanResult zaniReconstructLumaIntra_16x16MB_H264_16s8u_C1R(Zan16s**, Zan8u*, int32_t, int32_t, Zan32u, int32_t, Zan8u, const Zan16s*, Zan8u) { return ZAN_ERR_BAD_ARG; }
__attribute__((weak)) ZanResult zaniReconstructChromaInterMB_H264_16s8u_P2R(Zan16s**, Zan8u*, Zan8u*, int32_t, Zan32u, int32_t) { return ZAN_ERR_BAD_ARG; }
__attribute__((weak)) ZanResult zaniReconstructChromaIntraMB_H264_16s8u_P2R(Zan16s**, Zan8u*, Zan8u*, int32_t, int32_t, Zan32u, int32_t, Zan8u) { return ZAN_ERR_BAD_ARG; }
__attribute__((weak)) ZanResult zaniReconstructChromaInter4x4MB_H264_16s8u_P2R(Zan16s**, Zan8u*, Zan8u*, int32_t, Zan32u, int32_t, int32_t, const Zan16s*, const Zan16s*, Zan8u) { return ZAN_ERR_BAD_ARG; }
__attribute__((weak)) ZanResult zaniReconstructChromaIntra4x4MB_H264_16s8u_P2R(Zan16s**, Zan8u*, Zan8u*, int32_t, int32_t, Zan32u, int32_t, int32_t, Zan8u, const Zan16s*, const Zan16s*, Zan8u) { return ZAN_ERR_BAD_ARG; }
#endif
}
#endif
