#include "params.h"

#include <algorithm>
#include <cstring>

#include "tables.h"

namespace h264dec {

namespace {

// 7.3.2.1.1.1 scaling_list(): values in zig-zag order; returns false when
// useDefaultScalingMatrixFlag is set.
bool read_scaling_list(BitReader& br, uint8_t* list, int n) {
    int last = 8, next = 8;
    for (int j = 0; j < n; ++j) {
        if (next != 0) {
            int delta = br.se();
            if (delta < -128 || delta > 127) fail("delta_scale out of range");
            next = (last + delta + 256) % 256;
            if (j == 0 && next == 0) return false;
        }
        list[j] = uint8_t(next == 0 ? last : next);
        last = list[j];
    }
    return true;
}

// Reads the lists of an SPS or PPS: present[i] = 0 absent, 1 coded, 2 default.
void read_scaling_lists(BitReader& br, int count, std::array<int8_t, 8>& present,
                        std::array<std::array<uint8_t, 64>, 8>& coded) {
    for (int i = 0; i < count; ++i) {
        present[i] = 0;
        if (br.flag()) present[i] = read_scaling_list(br, coded[i].data(), i < 6 ? 16 : 64) ? 1 : 2;
    }
}

const uint8_t* default_list(int i) {
    if (i < 6) return i < 3 ? kDefault4x4Intra : kDefault4x4Inter;
    return i == 6 ? kDefault8x8Intra : kDefault8x8Inter;
}

// Applies fall-back rule A (fallbackSeq null) or B and stores in raster order.
void build_matrices(const std::array<int8_t, 8>& present, const std::array<std::array<uint8_t, 64>, 8>& coded,
                    const ScalingMatrices* fallbackSeq, ScalingMatrices* out) {
    uint8_t zz[8][64];  // resolved lists, zig-zag order
    for (int i = 0; i < 8; ++i) {
        int n = i < 6 ? 16 : 64;
        if (present[i] == 1) {
            std::memcpy(zz[i], coded[i].data(), size_t(n));
        } else if (present[i] == 2) {
            std::memcpy(zz[i], default_list(i), size_t(n));
        } else if (i == 0 || i == 3 || i >= 6) {
            if (!fallbackSeq) {
                std::memcpy(zz[i], default_list(i), size_t(n));
            } else if (i < 6) {  // rule B: the sequence-level list, back to zig-zag
                for (int k = 0; k < 16; ++k) zz[i][k] = fallbackSeq->m4[size_t(i)][kZigzag4x4[k]];
            } else {
                for (int k = 0; k < 64; ++k) zz[i][k] = fallbackSeq->m8[size_t(i - 6)][kZigzag8x8[k]];
            }
        } else {
            std::memcpy(zz[i], zz[i - 1], 16);
        }
    }
    out->flat = true;
    for (int i = 0; i < 6; ++i)
        for (int k = 0; k < 16; ++k) {
            out->m4[size_t(i)][kZigzag4x4[k]] = zz[i][k];
            out->flat &= zz[i][k] == 16;
        }
    for (int i = 0; i < 2; ++i)
        for (int k = 0; k < 64; ++k) {
            out->m8[size_t(i)][kZigzag8x8[k]] = zz[6 + i][k];
            out->flat &= zz[6 + i][k] == 16;
        }
}

ScalingMatrices flat_matrices() {
    ScalingMatrices m;
    for (auto& a : m.m4) a.fill(16);
    for (auto& a : m.m8) a.fill(16);
    m.flat = true;
    return m;
}

void parse_hrd(BitReader& br) {
    uint32_t cpb_cnt = ue_max(br, 31, "cpb_cnt_minus1") + 1;
    br.u(4);
    br.u(4);
    for (uint32_t i = 0; i < cpb_cnt; ++i) {
        br.ue();
        br.ue();
        br.flag();
    }
    br.u(5);
    br.u(5);
    br.u(5);
    br.u(5);
}

void parse_vui(BitReader& br, Sps* s) {
    static constexpr int kSar[17][2] = {{0, 1},   {1, 1},   {12, 11}, {10, 11}, {16, 11}, {40, 33},
                                        {24, 11}, {20, 11}, {32, 11}, {80, 33}, {18, 11}, {15, 11},
                                        {64, 33}, {160, 99}, {4, 3},  {3, 2},   {2, 1}};
    if (br.flag()) {  // aspect_ratio_info_present_flag
        int idc = int(br.u(8));
        if (idc == 255) {
            s->sar_num = int(br.u(16));
            s->sar_den = int(br.u(16));
        } else if (idc < 17) {
            s->sar_num = kSar[idc][0];
            s->sar_den = kSar[idc][1];
        }
    }
    if (br.flag()) br.flag();  // overscan
    if (br.flag()) {           // video_signal_type_present_flag
        br.u(4);
        if (br.flag()) br.u(24);
    }
    if (br.flag()) {  // chroma_loc_info_present_flag
        br.ue();
        br.ue();
    }
    if (br.flag()) {  // timing_info_present_flag
        br.u(32);
        br.u(32);
        br.flag();
    }
    bool nal_hrd = br.flag();
    if (nal_hrd) parse_hrd(br);
    bool vcl_hrd = br.flag();
    if (vcl_hrd) parse_hrd(br);
    if (nal_hrd || vcl_hrd) br.flag();
    br.flag();        // pic_struct_present_flag
    if (br.flag()) {  // bitstream_restriction_flag
        s->bitstream_restriction = true;
        br.flag();
        br.ue();
        br.ue();
        br.ue();
        br.ue();
        s->max_num_reorder_frames = int(ue_max(br, 16, "max_num_reorder_frames"));
        s->max_dec_frame_buffering = int(ue_max(br, 16, "max_dec_frame_buffering"));
    }
}

}  // namespace

int Sps::dpb_frames() const {
    // Table A-1 MaxDpbMbs by level_idc.
    static constexpr struct {
        int level, mbs;
    } kLevels[] = {{9, 396},     {10, 396},    {11, 900},    {12, 2376},   {13, 2376},   {20, 2376},
                   {21, 4752},   {22, 8100},   {30, 8100},   {31, 18000},  {32, 20480},  {40, 32768},
                   {41, 32768},  {42, 34816},  {50, 110400}, {51, 184320}, {52, 184320}, {60, 696320},
                   {61, 696320}, {62, 696320}};
    int maxMbs = 184320;
    for (const auto& l : kLevels)
        if (l.level == level_idc) maxMbs = l.mbs;
    int frames = std::min(maxMbs / std::max(1, width_mbs * height_mbs()), 16);
    if (bitstream_restriction) frames = std::max(max_dec_frame_buffering, 1);
    return std::max(frames, std::max(max_num_ref_frames, 1));
}

void parse_sps(BitReader& br, Sps* out) {
    Sps s;
    s.profile_idc = int(br.u(8));
    br.u(8);  // constraint flags, reserved bits
    s.level_idc = int(br.u(8));
    s.id = int(ue_max(br, 31, "seq_parameter_set_id"));
    s.scaling = flat_matrices();
    if (s.profile_idc == 100 || s.profile_idc == 110 || s.profile_idc == 122 || s.profile_idc == 244 ||
        s.profile_idc == 44 || s.profile_idc == 83 || s.profile_idc == 86 || s.profile_idc == 118 ||
        s.profile_idc == 128 || s.profile_idc == 138 || s.profile_idc == 139 || s.profile_idc == 134 ||
        s.profile_idc == 135) {
        s.chroma_format_idc = int(ue_max(br, 3, "chroma_format_idc"));
        if (s.chroma_format_idc == 3) fail("4:4:4 streams are not supported");
        s.bit_depth_luma = 8 + int(ue_max(br, 6, "bit_depth_luma_minus8"));
        s.bit_depth_chroma = 8 + int(ue_max(br, 6, "bit_depth_chroma_minus8"));
        s.qpprime_y_zero_transform_bypass = br.flag();
        s.seq_scaling_present = br.flag();
        if (s.seq_scaling_present) {
            std::array<int8_t, 8> present{};
            std::array<std::array<uint8_t, 64>, 8> coded{};
            read_scaling_lists(br, 8, present, coded);
            build_matrices(present, coded, nullptr, &s.scaling);
        }
    }
    s.log2_max_frame_num = 4 + int(ue_max(br, 12, "log2_max_frame_num_minus4"));
    s.poc_type = int(ue_max(br, 2, "pic_order_cnt_type"));
    if (s.poc_type == 0) {
        s.log2_max_poc_lsb = 4 + int(ue_max(br, 12, "log2_max_pic_order_cnt_lsb_minus4"));
    } else if (s.poc_type == 1) {
        s.delta_pic_order_always_zero = br.flag();
        s.offset_for_non_ref_pic = se_poc(br, "offset_for_non_ref_pic");
        s.offset_for_top_to_bottom_field = se_poc(br, "offset_for_top_to_bottom_field");
        s.num_ref_frames_in_poc_cycle = int(ue_max(br, 254, "num_ref_frames_in_pic_order_cnt_cycle"));
        for (int i = 0; i < s.num_ref_frames_in_poc_cycle; ++i)
            s.offset_for_ref_frame[size_t(i)] = se_poc(br, "offset_for_ref_frame");
    }
    s.max_num_ref_frames = int(ue_max(br, 16, "max_num_ref_frames"));
    s.gaps_in_frame_num_allowed = br.flag();
    s.width_mbs = int(ue_max(br, 1023, "pic_width_in_mbs_minus1")) + 1;
    s.height_map_units = int(ue_max(br, 1023, "pic_height_in_map_units_minus1")) + 1;
    s.frame_mbs_only = br.flag();
    if (!s.frame_mbs_only) s.mb_adaptive_frame_field = br.flag();
    s.direct_8x8_inference = br.flag();
    if (br.flag()) {  // frame_cropping_flag
        int cx = s.chroma_format_idc == 0 || s.chroma_format_idc == 3 ? 1 : 2;
        int cy = (s.chroma_format_idc == 1 ? 2 : 1) * (s.frame_mbs_only ? 1 : 2);
        uint32_t l = br.ue(), r = br.ue(), t = br.ue(), b = br.ue();
        uint32_t w = uint32_t(s.width_mbs) * 16, h = uint32_t(s.height_mbs()) * 16;
        if (uint64_t(l + r) * uint64_t(cx) >= w || uint64_t(t + b) * uint64_t(cy) >= h)
            fail("frame cropping larger than the picture");
        s.crop_left = int(l) * cx;
        s.crop_right = int(r) * cx;
        s.crop_top = int(t) * cy;
        s.crop_bottom = int(b) * cy;
    }
    if (br.flag()) parse_vui(br, &s);
    br.check();
    s.valid = true;
    *out = s;
}

void parse_pps(BitReader& br, const Sps* spsTable, Pps* out) {
    Pps p;
    p.id = int(ue_max(br, 255, "pic_parameter_set_id"));
    p.sps_id = int(ue_max(br, 31, "seq_parameter_set_id"));
    const Sps& sps = spsTable[p.sps_id];
    if (!sps.valid) fail("picture parameter set refers to a missing sequence parameter set");
    p.entropy_coding_mode = br.flag();
    p.bottom_field_pic_order_in_frame_present = br.flag();
    p.num_slice_groups = int(ue_max(br, 7, "num_slice_groups_minus1")) + 1;
    if (p.num_slice_groups > 1) fail("slice groups (FMO) are not supported");
    p.num_ref_idx_default[0] = int(ue_max(br, 31, "num_ref_idx_l0_default_active_minus1")) + 1;
    p.num_ref_idx_default[1] = int(ue_max(br, 31, "num_ref_idx_l1_default_active_minus1")) + 1;
    p.weighted_pred = br.flag();
    p.weighted_bipred_idc = int(br.u(2));
    if (p.weighted_bipred_idc == 3) fail("weighted_bipred_idc 3 is reserved");
    p.pic_init_qp = 26 + br.se();
    br.se();  // pic_init_qs_minus26
    p.chroma_qp_index_offset = br.se();
    if (p.chroma_qp_index_offset < -12 || p.chroma_qp_index_offset > 12) fail("chroma_qp_index_offset out of range");
    p.second_chroma_qp_index_offset = p.chroma_qp_index_offset;
    p.deblocking_filter_control_present = br.flag();
    p.constrained_intra_pred = br.flag();
    p.redundant_pic_cnt_present = br.flag();
    if (br.more_rbsp_data()) {
        p.transform_8x8_mode = br.flag();
        p.pic_scaling_present = br.flag();
        if (p.pic_scaling_present) {
            int count = 6 + (sps.chroma_format_idc != 3 ? 2 : 6) * (p.transform_8x8_mode ? 1 : 0);
            read_scaling_lists(br, std::min(count, 8), p.list_present, p.coded);
        }
        p.second_chroma_qp_index_offset = br.se();
        if (p.second_chroma_qp_index_offset < -12 || p.second_chroma_qp_index_offset > 12)
            fail("second_chroma_qp_index_offset out of range");
    }
    br.check();
    p.valid = true;
    *out = p;
}

ScalingMatrices resolve_scaling(const Sps& sps, const Pps& pps) {
    if (!pps.pic_scaling_present) return sps.scaling;
    // Table 7-2: absent picture lists fall back by rule A when the sequence
    // has no matrices, by rule B (the sequence's lists) when it has.
    ScalingMatrices m;
    build_matrices(pps.list_present, pps.coded, sps.seq_scaling_present ? &sps.scaling : nullptr, &m);
    return m;
}

}  // namespace h264dec
