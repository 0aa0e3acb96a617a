// H.264 deblocking (8.7.2.3 and 8.7.2.4): the per-position filter, the
// edge geometry of each block kind and the per-block driver, written once
// over the sample type (8 or 16 bits) and the block kind. Shared by the
// portable and the AVX2 files, hence internal linkage throughout.
#pragma once

#include <algorithm>
#include <cstdlib>

#include "core/common.h"

namespace zan::deblock {
namespace {

// Edge geometry of one block kind: Edges edges of Length positions, edge e
// at sample offset 4e across the block, position k along it. Position k of
// edge e takes bS byte [BsStride * e + (k >> SegShift)] and tC0 entry
// [4e + (k >> SegShift)]; alpha and beta entry [0] for edge 0 (the
// macroblock edge), [1] for the others. FirstByteDecides: the first bS byte
// of an edge chooses the strong filter for the whole edge.
template <int Edges, int Length, bool Luma, int BsStride, int SegShift, bool FirstByteDecides = false>
struct EdgeGeometry {
    static constexpr int kEdges = Edges, kLength = Length;
    static constexpr bool kLuma = Luma, kFirstByteDecides = FirstByteDecides;
    static constexpr int bs(int e, int k) { return BsStride * e + (k >> SegShift); }
    static constexpr int tc0(int e, int k) { return 4 * e + (k >> SegShift); }
    static constexpr int alpha(int e) { return e ? 1 : 0; }
};

using LumaEdges = EdgeGeometry<4, 16, true, 4, 2>;
// 4:2:0 chroma: edge 1 takes the bS of luma edge 2 (bytes 8..11).
using Chroma420Edges = EdgeGeometry<2, 8, false, 8, 1>;
using Chroma422VerEdges = EdgeGeometry<2, 16, false, 8, 2>;
using Chroma422HorEdges = EdgeGeometry<4, 8, false, 4, 1, true>;
using LumaMbaffEdges = EdgeGeometry<1, 8, true, 0, 1>;    // one bS per 2 rows
using ChromaMbaffEdges = EdgeGeometry<1, 4, false, 0, 0>;  // one bS per row

// The filter a position gets.
enum Filter : uint8_t { kNone = 0, kNormal = 1, kStrong = 4 };

// bS 0: none, 1..3: normal, 4 and above: strong; with kFirstByteDecides the
// edge's first byte chooses strong for every position, else any non-zero
// byte means normal.
template <class Shape>
constexpr Filter filter_of(const uint8_t* pBs, int e, int k) {
    const int b = pBs[Shape::bs(e, k)];
    if constexpr (Shape::kFirstByteDecides) {
        if (pBs[Shape::bs(e, 0)] >= 4) return kStrong;
        return b ? kNormal : kNone;
    } else {
        return b >= 4 ? kStrong : (b ? kNormal : kNone);
    }
}

// Thresholds of one call, resolved to plain values where they are per edge.
// Component c (0 Cb or the only one, 1 Cr) of edge e uses alpha[2c + Shape::
// alpha(e)], beta likewise, and tC0 entry tc0[tcStride * c + Shape::tc0(e, k)].
template <class Th>
struct Params {
    int alpha[4];
    int beta[4];
    const Th* tc0;
    const uint8_t* bs;
    int tcStride;
};

// Reads the alpha and beta entries that the block kind has (2 per component
// set, 1 for the single-edge MBAFF kinds); a set given once serves both
// components.
template <class Shape, class Th, class A>
Params<Th> make_params(const A* pAlpha, const A* pBeta, const Th* pTc0, const uint8_t* pBs, int sets) {
    constexpr int entries = Shape::kEdges > 1 ? 2 : 1;
    Params<Th> p{};
    for (int i = 0; i < 4; ++i) {
        const int src = (sets == 2 ? (i >> 1) * entries : 0) + (entries == 2 ? (i & 1) : 0);
        p.alpha[i] = int(pAlpha[src]);
        p.beta[i] = int(pBeta[src]);
    }
    p.tc0 = pTc0;
    p.bs = pBs;
    p.tcStride = sets == 2 ? 8 : 0;
    return p;
}

// One position of an edge: q points at q0, d is the element distance across
// the edge (p_i = q[-(i+1)d], q_i = q[i d]). maxv is the Clip1 maximum.
template <bool Luma, class T>
ZAN_INLINE void filter_position(T* q, ptrdiff_t d, Filter f, int alpha, int beta, int tc0, int maxv) {
    const int p0 = q[-d], p1 = q[-2 * d], q0 = q[0], q1 = q[d];
    if (!(std::abs(p0 - q0) < alpha && std::abs(p1 - p0) < beta && std::abs(q1 - q0) < beta)) return;
    if (f == kStrong) {
        if constexpr (Luma) {
            const int p2 = q[-3 * d], q2 = q[2 * d];
            const bool smallGap = std::abs(p0 - q0) < ((alpha >> 2) + 2);
            if (std::abs(p2 - p0) < beta && smallGap) {
                const int p3 = q[-4 * d];
                q[-d] = T((p2 + 2 * p1 + 2 * p0 + 2 * q0 + q1 + 4) >> 3);
                q[-2 * d] = T((p2 + p1 + p0 + q0 + 2) >> 2);
                q[-3 * d] = T((2 * p3 + 3 * p2 + p1 + p0 + q0 + 4) >> 3);
            } else {
                q[-d] = T((2 * p1 + p0 + q1 + 2) >> 2);
            }
            if (std::abs(q2 - q0) < beta && smallGap) {
                const int q3 = q[3 * d];
                q[0] = T((p1 + 2 * p0 + 2 * q0 + 2 * q1 + q2 + 4) >> 3);
                q[d] = T((p0 + q0 + q1 + q2 + 2) >> 2);
                q[2 * d] = T((2 * q3 + 3 * q2 + q1 + q0 + p0 + 4) >> 3);
            } else {
                q[0] = T((2 * q1 + q0 + p1 + 2) >> 2);
            }
        } else {
            q[-d] = T((2 * p1 + p0 + q1 + 2) >> 2);
            q[0] = T((2 * q1 + q0 + p1 + 2) >> 2);
        }
        return;
    }
    int tc = tc0 + 1;
    if constexpr (Luma) {
        const int p2 = q[-3 * d], q2 = q[2 * d];
        const bool ap = std::abs(p2 - p0) < beta, aq = std::abs(q2 - q0) < beta;
        tc = tc0 + int(ap) + int(aq);
        if (ap) q[-2 * d] = T(p1 + clip3(-tc0, tc0, (p2 + ((p0 + q0 + 1) >> 1) - (p1 << 1)) >> 1));
        if (aq) q[d] = T(q1 + clip3(-tc0, tc0, (q2 + ((p0 + q0 + 1) >> 1) - (q1 << 1)) >> 1));
    }
    const int delta = clip3(-tc, tc, (((q0 - p0) << 2) + (p1 - q1) + 4) >> 3);
    if (delta) {
        q[-d] = T(clip3(0, maxv, p0 + delta));
        q[0] = T(clip3(0, maxv, q0 - delta));
    }
}

// Every edge of one block in order (VerEdge: left to right, HorEdge: top to
// bottom), each for Cb and then Cr (comps = 2, interleaved NV12 samples)
// before the next. step counts elements.
template <class Shape, bool Vertical, class T, class Th>
void filter_block(T* base, ptrdiff_t step, const Params<Th>& prm, int comps, int maxv) {
    const ptrdiff_t across = Vertical ? comps : step;  // between p0 and q0
    const ptrdiff_t along = Vertical ? step : comps;   // between positions
    for (int e = 0; e < Shape::kEdges; ++e) {
        T* edge = base + 4 * e * across;
        for (int c = 0; c < comps; ++c) {
            const int alpha = prm.alpha[2 * c + Shape::alpha(e)], beta = prm.beta[2 * c + Shape::alpha(e)];
            for (int k = 0; k < Shape::kLength; ++k) {
                const Filter f = filter_of<Shape>(prm.bs, e, k);
                if (f == kNone) continue;
                filter_position<Shape::kLuma>(edge + k * along + c, across, f, alpha, beta,
                                              int(prm.tc0[prm.tcStride * c + Shape::tc0(e, k)]), maxv);
            }
        }
    }
}

// Argument checks shared by the portable and the AVX2 entries: every pointer
// (the record first) before anything is read.
ZAN_INLINE ZanResult check_pointers(const void* a, const void* b, const void* c, const void* d, const void* e) {
    return (a && b && c && d && e) ? ZAN_OK : ZAN_ERR_NULL_PTR;
}
ZAN_INLINE ZanResult check_record(const ZanFilterDeblock_8u* r) {
    if (!r) return ZAN_ERR_NULL_PTR;
    return check_pointers(r->pSrcDst, r->pAlpha, r->pBeta, r->pThresholds, r->pBs);
}

// MBAFF alpha and beta arrive as 32-bit values; anything above 65535 acts
// like 65535 against 8- or 16-bit sample differences.
ZAN_INLINE int mbaff_threshold(Zan32u v) { return int(std::min<Zan32u>(v, 65535u)); }

}  // namespace
}  // namespace zan::deblock
