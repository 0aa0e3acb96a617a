// NAL unit dispatch, picture management, picture order count (8.2.1),
// reference picture lists (8.2.4), decoded reference picture marking
// (8.2.5) and output in display order (C.4.5).
#include "decoder.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "poc.h"
#include "tables.h"

namespace h264dec {

Decoder::Decoder(OutputFn out) : out_(std::move(out)) {}
Decoder::~Decoder() = default;

void Decoder::decode_stream(const uint8_t* data, size_t size) {
    AnnexBReader r(data, size);
    const uint8_t* nal;
    size_t n;
    try {
        while (r.next(&nal, &n)) decode_nal(nal, n);
        flush();
    } catch (const DecodeError&) {
        // the pictures decoded before the error still leave, in order
        cur_ = nullptr;
        output_ready(true);
        throw;
    }
}

void Decoder::decode_nal(const uint8_t* data, size_t size) {
    NalUnit nal;
    parse_nal(data, size, &nal);
    BitReader br(nal.rbsp);
    switch (nal.nal_unit_type) {
    case 1:
    case 5: {
        SliceHeader sh;
        parse_slice_header(br, nal.nal_unit_type, nal.nal_ref_idc, sps_, pps_, &sh);
        const bool newPic = !cur_ || sh.first_mb == 0 || sh.frame_num != first_sh_.frame_num ||
                            sh.pps_id != first_sh_.pps_id || sh.idr != first_sh_.idr ||
                            sh.poc_lsb != first_sh_.poc_lsb || (sh.nal_ref_idc != 0) != (first_sh_.nal_ref_idc != 0);
        if (cur_ && newPic) finish_picture();
        sh_ = sh;
        if (!cur_) start_picture(sh_);
        else ++slice_num_;
        if (sh_.first_mb < 0 || cur_->mbs[size_t(sh_.first_mb)].slice >= 0) fail("slice overlaps a decoded slice");
        build_ref_lists();
        decode_slice(br);
        if (mbs_decoded_ == width_mbs_ * height_mbs_) finish_picture();
        break;
    }
    case 2:
    case 3:
    case 4:
        fail("data partitioning is not supported");
    case 7: {
        if (cur_) finish_picture();
        Sps s;
        parse_sps(br, &s);
        sps_[s.id] = s;
        break;
    }
    case 8: {
        if (cur_) finish_picture();
        Pps p;
        parse_pps(br, sps_, &p);
        pps_[p.id] = p;
        break;
    }
    case 9:
    case 10:
    case 11:
        if (cur_) finish_picture();
        break;
    case 20:
    case 21:
        fail("scalable and multiview extensions are not supported");
    default:
        break;  // SEI and others: nothing the pictures depend on
    }
}

void Decoder::flush() {
    if (cur_) finish_picture();
    output_ready(true);
}

// ---------------------------------------------------------------------------
// Activation and picture start

void Decoder::activate(const SliceHeader& sh) {
    pps = &pps_[sh.pps_id];
    const Sps* s = &sps_[pps->sps_id];
    if (s->chroma_format_idc != 1) fail("only 4:2:0 streams are supported");
    if (s->bit_depth_luma != 8 || s->bit_depth_chroma != 8) fail("only 8-bit streams are supported");
    if (s->qpprime_y_zero_transform_bypass) fail("lossless (transform bypass) streams are not supported");
    if (!s->frame_mbs_only) fail("interlaced streams are not supported");
    if (s->width_mbs * s->height_mbs() > H264DEC_MAX_MBS) fail("picture larger than the decoder accepts");
    bool changed = !sps || sps->width_mbs != s->width_mbs || sps->height_mbs() != s->height_mbs() ||
                   sps->dpb_frames() != s->dpb_frames();
    if (changed && sps) {
        output_ready(true);
        for (auto& p : pool_) p->ref_short = p->ref_long = false;
    }
    sps = s;
    width_mbs_ = s->width_mbs;
    height_mbs_ = s->height_mbs();
    dpb_size_ = s->dpb_frames();
    reorder_ = s->bitstream_restriction ? s->max_num_reorder_frames : dpb_size_;
    scaling_ = resolve_scaling(*sps, *pps);
    compute_levels();
}

Picture* Decoder::alloc_picture() {
    for (auto& p : pool_) {
        if (!p->is_ref() && !p->needed_for_output && (p->width != width_mbs_ * 16 || p->height != height_mbs_ * 16))
            p->buf.clear();
    }
    Picture* pic = nullptr;
    for (auto& p : pool_)
        if (!p->is_ref() && !p->needed_for_output) {
            pic = p.get();
            break;
        }
    if (!pic) {
        if (pool_.size() > 40) fail("decoded picture buffer overflow");
        pool_.push_back(std::make_unique<Picture>());
        pic = pool_.back().get();
    }
    const int w = width_mbs_ * 16, h = height_mbs_ * 16;
    if (pic->buf.empty() || pic->width != w || pic->height != h) {
        pic->width = w;
        pic->height = h;
        pic->strideY = w;
        pic->strideC = w / 2;
        pic->buf.assign(size_t(w) * size_t(h) * 3 / 2, 0);
        pic->Y = pic->buf.data();
        pic->Cb = pic->Y + size_t(w) * size_t(h);
        pic->Cr = pic->Cb + size_t(w / 2) * size_t(h / 2);
    }
    pic->mbs.assign(size_t(width_mbs_ * height_mbs_), MbInfo());
    pic->uid = next_uid_++;
    pic->ref_short = pic->ref_long = false;
    pic->needed_for_output = false;
    pic->mmco5 = false;
    return pic;
}

void Decoder::start_picture(const SliceHeader& sh) {
    activate(sh);
    if (sh.idr) {
        // all reference pictures go; prior pictures are output (or dropped)
        for (auto& p : pool_) p->ref_short = p->ref_long = false;
        if (sh.no_output_of_prior_pics)
            for (auto& p : pool_) p->needed_for_output = false;
        output_ready(true);
    }
    cur_ = alloc_picture();
    first_sh_ = sh;
    slice_num_ = 0;
    mbs_decoded_ = 0;
    cur_->frame_num = sh.frame_num;
    cur_->poc = compute_poc(*sps, sh, &poc_);
}

// ---------------------------------------------------------------------------
// Reference picture lists (8.2.4)

void Decoder::build_ref_lists() {
    list_len_[0] = list_len_[1] = 0;
    std::memset(list_, 0, sizeof list_);
    update_frame_num_wrap(sh_.frame_num);
    if (sh_.slice_type == kSliceI) return;
    std::vector<Picture*> st, lt;
    for (auto& p : pool_) {
        if (p.get() == cur_) continue;
        if (p->ref_short) st.push_back(p.get());
        if (p->ref_long) lt.push_back(p.get());
    }
    std::sort(lt.begin(), lt.end(),
              [](const Picture* a, const Picture* b) { return a->long_term_frame_idx < b->long_term_frame_idx; });
    std::vector<Picture*> init[2];
    if (sh_.slice_type == kSliceP) {
        std::sort(st.begin(), st.end(), [](const Picture* a, const Picture* b) { return a->frame_num_wrap > b->frame_num_wrap; });
        init[0] = st;
        init[0].insert(init[0].end(), lt.begin(), lt.end());
    } else {
        std::vector<Picture*> before, after;
        for (Picture* p : st) (p->poc < cur_->poc ? before : after).push_back(p);
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
    for (int list = 0; list < (sh_.slice_type == kSliceB ? 2 : 1); ++list) {
        list_len_[list] = sh_.num_ref_idx[list];
        for (int i = 0; i < std::min<int>(int(init[list].size()), list_len_[list]); ++i) list_[list][i] = init[list][size_t(i)];
        modify_ref_list(list);
        for (int i = 0; i < list_len_[list]; ++i)
            if (!list_[list][i]) fail("reference picture list holds a missing picture");
    }
    weight_mode_ = 0;
    if (sh_.slice_type == kSliceP && pps->weighted_pred) weight_mode_ = 1;
    if (sh_.slice_type == kSliceB) weight_mode_ = pps->weighted_bipred_idc;
    if (sh_.slice_type == kSliceB) {
        col_short_term_ = list_[1][0]->ref_short;
        if (weight_mode_ == 2) compute_implicit_weights();
    }
}

// Places pic at refIdx of list, shifting the rest down and dropping the
// later entry that names the same picture (8.2.4.3.1, 8.2.4.3.2).
void Decoder::insert_ref(int list, int refIdx, Picture* pic) {
    const int n = list_len_[list];
    Picture* tmp[33];
    for (int i = 0; i < n; ++i) tmp[i] = list_[list][i];
    list_[list][refIdx] = pic;
    int k = refIdx + 1;
    for (int i = refIdx; i < n && k < n; ++i)
        if (tmp[i] && tmp[i] != pic) list_[list][k++] = tmp[i];
    while (k < n) list_[list][k++] = nullptr;
}

void Decoder::modify_ref_list(int list) {
    const int maxFrameNum = sps->max_frame_num();
    const int currPicNum = sh_.frame_num;
    int picNumPred = currPicNum;
    for (int m = 0; m < sh_.num_mods[list]; ++m) {
        const RefListMod& mod = sh_.mods[list][m];
        if (m >= list_len_[list]) fail("too many reference list modifications");
        Picture* pic = nullptr;
        if (mod.idc < 2) {
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
            for (auto& p : pool_)
                if (p.get() != cur_ && p->ref_short && p->frame_num_wrap == picNum) pic = p.get();
            if (!pic) fail("reference list modification names a missing picture");
        } else {
            for (auto& p : pool_)
                if (p.get() != cur_ && p->ref_long && p->long_term_frame_idx == int(mod.val)) pic = p.get();
            if (!pic) fail("reference list modification names a missing long-term picture");
        }
        insert_ref(list, m, pic);
    }
}

// Implicit bi-prediction weights (8.4.2.3.1), w0 per (refIdxL0, refIdxL1).
void Decoder::compute_implicit_weights() {
    for (int i0 = 0; i0 < list_len_[0]; ++i0)
        for (int i1 = 0; i1 < list_len_[1]; ++i1) {
            const Picture* p0 = list_[0][i0];
            const Picture* p1 = list_[1][i1];
            int w0 = 32;
            int td = std::clamp(p1->poc - p0->poc, -128, 127);
            if (p1->poc != p0->poc && !p0->ref_long && !p1->ref_long) {
                int tb = std::clamp(cur_->poc - p0->poc, -128, 127);
                int tx = (16384 + std::abs(td / 2)) / td;
                int dsf = std::clamp((tb * tx + 32) >> 6, -1024, 1023);
                if ((dsf >> 2) >= -64 && (dsf >> 2) <= 128) w0 = 64 - (dsf >> 2);
            }
            implicit_w_[i0][i1] = w0;
        }
}

// ---------------------------------------------------------------------------
// Picture end: loop filter, marking, output

void Decoder::finish_picture() {
    Picture* pic = cur_;
    if (mbs_decoded_ != width_mbs_ * height_mbs_) {
        cur_ = nullptr;
        fail("picture is missing macroblocks (truncated or lost slices)");
    }
    deblock_picture();
    const SliceHeader& sh = first_sh_;
    bool mmco5 = false;
    if (sh.nal_ref_idc != 0) {
        mark_references();
        mmco5 = pic->mmco5;
    }
    pic->poc = finish_poc(sh, mmco5, &poc_);
    if (mmco5) {
        // C.4.4: the pictures before a memory_management_control_operation 5
        // leave first, as before an IDR picture
        pic->frame_num = 0;
        output_ready(true);
    }
    pic->needed_for_output = true;
    cur_ = nullptr;
    output_ready(false);
}

void Decoder::mark_references() {
    Picture* pic = cur_;
    const SliceHeader& sh = first_sh_;
    if (sh.idr) {
        for (auto& p : pool_)
            if (p.get() != pic) p->ref_short = p->ref_long = false;
        if (sh.long_term_reference) {
            pic->ref_long = true;
            pic->long_term_frame_idx = 0;
            max_long_term_idx_ = 0;
        } else {
            pic->ref_short = true;
            max_long_term_idx_ = -1;
        }
        return;
    }
    bool currentLong = false;
    if (sh.adaptive_marking) {
        update_frame_num_wrap(sh.frame_num);
        for (int i = 0; i < sh.num_mmco; ++i) {
            const Mmco& m = sh.mmco[i];
            auto shortByPicNum = [&](int picNum) -> Picture* {
                for (auto& p : pool_)
                    if (p.get() != pic && p->ref_short && p->frame_num_wrap == picNum) return p.get();
                return nullptr;
            };
            auto dropLongIdx = [&](int idx, const Picture* keep) {
                for (auto& p : pool_)
                    if (p.get() != keep && p->ref_long && p->long_term_frame_idx == idx) p->ref_long = false;
            };
            switch (m.op) {
            case 1:
                if (Picture* p = shortByPicNum(sh.frame_num - int(m.diff_pic_nums_minus1 % 65536u) - 1)) p->ref_short = false;
                break;
            case 2:
                for (auto& p : pool_)
                    if (p.get() != pic && p->ref_long && p->long_term_frame_idx == int(m.long_term_pic_num))
                        p->ref_long = false;
                break;
            case 3:
                if (Picture* p = shortByPicNum(sh.frame_num - int(m.diff_pic_nums_minus1 % 65536u) - 1)) {
                    dropLongIdx(int(m.long_term_frame_idx), p);
                    p->ref_short = false;
                    p->ref_long = true;
                    p->long_term_frame_idx = int(m.long_term_frame_idx);
                }
                break;
            case 4:
                max_long_term_idx_ = int(m.max_long_term_frame_idx_plus1) - 1;
                for (auto& p : pool_)
                    if (p.get() != pic && p->ref_long && p->long_term_frame_idx > max_long_term_idx_) p->ref_long = false;
                break;
            case 5:
                for (auto& p : pool_)
                    if (p.get() != pic) p->ref_short = p->ref_long = false;
                max_long_term_idx_ = -1;
                pic->mmco5 = true;
                break;
            case 6:
                dropLongIdx(int(m.long_term_frame_idx), pic);
                pic->ref_long = true;
                pic->long_term_frame_idx = int(m.long_term_frame_idx);
                currentLong = true;
                break;
            }
        }
    } else {
        sliding_window();
    }
    if (!currentLong) pic->ref_short = true;
    int numRefs = 0;
    for (auto& p : pool_) numRefs += p->is_ref();
    if (numRefs > std::max(sps->max_num_ref_frames, 1)) {
        // a stream that marks more frames than it declared: keep going as a
        // sliding window would (the oldest short-term picture goes)
        if (Picture* oldest = oldest_short_term()) oldest->ref_short = false;
    }
}

Picture* Decoder::oldest_short_term() {
    Picture* oldest = nullptr;
    for (auto& p : pool_)
        if (p.get() != cur_ && p->ref_short && (!oldest || p->frame_num_wrap < oldest->frame_num_wrap)) oldest = p.get();
    return oldest;
}

// FrameNumWrap of every other picture relative to frameNum (8.2.4.1).
void Decoder::update_frame_num_wrap(int frameNum) {
    const int maxFrameNum = sps->max_frame_num();
    for (auto& p : pool_)
        if (p.get() != cur_) p->frame_num_wrap = p->frame_num > frameNum ? p->frame_num - maxFrameNum : p->frame_num;
}

void Decoder::sliding_window() {
    update_frame_num_wrap(cur_->frame_num);
    int numRefs = 0;
    for (auto& p : pool_)
        if (p.get() != cur_) numRefs += p->is_ref();
    if (numRefs >= std::max(sps->max_num_ref_frames, 1))
        if (Picture* oldest = oldest_short_term()) oldest->ref_short = false;
}

// Bumping (C.4.5.3): pictures leave in POC order once the buffer is full
// or more pictures wait than the stream's reordering depth.
void Decoder::output_ready(bool flushAll) {
    for (;;) {
        int waiting = 0, used = 0;
        Picture* next = nullptr;
        for (auto& p : pool_) {
            if (p.get() == cur_) continue;
            if (p->needed_for_output) {
                ++waiting;
                if (!next || p->poc < next->poc) next = p.get();
            }
            if (p->needed_for_output || p->is_ref()) ++used;
        }
        if (!next) return;
        if (!flushAll && waiting <= reorder_ && used <= dpb_size_) return;
        emit(next);
    }
}

void Decoder::emit(Picture* p) {
    p->needed_for_output = false;
    OutputFrame f;
    const int cl = sps ? sps->crop_left : 0, ct = sps ? sps->crop_top : 0;
    const int cr = sps ? sps->crop_right : 0, cb = sps ? sps->crop_bottom : 0;
    f.width = p->width - cl - cr;
    f.height = p->height - ct - cb;
    f.plane[0] = p->Y + size_t(ct) * size_t(p->strideY) + size_t(cl);
    f.plane[1] = p->Cb + size_t(ct / 2) * size_t(p->strideC) + size_t(cl / 2);
    f.plane[2] = p->Cr + size_t(ct / 2) * size_t(p->strideC) + size_t(cl / 2);
    f.stride[0] = p->strideY;
    f.stride[1] = f.stride[2] = p->strideC;
    f.sar_num = sps ? sps->sar_num : 0;
    f.sar_den = sps ? sps->sar_den : 1;
    out_(f);
}

}  // namespace h264dec
