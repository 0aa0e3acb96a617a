// Block metrics: every AVX2 kernel against the portable implementation on
// random and biased inputs (all-0, all-max, +-1 neighbours, alternating
// extremes), at random row steps and pointer alignments, for every mcType
// (handled or not) and both roundControl values.
#include <array>
#include <functional>
#include <vector>

#include "support/checkasm.h"

namespace {

using zt::Bias;

// A randomly placed, randomly filled image: rows of `wElems` elements at a
// random step and misalignment (16-bit samples stay 2-aligned). The storage
// ends right after the last row's wElems elements, so that AddressSanitizer
// reports any read past the documented block.
template <class T>
struct Img {
    Img(zt::Rng& rng, int wElems, int h, Bias bias, int hi = sizeof(T) == 1 ? 255 : 65535, int lo = 0)
        : step(int(sizeof(T)) * (wElems + rng.range(0, 24))),
          offset(sizeof(T) * size_t(rng.range(0, 31))),
          storage(offset + size_t(step) * (h - 1) + sizeof(T) * wElems) {
        zt::fill(rng, p(), (storage.size() - offset) / sizeof(T), lo, hi, bias);
    }
    T* p() { return reinterpret_cast<T*>(storage.data() + offset); }
    int step;
    size_t offset;
    std::vector<uint8_t> storage;
};

// Random sample range for 16-bit members: the 15-bit range they are exact on,
// or the full 16 bits where the 16-bit arithmetic (saturation, wrap) shows.
template <class T>
int high(zt::Rng& rng) {
    return sizeof(T) == 1 ? 255 : (rng.coin() ? 32767 : 65535);
}

constexpr int kIters = 40;  // per bias

// Runs body(rng, bias) kIters times for each bias and stops at the first
// failure, naming the bias.
template <class F>
void for_cases(F body) {
    zt::Rng rng;
    for (Bias bias : zt::kAllBiases)
        for (int i = 0; i < kIters; ++i) {
            SCOPED_TRACE(zt::bias_name(bias));
            body(rng, bias);
            if (::testing::Test::HasFailure()) return;
        }
}

int random_mc(zt::Rng& rng) { return rng.range(0, 5) == 0 ? rng.range(-20, 40) : rng.range(0, 15); }

#define BOTH_SAME_RESULT(rc, rA, outC, outA) \
    do {                                     \
        EXPECT_EQ(rc, rA);                   \
        EXPECT_EQ(outC, outA);               \
    } while (0)

// ---- SAD, SSD, SATD: (src, step, ref, step, out[, mc]) ----
template <int W, int H, class T, class Fn>
void check_block_metric(Fn c, Fn a, bool withMc) {
    for_cases([&](zt::Rng& rng, Bias bias) {
        const int hi = high<T>(rng);
        Img<T> s(rng, W, H, bias, hi), r(rng, W + 1, H + 1, bias, hi);
        const int mc = withMc ? random_mc(rng) : 0;
        Zan32s oc = 0x1234, oa = 0x1234;
        ZanResult rc, ra;
        if constexpr (std::is_invocable_v<Fn, const T*, int32_t, const T*, int32_t, Zan32s*, int32_t>) {
            rc = c(s.p(), s.step, r.p(), r.step, &oc, mc);
            ra = a(s.p(), s.step, r.p(), r.step, &oa, mc);
        } else {
            rc = c(s.p(), s.step, r.p(), r.step, &oc);
            ra = a(s.p(), s.step, r.p(), r.step, &oa);
        }
        SCOPED_TRACE(mc);
        BOTH_SAME_RESULT(rc, ra, oc, oa);
    });
}

#define BLOCK_METRIC(NAME, W, H, T, MC) check_block_metric<W, H, T>(zan::c::NAME, zan::avx2::NAME, MC)

TEST(MetricsKernels, SingleBlockSad) {
    ZT_REQUIRE_AVX2();
    BLOCK_METRIC(zaniSAD16x16_8u32s, 16, 16, Zan8u, true);
    BLOCK_METRIC(zaniSAD8x8_8u32s_C1R, 8, 8, Zan8u, true);
    BLOCK_METRIC(zaniSAD16x8_8u32s_C1R, 16, 8, Zan8u, true);
    BLOCK_METRIC(zaniSAD8x16_8u32s_C1R, 8, 16, Zan8u, false);
    BLOCK_METRIC(zaniSAD8x4_8u32s_C1R, 8, 4, Zan8u, false);
    BLOCK_METRIC(zaniSAD4x8_8u32s_C1R, 4, 8, Zan8u, false);
    BLOCK_METRIC(zaniSAD4x4_8u32s, 4, 4, Zan8u, false);
    BLOCK_METRIC(zaniSAD16x16_16u32s_C1R, 16, 16, Zan16u, true);
    BLOCK_METRIC(zaniSAD8x8_16u32s_C1R, 8, 8, Zan16u, true);
    BLOCK_METRIC(zaniSAD4x4_16u32s_C1R, 4, 4, Zan16u, true);
}

TEST(MetricsKernels, SatdAndSsd) {
    ZT_REQUIRE_AVX2();
    BLOCK_METRIC(zaniSATD16x16_8u32s_C1R, 16, 16, Zan8u, false);
    BLOCK_METRIC(zaniSATD16x8_8u32s_C1R, 16, 8, Zan8u, false);
    BLOCK_METRIC(zaniSATD8x16_8u32s_C1R, 8, 16, Zan8u, false);
    BLOCK_METRIC(zaniSATD8x8_8u32s_C1R, 8, 8, Zan8u, false);
    BLOCK_METRIC(zaniSATD8x4_8u32s_C1R, 8, 4, Zan8u, false);
    BLOCK_METRIC(zaniSATD4x8_8u32s_C1R, 4, 8, Zan8u, false);
    BLOCK_METRIC(zaniSATD4x4_8u32s_C1R, 4, 4, Zan8u, false);
    BLOCK_METRIC(zaniSAT8x8D_8u32s_C1R, 8, 8, Zan8u, false);
    BLOCK_METRIC(zaniSAT8x8D_16u32s_C1R, 8, 8, Zan16u, false);
    BLOCK_METRIC(zaniSSD8x8_8u32s_C1R, 8, 8, Zan8u, true);
    BLOCK_METRIC(zaniSSD4x4_8u32s_C1R, 4, 4, Zan8u, true);
    // SqrDiff16x16 takes mcType before the output.
    const auto swap = [](auto fn) {
        return [fn](const Zan8u* s, int32_t ss, const Zan8u* r, int32_t rs, Zan32s* o, int32_t mc) {
            return fn(s, ss, r, rs, mc, o);
        };
    };
    check_block_metric<16, 16, Zan8u>(std::function(swap(zan::c::zaniSqrDiff16x16_8u32s)),
                                      std::function(swap(zan::avx2::zaniSqrDiff16x16_8u32s)), true);
}

TEST(MetricsKernels, TwoChannelSadAndBidirectionalSqrDiff) {
    ZT_REQUIRE_AVX2();
    for_cases([](zt::Rng& rng, Bias bias) {
        Img<Zan8u> s(rng, 16, 16, bias), f(rng, 18, 17, bias), b(rng, 17, 17, bias);
        const int mc = random_mc(rng), mcB = random_mc(rng);
        Zan32s c0 = 7, c1 = 7, a0 = 7, a1 = 7;
        EXPECT_EQ(zan::c::zaniSAD8x8_8u32s_C2R(s.p(), s.step, f.p(), f.step, &c0, &c1, mc),
                  zan::avx2::zaniSAD8x8_8u32s_C2R(s.p(), s.step, f.p(), f.step, &a0, &a1, mc));
        EXPECT_EQ(c0, a0);
        EXPECT_EQ(c1, a1);
        Zan32s oc = 0, oa = 0;
        EXPECT_EQ(zan::c::zaniSqrDiff16x16B_8u32s(s.p(), s.step, f.p(), f.step, mc, b.p(), b.step, mcB, &oc),
                  zan::avx2::zaniSqrDiff16x16B_8u32s(s.p(), s.step, f.p(), f.step, mc, b.p(), b.step, mcB, &oa));
        EXPECT_EQ(oc, oa);
    });
}

// ---- multi-candidate SADs: any count, the reference row exactly as wide as
// the candidates need (a guarded buffer catches reads past it) ----
template <int W, int H>
void check_xn(decltype(&zan::c::zaniSAD4x4xN_8u16u_C1R) c, decltype(&zan::c::zaniSAD4x4xN_8u16u_C1R) a,
              decltype(&zan::c::zaniSAD4x4xNI_8u16u_C1R) ci, decltype(&zan::c::zaniSAD4x4xNI_8u16u_C1R) ai) {
    for_cases([&](zt::Rng& rng, Bias bias) {
        const int N = rng.range(-3, 70);
        const int n = std::max(N & ~7, 0);
        Img<Zan8u> s(rng, W, H, bias);
        Img<Zan8u> ref(rng, n + W - 1, H, bias);
        Zan8u* r = ref.p();
        const int refStep = ref.step;
        std::array<Zan16u, 80> oc{}, oa{};
        EXPECT_EQ(c(s.p(), s.step, r, refStep, oc.data(), N), a(s.p(), s.step, r, refStep, oa.data(), N));
        EXPECT_TRUE(zt::same_array(oc.data(), oa.data(), oc.size()));
        if (ci) {
            Zan32s ic = -1, ia = -1;
            EXPECT_EQ(ci(s.p(), s.step, r, refStep, oc.data(), N, &ic),
                      ai(s.p(), s.step, r, refStep, oa.data(), N, &ia));
            EXPECT_EQ(ic, ia);
        }
    });
}

TEST(MetricsKernels, MultiCandidateSad) {
    ZT_REQUIRE_AVX2();
    check_xn<16, 16>(zan::c::zaniSAD16x16xN_8u16u_C1R, zan::avx2::zaniSAD16x16xN_8u16u_C1R,
                     zan::c::zaniSAD16x16xNI_8u16u_C1R, zan::avx2::zaniSAD16x16xNI_8u16u_C1R);
    check_xn<8, 8>(zan::c::zaniSAD8x8xN_8u16u_C1R, zan::avx2::zaniSAD8x8xN_8u16u_C1R,
                   zan::c::zaniSAD8x8xNI_8u16u_C1R, zan::avx2::zaniSAD8x8xNI_8u16u_C1R);
    check_xn<4, 4>(zan::c::zaniSAD4x4xN_8u16u_C1R, zan::avx2::zaniSAD4x4xN_8u16u_C1R,
                   zan::c::zaniSAD4x4xNI_8u16u_C1R, zan::avx2::zaniSAD4x4xNI_8u16u_C1R);
    check_xn<2, 2>(zan::c::zaniSAD2x2xN_8u16u_C1R, zan::avx2::zaniSAD2x2xN_8u16u_C1R, nullptr, nullptr);
}

// ---- fixed-length array outputs: (src, step, ref, step, out) ----
template <class T, class Out, size_t N, class Fn>
void check_array_out(Fn c, Fn a, int w, int h) {
    for_cases([&](zt::Rng& rng, Bias bias) {
        Img<T> s(rng, w, h, bias, high<T>(rng)), r(rng, w, h, bias, high<T>(rng));
        std::array<Out, N> oc{}, oa{};
        EXPECT_EQ(c(s.p(), s.step, r.p(), r.step, oc.data()), a(s.p(), s.step, r.p(), r.step, oa.data()));
        EXPECT_TRUE(zt::same_array(oc.data(), oa.data(), N));
    });
}

TEST(MetricsKernels, PartialSads) {
    ZT_REQUIRE_AVX2();
    check_array_out<Zan8u, Zan16u, 4>(zan::c::zaniSAD16x16Blocks8x8_8u16u, zan::avx2::zaniSAD16x16Blocks8x8_8u16u,
                                      16, 16);
    check_array_out<Zan8u, Zan16u, 16>(zan::c::zaniSAD16x16Blocks4x4_8u16u,
                                       zan::avx2::zaniSAD16x16Blocks4x4_8u16u, 16, 16);
    check_array_out<Zan16u, Zan32u, 4>(zan::c::zaniSAD16x16Blocks8x8_16u32u_C1R,
                                       zan::avx2::zaniSAD16x16Blocks8x8_16u32u_C1R, 16, 16);
    check_array_out<Zan16u, Zan32u, 16>(zan::c::zaniSAD16x16Blocks4x4_16u32u_C1R,
                                        zan::avx2::zaniSAD16x16Blocks4x4_16u32u_C1R, 16, 16);
}

// ---- variance and mean ----
TEST(MetricsKernels, VarianceAndMean) {
    ZT_REQUIRE_AVX2();
    for_cases([](zt::Rng& rng, Bias bias) {
        Img<Zan8u> s(rng, 16, 16, bias), r(rng, 17, 17, bias);
        Img<Zan16s> w(rng, 8, 8, bias, 32767, -32768);
        Zan32s vc = 1, sc = 1, va = 2, sa = 2;
        EXPECT_EQ(zan::c::zaniVarSum8x8_8u32s_C1R(s.p(), s.step, &vc, &sc),
                  zan::avx2::zaniVarSum8x8_8u32s_C1R(s.p(), s.step, &va, &sa));
        EXPECT_EQ(vc, va);
        EXPECT_EQ(sc, sa);
        EXPECT_EQ(zan::c::zaniVarMean8x8_16s32s_C1R(w.p(), w.step, &vc, &sc),
                  zan::avx2::zaniVarMean8x8_16s32s_C1R(w.p(), w.step, &va, &sa));
        EXPECT_EQ(vc, va);
        EXPECT_EQ(sc, sa);
        EXPECT_EQ(zan::c::zaniVariance16x16_8u32s(s.p(), s.step, &vc), zan::avx2::zaniVariance16x16_8u32s(s.p(), s.step, &va));
        EXPECT_EQ(vc, va);

        const int mc = rng.coin() ? 4 * rng.range(0, 3) : random_mc(rng);
        Zan32s sums[4];
        for (auto& v : sums) v = rng.coin() ? rng.range(0, 64 * 255) : int32_t(rng.u32());
        std::array<Zan32s, 4> vC{}, mC{}, vA{}, mA{};
        EXPECT_EQ(zan::c::zaniVarMeanDiff16x16_8u32s_C1R(s.p(), s.step, r.p(), r.step, sums, vC.data(), mC.data(), mc),
                  zan::avx2::zaniVarMeanDiff16x16_8u32s_C1R(s.p(), s.step, r.p(), r.step, sums, vA.data(), mA.data(), mc));
        EXPECT_EQ(vC, vA);
        EXPECT_EQ(mC, mA);
        EXPECT_EQ(zan::c::zaniVarMeanDiff16x8_8u32s_C1R(s.p(), s.step, r.p(), r.step, sums, vC.data(), mC.data(), mc),
                  zan::avx2::zaniVarMeanDiff16x8_8u32s_C1R(s.p(), s.step, r.p(), r.step, sums, vA.data(), mA.data(), mc));
        EXPECT_EQ(vC, vA);
        EXPECT_EQ(mC, mA);
    });
}

// ---- residual extraction: difference (and predictor) planes ----
// A 16-bit output plane with a random step, compared with its guards.
struct Out16 {
    Out16(zt::Rng& rng, int w, int h)
        : step(2 * (w + rng.range(0, 8))), plane(step, h, step, 2 * size_t(rng.range(0, 15))) {}
    Zan16s* p() { return reinterpret_cast<Zan16s*>(plane.ptr()); }
    int step;
    zt::Plane plane;
};

::testing::AssertionResult same_plane(Out16& a, Out16& b, int w, int h) {
    if (!a.plane.buf.guards_intact() || !b.plane.buf.guards_intact())
        return ::testing::AssertionFailure() << "write outside the block";
    return zt::same_region(a.p(), a.step, b.p(), b.step, w, h);
}

template <int W, int H, class Fn>
void check_get_diff(Fn c, Fn a) {
    for_cases([&](zt::Rng& rng, Bias bias) {
        Img<Zan8u> cur(rng, W, H, bias), ref(rng, W + 1, H + 1, bias);
        Out16 dc(rng, W, H), da(rng, W, H), pc(rng, W, H), pa(rng, W, H);
        const bool pred = rng.coin();
        const int mc = random_mc(rng), rnd = rng.range(0, 3) == 0 ? rng.range(-2, 3) : rng.range(0, 1);
        EXPECT_EQ(c(cur.p(), cur.step, ref.p(), ref.step, dc.p(), dc.step, pred ? pc.p() : nullptr, pc.step, mc, rnd),
                  a(cur.p(), cur.step, ref.p(), ref.step, da.p(), da.step, pred ? pa.p() : nullptr, pa.step, mc, rnd));
        EXPECT_TRUE(same_plane(dc, da, W, H));
        EXPECT_TRUE(same_plane(pc, pa, W, H));
    });
}

template <int W, int H, class Fn>
void check_get_diff_b(Fn c, Fn a) {
    for_cases([&](zt::Rng& rng, Bias bias) {
        Img<Zan8u> cur(rng, W, H, bias), f(rng, W + 1, H + 1, bias), b(rng, W + 1, H + 1, bias);
        Out16 dc(rng, W, H), da(rng, W, H);
        const int mf = random_mc(rng), mb = random_mc(rng), rnd = rng.range(0, 1);
        EXPECT_EQ(c(cur.p(), cur.step, f.p(), f.step, mf, b.p(), b.step, mb, dc.p(), dc.step, rnd),
                  a(cur.p(), cur.step, f.p(), f.step, mf, b.p(), b.step, mb, da.p(), da.step, rnd));
        EXPECT_TRUE(same_plane(dc, da, W, H));
    });
}

TEST(MetricsKernels, GetDiff) {
    ZT_REQUIRE_AVX2();
    check_get_diff<16, 16>(zan::c::zaniGetDiff16x16_8u16s_C1, zan::avx2::zaniGetDiff16x16_8u16s_C1);
    check_get_diff<16, 8>(zan::c::zaniGetDiff16x8_8u16s_C1, zan::avx2::zaniGetDiff16x8_8u16s_C1);
    check_get_diff<8, 16>(zan::c::zaniGetDiff8x16_8u16s_C1, zan::avx2::zaniGetDiff8x16_8u16s_C1);
    check_get_diff<8, 8>(zan::c::zaniGetDiff8x8_8u16s_C1, zan::avx2::zaniGetDiff8x8_8u16s_C1);
    check_get_diff<8, 4>(zan::c::zaniGetDiff8x4_8u16s_C1, zan::avx2::zaniGetDiff8x4_8u16s_C1);
    check_get_diff_b<16, 16>(zan::c::zaniGetDiff16x16B_8u16s_C1, zan::avx2::zaniGetDiff16x16B_8u16s_C1);
    check_get_diff_b<16, 8>(zan::c::zaniGetDiff16x8B_8u16s_C1, zan::avx2::zaniGetDiff16x8B_8u16s_C1);
    check_get_diff_b<8, 16>(zan::c::zaniGetDiff8x16B_8u16s_C1, zan::avx2::zaniGetDiff8x16B_8u16s_C1);
    check_get_diff_b<8, 8>(zan::c::zaniGetDiff8x8B_8u16s_C1, zan::avx2::zaniGetDiff8x8B_8u16s_C1);
    check_get_diff_b<8, 4>(zan::c::zaniGetDiff8x4B_8u16s_C1, zan::avx2::zaniGetDiff8x4B_8u16s_C1);
}

template <int H>
void check_get_diff_c2(bool bidir) {
    for_cases([&](zt::Rng& rng, Bias bias) {
        Img<Zan8u> cur(rng, 16, H, bias), f(rng, 18, H + 1, bias), b(rng, 18, H + 1, bias);
        Out16 uc(rng, 8, H), ua(rng, 8, H), vc(rng, 8, H), va(rng, 8, H);
        const int mf = random_mc(rng), mb = random_mc(rng), rnd = rng.range(0, 1);
        ZanResult rc, ra;
        if (bidir) {
            const auto fc = H == 8 ? zan::c::zaniGetDiff8x8B_8u16s_C2P2 : zan::c::zaniGetDiff8x4B_8u16s_C2P2;
            const auto fa = H == 8 ? zan::avx2::zaniGetDiff8x8B_8u16s_C2P2 : zan::avx2::zaniGetDiff8x4B_8u16s_C2P2;
            rc = fc(cur.p(), cur.step, f.p(), f.step, mf, b.p(), b.step, mb, uc.p(), uc.step, vc.p(), vc.step, rnd);
            ra = fa(cur.p(), cur.step, f.p(), f.step, mf, b.p(), b.step, mb, ua.p(), ua.step, va.p(), va.step, rnd);
        } else {
            const auto fc = H == 8 ? zan::c::zaniGetDiff8x8_8u16s_C2P2 : zan::c::zaniGetDiff8x4_8u16s_C2P2;
            const auto fa = H == 8 ? zan::avx2::zaniGetDiff8x8_8u16s_C2P2 : zan::avx2::zaniGetDiff8x4_8u16s_C2P2;
            rc = fc(cur.p(), cur.step, f.p(), f.step, uc.p(), uc.step, vc.p(), vc.step, mf, rnd);
            ra = fa(cur.p(), cur.step, f.p(), f.step, ua.p(), ua.step, va.p(), va.step, mf, rnd);
        }
        EXPECT_EQ(rc, ra);
        EXPECT_TRUE(same_plane(uc, ua, 8, H));
        EXPECT_TRUE(same_plane(vc, va, 8, H));
    });
}

TEST(MetricsKernels, GetDiffTwoChannels) {
    ZT_REQUIRE_AVX2();
    check_get_diff_c2<8>(false);
    check_get_diff_c2<4>(false);
    check_get_diff_c2<8>(true);
    check_get_diff_c2<4>(true);
}

template <int W, class T, class Fn>
void check_sub(Fn c, Fn a) {
    for_cases([&](zt::Rng& rng, Bias bias) {
        Img<T> x(rng, W, W, bias), y(rng, W, W, bias);
        Out16 dc(rng, W, W), da(rng, W, W);
        EXPECT_EQ(c(x.p(), x.step, y.p(), y.step, dc.p(), dc.step), a(x.p(), x.step, y.p(), y.step, da.p(), da.step));
        EXPECT_TRUE(same_plane(dc, da, W, W));
    });
}

TEST(MetricsKernels, SubAndSubSad) {
    ZT_REQUIRE_AVX2();
    check_sub<16, Zan8u>(zan::c::zaniSub16x16_8u16s_C1R, zan::avx2::zaniSub16x16_8u16s_C1R);
    check_sub<8, Zan8u>(zan::c::zaniSub8x8_8u16s_C1R, zan::avx2::zaniSub8x8_8u16s_C1R);
    check_sub<4, Zan8u>(zan::c::zaniSub4x4_8u16s_C1R, zan::avx2::zaniSub4x4_8u16s_C1R);
    check_sub<8, Zan16u>(zan::c::zaniSub8x8_16u16s_C1R, zan::avx2::zaniSub8x8_16u16s_C1R);
    check_sub<4, Zan16u>(zan::c::zaniSub4x4_16u16s_C1R, zan::avx2::zaniSub4x4_16u16s_C1R);
    for_cases([](zt::Rng& rng, Bias bias) {
        Img<Zan8u> x(rng, 8, 8, bias), y(rng, 8, 8, bias);
        Out16 dc(rng, 8, 8), da(rng, 8, 8);
        Zan32s sc = 0, sa = 1;
        EXPECT_EQ(zan::c::zaniSubSAD8x8_8u16s_C1R(x.p(), x.step, y.p(), y.step, dc.p(), dc.step, &sc),
                  zan::avx2::zaniSubSAD8x8_8u16s_C1R(x.p(), x.step, y.p(), y.step, da.p(), da.step, &sa));
        EXPECT_EQ(sc, sa);
        EXPECT_TRUE(same_plane(dc, da, 8, 8));
    });
}

template <int W, class T, class S, class Fn>
void check_sums_diff(Fn c, Fn a) {
    for_cases([&](zt::Rng& rng, Bias bias) {
        Img<T> x(rng, W, W, bias), y(rng, W, W, bias);
        std::array<S, W * W / 16> sc{}, sa{};
        std::array<S, W * W + 1> dc{}, da{};
        const bool diff = rng.coin();
        EXPECT_EQ(c(x.p(), x.step, y.p(), y.step, sc.data(), diff ? dc.data() : nullptr),
                  a(x.p(), x.step, y.p(), y.step, sa.data(), diff ? da.data() : nullptr));
        EXPECT_EQ(sc, sa);
        EXPECT_EQ(dc, da);
    });
}

TEST(MetricsKernels, SumsOfDifferences) {
    ZT_REQUIRE_AVX2();
    check_sums_diff<16, Zan8u, Zan16s>(zan::c::zaniSumsDiff16x16Blocks4x4_8u16s_C1,
                                       zan::avx2::zaniSumsDiff16x16Blocks4x4_8u16s_C1);
    check_sums_diff<8, Zan8u, Zan16s>(zan::c::zaniSumsDiff8x8Blocks4x4_8u16s_C1,
                                      zan::avx2::zaniSumsDiff8x8Blocks4x4_8u16s_C1);
    check_sums_diff<16, Zan16u, Zan32s>(zan::c::zaniSumsDiff16x16Blocks4x4_16u32s_C1R,
                                        zan::avx2::zaniSumsDiff16x16Blocks4x4_16u32s_C1R);
    check_sums_diff<8, Zan16u, Zan32s>(zan::c::zaniSumsDiff8x8Blocks4x4_16u32s_C1R,
                                       zan::avx2::zaniSumsDiff8x8Blocks4x4_16u32s_C1R);
    for_cases([](zt::Rng& rng, Bias bias) {
        Img<Zan8u> x(rng, 16, 8, bias), p0(rng, 8, 8, bias), p1(rng, 8, 8, bias);
        std::array<Zan16s, 4> s0c{}, s1c{}, s0a{}, s1a{};
        std::array<Zan16s, 64> d0c{}, d1c{}, d0a{}, d1a{};
        const bool diff = rng.coin();
        EXPECT_EQ(zan::c::zaniSumsDiff8x8Blocks4x4_8u16s_C2P2(x.p(), x.step, p0.p(), p0.step, p1.p(), p1.step,
                                                              s0c.data(), d0c.data(), s1c.data(),
                                                              diff ? d1c.data() : nullptr),
                  zan::avx2::zaniSumsDiff8x8Blocks4x4_8u16s_C2P2(x.p(), x.step, p0.p(), p0.step, p1.p(), p1.step,
                                                                 s0a.data(), d0a.data(), s1a.data(),
                                                                 diff ? d1a.data() : nullptr));
        EXPECT_EQ(s0c, s0a);
        EXPECT_EQ(s1c, s1a);
        EXPECT_EQ(d0c, d0a);
        EXPECT_EQ(d1c, d1a);
    });
}

}  // namespace
