// H.264 weighted prediction and averaging, AVX2 kernels.
//
// 8-bit samples: each pair (x0, x1) is widened to two 16-bit lanes and
// multiplied by (w0, w1) with vpmaddwd, which yields x0 * w0 + x1 * w1 exactly
// in a 32-bit lane for 16-bit weights; weights outside the 16-bit range
// (never met in H.264) take the portable loop. 16-bit samples are widened to
// 32-bit lanes and multiplied with vpmulld, which wraps exactly like the
// portable formula for every weight. Rounding, the arithmetic shift and the
// offset then run in 32-bit lanes with the same wrap-around as the portable
// formula; saturating packs (8-bit) or min/max (16-bit) clip.
//
// Kernels are specialised per block size through a 16-entry table indexed by
// 4 * sizeIndex[width] + sizeIndex[height]. Rows run as 16-byte chunks (16
// samples of 8 bits or 8 of 16 bits); narrower rows are gathered several to
// a chunk.
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
    __m256i w0, w1;  // lane i: w0, w1 of channel i % C
    __m256i round;   // 32-bit
    __m256i offset;  // lane i: offset of channel i % C
    __m256i maxval;
    __m128i shift;   // count 0..32
};

template <int C>
Vec make_vec(const Params& p) {
    int32_t w[8], w0[8], w1[8], o[8];
    for (int i = 0; i < 8; ++i) {
        const Lane& l = p.ch[i % C];
        w[i] = int32_t(uint32_t(uint16_t(l.w0)) | (uint32_t(uint16_t(l.w1)) << 16));
        w0[i] = l.w0, w1[i] = l.w1, o[i] = l.offset;
    }
    const auto load = [](const int32_t* v) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v)); };
    return {load(w),          load(w0), load(w1), _mm256_set1_epi32(int32_t(p.round)), load(o),
            _mm256_set1_epi32(p.maxval), _mm_cvtsi32_si128(p.shift)};
}

// The 8-bit fast path multiplies with 16-bit weights.
template <int C>
bool fits_16bit(const Params& p) {
    const auto fits = [](int32_t v) { return v >= -32768 && v <= 32767; };
    for (int c = 0; c < C; ++c)
        if (!fits(p.ch[c].w0) || !fits(p.ch[c].w1)) return false;
    return true;
}

ZAN_INLINE __m256i round_shift_offset(__m256i m, const Vec& v) {
    return _mm256_add_epi32(_mm256_sra_epi32(_mm256_add_epi32(m, v.round), v.shift), v.offset);
}

// Eight interleaved (x0, x1) byte pairs, as 16 bytes, to eight 32-bit results.
ZAN_INLINE __m256i weigh_pairs(__m128i pairs, const Vec& v) {
    return round_shift_offset(_mm256_madd_epi16(_mm256_cvtepu8_epi16(pairs), v.w), v);
}

// One 16-byte chunk of each source to one 16-byte chunk of clipped results.
template <class T, bool Two>
ZAN_INLINE __m128i weigh_chunk(__m128i a, __m128i b, const Vec& v) {
    if constexpr (sizeof(T) == 1) {
        const __m256i lo = weigh_pairs(_mm_unpacklo_epi8(a, b), v);  // samples 0..7
        const __m256i hi = weigh_pairs(_mm_unpackhi_epi8(a, b), v);  // samples 8..15
        // Packs work per 128-bit half: restore sample order before the last one.
        const __m256i w = _mm256_permute4x64_epi64(_mm256_packs_epi32(lo, hi), 0xD8);
        return _mm_packus_epi16(_mm256_castsi256_si128(w), _mm256_extracti128_si256(w, 1));
    } else {
        __m256i m = _mm256_mullo_epi32(_mm256_cvtepu16_epi32(a), v.w0);
        if constexpr (Two) m = _mm256_add_epi32(m, _mm256_mullo_epi32(_mm256_cvtepu16_epi32(b), v.w1));
        // Clip to the maximum here, to 0 in the unsigned saturating pack.
        m = _mm256_min_epi32(round_shift_offset(m, v), v.maxval);
        const __m256i w = _mm256_permute4x64_epi64(_mm256_packus_epi32(m, m), 0x08);
        return _mm256_castsi256_si128(w);
    }
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

// One block of W x H pixels of C channels. Block and vectors are copied to
// locals: byte stores may alias anything, local copies stay in registers.
template <class T, int C, bool Two, int W, int H>
void kernel(const Block<T>& block, const Vec& vec) {
    const Vec v = vec;
    const auto a = reinterpret_cast<const uint8_t*>(block.a), b = reinterpret_cast<const uint8_t*>(block.b);
    const auto d = reinterpret_cast<uint8_t*>(block.d);
    const ptrdiff_t aStep = block.aStep * ptrdiff_t(sizeof(T)), bStep = block.bStep * ptrdiff_t(sizeof(T)),
                    dStep = block.dStep * ptrdiff_t(sizeof(T));
    constexpr int N = C * W * int(sizeof(T));  // bytes per row
    const __m128i zero = _mm_setzero_si128();
    if constexpr (N >= 16) {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < N; x += 16) {
                const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + aStep * y + x));
                const __m128i vb = Two ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + bStep * y + x)) : zero;
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + dStep * y + x), weigh_chunk<T, Two>(va, vb, v));
            }
    } else {
        constexpr int R = (16 / N) < H ? 16 / N : H;  // rows per chunk
        for (int y = 0; y < H; y += R) {
            const __m128i va = gather<N, R>(a + aStep * y, aStep);
            const __m128i vb = Two ? gather<N, R>(b + bStep * y, bStep) : zero;
            scatter<N, R>(d + dStep * y, dStep, weigh_chunk<T, Two>(va, vb, v));
        }
    }
}

// The 16 specialisations of one (sample type, channels, sources)
// configuration.
template <class T, int C, bool Two>
struct Table {
    using Fn = void (*)(const Block<T>&, const Vec&);
    static constexpr int dim(size_t i) { return 2 << i; }
    template <size_t... I>
    static constexpr std::array<Fn, 16> make(std::index_sequence<I...>) {
        return {&kernel<T, C, Two, dim(I / 4), dim(I % 4)>...};
    }
    static constexpr std::array<Fn, 16> fns = make(std::make_index_sequence<16>{});
};

ZAN_INLINE int size_index(int v) { return std::countr_zero(unsigned(v)) - 1; }  // 2, 4, 8, 16 -> 0..3

struct Avx2 {
    template <int C, bool Two, class T>
    ZAN_INLINE void run(const Block<T>& k, const Params& p) {
        if (sizeof(T) == 1 && !fits_16bit<C>(p)) {
            weigh_block<T, C, Two>(k, p);
            return;
        }
        const int w = k.samples / C;
        Table<T, C, Two>::fns[size_t(4 * size_index(w) + size_index(k.height))](k, make_vec<C>(p));
    }
};

}  // namespace
}  // namespace zan::h264w

namespace zan::avx2 {

using Policy = h264w::Avx2;

#include "h264/weight_exports.inc"

}  // namespace zan::avx2
