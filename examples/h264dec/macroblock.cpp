// Slice data and the macroblock layer of CAVLC slices (H.264 7.3.4, 7.3.5):
// macroblock and sub-macroblock types, intra prediction modes, motion vector
// prediction (8.4.1), P_Skip and B direct prediction, coded_block_pattern,
// nC derivation (9.2.1) and the calls that decode, predict and reconstruct.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <zanvc.h>

#include "decoder.h"
#include "tables.h"

namespace h264dec {

namespace {

// Raster 4x4 zig-zag positions as the library's scan argument.
constexpr Zan32s kScan4x4[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};

// The 8x8 zig-zag as a scan of records: a 4x4 block k of an 8x8 block holds
// the scan indices 4 * i + k (CAVLC interleaving, 7.3.5.3.2).
struct Scan8x8 {
    ZanCAVLCScanPos_H264 pos[64];
    constexpr Scan8x8() : pos() {
        for (int i = 0; i < 64; ++i) pos[i] = ZanCAVLCScanPos_H264{Zan32s(kZigzag8x8[i]), 0};
    }
};
constexpr Scan8x8 kScan8x8;

inline int median3(int a, int b, int c) { return std::max(std::min(a, b), std::min(std::max(a, b), c)); }
inline int min_positive(int a, int b) { return (a >= 0 && b >= 0) ? std::min(a, b) : std::max(a, b); }

}  // namespace

// ---------------------------------------------------------------------------
// Slice data loop (7.3.4)

void Decoder::decode_slice(BitReader& br) {
    const int total = width_mbs_ * height_mbs_;
    int mbAddr = sh_.first_mb;
    qp_ = sh_.qp;
    bool more = true;
    while (more) {
        if (mbAddr >= total) fail("slice data runs past the end of the picture");
        if (sh_.slice_type != kSliceI) {
            uint32_t run = br.ue();
            if (run > uint32_t(total - mbAddr)) fail("mb_skip_run past the end of the picture");
            for (uint32_t i = 0; i < run; ++i) decode_skip(mbAddr++);
            if (run > 0) {
                more = br.more_rbsp_data();
                if (!more) break;
                if (mbAddr >= total) fail("slice data runs past the end of the picture");
            }
        }
        decode_macroblock(br, mbAddr);
        br.check();
        more = br.more_rbsp_data();
        ++mbAddr;
    }
}

// ---------------------------------------------------------------------------
// Neighbours (6.4.11)

namespace {
struct Nb {
    const MbInfo* mb;
    int blk;  // raster 4x4 index inside mb
};
}  // namespace

// Neighbour 4x4 block at 4x4 coordinates (x, y) relative to the current
// macroblock (x in -1..4, y in -1..3); mb null when not available.
static inline Nb neighbour(const std::vector<MbInfo>& mbs, int widthMbs, int mbAddr, int slice, int x, int y) {
    int mx = x < 0 ? -1 : (x > 3 ? 1 : 0);
    int my = y < 0 ? -1 : 0;
    int blk = ((y + 4) & 3) * 4 + ((x + 4) & 3);
    if (mx == 0 && my == 0) return Nb{&mbs[size_t(mbAddr)], blk};
    int mbx = mbAddr % widthMbs + mx;
    if (mbx < 0 || mbx >= widthMbs) return Nb{nullptr, 0};
    int n = mbAddr + my * widthMbs + mx;
    if (n < 0 || mbs[size_t(n)].slice != slice) return Nb{nullptr, 0};
    return Nb{&mbs[size_t(n)], blk};
}

int Decoder::luma_nc(int mbAddr, int x4, int y4) const {
    Nb a = neighbour(cur_->mbs, width_mbs_, mbAddr, slice_num_, x4 - 1, y4);
    Nb b = neighbour(cur_->mbs, width_mbs_, mbAddr, slice_num_, x4, y4 - 1);
    int nA = a.mb ? a.mb->tcY[a.blk] : 0, nB = b.mb ? b.mb->tcY[b.blk] : 0;
    if (a.mb && b.mb) return (nA + nB + 1) >> 1;
    return a.mb ? nA : (b.mb ? nB : 0);
}

int Decoder::chroma_nc(int mbAddr, int c, int x, int y) const {
    // chroma 4x4 blocks on a 2x2 grid; map to the luma 4x4 grid for neighbours
    auto get = [&](int cx, int cy, bool* avail) -> int {
        const MbInfo* m = &cur_->mbs[size_t(mbAddr)];
        if (cx < 0 || cy < 0) {
            Nb n = neighbour(cur_->mbs, width_mbs_, mbAddr, slice_num_, cx < 0 ? -1 : 0, cy < 0 ? -1 : 0);
            *avail = n.mb != nullptr;
            if (!n.mb) return 0;
            m = n.mb;
            cx &= 1;
            if (cy < 0) cy = mbhC_ / 4 - 1;
        }
        *avail = true;
        return m->tcC[c][cy * 2 + cx];
    };
    bool aA, aB;
    int nA = get(x - 1, y, &aA), nB = get(x, y - 1, &aB);
    if (aA && aB) return (nA + nB + 1) >> 1;
    return aA ? nA : (aB ? nB : 0);
}

// ---------------------------------------------------------------------------
// Motion vector prediction (8.4.1.3)

void Decoder::neighbour_motion(int mbAddr, int list, int x4, int y4, int* ref, int16_t mv[2], bool* avail) const {
    Nb n = neighbour(cur_->mbs, width_mbs_, mbAddr, slice_num_, x4, y4);
    *avail = n.mb != nullptr;
    if (!n.mb || n.mb->intra) {
        *ref = -1;
        mv[0] = mv[1] = 0;
        return;
    }
    int b8 = (n.blk >> 3) * 2 + ((n.blk & 3) >> 1);
    *ref = n.mb->ref[list][b8];
    if (*ref < 0) {
        mv[0] = mv[1] = 0;
        return;
    }
    mv[0] = n.mb->mv[list][n.blk][0];
    mv[1] = n.mb->mv[list][n.blk][1];
}

// Predicts the vector of the partition at (x4, y4) of w4 x h4 4x4 blocks.
// Blocks of the current macroblock count as available once predicted
// (decoded_ marks them), so C falls back to D exactly as 6.4.11.7 orders.
void Decoder::mv_pred(int mbAddr, int list, int ref, int x4, int y4, int w4, int h4, int16_t mvp[2]) const {
    int refA, refB, refC;
    int16_t mvA[2], mvB[2], mvC[2];
    bool avA, avB, avC;
    neighbour_motion(mbAddr, list, x4 - 1, y4, &refA, mvA, &avA);
    neighbour_motion(mbAddr, list, x4, y4 - 1, &refB, mvB, &avB);
    int cx = x4 + w4, cy = y4 - 1;
    bool cInside = cx <= 3 && cy >= 0;
    bool cAvail = cx <= 3 ? (cy < 0 || ((decoded_ >> (cy * 4 + cx)) & 1)) : cy < 0;
    if (cAvail) {
        neighbour_motion(mbAddr, list, cx, cy, &refC, mvC, &avC);
        if (cInside) avC = true;
    } else {
        avC = false;
    }
    if (!avC) neighbour_motion(mbAddr, list, x4 - 1, y4 - 1, &refC, mvC, &avC);

    if (w4 == 4 && h4 == 2) {  // 16x8
        const int16_t* m = y4 == 0 ? (refB == ref ? mvB : nullptr) : (refA == ref ? mvA : nullptr);
        if (m) return (void)(mvp[0] = m[0], mvp[1] = m[1]);
    } else if (w4 == 2 && h4 == 4) {  // 8x16
        const int16_t* m = x4 == 0 ? (refA == ref ? mvA : nullptr) : (refC == ref ? mvC : nullptr);
        if (m) return (void)(mvp[0] = m[0], mvp[1] = m[1]);
    }
    if (!avB && !avC && avA) {
        mvp[0] = mvA[0];
        mvp[1] = mvA[1];
        return;
    }
    int match = (refA == ref) + (refB == ref) + (refC == ref);
    if (match == 1) {
        const int16_t* m = refA == ref ? mvA : (refB == ref ? mvB : mvC);
        mvp[0] = m[0];
        mvp[1] = m[1];
        return;
    }
    mvp[0] = int16_t(median3(mvA[0], mvB[0], mvC[0]));
    mvp[1] = int16_t(median3(mvA[1], mvB[1], mvC[1]));
}

static inline void fill_mv(MbInfo& mb, int list, int x4, int y4, int w4, int h4, int mx, int my) {
    for (int y = y4; y < y4 + h4; ++y)
        for (int x = x4; x < x4 + w4; ++x) {
            mb.mv[list][y * 4 + x][0] = int16_t(mx);
            mb.mv[list][y * 4 + x][1] = int16_t(my);
        }
}

static inline uint32_t block_mask(int x4, int y4, int w4, int h4) {
    uint32_t m = 0;
    for (int y = y4; y < y4 + h4; ++y)
        for (int x = x4; x < x4 + w4; ++x) m |= 1u << (y * 4 + x);
    return m;
}

void Decoder::set_ref(MbInfo& mb, int list, int b8, int ref) {
    mb.ref[list][b8] = int8_t(ref);
    if (ref < 0) {
        mb.refId[list][b8] = -1;
        return;
    }
    if (ref >= list_len_[list] || !list_[list][ref]) fail("reference picture missing");
    mb.refId[list][b8] = list_[list][ref]->uid;
}

// P_Skip motion (8.4.1.1).
void Decoder::p_skip_motion(int mbAddr) {
    MbInfo& mb = cur_->mbs[size_t(mbAddr)];
    int refA, refB;
    int16_t mvA[2], mvB[2];
    bool avA, avB;
    neighbour_motion(mbAddr, 0, -1, 0, &refA, mvA, &avA);
    neighbour_motion(mbAddr, 0, 0, -1, &refB, mvB, &avB);
    for (int b = 0; b < 4; ++b) {
        set_ref(mb, 0, b, 0);
        set_ref(mb, 1, b, -1);
    }
    int16_t mvp[2] = {0, 0};
    if (avA && avB && !(refA == 0 && mvA[0] == 0 && mvA[1] == 0) && !(refB == 0 && mvB[0] == 0 && mvB[1] == 0)) {
        decoded_ = 0;
        mv_pred(mbAddr, 0, 0, 0, 0, 4, 4, mvp);
    }
    fill_mv(mb, 0, 0, 0, 4, 4, mvp[0], mvp[1]);
    fill_mv(mb, 1, 0, 0, 4, 4, 0, 0);
}

// Spatial direct: reference indices and vectors of the whole macroblock
// (8.4.1.2.2), computed once per macroblock.
void Decoder::spatial_direct_refs(int mbAddr, int ref[2], int16_t mv[2][2]) {
    uint32_t saved = decoded_;
    decoded_ = 0;
    for (int list = 0; list < 2; ++list) {
        int rA, rB, rC;
        int16_t m[2];
        bool av;
        neighbour_motion(mbAddr, list, -1, 0, &rA, m, &av);
        neighbour_motion(mbAddr, list, 0, -1, &rB, m, &av);
        neighbour_motion(mbAddr, list, 4, -1, &rC, m, &av);
        if (!av) neighbour_motion(mbAddr, list, -1, -1, &rC, m, &av);
        ref[list] = min_positive(rA, min_positive(rB, rC));
    }
    mv[0][0] = mv[0][1] = mv[1][0] = mv[1][1] = 0;
    if (ref[0] < 0 && ref[1] < 0) {
        ref[0] = ref[1] = 0;
    } else {
        for (int list = 0; list < 2; ++list)
            if (ref[list] >= 0) mv_pred(mbAddr, list, ref[list], 0, 0, 4, 4, mv[list]);
    }
    decoded_ = saved;
}

// Direct prediction of the whole macroblock (blk8 < 0) or of one 8x8 block.
void Decoder::direct_motion(int mbAddr, int blk8) {
    MbInfo& mb = cur_->mbs[size_t(mbAddr)];
    const Picture* col = list_[1][0];
    if (!col) fail("direct prediction without a list 1 reference");
    const MbInfo& cm = col->mbs[size_t(mbAddr)];
    const bool inference = sps->direct_8x8_inference;
    int first = blk8 < 0 ? 0 : blk8, last = blk8 < 0 ? 3 : blk8;

    // co-located vector and reference (8.4.1.2.1) of 4x4 block s of 8x8
    // block b8; with direct_8x8_inference the 8x8 block's corner block
    auto colocated = [&](int b8, int s, int16_t mvCol[2], int* refIdxCol, int* refIdCol) {
        int x = (b8 & 1) * 2 + (s & 1), y = (b8 >> 1) * 2 + (s >> 1);
        int blk = inference ? ((b8 >> 1) * 3) * 4 + (b8 & 1) * 3 : y * 4 + x;
        if (cm.intra) {
            mvCol[0] = mvCol[1] = 0;
            *refIdxCol = -1;
            *refIdCol = -1;
            return;
        }
        int c8 = (blk >> 3) * 2 + ((blk & 3) >> 1);
        int l = cm.ref[0][c8] >= 0 ? 0 : 1;
        mvCol[0] = cm.mv[l][blk][0];
        mvCol[1] = cm.mv[l][blk][1];
        *refIdxCol = cm.ref[l][c8];
        *refIdCol = cm.refId[l][c8];
    };

    if (sh_.direct_spatial) {
        if (!direct_valid_) {
            spatial_direct_refs(mbAddr, direct_ref_, direct_mv_);
            direct_valid_ = true;
        }
        for (int b8 = first; b8 <= last; ++b8) {
            set_ref(mb, 0, b8, direct_ref_[0]);
            set_ref(mb, 1, b8, direct_ref_[1]);
            for (int s = 0; s < 4; ++s) {
                int x = (b8 & 1) * 2 + (s & 1), y = (b8 >> 1) * 2 + (s >> 1);
                int16_t mvCol[2];
                int refIdxCol, refIdCol;
                colocated(b8, s, mvCol, &refIdxCol, &refIdCol);
                bool colZero = col_short_term_ && refIdxCol == 0 && mvCol[0] >= -1 && mvCol[0] <= 1 &&
                               mvCol[1] >= -1 && mvCol[1] <= 1;
                for (int list = 0; list < 2; ++list) {
                    int r = direct_ref_[list];
                    int mx = 0, my = 0;
                    if (r > 0 || (r == 0 && !colZero)) {
                        mx = direct_mv_[list][0];
                        my = direct_mv_[list][1];
                    }
                    if (r < 0) mx = my = 0;
                    fill_mv(mb, list, x, y, 1, 1, mx, my);
                }
            }
        }
        return;
    }
    // temporal (8.4.1.2.3)
    for (int b8 = first; b8 <= last; ++b8) {
        int refL0 = -1;
        for (int s = 0; s < 4; ++s) {
            int x = (b8 & 1) * 2 + (s & 1), y = (b8 >> 1) * 2 + (s >> 1);
            int16_t mvCol[2];
            int refIdxCol, refIdCol;
            colocated(b8, s, mvCol, &refIdxCol, &refIdCol);
            int r0 = 0;
            if (refIdxCol >= 0) {
                r0 = -1;
                for (int i = 0; i < list_len_[0]; ++i)
                    if (list_[0][i] && list_[0][i]->uid == refIdCol) {
                        r0 = i;
                        break;
                    }
                if (r0 < 0) fail("temporal direct: co-located reference not in list 0");
            }
            refL0 = r0;  // equal for the four blocks of an 8x8 block
            const Picture* pic0 = list_[0][r0];
            const Picture* pic1 = list_[1][0];
            if (!pic0) fail("reference picture missing");
            int mv0[2], mv1[2];
            int tb = std::clamp(cur_->poc - pic0->poc, -128, 127);
            int td = std::clamp(pic1->poc - pic0->poc, -128, 127);
            if (pic0->ref_long || td == 0) {
                mv0[0] = mvCol[0];
                mv0[1] = mvCol[1];
                mv1[0] = mv1[1] = 0;
            } else {
                int tx = (16384 + std::abs(td / 2)) / td;
                int dsf = std::clamp((tb * tx + 32) >> 6, -1024, 1023);
                for (int c = 0; c < 2; ++c) {
                    mv0[c] = (dsf * mvCol[c] + 128) >> 8;
                    mv1[c] = mv0[c] - mvCol[c];
                }
            }
            fill_mv(mb, 0, x, y, 1, 1, mv0[0], mv0[1]);
            fill_mv(mb, 1, x, y, 1, 1, mv1[0], mv1[1]);
        }
        set_ref(mb, 0, b8, refL0);
        set_ref(mb, 1, b8, 0);
    }
}

// ---------------------------------------------------------------------------
// Skipped macroblocks

void Decoder::begin_mb(int mbAddr) {
    MbInfo& mb = cur_->mbs[size_t(mbAddr)];
    mb = MbInfo();
    mb.slice = int16_t(slice_num_);
    mb.db_idc = int8_t(sh_.disable_deblocking);
    mb.db_a = int8_t(sh_.alpha_offset);
    mb.db_b = int8_t(sh_.beta_offset);
    std::memset(mb.ipred, 2, sizeof mb.ipred);
    direct_valid_ = false;
    decoded_ = 0;
}

void Decoder::finish_mb_qp(MbInfo& mb, int qpForFilter) {
    mb.qp = int8_t(qpForFilter);
    mb.qpc[0] = int8_t(chroma_qp(qpForFilter + pps->chroma_qp_index_offset, qp_bd_offset_));
    mb.qpc[1] = int8_t(chroma_qp(qpForFilter + pps->second_chroma_qp_index_offset, qp_bd_offset_));
}

void Decoder::decode_skip(int mbAddr) {
    begin_mb(mbAddr);
    MbInfo& mb = cur_->mbs[size_t(mbAddr)];
    mb.skip = true;
    if (sh_.slice_type == kSliceP) {
        p_skip_motion(mbAddr);
        predict_block(mbAddr, 0, 0, 4, 4);
    } else {
        direct_motion(mbAddr, -1);
        predict_direct(mbAddr, -1);
    }
    finish_mb_qp(mb, qp_);
    ++mbs_decoded_;
}

// ---------------------------------------------------------------------------
// Macroblock layer (7.3.5)

void Decoder::decode_intra_pcm(BitReader& br, int mbAddr) {
    MbInfo& mb = cur_->mbs[size_t(mbAddr)];
    while (!br.byte_aligned()) br.skip(1);
    int mbx = mbAddr % width_mbs_, mby = mbAddr / width_mbs_;
    const size_t b = size_t(cur_->bytes);
    auto put = [&](uint8_t* plane, int stride, int x0, int y0, int w, int h) {
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) {
                size_t at = (size_t(y0 + r) * size_t(stride) + size_t(x0 + c)) * b;
                uint32_t v = br.u(unsigned(bit_depth_));
                if (b == 1) plane[at] = uint8_t(v);
                else plane[at] = uint8_t(v), plane[at + 1] = uint8_t(v >> 8);  // little-endian 16-bit sample
            }
    };
    put(cur_->Y, cur_->strideY, mbx * 16, mby * 16, 16, 16);
    put(cur_->Cb, cur_->strideC, mbx * 8, mby * mbhC_, 8, mbhC_);
    put(cur_->Cr, cur_->strideC, mbx * 8, mby * mbhC_, 8, mbhC_);
    br.check();
    mb.intra = mb.pcm = true;
    std::memset(mb.tcY, 16, sizeof mb.tcY);
    std::memset(mb.tcC, 16, sizeof mb.tcC);
    mb.nz = 0xFFFF;
    finish_mb_qp(mb, 0);
}

void Decoder::decode_macroblock(BitReader& br, int mbAddr) {
    begin_mb(mbAddr);
    MbInfo& mb = cur_->mbs[size_t(mbAddr)];
    uint32_t mbType = br.ue();
    int kind = kMbInter;
    int itype = -1;  // I slice mb_type when intra
    if (sh_.slice_type == kSliceP) {
        if (mbType > 30) fail("mb_type out of range");
        if (mbType >= 5) itype = int(mbType) - 5;
    } else if (sh_.slice_type == kSliceB) {
        if (mbType > 48) fail("mb_type out of range");
        if (mbType >= 23) itype = int(mbType) - 23;
    } else {
        if (mbType > 25) fail("mb_type out of range");
        itype = int(mbType);
    }
    if (itype == 25) {
        decode_intra_pcm(br, mbAddr);
        ++mbs_decoded_;
        return;
    }
    int cbp = 0;
    int i16mode = 0, chromaMode = 0;
    int32_t predModes[16];
    bool t8x8 = false;

    if (itype >= 0) {
        mb.intra = true;
        if (itype == 0) {
            kind = kMbI4x4;
            if (pps->transform_8x8_mode && br.flag()) {
                kind = kMbI8x8;
                t8x8 = true;
            }
            // prev_intra_pred_mode_flag / rem_intra_pred_mode (8.3.1.1, 8.3.2.1)
            int n = t8x8 ? 4 : 16;
            for (int i = 0; i < n; ++i) {
                int x4 = t8x8 ? (i & 1) * 2 : kBlkX[i], y4 = t8x8 ? (i >> 1) * 2 : kBlkY[i];
                Nb a = neighbour(cur_->mbs, width_mbs_, mbAddr, slice_num_, x4 - 1, y4);
                Nb b = neighbour(cur_->mbs, width_mbs_, mbAddr, slice_num_, x4, y4 - 1);
                bool dcPred = !a.mb || !b.mb || (pps->constrained_intra_pred && (!a.mb->intra || !b.mb->intra));
                int pred = dcPred ? 2 : std::min(a.mb->ipred[a.blk], b.mb->ipred[b.blk]);
                int mode = pred;
                if (!br.flag()) {
                    int rem = int(br.u(3));
                    mode = rem < pred ? rem : rem + 1;
                }
                predModes[i] = mode;
                if (t8x8) {
                    for (int k = 0; k < 4; ++k) mb.ipred[(y4 + (k >> 1)) * 4 + x4 + (k & 1)] = int8_t(mode);
                } else {
                    mb.ipred[y4 * 4 + x4] = int8_t(mode);
                }
            }
        } else {
            kind = kMbI16x16;
            int t = itype - 1;
            i16mode = t % 4;
            cbp = ((t / 4) % 3) << 4 | (t >= 12 ? 15 : 0);
        }
        uint32_t cm = br.ue();
        if (cm > 3) fail("intra_chroma_pred_mode out of range");
        chromaMode = int(cm);
    } else {
        mb_pred_inter(br, mbAddr, int(mbType), &kind);
    }

    if (kind != kMbI16x16) {
        uint32_t code = br.ue();
        if (code > 47) fail("coded_block_pattern out of range");
        cbp = (kind == kMbI4x4 || kind == kMbI8x8) ? kCbpIntra[code] : kCbpInter[code];
        if ((cbp & 15) && pps->transform_8x8_mode && kind != kMbI4x4 && kind != kMbI8x8 && no_sub_8x8_ &&
            (kind != kMbBDirect16 || sps->direct_8x8_inference))
            t8x8 = br.flag();
    }
    mb.t8x8 = t8x8;
    mb_type_ = kind;

    // inter prediction into the picture before the residual is added
    if (!mb.intra) inter_prediction(mbAddr);

    if ((cbp & 0x3F) || kind == kMbI16x16) {
        int d = br.se();
        if (d < -(26 + qp_bd_offset_ / 2) || d > 25 + qp_bd_offset_ / 2) fail("mb_qp_delta out of range");
        qp_ = next_qp(qp_, d, qp_bd_offset_);
        decode_residual(br, mbAddr, cbp, kind == kMbI16x16);
    } else {
        cbp4x4_ = 0;
        cbpC_ = 0;
    }
    finish_mb_qp(mb, qp_);
    reconstruct(mbAddr, i16mode, chromaMode, predModes);
    ++mbs_decoded_;
}

// mb_pred / sub_mb_pred of inter macroblocks, then motion vectors.
void Decoder::mb_pred_inter(BitReader& br, int mbAddr, int mbType, int* kind) {
    MbInfo& mb = cur_->mbs[size_t(mbAddr)];
    const bool isB = sh_.slice_type == kSliceB;
    no_sub_8x8_ = true;
    int nparts, shape;  // shape 0 16x16, 1 16x8, 2 8x16, 3 8x8
    int use[4] = {0, 0, 0, 0};
    bool ref0 = false;  // P_8x8ref0
    if (!isB) {
        static constexpr int kParts[5] = {1, 2, 2, 4, 4}, kShape[5] = {0, 1, 2, 3, 3};
        nparts = kParts[mbType];
        shape = kShape[mbType];
        for (int i = 0; i < 4; ++i) use[i] = 1;
        ref0 = mbType == 4;
    } else {
        if (mbType == 0) {  // B_Direct_16x16
            *kind = kMbBDirect16;
            direct_motion(mbAddr, -1);
            return;
        }
        if (mbType == 22) {
            nparts = 4;
            shape = 3;
        } else {
            nparts = kBMbTypes[mbType].parts;
            shape = kBMbTypes[mbType].shape;
            use[0] = kBMbTypes[mbType].use[0];
            use[1] = kBMbTypes[mbType].use[1];
        }
    }
    int sub[4] = {0, 0, 0, 0};
    if (shape == 3) {
        for (int i = 0; i < 4; ++i) {
            uint32_t s = br.ue();
            if (s > (isB ? 12u : 3u)) fail("sub_mb_type out of range");
            sub[i] = int(s);
            const SubMbType& st = isB ? kBSubMbTypes[s] : kPSubMbTypes[s];
            use[i] = st.use;
            if (st.use == 0) {
                if (!sps->direct_8x8_inference) no_sub_8x8_ = false;
            } else if (st.parts > 1) {
                no_sub_8x8_ = false;
            }
        }
    }
    int refIdx[2][4] = {{0, 0, 0, 0}, {0, 0, 0, 0}};
    for (int list = 0; list < 2; ++list) {
        for (int p = 0; p < nparts; ++p) {
            if (!(use[p] & (1 << list))) {
                refIdx[list][p] = -1;
                continue;
            }
            int n = sh_.num_ref_idx[list];
            if (n > 1 && !ref0) {
                uint32_t r = br.te(uint32_t(n - 1));
                if (r >= uint32_t(n)) fail("ref_idx out of range");
                refIdx[list][p] = int(r);
            }
        }
    }
    // mvd, then vectors in partition order (prediction needs the earlier ones)
    int16_t mvd[2][4][4][2];
    for (int list = 0; list < 2; ++list)
        for (int p = 0; p < nparts; ++p) {
            if (!(use[p] & (1 << list))) continue;
            int ns = shape == 3 ? (isB ? kBSubMbTypes[sub[p]].parts : kPSubMbTypes[sub[p]].parts) : 1;
            for (int s = 0; s < ns; ++s) {
                int dx = br.se(), dy = br.se();
                if (dx < -8192 || dx > 8191 || dy < -2048 || dy > 2047) fail("mvd out of range");
                mvd[list][p][s][0] = int16_t(dx);
                mvd[list][p][s][1] = int16_t(dy);
            }
        }
    for (int p = 0; p < nparts; ++p) {
        int x4, y4, w4, h4;
        if (shape == 0) x4 = y4 = 0, w4 = h4 = 4;
        else if (shape == 1) x4 = 0, y4 = p * 2, w4 = 4, h4 = 2;
        else if (shape == 2) x4 = p * 2, y4 = 0, w4 = 2, h4 = 4;
        else x4 = (p & 1) * 2, y4 = (p >> 1) * 2, w4 = h4 = 2;
        if (shape == 3 && use[p] == 0) {  // B_Direct_8x8
            direct_motion(mbAddr, p);
            decoded_ |= block_mask(x4, y4, 2, 2);
            continue;
        }
        for (int list = 0; list < 2; ++list) {
            int r = refIdx[list][p];
            if (shape == 0) {
                for (int b = 0; b < 4; ++b) set_ref(mb, list, b, r);
            } else if (shape == 1) {
                set_ref(mb, list, p * 2, r);
                set_ref(mb, list, p * 2 + 1, r);
            } else if (shape == 2) {
                set_ref(mb, list, p, r);
                set_ref(mb, list, p + 2, r);
            } else {
                set_ref(mb, list, p, r);
            }
        }
        if (shape != 3) {
            for (int list = 0; list < 2; ++list) {
                if (refIdx[list][p] < 0) {
                    fill_mv(mb, list, x4, y4, w4, h4, 0, 0);
                    continue;
                }
                int16_t mvp[2];
                mv_pred(mbAddr, list, refIdx[list][p], x4, y4, w4, h4, mvp);
                fill_mv(mb, list, x4, y4, w4, h4, mvp[0] + mvd[list][p][0][0], mvp[1] + mvd[list][p][0][1]);
            }
            decoded_ |= block_mask(x4, y4, w4, h4);
            continue;
        }
        const SubMbType& st = isB ? kBSubMbTypes[sub[p]] : kPSubMbTypes[sub[p]];
        for (int s = 0; s < st.parts; ++s) {
            int sx = x4 + (st.w == 2 ? 0 : (s & 1)), sy = y4 + (st.h == 2 ? 0 : (st.w == 2 ? s : (s >> 1)));
            for (int list = 0; list < 2; ++list) {
                if (refIdx[list][p] < 0) {
                    fill_mv(mb, list, sx, sy, st.w, st.h, 0, 0);
                    continue;
                }
                int16_t mvp[2];
                mv_pred(mbAddr, list, refIdx[list][p], sx, sy, st.w, st.h, mvp);
                fill_mv(mb, list, sx, sy, st.w, st.h, mvp[0] + mvd[list][p][s][0], mvp[1] + mvd[list][p][s][1]);
            }
            decoded_ |= block_mask(sx, sy, st.w, st.h);
        }
    }
    shape_ = shape;
    for (int i = 0; i < 4; ++i) sub_type_[i] = shape == 3 ? (isB ? sub[i] : sub[i] + 100) : -1;
}

// ---------------------------------------------------------------------------
// Residual (7.3.5.3) through the library's CAVLC block decoders

int Decoder::cavlc_block(BitReader& br, int nC, int maxNum, int16_t** pp) {
    return cavlc_block_t<int16_t>(br, nC, maxNum, pp);
}

template <typename Coef>
int Decoder::cavlc_block_t(BitReader& br, int nC, int maxNum, Coef** pp) {
    const Zan32u* p = br.word_ptr();
    Zan32s off = br.bit_offset();
    Zan16s tc = 0;
    ZanResult r;
    if constexpr (sizeof(Coef) == 2)
        r = zaniDecodeCAVLCCoeffs_H264_1u16s(&p, &off, &tc, pp, nC, maxNum, tables_.coeffToken, tables_.totalZeros,
                                             tables_.runBefore, kScan4x4);
    else
        r = zaniDecodeCAVLCCoeffs_H264_1u32s(&p, &off, &tc, pp, nC, maxNum, tables_.coeffToken, tables_.totalZeros,
                                             tables_.runBefore, kScan4x4);
    if (r != ZAN_OK) fail("invalid CAVLC residual block");
    br.set_from_cursor(p, off);
    if (tc < 0 || tc > maxNum) fail("invalid CAVLC residual block");
    return tc;
}

void Decoder::decode_residual(BitReader& br, int mbAddr, int cbp, int i16) {
    if (bit_depth_ > 8) decode_residual_t<int32_t>(br, mbAddr, cbp, i16, coefY32_, coefC32_);
    else decode_residual_t<int16_t>(br, mbAddr, cbp, i16, coefY_, coefC_);
}

// One 4x4 block of an 8x8 block coded with CAVLC (4x4 block k holds the scan
// indices 4 * i + k of the 8x8 zig-zag scan).
static ZanResult cavlc_8x8_part(const Zan32u** p, Zan32s* off, Zan16s* tc, int16_t* dst, int nC, int k,
                                const CavlcTables& t, const ZanCAVLCScanPos_H264* pos) {
    Zan16s* d = dst;
    return zaniDecodeCAVLCCoeffsIdxs_H264_1u16s(p, off, tc, &d, nC, 16, t.coeffToken, t.totalZeros, t.runBefore, pos,
                                                k, 4);
}
static ZanResult cavlc_8x8_part(const Zan32u** p, Zan32s* off, Zan16s* tc, int32_t* dst, int nC, int k,
                                const CavlcTables& t, const ZanCAVLCScanPos_H264*) {
    static constexpr Zan32s kIdentity[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    alignas(16) Zan32s tmp[16] = {};
    Zan32s* d = tmp;
    ZanResult r = zaniDecodeCAVLCCoeffs_H264_1u32s(p, off, tc, &d, nC, 16, t.coeffToken, t.totalZeros, t.runBefore,
                                                   kIdentity);
    for (int i = 0; i < 16; ++i) dst[kZigzag8x8[4 * i + k]] = tmp[i];
    return r;
}

template <typename Coef>
void Decoder::decode_residual_t(BitReader& br, int mbAddr, int cbp, int i16, Coef* coefY, Coef* coefC) {
    MbInfo& mb = cur_->mbs[size_t(mbAddr)];
    uint32_t bits = 0;
    Coef* pY = coefY;
    if (i16) {
        if (cavlc_block_t(br, luma_nc(mbAddr, 0, 0), 16, &pY) > 0) bits |= 1;
    }
    for (int b8 = 0; b8 < 4; ++b8) {
        if (!(cbp & (1 << b8))) continue;
        if (mb.t8x8) {
            std::memset(pY, 0, 64 * sizeof(Coef));
            int total = 0;
            for (int k = 0; k < 4; ++k) {
                int blk = b8 * 4 + k;
                int x4 = kBlkX[blk], y4 = kBlkY[blk];
                const Zan32u* p = br.word_ptr();
                Zan32s off = br.bit_offset();
                Zan16s tc = 0;
                ZanResult r = cavlc_8x8_part(&p, &off, &tc, pY, luma_nc(mbAddr, x4, y4), k, tables_, kScan8x8.pos);
                if (r != ZAN_OK || tc < 0 || tc > 16) fail("invalid CAVLC residual block");
                br.set_from_cursor(p, off);
                mb.tcY[y4 * 4 + x4] = uint8_t(tc);
                total += tc;
            }
            if (total > 0) {
                bits |= 1u << b8;
                pY += 64;
                mb.nz |= uint16_t(0x33u << ((b8 >> 1) * 8 + (b8 & 1) * 2));
            }
            continue;
        }
        for (int k = 0; k < 4; ++k) {
            int blk = b8 * 4 + k;
            int x4 = kBlkX[blk], y4 = kBlkY[blk];
            int tc = cavlc_block_t(br, luma_nc(mbAddr, x4, y4), i16 ? 15 : 16, &pY);
            mb.tcY[y4 * 4 + x4] = uint8_t(tc);
            if (tc > 0) {
                bits |= 1u << (1 + blk);
                mb.nz |= uint16_t(1u << (y4 * 4 + x4));
            }
        }
    }
    // chroma
    uint32_t cbits = 0;
    Coef* pC = coefC;
    if (cbp & 0x30) {
        for (int c = 0; c < 2; ++c) {
            const Zan32u* p = br.word_ptr();
            Zan32s off = br.bit_offset();
            Zan16s tc = 0;
            ZanResult r;
            if constexpr (sizeof(Coef) == 2) {
                r = c422_ ? zaniDecodeCAVLCChroma422DcCoeffs_H264_1u16s(&p, &off, &tc, &pC, tables_.coeffTokenChromaDC422,
                                                                        tables_.totalZerosDC422, tables_.runBefore)
                          : zaniDecodeCAVLCChromaDcCoeffs_H264_1u16s(&p, &off, &tc, &pC, tables_.coeffTokenChromaDC,
                                                                     tables_.totalZerosDC, tables_.runBefore);
            } else {
                r = c422_ ? zaniDecodeCAVLCChroma422DcCoeffs_H264_1u32s(&p, &off, &tc, &pC, tables_.coeffTokenChromaDC422,
                                                                        tables_.totalZerosDC422, tables_.runBefore)
                          : zaniDecodeCAVLCChromaDcCoeffs_H264_1u32s(&p, &off, &tc, &pC, tables_.coeffTokenChromaDC,
                                                                     tables_.totalZerosDC, tables_.runBefore);
            }
            if (r != ZAN_OK || tc < 0 || tc > (c422_ ? 8 : 4)) fail("invalid CAVLC chroma DC block");
            br.set_from_cursor(p, off);
            if (tc > 0) cbits |= 1u << (17 + c);
        }
    }
    if (cbp & 0x20) {
        const int n = mbhC_ / 2;  // AC blocks per component: 4 or 8
        for (int c = 0; c < 2; ++c)
            for (int b = 0; b < n; ++b) {
                int tc = cavlc_block_t(br, chroma_nc(mbAddr, c, b & 1, b >> 1), 15, &pC);
                mb.tcC[c][b] = uint8_t(tc);
                // 4:2:0: bits 19..26; 4:2:2: bits 1..8 (Cb) and 9..16 (Cr)
                if (tc > 0) cbits |= 1u << (c422_ ? 1 + 8 * c + b : 19 + 4 * c + b);
            }
    }
    cbp4x4_ = bits;
    cbpC_ = cbits;
}

}  // namespace h264dec
