// Weighted prediction on a real stream: x264 codes a fading picture with
// explicit weighted P prediction, an independent decoder (ffmpeg) decodes it,
// and the library's one-direction weighting of each decoded reference
// macroblock must reproduce the decoder's P macroblocks that carry no
// residual. The weights come from the stream's own slice headers. Skipped
// when x264 or ffmpeg is not installed.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/checkasm.h"

namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------
// Just enough of the H.264 syntax to reach pred_weight_table (7.3.3.2)
// ---------------------------------------------------------------------------
class Bits {
public:
    explicit Bits(std::vector<uint8_t> rbsp) : b_(std::move(rbsp)) {}
    uint32_t u(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i, ++pos_)
            v = (v << 1) | (pos_ / 8 < b_.size() ? (b_[pos_ / 8] >> (7 - pos_ % 8)) & 1 : 0);
        return v;
    }
    uint32_t ue() {
        int zeros = 0;
        while (u(1) == 0 && zeros < 32) ++zeros;
        return (uint32_t(1) << zeros) - 1 + u(zeros);
    }
    int32_t se() {
        const uint32_t k = ue();
        return k & 1 ? int32_t((k + 1) / 2) : -int32_t(k / 2);
    }

private:
    std::vector<uint8_t> b_;
    size_t pos_ = 0;
};

struct Nal {
    int type, refIdc;
    std::vector<uint8_t> rbsp;  // without the header byte and emulation prevention bytes
};

std::vector<Nal> nal_units(const std::vector<uint8_t>& s) {
    std::vector<Nal> out;
    size_t i = 0;
    const auto start_code = [&](size_t at) {
        return at + 3 <= s.size() && s[at] == 0 && s[at + 1] == 0 && s[at + 2] == 1;
    };
    while (i < s.size() && !start_code(i)) ++i;
    while (i < s.size()) {
        i += 3;
        size_t end = i;
        while (end < s.size() && !start_code(end)) ++end;
        Nal n{s[i] & 31, (s[i] >> 5) & 3, {}};
        for (size_t k = i + 1, zeros = 0; k < end; ++k) {
            if (zeros >= 2 && s[k] == 3) {
                zeros = 0;
                continue;
            }
            zeros = s[k] == 0 ? zeros + 1 : 0;
            n.rbsp.push_back(s[k]);
        }
        while (!n.rbsp.empty() && n.rbsp.back() == 0) n.rbsp.pop_back();  // the next start code's zero
        out.push_back(std::move(n));
        i = end;
    }
    return out;
}

struct Sps {
    uint32_t log2MaxFrameNum = 4, pocType = 0, log2MaxPocLsb = 4;
    bool frameMbsOnly = true;
};
struct Pps {
    bool bottomFieldPocPresent = false, weightedPred = false, redundantPicCnt = false;
    uint32_t numRefIdxL0 = 1, weightedBipredIdc = 0;
};
struct Weights {
    uint32_t lumaDenom = 0, chromaDenom = 0;
    int32_t lw = 1, lo = 0, cw[2] = {1, 1}, co[2] = {0, 0};
};

// Main profile only: no chroma_format_idc or scaling lists in the SPS.
Sps parse_sps(Bits b) {
    Sps s;
    const uint32_t profile = b.u(8);
    b.u(16);
    b.ue();
    EXPECT_EQ(profile, 77u) << "the stream is meant to be Main profile";
    s.log2MaxFrameNum = b.ue() + 4;
    s.pocType = b.ue();
    if (s.pocType == 0) s.log2MaxPocLsb = b.ue() + 4;
    EXPECT_NE(s.pocType, 1u) << "POC type 1 is not parsed here";
    b.ue();
    b.u(1);
    b.ue();
    b.ue();
    s.frameMbsOnly = b.u(1);
    return s;
}

Pps parse_pps(Bits b) {
    Pps p;
    b.ue();
    b.ue();
    b.u(1);
    p.bottomFieldPocPresent = b.u(1);
    EXPECT_EQ(b.ue(), 0u) << "slice groups";
    p.numRefIdxL0 = b.ue() + 1;
    b.ue();
    p.weightedPred = b.u(1);
    p.weightedBipredIdc = b.u(2);
    b.se();
    b.se();
    b.se();
    b.u(1);
    b.u(1);
    p.redundantPicCnt = b.u(1);
    return p;
}

// The slice header of a P slice up to its weight table; false for other slices.
bool parse_p_slice(Bits b, const Sps& s, const Pps& p, Weights& w) {
    b.ue();                                    // first_mb_in_slice
    if (b.ue() % 5 != 0) return false;         // slice_type: P is 0 or 5
    b.ue();                                    // pic_parameter_set_id
    b.u(int(s.log2MaxFrameNum));               // frame_num
    if (!s.frameMbsOnly && b.u(1)) b.u(1);     // field_pic_flag, bottom_field_flag
    if (s.pocType == 0) {
        b.u(int(s.log2MaxPocLsb));
        if (p.bottomFieldPocPresent) b.se();
    }
    if (p.redundantPicCnt) b.ue();
    uint32_t refs = p.numRefIdxL0;
    if (b.u(1)) refs = b.ue() + 1;             // num_ref_idx_active_override_flag
    if (b.u(1))                                // ref_pic_list_modification_flag_l0
        for (uint32_t idc = b.ue(); idc != 3; idc = b.ue()) b.ue();
    if (!p.weightedPred) return false;
    w.lumaDenom = b.ue();
    w.chromaDenom = b.ue();
    w.lw = 1 << w.lumaDenom;
    w.cw[0] = w.cw[1] = 1 << w.chromaDenom;
    if (b.u(1)) w.lw = b.se(), w.lo = b.se();  // entries of reference 0; others are not used here
    if (b.u(1))
        for (int c = 0; c < 2; ++c) w.cw[c] = b.se(), w.co[c] = b.se();
    (void)refs;
    return true;
}

// ---------------------------------------------------------------------------
// The stream
// ---------------------------------------------------------------------------
constexpr int kW = 128, kH = 96, kFrames = 7;
constexpr size_t kFrameBytes = kW * kH * 3 / 2;

// A textured picture that fades towards grey, frame by frame.
std::vector<uint8_t> fading_picture() {
    std::vector<uint8_t> yuv;
    zt::Rng rng(7);
    std::vector<int> noise(kW * kH);
    for (int& n : noise) n = rng.range(-20, 20);
    for (int f = 0; f < kFrames; ++f) {
        const double s = 1.0 - 0.08 * f;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const double v = 128 + 60 * std::sin(x / 7.0) * std::cos(y / 5.0) + noise[size_t(y * kW + x)];
                yuv.push_back(uint8_t(zan::clip3(0, 255, int(v * s + 6 * f))));
            }
        for (int c = 0; c < 2; ++c)
            for (int y = 0; y < kH / 2; ++y)
                for (int x = 0; x < kW / 2; ++x) {
                    const double v = 40 * (c ? std::cos((x - y) / 5.0) : std::sin((x + y) / 6.0));
                    yuv.push_back(uint8_t(zan::clip3(0, 255, int(128 + v * s))));
                }
    }
    return yuv;
}

std::vector<uint8_t> read_file(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

bool have_tools() {
    return std::system("command -v x264 >/dev/null 2>&1 && command -v ffmpeg >/dev/null 2>&1") == 0;
}

// Codes the fading picture with x264 and `options`, and decodes the stream
// with ffmpeg into frames in display order.
void code_and_decode(const std::string& options, std::vector<uint8_t>& stream, std::vector<uint8_t>& dec) {
    char tmpl[] = "/tmp/zanvc_weight_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const fs::path dir = tmpl;
    const std::string d = dir.string();
    {
        const std::vector<uint8_t> yuv = fading_picture();
        std::ofstream(dir / "in.yuv", std::ios::binary)
            .write(reinterpret_cast<const char*>(yuv.data()), std::streamsize(yuv.size()));
    }
    const std::string x264 = "x264 --quiet --no-progress --profile main --ref 1 --no-deblock --qp 22 --threads 1 "
                             "--input-res 128x96 --fps 25 " + options + " -o " + d + "/out.264 " + d +
                             "/in.yuv 2>/dev/null";
    const std::string ffmpeg = "ffmpeg -v error -y -i " + d + "/out.264 -f rawvideo -pix_fmt yuv420p " + d +
                               "/dec.yuv";
    const bool ok = std::system(x264.c_str()) == 0 && std::system(ffmpeg.c_str()) == 0;
    stream = read_file(dir / "out.264");
    dec = read_file(dir / "dec.yuv");
    fs::remove_all(dir);
    ASSERT_TRUE(ok) << x264 << "\n" << ffmpeg;
    ASSERT_EQ(dec.size(), kFrameBytes * kFrames);
}

// Sample (x, y) of plane 0 (Y), 1 (Cb) or 2 (Cr) of a 4:2:0 frame.
uint8_t sample(const uint8_t* frame, int plane, int x, int y) {
    return plane == 0 ? frame[y * kW + x] : frame[kW * kH + (plane - 1) * (kW * kH / 4) + y * (kW / 2) + x];
}

TEST(WeightStream, ExplicitWeightedPFramesMatchAnIndependentDecoder) {
    if (!have_tools()) GTEST_SKIP() << "x264 or ffmpeg is not installed";
    std::vector<uint8_t> stream, dec;
    ASSERT_NO_FATAL_FAILURE(code_and_decode("--weightp 2 --bframes 0", stream, dec));

    Sps sps;
    Pps pps;
    std::vector<Weights> weights;  // per P frame, in decoding (= display) order
    for (const Nal& n : nal_units(stream)) {
        if (n.type == 7) sps = parse_sps(Bits(n.rbsp));
        if (n.type == 8) pps = parse_pps(Bits(n.rbsp));
        Weights w;
        if (n.type == 1 && parse_p_slice(Bits(n.rbsp), sps, pps, w)) weights.push_back(w);
    }
    ASSERT_EQ(weights.size(), size_t(kFrames - 1)) << "one weighted P slice per frame after the first";

    int lumaMatch = 0, chromaMatch = 0, mbs = 0, weighted = 0;
    for (int f = 1; f < kFrames; ++f) {
        const Weights& w = weights[size_t(f - 1)];
        weighted += w.lw != 1 << w.lumaDenom || w.lo != 0;
        const uint8_t* ref = dec.data() + kFrameBytes * size_t(f - 1);
        const uint8_t* cur = dec.data() + kFrameBytes * size_t(f);
        for (int my = 0; my < kH / 16; ++my)
            for (int mx = 0; mx < kW / 16; ++mx, ++mbs) {
                uint8_t luma[16 * 16], nv12[8 * 16];
                bool same = true;
                for (int y = 0; y < 16; ++y) std::memcpy(luma + 16 * y, ref + (16 * my + y) * kW + 16 * mx, 16);
                ASSERT_EQ(zaniUniDirWeightBlock_H264_8u_C1R(luma, 16, w.lumaDenom, w.lw, w.lo, {16, 16}), ZAN_OK);
                for (int y = 0; y < 16; ++y)
                    same &= std::memcmp(luma + 16 * y, cur + (16 * my + y) * kW + 16 * mx, 16) == 0;
                lumaMatch += same;

                // Chroma through the NV12 form: Cb and Cr interleaved.
                const auto chroma = [&](const uint8_t* frame, int c, int x, int y) {
                    return sample(frame, 1 + c, 8 * mx + x, 8 * my + y);
                };
                for (int y = 0; y < 8; ++y)
                    for (int x = 0; x < 16; ++x) nv12[16 * y + x] = chroma(ref, x & 1, x / 2, y);
                const ZanBidirBlock_8u blk{nullptr, 0, nullptr, 0, nv12, 16, {8, 8}};
                const ZanWeightParams cw{w.chromaDenom, {Zan8s(w.cw[0]), Zan8s(w.cw[1])},
                                         {Zan8s(w.co[0]), Zan8s(w.co[1])}};
                ASSERT_EQ(zaniUniDirWeightBlock_H264_8u_C2R(&blk, &cw), ZAN_OK);
                same = true;
                for (int y = 0; y < 8; ++y)
                    for (int x = 0; x < 16; ++x) same &= nv12[16 * y + x] == chroma(cur, x & 1, x / 2, y);
                chromaMatch += same;
            }
    }
    EXPECT_GE(weighted, kFrames - 2) << "the encoder chose explicit weights for the fade";
    // Static content: every macroblock predicts from the co-located one with a
    // zero vector; luma carries no residual, so every luma block must match.
    // Chroma matches wherever the encoder coded no chroma residual.
    EXPECT_GE(lumaMatch * 10, mbs * 9) << lumaMatch << " of " << mbs << " luma blocks match";
    EXPECT_GE(chromaMatch * 4, mbs * 3) << chromaMatch << " of " << mbs << " chroma blocks match";
    std::printf("weighted P macroblocks matching the decoder: luma %d/%d, chroma %d/%d\n", lumaMatch, mbs,
                chromaMatch, mbs);
}

// H.264 8.4.2.3.1, implicit mode, for frames with picture order counts
// curr, poc0 (list 0) and poc1 (list 1), short-term references.
void implicit_weights(int curr, int poc0, int poc1, int& w0, int& w1) {
    const int tb = zan::clip3(-128, 127, curr - poc0), td = zan::clip3(-128, 127, poc1 - poc0);
    w0 = w1 = 32;
    if (td == 0) return;
    const int tx = (16384 + std::abs(td / 2)) / td;
    const int distScaleFactor = zan::clip3(-1024, 1023, (tb * tx + 32) >> 6);
    if ((distScaleFactor >> 2) < -64 || (distScaleFactor >> 2) > 128) return;
    w0 = 64 - (distScaleFactor >> 2);
    w1 = distScaleFactor >> 2;
}

TEST(WeightStream, ImplicitWeightedBFramesMatchAnIndependentDecoder) {
    if (!have_tools()) GTEST_SKIP() << "x264 or ffmpeg is not installed";
    std::vector<uint8_t> stream, dec;
    // Display order I0 B1 B2 P3 B4 B5 P6; each B frame predicts from the
    // I or P frames on either side.
    const std::string options = "--weightb --weightp 0 --bframes 2 --b-adapt 0 --b-pyramid none --direct spatial";
    ASSERT_NO_FATAL_FAILURE(code_and_decode(options, stream, dec));
    uint32_t bipredIdc = 0;
    for (const Nal& n : nal_units(stream))
        if (n.type == 8) bipredIdc = parse_pps(Bits(n.rbsp)).weightedBipredIdc;
    ASSERT_EQ(bipredIdc, 2u) << "implicit weighted bi-prediction";

    int lumaMatch = 0, chromaMatch = 0, mbs = 0;
    for (int f : {1, 2, 4, 5}) {
        const int p0 = f / 3 * 3, p1 = p0 + 3;
        int w0, w1;
        implicit_weights(f, p0, p1, w0, w1);  // frame counts stand for the POCs: only their ratio matters
        EXPECT_NE(w0, 32);
        const uint8_t* ref0 = dec.data() + kFrameBytes * size_t(p0);
        const uint8_t* ref1 = dec.data() + kFrameBytes * size_t(p1);
        const uint8_t* cur = dec.data() + kFrameBytes * size_t(f);
        for (int my = 0; my < kH / 16; ++my)
            for (int mx = 0; mx < kW / 16; ++mx, ++mbs) {
                bool same[3] = {true, true, true};
                for (int plane = 0; plane < 3; ++plane) {
                    const int n = plane ? 8 : 16;
                    uint8_t a[256], b[256], out[256];
                    for (int y = 0; y < n; ++y)
                        for (int x = 0; x < n; ++x) {
                            a[y * n + x] = sample(ref0, plane, n * mx + x, n * my + y);
                            b[y * n + x] = sample(ref1, plane, n * mx + x, n * my + y);
                        }
                    ASSERT_EQ(zaniBiDirWeightBlockImplicit_H264_8u_P3P1R(a, b, out, n, n, n, w0, w1, {n, n}), ZAN_OK);
                    for (int y = 0; y < n; ++y)
                        for (int x = 0; x < n; ++x)
                            same[plane] &= out[y * n + x] == sample(cur, plane, n * mx + x, n * my + y);
                }
                lumaMatch += same[0];
                chromaMatch += same[1] && same[2];
            }
    }
    // Most B macroblocks are direct or skipped with zero vectors from both
    // sides; the rest (residual, one-sided prediction) need not match.
    EXPECT_GE(lumaMatch * 2, mbs) << lumaMatch << " of " << mbs << " luma blocks match";
    EXPECT_GE(chromaMatch * 2, mbs) << chromaMatch << " of " << mbs << " chroma blocks match";
    std::printf("implicitly weighted B macroblocks matching the decoder: luma %d/%d, chroma %d/%d\n", lumaMatch,
                mbs, chromaMatch, mbs);
}

}  // namespace
