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

/* ======================================================================== */
/* H.264 deblocking filters                                                  */
/* ======================================================================== */

/* The in-loop deblocking filter of H.264 (8.7.2.3 and 8.7.2.4) over the
 * edges of one macroblock, in place. The caller derives alpha, beta, tC0 and
 * the boundary strengths bS from QP, the filter offsets and the macroblock
 * types, and calls the vertical-edge function (VerEdge: edges left to right)
 * before the horizontal-edge function (HorEdge: edges top to bottom) of the
 * same block. pSrcDst is the block's top-left sample; the filter reads up to
 * 4 samples and writes up to 3 samples before the first edge (into the left
 * or upper neighbour) and stays inside the block after the last edge. When
 * the bS bytes of the first edge are all 0 (as at a picture's left or top
 * border) nothing outside the block is read or written.
 *
 * Array layouts (e: edge index, k: sample position along the edge):
 *   Luma (16x16), 4 edges at 0, 4, 8, 12, 16 samples each:
 *     pAlpha, pBeta [0] external (macroblock) edge, [1] internal edges;
 *     pBs [4e + k/4] (16 bytes); pThresholds (tC0) [4e + k/4].
 *   Chroma 4:2:0 (8x8), 2 edges at 0, 4, 8 samples each:
 *     pAlpha, pBeta [0] external, [1] internal; pBs: edge 0 [k/2] (bytes
 *     0..3), edge 1 [8 + k/2] (bytes 8..11, the bS of luma edge 2);
 *     pThresholds [4e + k/2] (8 entries).
 *   Chroma 4:2:2 VerEdge (8 wide, 16 high), 2 edges at 0, 4, 16 samples each:
 *     pBs edge 0 [k/4], edge 1 [8 + k/4]; pThresholds [4e + k/4].
 *   Chroma 4:2:2 HorEdge, 4 edges at 0, 4, 8, 12, 8 samples each:
 *     pAlpha, pBeta [0] for edge 0, [1] for edges 1..3;
 *     pBs [4e + k/2]; pThresholds [4e + k/2]. The first bS byte of an edge
 *     decides the strong filter for the whole edge: when pBs[4e] is 4 all 8
 *     positions get the chroma bS 4 filter; otherwise each 2-sample segment
 *     gets the normal filter when its own bS byte is non-zero.
 *   Luma MBAFF VerEdge: one edge of 8 rows; pBs and pThresholds 4 entries,
 *     one per 2 rows. Chroma MBAFF VerEdge: one edge of 4 rows; pBs and
 *     pThresholds 4 entries, one per row.
 *
 * Per position (p0..p3 before the edge, q0..q3 after it; all decisions use
 * the unfiltered samples of that position): bS 0 leaves it unchanged; it is
 * filtered only when |p0-q0| < alpha, |p1-p0| < beta and |q1-q0| < beta.
 * bS 1..3: normal filter with tC = tC0 + (ap < beta) + (aq < beta) for luma
 * (ap = |p2-p0|, aq = |q2-q0|; p1 and q1 are also filtered when ap, aq are
 * below beta) and tC = tC0 + 1 for chroma. bS 4 (and any larger value):
 * strong filter; luma uses the 3-tap/5-tap forms when ap (aq) < beta and
 * |p0-q0| < (alpha >> 2) + 2, chroma p0' = (2p1 + p0 + q1 + 2) >> 2 and the
 * mirror for q0. Results are clipped to 0..255, or to 0..2^bitDepth-1 in
 * the 16-bit forms. Positions along an edge are independent; a later edge
 * sees the output of an earlier one.
 *
 * Checks: a null pSrcDst, threshold or bS pointer, or a null record: -8.
 * The 16-bit forms then return -5 when bitDepth lies outside 1..16 (the
 * range whose Clip1 a 16-bit sample can hold). Nothing else is checked; the
 * row step may be negative. */

/* Arguments of the 8-bit 4:2:2 and NV12 (C2I) functions. */
typedef struct ZanFilterDeblock_8u {
    Zan8u*       pSrcDst;
    int32_t      srcdstStep;   /* bytes */
    const Zan8u* pAlpha;
    const Zan8u* pBeta;
    const Zan8u* pThresholds;  /* tC0 */
    const Zan8u* pBs;
} ZanFilterDeblock_8u;

/* Arguments of every 16-bit function. */
typedef struct ZanFilterDeblock_16u {
    Zan16u*       pSrcDst;
    int32_t       srcdstStep;   /* samples, not bytes */
    const Zan16u* pAlpha;
    const Zan16u* pBeta;
    const Zan16u* pThresholds;  /* tC0 */
    const Zan8u*  pBs;
    int32_t       bitDepth;     /* 1..16; Clip1 is 0..2^bitDepth-1 */
} ZanFilterDeblock_16u;

/* Luma 16x16, 8-bit. */
ZANVC_API ZanResult zaniFilterDeblockingLuma_VerEdge_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcdstStep,
                                                                  const Zan8u* pAlpha, const Zan8u* pBeta,
                                                                  const Zan8u* pThresholds, const Zan8u* pBs);
ZANVC_API ZanResult zaniFilterDeblockingLuma_HorEdge_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcdstStep,
                                                                  const Zan8u* pAlpha, const Zan8u* pBeta,
                                                                  const Zan8u* pThresholds, const Zan8u* pBs);
/* Chroma 4:2:0 8x8, one plane, 8-bit. */
ZANVC_API ZanResult zaniFilterDeblockingChroma_VerEdge_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcdstStep,
                                                                    const Zan8u* pAlpha, const Zan8u* pBeta,
                                                                    const Zan8u* pThresholds, const Zan8u* pBs);
ZANVC_API ZanResult zaniFilterDeblockingChroma_HorEdge_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcdstStep,
                                                                    const Zan8u* pAlpha, const Zan8u* pBeta,
                                                                    const Zan8u* pThresholds, const Zan8u* pBs);
/* NV12 chroma: 8 interleaved CbCr pairs x 8 rows. The same filter runs over
 * the Cb and the Cr sequence with the bS array shared by both (4:2:0
 * layout). C2IR applies one threshold set (4:2:0 layout) to both components.
 * C2I takes two sets one after the other, Cb first: pAlpha, pBeta = {Cb
 * external, Cb internal, Cr external, Cr internal}; pThresholds = Cb
 * external [0..3], Cb internal [4..7], Cr external [8..11], Cr internal
 * [12..15]. */
ZANVC_API ZanResult zaniFilterDeblockingChroma_VerEdge_H264_8u_C2IR(Zan8u* pSrcDst, int32_t srcdstStep,
                                                                    const Zan8u* pAlpha, const Zan8u* pBeta,
                                                                    const Zan8u* pThresholds, const Zan8u* pBs);
ZANVC_API ZanResult zaniFilterDeblockingChroma_HorEdge_H264_8u_C2IR(Zan8u* pSrcDst, int32_t srcdstStep,
                                                                    const Zan8u* pAlpha, const Zan8u* pBeta,
                                                                    const Zan8u* pThresholds, const Zan8u* pBs);
ZANVC_API ZanResult zaniFilterDeblockingChroma_VerEdge_H264_8u_C2I(const ZanFilterDeblock_8u* pDeblockInfo);
ZANVC_API ZanResult zaniFilterDeblockingChroma_HorEdge_H264_8u_C2I(const ZanFilterDeblock_8u* pDeblockInfo);
/* Chroma 4:2:2 8x16, 8-bit. */
ZANVC_API ZanResult zaniFilterDeblockingChroma422VerEdge_H264_8u_C1IR(const ZanFilterDeblock_8u* pDeblockInfo);
ZANVC_API ZanResult zaniFilterDeblockingChroma422HorEdge_H264_8u_C1IR(const ZanFilterDeblock_8u* pDeblockInfo);
/* MBAFF left edge of a field macroblock: luma 8 rows, chroma 4 rows. nAlpha
 * and nBeta are the edge's values (any 32-bit value; alpha 0 filters
 * nothing). */
ZANVC_API ZanResult zaniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcdstStep,
                                                                        Zan32u nAlpha, Zan32u nBeta,
                                                                        const Zan8u* pThresholds,
                                                                        const Zan8u* pBs);
ZANVC_API ZanResult zaniFilterDeblockingChroma_VerEdge_MBAFF_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcdstStep,
                                                                          Zan32u nAlpha, Zan32u nBeta,
                                                                          const Zan8u* pThresholds,
                                                                          const Zan8u* pBs);
/* 16-bit forms (alpha, beta and tC0 16-bit, step in samples): luma 16x16,
 * chroma 4:2:0 8x8, chroma 4:2:2 8x16, MBAFF luma 8 rows and chroma 4 rows
 * (the MBAFF forms read pAlpha[0] and pBeta[0] only). */
ZANVC_API ZanResult zaniFilterDeblockingLumaVerEdge_H264_16u_C1IR(const ZanFilterDeblock_16u* pDeblockInfo);
ZANVC_API ZanResult zaniFilterDeblockingLumaHorEdge_H264_16u_C1IR(const ZanFilterDeblock_16u* pDeblockInfo);
ZANVC_API ZanResult zaniFilterDeblockingChromaVerEdge_H264_16u_C1IR(const ZanFilterDeblock_16u* pDeblockInfo);
ZANVC_API ZanResult zaniFilterDeblockingChromaHorEdge_H264_16u_C1IR(const ZanFilterDeblock_16u* pDeblockInfo);
ZANVC_API ZanResult zaniFilterDeblockingChroma422VerEdge_H264_16u_C1IR(const ZanFilterDeblock_16u* pDeblockInfo);
ZANVC_API ZanResult zaniFilterDeblockingChroma422HorEdge_H264_16u_C1IR(const ZanFilterDeblock_16u* pDeblockInfo);
ZANVC_API ZanResult zaniFilterDeblockingLumaVerEdgeMBAFF_H264_16u_C1IR(const ZanFilterDeblock_16u* pDeblockInfo);
ZANVC_API ZanResult zaniFilterDeblockingChromaVerEdgeMBAFF_H264_16u_C1IR(const ZanFilterDeblock_16u* pDeblockInfo);

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
