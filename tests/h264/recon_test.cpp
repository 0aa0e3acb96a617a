// H.264 macroblock reconstruction: random macroblocks with random coded-block
// bits against a straightforward model built on the standard's equations
// (neighbour availability derived from the decoding order, 64-bit
// dequantization and inverse transforms), the AVX2 kernels against the
// portable ones, worked examples, the coefficient pointer's advance, and the
// argument checks.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "h264/h264_tables.h"
#include "h264/recon_model.h"
#include "support/checkasm.h"

namespace {

using zan::h264::InvLevelScale_4x4_default;
using zan::h264::InvLevelScale_8x8_default;

// --------------------------------------------------------- test frame ----

// A 64 x 48 picture of random samples; the macroblock sits at (16, 16).
struct Img {
    static constexpr int kStep = 64;
    std::vector<uint8_t> px = std::vector<uint8_t>(kStep * 48);
    explicit Img(zt::Rng& rng) { zt::fill(rng, px.data(), px.size(), 0, 255, zt::kAllBiases[rng.range(0, 4)]); }
    uint8_t* mb() { return px.data() + 16 * kStep + 16; }
};

// Random coefficients for nblk blocks of n values; `lim` bounds magnitudes.
std::vector<int16_t> random_coefs(zt::Rng& rng, int count, int lim) {
    std::vector<int16_t> c(count);
    for (auto& v : c) v = int16_t(rng.range(0, 2) ? 0 : rng.range(-lim, lim));
    return c;
}

// Magnitude bound that keeps the flat 16-bit path free of saturation.
int flat_limit(int qp) { return std::max(1, 800 / zan::h264::InvQuantTable[qp][1]); }

std::vector<int16_t> random_levels(zt::Rng& rng, int n) {
    std::vector<int16_t> l(n);
    for (auto& v : l) v = int16_t(rng.range(16, 4000));
    return l;
}

template <class Fn>
void for_each_impl(Fn fn) {
    fn("c", false);
    if (zt::have_avx2()) fn("avx2", true);
}

// Runs the coefficient-consuming call on a copy of the picture and checks
// status, the pointer's advance and the picture against the model's.
template <class Call>
void expect_same(const char* what, Img& start, const std::vector<uint8_t>& want, ZanResult wantStatus,
                 const std::vector<int16_t>& coefs, ptrdiff_t wantAdvance, Call call) {
    for_each_impl([&](const char* impl, bool avx2) {
        Img img = start;
        std::vector<int16_t> buf = coefs;
        buf.resize(buf.size() + 64);
        int16_t* p = buf.data();
        const ZanResult r = call(avx2, &p, img);
        ASSERT_EQ(r, wantStatus) << what << " " << impl;
        ASSERT_EQ(p - buf.data(), wantAdvance) << what << " " << impl;
        ASSERT_TRUE(zt::same_array(img.px.data(), want.data(), want.size())) << what << " " << impl;
    });
}

#define IMPL(avx2, name) ((avx2) ? zan::avx2::name : zan::c::name)

// ------------------------------------------------------------ luma tests --

// Every 8-bit luma form against the model: {model form, flat scaling}.
// Flat forms run QP up to 40 with magnitudes that keep the 16-bit
// saturating path exact.
struct LumaForm {
    const char* name;
    int model;  // rm::model_luma form
    bool flat;
};
constexpr LumaForm kLumaForms[] = {
    {"InterMB", 0, true},      {"Inter4x4MB", 0, false},      {"Inter8x8MB", 1, false},
    {"IntraMB", 2, true},      {"Intra4x4MB", 2, false},      {"Intra8x8MB", 3, false},
    {"IntraHalfMB", 4, true},  {"IntraHalf4x4MB", 4, false},  {"IntraHalf8x8MB", 5, false},
    {"Intra16x16MB", 6, true}, {"Intra_16x16MB", 6, false},
};

ZanResult call_luma(int form, bool avx2, int16_t** pp, uint8_t* mb, uint32_t cbp, int qp, const int32_t* modes,
                    int mode16, uint8_t edge, const int16_t* ls, uint8_t bypass) {
    const int st = Img::kStep;
    switch (form) {
        case 0: return IMPL(avx2, zaniReconstructLumaInterMB_H264_16s8u_C1R)(pp, mb, st, cbp, qp);
        case 1: return IMPL(avx2, zaniReconstructLumaInter4x4MB_H264_16s8u_C1R)(pp, mb, st, cbp, qp, ls, bypass);
        case 2: return IMPL(avx2, zaniReconstructLumaInter8x8MB_H264_16s8u_C1R)(pp, mb, st, cbp, qp, ls, bypass);
        case 3: return IMPL(avx2, zaniReconstructLumaIntraMB_H264_16s8u_C1R)(pp, mb, st, modes, cbp, qp, edge);
        case 4:
            return IMPL(avx2, zaniReconstructLumaIntra4x4MB_H264_16s8u_C1R)(pp, mb, st, modes, cbp, qp, edge, ls, bypass);
        case 5:
            return IMPL(avx2, zaniReconstructLumaIntra8x8MB_H264_16s8u_C1R)(pp, mb, st, modes, cbp, qp, edge, ls, bypass);
        case 6: return IMPL(avx2, zaniReconstructLumaIntraHalfMB_H264_16s8u_C1R)(pp, mb, st, modes, cbp, qp, edge);
        case 7:
            return IMPL(avx2, zaniReconstructLumaIntraHalf4x4MB_H264_16s8u_C1R)(pp, mb, st, modes, cbp, qp, edge, ls,
                                                                                bypass);
        case 8:
            return IMPL(avx2, zaniReconstructLumaIntraHalf8x8MB_H264_16s8u_C1R)(pp, mb, st, modes, cbp, qp, edge, ls,
                                                                                bypass);
        case 9: return IMPL(avx2, zaniReconstructLumaIntra16x16MB_H264_16s8u_C1R)(pp, mb, st, mode16, cbp, qp, edge);
        default:
            return IMPL(avx2, zaniReconstructLumaIntra_16x16MB_H264_16s8u_C1R)(pp, mb, st, mode16, cbp, qp, edge, ls,
                                                                               bypass);
    }
}

TEST(H264ReconLuma, EveryFormAgainstModel) {
    zt::Rng rng;
    for (int it = 0; it < 2200; ++it) {
        const int form = it % 11;
        const LumaForm& f = kLumaForms[form];
        Img img(rng);
        const int qp = f.flat ? rng.range(0, 40) : rng.range(0, 51);
        const uint8_t bypass = !f.flat && qp == 0 && rng.coin();
        const uint8_t edge = uint8_t(rng.u32() & 0x35);
        int32_t modes[16];
        for (int& m : modes) m = rng.range(0, 8);
        const int mode16 = rng.range(0, 3);
        const uint32_t cbp = rng.u32() & (rng.coin() ? 0x7FFFFFFu : 0x3u);
        const bool eight = f.model == 1 || f.model == 3 || f.model == 5;
        std::vector<int16_t> levels = random_levels(rng, 64);
        if (f.flat || rng.range(0, 3) == 0) {
            if (eight) levels.assign(InvLevelScale_8x8_default[qp % 6].begin(), InvLevelScale_8x8_default[qp % 6].end());
            else levels.assign(InvLevelScale_4x4_default[qp % 6].begin(), InvLevelScale_4x4_default[qp % 6].end());
        }
        const std::vector<int16_t> coefs =
            random_coefs(rng, 16 * 17 + 64 * 4, f.flat && f.model != 6 ? flat_limit(qp) : 40);
        std::vector<uint8_t> want = img.px;
        const int16_t* c = coefs.data();
        const ZanResult status = rm::model_luma(want.data() + 16 * Img::kStep + 16, Img::kStep, f.model, modes, mode16,
                                                edge, cbp, qp, levels.data(), bypass != 0, 8, f.flat, c);
        ptrdiff_t advance = c - coefs.data();
        if (status == ZAN_ERR_NEIGHBOUR_UNAVAILABLE) want = img.px, advance = 0;
        expect_same(f.name, img, want, status, coefs, advance, [&](bool avx2, int16_t** pp, Img& m) {
            return call_luma(form, avx2, pp, m.mb(), cbp, qp, modes, mode16, edge, levels.data(), bypass);
        });
    }
}

// The flat saturating path and its AVX2 pair kernel with levels that
// overflow 16 bits: the AVX2 kernels against the portable ones.
TEST(H264ReconLuma, SaturatingPathsAvx2MatchesPortable) {
    ZT_REQUIRE_AVX2();
    zt::Rng rng;
    for (int it = 0; it < 1000; ++it) {
        Img img(rng);
        const int qp = rng.range(0, 51);
        const uint32_t cbp = rng.u32() & 0x1FFFEu;
        const std::vector<int16_t> coefs = random_coefs(rng, 16 * 16, rng.coin() ? 32767 : 300);
        Img a = img, b = img;
        int16_t* pa = const_cast<int16_t*>(coefs.data());
        int16_t* pb = pa;
        ASSERT_EQ(zan::c::zaniReconstructLumaInterMB_H264_16s8u_C1R(&pa, a.mb(), Img::kStep, cbp, qp), ZAN_OK);
        ASSERT_EQ(zan::avx2::zaniReconstructLumaInterMB_H264_16s8u_C1R(&pb, b.mb(), Img::kStep, cbp, qp), ZAN_OK);
        ASSERT_EQ(pa, pb);
        ASSERT_TRUE(zt::same_array(a.px.data(), b.px.data(), a.px.size())) << it;
        // The scaled 32-bit paths with extreme levels wrap alike.
        const std::vector<int16_t> levels = random_levels(rng, 64);
        int32_t modes[4] = {2, 2, 2, 2};
        pa = pb = const_cast<int16_t*>(coefs.data());
        ASSERT_GE(zan::c::zaniReconstructLumaIntra8x8MB_H264_16s8u_C1R(&pa, a.mb(), Img::kStep, modes, 0xF, qp, 0,
                                                                       levels.data(), 0), 0);
        ASSERT_GE(zan::avx2::zaniReconstructLumaIntra8x8MB_H264_16s8u_C1R(&pb, b.mb(), Img::kStep, modes, 0xF, qp, 0,
                                                                          levels.data(), 0), 0);
        ASSERT_TRUE(zt::same_array(a.px.data(), b.px.data(), a.px.size())) << it;
    }
}

TEST(H264ReconLuma, WorkedExamplesAndPointerAdvance) {
    zt::Rng rng;
    Img img(rng);
    // cbp 0: nothing changes, the pointer stays.
    int16_t coefs[64] = {4};
    int16_t* p = coefs;
    Img before = img;
    ASSERT_EQ(zaniReconstructLumaInterMB_H264_16s8u_C1R(&p, img.mb(), Img::kStep, 1u << 17, 0), ZAN_OK);
    EXPECT_EQ(p, coefs);
    EXPECT_EQ(img.px, before.px);
    // Two coded blocks (blkIdx 1 and 4): 32 values; DC 4 at QP 0 adds 1.
    int16_t two[32] = {4};
    two[16] = 4;
    p = two;
    ASSERT_EQ(zaniReconstructLumaInterMB_H264_16s8u_C1R(&p, img.mb(), Img::kStep, (2u << 1) | (2u << 4), 0), ZAN_OK);
    EXPECT_EQ(p, two + 32);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(img.mb()[y * Img::kStep + 4], std::min(255, before.mb()[y * Img::kStep + 4] + 1));  // blkIdx 1
        EXPECT_EQ(img.mb()[y * Img::kStep + 8], std::min(255, before.mb()[y * Img::kStep + 8] + 1));  // blkIdx 4
        EXPECT_EQ(img.mb()[y * Img::kStep + 0], before.mb()[y * Img::kStep + 0]);
    }
    // Intra 4x4, vertical mode on blkIdx 0 with the top macroblock missing:
    // 128 + residual, status 11; the others DC.
    Img intra(rng);
    int32_t modes[16];
    for (int& m : modes) m = 2;
    modes[0] = 0;
    int16_t blk0[16] = {4};
    p = blk0;
    const std::vector<int16_t> flat(InvLevelScale_4x4_default[0].begin(), InvLevelScale_4x4_default[0].end());
    ASSERT_EQ(zaniReconstructLumaIntra4x4MB_H264_16s8u_C1R(&p, intra.mb(), Img::kStep, modes, 2u, 0, 4, flat.data(), 0),
              ZAN_WRN_PRED_FALLBACK);
    EXPECT_EQ(p, blk0 + 16);
    EXPECT_EQ(intra.mb()[0], 129);
    EXPECT_EQ(intra.mb()[3 * Img::kStep + 3], 129);
    // Intra 8x8: a mode above 8 anywhere refuses before anything is written.
    Img i8(rng);
    Img i8before = i8;
    int32_t m8[4] = {2, 2, 2, 9};
    const std::vector<int16_t> l8(64, 16);
    p = coefs;
    EXPECT_EQ(zaniReconstructLumaIntra8x8MB_H264_16s8u_C1R(&p, i8.mb(), Img::kStep, m8, 0xF, 10, 0, l8.data(), 0),
              ZAN_ERR_OUT_OF_RANGE);
    EXPECT_EQ(p, coefs);
    EXPECT_EQ(i8.px, i8before.px);
    // Intra 16x16 plane at the picture's left edge: -117, nothing written.
    p = coefs;
    EXPECT_EQ(zaniReconstructLumaIntra16x16MB_H264_16s8u_C1R(&p, i8.mb(), Img::kStep, 3, 0x1FFFF, 10, 1),
              ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
    EXPECT_EQ(p, coefs);
    EXPECT_EQ(i8.px, i8before.px);
    // Intra 8x8 vertical with filtered references: a top ramp 8x (x = 0..15)
    // and p[-1, -1] = 40 give p'[0, -1] = (40 + 0 + 8 + 2) >> 2 = 12 and
    // p'[x, -1] = 8x inside; without the top-right p'[7, -1] = (48 + 112 +
    // 56 + 2) >> 2 = 54.
    Img v(rng);
    for (int x = 0; x < 16; ++x) v.mb()[-Img::kStep + x] = uint8_t(8 * x);
    v.mb()[-Img::kStep - 1] = 40;
    int32_t mv[4] = {0, 2, 2, 2};
    p = coefs;
    ASSERT_EQ(zaniReconstructLumaIntra8x8MB_H264_16s8u_C1R(&p, v.mb(), Img::kStep, mv, 0, 10, 0, l8.data(), 0), ZAN_OK);
    EXPECT_EQ(v.mb()[7 * Img::kStep + 0], 12);
    EXPECT_EQ(v.mb()[7 * Img::kStep + 3], 24);
    EXPECT_EQ(v.mb()[7 * Img::kStep + 7], 56);
    ASSERT_EQ(zaniReconstructLumaIntra8x8MB_H264_16s8u_C1R(&p, v.mb(), Img::kStep, mv, 0, 10, 32, l8.data(), 0),
              ZAN_OK);
    EXPECT_EQ(v.mb()[0 * Img::kStep + 7], 56);  // block 0's top-right is the top macroblock, still there
    // The half 8x8 form without the top-right macroblock (edge bit 32): its
    // block 1 substitutes p[16..23, -1] by p[15, -1] = 120 before filtering,
    // so its vertical prediction ends in (112 + 2 * 120 + 120 + 2) >> 2.
    Img v2(rng);
    for (int x = 0; x < 16; ++x) v2.mb()[-Img::kStep + x] = uint8_t(8 * x);
    int32_t mh[2] = {2, 0};
    p = coefs;
    ASSERT_EQ(zaniReconstructLumaIntraHalf8x8MB_H264_16s8u_C1R(&p, v2.mb(), Img::kStep, mh, 0, 10, 32, l8.data(), 0),
              ZAN_OK);
    EXPECT_EQ(v2.mb()[8 + 7], 118);
}

TEST(H264ReconLuma, ChecksInOrderAndNothingWritten) {
    zt::Rng rng;
    Img img(rng);
    const Img before = img;
    int16_t coefs[16] = {};
    int16_t* p = coefs;
    int16_t* nul = nullptr;
    int32_t modes[16] = {};
    const int16_t lv[64] = {};
    for_each_impl([&](const char* impl, bool avx2) {
        SCOPED_TRACE(impl);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaInterMB_H264_16s8u_C1R)(nullptr, img.mb(), 16, 2, 99), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaInterMB_H264_16s8u_C1R)(&nul, img.mb(), 16, 2, 99), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaInterMB_H264_16s8u_C1R)(&p, nullptr, 16, 2, 99), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaInterMB_H264_16s8u_C1R)(&p, img.mb(), 16, 2, 52), ZAN_ERR_OUT_OF_RANGE);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaInterMB_H264_16s8u_C1R)(&p, img.mb(), 16, 2, -1), ZAN_ERR_OUT_OF_RANGE);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaInter4x4MB_H264_16s8u_C1R)(&p, img.mb(), 16, 2, 99, nullptr, 0),
                  ZAN_ERR_NULL_PTR);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaInter8x8MB_H264_16s8u_C1R)(&p, img.mb(), 16, 1, 52, lv, 0),
                  ZAN_ERR_OUT_OF_RANGE);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaIntra4x4MB_H264_16s8u_C1R)(&p, img.mb(), 16, nullptr, 2, 99, 0, lv, 0),
                  ZAN_ERR_NULL_PTR);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaIntra4x4MB_H264_16s8u_C1R)(&p, img.mb(), 16, modes, 2, 52, 0, lv, 0),
                  ZAN_ERR_OUT_OF_RANGE);
        modes[15] = 9;
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaIntraMB_H264_16s8u_C1R)(&p, img.mb(), 16, modes, 2, 10, 0),
                  ZAN_ERR_OUT_OF_RANGE);
        modes[15] = 0;
        modes[7] = -1;
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaIntraHalfMB_H264_16s8u_C1R)(&p, img.mb(), 16, modes, 2, 10, 0),
                  ZAN_ERR_OUT_OF_RANGE);
        modes[7] = 0;
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaIntraHalfMB_H264_16s8u_C1R)(&p, img.mb(), 0, modes, 2, 99, 0),
                  ZAN_ERR_STEP);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaIntraHalf4x4MB_H264_16s8u_C1R)(&p, img.mb(), 0, modes, 2, 99, 0,
                                                                               nullptr, 0),
                  ZAN_ERR_NULL_PTR);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaIntraHalf8x8MB_H264_16s8u_C1R)(&p, img.mb(), -5, modes, 2, 99, 0, lv, 0),
                  ZAN_ERR_STEP);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaIntra16x16MB_H264_16s8u_C1R)(&p, img.mb(), 16, 4, 2, 52, 0),
                  ZAN_ERR_OUT_OF_RANGE);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaIntra16x16MB_H264_16s8u_C1R)(&p, img.mb(), 16, 4, 2, 51, 0),
                  ZAN_ERR_OUT_OF_RANGE);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaIntra16x16MB_H264_16s8u_C1R)(&p, img.mb(), 16, 0, 2, 51, 4),
                  ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaIntra16x16MB_H264_16s8u_C1R)(&p, img.mb(), 16, 1, 2, 51, 1),
                  ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaIntra_16x16MB_H264_16s8u_C1R)(&p, img.mb(), 16, 3, 2, 51, 16, lv, 0),
                  ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
        EXPECT_EQ(IMPL(avx2, zaniReconstructLumaIntra_16x16MB_H264_16s8u_C1R)(&p, img.mb(), 16, 3, 2, 51, 0, nullptr, 0),
                  ZAN_ERR_NULL_PTR);
    });
    EXPECT_EQ(p, coefs);
    EXPECT_EQ(img.px, before.px);
}

// ---------------------------------------------------------- chroma tests --

// Chroma model on two separate 8x8 components (P2R layout).
struct ChromaPic {
    static constexpr int kStep = 32;
    std::vector<uint8_t> cb = std::vector<uint8_t>(kStep * 24), cr = std::vector<uint8_t>(kStep * 24);
    explicit ChromaPic(zt::Rng& rng) {
        zt::fill(rng, cb.data(), cb.size(), 0, 255);
        zt::fill(rng, cr.data(), cr.size(), 0, 255);
    }
    static uint8_t* mb(std::vector<uint8_t>& v) { return v.data() + 8 * kStep + 8; }
};

// Interleaves the two components into one NV12-style plane.
std::vector<uint8_t> interleave(const ChromaPic& p) {
    std::vector<uint8_t> uv(2 * p.cb.size());
    for (size_t i = 0; i < p.cb.size(); ++i) uv[2 * i] = p.cb[i], uv[2 * i + 1] = p.cr[i];
    return uv;
}

TEST(H264ReconChroma, AllFormsAgainstModel) {
    zt::Rng rng;
    for (int it = 0; it < 1500; ++it) {
        ChromaPic pic(rng);
        const int form = it % 6;  // 0 inter, 1 intra, 2 inter4x4, 3 intra4x4, 4 halves, 5 halves4x4
        const bool intra = form == 1 || form == 3 || form >= 4, scaled = form == 2 || form == 3 || form == 5;
        const int mode = rng.range(0, 3);
        const uint8_t edge = uint8_t(rng.u32() & 0x15);
        const uint8_t edgeBottom = form >= 4 ? uint8_t(rng.u32() & 1) : edge;  // the Halves forms split the left
        int qp[2] = {rng.range(0, 39), rng.range(0, 39)};
        if (!scaled) qp[1] = qp[0];
        const bool bypass = scaled && rng.range(0, 3) == 0;
        const uint32_t cbp = rng.u32() & (rng.coin() ? 0x7FE0000u : 0x0060000u);
        std::vector<int16_t> lv[2];
        for (int k = 0; k < 2; ++k)
            lv[k] = scaled ? random_levels(rng, 16)
                           : std::vector<int16_t>(InvLevelScale_4x4_default[qp[k] % 6].begin(),
                                                  InvLevelScale_4x4_default[qp[k] % 6].end());
        const int16_t* const levels[2] = {lv[0].data(), lv[1].data()};
        const int n = 4 * __builtin_popcount(cbp & 0x60000u) + 16 * __builtin_popcount(cbp & 0x7F80000u);
        const std::vector<int16_t> coefs = random_coefs(rng, n, 40);
        ChromaPic want = pic;
        const int16_t* c = coefs.data();
        const ZanResult status = rm::model_chroma(ChromaPic::mb(want.cb), ChromaPic::mb(want.cr), ChromaPic::kStep, 8,
                                                  intra, mode, edge, edgeBottom, cbp, qp, levels, bypass, 8, !scaled, c);
        const ptrdiff_t advance = status == ZAN_OK ? c - coefs.data() : 0;
        if (status != ZAN_OK) want = pic;
        // Planar forms.
        for_each_impl([&](const char* impl, bool avx2) {
            ChromaPic got = pic;
            std::vector<int16_t> buf = coefs;
            buf.resize(buf.size() + 16);
            int16_t* p = buf.data();
            uint8_t* u = ChromaPic::mb(got.cb);
            uint8_t* v = ChromaPic::mb(got.cr);
            const int st = ChromaPic::kStep;
            ZanResult r;
            switch (form) {
                case 0: r = IMPL(avx2, zaniReconstructChromaInterMB_H264_16s8u_P2R)(&p, u, v, st, cbp, qp[0]); break;
                case 1:
                    r = IMPL(avx2, zaniReconstructChromaIntraMB_H264_16s8u_P2R)(&p, u, v, st, mode, cbp, qp[0], edge);
                    break;
                case 2:
                    r = IMPL(avx2, zaniReconstructChromaInter4x4MB_H264_16s8u_P2R)(&p, u, v, st, cbp, qp[0], qp[1],
                                                                                   levels[0], levels[1], bypass);
                    break;
                case 3:
                    r = IMPL(avx2, zaniReconstructChromaIntra4x4MB_H264_16s8u_P2R)(
                        &p, u, v, st, mode, cbp, qp[0], qp[1], edge, levels[0], levels[1], bypass);
                    break;
                case 4:
                    r = IMPL(avx2, zaniReconstructChromaIntraHalvesMB_H264_16s8u_P2R)(&p, u, v, st, mode, cbp, qp[0],
                                                                                       edge, edgeBottom);
                    break;
                default:
                    r = IMPL(avx2, zaniReconstructChromaIntraHalfs4x4MB_H264_16s8u_P2R)(
                        &p, u, v, st, mode, cbp, qp[0], qp[1], edge, edgeBottom, levels[0], levels[1], bypass);
                    break;
            }
            ASSERT_EQ(r, status) << impl << " form " << form;
            ASSERT_EQ(p - buf.data(), advance) << impl << " form " << form;
            ASSERT_TRUE(zt::same_array(got.cb.data(), want.cb.data(), got.cb.size()))
                << impl << " form " << form << " mode " << mode << " edge " << int(edge) << " cbp " << std::hex << cbp
                << std::dec << " qp " << qp[0] << " " << qp[1] << " bypass " << bypass;
            ASSERT_TRUE(zt::same_array(got.cr.data(), want.cr.data(), got.cr.size())) << impl << " form " << form;
            // The interleaved forms give the interleaved result.
            if (form == 5) return;
            std::vector<uint8_t> uv = interleave(pic);
            const std::vector<uint8_t> uvWant = interleave(want);
            p = buf.data();
            uint8_t* m = uv.data() + 2 * (8 * st + 8);
            switch (form) {
                case 0: r = IMPL(avx2, zaniReconstructChromaInterMB_H264_16s8u_C2R)(&p, m, 2 * st, cbp, qp[0]); break;
                case 1:
                    r = IMPL(avx2, zaniReconstructChromaIntraMB_H264_16s8u_C2R)(&p, m, 2 * st, mode, cbp, qp[0], edge);
                    break;
                case 2:
                    r = IMPL(avx2, zaniReconstructChromaInter4x4MB_H264_16s8u_C2R)(&p, m, 2 * st, cbp, qp[0], qp[1],
                                                                                   levels[0], levels[1], bypass);
                    break;
                case 3:
                    r = IMPL(avx2, zaniReconstructChromaIntra4x4MB_H264_16s8u_C2R)(
                        &p, m, 2 * st, mode, cbp, qp[0], qp[1], edge, levels[0], levels[1], bypass);
                    break;
                default:
                    r = IMPL(avx2, zaniReconstructChromaIntraHalvesMB_H264_16s8u_C2R)(&p, m, 2 * st, mode, cbp, qp[0],
                                                                                       edge, edgeBottom);
                    break;
            }
            ASSERT_EQ(r, status) << impl << " C2R form " << form;
            ASSERT_EQ(p - buf.data(), advance) << impl << " C2R form " << form;
            ASSERT_TRUE(zt::same_array(uv.data(), uvWant.data(), uv.size())) << impl << " C2R form " << form;
        });
    }
}

TEST(H264ReconChroma, SplitLeftAvailabilityAndWorkedExamples) {
    zt::Rng rng;
    ChromaPic pic(rng);
    int16_t coefs[8] = {};
    int16_t* p = coefs;
    // Upper half of the left column available, lower half not: horizontal
    // and plane are refused; DC of quadrant (0, 4) falls back to its top.
    const ChromaPic before = pic;
    uint8_t* u = ChromaPic::mb(pic.cb);
    uint8_t* v = ChromaPic::mb(pic.cr);
    const int st = ChromaPic::kStep;
    EXPECT_EQ(zaniReconstructChromaIntraHalvesMB_H264_16s8u_P2R(&p, u, v, st, 1, 0, 10, 0, 1),
              ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
    EXPECT_EQ(zaniReconstructChromaIntraHalfsMB_H264_16s8u_P2R(&p, u, v, st, 3, 0, 10, 0, 1),
              ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
    EXPECT_EQ(pic.cb, before.cb);
    ASSERT_EQ(zaniReconstructChromaIntraHalvesMB_H264_16s8u_P2R(&p, u, v, st, 0, 0, 10, 0, 1), ZAN_OK);
    int sT0 = 0, sL0 = 0;
    for (int i = 0; i < 4; ++i) sT0 += u[-st + i], sL0 += u[i * st - 1];
    EXPECT_EQ(u[0], (sT0 + sL0 + 4) >> 3);
    EXPECT_EQ(u[5 * st + 1], (sT0 + 2) >> 2);
    // Chroma DC coded for Cb only: 4 values consumed; chromaQP 40 refused.
    ChromaPic q(rng);
    const ChromaPic qb = q;
    int16_t dcs[4] = {1, 0, 0, 0};
    p = dcs;
    ASSERT_EQ(zaniReconstructChromaInterMB_H264_16s8u_P2R(&p, ChromaPic::mb(q.cb), ChromaPic::mb(q.cr), st,
                                                          1u << 17, 6), ZAN_OK);
    EXPECT_EQ(p, dcs + 4);
    // dc = (1 * 20) >> 1 = 10 per block: (10 + 32) >> 6 = 0, the picture is unchanged.
    EXPECT_EQ(q.cb, qb.cb);
    p = dcs;
    EXPECT_EQ(zaniReconstructChromaInterMB_H264_16s8u_P2R(&p, ChromaPic::mb(q.cb), ChromaPic::mb(q.cr), st,
                                                          1u << 17, 40), ZAN_ERR_OUT_OF_RANGE);
    EXPECT_EQ(p, dcs);
}

TEST(H264ReconChroma, ChecksInOrderAndNothingWritten) {
    zt::Rng rng;
    ChromaPic pic(rng);
    const ChromaPic before = pic;
    int16_t coefs[16] = {};
    int16_t* p = coefs;
    int16_t* nul = nullptr;
    const int16_t lv[16] = {};
    uint8_t* u = ChromaPic::mb(pic.cb);
    uint8_t* v = ChromaPic::mb(pic.cr);
    const uint32_t all = 0x7FE0000u;
    for_each_impl([&](const char* impl, bool avx2) {
        SCOPED_TRACE(impl);
        EXPECT_EQ(IMPL(avx2, zaniReconstructChromaInterMB_H264_16s8u_P2R)(&nul, u, v, 32, all, 99), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(IMPL(avx2, zaniReconstructChromaInterMB_H264_16s8u_P2R)(&p, u, nullptr, 32, all, 99),
                  ZAN_ERR_NULL_PTR);
        EXPECT_EQ(IMPL(avx2, zaniReconstructChromaInterMB_H264_16s8u_P2R)(&p, u, v, 32, all, -1), ZAN_ERR_OUT_OF_RANGE);
        EXPECT_EQ(IMPL(avx2, zaniReconstructChromaIntraMB_H264_16s8u_P2R)(&p, u, v, 32, 4, all, 39, 0),
                  ZAN_ERR_OUT_OF_RANGE);
        EXPECT_EQ(IMPL(avx2, zaniReconstructChromaIntraMB_H264_16s8u_P2R)(&p, u, v, 32, 2, all, 39, 4),
                  ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
        EXPECT_EQ(IMPL(avx2, zaniReconstructChromaIntraMB_H264_16s8u_C2R)(&p, u, 0, 4, all, 99, 0), ZAN_ERR_STEP);
        EXPECT_EQ(IMPL(avx2, zaniReconstructChromaInterMB_H264_16s8u_C2R)(&p, nullptr, 0, all, 99), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(IMPL(avx2, zaniReconstructChromaInter4x4MB_H264_16s8u_P2R)(&p, u, v, 32, all, 0, 0, lv, nullptr, 0),
                  ZAN_ERR_NULL_PTR);
        EXPECT_EQ(IMPL(avx2, zaniReconstructChromaInter4x4MB_H264_16s8u_P2R)(&p, u, v, 32, all, 0, 40, lv, lv, 0),
                  ZAN_ERR_OUT_OF_RANGE);
        EXPECT_EQ(IMPL(avx2, zaniReconstructChromaIntra4x4MB_H264_16s8u_C2R)(&p, u, -1, 0, all, 0, 0, 0, lv, lv, 0),
                  ZAN_ERR_STEP);
        EXPECT_EQ(IMPL(avx2, zaniReconstructChromaIntra4x4MB_H264_16s8u_P2R)(&p, u, v, 32, 3, all, 0, 0, 16, lv, lv, 0),
                  ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
        EXPECT_EQ(IMPL(avx2, zaniReconstructChromaIntraHalves4x4MB_H264_16s8u_P2R)(&p, u, v, 32, 1, all, 0, 0, 0, 1, lv,
                                                                                   lv, 0),
                  ZAN_ERR_NEIGHBOUR_UNAVAILABLE);
        EXPECT_EQ(IMPL(avx2, zaniReconstructChromaIntraHalvesMB_H264_16s8u_C2R)(&p, u, 0, 0, all, 0, 0, 0), ZAN_ERR_STEP);
    });
    EXPECT_EQ(p, coefs);
    EXPECT_EQ(pic.cb, before.cb);
    EXPECT_EQ(pic.cr, before.cr);
}

}  // namespace
