// Library functions that this decoder calls and that this branch's library
// does not export yet. Each family is declared here only while the build
// finds it missing from the export list (H264DEC_HAVE_<family>, set by
// CMakeLists.txt); library_pending.cpp then stubs it with an error status,
// so that the decoder builds and refuses streams that need it.
#pragma once
#include <zanvc.h>

#if defined(__cplusplus)
extern "C" {
#endif

#if !H264DEC_HAVE_RECON
ZANVC_API ZanResult zaniReconstructLumaInterMB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                              int32_t srcDstYStep, Zan32u cbp4x4, int32_t QP);
ZANVC_API ZanResult zaniReconstructLumaInter4x4MB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                                 int32_t srcDstYStep, Zan32u cbp4x4, int32_t QP,
                                                                 const Zan16s* pScaleLevels, Zan8u bypass);
ZANVC_API ZanResult zaniReconstructLumaInter8x8MB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                                 int32_t srcDstYStep, Zan32u cbp8x8, int32_t QP,
                                                                 const Zan16s* pScaleLevels8x8, Zan8u bypass);
ZANVC_API ZanResult zaniReconstructLumaIntra4x4MB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                                 int32_t srcDstYStep, const Zan32s* pMBIntraTypes,
                                                                 Zan32u cbp4x4, int32_t QP, Zan8u edgeType,
                                                                 const Zan16s* pScaleLevels, Zan8u bypass);
ZANVC_API ZanResult zaniReconstructLumaIntra8x8MB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                                 int32_t srcDstYStep, const Zan32s* pMBIntraTypes,
                                                                 Zan32u cbp8x8, int32_t QP, Zan8u edgeType,
                                                                 const Zan16s* pScaleLevels8x8, Zan8u bypass);
ZANVC_API ZanResult zaniReconstructLumaIntra16x16MB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                                   int32_t srcDstYStep, int32_t intraLumaMode,
                                                                   Zan32u cbp4x4, int32_t QP, Zan8u edgeType);
ZANVC_API ZanResult zaniReconstructLumaIntra_16x16MB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                                    int32_t srcDstYStep, int32_t intraLumaMode,
                                                                    Zan32u cbp4x4, int32_t QP, Zan8u edgeType,
                                                                    const Zan16s* pScaleLevels, Zan8u bypass);
ZANVC_API ZanResult zaniReconstructChromaInterMB_H264_16s8u_P2R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstUPlane,
                                                                Zan8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                                Zan32u cbp4x4, int32_t chromaQP);
ZANVC_API ZanResult zaniReconstructChromaIntraMB_H264_16s8u_P2R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstUPlane,
                                                                Zan8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                                int32_t intraChromaMode, Zan32u cbp4x4,
                                                                int32_t chromaQP, Zan8u edgeType);
ZANVC_API ZanResult zaniReconstructChromaInter4x4MB_H264_16s8u_P2R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstUPlane,
                                                                   Zan8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                                   Zan32u cbp4x4, int32_t chromaQPU, int32_t chromaQPV,
                                                                   const Zan16s* pScaleLevelsU,
                                                                   const Zan16s* pScaleLevelsV, Zan8u bypass);
ZANVC_API ZanResult zaniReconstructChromaIntra4x4MB_H264_16s8u_P2R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstUPlane,
                                                                   Zan8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                                   int32_t intraChromaMode, Zan32u cbp4x4,
                                                                   int32_t chromaQPU, int32_t chromaQPV,
                                                                   Zan8u edgeType, const Zan16s* pScaleLevelsU,
                                                                   const Zan16s* pScaleLevelsV, Zan8u bypass);
#endif

#if defined(__cplusplus)
}
#endif
