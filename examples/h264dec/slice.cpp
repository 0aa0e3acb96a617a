#include "slice.h"

#include <string>

namespace h264dec {

namespace {

void parse_pred_weight_table(BitReader& br, SliceHeader* sh) {
    sh->luma_log2_wd = ue_max(br, 7, "luma_log2_weight_denom");
    sh->chroma_log2_wd = ue_max(br, 7, "chroma_log2_weight_denom");
    for (int list = 0; list < (sh->slice_type == kSliceB ? 2 : 1); ++list) {
        for (int i = 0; i < sh->num_ref_idx[list]; ++i) {
            WeightEntry& e = sh->weights[list][i];
            e.luma_w = 1 << sh->luma_log2_wd;
            e.luma_o = 0;
            e.luma_flag = br.flag();
            if (e.luma_flag) {
                e.luma_w = br.se();
                e.luma_o = br.se();
                if (e.luma_w < -128 || e.luma_w > 127 || e.luma_o < -128 || e.luma_o > 127)
                    fail("luma weight out of range");
            }
            e.chroma_flag = br.flag();
            for (int c = 0; c < 2; ++c) {
                e.chroma_w[c] = 1 << sh->chroma_log2_wd;
                e.chroma_o[c] = 0;
                if (e.chroma_flag) {
                    e.chroma_w[c] = br.se();
                    e.chroma_o[c] = br.se();
                    if (e.chroma_w[c] < -128 || e.chroma_w[c] > 127 || e.chroma_o[c] < -128 || e.chroma_o[c] > 127)
                        fail("chroma weight out of range");
                }
            }
        }
    }
}

void parse_marking(BitReader& br, SliceHeader* sh) {
    if (sh->idr) {
        sh->no_output_of_prior_pics = br.flag();
        sh->long_term_reference = br.flag();
        return;
    }
    sh->adaptive_marking = br.flag();
    if (!sh->adaptive_marking) return;
    for (;;) {
        uint32_t op = br.ue();
        if (op == 0) break;
        if (op > 6) fail("memory_management_control_operation out of range");
        if (sh->num_mmco >= 66) fail("too many memory management operations");
        Mmco& m = sh->mmco[sh->num_mmco++];
        m.op = int(op);
        if (op == 1 || op == 3) m.diff_pic_nums_minus1 = br.ue();
        if (op == 2) m.long_term_pic_num = uint32_t(ue_max(br, 31, "long_term_pic_num"));
        if (op == 3 || op == 6) m.long_term_frame_idx = uint32_t(ue_max(br, 15, "long_term_frame_idx"));
        if (op == 4) m.max_long_term_frame_idx_plus1 = uint32_t(ue_max(br, 16, "max_long_term_frame_idx_plus1"));
        if (op == 5) sh->has_mmco5 = true;
    }
}

}  // namespace

void parse_slice_header(BitReader& br, int nal_unit_type, int nal_ref_idc, const Sps* spsTable,
                        const Pps* ppsTable, SliceHeader* sh) {
    sh->nal_ref_idc = nal_ref_idc;
    sh->idr = nal_unit_type == 5;
    sh->first_mb = ue_max(br, 139263, "first_mb_in_slice");
    uint32_t st = br.ue();
    if (st > 9) fail("slice_type out of range");
    sh->slice_type = int(st % 5);
    if (sh->slice_type == kSliceSP || sh->slice_type == kSliceSI) fail("SP and SI slices are not supported");
    if (sh->idr && sh->slice_type != kSliceI) fail("IDR picture with a non-intra slice");
    uint32_t ppsId = br.ue();
    if (ppsId > 255 || !ppsTable[ppsId].valid) fail("slice refers to a missing picture parameter set");
    sh->pps_id = int(ppsId);
    const Pps& pps = ppsTable[ppsId];
    const Sps& sps = spsTable[pps.sps_id];
    if (!sps.valid) fail("slice refers to a missing sequence parameter set");
    if (pps.entropy_coding_mode)
        fail("CABAC slices are not supported: the library has no CABAC decoder (CAVLC streams only)");
    sh->frame_num = int(br.u(unsigned(sps.log2_max_frame_num)));
    if (!sps.frame_mbs_only) {
        if (br.flag()) fail("field pictures are not supported");
    }
    if (sps.mb_adaptive_frame_field) fail("MBAFF is not supported");
    if (sh->first_mb >= sps.width_mbs * sps.height_mbs()) fail("first_mb_in_slice out of range");
    if (sh->idr) sh->idr_pic_id = ue_max(br, 65535, "idr_pic_id");
    if (sps.poc_type == 0) {
        sh->poc_lsb = int(br.u(unsigned(sps.log2_max_poc_lsb)));
        if (pps.bottom_field_pic_order_in_frame_present) sh->delta_poc_bottom = se_poc(br, "delta_pic_order_cnt_bottom");
    }
    if (sps.poc_type == 1 && !sps.delta_pic_order_always_zero) {
        sh->delta_poc[0] = se_poc(br, "delta_pic_order_cnt");
        if (pps.bottom_field_pic_order_in_frame_present) sh->delta_poc[1] = se_poc(br, "delta_pic_order_cnt");
    }
    if (pps.redundant_pic_cnt_present) {
        if (br.ue() != 0) fail("redundant pictures are not supported");
    }
    if (sh->slice_type == kSliceB) sh->direct_spatial = br.flag();
    sh->num_ref_idx[0] = sh->num_ref_idx[1] = 0;
    if (sh->slice_type != kSliceI) {
        sh->num_ref_idx[0] = pps.num_ref_idx_default[0];
        if (sh->slice_type == kSliceB) sh->num_ref_idx[1] = pps.num_ref_idx_default[1];
        if (br.flag()) {  // num_ref_idx_active_override_flag
            sh->num_ref_idx[0] = ue_max(br, 31, "num_ref_idx_l0_active_minus1") + 1;
            if (sh->slice_type == kSliceB) sh->num_ref_idx[1] = ue_max(br, 31, "num_ref_idx_l1_active_minus1") + 1;
        }
    }
    // ref_pic_list_modification()
    for (int list = 0; list < 2; ++list) {
        sh->num_mods[list] = 0;
        if (sh->slice_type == kSliceI || (list == 1 && sh->slice_type != kSliceB)) continue;
        if (!br.flag()) continue;
        for (;;) {
            uint32_t idc = br.ue();
            if (idc == 3) break;
            if (idc > 2) fail("modification_of_pic_nums_idc out of range");
            if (sh->num_mods[list] > sh->num_ref_idx[list]) fail("too many reference list modifications");
            sh->mods[list][sh->num_mods[list]++] = RefListMod{int(idc), br.ue()};
        }
    }
    if ((pps.weighted_pred && sh->slice_type == kSliceP) || (pps.weighted_bipred_idc == 1 && sh->slice_type == kSliceB))
        parse_pred_weight_table(br, sh);
    sh->num_mmco = 0;
    sh->has_mmco5 = false;
    sh->adaptive_marking = false;
    if (nal_ref_idc != 0) parse_marking(br, sh);
    int qp = pps.pic_init_qp + br.se();
    if (qp < -6 * (sps.bit_depth_luma - 8) || qp > 51) fail("slice QP out of range");
    sh->qp = qp;
    sh->disable_deblocking = 0;
    sh->alpha_offset = sh->beta_offset = 0;
    if (pps.deblocking_filter_control_present) {
        uint32_t d = br.ue();
        if (d > 2) fail("disable_deblocking_filter_idc out of range");
        sh->disable_deblocking = int(d);
        if (d != 1) {
            int a = br.se(), b = br.se();
            if (a < -6 || a > 6 || b < -6 || b > 6) fail("deblocking filter offset out of range");
            sh->alpha_offset = a * 2;
            sh->beta_offset = b * 2;
        }
    }
    br.check();
}

}  // namespace h264dec
