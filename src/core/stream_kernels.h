// Copy and fill runs, ordinary and streaming (non-temporal), written once
// over a vector policy: Sse2 (baseline x86-64) or Avx2 (files built with
// -mavx2). Internal linkage throughout: see core/common.h.
#pragma once

#include <immintrin.h>

#include <cstring>

#include "core/memory.h"

namespace zan::stream {
namespace {

struct Sse2 {
    using V = __m128i;
    static constexpr size_t kBytes = 16;
    static V load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const V*>(p)); }
    static void store(uint8_t* p, V v) { _mm_storeu_si128(reinterpret_cast<V*>(p), v); }
    static void stream(uint8_t* p, V v) { _mm_stream_si128(reinterpret_cast<V*>(p), v); }
    static V splat(uint8_t b) { return _mm_set1_epi8(char(b)); }
};

#ifdef __AVX2__
struct Avx2 {
    using V = __m256i;
    static constexpr size_t kBytes = 32;
    static V load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const V*>(p)); }
    static void store(uint8_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<V*>(p), v); }
    static void stream(uint8_t* p, V v) { _mm256_stream_si256(reinterpret_cast<V*>(p), v); }
    static V splat(uint8_t b) { return _mm256_set1_epi8(char(b)); }
};
#endif

inline void fence() { _mm_sfence(); }

// Copies n < 64 bytes as 32/16/8/4/2/1-byte pieces.
inline void copy_tail(uint8_t* d, const uint8_t* s, size_t n) {
    for (size_t piece = 32; piece >= 1; piece >>= 1)
        if (n & piece) {
            std::memcpy(d, s, piece);
            d += piece;
            s += piece;
        }
}

inline void fill_tail(uint8_t* d, uint8_t value, size_t n) {
    for (size_t piece = 32; piece >= 1; piece >>= 1)
        if (n & piece) {
            std::memset(d, value, piece);
            d += piece;
        }
}

template <class P>
inline void store64(uint8_t* d, const uint8_t* s) {
    for (size_t i = 0; i < 64; i += P::kBytes) P::store(d + i, P::load(s + i));
}

// One streaming copy run of n >= 64 bytes: an unaligned 64-byte head store
// brings the destination to 64-byte alignment, then 64-byte non-temporal
// stores, then the tails. The caller issues the fence.
template <class P>
void copy_run(uint8_t* d, const uint8_t* s, size_t n) {
    store64<P>(d, s);
    const size_t head = 64 - (reinterpret_cast<uintptr_t>(d) & 63);
    d += head;
    s += head;
    n -= head;
    for (; n >= 64; n -= 64, d += 64, s += 64)
        for (size_t i = 0; i < 64; i += P::kBytes) P::stream(d + i, P::load(s + i));
    copy_tail(d, s, n);
}

template <class P>
void fill_run(uint8_t* d, uint8_t value, size_t n) {
    const typename P::V v = P::splat(value);
    if (n < 64) {
        fill_tail(d, value, n);
        return;
    }
    for (size_t i = 0; i < 64; i += P::kBytes) P::store(d + i, v);
    const size_t head = 64 - (reinterpret_cast<uintptr_t>(d) & 63);
    d += head;
    n -= head;
    for (; n >= 64; n -= 64, d += 64)
        for (size_t i = 0; i < 64; i += P::kBytes) P::stream(d + i, v);
    fill_tail(d, value, n);
}

// Ordinary row copy with vector moves; rows shorter than one vector use
// the tail pieces.
template <class P>
inline void copy_row(uint8_t* d, const uint8_t* s, size_t n) {
    size_t i = 0;
    for (; i + P::kBytes <= n; i += P::kBytes) P::store(d + i, P::load(s + i));
    if (i < n) {
        if (n >= P::kBytes)  // overlapping last vector
            P::store(d + n - P::kBytes, P::load(s + n - P::kBytes));
        else
            copy_tail(d + i, s + i, n - i);
    }
}

template <class P>
void copy_region(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, int32_t width,
                 int32_t height) {
    if (!copy_region_streams(width, height)) {
        for (int32_t y = 0; y < height; ++y)
            copy_row<P>(dst + ptrdiff_t(dstStep) * y, src + ptrdiff_t(srcStep) * y, size_t(width));
        return;
    }
    if ((srcStep == width && dstStep == width) || height == 1) {
        copy_run<P>(dst, src, size_t(width) * size_t(height));
    } else {
        for (int32_t y = 0; y < height; ++y)
            copy_run<P>(dst + ptrdiff_t(dstStep) * y, src + ptrdiff_t(srcStep) * y, size_t(width));
    }
    fence();
}

template <class P>
void set_region(uint8_t value, uint8_t* dst, int32_t dstStep, int32_t width, int32_t height) {
    int64_t rowLen = width, rows = height;
    if (dstStep == width) {
        rowLen = int64_t(width) * height;
        rows = 1;
    }
    const bool streaming = set_region_streams(int64_t(width) * height);
    for (int64_t y = 0; y < rows; ++y) {
        uint8_t* d = dst + ptrdiff_t(dstStep) * y;
        if (streaming)
            fill_run<P>(d, value, size_t(rowLen));
        else
            std::memset(d, value, size_t(rowLen));
    }
    if (streaming) fence();
}

}  // namespace
}  // namespace zan::stream
