// zaniExpandPlane_H264_8u_C1R: pads a reference plane in place so that
// the plain and Top/Bottom interpolation functions may read around it.
#include <cstring>

#include "core/common.h"

namespace {

// Pads one picture (a frame, or one field with the doubled row step) by
// `side` samples left and right, `below` rows under it and `above` rows
// over it: every padding sample takes the nearest picture sample.
void expand(uint8_t* p, ptrdiff_t step, int width, int rows, int side, int below, int above) {
    const uint8_t* last = p + step * (rows - 1);
    for (int k = 1; k <= below; ++k) std::memcpy(p + step * (rows - 1 + k), last, size_t(width));
    for (int y = 0; y < rows + below; ++y) {
        uint8_t* r = p + step * y;
        std::memset(r - side, r[0], size_t(side));
        std::memset(r + width, r[width - 1], size_t(side));
    }
    const size_t padded = size_t(width) + 2 * size_t(side);
    for (int k = 1; k <= above; ++k) std::memcpy(p - step * k - side, p - side, padded);
}

}  // namespace

namespace zan::c {

ZanResult zaniExpandPlane_H264_8u_C1R(Zan8u* pSrcDst, int32_t frameWidth, int32_t frameHeight, int32_t pitch,
                                      int32_t pels, int32_t fieldMode) {
    if (!pSrcDst) return ZAN_ERR_NULL_PTR;
    if ((frameHeight & 1) || frameHeight < 2 || frameWidth < 1 || pels < 0) return ZAN_ERR_SIZE;
    if (pels == 0) return ZAN_OK;
    const ptrdiff_t step = pitch;
    switch (fieldMode) {
        case 0: expand(pSrcDst, step, frameWidth, frameHeight, pels, pels, pels); break;
        case 1: expand(pSrcDst, 2 * step, frameWidth, frameHeight / 2, pels, (pels + 1) >> 1, pels >> 1); break;
        case 2: expand(pSrcDst + step, 2 * step, frameWidth, frameHeight / 2, pels, pels >> 1, (pels + 1) >> 1); break;
        default: return ZAN_ERR_BAD_ARG;
    }
    return ZAN_OK;
}

}  // namespace zan::c
