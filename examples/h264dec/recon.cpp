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
                levels4w_[l][m][i] = levels4_[l][m][i];
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
                levels8w_[l][m][i] = levels8_[l][m][i];
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
    if (bit_depth_ > 8) return reconstruct_high(mbAddr, i16mode, chromaMode, predModes);
    const MbInfo& mb = cur_->mbs[size_t(mbAddr)];
    const int mbx = mbAddr % width_mbs_, mby = mbAddr / width_mbs_;
    const int sY = cur_->strideY, sC = cur_->strideC;
    uint8_t* Y = cur_->Y + size_t(mby * 16) * size_t(sY) + size_t(mbx * 16);
    uint8_t* U = cur_->Cb + size_t(mby * mbhC_) * size_t(sC) + size_t(mbx * 8);
    uint8_t* V = cur_->Cr + size_t(mby * mbhC_) * size_t(sC) + size_t(mbx * 8);
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

    const uint32_t cbits = cbpC_;
    const bool sameQp = qpCb == qpCr;
    if (c422_) {
        if (mb.intra)
            r = zaniReconstructChroma422Intra4x4_H264High_16s8u_IP2R(&pC, U, V, sC, chromaMode, cbits, qpCb, qpCr,
                                                                     Zan8u(edge), levels4_[1][qpCb % 6],
                                                                     levels4_[2][qpCr % 6], 0);
        else if (cbits)
            r = zaniReconstructChroma422Inter4x4_H264High_16s8u_IP2R(&pC, U, V, sC, cbits, qpCb, qpCr,
                                                                     levels4_[4][qpCb % 6], levels4_[5][qpCr % 6], 0);
    } else if (mb.intra) {
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

// Bit depths 9 to 14: 16-bit samples, 32-bit coefficients and levels, QP'
// with the bit-depth offset.
void Decoder::reconstruct_high(int mbAddr, int i16mode, int chromaMode, const int32_t* predModes) {
    const MbInfo& mb = cur_->mbs[size_t(mbAddr)];
    const int mbx = mbAddr % width_mbs_, mby = mbAddr / width_mbs_;
    const int sY = cur_->strideY, sC = cur_->strideC;
    Zan16u* Y = reinterpret_cast<Zan16u*>(cur_->Y) + size_t(mby * 16) * size_t(sY) + size_t(mbx * 16);
    Zan16u* U = reinterpret_cast<Zan16u*>(cur_->Cb) + size_t(mby * mbhC_) * size_t(sC) + size_t(mbx * 8);
    Zan16u* V = reinterpret_cast<Zan16u*>(cur_->Cr) + size_t(mby * mbhC_) * size_t(sC) + size_t(mbx * 8);
    const int qp = qp_ + qp_bd_offset_;
    const int qm = qp % 6;
    const int qpc[2] = {chroma_qp(qp_ + pps->chroma_qp_index_offset, qp_bd_offset_) + qp_bd_offset_,
                        chroma_qp(qp_ + pps->second_chroma_qp_index_offset, qp_bd_offset_) + qp_bd_offset_};
    const int edge = mb.intra ? intra_edge_type(mbAddr) : 0;
    const uint32_t bits = cbp4x4_;
    Zan32s* pY = coefY32_;
    Zan32s* pC = coefC32_;
    ZanReconstructHigh_32s16u rec{&pY, Y, sY * 2, 0, qp, levels4w_[0][qm], 0, bit_depth_};
    ZanResult r = ZAN_OK;
    switch (mb_type_) {
    case kMbI4x4:
        rec.cbp4x4 = bits;
        r = zaniReconstructLumaIntra4x4_H264High_32s16u_IP1R(&rec, predModes, Zan8u(edge));
        break;
    case kMbI8x8:
        rec.cbp4x4 = bits & 15;
        rec.pScaleLevels = levels8w_[0][qm];
        r = zaniReconstructLumaIntra8x8_H264High_32s16u_IP1R(&rec, predModes, Zan8u(edge));
        break;
    case kMbI16x16:
        rec.cbp4x4 = bits & 0x1FFFF;
        r = zaniReconstructLumaIntra16x16_H264High_32s16u_IP1R(&rec, i16mode, Zan8u(edge));
        break;
    default:  // inter
        if (!(bits & 0x1FFFF)) break;
        if (mb.t8x8) {
            rec.cbp4x4 = bits & 15;
            rec.pScaleLevels = levels8w_[1][qm];
            r = zaniReconstructLumaInter8x8_H264High_32s16u_IP1R(&rec);
        } else {
            rec.cbp4x4 = bits & 0x1FFFE;
            rec.pScaleLevels = levels4w_[3][qm];
            r = zaniReconstructLumaInter4x4_H264High_32s16u_IP1R(&rec);
        }
        break;
    }
    if (r < 0) fail("luma reconstruction failed (status " + std::to_string(r) + ")");
    if (r == ZAN_WRN_PRED_FALLBACK) fail("intra prediction mode needs a neighbour that is not available");

    const uint32_t cbits = cbpC_;
    const int lv = mb.intra ? 1 : 4;  // scaling lists: intra Cb, Cr = 1, 2; inter Cb, Cr = 4, 5
    ZanReconstructHigh_32s16u c2[2] = {
        {&pC, U, sC * 2, cbits, qpc[0], levels4w_[lv][qpc[0] % 6], 0, bit_depth_},
        {&pC, V, sC * 2, cbits, qpc[1], levels4w_[lv + 1][qpc[1] % 6], 0, bit_depth_}};
    if (mb.intra)
        r = c422_ ? zaniReconstructChroma422Intra4x4_H264High_32s16u_IP2R(c2, chromaMode, Zan8u(edge))
                  : zaniReconstructChromaIntra4x4_H264High_32s16u_IP2R(c2, chromaMode, Zan8u(edge));
    else if (cbits)
        r = c422_ ? zaniReconstructChroma422Inter4x4_H264High_32s16u_IP2R(c2)
                  : zaniReconstructChromaInter4x4_H264High_32s16u_IP2R(c2);
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

// The library's interpolation and weighting calls for 8-bit and for 16-bit
// samples, so that one block prediction serves both.
namespace {
template <typename Pel> struct PelCalls;

template <> struct PelCalls<uint8_t> {
    using Interp = ZanInterpolateBlock_8u;
    static ZanResult luma(const Interp* b) { return zaniInterpolateLumaBlock_H264_8u_P1R(b); }
    static ZanResult chroma(const Interp* b) { return zaniInterpolateChromaBlock_H264_8u_P2R(b); }
    static ZanResult uni(uint8_t* d, int s, int logWD, int w, int o, ZanSize sz, int) {
        return zaniUniDirWeightBlock_H264_8u_C1R(d, Zan32u(s), Zan32u(logWD), w, o, sz);
    }
    static ZanResult avg(const uint8_t* a, const uint8_t* b, int sab, uint8_t* d, int s, ZanSize sz, int) {
        return zaniInterpolateBlock_H264_8u_P3P1R(a, b, d, sz.width, sz.height, sab, sab, s);
    }
    static ZanResult bi(const uint8_t* a, const uint8_t* b, int sab, uint8_t* d, int s, int logWD, int w0, int o0,
                        int w1, int o1, ZanSize sz, int) {
        return zaniBiDirWeightBlock_H264_8u_P3P1R(a, b, d, sab, sab, s, Zan32u(logWD), w0, o0, w1, o1, sz);
    }
    static ZanResult implicit(const uint8_t* a, const uint8_t* b, int sab, uint8_t* d, int s, int w0, int w1,
                              ZanSize sz, int) {
        return zaniBiDirWeightBlockImplicit_H264_8u_P3P1R(a, b, d, sab, sab, s, w0, w1, sz);
    }
};

template <> struct PelCalls<uint16_t> {
    using Interp = ZanInterpolateBlock_16u;
    static ZanResult luma(const Interp* b) { return zaniInterpolateLumaBlock_H264_16u_P1R(b); }
    static ZanResult chroma(const Interp* b) { return zaniInterpolateChromaBlock_H264_16u_P2R(b); }
    static ZanResult uni(uint16_t* d, int s, int logWD, int w, int o, ZanSize sz, int bd) {
        return zaniUnidirWeight_H264_16u_IP2P1R(d, s, Zan32u(logWD), w, o * (1 << (bd - 8)), sz, bd);
    }
    static ZanBidir_16u block(const uint16_t* a, const uint16_t* b, int sab, uint16_t* d, int s, ZanSize sz, int bd) {
        return ZanBidir_16u{a, sab, b, sab, d, s, sz, bd};
    }
    static ZanResult avg(const uint16_t* a, const uint16_t* b, int sab, uint16_t* d, int s, ZanSize sz, int bd) {
        const ZanBidir_16u blk = block(a, b, sab, d, s, sz, bd);
        return zaniBidir_H264_16u_P2P1R(&blk);
    }
    static ZanResult bi(const uint16_t* a, const uint16_t* b, int sab, uint16_t* d, int s, int logWD, int w0, int o0,
                        int w1, int o1, ZanSize sz, int bd) {
        const ZanBidir_16u blk = block(a, b, sab, d, s, sz, bd);
        return zaniBidirWeight_H264_16u_P2P1R(&blk, Zan32u(logWD), w0, o0 * (1 << (bd - 8)), w1,
                                              o1 * (1 << (bd - 8)));
    }
    static ZanResult implicit(const uint16_t* a, const uint16_t* b, int sab, uint16_t* d, int s, int w0, int w1,
                              ZanSize sz, int bd) {
        const ZanBidir_16u blk = block(a, b, sab, d, s, sz, bd);
        return zaniBidirWeightImplicit_H264_16u_P2P1R(&blk, w0, w1);
    }
};

template <typename Interp> void set_depth(Interp&, int) {}
template <> void set_depth<ZanInterpolateBlock_16u>(ZanInterpolateBlock_16u& ib, int bd) { ib.bitDepth = bd; }
}  // namespace

void Decoder::predict_block(int mbAddr, int x4, int y4, int w4, int h4) {
    if (cur_->bytes == 1) predict_block_t<uint8_t>(mbAddr, x4, y4, w4, h4);
    else predict_block_t<uint16_t>(mbAddr, x4, y4, w4, h4);
}

template <typename Pel>
void Decoder::predict_block_t(int mbAddr, int x4, int y4, int w4, int h4) {
    using Calls = PelCalls<Pel>;
    const MbInfo& mb = cur_->mbs[size_t(mbAddr)];
    const int mbx = mbAddr % width_mbs_, mby = mbAddr / width_mbs_;
    const int b8 = (y4 >> 1) * 2 + (x4 >> 1), blk = y4 * 4 + x4;
    const int refs[2] = {mb.ref[0][b8], mb.ref[1][b8]};
    const int px = mbx * 16 + x4 * 4, py = mby * 16 + y4 * 4, w = w4 * 4, h = h4 * 4;
    const int sY = cur_->strideY, sC = cur_->strideC;
    const int bd = bit_depth_;
    Pel* dY = reinterpret_cast<Pel*>(cur_->Y) + size_t(py) * size_t(sY) + size_t(px);
    // chroma: half width; half height in 4:2:0, full height in 4:2:2 (where
    // the vertical vector counts quarter chroma rows: eighths are 2 * mvy)
    const int sh = c422_ ? 0 : 1, pyC = py >> sh, hC = h >> sh;
    Pel* dU = reinterpret_cast<Pel*>(cur_->Cb) + size_t(pyC) * size_t(sC) + size_t(px / 2);
    Pel* dV = reinterpret_cast<Pel*>(cur_->Cr) + size_t(pyC) * size_t(sC) + size_t(px / 2);
    Pel* pred[2] = {reinterpret_cast<Pel*>(pred_[0]), reinterpret_cast<Pel*>(pred_[1])};
    Pel* predC[2][2] = {{reinterpret_cast<Pel*>(predC_[0][0]), reinterpret_cast<Pel*>(predC_[0][1])},
                        {reinterpret_cast<Pel*>(predC_[1][0]), reinterpret_cast<Pel*>(predC_[1][1])}};
    const bool bi = refs[0] >= 0 && refs[1] >= 0;
    const int wmode = weight_mode_;  // 0 default, 1 explicit, 2 implicit

    for (int list = 0; list < 2; ++list) {
        if (refs[list] < 0) continue;
        const Picture* ref = list_[list][refs[list]];
        typename Calls::Interp ib{};
        set_depth(ib, bd);
        ib.pSrc[0] = reinterpret_cast<const Pel*>(ref->Y);
        ib.pSrc[1] = nullptr;
        ib.srcStep = sY;
        ib.pDst[0] = bi ? pred[list] : dY;
        ib.pDst[1] = nullptr;
        ib.dstStep = bi ? 16 : sY;
        ib.sizeFrame = ZanSize{cur_->width, cur_->height};
        ib.sizeBlock = ZanSize{w, h};
        ib.pointBlockPos = ZanPoint{px, py};
        ib.pointVector = ZanPoint{mb.mv[list][blk][0], mb.mv[list][blk][1]};
        if (Calls::luma(&ib) != ZAN_OK) fail("luma interpolation failed");
        ib.pSrc[0] = reinterpret_cast<const Pel*>(ref->Cb);
        ib.pSrc[1] = reinterpret_cast<const Pel*>(ref->Cr);
        ib.pDst[0] = bi ? predC[list][0] : dU;
        ib.pDst[1] = bi ? predC[list][1] : dV;
        ib.srcStep = sC;
        ib.dstStep = bi ? 8 : sC;
        ib.sizeFrame = ZanSize{cur_->width / 2, cur_->heightC};
        ib.sizeBlock = ZanSize{w / 2, hC};
        ib.pointBlockPos = ZanPoint{px / 2, pyC};
        if (c422_) ib.pointVector.y *= 2;
        if (Calls::chroma(&ib) != ZAN_OK) fail("chroma interpolation failed");
    }
    const ZanSize sz{w, h}, szC{w / 2, hC};
    Pel* dC[2] = {dU, dV};
    ZanResult r = ZAN_OK;
    if (!bi) {
        if (wmode != 1) return;
        int list = refs[0] >= 0 ? 0 : 1;
        const WeightEntry& e = sh_.weights[list][refs[list]];
        if (e.luma_flag) r |= Calls::uni(dY, sY, sh_.luma_log2_wd, e.luma_w, e.luma_o, sz, bd);
        if (e.chroma_flag)
            for (int c = 0; c < 2; ++c)
                r |= Calls::uni(dC[c], sC, sh_.chroma_log2_wd, e.chroma_w[c], e.chroma_o[c], szC, bd);
    } else if (wmode == 0) {
        r |= Calls::avg(pred[0], pred[1], 16, dY, sY, sz, bd);
        for (int c = 0; c < 2; ++c) r |= Calls::avg(predC[0][c], predC[1][c], 8, dC[c], sC, szC, bd);
    } else if (wmode == 1) {
        const WeightEntry& e0 = sh_.weights[0][refs[0]];
        const WeightEntry& e1 = sh_.weights[1][refs[1]];
        r |= Calls::bi(pred[0], pred[1], 16, dY, sY, sh_.luma_log2_wd, e0.luma_w, e0.luma_o, e1.luma_w, e1.luma_o,
                       sz, bd);
        for (int c = 0; c < 2; ++c)
            r |= Calls::bi(predC[0][c], predC[1][c], 8, dC[c], sC, sh_.chroma_log2_wd, e0.chroma_w[c],
                           e0.chroma_o[c], e1.chroma_w[c], e1.chroma_o[c], szC, bd);
    } else {
        int w0 = implicit_w_[refs[0]][refs[1]], w1 = 64 - w0;
        r |= Calls::implicit(pred[0], pred[1], 16, dY, sY, w0, w1, sz, bd);
        for (int c = 0; c < 2; ++c) r |= Calls::implicit(predC[0][c], predC[1][c], 8, dC[c], sC, w0, w1, szC, bd);
    }
    if (r != ZAN_OK) fail("weighted prediction failed");
}

}  // namespace h264dec
