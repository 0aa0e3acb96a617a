// Test support: random inputs, guarded buffers and sentinel checks for
// comparing the portable implementation and the AVX2 kernel of each export
// (checkasm style), and for proving that failed argument checks write
// nothing.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <type_traits>
#include <vector>

#include "core/common.h"

namespace zt {

bool have_avx2();

// Skips the current test when the machine cannot run the AVX2 kernels.
#define ZT_REQUIRE_AVX2()                                         \
    do {                                                          \
        if (!::zt::have_avx2()) GTEST_SKIP() << "no AVX2 here";   \
    } while (0)

// The seed of every test's generator: ZANVC_TEST_SEED, else a fixed value.
uint64_t base_seed();

// Deterministic generator; each test makes its own from the test's name so
// that a failure reproduces alone.
class Rng {
public:
    Rng();  // seeded from base_seed() and the running test's name
    explicit Rng(uint64_t seed) : gen_(seed) {}
    uint32_t u32() { return uint32_t(gen_()); }
    // Uniform in [lo, hi].
    int range(int lo, int hi) { return lo + int(gen_() % uint64_t(int64_t(hi) - lo + 1)); }
    bool coin() { return gen_() & 1; }
    std::mt19937_64& engine() { return gen_; }

private:
    std::mt19937_64 gen_;
};

// How sample values are drawn: uniform over [lo, hi], all lo, all hi, values
// next to each other (a common base +-1), or alternating lo/hi.
enum class Bias { Uniform, AllLow, AllHigh, Near, Alternate };
inline constexpr Bias kAllBiases[] = {Bias::Uniform, Bias::AllLow, Bias::AllHigh, Bias::Near, Bias::Alternate};
const char* bias_name(Bias b);

template <class T>
void fill(Rng& rng, T* p, size_t n, int lo, int hi, Bias bias = Bias::Uniform) {
    const int base = rng.range(lo, hi);
    for (size_t i = 0; i < n; ++i) {
        int v;
        switch (bias) {
            case Bias::AllLow: v = lo; break;
            case Bias::AllHigh: v = hi; break;
            case Bias::Near: v = zan::clip3(lo, hi, base + rng.range(-1, 1)); break;
            case Bias::Alternate: v = ((i ^ (i >> 4)) & 1) ? hi : lo; break;
            default: v = rng.range(lo, hi); break;
        }
        p[i] = static_cast<T>(v);
    }
}

// A buffer of `size` bytes placed at a chosen misalignment from a 64-byte
// boundary, with guard bytes before and after that must stay untouched.
class GuardedBuffer {
public:
    static constexpr size_t kGuard = 256;
    static constexpr uint8_t kGuardByte = 0xA5;
    explicit GuardedBuffer(size_t size, size_t misalign = 0);
    uint8_t* data() { return data_; }
    const uint8_t* data() const { return data_; }
    template <class T>
    T* as() { return reinterpret_cast<T*>(data_); }
    size_t size() const { return size_; }
    bool guards_intact() const;

private:
    std::vector<uint8_t> storage_;
    uint8_t* data_;
    size_t size_;
};

// Image-shaped guarded buffer: height rows of `step` bytes.
struct Plane {
    Plane(int width_bytes, int height, int step, size_t misalign = 0)
        : width(width_bytes), height(height), step(step), buf(size_t(step) * height + 64, misalign) {}
    uint8_t* ptr(int x = 0, int y = 0) { return buf.data() + ptrdiff_t(step) * y + x; }
    int width, height, step;
    GuardedBuffer buf;
};

// Records the bytes of an output region; untouched() is true when no byte
// changed. Fill the region with a pattern first (done by the constructor)
// so that a write of the same value is still unlikely to go unnoticed.
class Sentinel {
public:
    Sentinel(void* p, size_t bytes, uint8_t pattern = 0x5A);
    bool untouched() const;

private:
    uint8_t* p_;
    std::vector<uint8_t> copy_;
};

// Counts the first differing element of two arrays, for readable failures.
template <class T>
::testing::AssertionResult same_array(const T* a, const T* b, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i])
            return ::testing::AssertionFailure() << "first difference at element " << i << ": " << +a[i]
                                                 << " vs " << +b[i];
    return ::testing::AssertionSuccess();
}

// Compares two regions of `width` elements x `height` rows with byte steps.
template <class T>
::testing::AssertionResult same_region(const T* a, int stepA, const T* b, int stepB, int width, int height) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const T va = zan::row(a, stepA, y)[x], vb = zan::row(b, stepB, y)[x];
            if (va != vb)
                return ::testing::AssertionFailure() << "first difference at (" << x << ", " << y << "): " << +va
                                                     << " vs " << +vb;
        }
    return ::testing::AssertionSuccess();
}

}  // namespace zt
