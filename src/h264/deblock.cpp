// H.264 deblocking filters, portable implementations: every block kind and
// both sample sizes run through the one templated driver of deblock.h.
#include "h264/deblock.h"

namespace zan::c {

namespace {

using namespace zan::deblock;

template <class Shape, bool Vertical>
ZanResult filter8(Zan8u* pSrcDst, int32_t step, const Zan8u* pAlpha, const Zan8u* pBeta, const Zan8u* pTc0,
                  const Zan8u* pBs, int comps, int sets) {
    if (const ZanResult r = check_pointers(pSrcDst, pAlpha, pBeta, pTc0, pBs); r != ZAN_OK) return r;
    filter_block<Shape, Vertical>(pSrcDst, step, make_params<Shape>(pAlpha, pBeta, pTc0, pBs, sets), comps, 255);
    return ZAN_OK;
}

template <class Shape, bool Vertical>
ZanResult filter8(const ZanFilterDeblock_8u* r, int comps, int sets) {
    if (!r) return ZAN_ERR_NULL_PTR;
    return filter8<Shape, Vertical>(r->pSrcDst, r->srcdstStep, r->pAlpha, r->pBeta, r->pThresholds, r->pBs, comps,
                                    sets);
}

template <class Shape>
ZanResult filter8_mbaff(Zan8u* pSrcDst, int32_t step, Zan32u nAlpha, Zan32u nBeta, const Zan8u* pTc0,
                        const Zan8u* pBs) {
    if (!pSrcDst || !pTc0 || !pBs) return ZAN_ERR_NULL_PTR;
    const int alpha = mbaff_threshold(nAlpha), beta = mbaff_threshold(nBeta);
    filter_block<Shape, true>(pSrcDst, step, make_params<Shape>(&alpha, &beta, pTc0, pBs, 1), 1, 255);
    return ZAN_OK;
}

// The 16-bit forms: step in samples, Clip1 from bitDepth.
template <class Shape, bool Vertical>
ZanResult filter16(const ZanFilterDeblock_16u* r) {
    if (!r) return ZAN_ERR_NULL_PTR;
    if (const ZanResult s = check_pointers(r->pSrcDst, r->pAlpha, r->pBeta, r->pThresholds, r->pBs); s != ZAN_OK)
        return s;
    if (r->bitDepth < 1 || r->bitDepth > 16) return ZAN_ERR_BAD_ARG;
    filter_block<Shape, Vertical>(r->pSrcDst, r->srcdstStep, make_params<Shape>(r->pAlpha, r->pBeta, r->pThresholds, r->pBs, 1),
                                  1, (1 << r->bitDepth) - 1);
    return ZAN_OK;
}

}  // namespace

#define ZAN_DEBLOCK8(NAME, SHAPE, VERT, COMPS, SETS)                                                       \
    ZanResult NAME(Zan8u* pSrcDst, int32_t srcdstStep, const Zan8u* pAlpha, const Zan8u* pBeta,            \
                   const Zan8u* pThresholds, const Zan8u* pBs) {                                           \
        return filter8<SHAPE, VERT>(pSrcDst, srcdstStep, pAlpha, pBeta, pThresholds, pBs, COMPS, SETS);    \
    }
ZAN_DEBLOCK8(zaniFilterDeblockingLuma_VerEdge_H264_8u_C1IR, LumaEdges, true, 1, 1)
ZAN_DEBLOCK8(zaniFilterDeblockingLuma_HorEdge_H264_8u_C1IR, LumaEdges, false, 1, 1)
ZAN_DEBLOCK8(zaniFilterDeblockingChroma_VerEdge_H264_8u_C1IR, Chroma420Edges, true, 1, 1)
ZAN_DEBLOCK8(zaniFilterDeblockingChroma_HorEdge_H264_8u_C1IR, Chroma420Edges, false, 1, 1)
ZAN_DEBLOCK8(zaniFilterDeblockingChroma_VerEdge_H264_8u_C2IR, Chroma420Edges, true, 2, 1)
ZAN_DEBLOCK8(zaniFilterDeblockingChroma_HorEdge_H264_8u_C2IR, Chroma420Edges, false, 2, 1)
#undef ZAN_DEBLOCK8

ZanResult zaniFilterDeblockingChroma_VerEdge_H264_8u_C2I(const ZanFilterDeblock_8u* p) {
    return filter8<Chroma420Edges, true>(p, 2, 2);
}
ZanResult zaniFilterDeblockingChroma_HorEdge_H264_8u_C2I(const ZanFilterDeblock_8u* p) {
    return filter8<Chroma420Edges, false>(p, 2, 2);
}
ZanResult zaniFilterDeblockingChroma422VerEdge_H264_8u_C1IR(const ZanFilterDeblock_8u* p) {
    return filter8<Chroma422VerEdges, true>(p, 1, 1);
}
ZanResult zaniFilterDeblockingChroma422HorEdge_H264_8u_C1IR(const ZanFilterDeblock_8u* p) {
    return filter8<Chroma422HorEdges, false>(p, 1, 1);
}
ZanResult zaniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcdstStep, Zan32u nAlpha,
                                                              Zan32u nBeta, const Zan8u* pThresholds,
                                                              const Zan8u* pBs) {
    return filter8_mbaff<LumaMbaffEdges>(pSrcDst, srcdstStep, nAlpha, nBeta, pThresholds, pBs);
}
ZanResult zaniFilterDeblockingChroma_VerEdge_MBAFF_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcdstStep, Zan32u nAlpha,
                                                                Zan32u nBeta, const Zan8u* pThresholds,
                                                                const Zan8u* pBs) {
    return filter8_mbaff<ChromaMbaffEdges>(pSrcDst, srcdstStep, nAlpha, nBeta, pThresholds, pBs);
}

ZanResult zaniFilterDeblockingLumaVerEdge_H264_16u_C1IR(const ZanFilterDeblock_16u* p) {
    return filter16<LumaEdges, true>(p);
}
ZanResult zaniFilterDeblockingLumaHorEdge_H264_16u_C1IR(const ZanFilterDeblock_16u* p) {
    return filter16<LumaEdges, false>(p);
}
ZanResult zaniFilterDeblockingChromaVerEdge_H264_16u_C1IR(const ZanFilterDeblock_16u* p) {
    return filter16<Chroma420Edges, true>(p);
}
ZanResult zaniFilterDeblockingChromaHorEdge_H264_16u_C1IR(const ZanFilterDeblock_16u* p) {
    return filter16<Chroma420Edges, false>(p);
}
ZanResult zaniFilterDeblockingChroma422VerEdge_H264_16u_C1IR(const ZanFilterDeblock_16u* p) {
    return filter16<Chroma422VerEdges, true>(p);
}
ZanResult zaniFilterDeblockingChroma422HorEdge_H264_16u_C1IR(const ZanFilterDeblock_16u* p) {
    return filter16<Chroma422HorEdges, false>(p);
}
ZanResult zaniFilterDeblockingLumaVerEdgeMBAFF_H264_16u_C1IR(const ZanFilterDeblock_16u* p) {
    return filter16<LumaMbaffEdges, true>(p);
}
ZanResult zaniFilterDeblockingChromaVerEdgeMBAFF_H264_16u_C1IR(const ZanFilterDeblock_16u* p) {
    return filter16<ChromaMbaffEdges, true>(p);
}

}  // namespace zan::c
