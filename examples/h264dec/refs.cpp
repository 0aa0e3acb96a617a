#include "refs.h"

#include <algorithm>

#include "decoder.h"

namespace h264dec {

void set_frame_num_wrap(const std::vector<Picture*>& pics, int frameNum, int maxFrameNum) {
    for (Picture* p : pics) p->frame_num_wrap = p->frame_num > frameNum ? p->frame_num - maxFrameNum : p->frame_num;
}

void init_ref_lists(const std::vector<Picture*>& pics, int curPoc, bool bSlice, std::vector<Picture*> init[2]) {
    std::vector<Picture*> st, lt;
    for (Picture* p : pics) {
        if (p->ref_short) st.push_back(p);
        if (p->ref_long) lt.push_back(p);
    }
    std::sort(lt.begin(), lt.end(),
              [](const Picture* a, const Picture* b) { return a->long_term_frame_idx < b->long_term_frame_idx; });
    init[0].clear();
    init[1].clear();
    if (!bSlice) {  // 8.2.4.2.1: descending PicNum, then ascending LongTermPicNum
        std::sort(st.begin(), st.end(),
                  [](const Picture* a, const Picture* b) { return a->frame_num_wrap > b->frame_num_wrap; });
        init[0] = st;
        init[0].insert(init[0].end(), lt.begin(), lt.end());
        return;
    }
    // 8.2.4.2.3: by POC, before the current picture and after it
    std::vector<Picture*> before, after;
    for (Picture* p : st) (p->poc < curPoc ? before : after).push_back(p);
    std::sort(before.begin(), before.end(), [](const Picture* a, const Picture* b) { return a->poc > b->poc; });
    std::sort(after.begin(), after.end(), [](const Picture* a, const Picture* b) { return a->poc < b->poc; });
    init[0] = before;
    init[0].insert(init[0].end(), after.begin(), after.end());
    init[0].insert(init[0].end(), lt.begin(), lt.end());
    init[1] = after;
    init[1].insert(init[1].end(), before.begin(), before.end());
    init[1].insert(init[1].end(), lt.begin(), lt.end());
    if (init[1].size() > 1 && init[0] == init[1]) std::swap(init[1][0], init[1][1]);
}

void modify_ref_list(const std::vector<Picture*>& pics, int frameNum, int maxFrameNum, const RefListMod* mods,
                     int numMods, Picture** list, int n) {
    const int currPicNum = frameNum;
    int picNumPred = currPicNum;
    for (int m = 0; m < numMods; ++m) {
        const RefListMod& mod = mods[m];
        if (m >= n) fail("too many reference list modifications");
        Picture* pic = nullptr;
        if (mod.idc < 2) {  // 8.2.4.3.1 short-term
            int abs = int(std::min<uint32_t>(mod.val, uint32_t(maxFrameNum))) + 1;
            int noWrap;
            if (mod.idc == 0) {
                noWrap = picNumPred - abs;
                if (noWrap < 0) noWrap += maxFrameNum;
            } else {
                noWrap = picNumPred + abs;
                if (noWrap >= maxFrameNum) noWrap -= maxFrameNum;
            }
            picNumPred = noWrap;
            int picNum = noWrap > currPicNum ? noWrap - maxFrameNum : noWrap;
            for (Picture* p : pics)
                if (p->ref_short && p->frame_num_wrap == picNum) pic = p;
            if (!pic) fail("reference list modification names a missing picture");
        } else {  // 8.2.4.3.2 long-term
            for (Picture* p : pics)
                if (p->ref_long && p->long_term_frame_idx == int(mod.val)) pic = p;
            if (!pic) fail("reference list modification names a missing long-term picture");
        }
        // place pic at index m, shift the rest down, drop its later entry
        Picture* tmp[33];
        for (int i = 0; i < n; ++i) tmp[i] = list[i];
        list[m] = pic;
        int k = m + 1;
        for (int i = m; i < n && k < n; ++i)
            if (tmp[i] && tmp[i] != pic) list[k++] = tmp[i];
        while (k < n) list[k++] = nullptr;
    }
}

namespace {
Picture* oldest_short_term(const std::vector<Picture*>& pics) {
    Picture* oldest = nullptr;
    for (Picture* p : pics)
        if (p->ref_short && (!oldest || p->frame_num_wrap < oldest->frame_num_wrap)) oldest = p;
    return oldest;
}

int count_refs(const std::vector<Picture*>& pics) {
    int n = 0;
    for (Picture* p : pics) n += p->is_ref();
    return n;
}
}  // namespace

void mark_reference(const std::vector<Picture*>& pics, Picture* cur, const SliceHeader& sh, int maxNumRefFrames,
                    int maxFrameNum, int* maxLongTermIdx) {
    const int maxRefs = std::max(maxNumRefFrames, 1);
    if (sh.idr) {
        for (Picture* p : pics) p->ref_short = p->ref_long = false;
        cur->ref_long = sh.long_term_reference;
        cur->ref_short = !sh.long_term_reference;
        cur->long_term_frame_idx = 0;
        *maxLongTermIdx = sh.long_term_reference ? 0 : -1;
        return;
    }
    set_frame_num_wrap(pics, sh.frame_num, maxFrameNum);
    bool currentLong = false;
    if (!sh.adaptive_marking) {  // 8.2.5.3 sliding window
        if (count_refs(pics) >= maxRefs)
            if (Picture* oldest = oldest_short_term(pics)) oldest->ref_short = false;
    }
    auto shortByPicNum = [&](int picNum) -> Picture* {
        for (Picture* p : pics)
            if (p->ref_short && p->frame_num_wrap == picNum) return p;
        return nullptr;
    };
    auto dropLongIdx = [&](int idx) {
        for (Picture* p : pics)
            if (p->ref_long && p->long_term_frame_idx == idx) p->ref_long = false;
    };
    for (int i = 0; sh.adaptive_marking && i < sh.num_mmco; ++i) {  // 8.2.5.4
        const Mmco& m = sh.mmco[i];
        const int picNumX = sh.frame_num - int(m.diff_pic_nums_minus1 % 65536u) - 1;
        switch (m.op) {
        case 1:
            if (Picture* p = shortByPicNum(picNumX)) p->ref_short = false;
            break;
        case 2:
            for (Picture* p : pics)
                if (p->ref_long && p->long_term_frame_idx == int(m.long_term_pic_num)) p->ref_long = false;
            break;
        case 3:
            if (Picture* p = shortByPicNum(picNumX)) {
                dropLongIdx(int(m.long_term_frame_idx));
                p->ref_short = false;
                p->ref_long = true;
                p->long_term_frame_idx = int(m.long_term_frame_idx);
            }
            break;
        case 4:
            *maxLongTermIdx = int(m.max_long_term_frame_idx_plus1) - 1;
            for (Picture* p : pics)
                if (p->ref_long && p->long_term_frame_idx > *maxLongTermIdx) p->ref_long = false;
            break;
        case 5:
            for (Picture* p : pics) p->ref_short = p->ref_long = false;
            *maxLongTermIdx = -1;
            cur->mmco5 = true;
            break;
        case 6:
            dropLongIdx(int(m.long_term_frame_idx));
            cur->ref_long = true;
            cur->long_term_frame_idx = int(m.long_term_frame_idx);
            currentLong = true;
            break;
        }
    }
    if (!currentLong) cur->ref_short = true;
    // a stream that marks more frames than it declared: keep going as a
    // sliding window would (the oldest short-term picture goes)
    if (count_refs(pics) + 1 > maxRefs)
        if (Picture* oldest = oldest_short_term(pics)) oldest->ref_short = false;
}

}  // namespace h264dec
