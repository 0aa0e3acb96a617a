// H.264 CAVLC and Exp-Golomb decoding: the word bit cursor, worked examples
// of the standard, round trips through an independent writer (every nC
// class, both chroma DC forms, escapes, TotalCoeff 16, maxNumCoeff 15), the
// packed tables against the standard's text tables, invalid codes and
// argument checks, and the portable and AVX2 kernels against each other.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "h264/bitstream.h"
#include "h264/cavlc_writer.h"
#include "h264_cavlc_tables.h"
#include "support/checkasm.h"

namespace {

using cavlc_writer::BitWriter;
using cavlc_writer::Kind;
using zanvc_ex::H264CavlcTables;

constexpr Zan32s kZigzag4x4[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};
constexpr Zan32s kField4x4[16] = {0, 4, 1, 8, 12, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15};
constexpr int kChromaDC422RasterScan[8] = {0, 2, 1, 4, 6, 3, 5, 7};

std::vector<uint32_t> words_of(const std::string& bits, int pad = 2) {
    BitWriter w;
    w.put_code(bits.c_str());
    return w.words(pad);
}

const H264CavlcTables& T() { return H264CavlcTables::Get(); }

// The three ways to reach each export: the public entry, the portable
// implementation and the AVX2 kernel (when the machine has AVX2).
template <class Fn>
std::vector<std::pair<const char*, Fn*>> variants(Fn* entry, Fn* c, Fn* avx2) {
    std::vector<std::pair<const char*, Fn*>> v = {{"entry", entry}, {"c", c}};
    if (zt::have_avx2()) v.push_back({"avx2", avx2});
    return v;
}
#define ZT_VARIANTS(name) variants(&::name, &zan::c::name, &zan::avx2::name)

// ---------------------------------------------------------------------------
// Word bit cursor
// ---------------------------------------------------------------------------

TEST(H264BitCursor, ReadsCrossOneWordAndGiveBackStepsBack) {
    const uint32_t w[3] = {0x80000001u, 0xC0000000u, 0xFFFFFFFFu};
    zan::bits::WordCursor c{w, 0};
    EXPECT_EQ(c.read(1), 1u);  // offset 0: bit 0, then the next word at 31
    EXPECT_EQ(c.p, w + 1);
    EXPECT_EQ(c.n, 31);
    c.give_back(1);  // back across the boundary
    EXPECT_EQ(c.p, w);
    EXPECT_EQ(c.n, 0);
    EXPECT_EQ(c.read(3), 0b111u);  // bit 0 of w[0], top two bits of w[1]
    EXPECT_EQ(c.n, 29);
    c = {w, 31};
    EXPECT_EQ(c.read(32), 0x80000001u);  // a whole word
    EXPECT_EQ(c.p, w + 1);
    EXPECT_EQ(c.n, 31);
    c = {w, 5};
    EXPECT_EQ(c.peek(8), 0b00000111u);  // bits 5..0 of w[0], two of w[1]
    c.skip_long(70);
    EXPECT_EQ(c.bit_pos(w), 26 + 70);
}

TEST(H264BitCursor, PeekLoadsTheNextWordOnlyWhenNeeded) {
    // The cursor sits on the last word of an exact-size heap buffer: peeks
    // that fit the word must not load past it (AddressSanitizer checks).
    std::vector<uint32_t> v(1, 0x12345678u);
    zan::bits::WordCursor c{v.data(), 31};
    EXPECT_EQ(c.peek_msb(32), 0x12345678u);
    c.n = 7;
    EXPECT_EQ(c.peek(8), 0x78u);
}

TEST(H264BitCursor, WindowMatchesCursorWithinTheLookAheadBound) {
    // Random reads through both forms agree; the words are copied into a
    // buffer that ends with the word holding the bit 31 past the end of the
    // reads, so AddressSanitizer catches a window that loads further.
    zt::Rng rng;
    std::vector<uint32_t> src(64);
    for (int round = 0; round < 300; ++round) {
        for (uint32_t& w : src) w = rng.u32();
        std::vector<int> ks(size_t(rng.range(1, 40)));
        int64_t total = 0;
        for (int& k : ks) total += (k = rng.range(0, 32));
        const int start = rng.range(0, 31);
        const int64_t end = start + total + 31;  // last bit the window may load
        std::vector<uint32_t> exact(src.begin(), src.begin() + end / 32 + 1);
        zan::bits::WordCursor c{src.data(), 31 - start};
        zan::bits::BitWindow w(zan::bits::WordCursor{exact.data(), 31 - start});
        for (int k : ks) {
            ASSERT_EQ(w.peek_msb(32), c.peek_msb(32));
            ASSERT_EQ(w.read(k), k ? c.read(k) : 0u);
            const zan::bits::WordCursor back = w.cursor();
            ASSERT_EQ(back.p - exact.data(), c.p - src.data());
            ASSERT_EQ(back.n, c.n);
        }
    }
}

TEST(H264BitCursor, PackedLookupGivesBackAndRejects) {
    // "1" -> 5, "01" -> 7, "00" unassigned: {2, invalid, 7, 5, 5}.
    const int32_t table[5] = {2, zanvc_ex::kPackedInvalidEntry, 0x700, 0x501, 0x501};
    const uint32_t w[2] = {0xA0000000u, 0};  // 1 01 00...
    zan::bits::WordCursor c{w, 31};
    auto leaf = zan::bits::lookup(c, table);
    EXPECT_TRUE(leaf.valid);
    EXPECT_EQ(leaf.value, 5);
    EXPECT_EQ(c.n, 30);
    leaf = zan::bits::lookup(c, table);
    EXPECT_EQ(leaf.value, 7);
    EXPECT_EQ(c.n, 28);
    leaf = zan::bits::lookup(c, table);
    EXPECT_FALSE(leaf.valid);
    EXPECT_EQ(c.n, 28);  // cursor left in place
    // A give-back above the level's width or a self-link cannot move the
    // cursor backwards or loop.
    const int32_t bad[3] = {1, 0x503, 0x80};
    c = {w, 31};
    EXPECT_FALSE(zan::bits::lookup(c, bad).valid);
    c = {w + 1, 31};
    EXPECT_FALSE(zan::bits::lookup(c, bad).valid);
    EXPECT_EQ(c.n, 31);
}

// ---------------------------------------------------------------------------
// Exp-Golomb
// ---------------------------------------------------------------------------

TEST(H264ExpGolomb, WorkedExamples) {
    struct Case {
        const char* bits;
        int32_t ue, se;
    } cases[] = {{"1", 0, 0}, {"010", 1, 1}, {"011", 2, -1}, {"00100", 3, 2}, {"00111", 6, -3},
                 {"0001000", 7, 4}, {"000000011111111", 254, -127}};
    for (auto [name, fn] : ZT_VARIANTS(zaniDecodeExpGolombOne_H264_1u16s))
        for (const Case& k : cases)
            for (int isSigned = 0; isSigned < 2; ++isSigned) {
                const auto w = words_of(k.bits);
                const Zan32u* p = w.data();
                Zan32s off = 31;
                Zan16s v = 99;
                ASSERT_EQ(fn(&p, &off, &v, isSigned), ZAN_OK) << name << " " << k.bits;
                EXPECT_EQ(v, isSigned ? k.se : k.ue) << name << " " << k.bits;
                EXPECT_EQ(p, w.data());
                EXPECT_EQ(off, 31 - int(std::strlen(k.bits)));
            }
    // Offset 0 on entry: the code "1" is bit 0; the cursor moves to the next word.
    const uint32_t w2[2] = {1u, 0};
    for (auto [name, fn] : ZT_VARIANTS(zaniDecodeExpGolombOne_H264_1u32s)) {
        const Zan32u* p = w2;
        Zan32s off = 0, v = 5;
        ASSERT_EQ(fn(&p, &off, &v, 0), ZAN_OK);
        EXPECT_EQ(v, 0);
        EXPECT_EQ(p, w2 + 1);
        EXPECT_EQ(off, 31);
    }
}

TEST(H264ExpGolomb, RandomCodesBackToBack) {
    zt::Rng rng;
    for (int round = 0; round < 20; ++round) {
        BitWriter w;
        const int lead = rng.range(0, 31);
        w.zeros(lead);
        std::vector<int64_t> values;
        std::vector<int> isSigned;
        for (int i = 0; i < 200; ++i) {
            const int bitsWide = rng.range(0, 31);
            const uint32_t mag = bitsWide ? (rng.u32() >> (32 - bitsWide)) : 0;
            const bool s = rng.coin();
            if (s) {
                const int32_t v = int32_t(mag >> 1) * (rng.coin() ? -1 : 1);
                cavlc_writer::put_se(w, v);
                values.push_back(v);
            } else {
                const uint32_t v = mag == 0xFFFFFFFFu ? mag - 1 : mag;
                cavlc_writer::put_ue(w, v);
                values.push_back(v);
            }
            isSigned.push_back(s);
        }
        const auto words = w.words();
        for (auto [name, fn] : ZT_VARIANTS(zaniDecodeExpGolombOne_H264_1u32s)) {
            const Zan32u* p = words.data() + lead / 32;
            Zan32s off = 31 - lead % 32;
            for (size_t i = 0; i < values.size(); ++i) {
                Zan32s v = 0;
                ASSERT_EQ(fn(&p, &off, &v, isSigned[i] ? 7 : 0), ZAN_OK);
                ASSERT_EQ(v, Zan32s(uint32_t(values[i]))) << name << " code " << i;
            }
            EXPECT_EQ(int64_t(p - words.data()) * 32 + 31 - off, w.pos()) << name;
        }
        // The 16-bit member: the low 16 bits of codes of up to 16 leading
        // zeros (codeNum below 2^17 - 1), 0 for longer ones, same cursor.
        for (auto [name, fn] : ZT_VARIANTS(zaniDecodeExpGolombOne_H264_1u16s)) {
            const Zan32u* p = words.data() + lead / 32;
            Zan32s off = 31 - lead % 32;
            for (size_t i = 0; i < values.size(); ++i) {
                Zan16s v = 0;
                ASSERT_EQ(fn(&p, &off, &v, isSigned[i]), ZAN_OK);
                const uint64_t codeNum = isSigned[i] ? (values[i] > 0 ? 2 * values[i] - 1 : -2 * values[i])
                                                     : uint64_t(values[i]);
                const Zan16s want = codeNum + 1 < (uint64_t(1) << 17) ? Zan16s(uint32_t(values[i])) : Zan16s(0);
                ASSERT_EQ(v, want) << name << " code " << i;
            }
            EXPECT_EQ(int64_t(p - words.data()) * 32 + 31 - off, w.pos()) << name;
        }
    }
}

TEST(H264ExpGolomb, LongCodesPassedOverNoCodeRejectedAndChecks) {
    // L leading zeros, a 1 and L info bits ending in 11: the 16-bit member
    // decodes L <= 16 and passes over L = 17..31; 32 zeros are no code.
    for (int L = 15; L <= 32; ++L) {
        BitWriter w;
        w.zeros(L);
        w.put(1, 1);
        w.put(3, std::min(L, 31));
        const auto words = w.words();
        for (auto [name, fn] : ZT_VARIANTS(zaniDecodeExpGolombOne_H264_1u16s)) {
            const Zan32u* p = words.data();
            Zan32s off = 31;
            Zan16s v = 77;
            const ZanResult r = fn(&p, &off, &v, 0x100);  // only the low byte of isSigned counts
            EXPECT_EQ(r, L == 32 ? ZAN_ERR_VLC : ZAN_OK) << name << " L " << L;
            EXPECT_EQ(v, L == 32 ? 77 : (L <= 16 ? Zan16s(uint32_t((1u << L) + 2)) : 0)) << name << " L " << L;
            EXPECT_EQ(int64_t(p - words.data()) * 32 + 31 - off, L == 32 ? 0 : 2 * L + 1) << name << " L " << L;
        }
    }
    BitWriter m;
    cavlc_writer::put_ue(m, 0xFFFFFFFEu);  // the largest code: 31 leading zeros
    const auto mw = m.words();
    for (auto [name, fn] : ZT_VARIANTS(zaniDecodeExpGolombOne_H264_1u32s)) {
        for (int32_t isSigned : {0, 0x100}) {  // tested as a whole
            const Zan32u* p = mw.data();
            Zan32s off = 31, v = 0;
            ASSERT_EQ(fn(&p, &off, &v, isSigned), ZAN_OK);
            EXPECT_EQ(v, isSigned ? -2147483647 : Zan32s(0xFFFFFFFEu)) << name;
        }
        // Null pointers before the offset; nothing written on failure.
        const Zan32u* p = mw.data();
        const Zan32u* nullStream = nullptr;
        Zan32s off = 40, v = 123;
        EXPECT_EQ(fn(nullptr, &off, &v, 0), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(&p, nullptr, &v, 0), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(&p, &off, nullptr, 0), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(&nullStream, &off, &v, 0), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(&p, &off, &v, 0), ZAN_ERR_BAD_ARG);
        off = -1;
        EXPECT_EQ(fn(&p, &off, &v, 0), ZAN_ERR_BAD_ARG);
        EXPECT_EQ(v, 123);
        EXPECT_EQ(p, mw.data());
        EXPECT_EQ(off, -1);
    }
}

// ---------------------------------------------------------------------------
// CAVLC: the decoders behind one calling form
// ---------------------------------------------------------------------------

// A block kind with its decoder, as one calling form over 32-bit results.
struct Decoder {
    Kind kind;
    bool wide;    // 32-bit coefficients
    bool idxs;    // the scan-record member
    int variant;  // 0 entry, 1 portable, 2 AVX2
};

// Calls the decoder; coefficients land in `blk` (the write pointer starts
// at blk + start), returned are the status and the pointer's advance.
struct CallResult {
    ZanResult status;
    ptrdiff_t advance;
};

CallResult call(const Decoder& d, const Zan32u** pp, Zan32s* off, Zan16s* tc, void* blk, int nC, int maxNumCoeff,
                const Zan32s* scan, const ZanCAVLCScanPos_H264* recs = nullptr, int first = 0, int step = 1,
                const Zan32s* const* tok = nullptr, const Zan32s* const* tz = nullptr,
                const Zan32s* const* rb = nullptr) {
    const int v = d.variant;
    if (!rb) rb = T().RunBefore();
    ZanCAVLCScanPos_H264 fromScan[16];
    if (!recs && scan) {
        for (int k = 0; k < 16; ++k) fromScan[k] = {scan[k], 0};
        recs = fromScan;
    }
#define ZT_PICK(name) (v == 0 ? &::name : (v == 1 ? &zan::c::name : &zan::avx2::name))
    if (d.kind == Kind::Block4x4) {
        if (!tok) tok = T().CoeffToken();
        if (!tz) tz = T().TotalZeros();
        if (d.idxs) {
            Zan16s* p = static_cast<Zan16s*>(blk);
            const ZanResult r = ZT_PICK(zaniDecodeCAVLCCoeffsIdxs_H264_1u16s)(pp, off, tc, &p, nC, maxNumCoeff, tok, tz,
                                                                               rb, recs, first, step);
            return {r, p - static_cast<Zan16s*>(blk)};
        }
        if (d.wide) {
            Zan32s* p = static_cast<Zan32s*>(blk);
            const ZanResult r =
                ZT_PICK(zaniDecodeCAVLCCoeffs_H264_1u32s)(pp, off, tc, &p, nC, maxNumCoeff, tok, tz, rb, scan);
            return {r, p - static_cast<Zan32s*>(blk)};
        }
        Zan16s* p = static_cast<Zan16s*>(blk);
        const ZanResult r =
            ZT_PICK(zaniDecodeCAVLCCoeffs_H264_1u16s)(pp, off, tc, &p, nC, maxNumCoeff, tok, tz, rb, scan);
        return {r, p - static_cast<Zan16s*>(blk)};
    }
    const bool dc2 = d.kind == Kind::ChromaDc2x2;
    const Zan32s* tok1 = tok ? tok[0] : (dc2 ? T().CoeffTokenChromaDc() : T().CoeffTokenChromaDc422());
    if (!tz) tz = dc2 ? T().TotalZerosChromaDc() : T().TotalZerosChromaDc422();
    if (d.wide) {
        Zan32s* p = static_cast<Zan32s*>(blk);
        const ZanResult r = dc2 ? ZT_PICK(zaniDecodeCAVLCChromaDcCoeffs_H264_1u32s)(pp, off, tc, &p, tok1, tz, rb)
                                : ZT_PICK(zaniDecodeCAVLCChroma422DcCoeffs_H264_1u32s)(pp, off, tc, &p, tok1, tz, rb);
        return {r, p - static_cast<Zan32s*>(blk)};
    }
    Zan16s* p = static_cast<Zan16s*>(blk);
    const ZanResult r = dc2 ? ZT_PICK(zaniDecodeCAVLCChromaDcCoeffs_H264_1u16s)(pp, off, tc, &p, tok1, tz, rb)
                            : ZT_PICK(zaniDecodeCAVLCChroma422DcCoeffs_H264_1u16s)(pp, off, tc, &p, tok1, tz, rb);
    return {r, p - static_cast<Zan16s*>(blk)};
#undef ZT_PICK
}

std::vector<Decoder> all_decoders() {
    std::vector<Decoder> v;
    const int variants = zt::have_avx2() ? 3 : 2;
    for (int var = 0; var < variants; ++var) {
        for (Kind k : {Kind::Block4x4, Kind::ChromaDc2x2, Kind::ChromaDc2x4})
            for (bool wide : {false, true}) v.push_back({k, wide, false, var});
        v.push_back({Kind::Block4x4, false, true, var});
    }
    return v;
}

std::string describe(const Decoder& d) {
    const char* k = d.kind == Kind::Block4x4 ? "4x4" : (d.kind == Kind::ChromaDc2x2 ? "dc2x2" : "dc2x4");
    return std::string(k) + (d.wide ? "/32s" : "/16s") + (d.idxs ? "/idxs" : "") +
           (d.variant == 0 ? "/entry" : (d.variant == 1 ? "/c" : "/avx2"));
}

int block_size(Kind k) { return k == Kind::Block4x4 ? 16 : (k == Kind::ChromaDc2x2 ? 4 : 8); }

// Random coefficients for one block, in scan order: sparse or dense, small
// levels mostly, with ones (trailing ones), medium levels and escapes.
void random_list(zt::Rng& rng, int32_t* list, int n, int32_t maxLevel) {
    const int style = rng.range(0, 9);
    const int density = style == 0 ? 0 : (style < 3 ? 100 : rng.range(5, 60));
    for (int k = 0; k < n; ++k) {
        list[k] = 0;
        if (rng.range(0, 99) >= density) continue;
        const int kind = rng.range(0, 99);
        int32_t mag;
        if (kind < 45) mag = 1;
        else if (kind < 80) mag = rng.range(2, 6);
        else if (kind < 93) mag = rng.range(7, 200);
        else if (kind < 97) mag = rng.range(200, 3000);
        else mag = rng.range(3000, maxLevel);
        list[k] = rng.coin() ? -mag : mag;
    }
}

// ---------------------------------------------------------------------------
// CAVLC worked examples
// ---------------------------------------------------------------------------

TEST(H264Cavlc, WorkedExampleOfTheStandardsCodes) {
    // Block (raster) 0 3 -1 0 / 0 -1 1 0 / 1 0 0 0 / 0 0 0 0, zig-zag:
    // 0 3 0 1 -1 -1 0 1. coeff_token (TrailingOnes 3, TotalCoeff 5, nC 0)
    // 0000100, signs 011, levels 1 (prefix 0: "1") and 3 (suffixLength 1:
    // "0010"), total_zeros 3 "111", runs 1 "10", 0 "1", 0 "1", 1 "01".
    const auto w = words_of("000010001110010111101101");
    const Zan16s want[16] = {0, 3, -1, 0, 0, -1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0};
    for (const Decoder& d : all_decoders()) {
        if (d.kind != Kind::Block4x4 || d.wide || d.idxs) continue;
        Zan16s blk[16];
        std::memset(blk, 0x55, sizeof blk);
        const Zan32u* p = w.data();
        Zan32s off = 31;
        Zan16s tc = -1;
        const CallResult r = call(d, &p, &off, &tc, blk, 1, 16, kZigzag4x4);
        ASSERT_EQ(r.status, ZAN_OK) << describe(d);
        EXPECT_EQ(tc, 5);
        EXPECT_EQ(r.advance, 16);
        EXPECT_TRUE(zt::same_array(blk, want, 16)) << describe(d);
        EXPECT_EQ(off, 31 - 24);
    }
}

TEST(H264Cavlc, FifteenCoefficientBlocksStartAtScanIndexOne) {
    // coeff_token "01" (one trailing one, nC 0), sign "1", total_zeros 0 "1":
    // a -1 at scan index 0 of the coded coefficients, which is scan index 1
    // (raster 4 in the field scan) in an AC block and 0 in a 4x4 block.
    const auto w = words_of("0111");
    for (const Decoder& d : all_decoders()) {
        if (d.kind != Kind::Block4x4) continue;
        for (int maxNumCoeff : {15, 16}) {
            Zan32s blk[16];
            const Zan32u* p = w.data();
            Zan32s off = 31;
            Zan16s tc = 0;
            ASSERT_EQ(call(d, &p, &off, &tc, blk, 0, maxNumCoeff, kField4x4).status, ZAN_OK) << describe(d);
            for (int r = 0; r < 16; ++r) {
                const int32_t got = d.wide ? blk[r] : reinterpret_cast<Zan16s*>(blk)[r];
                EXPECT_EQ(got, r == (maxNumCoeff == 15 ? 4 : 0) ? -1 : 0) << describe(d) << " raster " << r;
            }
        }
    }
}

TEST(H264Cavlc, FixedLengthTokenOfNoCoefficientsWritesOnlyTotalCoeff) {
    const auto w = words_of("000011");
    for (const Decoder& d : all_decoders()) {
        if (d.kind != Kind::Block4x4) continue;
        Zan32s blk[16];
        zt::Sentinel s(blk, sizeof blk);
        const Zan32u* p = w.data();
        Zan32s off = 31;
        Zan16s tc = -1;
        const CallResult r = call(d, &p, &off, &tc, blk, 8, 16, kZigzag4x4);
        ASSERT_EQ(r.status, ZAN_OK) << describe(d);
        EXPECT_EQ(tc, 0);
        EXPECT_EQ(r.advance, 0);
        EXPECT_TRUE(s.untouched()) << describe(d);
        EXPECT_EQ(off, 25);
    }
}

TEST(H264Cavlc, EscapeLevelsAtEverySuffixLength) {
    // level_prefix 14 and 15 at suffixLength 0, level_prefix 15 and 16..
    // (escapes) at suffixLength 1..6, as single-level blocks and after
    // levels that raise suffixLength step by step.
    zt::Rng rng;
    const int32_t ladders[][6] = {{2, 4, 7, 13, 25, 49}, {3, 1, 1, 1, 1, 1}};
    for (int32_t big : {8, 15, 16, 29, 30, 500, 2063, 4095, 4200, 8300, 32767, 70000, 1 << 20, (1 << 27) + 5}) {
        for (int ladder = 0; ladder < 3; ++ladder) {  // 2: the big level alone, at suffixLength 0
            int32_t list[16] = {};
            for (int k = 0; k < 6 && ladder < 2; ++k) list[15 - k] = ladders[ladder][k] * (rng.coin() ? 1 : -1);
            list[3] = rng.coin() ? big : -big;
            BitWriter w;
            cavlc_writer::put_block(w, Kind::Block4x4, 0, list, 16);
            const auto words = w.words();
            for (const Decoder& d : all_decoders()) {
                if (d.kind != Kind::Block4x4) continue;
                Zan32s blk[16] = {};
                const Zan32u* p = words.data();
                Zan32s off = 31;
                Zan16s tc = 0;
                ASSERT_EQ(call(d, &p, &off, &tc, blk, 0, 16, kZigzag4x4).status, ZAN_OK) << describe(d);
                for (int k = 0; k < 16; ++k) {
                    const int32_t got = d.wide ? blk[kZigzag4x4[k]] : reinterpret_cast<Zan16s*>(blk)[kZigzag4x4[k]];
                    const int32_t want = d.wide ? list[k] : Zan16s(uint32_t(list[k]));
                    ASSERT_EQ(got, want) << describe(d) << " big " << big << " k " << k;
                }
                EXPECT_EQ(int64_t(p - words.data()) * 32 + 31 - off, w.pos());
            }
        }
    }
}

// ---------------------------------------------------------------------------
// CAVLC round trips through the independent writer
// ---------------------------------------------------------------------------

struct Coded {
    int nC, maxNumCoeff, totalCoeff;
    int32_t list[16];
    int64_t endBit;
};

// Blocks of one kind back to back from a random bit offset; the decoder must
// reproduce coefficients, TotalCoeff, pointer advance and cursor.
void round_trip(const Decoder& d, zt::Rng& rng, const Zan32s* scan, int blocks) {
    const int n = block_size(d.kind);
    BitWriter w;
    const int lead = rng.range(0, 95);
    w.zeros(lead);
    std::vector<Coded> coded = std::vector<Coded>(size_t(blocks));
    for (Coded& c : coded) {
        c.nC = d.kind == Kind::Block4x4 ? std::vector<int>{0, 1, 2, 3, 4, 5, 7, 8, 9, 16}[size_t(rng.range(0, 9))] : -1;
        c.maxNumCoeff = d.kind == Kind::Block4x4 ? (rng.coin() ? 16 : 15) : n;
        random_list(rng, c.list, c.maxNumCoeff, d.wide ? (1 << 27) : 32767);
        c.totalCoeff = cavlc_writer::put_block(w, d.kind, c.nC, c.list, c.maxNumCoeff);
        c.endBit = w.pos();
    }
    const auto words = w.words();
    std::vector<Zan32s> out(size_t(blocks) * 16 + 16, 0x5A5A5A5A);
    char* base = reinterpret_cast<char*>(out.data());
    const size_t esize = d.wide ? 4 : 2;
    size_t at = 0;  // coefficients written so far
    const Zan32u* p = words.data() + lead / 32;
    Zan32s off = 31 - lead % 32;
    ZanCAVLCScanPos_H264 recs[16];
    for (int k = 0; k < 16; ++k) recs[k] = {scan[k], 1000 + k};
    for (size_t b = 0; b < coded.size(); ++b) {
        const Coded& c = coded[b];
        Zan16s tc = -1;
        void* blk = base + at * esize;
        const CallResult r = call(d, &p, &off, &tc, blk, c.nC, c.maxNumCoeff, scan, recs, 0, 1);
        ASSERT_EQ(r.status, ZAN_OK) << describe(d) << " block " << b;
        ASSERT_EQ(tc, c.totalCoeff) << describe(d) << " block " << b;
        ASSERT_EQ(r.advance, c.totalCoeff ? n : 0) << describe(d) << " block " << b;
        ASSERT_EQ(int64_t(p - words.data()) * 32 + 31 - off, c.endBit) << describe(d) << " block " << b;
        if (!c.totalCoeff) continue;
        const int start = n - c.maxNumCoeff;
        for (int k = 0; k < n; ++k) {
            const int pos = d.kind == Kind::Block4x4 ? scan[k] : (n == 4 ? k : kChromaDC422RasterScan[k]);
            const int32_t level = k >= start ? c.list[k - start] : 0;
            const int32_t got = d.wide ? reinterpret_cast<Zan32s*>(blk)[pos] : reinterpret_cast<Zan16s*>(blk)[pos];
            const int32_t want = d.wide ? level : Zan16s(uint32_t(level));
            ASSERT_EQ(got, want) << describe(d) << " block " << b << " scan index " << k;
        }
        at += size_t(n);
    }
    // Nothing written past the last coded block.
    for (size_t i = at * esize; i < out.size() * 4; ++i)
        ASSERT_EQ(uint8_t(base[i]), 0x5A) << describe(d) << " byte " << i;
}

TEST(H264Cavlc, RoundTripEveryKindBackToBack) {
    zt::Rng rng;
    for (const Decoder& d : all_decoders())
        for (int round = 0; round < 12; ++round) round_trip(d, rng, round & 1 ? kField4x4 : kZigzag4x4, 60);
}

TEST(H264Cavlc, DenseBlocksWithSixteenCoefficients) {
    // TotalCoeff 16 with maxNumCoeff 16 reads no total_zeros: every
    // total_zeros table pointer may be null.
    zt::Rng rng;
    const Zan32s* noTables[16] = {};
    for (const Decoder& d : all_decoders()) {
        if (d.kind != Kind::Block4x4) continue;
        for (int nC : {0, 2, 4, 8}) {
            int32_t list[16];
            for (int32_t& v : list) v = rng.range(1, 40) * (rng.coin() ? 1 : -1);
            BitWriter w;
            cavlc_writer::put_block(w, Kind::Block4x4, nC, list, 16);
            const auto words = w.words();
            Zan32s blk[16];
            const Zan32u* p = words.data();
            Zan32s off = 31;
            Zan16s tc = 0;
            const CallResult r =
                call(d, &p, &off, &tc, blk, nC, 16, kZigzag4x4, nullptr, 0, 1, nullptr, noTables, noTables);
            ASSERT_EQ(r.status, ZAN_OK) << describe(d);
            EXPECT_EQ(tc, 16);
            EXPECT_EQ(int64_t(p - words.data()) * 32 + 31 - off, w.pos());
        }
    }
}

TEST(H264Cavlc, ScanRecordsPlaceInterleaved8x8Blocks) {
    // Four 4x4 blocks of an 8x8 transform block: coefficient k of block i8
    // is coefficient 4k + i8 of the 8x8 zig-zag scan.
    int zz8[64], i = 0;
    for (int s = 0; s < 15; ++s)
        for (int j = 0; j <= s; ++j) {
            const int y = (s & 1) ? j : s - j, x = s - y;
            if (x < 8 && y < 8) zz8[i++] = y * 8 + x;
        }
    ASSERT_EQ(i, 64);
    ZanCAVLCScanPos_H264 recs[64];
    for (int k = 0; k < 64; ++k) recs[k] = {zz8[k], k};
    zt::Rng rng;
    for (int variant = 0; variant < (zt::have_avx2() ? 3 : 2); ++variant) {
        const Decoder d{Kind::Block4x4, false, true, variant};
        for (int round = 0; round < 50; ++round) {
            int32_t list[4][16];
            BitWriter w;
            const int nC = rng.range(0, 9);
            for (int b = 0; b < 4; ++b) {
                random_list(rng, list[b], 16, 32767);
                cavlc_writer::put_block(w, Kind::Block4x4, nC, list[b], 16);
            }
            const auto words = w.words();
            Zan16s blk[64] = {};
            const Zan32u* p = words.data();
            Zan32s off = 31;
            for (int b = 0; b < 4; ++b) {
                Zan16s tc;
                ASSERT_EQ(call(d, &p, &off, &tc, blk, nC, 16, nullptr, recs, b, 4).status, ZAN_OK);
            }
            for (int k = 0; k < 64; ++k) ASSERT_EQ(blk[zz8[k]], Zan16s(list[k % 4][k / 4])) << describe(d) << " " << k;
        }
    }
}

// ---------------------------------------------------------------------------
// Invalid codes, null tables and argument checks
// ---------------------------------------------------------------------------

// Every error leaves the cursor at its entry value and TotalCoeff, the block
// and the write pointer untouched.
void expect_rejected(const Decoder& d, const std::vector<uint32_t>& words, int lead, int nC, int maxNumCoeff,
                     ZanResult want, const char* what, const Zan32s* const* tz = nullptr,
                     const Zan32s* const* rb = nullptr) {
    Zan32s blk[16];
    zt::Sentinel s(blk, sizeof blk);
    const Zan32u* p = words.data() + lead / 32;
    Zan32s off = 31 - lead % 32;
    Zan16s tc = 0x1234;
    ZanCAVLCScanPos_H264 recs[16];
    for (int k = 0; k < 16; ++k) recs[k] = {kZigzag4x4[k], 0};
    const CallResult r = call(d, &p, &off, &tc, blk, nC, maxNumCoeff, kZigzag4x4, recs, 0, 1, nullptr, tz, rb);
    EXPECT_EQ(r.status, want) << describe(d) << ": " << what;
    EXPECT_EQ(p, words.data() + lead / 32) << describe(d) << ": " << what;
    EXPECT_EQ(off, 31 - lead % 32) << describe(d) << ": " << what;
    EXPECT_EQ(tc, 0x1234) << describe(d) << ": " << what;
    EXPECT_EQ(r.advance, 0) << describe(d) << ": " << what;
    EXPECT_TRUE(s.untouched()) << describe(d) << ": " << what;
}

TEST(H264Cavlc, InvalidCodesRestoreTheCursor) {
    struct Case {
        Kind kind;
        int nC, maxNumCoeff;
        const char* bits;
        const char* what;
    } cases[] = {
        {Kind::Block4x4, 0, 16, "0000000000000000", "coeff_token with no code (16 zeros)"},
        {Kind::Block4x4, 0, 16, "00000000000000011", "coeff_token 15 zeros and a 1"},
        {Kind::Block4x4, 2, 16, "00000000000000", "coeff_token, 2 <= nC < 4"},
        {Kind::Block4x4, 5, 16, "0000000000", "coeff_token, 4 <= nC < 8"},
        {Kind::Block4x4, 8, 16, "000010", "fixed-length TrailingOnes 2 of TotalCoeff 1"},
        {Kind::Block4x4, 8, 16, "000111", "fixed-length TrailingOnes 3 of TotalCoeff 2"},
        // TotalCoeff 1, one trailing one (sign 0), total_zeros "000000000".
        {Kind::Block4x4, 0, 16, "01" "0" "000000000", "total_zeros with no code"},
        // TotalCoeff 1 with total_zeros 15 in a 15-coefficient block.
        {Kind::Block4x4, 0, 15, "01" "0" "000000001", "total_zeros above maxNumCoeff - TotalCoeff"},
        // TotalCoeff 16 (fixed-length 111111) in a 15-coefficient block.
        {Kind::Block4x4, 8, 15, "111111", "TotalCoeff above maxNumCoeff"},
        // TotalCoeff 2, TrailingOnes 2 (001), signs 00, total_zeros 14
        // (000000), run_before with zerosLeft 14 "00000000000".
        {Kind::Block4x4, 0, 16, "001" "00" "000000" "00000000000", "run_before with no code"},
        // TotalCoeff 1, TrailingOnes 0 (000101), level_prefix of 32 zeros.
        {Kind::Block4x4, 0, 16, "000101" "00000000000000000000000000000000" "1", "level_prefix above 31"},
        {Kind::ChromaDc2x2, -1, 4, "0000000", "chroma DC 2x2 coeff_token"},
        {Kind::ChromaDc2x4, -2, 8, "0000000000000", "chroma DC 2x4 coeff_token"},
    };
    for (const Decoder& d : all_decoders())
        for (const Case& c : cases) {
            if (c.kind != d.kind) continue;
            for (int lead : {0, 13, 31}) {
                BitWriter w;
                w.zeros(lead);
                w.put_code(c.bits);
                expect_rejected(d, w.words(2, 0), lead, c.nC, c.maxNumCoeff, ZAN_ERR_VLC, c.what);
            }
        }
}

TEST(H264Cavlc, NullTableWhenNeededReturnsNullPointer) {
    // TotalCoeff 1 (coeff_token "01"), sign, then total_zeros 1 "011": the
    // total_zeros table of TotalCoeff 1 is needed. With TotalCoeff 2 and
    // zeros, run_before tables are needed.
    const Zan32s* tz[16];
    const Zan32s* rb[16];
    for (const Decoder& d : all_decoders()) {
        if (d.kind != Kind::Block4x4) continue;
        std::copy_n(T().TotalZeros(), 16, tz);
        tz[1] = nullptr;
        expect_rejected(d, words_of("01" "0" "011"), 0, 0, 16, ZAN_ERR_NULL_PTR, "total_zeros table", tz);
        std::copy_n(T().RunBefore(), 16, rb);
        rb[3] = nullptr;
        // TotalCoeff 2, TrailingOnes 2 "001", signs, total_zeros 3 for TotalCoeff 2 "100".
        expect_rejected(d, words_of("001" "00" "100"), 0, 0, 16, ZAN_ERR_NULL_PTR, "run_before table", nullptr, rb);
        // The coeff_token table of the nC class: null only matters when used.
        const Zan32s* tok[3] = {T().CoeffToken()[0], nullptr, T().CoeffToken()[2]};
        Zan16s blk[16], tc;
        const auto w = words_of("1");
        const Zan32u* p = w.data();
        Zan32s off = 31;
        EXPECT_EQ(call(d, &p, &off, &tc, blk, 2, 16, kZigzag4x4, nullptr, 0, 1, tok).status, ZAN_ERR_NULL_PTR);
        EXPECT_EQ(off, 31);
        if (!d.idxs) {
            EXPECT_EQ(call(d, &p, &off, &tc, blk, 1, 16, kZigzag4x4, nullptr, 0, 1, tok).status, ZAN_OK);
        }
    }
}

TEST(H264Cavlc, ArgumentChecksInOrderWriteNothing) {
    const auto w = words_of("1");
    const Zan32s* const* tok = T().CoeffToken();
    const Zan32s* const* tz = T().TotalZeros();
    const Zan32s* const* rb = T().RunBefore();
    Zan32s badScan[16];
    std::copy_n(kZigzag4x4, 16, badScan);
    badScan[9] = 16;
    ZanCAVLCScanPos_H264 recs[16];
    for (int k = 0; k < 16; ++k) recs[k] = {kZigzag4x4[k], 0};
    for (auto [name, fn] : ZT_VARIANTS(zaniDecodeCAVLCCoeffs_H264_1u16s)) {
        Zan16s blk[16];
        zt::Sentinel s(blk, sizeof blk);
        Zan16s* bp = blk;
        Zan16s* nullBlock = nullptr;
        const Zan32u* p = w.data();
        const Zan32u* nullStream = nullptr;
        Zan32s off = 31, badOff = 32;
        Zan16s tc = 7;
        // Null pointers come before every other check (bad maxNumCoeff, nC, offset).
        EXPECT_EQ(fn(nullptr, &off, &tc, &bp, 0, 16, tok, tz, rb, kZigzag4x4), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(&p, nullptr, &tc, &bp, 0, 14, tok, tz, rb, kZigzag4x4), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(&p, &off, nullptr, &bp, -1, 16, tok, tz, rb, kZigzag4x4), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(&p, &badOff, &tc, nullptr, 0, 16, tok, tz, rb, kZigzag4x4), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(&p, &off, &tc, &bp, 0, 16, nullptr, tz, rb, kZigzag4x4), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(&p, &off, &tc, &bp, 0, 16, tok, nullptr, rb, kZigzag4x4), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(&p, &off, &tc, &bp, 0, 16, tok, tz, nullptr, kZigzag4x4), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(&p, &off, &tc, &bp, 0, 16, tok, tz, rb, nullptr), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(&nullStream, &off, &tc, &bp, 0, 0, tok, tz, rb, kZigzag4x4), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(&p, &off, &tc, &nullBlock, 0, 0, tok, tz, rb, kZigzag4x4), ZAN_ERR_NULL_PTR);
        // Then maxNumCoeff, nC, the scan, the offset.
        EXPECT_EQ(fn(&p, &badOff, &tc, &bp, -1, 14, tok, tz, rb, badScan), ZAN_ERR_OUT_OF_RANGE);
        EXPECT_EQ(fn(&p, &badOff, &tc, &bp, -1, 16, tok, tz, rb, badScan), ZAN_ERR_OUT_OF_RANGE);
        EXPECT_EQ(fn(&p, &badOff, &tc, &bp, 0, 16, tok, tz, rb, badScan), ZAN_ERR_OUT_OF_RANGE);
        EXPECT_EQ(fn(&p, &badOff, &tc, &bp, 0, 16, tok, tz, rb, kZigzag4x4), ZAN_ERR_BAD_ARG);
        Zan32s negOff = -3;
        EXPECT_EQ(fn(&p, &negOff, &tc, &bp, 0, 16, tok, tz, rb, kZigzag4x4), ZAN_ERR_BAD_ARG);
        EXPECT_TRUE(s.untouched()) << name;
        EXPECT_EQ(tc, 7);
        EXPECT_EQ(bp, blk);
        EXPECT_EQ(p, w.data());
    }
    for (auto [name, fn] : ZT_VARIANTS(zaniDecodeCAVLCCoeffsIdxs_H264_1u16s)) {
        Zan16s blk[64];
        zt::Sentinel s(blk, sizeof blk);
        Zan16s* bp = blk;
        const Zan32u* p = w.data();
        Zan32s off = 31, badOff = 99;
        Zan16s tc = 7;
        EXPECT_EQ(fn(&p, &off, &tc, &bp, 0, 16, tok, tz, rb, nullptr, 0, 1), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(&p, &badOff, &tc, &bp, 0, 17, tok, tz, rb, recs, -1, 0), ZAN_ERR_OUT_OF_RANGE);
        EXPECT_EQ(fn(&p, &badOff, &tc, &bp, -2, 16, tok, tz, rb, recs, -1, 0), ZAN_ERR_OUT_OF_RANGE);
        EXPECT_EQ(fn(&p, &badOff, &tc, &bp, 0, 16, tok, tz, rb, recs, -1, 1), ZAN_ERR_OUT_OF_RANGE);
        EXPECT_EQ(fn(&p, &badOff, &tc, &bp, 0, 16, tok, tz, rb, recs, 0, 0), ZAN_ERR_OUT_OF_RANGE);
        recs[15].rasterPos = 64;
        EXPECT_EQ(fn(&p, &badOff, &tc, &bp, 0, 16, tok, tz, rb, recs, 0, 1), ZAN_ERR_OUT_OF_RANGE);
        recs[15].rasterPos = 15;
        EXPECT_EQ(fn(&p, &badOff, &tc, &bp, 0, 16, tok, tz, rb, recs, 0, 1), ZAN_ERR_BAD_ARG);
        EXPECT_TRUE(s.untouched()) << name;
        EXPECT_EQ(tc, 7);
        EXPECT_EQ(bp, blk);
    }
    for (auto [name, fn] : ZT_VARIANTS(zaniDecodeCAVLCChroma422DcCoeffs_H264_1u32s)) {
        Zan32s blk[8];
        zt::Sentinel s(blk, sizeof blk);
        Zan32s* bp = blk;
        const Zan32u* p = w.data();
        Zan32s badOff = 32;
        Zan16s tc = 7;
        EXPECT_EQ(fn(&p, &badOff, &tc, &bp, nullptr, T().TotalZerosChromaDc422(), rb), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(&p, &badOff, &tc, &bp, T().CoeffTokenChromaDc422(), nullptr, rb), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(&p, &badOff, &tc, &bp, T().CoeffTokenChromaDc422(), T().TotalZerosChromaDc422(), rb),
                  ZAN_ERR_BAD_ARG);
        EXPECT_TRUE(s.untouched()) << name;
        EXPECT_EQ(tc, 7);
    }
}

// ---------------------------------------------------------------------------
// Portable against AVX2 on random bits (checkasm style)
// ---------------------------------------------------------------------------

TEST(H264Cavlc, KernelsAgreeOnRandomBits) {
    ZT_REQUIRE_AVX2();
    zt::Rng rng;
    std::vector<uint32_t> words(64);
    for (int iter = 0; iter < 3000; ++iter) {
        const int sparse = rng.range(0, 3);
        for (uint32_t& v : words) v = sparse == 0 ? rng.u32() & rng.u32() & rng.u32() : rng.u32();
        const int off0 = rng.range(0, 31), nC = rng.range(0, 17), maxNumCoeff = rng.coin() ? 16 : 15;
        for (Kind kind : {Kind::Block4x4, Kind::ChromaDc2x2, Kind::ChromaDc2x4})
            for (bool wide : {false, true})
                for (bool idxs : {false, true}) {
                    if (idxs && (wide || kind != Kind::Block4x4)) continue;
                    Zan32s blk[2][16];
                    const Zan32u* p[2];
                    Zan32s off[2];
                    Zan16s tc[2];
                    CallResult r[2];
                    ZanCAVLCScanPos_H264 recs[16];
                    for (int k = 0; k < 16; ++k) recs[k] = {kField4x4[k], 0};
                    for (int v = 0; v < 2; ++v) {
                        std::memset(blk[v], 0x3C, sizeof blk[v]);
                        p[v] = words.data();
                        off[v] = off0;
                        tc[v] = -1;
                        r[v] = call({kind, wide, idxs, v + 1}, &p[v], &off[v], &tc[v], blk[v], nC, maxNumCoeff,
                                    kField4x4, recs, 0, 1);
                    }
                    const std::string what = describe({kind, wide, idxs, 1}) + " iteration " + std::to_string(iter);
                    ASSERT_EQ(r[0].status, r[1].status) << what;
                    ASSERT_EQ(r[0].advance, r[1].advance) << what;
                    ASSERT_EQ(p[0], p[1]) << what;
                    ASSERT_EQ(off[0], off[1]) << what;
                    ASSERT_EQ(tc[0], tc[1]) << what;
                    ASSERT_EQ(std::memcmp(blk[0], blk[1], sizeof blk[0]), 0) << what;
                }
        for (int isSigned = 0; isSigned < 2; ++isSigned) {
            const Zan32u* p[2] = {words.data(), words.data()};
            Zan32s off[2] = {off0, off0}, v[2] = {0, 0};
            const ZanResult a = zan::c::zaniDecodeExpGolombOne_H264_1u32s(&p[0], &off[0], &v[0], isSigned);
            const ZanResult b = zan::avx2::zaniDecodeExpGolombOne_H264_1u32s(&p[1], &off[1], &v[1], isSigned);
            ASSERT_EQ(a, b);
            ASSERT_EQ(p[0], p[1]);
            ASSERT_EQ(off[0], off[1]);
            ASSERT_EQ(v[0], v[1]);
        }
    }
}

// ---------------------------------------------------------------------------
// The packed tables
// ---------------------------------------------------------------------------

// Every code of a list decodes to its value through the packed table with
// the code's length consumed, whatever bits follow it.
void expect_table_decodes(const Zan32s* table, const std::vector<zanvc_ex::VlcCode>& codes, zt::Rng& rng) {
    for (const auto& c : codes)
        for (int trial = 0; trial < 4; ++trial) {
            BitWriter w;
            const int lead = rng.range(0, 31);
            w.zeros(lead);
            w.put_code(c.bits);
            w.put(rng.u32(), 32);
            const auto words = w.words();
            zan::bits::WordCursor cur{words.data() + lead / 32, 31 - lead % 32};
            const auto leaf = zan::bits::lookup(cur, table);
            ASSERT_TRUE(leaf.valid) << c.bits;
            EXPECT_EQ(leaf.value, c.value) << c.bits;
            EXPECT_EQ(cur.bit_pos(words.data()), lead + int64_t(std::strlen(c.bits))) << c.bits;
        }
}

TEST(H264CavlcTables, EveryCodeDecodesThroughThePackedTables) {
    zt::Rng rng;
    const auto& t = T();
    for (int col = 0; col < 6; ++col) {
        if (col == zanvc_ex::kNC8Up) continue;
        std::vector<zanvc_ex::VlcCode> codes;
        for (const auto& c : zanvc_ex::CoeffTokenCodes())
            if (c.code[col]) codes.push_back({c.code[col], c.totalCoeff << 8 | c.trailingOnes});
        const Zan32s* table = col < 3 ? t.CoeffToken()[col] : (col == 4 ? t.CoeffTokenChromaDc() : t.CoeffTokenChromaDc422());
        expect_table_decodes(table, codes, rng);
    }
    for (const auto& c : zanvc_ex::TotalZerosCodes()) {
        const Zan32s* table = c.block == zanvc_ex::TotalZerosBlock::Block4x4      ? t.TotalZeros()[c.tzVlcIndex]
                              : c.block == zanvc_ex::TotalZerosBlock::ChromaDc2x2 ? t.TotalZerosChromaDc()[c.tzVlcIndex]
                                                                                 : t.TotalZerosChromaDc422()[c.tzVlcIndex];
        expect_table_decodes(table, {{c.code, c.totalZeros}}, rng);
    }
    for (const auto& c : zanvc_ex::RunBeforeCodes())
        for (int zl = c.zerosLeft; zl <= (c.zerosLeft == 7 ? 15 : c.zerosLeft); ++zl)
            expect_table_decodes(t.RunBefore()[zl], {{c.code, c.runBefore}}, rng);
    // The builder refuses code lists that are not prefix-free.
    const zanvc_ex::VlcCode clash[] = {{"1", 0}, {"10", 1}};
    EXPECT_THROW(zanvc_ex::BuildPackedVlc(clash, 4), std::invalid_argument);
}

// The committed code lists, printed in the text tables' form, against the
// standard's text tables when shared/ sits beside the checkout.
std::vector<std::string> read_records(const std::string& path) {
    std::ifstream f(path);
    std::vector<std::string> rows;
    for (std::string line; std::getline(f, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream in(line);
        std::string row, field;
        while (in >> field) row += (row.empty() ? "" : " ") + field;
        rows.push_back(row);
    }
    if (!rows.empty()) rows.erase(rows.begin());  // the column names
    return rows;
}

TEST(H264CavlcTables, CommittedCodesMatchTheTextTables) {
    const std::string here = std::string(__FILE__).substr(0, std::string(__FILE__).rfind('/'));
    std::string dir;
    for (const char* up : {"/../../../shared/tables/", "/../../../../shared/tables/"})
        if (dir = here + up; !read_records(dir + "h264_cavlc_coeff_token.txt").empty()) break;
    if (read_records(dir + "h264_cavlc_coeff_token.txt").empty()) GTEST_SKIP() << "no shared tables";
    std::vector<std::string> ct, tz, rb;
    for (const auto& c : zanvc_ex::CoeffTokenCodes()) {
        std::string row = std::to_string(c.trailingOnes) + " " + std::to_string(c.totalCoeff);
        for (const char* code : c.code) row += std::string(" ") + (code ? code : "-");
        ct.push_back(row);
    }
    const char* blocks[] = {"4x4", "cdc2x2", "cdc2x4"};
    for (const auto& c : zanvc_ex::TotalZerosCodes())
        tz.push_back(std::string(blocks[int(c.block)]) + " " + std::to_string(c.tzVlcIndex) + " " +
                     std::to_string(c.totalZeros) + " " + c.code);
    for (const auto& c : zanvc_ex::RunBeforeCodes())
        rb.push_back((c.zerosLeft == 7 ? std::string(">6") : std::to_string(c.zerosLeft)) + " " +
                     std::to_string(c.runBefore) + " " + c.code);
    EXPECT_EQ(ct, read_records(dir + "h264_cavlc_coeff_token.txt"));
    EXPECT_EQ(tz, read_records(dir + "h264_cavlc_total_zeros.txt"));
    EXPECT_EQ(rb, read_records(dir + "h264_cavlc_run_before.txt"));
}

}  // namespace
