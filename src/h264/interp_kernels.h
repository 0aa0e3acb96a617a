// H.264 luma and chroma sample interpolation (8.4.2.2): the kernel
// descriptor, the quarter-sample rules and the portable kernels, templates
// over the sample type. Internal linkage throughout: see core/common.h.
#pragma once

#include <cstring>

#include "core/common.h"

namespace zan::h264 {
namespace {

// One kernel call: a block of width x height samples at integer position
// src (fractions dx, dy) written to dst. Steps count samples.
template <class T>
struct Interp {
    const T* src;
    ptrdiff_t srcStep;
    T* dst;
    ptrdiff_t dstStep;
    int width, height;
    int dx, dy;
    int maxVal;  // Clip1 upper end: (1 << bitDepth) - 1
};

// Clip1 upper end for a bit depth; depths outside 1..16 take the nearest.
inline int max_sample(int bitDepth) { return (1 << clip3(1, 16, bitDepth)) - 1; }

// The operands of the luma sample equations, relative to the integer
// sample G at (x, y): G, H = G(x+1, y), M = G(x, y+1), the half samples
// b (horizontal), s = b(x, y+1), h (vertical), m = h(x+1, y) and the centre j.
enum class LumaOperand : uint8_t { None, G, H, M, b, s, h, m, j };

// H.264 8.4.2.2.1: each fractional position dy*4+dx is one operand or the
// rounded average of two.
struct LumaRule {
    LumaOperand first, second;
};
inline constexpr LumaRule kLumaQuarterRule[16] = {
    {LumaOperand::G, LumaOperand::None},  // G
    {LumaOperand::G, LumaOperand::b},     // a
    {LumaOperand::b, LumaOperand::None},  // b
    {LumaOperand::H, LumaOperand::b},     // c
    {LumaOperand::G, LumaOperand::h},     // d
    {LumaOperand::b, LumaOperand::h},     // e
    {LumaOperand::b, LumaOperand::j},     // f
    {LumaOperand::b, LumaOperand::m},     // g
    {LumaOperand::h, LumaOperand::None},  // h
    {LumaOperand::h, LumaOperand::j},     // i
    {LumaOperand::j, LumaOperand::None},  // j
    {LumaOperand::j, LumaOperand::m},     // k
    {LumaOperand::M, LumaOperand::h},     // n
    {LumaOperand::h, LumaOperand::s},     // p
    {LumaOperand::j, LumaOperand::s},     // q
    {LumaOperand::m, LumaOperand::s},     // r
};

// The six-tap filter (1, -5, 20, 20, -5, 1).
ZAN_INLINE int tap6(int e, int f, int g, int h, int i, int j) { return e - 5 * f + 20 * g + 20 * h - 5 * i + j; }

// Sample equations over the integer samples of a reference block.
template <class T>
struct LumaSamples {
    const T* p;
    ptrdiff_t step;
    int maxVal;

    int G(int x, int y) const { return p[ptrdiff_t(y) * step + x]; }
    int clip1(int v) const { return clip3(0, maxVal, v); }
    int b1(int x, int y) const {
        return tap6(G(x - 2, y), G(x - 1, y), G(x, y), G(x + 1, y), G(x + 2, y), G(x + 3, y));
    }
    int h1(int x, int y) const {
        return tap6(G(x, y - 2), G(x, y - 1), G(x, y), G(x, y + 1), G(x, y + 2), G(x, y + 3));
    }
    int b(int x, int y) const { return clip1((b1(x, y) + 16) >> 5); }
    int h(int x, int y) const { return clip1((h1(x, y) + 16) >> 5); }
    int j(int x, int y) const {
        const int j1 = tap6(h1(x - 2, y), h1(x - 1, y), h1(x, y), h1(x + 1, y), h1(x + 2, y), h1(x + 3, y));
        return clip1((j1 + 512) >> 10);
    }
    int operand(LumaOperand o, int x, int y) const {
        switch (o) {
            case LumaOperand::G: return G(x, y);
            case LumaOperand::H: return G(x + 1, y);
            case LumaOperand::M: return G(x, y + 1);
            case LumaOperand::b: return b(x, y);
            case LumaOperand::s: return b(x, y + 1);
            case LumaOperand::h: return h(x, y);
            case LumaOperand::m: return h(x + 1, y);
            case LumaOperand::j: return j(x, y);
            case LumaOperand::None: break;
        }
        return 0;
    }
    int sample(const LumaRule& r, int x, int y) const {
        const int a = operand(r.first, x, y);
        return r.second == LumaOperand::None ? a : (a + operand(r.second, x, y) + 1) >> 1;
    }
};

// Portable luma kernel: any width and height, any bit depth up to 16.
template <class T>
void luma_c(const Interp<T>& d) {
    const LumaSamples<T> s{d.src, d.srcStep, d.maxVal};
    const LumaRule& rule = kLumaQuarterRule[d.dy * 4 + d.dx];
    if (d.dx == 0 && d.dy == 0) {  // G: a copy
        for (int y = 0; y < d.height; ++y)
            std::memcpy(d.dst + ptrdiff_t(y) * d.dstStep, d.src + ptrdiff_t(y) * d.srcStep,
                        sizeof(T) * size_t(d.width));
        return;
    }
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) d.dst[ptrdiff_t(y) * d.dstStep + x] = T(s.sample(rule, x, y));
}

// Portable chroma kernel (H.264 8.4.2.2.2); the copy and the one-direction
// cases compute the same value.
template <class T>
void chroma_c(const Interp<T>& d) {
    const int wA = (8 - d.dx) * (8 - d.dy), wB = d.dx * (8 - d.dy), wC = (8 - d.dx) * d.dy, wD = d.dx * d.dy;
    // Neighbours with a zero weight are not read (they may lie outside).
    const ptrdiff_t right = d.dx ? 1 : 0, below = d.dy ? d.srcStep : 0;
    for (int y = 0; y < d.height; ++y) {
        const T* a = d.src + ptrdiff_t(y) * d.srcStep;
        T* out = d.dst + ptrdiff_t(y) * d.dstStep;
        for (int x = 0; x < d.width; ++x) {
            const int v = wA * a[x] + wB * a[x + right] + wC * a[x + below] + wD * a[x + below + right];
            out[x] = T((v + 32) >> 6);
        }
    }
}

}  // namespace
}  // namespace zan::h264
