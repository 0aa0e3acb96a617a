// H.264 weighted prediction and averaging: every export against an exact
// 64-bit rendering of the H.264 formulas on random blocks of every size, the
// AVX2 kernels against the portable ones, worked examples of the arithmetic,
// and the argument checks in order with nothing written on failure.
#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <vector>

#include "support/checkasm.h"

namespace {

// Exact formulas (64-bit, no wrap-around): H.264 8-270 and 8-272.
int64_t ref_unidir(int64_t x, int64_t w, int64_t o, uint32_t logWD) {
    return logWD >= 1 ? ((x * w + (int64_t(1) << (logWD - 1))) >> logWD) + o : x * w + o;
}
int64_t ref_bidir(int64_t x0, int64_t x1, int64_t w0, int64_t w1, int64_t o0, int64_t o1, uint32_t logWD) {
    return ((x0 * w0 + x1 * w1 + (int64_t(1) << logWD)) >> (logWD + 1)) + ((o0 + o1 + 1) >> 1);
}

// ---------------------------------------------------------------------------
// Random parameters: per channel (Cb, Cr) weights and offsets
// ---------------------------------------------------------------------------
struct Draw {
    int32_t w0[2], w1[2], o0[2], o1[2];
    uint32_t ulog2wd;
    int32_t bitDepth = 8;
    bool exact = true;  // false: 32-bit wrap-around, compared between kernels only
};
enum class Kind { Plain, NV12, HighDepth };

// Plain: mostly the ranges H.264 allows; every eighth draw at the 16-bit
// edges of the AVX2 fast path, every eighth beyond them (portable fallback)
// with logWD up to maxLogWD. NV12: 8-bit weights, random high ulog2wd bits.
// HighDepth: bit depths 9..14 (some 16), offsets scaled to the depth; every
// eighth draw takes any 32-bit weights, offsets and ulog2wd (wrap-around).
Draw draw(zt::Rng& rng, int i, Kind kind, int maxLogWD) {
    Draw d{};
    const int edge = kind == Kind::Plain ? i % 8 : 0;
    if (kind == Kind::HighDepth) d.bitDepth = i % 11 ? rng.range(9, 14) : 16;
    const int scale = 1 << (std::min(d.bitDepth, 14) - 8);
    for (int c = 0; c < 2; ++c) {
        const auto weight = [&] {
            if (edge == 6) return rng.coin() ? 32767 : -32768;
            if (edge == 7) return (rng.coin() ? 1 : -1) * rng.range(32768, 100000);
            return rng.range(-128, 127);
        };
        const int orange = edge == 7 ? 1000000 : 128;
        d.w0[c] = weight(), d.w1[c] = weight();
        d.o0[c] = rng.range(-orange, orange - 1) * scale, d.o1[c] = rng.range(-orange, orange - 1) * scale;
    }
    d.ulog2wd = kind == Kind::NV12 ? rng.u32() : uint32_t(rng.range(0, edge >= 6 ? maxLogWD : 7));
    if (kind == Kind::HighDepth && i % 8 == 7) {
        for (int32_t* v : {&d.w0[0], &d.w1[0], &d.o0[0], &d.o1[0]}) *v = int32_t(rng.u32());
        d.ulog2wd = rng.u32();
        d.exact = false;
    }
    return d;
}

// ---------------------------------------------------------------------------
// One export over every block size
// ---------------------------------------------------------------------------
enum class Sources { InPlace, Two, AverageInPlace };  // where x0 and x1 come from
enum class Steps { Separate, SharedSource, AllSame };

// Source 1, source 2 and destination planes with guards, random steps,
// misalignment and contents.
template <class T>
struct Planes {
    Planes(zt::Rng& rng, int w, int h, int C, Steps steps, int maxSample) : w(w), h(h) {
        s1 = C * w + rng.range(0, 3) * rng.range(0, 9);
        s2 = steps == Steps::Separate ? C * w + rng.range(0, 20) : s1;
        sd = steps == Steps::AllSame ? s1 : C * w + rng.range(0, 20);
        for (int step : {s1, s2, sd}) {
            bufs.emplace_back(size_t(step) * h * sizeof(T), size_t(rng.range(0, 63)) & ~(sizeof(T) - 1));
            zt::fill(rng, bufs.back().template as<T>(), size_t(step) * h, 0, maxSample,
                     zt::kAllBiases[size_t(rng.range(0, 4))]);
        }
    }
    T* p(int i) { return bufs[size_t(i)].template as<T>(); }
    int w, h, s1, s2, sd;
    std::vector<zt::GuardedBuffer> bufs;
};

// The portable result must match the exact formula `ref` inside the block
// and leave the rest of the destination as it was; the AVX2 kernel (when
// there is one) must give the same bytes.
template <class T>
struct ExportCheck {
    std::function<ZanResult(bool avx2, Planes<T>&, const Draw&)> call;
    std::function<int64_t(int64_t x0, int64_t x1, int ch, const Draw&)> ref;
    int C = 1;
    Sources sources = Sources::Two;
    Steps steps = Steps::Separate;
    Kind kind = Kind::Plain;
    bool hasAvx2 = true;
    int maxLogWD = 31;
    int fixedDepth = 0;  // overrides the drawn bit depth of the saturation

    void run() const {
        zt::Rng rng;
        int n = 0;
        for (int w : {2, 4, 8, 16})
            for (int h : {2, 4, 8, 16})
                for (int i = 0; i < 24; ++i, ++n) {
                    Draw d = draw(rng, n, kind, maxLogWD);
                    if (fixedDepth) d.bitDepth = fixedDepth;
                    const int64_t maxval = d.bitDepth >= 16 ? 65535 : (1 << d.bitDepth) - 1;
                    Planes<T> s(rng, w, h, C, steps, rng.range(0, 5) ? int(maxval) : (1 << (8 * sizeof(T))) - 1);
                    ASSERT_NO_FATAL_FAILURE(one(s, d, maxval)) << w << "x" << h << " case " << i;
                }
    }

    void one(Planes<T>& s, const Draw& d, int64_t maxval) const {
        const std::vector<T> dst0(s.p(2), s.p(2) + size_t(s.sd) * s.h);
        ASSERT_EQ(call(false, s, d), ZAN_OK);
        for (int y = 0; y < s.h; ++y)
            for (int x = 0; x < s.sd; ++x) {
                const size_t at = size_t(s.sd) * y + x;
                if (x >= C * s.w) {
                    ASSERT_EQ(s.p(2)[at], dst0[at]) << "written past the row end at (" << x << ", " << y << ")";
                    continue;
                }
                const int64_t a = s.p(0)[size_t(s.s1) * y + x], b = s.p(1)[size_t(s.s2) * y + x];
                const int64_t x0 = sources == Sources::InPlace ? dst0[at] : a;
                const int64_t x1 = sources == Sources::Two ? b : sources == Sources::AverageInPlace ? dst0[at] : 0;
                if (!d.exact) continue;
                ASSERT_EQ(s.p(2)[at], std::clamp<int64_t>(ref(x0, x1, x % C, d), 0, maxval))
                    << "at (" << x << ", " << y << ") x0 " << x0 << " x1 " << x1;
            }
        for (auto& b : s.bufs) ASSERT_TRUE(b.guards_intact());
        if (!hasAvx2 || !zt::have_avx2()) return;
        const std::vector<T> portable(s.p(2), s.p(2) + dst0.size());
        std::copy(dst0.begin(), dst0.end(), s.p(2));
        ASSERT_EQ(call(true, s, d), ZAN_OK);
        ASSERT_TRUE(zt::same_array(s.p(2), portable.data(), portable.size())) << "AVX2 differs from portable";
        for (auto& b : s.bufs) ASSERT_TRUE(b.guards_intact());
    }
};

template <class F>
F pick(bool avx2, F c, F a) { return avx2 ? a : c; }

// The public entry and every kernel this machine can run.
template <class F>
std::vector<F> variants(F entry, F c, F a) {
    return zt::have_avx2() ? std::vector<F>{entry, c, a} : std::vector<F>{entry, c};
}

TEST(WeightFormula, OneDirectionC1RAndC1IR) {
    using Fn = decltype(&zaniUniDirWeightBlock_H264_8u_C1R);
    for (auto [c, a] : {std::pair<Fn, Fn>{zan::c::zaniUniDirWeightBlock_H264_8u_C1R,
                                          zan::avx2::zaniUniDirWeightBlock_H264_8u_C1R},
                        std::pair<Fn, Fn>{zan::c::zaniUniDirWeightBlock_H264_8u_C1IR,
                                          zan::avx2::zaniUniDirWeightBlock_H264_8u_C1IR}}) {
        ExportCheck<uint8_t> e;
        e.sources = Sources::InPlace;
        e.call = [c, a](bool v, Planes<uint8_t>& s, const Draw& d) {
            return pick(v, c, a)(s.p(2), Zan32u(s.sd), d.ulog2wd, d.w0[0], d.o0[0], {s.w, s.h});
        };
        e.ref = [](int64_t x, int64_t, int, const Draw& d) { return ref_unidir(x, d.w0[0], d.o0[0], d.ulog2wd); };
        e.run();
    }
}

TEST(WeightFormula, TwoDirectionsExplicitImplicitAndAverage) {
    ExportCheck<uint8_t> e;
    e.maxLogWD = 30;  // logWD 31 wraps the rounding term (see WeightArithmetic)
    e.ref = [](int64_t x0, int64_t x1, int, const Draw& d) {
        return ref_bidir(x0, x1, d.w0[0], d.w1[0], d.o0[0], d.o1[0], d.ulog2wd);
    };
    e.call = [](bool v, Planes<uint8_t>& s, const Draw& d) {
        return pick(v, zan::c::zaniBiDirWeightBlock_H264_8u_P3P1R, zan::avx2::zaniBiDirWeightBlock_H264_8u_P3P1R)(
            s.p(0), s.p(1), s.p(2), s.s1, s.s2, s.sd, d.ulog2wd, d.w0[0], d.o0[0], d.w1[0], d.o1[0], {s.w, s.h});
    };
    e.run();
    e.steps = Steps::SharedSource;
    e.call = [](bool v, Planes<uint8_t>& s, const Draw& d) {
        return pick(v, zan::c::zaniBiDirWeightBlock_H264_8u_P2P1R, zan::avx2::zaniBiDirWeightBlock_H264_8u_P2P1R)(
            s.p(0), s.p(1), s.p(2), s.s1, s.sd, d.ulog2wd, d.w0[0], d.o0[0], d.w1[0], d.o1[0], {s.w, s.h});
    };
    e.run();

    e.ref = [](int64_t x0, int64_t x1, int, const Draw& d) { return (x0 * d.w0[0] + x1 * d.w1[0] + 32) >> 6; };
    e.call = [](bool v, Planes<uint8_t>& s, const Draw& d) {
        return pick(v, zan::c::zaniBiDirWeightBlockImplicit_H264_8u_P2P1R,
                    zan::avx2::zaniBiDirWeightBlockImplicit_H264_8u_P2P1R)(s.p(0), s.p(1), s.p(2), s.s1, s.sd,
                                                                           d.w0[0], d.w1[0], {s.w, s.h});
    };
    e.run();
    e.steps = Steps::Separate;
    e.call = [](bool v, Planes<uint8_t>& s, const Draw& d) {
        return pick(v, zan::c::zaniBiDirWeightBlockImplicit_H264_8u_P3P1R,
                    zan::avx2::zaniBiDirWeightBlockImplicit_H264_8u_P3P1R)(s.p(0), s.p(1), s.p(2), s.s1, s.s2, s.sd,
                                                                           d.w0[0], d.w1[0], {s.w, s.h});
    };
    e.run();

    e.sources = Sources::AverageInPlace;
    e.steps = Steps::AllSame;
    e.maxLogWD = 31;
    e.call = [](bool v, Planes<uint8_t>& s, const Draw& d) {
        return pick(v, zan::c::zaniWeightedAverage_H264_8u_C1IR, zan::avx2::zaniWeightedAverage_H264_8u_C1IR)(
            s.p(0), s.p(2), s.s1, d.w0[0], d.w1[0], d.ulog2wd, d.o0[0], {s.w, s.h});
    };
    e.ref = [](int64_t x1, int64_t x2, int, const Draw& d) {
        const uint32_t s = d.ulog2wd;
        return ((x1 * d.w0[0] + x2 * d.w1[0] + (s ? int64_t(1) << (s - 1) : 0)) >> s) + d.o0[0];
    };
    e.run();
}

// List 1's ulog2wd is the complement of list 0's: it must be ignored.
ZanWeightParams nv12_set(const Draw& d, bool list1) {
    const int32_t* w = list1 ? d.w1 : d.w0;
    const int32_t* o = list1 ? d.o1 : d.o0;
    return {list1 ? ~d.ulog2wd : d.ulog2wd, {Zan8s(w[0]), Zan8s(w[1])}, {Zan8s(o[0]), Zan8s(o[1])}};
}

TEST(WeightFormula, NV12OneAndTwoDirections) {
    ExportCheck<uint8_t> e;
    e.C = 2;
    e.kind = Kind::NV12;
    e.sources = Sources::InPlace;
    e.call = [](bool v, Planes<uint8_t>& s, const Draw& d) {
        const ZanBidirBlock_8u b{nullptr, 0, nullptr, 0, s.p(2), s.sd, {s.w, s.h}};
        const ZanWeightParams p = nv12_set(d, false);
        return pick(v, zan::c::zaniUniDirWeightBlock_H264_8u_C2R, zan::avx2::zaniUniDirWeightBlock_H264_8u_C2R)(&b,
                                                                                                                &p);
    };
    e.ref = [](int64_t x, int64_t, int ch, const Draw& d) {
        return ref_unidir(x, d.w0[ch], d.o0[ch], d.ulog2wd & 15);
    };
    e.run();

    e.sources = Sources::Two;
    e.call = [](bool v, Planes<uint8_t>& s, const Draw& d) {
        const ZanBidirBlock_8u b{s.p(0), s.s1, s.p(1), s.s2, s.p(2), s.sd, {s.w, s.h}};
        const ZanWeightParams l0 = nv12_set(d, false), l1 = nv12_set(d, true);
        return pick(v, zan::c::zaniBiDirWeightBlock_H264_8u_C2R, zan::avx2::zaniBiDirWeightBlock_H264_8u_C2R)(
            &b, &l0, &l1);
    };
    e.ref = [](int64_t x0, int64_t x1, int ch, const Draw& d) {
        return ref_bidir(x0, x1, d.w0[ch], d.w1[ch], d.o0[ch], d.o1[ch], d.ulog2wd & 15);
    };
    e.run();
}

TEST(WeightFormula, HighBitDepthForms) {
    ExportCheck<uint16_t> e;
    e.kind = Kind::HighDepth;
    e.sources = Sources::InPlace;
    e.call = [](bool v, Planes<uint16_t>& s, const Draw& d) {
        return pick(v, zan::c::zaniUnidirWeight_H264_16u_IP2P1R, zan::avx2::zaniUnidirWeight_H264_16u_IP2P1R)(
            s.p(2), s.sd, d.ulog2wd, d.w0[0], d.o0[0], {s.w, s.h}, d.bitDepth);
    };
    e.ref = [](int64_t x, int64_t, int, const Draw& d) { return ref_unidir(x, d.w0[0], d.o0[0], d.ulog2wd); };
    e.run();

    static ZanBidir_16u blk;
    const auto block = [](Planes<uint16_t>& s, const Draw& d) {
        return &(blk = {s.p(0), s.s1, s.p(1), s.s2, s.p(2), s.sd, {s.w, s.h}, d.bitDepth});
    };
    e.sources = Sources::Two;
    e.call = [block](bool v, Planes<uint16_t>& s, const Draw& d) {
        return pick(v, zan::c::zaniBidirWeight_H264_16u_P2P1R, zan::avx2::zaniBidirWeight_H264_16u_P2P1R)(
            block(s, d), d.ulog2wd, d.w0[0], d.o0[0], d.w1[0], d.o1[0]);
    };
    e.ref = [](int64_t x0, int64_t x1, int, const Draw& d) {
        return ref_bidir(x0, x1, d.w0[0], d.w1[0], d.o0[0], d.o1[0], d.ulog2wd);
    };
    e.run();
    e.call = [block](bool v, Planes<uint16_t>& s, const Draw& d) {
        return pick(v, zan::c::zaniBidirWeightImplicit_H264_16u_P2P1R,
                    zan::avx2::zaniBidirWeightImplicit_H264_16u_P2P1R)(block(s, d), d.w0[0], d.w1[0]);
    };
    e.ref = [](int64_t x0, int64_t x1, int, const Draw& d) { return (x0 * d.w0[0] + x1 * d.w1[0] + 32) >> 6; };
    e.run();
    // The plain average (portable only) ignores bitDepth: a block that claims
    // 9 bits keeps 16.
    e.hasAvx2 = false;
    e.fixedDepth = 16;
    e.call = [block](bool, Planes<uint16_t>& s, Draw d) {
        d.bitDepth = 9;
        return zan::c::zaniBidir_H264_16u_P2P1R(block(s, d));
    };
    e.ref = [](int64_t x0, int64_t x1, int, const Draw& d) { return (x0 + x1 + 1) >> 1; };
    e.run();
}

TEST(WeightFormula, PlainAverageAcceptsEveryWidthAndHeightFrom2To16) {
    zt::Rng rng;
    for (int w = 2; w <= 16; ++w)
        for (int h = 2; h <= 16; h += 3) {
            Planes<uint16_t> s(rng, w, h, 1, Steps::Separate, 65535);
            const ZanBidir_16u b{s.p(0), s.s1, s.p(1), s.s2, s.p(2), s.sd, {w, h}, 10};
            ASSERT_EQ(zaniBidir_H264_16u_P2P1R(&b), ZAN_OK);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(s.p(2)[y * s.sd + x], (s.p(0)[y * s.s1 + x] + s.p(1)[y * s.s2 + x] + 1) >> 1);
        }
}

// ---------------------------------------------------------------------------
// Worked examples on flat 4x4 blocks, through the public entries and both
// kernels
// ---------------------------------------------------------------------------
int uni(decltype(&zaniUniDirWeightBlock_H264_8u_C1R) fn, int x, Zan32u logWD, int w, int o) {
    uint8_t blk[16];
    std::memset(blk, x, sizeof blk);
    EXPECT_EQ(fn(blk, 4, logWD, w, o, {4, 4}), ZAN_OK);
    return blk[15];
}

int bi(decltype(&zaniBiDirWeightBlock_H264_8u_P2P1R) fn, int x0, int x1, Zan32u logWD, int w0, int o0, int w1,
       int o1) {
    uint8_t a[16], b[16], d[16];
    std::memset(a, x0, 16);
    std::memset(b, x1, 16);
    EXPECT_EQ(fn(a, b, d, 4, 4, logWD, w0, o0, w1, o1, {4, 4}), ZAN_OK);
    return d[15];
}

TEST(WeightArithmetic, OneDirectionRoundingAndSaturation) {
    for (auto f : variants(zaniUniDirWeightBlock_H264_8u_C1R, zan::c::zaniUniDirWeightBlock_H264_8u_C1R,
                           zan::avx2::zaniUniDirWeightBlock_H264_8u_C1R)) {
        EXPECT_EQ(uni(f, 7, 0, 5, 1), 36);          // logWD 0: 7 * 5 + 1, no rounding term
        EXPECT_EQ(uni(f, 7, 1, 5, 1), 19);          // (35 + 1) >> 1 + 1
        EXPECT_EQ(uni(f, 7, 2, 5, 1), 10);          // (35 + 2) >> 2 + 1
        EXPECT_EQ(uni(f, 100, 6, 64, 0), 100);      // the default weight leaves samples alone
        EXPECT_EQ(uni(f, 200, 5, 127, 127), 255);   // saturates at the top
        EXPECT_EQ(uni(f, 200, 5, -128, 10), 0);     // and at 0
        EXPECT_EQ(uni(f, 3, 1, -1, 5), 4);          // (-3 + 1) >> 1 = -1 (arithmetic), + 5
        EXPECT_EQ(uni(f, 7, 33, 5, 1), 19);         // logWD is taken modulo 32
        EXPECT_EQ(uni(f, 2, 0, INT32_MAX, 0), 0);   // 32-bit wrap-around: 2 * (2^31 - 1) is -2
        EXPECT_EQ(uni(f, 1, 0, 40000, -39900), 100);  // a weight beyond 16 bits
    }
}

TEST(WeightArithmetic, TwoDirectionsCombinedOffset) {
    for (auto f : variants(zaniBiDirWeightBlock_H264_8u_P2P1R, zan::c::zaniBiDirWeightBlock_H264_8u_P2P1R,
                           zan::avx2::zaniBiDirWeightBlock_H264_8u_P2P1R)) {
        EXPECT_EQ(bi(f, 0, 0, 0, 1, 1, 1, 0), 1);            // (1 + 0 + 1) >> 1 = 1
        EXPECT_EQ(bi(f, 0, 0, 0, 1, -1, 1, 0), 0);           // (-1 + 0 + 1) >> 1 = 0
        EXPECT_EQ(bi(f, 100, 100, 0, 1, -2, 1, 0), 99);      // (-2 + 1) >> 1 = -1, not 0 as a division gives
        EXPECT_EQ(bi(f, 10, 21, 2, 3, 4, 5, 6), 22);         // (30 + 105 + 4) >> 3 = 17, + (4 + 6 + 1) >> 1
        EXPECT_EQ(bi(f, 255, 255, 7, 127, 0, 127, 0), 253);  // (64770 + 128) >> 8: no 16-bit saturation
        EXPECT_EQ(bi(f, 255, 0, 0, -128, 0, 0, 0), 0);
        EXPECT_EQ(bi(f, 0, 0, 31, 0, 10, 0, 10), 9);  // logWD 31: 2^31 wraps, the shift by 32 leaves -1
        EXPECT_EQ(bi(f, 0, 0, 0, 0, INT32_MAX, 0, INT32_MAX), 255);  // combined offset 2^31 - 1, no wrap
    }
}

TEST(WeightArithmetic, ImplicitAverageAndNV12) {
    uint8_t a[32], b[32], d[32];
    std::memset(a, 10, 16);
    std::memset(b, 20, 16);
    for (auto f : variants(zaniBiDirWeightBlockImplicit_H264_8u_P2P1R,
                           zan::c::zaniBiDirWeightBlockImplicit_H264_8u_P2P1R,
                           zan::avx2::zaniBiDirWeightBlockImplicit_H264_8u_P2P1R)) {
        ASSERT_EQ(f(a, b, d, 4, 4, 48, 16, {4, 4}), ZAN_OK);
        EXPECT_EQ(d[15], 13);  // (480 + 320 + 32) >> 6
    }
    for (auto f : variants(zaniWeightedAverage_H264_8u_C1IR, zan::c::zaniWeightedAverage_H264_8u_C1IR,
                           zan::avx2::zaniWeightedAverage_H264_8u_C1IR)) {
        std::memset(b, 20, 16);
        ASSERT_EQ(f(a, b, 4, 3, 5, 2, 1, {4, 4}), ZAN_OK);
        EXPECT_EQ(b[15], 34);  // (30 + 100 + 2) >> 2 + 1, over the second source
        std::memset(b, 20, 16);
        ASSERT_EQ(f(a, b, 4, 3, 5, 0, 1, {4, 4}), ZAN_OK);
        EXPECT_EQ(b[15], 131);  // shift 0: no rounding
    }
    // NV12: Cb uses index 0, Cr index 1; list 1's ulog2wd is ignored.
    std::memset(a, 255, 32);
    std::memset(b, 255, 32);
    for (auto f : variants(zaniBiDirWeightBlock_H264_8u_C2R, zan::c::zaniBiDirWeightBlock_H264_8u_C2R,
                           zan::avx2::zaniBiDirWeightBlock_H264_8u_C2R)) {
        const ZanBidirBlock_8u blk{a, 8, b, 8, d, 8, {4, 4}};
        const ZanWeightParams l0{0x17, {127, 2}, {0, 3}}, l1{9, {127, 4}, {0, -6}};  // logWD 7
        ASSERT_EQ(f(&blk, &l0, &l1), ZAN_OK);
        EXPECT_EQ(d[30], 253);  // Cb: (64770 + 128) >> 8
        EXPECT_EQ(d[31], 5);    // Cr: (510 + 1020 + 128) >> 8 = 6, + (3 - 6 + 1) >> 1 = -1
    }
    for (auto f : variants(zaniUniDirWeightBlock_H264_8u_C2R, zan::c::zaniUniDirWeightBlock_H264_8u_C2R,
                           zan::avx2::zaniUniDirWeightBlock_H264_8u_C2R)) {
        std::memset(d, 200, 16);
        const ZanBidirBlock_8u blk{nullptr, 0, nullptr, 0, d, 4, {2, 4}};
        const ZanWeightParams w{0xF2, {127, -10}, {-1, 100}};  // logWD 2
        ASSERT_EQ(f(&blk, &w), ZAN_OK);
        EXPECT_EQ(d[14], 255);  // (25400 + 2) >> 2 - 1 saturates
        EXPECT_EQ(d[15], 0);    // (-2000 + 2) >> 2 + 100 = -400
    }
}

TEST(WeightArithmetic, HighBitDepthSaturation) {
    for (auto f : variants(zaniUnidirWeight_H264_16u_IP2P1R, zan::c::zaniUnidirWeight_H264_16u_IP2P1R,
                           zan::avx2::zaniUnidirWeight_H264_16u_IP2P1R)) {
        const auto uni16 = [f](int x, Zan32u logWD, int w, int o, int depth) {
            uint16_t blk[16];
            std::fill(blk, blk + 16, uint16_t(x));
            EXPECT_EQ(f(blk, 4, logWD, w, o, {4, 4}, depth), ZAN_OK);
            return blk[15];
        };
        EXPECT_EQ(uni16(1000, 5, 64, 100, 10), 1023);  // 2000 + 100 saturates at 2^10 - 1
        EXPECT_EQ(uni16(1000, 0, 1, -1001, 10), 0);
        EXPECT_EQ(uni16(9000, 0, 8, 0, 20), 65535);  // depths above 16 saturate at the 16-bit maximum, never wrap
        EXPECT_EQ(uni16(9000, 0, 1, 0, -3), 0);
        EXPECT_EQ(uni16(65535, 0, 65537, 0, 16), 0);  // 65535 * 65537 = 2^32 - 1 wraps to -1 in 32 bits
    }
    uint16_t a[8], b[8], d[8];
    std::fill(a, a + 8, uint16_t(16383));
    std::fill(b, b + 8, uint16_t(16000));
    const ZanBidir_16u two{a, 4, b, 4, d, 4, {4, 2}, 14};
    for (auto f : variants(zaniBidirWeight_H264_16u_P2P1R, zan::c::zaniBidirWeight_H264_16u_P2P1R,
                           zan::avx2::zaniBidirWeight_H264_16u_P2P1R)) {
        ASSERT_EQ(f(&two, 0, 1, 64, 1, -64), ZAN_OK);
        EXPECT_EQ(d[7], 16192);  // (16383 + 16000 + 1) >> 1, combined offset (64 - 64 + 1) >> 1 = 0
    }
    for (auto f : variants(zaniBidirWeightImplicit_H264_16u_P2P1R, zan::c::zaniBidirWeightImplicit_H264_16u_P2P1R,
                           zan::avx2::zaniBidirWeightImplicit_H264_16u_P2P1R)) {
        ASSERT_EQ(f(&two, 64, 64), ZAN_OK);
        EXPECT_EQ(d[7], 16383);  // (32383 * 64 + 32) >> 6 saturates at 2^14 - 1
    }
}

// ---------------------------------------------------------------------------
// Argument checks in order; nothing written on failure
// ---------------------------------------------------------------------------
using Calls = std::vector<std::pair<ZanResult, std::function<ZanResult()>>>;

// Runs each (expected status, call) for both kernels and checks after each
// that neither the sources nor the destinations changed.
void expect_checks(const std::function<Calls(bool avx2, uint8_t* s, uint8_t* d, uint16_t* s16, uint16_t* d16)>& make) {
    for (bool avx2 : {false, true}) {
        if (avx2 && !zt::have_avx2()) continue;
        uint8_t s[1024], d[1024];
        uint16_t s16[512], d16[512];
        const zt::Sentinel g[] = {{s, sizeof s}, {d, sizeof d}, {s16, sizeof s16}, {d16, sizeof d16}};
        int n = 0;
        for (auto& [want, call] : make(avx2, s, d, s16, d16)) {
            EXPECT_EQ(call(), want) << (avx2 ? "avx2" : "c") << " call " << n;
            for (auto& guard : g) EXPECT_TRUE(guard.untouched()) << "written on failure, call " << n;
            ++n;
        }
    }
}

TEST(WeightChecks, OneDirection8u) {
    expect_checks([](bool v, uint8_t*, uint8_t* d, uint16_t*, uint16_t*) {
        Calls calls;
        for (auto f : {pick(v, zan::c::zaniUniDirWeightBlock_H264_8u_C1R, zan::avx2::zaniUniDirWeightBlock_H264_8u_C1R),
                       pick(v, zan::c::zaniUniDirWeightBlock_H264_8u_C1IR,
                            zan::avx2::zaniUniDirWeightBlock_H264_8u_C1IR)}) {
            calls.push_back({ZAN_ERR_NULL_PTR, [=] { return f(nullptr, 0, 0, 1, 0, {3, 3}); }});
            calls.push_back({ZAN_ERR_STEP, [=] { return f(d, 7, 0, 1, 0, {8, 3}); }});  // step before size
            calls.push_back({ZAN_ERR_SIZE, [=] { return f(d, 16, 0, 1, 0, {12, 4}); }});
            calls.push_back({ZAN_ERR_SIZE, [=] { return f(d, 16, 0, 1, 0, {-4, 4}); }});  // not a step error
            calls.push_back({ZAN_ERR_SIZE, [=] { return f(d, 16, 0, 1, 0, {16, 0}); }});
        }
        auto c2 = pick(v, zan::c::zaniUniDirWeightBlock_H264_8u_C2R, zan::avx2::zaniUniDirWeightBlock_H264_8u_C2R);
        const ZanWeightParams wp{1, {3, 4}, {5, 6}};
        const auto nv12 = [=](uint8_t* p, int step, ZanSize roi) {
            return [=] {
                const ZanBidirBlock_8u blk{nullptr, 0, nullptr, 0, p, step, roi};
                return c2(&blk, &wp);
            };
        };
        calls.push_back({ZAN_ERR_NULL_PTR, [=] { return c2(nullptr, &wp); }});
        calls.push_back({ZAN_ERR_NULL_PTR, [=] {
                             const ZanBidirBlock_8u blk{nullptr, 0, nullptr, 0, d, 8, {4, 4}};
                             return c2(&blk, nullptr);
                         }});
        calls.push_back({ZAN_ERR_NULL_PTR, nv12(nullptr, 8, {4, 4})});
        calls.push_back({ZAN_ERR_STEP, nv12(d, 7, {4, 4})});  // 8 bytes a row needed
        calls.push_back({ZAN_ERR_STEP, nv12(d, 4, {4, 4})});  // a width-sized step overlaps NV12 rows
        calls.push_back({ZAN_ERR_SIZE, nv12(d, 8, {3, 4})});
        calls.push_back({ZAN_ERR_SIZE, nv12(d, 8, {4, 32})});
        return calls;
    });
}

TEST(WeightChecks, TwoDirections8u) {
    expect_checks([](bool v, uint8_t* s, uint8_t* d, uint16_t*, uint16_t*) {
        auto p2 = pick(v, zan::c::zaniBiDirWeightBlock_H264_8u_P2P1R, zan::avx2::zaniBiDirWeightBlock_H264_8u_P2P1R);
        auto p3 = pick(v, zan::c::zaniBiDirWeightBlock_H264_8u_P3P1R, zan::avx2::zaniBiDirWeightBlock_H264_8u_P3P1R);
        auto i2 = pick(v, zan::c::zaniBiDirWeightBlockImplicit_H264_8u_P2P1R,
                       zan::avx2::zaniBiDirWeightBlockImplicit_H264_8u_P2P1R);
        auto i3 = pick(v, zan::c::zaniBiDirWeightBlockImplicit_H264_8u_P3P1R,
                       zan::avx2::zaniBiDirWeightBlockImplicit_H264_8u_P3P1R);
        auto av = pick(v, zan::c::zaniWeightedAverage_H264_8u_C1IR, zan::avx2::zaniWeightedAverage_H264_8u_C1IR);
        auto c2 = pick(v, zan::c::zaniBiDirWeightBlock_H264_8u_C2R, zan::avx2::zaniBiDirWeightBlock_H264_8u_C2R);
        const ZanWeightParams wp{1, {3, 4}, {5, 6}};
        const auto nv12 = [=](const uint8_t* s1, int st1, int st2, uint8_t* dst, int stD, ZanSize roi,
                              bool l0 = true, bool l1 = true) {
            return [=] {
                const ZanBidirBlock_8u blk{s1, st1, s + 512, st2, dst, stD, roi};
                return c2(&blk, l0 ? &wp : nullptr, l1 ? &wp : nullptr);
            };
        };
        return Calls{
            {ZAN_ERR_NULL_PTR, [=] { return p2(nullptr, s, d, 0, 0, 0, 1, 0, 1, 0, {0, 0}); }},
            {ZAN_ERR_NULL_PTR, [=] { return p2(s, nullptr, d, 16, 16, 0, 1, 0, 1, 0, {4, 4}); }},
            {ZAN_ERR_NULL_PTR, [=] { return p2(s, s, nullptr, 16, 16, 0, 1, 0, 1, 0, {4, 4}); }},
            {ZAN_ERR_STEP, [=] { return p2(s, s, d, 3, 16, 0, 1, 0, 1, 0, {4, 5}); }},
            {ZAN_ERR_STEP, [=] { return p2(s, s, d, 16, -16, 0, 1, 0, 1, 0, {4, 5}); }},
            {ZAN_ERR_SIZE, [=] { return p2(s, s, d, 16, 16, 0, 1, 0, 1, 0, {4, 5}); }},
            {ZAN_ERR_NULL_PTR, [=] { return p3(s, s, nullptr, 0, 0, 0, 0, 1, 0, 1, 0, {0, 0}); }},
            {ZAN_ERR_STEP, [=] { return p3(s, s, d, 16, 15, 16, 0, 1, 0, 1, 0, {16, 1}); }},
            {ZAN_ERR_STEP, [=] { return p3(s, s, d, 16, 16, 15, 0, 1, 0, 1, 0, {16, 1}); }},
            {ZAN_ERR_SIZE, [=] { return p3(s, s, d, 16, 16, 16, 0, 1, 0, 1, 0, {16, 1}); }},
            {ZAN_ERR_NULL_PTR, [=] { return i2(s, nullptr, d, 0, 0, 32, 32, {0, 0}); }},
            {ZAN_ERR_STEP, [=] { return i2(s, s, d, 16, 1, 32, 32, {2, 0}); }},
            {ZAN_ERR_SIZE, [=] { return i2(s, s, d, 16, 16, 32, 32, {2, 0}); }},
            // Implicit P3P1: height below 1 is a call with nothing to do.
            {ZAN_ERR_NULL_PTR, [=] { return i3(s, s, nullptr, 16, 16, 16, 32, 32, {4, 0}); }},
            {ZAN_OK, [=] { return i3(s, s, d, 0, 0, 0, 32, 32, {99, 0}); }},
            {ZAN_OK, [=] { return i3(s, s, d, 16, 16, 16, 32, 32, {4, -3}); }},
            {ZAN_ERR_STEP, [=] { return i3(s, s, d, 16, 2, 16, 32, 32, {4, 4}); }},
            {ZAN_ERR_SIZE, [=] { return i3(s, s, d, 32, 32, 32, 32, 32, {17, 4}); }},
            {ZAN_ERR_SIZE, [=] { return i3(s, s, d, 32, 32, 32, 32, 32, {4, 6}); }},
            {ZAN_ERR_NULL_PTR, [=] { return av(nullptr, d, 16, 1, 1, 1, 0, {4, 4}); }},
            {ZAN_ERR_NULL_PTR, [=] { return av(s, nullptr, 16, 1, 1, 1, 0, {4, 4}); }},
            {ZAN_ERR_STEP, [=] { return av(s, d, 15, 1, 1, 1, 0, {16, 4}); }},
            {ZAN_ERR_SIZE, [=] { return av(s, d, 16, 1, 1, 1, 0, {16, 1}); }},
            {ZAN_ERR_NULL_PTR, [=] { return c2(nullptr, &wp, &wp); }},
            {ZAN_ERR_NULL_PTR, nv12(s, 16, 16, d, 16, {8, 8}, false, true)},
            {ZAN_ERR_NULL_PTR, nv12(s, 16, 16, d, 16, {8, 8}, true, false)},
            {ZAN_ERR_NULL_PTR, nv12(nullptr, 16, 16, d, 16, {8, 8})},
            {ZAN_ERR_NULL_PTR, nv12(s, 16, 16, nullptr, 16, {8, 8})},
            {ZAN_ERR_STEP, nv12(s, 15, 16, d, 16, {8, 3})},  // rows of 8 pairs need 16 bytes
            {ZAN_ERR_STEP, nv12(s, 16, 8, d, 16, {8, 3})},   // the second source's step is checked too
            {ZAN_ERR_STEP, nv12(s, 16, 16, d, 8, {8, 3})},
            {ZAN_ERR_SIZE, nv12(s, 16, 16, d, 16, {8, 3})},
        };
    });
}

TEST(WeightChecks, HighBitDepth) {
    expect_checks([](bool v, uint8_t*, uint8_t*, uint16_t* s, uint16_t* d) {
        const auto uni = pick(v, zan::c::zaniUnidirWeight_H264_16u_IP2P1R, zan::avx2::zaniUnidirWeight_H264_16u_IP2P1R);
        Calls calls{
            {ZAN_ERR_NULL_PTR, [=] { return uni(nullptr, 0, 0, 1, 0, {0, 0}, 10); }},
            {ZAN_ERR_STEP, [=] { return uni(d, 15, 0, 1, 0, {16, 3}, 10); }},
            {ZAN_ERR_SIZE, [=] { return uni(d, 16, 0, 1, 0, {16, 3}, 10); }},
        };
        using Fn = std::function<ZanResult(const ZanBidir_16u*)>;
        const auto explicit_fn =
            pick(v, zan::c::zaniBidirWeight_H264_16u_P2P1R, zan::avx2::zaniBidirWeight_H264_16u_P2P1R);
        const auto implicit_fn =
            pick(v, zan::c::zaniBidirWeightImplicit_H264_16u_P2P1R, zan::avx2::zaniBidirWeightImplicit_H264_16u_P2P1R);
        const Fn two = [=](const ZanBidir_16u* p) { return explicit_fn(p, 0, 1, 0, 1, 0); };
        const Fn imp = [=](const ZanBidir_16u* p) { return implicit_fn(p, 32, 32); };
        const auto with = [](Fn f, const uint16_t* s1, int st1, int st2, uint16_t* dst, int stD, ZanSize roi) {
            return [=] {
                const ZanBidir_16u blk{s1, st1, s1, st2, dst, stD, roi, 10};
                return f(&blk);
            };
        };
        for (Fn f : {two, imp}) {
            calls.push_back({ZAN_ERR_NULL_PTR, [=] { return f(nullptr); }});
            calls.push_back({ZAN_ERR_NULL_PTR, with(f, nullptr, 8, 8, d, 8, {8, 8})});
            calls.push_back({ZAN_ERR_NULL_PTR, with(f, s, 8, 8, nullptr, 8, {8, 8})});
            calls.push_back({ZAN_ERR_STEP, with(f, s, 7, 8, d, 8, {8, 3})});  // steps count samples
            calls.push_back({ZAN_ERR_STEP, with(f, s, 8, 7, d, 8, {8, 3})});
            calls.push_back({ZAN_ERR_STEP, with(f, s, 8, 8, d, 7, {8, 3})});
            calls.push_back({ZAN_ERR_SIZE, with(f, s, 8, 8, d, 8, {8, 3})});
        }
        // The plain average: no step check, -5 for sizes outside 2..16.
        const Fn avg = zan::c::zaniBidir_H264_16u_P2P1R;
        calls.push_back({ZAN_ERR_NULL_PTR, [=] { return avg(nullptr); }});
        calls.push_back({ZAN_ERR_NULL_PTR, with(avg, s, 0, 0, nullptr, 0, {4, 4})});
        calls.push_back({ZAN_ERR_BAD_ARG, with(avg, s, 0, 0, d, 0, {17, 4})});
        calls.push_back({ZAN_ERR_BAD_ARG, with(avg, s, 0, 0, d, 0, {4, 1})});
        return calls;
    });
}

}  // namespace
