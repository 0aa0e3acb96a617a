// The deblocking filters over whole decoded pictures: intra-only streams
// made by x264, decoded by ffmpeg with the loop filter skipped (our input)
// and applied (the expected output); see deblock_streams.sh. The test derives
// alpha, beta and tC0 from QP as H.264 8.7.2.2 does, with bS 4 on macroblock
// edges inside the picture and 3 on internal edges, and filters macroblock by
// macroblock in raster order, vertical edges before horizontal ones.
#include <string>
#include <vector>

#include "deblock_streams.h"
#include "support/checkasm.h"

namespace {

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
// exists (else 0), 3 inside; alpha/beta/tC0 the same on every edge.
template <class Th>
struct CallArrays {
    Th alpha[4], beta[4], tc0[16];
    uint8_t bs[16];
    CallArrays(const Edge& e, bool neighbour, int externalBytes) {
        for (int i = 0; i < 4; ++i) alpha[i] = Th(e.alpha), beta[i] = Th(e.beta);
        for (int i = 0; i < 16; ++i) tc0[i] = Th(e.tc0), bs[i] = 3;
        for (int i = 0; i < externalBytes; ++i) bs[i] = neighbour ? 4 : 0;
    }
};

enum class Form { C1, Nv12, Nv12Sets };

// Filters a whole picture with the 8-bit functions (portable or AVX2) and
// compares with the expected one.
void run8(const DeblockStream& s, bool avx2, Form form) {
    Picture pic = unpack(s, s.unfiltered);
    const Picture want = unpack(s, s.filtered);
    std::vector<uint8_t> y(pic.plane[0].begin(), pic.plane[0].end());
    const Edge ly = thresholds(s, s.qp), lc = thresholds(s, chroma_qp(s));
    // NV12 keeps Cb and Cr interleaved in one plane.
    const bool nv12 = form != Form::C1;
    std::vector<uint8_t> cb(pic.plane[1].begin(), pic.plane[1].end()), cr(pic.plane[2].begin(), pic.plane[2].end());
    std::vector<uint8_t> uv(size_t(2 * pic.cw * pic.ch));
    for (size_t i = 0; i < cb.size(); ++i) uv[2 * i] = cb[i], uv[2 * i + 1] = cr[i];

#define ZT_PICK(NAME) (avx2 ? zan::avx2::NAME : zan::c::NAME)
    for (int my = 0; my < s.height / 16; ++my)
        for (int mx = 0; mx < s.width / 16; ++mx) {
            uint8_t* py = y.data() + 16 * my * pic.w + 16 * mx;
            const CallArrays<uint8_t> lv(ly, mx > 0, 4), lh(ly, my > 0, 4);
            ASSERT_EQ(ZT_PICK(zaniFilterDeblockingLuma_VerEdge_H264_8u_C1IR)(py, pic.w, lv.alpha, lv.beta, lv.tc0, lv.bs),
                      ZAN_OK);
            ASSERT_EQ(ZT_PICK(zaniFilterDeblockingLuma_HorEdge_H264_8u_C1IR)(py, pic.w, lh.alpha, lh.beta, lh.tc0, lh.bs),
                      ZAN_OK);
            const int cy = (s.chroma422 ? 16 : 8) * my, cx = 8 * mx;
            const CallArrays<uint8_t> cv(lc, mx > 0, 4), ch(lc, my > 0, 4);
            if (nv12) {
                uint8_t* p = uv.data() + cy * 2 * pic.cw + 2 * cx;
                if (form == Form::Nv12) {
                    ASSERT_EQ(ZT_PICK(zaniFilterDeblockingChroma_VerEdge_H264_8u_C2IR)(p, 2 * pic.cw, cv.alpha, cv.beta,
                                                                                       cv.tc0, cv.bs),
                              ZAN_OK);
                    ASSERT_EQ(ZT_PICK(zaniFilterDeblockingChroma_HorEdge_H264_8u_C2IR)(p, 2 * pic.cw, ch.alpha, ch.beta,
                                                                                       ch.tc0, ch.bs),
                              ZAN_OK);
                } else {
                    const ZanFilterDeblock_8u rv{p, 2 * pic.cw, cv.alpha, cv.beta, cv.tc0, cv.bs};
                    const ZanFilterDeblock_8u rh{p, 2 * pic.cw, ch.alpha, ch.beta, ch.tc0, ch.bs};
                    ASSERT_EQ(ZT_PICK(zaniFilterDeblockingChroma_VerEdge_H264_8u_C2I)(&rv), ZAN_OK);
                    ASSERT_EQ(ZT_PICK(zaniFilterDeblockingChroma_HorEdge_H264_8u_C2I)(&rh), ZAN_OK);
                }
                continue;
            }
            for (std::vector<uint8_t>* c : {&cb, &cr}) {
                uint8_t* p = c->data() + cy * pic.cw + cx;
                if (s.chroma422) {
                    const ZanFilterDeblock_8u rv{p, pic.cw, cv.alpha, cv.beta, cv.tc0, cv.bs};
                    const ZanFilterDeblock_8u rh{p, pic.cw, ch.alpha, ch.beta, ch.tc0, ch.bs};
                    ASSERT_EQ(ZT_PICK(zaniFilterDeblockingChroma422VerEdge_H264_8u_C1IR)(&rv), ZAN_OK);
                    ASSERT_EQ(ZT_PICK(zaniFilterDeblockingChroma422HorEdge_H264_8u_C1IR)(&rh), ZAN_OK);
                } else {
                    ASSERT_EQ(ZT_PICK(zaniFilterDeblockingChroma_VerEdge_H264_8u_C1IR)(p, pic.cw, cv.alpha, cv.beta,
                                                                                       cv.tc0, cv.bs),
                              ZAN_OK);
                    ASSERT_EQ(ZT_PICK(zaniFilterDeblockingChroma_HorEdge_H264_8u_C1IR)(p, pic.cw, ch.alpha, ch.beta,
                                                                                       ch.tc0, ch.bs),
                              ZAN_OK);
                }
            }
        }
#undef ZT_PICK
    if (nv12)
        for (size_t i = 0; i < cb.size(); ++i) cb[i] = uv[2 * i], cr[i] = uv[2 * i + 1];
    EXPECT_TRUE(zt::same_region(y.data(), pic.w, std::vector<uint8_t>(want.plane[0].begin(), want.plane[0].end()).data(),
                                pic.w, pic.w, pic.h))
        << "luma";
    for (int c = 1; c < 3; ++c)
        EXPECT_TRUE(zt::same_region((c == 1 ? cb : cr).data(), pic.cw,
                                    std::vector<uint8_t>(want.plane[c].begin(), want.plane[c].end()).data(), pic.cw,
                                    pic.cw, pic.ch))
            << "chroma " << c;
    // The test must see the filter at work.
    EXPECT_NE(std::vector<int>(y.begin(), y.end()), pic.plane[0]);
}

// The same with the 16-bit functions (step in samples).
void run16(const DeblockStream& s) {
    Picture pic = unpack(s, s.unfiltered);
    const Picture want = unpack(s, s.filtered);
    std::vector<uint16_t> planes[3];
    for (int c = 0; c < 3; ++c) planes[c].assign(pic.plane[c].begin(), pic.plane[c].end());
    const Edge ly = thresholds(s, s.qp), lc = thresholds(s, chroma_qp(s));
    for (int my = 0; my < s.height / 16; ++my)
        for (int mx = 0; mx < s.width / 16; ++mx) {
            const CallArrays<uint16_t> lv(ly, mx > 0, 4), lh(ly, my > 0, 4);
            uint16_t* py = planes[0].data() + 16 * my * pic.w + 16 * mx;
            const ZanFilterDeblock_16u rv{py, pic.w, lv.alpha, lv.beta, lv.tc0, lv.bs, s.bitDepth};
            const ZanFilterDeblock_16u rh{py, pic.w, lh.alpha, lh.beta, lh.tc0, lh.bs, s.bitDepth};
            ASSERT_EQ(zaniFilterDeblockingLumaVerEdge_H264_16u_C1IR(&rv), ZAN_OK);
            ASSERT_EQ(zaniFilterDeblockingLumaHorEdge_H264_16u_C1IR(&rh), ZAN_OK);
            const CallArrays<uint16_t> cv(lc, mx > 0, 4), ch(lc, my > 0, 4);
            for (int c = 1; c < 3; ++c) {
                uint16_t* p = planes[c].data() + (s.chroma422 ? 16 : 8) * my * pic.cw + 8 * mx;
                const ZanFilterDeblock_16u v{p, pic.cw, cv.alpha, cv.beta, cv.tc0, cv.bs, s.bitDepth};
                const ZanFilterDeblock_16u h{p, pic.cw, ch.alpha, ch.beta, ch.tc0, ch.bs, s.bitDepth};
                ASSERT_EQ((s.chroma422 ? zaniFilterDeblockingChroma422VerEdge_H264_16u_C1IR
                                       : zaniFilterDeblockingChromaVerEdge_H264_16u_C1IR)(&v),
                          ZAN_OK);
                ASSERT_EQ((s.chroma422 ? zaniFilterDeblockingChroma422HorEdge_H264_16u_C1IR
                                       : zaniFilterDeblockingChromaHorEdge_H264_16u_C1IR)(&h),
                          ZAN_OK);
            }
        }
    for (int c = 0; c < 3; ++c) {
        const std::vector<uint16_t> w(want.plane[c].begin(), want.plane[c].end());
        const int width = c ? pic.cw : pic.w, height = c ? pic.ch : pic.h;
        EXPECT_TRUE(zt::same_region(planes[c].data(), 2 * width, w.data(), 2 * width, width, height)) << "plane " << c;
    }
    EXPECT_NE(std::vector<int>(planes[0].begin(), planes[0].end()), pic.plane[0]);
}

TEST(DeblockStreams, PicturesMatchAnIndependentDecoder) {
    for (const DeblockStream& s : kDeblockStreams) {
        SCOPED_TRACE(s.name);
        if (s.bitDepth > 8) {
            run16(s);
            continue;
        }
        for (bool avx2 : {false, true}) {
            if (avx2 && !zt::have_avx2()) continue;
            SCOPED_TRACE(avx2 ? "avx2" : "c");
            run8(s, avx2, Form::C1);
            if (!s.chroma422) {
                run8(s, avx2, Form::Nv12);
                run8(s, avx2, Form::Nv12Sets);
            }
        }
    }
}

}  // namespace
