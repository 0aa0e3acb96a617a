// H.264 intra prediction (H.264 8.3) and the three predictor exports.
#include "h264/intra_pred.h"

#include <cstring>

#include "core/common.h"

namespace zan::h264 {

namespace {

bool needs_met(int mode, uint32_t avail) {
    const bool top = avail & kAvailTop, left = avail & kAvailLeft, tl = avail & kAvailTopLeft;
    switch (mode) {
        case 0: case 3: case 7: return top;             // vertical, diagonal down-left, vertical-left
        case 1: case 8: return left;                    // horizontal, horizontal-up
        case 4: case 5: case 6: return top && left && tl;
        default: return true;                           // DC
    }
}

template <class Pel>
void fill(Pel* p, int32_t step, int w, int h, int v) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) row(p, step, y)[x] = Pel(v);
}

// The nine directional modes of 8.3.1.2 / 8.3.2.2 for an N x N block over
// the reference samples t[x] = p[x, -1] (x = -1..2N-1) and l[y] = p[-1, y]
// (y = -1..N-1), with t[-1] = l[-1] = p[-1, -1].
// One mode M, fixed at compile time so that the sample loops carry no
// mode switch.
template <int N, int M, class Pel>
void directional_mode(const int* t, const int* l, int dc, Pel* p, int32_t step) {
    auto f3 = [](int a, int b, int c) { return (a + 2 * b + c + 2) >> 2; };
    auto f2 = [](int a, int b) { return (a + b + 1) >> 1; };
    for (int y = 0; y < N; ++y) {
        Pel* out = row(p, step, y);
        for (int x = 0; x < N; ++x) {
            int v = 0;
            switch (M) {
                case 0: v = t[x]; break;
                case 1: v = l[y]; break;
                case 2: v = dc; break;
                case 3:  // diagonal down-left
                    v = (x == N - 1 && y == N - 1) ? (t[2 * N - 2] + 3 * t[2 * N - 1] + 2) >> 2
                                                   : f3(t[x + y], t[x + y + 1], t[x + y + 2]);
                    break;
                case 4:  // diagonal down-right
                    v = x > y ? f3(t[x - y - 2], t[x - y - 1], t[x - y])
                        : x < y ? f3(l[y - x - 2], l[y - x - 1], l[y - x])
                                : f3(t[0], t[-1], l[0]);
                    break;
                case 5: {  // vertical-right
                    const int z = 2 * x - y, i = x - (y >> 1);
                    v = z >= 0 && !(z & 1) ? f2(t[i - 1], t[i])
                        : z > 0             ? f3(t[i - 2], t[i - 1], t[i])
                        : z == -1           ? f3(l[0], l[-1], t[0])
                                            : f3(l[y - 2 * x - 1], l[y - 2 * x - 2], l[y - 2 * x - 3]);
                    break;
                }
                case 6: {  // horizontal-down
                    const int z = 2 * y - x, i = y - (x >> 1);
                    v = z >= 0 && !(z & 1) ? f2(l[i - 1], l[i])
                        : z > 0             ? f3(l[i - 2], l[i - 1], l[i])
                        : z == -1           ? f3(l[0], l[-1], t[0])
                                            : f3(t[x - 2 * y - 1], t[x - 2 * y - 2], t[x - 2 * y - 3]);
                    break;
                }
                case 7: {  // vertical-left
                    const int i = x + (y >> 1);
                    v = (y & 1) ? f3(t[i], t[i + 1], t[i + 2]) : f2(t[i], t[i + 1]);
                    break;
                }
                default: {  // 8, horizontal-up
                    const int z = x + 2 * y, i = y + (x >> 1);
                    v = z > 2 * N - 3    ? l[N - 1]
                        : z == 2 * N - 3 ? (l[N - 2] + 3 * l[N - 1] + 2) >> 2
                        : (z & 1)        ? f3(l[i], l[i + 1], l[i + 2])
                                         : f2(l[i], l[i + 1]);
                    break;
                }
            }
            out[x] = Pel(v);
        }
    }
}

template <int N, class Pel>
void directional(const int* t, const int* l, int mode, bool top, bool left, Pel* p, int32_t step, int bitDepth) {
    constexpr int lg = N == 4 ? 2 : 3;
    int dc = 1 << (bitDepth - 1);
    if (mode == 2) {
        int st = 0, sl = 0;
        for (int i = 0; i < N; ++i) st += t[i], sl += l[i];
        if (top && left) dc = (st + sl + N) >> (lg + 1);
        else if (left) dc = (sl + N / 2) >> lg;
        else if (top) dc = (st + N / 2) >> lg;
    }
    using Fn = void (*)(const int*, const int*, int, Pel*, int32_t);
    static constexpr Fn kModes[9] = {
        directional_mode<N, 0, Pel>, directional_mode<N, 1, Pel>, directional_mode<N, 2, Pel>,
        directional_mode<N, 3, Pel>, directional_mode<N, 4, Pel>, directional_mode<N, 5, Pel>,
        directional_mode<N, 6, Pel>, directional_mode<N, 7, Pel>, directional_mode<N, 8, Pel>,
    };
    kModes[mode](t, l, dc, p, step);
}

// Reads the reference samples of an N x N block: t[-1..2N-1], l[-1..N-1]
// (unavailable ones left 0), with the above-right substitution.
template <int N, class Pel>
void gather(const Pel* p, int32_t step, uint32_t avail, int* t, int* l) {
    const Pel* above = row(p, step, -1);
    if (avail & kAvailTop) {
        for (int x = 0; x < N; ++x) t[x] = above[x];
        for (int x = N; x < 2 * N; ++x) t[x] = (avail & kAvailTopRight) ? above[x] : above[N - 1];
    }
    if (avail & kAvailLeft)
        for (int y = 0; y < N; ++y) l[y] = row(p, step, y)[-1];
    if (avail & kAvailTopLeft) t[-1] = l[-1] = above[-1];
}

}  // namespace

template <class Pel>
bool predict_intra4x4(Pel* p, int32_t step, int mode, uint32_t avail, int bitDepth) {
    if (!needs_met(mode, avail)) {
        fill(p, step, 4, 4, 1 << (bitDepth - 1));
        return false;
    }
    int tb[9] = {}, lb[5] = {};
    gather<4>(p, step, avail, tb + 1, lb + 1);
    directional<4>(tb + 1, lb + 1, mode, avail & kAvailTop, avail & kAvailLeft, p, step, bitDepth);
    return true;
}

template <class Pel>
bool predict_intra8x8(Pel* p, int32_t step, int mode, uint32_t avail, int bitDepth) {
    if (!needs_met(mode, avail)) {
        fill(p, step, 8, 8, 1 << (bitDepth - 1));
        return false;
    }
    int tb[17] = {}, lb[9] = {};
    int* t = tb + 1;
    int* l = lb + 1;
    gather<8>(p, step, avail, t, l);
    // Reference sample filtering, 8.3.2.2.1.
    const bool top = avail & kAvailTop, left = avail & kAvailLeft, tl = avail & kAvailTopLeft;
    int ft[17] = {}, fl[9] = {};
    int* tf = ft + 1;
    int* lf = fl + 1;
    if (top) {
        tf[0] = tl ? (t[-1] + 2 * t[0] + t[1] + 2) >> 2 : (3 * t[0] + t[1] + 2) >> 2;
        for (int x = 1; x < 15; ++x) tf[x] = (t[x - 1] + 2 * t[x] + t[x + 1] + 2) >> 2;
        tf[15] = (t[14] + 3 * t[15] + 2) >> 2;
    }
    if (tl) {
        if (top && left) tf[-1] = (t[0] + 2 * t[-1] + l[0] + 2) >> 2;
        else if (top) tf[-1] = (3 * t[-1] + t[0] + 2) >> 2;
        else if (left) tf[-1] = (3 * t[-1] + l[0] + 2) >> 2;
        else tf[-1] = t[-1];
        lf[-1] = tf[-1];
    }
    if (left) {
        lf[0] = tl ? (l[-1] + 2 * l[0] + l[1] + 2) >> 2 : (3 * l[0] + l[1] + 2) >> 2;
        for (int y = 1; y < 7; ++y) lf[y] = (l[y - 1] + 2 * l[y] + l[y + 1] + 2) >> 2;
        lf[7] = (l[6] + 3 * l[7] + 2) >> 2;
    }
    directional<8>(tf, lf, mode, top, left, p, step, bitDepth);
    return true;
}

bool intra16x16_mode_ok(int mode, uint32_t avail) {
    switch (mode) {
        case 0: return avail & kAvailTop;
        case 1: return avail & kAvailLeft;
        case 3: return (avail & (kAvailTop | kAvailLeft | kAvailTopLeft)) == (kAvailTop | kAvailLeft | kAvailTopLeft);
        default: return true;
    }
}

template <class Pel>
void predict_intra16x16(Pel* p, int32_t step, int mode, uint32_t avail, int bitDepth) {
    const Pel* above = row(p, step, -1);
    auto left = [&](int y) { return int(row(p, step, y)[-1]); };
    const int maxv = (1 << bitDepth) - 1;
    switch (mode) {
        case 0:
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) row(p, step, y)[x] = above[x];
            break;
        case 1:
            for (int y = 0; y < 16; ++y) fill(row(p, step, y), step, 16, 1, left(y));
            break;
        case 2: {
            int st = 0, sl = 0;
            for (int i = 0; i < 16; ++i) {
                if (avail & kAvailTop) st += above[i];
                if (avail & kAvailLeft) sl += left(i);
            }
            int dc = 1 << (bitDepth - 1);
            if ((avail & kAvailTop) && (avail & kAvailLeft)) dc = (st + sl + 16) >> 5;
            else if (avail & kAvailLeft) dc = (sl + 8) >> 4;
            else if (avail & kAvailTop) dc = (st + 8) >> 4;
            fill(p, step, 16, 16, dc);
            break;
        }
        default: {  // plane
            int h = 0, v = 0;
            for (int i = 0; i < 8; ++i) {
                h += (i + 1) * (above[8 + i] - above[6 - i]);
                v += (i + 1) * (left(8 + i) - (6 - i < 0 ? above[-1] : left(6 - i)));
            }
            const int a = 16 * (left(15) + above[15]), b = (5 * h + 32) >> 6, c = (5 * v + 32) >> 6;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    row(p, step, y)[x] = Pel(clip3(0, maxv, (a + b * (x - 7) + c * (y - 7) + 16) >> 5));
            break;
        }
    }
}

bool chroma_mode_ok(int mode, uint32_t avail) {
    const bool left = (avail & kAvailLeft) && (avail & kAvailLeftLower);
    switch (mode) {
        case 1: return left;
        case 2: return avail & kAvailTop;
        case 3: return left && (avail & kAvailTop) && (avail & kAvailTopLeft);
        default: return true;
    }
}

template <class Pel>
void predict_chroma(Pel* p, int32_t step, int xs, int height, int mode, uint32_t avail, int bitDepth) {
    auto at = [&](int x, int y) -> Pel& { return row(p, step, y)[ptrdiff_t(x) * xs]; };
    const int maxv = (1 << bitDepth) - 1;
    switch (mode) {
        case 0: {  // DC per 4x4 block, 8.3.4.1 to 8.3.4.3
            const bool top = avail & kAvailTop;
            for (int by = 0; by < height / 4; ++by)
                for (int bx = 0; bx < 2; ++bx) {
                    const bool left = avail & (4 * by < height / 2 ? kAvailLeft : kAvailLeftLower);
                    int st = 0, sl = 0;
                    for (int i = 0; i < 4; ++i) {
                        if (top) st += at(4 * bx + i, -1);
                        if (left) sl += at(-1, 4 * by + i);
                    }
                    int dc = 1 << (bitDepth - 1);
                    const bool preferTop = bx == 1 && by == 0, preferLeft = bx == 0 && by > 0;
                    if (!preferTop && !preferLeft && top && left) dc = (st + sl + 4) >> 3;
                    else if (preferTop && top) dc = (st + 2) >> 2;
                    else if (left) dc = (sl + 2) >> 2;
                    else if (top) dc = (st + 2) >> 2;
                    for (int y = 0; y < 4; ++y)
                        for (int x = 0; x < 4; ++x) at(4 * bx + x, 4 * by + y) = Pel(dc);
                }
            break;
        }
        case 1:
            for (int y = 0; y < height; ++y) {
                const Pel v = at(-1, y);
                for (int x = 0; x < 8; ++x) at(x, y) = v;
            }
            break;
        case 2:
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < 8; ++x) at(x, y) = at(x, -1);
            break;
        default: {  // plane: xCF = 0; yCF = 0 (4:2:0) or 4 (4:2:2)
            const int yCF = height == 16 ? 4 : 0;
            int h = 0, v = 0;
            for (int i = 0; i < 4; ++i) h += (i + 1) * (at(4 + i, -1) - at(2 - i, -1));
            for (int i = 0; i < 4 + yCF; ++i)
                v += (i + 1) * (at(-1, 4 + yCF + i) - (2 + yCF - i < 0 ? at(-1, -1) : at(-1, 2 + yCF - i)));
            const int a = 16 * (at(-1, height - 1) + at(7, -1)), b = (34 * h + 32) >> 6;
            const int c = ((height == 16 ? 5 : 34) * v + 32) >> 6;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < 8; ++x)
                    at(x, y) = Pel(clip3(0, maxv, (a + b * (x - 3) + c * (y - 3 - yCF) + 16) >> 5));
            break;
        }
    }
}

template bool predict_intra4x4(uint8_t*, int32_t, int, uint32_t, int);
template bool predict_intra4x4(uint16_t*, int32_t, int, uint32_t, int);
template bool predict_intra8x8(uint8_t*, int32_t, int, uint32_t, int);
template bool predict_intra8x8(uint16_t*, int32_t, int, uint32_t, int);
template void predict_intra16x16(uint8_t*, int32_t, int, uint32_t, int);
template void predict_intra16x16(uint16_t*, int32_t, int, uint32_t, int);
template void predict_chroma(uint8_t*, int32_t, int, int, int, uint32_t, int);
template void predict_chroma(uint16_t*, int32_t, int, int, int, uint32_t, int);

}  // namespace zan::h264

namespace zan::c {

using namespace zan::h264;

ZanResult zaniPredictIntra_4x4_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcDstStep, int32_t mode,
                                            int32_t availability) {
    if (!pSrcDst) return ZAN_ERR_NULL_PTR;
    if (uint32_t(mode) > 8) return ZAN_ERR_OUT_OF_RANGE;
    const uint32_t avail = uint32_t(availability) & (kAvailTop | kAvailLeft | kAvailTopLeft | kAvailTopRight);
    return predict_intra4x4(pSrcDst, srcDstStep, mode, avail, 8) ? ZAN_OK : ZAN_WRN_PRED_FALLBACK;
}

ZanResult zaniPredictIntra_16x16_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcDstStep, int32_t mode,
                                              int32_t availability) {
    if (!pSrcDst) return ZAN_ERR_NULL_PTR;
    const uint32_t avail = uint32_t(availability);
    if (uint32_t(mode) <= 3 && !intra16x16_mode_ok(mode, avail)) return ZAN_ERR_NEIGHBOUR_UNAVAILABLE;
    if (uint32_t(mode) > 3) return ZAN_ERR_OUT_OF_RANGE;
    predict_intra16x16(pSrcDst, srcDstStep, mode, avail, 8);
    return ZAN_OK;
}

ZanResult zaniPredictIntraChroma8x8_H264_8u_C1IR(Zan8u* pSrcDst, int32_t srcDstStep, int32_t mode,
                                                 int32_t availability) {
    if (!pSrcDst) return ZAN_ERR_NULL_PTR;
    if (srcDstStep < 8) return ZAN_ERR_STEP;
    uint32_t avail = uint32_t(availability);
    if (avail & kAvailLeft) avail |= kAvailLeftLower;
    else avail &= ~uint32_t(kAvailLeftLower);
    if (uint32_t(mode) <= 3 && !chroma_mode_ok(mode, avail)) return ZAN_ERR_NEIGHBOUR_UNAVAILABLE;
    if (uint32_t(mode) > 3) return ZAN_ERR_OUT_OF_RANGE;
    predict_chroma(pSrcDst, srcDstStep, 1, 8, mode, avail, 8);
    return ZAN_OK;
}

}  // namespace zan::c
