#include "poc.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace h264dec {

int compute_poc(const Sps& s, const SliceHeader& sh, PocState* st) {
    const int maxFrameNum = s.max_frame_num();
    if (s.poc_type == 0) {
        if (sh.idr) st->prevMsb = st->prevLsb = 0;
        const int maxLsb = 1 << s.log2_max_poc_lsb;
        int msb;
        if (sh.poc_lsb < st->prevLsb && st->prevLsb - sh.poc_lsb >= maxLsb / 2) msb = st->prevMsb + maxLsb;
        else if (sh.poc_lsb > st->prevLsb && sh.poc_lsb - st->prevLsb > maxLsb / 2) msb = st->prevMsb - maxLsb;
        else msb = st->prevMsb;
        st->msb = msb;
        st->top = msb + sh.poc_lsb;
        st->bottom = st->top + sh.delta_poc_bottom;
        return std::min(st->top, st->bottom);
    }
    if (sh.idr) st->frameNumOffset = 0;
    else if (st->prevFrameNum > sh.frame_num) st->frameNumOffset = st->prevFrameNumOffset + maxFrameNum;
    else st->frameNumOffset = st->prevFrameNumOffset;
    if (s.poc_type == 1) {
        int absFrameNum = s.num_ref_frames_in_poc_cycle != 0 ? st->frameNumOffset + sh.frame_num : 0;
        if (sh.nal_ref_idc == 0 && absFrameNum > 0) --absFrameNum;
        int64_t expected = 0;
        if (absFrameNum > 0) {
            int64_t deltaCycle = 0;  // ExpectedDeltaPerPicOrderCntCycle
            for (int i = 0; i < s.num_ref_frames_in_poc_cycle; ++i) deltaCycle += s.offset_for_ref_frame[size_t(i)];
            int cycleCnt = (absFrameNum - 1) / s.num_ref_frames_in_poc_cycle;
            int inCycle = (absFrameNum - 1) % s.num_ref_frames_in_poc_cycle;
            expected = int64_t(cycleCnt) * deltaCycle;
            for (int i = 0; i <= inCycle; ++i) expected += s.offset_for_ref_frame[size_t(i)];
        }
        if (sh.nal_ref_idc == 0) expected += s.offset_for_non_ref_pic;
        // corrupt parameters must not overflow the arithmetic below
        expected = std::clamp<int64_t>(expected, INT_MIN / 4, INT_MAX / 4);
        st->top = int(expected) + sh.delta_poc[0];
        st->bottom = st->top + s.offset_for_top_to_bottom_field + sh.delta_poc[1];
    } else {
        int t = sh.idr ? 0
                       : (sh.nal_ref_idc == 0 ? 2 * (st->frameNumOffset + sh.frame_num) - 1
                                              : 2 * (st->frameNumOffset + sh.frame_num));
        st->top = st->bottom = t;
    }
    return std::min(st->top, st->bottom);
}

int finish_poc(const SliceHeader& sh, bool mmco5, PocState* st) {
    if (mmco5) {  // 8.2.1: tempPicOrderCnt rebases the picture to 0
        int temp = std::min(st->top, st->bottom);
        st->top -= temp;
        st->bottom -= temp;
    }
    if (sh.nal_ref_idc != 0) {
        st->prevMsb = mmco5 ? 0 : st->msb;
        st->prevLsb = mmco5 ? st->top : sh.poc_lsb;
    }
    st->prevFrameNumOffset = mmco5 ? 0 : st->frameNumOffset;
    st->prevFrameNum = mmco5 ? 0 : sh.frame_num;
    return std::min(st->top, st->bottom);
}

}  // namespace h264dec
