/*
 * zanvc.h - public C interface of the zanvc video-coding primitives library.
 *
 * Valid C99 and C++. Every export except zanvcGetLibVersion returns a
 * ZanResult: 0 is success, negative values are errors, positive values are
 * warnings (the call returned without error but did not do the whole job).
 *
 * Conventions shared by every family
 * ----------------------------------
 * Element types are told by a suffix in the function name; when two are given
 * the first is the source, the second the destination (16s8u: 16-bit signed
 * input, 8-bit unsigned output):
 *   1u        a bit stream (cursor of the form that the family states)
 *   8u, 8s    8-bit unsigned, signed     (Zan8u, Zan8s)
 *   16u, 16s  16-bit unsigned, signed    (Zan16u, Zan16s)
 *   32u, 32s  32-bit unsigned, signed    (Zan32u, Zan32s)
 *
 * Layout suffixes:
 *   C1, C2    one plane holding 1 or 2 interleaved channels
 *   P1..P3    1, 2 or 3 separate planes, each with its own pointer
 *   R         a region: pointer to its first element plus a row step; the
 *             size is fixed by the name or given as a ZanSize
 *   I         in place: the source is also the destination
 *   C2P2, P2C2, P3C2, C2P3, P2P1, P3P1, IP2P1
 *             source layout followed by destination layout
 *   D2        a two-dimensional array without a step
 *
 * Row steps are signed 32-bit integers counted in bytes, also for 16- and
 * 32-bit elements, unless a function's documentation says it counts samples.
 *
 * Argument order: sources (pointer, step), destinations (pointer, step),
 * sizes, parameters, outputs written through pointers. Every export checks
 * its arguments before touching memory, null pointers first (-8), then sizes
 * (-6), then the further checks listed with the function; a failed check
 * leaves every output untouched.
 *
 * Every function is reentrant. State objects (InitAlloc/Free, GetSize/Init)
 * belong to one caller and are used by one thread at a time.
 */
#ifndef ZANVC_H
#define ZANVC_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define ZANVC_API __attribute__((visibility("default")))
#else
#define ZANVC_API
#endif

/* ------------------------------------------------------------------------ */
/* Element types                                                             */
/* ------------------------------------------------------------------------ */
typedef uint8_t  Zan8u;
typedef int8_t   Zan8s;
typedef uint16_t Zan16u;
typedef int16_t  Zan16s;
typedef uint32_t Zan32u;
typedef int32_t  Zan32s;

/* ------------------------------------------------------------------------ */
/* Status codes. No export returns a value outside this list.                */
/* ------------------------------------------------------------------------ */
typedef int32_t ZanResult;

enum {
    ZAN_OK                        = 0,    /* success; every output written */
    ZAN_WRN_NO_OPERATION          = 1,    /* mode not handled; outputs untouched */
    ZAN_WRN_MISALIGNED            = 2,    /* CABAC stream buffer not 4-byte aligned */
    ZAN_WRN_PRED_FALLBACK         = 11,   /* an intra block was predicted as 128 */
    ZAN_WRN_ODD_SIZE              = 35,   /* odd last row/column left unwritten */
    ZAN_ERR_ROI_TOO_SMALL         = -2,   /* region smaller than the filter window */
    ZAN_ERR_NO_MEMORY             = -4,   /* CABAC state allocation failed */
    ZAN_ERR_BAD_ARG               = -5,   /* unknown mode, selector or value */
    ZAN_ERR_SIZE                  = -6,   /* invalid size */
    ZAN_ERR_NULL_PTR              = -8,   /* a required pointer is null */
    ZAN_ERR_MEM_ALLOC             = -9,   /* allocation failed */
    ZAN_ERR_DIV_BY_ZERO           = -10,  /* divisor is 0 */
    ZAN_ERR_OUT_OF_RANGE          = -11,  /* numeric argument out of range */
    ZAN_ERR_COEFF_RANGE           = -13,  /* quantized level above 2063 */
    ZAN_ERR_STEP                  = -14,  /* row step too small */
    ZAN_ERR_CONTEXT_MATCH         = -17,  /* state object not initialised */
    ZAN_ERR_INTERPOLATION         = -22,  /* interpolation selector not 1 or 2 */
    ZAN_ERR_RESIZE_FACTOR         = -23,  /* zoom factor not 2, 4 or 8 */
    ZAN_ERR_MASK_SIZE             = -33,  /* mask size neither 33 nor 55 */
    ZAN_ERR_VLC                   = -74,  /* no valid variable-length code */
    ZAN_ERR_NEIGHBOUR_UNAVAILABLE = -117, /* intra mode needs a missing neighbour */
    ZAN_ERR_BAD_CODE              = -191, /* forbidden or unknown code in a block */
    ZAN_ERR_QP                    = -192, /* quantization parameter out of range */
    ZAN_ERR_BIT_OFFSET            = -193, /* byte-cursor bit offset above 7 */
    ZAN_ERR_BUFFER_FULL           = -223  /* output stream buffer exhausted */
};

/* ------------------------------------------------------------------------ */
/* Shared records                                                            */
/* ------------------------------------------------------------------------ */
typedef struct ZanSize {
    int32_t width;
    int32_t height;
} ZanSize;

typedef struct ZanPoint {
    int32_t x;
    int32_t y;
} ZanPoint;

typedef struct ZanRect {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
} ZanRect;

/* Units (quarter, half or full sample) are stated by the using function. */
typedef struct ZanMotionVector {
    int16_t dx;
    int16_t dy;
} ZanMotionVector;

/* The static version record; the caller never frees it. */
typedef struct ZanVersionInfo {
    int32_t     major;
    int32_t     minor;
    int32_t     update;
    int32_t     revision;
    char        cpuTag[4];   /* zero-padded */
    const char* name;
    const char* version;
    const char* buildDate;
} ZanVersionInfo;

#if defined(__cplusplus)
#define ZANVC_STATIC_ASSERT(c, m) static_assert(c, m)
#else
#define ZANVC_STATIC_ASSERT(c, m) _Static_assert(c, m)
#endif
#if defined(__cplusplus) || (defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L) || defined(__GNUC__)
ZANVC_STATIC_ASSERT(sizeof(ZanSize) == 8 && offsetof(ZanSize, height) == 4, "ZanSize layout");
ZANVC_STATIC_ASSERT(sizeof(ZanPoint) == 8 && offsetof(ZanPoint, y) == 4, "ZanPoint layout");
ZANVC_STATIC_ASSERT(sizeof(ZanRect) == 16 && offsetof(ZanRect, y) == 4 &&
                    offsetof(ZanRect, width) == 8 && offsetof(ZanRect, height) == 12, "ZanRect layout");
ZANVC_STATIC_ASSERT(sizeof(ZanMotionVector) == 4 && offsetof(ZanMotionVector, dy) == 2,
                    "ZanMotionVector layout");
ZANVC_STATIC_ASSERT(offsetof(ZanVersionInfo, cpuTag) == 16 && offsetof(ZanVersionInfo, name) == 24 &&
                    offsetof(ZanVersionInfo, version) == 32 && offsetof(ZanVersionInfo, buildDate) == 40 &&
                    sizeof(ZanVersionInfo) == 48, "ZanVersionInfo layout");
#endif

/* ======================================================================== */
/* Library frame: version, copy and fill                                     */
/* ======================================================================== */

/* Returns the one static version record (the same pointer on every call). */
ZANVC_API const ZanVersionInfo* zanvcGetLibVersion(void);

/* Copies a width x height region of bytes.
 * Checks: pSrc or pDst null: -8; width or height < 1: -6.
 * Large regions (2*width*height above 4 MiB and above the largest data cache,
 * width >= 128) are written with non-temporal stores. */
ZANVC_API ZanResult zaniCopy_8u_C1R(const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst, int32_t dstStep,
                                    ZanSize roiSize);

/* Fills a width x height region with value.
 * Checks: pDst null: -8; width or height < 1: -6.
 * Regions above 6 MiB and at least the largest data cache are written with
 * non-temporal stores. */
ZANVC_API ZanResult zaniSet_8u_C1R(Zan8u value, Zan8u* pDst, int32_t dstStep, ZanSize roiSize);

/* ======================================================================== */
/* H.264 CAVLC and Exp-Golomb decoding                                       */
/* ======================================================================== */

/* ======================================================================== */
/* H.264 dequantization and inverse transforms                               */
/* ======================================================================== */

/* ======================================================================== */
/* H.264 luma and chroma interpolation                                       */
/* ======================================================================== */

/* ======================================================================== */
/* H.264 weighted prediction and averaging                                   */
/* ======================================================================== */

/* Weighted sample prediction (H.264 8.4.2.3) and bi-prediction averaging of
 * blocks already interpolated by the caller.
 *
 * Block sizes: width and height each 2, 4, 8 or 16 samples (an NV12 width
 * counts CbCr pairs), except where stated. Steps count bytes in the 8-bit
 * functions and samples in the 16-bit ones. A step is too small (-14) when
 * it is below the bytes (samples) of one row: width for one-channel rows,
 * 2 * width for NV12 rows. A negative width is a size error (-6), never a
 * step error.
 *
 * Arithmetic, identical in every kernel: with logWD = ulog2wd modulo 32,
 *   one direction:   out = Clip(((x * w + 2^(logWD-1)) >> logWD) + o)
 *                    (logWD 0: out = Clip(x * w + o), no rounding term)
 *   two directions:  out = Clip(((x0 * w0 + x1 * w1 + 2^logWD) >> (logWD + 1))
 *                               + ((o0 + o1 + 1) >> 1))
 *   implicit:        out = Clip((x0 * w0 + x1 * w1 + 32) >> 6)
 * Clip saturates to 0..255 (8-bit) or 0..2^bitDepth - 1 (16-bit). Products
 * and sums are 32-bit two's complement (exact for every weight and offset
 * that H.264 allows; larger values wrap modulo 2^32 the same way in every
 * kernel); >> is an arithmetic shift, and a shift by 32 (logWD 31 in two
 * directions) leaves only the sign: -1 or 0. The combined offset
 * (o0 + o1 + 1) >> 1 is exact for all 32-bit offsets. Weights, offsets and
 * ulog2wd are not range-checked. Offsets are used as given: for bit depths
 * above 8 the caller passes offsets already scaled to the bit depth.
 *
 * Status codes: -8 null pointer, -14 step, -6 size, -5 (zaniBidir_H264_16u_
 * P2P1R sizes), 0 success. Checks run in the order listed with each
 * function; a failed check writes nothing. */

/* Two predictions and a destination, NV12 (interleaved CbCr) rows. The
 * one-direction function uses only pDst, dstStep and roiSize, in place. */
typedef struct ZanBidirBlock_8u {
    const Zan8u* pSrc1;
    int32_t      src1Step;  /* bytes */
    const Zan8u* pSrc2;
    int32_t      src2Step;  /* bytes */
    Zan8u*       pDst;
    int32_t      dstStep;   /* bytes */
    ZanSize      roiSize;   /* width in CbCr pairs */
} ZanBidirBlock_8u;

/* The weight set of one reference list for the NV12 functions. Only the low
 * 4 bits of ulog2wd are used. Index 0 is Cb, index 1 is Cr. */
typedef struct ZanWeightParams {
    Zan32u ulog2wd;
    Zan8s  weights[2];
    Zan8s  offsets[2];
} ZanWeightParams;

/* Two predictions and a destination of 16-bit samples. */
typedef struct ZanBidir_16u {
    const Zan16u* pSrc1;
    int32_t       src1Step;  /* samples */
    const Zan16u* pSrc2;
    int32_t       src2Step;  /* samples */
    Zan16u*       pDst;
    int32_t       dstStep;   /* samples */
    ZanSize       roiSize;
    int32_t       bitDepth;  /* outputs saturate to 2^bitDepth - 1 (see below) */
} ZanBidir_16u;

#if defined(__cplusplus) || (defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L) || defined(__GNUC__)
ZANVC_STATIC_ASSERT(offsetof(ZanBidirBlock_8u, src1Step) == 8 && offsetof(ZanBidirBlock_8u, pSrc2) == 16 &&
                    offsetof(ZanBidirBlock_8u, src2Step) == 24 && offsetof(ZanBidirBlock_8u, pDst) == 32 &&
                    offsetof(ZanBidirBlock_8u, dstStep) == 40 && offsetof(ZanBidirBlock_8u, roiSize) == 44 &&
                    sizeof(ZanBidirBlock_8u) == 56, "ZanBidirBlock_8u layout");
ZANVC_STATIC_ASSERT(offsetof(ZanWeightParams, weights) == 4 && offsetof(ZanWeightParams, offsets) == 6 &&
                    sizeof(ZanWeightParams) == 8, "ZanWeightParams layout");
ZANVC_STATIC_ASSERT(offsetof(ZanBidir_16u, src1Step) == 8 && offsetof(ZanBidir_16u, pSrc2) == 16 &&
                    offsetof(ZanBidir_16u, src2Step) == 24 && offsetof(ZanBidir_16u, pDst) == 32 &&
                    offsetof(ZanBidir_16u, dstStep) == 40 && offsetof(ZanBidir_16u, roiSize) == 44 &&
                    offsetof(ZanBidir_16u, bitDepth) == 52 && sizeof(ZanBidir_16u) == 56,
                    "ZanBidir_16u layout");
#endif

/* One-direction explicit weighting of a luma or chroma block, in place.
 * Checks: pSrcDst null: -8; srcDstStep < width: -14; width or height not
 * 2/4/8/16: -6. The step is unsigned. */
ZANVC_API ZanResult zaniUniDirWeightBlock_H264_8u_C1R(Zan8u* pSrcDst, Zan32u srcDstStep, Zan32u ulog2wd,
                                                      int32_t iWeight, int32_t iOffset, ZanSize roiSize);

/* The same function under its in-place name; identical behaviour. */
ZANVC_API ZanResult zaniUniDirWeightBlock_H264_8u_C1IR(Zan8u* pSrcDst, Zan32u srcDstStep, Zan32u ulog2wd,
                                                       int32_t iWeight, int32_t iOffset, ZanSize roiSize);

/* One-direction explicit weighting of an NV12 chroma block, in place on
 * pBlock->pDst: Cb samples use weights[0] and offsets[0], Cr samples
 * weights[1] and offsets[1]; logWD is the low 4 bits of pParams->ulog2wd.
 * Checks: pBlock, pParams or pBlock->pDst null: -8; dstStep < 2 * width:
 * -14; width or height not 2/4/8/16: -6. */
ZANVC_API ZanResult zaniUniDirWeightBlock_H264_8u_C2R(const ZanBidirBlock_8u* pBlock,
                                                      const ZanWeightParams* pParams);

/* Two-direction explicit weighting; both sources share srcStep.
 * Checks: any pointer null: -8; srcStep or dstStep < width: -14; width or
 * height not 2/4/8/16: -6. */
ZANVC_API ZanResult zaniBiDirWeightBlock_H264_8u_P2P1R(const Zan8u* pSrc1, const Zan8u* pSrc2, Zan8u* pDst,
                                                       int32_t srcStep, int32_t dstStep, Zan32u ulog2wd,
                                                       int32_t iWeight1, int32_t iOffset1, int32_t iWeight2,
                                                       int32_t iOffset2, ZanSize roiSize);

/* Two-direction explicit weighting with a step per plane.
 * Checks: any pointer null: -8; any step < width: -14; width or height not
 * 2/4/8/16: -6. */
ZANVC_API ZanResult zaniBiDirWeightBlock_H264_8u_P3P1R(const Zan8u* pSrc1, const Zan8u* pSrc2, Zan8u* pDst,
                                                       int32_t src1Step, int32_t src2Step, int32_t dstStep,
                                                       Zan32u ulog2wd, int32_t iWeight1, int32_t iOffset1,
                                                       int32_t iWeight2, int32_t iOffset2, ZanSize roiSize);

/* Two-direction explicit weighting of an NV12 chroma block: pL0 gives w0,
 * o0 and logWD (low 4 bits of its ulog2wd), pL1 gives w1 and o1 (its
 * ulog2wd is ignored); index 0 is Cb, index 1 is Cr. The results are the
 * formula's for every weight and offset (no 16-bit saturation inside).
 * Checks: pBlock, pL0 or pL1 null, or pSrc1, pSrc2 or pDst null: -8;
 * src1Step, src2Step or dstStep < 2 * width: -14; width or height not
 * 2/4/8/16: -6. */
ZANVC_API ZanResult zaniBiDirWeightBlock_H264_8u_C2R(const ZanBidirBlock_8u* pBlock, const ZanWeightParams* pL0,
                                                     const ZanWeightParams* pL1);

/* Implicit two-direction weighting (denominator 64, no offsets); both
 * sources share srcStep.
 * Checks: any pointer null: -8; srcStep or dstStep < width: -14; width or
 * height not 2/4/8/16: -6. */
ZANVC_API ZanResult zaniBiDirWeightBlockImplicit_H264_8u_P2P1R(const Zan8u* pSrc1, const Zan8u* pSrc2,
                                                               Zan8u* pDst, int32_t srcStep, int32_t dstStep,
                                                               int32_t iWeight1, int32_t iWeight2,
                                                               ZanSize roiSize);

/* Implicit two-direction weighting with a step per plane.
 * Checks: any pointer null: -8; height below 1: returns 0 and writes
 * nothing; any step < width: -14; width or height not 2/4/8/16: -6. */
ZANVC_API ZanResult zaniBiDirWeightBlockImplicit_H264_8u_P3P1R(const Zan8u* pSrc1, const Zan8u* pSrc2,
                                                               Zan8u* pDst, int32_t src1Step, int32_t src2Step,
                                                               int32_t dstStep, int32_t iWeight1,
                                                               int32_t iWeight2, ZanSize roiSize);

/* Weighted average written over the second source:
 *   out = Clip(((x1 * w1 + x2 * w2 + r) >> s) + iOffset),
 * s = shift modulo 32, r = 2^(s-1) when s >= 1, else 0. Same 32-bit
 * arithmetic as above.
 * Checks: pSrc1 or pSrc2Dst null: -8; srcDstStep < width: -14; width or
 * height not 2/4/8/16: -6. */
ZANVC_API ZanResult zaniWeightedAverage_H264_8u_C1IR(const Zan8u* pSrc1, Zan8u* pSrc2Dst, int32_t srcDstStep,
                                                     int32_t iWeight1, int32_t iWeight2, Zan32u shift,
                                                     int32_t iOffset, ZanSize roiSize);

/* 16-bit forms. Saturation maximum: 2^bitDepth - 1 for bitDepth 1..16;
 * bitDepth 0 or below saturates to 0 and bitDepth above 16 to 65535 (the
 * largest value a 16-bit sample holds). bitDepth is not range-checked. */

/* One-direction explicit weighting in place; srcDstStep counts samples.
 * Checks: pSrcDst null: -8; srcDstStep < width: -14; width or height not
 * 2/4/8/16: -6. */
ZANVC_API ZanResult zaniUnidirWeight_H264_16u_IP2P1R(Zan16u* pSrcDst, int32_t srcDstStep, Zan32u ulog2wd,
                                                     int32_t iWeight, int32_t iOffset, ZanSize roiSize,
                                                     int32_t bitDepth);

/* Two-direction explicit weighting.
 * Checks: pBlock, pSrc1, pSrc2 or pDst null: -8; any of the three steps <
 * width: -14; width or height not 2/4/8/16: -6. */
ZANVC_API ZanResult zaniBidirWeight_H264_16u_P2P1R(const ZanBidir_16u* pBlock, Zan32u ulog2wd, int32_t iWeight1,
                                                   int32_t iOffset1, int32_t iWeight2, int32_t iOffset2);

/* Implicit two-direction weighting (denominator 64, no offsets).
 * Checks: as zaniBidirWeight_H264_16u_P2P1R. */
ZANVC_API ZanResult zaniBidirWeightImplicit_H264_16u_P2P1R(const ZanBidir_16u* pBlock, int32_t iWeight1,
                                                           int32_t iWeight2);

/* Plain average out = (x0 + x1 + 1) >> 1; bitDepth is not used.
 * Checks: pBlock, pSrc1, pSrc2 or pDst null: -8; width outside 2..16: -5;
 * height outside 2..16: -5. Steps are not checked (any width in 2..16 is
 * accepted, not only powers of two). */
ZANVC_API ZanResult zaniBidir_H264_16u_P2P1R(const ZanBidir_16u* pBlock);

/* ======================================================================== */
/* H.264 deblocking filters                                                  */
/* ======================================================================== */

/* ======================================================================== */
/* H.264 macroblock reconstruction and intra prediction                      */
/* ======================================================================== */

/* ======================================================================== */
/* H.264 CABAC encoder                                                       */
/* ======================================================================== */

/* ======================================================================== */
/* H.264 forward transform, quantization and CAVLC encoding                  */
/* ======================================================================== */

/* ======================================================================== */
/* VC-1 interpolation, intensity compensation and range mapping              */
/* ======================================================================== */

/* ======================================================================== */
/* VC-1 transforms, quantization, overlap smoothing and deblocking           */
/* ======================================================================== */

/* ======================================================================== */
/* MPEG-4, H.263 and H.261 coefficient VLC decoding and encoding             */
/* ======================================================================== */

/* ======================================================================== */
/* MPEG-4 and H.263 quantization                                             */
/* ======================================================================== */

/* ======================================================================== */
/* MPEG-4 quarter-sample copies, OBMC and sprite brightness                  */
/* ======================================================================== */

/* ======================================================================== */
/* H.261 and H.263 loop and block-edge filters                               */
/* ======================================================================== */

/* ======================================================================== */
/* Huffman tables and MPEG-1/2 DCT block decoding                            */
/* ======================================================================== */

/* ======================================================================== */
/* Block motion compensation: MC, Copy, Average and Add                      */
/* ======================================================================== */

/* ======================================================================== */
/* 8x8 DCT variants, scans and zero counting                                 */
/* ======================================================================== */

/* ======================================================================== */
/* DV segment decoding, dequantization, inverse DCT and macroblock store     */
/* ======================================================================== */

/* ======================================================================== */
/* AVS decoding, reconstruction, interpolation and deblocking                */
/* ======================================================================== */

/* ======================================================================== */
/* Block metrics: SAD, SATD, SSD, variance, mean and differences             */
/* ======================================================================== */

/* ======================================================================== */
/* Deinterlacing and preview conversion                                      */
/* ======================================================================== */

#ifdef __cplusplus
}
#endif

#endif /* ZANVC_H */
