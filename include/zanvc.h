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

/* Conventions of the family (8-bit 4:2:0 forms):
 * - ppSrcCoeff: pointer to the caller's pointer to 16-bit coefficients, as
 *   the CAVLC decoders write them: only coded blocks are present, in the
 *   order in which the function visits them (a 4x4 block: 16 values in
 *   raster order; an 8x8 block: 64; a luma DC block: 16, raster order of the
 *   4x4 DC matrix, row = block row; a chroma DC block: 4, c0 c1 / c2 c3). At
 *   position 0 of an AC block of intra 16x16 luma or of chroma the value is
 *   not read (the DC comes from the DC block). After the call *ppSrcCoeff
 *   stands behind the last value consumed; calls that fail leave it alone.
 * - cbp4x4: bit 0 luma DC coded (intra 16x16); bits 1..16 luma 4x4 blocks
 *   blkIdx 0..15; bit 17 Cb DC, bit 18 Cr DC; bits 19..22 Cb AC blocks 0..3,
 *   bits 23..26 Cr AC blocks 0..3 (raster). The 8x8 forms use bits 0..3 for
 *   the four 8x8 blocks (raster); the luma half forms bit k for their k-th
 *   block (k = 0..7 in blkIdx order within the 16x8 half; 8x8 half: bits 0
 *   and 1).
 * - edgeType (8-bit): set bit = that neighbouring macroblock may not be used
 *   for intra prediction: 1 left, 4 top, 16 top-left, 32 top-right.
 * - pMBIntraTypes: 32-bit prediction modes 0..8 (vertical, horizontal, DC,
 *   diagonal down-left, diagonal down-right, vertical-right, horizontal-down,
 *   vertical-left, horizontal-up), one per 4x4 block in blkIdx order (16; 8
 *   for a half) or per 8x8 block in raster order (4; 2 for a half). All are
 *   checked before anything is written: a mode above 8 returns -11.
 * - A 4x4 or 8x8 mode that needs a neighbour that is unavailable predicts
 *   that block as 128 and the call returns 11 after finishing the macroblock.
 *   The 16x16 and chroma forms refuse such a mode with -117 before writing.
 * - pScaleLevels (16-bit): the standard's LevelScale4x4(QP % 6, i, j) for the
 *   16 positions in raster order (LevelScale8x8, 64 entries, in the 8x8
 *   forms); the flat default is 16 * v(QP % 6, position). Dequantization:
 *   4x4: QP >= 24: (c * ls) << (QP/6 - 4), else (c * ls + 2^(3 - QP/6)) >>
 *   (4 - QP/6); 8x8 and luma DC: the same with 6 in place of 4 (QP >= 36);
 *   chroma DC: ((f * ls[0]) << (QPc/6)) >> 5. These forms transform in 32-bit
 *   arithmetic that wraps around (conforming streams never reach that).
 * - bypass (8-bit): transform bypass (lossless) when non-zero and QP is 0 in
 *   the luma forms; the residual is the coefficient block itself (an intra
 *   16x16 block takes its DC level from the DC block unchanged). In the
 *   chroma forms it is the macroblock's TransformBypassModeFlag (the caller
 *   sets it only when QP'Y is 0) and applies whatever the chroma QPs are.
 * - Flat forms (no pScaleLevels) dequantize with InvQuantTable of their QP:
 *   inter and intra 4x4 luma blocks through the 16-bit saturating
 *   add-to-prediction path of zaniDequantTransformResidualAndAdd_H264_16s_C1I,
 *   intra 16x16 and chroma blocks through 32-bit arithmetic with the DC from
 *   zaniTransformDequantLumaDC_H264_16s_C1I / ...ChromaDC_H264_16s_C1I.
 * - Every residual is added to the prediction in the picture and limited to
 *   0..255. Checks: null pointers (-8) first, then the step where stated,
 *   then QP and modes (-11), then the neighbours (-117). */

/* Intra predictors of one block in place from the samples around it.
 * availability: set bit = available: 1 top row, 2 left column, 32 top-left
 * sample, 64 the four samples above-right (4x4 only; substituted by the last
 * top sample when missing).
 * 4x4: checks null -8, mode > 8 -11; a mode that needs a missing neighbour
 * fills the block with 128 and returns 11.
 * 16x16 (modes 0 vertical, 1 horizontal, 2 DC, 3 plane) and chroma 8x8
 * (0 DC, 1 horizontal, 2 vertical, 3 plane): a mode that needs a missing
 * neighbour returns -117 and writes nothing; other modes above 3: -11. The
 * chroma predictor checks srcDstStep < 8 (-14) after the null pointer. */
ZANVC_API ZanResult zaniPredictIntra_4x4_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcDstStep, int32_t mode,
                                                      int32_t availability);
ZANVC_API ZanResult zaniPredictIntra_16x16_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcDstStep, int32_t mode,
                                                        int32_t availability);
ZANVC_API ZanResult zaniPredictIntraChroma8x8_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcDstStep, int32_t mode,
                                                           int32_t availability);

/* Inter luma, flat scaling: every coded 4x4 block (bits 1..16) is
 * dequantized, inverse-transformed and added to the prediction in the picture.
 * No coded block: returns 0 at once. Checks: ppSrcCoeff, *ppSrcCoeff or the
 * plane null: -8; QP > 51 (unsigned, negative too): -11. */
ZANVC_API ZanResult zaniReconstructLumaInterMB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                              int32_t srcDstYStep, uint32_t cbp4x4, int32_t QP);
/* Inter luma with the caller's 4x4 levels and bypass. Checks as above, with
 * pScaleLevels null: -8. */
ZANVC_API ZanResult zaniReconstructLumaInter4x4MB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                                 int32_t srcDstYStep, uint32_t cbp4x4, int32_t QP,
                                                                 const Zan16s* pScaleLevels, Zan8u bypass);
/* Inter luma with the 8x8 transform: four 8x8 blocks (cbp4x4 bits 0..3, 64
 * coefficients each), 64 LevelScale8x8 levels. Checks as the 4x4 form. */
ZANVC_API ZanResult zaniReconstructLumaInter8x8MB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                                 int32_t srcDstYStep, uint32_t cbp4x4, int32_t QP,
                                                                 const Zan16s* pScaleLevels, Zan8u bypass);

/* Intra 4x4 luma: for blkIdx 0..15 in order, predict (availability from
 * edgeType and the block's position; the above-right samples are never
 * available for blkIdx 3, 7, 11, 13, 15 and for blkIdx 5 only with the
 * top-right macroblock), then add the residual of a coded block. Returns 0,
 * or 11 when a block was predicted as 128. Checks: ppSrcCoeff, *ppSrcCoeff,
 * plane, pMBIntraTypes or pScaleLevels null: -8; QP > 51: -11; a mode above
 * 8: -11. */
ZANVC_API ZanResult zaniReconstructLumaIntra4x4MB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                                 int32_t srcDstYStep, const Zan32s* pMBIntraTypes,
                                                                 uint32_t cbp4x4, int32_t QP, Zan8u edgeType,
                                                                 const Zan16s* pScaleLevels, Zan8u bypass);
/* Intra 4x4 luma with the flat scaling of QP. */
ZANVC_API ZanResult zaniReconstructLumaIntraMB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                              int32_t srcDstYStep, const Zan32s* pMBIntraTypes,
                                                              uint32_t cbp4x4, int32_t QP, Zan8u edgeType);
/* Intra 8x8 luma: the four 8x8 blocks in raster order, each predicted with
 * the standard's Intra_8x8 modes over filtered reference samples
 * (availability: top row and left column from the top and left macroblocks,
 * block 0's top-left from the top-left one, block 1's top-right from the
 * top-right one, block 2's top-right is block 1, block 3 has none), then the
 * residual of a coded block (bit k, 64 coefficients, LevelScale8x8 levels). */
ZANVC_API ZanResult zaniReconstructLumaIntra8x8MB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                                 int32_t srcDstYStep, const Zan32s* pMBIntraTypes,
                                                                 uint32_t cbp4x4, int32_t QP, Zan8u edgeType,
                                                                 const Zan16s* pScaleLevels, Zan8u bypass);
/* Half macroblocks (16 wide, 8 high) for a frame/field macroblock pair on the
 * left: the plane pointer designates the half's top-left sample, the half is
 * treated like the upper half of a macroblock (its blocks k = 0..7 take the
 * availability of blkIdx 0..7, the 8x8 form's blocks 0 and 1 that of 8x8
 * blocks 0 and 1) under the edgeType given for this call; for the lower half
 * the caller passes the top as available (it is the upper half) and the
 * top-right as unavailable. pMBIntraTypes: 8 modes (2 for the 8x8 form);
 * cbp4x4 bit k marks block k coded. Checks: null: -8; srcDstYStep < 1: -14;
 * QP > 51: -11; a mode above 8: -11. Flat scaling (IntraHalfMB) or the
 * caller's levels and bypass (IntraHalf4x4MB, IntraHalf8x8MB). */
ZANVC_API ZanResult zaniReconstructLumaIntraHalfMB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                                  int32_t srcDstYStep, const Zan32s* pMBIntraTypes,
                                                                  uint32_t cbp4x4, int32_t QP, Zan8u edgeType);
ZANVC_API ZanResult zaniReconstructLumaIntraHalf4x4MB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                                     int32_t srcDstYStep,
                                                                     const Zan32s* pMBIntraTypes, uint32_t cbp4x4,
                                                                     int32_t QP, Zan8u edgeType,
                                                                     const Zan16s* pScaleLevels, Zan8u bypass);
ZANVC_API ZanResult zaniReconstructLumaIntraHalf8x8MB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                                     int32_t srcDstYStep,
                                                                     const Zan32s* pMBIntraTypes, uint32_t cbp4x4,
                                                                     int32_t QP, Zan8u edgeType,
                                                                     const Zan16s* pScaleLevels, Zan8u bypass);
/* Intra 16x16 luma: check the mode against edgeType (mode 0 needs the top, 1
 * the left, 3 top, left and top-left: else -117 before anything is
 * written), predict, then: DC block (bit 0, 16 values) through the luma DC
 * transform and dequantization; each blkIdx with coded AC (bits 1..16) or a
 * non-zero DC gets its residual. Checks: null: -8; QP > 51: -11; mode above
 * 3: -11; -117. Flat scaling (Intra16x16MB) or the caller's levels and bypass
 * (Intra_16x16MB: DC with LevelScale4x4(QP % 6, 0, 0) = pScaleLevels[0]). */
ZANVC_API ZanResult zaniReconstructLumaIntra16x16MB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                                   int32_t srcDstYStep, int32_t intraLumaMode,
                                                                   uint32_t cbp4x4, int32_t QP, Zan8u edgeType);
ZANVC_API ZanResult zaniReconstructLumaIntra_16x16MB_H264_16s8u_C1R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstYPlane,
                                                                    int32_t srcDstYStep, int32_t intraLumaMode,
                                                                    uint32_t cbp4x4, int32_t QP, Zan8u edgeType,
                                                                    const Zan16s* pScaleLevels, Zan8u bypass);

/* Chroma 4:2:0, both components (8x8 each). No bit of 17..26 set: returns 0
 * at once (after the intra prediction). Coefficients in the order Cb DC,
 * Cr DC, Cb AC blocks 0..3, Cr AC blocks 0..3; a component without a coded
 * DC has DC 0; each block with coded AC or a non-zero DC gets its residual.
 * The intra forms first predict both components with intraChromaMode (0 DC
 * per 4x4 quadrant, 1 horizontal, 2 vertical, 3 plane); a mode above 3
 * returns -11, a mode that needs an unavailable neighbour -117 with nothing
 * written and the coefficient pointer unmoved.
 * P2R: separate Cb and Cr planes with one step. C2R: one interleaved plane
 * (Cb in the even, Cr in the odd bytes), srcDstUVStep < 1: -14.
 * Flat forms (chromaQP for both): chromaQP > 39 (unsigned): -11.
 * 4x4 forms: a QP and 16 LevelScale4x4 levels for each of Cb and Cr (each QP
 * > 39: -11, levels null: -8) and bypass.
 * Checks in order: pointers (ppSrcCoeff, *ppSrcCoeff, planes, levels) -8;
 * C2R step -14; QPs -11; mode -11; neighbours -117. */
ZANVC_API ZanResult zaniReconstructChromaInterMB_H264_16s8u_P2R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstUPlane,
                                                                Zan8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                                uint32_t cbp4x4, int32_t chromaQP);
ZANVC_API ZanResult zaniReconstructChromaIntraMB_H264_16s8u_P2R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstUPlane,
                                                                Zan8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                                int32_t intraChromaMode, uint32_t cbp4x4,
                                                                int32_t chromaQP, Zan8u edgeType);
ZANVC_API ZanResult zaniReconstructChromaInter4x4MB_H264_16s8u_P2R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstUPlane,
                                                                   Zan8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                                   uint32_t cbp4x4, int32_t chromaQPU,
                                                                   int32_t chromaQPV, const Zan16s* pScaleLevelsU,
                                                                   const Zan16s* pScaleLevelsV, Zan8u bypass);
ZANVC_API ZanResult zaniReconstructChromaIntra4x4MB_H264_16s8u_P2R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstUPlane,
                                                                   Zan8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                                   int32_t intraChromaMode, uint32_t cbp4x4,
                                                                   int32_t chromaQPU, int32_t chromaQPV,
                                                                   Zan8u edgeType, const Zan16s* pScaleLevelsU,
                                                                   const Zan16s* pScaleLevelsV, Zan8u bypass);
ZANVC_API ZanResult zaniReconstructChromaInterMB_H264_16s8u_C2R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstUVPlane,
                                                                int32_t srcDstUVStep, uint32_t cbp4x4,
                                                                int32_t chromaQP);
ZANVC_API ZanResult zaniReconstructChromaIntraMB_H264_16s8u_C2R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstUVPlane,
                                                                int32_t srcDstUVStep, int32_t intraChromaMode,
                                                                uint32_t cbp4x4, int32_t chromaQP, Zan8u edgeType);
ZANVC_API ZanResult zaniReconstructChromaInter4x4MB_H264_16s8u_C2R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstUVPlane,
                                                                   int32_t srcDstUVStep, uint32_t cbp4x4,
                                                                   int32_t chromaQPU, int32_t chromaQPV,
                                                                   const Zan16s* pScaleLevelsU,
                                                                   const Zan16s* pScaleLevelsV, Zan8u bypass);
ZANVC_API ZanResult zaniReconstructChromaIntra4x4MB_H264_16s8u_C2R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstUVPlane,
                                                                   int32_t srcDstUVStep, int32_t intraChromaMode,
                                                                   uint32_t cbp4x4, int32_t chromaQPU,
                                                                   int32_t chromaQPV, Zan8u edgeType,
                                                                   const Zan16s* pScaleLevelsU,
                                                                   const Zan16s* pScaleLevelsV, Zan8u bypass);
/* Chroma intra with split left availability (a frame/field macroblock pair on
 * the left): as the intra forms, with edgeTypeTop in the role of edgeType
 * (its left bit covering the upper half of the left column, chroma rows
 * 0..3) and the left bit (1) of edgeTypeBottom marking the lower half (rows
 * 4..7); its other bits are not read. The DC of each 4x4 quadrant uses the
 * half of the left column beside it; horizontal and plane need both halves.
 * The "Halfs" names are the same functions under a second spelling. */
ZANVC_API ZanResult zaniReconstructChromaIntraHalvesMB_H264_16s8u_P2R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstUPlane,
                                                                      Zan8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                                      int32_t intraChromaMode, uint32_t cbp4x4,
                                                                      int32_t chromaQP, Zan8u edgeTypeTop,
                                                                      Zan8u edgeTypeBottom);
ZANVC_API ZanResult zaniReconstructChromaIntraHalvesMB_H264_16s8u_C2R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstUVPlane,
                                                                      int32_t srcDstUVStep, int32_t intraChromaMode,
                                                                      uint32_t cbp4x4, int32_t chromaQP,
                                                                      Zan8u edgeTypeTop, Zan8u edgeTypeBottom);
ZANVC_API ZanResult zaniReconstructChromaIntraHalfsMB_H264_16s8u_P2R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstUPlane,
                                                                     Zan8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                                     int32_t intraChromaMode, uint32_t cbp4x4,
                                                                     int32_t chromaQP, Zan8u edgeTypeTop,
                                                                     Zan8u edgeTypeBottom);
ZANVC_API ZanResult zaniReconstructChromaIntraHalves4x4MB_H264_16s8u_P2R(
    Zan16s** ppSrcCoeff, Zan8u* pSrcDstUPlane, Zan8u* pSrcDstVPlane, int32_t srcDstUVStep, int32_t intraChromaMode,
    uint32_t cbp4x4, int32_t chromaQPU, int32_t chromaQPV, Zan8u edgeTypeTop, Zan8u edgeTypeBottom,
    const Zan16s* pScaleLevelsU, const Zan16s* pScaleLevelsV, Zan8u bypass);
ZANVC_API ZanResult zaniReconstructChromaIntraHalfs4x4MB_H264_16s8u_P2R(
    Zan16s** ppSrcCoeff, Zan8u* pSrcDstUPlane, Zan8u* pSrcDstVPlane, int32_t srcDstUVStep, int32_t intraChromaMode,
    uint32_t cbp4x4, int32_t chromaQPU, int32_t chromaQPV, Zan8u edgeTypeTop, Zan8u edgeTypeBottom,
    const Zan16s* pScaleLevelsU, const Zan16s* pScaleLevelsV, Zan8u bypass);

/* 4:2:2 chroma, 8-bit samples: 8x16 per component. As the 4x4 chroma P2R
 * forms (a QP and 16 LevelScale4x4 levels for each of Cb and Cr, bypass),
 * with these differences:
 * - cbp4x4: bit 17 Cb DC, bit 18 Cr DC (8 values each, a 2x4 block: raster,
 *   two values per row, as the 4:2:2 DC decoders write them), bits 1..8 the
 *   Cb AC blocks 0..7 and bits 9..16 the Cr AC blocks 0..7 (4x4 blocks in
 *   raster order, two per row). Coefficients in the order Cb DC, Cr DC, Cb
 *   AC, Cr AC.
 * - DC: f = A c B (A the 4x4 Hadamard matrix, B = 1 1 / 1 -1), dequantized
 *   with qP,DC = QPc + 3 and LevelScale4x4(qP,DC % 6, 0, 0) = w00 *
 *   v(qP,DC % 6, 0), where the weight w00 = pScaleLevels[0] / v(QPc % 6, 0):
 *   qP,DC >= 36: (f * ls) << (qP,DC/6 - 6), else (f * ls + 2^(5 - qP,DC/6))
 *   >> (6 - qP,DC/6).
 * - Intra prediction of 8x16 (DC per 4x4 block; plane with yCF = 4 and
 *   c = (5 * V + 32) >> 6). The IntraHalf form splits the left column's
 *   availability between rows 0..7 (edgeTypeTop) and rows 8..15 (left bit of
 *   edgeTypeBottom), as the Halves forms do for 4:2:0.
 * - Checks: pointers -8; srcDstUVStep < 1: -14; a QP above 39: -11; mode
 *   above 3: -11; -117. */
ZANVC_API ZanResult zaniReconstructChroma422Inter4x4_H264High_16s8u_IP2R(Zan16s** ppSrcCoeff, Zan8u* pSrcDstUPlane,
                                                                         Zan8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                                         uint32_t cbp4x4, int32_t chromaQPU,
                                                                         int32_t chromaQPV,
                                                                         const Zan16s* pScaleLevelsU,
                                                                         const Zan16s* pScaleLevelsV, Zan8u bypass);
ZANVC_API ZanResult zaniReconstructChroma422Intra4x4_H264High_16s8u_IP2R(
    Zan16s** ppSrcCoeff, Zan8u* pSrcDstUPlane, Zan8u* pSrcDstVPlane, int32_t srcDstUVStep, int32_t intraChromaMode,
    uint32_t cbp4x4, int32_t chromaQPU, int32_t chromaQPV, Zan8u edgeType, const Zan16s* pScaleLevelsU,
    const Zan16s* pScaleLevelsV, Zan8u bypass);
ZANVC_API ZanResult zaniReconstructChroma422IntraHalf4x4_H264High_16s8u_IP2R(
    Zan16s** ppSrcCoeff, Zan8u* pSrcDstUPlane, Zan8u* pSrcDstVPlane, int32_t srcDstUVStep, int32_t intraChromaMode,
    uint32_t cbp4x4, int32_t chromaQPU, int32_t chromaQPV, Zan8u edgeTypeTop, Zan8u edgeTypeBottom,
    const Zan16s* pScaleLevelsU, const Zan16s* pScaleLevelsV, Zan8u bypass);

/* High bit depth: 16-bit samples of bitDepth bits (8..14), 32-bit
 * coefficients and levels. One record per plane: */
typedef struct ZanReconstructHigh_32s16u {
    Zan32s**      ppSrcDstCoeff; /* coefficients, advanced past those consumed */
    Zan16u*       pSrcDstPlane;  /* the macroblock's (or half's) top-left sample */
    int32_t       srcDstStep;    /* bytes; below 1: -14 */
    uint32_t      cbp4x4;        /* coded blocks, the bits of the 8-bit forms */
    int32_t       QP;            /* QP'Y (luma) or QP'c (chroma), with the bit-depth offset */
    const Zan32s* pScaleLevels;  /* LevelScale4x4 (16) or LevelScale8x8 (64) for QP % 6, raster */
    int32_t       bypass;        /* transform bypass when non-zero and QP'Y is 0 */
    int32_t       bitDepth;      /* 8..14; results limited to 0 .. 2^bitDepth - 1 */
} ZanReconstructHigh_32s16u;

/* Luma (IP1R): pReconInfo points to one record; the forms and their
 * arguments are those of the 8-bit luma forms with the caller's levels
 * (Inter4x4MB, Inter8x8MB, Intra4x4MB, Intra8x8MB, IntraHalf4x4MB,
 * IntraHalf8x8MB, Intra_16x16MB), the record holding the coefficient pointer,
 * plane, step, cbp4x4, QP, levels and bypass. A block predicted without its
 * neighbours takes 2^(bitDepth - 1) (status 11); DC prediction without
 * neighbours likewise.
 * Checks: null record, coefficient pointer (or *ppSrcDstCoeff), plane, levels
 * or pMBIntraTypes: -8; srcDstStep < 1: -14; bitDepth outside 8..14: -11; QP
 * outside 0 .. 6 * bitDepth + 3: -11; modes as the 8-bit forms (-11, -117). */
ZANVC_API ZanResult zaniReconstructLumaInter4x4_H264High_32s16u_IP1R(const ZanReconstructHigh_32s16u* pReconInfo);
ZANVC_API ZanResult zaniReconstructLumaInter8x8_H264High_32s16u_IP1R(const ZanReconstructHigh_32s16u* pReconInfo);
ZANVC_API ZanResult zaniReconstructLumaIntra4x4_H264High_32s16u_IP1R(const ZanReconstructHigh_32s16u* pReconInfo,
                                                                     const Zan32s* pMBIntraTypes, Zan8u edgeType);
ZANVC_API ZanResult zaniReconstructLumaIntra8x8_H264High_32s16u_IP1R(const ZanReconstructHigh_32s16u* pReconInfo,
                                                                     const Zan32s* pMBIntraTypes, Zan8u edgeType);
ZANVC_API ZanResult zaniReconstructLumaIntraHalf4x4_H264High_32s16u_IP1R(
    const ZanReconstructHigh_32s16u* pReconInfo, const Zan32s* pMBIntraTypes, Zan8u edgeType);
ZANVC_API ZanResult zaniReconstructLumaIntraHalf8x8_H264High_32s16u_IP1R(
    const ZanReconstructHigh_32s16u* pReconInfo, const Zan32s* pMBIntraTypes, Zan8u edgeType);
ZANVC_API ZanResult zaniReconstructLumaIntra16x16_H264High_32s16u_IP1R(const ZanReconstructHigh_32s16u* pReconInfo,
                                                                       int32_t intraLumaMode, Zan8u edgeType);

/* Chroma (IP2R): pReconInfo points to two records, Cb then Cr. The Cb
 * record gives the coefficient pointer (one stream for both components, in
 * the order of the 8-bit forms), cbp4x4, bypass and bitDepth; each record
 * gives its component's plane, step, QP'c (0 .. 39 + 6 * (bitDepth - 8), else
 * -11) and levels. 4:2:0 (8x8) and 4:2:2 (8x16, with the cbp4x4 layout and DC
 * of the 8-bit 4:2:2 forms) members; the IntraHalf forms split the left
 * availability between edgeTypeTop and edgeTypeBottom as the 8-bit Halves
 * forms do. Checks as the luma records (both records' pointers and steps). */
ZANVC_API ZanResult zaniReconstructChromaInter4x4_H264High_32s16u_IP2R(const ZanReconstructHigh_32s16u* pReconInfo);
ZANVC_API ZanResult zaniReconstructChromaIntra4x4_H264High_32s16u_IP2R(const ZanReconstructHigh_32s16u* pReconInfo,
                                                                       int32_t intraChromaMode, Zan8u edgeType);
ZANVC_API ZanResult zaniReconstructChromaIntraHalf4x4_H264High_32s16u_IP2R(
    const ZanReconstructHigh_32s16u* pReconInfo, int32_t intraChromaMode, Zan8u edgeTypeTop, Zan8u edgeTypeBottom);
ZANVC_API ZanResult zaniReconstructChroma422Inter4x4_H264High_32s16u_IP2R(
    const ZanReconstructHigh_32s16u* pReconInfo);
ZANVC_API ZanResult zaniReconstructChroma422Intra4x4_H264High_32s16u_IP2R(
    const ZanReconstructHigh_32s16u* pReconInfo, int32_t intraChromaMode, Zan8u edgeType);
ZANVC_API ZanResult zaniReconstructChroma422IntraHalf4x4_H264High_32s16u_IP2R(
    const ZanReconstructHigh_32s16u* pReconInfo, int32_t intraChromaMode, Zan8u edgeTypeTop, Zan8u edgeTypeBottom);

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
