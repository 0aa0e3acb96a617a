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

/* Records of the interpolation functions.
 *
 * ZanInterpolateBlock_8u: one block predicted from a reference picture with
 * a whole motion vector; the Block functions handle every picture edge by
 * taking the picture sample at the clamped coordinates.
 *   pSrc[2]        reference plane(s): luma pSrc[0]; planar chroma pSrc[0]
 *                  (Cb) and pSrc[1] (Cr); NV12 chroma pSrc[0] (CbCr pairs)
 *   srcStep        row step of the reference plane(s), bytes
 *   pDst[2]        destination(s), laid out like pSrc (C2C2R: pDst[0] holds
 *                  CbCr pairs, 2*width bytes a row)
 *   dstStep        row step of the destination(s), bytes
 *   sizeFrame      size of the reference plane in samples of one component
 *                  (NV12: pairs)
 *   sizeBlock      size of the block (NV12: width in pairs)
 *   pointBlockPos  the block's top-left sample in the picture (NV12: pairs)
 *   pointVector    motion vector, quarter samples (luma) or eighth samples
 *                  (chroma); the fraction is vector & 3 (& 7), the integer
 *                  part vector >> 2 (>> 3) */
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

/* As ZanInterpolateBlock_8u with 16-bit samples; steps count samples.
 * bitDepth: sample bit depth used for saturation (luma), 1..16; values
 * outside that range are taken as the nearest end. */
typedef struct ZanInterpolateBlock_16u {
    const Zan16u* pSrc[2];
    int32_t       srcStep;
    Zan16u*       pDst[2];
    int32_t       dstStep;
    ZanSize       sizeFrame;
    ZanSize       sizeBlock;
    ZanPoint      pointBlockPos;
    ZanPoint      pointVector;
    int32_t       bitDepth;
} ZanInterpolateBlock_16u;

/* The 16-bit plain, Top and Bottom functions: pSrc at the integer sample
 * position, steps in samples, dx and dy the fractions (quarter samples for
 * luma, eighth samples for chroma), bitDepth as in ZanInterpolateBlock_16u. */
typedef struct ZanInterpolate_16u {
    const Zan16u* pSrc;
    int32_t       srcStep;
    Zan16u*       pDst;
    int32_t       dstStep;
    int32_t       dx;
    int32_t       dy;
    ZanSize       roiSize;
    int32_t       bitDepth;
} ZanInterpolate_16u;

#if defined(__cplusplus) || (defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L) || defined(__GNUC__)
ZANVC_STATIC_ASSERT(offsetof(ZanInterpolateBlock_8u, srcStep) == 16 && offsetof(ZanInterpolateBlock_8u, pDst) == 24 &&
                    offsetof(ZanInterpolateBlock_8u, dstStep) == 40 && offsetof(ZanInterpolateBlock_8u, sizeFrame) == 44 &&
                    offsetof(ZanInterpolateBlock_8u, pointVector) == 68 && sizeof(ZanInterpolateBlock_8u) == 80,
                    "ZanInterpolateBlock_8u layout");
ZANVC_STATIC_ASSERT(offsetof(ZanInterpolateBlock_16u, bitDepth) == 76 && sizeof(ZanInterpolateBlock_16u) == 80,
                    "ZanInterpolateBlock_16u layout");
ZANVC_STATIC_ASSERT(offsetof(ZanInterpolate_16u, dx) == 28 && offsetof(ZanInterpolate_16u, roiSize) == 36 &&
                    offsetof(ZanInterpolate_16u, bitDepth) == 44 && sizeof(ZanInterpolate_16u) == 48,
                    "ZanInterpolate_16u layout");
#endif

/* Luma sample values (H.264 8.4.2.2.1). With the six-tap filter
 * (1, -5, 20, 20, -5, 1): half samples b (horizontal) and h (vertical) are
 * Clip1((b1 + 16) >> 5); the centre j is Clip1((j1 + 512) >> 10) over the
 * unrounded vertical sums; the quarter samples are rounded averages
 * (p + q + 1) >> 1 of two saturated neighbours: a = (G, b), c = (H, b),
 * d = (G, h), n = (M, h), e = (b, h), g = (b, m), p = (h, s), r = (m, s),
 * f = (b, j), i = (h, j), k = (j, m), q = (j, s). Position dy*4+dx:
 * 0 G, 1 a, 2 b, 3 c, 4 d, 5 e, 6 f, 7 g, 8 h, 9 i, 10 j, 11 k, 12 n, 13 p,
 * 14 q, 15 r.
 *
 * Chroma sample values (H.264 8.4.2.2.2):
 * ((8-dx)(8-dy)A + dx(8-dy)B + (8-dx)dy C + dx dy D + 32) >> 6.
 *
 * Supported sizes: luma widths 4, 8, 16 and heights a positive multiple of 4
 * (8-bit) or 4, 8, 16 without 4x16 and 16x4 (16-bit); chroma widths 2, 4, 8
 * and even positive heights (16-bit: 2, 4, 8, 16). Other sizes return -6,
 * also those that pass the width-mask test (0, 12, 20, 24, 28) and heights
 * of 0 or below.
 *
 * Reads: around pSrc, rows -2 .. height+2 when dy != 0 and columns
 * -2 .. width+2 when dx != 0 (luma); column width when dx != 0 and row
 * height when dy != 0 (chroma); the caller keeps them in memory. */

/* 8-bit luma, steps in bytes. Checks: pSrc or pDst null: -8; (dx | dy) as
 * unsigned above 3: -5; size not supported: -6. */
ZANVC_API ZanResult zaniInterpolateLuma_H264_8u_C1R(const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst, int32_t dstStep,
                                                    int32_t dx, int32_t dy, ZanSize roiSize);

/* Top and Bottom: rows outside the picture take its first (Top) or last
 * (Bottom) row; columns are not clamped (pad the sides with
 * zaniExpandPlane_H264_8u_C1R).
 * Top: outPixels block rows, counted from the block's first row, lie above
 * the picture's first row, which is pSrc + outPixels*srcStep; negative
 * values mean the block starts inside the picture.
 * Bottom: outPixels block rows, counted from its last row, lie below the
 * picture's last row, which is pSrc + (height-1-outPixels)*srcStep.
 * Checks as zaniInterpolateLuma_H264_8u_C1R. */
ZANVC_API ZanResult zaniInterpolateLumaTop_H264_8u_C1R(const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst,
                                                       int32_t dstStep, int32_t dx, int32_t dy, int32_t outPixels,
                                                       ZanSize roiSize);
ZANVC_API ZanResult zaniInterpolateLumaBottom_H264_8u_C1R(const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst,
                                                          int32_t dstStep, int32_t dx, int32_t dy, int32_t outPixels,
                                                          ZanSize roiSize);

/* 16-bit luma. Checks: record, pSrc or pDst null: -8; srcStep or dstStep
 * below the width: -14; dx or dy outside 0..3: -5; width or height not 4, 8
 * or 16, or 4x16 / 16x4: -6. */
ZANVC_API ZanResult zaniInterpolateLuma_H264_16u_C1R(const ZanInterpolate_16u* pParams);
ZANVC_API ZanResult zaniInterpolateLumaTop_H264_16u_C1R(const ZanInterpolate_16u* pParams, int32_t outPixels);
ZANVC_API ZanResult zaniInterpolateLumaBottom_H264_16u_C1R(const ZanInterpolate_16u* pParams, int32_t outPixels);

/* Block functions: a zero vector copies the block from the position (no
 * edge test); otherwise every sample outside the picture takes the picture
 * sample at the clamped coordinates. The vector is masked, never rejected.
 * Checks: record, pSrc[0] or pDst[0] null: -8; block size not supported: -6;
 * a frame width or height below 1 with a non-zero vector: -6. */
ZANVC_API ZanResult zaniInterpolateLumaBlock_H264_8u_P1R(const ZanInterpolateBlock_8u* pParams);
ZANVC_API ZanResult zaniInterpolateLumaBlock_H264_16u_P1R(const ZanInterpolateBlock_16u* pParams);

/* 8-bit chroma, eighth-sample fractions. Checks: pointers null: -8;
 * (dx | dy) as unsigned above 7: -5; size not supported: -6. */
ZANVC_API ZanResult zaniInterpolateChroma_H264_8u_C1R(const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst,
                                                      int32_t dstStep, int32_t dx, int32_t dy, ZanSize roiSize);

/* NV12 source (CbCr pairs, pSrcUV at the pair of the integer position) into
 * two planes sharing dstStep. Checks as zaniInterpolateChroma_H264_8u_C1R. */
ZANVC_API ZanResult zaniInterpolateChroma_H264_8u_C2P2R(const Zan8u* pSrcUV, int32_t srcStep, Zan8u* pDstU,
                                                        Zan8u* pDstV, int32_t dstStep, int32_t dx, int32_t dy,
                                                        ZanSize roiSize);

/* outPixels as for the luma Top and Bottom functions. */
ZANVC_API ZanResult zaniInterpolateChromaTop_H264_8u_C1R(const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst,
                                                         int32_t dstStep, int32_t dx, int32_t dy, int32_t outPixels,
                                                         ZanSize roiSize);
ZANVC_API ZanResult zaniInterpolateChromaBottom_H264_8u_C1R(const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst,
                                                            int32_t dstStep, int32_t dx, int32_t dy,
                                                            int32_t outPixels, ZanSize roiSize);

/* 16-bit chroma (bitDepth unused: the result never leaves the input range).
 * Checks: record, pSrc or pDst null: -8; srcStep or dstStep below 8: -14;
 * dx or dy outside 0..7: -5; height not 2, 4, 8 or 16, or width not 2, 4
 * or 8: -6. */
ZANVC_API ZanResult zaniInterpolateChroma_H264_16u_C1R(const ZanInterpolate_16u* pParams);
ZANVC_API ZanResult zaniInterpolateChromaTop_H264_16u_C1R(const ZanInterpolate_16u* pParams, int32_t outPixels);
ZANVC_API ZanResult zaniInterpolateChromaBottom_H264_16u_C1R(const ZanInterpolate_16u* pParams, int32_t outPixels);

/* Chroma Block functions. P2R: Cb pSrc[0] -> pDst[0], Cr pSrc[1] -> pDst[1].
 * C2P2R: NV12 pSrc[0] -> Cb pDst[0], Cr pDst[1]. C2C2R: NV12 -> NV12.
 * Checks: record or a pointer in use null: -8; block size not supported:
 * -6; a frame width or height below 1 with a non-zero vector: -6. */
ZANVC_API ZanResult zaniInterpolateChromaBlock_H264_8u_P2R(const ZanInterpolateBlock_8u* pParams);
ZANVC_API ZanResult zaniInterpolateChromaBlock_H264_8u_C2P2R(const ZanInterpolateBlock_8u* pParams);
ZANVC_API ZanResult zaniInterpolateChromaBlock_H264_8u_C2C2R(const ZanInterpolateBlock_8u* pParams);
ZANVC_API ZanResult zaniInterpolateChromaBlock_H264_16u_P2R(const ZanInterpolateBlock_16u* pParams);

/* Average of two predictions, (a + b + 1) >> 1 per byte. P2P1R: one step
 * for all three; P3P1R: a step each. Checks: a pointer null: -8; width or
 * height outside 2..16: -6. */
ZANVC_API ZanResult zaniInterpolateBlock_H264_8u_P2P1R(const Zan8u* pSrc1, const Zan8u* pSrc2, Zan8u* pDst,
                                                       int32_t width, int32_t height, int32_t step);
ZANVC_API ZanResult zaniInterpolateBlock_H264_8u_P3P1R(const Zan8u* pSrc1, const Zan8u* pSrc2, Zan8u* pDst,
                                                       int32_t width, int32_t height, int32_t src1Step,
                                                       int32_t src2Step, int32_t dstStep);

/* Pads a frameWidth x frameHeight reference plane in place by pels samples
 * on every side: each padding sample takes the picture sample at the
 * clamped coordinates. fieldMode 0: frame; 1: the top field (even rows);
 * 2: the bottom field (odd rows), each padded on its own within rows
 * -pels .. frameHeight+pels-1 of the frame (1: (pels+1)>>1 field rows below
 * and pels>>1 above; 2: pels>>1 below and (pels+1)>>1 above).
 * Checks: pSrcDst null: -8; frameHeight odd or below 2, frameWidth below 1,
 * or pels below 0: -6; pels 0: returns 0, nothing done; fieldMode not 0, 1
 * or 2: -5. */
ZANVC_API ZanResult zaniExpandPlane_H264_8u_C1R(Zan8u* pSrcDst, int32_t frameWidth, int32_t frameHeight,
                                                int32_t pitch, int32_t pels, int32_t fieldMode);

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
