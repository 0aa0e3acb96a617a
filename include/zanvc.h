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

/* Coefficient blocks are 4x4 arrays of 16-bit signed values in raster order
 * (row-major), as the CAVLC decoders write them. The flat (default) scaling
 * of the standard is used; v(m, k) are the standard's normalisation values
 * and InvQuantTable[QP] = v(QP % 6, k) << (QP / 6). */

/* Intra 16x16 luma DC: 4x4 Hadamard transform of the 16 DC levels (raster,
 * contiguous) in 32-bit, then dequantization with
 * s = v(QP % 6, 0) << max(0, QP / 6 - 2): QP 0..5: (f * s + 2) >> 2;
 * QP 6..11: (f * s + 1) >> 1; QP 12 and above: f * s. Results are stored in
 * place as 16-bit values (low 16 bits).
 * Checks: pSrcDst null: -8; QP < 0 or > 51: -11. */
ZANVC_API ZanResult zaniTransformDequantLumaDC_H264_16s_C1I(Zan16s* pSrcDst, int32_t QP);

/* 4:2:0 chroma DC: 2x2 transform of c0 c1 / c2 c3 (16-bit sums), then
 * dc = (f * InvQuantTable[QP][0]) >> 1, stored in place in the order
 * f00, f01, f10, f11.
 * Checks: pSrcDst null: -8; QP > 51 as an unsigned compare (negative QP
 * too): -11. */
ZANVC_API ZanResult zaniTransformDequantChromaDC_H264_16s_C1I(Zan16s* pSrcDst, int32_t QP);

/* Dequantizes and inverse-transforms one 4x4 block in place (rows step bytes
 * apart). DC: *pDC when pDC is given (already dequantized), else
 * c00 * InvQuantTable[QP][0]. AC non-zero: the other 15 coefficients are
 * multiplied by their InvQuantTable[QP] entry, the standard's inverse 4x4
 * transform runs in 32-bit arithmetic (rows, then columns) and each result r
 * becomes (r + 32) >> 6, stored as 16 bits. AC zero: all 16 samples become
 * (DC + 32) >> 6 with DC taken as a 16-bit value.
 * Checks: pSrcDst null: -8; QP outside 0..51: -11; step < 8: -14. */
ZANVC_API ZanResult zaniDequantTransformResidual_H264_16s_C1I(Zan16s* pSrcDst, int32_t step, const Zan16s* pDC,
                                                              int32_t AC, int32_t QP);

/* As zaniDequantTransformResidual_H264_16s_C1I, but with 16-bit saturating
 * arithmetic throughout (each product c * scale, each sum and difference of
 * the transform, the + 32 of the rounding), and the residual added to the
 * 8-bit prediction pPred (4 rows of 4 bytes, predStep apart): each sample
 * Clip1(pred + r) is written to pDst (dstStep apart). pDst may equal pPred.
 * The coefficient block pSrcDst (16 contiguous values) is only read; it may
 * be null when pDC is given and AC is zero.
 * Checks: pPred or pDst null: -8; QP > 51 as an unsigned compare (negative
 * QP too): -11; pSrcDst null while pDC is null or AC is set: -8. */
ZANVC_API ZanResult zaniDequantTransformResidualAndAdd_H264_16s_C1I(const Zan8u* pPred, Zan16s* pSrcDst,
                                                                    const Zan16s* pDC, Zan8u* pDst,
                                                                    int32_t predStep, int32_t dstStep,
                                                                    int32_t QP, int32_t AC);

/* The standard's inverse 4x4 transform and the final (r + 32) >> 6 on 16
 * already dequantized coefficients (raster, contiguous), with 16-bit
 * saturating arithmetic; results to pDst (16 contiguous values, may equal
 * pSrc).
 * Checks: pSrc or pDst null: -8. */
ZANVC_API ZanResult zaniTransformResidual4x4Inv_H264_16s_C1(const Zan16s* pSrc, Zan16s* pDst);

/* As the 16-bit member on 32-bit values; the arithmetic is 32-bit and wraps
 * around (conforming streams never reach that).
 * Checks: pSrc or pDst null: -8. */
ZANVC_API ZanResult zaniTransformResidual4x4Inv_H264_32s_C1(const Zan32s* pSrc, Zan32s* pDst);

/* SP and SI macroblock decoding of one 4x4 block (H.264 8.6.1, 8.6.2).
 *   pSrcDst       16 levels (raster, contiguous) in; 16 reconstructed
 *                 samples r out, before Clip1: the prediction is already
 *                 part of them, so the caller writes Clip1(r) into the
 *                 picture instead of adding r to the prediction.
 *   pPredictBlock 16 prediction samples (raster, contiguous), 16-bit.
 *   pDC           null for a luma block. For a chroma AC block: the block's
 *                 dequantized DC from zaniTransformDequantChromaDC_SISP_H264_
 *                 16s_C1I; it replaces position 0 after requantization, and
 *                 the level and prediction at position 0 are not used.
 *   AC            zero: all levels are 0 (pSrcDst is not read).
 *   QP            QP of the block (QPY, or QPc for chroma), 0..51.
 *   QS            QSY (or QSc), 0..51.
 *   switching     zero: SP slice without switching (8.6.1); non-zero: SI
 *                 macroblock or switching SP slice (8.6.2; QP is not used).
 * With the forward core transform cp = T pred T^T (T rows 1 1 1 1 / 2 1 -1 -2 /
 * 1 -1 -1 1 / 1 -2 2 -1), A = 16 (both coordinates even), 25 (both odd),
 * 20 (mixed), LS = LevelScale4x4 of the flat matrix and LS2 the forward
 * quantisation factors (13107, 5243, 8066 for m = 0, ...):
 *   quant(x) = sign(x) * ((|x| * LS2(QS % 6) + 2^(14 + QS/6)) >> (15 + QS/6))
 *   SP:  cs = cp + (((c * LS(QP % 6) * A) << (QP / 6)) >> 10); l = quant(cs)
 *   SI:  l = c + quant(cp)
 * then d = l * v(QS % 6) << (QS / 6), the inverse 4x4 transform in 32-bit
 * arithmetic and r = (x + 32) >> 6, stored as 16-bit values.
 * Checks: pSrcDst or pPredictBlock null: -8; QP outside 0..51: -11; QS
 * outside 0..51: -11. */
ZANVC_API ZanResult zaniDequantTransformResidual_SISP_H264_16s_C1I(Zan16s* pSrcDst, const Zan16s* pPredictBlock,
                                                                   const Zan16s* pDC, int32_t AC, int32_t QP,
                                                                   int32_t QS, int32_t switching);

/* SP and SI chroma DC of one 4:2:0 component (H.264 8.6.1, 8.6.2).
 *   pSrcDst     the 4 DC levels c0 c1 / c2 c3 in; the 4 dequantized DC
 *               values out (for pDC of the four blocks' calls above, in the
 *               order of the blocks 0 1 / 2 3).
 *   pDCPredict  the DC coefficients of the four prediction blocks, each the
 *               sum of its 16 prediction samples (the forward core
 *               transform's DC), c0 c1 / c2 c3.
 *   QP, QS      QPc and QSc, 0..51.
 *   switching   as above.
 * With f(x) = 2x2 transform of x and LS, LS2 at position 0:
 *   dcp = f(pDCPredict)
 *   SP:  dcs = dcp + (((dcr * LS(QP % 6) * 16) << (QP / 6)) >> 9);
 *        l = sign(dcs) * ((|dcs| * LS2(QS % 6) + 2^(15 + QS/6)) >> (16 + QS/6))
 *   SI:  l = dcr + the same quantisation of dcp
 * then dc = (f(l) * InvQuantTable[QS][0]) >> 1, with the requantized levels l
 * kept as 16-bit values.
 * Checks: pSrcDst or pDCPredict null: -8; QP outside 0..51: -11; QS outside
 * 0..51: -11. */
ZANVC_API ZanResult zaniTransformDequantChromaDC_SISP_H264_16s_C1I(Zan16s* pSrcDst, const Zan16s* pDCPredict,
                                                                   int32_t QP, int32_t QS, int32_t switching);

/* ======================================================================== */
/* H.264 luma and chroma interpolation                                       */
/* ======================================================================== */

/* ======================================================================== */
/* H.264 weighted prediction and averaging                                   */
/* ======================================================================== */

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
/*
 * Stateless measures of one fixed-size block per call (width x height in the
 * name). Steps count bytes. Every function checks its pointers first (null:
 * -8); no other check is made unless listed with the function.
 *
 * mcType selects a half-sample interpolation of the reference (only bits 2
 * and 3 count; index mcType >> 2 or (mcType & 12) >> 2):
 *   0  FF  r(x,y)
 *   4  FH  (r(x,y) + r(x,y+1) + 1 - rc) >> 1
 *   8  HF  (r(x,y) + r(x+1,y) + 1 - rc) >> 1
 *   12 HH  (r(x,y) + r(x+1,y) + r(x,y+1) + r(x+1,y+1) + 2 - rc) >> 2
 * rc (roundControl) is 0 everywhere except in GetDiff, where any non-zero
 * roundControl counts as 1. FH/HF/HH read one row below and/or one column
 * right of the block. Bi-directional (B) forms average the two predictions
 * as (F + B + 1) >> 1, independent of roundControl. In two-channel (C2)
 * layouts the right neighbour of a sample is the same channel's next sample
 * (two bytes on).
 *
 * 16-bit sample (16u) SADs and edge tests work in 16-bit arithmetic:
 * interpolation sums saturate at 65535 (min(sum + rounding, 65535)), and the
 * absolute difference is the magnitude of the 16-bit signed wrapped
 * difference (0..32768); exact for samples in 0..32767.
 *
 * mcType outside the handled set returns 1 (ZAN_WRN_NO_OPERATION) and leaves
 * every output untouched; the set is 0..15 (mcType >> 2 in 0..3) where
 * "mcType >> 2" is stated, else exactly 0, 4, 8, 12.
 */

/* ---- single-block SAD: sum of |src - pred| ---- */
/* mcType >> 2 in 0..3, else 1. */
ZANVC_API ZanResult zaniSAD16x16_8u32s(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                       Zan32s* pSAD, int32_t mcType);
ZANVC_API ZanResult zaniSAD8x8_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                         Zan32s* pSAD, int32_t mcType);
ZANVC_API ZanResult zaniSAD16x8_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                          Zan32s* pSAD, int32_t mcType);
/* Full sample only. */
ZANVC_API ZanResult zaniSAD8x16_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                          Zan32s* pSAD);
ZANVC_API ZanResult zaniSAD8x4_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                         Zan32s* pSAD);
ZANVC_API ZanResult zaniSAD4x8_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                         Zan32s* pSAD);
ZANVC_API ZanResult zaniSAD4x4_8u32s(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                     Zan32s* pSAD);
/* 16-bit samples (0..32767); mcType >> 2 in 0..3, else 1. */
ZANVC_API ZanResult zaniSAD16x16_16u32s_C1R(const Zan16u* pSrc, int32_t srcStep, const Zan16u* pRef,
                                            int32_t refStep, Zan32s* pSAD, int32_t mcType);
ZANVC_API ZanResult zaniSAD8x8_16u32s_C1R(const Zan16u* pSrc, int32_t srcStep, const Zan16u* pRef,
                                          int32_t refStep, Zan32s* pSAD, int32_t mcType);
ZANVC_API ZanResult zaniSAD4x4_16u32s_C1R(const Zan16u* pSrc, int32_t srcStep, const Zan16u* pRef,
                                          int32_t refStep, Zan32s* pSAD, int32_t mcType);
/* Two interleaved 8x8 channels (16 bytes a row): channel 0 (even bytes) to
 * pSAD0, channel 1 (odd bytes) to pSAD1.
 * Checks: null -8; srcStep or refStep < 1: -14; mcType >> 2 outside 0..3: 1. */
ZANVC_API ZanResult zaniSAD8x8_8u32s_C2R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                         Zan32s* pSAD0, Zan32s* pSAD1, int32_t mcType);

/* ---- multi-candidate SAD ----
 * N' = N & ~7 candidates at pRef + k (k = 0..N'-1, consecutive horizontal
 * positions); pSAD[k] = SAD of candidate k. Each candidate row reads
 * pRef[k .. k + width - 1], so a row reads N' + width - 1 bytes.
 * xN: N' < 1 returns -6. xNI: N' < 1 returns -5; *pMinIndex receives the
 * smallest k whose SAD is the minimum. */
ZANVC_API ZanResult zaniSAD16x16xN_8u16u_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef,
                                             int32_t refStep, Zan16u* pSAD, int32_t N);
ZANVC_API ZanResult zaniSAD8x8xN_8u16u_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                           Zan16u* pSAD, int32_t N);
ZANVC_API ZanResult zaniSAD4x4xN_8u16u_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                           Zan16u* pSAD, int32_t N);
ZANVC_API ZanResult zaniSAD2x2xN_8u16u_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                           Zan16u* pSAD, int32_t N);
ZANVC_API ZanResult zaniSAD16x16xNI_8u16u_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef,
                                              int32_t refStep, Zan16u* pSAD, int32_t N, Zan32s* pMinIndex);
ZANVC_API ZanResult zaniSAD8x8xNI_8u16u_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef,
                                            int32_t refStep, Zan16u* pSAD, int32_t N, Zan32s* pMinIndex);
ZANVC_API ZanResult zaniSAD4x4xNI_8u16u_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef,
                                            int32_t refStep, Zan16u* pSAD, int32_t N, Zan32s* pMinIndex);

/* ---- partial SADs of a 16x16 block, full sample, raster order ---- */
/* 4 SADs, one per 8x8 quarter. */
ZANVC_API ZanResult zaniSAD16x16Blocks8x8_8u16u(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef,
                                                int32_t refStep, Zan16u* pDst);
/* 16 SADs, one per 4x4 sub-block. */
ZANVC_API ZanResult zaniSAD16x16Blocks4x4_8u16u(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef,
                                                int32_t refStep, Zan16u* pDst);
ZANVC_API ZanResult zaniSAD16x16Blocks8x8_16u32u_C1R(const Zan16u* pSrc, int32_t srcStep, const Zan16u* pRef,
                                                     int32_t refStep, Zan32u* pDst);
ZANVC_API ZanResult zaniSAD16x16Blocks4x4_16u32u_C1R(const Zan16u* pSrc, int32_t srcStep, const Zan16u* pRef,
                                                     int32_t refStep, Zan32u* pDst);

/* ---- other SAD forms ---- */
/* pDst (8x8, 16-bit) = src1 - src2; *pSAD = sum of |src1 - src2|. */
ZANVC_API ZanResult zaniSubSAD8x8_8u16s_C1R(const Zan8u* pSrc1, int32_t src1Step, const Zan8u* pSrc2,
                                            int32_t src2Step, Zan16s* pDst, int32_t dstStep, Zan32s* pSAD);
/* Row activity of a 16x16 block: *pFrameSAD = sum of |row r - row r+1| over
 * r = 0..6 and 8..14; *pFieldSAD = sum of |row r - row r+2| over r = 0..13.
 * 16s: each |a - b| is max(a - b, b - a) in 16-bit wrap-around arithmetic and
 * each total is kept modulo 65536 (zero-extended). */
ZANVC_API ZanResult zaniFrameFieldSAD16x16_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, Zan32s* pFrameSAD,
                                                     Zan32s* pFieldSAD);
ZANVC_API ZanResult zaniFrameFieldSAD16x16_16s32s_C1R(const Zan16s* pSrc, int32_t srcStep, Zan32s* pFrameSAD,
                                                      Zan32s* pFieldSAD);
/* Sum of |x - mean|, mean = (sum + 32) >> 6 (8x8) or (sum + 128) >> 8 (16x16). */
ZANVC_API ZanResult zaniMeanAbsDev8x8_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, Zan32s* pResult);
ZANVC_API ZanResult zaniMeanAbsDev16x16_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, Zan32s* pResult);

/* ---- SATD: sum of |H d H| over the 4x4 sub-blocks of d = src - ref, H the
 * 4x4 Hadamard matrix, no normalising shift; full sample ---- */
ZANVC_API ZanResult zaniSATD16x16_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef,
                                            int32_t refStep, Zan32s* pSATD);
ZANVC_API ZanResult zaniSATD16x8_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef,
                                           int32_t refStep, Zan32s* pSATD);
ZANVC_API ZanResult zaniSATD8x16_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef,
                                           int32_t refStep, Zan32s* pSATD);
ZANVC_API ZanResult zaniSATD8x8_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                          Zan32s* pSATD);
ZANVC_API ZanResult zaniSATD8x4_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                          Zan32s* pSATD);
ZANVC_API ZanResult zaniSATD4x8_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                          Zan32s* pSATD);
ZANVC_API ZanResult zaniSATD4x4_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                          Zan32s* pSATD);
/* One 8x8 Hadamard transform of the whole difference block; sum of the
 * absolute values of its 64 coefficients. Defined arithmetic (exact for
 * 8-bit samples, and for 16-bit samples while |differences| < 512): the
 * difference is taken modulo 65536 as a 16-bit signed value, the transform
 * runs modulo 65536 up to its last stage (rows i and i+4 of the column
 * transform), which is evaluated as |a + b| + |a - b| = 2 * max(|a|, |b|)
 * with |.| the 16-bit magnitude (0..32768). */
ZANVC_API ZanResult zaniSAT8x8D_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                          Zan32s* pSATD);
ZANVC_API ZanResult zaniSAT8x8D_16u32s_C1R(const Zan16u* pSrc, int32_t srcStep, const Zan16u* pRef,
                                           int32_t refStep, Zan32s* pSATD);

/* ---- squared differences: sum of (src - pred)^2 ---- */
/* mcType >> 2 in 0..3, else 1. */
ZANVC_API ZanResult zaniSSD8x8_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                         Zan32s* pSSD, int32_t mcType);
ZANVC_API ZanResult zaniSSD4x4_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                         Zan32s* pSSD, int32_t mcType);
/* mcType other than 0, 4, 8, 12: returns 1, *pSSD untouched. */
ZANVC_API ZanResult zaniSqrDiff16x16_8u32s(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef, int32_t refStep,
                                           int32_t mcType, Zan32s* pSSD);
/* Bi-directional: each direction uses mcType & 12. */
ZANVC_API ZanResult zaniSqrDiff16x16B_8u32s(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRefF,
                                            int32_t refFStep, int32_t mcTypeF, const Zan8u* pRefB,
                                            int32_t refBStep, int32_t mcTypeB, Zan32s* pSSD);

/* ---- variance and mean ----
 * VarSum8x8 and VarMean8x8 are the same function: *pSum = S = sum of the 64
 * samples; *pVar = (int)(Q/64.f - (S/64.f)^2) in single precision (Q, the
 * sum of squares, converted to float; truncation toward zero).
 * 16s: each of the eight columns sums its rows 0..7 in order with signed
 * 16-bit saturation, then the eight column sums are added; Q is kept modulo
 * 2^32 as a signed 32-bit value. */
ZANVC_API ZanResult zaniVarSum8x8_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, Zan32s* pVar, Zan32s* pSum);
ZANVC_API ZanResult zaniVarMean8x8_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, Zan32s* pVar, Zan32s* pSum);
ZANVC_API ZanResult zaniVarSum8x8_16s32s_C1R(const Zan16s* pSrc, int32_t srcStep, Zan32s* pVar, Zan32s* pSum);
ZANVC_API ZanResult zaniVarMean8x8_16s32s_C1R(const Zan16s* pSrc, int32_t srcStep, Zan32s* pVar, Zan32s* pSum);
/* *pVar = Q - floor(S^2 / 256): 256 times the population variance, exact. */
ZANVC_API ZanResult zaniVariance16x16_8u32s(const Zan8u* pSrc, int32_t srcStep, Zan32s* pVar);
/* For each 8x8 part i of the difference src - pred (16x16: four quarters in
 * raster order; 16x8: left, right): pSrcSum[i] is the source part's sum (as
 * VarSum8x8 writes it); M = (pSrcSum[i] - sum of pred over the part) / 8
 * (truncated, the subtraction wraps modulo 2^32); D2 = sum of (src - pred)^2;
 * pVar[i] = (D2 - M*M) >> 6 when D2 > M*M (64-bit), else 0; pMean[i] = M.
 * mcType other than 0, 4, 8, 12: returns 1, nothing written. */
ZANVC_API ZanResult zaniVarMeanDiff16x16_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef,
                                                   int32_t refStep, const Zan32s* pSrcSum, Zan32s* pVar,
                                                   Zan32s* pMean, int32_t mcType);
ZANVC_API ZanResult zaniVarMeanDiff16x8_8u32s_C1R(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pRef,
                                                  int32_t refStep, const Zan32s* pSrcSum, Zan32s* pVar,
                                                  Zan32s* pMean, int32_t mcType);

/* ---- edges and sums of differences ---- */
/* Samples of rows 0..14, columns 0..14 are examined (row and column 15 are
 * only neighbours). A sample is an edge sample when min(|x - right|, 127) > T
 * or min(|x - below|, 127) > T. *pRes = 1 when the count of edge samples
 * exceeds edgeCountLimit, else 0. Thresholds 127..255 find no edges. */
ZANVC_API ZanResult zaniEdgesDetect16x16_8u_C1R(const Zan8u* pSrc, int32_t srcStep, Zan8u edgeThreshold,
                                                Zan8u edgeCountLimit, Zan8u* pRes);
/* Same rule and coverage (rows and columns 0..14) with 16-bit magnitudes of
 * the wrapped difference, no 127 cap, compared unsigned against T.
 * Checks: null -8; edgeThreshold >= 65536 or edgeCountLimit > 256: -11,
 * *pRes untouched. */
ZANVC_API ZanResult zaniEdgesDetect16x16_16u_C1R(const Zan16u* pSrc, int32_t srcStep, Zan32u edgeThreshold,
                                                 Zan32u edgeCountLimit, Zan32u* pRes);
/* pSums[i] = sum of (src - pred) over 4x4 sub-block i (raster order); when
 * pDiff is not null it receives the difference block as contiguous rows of
 * the block width (16 or 8 values a row). */
ZANVC_API ZanResult zaniSumsDiff16x16Blocks4x4_8u16s_C1(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pPred,
                                                        int32_t predStep, Zan16s* pSums, Zan16s* pDiff);
ZANVC_API ZanResult zaniSumsDiff8x8Blocks4x4_8u16s_C1(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pPred,
                                                      int32_t predStep, Zan16s* pSums, Zan16s* pDiff);
/* Source: two interleaved 8x8 channels; one prediction plane per channel.
 * Null checks: pSrc, pPred0, pPred1, pSums0, pSums1 (the pDiff are optional). */
ZANVC_API ZanResult zaniSumsDiff8x8Blocks4x4_8u16s_C2P2(const Zan8u* pSrc, int32_t srcStep, const Zan8u* pPred0,
                                                        int32_t pred0Step, const Zan8u* pPred1, int32_t pred1Step,
                                                        Zan16s* pSums0, Zan16s* pDiff0, Zan16s* pSums1,
                                                        Zan16s* pDiff1);
/* 16-bit samples: exact 32-bit differences and sums; pDiff (optional) holds
 * contiguous rows of 32-bit differences. */
ZANVC_API ZanResult zaniSumsDiff16x16Blocks4x4_16u32s_C1R(const Zan16u* pSrc, int32_t srcStep, const Zan16u* pPred,
                                                          int32_t predStep, Zan32s* pSums, Zan32s* pDiff);
ZANVC_API ZanResult zaniSumsDiff8x8Blocks4x4_16u32s_C1R(const Zan16u* pSrc, int32_t srcStep, const Zan16u* pPred,
                                                        int32_t predStep, Zan32s* pSums, Zan32s* pDiff);

/* ---- residual extraction: diff = cur - pred as 16-bit ----
 * Single direction: pred from pRef by mcType & 12 and roundControl; pPredOut
 * may be null, else it receives pred as 16-bit values (its own step).
 * B forms: pred = (predF + predB + 1) >> 1, each by its own mcType & 12.
 * C2P2 forms: cur and ref hold two interleaved 8-wide channels (even bytes to
 * pDiffU, odd bytes to pDiffV). Null checks cover cur, references and every
 * difference pointer. */
ZANVC_API ZanResult zaniGetDiff16x16_8u16s_C1(const Zan8u* pCur, int32_t curStep, const Zan8u* pRef,
                                              int32_t refStep, Zan16s* pDiffOut, int32_t diffOutStep,
                                              Zan16s* pPredOut, int32_t predOutStep, int32_t mcType,
                                              int32_t roundControl);
ZANVC_API ZanResult zaniGetDiff16x8_8u16s_C1(const Zan8u* pCur, int32_t curStep, const Zan8u* pRef,
                                             int32_t refStep, Zan16s* pDiffOut, int32_t diffOutStep,
                                             Zan16s* pPredOut, int32_t predOutStep, int32_t mcType,
                                             int32_t roundControl);
ZANVC_API ZanResult zaniGetDiff8x16_8u16s_C1(const Zan8u* pCur, int32_t curStep, const Zan8u* pRef,
                                             int32_t refStep, Zan16s* pDiffOut, int32_t diffOutStep,
                                             Zan16s* pPredOut, int32_t predOutStep, int32_t mcType,
                                             int32_t roundControl);
ZANVC_API ZanResult zaniGetDiff8x8_8u16s_C1(const Zan8u* pCur, int32_t curStep, const Zan8u* pRef,
                                            int32_t refStep, Zan16s* pDiffOut, int32_t diffOutStep,
                                            Zan16s* pPredOut, int32_t predOutStep, int32_t mcType,
                                            int32_t roundControl);
ZANVC_API ZanResult zaniGetDiff8x4_8u16s_C1(const Zan8u* pCur, int32_t curStep, const Zan8u* pRef,
                                            int32_t refStep, Zan16s* pDiffOut, int32_t diffOutStep,
                                            Zan16s* pPredOut, int32_t predOutStep, int32_t mcType,
                                            int32_t roundControl);
ZANVC_API ZanResult zaniGetDiff16x16B_8u16s_C1(const Zan8u* pCur, int32_t curStep, const Zan8u* pRefF,
                                               int32_t refFStep, int32_t mcTypeF, const Zan8u* pRefB,
                                               int32_t refBStep, int32_t mcTypeB, Zan16s* pDiffOut,
                                               int32_t diffOutStep, int32_t roundControl);
ZANVC_API ZanResult zaniGetDiff16x8B_8u16s_C1(const Zan8u* pCur, int32_t curStep, const Zan8u* pRefF,
                                              int32_t refFStep, int32_t mcTypeF, const Zan8u* pRefB,
                                              int32_t refBStep, int32_t mcTypeB, Zan16s* pDiffOut,
                                              int32_t diffOutStep, int32_t roundControl);
ZANVC_API ZanResult zaniGetDiff8x16B_8u16s_C1(const Zan8u* pCur, int32_t curStep, const Zan8u* pRefF,
                                              int32_t refFStep, int32_t mcTypeF, const Zan8u* pRefB,
                                              int32_t refBStep, int32_t mcTypeB, Zan16s* pDiffOut,
                                              int32_t diffOutStep, int32_t roundControl);
ZANVC_API ZanResult zaniGetDiff8x8B_8u16s_C1(const Zan8u* pCur, int32_t curStep, const Zan8u* pRefF,
                                             int32_t refFStep, int32_t mcTypeF, const Zan8u* pRefB,
                                             int32_t refBStep, int32_t mcTypeB, Zan16s* pDiffOut,
                                             int32_t diffOutStep, int32_t roundControl);
ZANVC_API ZanResult zaniGetDiff8x4B_8u16s_C1(const Zan8u* pCur, int32_t curStep, const Zan8u* pRefF,
                                             int32_t refFStep, int32_t mcTypeF, const Zan8u* pRefB,
                                             int32_t refBStep, int32_t mcTypeB, Zan16s* pDiffOut,
                                             int32_t diffOutStep, int32_t roundControl);
ZANVC_API ZanResult zaniGetDiff8x8_8u16s_C2P2(const Zan8u* pCur, int32_t curStep, const Zan8u* pRef,
                                              int32_t refStep, Zan16s* pDiffU, int32_t diffStepU, Zan16s* pDiffV,
                                              int32_t diffStepV, int32_t mcType, int32_t roundControl);
ZANVC_API ZanResult zaniGetDiff8x4_8u16s_C2P2(const Zan8u* pCur, int32_t curStep, const Zan8u* pRef,
                                              int32_t refStep, Zan16s* pDiffU, int32_t diffStepU, Zan16s* pDiffV,
                                              int32_t diffStepV, int32_t mcType, int32_t roundControl);
ZANVC_API ZanResult zaniGetDiff8x8B_8u16s_C2P2(const Zan8u* pCur, int32_t curStep, const Zan8u* pRefF,
                                               int32_t refFStep, int32_t mcTypeF, const Zan8u* pRefB,
                                               int32_t refBStep, int32_t mcTypeB, Zan16s* pDiffU,
                                               int32_t diffStepU, Zan16s* pDiffV, int32_t diffStepV,
                                               int32_t roundControl);
ZANVC_API ZanResult zaniGetDiff8x4B_8u16s_C2P2(const Zan8u* pCur, int32_t curStep, const Zan8u* pRefF,
                                               int32_t refFStep, int32_t mcTypeF, const Zan8u* pRefB,
                                               int32_t refBStep, int32_t mcTypeB, Zan16s* pDiffU,
                                               int32_t diffStepU, Zan16s* pDiffV, int32_t diffStepV,
                                               int32_t roundControl);
/* Full sample only. */
ZANVC_API ZanResult zaniGetDiff4x4_8u16s_C1(const Zan8u* pCur, int32_t curStep, const Zan8u* pRef,
                                            int32_t refStep, Zan16s* pDiffOut, int32_t diffOutStep);
/* dst = src1 - src2; 16u sources: the difference modulo 65536 as 16 bits. */
ZANVC_API ZanResult zaniSub16x16_8u16s_C1R(const Zan8u* pSrc1, int32_t src1Step, const Zan8u* pSrc2,
                                           int32_t src2Step, Zan16s* pDst, int32_t dstStep);
ZANVC_API ZanResult zaniSub8x8_8u16s_C1R(const Zan8u* pSrc1, int32_t src1Step, const Zan8u* pSrc2,
                                         int32_t src2Step, Zan16s* pDst, int32_t dstStep);
ZANVC_API ZanResult zaniSub4x4_8u16s_C1R(const Zan8u* pSrc1, int32_t src1Step, const Zan8u* pSrc2,
                                         int32_t src2Step, Zan16s* pDst, int32_t dstStep);
ZANVC_API ZanResult zaniSub8x8_16u16s_C1R(const Zan16u* pSrc1, int32_t src1Step, const Zan16u* pSrc2,
                                          int32_t src2Step, Zan16s* pDst, int32_t dstStep);
ZANVC_API ZanResult zaniSub4x4_16u16s_C1R(const Zan16u* pSrc1, int32_t src1Step, const Zan16u* pSrc2,
                                          int32_t src2Step, Zan16s* pDst, int32_t dstStep);


/* ======================================================================== */
/* Deinterlacing and preview conversion                                      */
/* ======================================================================== */

#ifdef __cplusplus
}
#endif

#endif /* ZANVC_H */
