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

/*
 * Word bit cursor (every H.264 bit-stream reader of this library, and the
 * MPEG-1/2 Huffman and AVS block decoders)
 * ----------------------------------------
 * ppBitStream points to the pointer to the current 32-bit word; pBitOffset
 * points to the number (31..0) of the next bit to read in that word. Words
 * are read with native loads; within a word the most significant bit comes
 * first, so store the stream with each group of four bytes byte-swapped into
 * one word (first stream byte in bits 31..24). A fresh word starts at 31.
 * Reading k bits at offset n takes bits n..n-k+1 when n - k >= 0 and leaves
 * n - k; otherwise it takes the n + 1 remaining bits and the leading bits of
 * the next word, advances the word pointer by one word and leaves
 * n - k + 32 (offset 0 on entry: bit 0 is read, then the pointer has
 * advanced and the offset is 31). Both values are updated on return.
 *
 * Look-ahead: a decoder loads no word before the one the cursor names on
 * entry, and no word that starts more than 31 bits after the position it
 * has reached when it returns (the returned cursor; for a failing call, the
 * position it had reached before restoring the cursor: the start of the
 * rejected code, or of the code whose table is missing). One readable word
 * of any value after the word holding the stream's last bit is therefore
 * enough padding for a well-formed stream. With the standard's tables a 4x4
 * block consumes fewer than 1200 bits (16 levels of level_prefix 31), an
 * Exp-Golomb code at most 63.
 *
 * Packed VLC table (the form of the caller's coeff_token, total_zeros and
 * run_before tables; also the form that the Huffman table builders of the
 * MPEG-1/2 family produce): an array of 32-bit entries.
 *   entry 0 of a (sub-)table   the number w (1..32) of stream bits that index
 *                              it;
 *   lookup                     read w bits as index i, take entry 1 + i of
 *                              that (sub-)table;
 *   link                       an entry whose low 8 bits, as a signed byte,
 *                              are negative (e.g. 0x80) points to a sub-table:
 *                              bits 8..31 (arithmetic shift) are the index,
 *                              in the same array, of that sub-table's entry 0;
 *                              the lookup continues there with its own w;
 *   leaf                       bits 0..7 = the bits read ahead and not part of
 *                              the code (w minus the code's length at that
 *                              level; they are given back to the stream),
 *                              bits 8..31 = the value;
 *   invalid code               a leaf whose value is 0xF0F1 (0x00F0F101 is a
 *                              convenient filler for unassigned entries).
 * Values: coeff_token leaves hold TrailingOnes in bits 8..15 and TotalCoeff in
 * bits 16..23; total_zeros and run_before leaves hold the number itself.
 * The widths along any path through a table add up to at most 32; a longer
 * path, a w outside 1..32 or a give-back above its level's w reads as an
 * invalid code. Example: the codes "1" -> 5 and "01" -> 7 in one level of
 * w = 2 are {2, 0x00F0F101, 0x00000700, 0x00000501, 0x00000501}: index 00
 * has no code, index 01 is "01" (nothing given back), indices 10 and 11 are
 * "1" with one bit given back.
 *
 * Table arrays of the CAVLC decoders:
 *   pCoeffTokenTables[3]    coeff_token for 0 <= nC < 2, 2 <= nC < 4,
 *                           4 <= nC < 8 (H.264 Table 9-5); nC >= 8 is the
 *                           6-bit fixed-length form and needs no table;
 *   pTotalZerosTables[16]   entry TotalCoeff (1..15): total_zeros for 4x4
 *                           blocks (Tables 9-7, 9-8); entry 0 unused;
 *   pTotalZerosTablesDC[]   entry TotalCoeff: chroma DC 2x2 (Table 9-9 a),
 *                           entries 1..3) or 2x4 (Table 9-9 b), 1..7);
 *   pRunBeforeTables[16]    entry zerosLeft (1..15): run_before (Table 9-10;
 *                           entries 7..15 all the zerosLeft > 6 table).
 * A table pointer is read only when the decode needs it; a needed one that
 * is null returns -8.
 *
 * Common behaviour of the CAVLC decoders (H.264 7.3.5.3.2
 * residual_block_cavlc and 9.2): coeff_token, then the trailing-ones signs,
 * the levels (level_prefix up to 31, including the escapes with level_prefix
 * 15 and above and the suffixLength adaptation), total_zeros and run_before;
 * the levels are de-scanned into the block at *ppCoeffs, which is cleared
 * first. On success *pTotalCoeff = TotalCoeff; when TotalCoeff is 0 the block
 * is neither written nor cleared and *ppCoeffs does not move, otherwise
 * *ppCoeffs advances past the block. Errors:
 *   -74 (ZAN_ERR_VLC)   no valid code at the cursor: an invalid coeff_token,
 *                       total_zeros or run_before code, a fixed-length
 *                       coeff_token with TrailingOnes above TotalCoeff, more
 *                       coefficients than the block holds, total_zeros above
 *                       maxNumCoeff - TotalCoeff, or level_prefix above 31;
 *   -8                  a needed table pointer is null.
 * On either the cursor is restored to its value on entry and nothing else
 * is written (*pTotalCoeff, the block and *ppCoeffs keep their values).
 * A run_before larger than zerosLeft counts as zerosLeft.
 */

/* Decodes one Exp-Golomb code (H.264 9.1): ue(v), or se(v) when the low byte
 * of isSigned is non-zero. Codes with more than 16 leading zeros are passed
 * over (2L + 1 bits) and give 0 with status 0; a codeNum above 65535 (16
 * leading zeros) is stored as its low 16 bits.
 * Checks: ppBitStream, pBitOffset, pDst or *ppBitStream null: -8;
 * *pBitOffset outside 0..31: -5. A code of 32 or more leading zeros is no
 * code: -74 with the cursor and *pDst unchanged. */
ZANVC_API ZanResult zaniDecodeExpGolombOne_H264_1u16s(const Zan32u** ppBitStream, Zan32s* pBitOffset, Zan16s* pDst,
                                                      int32_t isSigned);

/* As the 16-bit form with a 32-bit destination: codes of up to 31 leading
 * zeros are decoded (ue(v) values up to 4294967294 are stored as their
 * 32-bit pattern), and isSigned is tested as a whole. */
ZANVC_API ZanResult zaniDecodeExpGolombOne_H264_1u32s(const Zan32u** ppBitStream, Zan32s* pBitOffset, Zan32s* pDst,
                                                      int32_t isSigned);

/* Decodes the CAVLC residual of one 4x4 block (or its 15 AC coefficients)
 * into 16 coefficients in raster order at *ppCoeffs; the level of scan index
 * k goes to (*ppCoeffs)[pScan[k]], the first coded scan index being
 * 16 - maxNumCoeff. Levels are stored as their low 16 bits. *ppCoeffs
 * advances by 16 coefficients when TotalCoeff > 0.
 * nC: 0..7 select pCoeffTokenTables[0..2]; 8 and above the fixed-length code.
 * Checks, in order: ppBitStream, pBitOffset, pTotalCoeff, ppCoeffs,
 * pCoeffTokenTables, pTotalZerosTables, pRunBeforeTables, pScan,
 * *ppBitStream or *ppCoeffs null: -8; maxNumCoeff neither 16 nor 15: -11;
 * nC < 0: -11; a pScan entry outside 0..15: -11; *pBitOffset outside 0..31:
 * -5. Then the decode, with the errors listed above. */
ZANVC_API ZanResult zaniDecodeCAVLCCoeffs_H264_1u16s(const Zan32u** ppBitStream, Zan32s* pBitOffset,
                                                     Zan16s* pTotalCoeff, Zan16s** ppCoeffs, int32_t nC,
                                                     int32_t maxNumCoeff, const Zan32s* const* pCoeffTokenTables,
                                                     const Zan32s* const* pTotalZerosTables,
                                                     const Zan32s* const* pRunBeforeTables, const Zan32s* pScan);

/* As the 16-bit form with 32-bit coefficients (high bit depths); *ppCoeffs
 * advances by 16 coefficients (64 bytes). */
ZANVC_API ZanResult zaniDecodeCAVLCCoeffs_H264_1u32s(const Zan32u** ppBitStream, Zan32s* pBitOffset,
                                                     Zan16s* pTotalCoeff, Zan32s** ppCoeffs, int32_t nC,
                                                     int32_t maxNumCoeff, const Zan32s* const* pCoeffTokenTables,
                                                     const Zan32s* const* pTotalZerosTables,
                                                     const Zan32s* const* pRunBeforeTables, const Zan32s* pScan);

/* Decodes the CAVLC residual of the 2x2 chroma DC block of 4:2:0 (nC = -1,
 * up to 4 coefficients) into 4 coefficients at *ppCoeffs, scan index = raster
 * position; *ppCoeffs advances by 4 coefficients when TotalCoeff > 0.
 * pCoeffTokenTable is the nC = -1 coeff_token table, pTotalZerosTablesDC
 * indexed by TotalCoeff 1..3.
 * Checks, in order: ppBitStream, pBitOffset, pTotalCoeff, ppCoeffs,
 * pCoeffTokenTable, pTotalZerosTablesDC, pRunBeforeTables, *ppBitStream or
 * *ppCoeffs null: -8; *pBitOffset outside 0..31: -5. */
ZANVC_API ZanResult zaniDecodeCAVLCChromaDcCoeffs_H264_1u16s(const Zan32u** ppBitStream, Zan32s* pBitOffset,
                                                             Zan16s* pTotalCoeff, Zan16s** ppCoeffs,
                                                             const Zan32s* pCoeffTokenTable,
                                                             const Zan32s* const* pTotalZerosTablesDC,
                                                             const Zan32s* const* pRunBeforeTables);

ZANVC_API ZanResult zaniDecodeCAVLCChromaDcCoeffs_H264_1u32s(const Zan32u** ppBitStream, Zan32s* pBitOffset,
                                                             Zan16s* pTotalCoeff, Zan32s** ppCoeffs,
                                                             const Zan32s* pCoeffTokenTable,
                                                             const Zan32s* const* pTotalZerosTablesDC,
                                                             const Zan32s* const* pRunBeforeTables);

/* Decodes the CAVLC residual of the 2x4 chroma DC block of 4:2:2 (nC = -2,
 * up to 8 coefficients) into 8 coefficients, two per row, at *ppCoeffs: scan
 * index k goes to raster position {0, 2, 1, 4, 6, 3, 5, 7}[k]; *ppCoeffs
 * advances by 8 coefficients when TotalCoeff > 0. pTotalZerosTablesDC is
 * indexed by TotalCoeff 1..7. Checks as the 2x2 form. */
ZANVC_API ZanResult zaniDecodeCAVLCChroma422DcCoeffs_H264_1u16s(const Zan32u** ppBitStream, Zan32s* pBitOffset,
                                                                Zan16s* pTotalCoeff, Zan16s** ppCoeffs,
                                                                const Zan32s* pCoeffTokenTable,
                                                                const Zan32s* const* pTotalZerosTablesDC,
                                                                const Zan32s* const* pRunBeforeTables);

ZANVC_API ZanResult zaniDecodeCAVLCChroma422DcCoeffs_H264_1u32s(const Zan32u** ppBitStream, Zan32s* pBitOffset,
                                                                Zan16s* pTotalCoeff, Zan32s** ppCoeffs,
                                                                const Zan32s* pCoeffTokenTable,
                                                                const Zan32s* const* pTotalZerosTablesDC,
                                                                const Zan32s* const* pRunBeforeTables);

/* One position of the scan of zaniDecodeCAVLCCoeffsIdxs_H264_1u16s. */
typedef struct ZanCAVLCScanPos_H264 {
    Zan32s rasterPos; /* coefficient written, 0..63, counted from *ppCoeffs */
    Zan32s tag;       /* not read by the library (free for the caller) */
} ZanCAVLCScanPos_H264;

/* Decodes one CAVLC 4x4 residual block like zaniDecodeCAVLCCoeffs_H264_1u16s
 * (maxNumCoeff 16 or 15 as there) and places the level of scan index k
 * (0..15) at (*ppCoeffs)[pScan[scanFirst + scanStep * k].rasterPos]. Before
 * placing, the 16 coefficients named by scan indices 0..15 are cleared, and
 * no others are touched. *ppCoeffs advances by 16 coefficients (32 bytes)
 * when TotalCoeff > 0.
 * With a 4x4 scan, scanFirst 0 and scanStep 1 this is the plain form. For an
 * 8x8 transform block (transform_size_8x8_flag, H.264 7.3.5.3.2: coefficient
 * k of the 4x4 block i8 (0..3) is coefficient 4k + i8 of the 8x8 block) pass
 * the 64-position 8x8 scan, scanFirst = i8, scanStep = 4, and the same 8x8
 * block address as *ppCoeffs for each of the four calls (the pointer moves
 * after a coded block, so reset it between calls); clear the 8x8 block once
 * before the first call, since a block with TotalCoeff 0 writes nothing.
 * pScan must hold the records scanFirst + scanStep * k for k = 0..15.
 * Checks, in order: ppBitStream, pBitOffset, pTotalCoeff, ppCoeffs,
 * pCoeffTokenTables, pTotalZerosTables, pRunBeforeTables, pScan,
 * *ppBitStream or *ppCoeffs null: -8; maxNumCoeff neither 16 nor 15: -11;
 * nC < 0: -11; scanFirst < 0 or scanStep < 1: -11; a used record's
 * rasterPos outside 0..63: -11; *pBitOffset outside 0..31: -5. */
ZANVC_API ZanResult zaniDecodeCAVLCCoeffsIdxs_H264_1u16s(const Zan32u** ppBitStream, Zan32s* pBitOffset,
                                                         Zan16s* pTotalCoeff, Zan16s** ppCoeffs, int32_t nC,
                                                         int32_t maxNumCoeff,
                                                         const Zan32s* const* pCoeffTokenTables,
                                                         const Zan32s* const* pTotalZerosTables,
                                                         const Zan32s* const* pRunBeforeTables,
                                                         const ZanCAVLCScanPos_H264* pScan, int32_t scanFirst,
                                                         int32_t scanStep);

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
