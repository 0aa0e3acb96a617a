// H.264 CAVLC residual blocks (7.3.5.3.2 residual_block_cavlc, 9.2) and
// Exp-Golomb codes (9.1), written once and compiled twice: for baseline
// x86-64 (cavlc.cpp) and with BMI2/LZCNT (cavlc_avx2.cpp), where the
// variable shifts and the leading-zero counts of the bit cursor are single
// instructions. Internal linkage throughout (core/common.h).
//
// A block is decoded into a local record first (levels in decoding order,
// highest frequency first, with their scan indices); the caller's outputs
// are written only when the whole block decoded, so every error leaves the
// cursor at its entry value and the outputs untouched.
#pragma once

#include <cstdint>
#include <cstring>

#include "h264/bitstream.h"

namespace zan::cavlc {
namespace {

using bits::BitWindow;
using bits::WordCursor;

// Level decoding tables, indexed by suffixLength 0..6 and level_prefix 0..15.
// bitsToGetTbl16s: level_suffix size. suffixLength 0: 0 bits below prefix
// 14, 4 at 14, 12 at 15; suffixLength s >= 1: s bits below 15, 12 at 15.
// addOffsetTbl16s: base magnitude of the level. suffixLength 0: 1 below 14,
// 8 at 14, 16 at 15; s >= 1: 1 + (prefix << (s - 1)).
struct LevelTables {
    uint8_t bitsToGet[7][16];
    int16_t addOffset[7][16];
};

constexpr LevelTables make_level_tables() {
    LevelTables t{};
    for (int p = 0; p < 16; ++p) {
        t.bitsToGet[0][p] = uint8_t(p < 14 ? 0 : (p == 14 ? 4 : 12));
        t.addOffset[0][p] = int16_t(p < 14 ? 1 : (p == 14 ? 8 : 16));
        for (int s = 1; s < 7; ++s) {
            t.bitsToGet[s][p] = uint8_t(p < 15 ? s : 12);
            t.addOffset[s][p] = int16_t(1 + (p << (s - 1)));
        }
    }
    return t;
}

inline constexpr LevelTables kLevelTables = make_level_tables();
inline constexpr const auto& bitsToGetTbl16s = kLevelTables.bitsToGet;
inline constexpr const auto& addOffsetTbl16s = kLevelTables.addOffset;

// Escape addend of level_prefix >= 15 per suffixLength (the standard's
// levelCode += 15 when suffixLength is 0).
inline constexpr int sadd[7] = {15, 0, 0, 0, 0, 0, 0};

// suffixLength s (1..5) grows after a level whose magnitude exceeds
// vlc_inc[s] = 3 << (s - 1); from 0 it always moves on (see decode_levels).
inline constexpr int vlc_inc[6] = {0, 3, 6, 12, 24, 48};

// vlc_inc padded for suffixLength 0..6: index 0 is never used (suffixLength
// leaves 0 before the test) and 6 never grows.
inline constexpr uint32_t kSuffixThreshold[7] = {0, vlc_inc[1], vlc_inc[2], vlc_inc[3], vlc_inc[4], vlc_inc[5],
                                                 0xFFFFFFFFu};

// Scan index to raster position of the 2x4 chroma DC block of 4:2:2.
inline constexpr uint8_t ChromaDC422RasterScan[8] = {0, 2, 1, 4, 6, 3, 5, 7};

// Largest level_prefix decoded: its suffix (level_prefix - 3 bits) still
// fits one read and levelCode stays far inside 32 bits; any coefficient of a
// conforming stream, at any bit depth, needs far less.
inline constexpr int kMaxLevelPrefix = 31;

// One decoded block, before placement.
struct Block {
    int totalCoeff;
    int32_t level[16];   // levelVal, highest frequency first
    uint8_t scanIdx[16];  // scan index of level[i]
};

// Where the coeff_token comes from.
struct TokenSource {
    const int32_t* table;  // packed table, or null for the 6-bit fixed-length form
};

// Errors of the decode proper.
enum : ZanResult { kOk = ZAN_OK, kVlc = ZAN_ERR_VLC, kNull = ZAN_ERR_NULL_PTR };

// Leaf of a table lookup as an unsigned number (total_zeros, run_before);
// -1 for an invalid code.
ZAN_INLINE int32_t lookup_count(BitWindow& c, const int32_t* table) {
    const bits::Leaf leaf = bits::lookup(c, table);
    return leaf.valid && leaf.value >= 0 ? leaf.value : -1;
}

// coeff_token: TotalCoeff and TrailingOnes, checked against the block size.
ZAN_INLINE ZanResult decode_coeff_token(BitWindow& c, TokenSource src, int maxNumCoeff, int& totalCoeff,
                                        int& trailingOnes) {
    if (!src.table) {
        // nC >= 8: xxxxyy, TotalCoeff = xxxx + 1, TrailingOnes = yy; 000011
        // is TotalCoeff 0. Codes with TrailingOnes above TotalCoeff (000010,
        // 000111) are not in Table 9-5.
        const uint32_t code = c.read(6);
        if (code == 3) {
            totalCoeff = trailingOnes = 0;
            return kOk;
        }
        trailingOnes = int(code & 3);
        totalCoeff = int(code >> 2) + 1;
    } else {
        const bits::Leaf leaf = bits::lookup(c, src.table);
        if (!leaf.valid) return kVlc;
        trailingOnes = leaf.value & 0xFF;
        totalCoeff = (leaf.value >> 8) & 0xFF;
    }
    if (totalCoeff > maxNumCoeff || trailingOnes > 3 || trailingOnes > totalCoeff) return kVlc;
    return kOk;
}

// Levels T1 .. TotalCoeff-1 (H.264 9.2.2.1): level_prefix, level_suffix,
// levelCode and the suffixLength adaptation.
ZAN_INLINE ZanResult decode_levels(BitWindow& c, Block& b, int trailingOnes) {
    const int total = b.totalCoeff;
    int suffixLength = (total > 10 && trailingOnes < 3) ? 1 : 0;
    for (int i = trailingOnes; i < total; ++i) {
        const int a = (i == trailingOnes && trailingOnes < 3) ? 1 : 0;
        const uint32_t window = c.peek_msb(32);
        if (window == 0) return kVlc;  // level_prefix above 31
        const int prefix = bits::clz32(window);
        int32_t level;
        uint32_t magnitude;
        if (prefix < 16) {
            // prefix + 1 + n <= 28: the suffix is in the window.
            const int n = bitsToGetTbl16s[suffixLength][prefix];
            const uint32_t suffix = uint32_t(uint64_t(window << prefix << 1) >> (32 - n));
            const uint32_t v = n ? suffix : uint32_t(prefix);
            c.skip(prefix + 1 + n);
            magnitude = uint32_t(addOffsetTbl16s[suffixLength][prefix]) + (v >> 1) + uint32_t(a);
            level = (v & 1) ? -int32_t(magnitude) : int32_t(magnitude);
        } else {
            c.skip(prefix + 1);
            const uint32_t s = c.read(prefix - 3);
            const int32_t levelCode = sadd[suffixLength] + 2 * a + int32_t(1u << (prefix - 3)) +
                                      (15 << suffixLength) + int32_t(s) - 4096;
            level = (levelCode & 1) ? -((levelCode + 1) >> 1) : ((levelCode + 2) >> 1);
            magnitude = uint32_t(level < 0 ? -level : level);
        }
        b.level[i] = level;
        // From 0 always to 1, then up one after a level above vlc_inc (without
        // branches: the magnitudes are data).
        suffixLength += suffixLength == 0;
        suffixLength += magnitude > kSuffixThreshold[suffixLength];
    }
    return kOk;
}

// The whole residual_block_cavlc() up to the scan indices. startIdx is the
// first coded scan index (16 - maxNumCoeff for 4x4 blocks, 0 for chroma DC).
ZAN_INLINE ZanResult decode_block(BitWindow& c, TokenSource src, int maxNumCoeff, int startIdx,
                                  const int32_t* const* totalZerosTables, const int32_t* const* runBeforeTables,
                                  Block& b) {
    int trailingOnes;
    ZanResult r = decode_coeff_token(c, src, maxNumCoeff, b.totalCoeff, trailingOnes);
    if (r != kOk) return r;
    const int total = b.totalCoeff;
    if (total == 0) return kOk;

    // The trailing ones' signs, first read first; entries from TrailingOnes
    // on are overwritten by the levels.
    const uint32_t signs = c.read(trailingOnes) << (3 - trailingOnes);
    for (int i = 0; i < 3; ++i) b.level[i] = 1 - 2 * int32_t((signs >> (2 - i)) & 1);
    r = decode_levels(c, b, trailingOnes);
    if (r != kOk) return r;

    int zerosLeft = 0;
    if (total < maxNumCoeff) {
        const int32_t* t = totalZerosTables[total];
        if (!t) return kNull;
        zerosLeft = lookup_count(c, t);
        if (zerosLeft < 0 || zerosLeft > maxNumCoeff - total) return kVlc;
    }

    // Highest frequency first: level i lands zerosLeft + remaining - 1 scan
    // positions after startIdx, then run_before zeros precede it.
    for (int i = 0; i < total; ++i) {
        const int remaining = total - i;
        b.scanIdx[i] = uint8_t(startIdx + zerosLeft + remaining - 1);
        if (remaining >= 2 && zerosLeft >= 1) {
            const int32_t* t = runBeforeTables[zerosLeft];
            if (!t) return kNull;
            const int32_t run = lookup_count(c, t);
            if (run < 0) return kVlc;
            zerosLeft -= run < zerosLeft ? run : zerosLeft;
        }
    }
    return kOk;
}

// Coefficient stores: the 16-bit members keep the low 16 bits of a level.
template <class Coef>
ZAN_INLINE Coef to_coef(int32_t level) {
    return static_cast<Coef>(static_cast<uint32_t>(level));
}

// Reads the caller's cursor, with the offset check of the bit cursor.
ZAN_INLINE bool load_cursor(const Zan32u* const* ppBitStream, const Zan32s* pBitOffset, WordCursor& c) {
    if (uint32_t(*pBitOffset) > 31) return false;
    c.p = *ppBitStream;
    c.n = *pBitOffset;
    return true;
}

ZAN_INLINE void store_cursor(const Zan32u** ppBitStream, Zan32s* pBitOffset, const WordCursor& c) {
    *ppBitStream = c.p;
    *pBitOffset = c.n;
}

// ---------------------------------------------------------------------------
// The exports' bodies
// ---------------------------------------------------------------------------

// Exp-Golomb (9.1): L leading zeros, a 1, L info bits; codeNum =
// 2^L - 1 + info. Codes longer than MaxLen are passed over and give 0.
template <class Dst, int MaxLen>
ZAN_INLINE ZanResult exp_golomb(const Zan32u** ppBitStream, Zan32s* pBitOffset, Dst* pDst, bool isSigned) {
    if (!ppBitStream || !pBitOffset || !pDst || !*ppBitStream) return ZAN_ERR_NULL_PTR;
    WordCursor c;
    if (!load_cursor(ppBitStream, pBitOffset, c)) return ZAN_ERR_BAD_ARG;
    const uint32_t window = c.peek_msb(32);
    if (window == 0) return ZAN_ERR_VLC;  // 32 or more leading zeros: no code
    const int L = bits::clz32(window);
    c.skip(L + 1);
    Dst value = 0;
    if (L <= MaxLen) {
        const uint32_t info = L ? c.read(L) : 0;
        const uint32_t codeNum = (uint32_t(1) << L) - 1 + info;
        if (!isSigned) {
            value = static_cast<Dst>(codeNum);
        } else {
            const uint32_t k = uint32_t((uint64_t(codeNum) + 1) >> 1);
            value = static_cast<Dst>((codeNum & 1) ? k : 0u - k);
        }
    } else {
        c.skip_long(L);
    }
    *pDst = value;
    store_cursor(ppBitStream, pBitOffset, c);
    return ZAN_OK;
}

// Null checks shared by the block decoders (pointers first, then the two
// pointers held in pointer arguments).
template <class... P>
ZAN_INLINE bool any_null(const P*... p) {
    return ((p == nullptr) || ...);
}

// Decodes with a local cursor and writes the cursor and TotalCoeff back on
// success; place(block) stores the coefficients and moves the write pointer.
template <class Place>
ZAN_INLINE ZanResult run_block(const Zan32u** ppBitStream, Zan32s* pBitOffset, Zan16s* pTotalCoeff, WordCursor c,
                               TokenSource src, int maxNumCoeff, int startIdx, const Zan32s* const* tz,
                               const Zan32s* const* rb, Place place) {
    Block b;
    BitWindow window(c);
    const ZanResult r = decode_block(window, src, maxNumCoeff, startIdx, tz, rb, b);
    if (r != kOk) return r;
    c = window.cursor();
    if (b.totalCoeff) place(b);
    *pTotalCoeff = Zan16s(b.totalCoeff);
    store_cursor(ppBitStream, pBitOffset, c);
    return ZAN_OK;
}

// The range checks of the 4x4 forms, after their null checks.
ZAN_INLINE ZanResult check_4x4(int32_t nC, int32_t maxNumCoeff) {
    if (maxNumCoeff != 16 && maxNumCoeff != 15) return ZAN_ERR_OUT_OF_RANGE;
    if (nC < 0) return ZAN_ERR_OUT_OF_RANGE;
    return ZAN_OK;
}

// The 4x4 forms after their argument checks but the offset: pos[k] is the
// coefficient of scan index k (a checked scan or a checked copy). The plain form clears the whole block, the
// scan-record form only the 16 positions it owns.
template <class Coef, bool kClearWhole, class Pos>
ZAN_INLINE ZanResult decode_4x4(const Zan32u** ppBitStream, Zan32s* pBitOffset, Zan16s* pTotalCoeff, Coef** ppCoeffs,
                                int32_t nC, int32_t maxNumCoeff, const Zan32s* const* pCoeffTokenTables,
                                const Zan32s* const* pTotalZerosTables, const Zan32s* const* pRunBeforeTables,
                                const Pos& pos) {
    WordCursor c;
    if (!load_cursor(ppBitStream, pBitOffset, c)) return ZAN_ERR_BAD_ARG;
    TokenSource src{nullptr};  // nC >= 8: the fixed-length form
    if (nC < 8) {
        src.table = pCoeffTokenTables[nC < 2 ? 0 : (nC < 4 ? 1 : 2)];
        if (!src.table) return ZAN_ERR_NULL_PTR;
    }
    return run_block(ppBitStream, pBitOffset, pTotalCoeff, c, src, maxNumCoeff, 16 - maxNumCoeff,
                     pTotalZerosTables, pRunBeforeTables, [&](const Block& b) {
                         Coef* dst = *ppCoeffs;
                         if (kClearWhole) {
                             std::memset(dst, 0, 16 * sizeof(Coef));
                         } else {
                             for (int k = 0; k < 16; ++k) dst[pos[k]] = 0;
                         }
                         for (int i = 0; i < b.totalCoeff; ++i) dst[pos[b.scanIdx[i]]] = to_coef<Coef>(b.level[i]);
                         *ppCoeffs = dst + 16;
                     });
}

// 4x4 blocks (16 or 15 coefficients) placed through a 16-entry scan.
template <class Coef>
ZAN_INLINE ZanResult coeffs4x4(const Zan32u** ppBitStream, Zan32s* pBitOffset, Zan16s* pTotalCoeff,
                               Coef** ppCoeffs, int32_t nC, int32_t maxNumCoeff, const Zan32s* const* pCoeffTokenTables,
                               const Zan32s* const* pTotalZerosTables, const Zan32s* const* pRunBeforeTables,
                               const Zan32s* pScan) {
    if (any_null(ppBitStream, pBitOffset, pTotalCoeff, ppCoeffs, pCoeffTokenTables, pTotalZerosTables,
                 pRunBeforeTables, pScan) ||
        !*ppBitStream || !*ppCoeffs)
        return ZAN_ERR_NULL_PTR;
    if (const ZanResult r = check_4x4(nC, maxNumCoeff)) return r;
    uint32_t outOfBlock = 0;
    for (int k = 0; k < 16; ++k) outOfBlock |= uint32_t(pScan[k]) & ~15u;
    if (outOfBlock) return ZAN_ERR_OUT_OF_RANGE;
    return decode_4x4<Coef, true>(ppBitStream, pBitOffset, pTotalCoeff, ppCoeffs, nC, maxNumCoeff, pCoeffTokenTables,
                                  pTotalZerosTables, pRunBeforeTables, pScan);
}

// 4x4 blocks placed through scan records, for interleaved (8x8) layouts.
ZAN_INLINE ZanResult coeffs_idxs(const Zan32u** ppBitStream, Zan32s* pBitOffset, Zan16s* pTotalCoeff,
                                 Zan16s** ppCoeffs, int32_t nC, int32_t maxNumCoeff,
                                 const Zan32s* const* pCoeffTokenTables, const Zan32s* const* pTotalZerosTables,
                                 const Zan32s* const* pRunBeforeTables, const ZanCAVLCScanPos_H264* pScan,
                                 int32_t scanFirst, int32_t scanStep) {
    if (any_null(ppBitStream, pBitOffset, pTotalCoeff, ppCoeffs, pCoeffTokenTables, pTotalZerosTables,
                 pRunBeforeTables, pScan) ||
        !*ppBitStream || !*ppCoeffs)
        return ZAN_ERR_NULL_PTR;
    if (const ZanResult r = check_4x4(nC, maxNumCoeff)) return r;
    if (scanFirst < 0 || scanStep < 1) return ZAN_ERR_OUT_OF_RANGE;
    uint8_t pos[16];
    for (int k = 0; k < 16; ++k) {
        const Zan32s p = pScan[int64_t(scanFirst) + int64_t(scanStep) * k].rasterPos;
        if (uint32_t(p) > 63) return ZAN_ERR_OUT_OF_RANGE;
        pos[k] = uint8_t(p);
    }
    return decode_4x4<Zan16s, false>(ppBitStream, pBitOffset, pTotalCoeff, ppCoeffs, nC, maxNumCoeff,
                                     pCoeffTokenTables, pTotalZerosTables, pRunBeforeTables, pos);
}

// Chroma DC: 2x2 (4:2:0, scan index = raster position) or 2x4 (4:2:2).
template <class Coef, int N>
ZAN_INLINE ZanResult chroma_dc(const Zan32u** ppBitStream, Zan32s* pBitOffset, Zan16s* pTotalCoeff, Coef** ppCoeffs,
                               const Zan32s* pCoeffTokenTable, const Zan32s* const* pTotalZerosTablesDC,
                               const Zan32s* const* pRunBeforeTables) {
    static_assert(N == 4 || N == 8);
    if (any_null(ppBitStream, pBitOffset, pTotalCoeff, ppCoeffs, pCoeffTokenTable, pTotalZerosTablesDC,
                 pRunBeforeTables) ||
        !*ppBitStream || !*ppCoeffs)
        return ZAN_ERR_NULL_PTR;
    WordCursor c;
    if (!load_cursor(ppBitStream, pBitOffset, c)) return ZAN_ERR_BAD_ARG;
    return run_block(ppBitStream, pBitOffset, pTotalCoeff, c, TokenSource{pCoeffTokenTable}, N, 0,
                     pTotalZerosTablesDC, pRunBeforeTables, [&](const Block& b) {
                         Coef* dst = *ppCoeffs;
                         std::memset(dst, 0, N * sizeof(Coef));
                         for (int i = 0; i < b.totalCoeff; ++i) {
                             const int pos = N == 4 ? b.scanIdx[i] : ChromaDC422RasterScan[b.scanIdx[i]];
                             dst[pos] = to_coef<Coef>(b.level[i]);
                         }
                         *ppCoeffs = dst + N;
                     });
}

}  // namespace
}  // namespace zan::cavlc
