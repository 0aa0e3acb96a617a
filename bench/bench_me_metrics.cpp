// Block metrics: portable against AVX2 for every SAD, SATD, SSD and GetDiff
// size, the multi-candidate SADs at N = 64, and (when libavutil is found) the
// 16x16 SAD of its pixelutils side by side with ours.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/common.h"

#ifdef ZANVC_HAVE_LIBAVUTIL
extern "C" {
#include <libavutil/pixelutils.h>
}
#endif

namespace {

// A 128 x 64 picture of 8- or 16-bit samples, cache-resident; the blocks
// read at an odd offset like a motion search does.
struct Pictures {
    static constexpr int kStep = 256;  // bytes
    Pictures() : a(kStep * 64), b(kStep * 64), d(kStep * 64) {
        uint32_t x = 12345;
        for (size_t i = 0; i < a.size(); ++i) {
            x = x * 1103515245u + 12345u;
            a[i] = uint8_t(x >> 24);
            b[i] = uint8_t((x >> 13) & 0x7F);  // 15-bit 16-bit samples where read as 16-bit
        }
    }
    const Zan8u* src() const { return a.data() + 32; }
    const Zan8u* ref() const { return b.data() + 37; }
    template <class T>
    const T* src16() const {
        return reinterpret_cast<const T*>(a.data() + 32);
    }
    template <class T>
    const T* ref16() const {
        return reinterpret_cast<const T*>(b.data() + 38);
    }
    Zan16s* out() { return reinterpret_cast<Zan16s*>(d.data()); }
    std::vector<uint8_t> a, b, d;
};

Pictures& pics() {
    static Pictures p;
    return p;
}

// (src, step, ref, step, out[, mcType]) with mcType = range(0).
template <class T, class Fn>
void bm_block(benchmark::State& st, Fn fn) {
    auto& p = pics();
    const int mc = int(st.range(0));
    Zan32s out = 0;
    for (auto _ : st) {
        if constexpr (std::is_invocable_v<Fn, const T*, int32_t, const T*, int32_t, Zan32s*, int32_t>)
            fn(p.src16<T>(), Pictures::kStep, p.ref16<T>(), Pictures::kStep, &out, mc);
        else
            fn(p.src16<T>(), Pictures::kStep, p.ref16<T>(), Pictures::kStep, &out);
        benchmark::DoNotOptimize(out);
    }
}

template <class Fn>
void bm_block8(benchmark::State& st, Fn fn) {
    bm_block<Zan8u>(st, fn);
}
template <class Fn>
void bm_block16(benchmark::State& st, Fn fn) {
    bm_block<Zan16u>(st, fn);
}

template <class Fn>
void bm_sqr_diff(benchmark::State& st, Fn fn) {
    auto& p = pics();
    Zan32s out = 0;
    for (auto _ : st) {
        fn(p.src(), Pictures::kStep, p.ref(), Pictures::kStep, int32_t(st.range(0)), &out);
        benchmark::DoNotOptimize(out);
    }
}

template <class Fn>
void bm_xn(benchmark::State& st, Fn fn) {
    auto& p = pics();
    Zan16u out[64];
    for (auto _ : st) {
        fn(p.src(), Pictures::kStep, p.ref(), Pictures::kStep, out, 64);
        benchmark::ClobberMemory();
    }
}

template <class Fn>
void bm_get_diff(benchmark::State& st, Fn fn) {
    auto& p = pics();
    const int mc = int(st.range(0));
    for (auto _ : st) {
        fn(p.src(), Pictures::kStep, p.ref(), Pictures::kStep, p.out(), 64, nullptr, 0, mc, 0);
        benchmark::ClobberMemory();
    }
}

template <class Fn>
void bm_get_diff_b(benchmark::State& st, Fn fn) {
    auto& p = pics();
    const int mc = int(st.range(0));
    for (auto _ : st) {
        fn(p.src(), Pictures::kStep, p.ref(), Pictures::kStep, mc, p.ref() + 3, Pictures::kStep, mc, p.out(), 64, 0);
        benchmark::ClobberMemory();
    }
}

#define PAIR(BM, NAME, ARGS)                             \
    BENCHMARK_CAPTURE(BM, NAME##_c, zan::c::NAME) ARGS; \
    BENCHMARK_CAPTURE(BM, NAME##_avx2, zan::avx2::NAME) ARGS
#define MC4 ->Arg(0)->Arg(4)->Arg(8)->Arg(12)
#define FF ->Arg(0)

// Single-block SADs.
PAIR(bm_block8, zaniSAD16x16_8u32s, MC4);
PAIR(bm_block8, zaniSAD16x8_8u32s_C1R, MC4);
PAIR(bm_block8, zaniSAD8x8_8u32s_C1R, MC4);
PAIR(bm_block8, zaniSAD8x16_8u32s_C1R, FF);
PAIR(bm_block8, zaniSAD8x4_8u32s_C1R, FF);
PAIR(bm_block8, zaniSAD4x8_8u32s_C1R, FF);
PAIR(bm_block8, zaniSAD4x4_8u32s, FF);
PAIR(bm_block16, zaniSAD16x16_16u32s_C1R, MC4);
PAIR(bm_block16, zaniSAD8x8_16u32s_C1R, MC4);
PAIR(bm_block16, zaniSAD4x4_16u32s_C1R, MC4);
// Multi-candidate SADs, N = 64.
PAIR(bm_xn, zaniSAD16x16xN_8u16u_C1R, );
PAIR(bm_xn, zaniSAD8x8xN_8u16u_C1R, );
PAIR(bm_xn, zaniSAD4x4xN_8u16u_C1R, );
PAIR(bm_xn, zaniSAD2x2xN_8u16u_C1R, );
// SATD and the 8x8 Hadamard SAD.
PAIR(bm_block8, zaniSATD16x16_8u32s_C1R, FF);
PAIR(bm_block8, zaniSATD16x8_8u32s_C1R, FF);
PAIR(bm_block8, zaniSATD8x16_8u32s_C1R, FF);
PAIR(bm_block8, zaniSATD8x8_8u32s_C1R, FF);
PAIR(bm_block8, zaniSATD8x4_8u32s_C1R, FF);
PAIR(bm_block8, zaniSATD4x8_8u32s_C1R, FF);
PAIR(bm_block8, zaniSATD4x4_8u32s_C1R, FF);
PAIR(bm_block8, zaniSAT8x8D_8u32s_C1R, FF);
PAIR(bm_block16, zaniSAT8x8D_16u32s_C1R, FF);
// Squared differences.
PAIR(bm_block8, zaniSSD8x8_8u32s_C1R, MC4);
PAIR(bm_block8, zaniSSD4x4_8u32s_C1R, MC4);
PAIR(bm_sqr_diff, zaniSqrDiff16x16_8u32s, MC4);
// Residual extraction.
PAIR(bm_get_diff, zaniGetDiff16x16_8u16s_C1, MC4);
PAIR(bm_get_diff, zaniGetDiff16x8_8u16s_C1, MC4);
PAIR(bm_get_diff, zaniGetDiff8x16_8u16s_C1, MC4);
PAIR(bm_get_diff, zaniGetDiff8x8_8u16s_C1, MC4);
PAIR(bm_get_diff, zaniGetDiff8x4_8u16s_C1, MC4);
PAIR(bm_get_diff_b, zaniGetDiff16x16B_8u16s_C1, MC4);
PAIR(bm_get_diff_b, zaniGetDiff8x8B_8u16s_C1, MC4);

// The public entry (through the entry cell) of the AVX2 16x16 SAD.
void bm_sad16x16_entry(benchmark::State& st) {
    auto& p = pics();
    Zan32s out = 0;
    for (auto _ : st) {
        zaniSAD16x16_8u32s(p.src(), Pictures::kStep, p.ref(), Pictures::kStep, &out, 0);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(bm_sad16x16_entry);

#ifdef ZANVC_HAVE_LIBAVUTIL
// libavutil's pixelutils 16x16 SAD (unaligned source and reference).
void bm_sad16x16_libavutil(benchmark::State& st) {
    auto& p = pics();
    av_pixelutils_sad_fn sad = av_pixelutils_get_sad_fn(4, 4, 0, nullptr);
    if (!sad) {
        st.SkipWithError("pixelutils SAD unavailable");
        return;
    }
    int out = 0;
    for (auto _ : st) {
        out = sad(p.src(), Pictures::kStep, p.ref(), Pictures::kStep);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(bm_sad16x16_libavutil);
#endif

}  // namespace
