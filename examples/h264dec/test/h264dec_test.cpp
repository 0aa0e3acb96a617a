// Tests of the example decoder's own layers: byte-stream and NAL parsing,
// Exp-Golomb reading, scaling-matrix fall-back rules, picture order count
// and loop-filter boundary strengths, with worked examples from the
// standard's rules. Whole streams are checked against ffmpeg by the
// h264dec_* stream tests.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "../loopfilter_bs.h"
#include "../nal.h"
#include "../params.h"
#include "../poc.h"
#include "../refs.h"
#include "../tables.h"

namespace h264dec {
namespace {

// Writes bits MSB first; finishes with rbsp_trailing_bits.
struct BitWriter {
    std::vector<uint8_t> bytes;
    int nbits = 0;
    void bit(int b) {
        if ((nbits & 7) == 0) bytes.push_back(0);
        if (b) bytes.back() |= uint8_t(0x80 >> (nbits & 7));
        ++nbits;
    }
    void u(uint32_t v, int n) {
        for (int i = n - 1; i >= 0; --i) bit((v >> i) & 1);
    }
    void ue(uint32_t v) {
        int len = 0;
        while ((v + 1) >> (len + 1)) ++len;
        u(0, len);
        u(v + 1, len + 1);
    }
    void se(int v) { ue(v > 0 ? uint32_t(2 * v - 1) : uint32_t(-2 * v)); }
    void trailing() {
        bit(1);
        while (nbits & 7) bit(0);
    }
    // As a NAL unit with header byte hdr (no emulation prevention needed in
    // the short payloads used here).
    NalUnit nal(uint8_t hdr) const {
        std::vector<uint8_t> b{hdr};
        b.insert(b.end(), bytes.begin(), bytes.end());
        NalUnit n;
        parse_nal(b.data(), b.size(), &n);
        return n;
    }
};

std::vector<std::vector<uint8_t>> split(const std::vector<uint8_t>& s) {
    std::vector<std::vector<uint8_t>> out;
    AnnexBReader r(s.data(), s.size());
    const uint8_t* p;
    size_t n;
    while (r.next(&p, &n)) out.emplace_back(p, p + n);
    return out;
}

TEST(H264DecNal, AnnexBSplitsOnThreeAndFourByteStartCodes) {
    std::vector<uint8_t> s = {0, 0, 0, 1, 0x67, 1, 2, 0, 0, 1, 0x68, 3, 0, 0, 0, 0, 1, 0x65, 4, 0, 0};
    auto units = split(s);
    ASSERT_EQ(units.size(), 3u);
    EXPECT_EQ(units[0], (std::vector<uint8_t>{0x67, 1, 2}));
    EXPECT_EQ(units[1], (std::vector<uint8_t>{0x68, 3}));  // trailing zero bytes dropped
    EXPECT_EQ(units[2], (std::vector<uint8_t>{0x65, 4}));
    EXPECT_TRUE(split({0, 0, 1}).empty());
    EXPECT_TRUE(split({1, 2, 3}).empty());
}

TEST(H264DecNal, EmulationPreventionBytesAreRemoved) {
    // 00 00 03 xx -> 00 00 xx; a 03 after a single zero stays; a final
    // 00 00 03 loses its 03.
    const uint8_t in[] = {0x65, 0x00, 0x00, 0x03, 0x01, 0x00, 0x03, 0x00, 0x00, 0x03};
    NalUnit n;
    parse_nal(in, sizeof in, &n);
    EXPECT_EQ(n.nal_unit_type, 5);
    EXPECT_EQ(n.nal_ref_idc, 3);
    ASSERT_EQ(n.rbsp.bits, 7u * 8);
    EXPECT_EQ(n.rbsp.words[0], 0x00000100u);
    EXPECT_EQ(n.rbsp.words[1], 0x030000FFu);  // then padding of one bits
    EXPECT_EQ(n.rbsp.words[2], 0xFFFFFFFFu);
    EXPECT_THROW(parse_nal(in, 0, &n), DecodeError);
    const uint8_t forbidden[] = {0x80 | 0x65, 1};
    EXPECT_THROW(parse_nal(forbidden, 2, &n), DecodeError);
}

TEST(H264DecBits, ExpGolombWorkedExamples) {
    BitWriter w;
    // "1" 0, "010" 1, "011" 2, "00100" 3, "0001000" 7; se: 1 -> +1, 2 -> -1
    w.u(0b1010011, 7);
    w.u(0b00100, 5);
    w.u(0b0001000, 7);
    w.u(0b010, 3);
    w.u(0b011, 3);
    w.ue(65534);  // 15 leading zeros
    w.ue(70000);  // 16 leading zeros: the long path
    w.u(0, 1);    // te() with range 1: inverted bit
    w.trailing();
    NalUnit n = w.nal(0x01);
    BitReader br(n.rbsp);
    EXPECT_EQ(br.ue(), 0u);
    EXPECT_EQ(br.ue(), 1u);
    EXPECT_EQ(br.ue(), 2u);
    EXPECT_EQ(br.ue(), 3u);
    EXPECT_EQ(br.ue(), 7u);
    EXPECT_EQ(br.se(), 1);
    EXPECT_EQ(br.se(), -1);
    EXPECT_EQ(br.ue(), 65534u);
    EXPECT_EQ(br.ue(), 70000u);
    EXPECT_EQ(br.te(1), 1u);
    EXPECT_FALSE(br.more_rbsp_data());  // only the stop bit is left
    br.check();
}

TEST(H264DecBits, ReadsPastTheEndAreTruncation) {
    BitWriter w;
    w.u(0, 8);  // eight zero bits: the start of a long code
    NalUnit n = w.nal(0x01);
    BitReader br(n.rbsp);
    // the padding (one bits) ends the code, but the read ran past the payload
    br.ue();
    EXPECT_THROW(br.check(), DecodeError);
}

// --- Scaling matrices (Table 7-2) -----------------------------------------

Sps make_sps(bool withMatrices) {
    BitWriter w;
    w.u(100, 8);  // High
    w.u(0, 8);
    w.u(30, 8);
    w.ue(0);  // sps id
    w.ue(1);  // 4:2:0
    w.ue(0);
    w.ue(0);
    w.u(0, 1);
    w.u(withMatrices, 1);
    if (withMatrices) {
        // list 0 coded as all 8 (one delta 0, then 15 zero deltas...), list 1
        // "use default" (first delta gives nextScale 0), others absent
        w.u(1, 1);
        w.se(0);  // nextScale 8 ...
        for (int i = 1; i < 16; ++i) w.se(0);
        w.u(1, 1);
        w.se(-8);  // nextScale 0 at j = 0: useDefaultScalingMatrixFlag
        for (int i = 2; i < 8; ++i) w.u(0, 1);
    }
    w.ue(0);  // log2_max_frame_num - 4
    w.ue(0);  // poc type 0
    w.ue(0);
    w.ue(1);
    w.u(0, 1);
    w.ue(10);
    w.ue(8);
    w.u(1, 1);  // frame_mbs_only
    w.u(1, 1);
    w.u(0, 1);
    w.u(0, 1);
    w.trailing();
    NalUnit n = w.nal(0x67);
    BitReader br(n.rbsp);
    Sps s;
    parse_sps(br, &s);
    return s;
}

TEST(H264DecScaling, SequenceListsFallBackByRuleA) {
    Sps s = make_sps(true);
    ASSERT_TRUE(s.seq_scaling_present);
    EXPECT_FALSE(s.scaling.flat);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(s.scaling.m4[0][size_t(i)], 8);  // coded list
    // list 1: default intra, raster order (zig-zag index 2 is raster 4)
    EXPECT_EQ(s.scaling.m4[1][0], 6);
    EXPECT_EQ(s.scaling.m4[1][1], 13);
    EXPECT_EQ(s.scaling.m4[1][4], 13);
    EXPECT_EQ(s.scaling.m4[1][15], 42);
    EXPECT_EQ(s.scaling.m4[2], s.scaling.m4[1]);  // absent: previous list
    EXPECT_EQ(s.scaling.m4[3][0], 10);            // absent list 3: default inter
    EXPECT_EQ(s.scaling.m8[0][63], 42);           // default 8x8 intra
    EXPECT_EQ(s.scaling.m8[1][0], 9);             // default 8x8 inter
}

TEST(H264DecScaling, PictureListsFallBackByRuleAOrB) {
    Pps p;
    p.pic_scaling_present = true;
    p.list_present.fill(0);
    p.list_present[4] = 1;
    p.coded[4].fill(20);
    // sequence without matrices: absent picture lists take the defaults
    Sps flat = make_sps(false);
    ScalingMatrices a = resolve_scaling(flat, p);
    EXPECT_EQ(a.m4[0][0], 6);
    EXPECT_EQ(a.m4[3][15], 34);
    EXPECT_EQ(a.m4[4][5], 20);
    EXPECT_EQ(a.m4[5][5], 20);  // previous list
    EXPECT_EQ(a.m8[0][0], 6);
    // sequence with matrices: absent lists 0, 3, 6, 7 take the sequence's
    Sps seq = make_sps(true);
    ScalingMatrices b = resolve_scaling(seq, p);
    EXPECT_EQ(b.m4[0], seq.scaling.m4[0]);
    EXPECT_EQ(b.m4[3], seq.scaling.m4[3]);
    EXPECT_EQ(b.m8[1], seq.scaling.m8[1]);
    // no picture matrices at all: the sequence's
    p.pic_scaling_present = false;
    EXPECT_EQ(resolve_scaling(seq, p).m4[1], seq.scaling.m4[1]);
    EXPECT_TRUE(resolve_scaling(flat, p).flat);
}

// --- Picture order count (8.2.1) --------------------------------------------

SliceHeader slice(bool idr, int ref, int frameNum, int lsb = 0) {
    SliceHeader sh;
    sh.idr = idr;
    sh.nal_ref_idc = ref;
    sh.frame_num = frameNum;
    sh.poc_lsb = lsb;
    return sh;
}

TEST(H264DecPoc, Type0LsbWrapsIntoTheMsb) {
    Sps s;
    s.poc_type = 0;
    s.log2_max_poc_lsb = 4;  // MaxPicOrderCntLsb 16
    PocState st;
    const int lsb[] = {0, 6, 12, 2, 8, 14, 4};
    const int expect[] = {0, 6, 12, 18, 24, 30, 36};
    for (int i = 0; i < 7; ++i) {
        SliceHeader sh = slice(i == 0, 1, i, lsb[i]);
        EXPECT_EQ(compute_poc(s, sh, &st), expect[i]) << i;
        finish_poc(sh, false, &st);
    }
    // a non-reference picture does not move prevPicOrderCnt
    SliceHeader nonref = slice(false, 0, 7, 10);
    EXPECT_EQ(compute_poc(s, nonref, &st), 42);
    finish_poc(nonref, false, &st);
    EXPECT_EQ(compute_poc(s, slice(false, 1, 7, 6), &st), 38);
    // delta_pic_order_cnt_bottom below zero makes the bottom field first
    SliceHeader bf = slice(false, 1, 8, 8);
    bf.delta_poc_bottom = -3;
    EXPECT_EQ(compute_poc(s, bf, &st), 37);
}

TEST(H264DecPoc, Type1ExpectedCycle) {
    Sps s;
    s.poc_type = 1;
    s.log2_max_frame_num = 4;
    s.num_ref_frames_in_poc_cycle = 2;
    s.offset_for_ref_frame[0] = 4;
    s.offset_for_ref_frame[1] = 6;  // ExpectedDeltaPerPicOrderCntCycle 10
    s.offset_for_non_ref_pic = -5;
    s.offset_for_top_to_bottom_field = 1;
    PocState st;
    // absFrameNum 0 (IDR): 0; 1: 4; 2: 10; 3: 14; non-ref with frame_num 4:
    // absFrameNum 3 -> 14 - 5 = 9
    struct {
        bool idr;
        int ref, fn, poc;
    } seq[] = {{true, 1, 0, 0}, {false, 1, 1, 4}, {false, 1, 2, 10}, {false, 1, 3, 14}, {false, 0, 4, 9}};
    for (auto& c : seq) {
        SliceHeader sh = slice(c.idr, c.ref, c.fn);
        EXPECT_EQ(compute_poc(s, sh, &st), c.poc) << c.fn;
        EXPECT_EQ(st.bottom, st.top + 1);
        finish_poc(sh, false, &st);
    }
    // frame_num wraps (MaxFrameNum 16): FrameNumOffset grows by 16;
    // absFrameNum 16 + 1 = 17: 8 cycles (80) + offset[0] (4)
    SliceHeader wrap = slice(false, 1, 15);
    compute_poc(s, wrap, &st);
    finish_poc(wrap, false, &st);
    EXPECT_EQ(compute_poc(s, slice(false, 1, 1), &st), 84);
}

TEST(H264DecPoc, Type2AndMemoryManagementFive) {
    Sps s;
    s.poc_type = 2;
    s.log2_max_frame_num = 4;
    PocState st;
    SliceHeader idr = slice(true, 1, 0);
    EXPECT_EQ(compute_poc(s, idr, &st), 0);
    finish_poc(idr, false, &st);
    SliceHeader p1 = slice(false, 1, 1);
    EXPECT_EQ(compute_poc(s, p1, &st), 2);
    finish_poc(p1, false, &st);
    EXPECT_EQ(compute_poc(s, slice(false, 0, 2), &st), 3);  // non-reference: 2n - 1
    // memory_management_control_operation 5 rebases the picture to 0 and
    // restarts frame numbering
    SliceHeader p2 = slice(false, 1, 2);
    EXPECT_EQ(compute_poc(s, p2, &st), 4);
    EXPECT_EQ(finish_poc(p2, true, &st), 0);
    EXPECT_EQ(compute_poc(s, slice(false, 1, 1), &st), 2);
}

// --- Reference lists and marking (8.2.4, 8.2.5) -------------------------------

struct Dpb {
    std::vector<std::unique_ptr<Picture>> store;
    std::vector<Picture*> pics;
    Picture* add(int frameNum, int poc, bool longTerm = false, int ltIdx = 0) {
        store.push_back(std::make_unique<Picture>());
        Picture* p = store.back().get();
        p->frame_num = frameNum;
        p->poc = poc;
        p->ref_short = !longTerm;
        p->ref_long = longTerm;
        p->long_term_frame_idx = ltIdx;
        pics.push_back(p);
        return p;
    }
};

TEST(H264DecRefs, PListOrdersByPicNumAcrossTheWrap) {
    Dpb d;  // MaxFrameNum 16, current frame_num 2: 14 and 15 wrap to -2, -1
    Picture* f14 = d.add(14, 0);
    Picture* f1 = d.add(1, 6);
    Picture* lt3 = d.add(9, 2, true, 3);
    Picture* f15 = d.add(15, 4);
    Picture* lt0 = d.add(11, 3, true, 0);
    set_frame_num_wrap(d.pics, 2, 16);
    EXPECT_EQ(f14->frame_num_wrap, -2);
    std::vector<Picture*> init[2];
    init_ref_lists(d.pics, 8, false, init);
    EXPECT_EQ(init[0], (std::vector<Picture*>{f1, f15, f14, lt0, lt3}));
    EXPECT_TRUE(init[1].empty());
}

TEST(H264DecRefs, BListsOrderByPocAroundTheCurrentPicture) {
    Dpb d;
    Picture* p0 = d.add(0, 0);
    Picture* p8 = d.add(1, 8);
    Picture* p4 = d.add(2, 4);
    Picture* p16 = d.add(3, 16);
    Picture* lt = d.add(4, 2, true, 1);
    std::vector<Picture*> init[2];
    init_ref_lists(d.pics, 6, true, init);
    EXPECT_EQ(init[0], (std::vector<Picture*>{p4, p0, p8, p16, lt}));
    EXPECT_EQ(init[1], (std::vector<Picture*>{p8, p16, p4, p0, lt}));
    // all references before the current picture: list 1 would equal list 0,
    // so its first two entries swap
    init_ref_lists(d.pics, 20, true, init);
    EXPECT_EQ(init[0], (std::vector<Picture*>{p16, p8, p4, p0, lt}));
    EXPECT_EQ(init[1], (std::vector<Picture*>{p8, p16, p4, p0, lt}));
}

TEST(H264DecRefs, ModificationMovesPicturesToTheFront) {
    Dpb d;
    Picture* f5 = d.add(5, 10);
    Picture* f6 = d.add(6, 12);
    Picture* f7 = d.add(7, 14);
    Picture* lt = d.add(2, 4, true, 2);
    set_frame_num_wrap(d.pics, 8, 16);
    Picture* list[4] = {f7, f6, f5, lt};
    // abs_diff 2 below CurrPicNum 8: picture 5 first; then +1 from the
    // predictor 5: picture 6; then long-term index 2
    RefListMod mods[3] = {{0, 2}, {1, 0}, {2, 2}};
    modify_ref_list(d.pics, 8, 16, mods, 3, list, 4);
    EXPECT_EQ(list[0], f5);
    EXPECT_EQ(list[1], f6);
    EXPECT_EQ(list[2], lt);
    EXPECT_EQ(list[3], f7);  // the later duplicates were dropped
    // below zero the predictor wraps: 1 - 4 + 16 = 13 > 8, PicNum -3 (frame 13)
    Dpb w;
    Picture* f13 = w.add(13, 0);
    Picture* f0 = w.add(0, 2);
    set_frame_num_wrap(w.pics, 1, 16);
    Picture* l2[2] = {f0, f13};
    RefListMod wrap[1] = {{0, 3}};
    modify_ref_list(w.pics, 1, 16, wrap, 1, l2, 2);
    EXPECT_EQ(l2[0], f13);
    EXPECT_EQ(l2[1], f0);
    RefListMod missing[1] = {{0, 5}};
    EXPECT_THROW(modify_ref_list(w.pics, 1, 16, missing, 1, l2, 2), DecodeError);
}

TEST(H264DecRefs, SlidingWindowDropsTheOldestShortTermPicture) {
    Dpb d;
    Picture* f14 = d.add(14, 0);  // FrameNumWrap -2 at frame_num 1
    Picture* f15 = d.add(15, 2);
    Picture* lt = d.add(3, 4, true, 0);
    Picture cur;
    SliceHeader sh = slice(false, 1, 1);
    int maxLt = 0;
    mark_reference(d.pics, &cur, sh, 3, 16, &maxLt);
    EXPECT_FALSE(f14->is_ref());
    EXPECT_TRUE(f15->ref_short);
    EXPECT_TRUE(lt->ref_long);  // long-term pictures never slide out
    EXPECT_TRUE(cur.ref_short);
}

TEST(H264DecRefs, MemoryManagementOperations) {
    Dpb d;
    Picture* f3 = d.add(3, 6);
    Picture* f4 = d.add(4, 8);
    Picture* f5 = d.add(5, 10);
    Picture* lt1 = d.add(1, 2, true, 1);
    Picture* lt4 = d.add(0, 0, true, 4);
    Picture cur;
    SliceHeader sh = slice(false, 1, 6);
    sh.adaptive_marking = true;
    sh.num_mmco = 4;
    sh.mmco[0] = Mmco{1, 0};      // PicNum 6 - 1 = 5 unused
    sh.mmco[1].op = 3;            // PicNum 6 - 3 = 3 -> long-term index 1 (replaces lt1)
    sh.mmco[1].diff_pic_nums_minus1 = 2;
    sh.mmco[1].long_term_frame_idx = 1;
    sh.mmco[2].op = 4;            // MaxLongTermFrameIdx 2: index 4 goes
    sh.mmco[2].max_long_term_frame_idx_plus1 = 3;
    sh.mmco[3].op = 6;            // current picture long-term index 2
    sh.mmco[3].long_term_frame_idx = 2;
    int maxLt = 5;
    mark_reference(d.pics, &cur, sh, 4, 16, &maxLt);
    EXPECT_FALSE(f5->is_ref());
    EXPECT_TRUE(f3->ref_long);
    EXPECT_EQ(f3->long_term_frame_idx, 1);
    EXPECT_FALSE(lt1->is_ref());
    EXPECT_FALSE(lt4->is_ref());
    EXPECT_TRUE(f4->ref_short);
    EXPECT_EQ(maxLt, 2);
    EXPECT_TRUE(cur.ref_long && !cur.ref_short);
    EXPECT_EQ(cur.long_term_frame_idx, 2);
    EXPECT_FALSE(cur.mmco5);
    // operation 5 empties the buffer and flags the picture
    SliceHeader five = slice(false, 1, 7);
    five.adaptive_marking = true;
    five.num_mmco = 1;
    five.mmco[0].op = 5;
    Picture next;
    mark_reference(d.pics, &next, five, 4, 16, &maxLt);
    for (Picture* p : d.pics) EXPECT_FALSE(p->is_ref());
    EXPECT_TRUE(next.mmco5 && next.ref_short);
    EXPECT_EQ(maxLt, -1);
}

// --- Loop filter boundary strength (8.7.2.1) ---------------------------------

MbInfo inter_mb(int ref0, int ref1, int mx0, int my0, int mx1 = 0, int my1 = 0) {
    MbInfo m;
    m.slice = 0;
    for (int b = 0; b < 4; ++b) {
        m.refId[0][b] = ref0;
        m.refId[1][b] = ref1;
        m.ref[0][b] = int8_t(ref0 >= 0 ? 0 : -1);
        m.ref[1][b] = int8_t(ref1 >= 0 ? 0 : -1);
    }
    for (int i = 0; i < 16; ++i) {
        m.mv[0][i][0] = int16_t(mx0);
        m.mv[0][i][1] = int16_t(my0);
        m.mv[1][i][0] = int16_t(mx1);
        m.mv[1][i][1] = int16_t(my1);
    }
    return m;
}

TEST(H264DecLoopFilter, BoundaryStrengthRules) {
    MbInfo intra;
    intra.intra = true;
    MbInfo a = inter_mb(7, -1, 0, 0);
    EXPECT_EQ(edge_bs(intra, 3, a, 0, true), 4);
    EXPECT_EQ(edge_bs(a, 3, intra, 0, false), 3);
    MbInfo coded = a;
    coded.nz = 1 << 3;
    EXPECT_EQ(edge_bs(coded, 3, a, 0, true), 2);
    EXPECT_EQ(edge_bs(coded, 2, a, 0, true), 0);  // other block coded
    // one vector each: same picture, |difference| 3 -> 0, 4 -> 1
    EXPECT_EQ(edge_bs(a, 3, inter_mb(7, -1, 3, -3), 0, true), 0);
    EXPECT_EQ(edge_bs(a, 3, inter_mb(7, -1, 0, 4), 0, true), 1);
    EXPECT_EQ(edge_bs(a, 3, inter_mb(8, -1, 0, 0), 0, true), 1);   // other picture
    EXPECT_EQ(edge_bs(a, 3, inter_mb(-1, 7, 0, 0), 0, true), 0);   // same picture from list 1
    EXPECT_EQ(edge_bs(a, 3, inter_mb(7, 8, 0, 0, 0, 0), 0, true), 1);  // number of vectors
    // two vectors, two pictures: matched by picture, not by list
    MbInfo bi = inter_mb(7, 8, 10, 0, -10, 0);
    EXPECT_EQ(edge_bs(bi, 3, inter_mb(8, 7, -10, 0, 10, 0), 0, true), 0);
    EXPECT_EQ(edge_bs(bi, 3, inter_mb(8, 7, 10, 0, -10, 0), 0, true), 1);
    // two vectors of one picture: 1 only when both pairings differ
    MbInfo same = inter_mb(7, 7, 10, 0, -10, 0);
    EXPECT_EQ(edge_bs(same, 3, inter_mb(7, 7, -10, 0, 10, 0), 0, true), 0);
    EXPECT_EQ(edge_bs(same, 3, inter_mb(7, 7, 10, 0, 10, 0), 0, true), 1);
}

TEST(H264DecTables, CodedBlockPatternMappingsArePermutations) {
    bool seenIntra[48] = {}, seenInter[48] = {};
    for (int i = 0; i < 48; ++i) {
        seenIntra[kCbpIntra[i]] = true;
        seenInter[kCbpInter[i]] = true;
    }
    for (int i = 0; i < 48; ++i) EXPECT_TRUE(seenIntra[i] && seenInter[i]) << i;
    EXPECT_EQ(kCbpIntra[0], 47);  // codeNum 0: everything coded for intra
    EXPECT_EQ(kCbpInter[0], 0);   // nothing coded for inter
}

}  // namespace
}  // namespace h264dec

// QP arithmetic of high bit depths (7.4.5, 8.5.8): QPY wraps within
// -QpBdOffsetY..51, and QPc follows qPI below 30, also below zero.
TEST(H264DecTables, QpWrapAndChromaQpWithBitDepthOffset) {
    using namespace h264dec;
    // 8-bit: 0..51
    EXPECT_EQ(next_qp(51, 1, 0), 0);
    EXPECT_EQ(next_qp(0, -1, 0), 51);
    EXPECT_EQ(next_qp(26, -26, 0), 0);
    // 10-bit (QpBdOffsetY 12): -12..51
    EXPECT_EQ(next_qp(0, -12, 12), -12);
    EXPECT_EQ(next_qp(-12, -1, 12), 51);
    EXPECT_EQ(next_qp(51, 1, 12), -12);
    EXPECT_EQ(next_qp(-6, 31, 12), 25);
    // 14-bit (36): -36..51
    EXPECT_EQ(next_qp(-36, -44, 36), 8);

    EXPECT_EQ(chroma_qp(29, 0), 29);
    EXPECT_EQ(chroma_qp(30, 0), 29);
    EXPECT_EQ(chroma_qp(51, 0), 39);
    EXPECT_EQ(chroma_qp(60, 12), 39);  // qPI clipped to 51
    EXPECT_EQ(chroma_qp(-3, 0), 0);    // 8-bit: clipped to 0
    EXPECT_EQ(chroma_qp(-3, 12), -3);  // 10-bit: QPc = qPI below 30
    EXPECT_EQ(chroma_qp(-20, 12), -12);
    // QP'c = QPc + QpBdOffsetC stays within 0..39 + QpBdOffsetC
    for (int bd = 8; bd <= 14; ++bd)
        for (int q = -60; q < 70; ++q) {
            int off = 6 * (bd - 8), qc = chroma_qp(q, off) + off;
            EXPECT_GE(qc, 0);
            EXPECT_LE(qc, 39 + off);
        }
}
