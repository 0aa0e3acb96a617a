// H.264 deblocking filters: worked examples of 8.7.2.3 and 8.7.2.4, the
// array layouts, argument checks, edge order, the AVX2 kernels against the
// portable driver on random blocks near every decision threshold, and the
// 16-bit forms against the 8-bit ones, and whole pictures against an
// independent decoder.
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "deblock_streams.h"
#include "support/checkasm.h"

namespace {

// ---------------------------------------------------------------------------
// Uniform calling of the 8-bit exports
// ---------------------------------------------------------------------------
using Call8 = std::function<ZanResult(Zan8u*, int32_t, const Zan8u*, const Zan8u*, const Zan8u*, const Zan8u*)>;
using Plain8 = ZanResult (*)(Zan8u*, int32_t, const Zan8u*, const Zan8u*, const Zan8u*, const Zan8u*);
using Record8 = ZanResult (*)(const ZanFilterDeblock_8u*);
using Mbaff8 = ZanResult (*)(Zan8u*, int32_t, Zan32u, Zan32u, const Zan8u*, const Zan8u*);
using Record16 = ZanResult (*)(const ZanFilterDeblock_16u*);

Call8 wrap(Plain8 f) { return f; }
Call8 wrap(Record8 f) {
    return [f](Zan8u* p, int32_t s, const Zan8u* a, const Zan8u* b, const Zan8u* t, const Zan8u* bs) {
        const ZanFilterDeblock_8u r{p, s, a, b, t, bs};
        return f(&r);
    };
}
Call8 wrap(Mbaff8 f) {
    return [f](Zan8u* p, int32_t s, const Zan8u* a, const Zan8u* b, const Zan8u* t, const Zan8u* bs) {
        return f(p, s, a[0], b[0], t, bs);
    };
}

// One 8-bit export: its portable and AVX2 forms, the block it covers (bytes
// x rows), the entries of its arrays, and its direction.
struct Kind8 {
    const char* name;
    Call8 c, avx2;
    int width, height;
    int alphas, tcs, bss;
    bool vertical, luma;
    Record16 wide;  // the 16-bit form of the same block, if any
};

#define ZT_KIND(NAME) wrap(zan::c::NAME), wrap(zan::avx2::NAME)
const std::vector<Kind8>& kinds8() {
    static const std::vector<Kind8> k = {
        {"LumaVer", ZT_KIND(zaniFilterDeblockingLuma_VerEdge_H264_8u_C1IR), 16, 16, 2, 16, 16, true, true,
         zan::c::zaniFilterDeblockingLumaVerEdge_H264_16u_C1IR},
        {"LumaHor", ZT_KIND(zaniFilterDeblockingLuma_HorEdge_H264_8u_C1IR), 16, 16, 2, 16, 16, false, true,
         zan::c::zaniFilterDeblockingLumaHorEdge_H264_16u_C1IR},
        {"ChromaVer", ZT_KIND(zaniFilterDeblockingChroma_VerEdge_H264_8u_C1IR), 8, 8, 2, 8, 16, true, false,
         zan::c::zaniFilterDeblockingChromaVerEdge_H264_16u_C1IR},
        {"ChromaHor", ZT_KIND(zaniFilterDeblockingChroma_HorEdge_H264_8u_C1IR), 8, 8, 2, 8, 16, false, false,
         zan::c::zaniFilterDeblockingChromaHorEdge_H264_16u_C1IR},
        {"Nv12Ver", ZT_KIND(zaniFilterDeblockingChroma_VerEdge_H264_8u_C2IR), 16, 8, 2, 8, 16, true, false, nullptr},
        {"Nv12Hor", ZT_KIND(zaniFilterDeblockingChroma_HorEdge_H264_8u_C2IR), 16, 8, 2, 8, 16, false, false, nullptr},
        {"Nv12SetsVer", ZT_KIND(zaniFilterDeblockingChroma_VerEdge_H264_8u_C2I), 16, 8, 4, 16, 16, true, false,
         nullptr},
        {"Nv12SetsHor", ZT_KIND(zaniFilterDeblockingChroma_HorEdge_H264_8u_C2I), 16, 8, 4, 16, 16, false, false,
         nullptr},
        {"Chroma422Ver", ZT_KIND(zaniFilterDeblockingChroma422VerEdge_H264_8u_C1IR), 8, 16, 2, 8, 16, true, false,
         zan::c::zaniFilterDeblockingChroma422VerEdge_H264_16u_C1IR},
        {"Chroma422Hor", ZT_KIND(zaniFilterDeblockingChroma422HorEdge_H264_8u_C1IR), 8, 16, 2, 16, 16, false, false,
         zan::c::zaniFilterDeblockingChroma422HorEdge_H264_16u_C1IR},
        {"LumaMbaff", ZT_KIND(zaniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR), 16, 8, 1, 4, 4, true, true,
         zan::c::zaniFilterDeblockingLumaVerEdgeMBAFF_H264_16u_C1IR},
        {"ChromaMbaff", ZT_KIND(zaniFilterDeblockingChroma_VerEdge_MBAFF_H264_8u_C1IR), 8, 4, 1, 4, 4, true, false,
         zan::c::zaniFilterDeblockingChromaVerEdgeMBAFF_H264_16u_C1IR},
    };
    return k;
}
#undef ZT_KIND

// A block placed 8 rows and 8 bytes into a plane with margins on every side.
const Kind8& kind(const std::string& name) {
    for (const Kind8& k : kinds8())
        if (k.name == name) return k;
    throw std::runtime_error(name);
}

constexpr int kMargin = 8;
struct Block {
    Block(int w, int h, int step) : plane(w + 2 * kMargin, h + 2 * kMargin, step) {}
    uint8_t* origin() { return plane.ptr(kMargin, kMargin); }
    zt::Plane plane;
};

// Thresholds and strengths of one call, drawn so that sample differences
// land on both sides of alpha, beta and (alpha >> 2) + 2.
struct Args8 {
    std::array<uint8_t, 4> alpha{}, beta{};
    std::array<uint8_t, 16> tc0{}, bs{};
};

Args8 random_args(zt::Rng& rng, int amp) {
    Args8 a;
    for (int i = 0; i < 4; ++i) {
        a.alpha[i] = uint8_t(rng.range(0, 9) == 0 ? rng.range(0, 255) : std::min(255, rng.range(0, 3 * amp + 4)));
        a.beta[i] = uint8_t(rng.range(0, 9) == 0 ? rng.range(0, 255) : std::min(255, rng.range(0, 2 * amp + 2)));
    }
    for (int i = 0; i < 16; ++i) {
        a.tc0[i] = uint8_t(rng.range(0, 15) == 0 ? rng.range(0, 255) : rng.range(0, 8));
        const int r = rng.range(0, 19);
        a.bs[i] = uint8_t(r < 18 ? r % 5 : rng.range(5, 255));  // mostly 0..4, sometimes above
    }
    if (rng.range(0, 4) == 0) a.bs.fill(4);  // whole edges strong
    return a;
}

// Smooth samples with noise of the given amplitude and, sometimes, a step.
void random_plane(zt::Rng& rng, zt::Plane& pl, int amp) {
    const int base = rng.range(0, 255);
    const int jump = rng.coin() ? rng.range(-3 * amp, 3 * amp) : 0;
    for (int y = 0; y < pl.height; ++y)
        for (int x = 0; x < pl.width; ++x) {
            const int v = base + ((x / 4 + y / 4) & 1) * jump + rng.range(-amp, amp);
            *pl.ptr(x, y) = uint8_t(zan::clip3(0, 255, v));
        }
}

constexpr int kAmps[] = {1, 2, 3, 5, 8, 16, 40, 255};

// ---------------------------------------------------------------------------
// Worked examples of 8.7.2.3 and 8.7.2.4 across one luma edge
// ---------------------------------------------------------------------------

// Runs the vertical luma filter on one row p3..q3 around the first edge
// (other rows and edges idle) and returns the 8 samples afterwards.
std::array<int, 8> luma_row(const Call8& f, std::array<int, 8> in, int alpha, int beta, int tc0, int bs) {
    Block b(16, 16, 48);
    for (int x = -4; x < 20; ++x) b.origin()[x] = uint8_t(x < 4 ? in[size_t(x + 4)] : in[7]);
    Args8 a;
    a.alpha = {uint8_t(alpha), 0, 0, 0};
    a.beta = {uint8_t(beta), 0, 0, 0};
    a.tc0[0] = uint8_t(tc0);
    a.bs[0] = uint8_t(bs);
    EXPECT_EQ(f(b.origin(), b.plane.step, a.alpha.data(), a.beta.data(), a.tc0.data(), a.bs.data()), ZAN_OK);
    std::array<int, 8> out;
    for (int i = 0; i < 8; ++i) out[size_t(i)] = b.origin()[i - 4];
    return out;
}

class DeblockVariants : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam()) ZT_REQUIRE_AVX2();
    }
    const Call8& fn(const Kind8& k) const { return GetParam() ? k.avx2 : k.c; }
};

TEST_P(DeblockVariants, LumaWorkedExamples) {
    const Call8& f = fn(kind("LumaVer"));
    using R = std::array<int, 8>;
    // bS 2: tC = 2 + 1 + 1, Delta 43 >> 3 = 5 clipped to 4; p1 +2, q1 -2.
    EXPECT_EQ(luma_row(f, {60, 62, 64, 66, 80, 81, 82, 83}, 20, 6, 2, 2), (R{60, 62, 66, 70, 76, 79, 82, 83}));
    // bS 4, both sides smooth: the 3-tap and 5-tap forms.
    EXPECT_EQ(luma_row(f, {50, 52, 54, 56, 62, 63, 64, 65}, 20, 10, 0, 4), (R{50, 54, 56, 57, 60, 61, 63, 65}));
    // |p0 - q0| = 6 = (16 >> 2) + 2: only p0 and q0 by the 3-tap fallback.
    EXPECT_EQ(luma_row(f, {50, 52, 54, 56, 62, 63, 64, 65}, 16, 10, 0, 4), (R{50, 52, 54, 57, 61, 63, 64, 65}));
    // bS 1 with tC0 0 still moves p0 and q0 by 2 (tC = 0 + 1 + 1); p1, q1 stay.
    EXPECT_EQ(luma_row(f, {10, 10, 10, 10, 20, 20, 20, 20}, 20, 4, 0, 1), (R{10, 10, 10, 12, 18, 20, 20, 20}));
    // Only ap below beta: tC = 1 + 1, p1 moves, q1 not.
    EXPECT_EQ(luma_row(f, {40, 40, 40, 40, 44, 45, 60, 60}, 10, 5, 1, 3), (R{40, 40, 41, 41, 43, 45, 60, 60}));
    // Each of the three threshold tests alone stops the filter.
    const R flat{10, 10, 10, 10, 20, 20, 20, 20};
    EXPECT_EQ(luma_row(f, flat, 10, 4, 0, 4), flat);                                       // |p0-q0| = alpha
    EXPECT_EQ(luma_row(f, {10, 10, 14, 10, 20, 20, 20, 20}, 20, 4, 0, 2), (R{10, 10, 14, 10, 20, 20, 20, 20}));
    EXPECT_EQ(luma_row(f, {10, 10, 10, 10, 20, 24, 20, 20}, 20, 4, 0, 2), (R{10, 10, 10, 10, 20, 24, 20, 20}));
    // bS 0 and bS above 4 (treated as 4).
    EXPECT_EQ(luma_row(f, {50, 52, 54, 56, 62, 63, 64, 65}, 20, 10, 9, 0), (R{50, 52, 54, 56, 62, 63, 64, 65}));
    EXPECT_EQ(luma_row(f, {50, 52, 54, 56, 62, 63, 64, 65}, 20, 10, 0, 200), (R{50, 54, 56, 57, 60, 61, 63, 65}));
    // Clip1: p0 253 + Delta 4 saturates at 255.
    EXPECT_EQ(luma_row(f, {255, 255, 255, 253, 255, 230, 230, 230}, 40, 30, 20, 2)[3], 255);
}

TEST_P(DeblockVariants, ChromaWorkedExamples) {
    const Call8& f = fn(kind("ChromaVer"));
    Block b(8, 8, 32);
    const int row[4] = {100, 102, 110, 111};
    for (int y = 0; y < 8; ++y)
        for (int x = -2; x < 6; ++x) b.origin()[y * 32 + x] = uint8_t(row[(x + 2) & 3]);
    Args8 a;
    a.alpha = {15, 15};
    a.beta = {4, 4};
    a.tc0.fill(1);
    a.bs = {2, 4, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1};  // edge 0: rows 0-1 bS 2, rows 2-3 bS 4; edge 1 bS 1
    ASSERT_EQ(f(b.origin(), 32, a.alpha.data(), a.beta.data(), a.tc0.data(), a.bs.data()), ZAN_OK);
    auto at = [&](int x, int y) { return int(b.origin()[y * 32 + x]); };
    // Normal: tC = 2, Delta (32 - 11 + 4) >> 3 = 3 clipped to 2.
    EXPECT_EQ(at(-1, 0), 104);
    EXPECT_EQ(at(0, 1), 108);
    // Strong: (2*100 + 102 + 111 + 2) >> 2 = 103, (2*111 + 110 + 100 + 2) >> 2 = 108.
    EXPECT_EQ(at(-1, 2), 103);
    EXPECT_EQ(at(0, 3), 108);
    EXPECT_EQ(at(-2, 2), 100);  // p1, q1 never change for chroma
    EXPECT_EQ(at(1, 3), 111);
    EXPECT_EQ(at(-1, 4), 102);  // bS 0 rows
    EXPECT_EQ(at(3, 0), 104);   // edge 1 uses bytes 8..11
    EXPECT_EQ(at(4, 7), 108);
}

TEST_P(DeblockVariants, ChromaEdgeOneReadsBsBytesEightToEleven) {
    for (const char* name : {"ChromaVer", "ChromaHor", "Nv12Ver", "Chroma422Ver"}) {
        const Kind8& k = kind(name);
        Block b(k.width, k.height, 40);
        zt::Rng rng;
        zt::fill(rng, b.plane.ptr(), size_t(40) * b.plane.height, 100, 110);
        std::vector<uint8_t> before(b.plane.ptr(), b.plane.ptr() + 40 * b.plane.height);
        Args8 a;
        a.alpha = {255, 255, 255, 255};
        a.beta = {255, 255, 255, 255};
        a.tc0.fill(3);
        for (int i = 4; i < 8; ++i) a.bs[size_t(i)] = 4;  // bytes 4..7: not part of any chroma edge
        ASSERT_EQ(fn(k)(b.origin(), 40, a.alpha.data(), a.beta.data(), a.tc0.data(), a.bs.data()), ZAN_OK);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), b.plane.ptr())) << name;
        a.bs.fill(0);
        for (int i = 8; i < 12; ++i) a.bs[size_t(i)] = 4;
        ASSERT_EQ(fn(k)(b.origin(), 40, a.alpha.data(), a.beta.data(), a.tc0.data(), a.bs.data()), ZAN_OK);
        // Edge 0 (samples before it) untouched, edge 1 filtered.
        const int comps = k.width / 8, across = k.vertical ? comps : 40;
        for (int i = 0; i < 8; ++i) {
            const ptrdiff_t along = k.vertical ? 40 * i : i;
            EXPECT_EQ(b.origin()[along - across], before[size_t(kMargin * 40 + kMargin + along - across)]) << name;
        }
        EXPECT_FALSE(std::equal(before.begin(), before.end(), b.plane.ptr())) << name;
    }
}

TEST_P(DeblockVariants, Chroma422HorizontalFirstByteDecidesStrong) {
    const Kind8& k = kind("Chroma422Hor");
    auto run = [&](std::array<uint8_t, 16> bs) {
        Block b(8, 16, 32);
        for (int y = -8; y < 24; ++y)
            for (int x = -8; x < 16; ++x) b.origin()[y * 32 + x] = uint8_t((y & 4) ? 120 : 100) + uint8_t(y & 1);
        Args8 a;
        a.alpha = {40, 40};
        a.beta = {8, 8};
        a.tc0.fill(0);
        a.bs = bs;
        EXPECT_EQ(fn(k)(b.origin(), 32, a.alpha.data(), a.beta.data(), a.tc0.data(), a.bs.data()), ZAN_OK);
        std::array<int, 8> q0;  // row 4 (edge 1), every column
        for (int x = 0; x < 8; ++x) q0[size_t(x)] = b.origin()[4 * 32 + x];
        return q0;
    };
    // Rows 2, 3 | 4, 5 = 100, 101 | 120, 121. Strong: (2*121 + 120 + 100 + 2) >> 2 = 116.
    // Normal with tC0 0: tC 1, q0 - 1 = 119. None: 120.
    std::array<uint8_t, 16> bs{};
    bs[4] = 4;  // first byte of edge 1 is 4: all 8 positions strong
    EXPECT_EQ(run(bs), (std::array<int, 8>{116, 116, 116, 116, 116, 116, 116, 116}));
    bs[4] = 2;
    bs[6] = 4;  // not first: normal for its two positions
    EXPECT_EQ(run(bs), (std::array<int, 8>{119, 119, 120, 120, 119, 119, 120, 120}));
}

TEST_P(DeblockVariants, AllStrengthsZeroLeaveTheBlockUntouched) {
    zt::Rng rng;
    for (const Kind8& k : kinds8()) {
        Block b(k.width, k.height, 48);
        zt::fill(rng, b.plane.ptr(), size_t(48) * b.plane.height, 0, 255);
        Args8 a = random_args(rng, 255);
        a.alpha.fill(255);
        a.beta.fill(255);
        a.bs.fill(0);
        zt::Sentinel s(b.plane.ptr(), size_t(48) * b.plane.height);
        ASSERT_EQ(fn(k)(b.origin(), 48, a.alpha.data(), a.beta.data(), a.tc0.data(), a.bs.data()), ZAN_OK);
        EXPECT_TRUE(s.untouched()) << k.name;
        // MBAFF: alpha 0 filters nothing either.
        if (k.alphas == 1) {
            a.bs.fill(4);
            a.alpha[0] = 0;
            ASSERT_EQ(fn(k)(b.origin(), 48, a.alpha.data(), a.beta.data(), a.tc0.data(), a.bs.data()), ZAN_OK);
            EXPECT_TRUE(s.untouched()) << k.name;
        }
    }
}

TEST_P(DeblockVariants, NullPointersFirstAndNothingWritten) {
    uint8_t buf[64 * 40];
    zt::Sentinel s(buf, sizeof buf);
    const uint8_t th[16] = {255, 255, 255, 255, 255, 255, 255, 255, 9, 9, 9, 9, 9, 9, 9, 9}, bs[16] = {4, 4, 4, 4};
    for (const Kind8& k : kinds8()) {
        uint8_t* p = buf + 64 * 8 + 8;
        EXPECT_EQ(fn(k)(nullptr, 64, th, th, th, bs), ZAN_ERR_NULL_PTR) << k.name;
        EXPECT_EQ(fn(k)(p, 64, th, th, nullptr, bs), ZAN_ERR_NULL_PTR) << k.name;
        EXPECT_EQ(fn(k)(p, 64, th, th, th, nullptr), ZAN_ERR_NULL_PTR) << k.name;
        if (k.alphas > 1) {  // MBAFF takes alpha and beta by value
            EXPECT_EQ(fn(k)(p, 64, nullptr, th, th, bs), ZAN_ERR_NULL_PTR) << k.name;
            EXPECT_EQ(fn(k)(p, 64, th, nullptr, th, bs), ZAN_ERR_NULL_PTR) << k.name;
        }
    }
    EXPECT_TRUE(s.untouched());
    const bool avx = GetParam();
    for (Record8 f : {avx ? zan::avx2::zaniFilterDeblockingChroma_VerEdge_H264_8u_C2I
                          : zan::c::zaniFilterDeblockingChroma_VerEdge_H264_8u_C2I,
                      avx ? zan::avx2::zaniFilterDeblockingChroma422HorEdge_H264_8u_C1IR
                          : zan::c::zaniFilterDeblockingChroma422HorEdge_H264_8u_C1IR})
        EXPECT_EQ(f(nullptr), ZAN_ERR_NULL_PTR);
}

// At a picture's left or top border the caller passes bS 0 for the external
// edge and may have no samples before the block: nothing there is read or
// written. The block starts right after an inaccessible page, rows packed
// (step = block width), so a read above it, or left of its first row, faults.
TEST_P(DeblockVariants, IdleExternalEdgeTouchesNothingOutsideTheBlock) {
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    void* map = mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(map, MAP_FAILED);
    ASSERT_EQ(mprotect(map, page, PROT_NONE), 0);
    uint8_t* block = static_cast<uint8_t*>(map) + page;
    zt::Rng rng;
    for (const Kind8& k : kinds8()) {
        if (k.alphas == 1) continue;  // MBAFF: the one edge is the external one
        for (int it = 0; it < 200; ++it) {
            const int amp = kAmps[it % 8], n = k.width * k.height;
            std::vector<uint8_t> ref(size_t(n) + 64);
            Block src(k.width, k.height, k.width + 2 * kMargin);
            random_plane(rng, src.plane, amp);
            for (int y = 0; y < k.height; ++y) std::memcpy(block + y * k.width, src.origin() + y * src.plane.step, size_t(k.width));
            std::memcpy(ref.data(), block, size_t(n));
            Args8 a = random_args(rng, amp);
            std::fill(a.bs.begin(), a.bs.begin() + 4, 0);
            ASSERT_EQ(fn(k)(block, k.width, a.alpha.data(), a.beta.data(), a.tc0.data(), a.bs.data()), ZAN_OK);
            ASSERT_EQ(k.c(ref.data(), k.width, a.alpha.data(), a.beta.data(), a.tc0.data(), a.bs.data()), ZAN_OK);
            ASSERT_TRUE(zt::same_array(block, ref.data(), size_t(n))) << k.name;
        }
    }
    munmap(map, 2 * page);
}

// A later edge sees the output of an earlier one: one call with edges 0 and
// 1 active equals a call with edge 0 alone followed by one with edge 1 alone,
// and differs from filtering edge 1 on the unfiltered samples.
TEST_P(DeblockVariants, EdgesRunInOrder) {
    for (const char* name : {"LumaVer", "LumaHor"}) {
        const Kind8& k = kind(name);
        auto make = [&] {
            auto b = std::make_unique<Block>(16, 16, 48);
            for (int y = -8; y < 24; ++y)
                for (int x = -8; x < 24; ++x) {
                    const int t = k.vertical ? x : y;
                    b->origin()[y * 48 + x] = uint8_t(t < 0 ? 64 : (t < 4 ? 70 + t : 80));
                }
            return b;
        };
        Args8 both, first, second;
        for (Args8* a : {&both, &first, &second}) {
            a->alpha = {30, 30};
            a->beta = {12, 12};
            a->tc0.fill(2);
        }
        for (int i = 0; i < 4; ++i) both.bs[size_t(i)] = first.bs[size_t(i)] = 4;
        for (int i = 4; i < 8; ++i) both.bs[size_t(i)] = second.bs[size_t(i)] = 2;
        auto call = [&](Block& b, const Args8& a) {
            ASSERT_EQ(fn(k)(b.origin(), 48, a.alpha.data(), a.beta.data(), a.tc0.data(), a.bs.data()), ZAN_OK);
        };
        auto one = make(), seq = make(), alone = make();
        call(*one, both);
        call(*seq, first);
        call(*seq, second);
        call(*alone, second);
        EXPECT_TRUE(zt::same_region(one->plane.ptr(), 48, seq->plane.ptr(), 48, 32, 32)) << name;
        // Edge 1's p0..q1 (offsets 3..5) depend on what edge 0 wrote at offsets 1 and 2.
        const int off = k.vertical ? 3 : 3 * 48;
        EXPECT_FALSE(zt::same_region(one->origin() + off, 48, alone->origin() + off, 48, k.vertical ? 3 : 16,
                                     k.vertical ? 16 : 3))
            << name;
    }
}

// NV12 filters Cb and Cr exactly as two separate planes would be.
TEST_P(DeblockVariants, Nv12MatchesTwoPlanes) {
    zt::Rng rng;
    for (bool vertical : {true, false})
        for (bool sets : {false, true})
            for (int it = 0; it < 200; ++it) {
                const int amp = kAmps[rng.range(0, 7)];
                Block nv(16, 8, 40), cb(8, 8, 24), cr(8, 8, 24);
                random_plane(rng, nv.plane, amp);
                for (int y = 0; y < nv.plane.height; ++y)
                    for (int x = 0; x < 12; ++x) {
                        cb.plane.ptr(kMargin - 4, 0)[y * 24 + x] = nv.plane.ptr(kMargin - 8, 0)[y * 40 + 2 * x];
                        cr.plane.ptr(kMargin - 4, 0)[y * 24 + x] = nv.plane.ptr(kMargin - 8, 0)[y * 40 + 2 * x + 1];
                    }
                const Args8 a = random_args(rng, amp);
                const Kind8& k = kind(sets ? (vertical ? "Nv12SetsVer" : "Nv12SetsHor") : (vertical ? "Nv12Ver" : "Nv12Hor"));
                const Kind8& one = kind(vertical ? "ChromaVer" : "ChromaHor");
                ASSERT_EQ(fn(k)(nv.origin(), 40, a.alpha.data(), a.beta.data(), a.tc0.data(), a.bs.data()), ZAN_OK);
                const int s = sets ? 2 : 0;
                ASSERT_EQ(fn(one)(cb.origin(), 24, a.alpha.data(), a.beta.data(), a.tc0.data(), a.bs.data()), ZAN_OK);
                ASSERT_EQ(fn(one)(cr.origin(), 24, a.alpha.data() + s, a.beta.data() + s, a.tc0.data() + 4 * s,
                                  a.bs.data()),
                          ZAN_OK);
                for (int y = 0; y < nv.plane.height; ++y)
                    for (int x = 0; x < 12; ++x) {
                        ASSERT_EQ(nv.plane.ptr(kMargin - 8, 0)[y * 40 + 2 * x], cb.plane.ptr(kMargin - 4, 0)[y * 24 + x]);
                        ASSERT_EQ(nv.plane.ptr(kMargin - 8, 0)[y * 40 + 2 * x + 1],
                                  cr.plane.ptr(kMargin - 4, 0)[y * 24 + x]);
                    }
            }
}

INSTANTIATE_TEST_SUITE_P(Deblock, DeblockVariants, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "avx2" : "c"; });

// ---------------------------------------------------------------------------
// AVX2 against the portable driver (checkasm style)
// ---------------------------------------------------------------------------
TEST(DeblockCheckasm, Avx2MatchesPortableNearEveryThreshold) {
    ZT_REQUIRE_AVX2();
    zt::Rng rng;
    for (const Kind8& k : kinds8()) {
        for (int it = 0; it < 2500; ++it) {
            const int amp = kAmps[it % 8];
            const int step = k.width + 2 * kMargin + rng.range(0, 3) * 8 + rng.range(0, 1);
            Block ref(k.width, k.height, step), got(k.width, k.height, step);
            random_plane(rng, ref.plane, amp);
            std::memcpy(got.plane.ptr(), ref.plane.ptr(), size_t(step) * ref.plane.height);
            const Args8 a = random_args(rng, amp);
            // Every fourth call addresses the block bottom-up with a negative step.
            const bool up = it % 4 == 3;
            const int y0 = up ? kMargin + k.height - 1 : kMargin, s = up ? -step : step;
            ASSERT_EQ(k.c(ref.plane.ptr(kMargin, y0), s, a.alpha.data(), a.beta.data(), a.tc0.data(), a.bs.data()),
                      ZAN_OK);
            ASSERT_EQ(k.avx2(got.plane.ptr(kMargin, y0), s, a.alpha.data(), a.beta.data(), a.tc0.data(), a.bs.data()),
                      ZAN_OK);
            ASSERT_TRUE(zt::same_region(ref.plane.ptr(), step, got.plane.ptr(), step, step, ref.plane.height))
                << k.name << " iteration " << it << " amp " << amp;
            ASSERT_TRUE(got.plane.buf.guards_intact()) << k.name;
        }
    }
}

TEST(DeblockCheckasm, MbaffThresholdsAboveAnySampleDifference) {
    ZT_REQUIRE_AVX2();
    zt::Rng rng;
    // MBAFF alpha and beta far above any sample difference.
    for (Zan32u big : {256u, 1023u, 1024u, 65535u, 65536u, 0xFFFFFFFFu})
        for (int it = 0; it < 50; ++it) {
            Block ref(16, 8, 48), got(16, 8, 48);
            random_plane(rng, ref.plane, kAmps[it % 8]);
            std::memcpy(got.plane.ptr(), ref.plane.ptr(), size_t(48) * ref.plane.height);
            const Args8 a = random_args(rng, 255);
            ASSERT_EQ(zan::c::zaniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR(ref.origin(), 48, big, big,
                                                                                 a.tc0.data(), a.bs.data()),
                      ZAN_OK);
            ASSERT_EQ(zan::avx2::zaniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR(got.origin(), 48, big, big,
                                                                                    a.tc0.data(), a.bs.data()),
                      ZAN_OK);
            ASSERT_TRUE(zt::same_region(ref.plane.ptr(), 48, got.plane.ptr(), 48, 48, ref.plane.height)) << big;
        }
}

// ---------------------------------------------------------------------------
// 16-bit forms
// ---------------------------------------------------------------------------

// With bitDepth 8 every 16-bit form equals its 8-bit counterpart.
TEST(Deblock16, BitDepthEightEqualsTheEightBitForms) {
    zt::Rng rng;
    for (const Kind8& k : kinds8()) {
        if (!k.wide) continue;
        for (int it = 0; it < 1000; ++it) {
            const int amp = kAmps[it % 8];
            const int w = k.width + 2 * kMargin, h = k.height + 2 * kMargin;
            Block b8(k.width, k.height, w);
            random_plane(rng, b8.plane, amp);
            std::vector<uint16_t> p16(size_t(w) * h);
            for (size_t i = 0; i < p16.size(); ++i) p16[i] = b8.plane.ptr()[i];
            const Args8 a = random_args(rng, amp);
            std::array<uint16_t, 4> alpha, beta;
            std::array<uint16_t, 16> tc0;
            std::copy(a.alpha.begin(), a.alpha.end(), alpha.begin());
            std::copy(a.beta.begin(), a.beta.end(), beta.begin());
            std::copy(a.tc0.begin(), a.tc0.end(), tc0.begin());
            const ZanFilterDeblock_16u r{p16.data() + kMargin * w + kMargin, w, alpha.data(), beta.data(),
                                         tc0.data(), a.bs.data(), 8};
            ASSERT_EQ(k.wide(&r), ZAN_OK);
            ASSERT_EQ(k.c(b8.origin(), w, a.alpha.data(), a.beta.data(), a.tc0.data(), a.bs.data()), ZAN_OK);
            for (size_t i = 0; i < p16.size(); ++i) ASSERT_EQ(p16[i], b8.plane.ptr()[i]) << k.name << " at " << i;
        }
    }
}

TEST(Deblock16, BitDepthTenSaturatesAtBothEnds) {
    // Chroma 4:2:0 vertical, rows 0-1 near 1023, rows 2-3 near 0.
    std::vector<uint16_t> pl(16 * 16, 500);
    uint16_t* o = pl.data() + 4 * 16 + 4;
    const int hi[4] = {1023, 1020, 1022, 1000}, lo[4] = {0, 3, 1, 23};
    for (int y = 0; y < 4; ++y)
        for (int x = -2; x < 2; ++x) o[y * 16 + x] = uint16_t(y < 2 ? hi[x + 2] : lo[x + 2]);
    const uint16_t alpha[2] = {40, 40}, beta[2] = {30, 30}, tc0[8] = {10, 10, 10, 10, 10, 10, 10, 10};
    const uint8_t bs[16] = {2, 2, 0, 0};
    ZanFilterDeblock_16u r{o, 16, alpha, beta, tc0, bs, 10};
    ASSERT_EQ(zaniFilterDeblockingChromaVerEdge_H264_16u_C1IR(&r), ZAN_OK);
    // Delta (8 + 23 + 4) >> 3 = 4: p0 1020 + 4 -> 1023, q0 1018.
    EXPECT_EQ(o[-1], 1023);
    EXPECT_EQ(o[0], 1018);
    // Delta (-8 - 23 + 4) >> 3 = -4: p0 3 - 4 -> 0, q0 5.
    EXPECT_EQ(o[2 * 16 - 1], 0);
    EXPECT_EQ(o[2 * 16], 5);
}

TEST(Deblock16, ChecksNullPointersThenBitDepth) {
    std::vector<uint16_t> pl(32 * 32, 7);
    const std::vector<uint16_t> before = pl;
    const uint16_t th[16] = {};
    const uint8_t bs[16] = {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4};
    for (const Kind8& k : kinds8()) {
        if (!k.wide) continue;
        EXPECT_EQ(k.wide(nullptr), ZAN_ERR_NULL_PTR);
        const ZanFilterDeblock_16u good{pl.data() + 8 * 32 + 8, 32, th, th, th, bs, 10};
        for (int field = 0; field < 5; ++field) {
            ZanFilterDeblock_16u r = good;
            r.bitDepth = 99;  // null comes first
            if (field == 0) r.pSrcDst = nullptr;
            if (field == 1) r.pAlpha = nullptr;
            if (field == 2) r.pBeta = nullptr;
            if (field == 3) r.pThresholds = nullptr;
            if (field == 4) r.pBs = nullptr;
            EXPECT_EQ(k.wide(&r), ZAN_ERR_NULL_PTR) << k.name << " field " << field;
        }
        for (int depth : {0, -1, 17, 31, 32, 1 << 30}) {
            ZanFilterDeblock_16u r = good;
            r.bitDepth = depth;
            EXPECT_EQ(k.wide(&r), ZAN_ERR_BAD_ARG) << k.name << " bitDepth " << depth;
        }
        for (int depth : {1, 8, 14, 16}) {
            ZanFilterDeblock_16u r = good;
            r.bitDepth = depth;
            EXPECT_EQ(k.wide(&r), ZAN_OK) << k.name << " bitDepth " << depth;
        }
    }
    EXPECT_EQ(pl, before);  // alpha 0 everywhere: nothing filtered by the accepted calls either
}

TEST(Deblock16, FourteenBitLumaStrongFilterStaysExact) {
    // The largest bit depth of the standard: sums of 8 samples exceed 16 bits.
    std::vector<uint16_t> pl(24 * 24, 16383);
    uint16_t* o = pl.data() + 4 * 24 + 4;
    const int row[8] = {16000, 16100, 16200, 16300, 16383, 16383, 16383, 16383};
    for (int y = 0; y < 16; ++y)
        for (int x = -4; x < 4; ++x) o[y * 24 + x] = uint16_t(row[x + 4]);
    const uint16_t alpha[2] = {4000, 4000}, beta[2] = {250, 250}, tc0[16] = {};
    const uint8_t bs[16] = {4, 4, 4, 4};
    const ZanFilterDeblock_16u r{o, 24, alpha, beta, tc0, bs, 14};
    ASSERT_EQ(zaniFilterDeblockingLumaVerEdge_H264_16u_C1IR(&r), ZAN_OK);
    // p0' = (16100 + 2*16200 + 2*16300 + 2*16383 + 16383 + 4) >> 3
    EXPECT_EQ(o[-1], (16100 + 2 * 16200 + 2 * 16300 + 2 * 16383 + 16383 + 4) >> 3);
    EXPECT_EQ(o[-2], (16100 + 16200 + 16300 + 16383 + 2) >> 2);
    EXPECT_EQ(o[-3], (2 * 16000 + 3 * 16100 + 16200 + 16300 + 16383 + 4) >> 3);
    EXPECT_EQ(o[0], (16200 + 2 * 16300 + 2 * 16383 + 2 * 16383 + 16383 + 4) >> 3);
}

// ---------------------------------------------------------------------------
// Whole pictures against an independent decoder: intra-only streams made by
// x264, decoded by ffmpeg with the loop filter skipped (our input) and
// applied (the expected output); see deblock_streams.sh. alpha, beta and tC0
// come from QP as in H.264 8.7.2.2; bS is 4 on macroblock edges inside the
// picture and 3 on internal edges; macroblocks in raster order, vertical
// edges before horizontal ones.
// ---------------------------------------------------------------------------

// H.264 Table 8-16 (alpha', beta' by indexA, indexB) and Table 8-17 (tC0'
// by indexA and bS 1..3).
constexpr uint8_t kAlpha[52] = {0,  0,  0,  0,  0,  0,  0,  0,   0,   0,   0,   0,   0,   0,   0,   0,   4,   4,
                                5,  6,  7,  8,  9,  10, 12, 13,  15,  17,  20,  22,  25,  28,  32,  36,  40,  45,
                                50, 56, 63, 71, 80, 90, 101, 113, 127, 144, 162, 182, 203, 226, 255, 255};
constexpr uint8_t kBeta[52] = {0, 0, 0, 0, 0, 0, 0, 0, 0,  0,  0,  0,  0,  0,  0,  0,  2,  2,  2,  3,  3,  3,  3,  4,  4,  4,
                               6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14, 15, 15, 16, 16, 17, 17, 18, 18};
constexpr uint8_t kTc0[52][3] = {
    {0, 0, 0},   {0, 0, 0},   {0, 0, 0},   {0, 0, 0},   {0, 0, 0},    {0, 0, 0},    {0, 0, 0},    {0, 0, 0},
    {0, 0, 0},   {0, 0, 0},   {0, 0, 0},   {0, 0, 0},   {0, 0, 0},    {0, 0, 0},    {0, 0, 0},    {0, 0, 0},
    {0, 0, 0},   {0, 0, 1},   {0, 0, 1},   {0, 0, 1},   {0, 0, 1},    {0, 1, 1},    {0, 1, 1},    {1, 1, 1},
    {1, 1, 1},   {1, 1, 1},   {1, 1, 1},   {1, 1, 2},   {1, 1, 2},    {1, 1, 2},    {1, 1, 2},    {1, 2, 3},
    {1, 2, 3},   {2, 2, 3},   {2, 2, 4},   {2, 3, 4},   {2, 3, 4},    {3, 3, 5},    {3, 4, 6},    {3, 4, 6},
    {4, 5, 7},   {4, 5, 8},   {4, 6, 9},   {5, 7, 10},  {6, 8, 11},   {6, 8, 13},   {7, 10, 14},  {8, 11, 16},
    {9, 12, 18}, {10, 13, 20}, {11, 15, 23}, {13, 17, 25}};
// Table 8-15: QPc for qPI 30..51 (below 30 QPc = qPI).
constexpr uint8_t kQpc[22] = {29, 30, 31, 32, 32, 33, 34, 34, 35, 35, 36, 36, 37, 37, 37, 38, 38, 38, 39, 39, 39, 39};

std::vector<uint8_t> base64(const char* s) {
    auto val = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        return c == '+' ? 62 : (c == '/' ? 63 : -1);
    };
    std::vector<uint8_t> out;
    int acc = 0, bits = 0;
    for (; *s; ++s) {
        const int v = val(*s);
        if (v < 0) continue;  // padding
        acc = (acc << 6) | v;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(uint8_t(acc >> bits));
        }
    }
    return out;
}

// One picture's three planes as sample values.
struct Picture {
    int w, h, cw, ch;
    std::vector<int> plane[3];
};

Picture unpack(const DeblockStream& s, const char* data) {
    Picture p{s.width, s.height, s.width / 2, s.chroma422 ? s.height : s.height / 2, {}};
    const std::vector<uint8_t> bytes = base64(data);
    const size_t bps = s.bitDepth > 8 ? 2 : 1;
    size_t at = 0;
    for (int c = 0; c < 3; ++c) {
        const size_t n = size_t(c ? p.cw * p.ch : p.w * p.h);
        EXPECT_GE(bytes.size(), (at + n) * bps);
        for (size_t i = 0; i < n && (at + i + 1) * bps <= bytes.size(); ++i)
            p.plane[c].push_back(bps == 2 ? bytes[2 * (at + i)] | (bytes[2 * (at + i) + 1] << 8) : bytes[at + i]);
        at += n;
    }
    return p;
}

// Thresholds of an edge of the given QP (luma QPY or chroma QPc).
struct Edge {
    int alpha, beta, tc0;  // tC0 for bS 3 (bS 4 does not use it)
};
Edge thresholds(const DeblockStream& s, int qp) {
    const int indexA = zan::clip3(0, 51, qp + s.offsetA), indexB = zan::clip3(0, 51, qp + s.offsetB);
    const int scale = 1 << (s.bitDepth - 8);
    return {kAlpha[indexA] * scale, kBeta[indexB] * scale, kTc0[indexA][2] * scale};
}
int chroma_qp(const DeblockStream& s) {
    const int qpi = zan::clip3(-6 * (s.bitDepth - 8), 51, s.qp + s.chromaQpOffset);
    return qpi < 30 ? qpi : kQpc[qpi - 30];
}

// The arrays of one call: bS 4 on the external edge where the neighbour
// exists (else 0), 3 inside; the same alpha, beta and tC0 on every edge.
template <class Th>
struct CallArrays {
    Th alpha[4], beta[4], tc0[16];
    uint8_t bs[16];
    CallArrays(const Edge& e, bool neighbour) {
        for (int i = 0; i < 4; ++i) alpha[i] = Th(e.alpha), beta[i] = Th(e.beta);
        for (int i = 0; i < 16; ++i) tc0[i] = Th(e.tc0), bs[i] = i < 4 ? (neighbour ? 4 : 0) : 3;
    }
};

// Filters the picture macroblock by macroblock: planes[0] luma, then the
// chroma planes (one interleaved plane for NV12), each with the given kinds.
template <class T, class Call>
void filter_picture(const DeblockStream& s, std::vector<std::vector<T>>& planes, bool nv12, Call call) {
    const Edge ly = thresholds(s, s.qp), lc = thresholds(s, chroma_qp(s));
    const int cw = (nv12 ? 2 : 1) * s.width / 2, mbH = s.chroma422 ? 16 : 8;
    const std::string c = s.chroma422 ? "Chroma422" : (nv12 ? "Nv12" : "Chroma");
    for (int my = 0; my < s.height / 16; ++my)
        for (int mx = 0; mx < s.width / 16; ++mx) {
            T* py = planes[0].data() + 16 * (my * s.width + mx);
            call("LumaVer", py, s.width, CallArrays<T>(ly, mx > 0));
            call("LumaHor", py, s.width, CallArrays<T>(ly, my > 0));
            for (size_t i = 1; i < planes.size(); ++i) {
                T* pc = planes[i].data() + mbH * my * cw + (nv12 ? 16 : 8) * mx;
                call(c + "Ver", pc, cw, CallArrays<T>(lc, mx > 0));
                call(c + "Hor", pc, cw, CallArrays<T>(lc, my > 0));
            }
        }
}

template <class T>
::testing::AssertionResult same_plane(const std::vector<T>& got, const std::vector<int>& want) {
    if (got.size() != want.size()) return ::testing::AssertionFailure() << "size " << got.size();
    return zt::same_array(std::vector<int>(got.begin(), got.end()).data(), want.data(), want.size());
}

TEST(DeblockStreams, PicturesMatchAnIndependentDecoder) {
    for (const DeblockStream& s : kDeblockStreams) {
        SCOPED_TRACE(s.name);
        const Picture in = unpack(s, s.unfiltered), want = unpack(s, s.filtered);
        if (s.bitDepth > 8) {
            std::vector<std::vector<uint16_t>> planes;
            for (const auto& p : in.plane) planes.emplace_back(p.begin(), p.end());
            filter_picture(s, planes, false, [&](const std::string& name, uint16_t* p, int step, const auto& a) {
                const ZanFilterDeblock_16u r{p, step, a.alpha, a.beta, a.tc0, a.bs, s.bitDepth};
                ASSERT_EQ(kind(name).wide(&r), ZAN_OK) << name;
            });
            for (int c = 0; c < 3; ++c)
                EXPECT_TRUE(same_plane(planes[size_t(c)], want.plane[c])) << "plane " << c;
            continue;
        }
        for (bool avx2 : {false, true})
            for (const std::string form : {"C1IR", "C2IR", "C2I"}) {
                const bool nv12 = form != "C1IR";
                if ((avx2 && !zt::have_avx2()) || (s.chroma422 && nv12)) continue;
                SCOPED_TRACE((avx2 ? "avx2 " : "c ") + form);
                std::vector<std::vector<uint8_t>> planes;
                planes.emplace_back(in.plane[0].begin(), in.plane[0].end());
                if (nv12) {
                    planes.emplace_back(2 * in.plane[1].size());
                    for (size_t i = 0; i < in.plane[1].size(); ++i)
                        planes[1][2 * i] = uint8_t(in.plane[1][i]), planes[1][2 * i + 1] = uint8_t(in.plane[2][i]);
                } else {
                    planes.emplace_back(in.plane[1].begin(), in.plane[1].end());
                    planes.emplace_back(in.plane[2].begin(), in.plane[2].end());
                }
                filter_picture(s, planes, nv12, [&](std::string name, uint8_t* p, int step, const auto& a) {
                    if (form == "C2I" && name.rfind("Nv12", 0) == 0) name.insert(4, "Sets");
                    const Kind8& k = kind(name);
                    ASSERT_EQ((avx2 ? k.avx2 : k.c)(p, step, a.alpha, a.beta, a.tc0, a.bs), ZAN_OK) << name;
                });
                EXPECT_TRUE(same_plane(planes[0], want.plane[0])) << "luma";
                EXPECT_FALSE(same_plane(planes[0], in.plane[0])) << "the filter changed nothing";
                for (int c = 1; c < 3; ++c) {
                    std::vector<int> got;
                    for (size_t i = 0; i < want.plane[c].size(); ++i)
                        got.push_back(nv12 ? planes[1][2 * i + size_t(c - 1)] : planes[size_t(c)][i]);
                    EXPECT_TRUE(same_plane(got, want.plane[c])) << "chroma " << c;
                }
            }
    }
}

}  // namespace
