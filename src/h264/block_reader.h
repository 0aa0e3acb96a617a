// Edge-clamping block reader: copies a rectangular area of a reference
// plane into a local buffer, every sample taking the plane sample at the
// clamped coordinates (Clip3(0, frameWidth-1, x), Clip3(0, frameHeight-1, y)).
// An area wholly outside on one side takes the nearest edge row or column.
// Used by the H.264 Block interpolation functions and by the AVS luma block
// interpolation. Internal linkage throughout: see core/common.h.
#pragma once

#include <cstring>

#include "core/common.h"

namespace zan::blockread {
namespace {

// Which sides of the plane a needed area crosses.
enum : unsigned { kOutLeft = 1, kOutRight = 2, kOutTop = 4, kOutBottom = 8 };

// Flags of the area of w x h samples at (x0, y0) in a frameWidth x
// frameHeight plane; 0 when the area lies wholly inside.
inline unsigned boundary_flags(int64_t x0, int64_t y0, int w, int h, int frameWidth, int frameHeight) {
    unsigned f = 0;
    if (x0 < 0) f |= kOutLeft;
    if (x0 + w > frameWidth) f |= kOutRight;
    if (y0 < 0) f |= kOutTop;
    if (y0 + h > frameHeight) f |= kOutBottom;
    return f;
}

inline int64_t clamp64(int64_t lo, int64_t hi, int64_t v) { return v < lo ? lo : (v > hi ? hi : v); }

// The column split of one area row: [0, left) takes column 0, [left, right)
// is a run of plane samples starting at column x0 + left, [right, w) takes
// column frameWidth-1.
struct ColumnSplit {
    int left, right;
    ColumnSplit(int64_t x0, int w, int frameWidth)
        : left(int(clamp64(0, w, -x0))), right(int(clamp64(0, w, int64_t(frameWidth) - x0))) {
        if (right < left) right = left;
    }
};

// Short runs (a block row is at most a few dozen samples) with fixed-size
// moves that stay inline: pieces of 16, then an overlapping last piece, or
// 8/4/2/1-byte pairs for short runs. Reads only [s, s + n).
inline void copy_bytes(uint8_t* d, const uint8_t* s, size_t n) {
    if (n >= 16) {
        size_t i = 0;
        for (; i + 16 <= n; i += 16) std::memcpy(d + i, s + i, 16);
        if (i < n) std::memcpy(d + n - 16, s + n - 16, 16);
    } else if (n >= 8) {
        std::memcpy(d, s, 8);
        std::memcpy(d + n - 8, s + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(d, s, 4);
        std::memcpy(d + n - 4, s + n - 4, 4);
    } else if (n >= 2) {
        std::memcpy(d, s, 2);
        std::memcpy(d + n - 2, s + n - 2, 2);
    } else if (n) {
        *d = *s;
    }
}

// n copies of v.
template <class T>
inline void fill_samples(T* d, T v, int n) {
    constexpr int kPattern = 32 / sizeof(T);
    T pattern[kPattern];
    for (int k = 0; k < kPattern; ++k) pattern[k] = v;
    uint8_t* out = reinterpret_cast<uint8_t*>(d);
    size_t bytes = sizeof(T) * size_t(n);
    for (; bytes > 32; bytes -= 32, out += 32) copy_bytes(out, reinterpret_cast<const uint8_t*>(pattern), 32);
    copy_bytes(out, reinterpret_cast<const uint8_t*>(pattern), bytes);
}

// Reads channel `c` of `channels` interleaved ones. Steps count elements of
// T. The plane must hold at least one sample (frameWidth, frameHeight >= 1).
template <class T>
void read_through_boundary(const T* src, ptrdiff_t srcStep, int channels, int c, int frameWidth, int frameHeight,
                           int64_t x0, int64_t y0, int w, int h, T* dst, ptrdiff_t dstStep) {
    const ColumnSplit cols(x0, w, frameWidth);
    for (int i = 0; i < h; ++i) {
        const int64_t y = clamp64(0, frameHeight - 1, y0 + i);
        const T* line = src + ptrdiff_t(y) * srcStep + c;
        T* out = dst + ptrdiff_t(i) * dstStep;
        if (cols.left) fill_samples(out, line[0], cols.left);
        const T* run = line + ptrdiff_t(x0 + cols.left) * channels;
        if (channels == 1)
            copy_bytes(reinterpret_cast<uint8_t*>(out + cols.left), reinterpret_cast<const uint8_t*>(run),
                       sizeof(T) * size_t(cols.right - cols.left));
        else
            for (int x = cols.left; x < cols.right; ++x) out[x] = run[ptrdiff_t(x - cols.left) * channels];
        if (cols.right < w) fill_samples(out + cols.right, line[ptrdiff_t(frameWidth - 1) * channels], w - cols.right);
    }
}

}  // namespace
}  // namespace zan::blockread

namespace {

// The area readers under their internal names. Position and size of the
// area in samples (NV12: pairs); steps in bytes for 8u, in samples for 16u.
inline void zaniReadDataBlockThroughBoundary_8u(const uint8_t* pSrc, int32_t srcStep, ZanSize frame, int64_t x0,
                                                int64_t y0, int w, int h, uint8_t* pDst, int32_t dstStep) {
    zan::blockread::read_through_boundary(pSrc, srcStep, 1, 0, frame.width, frame.height, x0, y0, w, h, pDst,
                                          dstStep);
}

inline void zaniReadDataBlockThroughBoundary_16u(const uint16_t* pSrc, int32_t srcStep, ZanSize frame, int64_t x0,
                                                 int64_t y0, int w, int h, uint16_t* pDst, int32_t dstStep) {
    zan::blockread::read_through_boundary(pSrc, srcStep, 1, 0, frame.width, frame.height, x0, y0, w, h, pDst,
                                          dstStep);
}

// De-interleaves the CbCr pairs of an NV12 area into two planes.
inline void zaniReadDataBlockThroughBoundary_NV12_8u(const uint8_t* pSrc, int32_t srcStep, ZanSize frame, int64_t x0,
                                                     int64_t y0, int w, int h, uint8_t* pDstCb, uint8_t* pDstCr,
                                                     int32_t dstStep) {
    zan::blockread::read_through_boundary(pSrc, srcStep, 2, 0, frame.width, frame.height, x0, y0, w, h, pDstCb,
                                          dstStep);
    zan::blockread::read_through_boundary(pSrc, srcStep, 2, 1, frame.width, frame.height, x0, y0, w, h, pDstCr,
                                          dstStep);
}

}  // namespace
