// Slice header (H.264 7.3.3) with reference list modification, prediction
// weight table and decoded reference picture marking syntax.
#pragma once
#include <cstdint>

#include "bitstream.h"
#include "params.h"

namespace h264dec {

enum SliceType { kSliceP = 0, kSliceB = 1, kSliceI = 2, kSliceSP = 3, kSliceSI = 4 };

struct RefListMod {
    int idc;       // modification_of_pic_nums_idc 0..2
    uint32_t val;  // abs_diff_pic_num_minus1 or long_term_pic_num
};

struct Mmco {
    int op;  // memory_management_control_operation 1..6
    uint32_t diff_pic_nums_minus1 = 0;
    uint32_t long_term_pic_num = 0;
    uint32_t long_term_frame_idx = 0;
    uint32_t max_long_term_frame_idx_plus1 = 0;
};

struct WeightEntry {
    int luma_w, luma_o;
    int chroma_w[2], chroma_o[2];
    bool luma_flag, chroma_flag;
};

struct SliceHeader {
    int nal_ref_idc = 0;
    bool idr = false;
    int first_mb = 0;
    int slice_type = 0;  // SliceType
    int pps_id = 0;
    int frame_num = 0;
    int idr_pic_id = 0;
    int poc_lsb = 0;
    int delta_poc_bottom = 0;
    int delta_poc[2] = {0, 0};
    bool direct_spatial = false;
    int num_ref_idx[2] = {0, 0};
    int num_mods[2] = {0, 0};
    RefListMod mods[2][33];
    // prediction weight table
    int luma_log2_wd = 0, chroma_log2_wd = 0;
    WeightEntry weights[2][32];
    // marking
    bool no_output_of_prior_pics = false;
    bool long_term_reference = false;
    bool adaptive_marking = false;
    int num_mmco = 0;
    Mmco mmco[66];
    bool has_mmco5 = false;
    int qp = 26;  // SliceQPY
    int disable_deblocking = 0;
    int alpha_offset = 0, beta_offset = 0;  // FilterOffsetA, FilterOffsetB
};

// Parses up to and including the deblocking syntax. spsTable / ppsTable are
// the stored parameter sets; the slice must refer to valid ones.
void parse_slice_header(BitReader& br, int nal_unit_type, int nal_ref_idc, const Sps* spsTable,
                        const Pps* ppsTable, SliceHeader* sh);

}  // namespace h264dec
