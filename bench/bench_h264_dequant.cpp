// H.264 dequantization and inverse transforms: ns per 4x4 block, portable
// against AVX2.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "core/common.h"

namespace {

constexpr int kBlocks = 256;  // a working set of coded blocks

struct Blocks {
    std::vector<int16_t> coef = std::vector<int16_t>(16 * kBlocks);
    std::vector<uint8_t> pred = std::vector<uint8_t>(16 * kBlocks);
    std::vector<uint8_t> dst = std::vector<uint8_t>(16 * kBlocks);
    Blocks() {
        std::mt19937 g(7);
        for (auto& c : coef) c = int16_t(int(g() % 41) - 20);
        for (auto& p : pred) p = uint8_t(g());
    }
};

template <class Fn>
void add_bench(benchmark::State& state, Fn fn) {
    Blocks b;
    for (auto _ : state) {
        for (int i = 0; i < kBlocks; ++i)
            fn(b.pred.data() + 16 * i, b.coef.data() + 16 * i, nullptr, b.dst.data() + 16 * i, 4, 4, 28, 1);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kBlocks);
    state.counters["ns_per_block"] =
        benchmark::Counter(double(state.iterations()) * kBlocks, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

template <class Fn>
void inv_bench(benchmark::State& state, Fn fn) {
    Blocks b;
    std::vector<int16_t> out(16 * kBlocks);
    for (auto _ : state) {
        for (int i = 0; i < kBlocks; ++i) fn(b.coef.data() + 16 * i, out.data() + 16 * i);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kBlocks);
    state.counters["ns_per_block"] =
        benchmark::Counter(double(state.iterations()) * kBlocks, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_H264DequantAdd_c(benchmark::State& s) { add_bench(s, zan::c::zaniDequantTransformResidualAndAdd_H264_16s_C1I); }
void BM_H264DequantAdd_avx2(benchmark::State& s) {
    add_bench(s, zan::avx2::zaniDequantTransformResidualAndAdd_H264_16s_C1I);
}
void BM_H264Inv4x4_c(benchmark::State& s) { inv_bench(s, zan::c::zaniTransformResidual4x4Inv_H264_16s_C1); }
void BM_H264Inv4x4_avx2(benchmark::State& s) { inv_bench(s, zan::avx2::zaniTransformResidual4x4Inv_H264_16s_C1); }

BENCHMARK(BM_H264DequantAdd_c);
BENCHMARK(BM_H264DequantAdd_avx2);
BENCHMARK(BM_H264Inv4x4_c);
BENCHMARK(BM_H264Inv4x4_avx2);

}  // namespace
