#include "core/memory.h"

#include <cstring>

#include "core/stream_kernels.h"
#include "core/zancore/zancore.h"

Zan8u* zansMalloc_8u(int32_t len) { return len <= 0 ? nullptr : static_cast<Zan8u*>(zanMalloc(size_t(len))); }
Zan8s* zansMalloc_8s(int32_t len) { return len <= 0 ? nullptr : static_cast<Zan8s*>(zanMalloc(size_t(len))); }
// The byte count is formed in size_t: 2*len does not wrap for len >= 2^30.
Zan16u* zansMalloc_16u(int32_t len) {
    return len <= 0 ? nullptr : static_cast<Zan16u*>(zanMalloc(2 * size_t(len)));
}
Zan16s* zansMalloc_16s(int32_t len) {
    return len <= 0 ? nullptr : static_cast<Zan16s*>(zanMalloc(2 * size_t(len)));
}
Zan32s* zansMalloc_32s(int32_t len) {
    return len <= 0 ? nullptr : static_cast<Zan32s*>(zanMalloc(4 * size_t(len)));
}
void zansFree(void* p) { zanFree(p); }
void zaniFree(void* p) { zanFree(p); }

namespace zan {

static bool above_largest_cache(int64_t bytes, bool orEqual) {
    int32_t cache = 0;
    if (zanGetMaxCacheSizeB(&cache) != 0 || cache <= 0) return false;
    return orEqual ? bytes >= cache : bytes > cache;
}

bool copy_region_streams(int32_t width, int32_t height) {
    if (width < kCopyStreamMinWidth) return false;
    const int64_t twice = 2 * int64_t(width) * height;
    if (twice <= kCopyStreamFloor) return false;
    return above_largest_cache(twice, false);
}

bool fill_1d_streams(int64_t len) { return len > kFill1DStreamFloor && above_largest_cache(len, false); }

bool set_region_streams(int64_t total) {
    return total > kSetRegionStreamFloor && above_largest_cache(total, true);
}

}  // namespace zan

using zan::stream::Sse2;

ZanResult zansCopy_8u(const Zan8u* pSrc, Zan8u* pDst, int32_t len) {
    if (!pSrc || !pDst) return ZAN_ERR_NULL_PTR;
    if (len < 1) return ZAN_ERR_SIZE;
    std::memcpy(pDst, pSrc, size_t(len));
    return ZAN_OK;
}

ZanResult zansCopy_16s(const Zan16s* pSrc, Zan16s* pDst, int32_t len) {
    if (!pSrc || !pDst) return ZAN_ERR_NULL_PTR;
    if (len < 1) return ZAN_ERR_SIZE;
    // 2*len bytes may exceed what one 32-bit byte count holds: copy in pieces.
    int64_t remaining = len;
    while (remaining > 1073741823) {
        zansCopy_8u(reinterpret_cast<const Zan8u*>(pSrc), reinterpret_cast<Zan8u*>(pDst), 2147483616);
        pSrc += 1073741808;
        pDst += 1073741808;
        remaining -= 1073741808;
    }
    return zansCopy_8u(reinterpret_cast<const Zan8u*>(pSrc), reinterpret_cast<Zan8u*>(pDst),
                       int32_t(2 * remaining));
}

void ownsSet_8u(Zan8u value, Zan8u* pDst, int64_t len) {
    if (zan::fill_1d_streams(len)) {
        zan::stream::fill_run<Sse2>(pDst, value, size_t(len));
        zan::stream::fence();
    } else {
        std::memset(pDst, value, size_t(len));
    }
}

void ownsZero_8u(Zan8u* pDst, int64_t len) { ownsSet_8u(0, pDst, len); }

ZanResult zansSet_8u(Zan8u value, Zan8u* pDst, int32_t len) {
    if (!pDst) return ZAN_ERR_NULL_PTR;
    if (len < 1) return ZAN_ERR_SIZE;
    if (len <= zan::kFill1DStreamFloor)
        std::memset(pDst, value, size_t(len));
    else
        ownsSet_8u(value, pDst, len);
    return ZAN_OK;
}

ZanResult zansZero_8u(Zan8u* pDst, int32_t len) { return zansSet_8u(0, pDst, len); }

void owniCopy8u_cn(const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst, int32_t dstStep, int32_t width,
                   int32_t height) {
    zan::stream::copy_region<Sse2>(pSrc, srcStep, pDst, dstStep, width, height);
}

void owniSet_8u_C1R(Zan8u value, Zan8u* pDst, int32_t dstStep, int32_t width, int32_t height) {
    zan::stream::set_region<Sse2>(value, pDst, dstStep, width, height);
}
