// Internal conventions shared by every family.
//
// Each export NAME has a portable implementation zan::c::NAME and, for hot
// paths, an AVX2 kernel zan::avx2::NAME; their declarations come from the
// generated zan_impls.h so that a definition with the wrong type fails to
// link. Files whose name ends in _avx2.cpp are compiled with -mavx2 -mfma
// -mbmi -mbmi2; everything else targets baseline x86-64.
//
// Rule for headers included by both kinds of file: helper functions and
// kernel templates must have internal linkage (static inline, or an
// anonymous namespace), so that the linker can never merge an AVX2-compiled
// copy into the portable path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "zan_impls.h"
#include "zanvc.h"

#define ZAN_INLINE static inline __attribute__((always_inline))
#define ZAN_RESTRICT __restrict__

namespace zan {

// Saturating conversions of the standards' Clip1 family.
ZAN_INLINE int clip3(int lo, int hi, int v) { return v < lo ? lo : (v > hi ? hi : v); }
ZAN_INLINE uint8_t clip_u8(int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }
ZAN_INLINE int16_t sat_s16(int v) {
    return static_cast<int16_t>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
}

// Row address for a byte step.
template <class T>
ZAN_INLINE T* row(T* base, int32_t stepBytes, int y) {
    using B = std::conditional_t<std::is_const_v<T>, const uint8_t, uint8_t>;
    return reinterpret_cast<T*>(reinterpret_cast<B*>(base) + static_cast<ptrdiff_t>(stepBytes) * y);
}

}  // namespace zan
