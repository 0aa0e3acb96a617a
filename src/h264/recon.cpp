// H.264 macroblock reconstruction, 8-bit 4:2:0 and NV12: portable kernels.
#include "h264/recon_mb.h"

namespace zan::c {

namespace {

using namespace zan::h264;

struct Kernel {
    static void add4x4_sat(const int16_t* c, const int16_t* dc, const int16_t* scale, uint8_t* dst, int32_t step) {
        int16_t r[16];
        residual4x4_sat(c, dc, true, scale, r);
        int32_t r32[16];
        for (int i = 0; i < 16; ++i) r32[i] = r[i];
        add_residual<4>(dst, step, 1, r32);
    }
    static void add4x4_sat_pair(const int16_t* cl, const int16_t* cr, const int16_t* scale, uint8_t* dst,
                                int32_t step) {
        add4x4_sat(cl, nullptr, scale, dst, step);
        add4x4_sat(cr, nullptr, scale, dst + 4, step);
    }
    static void add4x4_i32(const int32_t* d, uint8_t* dst, int32_t step, int xs) {
        Wrap32 b[16];
        for (int i = 0; i < 16; ++i) b[i] = {d[i]};
        idct4x4(b);
        int32_t r[16];
        for (int i = 0; i < 16; ++i) r[i] = b[i].v;
        add_residual<4>(dst, step, xs, r);
    }
    static void add8x8_i32(const int32_t* d, uint8_t* dst, int32_t step) {
        Wrap32 b[64];
        for (int i = 0; i < 64; ++i) b[i] = {d[i]};
        idct8x8(b);
        int32_t r[64];
        for (int i = 0; i < 64; ++i) r[i] = b[i].v;
        add_residual<8>(dst, step, 1, r);
    }
};

}  // namespace

#include "h264/recon_exports.inc"

}  // namespace zan::c
