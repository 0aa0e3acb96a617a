// H.264 reconstruction at high bit depth (8, 9, 10, 12, 14 bits, 32-bit
// coefficients) and of 4:2:2 chroma: random macroblocks against the model of
// recon_model.h, residuals that reach the clipping limits, the 2x4 chroma DC
// with coded and uncoded DC, worked examples and the record checks.
#include <algorithm>
#include <vector>

#include "h264/recon_model.h"
#include "support/checkasm.h"

namespace {

using rm::kBlkX;
using rm::kBlkY;

constexpr int kDepths[] = {8, 9, 10, 12, 14};
using rm::kV0;

// A 64 x 48 picture of samples; the macroblock sits at (16, 16).
template <class Pel>
struct Pic {
    static constexpr int kStep = 64;  // samples
    std::vector<Pel> px = std::vector<Pel>(kStep * 48);
    Pic(zt::Rng& rng, int maxv) { zt::fill(rng, px.data(), px.size(), 0, maxv, zt::kAllBiases[rng.range(0, 4)]); }
    Pel* at(int x, int y) { return px.data() + y * kStep + x; }
};

template <class C>
std::vector<C> coefs(zt::Rng& rng, int n, int lim) {
    std::vector<C> c(n + 64);  // slack past the end: reads must stop at n
    for (int i = 0; i < n; ++i) c[i] = C(rng.range(0, 2) ? 0 : rng.range(-lim, lim));
    return c;
}

// A coefficient bound that keeps 32-bit sums exact for levels up to 4000.
int coef_limit(int qp) { return std::clamp((1 << 24) / (4000 << std::max(0, qp / 6 - 4)), 1, 300); }

TEST(H264ReconHigh, LumaAgainstModelAtEveryBitDepth) {
    zt::Rng rng;
    for (int it = 0; it < 1400; ++it) {
        const int bd = kDepths[it % 5], form = (it / 5) % 7, maxv = (1 << bd) - 1;
        Pic<uint16_t> pic(rng, maxv);
        const int qp = rng.range(0, 6 * bd + 3);
        const bool bypass = qp == 0 && rng.coin();
        const uint8_t edge = uint8_t(rng.u32() & 0x35);
        int32_t modes[16];
        for (int& m : modes) m = rng.range(0, 8);
        const int mode16 = rng.range(0, 3);
        const uint32_t cbp = rng.u32() & (form == 1 || form == 3 ? 0xFu : form == 5 ? 0x3u : form == 4 ? 0xFFu
                                                                                                 : 0x1FFFFu);
        std::vector<int32_t> ls(64);
        for (auto& l : ls) l = rng.range(16, 4000);
        const std::vector<int32_t> cf = coefs<int32_t>(rng, 16 * 17 + 64 * 4, coef_limit(qp));
        Pic<uint16_t> want = pic;
        const int32_t* c = cf.data();
        ZanResult status = rm::model_luma(want.at(16, 16), Pic<uint16_t>::kStep, form, modes, mode16, edge, cbp, qp,
                                      ls.data(), bypass, bd, false, c);
        ptrdiff_t advance = c - cf.data();
        if (status == ZAN_ERR_NEIGHBOUR_UNAVAILABLE) want = pic, advance = 0;

        Pic<uint16_t> got = pic;
        std::vector<int32_t> buf = cf;
        int32_t* p = buf.data();
        const ZanReconstructHigh_32s16u rec{&p,       got.at(16, 16), 2 * Pic<uint16_t>::kStep, cbp, qp, ls.data(),
                                            bypass,   bd};
        ZanResult r = 0;
        switch (form) {
            case 0: r = zaniReconstructLumaInter4x4_H264High_32s16u_IP1R(&rec); break;
            case 1: r = zaniReconstructLumaInter8x8_H264High_32s16u_IP1R(&rec); break;
            case 2: r = zaniReconstructLumaIntra4x4_H264High_32s16u_IP1R(&rec, modes, edge); break;
            case 3: r = zaniReconstructLumaIntra8x8_H264High_32s16u_IP1R(&rec, modes, edge); break;
            case 4: r = zaniReconstructLumaIntraHalf4x4_H264High_32s16u_IP1R(&rec, modes, edge); break;
            case 5: r = zaniReconstructLumaIntraHalf8x8_H264High_32s16u_IP1R(&rec, modes, edge); break;
            default: r = zaniReconstructLumaIntra16x16_H264High_32s16u_IP1R(&rec, mode16, edge); break;
        }
        ASSERT_EQ(r, status) << "form " << form << " depth " << bd;
        ASSERT_EQ(p - buf.data(), advance) << "form " << form << " depth " << bd;
        ASSERT_TRUE(zt::same_array(got.px.data(), want.px.data(), got.px.size()))
            << "form " << form << " depth " << bd << " qp " << qp << " bypass " << bypass;
    }
}

// Chroma forms: 0 inter, 1 intra, 2 intra with split left availability.
TEST(H264ReconHigh, ChromaAgainstModelAtEveryBitDepthAnd422) {
    zt::Rng rng;
    for (int it = 0; it < 1500; ++it) {
        const int bd = kDepths[it % 5], form = (it / 5) % 3, h = (it / 15) % 2 ? 16 : 8, maxv = (1 << bd) - 1;
        Pic<uint16_t> pic(rng, maxv);
        const int qpMax = 39 + 6 * (bd - 8);
        const int qp[2] = {rng.range(0, qpMax), rng.range(0, qpMax)};
        const bool bypass = rng.range(0, 4) == 0;
        const uint8_t edge = uint8_t(rng.u32() & 0x15);
        const uint8_t edgeBottom = form == 2 ? uint8_t(rng.u32() & 1) : edge;
        const int mode = rng.range(0, 3);
        const uint32_t all = h == 8 ? 0x7FE0000u : 0x7FFFEu;
        const uint32_t cbp = rng.u32() & (rng.coin() ? all : 0x60000u);
        std::vector<int32_t> lsv[2];
        for (auto& l : lsv) {
            l.resize(16);
            const int m = int(&l - lsv);
            for (auto& v : l) v = rng.range(1, 255) * kV0[qp[m] % 6];  // w * v(m, 0) at position 0
        }
        const int32_t* const ls[2] = {lsv[0].data(), lsv[1].data()};
        const std::vector<int32_t> cf = coefs<int32_t>(rng, 8 * 2 + 16 * 16, coef_limit(std::max(qp[0], qp[1]) + 3));
        Pic<uint16_t> want = pic;
        const int32_t* c = cf.data();
        const ZanResult status = rm::model_chroma(want.at(16, 16), want.at(40, 16), Pic<uint16_t>::kStep, h, form > 0, mode,
                                              edge, edgeBottom, cbp, qp, ls, bypass, bd, false, c);
        ptrdiff_t advance = c - cf.data();
        if (status != ZAN_OK) want = pic, advance = 0;

        Pic<uint16_t> got = pic;
        std::vector<int32_t> buf = cf;
        int32_t* p = buf.data();
        const int st = 2 * Pic<uint16_t>::kStep;
        const ZanReconstructHigh_32s16u rec[2] = {{&p, got.at(16, 16), st, cbp, qp[0], ls[0], bypass, bd},
                                                  {nullptr, got.at(40, 16), st, 0, qp[1], ls[1], 0, 0}};
        ZanResult r;
        if (h == 8)
            r = form == 0   ? zaniReconstructChromaInter4x4_H264High_32s16u_IP2R(rec)
                : form == 1 ? zaniReconstructChromaIntra4x4_H264High_32s16u_IP2R(rec, mode, edge)
                            : zaniReconstructChromaIntraHalf4x4_H264High_32s16u_IP2R(rec, mode, edge, edgeBottom);
        else
            r = form == 0   ? zaniReconstructChroma422Inter4x4_H264High_32s16u_IP2R(rec)
                : form == 1 ? zaniReconstructChroma422Intra4x4_H264High_32s16u_IP2R(rec, mode, edge)
                            : zaniReconstructChroma422IntraHalf4x4_H264High_32s16u_IP2R(rec, mode, edge, edgeBottom);
        ASSERT_EQ(r, status) << "form " << form << " h " << h << " depth " << bd;
        ASSERT_EQ(p - buf.data(), advance) << "form " << form << " h " << h;
        ASSERT_TRUE(zt::same_array(got.px.data(), want.px.data(), got.px.size()))
            << "form " << form << " h " << h << " depth " << bd << " qp " << qp[0] << "/" << qp[1];

        // The 8-bit 4:2:2 members (portable and AVX2) agree with the model.
        if (bd != 8 || h != 16 || qp[0] > 39 || qp[1] > 39) continue;
        for (int impl = 0; impl < (zt::have_avx2() ? 2 : 1); ++impl) {
            std::vector<uint8_t> pic8(pic.px.begin(), pic.px.end()), want8(want.px.begin(), want.px.end());
            std::vector<int16_t> c16(cf.begin(), cf.end());
            int16_t* q = c16.data();
            std::vector<int16_t> l16[2] = {{lsv[0].begin(), lsv[0].end()}, {lsv[1].begin(), lsv[1].end()}};
            uint8_t* u = pic8.data() + 16 * 64 + 16;
            uint8_t* v = pic8.data() + 16 * 64 + 40;
            ZanResult r8;
            if (form == 0)
                r8 = (impl ? zan::avx2::zaniReconstructChroma422Inter4x4_H264High_16s8u_IP2R
                           : zan::c::zaniReconstructChroma422Inter4x4_H264High_16s8u_IP2R)(
                    &q, u, v, 64, cbp, qp[0], qp[1], l16[0].data(), l16[1].data(), bypass);
            else if (form == 1)
                r8 = (impl ? zan::avx2::zaniReconstructChroma422Intra4x4_H264High_16s8u_IP2R
                           : zan::c::zaniReconstructChroma422Intra4x4_H264High_16s8u_IP2R)(
                    &q, u, v, 64, mode, cbp, qp[0], qp[1], edge, l16[0].data(), l16[1].data(), bypass);
            else
                r8 = (impl ? zan::avx2::zaniReconstructChroma422IntraHalf4x4_H264High_16s8u_IP2R
                           : zan::c::zaniReconstructChroma422IntraHalf4x4_H264High_16s8u_IP2R)(
                    &q, u, v, 64, mode, cbp, qp[0], qp[1], edge, edgeBottom, l16[0].data(), l16[1].data(), bypass);
            ASSERT_EQ(r8, status) << "8-bit 4:2:2 form " << form << " impl " << impl;
            ASSERT_EQ(q - c16.data(), advance);
            ASSERT_TRUE(zt::same_array(pic8.data(), want8.data(), pic8.size())) << "8-bit 4:2:2 form " << form;
        }
    }
}

TEST(H264ReconHigh, WorkedExamplesAndClipping) {
    zt::Rng rng;
    // 10 bits: a vertical 4x4 mode without the top takes 512 (status 11).
    Pic<uint16_t> pic(rng, 1023);
    int32_t modes[16];
    std::fill(modes, modes + 16, 2);
    modes[0] = 0;
    std::vector<int32_t> ls(64, 16 * 10);
    int32_t none[16] = {};
    int32_t* p = none;
    ZanReconstructHigh_32s16u rec{&p, pic.at(16, 16), 128, 0, 12, ls.data(), 0, 10};
    ASSERT_EQ(zaniReconstructLumaIntra4x4_H264High_32s16u_IP1R(&rec, modes, 4), ZAN_WRN_PRED_FALLBACK);
    EXPECT_EQ(*pic.at(16, 16), 512);
    EXPECT_EQ(*pic.at(19, 19), 512);
    // Residuals clip at 0 and 2^bitDepth - 1 (14 bits: 16383).
    Pic<uint16_t> hi(rng, 16383);
    for (auto& s : hi.px) s = 16000;
    int32_t blk[32] = {1000};  // (1000 * 160) << (60 / 6 - 4): a residual of +160000
    blk[16] = -1000;
    p = blk;
    rec = {&p, hi.at(16, 16), 128, (2u << 0) | (2u << 1), 60, ls.data(), 0, 14};
    ASSERT_EQ(zaniReconstructLumaInter4x4_H264High_32s16u_IP1R(&rec), ZAN_OK);
    EXPECT_EQ(p, blk + 32);
    EXPECT_EQ(*hi.at(16, 16), 16383);
    EXPECT_EQ(*hi.at(23, 19), 0);
    EXPECT_EQ(*hi.at(24, 16), 16000);
    // Transform bypass at QP'Y 0: the coefficients are the residual.
    Pic<uint16_t> by(rng, 1023);
    const Pic<uint16_t> byBefore = by;
    int32_t res[16];
    for (int i = 0; i < 16; ++i) res[i] = i - 8;
    p = res;
    rec = {&p, by.at(16, 16), 128, 2u, 0, ls.data(), 1, 10};
    ASSERT_EQ(zaniReconstructLumaInter4x4_H264High_32s16u_IP1R(&rec), ZAN_OK);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(*by.at(16 + i % 4, 16 + i / 4), std::clamp(int(byBefore.px[(16 + i / 4) * 64 + 16 + i % 4]) + i - 8, 0, 1023));
    // 4:2:2 DC: a single level 1 at QPc 33 (qP,DC 36) with flat levels
    // (w00 = 16): every f = 1, dcC = 1 * 16 * v(0, 0) = 160, so every
    // sample of both halves rises by (160 + 32) >> 6 = 3; uncoded Cr stays.
    std::vector<uint8_t> cp(64 * 48, 100);
    int16_t dc8[8] = {1};
    int16_t* q = dc8;
    const int16_t flat33[16] = {16 * 14};
    ASSERT_EQ(zaniReconstructChroma422Inter4x4_H264High_16s8u_IP2R(&q, cp.data() + 16 * 64 + 16, cp.data() + 16 * 64 + 40,
                                                                   64, 1u << 17, 33, 33, flat33, flat33, 0),
              ZAN_OK);
    EXPECT_EQ(q, dc8 + 8);
    EXPECT_EQ(cp[16 * 64 + 16], 103);
    EXPECT_EQ(cp[31 * 64 + 23], 103);
    EXPECT_EQ(cp[16 * 64 + 40], 100);
}

TEST(H264ReconHigh, RecordChecksInOrder) {
    zt::Rng rng;
    Pic<uint16_t> pic(rng, 1023);
    const Pic<uint16_t> before = pic;
    int32_t cf[16] = {};
    int32_t* p = cf;
    int32_t* nul = nullptr;
    const int32_t ls[64] = {};
    int32_t modes[16] = {};
    const ZanReconstructHigh_32s16u ok{&p, pic.at(16, 16), 128, 0x1FFFFu, 10, ls, 0, 10};
    EXPECT_EQ(zaniReconstructLumaInter4x4_H264High_32s16u_IP1R(nullptr), ZAN_ERR_NULL_PTR);
    auto with = [&](auto change) {
        ZanResult r[4];
        ZanReconstructHigh_32s16u rec = ok;
        change(rec);
        r[0] = zaniReconstructLumaInter4x4_H264High_32s16u_IP1R(&rec);
        r[1] = zaniReconstructLumaIntra8x8_H264High_32s16u_IP1R(&rec, modes, 0);
        r[2] = zaniReconstructLumaIntra16x16_H264High_32s16u_IP1R(&rec, 2, 0);
        const ZanReconstructHigh_32s16u two[2] = {rec, rec};
        r[3] = zaniReconstructChroma422Inter4x4_H264High_32s16u_IP2R(two);
        for (int i = 1; i < 4; ++i) EXPECT_EQ(r[i], r[0]) << i;
        return r[0];
    };
    EXPECT_EQ(with([&](auto& r) { r.ppSrcDstCoeff = nullptr, r.QP = -1; }), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(with([&](auto& r) { r.ppSrcDstCoeff = &nul; }), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(with([&](auto& r) { r.pSrcDstPlane = nullptr, r.srcDstStep = 0; }), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(with([&](auto& r) { r.pScaleLevels = nullptr; }), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(with([&](auto& r) { r.srcDstStep = 0, r.bitDepth = 99; }), ZAN_ERR_STEP);
    EXPECT_EQ(with([&](auto& r) { r.bitDepth = 15; }), ZAN_ERR_OUT_OF_RANGE);
    EXPECT_EQ(with([&](auto& r) { r.bitDepth = 7; }), ZAN_ERR_OUT_OF_RANGE);
    EXPECT_EQ(with([&](auto& r) { r.QP = 64; }), ZAN_ERR_OUT_OF_RANGE);  // above 39 + 12 for chroma, 63 for luma
    EXPECT_EQ(zaniReconstructLumaIntra8x8_H264High_32s16u_IP1R(&ok, nullptr, 0), ZAN_ERR_NULL_PTR);
    modes[3] = 9;
    EXPECT_EQ(zaniReconstructLumaIntra8x8_H264High_32s16u_IP1R(&ok, modes, 0), ZAN_ERR_OUT_OF_RANGE);
    EXPECT_EQ(zaniReconstructLumaIntra16x16_H264High_32s16u_IP1R(&ok, 3, 1), ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
    EXPECT_EQ(zaniReconstructLumaIntra16x16_H264High_32s16u_IP1R(&ok, 4, 0), ZAN_ERR_OUT_OF_RANGE);
    // Luma accepts QP'Y 63 at 10 bits; chroma refuses QP'c 52 there.
    ZanReconstructHigh_32s16u q63 = ok;
    q63.QP = 63;
    q63.cbp4x4 = 0;
    EXPECT_EQ(zaniReconstructLumaInter4x4_H264High_32s16u_IP1R(&q63), ZAN_OK);
    const ZanReconstructHigh_32s16u c52[2] = {{&p, pic.at(16, 16), 128, 0, 52, ls, 0, 10}, ok};
    EXPECT_EQ(zaniReconstructChromaInter4x4_H264High_32s16u_IP2R(c52), ZAN_ERR_OUT_OF_RANGE);
    const ZanReconstructHigh_32s16u crNull[2] = {ok, {nullptr, nullptr, 128, 0, 10, ls, 0, 0}};
    EXPECT_EQ(zaniReconstructChromaIntra4x4_H264High_32s16u_IP2R(crNull, 0, 0), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniReconstructChromaIntra4x4_H264High_32s16u_IP2R(nullptr, 0, 0), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(p, cf);
    EXPECT_EQ(pic.px, before.px);
    // 8-bit 4:2:2: step, QP, mode, neighbours.
    std::vector<uint8_t> cp(64 * 48, 7);
    const std::vector<uint8_t> cpBefore = cp;
    int16_t c16[16] = {};
    int16_t* q = c16;
    const int16_t l16[16] = {};
    uint8_t* u = cp.data() + 16 * 64 + 16;
    EXPECT_EQ(zaniReconstructChroma422Inter4x4_H264High_16s8u_IP2R(&q, u, u + 24, 0, 0x60000u, 40, 0, l16, l16, 0),
              ZAN_ERR_STEP);
    EXPECT_EQ(zaniReconstructChroma422Inter4x4_H264High_16s8u_IP2R(&q, u, u + 24, 64, 0x60000u, 0, 40, l16, l16, 0),
              ZAN_ERR_OUT_OF_RANGE);
    EXPECT_EQ(zaniReconstructChroma422Intra4x4_H264High_16s8u_IP2R(&q, u, u + 24, 64, 4, 0x60000u, 0, 0, 0, l16, l16, 0),
              ZAN_ERR_OUT_OF_RANGE);
    EXPECT_EQ(zaniReconstructChroma422IntraHalf4x4_H264High_16s8u_IP2R(&q, u, u + 24, 64, 1, 0x60000u, 0, 0, 0, 1, l16,
                                                                       l16, 0),
              ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
    EXPECT_EQ(q, c16);
    EXPECT_EQ(cp, cpBefore);
}

}  // namespace
