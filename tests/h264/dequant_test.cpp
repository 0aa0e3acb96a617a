// H.264 dequantization and inverse transforms: the tables' anchor values,
// worked examples of the standard's arithmetic (including the saturating
// members), SP/SI requantization, argument checks, and the AVX2 kernels
// against the portable implementations.
#include <algorithm>
#include <cstring>

#include "h264/h264_tables.h"
#include "support/checkasm.h"

namespace {

using namespace zan::h264;

TEST(H264DequantTables, AnchorValues) {
    EXPECT_EQ(InvQuantTable[0], (std::array<int32_t, 3>{10, 16, 13}));
    EXPECT_EQ(InvQuantTable[6], (std::array<int32_t, 3>{20, 32, 26}));
    EXPECT_EQ(InvQuantTable[51], (std::array<int32_t, 3>{3584, 5888, 4608}));
    const int32_t dc18[6] = {10, 11, 13, 14, 16, 18};
    for (int qp = 0; qp < 18; ++qp) EXPECT_EQ(InvQuantLuma16x16DCTable[qp], dc18[qp % 6]) << qp;
    EXPECT_EQ(InvQuantLuma16x16DCTable[18], 20);
    EXPECT_EQ(InvQuantLuma16x16DCTable[51], 896);
    EXPECT_EQ(InvLevelScale_4x4_default[0][0], 160);
    EXPECT_EQ(InvLevelScale_4x4_default[0][1], 208);
    EXPECT_EQ(InvLevelScale_4x4_default[0][5], 256);
    EXPECT_EQ(InvLevelScale_8x8_default[0][0], 320);  // 16 * 20
    EXPECT_EQ(InvLevelScale_8x8_default[5][9], 16 * 32);
    EXPECT_EQ(h264_qp6[89], 14);
    EXPECT_EQ(h264_qp_rem[89], 5);
    // The expanded row and QuantIndex agree with InvQuantTable, and with 16 *
    // the flat LevelScale4x4.
    for (int qp = 0; qp < 52; ++qp)
        for (int i = 0; i < 16; ++i) {
            ASSERT_EQ(InvQuantScale4x4[qp][i], InvQuantTable[qp][QuantIndex[i]]);
            ASSERT_EQ(InvQuantScale4x4[qp][i] * 16, InvLevelScale_4x4_default[qp % 6][i] << (qp / 6));
        }
    // LevelScale2 * v * A is 2^21 within 0.02% (forward and inverse scaling agree).
    for (int m = 0; m < 6; ++m)
        for (int k = 0; k < 3; ++k) {
            const double p = double(LevelScale2_def[m][k]) * InvQuantTable_def[m][k] * SPScaleA_def[k];
            EXPECT_NEAR(p / 2097152.0, 1.0, 2e-4) << m << " " << k;
        }
}

TEST(H264DequantDC, WorkedExamples) {
    int16_t luma[16];
    std::fill(luma, luma + 16, int16_t(1));
    ASSERT_EQ(zaniTransformDequantLumaDC_H264_16s_C1I(luma, 0), ZAN_OK);
    EXPECT_EQ(luma[0], 40);  // f00 = 16, (16 * 10 + 2) >> 2
    for (int i = 1; i < 16; ++i) EXPECT_EQ(luma[i], 0);
    // One level at c01 spreads over every row with the signs of the second
    // Hadamard row (1 1 -1 -1); at QP 12 the result is f * s exactly.
    int16_t one[16] = {0, 3};
    ASSERT_EQ(zaniTransformDequantLumaDC_H264_16s_C1I(one, 12), ZAN_OK);
    const int sgnRow[4] = {1, 1, -1, -1};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(one[i], 3 * 10 * sgnRow[i & 3]) << i;
    // QP 6..11 rounds with + 1 >> 1: f = -1 at QP 7 gives (-11 + 1) >> 1 = -5.
    int16_t neg[16] = {-1};
    ASSERT_EQ(zaniTransformDequantLumaDC_H264_16s_C1I(neg, 7), ZAN_OK);
    EXPECT_EQ(neg[5], -5);

    int16_t chroma[4] = {1, 0, 0, 0};
    ASSERT_EQ(zaniTransformDequantChromaDC_H264_16s_C1I(chroma, 6), ZAN_OK);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(chroma[i], 10);
    int16_t c2[4] = {1, 2, 3, 4};  // f = 10, -2, -4, 0; InvQuantTable[0][0] = 10
    ASSERT_EQ(zaniTransformDequantChromaDC_H264_16s_C1I(c2, 0), ZAN_OK);
    EXPECT_EQ(c2[0], 50);
    EXPECT_EQ(c2[1], -10);
    EXPECT_EQ(c2[2], -20);
    EXPECT_EQ(c2[3], 0);
}

TEST(H264DequantResidual, WorkedExamples) {
    int16_t blk[16] = {1};
    ASSERT_EQ(zaniDequantTransformResidual_H264_16s_C1I(blk, 8, nullptr, 0, 0), ZAN_OK);
    for (int v : blk) EXPECT_EQ(v, 0);  // (10 + 32) >> 6
    int16_t blk4[16] = {4};
    ASSERT_EQ(zaniDequantTransformResidual_H264_16s_C1I(blk4, 8, nullptr, 0, 0), ZAN_OK);
    for (int v : blk4) EXPECT_EQ(v, 1);  // (40 + 32) >> 6
    // A step of 16 bytes leaves the odd half-rows alone.
    int16_t wide[32];
    std::fill(wide, wide + 32, int16_t(7));
    wide[0] = 0;
    wide[1] = 5;  // c01 = 5 at QP 6: 5 * 26 = 130 at position (0, 1)
    ASSERT_EQ(zaniDequantTransformResidual_H264_16s_C1I(wide, 16, nullptr, 0, 6), ZAN_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 4; x < 8; ++x) EXPECT_EQ(wide[8 * y + x], 7);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(wide[8 * y + x], 0);  // AC 0: DC 0 only
    int16_t ac[16] = {0, 5};
    ASSERT_EQ(zaniDequantTransformResidual_H264_16s_C1I(ac, 8, nullptr, 1, 6), ZAN_OK);
    // Row pass: d1 = 130 -> 130, 65, -65, -130; columns repeat; (x + 32) >> 6.
    const int16_t rowv[4] = {2, 1, -1, -2};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(ac[i], rowv[i & 3]) << i;
    // pDC replaces the DC level; the 16-bit DC of the AC-zero path wraps.
    int16_t d[16] = {99};
    const int16_t dc = 640;
    ASSERT_EQ(zaniDequantTransformResidual_H264_16s_C1I(d, 8, &dc, 0, 30), ZAN_OK);
    for (int v : d) EXPECT_EQ(v, 10);
    int16_t w[16] = {4000};  // 4000 * 40 (QP 12) = 160000, as 16 bits 28928
    ASSERT_EQ(zaniDequantTransformResidual_H264_16s_C1I(w, 8, nullptr, 0, 12), ZAN_OK);
    EXPECT_EQ(w[15], 452);
}

TEST(H264DequantInverse4x4, SaturatingAndWrappingMembers) {
    const int16_t unit[16] = {0, 64};
    int16_t out[16];
    ASSERT_EQ(zaniTransformResidual4x4Inv_H264_16s_C1(unit, out), ZAN_OK);
    const int16_t rowv[4] = {1, 1, 0, -1};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(out[i], rowv[i & 3]);
    // d00 + d02 saturates at 32767 in the 16-bit member (511 after the
    // rounding), and is exact in the 32-bit member (1024).
    const int16_t big[16] = {32767, 0, 32767};
    ASSERT_EQ(zaniTransformResidual4x4Inv_H264_16s_C1(big, out), ZAN_OK);
    EXPECT_EQ(out[0], 511);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[3], 511);
    const int32_t big32[16] = {32767, 0, 32767};
    int32_t out32[16];
    ASSERT_EQ(zaniTransformResidual4x4Inv_H264_32s_C1(big32, out32), ZAN_OK);
    EXPECT_EQ(out32[0], 1024);
    EXPECT_EQ(out32[12], 1024);
    // In place.
    int16_t inplace[16] = {64};
    ASSERT_EQ(zaniTransformResidual4x4Inv_H264_16s_C1(inplace, inplace), ZAN_OK);
    for (int v : inplace) EXPECT_EQ(v, 1);
    // The basis vectors of the transform are orthogonal: pin the equations.
    for (int a = 0; a < 16; ++a)
        for (int b = a + 1; b < 16; ++b) {
            int32_t ia[16] = {}, ib[16] = {}, oa[16], ob[16];
            ia[a] = ib[b] = 64 * 64 * 4;
            zaniTransformResidual4x4Inv_H264_32s_C1(ia, oa);
            zaniTransformResidual4x4Inv_H264_32s_C1(ib, ob);
            int64_t dot = 0;
            for (int i = 0; i < 16; ++i) dot += int64_t(oa[i]) * ob[i];
            ASSERT_EQ(dot, 0) << a << " " << b;
        }
}

TEST(H264DequantAndAdd, WorkedExamplesAndSaturation) {
    uint8_t pred[4 * 8], dst[4 * 8];
    for (int i = 0; i < 32; ++i) pred[i] = uint8_t(100 + i);
    int16_t c[16] = {4};  // DC 40 at QP 0: + 1 everywhere
    std::memset(dst, 0, sizeof dst);
    ASSERT_EQ(zaniDequantTransformResidualAndAdd_H264_16s_C1I(pred, c, nullptr, dst, 8, 8, 0, 0), ZAN_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(dst[8 * y + x], x < 4 ? pred[8 * y + x] + 1 : 0);
    // pDC without coefficients, limited to 0..255 both ways.
    const int16_t hi = 32767, lo = -32768;
    ASSERT_EQ(zaniDequantTransformResidualAndAdd_H264_16s_C1I(pred, nullptr, &hi, dst, 8, 8, 51, 0), ZAN_OK);
    EXPECT_EQ(dst[0], 255);
    ASSERT_EQ(zaniDequantTransformResidualAndAdd_H264_16s_C1I(pred, nullptr, &lo, dst, 8, 8, 51, 0), ZAN_OK);
    EXPECT_EQ(dst[9], 0);
    // Saturating products: 200 * 5888 (QP 51) saturates to 32767 at c00 and
    // c02; the row sum saturates too, giving +511 (clipped to 255) at
    // column 0 and 0 at column 1 (32767 - 32767).
    int16_t s[16] = {200, 0, 200};
    ASSERT_EQ(zaniDequantTransformResidualAndAdd_H264_16s_C1I(pred, s, nullptr, dst, 8, 8, 51, 1), ZAN_OK);
    EXPECT_EQ(dst[0], 255);
    EXPECT_EQ(dst[1], pred[1]);
    // In place on the prediction.
    uint8_t inplace[16];
    std::memset(inplace, 10, 16);
    int16_t m[16] = {-4};
    ASSERT_EQ(zaniDequantTransformResidualAndAdd_H264_16s_C1I(inplace, m, nullptr, inplace, 4, 4, 0, 1), ZAN_OK);
    for (int v : inplace) EXPECT_EQ(v, 9);  // (-40 + 32) >> 6 = -1
}

TEST(H264DequantSISP, WorkedExamples) {
    // A flat prediction of 128 with no levels comes back as 128 after
    // requantization at QS 28, in SP and SI decoding.
    int16_t pred[16];
    std::fill(pred, pred + 16, int16_t(128));
    for (int sw = 0; sw < 2; ++sw) {
        int16_t blk[16] = {};
        ASSERT_EQ(zaniDequantTransformResidual_SISP_H264_16s_C1I(blk, pred, nullptr, 0, 28, 28, sw), ZAN_OK);
        for (int v : blk) EXPECT_EQ(v, 128) << sw;
    }
    // SP with QP = QS = 28 and a zero prediction: a DC level l survives the
    // requantization (cs = 64 l, l' = l) and dequantizes to l * 256, so every
    // sample is (256 l + 32) >> 6 = 4 l.
    int16_t zero[16] = {};
    int16_t blk[16] = {3};
    ASSERT_EQ(zaniDequantTransformResidual_SISP_H264_16s_C1I(blk, zero, nullptr, 1, 28, 28, 0), ZAN_OK);
    for (int v : blk) EXPECT_EQ(v, 12);
    // SI: levels add to the quantized prediction: 128 -> level 32, + 1 = 33,
    // 33 * 256 = 8448 -> (8448 + 32) >> 6 = 132.
    int16_t si[16] = {1};
    ASSERT_EQ(zaniDequantTransformResidual_SISP_H264_16s_C1I(si, pred, nullptr, 1, 0, 28, 1), ZAN_OK);
    for (int v : si) EXPECT_EQ(v, 132);
    // pDC replaces the DC after requantization.
    int16_t withDc[16] = {};
    const int16_t dc = 640;
    ASSERT_EQ(zaniDequantTransformResidual_SISP_H264_16s_C1I(withDc, zero, &dc, 0, 28, 28, 0), ZAN_OK);
    for (int v : withDc) EXPECT_EQ(v, 10);

    // Chroma DC: four flat blocks of 128 (DC 2048 each) at QS 28: l00 = 64,
    // dc = (64 * 256) >> 1 = 8192 for each block, 128 after the transform.
    const int16_t dcp[4] = {2048, 2048, 2048, 2048};
    for (int sw = 0; sw < 2; ++sw) {
        int16_t cdc[4] = {};
        ASSERT_EQ(zaniTransformDequantChromaDC_SISP_H264_16s_C1I(cdc, dcp, 28, 28, sw), ZAN_OK);
        for (int v : cdc) EXPECT_EQ(v, 8192) << sw;
    }
    // SP chroma DC level at QP = QS = 28, zero prediction: dcs = 128 l,
    // l' = l, dc = (l * 256) >> 1 per block for l00 = l.
    const int16_t nopred[4] = {};
    int16_t cdc[4] = {2, 0, 0, 0};
    ASSERT_EQ(zaniTransformDequantChromaDC_SISP_H264_16s_C1I(cdc, nopred, 28, 28, 0), ZAN_OK);
    for (int v : cdc) EXPECT_EQ(v, 256);
}

TEST(H264DequantChecks, OrderAndUntouchedOutputs) {
    int16_t blk[16];
    zt::Sentinel s(blk, sizeof blk);
    EXPECT_EQ(zaniTransformDequantLumaDC_H264_16s_C1I(nullptr, 99), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniTransformDequantLumaDC_H264_16s_C1I(blk, 52), ZAN_ERR_OUT_OF_RANGE);
    EXPECT_EQ(zaniTransformDequantLumaDC_H264_16s_C1I(blk, -1), ZAN_ERR_OUT_OF_RANGE);
    EXPECT_EQ(zaniTransformDequantChromaDC_H264_16s_C1I(nullptr, -1), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniTransformDequantChromaDC_H264_16s_C1I(blk, -1), ZAN_ERR_OUT_OF_RANGE);  // unsigned compare
    EXPECT_EQ(zaniTransformDequantChromaDC_H264_16s_C1I(blk, 52), ZAN_ERR_OUT_OF_RANGE);
    EXPECT_EQ(zaniDequantTransformResidual_H264_16s_C1I(nullptr, 0, nullptr, 1, 99), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniDequantTransformResidual_H264_16s_C1I(blk, 0, nullptr, 1, 52), ZAN_ERR_OUT_OF_RANGE);
    EXPECT_EQ(zaniDequantTransformResidual_H264_16s_C1I(blk, 7, nullptr, 1, 51), ZAN_ERR_STEP);
    EXPECT_EQ(zaniTransformResidual4x4Inv_H264_16s_C1(nullptr, blk), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniTransformResidual4x4Inv_H264_16s_C1(blk, nullptr), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniTransformResidual4x4Inv_H264_32s_C1(nullptr, nullptr), ZAN_ERR_NULL_PTR);
    const int16_t pred16[16] = {};
    EXPECT_EQ(zaniDequantTransformResidual_SISP_H264_16s_C1I(blk, nullptr, nullptr, 1, 0, 0, 0), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniDequantTransformResidual_SISP_H264_16s_C1I(blk, pred16, nullptr, 1, 52, 0, 0),
              ZAN_ERR_OUT_OF_RANGE);
    EXPECT_EQ(zaniDequantTransformResidual_SISP_H264_16s_C1I(blk, pred16, nullptr, 1, 0, -1, 1),
              ZAN_ERR_OUT_OF_RANGE);
    EXPECT_EQ(zaniTransformDequantChromaDC_SISP_H264_16s_C1I(blk, nullptr, 0, 0, 0), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniTransformDequantChromaDC_SISP_H264_16s_C1I(blk, pred16, 0, 52, 0), ZAN_ERR_OUT_OF_RANGE);
    EXPECT_TRUE(s.untouched());

    // Add path, both kernels: pPred/pDst null first, then QP (negative too),
    // then the coefficient pointer.
    uint8_t pred[16] = {}, dst[16];
    zt::Sentinel sd(dst, sizeof dst);
    for (auto fn : {zan::c::zaniDequantTransformResidualAndAdd_H264_16s_C1I,
                    zan::avx2::zaniDequantTransformResidualAndAdd_H264_16s_C1I}) {
        if (fn == zan::avx2::zaniDequantTransformResidualAndAdd_H264_16s_C1I && !zt::have_avx2()) continue;
        EXPECT_EQ(fn(nullptr, nullptr, nullptr, dst, 4, 4, 99, 1), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(pred, nullptr, nullptr, nullptr, 4, 4, 99, 1), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(fn(pred, nullptr, nullptr, dst, 4, 4, 52, 1), ZAN_ERR_OUT_OF_RANGE);
        EXPECT_EQ(fn(pred, nullptr, nullptr, dst, 4, 4, -1, 1), ZAN_ERR_OUT_OF_RANGE);
        EXPECT_EQ(fn(pred, nullptr, nullptr, dst, 4, 4, 0, 0), ZAN_ERR_NULL_PTR);
        const int16_t dc = 0;
        EXPECT_EQ(fn(pred, nullptr, &dc, dst, 4, 4, 0, 1), ZAN_ERR_NULL_PTR);
    }
    EXPECT_TRUE(sd.untouched());
}

// Random levels over several ranges, including products and sums that
// overflow 16 bits.
void random_levels(zt::Rng& rng, int16_t* c, int n) {
    const int ranges[] = {4, 64, 2048, 32768};
    const int r = ranges[rng.range(0, 3)];
    for (int i = 0; i < n; ++i) c[i] = int16_t(rng.coin() ? 0 : rng.range(-r, r - 1));
}

TEST(H264DequantKernels, Avx2MatchesPortable) {
    ZT_REQUIRE_AVX2();
    zt::Rng rng;
    for (int it = 0; it < 4000; ++it) {
        int16_t c[16], a[16], b[16];
        random_levels(rng, c, 16);
        ASSERT_EQ(zan::c::zaniTransformResidual4x4Inv_H264_16s_C1(c, a), ZAN_OK);
        ASSERT_EQ(zan::avx2::zaniTransformResidual4x4Inv_H264_16s_C1(c, b), ZAN_OK);
        ASSERT_TRUE(zt::same_array(a, b, 16)) << it;

        uint8_t pred[8 * 4], da[8 * 4], db[8 * 4];
        zt::fill(rng, pred, sizeof pred, 0, 255, zt::kAllBiases[it % 5]);
        std::memset(da, 0x33, sizeof da);
        std::memset(db, 0x33, sizeof db);
        const int qp = rng.range(0, 51), ac = rng.coin();
        const int16_t dc = int16_t(rng.range(-32768, 32767));
        const int16_t* pdc = rng.coin() ? &dc : nullptr;
        ASSERT_EQ(zan::c::zaniDequantTransformResidualAndAdd_H264_16s_C1I(pred, c, pdc, da, 8, 8, qp, ac), ZAN_OK);
        ASSERT_EQ(zan::avx2::zaniDequantTransformResidualAndAdd_H264_16s_C1I(pred, c, pdc, db, 8, 8, qp, ac),
                  ZAN_OK);
        ASSERT_TRUE(zt::same_array(da, db, sizeof da)) << it << " qp " << qp << " ac " << ac;
        for (int y = 0; y < 4; ++y)
            for (int x = 4; x < 8; ++x) ASSERT_EQ(da[8 * y + x], 0x33);
    }
}

}  // namespace
