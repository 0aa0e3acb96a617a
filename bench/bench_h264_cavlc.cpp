// H.264 CAVLC and Exp-Golomb decoding, portable against AVX2 (BMI2/LZCNT
// build): ns per decoded 4x4 block for typical blocks (TotalCoeff 3..8,
// small levels) and dense blocks (TotalCoeff 13..16, larger levels), per
// chroma DC block and per Exp-Golomb code.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "h264_cavlc_tables.h"
#include "../tests/h264/cavlc_writer.h"
#include "core/common.h"

namespace {

constexpr int kBlocks = 1024;
constexpr Zan32s kZigzag[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};

struct Stream {
    std::vector<uint32_t> words;
    std::vector<int> nC;
};

// kBlocks 4x4 blocks with TotalCoeff in [lo, hi], level magnitudes mostly
// 1..maxSmall with an occasional larger one, nC in [nCLo, nCHi].
Stream make_4x4(int lo, int hi, int maxSmall, int nCLo, int nCHi) {
    std::mt19937 rng(1234);
    cavlc_writer::BitWriter w;
    Stream s;
    for (int b = 0; b < kBlocks; ++b) {
        int32_t list[16] = {};
        const int total = lo + int(rng() % unsigned(hi - lo + 1));
        // Coefficients packed toward low frequencies with a few gaps.
        int placed = 0;
        for (int k = 0; k < 16 && placed < total; ++k) {
            if (16 - k > total - placed && rng() % 4 == 0) continue;
            const int mag = rng() % 8 == 0 ? 1 + int(rng() % 40) : 1 + int(rng() % unsigned(maxSmall));
            list[k] = (rng() & 1) ? mag : -mag;
            ++placed;
        }
        const int nC = nCLo + int(rng() % unsigned(nCHi - nCLo + 1));
        cavlc_writer::put_block(w, cavlc_writer::Kind::Block4x4, nC, list, 16);
        s.nC.push_back(nC);
    }
    s.words = w.words(4);
    return s;
}

template <class Fn>
void bench_4x4(benchmark::State& state, Fn fn, const Stream& s) {
    const auto& t = zanvc_ex::H264CavlcTables::Get();
    std::vector<Zan16s> coeffs(16 * kBlocks);
    for (auto _ : state) {
        const Zan32u* p = s.words.data();
        Zan32s off = 31;
        Zan16s* dst = coeffs.data();
        Zan16s tc;
        for (int b = 0; b < kBlocks; ++b)
            fn(&p, &off, &tc, &dst, s.nC[size_t(b)], 16, t.CoeffToken(), t.TotalZeros(), t.RunBefore(), kZigzag);
        benchmark::DoNotOptimize(dst);
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_block"] =
        benchmark::Counter(double(kBlocks), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

const Stream& typical() {
    static const Stream s = make_4x4(3, 8, 3, 0, 3);
    return s;
}
const Stream& dense() {
    static const Stream s = make_4x4(13, 16, 12, 4, 12);
    return s;
}

void BM_CavlcTypical_c(benchmark::State& st) { bench_4x4(st, zan::c::zaniDecodeCAVLCCoeffs_H264_1u16s, typical()); }
void BM_CavlcTypical_avx2(benchmark::State& st) {
    bench_4x4(st, zan::avx2::zaniDecodeCAVLCCoeffs_H264_1u16s, typical());
}
void BM_CavlcDense_c(benchmark::State& st) { bench_4x4(st, zan::c::zaniDecodeCAVLCCoeffs_H264_1u16s, dense()); }
void BM_CavlcDense_avx2(benchmark::State& st) { bench_4x4(st, zan::avx2::zaniDecodeCAVLCCoeffs_H264_1u16s, dense()); }

template <class Fn>
void bench_chroma_dc(benchmark::State& state, Fn fn) {
    static const std::vector<uint32_t> words = [] {
        std::mt19937 rng(99);
        cavlc_writer::BitWriter w;
        for (int b = 0; b < kBlocks; ++b) {
            int32_t list[4];
            for (int32_t& v : list) v = rng() % 3 == 0 ? int32_t(rng() % 9) - 4 : 0;
            cavlc_writer::put_block(w, cavlc_writer::Kind::ChromaDc2x2, -1, list, 4);
        }
        return w.words(4);
    }();
    const auto& t = zanvc_ex::H264CavlcTables::Get();
    std::vector<Zan16s> coeffs(4 * kBlocks);
    for (auto _ : state) {
        const Zan32u* p = words.data();
        Zan32s off = 31;
        Zan16s* dst = coeffs.data();
        Zan16s tc;
        for (int b = 0; b < kBlocks; ++b)
            fn(&p, &off, &tc, &dst, t.CoeffTokenChromaDc(), t.TotalZerosChromaDc(), t.RunBefore());
        benchmark::DoNotOptimize(dst);
    }
    state.counters["ns_per_block"] =
        benchmark::Counter(double(kBlocks), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_CavlcChromaDc_c(benchmark::State& st) { bench_chroma_dc(st, zan::c::zaniDecodeCAVLCChromaDcCoeffs_H264_1u16s); }
void BM_CavlcChromaDc_avx2(benchmark::State& st) {
    bench_chroma_dc(st, zan::avx2::zaniDecodeCAVLCChromaDcCoeffs_H264_1u16s);
}

template <class Fn>
void bench_exp_golomb(benchmark::State& state, Fn fn) {
    static const std::vector<uint32_t> words = [] {
        std::mt19937 rng(7);
        cavlc_writer::BitWriter w;
        for (int i = 0; i < kBlocks; ++i) cavlc_writer::put_se(w, int32_t(rng() % 64) - 32);
        return w.words(4);
    }();
    for (auto _ : state) {
        const Zan32u* p = words.data();
        Zan32s off = 31, v = 0, sum = 0;
        for (int i = 0; i < kBlocks; ++i) {
            fn(&p, &off, &v, 1);
            sum += v;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["ns_per_code"] =
        benchmark::Counter(double(kBlocks), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ExpGolomb_c(benchmark::State& st) { bench_exp_golomb(st, zan::c::zaniDecodeExpGolombOne_H264_1u32s); }
void BM_ExpGolomb_avx2(benchmark::State& st) { bench_exp_golomb(st, zan::avx2::zaniDecodeExpGolombOne_H264_1u32s); }

BENCHMARK(BM_CavlcTypical_c);
BENCHMARK(BM_CavlcTypical_avx2);
BENCHMARK(BM_CavlcDense_c);
BENCHMARK(BM_CavlcDense_avx2);
BENCHMARK(BM_CavlcChromaDc_c);
BENCHMARK(BM_CavlcChromaDc_avx2);
BENCHMARK(BM_ExpGolomb_c);
BENCHMARK(BM_ExpGolomb_avx2);

}  // namespace
