// H.264 luma and chroma interpolation, averaging and plane padding: the
// portable and AVX2 forms against each other and against a model written
// from H.264 8.4.2.2 over a sample getter (direct, row-clamped for
// Top/Bottom, coordinate-clamped for Block), worked examples, argument
// checks in order.
#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "support/checkasm.h"

namespace {

// ---------------------------------------------------------------------------
// The model
// ---------------------------------------------------------------------------
using Getter = std::function<int(int, int)>;

int model_luma(const Getter& G, int x, int y, int dx, int dy, int maxVal) {
    auto clip1 = [&](int v) { return std::clamp(v, 0, maxVal); };
    auto b1 = [&](int u, int v) {
        return G(u - 2, v) - 5 * G(u - 1, v) + 20 * G(u, v) + 20 * G(u + 1, v) - 5 * G(u + 2, v) + G(u + 3, v);
    };
    auto h1 = [&](int u, int v) {
        return G(u, v - 2) - 5 * G(u, v - 1) + 20 * G(u, v) + 20 * G(u, v + 1) - 5 * G(u, v + 2) + G(u, v + 3);
    };
    auto b = [&](int u, int v) { return clip1((b1(u, v) + 16) >> 5); };
    auto h = [&](int u, int v) { return clip1((h1(u, v) + 16) >> 5); };
    auto j = [&](int u, int v) {
        const int j1 = h1(u - 2, v) - 5 * h1(u - 1, v) + 20 * h1(u, v) + 20 * h1(u + 1, v) - 5 * h1(u + 2, v) +
                       h1(u + 3, v);
        return clip1((j1 + 512) >> 10);
    };
    auto avg = [](int p, int q) { return (p + q + 1) >> 1; };
    auto m = [&] { return h(x + 1, y); };
    auto s = [&] { return b(x, y + 1); };
    switch (dy * 4 + dx) {
        case 0: return G(x, y);
        case 1: return avg(G(x, y), b(x, y));        // a
        case 2: return b(x, y);                      // b
        case 3: return avg(G(x + 1, y), b(x, y));    // c
        case 4: return avg(G(x, y), h(x, y));        // d
        case 5: return avg(b(x, y), h(x, y));        // e
        case 6: return avg(b(x, y), j(x, y));        // f
        case 7: return avg(b(x, y), m());              // g
        case 8: return h(x, y);                      // h
        case 9: return avg(h(x, y), j(x, y));        // i
        case 10: return j(x, y);                     // j
        case 11: return avg(j(x, y), m());             // k
        case 12: return avg(G(x, y + 1), h(x, y));   // n
        case 13: return avg(h(x, y), s());             // p
        case 14: return avg(j(x, y), s());             // q
        default: return avg(m(), s());                   // r
    }
}

// Neighbours with a zero weight lie outside the documented read area and
// are not read.
int model_chroma(const Getter& G, int x, int y, int dx, int dy) {
    auto term = [&](int weight, int u, int v) { return weight ? weight * G(u, v) : 0; };
    return (term((8 - dx) * (8 - dy), x, y) + term(dx * (8 - dy), x + 1, y) + term((8 - dx) * dy, x, y + 1) +
            term(dx * dy, x + 1, y + 1) + 32) >>
           6;
}

// A picture of T with `margin` samples of memory on every side.
template <class T>
struct Pic {
    int w, h, margin, stride;
    std::vector<T> buf;
    Pic(int w_, int h_, int margin_, int extraStride = 0)
        : w(w_), h(h_), margin(margin_), stride(w_ + 2 * margin_ + extraStride),
          buf(size_t(stride) * (h_ + 2 * margin_)) {}
    T* at(int x, int y) { return buf.data() + ptrdiff_t(y + margin) * stride + x + margin; }
    int get(int x, int y) const { return buf[size_t(y + margin) * stride + x + margin]; }
    int clamped(int x, int y) const { return get(std::clamp(x, 0, w - 1), std::clamp(y, 0, h - 1)); }
    void randomize(zt::Rng& rng, int maxVal, zt::Bias bias = zt::Bias::Uniform) {
        zt::fill(rng, buf.data(), buf.size(), 0, maxVal, bias);
    }
};

// Output region with a surrounding pattern that must survive.
template <class T>
struct Out {
    int w, h, step;  // step in samples
    std::vector<T> buf;
    Out(int w_, int h_, int extra = 7) : w(w_), h(h_), step(w_ + extra), buf(size_t(step) * (h_ + 1), T(0x5A5A)) {}
    T* ptr() { return buf.data(); }
    int get(int x, int y) const { return buf[size_t(y) * step + x]; }
    bool outside_untouched() const {
        for (int y = 0; y <= h; ++y)
            for (int x = 0; x < step; ++x)
                if ((y == h || x >= w) && buf[size_t(y) * step + x] != T(0x5A5A)) return false;
        return true;
    }
};

template <class T>
::testing::AssertionResult matches(const Out<T>& o, const std::function<int(int, int)>& expect) {
    for (int y = 0; y < o.h; ++y)
        for (int x = 0; x < o.w; ++x)
            if (o.get(x, y) != expect(x, y))
                return ::testing::AssertionFailure()
                       << "at (" << x << ", " << y << "): " << o.get(x, y) << ", expected " << expect(x, y);
    if (!o.outside_untouched()) return ::testing::AssertionFailure() << "wrote outside the block";
    return ::testing::AssertionSuccess();
}

struct Variant {
    const char* name;
    bool avx2;
};
// The portable form, and the AVX2 one where the machine runs it.
const std::vector<Variant>& variants() {
    static const std::vector<Variant> v = zt::have_avx2() ? std::vector<Variant>{{"c", false}, {"avx2", true}}
                                                          : std::vector<Variant>{{"c", false}};
    return v;
}
#define FOR_EACH_VARIANT(v) for (const Variant& v : variants())

#define PICK(v, NAME) ((v).avx2 ? zan::avx2::NAME : zan::c::NAME)

const int kLumaWidths[] = {4, 8, 16};
const int kChromaWidths[] = {2, 4, 8};

// ---------------------------------------------------------------------------
// Worked examples (H.264 8.4.2.2)
// ---------------------------------------------------------------------------
// The sample at the block's origin, the same from every variant.
int luma_at(Pic<uint8_t>& pic, int dx, int dy) {
    int result = -1;
    FOR_EACH_VARIANT(v) {
        uint8_t out[16];
        EXPECT_EQ(PICK(v, zaniInterpolateLuma_H264_8u_C1R)(pic.at(0, 0), pic.stride, out, 4, dx, dy, {4, 4}), ZAN_OK);
        if (result >= 0) {
            EXPECT_EQ(out[0], result) << v.name << " (" << dx << ", " << dy << ")";
        }
        result = out[0];
    }
    return result;
}

TEST(H264InterpExamples, CentreRoundsOnceAfterBothPasses) {
    // One sample of 255 on black at the output position.
    Pic<uint8_t> pic(8, 8, 8);
    *pic.at(0, 0) = 255;
    // b1 = 20*255 = 5100, b = (5100 + 16) >> 5 = 159; likewise h.
    EXPECT_EQ(luma_at(pic, 2, 0), 159);
    EXPECT_EQ(luma_at(pic, 0, 2), 159);
    // j1 = 20 * (20*255) = 102000, j = (102000 + 512) >> 10 = 100; rounding
    // h first would give (20*159 + 16) >> 5 = 99.
    EXPECT_EQ(luma_at(pic, 2, 2), 100);
    EXPECT_EQ(luma_at(pic, 0, 0), 255);   // G
    EXPECT_EQ(luma_at(pic, 1, 0), 207);   // a = (255 + 159 + 1) >> 1
    EXPECT_EQ(luma_at(pic, 3, 0), 80);    // c = (H + b + 1) >> 1 with H = 0
    EXPECT_EQ(luma_at(pic, 2, 1), 130);   // f = (159 + 100 + 1) >> 1
    EXPECT_EQ(luma_at(pic, 1, 1), 159);   // e = (159 + 159 + 1) >> 1
    EXPECT_EQ(luma_at(pic, 0, 3), 80);    // n = (M + h + 1) >> 1 with M = 0
}

TEST(H264InterpExamples, QuarterSamplesAverageSaturatedHalves) {
    // Samples (0,0) and (1,0) are 255: b1 = 40*255 = 10200, (10200+16)>>5 =
    // 319 saturates to 255; h1 = 20*255 = 5100 gives h = 159.
    Pic<uint8_t> pic(8, 8, 8);
    *pic.at(0, 0) = *pic.at(1, 0) = 255;
    EXPECT_EQ(luma_at(pic, 2, 0), 255);
    EXPECT_EQ(luma_at(pic, 1, 1), 207);  // e = (255 + 159 + 1) >> 1, not (319 + 159 + 1) >> 1 = 239
    // j1 = 20*5100 + 20*5100 = 204000 -> (204000 + 512) >> 10 = 199.
    EXPECT_EQ(luma_at(pic, 2, 2), 199);
    EXPECT_EQ(luma_at(pic, 2, 1), 227);  // f = (255 + 199 + 1) >> 1
}

TEST(H264InterpExamples, ChromaWeights) {
    // A = 10, B = 20, C = 30, D = 41 at (4, 4): (16*101 + 32) >> 6 = 25,
    // the same as (A + B + C + D + 2) >> 2. A = 100, B = 200, C = 50, D = 0
    // at (3, 5): (15*100 + 9*200 + 25*50 + 15*0 + 32) >> 6 = 71.
    const uint8_t a[9] = {10, 20, 0, 30, 41, 0, 0, 0, 0}, b[9] = {100, 200, 0, 50, 0, 0, 0, 0, 0};
    FOR_EACH_VARIANT(v) {
        uint8_t out[4];
        ASSERT_EQ(PICK(v, zaniInterpolateChroma_H264_8u_C1R)(a, 3, out, 2, 4, 4, {2, 2}), ZAN_OK);
        EXPECT_EQ(out[0], 25) << v.name;
        ASSERT_EQ(PICK(v, zaniInterpolateChroma_H264_8u_C1R)(b, 3, out, 2, 3, 5, {2, 2}), ZAN_OK);
        EXPECT_EQ(out[0], 71) << v.name;
    }
}


// ---------------------------------------------------------------------------
// Plain functions: every position, width and height, random steps and
// alignments; the source holds exactly the documented read area, so an
// over-read shows up under AddressSanitizer.
// ---------------------------------------------------------------------------
struct ExactSource {
    std::vector<uint8_t> buf;
    const uint8_t* origin;
    int step;
    // cols x rows bytes read around the origin, `before` columns/rows before it.
    ExactSource(zt::Rng& rng, int cols, int rows, int beforeX, int beforeY, int elemBytes = 1) {
        step = cols * elemBytes + (rng.coin() ? 0 : rng.range(1, 40));
        const int lead = rng.coin() ? 0 : rng.range(1, 31);
        buf.resize(size_t(lead) + size_t(rows - 1) * step + size_t(cols) * elemBytes);
        zt::fill(rng, buf.data(), buf.size(), 0, 255, kAllBiases(rng));
        origin = buf.data() + lead + ptrdiff_t(beforeY) * step + beforeX * elemBytes;
    }
    static zt::Bias kAllBiases(zt::Rng& rng) { return zt::kAllBiases[rng.range(0, 4)]; }
    int get(int x, int y) const { return origin[ptrdiff_t(y) * step + x]; }
};

TEST(H264InterpLuma, PlainEveryPositionAndSizeAgainstModel) {
    zt::Rng rng;
    for (int w : kLumaWidths)
        for (int h : {4, 8, 16, 12, 36})
            for (int pos = 0; pos < 16; ++pos)
                for (int rep = 0; rep < 2; ++rep) {
                    const int dx = pos & 3, dy = pos >> 2;
                    ExactSource src(rng, w + (dx ? 5 : 0), h + (dy ? 5 : 0), dx ? 2 : 0, dy ? 2 : 0);
                    const Getter G = [&](int x, int y) { return src.get(x, y); };
                    FOR_EACH_VARIANT(v) {
                        Out<uint8_t> o(w, h, rng.range(0, 9));
                        ASSERT_EQ(PICK(v, zaniInterpolateLuma_H264_8u_C1R)(src.origin, src.step, o.ptr(), o.step,
                                                                             dx, dy, {w, h}),
                                  ZAN_OK);
                        ASSERT_TRUE(matches(o, [&](int x, int y) { return model_luma(G, x, y, dx, dy, 255); }))
                            << v.name << " " << w << "x" << h << " position " << pos;
                    }
                }
}

TEST(H264InterpChroma, PlainEveryFractionAndSizeAgainstModel) {
    zt::Rng rng;
    for (int w : kChromaWidths)
        for (int h : {2, 4, 8, 16, 6, 34})
            for (int frac = 0; frac < 64; ++frac) {
                const int dx = frac & 7, dy = frac >> 3;
                ExactSource src(rng, w + (dx ? 1 : 0), h + (dy ? 1 : 0), 0, 0);
                const Getter G = [&](int x, int y) { return src.get(x, y); };
                FOR_EACH_VARIANT(v) {
                    Out<uint8_t> o(w, h, rng.range(0, 9));
                    ASSERT_EQ(PICK(v, zaniInterpolateChroma_H264_8u_C1R)(src.origin, src.step, o.ptr(), o.step, dx,
                                                                           dy, {w, h}),
                              ZAN_OK);
                    ASSERT_TRUE(matches(o, [&](int x, int y) { return model_chroma(G, x, y, dx, dy); }))
                        << v.name << " " << w << "x" << h << " (" << dx << ", " << dy << ")";
                }
            }
}

TEST(H264InterpChroma, Nv12SourceIntoTwoPlanes) {
    zt::Rng rng;
    for (int w : kChromaWidths)
        for (int h : {2, 4, 8, 16, 20})
            for (int rep = 0; rep < 12; ++rep) {
                const int dx = rng.range(0, 7), dy = rng.range(0, 7);
                ExactSource src(rng, 2 * (w + (dx ? 1 : 0)), h + (dy ? 1 : 0), 0, 0);
                FOR_EACH_VARIANT(v) {
                    Out<uint8_t> u(w, h, 3), vv(w, h, 3);
                    vv.step = u.step;
                    ASSERT_EQ(PICK(v, zaniInterpolateChroma_H264_8u_C2P2R)(src.origin, src.step, u.ptr(), vv.ptr(),
                                                                             u.step, dx, dy, {w, h}),
                              ZAN_OK);
                    for (int c = 0; c < 2; ++c) {
                        const Getter G = [&](int x, int y) { return src.get(2 * x + c, y); };
                        ASSERT_TRUE(matches(c ? vv : u, [&](int x, int y) { return model_chroma(G, x, y, dx, dy); }))
                            << v.name << " component " << c;
                    }
                }
            }
}

TEST(H264InterpLuma, AvxMatchesPortableWithNegativeSteps) {
    // Bottom-up source and destination: row y lies at -y*step.
    if (!zt::have_avx2()) GTEST_SKIP() << "no AVX2 here";
    zt::Rng rng;
    for (int i = 0; i < 1500; ++i) {
        const bool luma = i & 1;
        const int w = (luma ? kLumaWidths : kChromaWidths)[rng.range(0, 2)];
        const int h = luma ? 4 * rng.range(1, 6) : 2 * rng.range(1, 12);
        const int dx = rng.range(0, luma ? 3 : 7), dy = rng.range(0, luma ? 3 : 7);
        Pic<uint8_t> pic(w, h, 3, rng.range(0, 33));
        pic.randomize(rng, 255, zt::kAllBiases[rng.range(0, 4)]);
        Out<uint8_t> a(w, h, rng.range(0, 9)), b(w, h, a.step - w);
        const uint8_t* src = pic.at(0, h - 1);
        const auto fn = luma ? zan::c::zaniInterpolateLuma_H264_8u_C1R : zan::c::zaniInterpolateChroma_H264_8u_C1R;
        const auto fv = luma ? zan::avx2::zaniInterpolateLuma_H264_8u_C1R : zan::avx2::zaniInterpolateChroma_H264_8u_C1R;
        uint8_t* lastA = a.ptr() + (h - 1) * a.step;
        uint8_t* lastB = b.ptr() + (h - 1) * b.step;
        ASSERT_EQ(fn(src, -pic.stride, lastA, -a.step, dx, dy, {w, h}), ZAN_OK);
        ASSERT_EQ(fv(src, -pic.stride, lastB, -b.step, dx, dy, {w, h}), ZAN_OK);
        ASSERT_TRUE(zt::same_array(a.buf.data(), b.buf.data(), a.buf.size()))
            << (luma ? "luma " : "chroma ") << w << "x" << h << " (" << dx << ", " << dy << ")";
    }
}

// ---------------------------------------------------------------------------
// 16-bit functions: the model at bit depths up to 14, saturation, and the
// 8-bit results at bit depth 8.
// ---------------------------------------------------------------------------
TEST(H264Interp16, LumaAndChromaAgainstModelAtEveryDepth) {
    zt::Rng rng;
    for (int depth : {8, 9, 10, 12, 14})
        for (int i = 0; i < 160; ++i) {
            const bool luma = i & 1;
            const int sizes[] = {2, 4, 8, 16};
            int w, h;
            do {
                w = sizes[rng.range(luma ? 1 : 0, luma ? 3 : 2)];
                h = sizes[rng.range(luma ? 1 : 0, 3)];
            } while (luma && w + h == 20);
            const int dx = rng.range(0, luma ? 3 : 7), dy = rng.range(0, luma ? 3 : 7);
            Pic<uint16_t> pic(w, h, 3, rng.range(0, 8));
            pic.randomize(rng, (1 << depth) - 1, zt::kAllBiases[rng.range(0, 4)]);
            Out<uint16_t> o(w, h, std::max(rng.range(0, 5), 8 - w));  // chroma steps are at least 8
            const ZanInterpolate_16u p{pic.at(0, 0), pic.stride, o.ptr(), o.step, dx, dy, {w, h}, depth};
            ASSERT_EQ(luma ? zaniInterpolateLuma_H264_16u_C1R(&p) : zaniInterpolateChroma_H264_16u_C1R(&p), ZAN_OK);
            const Getter G = [&](int x, int y) { return pic.get(x, y); };
            ASSERT_TRUE(matches(o, [&](int x, int y) {
                return luma ? model_luma(G, x, y, dx, dy, (1 << depth) - 1) : model_chroma(G, x, y, dx, dy);
            })) << (luma ? "luma " : "chroma ") << w << "x" << h << " depth " << depth;
        }
}

TEST(H264Interp16, Depth10ClipsTo1023) {
    // Two samples of 1023 in a row: b1 = 40*1023 = 40920, (40920 + 16) >> 5
    // = 1279, saturated to 1023.
    Pic<uint16_t> pic(4, 4, 3);
    *pic.at(0, 0) = *pic.at(1, 0) = 1023;
    uint16_t out[16];
    ZanInterpolate_16u p{pic.at(0, 0), pic.stride, out, 4, 2, 0, {4, 4}, 10};
    ASSERT_EQ(zaniInterpolateLuma_H264_16u_C1R(&p), ZAN_OK);
    EXPECT_EQ(out[0], 1023);
    p.bitDepth = 12;
    ASSERT_EQ(zaniInterpolateLuma_H264_16u_C1R(&p), ZAN_OK);
    EXPECT_EQ(out[0], 1279);
    // Depths outside 1..16 take the nearest end instead of an undefined shift.
    p.bitDepth = 99;
    ASSERT_EQ(zaniInterpolateLuma_H264_16u_C1R(&p), ZAN_OK);
    EXPECT_EQ(out[0], 1279);
    p.bitDepth = -3;
    ASSERT_EQ(zaniInterpolateLuma_H264_16u_C1R(&p), ZAN_OK);
    EXPECT_EQ(out[0], 1);
}

TEST(H264Interp16, SameAsEightBitAtDepthEight) {
    zt::Rng rng;
    for (int i = 0; i < 200; ++i) {
        // Sizes both forms take (the 16-bit one refuses 4x16 and 16x4).
        const int w = kLumaWidths[rng.range(0, 2)];
        const int h = w == 8 ? 4 << rng.range(0, 2) : (w == 4 ? 4 : 8) << rng.range(0, 1);
        const int dx = rng.range(0, 3), dy = rng.range(0, 3);
        Pic<uint8_t> p8(w, h, 3);
        p8.randomize(rng, 255, zt::kAllBiases[rng.range(0, 4)]);
        Pic<uint16_t> p16(w, h, 3);
        std::copy(p8.buf.begin(), p8.buf.end(), p16.buf.begin());
        uint8_t o8[256];
        uint16_t o16[256];
        ASSERT_EQ(zaniInterpolateLuma_H264_8u_C1R(p8.at(0, 0), p8.stride, o8, w, dx, dy, {w, h}), ZAN_OK);
        const ZanInterpolate_16u p{p16.at(0, 0), p16.stride, o16, w, dx, dy, {w, h}, 8};
        ASSERT_EQ(zaniInterpolateLuma_H264_16u_C1R(&p), ZAN_OK);
        for (int k = 0; k < w * h; ++k) ASSERT_EQ(o16[k], o8[k]) << k;
    }
}

// ---------------------------------------------------------------------------
// Top and Bottom: rows outside the picture take its first or last row.
// ---------------------------------------------------------------------------
template <class T>
void check_top_bottom(zt::Rng& rng, bool luma, bool top, const Variant& v, int depth) {
    const int* widths = luma ? kLumaWidths : kChromaWidths;
    const int w = widths[rng.range(0, 2)];
    const int h = luma ? 4 * rng.range(1, 5) : 2 * rng.range(1, 9);
    const int dx = rng.range(0, luma ? 3 : 7), dy = rng.range(0, luma ? 3 : 7);
    const int outPixels = rng.range(-h - 6, h + 8);
    const int maxVal = (1 << depth) - 1;
    Pic<T> pic(w, h, 16, rng.range(0, 8));
    pic.randomize(rng, maxVal);
    const int edge = top ? outPixels : h - 1 - outPixels;
    const Getter G = [&](int x, int r) { return pic.get(x, top ? std::max(r, edge) : std::min(r, edge)); };
    Out<T> o(w, h, std::max(rng.range(0, 5), 8 - w));
    ZanResult r;
    if constexpr (sizeof(T) == 1) {
        if (luma)
            r = (top ? PICK(v, zaniInterpolateLumaTop_H264_8u_C1R) : PICK(v, zaniInterpolateLumaBottom_H264_8u_C1R))(
                pic.at(0, 0), pic.stride, o.ptr(), o.step, dx, dy, outPixels, {w, h});
        else
            r = (top ? PICK(v, zaniInterpolateChromaTop_H264_8u_C1R)
                     : PICK(v, zaniInterpolateChromaBottom_H264_8u_C1R))(pic.at(0, 0), pic.stride, o.ptr(), o.step,
                                                                         dx, dy, outPixels, {w, h});
    } else {
        // The 16-bit forms take heights 2 (chroma), 4, 8, 16 only.
        if ((luma && w + h == 20) || h > 16 || (h & (h - 1))) return;
        const ZanInterpolate_16u p{pic.at(0, 0), pic.stride, o.ptr(), o.step, dx, dy, {w, h}, depth};
        if (luma)
            r = top ? zaniInterpolateLumaTop_H264_16u_C1R(&p, outPixels)
                    : zaniInterpolateLumaBottom_H264_16u_C1R(&p, outPixels);
        else
            r = top ? zaniInterpolateChromaTop_H264_16u_C1R(&p, outPixels)
                    : zaniInterpolateChromaBottom_H264_16u_C1R(&p, outPixels);
    }
    ASSERT_EQ(r, ZAN_OK);
    ASSERT_TRUE(matches(o, [&](int x, int y) {
        return luma ? model_luma(G, x, y, dx, dy, maxVal) : model_chroma(G, x, y, dx, dy);
    })) << v.name << (luma ? " luma " : " chroma ") << (top ? "top " : "bottom ") << w << "x" << h << " (" << dx
        << ", " << dy << ") outPixels " << outPixels;
}

TEST(H264InterpEdges, TopAndBottomAgainstRowClampedModel) {
    zt::Rng rng;
    for (int i = 0; i < 600; ++i)
        FOR_EACH_VARIANT(v) {
            check_top_bottom<uint8_t>(rng, i & 1, i & 2, v, 8);
            if (!v.avx2) check_top_bottom<uint16_t>(rng, i & 1, i & 2, v, 8 + i % 7);
        }
}

TEST(H264InterpEdges, FarAboveThePictureEveryRowIsTheSame) {
    Pic<uint8_t> pic(16, 16, 24);
    zt::Rng rng;
    pic.randomize(rng, 255);
    FOR_EACH_VARIANT(v) {
        Out<uint8_t> o(16, 16);
        ASSERT_EQ(PICK(v, zaniInterpolateLumaTop_H264_8u_C1R)(pic.at(0, 0), pic.stride, o.ptr(), o.step, 1, 3, 19,
                                                                {16, 16}),
                  ZAN_OK);
        for (int y = 1; y < 16; ++y)
            for (int x = 0; x < 16; ++x) ASSERT_EQ(o.get(x, y), o.get(x, 0)) << v.name;
    }
}

// ---------------------------------------------------------------------------
// Block functions: blocks inside, partly and wholly outside the picture on
// every side and corner, against the model over clamped coordinates.
// ---------------------------------------------------------------------------
// Block positions along one axis: far before, straddling, inside, at the
// far edge, straddling it, far beyond.
std::vector<int> positions(int frame, int block) {
    return {-block - 20, -block - 1, -3, 0, frame / 2 - block / 2, frame - block, frame - 2, frame + 5};
}

// A vector (quarter or eighth samples) with a random fraction, or zero, or
// a whole-sample move.
ZanPoint random_vector(zt::Rng& rng, int fracBits) {
    const int k = rng.range(0, 9);
    if (k == 0) return {0, 0};
    const int scale = 1 << fracBits;
    if (k == 1) return {rng.range(-4, 4) * scale, rng.range(-4, 4) * scale};
    return {rng.range(-12 * scale, 12 * scale), rng.range(-12 * scale, 12 * scale)};
}

constexpr int kBlockMargin = 64;  // memory around the frame for zero-vector copies

template <class T>
void check_luma_block(zt::Rng& rng, const Variant& v, int px, int py, int w, int h, int fw, int fh) {
    const int depth = sizeof(T) == 1 ? 8 : rng.range(8, 14);
    Pic<T> pic(fw, fh, kBlockMargin, rng.range(0, 8));
    pic.randomize(rng, (1 << depth) - 1, zt::kAllBiases[rng.range(0, 4)]);
    const ZanPoint mv = random_vector(rng, 2);
    Out<T> o(w, h, rng.range(0, 5));
    const int bx = px + (mv.x >> 2), by = py + (mv.y >> 2), dx = mv.x & 3, dy = mv.y & 3;
    const Getter clamped = [&](int x, int y) { return pic.clamped(bx + x, by + y); };
    ZanResult r;
    if constexpr (sizeof(T) == 1) {
        const ZanInterpolateBlock_8u p{{pic.at(0, 0), nullptr}, pic.stride, {o.ptr(), nullptr}, o.step, {fw, fh},
                                       {w, h}, {px, py}, mv};
        r = PICK(v, zaniInterpolateLumaBlock_H264_8u_P1R)(&p);
    } else {
        const ZanInterpolateBlock_16u p{{pic.at(0, 0), nullptr}, pic.stride, {o.ptr(), nullptr}, o.step, {fw, fh},
                                        {w, h}, {px, py}, mv, depth};
        r = zaniInterpolateLumaBlock_H264_16u_P1R(&p);
    }
    ASSERT_EQ(r, ZAN_OK);
    ASSERT_TRUE(matches(o, [&](int x, int y) {
        // A zero vector copies without clamping.
        if (mv.x == 0 && mv.y == 0) return pic.get(px + x, py + y);
        return model_luma(clamped, x, y, dx, dy, (1 << depth) - 1);
    })) << v.name << " " << w << "x" << h << " at (" << px << ", " << py << ") mv (" << mv.x << ", " << mv.y
        << ") frame " << fw << "x" << fh;
}

TEST(H264InterpBlock, LumaEverySideAndCorner) {
    zt::Rng rng;
    for (int rep = 0; rep < 3; ++rep)
        for (int w : kLumaWidths) {
            const int h = rep == 2 ? 4 * rng.range(5, 9) : 4 << rng.range(0, 2);  // 20..36 rows run in strips
            const int fw = rng.range(w, 40), fh = rng.range(8, 40);
            for (int px : positions(fw, w))
                for (int py : positions(fh, h)) FOR_EACH_VARIANT(v) {
                        check_luma_block<uint8_t>(rng, v, px, py, w, h, fw, fh);
                        if (!v.avx2) check_luma_block<uint16_t>(rng, v, px, py, w, h, fw, fh);
                    }
        }
}

TEST(H264InterpBlock, LumaOnePastTheRightEdgeAndTinyFrames) {
    zt::Rng rng;
    FOR_EACH_VARIANT(v) {
        // Needed area ends at the frame edge, and one sample beyond it.
        for (int fw : {21, 20, 1, 2, 5})
            for (int fh : {1, 3, 21}) check_luma_block<uint8_t>(rng, v, 0, 0, 16, 16, fw, fh);
    }
}

enum class ChromaLayout { Planar, Nv12ToPlanar, Nv12ToNv12 };

void check_chroma_block(zt::Rng& rng, const Variant& v, ChromaLayout layout, int px, int py, int w, int h, int fw,
                        int fh) {
    const bool nv12 = layout != ChromaLayout::Planar;
    const int comps = nv12 ? 2 : 1;
    Pic<uint8_t> a(comps * fw, fh, kBlockMargin * comps, 3), b(fw, fh, kBlockMargin, 3);
    b.stride = a.stride;  // one step for both planes
    b.buf.resize(a.buf.size());
    a.randomize(rng, 255);
    b.randomize(rng, 255);
    const ZanPoint mv = random_vector(rng, 3);
    const int bx = px + (mv.x >> 3), by = py + (mv.y >> 3), dx = mv.x & 7, dy = mv.y & 7;
    // Component c of the reference at picture coordinates.
    auto sample = [&](int c, int x, int y, bool clamp) {
        if (clamp) x = std::clamp(x, 0, fw - 1), y = std::clamp(y, 0, fh - 1);
        if (nv12) return int(a.buf[size_t(y + a.margin) * a.stride + a.margin + 2 * x + c]);
        const Pic<uint8_t>& p = c ? b : a;
        return int(p.buf[size_t(y + p.margin) * p.stride + p.margin + x]);
    };
    const int outW = layout == ChromaLayout::Nv12ToNv12 ? 2 * w : w;
    Out<uint8_t> o0(outW, h, 3), o1(w, h, 3 + outW - w);
    ZanInterpolateBlock_8u p{{a.at(0, 0), b.at(0, 0)}, a.stride, {o0.ptr(), o1.ptr()}, o0.step, {fw, fh},
                             {w, h}, {px, py}, mv};
    ZanResult r;
    switch (layout) {
        case ChromaLayout::Planar: r = PICK(v, zaniInterpolateChromaBlock_H264_8u_P2R)(&p); break;
        case ChromaLayout::Nv12ToPlanar: r = PICK(v, zaniInterpolateChromaBlock_H264_8u_C2P2R)(&p); break;
        default: p.pDst[1] = nullptr; r = PICK(v, zaniInterpolateChromaBlock_H264_8u_C2C2R)(&p); break;
    }
    ASSERT_EQ(r, ZAN_OK);
    auto expect = [&](int c, int x, int y) {
        if (mv.x == 0 && mv.y == 0) return sample(c, px + x, py + y, false);
        const Getter G = [&](int u, int t) { return sample(c, bx + u, by + t, true); };
        return model_chroma(G, x, y, dx, dy);
    };
    const std::string where = std::string(v.name) + " layout " + std::to_string(int(layout)) + " " +
                              std::to_string(w) + "x" + std::to_string(h) + " at (" + std::to_string(px) + ", " +
                              std::to_string(py) + ") mv (" + std::to_string(mv.x) + ", " + std::to_string(mv.y) + ")";
    if (layout == ChromaLayout::Nv12ToNv12) {
        ASSERT_TRUE(matches(o0, [&](int x, int y) { return expect(x & 1, x >> 1, y); })) << where;
    } else {
        ASSERT_TRUE(matches(o0, [&](int x, int y) { return expect(0, x, y); })) << where;
        ASSERT_TRUE(matches(o1, [&](int x, int y) { return expect(1, x, y); })) << where;
    }
}

TEST(H264InterpBlock, ChromaEveryLayoutSideAndCorner) {
    zt::Rng rng;
    for (ChromaLayout layout : {ChromaLayout::Planar, ChromaLayout::Nv12ToPlanar, ChromaLayout::Nv12ToNv12})
        for (int rep = 0; rep < 2; ++rep)
            for (int w : kChromaWidths) {
                const int h = rep ? 2 * rng.range(9, 12) : 2 << rng.range(0, 3);
                const int fw = rng.range(2, 24), fh = rng.range(2, 24);
                for (int px : positions(fw, w))
                    for (int py : positions(fh, h))
                        FOR_EACH_VARIANT(v) { check_chroma_block(rng, v, layout, px, py, w, h, fw, fh); }
            }
}

TEST(H264InterpBlock, Chroma16AgainstModel) {
    zt::Rng rng;
    for (int i = 0; i < 300; ++i) {
        const int w = kChromaWidths[rng.range(0, 2)], h = 2 * rng.range(1, 10);
        const int fw = rng.range(1, 20), fh = rng.range(1, 20);
        const int px = rng.range(-w - 12, fw + 10), py = rng.range(-h - 12, fh + 10);
        Pic<uint16_t> cb(fw, fh, kBlockMargin), cr(fw, fh, kBlockMargin);
        cb.randomize(rng, 16383);
        cr.randomize(rng, 16383);
        const ZanPoint mv = random_vector(rng, 3);
        Out<uint16_t> o0(w, h, 2), o1(w, h, 2);
        const ZanInterpolateBlock_16u p{{cb.at(0, 0), cr.at(0, 0)}, cb.stride, {o0.ptr(), o1.ptr()}, o0.step,
                                        {fw, fh}, {w, h}, {px, py}, mv, 14};
        ASSERT_EQ(zaniInterpolateChromaBlock_H264_16u_P2R(&p), ZAN_OK);
        for (int c = 0; c < 2; ++c) {
            const Pic<uint16_t>& pic = c ? cr : cb;
            const Getter G = [&](int x, int y) { return pic.clamped(px + (mv.x >> 3) + x, py + (mv.y >> 3) + y); };
            ASSERT_TRUE(matches(c ? o1 : o0, [&](int x, int y) {
                if (mv.x == 0 && mv.y == 0) return pic.get(px + x, py + y);
                return model_chroma(G, x, y, mv.x & 7, mv.y & 7);
            })) << i;
        }
    }
}

// ---------------------------------------------------------------------------
// Averaging and plane padding
// ---------------------------------------------------------------------------
TEST(H264InterpAverage, EverySizeAndInPlace) {
    zt::Rng rng;
    for (int w = 2; w <= 16; ++w)
        for (int h = 2; h <= 16; h += 1 + (w & 1))
            FOR_EACH_VARIANT(v) {
                const int s1 = w + rng.range(0, 9), s2 = w + rng.range(0, 9), sd = w + rng.range(0, 9);
                std::vector<uint8_t> a(size_t(s1) * h), b(size_t(s2) * h), c(size_t(s1) * h);
                zt::fill(rng, a.data(), a.size(), 0, 255);
                zt::fill(rng, b.data(), b.size(), 0, 255);
                Out<uint8_t> o(w, h, sd - w);
                ASSERT_EQ(PICK(v, zaniInterpolateBlock_H264_8u_P3P1R)(a.data(), b.data(), o.ptr(), w, h, s1, s2,
                                                                        sd),
                          ZAN_OK);
                auto expect = [&](int x, int y) { return (a[size_t(y) * s1 + x] + b[size_t(y) * s2 + x] + 1) >> 1; };
                ASSERT_TRUE(matches(o, expect)) << v.name << " " << w << "x" << h;
                // One step for all three, written over the first source.
                std::vector<uint8_t> b1(size_t(s1) * h);
                zt::fill(rng, b1.data(), b1.size(), 0, 255);
                c = a;
                ASSERT_EQ(PICK(v, zaniInterpolateBlock_H264_8u_P2P1R)(c.data(), b1.data(), c.data(), w, h, s1),
                          ZAN_OK);
                for (size_t k = 0; k < c.size(); ++k)
                    ASSERT_EQ(c[k], int(k % s1) < w ? (a[k] + b1[k] + 1) >> 1 : a[k]) << v.name << " in place " << k;
            }
}

// Every sample of rows -pels .. fh+pels-1 and columns -pels .. fw+pels-1 of
// the picture (or of its field) equals the clamped picture sample; all other
// memory is untouched.
void check_expand(zt::Rng& rng, int fw, int fh, int pels, int mode) {
    Pic<uint8_t> pic(fw, fh, pels + 3, rng.range(0, 9));
    pic.randomize(rng, 255);
    const Pic<uint8_t> before = pic;
    ASSERT_EQ(zaniExpandPlane_H264_8u_C1R(pic.at(0, 0), fw, fh, pic.stride, pels, mode), ZAN_OK);
    for (int y = -pic.margin; y < fh + pic.margin; ++y)
        for (int x = -pic.margin; x < fw + pic.margin; ++x) {
            const bool inRange = y >= -pels && y < fh + pels && x >= -pels && x < fw + pels;
            const int parity = mode == 2 ? 1 : 0;
            const bool fieldRow = mode == 0 || ((y % 2 + 2) % 2) == parity;
            int expect = before.get(x, y);
            if (inRange && fieldRow) {
                const int cy = mode == 0 ? std::clamp(y, 0, fh - 1)
                                         : 2 * std::clamp((y - parity) / 2 - ((y - parity) < 0 && (y - parity) % 2),
                                                          0, fh / 2 - 1) + parity;
                expect = before.get(std::clamp(x, 0, fw - 1), cy);
            }
            ASSERT_EQ(pic.get(x, y), expect) << "(" << x << ", " << y << ") mode " << mode << " pels " << pels
                                             << " frame " << fw << "x" << fh;
        }
}

TEST(H264ExpandPlane, FrameAndBothFieldsAgainstClampModel) {
    zt::Rng rng;
    for (int mode = 0; mode < 3; ++mode)
        for (int pels : {1, 2, 3, 7, 16, 32})
            for (int rep = 0; rep < 3; ++rep) check_expand(rng, rng.range(1, 40), 2 * rng.range(1, 20), pels, mode);
}

// ---------------------------------------------------------------------------
// Argument checks: order, and nothing written on failure
// ---------------------------------------------------------------------------
TEST(H264InterpChecks, PlainEightBitOrderAndUnsupportedSizes) {
    uint8_t src[64 * 64] = {}, dst[32 * 32];
    const uint8_t* s = src + 2 * 64 + 2;
    FOR_EACH_VARIANT(v) {
        zt::Sentinel guard(dst, sizeof dst);
        auto luma = PICK(v, zaniInterpolateLuma_H264_8u_C1R);
        EXPECT_EQ(luma(nullptr, 64, dst, 32, 9, 0, {0, 0}), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(luma(s, 64, nullptr, 32, 0, 0, {4, 4}), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(luma(s, 64, dst, 32, 4, 0, {3, 4}), ZAN_ERR_BAD_ARG);  // fraction before size
        EXPECT_EQ(luma(s, 64, dst, 32, 0, -1, {4, 4}), ZAN_ERR_BAD_ARG);
        for (ZanSize bad : {ZanSize{0, 4}, ZanSize{12, 4}, ZanSize{20, 4}, ZanSize{24, 8}, ZanSize{28, 16},
                            ZanSize{32, 4}, ZanSize{2, 4}, ZanSize{4, 0}, ZanSize{4, -4}, ZanSize{8, 6}})
            EXPECT_EQ(luma(s, 64, dst, 32, 1, 1, bad), ZAN_ERR_SIZE) << bad.width << "x" << bad.height;
        EXPECT_EQ(PICK(v, zaniInterpolateLumaTop_H264_8u_C1R)(s, 64, dst, 32, 1, 4, 2, {4, 4}), ZAN_ERR_BAD_ARG);
        EXPECT_EQ(PICK(v, zaniInterpolateLumaBottom_H264_8u_C1R)(s, 64, dst, 32, 1, 1, 2, {12, 4}), ZAN_ERR_SIZE);
        auto chroma = PICK(v, zaniInterpolateChroma_H264_8u_C1R);
        EXPECT_EQ(chroma(s, 64, nullptr, 32, 8, 0, {2, 2}), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(chroma(s, 64, dst, 32, 8, 0, {3, 2}), ZAN_ERR_BAD_ARG);
        for (ZanSize bad : {ZanSize{0, 2}, ZanSize{6, 2}, ZanSize{14, 2}, ZanSize{16, 2}, ZanSize{2, 0},
                            ZanSize{2, 3}, ZanSize{4, -2}})
            EXPECT_EQ(chroma(s, 64, dst, 32, 1, 1, bad), ZAN_ERR_SIZE) << bad.width << "x" << bad.height;
        EXPECT_EQ(PICK(v, zaniInterpolateChromaTop_H264_8u_C1R)(s, 64, dst, 32, 0, 8, 0, {2, 2}), ZAN_ERR_BAD_ARG);
        EXPECT_EQ(PICK(v, zaniInterpolateChromaBottom_H264_8u_C1R)(nullptr, 64, dst, 32, 0, 8, 0, {2, 2}),
                  ZAN_ERR_NULL_PTR);
        auto nv12 = PICK(v, zaniInterpolateChroma_H264_8u_C2P2R);
        EXPECT_EQ(nv12(s, 64, dst, nullptr, 32, 9, 0, {2, 2}), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(nv12(s, 64, dst, dst + 16, 32, 9, 0, {1, 2}), ZAN_ERR_BAD_ARG);
        EXPECT_EQ(nv12(s, 64, dst, dst + 16, 32, 1, 0, {12, 2}), ZAN_ERR_SIZE);
        auto avg2 = PICK(v, zaniInterpolateBlock_H264_8u_P2P1R);
        EXPECT_EQ(avg2(src, nullptr, dst, 1, 4, 32), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(avg2(src, src, dst, 1, 4, 32), ZAN_ERR_SIZE);
        EXPECT_EQ(avg2(src, src, dst, 17, 4, 32), ZAN_ERR_SIZE);
        EXPECT_EQ(PICK(v, zaniInterpolateBlock_H264_8u_P3P1R)(src, src, dst, 4, 17, 8, 8, 32), ZAN_ERR_SIZE);
        EXPECT_TRUE(guard.untouched()) << v.name;
    }
}

TEST(H264InterpChecks, SixteenBitStepsBeforeFractionsBeforeSizes) {
    uint16_t src[32 * 32] = {}, dst[32 * 32];
    zt::Sentinel guard(dst, sizeof dst);
    ZanInterpolate_16u p{src + 2 * 32 + 2, 32, dst, 32, 0, 0, {16, 4}, 10};
    EXPECT_EQ(zaniInterpolateLuma_H264_16u_C1R(nullptr), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniInterpolateLuma_H264_16u_C1R(&p), ZAN_ERR_SIZE);  // 16x4
    p.roiSize = {4, 16};
    EXPECT_EQ(zaniInterpolateLumaTop_H264_16u_C1R(&p, 0), ZAN_ERR_SIZE);
    p.dx = 4;
    EXPECT_EQ(zaniInterpolateLumaBottom_H264_16u_C1R(&p, 0), ZAN_ERR_BAD_ARG);
    p.dstStep = 3;
    EXPECT_EQ(zaniInterpolateLuma_H264_16u_C1R(&p), ZAN_ERR_STEP);
    p.pDst = nullptr;
    EXPECT_EQ(zaniInterpolateLuma_H264_16u_C1R(&p), ZAN_ERR_NULL_PTR);
    ZanInterpolate_16u c{src, 8, dst, 7, 8, 0, {3, 3}, 10};
    EXPECT_EQ(zaniInterpolateChroma_H264_16u_C1R(&c), ZAN_ERR_STEP);  // chroma steps below 8
    c.dstStep = 8;
    EXPECT_EQ(zaniInterpolateChromaTop_H264_16u_C1R(&c, 1), ZAN_ERR_BAD_ARG);
    c.dx = 7;
    EXPECT_EQ(zaniInterpolateChromaBottom_H264_16u_C1R(&c, 1), ZAN_ERR_SIZE);
    c.roiSize = {2, 32};
    EXPECT_EQ(zaniInterpolateChroma_H264_16u_C1R(&c), ZAN_ERR_SIZE);
    EXPECT_TRUE(guard.untouched());
}

TEST(H264InterpChecks, BlockRecordsAndFrameSize) {
    uint8_t src[64 * 64] = {}, dst[32 * 32], dst2[32 * 32];
    FOR_EACH_VARIANT(v) {
        zt::Sentinel g1(dst, sizeof dst), g2(dst2, sizeof dst2);
        auto luma = PICK(v, zaniInterpolateLumaBlock_H264_8u_P1R);
        ZanInterpolateBlock_8u p{{src, nullptr}, 64, {dst, nullptr}, 32, {64, 64}, {12, 4}, {8, 8}, {1, 1}};
        EXPECT_EQ(luma(nullptr), ZAN_ERR_NULL_PTR);
        EXPECT_EQ(luma(&p), ZAN_ERR_SIZE);  // width 12
        p.sizeBlock = {16, 0};
        EXPECT_EQ(luma(&p), ZAN_ERR_SIZE);
        p.sizeBlock = {16, 16};
        p.sizeFrame = {0, 64};
        EXPECT_EQ(luma(&p), ZAN_ERR_SIZE);  // an empty frame with a moving vector
        p.pDst[0] = nullptr;
        EXPECT_EQ(luma(&p), ZAN_ERR_NULL_PTR);
        p.pDst[0] = dst;
        p.pSrc[0] = nullptr;
        EXPECT_EQ(luma(&p), ZAN_ERR_NULL_PTR);
        p.pSrc[0] = src;
        ZanInterpolateBlock_8u c{{src, nullptr}, 64, {dst, dst2}, 32, {32, 32}, {4, 4}, {2, 2}, {3, 3}};
        EXPECT_EQ(PICK(v, zaniInterpolateChromaBlock_H264_8u_P2R)(&c), ZAN_ERR_NULL_PTR);  // pSrc[1]
        c.pDst[1] = nullptr;
        EXPECT_EQ(PICK(v, zaniInterpolateChromaBlock_H264_8u_C2P2R)(&c), ZAN_ERR_NULL_PTR);
        c.sizeBlock = {4, 3};
        EXPECT_EQ(PICK(v, zaniInterpolateChromaBlock_H264_8u_C2C2R)(&c), ZAN_ERR_SIZE);
        EXPECT_TRUE(g2.untouched()) << v.name;
        // A zero vector needs no frame: the block is copied as it stands.
        p.sizeFrame = {0, 0};
        p.pointVector = {0, 0};
        EXPECT_EQ(luma(&p), ZAN_OK);
    }
    uint16_t s16[32 * 32] = {}, d16[16 * 16];
    zt::Sentinel g16(d16, sizeof d16);
    ZanInterpolateBlock_16u q{{s16, s16}, 32, {d16, nullptr}, 16, {32, 32}, {8, 6}, {0, 0}, {1, 0}, 10};
    EXPECT_EQ(zaniInterpolateLumaBlock_H264_16u_P1R(&q), ZAN_ERR_SIZE);
    EXPECT_EQ(zaniInterpolateChromaBlock_H264_16u_P2R(&q), ZAN_ERR_NULL_PTR);
    EXPECT_TRUE(g16.untouched());
}

TEST(H264InterpChecks, ExpandPlaneOrder) {
    std::vector<uint8_t> plane(64 * 64, 7);
    zt::Sentinel guard(plane.data(), plane.size());
    uint8_t* p = plane.data() + 8 * 64 + 8;
    EXPECT_EQ(zaniExpandPlane_H264_8u_C1R(nullptr, 16, 16, 64, 4, 0), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zaniExpandPlane_H264_8u_C1R(p, 16, 15, 64, 4, 0), ZAN_ERR_SIZE);
    EXPECT_EQ(zaniExpandPlane_H264_8u_C1R(p, 16, 0, 64, 4, 0), ZAN_ERR_SIZE);
    EXPECT_EQ(zaniExpandPlane_H264_8u_C1R(p, 0, 16, 64, 4, 9), ZAN_ERR_SIZE);
    EXPECT_EQ(zaniExpandPlane_H264_8u_C1R(p, -3, 16, 64, 4, 0), ZAN_ERR_SIZE);
    EXPECT_EQ(zaniExpandPlane_H264_8u_C1R(p, 16, 16, 64, -1, 0), ZAN_ERR_SIZE);
    EXPECT_EQ(zaniExpandPlane_H264_8u_C1R(p, 16, 16, 64, 0, 3), ZAN_OK);  // pels 0: nothing to do
    EXPECT_EQ(zaniExpandPlane_H264_8u_C1R(p, 16, 16, 64, 2, 3), ZAN_ERR_BAD_ARG);
    EXPECT_TRUE(guard.untouched());
}

}  // namespace
