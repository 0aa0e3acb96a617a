// NAL unit dispatch, picture management, picture order count (8.2.1),
// reference picture lists (8.2.4), decoded reference picture marking
// (8.2.5) and output in display order (C.4.5).
#include "decoder.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "poc.h"
#include "refs.h"
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
    if (s->chroma_format_idc != 1 && s->chroma_format_idc != 2) fail("only 4:2:0 and 4:2:2 streams are supported");
    if (s->bit_depth_luma != s->bit_depth_chroma) fail("different luma and chroma bit depths are not supported");
    if (s->bit_depth_luma > 14) fail("bit depths above 14 are not supported");
    if (s->qpprime_y_zero_transform_bypass) fail("lossless (transform bypass) streams are not supported");
    if (!s->frame_mbs_only) fail("interlaced streams are not supported");
    if (s->width_mbs * s->height_mbs() > H264DEC_MAX_MBS) fail("picture larger than the decoder accepts");
    bool changed = !sps || sps->width_mbs != s->width_mbs || sps->height_mbs() != s->height_mbs() ||
                   sps->dpb_frames() != s->dpb_frames() || sps->bit_depth_luma != s->bit_depth_luma ||
                   sps->chroma_format_idc != s->chroma_format_idc;
    if (changed && sps) {
        output_ready(true);
        for (auto& p : pool_) p->ref_short = p->ref_long = false;
    }
    sps = s;
    width_mbs_ = s->width_mbs;
    height_mbs_ = s->height_mbs();
    dpb_size_ = s->dpb_frames();
    reorder_ = s->bitstream_restriction ? s->max_num_reorder_frames : dpb_size_;
    bit_depth_ = s->bit_depth_luma;
    qp_bd_offset_ = 6 * (bit_depth_ - 8);
    c422_ = s->chroma_format_idc == 2;
    mbhC_ = c422_ ? 16 : 8;
    scaling_ = resolve_scaling(*sps, *pps);
    compute_levels();
}

Picture* Decoder::alloc_picture() {
    for (auto& p : pool_) {
        if (!p->is_ref() && !p->needed_for_output &&
            (p->width != width_mbs_ * 16 || p->height != height_mbs_ * 16 || p->heightC != height_mbs_ * mbhC_ ||
             p->bytes != (bit_depth_ > 8 ? 2 : 1)))
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
    const int bytes = bit_depth_ > 8 ? 2 : 1;
    const int hC = height_mbs_ * mbhC_;
    if (pic->buf.empty() || pic->width != w || pic->height != h || pic->heightC != hC || pic->bytes != bytes) {
        pic->width = w;
        pic->height = h;
        pic->heightC = hC;
        pic->bytes = bytes;
        pic->strideY = w;
        pic->strideC = w / 2;
        pic->buf.assign((size_t(w) * size_t(h) + size_t(w) * size_t(hC)) * size_t(bytes), 0);
        pic->Y = pic->buf.data();
        pic->Cb = pic->Y + size_t(w) * size_t(h) * size_t(bytes);
        pic->Cr = pic->Cb + size_t(w / 2) * size_t(hC) * size_t(bytes);
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

std::vector<Picture*> Decoder::others() const {
    std::vector<Picture*> v;
    for (auto& p : pool_)
        if (p.get() != cur_) v.push_back(p.get());
    return v;
}

void Decoder::build_ref_lists() {
    list_len_[0] = list_len_[1] = 0;
    std::memset(list_, 0, sizeof list_);
    if (sh_.slice_type == kSliceI) return;
    const std::vector<Picture*> pics = others();
    set_frame_num_wrap(pics, sh_.frame_num, sps->max_frame_num());
    std::vector<Picture*> init[2];
    init_ref_lists(pics, cur_->poc, sh_.slice_type == kSliceB, init);
    for (int list = 0; list < (sh_.slice_type == kSliceB ? 2 : 1); ++list) {
        list_len_[list] = sh_.num_ref_idx[list];
        for (int i = 0; i < std::min<int>(int(init[list].size()), list_len_[list]); ++i) list_[list][i] = init[list][size_t(i)];
        modify_ref_list(pics, sh_.frame_num, sps->max_frame_num(), sh_.mods[list], sh_.num_mods[list], list_[list],
                        list_len_[list]);
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
        mark_reference(others(), pic, sh, sps->max_num_ref_frames, sps->max_frame_num(), &max_long_term_idx_);
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
    const size_t b = size_t(p->bytes);
    f.plane[0] = p->Y + (size_t(ct) * size_t(p->strideY) + size_t(cl)) * b;
    const int sy = p->heightC == p->height ? 1 : 2;  // SubHeightC
    f.plane[1] = p->Cb + (size_t(ct / sy) * size_t(p->strideC) + size_t(cl / 2)) * b;
    f.plane[2] = p->Cr + (size_t(ct / sy) * size_t(p->strideC) + size_t(cl / 2)) * b;
    f.chroma_height = f.height / sy;
    f.stride[0] = p->strideY * p->bytes;
    f.stride[1] = f.stride[2] = p->strideC * p->bytes;
    f.bytes_per_sample = p->bytes;
    f.sar_num = sps ? sps->sar_num : 0;
    f.sar_den = sps ? sps->sar_den : 1;
    out_(f);
}

}  // namespace h264dec
