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

/* ======================================================================== */
/* Deinterlacing and preview conversion                                      */
/* ======================================================================== */

#ifdef __cplusplus
}
#endif

#endif /* ZANVC_H */
