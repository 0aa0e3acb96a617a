// Sequence and picture parameter sets (H.264 7.3.2.1, 7.3.2.2) with their
// scaling matrices (7.4.2.1.1.1, Table 7-2).
#pragma once
#include <array>
#include <cstdint>

#include "bitstream.h"

namespace h264dec {

// Scaling lists in raster order: [0..5] 4x4 (Intra Y, Cb, Cr, Inter Y, Cb, Cr),
// [6..7] 8x8 (Intra Y, Inter Y).
struct ScalingMatrices {
    std::array<std::array<uint8_t, 16>, 6> m4{};
    std::array<std::array<uint8_t, 64>, 2> m8{};
    bool flat = true;  // every entry 16
};

struct Sps {
    bool valid = false;
    int profile_idc = 0;
    int level_idc = 0;
    int id = 0;
    int chroma_format_idc = 1;
    int bit_depth_luma = 8;
    int bit_depth_chroma = 8;
    bool qpprime_y_zero_transform_bypass = false;
    bool seq_scaling_present = false;
    ScalingMatrices scaling;  // flat when not present
    int log2_max_frame_num = 4;
    int poc_type = 0;
    int log2_max_poc_lsb = 4;
    bool delta_pic_order_always_zero = false;
    int offset_for_non_ref_pic = 0;
    int offset_for_top_to_bottom_field = 0;
    int num_ref_frames_in_poc_cycle = 0;
    std::array<int32_t, 255> offset_for_ref_frame{};
    int max_num_ref_frames = 0;
    bool gaps_in_frame_num_allowed = false;
    int width_mbs = 0;
    int height_map_units = 0;
    bool frame_mbs_only = true;
    bool mb_adaptive_frame_field = false;
    bool direct_8x8_inference = false;
    int crop_left = 0, crop_right = 0, crop_top = 0, crop_bottom = 0;  // in samples
    int sar_num = 0, sar_den = 1;
    bool bitstream_restriction = false;
    int max_num_reorder_frames = 0;
    int max_dec_frame_buffering = 0;

    int height_mbs() const { return height_map_units * (frame_mbs_only ? 1 : 2); }
    int max_frame_num() const { return 1 << log2_max_frame_num; }
    int dpb_frames() const;  // DPB capacity in frames (A.3.1, VUI)
};

struct Pps {
    bool valid = false;
    int id = 0;
    int sps_id = 0;
    bool entropy_coding_mode = false;
    bool bottom_field_pic_order_in_frame_present = false;
    int num_slice_groups = 1;
    int num_ref_idx_default[2] = {1, 1};
    bool weighted_pred = false;
    int weighted_bipred_idc = 0;
    int pic_init_qp = 26;
    int chroma_qp_index_offset = 0;
    bool deblocking_filter_control_present = false;
    bool constrained_intra_pred = false;
    bool redundant_pic_cnt_present = false;
    bool transform_8x8_mode = false;
    bool pic_scaling_present = false;
    int second_chroma_qp_index_offset = 0;
    // Scaling lists as coded in the PPS (resolved against the SPS at
    // activation, because fall-back rule B refers to the active SPS).
    std::array<int8_t, 8> list_present{};     // 0 absent, 1 coded, 2 default
    std::array<std::array<uint8_t, 64>, 8> coded{};
};

void parse_sps(BitReader& br, Sps* sps);
void parse_pps(BitReader& br, const Sps* spsTable, Pps* pps);

// Scaling matrices in effect for a picture with this SPS and PPS.
ScalingMatrices resolve_scaling(const Sps& sps, const Pps& pps);

}  // namespace h264dec
