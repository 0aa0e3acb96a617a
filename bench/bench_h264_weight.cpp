// H.264 weighted prediction: ns per 16x16 and 8x8 block, portable against
// AVX2, 8-bit and 16-bit (10-bit samples) forms. Blocks sit in a 64-byte-step
// picture row so that every call reads and writes warm cache lines.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/common.h"

namespace {

constexpr int kStep = 64;

struct Pics {
    std::vector<uint8_t> a, b, d;
    std::vector<uint16_t> a16, b16, d16;
    Pics() : a(kStep * 16), b(kStep * 16), d(kStep * 16), a16(kStep * 16), b16(kStep * 16), d16(kStep * 16) {
        for (size_t i = 0; i < a.size(); ++i) {
            a[i] = uint8_t(i * 7 + 3), b[i] = uint8_t(i * 13 + 1), d[i] = uint8_t(i * 5);
            a16[i] = uint16_t(i * 37 % 1024), b16[i] = uint16_t(i * 91 % 1024), d16[i] = uint16_t(i % 1024);
        }
    }
};

template <class Fn>
void run(benchmark::State& state, Fn fn) {
    Pics p;
    const int n = int(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(fn(p, ZanSize{n, n}));
        benchmark::ClobberMemory();
    }
}

template <auto F>
void BM_UniDir(benchmark::State& s) {
    run(s, [](Pics& p, ZanSize r) { return F(p.d.data(), kStep, 5, 41, -3, r); });
}
template <auto F>
void BM_BiDir(benchmark::State& s) {
    run(s, [](Pics& p, ZanSize r) { return F(p.a.data(), p.b.data(), p.d.data(), kStep, kStep, 5, 41, -3, 23, 7, r); });
}
template <auto F>
void BM_Implicit(benchmark::State& s) {
    run(s, [](Pics& p, ZanSize r) { return F(p.a.data(), p.b.data(), p.d.data(), kStep, kStep, 40, 24, r); });
}
template <auto F>
void BM_Average(benchmark::State& s) {
    run(s, [](Pics& p, ZanSize r) { return F(p.a.data(), p.d.data(), kStep, 3, 5, 3, 1, r); });
}
// NV12: a block of n x n CbCr pairs (2n bytes a row).
template <auto F>
void BM_BiDirNV12(benchmark::State& s) {
    run(s, [](Pics& p, ZanSize r) {
        const ZanBidirBlock_8u blk{p.a.data(), kStep, p.b.data(), kStep, p.d.data(), kStep, r};
        const ZanWeightParams l0{5, {41, 30}, {-3, 2}}, l1{0, {23, 34}, {7, -1}};
        return F(&blk, &l0, &l1);
    });
}
template <auto F>
void BM_UniDir16u(benchmark::State& s) {
    run(s, [](Pics& p, ZanSize r) { return F(p.d16.data(), kStep, 5, 41, -12, r, 10); });
}
template <auto F>
void BM_BiDir16u(benchmark::State& s) {
    run(s, [](Pics& p, ZanSize r) {
        const ZanBidir_16u blk{p.a16.data(), kStep, p.b16.data(), kStep, p.d16.data(), kStep, r, 10};
        return F(&blk, 5, 41, -12, 23, 28);
    });
}

#define BLOCKS Arg(16)->Arg(8)
BENCHMARK(BM_UniDir<zan::c::zaniUniDirWeightBlock_H264_8u_C1R>)->Name("H264Weight/UniDir_c")->BLOCKS;
BENCHMARK(BM_UniDir<zan::avx2::zaniUniDirWeightBlock_H264_8u_C1R>)->Name("H264Weight/UniDir_avx2")->BLOCKS;
BENCHMARK(BM_BiDir<zan::c::zaniBiDirWeightBlock_H264_8u_P2P1R>)->Name("H264Weight/BiDir_c")->BLOCKS;
BENCHMARK(BM_BiDir<zan::avx2::zaniBiDirWeightBlock_H264_8u_P2P1R>)->Name("H264Weight/BiDir_avx2")->BLOCKS;
BENCHMARK(BM_Implicit<zan::c::zaniBiDirWeightBlockImplicit_H264_8u_P2P1R>)->Name("H264Weight/Implicit_c")->BLOCKS;
BENCHMARK(BM_Implicit<zan::avx2::zaniBiDirWeightBlockImplicit_H264_8u_P2P1R>)
    ->Name("H264Weight/Implicit_avx2")
    ->BLOCKS;
BENCHMARK(BM_Average<zan::c::zaniWeightedAverage_H264_8u_C1IR>)->Name("H264Weight/Average_c")->BLOCKS;
BENCHMARK(BM_Average<zan::avx2::zaniWeightedAverage_H264_8u_C1IR>)->Name("H264Weight/Average_avx2")->BLOCKS;
BENCHMARK(BM_BiDirNV12<zan::c::zaniBiDirWeightBlock_H264_8u_C2R>)->Name("H264Weight/BiDirNV12_c")->BLOCKS;
BENCHMARK(BM_BiDirNV12<zan::avx2::zaniBiDirWeightBlock_H264_8u_C2R>)->Name("H264Weight/BiDirNV12_avx2")->BLOCKS;
BENCHMARK(BM_UniDir16u<zan::c::zaniUnidirWeight_H264_16u_IP2P1R>)->Name("H264Weight/UniDir16u_c")->BLOCKS;
BENCHMARK(BM_UniDir16u<zan::avx2::zaniUnidirWeight_H264_16u_IP2P1R>)->Name("H264Weight/UniDir16u_avx2")->BLOCKS;
BENCHMARK(BM_BiDir16u<zan::c::zaniBidirWeight_H264_16u_P2P1R>)->Name("H264Weight/BiDir16u_c")->BLOCKS;
BENCHMARK(BM_BiDir16u<zan::avx2::zaniBidirWeight_H264_16u_P2P1R>)->Name("H264Weight/BiDir16u_avx2")->BLOCKS;

}  // namespace
