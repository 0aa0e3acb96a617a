// Loop filter decisions (H.264 8.7): boundary strengths and the alpha, beta
// and tC0 thresholds of every macroblock edge. The filtering itself is the
// library's, one call per direction and plane of a macroblock.
#include <algorithm>
#include <cstdlib>

#include <zanvc.h>

#include "decoder.h"
#include "library_pending.h"
#include "tables.h"

namespace h264dec {

namespace {

inline bool mv_far(const int16_t* a, const int16_t* b) {
    return std::abs(a[0] - b[0]) >= 4 || std::abs(a[1] - b[1]) >= 4;
}

// bS of an edge between 4x4 blocks p and q of inter macroblocks without
// coefficients (8.7.2.1): 1 when the prediction differs noticeably.
int motion_bs(const MbInfo& p, int pb, const MbInfo& q, int qb) {
    int p8 = (pb >> 3) * 2 + ((pb & 3) >> 1), q8 = (qb >> 3) * 2 + ((qb & 3) >> 1);
    int pr0 = p.refId[0][p8], pr1 = p.refId[1][p8], qr0 = q.refId[0][q8], qr1 = q.refId[1][q8];
    int np = (pr0 >= 0) + (pr1 >= 0), nq = (qr0 >= 0) + (qr1 >= 0);
    if (np != nq) return 1;
    if (np == 1) {
        int pl = pr0 >= 0 ? 0 : 1, ql = qr0 >= 0 ? 0 : 1;
        if ((pl ? pr1 : pr0) != (ql ? qr1 : qr0)) return 1;
        return mv_far(p.mv[pl][pb], q.mv[ql][qb]);
    }
    if (!((pr0 == qr0 && pr1 == qr1) || (pr0 == qr1 && pr1 == qr0))) return 1;
    const int16_t *p0 = p.mv[0][pb], *p1 = p.mv[1][pb], *q0 = q.mv[0][qb], *q1 = q.mv[1][qb];
    if (pr0 != pr1) {
        if (pr0 == qr0) return mv_far(p0, q0) || mv_far(p1, q1);
        return mv_far(p0, q1) || mv_far(p1, q0);
    }
    return (mv_far(p0, q0) || mv_far(p1, q1)) && (mv_far(p0, q1) || mv_far(p1, q0));
}

int edge_bs(const MbInfo& p, int pb, const MbInfo& q, int qb, bool mbEdge) {
    if (p.intra || q.intra) return mbEdge ? 4 : 3;
    if (((p.nz >> pb) & 1) || ((q.nz >> qb) & 1)) return 2;
    return motion_bs(p, pb, q, qb);
}

}  // namespace

void Decoder::deblock_picture() {
    for (int mbAddr = 0; mbAddr < width_mbs_ * height_mbs_; ++mbAddr) deblock_mb(mbAddr);
}

void Decoder::deblock_mb(int mbAddr) {
    const MbInfo& q = cur_->mbs[size_t(mbAddr)];
    if (q.slice < 0 || q.db_idc == 1) return;
    const int mbx = mbAddr % width_mbs_, mby = mbAddr / width_mbs_;
    const MbInfo* left = mbx > 0 ? &cur_->mbs[size_t(mbAddr - 1)] : nullptr;
    const MbInfo* top = mby > 0 ? &cur_->mbs[size_t(mbAddr - width_mbs_)] : nullptr;
    if (left && (left->slice < 0 || (q.db_idc == 2 && left->slice != q.slice))) left = nullptr;
    if (top && (top->slice < 0 || (q.db_idc == 2 && top->slice != q.slice))) top = nullptr;

    const int sY = cur_->strideY, sC = cur_->strideC;
    uint8_t* Y = cur_->Y + size_t(mby * 16) * size_t(sY) + size_t(mbx * 16);
    uint8_t* C[2] = {cur_->Cb + size_t(mby * 8) * size_t(sC) + size_t(mbx * 8),
                     cur_->Cr + size_t(mby * 8) * size_t(sC) + size_t(mbx * 8)};

    for (int dir = 0; dir < 2; ++dir) {  // 0 vertical edges, 1 horizontal edges
        const MbInfo* nb = dir == 0 ? left : top;
        uint8_t bs[16];
        for (int e = 0; e < 4; ++e)
            for (int s = 0; s < 4; ++s) {
                int qb = dir == 0 ? s * 4 + e : e * 4 + s;
                int v = 0;
                if (e == 0) {
                    if (nb) v = edge_bs(*nb, dir == 0 ? s * 4 + 3 : 12 + s, q, qb, true);
                } else if (!(q.t8x8 && (e & 1))) {
                    v = edge_bs(q, dir == 0 ? qb - 1 : qb - 4, q, qb, false);
                }
                bs[e * 4 + s] = uint8_t(v);
            }
        // luma thresholds
        uint8_t alpha[2], beta[2], tc0[16];
        int idxA[2], idxB[2];
        int qpav[2] = {nb ? (nb->qp + q.qp + 1) >> 1 : q.qp, q.qp};
        for (int k = 0; k < 2; ++k) {
            idxA[k] = std::clamp(qpav[k] + q.db_a, 0, 51);
            idxB[k] = std::clamp(qpav[k] + q.db_b, 0, 51);
            alpha[k] = kAlpha[idxA[k]];
            beta[k] = kBeta[idxB[k]];
        }
        for (int i = 0; i < 16; ++i) tc0[i] = bs[i] && bs[i] < 4 ? kTc0[idxA[i < 4 ? 0 : 1]][bs[i] - 1] : 0;
        ZanResult r = dir == 0 ? zaniFilterDeblockingLuma_VerEdge_H264_8u_C1IR(Y, sY, alpha, beta, tc0, bs)
                               : zaniFilterDeblockingLuma_HorEdge_H264_8u_C1IR(Y, sY, alpha, beta, tc0, bs);
        if (r != ZAN_OK) fail("luma deblocking failed");
        // chroma: edges 0 and 2 of luma, thresholds from the chroma QPs
        for (int c = 0; c < 2; ++c) {
            int cqpav[2] = {nb ? (nb->qpc[c] + q.qpc[c] + 1) >> 1 : q.qpc[c], q.qpc[c]};
            uint8_t ca[2], cb[2], ctc[8];
            int cidx[2];
            for (int k = 0; k < 2; ++k) {
                cidx[k] = std::clamp(cqpav[k] + q.db_a, 0, 51);
                ca[k] = kAlpha[cidx[k]];
                cb[k] = kBeta[std::clamp(cqpav[k] + q.db_b, 0, 51)];
            }
            for (int e = 0; e < 2; ++e)
                for (int s = 0; s < 4; ++s) {
                    int b = bs[e * 8 + s];
                    ctc[e * 4 + s] = b && b < 4 ? kTc0[cidx[e]][b - 1] : 0;
                }
            r = dir == 0 ? zaniFilterDeblockingChroma_VerEdge_H264_8u_C1IR(C[c], sC, ca, cb, ctc, bs)
                         : zaniFilterDeblockingChroma_HorEdge_H264_8u_C1IR(C[c], sC, ca, cb, ctc, bs);
            if (r != ZAN_OK) fail("chroma deblocking failed");
        }
    }
}

}  // namespace h264dec
