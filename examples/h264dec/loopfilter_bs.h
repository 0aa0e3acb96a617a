// Boundary strength of the loop filter (H.264 8.7.2.1) for progressive
// frames, from what the pictures keep of each macroblock.
#pragma once
#include <cstdlib>

#include "decoder.h"

namespace h264dec {

inline bool mv_far(const int16_t* a, const int16_t* b) {
    return std::abs(a[0] - b[0]) >= 4 || std::abs(a[1] - b[1]) >= 4;
}

// bS of an edge between 4x4 blocks p and q of inter macroblocks without
// coefficients (8.7.2.1): 1 when the prediction differs noticeably.
inline int motion_bs(const MbInfo& p, int pb, const MbInfo& q, int qb) {
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

// bS of the edge between 4x4 block pb of p and qb of q (raster indices);
// mbEdge: the edge is a macroblock edge.
inline int edge_bs(const MbInfo& p, int pb, const MbInfo& q, int qb, bool mbEdge) {
    if (p.intra || q.intra) return mbEdge ? 4 : 3;
    if (((p.nz >> pb) & 1) || ((q.nz >> qb) & 1)) return 2;
    return motion_bs(p, pb, q, qb);
}

}  // namespace h264dec
