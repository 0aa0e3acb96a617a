// The H.264 interpolation exports over a kernel set: argument checks, the
// Top/Bottom row replication, the Block edge handling, NV12 de-interleaving
// and the averaging, written once for the portable and the AVX2 builds.
//
// A kernel set K provides
//   static void luma(const Interp<uint8_t>&);    any 8-bit luma position
//   static void chroma(const Interp<uint8_t>&);  any 8-bit chroma fraction
//   static void average(const uint8_t* a, ptrdiff_t aStep, const uint8_t* b,
//                       ptrdiff_t bStep, uint8_t* d, ptrdiff_t dStep, int w, int h);
// The 16-bit forms always run the portable kernels.
// Internal linkage throughout: see core/common.h.
#pragma once

#include <algorithm>
#include <cstring>

#include "h264/block_reader.h"
#include "h264/interp_kernels.h"

namespace zan::h264 {
namespace {

// Kernels run on at most this many rows at a time when the source goes
// through a local buffer (taller blocks are split).
inline constexpr int kStripRows = 16;
inline constexpr int kBufStep = 32;  // samples per buffer row

template <class T>
struct AreaBuffer {
    alignas(32) T v[(kStripRows + 5) * kBufStep];
};

// --------------------------------------------------------------------------
// Sizes the kernels handle (narrower than the width masks of the checks,
// which let 0, 12, 20, 24 and 28 through).
// --------------------------------------------------------------------------
inline bool luma_size_ok(ZanSize s) {
    return (s.width == 4 || s.width == 8 || s.width == 16) && s.height > 0 && (s.height & 3) == 0;
}
inline bool chroma_size_ok(ZanSize s) {
    return (s.width == 2 || s.width == 4 || s.width == 8) && s.height > 0 && (s.height & 1) == 0;
}
inline bool luma16_size_ok(ZanSize s) {
    auto ok = [](int v) { return v == 4 || v == 8 || v == 16; };
    return ok(s.width) && ok(s.height) && s.width + s.height != 20;
}
inline bool chroma16_size_ok(ZanSize s) {
    return (s.width == 2 || s.width == 4 || s.width == 8) &&
           (s.height == 2 || s.height == 4 || s.height == 8 || s.height == 16);
}

// Area of the reference a kernel reads around its block: luma two samples
// before and three after in a fractional direction, chroma one after.
struct Margins {
    int before, extra;  // samples before the block; samples added to the size
};
inline Margins luma_margins(int frac) { return frac ? Margins{2, 5} : Margins{0, 0}; }
inline Margins chroma_margins(int frac) { return frac ? Margins{0, 1} : Margins{0, 0}; }

template <class T>
void copy_block(const T* src, ptrdiff_t srcStep, T* dst, ptrdiff_t dstStep, int width, int height) {
    for (int y = 0; y < height; ++y)
        std::memcpy(dst + ptrdiff_t(y) * dstStep, src + ptrdiff_t(y) * srcStep, sizeof(T) * size_t(width));
}

// Runs `kernel` on the block of d in strips whose source area `gather`
// copies into a local buffer: gather(buf, firstRow, rows) fills `rows`
// buffer rows with the area rows from block row firstRow on (columns from
// -mx.before, width + mx.extra of them).
template <class T, class Gather, class Kernel>
void run_buffered(const Interp<T>& d, Margins mx, Margins my, Gather&& gather, Kernel&& kernel) {
    AreaBuffer<T> buf;
    for (int r0 = 0; r0 < d.height; r0 += kStripRows) {
        const int n = std::min(kStripRows, d.height - r0);
        gather(buf.v, r0 - my.before, n + my.extra);
        Interp<T> s = d;
        s.src = buf.v + my.before * kBufStep + mx.before;
        s.srcStep = kBufStep;
        s.dst = d.dst + ptrdiff_t(r0) * d.dstStep;
        s.height = n;
        kernel(s);
    }
}

// Top/Bottom: rows above the picture's first row (Top) or below its last
// row (Bottom) take that row; columns are read as they are.
template <class T, class Kernel>
void run_top_bottom(const Interp<T>& d, bool luma, bool top, int32_t outPixels, Kernel&& kernel) {
    const Margins mx = luma ? luma_margins(d.dx) : chroma_margins(d.dx);
    const Margins my = luma ? luma_margins(d.dy) : chroma_margins(d.dy);
    const int64_t edge = top ? int64_t(outPixels) : int64_t(d.height) - 1 - outPixels;
    const size_t bytes = sizeof(T) * size_t(d.width + mx.extra);
    run_buffered(
        d, mx, my,
        [&](T* buf, int firstRow, int rows) {
            for (int i = 0; i < rows; ++i) {
                const int64_t r = firstRow + i;
                const int64_t from = top ? std::max(r, edge) : std::min(r, edge);
                std::memcpy(buf + i * kBufStep, d.src + ptrdiff_t(from) * d.srcStep - mx.before, bytes);
            }
        },
        kernel);
}

// --------------------------------------------------------------------------
// Block functions
// --------------------------------------------------------------------------

// A motion vector split into its integer part and fraction.
struct SplitVector {
    int fx, fy;
    int64_t ix, iy;
    SplitVector(ZanPoint mv, int fracBits)
        : fx(mv.x & ((1 << fracBits) - 1)), fy(mv.y & ((1 << fracBits) - 1)), ix(mv.x >> fracBits),
          iy(mv.y >> fracBits) {}
};

template <class Rec>
inline bool frame_ok(const Rec& p) {
    const bool moves = p.pointVector.x != 0 || p.pointVector.y != 0;
    return !moves || (p.sizeFrame.width >= 1 && p.sizeFrame.height >= 1);
}

// One plane of a Block call with a non-zero vector. `gather_plane` reads an
// area through the edge clamp: gather_plane(buf, x0, y0, w, h).
template <class T, class Read, class Kernel>
void block_plane(const Interp<T>& d, int64_t blockX, int64_t blockY, ZanSize frame, bool luma, Read&& read,
                 Kernel&& kernel) {
    const Margins mx = luma ? luma_margins(d.dx) : chroma_margins(d.dx);
    const Margins my = luma ? luma_margins(d.dy) : chroma_margins(d.dy);
    const int64_t x0 = blockX - mx.before, y0 = blockY - my.before;
    if (!blockread::boundary_flags(x0, y0, d.width + mx.extra, d.height + my.extra, frame.width, frame.height)) {
        kernel(d);
        return;
    }
    run_buffered(
        d, mx, my,
        [&](T* buf, int firstRow, int rows) { read(buf, x0, blockY + firstRow, d.width + mx.extra, rows); },
        kernel);
}

template <class T, class Rec>
ZanResult luma_block(const Rec* p, void (*kernel)(const Interp<T>&)) {
    if (!p || !p->pSrc[0] || !p->pDst[0]) return ZAN_ERR_NULL_PTR;
    if (!luma_size_ok(p->sizeBlock) || !frame_ok(*p)) return ZAN_ERR_SIZE;
    const ZanSize blk = p->sizeBlock;
    const T* plane = p->pSrc[0];
    if (p->pointVector.x == 0 && p->pointVector.y == 0) {
        copy_block(plane + ptrdiff_t(p->pointBlockPos.y) * p->srcStep + p->pointBlockPos.x, p->srcStep, p->pDst[0],
                   p->dstStep, blk.width, blk.height);
        return ZAN_OK;
    }
    int maxVal = 255;
    if constexpr (sizeof(T) == 2) maxVal = max_sample(p->bitDepth);
    const SplitVector v(p->pointVector, 2);
    const int64_t bx = p->pointBlockPos.x + v.ix, by = p->pointBlockPos.y + v.iy;
    const Interp<T> d{plane + ptrdiff_t(by) * p->srcStep + bx, p->srcStep, p->pDst[0], p->dstStep, blk.width,
                      blk.height, v.fx, v.fy, maxVal};
    block_plane(
        d, bx, by, p->sizeFrame, true,
        [&](T* buf, int64_t x0, int64_t y0, int w, int h) {
            blockread::read_through_boundary(plane, p->srcStep, 1, 0, p->sizeFrame.width, p->sizeFrame.height, x0,
                                             y0, w, h, buf, kBufStep);
        },
        kernel);
    return ZAN_OK;
}

// Planar chroma Block: each plane on its own.
template <class T, class Rec>
ZanResult chroma_block_planar(const Rec* p, void (*kernel)(const Interp<T>&)) {
    if (!p || !p->pSrc[0] || !p->pSrc[1] || !p->pDst[0] || !p->pDst[1]) return ZAN_ERR_NULL_PTR;
    if (!chroma_size_ok(p->sizeBlock) || !frame_ok(*p)) return ZAN_ERR_SIZE;
    const ZanSize blk = p->sizeBlock;
    const bool moves = p->pointVector.x != 0 || p->pointVector.y != 0;
    const SplitVector v(p->pointVector, 3);
    const int64_t bx = p->pointBlockPos.x + v.ix, by = p->pointBlockPos.y + v.iy;
    for (int c = 0; c < 2; ++c) {
        const T* plane = p->pSrc[c];
        if (!moves) {
            copy_block(plane + ptrdiff_t(p->pointBlockPos.y) * p->srcStep + p->pointBlockPos.x, p->srcStep,
                       p->pDst[c], p->dstStep, blk.width, blk.height);
            continue;
        }
        const Interp<T> d{plane + ptrdiff_t(by) * p->srcStep + bx, p->srcStep, p->pDst[c], p->dstStep, blk.width,
                          blk.height, v.fx, v.fy, 0xFFFF};
        block_plane(
            d, bx, by, p->sizeFrame, false,
            [&](T* buf, int64_t x0, int64_t y0, int w, int h) {
                blockread::read_through_boundary(plane, p->srcStep, 1, 0, p->sizeFrame.width, p->sizeFrame.height,
                                                 x0, y0, w, h, buf, kBufStep);
            },
            kernel);
    }
    return ZAN_OK;
}

// NV12 chroma: the kernels run on the two components de-interleaved into
// local planes, strip by strip; `read` fills them,
// read(bufCb, bufCr, firstRow, rows), columns 0 .. width + mx.extra - 1.
// `emit` receives the two predicted planes of each strip:
// emit(cb, cr, step, firstRow, rows).
template <class Read, class Emit>
void nv12_strips(int width, int height, int dx, int dy, void (*kernel)(const Interp<uint8_t>&), Read&& read,
                 Emit&& emit) {
    const Margins my = chroma_margins(dy);
    AreaBuffer<uint8_t> in[2];
    alignas(32) uint8_t out[2][kStripRows * kBufStep];
    for (int r0 = 0; r0 < height; r0 += kStripRows) {
        const int n = std::min(kStripRows, height - r0);
        read(in[0].v, in[1].v, r0, n + my.extra);
        for (int c = 0; c < 2; ++c)
            kernel({in[c].v, kBufStep, out[c], kBufStep, width, n, dx, dy, 255});
        emit(out[0], out[1], kBufStep, r0, n);
    }
}

// De-interleaves `rows` rows of `cols` CbCr pairs.
inline void deinterleave(const uint8_t* src, ptrdiff_t srcStep, int cols, int rows, uint8_t* cb, uint8_t* cr,
                         ptrdiff_t step) {
    for (int y = 0; y < rows; ++y) {
        const uint8_t* s = src + ptrdiff_t(y) * srcStep;
        for (int x = 0; x < cols; ++x) {
            cb[ptrdiff_t(y) * step + x] = s[2 * x];
            cr[ptrdiff_t(y) * step + x] = s[2 * x + 1];
        }
    }
}

inline void interleave(const uint8_t* cb, const uint8_t* cr, ptrdiff_t step, int cols, int rows, uint8_t* dst,
                       ptrdiff_t dstStep) {
    for (int y = 0; y < rows; ++y) {
        uint8_t* d = dst + ptrdiff_t(y) * dstStep;
        for (int x = 0; x < cols; ++x) {
            d[2 * x] = cb[ptrdiff_t(y) * step + x];
            d[2 * x + 1] = cr[ptrdiff_t(y) * step + x];
        }
    }
}

// NV12 Block: interleaved (C2C2R) or planar (C2P2R) output.
inline ZanResult chroma_block_nv12(const ZanInterpolateBlock_8u* p, bool planarOut,
                                   void (*kernel)(const Interp<uint8_t>&)) {
    if (!p || !p->pSrc[0] || !p->pDst[0] || (planarOut && !p->pDst[1])) return ZAN_ERR_NULL_PTR;
    if (!chroma_size_ok(p->sizeBlock) || !frame_ok(*p)) return ZAN_ERR_SIZE;
    const ZanSize blk = p->sizeBlock;
    const uint8_t* plane = p->pSrc[0];
    if (p->pointVector.x == 0 && p->pointVector.y == 0) {
        const uint8_t* s = plane + ptrdiff_t(p->pointBlockPos.y) * p->srcStep + 2 * ptrdiff_t(p->pointBlockPos.x);
        if (planarOut)
            deinterleave(s, p->srcStep, blk.width, blk.height, p->pDst[0], p->pDst[1], p->dstStep);
        else
            copy_block(s, p->srcStep, p->pDst[0], p->dstStep, 2 * blk.width, blk.height);
        return ZAN_OK;
    }
    const SplitVector v(p->pointVector, 3);
    const int64_t bx = p->pointBlockPos.x + v.ix, by = p->pointBlockPos.y + v.iy;
    const int cols = blk.width + chroma_margins(v.fx).extra;
    nv12_strips(
        blk.width, blk.height, v.fx, v.fy, kernel,
        [&](uint8_t* cb, uint8_t* cr, int firstRow, int rows) {
            zaniReadDataBlockThroughBoundary_NV12_8u(plane, p->srcStep, p->sizeFrame, bx, by + firstRow, cols, rows,
                                                     cb, cr, kBufStep);
        },
        [&](const uint8_t* cb, const uint8_t* cr, int step, int firstRow, int rows) {
            if (planarOut) {
                copy_block(cb, step, p->pDst[0] + ptrdiff_t(firstRow) * p->dstStep, p->dstStep, blk.width, rows);
                copy_block(cr, step, p->pDst[1] + ptrdiff_t(firstRow) * p->dstStep, p->dstStep, blk.width, rows);
            } else {
                interleave(cb, cr, step, blk.width, rows, p->pDst[0] + ptrdiff_t(firstRow) * p->dstStep,
                           p->dstStep);
            }
        });
    return ZAN_OK;
}

// --------------------------------------------------------------------------
// 16-bit plain, Top and Bottom functions
// --------------------------------------------------------------------------
enum class Edge { None, Top, Bottom };

// A plain call runs the kernel on the caller's samples; Top and Bottom go
// through the row-replicating buffer.
template <class T>
ZanResult run_plain(const Interp<T>& d, void (*kernel)(const Interp<T>&), bool luma, Edge edge, int32_t outPixels) {
    if (edge == Edge::None)
        kernel(d);
    else
        run_top_bottom(d, luma, edge == Edge::Top, outPixels, kernel);
    return ZAN_OK;
}

inline ZanResult interp16(const ZanInterpolate_16u* p, bool luma, Edge edge, int32_t outPixels) {
    if (!p || !p->pSrc || !p->pDst) return ZAN_ERR_NULL_PTR;
    const int maxFrac = luma ? 3 : 7;
    const int minStep = luma ? p->roiSize.width : 8;
    if (p->srcStep < minStep || p->dstStep < minStep) return ZAN_ERR_STEP;
    if (p->dx < 0 || p->dx > maxFrac || p->dy < 0 || p->dy > maxFrac) return ZAN_ERR_BAD_ARG;
    if (!(luma ? luma16_size_ok(p->roiSize) : chroma16_size_ok(p->roiSize))) return ZAN_ERR_SIZE;
    const Interp<uint16_t> d{p->pSrc, p->srcStep, p->pDst, p->dstStep, p->roiSize.width, p->roiSize.height,
                             p->dx, p->dy, max_sample(p->bitDepth)};
    return run_plain(d, luma ? luma_c<uint16_t> : chroma_c<uint16_t>, luma, edge, outPixels);
}

// --------------------------------------------------------------------------
// 8-bit plain, Top and Bottom functions
// --------------------------------------------------------------------------
template <class K>
ZanResult plain8(bool luma, const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst, int32_t dstStep, int32_t dx, int32_t dy,
                 ZanSize roi, Edge edge, int32_t outPixels) {
    if (!pSrc || !pDst) return ZAN_ERR_NULL_PTR;
    if ((uint32_t(dx) | uint32_t(dy)) > (luma ? 3u : 7u)) return ZAN_ERR_BAD_ARG;
    if (!(luma ? luma_size_ok(roi) : chroma_size_ok(roi))) return ZAN_ERR_SIZE;
    const Interp<uint8_t> d{pSrc, srcStep, pDst, dstStep, roi.width, roi.height, dx, dy, 255};
    return run_plain(d, luma ? K::luma : K::chroma, luma, edge, outPixels);
}

template <class K>
ZanResult chroma8_nv12(const Zan8u* pSrcUV, int32_t srcStep, Zan8u* pDstU, Zan8u* pDstV, int32_t dstStep, int32_t dx,
                       int32_t dy, ZanSize roi) {
    if (!pSrcUV || !pDstU || !pDstV) return ZAN_ERR_NULL_PTR;
    if ((uint32_t(dx) | uint32_t(dy)) > 7) return ZAN_ERR_BAD_ARG;
    if (!chroma_size_ok(roi)) return ZAN_ERR_SIZE;
    const int cols = roi.width + chroma_margins(dx).extra;
    nv12_strips(
        roi.width, roi.height, dx, dy, K::chroma,
        [&](uint8_t* cb, uint8_t* cr, int firstRow, int rows) {
            deinterleave(pSrcUV + ptrdiff_t(firstRow) * srcStep, srcStep, cols, rows, cb, cr, kBufStep);
        },
        [&](const uint8_t* cb, const uint8_t* cr, int step, int firstRow, int rows) {
            copy_block(cb, step, pDstU + ptrdiff_t(firstRow) * dstStep, dstStep, roi.width, rows);
            copy_block(cr, step, pDstV + ptrdiff_t(firstRow) * dstStep, dstStep, roi.width, rows);
        });
    return ZAN_OK;
}

// --------------------------------------------------------------------------
// Averaging of two predictions
// --------------------------------------------------------------------------
template <class K>
ZanResult average8(const Zan8u* pSrc1, int32_t src1Step, const Zan8u* pSrc2, int32_t src2Step, Zan8u* pDst,
                   int32_t dstStep, int32_t width, int32_t height) {
    if (!pSrc1 || !pSrc2 || !pDst) return ZAN_ERR_NULL_PTR;
    if (width < 2 || width > 16 || height < 2 || height > 16) return ZAN_ERR_SIZE;
    K::average(pSrc1, src1Step, pSrc2, src2Step, pDst, dstStep, width, height);
    return ZAN_OK;
}

inline void average_c(const uint8_t* a, ptrdiff_t aStep, const uint8_t* b, ptrdiff_t bStep, uint8_t* d,
                      ptrdiff_t dStep, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) d[y * dStep + x] = uint8_t((a[y * aStep + x] + b[y * bStep + x] + 1) >> 1);
}

}  // namespace
}  // namespace zan::h264

// The 8-bit exports over kernel set K, defined in the namespace NS.
#define ZAN_H264_INTERP_EXPORTS(NS, K)                                                                                 \
    namespace NS {                                                                                                     \
    using namespace zan::h264;                                                                                         \
    ZanResult zaniInterpolateLuma_H264_8u_C1R(const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst, int32_t dstStep,        \
                                              int32_t dx, int32_t dy, ZanSize roiSize) {                               \
        return plain8<K>(true, pSrc, srcStep, pDst, dstStep, dx, dy, roiSize, Edge::None, 0);                          \
    }                                                                                                                  \
    ZanResult zaniInterpolateLumaTop_H264_8u_C1R(const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst, int32_t dstStep,     \
                                                 int32_t dx, int32_t dy, int32_t outPixels, ZanSize roiSize) {         \
        return plain8<K>(true, pSrc, srcStep, pDst, dstStep, dx, dy, roiSize, Edge::Top, outPixels);                   \
    }                                                                                                                  \
    ZanResult zaniInterpolateLumaBottom_H264_8u_C1R(const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst,                   \
                                                    int32_t dstStep, int32_t dx, int32_t dy, int32_t outPixels,        \
                                                    ZanSize roiSize) {                                                 \
        return plain8<K>(true, pSrc, srcStep, pDst, dstStep, dx, dy, roiSize, Edge::Bottom, outPixels);                \
    }                                                                                                                  \
    ZanResult zaniInterpolateLumaBlock_H264_8u_P1R(const ZanInterpolateBlock_8u* p) {                                  \
        return luma_block<uint8_t>(p, K::luma);                                                                        \
    }                                                                                                                  \
    ZanResult zaniInterpolateChroma_H264_8u_C1R(const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst, int32_t dstStep,      \
                                                int32_t dx, int32_t dy, ZanSize roiSize) {                             \
        return plain8<K>(false, pSrc, srcStep, pDst, dstStep, dx, dy, roiSize, Edge::None, 0);                         \
    }                                                                                                                  \
    ZanResult zaniInterpolateChroma_H264_8u_C2P2R(const Zan8u* pSrcUV, int32_t srcStep, Zan8u* pDstU,                  \
                                                  Zan8u* pDstV, int32_t dstStep, int32_t dx, int32_t dy,               \
                                                  ZanSize roiSize) {                                                   \
        return chroma8_nv12<K>(pSrcUV, srcStep, pDstU, pDstV, dstStep, dx, dy, roiSize);                               \
    }                                                                                                                  \
    ZanResult zaniInterpolateChromaTop_H264_8u_C1R(const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst,                    \
                                                   int32_t dstStep, int32_t dx, int32_t dy, int32_t outPixels,         \
                                                   ZanSize roiSize) {                                                  \
        return plain8<K>(false, pSrc, srcStep, pDst, dstStep, dx, dy, roiSize, Edge::Top, outPixels);                  \
    }                                                                                                                  \
    ZanResult zaniInterpolateChromaBottom_H264_8u_C1R(const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst,                 \
                                                      int32_t dstStep, int32_t dx, int32_t dy, int32_t outPixels,      \
                                                      ZanSize roiSize) {                                               \
        return plain8<K>(false, pSrc, srcStep, pDst, dstStep, dx, dy, roiSize, Edge::Bottom, outPixels);               \
    }                                                                                                                  \
    ZanResult zaniInterpolateChromaBlock_H264_8u_P2R(const ZanInterpolateBlock_8u* p) {                                \
        return chroma_block_planar<uint8_t>(p, K::chroma);                                                             \
    }                                                                                                                  \
    ZanResult zaniInterpolateChromaBlock_H264_8u_C2P2R(const ZanInterpolateBlock_8u* p) {                              \
        return chroma_block_nv12(p, true, K::chroma);                                                                  \
    }                                                                                                                  \
    ZanResult zaniInterpolateChromaBlock_H264_8u_C2C2R(const ZanInterpolateBlock_8u* p) {                              \
        return chroma_block_nv12(p, false, K::chroma);                                                                 \
    }                                                                                                                  \
    ZanResult zaniInterpolateBlock_H264_8u_P2P1R(const Zan8u* pSrc1, const Zan8u* pSrc2, Zan8u* pDst,                  \
                                                 int32_t width, int32_t height, int32_t step) {                        \
        return average8<K>(pSrc1, step, pSrc2, step, pDst, step, width, height);                                       \
    }                                                                                                                  \
    ZanResult zaniInterpolateBlock_H264_8u_P3P1R(const Zan8u* pSrc1, const Zan8u* pSrc2, Zan8u* pDst,                  \
                                                 int32_t width, int32_t height, int32_t src1Step,                      \
                                                 int32_t src2Step, int32_t dstStep) {                                  \
        return average8<K>(pSrc1, src1Step, pSrc2, src2Step, pDst, dstStep, width, height);                            \
    }                                                                                                                  \
    }
