// H.264 weighted prediction and averaging, AVX2 kernels for the 8-bit forms.
//
// Each pair of samples (x0, x1) is widened to two 16-bit lanes and
// multiplied by (w0, w1) with vpmaddwd, which yields x0 * w0 + x1 * w1 exactly
// in a 32-bit lane for 16-bit weights; rounding, the arithmetic shift and the
// offset then run in 32-bit lanes with the same wrap-around as the portable
// formula, and two saturating packs clip to 0..255. One-direction weighting
// pairs each sample with 0. Weights outside the 16-bit range (never met in
// H.264) take the portable loop.
//
// Kernels are specialised per block size through a 16-entry table indexed by
// 4 * sizeIndex[width] + sizeIndex[height]. Rows of 16 or 32 bytes run as
// 16-byte chunks; narrower rows are gathered several to a chunk.
#include <immintrin.h>

#include <array>
#include <bit>
#include <cstring>
#include <utility>

#include "h264/weight_kernels.h"

namespace zan::h264w {
namespace {

struct Vec {
    __m256i w;       // lane i: (w0, w1) of channel i % C as two 16-bit halves
    __m256i round;   // 32-bit
    __m256i offset;  // lane i: offset of channel i % C
    __m128i shift;   // count 0..32
};

template <int C>
Vec make_vec(const Params& p) {
    int32_t w[8], o[8];
    for (int i = 0; i < 8; ++i) {
        const Lane& l = p.ch[i % C];
        w[i] = int32_t(uint32_t(uint16_t(l.w0)) | (uint32_t(uint16_t(l.w1)) << 16));
        o[i] = l.offset;
    }
    return {_mm256_loadu_si256(reinterpret_cast<const __m256i*>(w)), _mm256_set1_epi32(int32_t(p.round)),
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(o)), _mm_cvtsi32_si128(p.shift)};
}

// The fast path multiplies with 16-bit weights.
template <int C>
bool fits_16bit(const Params& p) {
    const auto fits = [](int32_t v) { return v >= -32768 && v <= 32767; };
    for (int c = 0; c < C; ++c)
        if (!fits(p.ch[c].w0) || !fits(p.ch[c].w1)) return false;
    return true;
}

// Eight interleaved (x0, x1) pairs, as 16 bytes, to eight 32-bit results.
ZAN_INLINE __m256i weigh_pairs(__m128i pairs, const Vec& v) {
    const __m256i m = _mm256_madd_epi16(_mm256_cvtepu8_epi16(pairs), v.w);
    return _mm256_add_epi32(_mm256_sra_epi32(_mm256_add_epi32(m, v.round), v.shift), v.offset);
}

// Sixteen samples of each source to sixteen clipped bytes.
ZAN_INLINE __m128i weigh16(__m128i a, __m128i b, const Vec& v) {
    const __m256i lo = weigh_pairs(_mm_unpacklo_epi8(a, b), v);  // samples 0..7
    const __m256i hi = weigh_pairs(_mm_unpackhi_epi8(a, b), v);  // samples 8..15
    // Packs work per 128-bit half: restore sample order before the last one.
    const __m256i w = _mm256_permute4x64_epi64(_mm256_packs_epi32(lo, hi), 0xD8);
    return _mm_packus_epi16(_mm256_castsi256_si128(w), _mm256_extracti128_si256(w, 1));
}

// The low eight samples of each source to eight clipped bytes (low half).
ZAN_INLINE __m128i weigh8(__m128i a, __m128i b, const Vec& v) {
    const __m256i lo = weigh_pairs(_mm_unpacklo_epi8(a, b), v);
    const __m128i w = _mm_packs_epi32(_mm256_castsi256_si128(lo), _mm256_extracti128_si256(lo, 1));
    return _mm_packus_epi16(w, w);
}

// R rows of N bytes (N * R <= 16, N < 16) gathered into one vector and
// scattered back; the row pieces are put together in two 64-bit halves.
template <int N>
ZAN_INLINE uint64_t load_bytes(const uint8_t* p) {
    uint64_t t = 0;
    std::memcpy(&t, p, N);
    return t;
}

template <int N, int R>
ZAN_INLINE __m128i gather(const uint8_t* p, ptrdiff_t step) {
    uint64_t half[2] = {0, 0};
    for (int r = 0; r < R; ++r) half[r * N / 8] |= load_bytes<N>(p + step * r) << (8 * (r * N % 8));
    return _mm_set_epi64x(int64_t(half[1]), int64_t(half[0]));
}

template <int N, int R>
ZAN_INLINE void scatter(uint8_t* p, ptrdiff_t step, __m128i v) {
    const uint64_t half[2] = {uint64_t(_mm_cvtsi128_si64(v)), uint64_t(_mm_extract_epi64(v, 1))};
    for (int r = 0; r < R; ++r) {
        const uint64_t t = half[r * N / 8] >> (8 * (r * N % 8));
        std::memcpy(p + step * r, &t, N);
    }
}

// Block and vectors are copied to locals: byte stores may alias anything,
// local copies stay in registers.
template <int C, bool Two, int W, int H>
void kernel(const Block<uint8_t>& block, const Vec& vec) {
    const Block<uint8_t> k = block;
    const Vec v = vec;
    constexpr int N = C * W;  // bytes per row
    const __m128i zero = _mm_setzero_si128();
    if constexpr (N >= 16) {
        for (int y = 0; y < H; ++y) {
            const uint8_t* a = k.a + k.aStep * y;
            const uint8_t* b = Two ? k.b + k.bStep * y : nullptr;
            uint8_t* d = k.d + k.dStep * y;
            for (int x = 0; x < N; x += 16) {
                const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
                const __m128i vb = Two ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x)) : zero;
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), weigh16(va, vb, v));
            }
        }
    } else {
        constexpr int R = (16 / N) < H ? 16 / N : H;  // rows per chunk
        for (int y = 0; y < H; y += R) {
            const __m128i va = gather<N, R>(k.a + k.aStep * y, k.aStep);
            const __m128i vb = Two ? gather<N, R>(k.b + k.bStep * y, k.bStep) : zero;
            const __m128i out = N * R == 16 ? weigh16(va, vb, v) : weigh8(va, vb, v);
            scatter<N, R>(k.d + k.dStep * y, k.dStep, out);
        }
    }
}

// The 16 specialisations of one (channels, sources) configuration.
template <int C, bool Two>
struct Table {
    using Fn = void (*)(const Block<uint8_t>&, const Vec&);
    static constexpr int dim(size_t i) { return 2 << i; }
    template <size_t... I>
    static constexpr std::array<Fn, 16> make(std::index_sequence<I...>) {
        return {&kernel<C, Two, dim(I / 4), dim(I % 4)>...};
    }
    static constexpr std::array<Fn, 16> fns = make(std::make_index_sequence<16>{});
};

ZAN_INLINE int size_index(int v) { return std::countr_zero(unsigned(v)) - 1; }  // 2, 4, 8, 16 -> 0..3

struct Avx2 {
    template <int C, bool Two, class T>
    ZAN_INLINE void run(const Block<T>& k, const Params& p) {
        static_assert(sizeof(T) == 1, "AVX2 kernels serve the 8-bit forms");
        if (!fits_16bit<C>(p)) {
            weigh_block<T, C, Two>(k, p);
            return;
        }
        const int w = k.samples / C;
        Table<C, Two>::fns[size_t(4 * size_index(w) + size_index(k.height))](k, make_vec<C>(p));
    }
};

}  // namespace
}  // namespace zan::h264w

namespace zan::avx2 {

using Policy = h264w::Avx2;

#include "h264/weight_exports_8u.inc"

}  // namespace zan::avx2
