// Block metrics: worked examples from the definitions (rounding of the
// half-sample predictions, Hadamard sums, variance formulas, activity and
// edge measures), argument checks in order with untouched outputs, and the
// unhandled-mcType behaviours. All through the public entry points.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "support/checkasm.h"

namespace {

// A 32 x 32 plane of one value, or filled by a function of (x, y).
struct Tile {
    explicit Tile(int v = 0) { data.fill(uint8_t(v)); }
    template <class F>
    static Tile of(F f) {
        Tile t;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) t.data[size_t(y * 32 + x)] = uint8_t(f(x, y));
        return t;
    }
    Zan8u* p() { return data.data(); }
    static constexpr int step = 32;
    std::array<Zan8u, 32 * 32> data;
};

// Constant reference: every prediction equals the source, so every
// difference measure is 0 for each handled mcType.
TEST(MetricsExamples, IdenticalBlocksMeasureZero) {
    Tile s(77), r(77);
    for (int mc : {0, 4, 8, 12}) {
        Zan32s v = -1;
        ASSERT_EQ(zaniSAD16x16_8u32s(s.p(), 32, r.p(), 32, &v, mc), ZAN_OK);
        EXPECT_EQ(v, 0);
        ASSERT_EQ(zaniSAD16x8_8u32s_C1R(s.p(), 32, r.p(), 32, &v, mc), ZAN_OK);
        EXPECT_EQ(v, 0);
        ASSERT_EQ(zaniSSD8x8_8u32s_C1R(s.p(), 32, r.p(), 32, &v, mc), ZAN_OK);
        EXPECT_EQ(v, 0);
        ASSERT_EQ(zaniSqrDiff16x16_8u32s(s.p(), 32, r.p(), 32, mc, &v), ZAN_OK);
        EXPECT_EQ(v, 0);
        ASSERT_EQ(zaniSqrDiff16x16B_8u32s(s.p(), 32, r.p(), 32, mc, r.p(), 32, 12 - mc, &v), ZAN_OK);
        EXPECT_EQ(v, 0);
    }
    Zan32s v = -1;
    EXPECT_EQ(zaniSATD16x16_8u32s_C1R(s.p(), 32, r.p(), 32, &v), ZAN_OK);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(zaniSAT8x8D_8u32s_C1R(s.p(), 32, r.p(), 32, &v), ZAN_OK);
    EXPECT_EQ(v, 0);
}

// HH of 0, 0, 1, 1 is (2 + 2) >> 2 = 1, or (2 + 1) >> 2 = 0 with
// roundControl 1; FH of 0 and 1 is 1, or 0 with roundControl 1.
TEST(MetricsExamples, HalfSampleRounding) {
    Tile zero(0);
    Tile rows01 = Tile::of([](int, int y) { return y & 1; });  // rows 0, 1, 0, 1, ...
    Zan32s v = -1;
    // Source 0: the SAD and SSD equal the number of samples predicted as 1.
    EXPECT_EQ(zaniSAD8x8_8u32s_C1R(zero.p(), 32, rows01.p(), 32, &v, 12), ZAN_OK);
    EXPECT_EQ(v, 64);
    EXPECT_EQ(zaniSSD4x4_8u32s_C1R(zero.p(), 32, rows01.p(), 32, &v, 12), ZAN_OK);
    EXPECT_EQ(v, 16);
    EXPECT_EQ(zaniSAD8x8_8u32s_C1R(zero.p(), 32, rows01.p(), 32, &v, 4), ZAN_OK);
    EXPECT_EQ(v, 64);
    EXPECT_EQ(zaniSAD8x8_8u32s_C1R(zero.p(), 32, rows01.p(), 32, &v, 8), ZAN_OK);
    EXPECT_EQ(v, 32);  // horizontal neighbours are equal: odd rows predict 1

    std::array<Zan16s, 64> diff{}, pred{};
    for (int rc : {0, 1})
        for (int mc : {4, 12}) {
            ASSERT_EQ(zaniGetDiff8x8_8u16s_C1(zero.p(), 32, rows01.p(), 32, diff.data(), 16, pred.data(), 16, mc, rc),
                      ZAN_OK);
            for (int i = 0; i < 64; ++i) {
                EXPECT_EQ(pred[size_t(i)], 1 - rc) << "mc " << mc << " rc " << rc;
                EXPECT_EQ(diff[size_t(i)], rc - 1);
            }
        }
    // Any non-zero roundControl counts as 1.
    ASSERT_EQ(zaniGetDiff8x8_8u16s_C1(zero.p(), 32, rows01.p(), 32, diff.data(), 16, pred.data(), 16, 12, 7), ZAN_OK);
    EXPECT_EQ(pred[0], 0);
}

// Bi-directional prediction of 10 and 11 is 11, whatever roundControl.
TEST(MetricsExamples, BidirectionalAverageRoundsUp) {
    Tile cur(11), f(10), b(11);
    std::array<Zan16s, 8 * 8> d;
    for (int rc : {0, 1}) {
        d.fill(99);
        ASSERT_EQ(zaniGetDiff8x8B_8u16s_C1(cur.p(), 32, f.p(), 32, 0, b.p(), 32, 0, d.data(), 16, rc), ZAN_OK);
        for (Zan16s v : d) EXPECT_EQ(v, 0);
    }
    Zan32s ssd = -1;
    ASSERT_EQ(zaniSqrDiff16x16B_8u32s(cur.p(), 32, f.p(), 32, 0, b.p(), 32, 0, &ssd), ZAN_OK);
    EXPECT_EQ(ssd, 0);
    // Bits other than 2 and 3 are ignored by the bi-directional forms.
    Zan32s a = -1, e = -2;
    Tile s = Tile::of([](int x, int y) { return (x * 37 + y * 11) & 255; });
    Tile r = Tile::of([](int x, int y) { return (x * 5 + y * y) & 255; });
    ASSERT_EQ(zaniSqrDiff16x16B_8u32s(s.p(), 32, r.p(), 32, 13, r.p(), 32, 1, &a), ZAN_OK);
    ASSERT_EQ(zaniSqrDiff16x16B_8u32s(s.p(), 32, r.p(), 32, 12, r.p(), 32, 0, &e), ZAN_OK);
    EXPECT_EQ(a, e);
}

TEST(MetricsExamples, TwoChannelSadAndDifferences) {
    // Channel 0 (even bytes) differs by 3, channel 1 by 5.
    Tile s = Tile::of([](int x, int) { return x & 1 ? 50 : 20; });
    Tile r = Tile::of([](int x, int) { return x & 1 ? 45 : 23; });
    Zan32s a = -1, b = -1;
    ASSERT_EQ(zaniSAD8x8_8u32s_C2R(s.p(), 32, r.p(), 32, &a, &b, 8), ZAN_OK);  // neighbour is the same channel
    EXPECT_EQ(a, 64 * 3);
    EXPECT_EQ(b, 64 * 5);
    std::array<Zan16s, 32> u{}, v{};
    ASSERT_EQ(zaniGetDiff8x4_8u16s_C2P2(s.p(), 32, r.p(), 32, u.data(), 16, v.data(), 16, 12, 0), ZAN_OK);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(u[size_t(i)], -3);
        EXPECT_EQ(v[size_t(i)], 5);
    }
}

// A single difference of 1 spreads to all 16 (or 64) Hadamard coefficients
// as +-1; a constant difference c gives one DC coefficient of 16c (64c).
TEST(MetricsExamples, HadamardSums) {
    Tile zero(0);
    Tile one = Tile::of([](int x, int y) { return x == 0 && y == 0; });
    Zan32s v = -1;
    EXPECT_EQ(zaniSATD4x4_8u32s_C1R(one.p(), 32, zero.p(), 32, &v), ZAN_OK);
    EXPECT_EQ(v, 16);
    EXPECT_EQ(zaniSATD16x16_8u32s_C1R(one.p(), 32, zero.p(), 32, &v), ZAN_OK);
    EXPECT_EQ(v, 16);
    EXPECT_EQ(zaniSAT8x8D_8u32s_C1R(one.p(), 32, zero.p(), 32, &v), ZAN_OK);
    EXPECT_EQ(v, 64);
    Tile c(200);
    EXPECT_EQ(zaniSATD8x16_8u32s_C1R(c.p(), 32, zero.p(), 32, &v), ZAN_OK);
    EXPECT_EQ(v, 8 * 16 * 200);
    EXPECT_EQ(zaniSAT8x8D_8u32s_C1R(zero.p(), 32, c.p(), 32, &v), ZAN_OK);
    EXPECT_EQ(v, 64 * 200);
    // 16-bit samples: a DC of 64 * 1024 = 65536 still comes out exactly (the
    // last stage sees two 16-bit magnitudes of 32768).
    std::vector<Zan16u> big(64, 1024), nil(64, 0);
    EXPECT_EQ(zaniSAT8x8D_16u32s_C1R(big.data(), 16, nil.data(), 16, &v), ZAN_OK);
    EXPECT_EQ(v, 65536);
    // Rows 0..3 at 1024, rows 4..7 at 0: the pair of the last stage is
    // (-32768 wrapped, 0), whose larger 16-bit magnitude is 32768.
    std::fill(big.begin() + 32, big.end(), Zan16u(0));
    EXPECT_EQ(zaniSAT8x8D_16u32s_C1R(big.data(), 16, nil.data(), 16, &v), ZAN_OK);
    EXPECT_EQ(v, 65536);
    EXPECT_EQ(zan::c::zaniSAT8x8D_16u32s_C1R(big.data(), 16, nil.data(), 16, &v), ZAN_OK);
    EXPECT_EQ(v, 65536);
}

TEST(MetricsExamples, VarianceFormulas) {
    Zan32s var = -1, sum = -1;
    Tile all255(255);
    EXPECT_EQ(zaniVariance16x16_8u32s(all255.p(), 32, &var), ZAN_OK);
    EXPECT_EQ(var, 0);  // S^2 = 4261478400 held exactly
    Tile half = Tile::of([](int x, int) { return x < 8 ? 0 : 255; });
    EXPECT_EQ(zaniVariance16x16_8u32s(half.p(), 32, &var), ZAN_OK);
    EXPECT_EQ(var, 8323200 - 4161600);
    Tile hundred(100);
    EXPECT_EQ(zaniVarMean8x8_8u32s_C1R(hundred.p(), 32, &var, &sum), ZAN_OK);
    EXPECT_EQ(sum, 6400);
    EXPECT_EQ(var, 0);
    // Q/64 - (S/64)^2 of a 0/255 checkerboard: 32512.5 - 127.5^2 = 16256.25.
    Tile checker = Tile::of([](int x, int y) { return ((x ^ y) & 1) * 255; });
    EXPECT_EQ(zaniVarSum8x8_8u32s_C1R(checker.p(), 32, &var, &sum), ZAN_OK);
    EXPECT_EQ(sum, 32 * 255);
    EXPECT_EQ(var, 16256);
    // 16-bit signed: each column saturates at 32767 before the columns add.
    std::vector<Zan16s> hot(64, 32767);
    EXPECT_EQ(zaniVarSum8x8_16s32s_C1R(hot.data(), 16, &var, &sum), ZAN_OK);
    EXPECT_EQ(sum, 8 * 32767);
}

TEST(MetricsExamples, VarMeanDiffParts) {
    // Source 10, prediction 4: difference 6 everywhere; M = (640 - 256) / 8 =
    // 48, D2 = 64 * 36 = 2304 = M^2, so the variance is 0.
    Tile s(10), r(4);
    const Zan32s srcSum[4] = {640, 640, 640, 640};
    std::array<Zan32s, 4> var{}, mean{};
    ASSERT_EQ(zaniVarMeanDiff16x16_8u32s_C1R(s.p(), 32, r.p(), 32, srcSum, var.data(), mean.data(), 0), ZAN_OK);
    EXPECT_EQ(var, (std::array<Zan32s, 4>{0, 0, 0, 0}));
    EXPECT_EQ(mean, (std::array<Zan32s, 4>{48, 48, 48, 48}));
    // Differences of 0 and 2 in alternating columns, pSrcSum as VarSum gives
    // it: M = 64 / 8 = 8, D2 = 32 * 4 = 128, var = (128 - 64) >> 6 = 1.
    Tile alt = Tile::of([](int x, int) { return 4 + 2 * (x & 1); });
    const Zan32s altSum[2] = {64 * 5, 64 * 5};
    var.fill(-7);
    ASSERT_EQ(zaniVarMeanDiff16x8_8u32s_C1R(alt.p(), 32, r.p(), 32, altSum, var.data(), mean.data(), 0), ZAN_OK);
    EXPECT_EQ(var[0], 1);
    EXPECT_EQ(var[1], 1);
    EXPECT_EQ(var[2], -7);  // 16x8 writes two parts
    EXPECT_EQ(mean[0], 8);
}

TEST(MetricsExamples, ActivityAndEdges) {
    Tile split = Tile::of([](int, int y) { return y < 8 ? 0 : 255; });
    Zan32s frame = -1, field = -1;
    EXPECT_EQ(zaniFrameFieldSAD16x16_8u32s_C1R(split.p(), 32, &frame, &field), ZAN_OK);
    EXPECT_EQ(frame, 0);
    EXPECT_EQ(field, 2 * 16 * 255);
    // 16-bit signed: totals kept modulo 65536.
    std::vector<Zan16s> rows(16 * 16);
    for (int i = 0; i < 256; ++i) rows[size_t(i)] = Zan16s((i / 16) & 1 ? 4000 : 0);  // alternate rows
    EXPECT_EQ(zaniFrameFieldSAD16x16_16s32s_C1R(rows.data(), 32, &frame, &field), ZAN_OK);
    EXPECT_EQ(frame, (14 * 16 * 4000) % 65536);
    EXPECT_EQ(field, 0);

    Tile mad = Tile::of([](int x, int) { return x & 1 ? 10 : 0; });
    Zan32s dev = -1;
    EXPECT_EQ(zaniMeanAbsDev8x8_8u32s_C1R(mad.p(), 32, &dev), ZAN_OK);
    EXPECT_EQ(dev, 64 * 5);  // mean (320 + 32) >> 6 = 5
    EXPECT_EQ(zaniMeanAbsDev16x16_8u32s_C1R(mad.p(), 32, &dev), ZAN_OK);
    EXPECT_EQ(dev, 256 * 5);

    // Columns 0..7 are 0, 8..15 are 100: 15 edge samples (column 7, rows 0..14).
    Tile edge = Tile::of([](int x, int) { return x < 8 ? 0 : 100; });
    Zan8u res = 9;
    EXPECT_EQ(zaniEdgesDetect16x16_8u_C1R(edge.p(), 32, 10, 14, &res), ZAN_OK);
    EXPECT_EQ(res, 1);
    EXPECT_EQ(zaniEdgesDetect16x16_8u_C1R(edge.p(), 32, 10, 15, &res), ZAN_OK);
    EXPECT_EQ(res, 0);
    std::vector<Zan16u> edge16(16 * 16);
    for (int i = 0; i < 256; ++i) edge16[size_t(i)] = (i % 16) < 8 ? 0 : 1000;
    Zan32u res16 = 9;
    EXPECT_EQ(zaniEdgesDetect16x16_16u_C1R(edge16.data(), 32, 999, 14, &res16), ZAN_OK);
    EXPECT_EQ(res16, 1u);
    EXPECT_EQ(zaniEdgesDetect16x16_16u_C1R(edge16.data(), 32, 1000, 14, &res16), ZAN_OK);
    EXPECT_EQ(res16, 0u);
}

TEST(MetricsExamples, SixteenBitArithmetic) {
    // HH interpolation saturates at 65535: 4 * 40000 + 2 -> 65535 >> 2 = 16383.
    std::vector<Zan16u> r(17 * 17, 40000), s(16 * 16, 16383);
    Zan32s v = -1;
    EXPECT_EQ(zaniSAD16x16_16u32s_C1R(s.data(), 32, r.data(), 34, &v, 12), ZAN_OK);
    EXPECT_EQ(v, 0);
    // Absolute differences are 16-bit magnitudes of the wrapped difference:
    // |0 - 40000| is |-40000 mod 65536| = |25536| = 25536.
    std::vector<Zan16u> z(16 * 16, 0);
    EXPECT_EQ(zaniSAD4x4_16u32s_C1R(z.data(), 32, r.data(), 34, &v, 0), ZAN_OK);
    EXPECT_EQ(v, 16 * 25536);
    std::array<Zan16s, 16> d{};
    EXPECT_EQ(zaniSub4x4_16u16s_C1R(z.data(), 32, r.data(), 34, d.data(), 8), ZAN_OK);
    EXPECT_EQ(d[0], Zan16s(25536));
    // SumsDiff keeps exact 32-bit differences.
    std::array<Zan32s, 4> sums{};
    EXPECT_EQ(zaniSumsDiff8x8Blocks4x4_16u32s_C1R(z.data(), 32, r.data(), 34, sums.data(), nullptr), ZAN_OK);
    EXPECT_EQ(sums[0], -16 * 40000);
}

TEST(MetricsExamples, MultiCandidateCountsAndMinimum) {
    Tile s = Tile::of([](int x, int y) { return (x * 13 + y * 7) & 255; });
    // The reference repeats the source's 8 columns with a shift of 3:
    // candidates 3 and 11 both match exactly.
    Tile r = Tile::of([](int x, int y) { return (((x - 3) & 7) * 13 + y * 7) & 255; });
    std::array<Zan16u, 24> sad;
    sad.fill(0xBEEF);
    Zan32s idx = -1;
    EXPECT_EQ(zaniSAD8x8xNI_8u16u_C1R(s.p(), 32, r.p(), 32, sad.data(), 7, &idx), ZAN_ERR_BAD_ARG);
    EXPECT_EQ(zaniSAD8x8xN_8u16u_C1R(s.p(), 32, r.p(), 32, sad.data(), 7), ZAN_ERR_SIZE);
    EXPECT_EQ(sad[0], 0xBEEF);
    EXPECT_EQ(idx, -1);
    EXPECT_EQ(zaniSAD8x8xN_8u16u_C1R(s.p(), 32, r.p(), 32, sad.data(), 15), ZAN_OK);  // 8 candidates
    EXPECT_EQ(sad[8], 0xBEEF);
    EXPECT_EQ(sad[3], 0);
    EXPECT_NE(sad[2], 0);
    EXPECT_EQ(zaniSAD8x8xNI_8u16u_C1R(s.p(), 32, r.p(), 32, sad.data(), 23, &idx), ZAN_OK);  // 16 candidates
    EXPECT_EQ(sad[11], 0);
    EXPECT_EQ(sad[16], 0xBEEF);
    EXPECT_EQ(idx, 3);
    // Two equal minima: the smaller index wins.
    Tile flat(9), flatRef(9);
    EXPECT_EQ(zaniSAD16x16xNI_8u16u_C1R(flat.p(), 32, flatRef.p(), 32, sad.data(), 16, &idx), ZAN_OK);
    EXPECT_EQ(idx, 0);
    // 16x16 SADs above 32767 compare unsigned.
    Tile white(255), black(0);
    std::array<Zan16u, 8> big{};
    EXPECT_EQ(zaniSAD16x16xNI_8u16u_C1R(white.p(), 32, black.p(), 32, big.data(), 8, &idx), ZAN_OK);
    EXPECT_EQ(big[7], 65280);
    EXPECT_EQ(zaniSAD2x2xN_8u16u_C1R(white.p(), 32, black.p(), 32, big.data(), 8), ZAN_OK);
    EXPECT_EQ(big[0], 4 * 255);
}

TEST(MetricsExamples, PartialSadsAndSums) {
    // Quarter q of the source differs from the reference by q + 1.
    Tile s = Tile::of([](int x, int y) { return 10 + (x >= 8) + 2 * (y >= 8) + 1; });
    Tile r(10);
    std::array<Zan16u, 16> out{};
    EXPECT_EQ(zaniSAD16x16Blocks8x8_8u16u(s.p(), 32, r.p(), 32, out.data()), ZAN_OK);
    EXPECT_EQ(out[0], 64);
    EXPECT_EQ(out[1], 128);
    EXPECT_EQ(out[2], 192);
    EXPECT_EQ(out[3], 256);
    EXPECT_EQ(zaniSAD16x16Blocks4x4_8u16u(s.p(), 32, r.p(), 32, out.data()), ZAN_OK);
    EXPECT_EQ(out[0], 16);
    EXPECT_EQ(out[3], 32);
    EXPECT_EQ(out[15], 64);
    std::array<Zan16s, 16> sums{};
    std::array<Zan16s, 256> diff{};
    EXPECT_EQ(zaniSumsDiff16x16Blocks4x4_8u16s_C1(r.p(), 32, s.p(), 32, sums.data(), diff.data()), ZAN_OK);
    EXPECT_EQ(sums[0], -16);
    EXPECT_EQ(sums[15], -64);
    EXPECT_EQ(diff[255], -4);
    Zan32s sad = -1;
    std::array<Zan16s, 64> d{};
    EXPECT_EQ(zaniSubSAD8x8_8u16s_C1R(r.p(), 32, s.p(), 32, d.data(), 16, &sad), ZAN_OK);
    EXPECT_EQ(sad, 64);
    EXPECT_EQ(d[0], -1);
}

// Null pointers first (-8), then the member's own checks in order; nothing
// written on failure.
TEST(MetricsValidation, NullPointersAndStepsFirst) {
    Tile s(1), r(2);
    Zan32s a = 5, b = 6;
    EXPECT_EQ(zaniSAD16x16_8u32s(nullptr, 32, r.p(), 32, &a, 99), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniSAD4x4_8u32s(s.p(), 32, nullptr, 32, &a), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniSATD8x8_8u32s_C1R(s.p(), 32, r.p(), 32, nullptr), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniSAD8x8_8u32s_C2R(s.p(), 0, r.p(), 32, &a, nullptr, 0), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniSAD8x8_8u32s_C2R(s.p(), 0, r.p(), 32, &a, &b, 99), ZAN_ERR_STEP);
    EXPECT_EQ(zaniSAD8x8_8u32s_C2R(s.p(), 32, r.p(), -32, &a, &b, 0), ZAN_ERR_STEP);
    EXPECT_EQ(zaniSAD8x8_8u32s_C2R(s.p(), 32, r.p(), 32, &a, &b, 16), ZAN_WRN_NO_OPERATION);
    EXPECT_EQ(zaniSAD16x16xN_8u16u_C1R(s.p(), 32, r.p(), 32, nullptr, 0), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniSAD4x4xNI_8u16u_C1R(s.p(), 32, r.p(), 32, reinterpret_cast<Zan16u*>(&b), 8, nullptr),
              ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniSAD2x2xN_8u16u_C1R(s.p(), 32, r.p(), 32, reinterpret_cast<Zan16u*>(&b), -8), ZAN_ERR_SIZE);
    EXPECT_EQ(zaniVarMeanDiff16x8_8u32s_C1R(s.p(), 32, r.p(), 32, nullptr, &a, &b, 99), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniEdgesDetect16x16_16u_C1R(nullptr, 32, 1u << 20, 0, nullptr), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniSumsDiff8x8Blocks4x4_8u16s_C2P2(s.p(), 32, r.p(), 32, r.p(), 32, reinterpret_cast<Zan16s*>(&a),
                                                  nullptr, nullptr, nullptr),
              ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniGetDiff8x8B_8u16s_C2P2(s.p(), 32, r.p(), 32, 0, r.p(), 32, 0, reinterpret_cast<Zan16s*>(&a), 16,
                                         nullptr, 16, 0),
              ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniGetDiff16x16B_8u16s_C1(s.p(), 32, r.p(), 32, 0, nullptr, 32, 0, reinterpret_cast<Zan16s*>(&a), 32, 0),
              ZAN_ERR_NULL_PTR);
    EXPECT_EQ(a, 5);
    EXPECT_EQ(b, 6);
    // Optional outputs may be null.
    std::array<Zan16s, 64> d{};
    std::array<Zan16s, 4> sums{};
    EXPECT_EQ(zaniGetDiff8x8_8u16s_C1(s.p(), 32, r.p(), 32, d.data(), 16, nullptr, 0, 0, 0), ZAN_OK);
    EXPECT_EQ(d[63], -1);
    EXPECT_EQ(zaniSumsDiff8x8Blocks4x4_8u16s_C1(s.p(), 32, r.p(), 32, sums.data(), nullptr), ZAN_OK);
    EXPECT_EQ(sums[3], -16);
}

// Unhandled mcType values return 1 (no operation) and write nothing, for the
// members that index by mcType >> 2 (0..15 accepted) and for those that name
// the four values (exactly 0, 4, 8, 12 accepted).
TEST(MetricsValidation, UnhandledMcTypeWritesNothing) {
    Tile s(1), r(2);
    for (int mc : {16, 17, -1, -4, 1 << 30}) {
        Zan32s v = 1234;
        EXPECT_EQ(zaniSAD16x16_8u32s(s.p(), 32, r.p(), 32, &v, mc), ZAN_WRN_NO_OPERATION);
        EXPECT_EQ(zaniSAD8x8_8u32s_C1R(s.p(), 32, r.p(), 32, &v, mc), ZAN_WRN_NO_OPERATION);
        EXPECT_EQ(zaniSAD16x8_8u32s_C1R(s.p(), 32, r.p(), 32, &v, mc), ZAN_WRN_NO_OPERATION);
        EXPECT_EQ(zaniSAD16x16_16u32s_C1R(reinterpret_cast<Zan16u*>(s.p()), 64, reinterpret_cast<Zan16u*>(r.p()), 64,
                                          &v, mc),
                  ZAN_WRN_NO_OPERATION);
        EXPECT_EQ(zaniSSD8x8_8u32s_C1R(s.p(), 32, r.p(), 32, &v, mc), ZAN_WRN_NO_OPERATION);
        EXPECT_EQ(zaniSSD4x4_8u32s_C1R(s.p(), 32, r.p(), 32, &v, mc), ZAN_WRN_NO_OPERATION);
        EXPECT_EQ(v, 1234);
    }
    // mcType 5 indexes position 1 where ">> 2" is the rule ...
    Zan32s a = -1, b = -2;
    EXPECT_EQ(zaniSAD16x16_8u32s(s.p(), 32, r.p(), 32, &a, 5), ZAN_OK);
    EXPECT_EQ(zaniSAD16x16_8u32s(s.p(), 32, r.p(), 32, &b, 4), ZAN_OK);
    EXPECT_EQ(a, b);
    // ... but is not one of the four values SqrDiff and VarMeanDiff handle:
    // they report "no operation" instead of success with nothing written.
    for (int mc : {5, 16, -4, 2}) {
        Zan32s v = 1234;
        EXPECT_EQ(zaniSqrDiff16x16_8u32s(s.p(), 32, r.p(), 32, mc, &v), ZAN_WRN_NO_OPERATION);
        EXPECT_EQ(v, 1234);
        const Zan32s sums[4] = {};
        std::array<Zan32s, 4> var, mean;
        var.fill(7);
        mean.fill(8);
        EXPECT_EQ(zaniVarMeanDiff16x16_8u32s_C1R(s.p(), 32, r.p(), 32, sums, var.data(), mean.data(), mc),
                  ZAN_WRN_NO_OPERATION);
        EXPECT_EQ(var, (std::array<Zan32s, 4>{7, 7, 7, 7}));
        EXPECT_EQ(mean, (std::array<Zan32s, 4>{8, 8, 8, 8}));
    }
    // Edge thresholds out of range are an error, not a silent success.
    std::vector<Zan16u> e(256, 0);
    Zan32u res = 77;
    EXPECT_EQ(zaniEdgesDetect16x16_16u_C1R(e.data(), 32, 65536, 0, &res), ZAN_ERR_OUT_OF_RANGE);
    EXPECT_EQ(zaniEdgesDetect16x16_16u_C1R(e.data(), 32, 0, 257, &res), ZAN_ERR_OUT_OF_RANGE);
    EXPECT_EQ(res, 77u);
    EXPECT_EQ(zaniEdgesDetect16x16_16u_C1R(e.data(), 32, 65535, 256, &res), ZAN_OK);
    EXPECT_EQ(res, 0u);
}

}  // namespace
