// zaniCopy_8u_C1R and zaniSet_8u_C1R with 256-bit moves and streaming stores.
#include "core/memory.h"
#include "core/stream_kernels.h"

namespace zan::avx2 {

using stream::Avx2;

ZanResult zaniCopy_8u_C1R(const Zan8u* pSrc, int32_t srcStep, Zan8u* pDst, int32_t dstStep, ZanSize roiSize) {
    if (!pSrc || !pDst) return ZAN_ERR_NULL_PTR;
    if (roiSize.width < 1 || roiSize.height < 1) return ZAN_ERR_SIZE;
    if (roiSize.width < 1024) {
        for (int32_t y = 0; y < roiSize.height; ++y)
            stream::copy_row<Avx2>(pDst + ptrdiff_t(dstStep) * y, pSrc + ptrdiff_t(srcStep) * y,
                                   size_t(roiSize.width));
        return ZAN_OK;
    }
    stream::copy_region<Avx2>(pSrc, srcStep, pDst, dstStep, roiSize.width, roiSize.height);
    return ZAN_OK;
}

ZanResult zaniSet_8u_C1R(Zan8u value, Zan8u* pDst, int32_t dstStep, ZanSize roiSize) {
    if (!pDst) return ZAN_ERR_NULL_PTR;
    if (roiSize.width < 1 || roiSize.height < 1) return ZAN_ERR_SIZE;
    stream::set_region<Avx2>(value, pDst, dstStep, roiSize.width, roiSize.height);
    return ZAN_OK;
}

}  // namespace zan::avx2
