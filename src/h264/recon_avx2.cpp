// H.264 macroblock reconstruction, 8-bit 4:2:0, NV12 and 4:2:2: AVX2 kernels for
// the residual adds and the 4x4 and 8x8 inverse transforms.
#include "h264/dequant_simd.h"
#include "h264/recon_mb.h"

namespace zan::avx2 {

namespace {

using namespace zan::h264;

// The 8-bit kernels in AVX2; 16-bit samples keep the portable ones.
struct Kernel : zan::h264::recon::PortableKernel {
    using PortableKernel::add4x4_i32;
    using PortableKernel::add8x8_i32;
    template <class C>
    static void dequant_flat(const C* c, const int16_t* scale, int32_t* d) {
        if constexpr (std::is_same_v<C, int16_t>)
            simd::dequant_flat(c, scale, d);
        else
            PortableKernel::dequant_flat(c, scale, d);
    }
    template <int N, class C>
    static void dequant(const C* c, const C* ls, int qp, int32_t* d) {
        if constexpr (std::is_same_v<C, int16_t>)
            simd::dequant_levels(c, ls, qp, N == 4 ? 4 : 6, N * N, d);
        else
            PortableKernel::dequant<N>(c, ls, qp, d);
    }
    static void add4x4_sat(const int16_t* c, const int16_t* dc, const int16_t* scale, uint8_t* dst, int32_t step) {
        simd::add4x4_sat(dst, step, c, dc, true, scale, dst, step);
    }
    static void add4x4_sat_pair(const int16_t* cl, const int16_t* cr, const int16_t* scale, uint8_t* dst,
                                int32_t step) {
        simd::add4x4_sat_pair(cl, cr, scale, dst, step);
    }
    static void add4x4_i32(const int32_t* d, uint8_t* dst, int32_t step, int xs, int /*maxv: 255*/) {
        __m128i r[4];
        simd::idct4x4_32(d, r);
        if (xs == 1) {
            simd::add_rows4_32(dst, step, r);
            return;
        }
        alignas(16) int32_t res[16];
        for (int i = 0; i < 4; ++i) _mm_store_si128(reinterpret_cast<__m128i*>(res + 4 * i), r[i]);
        add_residual<4>(dst, step, xs, res);
    }
    static void add8x8_i32(const int32_t* d, uint8_t* dst, int32_t step, int /*maxv: 255*/) {
        simd::add8x8_32(d, dst, step);
    }
};

}  // namespace

#include "h264/recon_exports.inc"

}  // namespace zan::avx2
