// H.264 macroblock reconstruction: ns per macroblock, portable against AVX2.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "core/common.h"

namespace {

constexpr int kStep = 64;

struct Mb {
    std::vector<uint8_t> pic = std::vector<uint8_t>(kStep * 48);
    std::vector<int16_t> coef = std::vector<int16_t>(16 * 27 + 64 * 4);
    std::vector<int16_t> levels = std::vector<int16_t>(64, 16 * 13);
    int32_t modes[16];
    Mb() {
        std::mt19937 g(3);
        for (auto& p : pic) p = uint8_t(g());
        for (auto& c : coef) c = int16_t(g() % 3 ? 0 : int(g() % 21) - 10);
        for (int i = 0; i < 16; ++i) modes[i] = int32_t(g() % 9);
    }
    uint8_t* mb() { return pic.data() + 16 * kStep + 16; }
};

template <class Fn>
void mb_bench(benchmark::State& state, Fn fn) {
    Mb m;
    for (auto _ : state) {
        int16_t* p = m.coef.data();
        benchmark::DoNotOptimize(fn(m, &p));
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_mb"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

#define RECON_BENCH(name, fn, ...)                                                             \
    void BM_H264Recon##name##_c(benchmark::State& s) {                                        \
        mb_bench(s, [](Mb& m, int16_t** pp) { return zan::c::fn(pp, __VA_ARGS__); });         \
    }                                                                                          \
    void BM_H264Recon##name##_avx2(benchmark::State& s) {                                     \
        mb_bench(s, [](Mb& m, int16_t** pp) { return zan::avx2::fn(pp, __VA_ARGS__); });      \
    }                                                                                          \
    BENCHMARK(BM_H264Recon##name##_c);                                                         \
    BENCHMARK(BM_H264Recon##name##_avx2);

RECON_BENCH(LumaInter, zaniReconstructLumaInterMB_H264_16s8u_C1R, m.mb(), kStep, 0x1FFFEu, 28)
RECON_BENCH(LumaIntra4x4, zaniReconstructLumaIntra4x4MB_H264_16s8u_C1R, m.mb(), kStep, m.modes, 0x1FFFEu, 28, 0,
            m.levels.data(), 0)
RECON_BENCH(LumaIntra8x8, zaniReconstructLumaIntra8x8MB_H264_16s8u_C1R, m.mb(), kStep, m.modes, 0xFu, 28, 0,
            m.levels.data(), 0)
RECON_BENCH(ChromaInter, zaniReconstructChromaInterMB_H264_16s8u_P2R, m.mb(), m.mb() + 24, kStep, 0x7FE0000u, 28)

}  // namespace
