// Prediction and reconstruction of one macroblock through the library:
// interpolation (8.4.2.2), weighted sample prediction (8.4.2.3), and the
// macroblock reconstruction functions that predict intra blocks, dequantize,
// inverse-transform and add the residual (8.3, 8.5).
#include <algorithm>
#include <cstring>

#include <zanvc.h>

#include "decoder.h"
#include "tables.h"

namespace h264dec {

// LevelScale4x4 / LevelScale8x8 (8.5.9) of the picture's scaling matrices.
void Decoder::compute_levels() {
    for (int l = 0; l < 6; ++l)
        for (int m = 0; m < 6; ++m)
            for (int i = 0; i < 16; ++i) {
                int x = i & 3, y = i >> 2;
                int cls = ((x | y) & 1) == 0 ? 0 : ((x & y) & 1) ? 1 : 2;
                levels4_[l][m][i] = int16_t(scaling_.m4[size_t(l)][size_t(i)] * kNormAdjust4x4[m][cls]);
            }
    for (int l = 0; l < 2; ++l)
        for (int m = 0; m < 6; ++m)
            for (int i = 0; i < 64; ++i) {
                int x = i & 7, y = i >> 3;
                int c;
                if ((x & 3) == 0 && (y & 3) == 0) c = 0;
                else if ((x & 1) && (y & 1)) c = 1;
                else if ((x & 3) == 2 && (y & 3) == 2) c = 2;
                else if (((x & 3) == 0 && (y & 1)) || ((x & 1) && (y & 3) == 0)) c = 3;
                else if (((x & 3) == 0 && (y & 3) == 2) || ((x & 3) == 2 && (y & 3) == 0)) c = 4;
                else c = 5;
                levels8_[l][m][i] = int16_t(scaling_.m8[size_t(l)][size_t(i)] * kNormAdjust8x8[m][c]);
            }
}

// edgeType bits of the reconstruction functions: neighbours that intra
// prediction may not use (1 left, 4 top, 16 top-left, 32 top-right).
int Decoder::intra_edge_type(int mbAddr) const {
    int mbx = mbAddr % width_mbs_, mby = mbAddr / width_mbs_;
    auto usable = [&](int dx, int dy) {
        int x = mbx + dx, y = mby + dy;
        if (x < 0 || x >= width_mbs_ || y < 0) return false;
        const MbInfo& n = cur_->mbs[size_t(y * width_mbs_ + x)];
        return n.slice == slice_num_ && (!pps->constrained_intra_pred || n.intra);
    };
    int e = 0;
    if (!usable(-1, 0)) e |= 1;
    if (!usable(0, -1)) e |= 4;
    if (!usable(-1, -1)) e |= 16;
    if (!usable(1, -1)) e |= 32;
    return e;
}

void Decoder::reconstruct(int mbAddr, int i16mode, int chromaMode, const int32_t* predModes) {
    const MbInfo& mb = cur_->mbs[size_t(mbAddr)];
    const int mbx = mbAddr % width_mbs_, mby = mbAddr / width_mbs_;
    const int sY = cur_->strideY, sC = cur_->strideC;
    uint8_t* Y = cur_->Y + size_t(mby * 16) * size_t(sY) + size_t(mbx * 16);
    uint8_t* U = cur_->Cb + size_t(mby * 8) * size_t(sC) + size_t(mbx * 8);
    uint8_t* V = cur_->Cr + size_t(mby * 8) * size_t(sC) + size_t(mbx * 8);
    const int qp = qp_;
    const int qm = qp % 6;
    const int qpCb = kChromaQp[std::clamp(qp + pps->chroma_qp_index_offset, 0, 51)];
    const int qpCr = kChromaQp[std::clamp(qp + pps->second_chroma_qp_index_offset, 0, 51)];
    const bool flat = scaling_.flat;
    const int edge = mb.intra ? intra_edge_type(mbAddr) : 0;
    const uint32_t bits = cbp4x4_;
    ZanResult r = ZAN_OK;
    Zan16s* pY = coefY_;
    Zan16s* pC = coefC_;

    switch (mb_type_) {
    case kMbI4x4:
        r = zaniReconstructLumaIntra4x4MB_H264_16s8u_C1R(&pY, Y, sY, predModes, bits, qp, Zan8u(edge),
                                                         levels4_[0][qm], 0);
        break;
    case kMbI8x8: {
        uint32_t b8 = 0;
        for (int k = 0; k < 4; ++k)
            if (bits & (1u << k)) b8 |= 1u << k;
        r = zaniReconstructLumaIntra8x8MB_H264_16s8u_C1R(&pY, Y, sY, predModes, b8, qp, Zan8u(edge),
                                                         levels8_[0][qm], 0);
        break;
    }
    case kMbI16x16:
        if (flat)
            r = zaniReconstructLumaIntra16x16MB_H264_16s8u_C1R(&pY, Y, sY, i16mode, bits & 0x1FFFF, qp, Zan8u(edge));
        else
            r = zaniReconstructLumaIntra_16x16MB_H264_16s8u_C1R(&pY, Y, sY, i16mode, bits & 0x1FFFF, qp,
                                                                Zan8u(edge), levels4_[0][qm], 0);
        break;
    default:  // inter
        if (!(bits & 0x1FFFF)) break;
        if (mb.t8x8)
            r = zaniReconstructLumaInter8x8MB_H264_16s8u_C1R(&pY, Y, sY, bits & 15, qp, levels8_[1][qm], 0);
        else if (flat)
            r = zaniReconstructLumaInterMB_H264_16s8u_C1R(&pY, Y, sY, bits & 0x1FFFE, qp);
        else
            r = zaniReconstructLumaInter4x4MB_H264_16s8u_C1R(&pY, Y, sY, bits & 0x1FFFE, qp, levels4_[3][qm], 0);
        break;
    }
    if (r < 0) fail("luma reconstruction failed (status " + std::to_string(r) + ")");
    if (r == ZAN_WRN_PRED_FALLBACK) fail("intra prediction mode needs a neighbour that is not available");

    const uint32_t cbits = bits & 0x7FE0000u;
    const bool sameQp = qpCb == qpCr;
    if (mb.intra) {
        if (flat && sameQp)
            r = zaniReconstructChromaIntraMB_H264_16s8u_P2R(&pC, U, V, sC, chromaMode, cbits, qpCb, Zan8u(edge));
        else
            r = zaniReconstructChromaIntra4x4MB_H264_16s8u_P2R(&pC, U, V, sC, chromaMode, cbits, qpCb, qpCr,
                                                               Zan8u(edge), levels4_[1][qpCb % 6],
                                                               levels4_[2][qpCr % 6], 0);
    } else if (cbits) {
        if (flat && sameQp)
            r = zaniReconstructChromaInterMB_H264_16s8u_P2R(&pC, U, V, sC, cbits, qpCb);
        else
            r = zaniReconstructChromaInter4x4MB_H264_16s8u_P2R(&pC, U, V, sC, cbits, qpCb, qpCr,
                                                               levels4_[4][qpCb % 6], levels4_[5][qpCr % 6], 0);
    }
    if (r == ZAN_ERR_NEIGHBOUR_UNAVAILABLE) fail("intra chroma prediction mode needs a missing neighbour");
    if (r < 0) fail("chroma reconstruction failed (status " + std::to_string(r) + ")");
}

// ---------------------------------------------------------------------------
// Inter prediction

void Decoder::inter_prediction(int mbAddr) {
    if (mb_type_ == kMbBDirect16) return predict_direct(mbAddr, -1);
    switch (shape_) {
    case 0: return predict_block(mbAddr, 0, 0, 4, 4);
    case 1: predict_block(mbAddr, 0, 0, 4, 2); return predict_block(mbAddr, 0, 2, 4, 2);
    case 2: predict_block(mbAddr, 0, 0, 2, 4); return predict_block(mbAddr, 2, 0, 2, 4);
    default: break;
    }
    for (int b8 = 0; b8 < 4; ++b8) {
        int x4 = (b8 & 1) * 2, y4 = (b8 >> 1) * 2;
        int s = sub_type_[b8];
        if (s == 0) {  // B_Direct_8x8
            predict_direct(mbAddr, b8);
            continue;
        }
        const SubMbType& st = s >= 100 ? kPSubMbTypes[s - 100] : kBSubMbTypes[s];
        for (int p = 0; p < st.parts; ++p) {
            int sx = x4 + (st.w == 2 ? 0 : (p & 1)), sy = y4 + (st.h == 2 ? 0 : (st.w == 2 ? p : (p >> 1)));
            predict_block(mbAddr, sx, sy, st.w, st.h);
        }
    }
}

// Direct-predicted area: as large blocks as the motion field allows.
void Decoder::predict_direct(int mbAddr, int blk8) {
    const MbInfo& mb = cur_->mbs[size_t(mbAddr)];
    auto same = [&](int a, int b) {
        for (int l = 0; l < 2; ++l)
            if (mb.mv[l][a][0] != mb.mv[l][b][0] || mb.mv[l][a][1] != mb.mv[l][b][1]) return false;
        return true;
    };
    auto uniform8 = [&](int b8) {
        int base = (b8 >> 1) * 8 + (b8 & 1) * 2;
        return same(base, base + 1) && same(base, base + 4) && same(base, base + 5);
    };
    if (blk8 < 0) {
        bool all = true;
        for (int b = 0; b < 4 && all; ++b) {
            all = uniform8(b) && same(0, (b >> 1) * 8 + (b & 1) * 2) && mb.ref[0][b] == mb.ref[0][0] &&
                  mb.ref[1][b] == mb.ref[1][0];
        }
        if (all) return predict_block(mbAddr, 0, 0, 4, 4);
        for (int b = 0; b < 4; ++b) predict_direct(mbAddr, b);
        return;
    }
    int x4 = (blk8 & 1) * 2, y4 = (blk8 >> 1) * 2;
    if (uniform8(blk8)) return predict_block(mbAddr, x4, y4, 2, 2);
    for (int s = 0; s < 4; ++s) predict_block(mbAddr, x4 + (s & 1), y4 + (s >> 1), 1, 1);
}

void Decoder::predict_block(int mbAddr, int x4, int y4, int w4, int h4) {
    const MbInfo& mb = cur_->mbs[size_t(mbAddr)];
    const int mbx = mbAddr % width_mbs_, mby = mbAddr / width_mbs_;
    const int b8 = (y4 >> 1) * 2 + (x4 >> 1), blk = y4 * 4 + x4;
    const int refs[2] = {mb.ref[0][b8], mb.ref[1][b8]};
    const int px = mbx * 16 + x4 * 4, py = mby * 16 + y4 * 4, w = w4 * 4, h = h4 * 4;
    const int sY = cur_->strideY, sC = cur_->strideC;
    uint8_t* dY = cur_->Y + size_t(py) * size_t(sY) + size_t(px);
    uint8_t* dU = cur_->Cb + size_t(py / 2) * size_t(sC) + size_t(px / 2);
    uint8_t* dV = cur_->Cr + size_t(py / 2) * size_t(sC) + size_t(px / 2);
    const bool bi = refs[0] >= 0 && refs[1] >= 0;
    const int wmode = weight_mode_;  // 0 default, 1 explicit, 2 implicit

    for (int list = 0; list < 2; ++list) {
        if (refs[list] < 0) continue;
        const Picture* ref = list_[list][refs[list]];
        ZanInterpolateBlock_8u ib;
        ib.pSrc[0] = ref->Y;
        ib.pSrc[1] = nullptr;
        ib.srcStep = sY;
        ib.pDst[0] = bi ? pred_[list] : dY;
        ib.pDst[1] = nullptr;
        ib.dstStep = bi ? 16 : sY;
        ib.sizeFrame = ZanSize{cur_->width, cur_->height};
        ib.sizeBlock = ZanSize{w, h};
        ib.pointBlockPos = ZanPoint{px, py};
        ib.pointVector = ZanPoint{mb.mv[list][blk][0], mb.mv[list][blk][1]};
        if (zaniInterpolateLumaBlock_H264_8u_P1R(&ib) != ZAN_OK) fail("luma interpolation failed");
        ib.pSrc[0] = ref->Cb;
        ib.pSrc[1] = ref->Cr;
        ib.pDst[0] = bi ? predC_[list][0] : dU;
        ib.pDst[1] = bi ? predC_[list][1] : dV;
        ib.srcStep = sC;
        ib.dstStep = bi ? 8 : sC;
        ib.sizeFrame = ZanSize{cur_->width / 2, cur_->height / 2};
        ib.sizeBlock = ZanSize{w / 2, h / 2};
        ib.pointBlockPos = ZanPoint{px / 2, py / 2};
        if (zaniInterpolateChromaBlock_H264_8u_P2R(&ib) != ZAN_OK) fail("chroma interpolation failed");
    }
    const ZanSize sz{w, h}, szC{w / 2, h / 2};
    ZanResult r = ZAN_OK;
    if (!bi) {
        if (wmode != 1) return;
        int list = refs[0] >= 0 ? 0 : 1;
        const WeightEntry& e = sh_.weights[list][refs[list]];
        if (e.luma_flag)
            r |= zaniUniDirWeightBlock_H264_8u_C1R(dY, Zan32u(sY), Zan32u(sh_.luma_log2_wd), e.luma_w, e.luma_o, sz);
        if (e.chroma_flag) {
            r |= zaniUniDirWeightBlock_H264_8u_C1R(dU, Zan32u(sC), Zan32u(sh_.chroma_log2_wd), e.chroma_w[0],
                                                   e.chroma_o[0], szC);
            r |= zaniUniDirWeightBlock_H264_8u_C1R(dV, Zan32u(sC), Zan32u(sh_.chroma_log2_wd), e.chroma_w[1],
                                                   e.chroma_o[1], szC);
        }
    } else if (wmode == 0) {
        r |= zaniInterpolateBlock_H264_8u_P3P1R(pred_[0], pred_[1], dY, w, h, 16, 16, sY);
        r |= zaniInterpolateBlock_H264_8u_P3P1R(predC_[0][0], predC_[1][0], dU, w / 2, h / 2, 8, 8, sC);
        r |= zaniInterpolateBlock_H264_8u_P3P1R(predC_[0][1], predC_[1][1], dV, w / 2, h / 2, 8, 8, sC);
    } else if (wmode == 1) {
        const WeightEntry& e0 = sh_.weights[0][refs[0]];
        const WeightEntry& e1 = sh_.weights[1][refs[1]];
        r |= zaniBiDirWeightBlock_H264_8u_P3P1R(pred_[0], pred_[1], dY, 16, 16, sY, Zan32u(sh_.luma_log2_wd),
                                                e0.luma_w, e0.luma_o, e1.luma_w, e1.luma_o, sz);
        for (int c = 0; c < 2; ++c)
            r |= zaniBiDirWeightBlock_H264_8u_P3P1R(predC_[0][c], predC_[1][c], c ? dV : dU, 8, 8, sC,
                                                    Zan32u(sh_.chroma_log2_wd), e0.chroma_w[c], e0.chroma_o[c],
                                                    e1.chroma_w[c], e1.chroma_o[c], szC);
    } else {
        int w0 = implicit_w_[refs[0]][refs[1]], w1 = 64 - w0;
        r |= zaniBiDirWeightBlockImplicit_H264_8u_P3P1R(pred_[0], pred_[1], dY, 16, 16, sY, w0, w1, sz);
        r |= zaniBiDirWeightBlockImplicit_H264_8u_P3P1R(predC_[0][0], predC_[1][0], dU, 8, 8, sC, w0, w1, szC);
        r |= zaniBiDirWeightBlockImplicit_H264_8u_P3P1R(predC_[0][1], predC_[1][1], dV, 8, 8, sC, w0, w1, szC);
    }
    if (r != ZAN_OK) fail("weighted prediction failed");
}

}  // namespace h264dec
