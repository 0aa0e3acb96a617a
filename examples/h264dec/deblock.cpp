// Loop filter decisions (H.264 8.7): boundary strengths and the alpha, beta
// and tC0 thresholds of every macroblock edge. The filtering itself is the
// library's, one call per direction and plane of a macroblock.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <zanvc.h>

#include "decoder.h"
#include "loopfilter_bs.h"
#include "tables.h"

namespace h264dec {

void Decoder::deblock_picture() {
    uniform_.assign(size_t(width_mbs_ * height_mbs_), 0);
    for (int mbAddr = 0; mbAddr < width_mbs_ * height_mbs_; ++mbAddr) deblock_mb(mbAddr);
}

// The library's edge filters for 8-bit and for 16-bit samples.
namespace {
template <typename Pel> struct EdgeCalls;
template <> struct EdgeCalls<uint8_t> {
    using Thr = uint8_t;
    static ZanResult luma(int dir, uint8_t* p, int s, const Thr* a, const Thr* b, const Thr* t, const uint8_t* bs,
                          int) {
        return dir == 0 ? zaniFilterDeblockingLuma_VerEdge_H264_8u_C1IR(p, s, a, b, t, bs)
                        : zaniFilterDeblockingLuma_HorEdge_H264_8u_C1IR(p, s, a, b, t, bs);
    }
    static ZanResult chroma(int dir, uint8_t* p, int s, const Thr* a, const Thr* b, const Thr* t, const uint8_t* bs,
                            int) {
        return dir == 0 ? zaniFilterDeblockingChroma_VerEdge_H264_8u_C1IR(p, s, a, b, t, bs)
                        : zaniFilterDeblockingChroma_HorEdge_H264_8u_C1IR(p, s, a, b, t, bs);
    }
    static ZanResult chroma422(int dir, uint8_t* p, int s, const Thr* a, const Thr* b, const Thr* t,
                               const uint8_t* bs, int) {
        const ZanFilterDeblock_8u info{p, s, a, b, t, bs};
        return dir == 0 ? zaniFilterDeblockingChroma422VerEdge_H264_8u_C1IR(&info)
                        : zaniFilterDeblockingChroma422HorEdge_H264_8u_C1IR(&info);
    }
};
template <> struct EdgeCalls<uint16_t> {
    using Thr = uint16_t;
    static ZanResult luma(int dir, uint16_t* p, int s, const Thr* a, const Thr* b, const Thr* t, const uint8_t* bs,
                          int bd) {
        const ZanFilterDeblock_16u info{p, s, a, b, t, bs, bd};
        return dir == 0 ? zaniFilterDeblockingLumaVerEdge_H264_16u_C1IR(&info)
                        : zaniFilterDeblockingLumaHorEdge_H264_16u_C1IR(&info);
    }
    static ZanResult chroma(int dir, uint16_t* p, int s, const Thr* a, const Thr* b, const Thr* t, const uint8_t* bs,
                            int bd) {
        const ZanFilterDeblock_16u info{p, s, a, b, t, bs, bd};
        return dir == 0 ? zaniFilterDeblockingChromaVerEdge_H264_16u_C1IR(&info)
                        : zaniFilterDeblockingChromaHorEdge_H264_16u_C1IR(&info);
    }
    static ZanResult chroma422(int dir, uint16_t* p, int s, const Thr* a, const Thr* b, const Thr* t,
                               const uint8_t* bs, int bd) {
        const ZanFilterDeblock_16u info{p, s, a, b, t, bs, bd};
        return dir == 0 ? zaniFilterDeblockingChroma422VerEdge_H264_16u_C1IR(&info)
                        : zaniFilterDeblockingChroma422HorEdge_H264_16u_C1IR(&info);
    }
};
}  // namespace

void Decoder::deblock_mb(int mbAddr) {
    if (cur_->bytes == 1) deblock_mb_t<uint8_t>(mbAddr);
    else deblock_mb_t<uint16_t>(mbAddr);
}

// alpha, beta and tC0 scale with the bit depth (8.7.2.2, 8.7.2.3).
template <typename Pel>
void Decoder::deblock_mb_t(int mbAddr) {
    using Calls = EdgeCalls<Pel>;
    using Thr = typename Calls::Thr;
    const int bd = bit_depth_, scale = 1 << (bit_depth_ - 8);
    const MbInfo& q = cur_->mbs[size_t(mbAddr)];
    if (q.slice < 0 || q.db_idc == 1) return;
    const int mbx = mbAddr % width_mbs_, mby = mbAddr / width_mbs_;
    const MbInfo* left = mbx > 0 ? &cur_->mbs[size_t(mbAddr - 1)] : nullptr;
    const MbInfo* top = mby > 0 ? &cur_->mbs[size_t(mbAddr - width_mbs_)] : nullptr;
    if (left && (left->slice < 0 || (q.db_idc == 2 && left->slice != q.slice))) left = nullptr;
    if (top && (top->slice < 0 || (q.db_idc == 2 && top->slice != q.slice))) top = nullptr;

    const int sY = cur_->strideY, sC = cur_->strideC;
    Pel* Y = reinterpret_cast<Pel*>(cur_->Y) + size_t(mby * 16) * size_t(sY) + size_t(mbx * 16);
    Pel* C[2] = {reinterpret_cast<Pel*>(cur_->Cb) + size_t(mby * mbhC_) * size_t(sC) + size_t(mbx * 8),
                 reinterpret_cast<Pel*>(cur_->Cr) + size_t(mby * mbhC_) * size_t(sC) + size_t(mbx * 8)};

    // Inner edges of an inter macroblock without coefficients and with one
    // motion for all its blocks have bS 0 (the common case).
    bool innerZero = false;
    if (!q.intra && q.nz == 0) {
        innerZero = true;
        for (int l = 0; l < 2 && innerZero; ++l) {
            for (int b = 1; b < 4; ++b) innerZero &= q.refId[l][b] == q.refId[l][0];
            for (int i = 1; i < 16; ++i)
                innerZero &= q.mv[l][i][0] == q.mv[l][0][0] && q.mv[l][i][1] == q.mv[l][0][1];
        }
    }
    uniform_[size_t(mbAddr)] = innerZero;

    for (int dir = 0; dir < 2; ++dir) {  // 0 vertical edges, 1 horizontal edges
        const MbInfo* nb = dir == 0 ? left : top;
        // 4:2:2 chroma has horizontal edges at every 4 rows, also where the
        // luma 8x8 transform has none (their bS come from the luma positions)
        const bool allEdges = c422_ && dir == 1;
        const bool skipOdd = q.t8x8 && !allEdges;
        uint8_t bs[16];
        if (q.intra) {
            std::memset(bs, nb ? 4 : 0, 4);
            std::memset(bs + 4, 3, 12);
            if (skipOdd) std::memset(bs + 4, 0, 4), std::memset(bs + 12, 0, 4);
        } else {
            // two uniform inter macroblocks: one bS for the whole edge
            const bool sameEdge = nb && innerZero && uniform_[size_t(dir == 0 ? mbAddr - 1 : mbAddr - width_mbs_)];
            if (sameEdge) std::memset(bs, motion_bs(*nb, 0, q, 0), 4);
            for (int e = sameEdge ? 1 : 0; e < 4; ++e)
                for (int s = 0; s < 4; ++s) {
                    int qb = dir == 0 ? s * 4 + e : e * 4 + s;
                    int v = 0;
                    if (e == 0) {
                        if (nb) v = edge_bs(*nb, dir == 0 ? s * 4 + 3 : 12 + s, q, qb, true);
                    } else if (!innerZero && !(skipOdd && (e & 1))) {
                        v = edge_bs(q, dir == 0 ? qb - 1 : qb - 4, q, qb, false);
                    }
                    bs[e * 4 + s] = uint8_t(v);
                }
        }
        uint32_t any = 0;
        for (int i = 0; i < 16; ++i) any |= bs[i];
        if (!any) continue;
        uint8_t lumaBs[16];
        const uint8_t* bsY = bs;
        if (allEdges && q.t8x8) {
            std::memcpy(lumaBs, bs, 16);
            std::memset(lumaBs + 4, 0, 4), std::memset(lumaBs + 12, 0, 4);
            bsY = lumaBs;
        }
        // luma thresholds
        Thr alpha[2], beta[2], tc0[16];
        int idxA[2], idxB[2];
        int qpav[2] = {nb ? (nb->qp + q.qp + 1) >> 1 : q.qp, q.qp};
        for (int k = 0; k < 2; ++k) {
            idxA[k] = std::clamp(qpav[k] + q.db_a, 0, 51);
            idxB[k] = std::clamp(qpav[k] + q.db_b, 0, 51);
            alpha[k] = Thr(kAlpha[idxA[k]] * scale);
            beta[k] = Thr(kBeta[idxB[k]] * scale);
        }
        for (int i = 0; i < 16; ++i)
            tc0[i] = bsY[i] && bsY[i] < 4 ? Thr(kTc0[idxA[i < 4 ? 0 : 1]][bsY[i] - 1] * scale) : 0;
        ZanResult r = Calls::luma(dir, Y, sY, alpha, beta, tc0, bsY, bd);
        if (r != ZAN_OK) fail("luma deblocking failed");
        // chroma: edges 0 and 2 of luma (4:2:2 horizontal: all four), thresholds from the chroma QPs
        for (int c = 0; c < 2; ++c) {
            int cqpav[2] = {nb ? (nb->qpc[c] + q.qpc[c] + 1) >> 1 : q.qpc[c], q.qpc[c]};
            Thr ca[2], cb[2], ctc[16];
            int cidx[2];
            for (int k = 0; k < 2; ++k) {
                cidx[k] = std::clamp(cqpav[k] + q.db_a, 0, 51);
                ca[k] = Thr(kAlpha[cidx[k]] * scale);
                cb[k] = Thr(kBeta[std::clamp(cqpav[k] + q.db_b, 0, 51)] * scale);
            }
            if (allEdges) {
                for (int i = 0; i < 16; ++i)
                    ctc[i] = bs[i] && bs[i] < 4 ? Thr(kTc0[cidx[i < 4 ? 0 : 1]][bs[i] - 1] * scale) : 0;
            } else {
                for (int e = 0; e < 2; ++e)
                    for (int s = 0; s < 4; ++s) {
                        int b = bs[e * 8 + s];
                        ctc[e * 4 + s] = b && b < 4 ? Thr(kTc0[cidx[e]][b - 1] * scale) : 0;
                    }
            }
            r = c422_ ? Calls::chroma422(dir, C[c], sC, ca, cb, ctc, bs, bd)
                      : Calls::chroma(dir, C[c], sC, ca, cb, ctc, bs, bd);
            if (r != ZAN_OK) fail("chroma deblocking failed");
        }
    }
}

}  // namespace h264dec
