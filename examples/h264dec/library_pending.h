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

#if !H264DEC_HAVE_CAVLC
typedef struct ZanCAVLCScanPos_H264 {
    Zan32s rasterPos; /* coefficient written, 0..63, counted from *ppCoeffs */
    Zan32s tag;       /* not read by the library (free for the caller) */
} ZanCAVLCScanPos_H264;
ZANVC_API ZanResult zaniDecodeCAVLCCoeffs_H264_1u16s(const Zan32u** ppBitStream, Zan32s* pBitOffset,
                                                     Zan16s* pTotalCoeff, Zan16s** ppCoeffs, int32_t nC,
                                                     int32_t maxNumCoeff, const Zan32s* const* pCoeffTokenTables,
                                                     const Zan32s* const* pTotalZerosTables,
                                                     const Zan32s* const* pRunBeforeTables, const Zan32s* pScan);
ZANVC_API ZanResult zaniDecodeCAVLCChromaDcCoeffs_H264_1u16s(const Zan32u** ppBitStream, Zan32s* pBitOffset,
                                                             Zan16s* pTotalCoeff, Zan16s** ppCoeffs,
                                                             const Zan32s* pCoeffTokenTable,
                                                             const Zan32s* const* pTotalZerosTablesDC,
                                                             const Zan32s* const* pRunBeforeTables);
ZANVC_API ZanResult zaniDecodeCAVLCCoeffsIdxs_H264_1u16s(const Zan32u** ppBitStream, Zan32s* pBitOffset,
                                                         Zan16s* pTotalCoeff, Zan16s** ppCoeffs, int32_t nC,
                                                         int32_t maxNumCoeff,
                                                         const Zan32s* const* pCoeffTokenTables,
                                                         const Zan32s* const* pTotalZerosTables,
                                                         const Zan32s* const* pRunBeforeTables,
                                                         const ZanCAVLCScanPos_H264* pScan, int32_t scanFirst,
                                                         int32_t scanStep);
#endif

#if !H264DEC_HAVE_INTERP
typedef struct ZanInterpolateBlock_8u {
    const Zan8u* pSrc[2];
    int32_t      srcStep;
    Zan8u*       pDst[2];
    int32_t      dstStep;
    ZanSize      sizeFrame;
    ZanSize      sizeBlock;
    ZanPoint     pointBlockPos;
    ZanPoint     pointVector;
} ZanInterpolateBlock_8u;
ZANVC_API ZanResult zaniInterpolateLumaBlock_H264_8u_P1R(const ZanInterpolateBlock_8u* pParams);
ZANVC_API ZanResult zaniInterpolateChromaBlock_H264_8u_P2R(const ZanInterpolateBlock_8u* pParams);
ZANVC_API ZanResult zaniInterpolateBlock_H264_8u_P3P1R(const Zan8u* pSrc1, const Zan8u* pSrc2, Zan8u* pDst,
                                                       int32_t width, int32_t height, int32_t src1Step,
                                                       int32_t src2Step, int32_t dstStep);
#endif

#if !H264DEC_HAVE_WEIGHT
ZANVC_API ZanResult zaniUniDirWeightBlock_H264_8u_C1R(Zan8u* pSrcDst, Zan32u srcDstStep, Zan32u ulog2wd,
                                                      int32_t iWeight, int32_t iOffset, ZanSize roiSize);
ZANVC_API ZanResult zaniBiDirWeightBlock_H264_8u_P3P1R(const Zan8u* pSrc1, const Zan8u* pSrc2, Zan8u* pDst,
                                                       int32_t src1Step, int32_t src2Step, int32_t dstStep,
                                                       Zan32u ulog2wd, int32_t iWeight1, int32_t iOffset1,
                                                       int32_t iWeight2, int32_t iOffset2, ZanSize roiSize);
ZANVC_API ZanResult zaniBiDirWeightBlockImplicit_H264_8u_P3P1R(const Zan8u* pSrc1, const Zan8u* pSrc2,
                                                               Zan8u* pDst, int32_t src1Step, int32_t src2Step,
                                                               int32_t dstStep, int32_t iWeight1,
                                                               int32_t iWeight2, ZanSize roiSize);
#endif

#if !H264DEC_HAVE_DEBLOCK
ZANVC_API ZanResult zaniFilterDeblockingLuma_VerEdge_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcdstStep,
                                                                  const Zan8u* pAlpha, const Zan8u* pBeta,
                                                                  const Zan8u* pThresholds, const Zan8u* pBs);
ZANVC_API ZanResult zaniFilterDeblockingLuma_HorEdge_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcdstStep,
                                                                  const Zan8u* pAlpha, const Zan8u* pBeta,
                                                                  const Zan8u* pThresholds, const Zan8u* pBs);
ZANVC_API ZanResult zaniFilterDeblockingChroma_VerEdge_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcdstStep,
                                                                    const Zan8u* pAlpha, const Zan8u* pBeta,
                                                                    const Zan8u* pThresholds, const Zan8u* pBs);
ZANVC_API ZanResult zaniFilterDeblockingChroma_HorEdge_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcdstStep,
                                                                    const Zan8u* pAlpha, const Zan8u* pBeta,
                                                                    const Zan8u* pThresholds, const Zan8u* pBs);
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
