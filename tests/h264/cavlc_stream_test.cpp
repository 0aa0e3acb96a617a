// Real streams: an independent encoder (libx264 through ffmpeg) codes intra
// pictures with CAVLC (Baseline, High with 8x8 transforms, High 4:2:2 and
// High 10 profiles, at quantizers from 1, which gives level escapes, to
// 40); the test parses every slice down to the residual blocks, with every
// ue(v)/se(v) read and every residual block decoded by the library (the
// 32-bit members for high bit depths), and each slice must end exactly at
// its rbsp_stop_one_bit after the number of macroblocks that ffprobe, an
// independent decoder, reports. One wrong bit consumed anywhere derails the
// rest of the slice. Skipped when ffmpeg with libx264 is not installed.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "h264_cavlc_tables.h"
#include "support/checkasm.h"

namespace {

// ---------------------------------------------------------------------------
// NAL units and RBSP reading
// ---------------------------------------------------------------------------

struct Nal {
    int type, refIdc;
    std::vector<uint8_t> rbsp;
};

std::vector<Nal> split_annexb(const std::vector<uint8_t>& s) {
    std::vector<size_t> starts;
    for (size_t i = 0; i + 3 <= s.size(); ++i)
        if (s[i] == 0 && s[i + 1] == 0 && s[i + 2] == 1) {
            starts.push_back(i + 3);
            i += 2;
        }
    std::vector<Nal> nals;
    for (size_t k = 0; k < starts.size(); ++k) {
        size_t end = k + 1 < starts.size() ? starts[k + 1] - 3 : s.size();
        while (end > starts[k] && s[end - 1] == 0) --end;  // trailing zero bytes
        Nal n{s[starts[k]] & 31, (s[starts[k]] >> 5) & 3, {}};
        int zeros = 0;
        for (size_t i = starts[k] + 1; i < end; ++i) {
            if (zeros >= 2 && s[i] == 3) {  // emulation prevention
                zeros = 0;
                continue;
            }
            zeros = s[i] == 0 ? zeros + 1 : 0;
            n.rbsp.push_back(s[i]);
        }
        nals.push_back(std::move(n));
    }
    return nals;
}

// An RBSP as 32-bit words for the library's cursor; u(n) read here, ue(v)
// and se(v) through the library.
class Rbsp {
public:
    explicit Rbsp(const std::vector<uint8_t>& bytes) : words_((bytes.size() + 3) / 4 + 2, 0) {
        for (size_t i = 0; i < bytes.size(); ++i) words_[i / 4] |= uint32_t(bytes[i]) << (24 - 8 * (i % 4));
        p = words_.data();
        stop_ = int64_t(bytes.size()) * 8 - 1;
        while (stop_ >= 0 && !((bytes[size_t(stop_ / 8)] >> (7 - stop_ % 8)) & 1)) --stop_;
    }
    uint32_t u(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            v = v << 1 | ((*p >> off) & 1);
            if (--off < 0) {
                off = 31;
                ++p;
            }
        }
        return v;
    }
    uint32_t ue() {
        Zan32s v = 0;
        EXPECT_EQ(zaniDecodeExpGolombOne_H264_1u32s(&p, &off, &v, 0), ZAN_OK);
        return uint32_t(v);
    }
    int32_t se() {
        Zan32s v = 0;
        EXPECT_EQ(zaniDecodeExpGolombOne_H264_1u32s(&p, &off, &v, 1), ZAN_OK);
        return v;
    }
    int64_t pos() const { return int64_t(p - words_.data()) * 32 + 31 - off; }
    bool more_data() const { return pos() < stop_; }
    int64_t stop_bit() const { return stop_; }

    const Zan32u* p;
    Zan32s off = 31;

private:
    std::vector<uint32_t> words_;
    int64_t stop_;
};

// ---------------------------------------------------------------------------
// Parameter sets and slices (only what intra CAVLC pictures use)
// ---------------------------------------------------------------------------

struct Sps {
    int chromaFormat = 1, bitDepth = 8, log2MaxFrameNum = 4, pocType = 0, log2MaxPocLsb = 4;
    int widthMbs = 0, heightMbs = 0;
};

struct Pps {
    int spsId = 0;
    bool bottomFieldPocPresent = false, deblockingControl = false, redundantPicCnt = false, transform8x8 = false;
};

bool high_profile(int p) {
    for (int h : {100, 110, 122, 244, 44, 83, 86, 118, 128, 138, 139, 134, 135})
        if (p == h) return true;
    return false;
}

Sps parse_sps(Rbsp& r, int& id) {
    Sps s;
    const int profile = int(r.u(8));
    r.u(16);  // constraint flags, level
    id = int(r.ue());
    if (high_profile(profile)) {
        s.chromaFormat = int(r.ue());
        if (s.chromaFormat == 3) r.u(1);
        s.bitDepth = 8 + int(r.ue());
        r.ue();                          // chroma bit depth
        r.u(1);                          // transform bypass
        EXPECT_EQ(r.u(1), 0u) << "scaling matrices are not parsed here";
    }
    s.log2MaxFrameNum = int(r.ue()) + 4;
    s.pocType = int(r.ue());
    if (s.pocType == 0) {
        s.log2MaxPocLsb = int(r.ue()) + 4;
    } else {
        EXPECT_EQ(s.pocType, 2) << "picture order count type 1 is not parsed here";
    }
    r.ue();  // max_num_ref_frames
    r.u(1);
    s.widthMbs = int(r.ue()) + 1;
    s.heightMbs = int(r.ue()) + 1;
    EXPECT_EQ(r.u(1), 1u) << "frame pictures only";
    return s;
}

Pps parse_pps(Rbsp& r, int& id) {
    Pps p;
    id = int(r.ue());
    p.spsId = int(r.ue());
    EXPECT_EQ(r.u(1), 0u) << "CAVLC only";
    p.bottomFieldPocPresent = r.u(1);
    EXPECT_EQ(r.ue(), 0u) << "one slice group";
    r.ue();
    r.ue();
    r.u(3);  // weighted_pred_flag, weighted_bipred_idc
    r.se();
    r.se();
    r.se();
    p.deblockingControl = r.u(1);
    r.u(1);
    p.redundantPicCnt = r.u(1);
    if (r.more_data()) {
        p.transform8x8 = r.u(1);
        EXPECT_EQ(r.u(1), 0u) << "scaling matrices are not parsed here";
        r.se();
    }
    return p;
}

// Table 9-4, coded_block_pattern of intra macroblocks (ChromaArrayType 1, 2).
constexpr uint8_t kIntraCbp[48] = {47, 31, 15, 0,  23, 27, 29, 30, 7,  11, 13, 14, 39, 43, 45, 46,
                                   16, 3,  5,  10, 12, 19, 21, 26, 28, 35, 37, 42, 44, 1,  2,  4,
                                   8,  17, 18, 20, 24, 6,  9,  22, 25, 32, 33, 34, 36, 40, 38, 41};
constexpr Zan32s kZigzag4x4[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};

// Per-picture bookkeeping: TotalCoeff of every 4x4 block (luma and both
// chroma planes) and the slice of every macroblock, for nC (9.2.1).
class Picture {
public:
    Picture(const Sps& s) : sps(s), mbSlice(size_t(s.widthMbs * s.heightMbs), -1) {
        cw = s.chromaFormat == 0 ? 0 : 2;  // chroma 4x4 blocks per macroblock, across
        ch = s.chromaFormat == 2 ? 4 : 2;
        for (int plane = 0; plane < 3; ++plane) {
            const int w = plane ? cw : 4, h = plane ? ch : 4;
            counts[plane].assign(size_t(s.widthMbs * w * s.heightMbs * h), 0);
        }
    }
    // nC of block (x, y) in 4x4 units of a plane, for macroblock mbAddr.
    int nC(int plane, int x, int y, int slice) const {
        const int w = plane ? cw : 4, h = plane ? ch : 4;
        int n = 0, avail = 0;
        auto take = [&](int bx, int by) {
            if (bx < 0 || by < 0) return;
            const int mb = (by / h) * sps.widthMbs + bx / w;
            if (mbSlice[size_t(mb)] != slice) return;
            n += count(plane, bx, by);
            ++avail;
        };
        take(x - 1, y);
        take(x, y - 1);
        return avail == 2 ? (n + 1) >> 1 : n;
    }
    int& count(int plane, int x, int y) {
        return counts[plane][size_t(y * sps.widthMbs * (plane ? cw : 4) + x)];
    }
    int count(int plane, int x, int y) const {
        return counts[plane][size_t(y * sps.widthMbs * (plane ? cw : 4) + x)];
    }

    const Sps& sps;
    std::vector<int> mbSlice;
    std::vector<int> counts[3];
    int cw, ch;
};

struct Stats {
    int64_t slices = 0, macroblocks = 0, blocks = 0, coded = 0, blocks8x8 = 0, chromaDc = 0;
};

// One residual block through the library; returns TotalCoeff.
int residual_4x4(Rbsp& r, const Sps& sps, int nC, int maxNumCoeff, Stats& st) {
    const auto& t = zanvc_ex::H264CavlcTables::Get();
    Zan16s tc = -1;
    ZanResult res;
    if (sps.bitDepth > 8) {
        Zan32s blk[16], *p = blk;
        res = zaniDecodeCAVLCCoeffs_H264_1u32s(&r.p, &r.off, &tc, &p, nC, maxNumCoeff, t.CoeffToken(), t.TotalZeros(),
                                               t.RunBefore(), kZigzag4x4);
    } else {
        Zan16s blk[16], *p = blk;
        res = zaniDecodeCAVLCCoeffs_H264_1u16s(&r.p, &r.off, &tc, &p, nC, maxNumCoeff, t.CoeffToken(), t.TotalZeros(),
                                               t.RunBefore(), kZigzag4x4);
    }
    EXPECT_EQ(res, ZAN_OK);
    ++st.blocks;
    st.coded += tc > 0;
    return tc;
}

// The 8x8 zig-zag scan as records.
const ZanCAVLCScanPos_H264* zigzag8x8() {
    static ZanCAVLCScanPos_H264 recs[64];
    static bool made = [] {
        int i = 0;
        for (int s = 0; s < 15; ++s)
            for (int j = 0; j <= s; ++j) {
                const int y = (s & 1) ? j : s - j, x = s - y;
                if (x < 8 && y < 8) recs[i++] = {y * 8 + x, 0};
            }
        return true;
    }();
    (void)made;
    return recs;
}

void macroblock(Rbsp& r, const Pps& pps, Picture& pic, int mbAddr, int slice, Stats& st) {
    const Sps& sps = pic.sps;
    const int mbx = mbAddr % sps.widthMbs, mby = mbAddr / sps.widthMbs;
    pic.mbSlice[size_t(mbAddr)] = slice;
    const uint32_t mbType = r.ue();
    ASSERT_LE(mbType, 25u);
    const int cw = pic.cw, ch = pic.ch;
    if (mbType == 25) {  // I_PCM
        while (r.off != 31 && (r.off + 1) % 8) r.u(1);
        const int chromaSamples = sps.chromaFormat ? 2 * cw * ch * 16 : 0;
        for (int i = 0; i < 256 + chromaSamples; ++i) r.u(sps.bitDepth);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) pic.count(0, mbx * 4 + x, mby * 4 + y) = 16;
        for (int plane = 1; plane < 3 && sps.chromaFormat; ++plane)
            for (int y = 0; y < ch; ++y)
                for (int x = 0; x < cw; ++x) pic.count(plane, mbx * cw + x, mby * ch + y) = 16;
        return;
    }
    const bool i16 = mbType > 0;
    bool t8 = false;
    int cbpLuma, cbpChroma;
    if (!i16) {
        if (pps.transform8x8) t8 = r.u(1);
        for (int b = 0; b < (t8 ? 4 : 16); ++b)
            if (!r.u(1)) r.u(3);
        if (sps.chromaFormat == 1 || sps.chromaFormat == 2) r.ue();
        const uint32_t code = r.ue();
        EXPECT_LT(code, 48u);
        const int cbp = kIntraCbp[code % 48];
        cbpLuma = cbp & 15;
        cbpChroma = cbp >> 4;
    } else {
        if (sps.chromaFormat == 1 || sps.chromaFormat == 2) r.ue();
        cbpLuma = mbType >= 13 ? 15 : 0;
        cbpChroma = int((mbType - 1) / 4) % 3;
    }
    if (cbpLuma || cbpChroma || i16) r.se();  // mb_qp_delta

    // Luma.
    if (i16) residual_4x4(r, sps, pic.nC(0, mbx * 4, mby * 4, slice), 16, st);
    for (int i8 = 0; i8 < 4; ++i8)
        for (int i4 = 0; i4 < 4; ++i4) {
            const int x = mbx * 4 + (i8 % 2) * 2 + i4 % 2, y = mby * 4 + (i8 / 2) * 2 + i4 / 2;
            int tc = 0;
            if (cbpLuma & (1 << i8)) {
                const int nC = pic.nC(0, x, y, slice);
                if (t8) {  // four interleaved 4x4 blocks of one 8x8 block
                    const auto& t = zanvc_ex::H264CavlcTables::Get();
                    static thread_local Zan16s blk8[64];
                    Zan16s tc16 = -1, *p = blk8;
                    EXPECT_EQ(zaniDecodeCAVLCCoeffsIdxs_H264_1u16s(&r.p, &r.off, &tc16, &p, nC, 16, t.CoeffToken(),
                                                                   t.TotalZeros(), t.RunBefore(), zigzag8x8(), i4, 4),
                              ZAN_OK);
                    tc = tc16;
                    ++st.blocks8x8;
                } else {
                    tc = residual_4x4(r, sps, nC, i16 ? 15 : 16, st);
                }
            }
            pic.count(0, x, y) = tc;
        }
    if (!sps.chromaFormat) return;

    // Chroma DC of both planes, then AC.
    const auto& t = zanvc_ex::H264CavlcTables::Get();
    for (int plane = 1; plane < 3 && (cbpChroma & 3); ++plane) {
        Zan16s tc = -1;
        ZanResult res;
        Zan32s blk[8];
        Zan32s* p32 = blk;
        Zan16s* p16 = reinterpret_cast<Zan16s*>(blk);
        const bool wide = sps.bitDepth > 8;
        if (sps.chromaFormat == 1)
            res = wide ? zaniDecodeCAVLCChromaDcCoeffs_H264_1u32s(&r.p, &r.off, &tc, &p32, t.CoeffTokenChromaDc(),
                                                                   t.TotalZerosChromaDc(), t.RunBefore())
                       : zaniDecodeCAVLCChromaDcCoeffs_H264_1u16s(&r.p, &r.off, &tc, &p16, t.CoeffTokenChromaDc(),
                                                                   t.TotalZerosChromaDc(), t.RunBefore());
        else
            res = wide ? zaniDecodeCAVLCChroma422DcCoeffs_H264_1u32s(&r.p, &r.off, &tc, &p32, t.CoeffTokenChromaDc422(),
                                                                      t.TotalZerosChromaDc422(), t.RunBefore())
                       : zaniDecodeCAVLCChroma422DcCoeffs_H264_1u16s(&r.p, &r.off, &tc, &p16, t.CoeffTokenChromaDc422(),
                                                                      t.TotalZerosChromaDc422(), t.RunBefore());
        EXPECT_EQ(res, ZAN_OK);
        ++st.chromaDc;
    }
    for (int plane = 1; plane < 3; ++plane)
        for (int b = 0; b < cw * ch; ++b) {
            const int x = mbx * cw + b % cw, y = mby * ch + b / cw;
            pic.count(plane, x, y) = (cbpChroma & 2) ? residual_4x4(r, sps, pic.nC(plane, x, y, slice), 15, st) : 0;
        }
}

// Parses every intra slice of a stream; returns the statistics.
Stats parse_stream(const std::vector<uint8_t>& bytes, int64_t expectPictures) {
    std::map<int, Sps> spss;
    std::map<int, Pps> ppss;
    Stats st;
    std::unique_ptr<Picture> pic;
    int64_t pictures = 0, mbsInPicture = 0;
    int slice = 0;
    for (const Nal& n : split_annexb(bytes)) {
        Rbsp r(n.rbsp);
        if (n.type == 7) {
            int id;
            Sps s = parse_sps(r, id);
            spss[id] = s;
        } else if (n.type == 8) {
            int id;
            Pps p = parse_pps(r, id);
            ppss[id] = p;
        } else if (n.type == 1 || n.type == 5) {
            const uint32_t firstMb = r.ue();
            const uint32_t sliceType = r.ue();
            EXPECT_EQ(sliceType % 5, 2u) << "intra slices only";
            const Pps& pps = ppss.at(int(r.ue()));
            const Sps& sps = spss.at(pps.spsId);
            if (firstMb == 0) {
                if (pic) {
                    EXPECT_EQ(mbsInPicture, sps.widthMbs * sps.heightMbs);
                }
                pic = std::make_unique<Picture>(sps);
                ++pictures;
                mbsInPicture = 0;
            }
            r.u(sps.log2MaxFrameNum);
            if (n.type == 5) r.ue();  // idr_pic_id
            if (sps.pocType == 0) {
                r.u(sps.log2MaxPocLsb);
                if (pps.bottomFieldPocPresent) r.se();
            }
            if (pps.redundantPicCnt) r.ue();
            EXPECT_EQ(n.type, 5) << "IDR pictures only";  // dec_ref_pic_marking: two flags
            if (n.refIdc) r.u(2);
            r.se();  // slice_qp_delta
            if (pps.deblockingControl && r.ue() != 1) {
                r.se();
                r.se();
            }
            ++slice;
            int mb = int(firstMb);
            while (r.more_data() && !::testing::Test::HasFailure()) {
                macroblock(r, pps, *pic, mb++, slice, st);
                ++st.macroblocks;
                ++mbsInPicture;
            }
            EXPECT_EQ(r.pos(), r.stop_bit()) << "slice " << slice << " does not end at its stop bit";
            ++st.slices;
            if (::testing::Test::HasFailure()) break;
        }
    }
    if (pic && !::testing::Test::HasFailure()) {
        EXPECT_EQ(mbsInPicture, pic->sps.widthMbs * pic->sps.heightMbs);
    }
    EXPECT_EQ(pictures, expectPictures);
    return st;
}

// Encodes `frames` pictures with libx264 through ffmpeg; empty when the
// tools are missing.
std::vector<uint8_t> encode(const std::string& name, const std::string& args, int frames) {
    const std::string out = ::testing::TempDir() + "zanvc_cavlc_" + name + ".264";
    const std::string cmd = "ffmpeg -hide_banner -loglevel error -y -f lavfi -i "
                            "\"testsrc2=size=192x128:rate=25,noise=alls=30:allf=t\" -frames:v " +
                            std::to_string(frames) + " -c:v libx264 -coder 0 -g 1 " + args + " \"" + out +
                            "\" >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) return {};
    std::ifstream f(out, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::remove(out.c_str());
    return bytes;
}

// Number of frames an independent decoder finds in the stream.
int64_t probe_frames(const std::vector<uint8_t>& bytes, const std::string& name) {
    const std::string path = ::testing::TempDir() + "zanvc_cavlc_probe_" + name + ".264";
    {
        std::ofstream f(path, std::ios::binary);
        f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    const std::string cmd = "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                            "stream=nb_read_frames -of csv=p=0 \"" + path + "\"";
    int64_t frames = -1;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        if (std::fscanf(p, "%lld", reinterpret_cast<long long*>(&frames)) != 1) frames = -1;
        pclose(p);
    }
    std::remove(path.c_str());
    return frames;
}

struct StreamCase {
    const char* name;
    const char* args;
};

void PrintTo(const StreamCase& c, std::ostream* os) { *os << c.name; }

class H264CavlcStream : public ::testing::TestWithParam<StreamCase> {};

TEST_P(H264CavlcStream, EverySliceEndsAtItsStopBit) {
    const StreamCase& c = GetParam();
    const int frames = 3;
    const auto bytes = encode(c.name, c.args, frames);
    if (bytes.empty()) GTEST_SKIP() << "ffmpeg with libx264 not available";
    const int64_t probed = probe_frames(bytes, c.name);
    ASSERT_EQ(probed, frames) << "ffprobe frame count";
    const Stats st = parse_stream(bytes, probed);
    EXPECT_GT(st.coded, 0);
    std::printf("%s: %lld slices, %lld macroblocks, %lld 4x4 blocks (%lld coded), %lld 8x8 parts, %lld chroma DC\n",
                c.name, (long long)st.slices, (long long)st.macroblocks, (long long)st.blocks, (long long)st.coded,
                (long long)st.blocks8x8, (long long)st.chromaDc);
}

INSTANTIATE_TEST_SUITE_P(
    Libx264, H264CavlcStream,
    ::testing::Values(StreamCase{"baseline_qp28", "-profile:v baseline -qp 28 -x264-params threads=1"},
                      StreamCase{"baseline_qp1_slices", "-profile:v baseline -qp 1 -x264-params threads=1:slices=3"},
                      StreamCase{"high_8x8_qp12", "-profile:v high -qp 12 -x264-params threads=1:8x8dct=1"},
                      StreamCase{"high_qp40", "-profile:v high -qp 40 -x264-params threads=1:8x8dct=1"},
                      StreamCase{"high422_qp4", "-pix_fmt yuv422p -profile:v high422 -qp 4 -x264-params threads=1"},
                      StreamCase{"high10_qp1", "-pix_fmt yuv420p10le -profile:v high10 -qp 1 -x264-params threads=1"},
                      StreamCase{"high422_10_qp20",
                                 "-pix_fmt yuv422p10le -profile:v high422 -qp 20 -x264-params threads=1"}),
    [](const ::testing::TestParamInfo<StreamCase>& i) { return std::string(i.param.name); });

}  // namespace
