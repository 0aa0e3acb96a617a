// The nine exports of H.264 CAVLC and Exp-Golomb decoding, defined in the
// namespace named by ZAN_CAVLC_KERNELS (c or avx2). Included once by
// cavlc.cpp and once by cavlc_avx2.cpp, which differ only in their compiler
// flags; the bodies live in h264/cavlc_kernels.h.
#ifndef ZAN_CAVLC_KERNELS
#error "define ZAN_CAVLC_KERNELS (c or avx2) before including h264/cavlc_exports.h"
#endif

#include "h264/cavlc_kernels.h"

namespace zan::ZAN_CAVLC_KERNELS {

ZanResult zaniDecodeExpGolombOne_H264_1u16s(const Zan32u** ppBitStream, Zan32s* pBitOffset, Zan16s* pDst,
                                            int32_t isSigned) {
    return cavlc::exp_golomb<Zan16s, 16>(ppBitStream, pBitOffset, pDst, (isSigned & 0xFF) != 0);
}

ZanResult zaniDecodeExpGolombOne_H264_1u32s(const Zan32u** ppBitStream, Zan32s* pBitOffset, Zan32s* pDst,
                                            int32_t isSigned) {
    return cavlc::exp_golomb<Zan32s, 31>(ppBitStream, pBitOffset, pDst, isSigned != 0);
}

ZanResult zaniDecodeCAVLCCoeffs_H264_1u16s(const Zan32u** ppBitStream, Zan32s* pBitOffset, Zan16s* pTotalCoeff,
                                           Zan16s** ppCoeffs, int32_t nC, int32_t maxNumCoeff,
                                           const Zan32s* const* pCoeffTokenTables,
                                           const Zan32s* const* pTotalZerosTables,
                                           const Zan32s* const* pRunBeforeTables, const Zan32s* pScan) {
    return cavlc::coeffs4x4(ppBitStream, pBitOffset, pTotalCoeff, ppCoeffs, nC, maxNumCoeff, pCoeffTokenTables,
                            pTotalZerosTables, pRunBeforeTables, pScan);
}

ZanResult zaniDecodeCAVLCCoeffs_H264_1u32s(const Zan32u** ppBitStream, Zan32s* pBitOffset, Zan16s* pTotalCoeff,
                                           Zan32s** ppCoeffs, int32_t nC, int32_t maxNumCoeff,
                                           const Zan32s* const* pCoeffTokenTables,
                                           const Zan32s* const* pTotalZerosTables,
                                           const Zan32s* const* pRunBeforeTables, const Zan32s* pScan) {
    return cavlc::coeffs4x4(ppBitStream, pBitOffset, pTotalCoeff, ppCoeffs, nC, maxNumCoeff, pCoeffTokenTables,
                            pTotalZerosTables, pRunBeforeTables, pScan);
}

ZanResult zaniDecodeCAVLCChromaDcCoeffs_H264_1u16s(const Zan32u** ppBitStream, Zan32s* pBitOffset,
                                                   Zan16s* pTotalCoeff, Zan16s** ppCoeffs,
                                                   const Zan32s* pCoeffTokenTable,
                                                   const Zan32s* const* pTotalZerosTablesDC,
                                                   const Zan32s* const* pRunBeforeTables) {
    return cavlc::chroma_dc<Zan16s, 4>(ppBitStream, pBitOffset, pTotalCoeff, ppCoeffs, pCoeffTokenTable,
                                       pTotalZerosTablesDC, pRunBeforeTables);
}

ZanResult zaniDecodeCAVLCChromaDcCoeffs_H264_1u32s(const Zan32u** ppBitStream, Zan32s* pBitOffset,
                                                   Zan16s* pTotalCoeff, Zan32s** ppCoeffs,
                                                   const Zan32s* pCoeffTokenTable,
                                                   const Zan32s* const* pTotalZerosTablesDC,
                                                   const Zan32s* const* pRunBeforeTables) {
    return cavlc::chroma_dc<Zan32s, 4>(ppBitStream, pBitOffset, pTotalCoeff, ppCoeffs, pCoeffTokenTable,
                                       pTotalZerosTablesDC, pRunBeforeTables);
}

ZanResult zaniDecodeCAVLCChroma422DcCoeffs_H264_1u16s(const Zan32u** ppBitStream, Zan32s* pBitOffset,
                                                      Zan16s* pTotalCoeff, Zan16s** ppCoeffs,
                                                      const Zan32s* pCoeffTokenTable,
                                                      const Zan32s* const* pTotalZerosTablesDC,
                                                      const Zan32s* const* pRunBeforeTables) {
    return cavlc::chroma_dc<Zan16s, 8>(ppBitStream, pBitOffset, pTotalCoeff, ppCoeffs, pCoeffTokenTable,
                                       pTotalZerosTablesDC, pRunBeforeTables);
}

ZanResult zaniDecodeCAVLCChroma422DcCoeffs_H264_1u32s(const Zan32u** ppBitStream, Zan32s* pBitOffset,
                                                      Zan16s* pTotalCoeff, Zan32s** ppCoeffs,
                                                      const Zan32s* pCoeffTokenTable,
                                                      const Zan32s* const* pTotalZerosTablesDC,
                                                      const Zan32s* const* pRunBeforeTables) {
    return cavlc::chroma_dc<Zan32s, 8>(ppBitStream, pBitOffset, pTotalCoeff, ppCoeffs, pCoeffTokenTable,
                                       pTotalZerosTablesDC, pRunBeforeTables);
}

ZanResult zaniDecodeCAVLCCoeffsIdxs_H264_1u16s(const Zan32u** ppBitStream, Zan32s* pBitOffset, Zan16s* pTotalCoeff,
                                               Zan16s** ppCoeffs, int32_t nC, int32_t maxNumCoeff,
                                               const Zan32s* const* pCoeffTokenTables,
                                               const Zan32s* const* pTotalZerosTables,
                                               const Zan32s* const* pRunBeforeTables,
                                               const ZanCAVLCScanPos_H264* pScan, int32_t scanFirst,
                                               int32_t scanStep) {
    return cavlc::coeffs_idxs(ppBitStream, pBitOffset, pTotalCoeff, ppCoeffs, nC, maxNumCoeff, pCoeffTokenTables,
                              pTotalZerosTables, pRunBeforeTables, pScan, scanFirst, scanStep);
}

}  // namespace zan::ZAN_CAVLC_KERNELS
