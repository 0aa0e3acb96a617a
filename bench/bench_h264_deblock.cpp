// H.264 deblocking per macroblock, portable against AVX2: luma (vertical
// then horizontal edges), 4:2:0 chroma (Cb and Cr planes, or NV12), 4:2:2
// chroma, and the 16-bit luma form. Each iteration filters a fresh 128x128
// picture (64 macroblocks) with block-edge steps, so that the thresholds pass
// at most positions as they do in decoded video. "ns/MB" is the time per
// macroblock. bS: all 2 (tC0 2), or mixed 0..4 per segment.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "core/common.h"

namespace {

constexpr int kMbs = 8;  // macroblocks per row and per column

struct Setup {
    uint8_t alpha[4] = {40, 40, 40, 40}, beta[4] = {10, 10, 10, 10};
    uint8_t tc0[16], bs[2][16];  // bs[0] vertical, bs[1] horizontal
    explicit Setup(bool mixed) {
        std::mt19937 rng(7);
        for (int d = 0; d < 2; ++d)
            for (int i = 0; i < 16; ++i) bs[d][i] = uint8_t(mixed ? rng() % 5 : 2);
        for (int i = 0; i < 16; ++i) tc0[i] = uint8_t(mixed ? rng() % 4 : 2);
    }
};

// A picture of width x height samples: a gradient, a step per 4x4 block and
// small noise.
template <class T>
std::vector<T> picture(int width, int height, int shift) {
    std::mt19937 rng(11);
    std::vector<T> p(size_t(width) * height);
    std::vector<int> block(size_t(width / 4 + 1) * (height / 4 + 1));
    for (int& b : block) b = int(rng() % 13) - 6;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p[size_t(y) * width + x] =
                T((100 + x / 2 + y / 4 + block[size_t(y / 4) * (width / 4 + 1) + x / 4] + int(rng() % 5)) << shift);
    return p;
}

// Runs fn(origin of macroblock, step) over every macroblock but the first
// row and column (their neighbours lie outside). Every iteration filters an
// unfiltered picture: a pool of copies is refreshed, untimed, once it is used
// up.
template <class T, class Fn>
void per_mb(benchmark::State& state, int width, int height, int mbW, int mbH, int shift, Fn fn) {
    constexpr int kPool = 32;
    const std::vector<T> pristine = picture<T>(width, height, shift);
    const size_t n = pristine.size();
    std::vector<T> pool(n * kPool);
    int used = kPool, mbs = 0;
    for (auto _ : state) {
        if (used == kPool) {
            state.PauseTiming();
            for (int i = 0; i < kPool; ++i) std::memcpy(pool.data() + n * i, pristine.data(), n * sizeof(T));
            used = 0;
            state.ResumeTiming();
        }
        T* work = pool.data() + n * used++;
        mbs = 0;
        for (int my = 1; my < kMbs; ++my)
            for (int mx = 1; mx < kMbs; ++mx, ++mbs) fn(work + size_t(my * mbH) * width + mx * mbW, width);
        benchmark::ClobberMemory();
    }
    state.counters["ns/MB"] = benchmark::Counter(double(mbs), benchmark::Counter::kIsIterationInvariantRate |
                                                                   benchmark::Counter::kInvert);
}

using Plain = decltype(&zaniFilterDeblockingLuma_VerEdge_H264_8u_C1IR);

void luma(benchmark::State& state, Plain ver, Plain hor) {
    const Setup s(state.range(0) != 0);
    per_mb<uint8_t>(state, 16 * kMbs, 16 * kMbs, 16, 16, 0, [&](uint8_t* p, int step) {
        ver(p, step, s.alpha, s.beta, s.tc0, s.bs[0]);
        hor(p, step, s.alpha, s.beta, s.tc0, s.bs[1]);
    });
}

// Cb and Cr as two planes side by side in one buffer.
void chroma(benchmark::State& state, Plain ver, Plain hor) {
    const Setup s(state.range(0) != 0);
    per_mb<uint8_t>(state, 16 * kMbs, 8 * kMbs, 8, 8, 0, [&](uint8_t* p, int step) {
        for (uint8_t* c : {p, p + 8 * kMbs}) {
            ver(c, step, s.alpha, s.beta, s.tc0, s.bs[0]);
            hor(c, step, s.alpha, s.beta, s.tc0, s.bs[1]);
        }
    });
}

void nv12(benchmark::State& state, Plain ver, Plain hor) {
    const Setup s(state.range(0) != 0);
    per_mb<uint8_t>(state, 16 * kMbs, 8 * kMbs, 16, 8, 0, [&](uint8_t* p, int step) {
        ver(p, step, s.alpha, s.beta, s.tc0, s.bs[0]);
        hor(p, step, s.alpha, s.beta, s.tc0, s.bs[1]);
    });
}

using Record = decltype(&zaniFilterDeblockingChroma422VerEdge_H264_8u_C1IR);

void chroma422(benchmark::State& state, Record ver, Record hor) {
    const Setup s(state.range(0) != 0);
    per_mb<uint8_t>(state, 16 * kMbs, 16 * kMbs, 8, 16, 0, [&](uint8_t* p, int step) {
        for (uint8_t* c : {p, p + 8 * kMbs}) {
            const ZanFilterDeblock_8u v{c, step, s.alpha, s.beta, s.tc0, s.bs[0]};
            const ZanFilterDeblock_8u h{c, step, s.alpha, s.beta, s.tc0, s.bs[1]};
            ver(&v);
            hor(&h);
        }
    });
}

void luma16(benchmark::State& state) {
    const Setup s(state.range(0) != 0);
    uint16_t alpha[2], beta[2], tc0[16];
    for (int i = 0; i < 2; ++i) alpha[i] = uint16_t(s.alpha[i] << 2), beta[i] = uint16_t(s.beta[i] << 2);
    for (int i = 0; i < 16; ++i) tc0[i] = uint16_t(s.tc0[i] << 2);
    per_mb<uint16_t>(state, 16 * kMbs, 16 * kMbs, 16, 16, 2, [&](uint16_t* p, int step) {
        const ZanFilterDeblock_16u v{p, step, alpha, beta, tc0, s.bs[0], 10};
        const ZanFilterDeblock_16u h{p, step, alpha, beta, tc0, s.bs[1], 10};
        zan::c::zaniFilterDeblockingLumaVerEdge_H264_16u_C1IR(&v);
        zan::c::zaniFilterDeblockingLumaHorEdge_H264_16u_C1IR(&h);
    });
}

#define ZB_PAIR(KIND, VER, HOR)                                                                          \
    void BM_Deblock_##KIND##_c(benchmark::State& s) { KIND(s, zan::c::VER, zan::c::HOR); }            \
    void BM_Deblock_##KIND##_avx2(benchmark::State& s) { KIND(s, zan::avx2::VER, zan::avx2::HOR); }   \
    BENCHMARK(BM_Deblock_##KIND##_c)->ArgName("mixedBs")->Arg(0)->Arg(1);                              \
    BENCHMARK(BM_Deblock_##KIND##_avx2)->ArgName("mixedBs")->Arg(0)->Arg(1);

ZB_PAIR(luma, zaniFilterDeblockingLuma_VerEdge_H264_8u_C1IR, zaniFilterDeblockingLuma_HorEdge_H264_8u_C1IR)
ZB_PAIR(chroma, zaniFilterDeblockingChroma_VerEdge_H264_8u_C1IR, zaniFilterDeblockingChroma_HorEdge_H264_8u_C1IR)
ZB_PAIR(nv12, zaniFilterDeblockingChroma_VerEdge_H264_8u_C2IR, zaniFilterDeblockingChroma_HorEdge_H264_8u_C2IR)
ZB_PAIR(chroma422, zaniFilterDeblockingChroma422VerEdge_H264_8u_C1IR,
        zaniFilterDeblockingChroma422HorEdge_H264_8u_C1IR)
#undef ZB_PAIR

void BM_Deblock_luma16_c(benchmark::State& s) { luma16(s); }
BENCHMARK(BM_Deblock_luma16_c)->ArgName("mixedBs")->Arg(0)->Arg(1);

}  // namespace
