// H.264 intra prediction: worked examples of every mode (H.264 8.3), the
// above-right substitution, the 8x8 reference-sample filter, the fallback
// to 128 and the -117 refusals, and the predictors' argument checks.
#include <cstring>

#include "support/checkasm.h"

namespace {

// A 32x32 picture whose block of interest starts at (8, 8).
struct Pic {
    static constexpr int kStep = 32;
    uint8_t px[32 * 32];
    Pic() { std::memset(px, 0, sizeof px); }
    uint8_t* blk() { return px + 8 * kStep + 8; }
    uint8_t& at(int x, int y) { return blk()[y * kStep + x]; }  // relative to the block
};

// Neighbours of the 4x4 examples: p[x, -1] x = 0..7, p[-1, y] y = 0..3,
// p[-1, -1] = 5.
Pic example4x4() {
    Pic p;
    const int top[8] = {10, 30, 60, 100, 150, 210, 250, 255}, left[4] = {20, 50, 90, 140};
    for (int x = 0; x < 8; ++x) p.at(x, -1) = uint8_t(top[x]);
    for (int y = 0; y < 4; ++y) p.at(-1, y) = uint8_t(left[y]);
    p.at(-1, -1) = 5;
    return p;
}

constexpr int kAll4x4 = 1 | 2 | 32 | 64;

struct Expect {
    int x, y, v;
};

TEST(H264Intra4x4, WorkedExamplesOfEveryMode) {
    // Values worked out by hand from the equations of H.264 8.3.1.2.
    const std::vector<std::vector<Expect>> cases = {
        {{0, 0, 10}, {3, 2, 100}},                                                   // 0 vertical
        {{2, 0, 20}, {0, 3, 140}},                                                   // 1 horizontal
        {{0, 0, 63}, {3, 3, 63}},                                                    // 2 DC: 504 >> 3
        {{0, 0, 33}, {1, 2, 153}, {3, 3, 254}},                                      // 3 diagonal down-left
        {{0, 0, 10}, {1, 0, 14}, {0, 1, 24}, {0, 3, 93}},                            // 4 diagonal down-right
        {{0, 0, 8}, {0, 1, 10}, {0, 2, 24}, {0, 3, 53}, {1, 1, 14}, {3, 0, 80}},     // 5 vertical-right
        {{0, 0, 13}, {1, 0, 10}, {2, 0, 14}, {3, 0, 33}, {0, 3, 115}, {1, 1, 24}},   // 6 horizontal-down
        {{0, 0, 20}, {0, 1, 33}, {3, 3, 205}, {3, 2, 180}},                          // 7 vertical-left
        {{0, 0, 35}, {1, 0, 53}, {1, 2, 128}, {3, 3, 140}, {2, 1, 115}},             // 8 horizontal-up
    };
    for (int mode = 0; mode < 9; ++mode) {
        Pic p = example4x4();
        ASSERT_EQ(zaniPredictIntra_4x4_H264_8u_C1IR(p.blk(), Pic::kStep, mode, kAll4x4), ZAN_OK) << mode;
        for (const Expect& e : cases[mode]) EXPECT_EQ(p.at(e.x, e.y), e.v) << "mode " << mode << " (" << e.x << ", " << e.y << ")";
        EXPECT_EQ(p.at(4, 0), 0) << "wrote outside the block";
        EXPECT_EQ(p.at(0, 4), 0);
    }
}

TEST(H264Intra4x4, AboveRightSubstitutionFallbackAndDC) {
    // Without the above-right samples p[4..7, -1] become p[3, -1] = 100:
    // DDL (3, 3) = (100 + 3 * 100 + 2) >> 2 = 100.
    Pic p = example4x4();
    ASSERT_EQ(zaniPredictIntra_4x4_H264_8u_C1IR(p.blk(), Pic::kStep, 3, 1 | 2 | 32), ZAN_OK);
    EXPECT_EQ(p.at(3, 3), 100);
    EXPECT_EQ(p.at(0, 0), 33);
    // Bits other than 1, 2, 32, 64 are ignored.
    Pic q = example4x4();
    ASSERT_EQ(zaniPredictIntra_4x4_H264_8u_C1IR(q.blk(), Pic::kStep, 3, 1 | 2 | 32 | 4 | 128), ZAN_OK);
    EXPECT_EQ(q.at(3, 3), 100);
    // A missing neighbour: 128 everywhere and status 11.
    const struct {
        int mode, avail;
    } missing[] = {{0, 2 | 32}, {1, 1 | 32}, {3, 2}, {4, 1 | 2}, {5, 1 | 32}, {6, 2 | 32}, {7, 2}, {8, 1}};
    for (auto m : missing) {
        Pic r = example4x4();
        ASSERT_EQ(zaniPredictIntra_4x4_H264_8u_C1IR(r.blk(), Pic::kStep, m.mode, m.avail), ZAN_WRN_PRED_FALLBACK)
            << m.mode;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) ASSERT_EQ(r.at(x, y), 128);
    }
    // DC from one side only, or none.
    Pic d = example4x4();
    ASSERT_EQ(zaniPredictIntra_4x4_H264_8u_C1IR(d.blk(), Pic::kStep, 2, 1), ZAN_OK);
    EXPECT_EQ(d.at(2, 2), (10 + 30 + 60 + 100 + 2) >> 2);
    ASSERT_EQ(zaniPredictIntra_4x4_H264_8u_C1IR(d.blk(), Pic::kStep, 2, 2), ZAN_OK);
    EXPECT_EQ(d.at(2, 2), (20 + 50 + 90 + 140 + 2) >> 2);
    ASSERT_EQ(zaniPredictIntra_4x4_H264_8u_C1IR(d.blk(), Pic::kStep, 2, 0), ZAN_OK);
    EXPECT_EQ(d.at(2, 2), 128);
}

TEST(H264Intra4x4, Checks) {
    Pic p = example4x4();
    zt::Sentinel s(p.blk(), 4);
    EXPECT_EQ(zaniPredictIntra_4x4_H264_8u_C1IR(nullptr, 32, 99, 0), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniPredictIntra_4x4_H264_8u_C1IR(p.blk(), 32, 9, kAll4x4), ZAN_ERR_OUT_OF_RANGE);
    EXPECT_EQ(zaniPredictIntra_4x4_H264_8u_C1IR(p.blk(), 32, -1, kAll4x4), ZAN_ERR_OUT_OF_RANGE);
    EXPECT_TRUE(s.untouched());
}

// The 16x16 and chroma predictors over ramps of neighbours, against the
// standard's equations written out here.
Pic ramp(int n) {
    Pic p;
    for (int x = -1; x < n; ++x) p.at(x, -1) = uint8_t(x < 0 ? 40 : 3 * x + 7);
    for (int y = 0; y < n; ++y) p.at(-1, y) = uint8_t(200 - 9 * y);
    return p;
}

TEST(H264Intra16x16, ModesAndRefusals) {
    for (int mode = 0; mode < 4; ++mode) {
        Pic p = ramp(16);
        ASSERT_EQ(zaniPredictIntra_16x16_H264_8u_C1IR(p.blk(), Pic::kStep, mode, 1 | 2 | 32), ZAN_OK);
        int st = 0, sl = 0, h = 0, v = 0;
        for (int i = 0; i < 16; ++i) st += p.at(i, -1), sl += p.at(-1, i);
        for (int i = 0; i < 8; ++i) {
            h += (i + 1) * (p.at(8 + i, -1) - p.at(6 - i, -1));
            v += (i + 1) * (p.at(-1, 8 + i) - p.at(-1, 6 - i));
        }
        const int a = 16 * (p.at(-1, 15) + p.at(15, -1)), b = (5 * h + 32) >> 6, c = (5 * v + 32) >> 6;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int want = mode == 0 ? p.at(x, -1)
                               : mode == 1 ? p.at(-1, y)
                               : mode == 2 ? (st + sl + 16) >> 5
                                           : zan::clip3(0, 255, (a + b * (x - 7) + c * (y - 7) + 16) >> 5);
                ASSERT_EQ(p.at(x, y), want) << "mode " << mode << " at " << x << "," << y;
            }
    }
    // Plane at (7, 7): only a = 16 * (p[-1, 15] + p[15, -1]) = 16 * (65 + 52) counts.
    Pic p = ramp(16);
    ASSERT_EQ(zaniPredictIntra_16x16_H264_8u_C1IR(p.blk(), Pic::kStep, 3, 1 | 2 | 32), ZAN_OK);
    EXPECT_EQ(p.at(7, 7), zan::clip3(0, 255, (16 * (65 + 52) + 16) >> 5));
    // DC with one side, with none.
    Pic d = ramp(16);
    ASSERT_EQ(zaniPredictIntra_16x16_H264_8u_C1IR(d.blk(), Pic::kStep, 2, 2), ZAN_OK);
    int sl = 0;
    for (int i = 0; i < 16; ++i) sl += d.at(-1, i);
    EXPECT_EQ(d.at(5, 5), (sl + 8) >> 4);
    ASSERT_EQ(zaniPredictIntra_16x16_H264_8u_C1IR(d.blk(), Pic::kStep, 2, 0), ZAN_OK);
    EXPECT_EQ(d.at(15, 15), 128);
    // Refusals write nothing; modes above 3 are out of range.
    Pic r = ramp(16);
    zt::Sentinel s(r.blk(), 16);
    EXPECT_EQ(zaniPredictIntra_16x16_H264_8u_C1IR(nullptr, 32, 0, 0), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniPredictIntra_16x16_H264_8u_C1IR(r.blk(), 32, 0, 2 | 32), ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
    EXPECT_EQ(zaniPredictIntra_16x16_H264_8u_C1IR(r.blk(), 32, 1, 1 | 32), ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
    EXPECT_EQ(zaniPredictIntra_16x16_H264_8u_C1IR(r.blk(), 32, 3, 1 | 2), ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
    EXPECT_EQ(zaniPredictIntra_16x16_H264_8u_C1IR(r.blk(), 32, 4, 1 | 2 | 32), ZAN_ERR_OUT_OF_RANGE);
    EXPECT_TRUE(s.untouched());
}

TEST(H264IntraChroma, ModesRefusalsAndStep) {
    for (int mode = 0; mode < 4; ++mode) {
        Pic p = ramp(8);
        ASSERT_EQ(zaniPredictIntraChroma8x8_H264_8u_C1IR(p.blk(), Pic::kStep, mode, 1 | 2 | 32), ZAN_OK);
        int h = 0, v = 0;
        for (int i = 0; i < 4; ++i) {
            h += (i + 1) * (p.at(4 + i, -1) - p.at(2 - i, -1));
            v += (i + 1) * (p.at(-1, 4 + i) - p.at(-1, 2 - i));
        }
        const int a = 16 * (p.at(-1, 7) + p.at(7, -1)), b = (34 * h + 32) >> 6, c = (34 * v + 32) >> 6;
        auto sumT = [&](int x0) { int s = 0; for (int i = 0; i < 4; ++i) s += p.at(x0 + i, -1); return s; };
        auto sumL = [&](int y0) { int s = 0; for (int i = 0; i < 4; ++i) s += p.at(-1, y0 + i); return s; };
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                int want;
                if (mode == 0) {
                    const int bx = x / 4 * 4, by = y / 4 * 4;
                    // Blocks (0,0), (4,4): both sides; (4,0): top; (0,4): left.
                    want = bx == by ? (sumT(bx) + sumL(by) + 4) >> 3 : bx ? (sumT(bx) + 2) >> 2 : (sumL(by) + 2) >> 2;
                } else {
                    want = mode == 1 ? p.at(-1, y)
                         : mode == 2 ? p.at(x, -1)
                                     : zan::clip3(0, 255, (a + b * (x - 3) + c * (y - 3) + 16) >> 5);
                }
                ASSERT_EQ(p.at(x, y), want) << "mode " << mode << " at " << x << "," << y;
            }
    }
    // DC with the top only: each quadrant column uses its own top samples;
    // with the left only: each row of quadrants its own left samples.
    Pic t = ramp(8);
    ASSERT_EQ(zaniPredictIntraChroma8x8_H264_8u_C1IR(t.blk(), Pic::kStep, 0, 1), ZAN_OK);
    EXPECT_EQ(t.at(0, 5), (7 + 10 + 13 + 16 + 2) >> 2);
    EXPECT_EQ(t.at(5, 0), (19 + 22 + 25 + 28 + 2) >> 2);
    Pic l = ramp(8);
    ASSERT_EQ(zaniPredictIntraChroma8x8_H264_8u_C1IR(l.blk(), Pic::kStep, 0, 2), ZAN_OK);
    EXPECT_EQ(l.at(5, 0), (200 + 191 + 182 + 173 + 2) >> 2);
    EXPECT_EQ(l.at(5, 5), (164 + 155 + 146 + 137 + 2) >> 2);
    Pic r = ramp(8);
    zt::Sentinel s(r.blk(), 8);
    EXPECT_EQ(zaniPredictIntraChroma8x8_H264_8u_C1IR(nullptr, 4, 0, 0), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniPredictIntraChroma8x8_H264_8u_C1IR(r.blk(), 7, 0, 0), ZAN_ERR_STEP);
    EXPECT_EQ(zaniPredictIntraChroma8x8_H264_8u_C1IR(r.blk(), 32, 1, 1 | 32), ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
    EXPECT_EQ(zaniPredictIntraChroma8x8_H264_8u_C1IR(r.blk(), 32, 2, 2 | 32), ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
    EXPECT_EQ(zaniPredictIntraChroma8x8_H264_8u_C1IR(r.blk(), 32, 3, 1 | 2), ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
    EXPECT_EQ(zaniPredictIntraChroma8x8_H264_8u_C1IR(r.blk(), 32, 4, 1 | 2 | 32), ZAN_ERR_OUT_OF_RANGE);
    EXPECT_TRUE(s.untouched());
}

}  // namespace
