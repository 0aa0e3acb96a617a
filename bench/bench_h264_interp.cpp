// H.264 interpolation: ns per block, portable against AVX2. Luma at the
// positions G (copy), b (horizontal half), j (centre) and f (quarter over
// j), chroma at (3, 5), the Block function on its edge path, averaging.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/common.h"

namespace {

constexpr int kStride = 256;

std::vector<uint8_t> random_plane(size_t n) {
    std::vector<uint8_t> v(n);
    uint32_t x = 12345;
    for (auto& b : v) b = uint8_t((x = x * 1103515245u + 12345u) >> 24);
    return v;
}

template <class Fn>
void luma_bench(benchmark::State& state, Fn fn) {
    const int size = int(state.range(0)), pos = int(state.range(1));
    const auto src = random_plane(kStride * 64);
    std::vector<uint8_t> dst(kStride * 32);
    const uint8_t* s = src.data() + 8 * kStride + 8;
    for (auto _ : state) {
        fn(s, kStride, dst.data(), kStride, pos & 3, pos >> 2, ZanSize{size, size});
        benchmark::ClobberMemory();
    }
}
void BM_H264Luma_c(benchmark::State& s) { luma_bench(s, zan::c::zaniInterpolateLuma_H264_8u_C1R); }
void BM_H264Luma_avx2(benchmark::State& s) { luma_bench(s, zan::avx2::zaniInterpolateLuma_H264_8u_C1R); }

// Arguments: block size, position dy*4+dx (0 G, 2 b, 10 j, 6 f).
#define LUMA_ARGS                                                                                           \
    ArgNames({"size", "pos"})->Args({16, 0})->Args({16, 2})->Args({16, 10})->Args({16, 6})->Args({8, 0})    \
        ->Args({8, 2})->Args({8, 10})->Args({8, 6})
BENCHMARK(BM_H264Luma_c)->LUMA_ARGS;
BENCHMARK(BM_H264Luma_avx2)->LUMA_ARGS;

template <class Fn>
void chroma_bench(benchmark::State& state, Fn fn) {
    const auto src = random_plane(kStride * 32);
    std::vector<uint8_t> dst(kStride * 16);
    for (auto _ : state) {
        fn(src.data(), kStride, dst.data(), kStride, 3, 5, ZanSize{8, 8});
        benchmark::ClobberMemory();
    }
}
void BM_H264Chroma8x8_35_c(benchmark::State& s) { chroma_bench(s, zan::c::zaniInterpolateChroma_H264_8u_C1R); }
void BM_H264Chroma8x8_35_avx2(benchmark::State& s) { chroma_bench(s, zan::avx2::zaniInterpolateChroma_H264_8u_C1R); }
BENCHMARK(BM_H264Chroma8x8_35_c);
BENCHMARK(BM_H264Chroma8x8_35_avx2);

// A 16x16 block at the picture's top-left corner moved up and left by
// about two samples (positions j and g): the needed area crosses two edges,
// so the call reads through the edge clamp.
template <class Fn>
void block_bench(benchmark::State& state, Fn fn) {
    const auto src = random_plane(kStride * 64);
    std::vector<uint8_t> dst(kStride * 16);
    const int pos = int(state.range(0));
    ZanInterpolateBlock_8u p{{src.data(), nullptr}, kStride, {dst.data(), nullptr}, kStride, {176, 64}, {16, 16},
                             {0, 0}, {-8 + (pos & 3), -8 + (pos >> 2)}};
    for (auto _ : state) {
        fn(&p);
        benchmark::ClobberMemory();
    }
}
void BM_H264LumaBlockEdge_c(benchmark::State& s) { block_bench(s, zan::c::zaniInterpolateLumaBlock_H264_8u_P1R); }
void BM_H264LumaBlockEdge_avx2(benchmark::State& s) {
    block_bench(s, zan::avx2::zaniInterpolateLumaBlock_H264_8u_P1R);
}
BENCHMARK(BM_H264LumaBlockEdge_c)->ArgName("pos")->Arg(10)->Arg(7);
BENCHMARK(BM_H264LumaBlockEdge_avx2)->ArgName("pos")->Arg(10)->Arg(7);

template <class Fn>
void average_bench(benchmark::State& state, Fn fn) {
    const auto a = random_plane(kStride * 16), b = random_plane(kStride * 16 + 7);
    std::vector<uint8_t> dst(kStride * 16);
    for (auto _ : state) {
        fn(a.data(), b.data() + 7, dst.data(), 16, 16, kStride, kStride, kStride);
        benchmark::ClobberMemory();
    }
}
void BM_H264Average16x16_c(benchmark::State& s) { average_bench(s, zan::c::zaniInterpolateBlock_H264_8u_P3P1R); }
void BM_H264Average16x16_avx2(benchmark::State& s) {
    average_bench(s, zan::avx2::zaniInterpolateBlock_H264_8u_P3P1R);
}
BENCHMARK(BM_H264Average16x16_c);
BENCHMARK(BM_H264Average16x16_avx2);

}  // namespace
