// Region copy and fill against memcpy/memset, small and large images.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/common.h"

namespace {

template <class Fn>
void copy_bench(benchmark::State& state, Fn fn) {
    const int w = int(state.range(0)), h = int(state.range(1));
    std::vector<uint8_t> src(size_t(w) * h + 64, 1), dst(size_t(w) * h + 64, 0);
    for (auto _ : state) {
        fn(src.data(), w, dst.data(), w, ZanSize{w, h});
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * w * h);
}

void BM_Copy_c(benchmark::State& s) { copy_bench(s, zan::c::zaniCopy_8u_C1R); }
void BM_Copy_avx2(benchmark::State& s) { copy_bench(s, zan::avx2::zaniCopy_8u_C1R); }
void BM_Copy_memcpy(benchmark::State& s) {
    copy_bench(s, [](const uint8_t* a, int as, uint8_t* b, int bs, ZanSize r) {
        for (int y = 0; y < r.height; ++y) std::memcpy(b + size_t(bs) * y, a + size_t(as) * y, size_t(r.width));
        return ZAN_OK;
    });
}

template <class Fn>
void set_bench(benchmark::State& state, Fn fn) {
    const int w = int(state.range(0)), h = int(state.range(1));
    std::vector<uint8_t> dst(size_t(w) * h + 64, 0);
    for (auto _ : state) {
        fn(uint8_t(7), dst.data(), w, ZanSize{w, h});
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * w * h);
}

void BM_Set_c(benchmark::State& s) { set_bench(s, zan::c::zaniSet_8u_C1R); }
void BM_Set_avx2(benchmark::State& s) { set_bench(s, zan::avx2::zaniSet_8u_C1R); }
void BM_Set_memset(benchmark::State& s) {
    set_bench(s, [](uint8_t v, uint8_t* d, int step, ZanSize r) {
        for (int y = 0; y < r.height; ++y) std::memset(d + size_t(step) * y, v, size_t(r.width));
        return ZAN_OK;
    });
}

#define SIZES Args({16, 16})->Args({720, 576})->Args({1920, 1080})->Args({7680, 4320})
BENCHMARK(BM_Copy_c)->SIZES;
BENCHMARK(BM_Copy_avx2)->SIZES;
BENCHMARK(BM_Copy_memcpy)->SIZES;
BENCHMARK(BM_Set_c)->SIZES;
BENCHMARK(BM_Set_avx2)->SIZES;
BENCHMARK(BM_Set_memset)->SIZES;

}  // namespace
