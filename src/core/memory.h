// Internal memory, copy and fill helpers. State objects and table builders
// allocate only through these; no per-block path allocates.
#pragma once

#include <cstdint>

#include "core/common.h"

// Allocation: len <= 0 returns null without calling the core library;
// otherwise zanMalloc(len * element size), aligned to 64 bytes.
Zan8u* zansMalloc_8u(int32_t len);
Zan8s* zansMalloc_8s(int32_t len);
Zan16u* zansMalloc_16u(int32_t len);
Zan16s* zansMalloc_16s(int32_t len);
Zan32s* zansMalloc_32s(int32_t len);
void zansFree(void* p);
void zaniFree(void* p);

// One-dimensional copy and fill: null -8, len < 1 -6, else 0.
ZanResult zansCopy_8u(const Zan8u* pSrc, Zan8u* pDst, int32_t len);
ZanResult zansCopy_16s(const Zan16s* pSrc, Zan16s* pDst, int32_t len);
ZanResult zansZero_8u(Zan8u* pDst, int32_t len);
ZanResult zansSet_8u(Zan8u value, Zan8u* pDst, int32_t len);

// Fills of more than 2097152 bytes: streaming when also above the largest
// data cache, ordinary otherwise.
void ownsZero_8u(Zan8u* pDst, int64_t len);
void ownsSet_8u(Zan8u value, Zan8u* pDst, int64_t len);

// Region copy and fill after the argument checks.
void owniCopy8u_cn(const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst, int32_t dstStep, int32_t width,
                   int32_t height);
void owniSet_8u_C1R(Zan8u value, Zan8u* pDst, int32_t dstStep, int32_t width, int32_t height);

namespace zan {

// Size floors of the streaming decisions.
inline constexpr int64_t kCopyStreamFloor = 4194304;   // 2*width*height above this
inline constexpr int64_t kFill1DStreamFloor = 2097152;  // zansSet_8u / zansZero_8u
inline constexpr int64_t kSetRegionStreamFloor = 6291456;
inline constexpr int32_t kCopyStreamMinWidth = 128;

// The streaming decisions, separated from the stores so that they can be
// tested. Each queries the core library only above its size floor.
bool copy_region_streams(int32_t width, int32_t height);
bool fill_1d_streams(int64_t len);
bool set_region_streams(int64_t total);

}  // namespace zan
