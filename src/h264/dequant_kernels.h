// Portable H.264 inverse transforms and dequantization steps, written once
// over an arithmetic type: Sat16 (16-bit saturating, the defined result of
// the saturating members) or Wrap32 (32-bit two's-complement wrap-around,
// which conforming streams never reach). Internal linkage throughout, see
// core/common.h.
#pragma once

#include "core/common.h"
#include "h264/h264_tables.h"

namespace zan::h264 {
namespace {

struct Sat16 {
    int16_t v;
    friend Sat16 operator+(Sat16 a, Sat16 b) { return {sat_s16(int(a.v) + int(b.v))}; }
    friend Sat16 operator-(Sat16 a, Sat16 b) { return {sat_s16(int(a.v) - int(b.v))}; }
    friend Sat16 operator>>(Sat16 a, int s) { return {int16_t(a.v >> s)}; }
};

struct Wrap32 {
    int32_t v;
    friend Wrap32 operator+(Wrap32 a, Wrap32 b) { return {int32_t(uint32_t(a.v) + uint32_t(b.v))}; }
    friend Wrap32 operator-(Wrap32 a, Wrap32 b) { return {int32_t(uint32_t(a.v) - uint32_t(b.v))}; }
    friend Wrap32 operator>>(Wrap32 a, int s) { return {a.v >> s}; }
};

ZAN_INLINE int32_t wrap_mul(int32_t a, int32_t b) { return int32_t(uint32_t(a) * uint32_t(b)); }
ZAN_INLINE int32_t wrap_shl(int32_t a, int s) { return int32_t(uint32_t(a) << s); }

// H.264 8.5.12.2, one dimension: d0..d3 -> outputs e + h, f + g, f - g, e - h.
template <class T>
ZAN_INLINE void idct4_1d(T& d0, T& d1, T& d2, T& d3) {
    const T e = d0 + d2, f = d0 - d2, g = (d1 >> 1) - d3, h = d1 + (d3 >> 1);
    d0 = e + h;
    d1 = f + g;
    d2 = f - g;
    d3 = e - h;
}

// Rows, then columns, then (r + 32) >> 6, in place on 16 raster values.
template <class T>
ZAN_INLINE void idct4x4(T* b) {
    for (int i = 0; i < 4; ++i) idct4_1d(b[4 * i], b[4 * i + 1], b[4 * i + 2], b[4 * i + 3]);
    for (int j = 0; j < 4; ++j) idct4_1d(b[j], b[4 + j], b[8 + j], b[12 + j]);
    for (int i = 0; i < 16; ++i) b[i] = (b[i] + T{32}) >> 6;
}

// H.264 8.5.13.2, one dimension of the 8x8 inverse transform.
template <class T>
ZAN_INLINE void idct8_1d(T* d, int stride) {
    const T d0 = d[0], d1 = d[stride], d2 = d[2 * stride], d3 = d[3 * stride];
    const T d4 = d[4 * stride], d5 = d[5 * stride], d6 = d[6 * stride], d7 = d[7 * stride];
    const T e0 = d0 + d4;
    const T e1 = d5 - d3 - d7 - (d7 >> 1);
    const T e2 = d0 - d4;
    const T e3 = d1 + d7 - d3 - (d3 >> 1);
    const T e4 = (d2 >> 1) - d6;
    const T e5 = d7 - d1 + d5 + (d5 >> 1);
    const T e6 = d2 + (d6 >> 1);
    const T e7 = d3 + d5 + d1 + (d1 >> 1);
    const T f0 = e0 + e6, f1 = e1 + (e7 >> 2), f2 = e2 + e4, f3 = e3 + (e5 >> 2);
    const T f4 = e2 - e4, f5 = (e3 >> 2) - e5, f6 = e0 - e6, f7 = e7 - (e1 >> 2);
    d[0] = f0 + f7;
    d[stride] = f2 + f5;
    d[2 * stride] = f4 + f3;
    d[3 * stride] = f6 + f1;
    d[4 * stride] = f6 - f1;
    d[5 * stride] = f4 - f3;
    d[6 * stride] = f2 - f5;
    d[7 * stride] = f0 - f7;
}

template <class T>
ZAN_INLINE void idct8x8(T* b) {
    for (int i = 0; i < 8; ++i) idct8_1d(b + 8 * i, 1);
    for (int j = 0; j < 8; ++j) idct8_1d(b + j, 8);
    for (int i = 0; i < 64; ++i) b[i] = (b[i] + T{32}) >> 6;
}

// Flat dequantization and inverse transform with 16-bit saturating
// arithmetic (the add-to-prediction path): d = sat(c * scale), DC from *dc
// when given; with ac == 0 only the DC is used. Residual into r.
ZAN_INLINE void residual4x4_sat(const int16_t* c, const int16_t* dc, bool ac, const int16_t* scale,
                                int16_t* r) {
    Sat16 b[16];
    for (int i = 0; i < 16; ++i) b[i] = {ac ? sat_s16(int(c[i]) * scale[i]) : int16_t(0)};
    b[0] = {dc ? *dc : sat_s16(int(c[0]) * scale[0])};
    idct4x4(b);
    for (int i = 0; i < 16; ++i) r[i] = b[i].v;
}

// Standard scaling with the caller's LevelScale4x4 entries (H.264 8.5.12.1):
// qP >= 24: (c * ls) << (qP / 6 - 4); else (c * ls + 2^(3 - qP/6)) >> (4 - qP/6).
ZAN_INLINE int32_t scale4x4(int32_t c, int32_t ls, int qp) {
    const int32_t p = wrap_mul(c, ls);
    if (qp >= 24) return wrap_shl(p, qp / 6 - 4);
    const int s = 4 - qp / 6;
    return int32_t(uint32_t(p) + (1u << (s - 1))) >> s;
}

// H.264 8.5.13.1: qP >= 36: (c * ls) << (qP / 6 - 6); else rounded >> (6 - qP/6).
ZAN_INLINE int32_t scale8x8(int32_t c, int32_t ls, int qp) {
    const int32_t p = wrap_mul(c, ls);
    if (qp >= 36) return wrap_shl(p, qp / 6 - 6);
    const int s = 6 - qp / 6;
    return int32_t(uint32_t(p) + (1u << (s - 1))) >> s;
}

// 4x4 Hadamard transform of the Intra 16x16 DC levels (H.264 8.5.10),
// f = H c H; H is symmetric, so both passes are the same butterfly.
template <class C>
ZAN_INLINE void hadamard4x4(const C* c, int32_t* f) {
    for (int i = 0; i < 16; ++i) f[i] = int32_t(c[i]);
    auto bf = [](int32_t& a, int32_t& b, int32_t& c2, int32_t& d) {
        const Wrap32 s0 = Wrap32{a} + Wrap32{b}, s1 = Wrap32{a} - Wrap32{b};
        const Wrap32 s2 = Wrap32{c2} + Wrap32{d}, s3 = Wrap32{c2} - Wrap32{d};
        a = (s0 + s2).v;   // 1  1  1  1
        b = (s0 - s2).v;   // 1  1 -1 -1
        c2 = (s1 - s3).v;  // 1 -1 -1  1
        d = (s1 + s3).v;   // 1 -1  1 -1
    };
    for (int i = 0; i < 4; ++i) bf(f[4 * i], f[4 * i + 1], f[4 * i + 2], f[4 * i + 3]);
    for (int j = 0; j < 4; ++j) bf(f[j], f[4 + j], f[8 + j], f[12 + j]);
}

// Flat luma DC: s = InvQuantLuma16x16DCTable[qp]; rounding 2, 1, 0 by QP
// range; results as 16-bit values, in place.
ZAN_INLINE void luma_dc_flat(int16_t* c, int qp) {
    int32_t f[16];
    hadamard4x4(c, f);
    const int32_t s = InvQuantLuma16x16DCTable[qp];
    for (int i = 0; i < 16; ++i) {
        const int32_t p = wrap_mul(f[i], s);
        c[i] = int16_t(qp < 6 ? int32_t(uint32_t(p) + 2) >> 2 : qp < 12 ? int32_t(uint32_t(p) + 1) >> 1 : p);
    }
}

// Luma DC with the caller's LevelScale4x4(qP % 6, 0, 0) (H.264 8.5.10):
// qP >= 36: (f * ls) << (qP / 6 - 6); else (f * ls + 2^(5 - qP/6)) >> (6 - qP/6).
template <class C>
ZAN_INLINE void luma_dc_levels(const C* c, int32_t ls, int qp, int32_t* dc) {
    int32_t f[16];
    hadamard4x4(c, f);
    for (int i = 0; i < 16; ++i) dc[i] = scale8x8(f[i], ls, qp);
}

// 4:2:0 chroma DC (H.264 8.5.11): 2x2 transform, then flat (ls == 0:
// (f * InvQuantTable[qp][0]) >> 1 with 16-bit sums and results) or with the
// caller's LevelScale4x4(QPc % 6, 0, 0): ((f * ls) << (QPc / 6)) >> 5.
template <class C>
ZAN_INLINE void chroma_dc(const C* c, int32_t ls, int qp, int32_t* dc) {
    const Wrap32 c0{int32_t(c[0])}, c1{int32_t(c[1])}, c2{int32_t(c[2])}, c3{int32_t(c[3])};
    const int32_t f[4] = {(c0 + c1 + c2 + c3).v, (c0 - c1 + c2 - c3).v, (c0 + c1 - c2 - c3).v,
                          (c0 - c1 - c2 + c3).v};
    for (int i = 0; i < 4; ++i)
        dc[i] = ls ? wrap_shl(wrap_mul(f[i], ls), qp / 6) >> 5
                   : int32_t(int16_t((int32_t(int16_t(f[i])) * InvQuantTable[qp][0]) >> 1));
}

// 4:2:2 chroma DC (H.264 8.5.11): f = A c B over the 4x2 block c (raster,
// two values per row; A the 4x4 Hadamard matrix, B = 1 1 / 1 -1), then
// scaled with qP,DC = QPc + 3 and LevelScale4x4(qP,DC % 6, 0, 0):
// qP,DC >= 36: (f * ls) << (qP,DC / 6 - 6); else rounded >> (6 - qP,DC / 6).
// The caller's ls0 = LevelScale4x4(QPc % 6, 0, 0) = w00 * v(QPc % 6, 0) gives
// the weight w00 and so the level for qP,DC.
template <class C>
ZAN_INLINE void chroma_dc422(const C* c, int32_t ls0, int qp, int32_t* dc) {
    int32_t g[8];
    for (int i = 0; i < 4; ++i) {  // columns: B
        const Wrap32 a{int32_t(c[2 * i])}, b{int32_t(c[2 * i + 1])};
        g[2 * i] = (a + b).v;
        g[2 * i + 1] = (a - b).v;
    }
    int32_t f[8];
    for (int j = 0; j < 2; ++j) {  // rows: A
        const Wrap32 a{g[j]}, b{g[2 + j]}, cc{g[4 + j]}, d{g[6 + j]};
        f[j] = (a + b + cc + d).v;
        f[2 + j] = (a + b - cc - d).v;
        f[4 + j] = (a - b - cc + d).v;
        f[6 + j] = (a - b + cc - d).v;
    }
    const int qpdc = qp + 3;
    const int32_t ls = ls0 / InvQuantTable_def[qp % 6][0] * InvQuantTable_def[qpdc % 6][0];
    for (int i = 0; i < 8; ++i) dc[i] = scale8x8(f[i], ls, qpdc);
}

// Argument checks of the add-to-prediction member, shared by its kernels.
ZAN_INLINE ZanResult check_add_args(const uint8_t* pred, const int16_t* coef, const int16_t* dc, const uint8_t* dst,
                                    int32_t qp, int32_t ac) {
    if (!pred || !dst) return ZAN_ERR_NULL_PTR;
    if (uint32_t(qp) > 51) return ZAN_ERR_OUT_OF_RANGE;
    if (!coef && (!dc || ac)) return ZAN_ERR_NULL_PTR;
    return ZAN_OK;
}

// The inverse 4x4 transform of 16 contiguous values of type E in the
// arithmetic T (Sat16 or Wrap32).
template <class T, class E>
ZAN_INLINE void inverse4x4(const E* src, E* dst) {
    T b[16];
    for (int i = 0; i < 16; ++i) b[i] = {src[i]};
    idct4x4(b);
    for (int i = 0; i < 16; ++i) dst[i] = b[i].v;
}

// Adds a residual to a block of samples in place:
// dst[x * xs] = Clip1(dst + r), limited to 0..maxv.
template <int N, class Pel>
ZAN_INLINE void add_residual(Pel* dst, int32_t step, int xs, const int32_t* r, int maxv = 255) {
    for (int y = 0; y < N; ++y) {
        Pel* d = row(dst, step, y);
        for (int x = 0; x < N; ++x) d[x * xs] = Pel(clip3(0, maxv, int(d[x * xs]) + r[N * y + x]));
    }
}

}  // namespace
}  // namespace zan::h264
