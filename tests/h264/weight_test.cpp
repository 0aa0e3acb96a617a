// H.264 weighted prediction and averaging: every export against an exact
// 64-bit rendering of the H.264 formulas on random blocks of every size, the
// AVX2 kernels against the portable ones, worked examples of the arithmetic,
// and the argument checks in order with nothing written on failure.
#include <array>
#include <climits>
#include <cstring>
#include <functional>
#include <vector>

#include "support/checkasm.h"

namespace {

constexpr int kDims[] = {2, 4, 8, 16};

// ---------------------------------------------------------------------------
// Exact formulas (64-bit, no wrap-around) for the reference checks
// ---------------------------------------------------------------------------
int64_t clip(int64_t v, int64_t maxval) { return v < 0 ? 0 : v > maxval ? maxval : v; }

// H.264 8-270: one direction.
int64_t ref_unidir(int64_t x, int64_t w, int64_t o, uint32_t logWD) {
    return logWD >= 1 ? ((x * w + (int64_t(1) << (logWD - 1))) >> logWD) + o : x * w + o;
}

// H.264 8-272: two directions.
int64_t ref_bidir(int64_t x0, int64_t x1, int64_t w0, int64_t w1, int64_t o0, int64_t o1, uint32_t logWD) {
    return ((x0 * w0 + x1 * w1 + (int64_t(1) << logWD)) >> (logWD + 1)) + ((o0 + o1 + 1) >> 1);
}

// ---------------------------------------------------------------------------
// Random parameters
// ---------------------------------------------------------------------------
struct Draw {
    int32_t w0[2], w1[2], o0[2], o1[2];
    uint32_t ulog2wd;
    int32_t bitDepth = 8;
};

// Mostly the ranges H.264 allows; every eighth draw at the 16-bit edges of
// the AVX2 fast path, every eighth beyond them (portable fallback).
Draw draw(zt::Rng& rng, int i, int maxLogWD, int offsetRange = 128) {
    Draw d{};
    const int kind = i % 8;
    for (int c = 0; c < 2; ++c) {
        auto w = [&] {
            if (kind == 6) return rng.coin() ? 32767 : -32768;
            if (kind == 7) return (rng.coin() ? 1 : -1) * rng.range(32768, 100000);
            return rng.range(-128, 127);
        };
        d.w0[c] = w();
        d.w1[c] = w();
        const int orange = kind == 7 ? 1000000 : offsetRange;
        d.o0[c] = rng.range(-orange, orange - 1);
        d.o1[c] = rng.range(-orange, orange - 1);
    }
    d.ulog2wd = uint32_t(rng.range(0, kind >= 6 ? maxLogWD : 7));
    return d;
}

// ---------------------------------------------------------------------------
// Blocks with guarded planes
// ---------------------------------------------------------------------------
enum class Sources { InPlace, Two, AverageInPlace };  // where x0 and x1 come from
enum class Steps { Separate, SharedSource, AllSame };

template <class T>
struct Planes {
    Planes(zt::Rng& rng, int w, int h, int C, Steps steps, int maxSample)
        : w(w), h(h), C(C), maxSample(maxSample) {
        const int row = C * w;
        s1 = row + rng.range(0, 3) * rng.range(0, 9);
        s2 = steps == Steps::Separate ? row + rng.range(0, 20) : s1;
        sd = steps == Steps::AllSame ? s1 : row + rng.range(0, 20);
        for (int i = 0; i < 3; ++i) {
            const int step = i == 0 ? s1 : i == 1 ? s2 : sd;
            bufs[i].emplace_back(size_t(step) * h * sizeof(T), size_t(rng.range(0, 63)) & ~(sizeof(T) - 1));
            const zt::Bias bias = zt::kAllBiases[size_t(rng.range(0, 4))];
            zt::fill(rng, bufs[i][0].template as<T>(), size_t(step) * h, 0, maxSample, bias);
        }
    }
    T* p(int i) { return bufs[i][0].template as<T>(); }
    int step(int i) const { return i == 0 ? s1 : i == 1 ? s2 : sd; }
    int stepBytes(int i) const { return step(i) * int(sizeof(T)); }
    size_t bytes(int i) const { return size_t(step(i)) * h * sizeof(T); }
    int w, h, C, maxSample, s1, s2, sd;
    std::vector<zt::GuardedBuffer> bufs[3];
};

// Runs one export over every block size: the portable result must match the
// exact formula `ref` inside the block and leave the rest of the destination
// as it was; the AVX2 kernel (when there is one) must give the same bytes.
template <class T>
struct ExportCheck {
    using Call = std::function<ZanResult(bool avx2, Planes<T>&, const Draw&)>;
    using Ref = std::function<int64_t(int64_t x0, int64_t x1, int ch, const Draw&)>;
    Call call;
    Ref ref;
    int C = 1;
    Sources sources = Sources::Two;
    Steps steps = Steps::Separate;
    bool hasAvx2 = true;
    int maxLogWD = 31;
    std::function<Draw(zt::Rng&, int)> drawFn;
    int casesPerSize = 24;

    void run() const {
        zt::Rng rng;
        const bool avx2 = hasAvx2 && zt::have_avx2();
        int n = 0;
        for (int w : kDims)
            for (int h : kDims)
                for (int i = 0; i < casesPerSize; ++i, ++n) {
                    const Draw d = drawFn ? drawFn(rng, n) : draw(rng, n, maxLogWD);
                    const int maxSample = d.bitDepth >= 16 ? 65535 : (1 << d.bitDepth) - 1;
                    Planes<T> s(rng, w, h, C, steps, rng.range(0, 5) == 0 ? (sizeof(T) == 1 ? 255 : 65535)
                                                                         : maxSample);
                    ASSERT_NO_FATAL_FAILURE(one(s, d, avx2)) << w << "x" << h << " case " << i;
                }
    }

    void one(Planes<T>& s, const Draw& d, bool avx2) const {
        const std::vector<T> dst0(s.p(2), s.p(2) + s.bytes(2) / sizeof(T));
        ASSERT_EQ(call(false, s, d), ZAN_OK);
        const int64_t maxval = sizeof(T) == 1 ? 255 : d.bitDepth >= 16 ? 65535 : (int64_t(1) << d.bitDepth) - 1;
        for (int y = 0; y < s.h; ++y)
            for (int x = 0; x < s.sd; ++x) {
                const size_t at = size_t(s.sd) * y + x;
                const int64_t got = s.p(2)[at];
                if (x >= s.C * s.w) {
                    ASSERT_EQ(got, dst0[at]) << "written past the row end at (" << x << ", " << y << ")";
                    continue;
                }
                const int64_t x0 = sources == Sources::Two || sources == Sources::AverageInPlace
                                       ? s.p(0)[size_t(s.s1) * y + x]
                                       : dst0[at];
                const int64_t x1 = sources == Sources::Two            ? s.p(1)[size_t(s.s2) * y + x]
                                   : sources == Sources::AverageInPlace ? dst0[at]
                                                                        : 0;
                ASSERT_EQ(got, clip(ref(x0, x1, x % s.C, d), maxval))
                    << "at (" << x << ", " << y << ") x0 " << x0 << " x1 " << x1;
            }
        for (auto& b : s.bufs) ASSERT_TRUE(b[0].guards_intact());
        if (!avx2) return;
        const std::vector<T> portable(s.p(2), s.p(2) + dst0.size());
        std::copy(dst0.begin(), dst0.end(), s.p(2));
        ASSERT_EQ(call(true, s, d), ZAN_OK);
        ASSERT_TRUE(zt::same_array(s.p(2), portable.data(), portable.size())) << "AVX2 differs from portable";
        for (auto& b : s.bufs) ASSERT_TRUE(b[0].guards_intact());
    }
};

template <class F>
F pick(bool avx2, F c, F a) { return avx2 ? a : c; }

// ---------------------------------------------------------------------------
// Every export against the formulas, AVX2 against portable
// ---------------------------------------------------------------------------
TEST(WeightFormula, UniDirC1RAndC1IR) {
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

TEST(WeightFormula, BiDirP2P1RAndP3P1R) {
    const auto ref = [](int64_t x0, int64_t x1, int, const Draw& d) {
        return ref_bidir(x0, x1, d.w0[0], d.w1[0], d.o0[0], d.o1[0], d.ulog2wd);
    };
    ExportCheck<uint8_t> p2;
    p2.steps = Steps::SharedSource;
    p2.maxLogWD = 30;
    p2.ref = ref;
    p2.call = [](bool v, Planes<uint8_t>& s, const Draw& d) {
        return pick(v, zan::c::zaniBiDirWeightBlock_H264_8u_P2P1R, zan::avx2::zaniBiDirWeightBlock_H264_8u_P2P1R)(
            s.p(0), s.p(1), s.p(2), s.s1, s.sd, d.ulog2wd, d.w0[0], d.o0[0], d.w1[0], d.o1[0], {s.w, s.h});
    };
    p2.run();
    ExportCheck<uint8_t> p3 = p2;
    p3.steps = Steps::Separate;
    p3.call = [](bool v, Planes<uint8_t>& s, const Draw& d) {
        return pick(v, zan::c::zaniBiDirWeightBlock_H264_8u_P3P1R, zan::avx2::zaniBiDirWeightBlock_H264_8u_P3P1R)(
            s.p(0), s.p(1), s.p(2), s.s1, s.s2, s.sd, d.ulog2wd, d.w0[0], d.o0[0], d.w1[0], d.o1[0], {s.w, s.h});
    };
    p3.run();
}

TEST(WeightFormula, ImplicitP2P1RAndP3P1R) {
    const auto ref = [](int64_t x0, int64_t x1, int, const Draw& d) {
        return (x0 * d.w0[0] + x1 * d.w1[0] + 32) >> 6;
    };
    ExportCheck<uint8_t> p2;
    p2.steps = Steps::SharedSource;
    p2.ref = ref;
    p2.call = [](bool v, Planes<uint8_t>& s, const Draw& d) {
        return pick(v, zan::c::zaniBiDirWeightBlockImplicit_H264_8u_P2P1R,
                    zan::avx2::zaniBiDirWeightBlockImplicit_H264_8u_P2P1R)(s.p(0), s.p(1), s.p(2), s.s1, s.sd,
                                                                           d.w0[0], d.w1[0], {s.w, s.h});
    };
    p2.run();
    ExportCheck<uint8_t> p3 = p2;
    p3.steps = Steps::Separate;
    p3.call = [](bool v, Planes<uint8_t>& s, const Draw& d) {
        return pick(v, zan::c::zaniBiDirWeightBlockImplicit_H264_8u_P3P1R,
                    zan::avx2::zaniBiDirWeightBlockImplicit_H264_8u_P3P1R)(s.p(0), s.p(1), s.p(2), s.s1, s.s2, s.sd,
                                                                           d.w0[0], d.w1[0], {s.w, s.h});
    };
    p3.run();
}

TEST(WeightFormula, WeightedAverageC1IR) {
    ExportCheck<uint8_t> e;
    e.sources = Sources::AverageInPlace;
    e.steps = Steps::AllSame;
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

// NV12 weight sets: 8-bit weights and offsets, ulog2wd with random high bits
// (only the low 4 are used).
Draw draw_nv12(zt::Rng& rng, int) {
    Draw d{};
    for (int c = 0; c < 2; ++c) {
        d.w0[c] = rng.range(-128, 127);
        d.w1[c] = rng.range(-128, 127);
        d.o0[c] = rng.range(-128, 127);
        d.o1[c] = rng.range(-128, 127);
    }
    d.ulog2wd = rng.u32();
    return d;
}

ZanWeightParams nv12_set(const Draw& d, bool list1) {
    ZanWeightParams p{};
    p.ulog2wd = list1 ? ~d.ulog2wd : d.ulog2wd;  // list 1's ulog2wd must be ignored
    for (int c = 0; c < 2; ++c) {
        p.weights[c] = Zan8s(list1 ? d.w1[c] : d.w0[c]);
        p.offsets[c] = Zan8s(list1 ? d.o1[c] : d.o0[c]);
    }
    return p;
}

TEST(WeightFormula, NV12UniDirAndBiDir) {
    ExportCheck<uint8_t> uni;
    uni.C = 2;
    uni.sources = Sources::InPlace;
    uni.drawFn = draw_nv12;
    uni.call = [](bool v, Planes<uint8_t>& s, const Draw& d) {
        const ZanBidirBlock_8u b{nullptr, 0, nullptr, 0, s.p(2), s.sd, {s.w, s.h}};
        const ZanWeightParams p = nv12_set(d, false);
        return pick(v, zan::c::zaniUniDirWeightBlock_H264_8u_C2R, zan::avx2::zaniUniDirWeightBlock_H264_8u_C2R)(&b,
                                                                                                                &p);
    };
    uni.ref = [](int64_t x, int64_t, int ch, const Draw& d) {
        return ref_unidir(x, d.w0[ch], d.o0[ch], d.ulog2wd & 15);
    };
    uni.run();

    ExportCheck<uint8_t> bi;
    bi.C = 2;
    bi.drawFn = draw_nv12;
    bi.call = [](bool v, Planes<uint8_t>& s, const Draw& d) {
        const ZanBidirBlock_8u b{s.p(0), s.s1, s.p(1), s.s2, s.p(2), s.sd, {s.w, s.h}};
        const ZanWeightParams l0 = nv12_set(d, false), l1 = nv12_set(d, true);
        return pick(v, zan::c::zaniBiDirWeightBlock_H264_8u_C2R, zan::avx2::zaniBiDirWeightBlock_H264_8u_C2R)(
            &b, &l0, &l1);
    };
    bi.ref = [](int64_t x0, int64_t x1, int ch, const Draw& d) {
        return ref_bidir(x0, x1, d.w0[ch], d.w1[ch], d.o0[ch], d.o1[ch], d.ulog2wd & 15);
    };
    bi.run();
}

// High bit depth: 9..14 mostly, offsets scaled to the depth.
Draw draw_16u(zt::Rng& rng, int i) {
    Draw d = draw(rng, i % 6, 7);
    d.bitDepth = i % 11 == 0 ? 16 : rng.range(9, 14);
    const int scale = 1 << (std::min(d.bitDepth, 14) - 8);
    for (int c = 0; c < 2; ++c) {
        d.o0[c] *= scale;
        d.o1[c] *= scale;
    }
    return d;
}

TEST(WeightFormula, HighBitDepthForms) {
    ExportCheck<uint16_t> uni;
    uni.sources = Sources::InPlace;
    uni.hasAvx2 = false;
    uni.drawFn = draw_16u;
    uni.call = [](bool, Planes<uint16_t>& s, const Draw& d) {
        return zan::c::zaniUnidirWeight_H264_16u_IP2P1R(s.p(2), s.sd, d.ulog2wd, d.w0[0], d.o0[0], {s.w, s.h},
                                                        d.bitDepth);
    };
    uni.ref = [](int64_t x, int64_t, int, const Draw& d) { return ref_unidir(x, d.w0[0], d.o0[0], d.ulog2wd); };
    uni.run();

    const auto block = [](Planes<uint16_t>& s, const Draw& d) {
        return ZanBidir_16u{s.p(0), s.s1, s.p(1), s.s2, s.p(2), s.sd, {s.w, s.h}, d.bitDepth};
    };
    ExportCheck<uint16_t> bi = uni;
    bi.sources = Sources::Two;
    bi.call = [block](bool, Planes<uint16_t>& s, const Draw& d) {
        const ZanBidir_16u b = block(s, d);
        return zan::c::zaniBidirWeight_H264_16u_P2P1R(&b, d.ulog2wd, d.w0[0], d.o0[0], d.w1[0], d.o1[0]);
    };
    bi.ref = [](int64_t x0, int64_t x1, int, const Draw& d) {
        return ref_bidir(x0, x1, d.w0[0], d.w1[0], d.o0[0], d.o1[0], d.ulog2wd);
    };
    bi.run();

    ExportCheck<uint16_t> imp = bi;
    imp.call = [block](bool, Planes<uint16_t>& s, const Draw& d) {
        const ZanBidir_16u b = block(s, d);
        return zan::c::zaniBidirWeightImplicit_H264_16u_P2P1R(&b, d.w0[0], d.w1[0]);
    };
    imp.ref = [](int64_t x0, int64_t x1, int, const Draw& d) { return (x0 * d.w0[0] + x1 * d.w1[0] + 32) >> 6; };
    imp.run();

    ExportCheck<uint16_t> avg = bi;
    avg.call = [block](bool, Planes<uint16_t>& s, const Draw& d) {
        const ZanBidir_16u b = block(s, d);
        return zan::c::zaniBidir_H264_16u_P2P1R(&b);
    };
    avg.ref = [](int64_t x0, int64_t x1, int, const Draw&) { return (x0 + x1 + 1) >> 1; };
    avg.drawFn = [](zt::Rng& rng, int i) {
        Draw d = draw_16u(rng, i);
        d.bitDepth = 16;  // the plain average never saturates
        return d;
    };
    avg.run();
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
// Worked examples of the arithmetic, through the public entries and both
// kernels of each 8-bit export
// ---------------------------------------------------------------------------
using UniFn = decltype(&zaniUniDirWeightBlock_H264_8u_C1R);
using BiFn = decltype(&zaniBiDirWeightBlock_H264_8u_P2P1R);

std::vector<UniFn> uni_fns() {
    return {zaniUniDirWeightBlock_H264_8u_C1R, zan::c::zaniUniDirWeightBlock_H264_8u_C1R,
            zan::avx2::zaniUniDirWeightBlock_H264_8u_C1R};
}
std::vector<BiFn> bi_fns() {
    return {zaniBiDirWeightBlock_H264_8u_P2P1R, zan::c::zaniBiDirWeightBlock_H264_8u_P2P1R,
            zan::avx2::zaniBiDirWeightBlock_H264_8u_P2P1R};
}
size_t variants() { return zt::have_avx2() ? 3 : 2; }

// A 4x4 block of one value, weighted one way.
int uni(UniFn fn, int x, Zan32u logWD, int w, int o) {
    uint8_t blk[16];
    std::memset(blk, x, sizeof blk);
    EXPECT_EQ(fn(blk, 4, logWD, w, o, {4, 4}), ZAN_OK);
    for (uint8_t v : blk) EXPECT_EQ(v, blk[0]);
    return blk[0];
}

int bi(BiFn fn, int x0, int x1, Zan32u logWD, int w0, int o0, int w1, int o1) {
    uint8_t a[16], b[16], d[16];
    std::memset(a, x0, 16);
    std::memset(b, x1, 16);
    EXPECT_EQ(fn(a, b, d, 4, 4, logWD, w0, o0, w1, o1, {4, 4}), ZAN_OK);
    for (uint8_t v : d) EXPECT_EQ(v, d[0]);
    return d[0];
}

TEST(WeightArithmetic, OneDirectionRoundingAndSaturation) {
    for (size_t i = 0; i < variants(); ++i) {
        const UniFn f = uni_fns()[i];
        EXPECT_EQ(uni(f, 7, 0, 5, 1), 36);        // logWD 0: 7 * 5 + 1, no rounding term
        EXPECT_EQ(uni(f, 7, 1, 5, 1), 19);        // (35 + 1) >> 1 + 1
        EXPECT_EQ(uni(f, 7, 2, 5, 1), 10);        // (35 + 2) >> 2 + 1
        EXPECT_EQ(uni(f, 100, 6, 64, 0), 100);    // the default weight leaves samples alone
        EXPECT_EQ(uni(f, 200, 5, 127, 127), 255);  // saturates at the top
        EXPECT_EQ(uni(f, 200, 5, -128, 10), 0);    // and at 0
        EXPECT_EQ(uni(f, 3, 1, -1, 0), 0);        // (-3 + 1) >> 1 = -1, arithmetic: clipped to 0
        EXPECT_EQ(uni(f, 3, 1, -1, 5), 4);        // -1 + 5
        EXPECT_EQ(uni(f, 7, 33, 5, 1), 19);       // logWD is taken modulo 32
        EXPECT_EQ(uni(f, 7, 32, 5, 1), 36);
        EXPECT_EQ(uni(f, 2, 0, 0x7fffffff, 0), 0);  // 32-bit wrap-around: 2 * (2^31 - 1) is -2
        EXPECT_EQ(uni(f, 1, 0, 40000, -39900), 100);  // a weight beyond 16 bits
    }
}

TEST(WeightArithmetic, TwoDirectionsCombinedOffset) {
    for (size_t i = 0; i < variants(); ++i) {
        const BiFn f = bi_fns()[i];
        EXPECT_EQ(bi(f, 0, 0, 0, 1, 1, 1, 0), 1);        // (1 + 0 + 1) >> 1 = 1
        EXPECT_EQ(bi(f, 0, 0, 0, 1, -1, 1, 0), 0);       // (-1 + 0 + 1) >> 1 = 0
        EXPECT_EQ(bi(f, 100, 100, 0, 1, -2, 1, 0), 99);  // (-2 + 1) >> 1 = -1, not 0 as a division gives
        EXPECT_EQ(bi(f, 10, 20, 5, 32, 0, 32, 0), 15);   // (320 + 640 + 32) >> 6
        EXPECT_EQ(bi(f, 10, 21, 2, 3, 4, 5, 6), 22);     // (30 + 105 + 4) >> 3 = 17, + (4 + 6 + 1) >> 1
        EXPECT_EQ(bi(f, 255, 255, 7, 127, 0, 127, 0), 253);  // (64770 + 128) >> 8: no 16-bit saturation
        EXPECT_EQ(bi(f, 255, 255, 0, 127, 127, 127, 127), 255);
        EXPECT_EQ(bi(f, 255, 0, 0, -128, 0, 0, 0), 0);
        // logWD 31: 2^31 wraps to -2^31 and the shift by 32 leaves the sign.
        EXPECT_EQ(bi(f, 0, 0, 31, 0, 10, 0, 10), 9);
        EXPECT_EQ(bi(f, 0, 0, 31, 0, INT32_MAX, 0, INT32_MAX), 255);  // combined offset exact: 2^31 - 1, no wrap
    }
}

TEST(WeightArithmetic, ImplicitAverageAndNV12) {
    uint8_t a[16], b[16], d[16];
    std::memset(a, 10, 16);
    std::memset(b, 20, 16);
    const auto imp2 = {zaniBiDirWeightBlockImplicit_H264_8u_P2P1R, zan::c::zaniBiDirWeightBlockImplicit_H264_8u_P2P1R,
                       zan::avx2::zaniBiDirWeightBlockImplicit_H264_8u_P2P1R};
    size_t i = 0;
    for (auto f : imp2) {
        if (i++ == variants()) break;
        ASSERT_EQ(f(a, b, d, 4, 4, 48, 16, {4, 4}), ZAN_OK);
        EXPECT_EQ(d[15], 13);  // (480 + 320 + 32) >> 6
    }
    i = 0;
    for (auto f : {zaniWeightedAverage_H264_8u_C1IR, zan::c::zaniWeightedAverage_H264_8u_C1IR,
                   zan::avx2::zaniWeightedAverage_H264_8u_C1IR}) {
        if (i++ == variants()) break;
        std::memset(b, 20, 16);
        ASSERT_EQ(f(a, b, 4, 3, 5, 2, 1, {4, 4}), ZAN_OK);
        EXPECT_EQ(b[0], 34);  // (30 + 100 + 2) >> 2 + 1, over the second source
        std::memset(b, 20, 16);
        ASSERT_EQ(f(a, b, 4, 3, 5, 0, 1, {4, 4}), ZAN_OK);
        EXPECT_EQ(b[5], 131);  // shift 0: no rounding
    }
    // NV12: Cb uses index 0, Cr index 1; list 1's ulog2wd is ignored.
    i = 0;
    for (auto f : {zaniBiDirWeightBlock_H264_8u_C2R, zan::c::zaniBiDirWeightBlock_H264_8u_C2R,
                   zan::avx2::zaniBiDirWeightBlock_H264_8u_C2R}) {
        if (i++ == variants()) break;
        uint8_t s1[32], s2[32], out[32];
        std::memset(s1, 255, 32);
        std::memset(s2, 255, 32);
        const ZanBidirBlock_8u blk{s1, 8, s2, 8, out, 8, {4, 4}};
        const ZanWeightParams l0{0x17, {127, 2}, {0, 3}}, l1{9, {127, 4}, {0, -6}};  // logWD 7
        ASSERT_EQ(f(&blk, &l0, &l1), ZAN_OK);
        EXPECT_EQ(out[0], 253);  // Cb: (64770 + 128) >> 8
        EXPECT_EQ(out[1], 5);    // Cr: (510 + 1020 + 128) >> 8 = 6, + (3 - 6 + 1) >> 1 = -1
        EXPECT_EQ(out[30], 253);
        EXPECT_EQ(out[31], 5);
    }
    i = 0;
    for (auto f : {zaniUniDirWeightBlock_H264_8u_C2R, zan::c::zaniUniDirWeightBlock_H264_8u_C2R,
                   zan::avx2::zaniUniDirWeightBlock_H264_8u_C2R}) {
        if (i++ == variants()) break;
        uint8_t p[16];
        std::memset(p, 200, 16);
        const ZanBidirBlock_8u blk{nullptr, 0, nullptr, 0, p, 4, {2, 4}};
        const ZanWeightParams w{0xF2, {127, -10}, {-1, 100}};  // logWD 2
        ASSERT_EQ(f(&blk, &w), ZAN_OK);
        EXPECT_EQ(p[0], 255);  // (25400 + 2) >> 2 - 1 saturates
        EXPECT_EQ(p[1], 0);    // (-2000 + 2) >> 2 + 100 = -400
    }
}

TEST(WeightArithmetic, HighBitDepthSaturation) {
    uint16_t blk[16];
    for (int i = 0; i < 16; ++i) blk[i] = 1000;
    ASSERT_EQ(zaniUnidirWeight_H264_16u_IP2P1R(blk, 4, 5, 64, 100, {4, 4}, 10), ZAN_OK);
    EXPECT_EQ(blk[3], 1023);  // 2000 + 100 saturates at 2^10 - 1
    ASSERT_EQ(zaniUnidirWeight_H264_16u_IP2P1R(blk, 4, 0, 1, -1024, {4, 4}, 10), ZAN_OK);
    EXPECT_EQ(blk[3], 0);
    for (int i = 0; i < 16; ++i) blk[i] = 9000;
    ASSERT_EQ(zaniUnidirWeight_H264_16u_IP2P1R(blk, 4, 0, 8, 0, {4, 4}, 20), ZAN_OK);
    EXPECT_EQ(blk[0], 65535);  // depths above 16 saturate at the 16-bit maximum, never wrap
    ASSERT_EQ(zaniUnidirWeight_H264_16u_IP2P1R(blk, 4, 0, 1, 0, {4, 4}, -3), ZAN_OK);
    EXPECT_EQ(blk[0], 0);

    uint16_t a[8], b[8], d[8];
    for (int i = 0; i < 8; ++i) a[i] = 16383, b[i] = 16000;
    ZanBidir_16u blk16{a, 4, b, 4, d, 4, {4, 2}, 14};
    ASSERT_EQ(zaniBidirWeight_H264_16u_P2P1R(&blk16, 0, 1, 64, 1, -64), ZAN_OK);
    EXPECT_EQ(d[7], (16383 + 16000 + 1) >> 1);  // combined offset (64 - 64 + 1) >> 1 = 0
    ASSERT_EQ(zaniBidirWeightImplicit_H264_16u_P2P1R(&blk16, 64, 64), ZAN_OK);
    EXPECT_EQ(d[0], 16383);  // (32383 * 64 + 32) >> 6 = 32383 saturates at 2^14 - 1
    blk16.bitDepth = 9;
    ASSERT_EQ(zaniBidir_H264_16u_P2P1R(&blk16), ZAN_OK);
    EXPECT_EQ(d[0], 16192);  // the plain average ignores bitDepth
}

// ---------------------------------------------------------------------------
// Argument checks in order; nothing written on failure
// ---------------------------------------------------------------------------
struct Bufs {
    alignas(32) uint8_t s1[1024], s2[1024], d[1024];
    uint16_t w1[512], w2[512], wd[512];
    Bufs() {
        std::memset(s1, 1, sizeof s1);
        std::memset(s2, 2, sizeof s2);
        for (auto* p : {w1, w2}) std::fill(p, p + 512, uint16_t(7));
    }
};

using Calls = std::vector<std::pair<ZanResult, std::function<ZanResult()>>>;

// Runs `calls` (expected status, call) for each kernel variant and checks
// that the sources and destinations are untouched after each failure.
void expect_checks(const std::function<Calls(bool, Bufs&)>& make) {
    for (bool avx2 : {false, true}) {
        if (avx2 && !zt::have_avx2()) continue;
        Bufs b;
        zt::Sentinel sd(b.d, sizeof b.d), swd(b.wd, sizeof b.wd), s1(b.s1, sizeof b.s1), sw1(b.w1, sizeof b.w1);
        int n = 0;
        for (auto& [want, call] : make(avx2, b)) {
            EXPECT_EQ(call(), want) << (avx2 ? "avx2" : "c") << " call " << n++;
            EXPECT_TRUE(sd.untouched() && swd.untouched() && s1.untouched() && sw1.untouched())
                << "written on failure, call " << n - 1;
        }
    }
}

TEST(WeightChecks, OneDirection8u) {
    expect_checks([](bool v, Bufs& b) {
        Calls calls;
        for (auto f : {pick(v, zan::c::zaniUniDirWeightBlock_H264_8u_C1R, zan::avx2::zaniUniDirWeightBlock_H264_8u_C1R),
                       pick(v, zan::c::zaniUniDirWeightBlock_H264_8u_C1IR,
                            zan::avx2::zaniUniDirWeightBlock_H264_8u_C1IR)}) {
            calls.push_back({ZAN_ERR_NULL_PTR, [=] { return f(nullptr, 0, 0, 1, 0, {3, 3}); }});
            calls.push_back({ZAN_ERR_STEP, [=, &b] { return f(b.d, 7, 0, 1, 0, {8, 3}); }});  // step before size
            calls.push_back({ZAN_ERR_SIZE, [=, &b] { return f(b.d, 16, 0, 1, 0, {8, 3}); }});
            calls.push_back({ZAN_ERR_SIZE, [=, &b] { return f(b.d, 16, 0, 1, 0, {12, 4}); }});
            calls.push_back({ZAN_ERR_SIZE, [=, &b] { return f(b.d, 16, 0, 1, 0, {-4, 4}); }});  // not a step error
            calls.push_back({ZAN_ERR_SIZE, [=, &b] { return f(b.d, 16, 0, 1, 0, {16, 0}); }});
        }
        auto c2 = pick(v, zan::c::zaniUniDirWeightBlock_H264_8u_C2R, zan::avx2::zaniUniDirWeightBlock_H264_8u_C2R);
        static const ZanWeightParams wp{1, {3, 4}, {5, 6}};
        static ZanBidirBlock_8u blk[5];
        blk[0] = {nullptr, 0, nullptr, 0, nullptr, 32, {4, 4}};
        blk[1] = {nullptr, 0, nullptr, 0, b.d, 7, {4, 4}};   // 8 bytes a row needed
        blk[2] = {nullptr, 0, nullptr, 0, b.d, 8, {3, 4}};
        blk[3] = {nullptr, 0, nullptr, 0, b.d, 8, {4, 32}};
        blk[4] = {nullptr, 0, nullptr, 0, b.d, 4, {4, 4}};   // a width-sized step overlaps NV12 rows
        calls.push_back({ZAN_ERR_NULL_PTR, [=] { return c2(nullptr, &wp); }});
        calls.push_back({ZAN_ERR_NULL_PTR, [=] { return c2(&blk[1], nullptr); }});
        calls.push_back({ZAN_ERR_NULL_PTR, [=] { return c2(&blk[0], &wp); }});
        calls.push_back({ZAN_ERR_STEP, [=] { return c2(&blk[1], &wp); }});
        calls.push_back({ZAN_ERR_SIZE, [=] { return c2(&blk[2], &wp); }});
        calls.push_back({ZAN_ERR_SIZE, [=] { return c2(&blk[3], &wp); }});
        calls.push_back({ZAN_ERR_STEP, [=] { return c2(&blk[4], &wp); }});
        return calls;
    });
}

TEST(WeightChecks, TwoDirections8u) {
    expect_checks([](bool v, Bufs& b) {
        Calls calls;
        auto p2 = pick(v, zan::c::zaniBiDirWeightBlock_H264_8u_P2P1R, zan::avx2::zaniBiDirWeightBlock_H264_8u_P2P1R);
        auto p3 = pick(v, zan::c::zaniBiDirWeightBlock_H264_8u_P3P1R, zan::avx2::zaniBiDirWeightBlock_H264_8u_P3P1R);
        auto i2 = pick(v, zan::c::zaniBiDirWeightBlockImplicit_H264_8u_P2P1R,
                       zan::avx2::zaniBiDirWeightBlockImplicit_H264_8u_P2P1R);
        auto i3 = pick(v, zan::c::zaniBiDirWeightBlockImplicit_H264_8u_P3P1R,
                       zan::avx2::zaniBiDirWeightBlockImplicit_H264_8u_P3P1R);
        auto av = pick(v, zan::c::zaniWeightedAverage_H264_8u_C1IR, zan::avx2::zaniWeightedAverage_H264_8u_C1IR);
        uint8_t *s1 = b.s1, *s2 = b.s2, *d = b.d;
        calls = {
            {ZAN_ERR_NULL_PTR, [=] { return p2(nullptr, s2, d, 0, 0, 0, 1, 0, 1, 0, {0, 0}); }},
            {ZAN_ERR_NULL_PTR, [=] { return p2(s1, nullptr, d, 16, 16, 0, 1, 0, 1, 0, {4, 4}); }},
            {ZAN_ERR_NULL_PTR, [=] { return p2(s1, s2, nullptr, 16, 16, 0, 1, 0, 1, 0, {4, 4}); }},
            {ZAN_ERR_STEP, [=] { return p2(s1, s2, d, 3, 16, 0, 1, 0, 1, 0, {4, 5}); }},
            {ZAN_ERR_STEP, [=] { return p2(s1, s2, d, 16, -16, 0, 1, 0, 1, 0, {4, 5}); }},
            {ZAN_ERR_SIZE, [=] { return p2(s1, s2, d, 16, 16, 0, 1, 0, 1, 0, {4, 5}); }},
            {ZAN_ERR_NULL_PTR, [=] { return p3(s1, s2, nullptr, 0, 0, 0, 0, 1, 0, 1, 0, {0, 0}); }},
            {ZAN_ERR_STEP, [=] { return p3(s1, s2, d, 16, 15, 16, 0, 1, 0, 1, 0, {16, 1}); }},
            {ZAN_ERR_STEP, [=] { return p3(s1, s2, d, 16, 16, 15, 0, 1, 0, 1, 0, {16, 1}); }},
            {ZAN_ERR_SIZE, [=] { return p3(s1, s2, d, 16, 16, 16, 0, 1, 0, 1, 0, {16, 1}); }},
            {ZAN_ERR_NULL_PTR, [=] { return i2(s1, nullptr, d, 0, 0, 32, 32, {0, 0}); }},
            {ZAN_ERR_STEP, [=] { return i2(s1, s2, d, 16, 1, 32, 32, {2, 0}); }},
            {ZAN_ERR_SIZE, [=] { return i2(s1, s2, d, 16, 16, 32, 32, {2, 0}); }},
            // Implicit P3P1: height below 1 is a call with nothing to do.
            {ZAN_ERR_NULL_PTR, [=] { return i3(s1, s2, nullptr, 16, 16, 16, 32, 32, {4, 0}); }},
            {ZAN_OK, [=] { return i3(s1, s2, d, 0, 0, 0, 32, 32, {99, 0}); }},
            {ZAN_OK, [=] { return i3(s1, s2, d, 16, 16, 16, 32, 32, {4, -3}); }},
            {ZAN_ERR_STEP, [=] { return i3(s1, s2, d, 16, 2, 16, 32, 32, {4, 4}); }},
            {ZAN_ERR_SIZE, [=] { return i3(s1, s2, d, 32, 32, 32, 32, 32, {17, 4}); }},
            {ZAN_ERR_SIZE, [=] { return i3(s1, s2, d, 32, 32, 32, 32, 32, {4, 6}); }},
            {ZAN_ERR_NULL_PTR, [=] { return av(nullptr, d, 16, 1, 1, 1, 0, {4, 4}); }},
            {ZAN_ERR_NULL_PTR, [=] { return av(s1, nullptr, 16, 1, 1, 1, 0, {4, 4}); }},
            {ZAN_ERR_STEP, [=] { return av(s1, d, 15, 1, 1, 1, 0, {16, 4}); }},
            {ZAN_ERR_SIZE, [=] { return av(s1, d, 16, 1, 1, 1, 0, {16, 1}); }},
        };
        auto c2 = pick(v, zan::c::zaniBiDirWeightBlock_H264_8u_C2R, zan::avx2::zaniBiDirWeightBlock_H264_8u_C2R);
        static const ZanWeightParams wp{1, {3, 4}, {5, 6}};
        static ZanBidirBlock_8u blk[7];
        blk[0] = {s1, 16, s2, 16, d, 16, {8, 8}};  // valid
        blk[1] = {nullptr, 16, s2, 16, d, 16, {8, 8}};
        blk[2] = {s1, 16, s2, 16, nullptr, 16, {8, 8}};
        blk[3] = {s1, 15, s2, 16, d, 16, {8, 3}};
        blk[4] = {s1, 16, s2, 8, d, 16, {8, 3}};  // the second source's step is checked too
        blk[5] = {s1, 16, s2, 16, d, 8, {8, 3}};
        blk[6] = {s1, 16, s2, 16, d, 16, {8, 3}};
        calls.push_back({ZAN_ERR_NULL_PTR, [=] { return c2(nullptr, &wp, &wp); }});
        calls.push_back({ZAN_ERR_NULL_PTR, [=] { return c2(&blk[0], nullptr, &wp); }});
        calls.push_back({ZAN_ERR_NULL_PTR, [=] { return c2(&blk[0], &wp, nullptr); }});
        calls.push_back({ZAN_ERR_NULL_PTR, [=] { return c2(&blk[1], &wp, &wp); }});
        calls.push_back({ZAN_ERR_NULL_PTR, [=] { return c2(&blk[2], &wp, &wp); }});
        calls.push_back({ZAN_ERR_STEP, [=] { return c2(&blk[3], &wp, &wp); }});
        calls.push_back({ZAN_ERR_STEP, [=] { return c2(&blk[4], &wp, &wp); }});
        calls.push_back({ZAN_ERR_STEP, [=] { return c2(&blk[5], &wp, &wp); }});
        calls.push_back({ZAN_ERR_SIZE, [=] { return c2(&blk[6], &wp, &wp); }});
        return calls;
    });
}

TEST(WeightChecks, HighBitDepth) {
    expect_checks([](bool, Bufs& b) {
        Calls calls;
        uint16_t *w1 = b.w1, *w2 = b.w2, *wd = b.wd;
        const auto uni = zan::c::zaniUnidirWeight_H264_16u_IP2P1R;
        calls.push_back({ZAN_ERR_NULL_PTR, [=] { return uni(nullptr, 0, 0, 1, 0, {0, 0}, 10); }});
        calls.push_back({ZAN_ERR_STEP, [=] { return uni(wd, 15, 0, 1, 0, {16, 3}, 10); }});
        calls.push_back({ZAN_ERR_SIZE, [=] { return uni(wd, 16, 0, 1, 0, {16, 3}, 10); }});
        static ZanBidir_16u blk[8];
        blk[0] = {w1, 8, w2, 8, nullptr, 8, {8, 8}, 10};
        blk[1] = {w1, 7, w2, 8, wd, 8, {8, 3}, 10};  // steps count samples
        blk[2] = {w1, 8, w2, 7, wd, 8, {8, 3}, 10};
        blk[3] = {w1, 8, w2, 8, wd, 7, {8, 3}, 10};
        blk[4] = {w1, 8, w2, 8, wd, 8, {8, 3}, 10};
        blk[5] = {w1, 0, w2, 0, wd, 0, {17, 4}, 10};  // the plain average: no step check, -5 for sizes
        blk[6] = {w1, 0, w2, 0, wd, 0, {4, 1}, 10};
        blk[7] = {nullptr, 0, w2, 0, wd, 0, {4, 4}, 10};
        using Fn = ZanResult (*)(const ZanBidir_16u*);
        const Fn explicit_fn = [](const ZanBidir_16u* p) {
            return zan::c::zaniBidirWeight_H264_16u_P2P1R(p, 0, 1, 0, 1, 0);
        };
        const Fn implicit_fn = [](const ZanBidir_16u* p) {
            return zan::c::zaniBidirWeightImplicit_H264_16u_P2P1R(p, 32, 32);
        };
        for (Fn f : {explicit_fn, implicit_fn}) {
            calls.push_back({ZAN_ERR_NULL_PTR, [=] { return f(nullptr); }});
            calls.push_back({ZAN_ERR_NULL_PTR, [=] { return f(&blk[0]); }});
            calls.push_back({ZAN_ERR_NULL_PTR, [=] { return f(&blk[7]); }});
            calls.push_back({ZAN_ERR_STEP, [=] { return f(&blk[1]); }});
            calls.push_back({ZAN_ERR_STEP, [=] { return f(&blk[2]); }});
            calls.push_back({ZAN_ERR_STEP, [=] { return f(&blk[3]); }});
            calls.push_back({ZAN_ERR_SIZE, [=] { return f(&blk[4]); }});
        }
        calls.push_back({ZAN_ERR_NULL_PTR, [] { return zan::c::zaniBidir_H264_16u_P2P1R(nullptr); }});
        calls.push_back({ZAN_ERR_NULL_PTR, [] { return zan::c::zaniBidir_H264_16u_P2P1R(&blk[0]); }});
        calls.push_back({ZAN_ERR_NULL_PTR, [] { return zan::c::zaniBidir_H264_16u_P2P1R(&blk[7]); }});
        calls.push_back({ZAN_ERR_BAD_ARG, [] { return zan::c::zaniBidir_H264_16u_P2P1R(&blk[5]); }});
        calls.push_back({ZAN_ERR_BAD_ARG, [] { return zan::c::zaniBidir_H264_16u_P2P1R(&blk[6]); }});
        return calls;
    });
}

}  // namespace
