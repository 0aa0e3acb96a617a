#include "support/checkasm.h"

#include <cstdlib>
#include <functional>
#include <string>

#include "core/cpu.h"

namespace zt {

bool have_avx2() { return zan::cpu_has_avx2(); }

uint64_t base_seed() {
    static const uint64_t seed = [] {
        const char* env = std::getenv("ZANVC_TEST_SEED");
        return env ? std::strtoull(env, nullptr, 0) : uint64_t(0x7a616e7663);
    }();
    return seed;
}

Rng::Rng() {
    std::string name = "global";
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
        name = std::string(info->test_suite_name()) + "." + info->name();
    gen_.seed(base_seed() ^ std::hash<std::string>{}(name));
}

const char* bias_name(Bias b) {
    switch (b) {
        case Bias::Uniform: return "uniform";
        case Bias::AllLow: return "all-low";
        case Bias::AllHigh: return "all-high";
        case Bias::Near: return "near";
        case Bias::Alternate: return "alternate";
    }
    return "?";
}

GuardedBuffer::GuardedBuffer(size_t size, size_t misalign)
    : storage_(size + 2 * kGuard + 128, kGuardByte), size_(size) {
    uintptr_t p = reinterpret_cast<uintptr_t>(storage_.data()) + kGuard;
    p = (p + 63) & ~uintptr_t(63);
    data_ = reinterpret_cast<uint8_t*>(p + (misalign & 63));
    std::memset(data_, 0, size_);
}

bool GuardedBuffer::guards_intact() const {
    const uint8_t* begin = storage_.data();
    const uint8_t* end = storage_.data() + storage_.size();
    for (const uint8_t* p = begin; p < data_; ++p)
        if (*p != kGuardByte) return false;
    for (const uint8_t* p = data_ + size_; p < end; ++p)
        if (*p != kGuardByte) return false;
    return true;
}

Sentinel::Sentinel(void* p, size_t bytes, uint8_t pattern) : p_(static_cast<uint8_t*>(p)) {
    for (size_t i = 0; i < bytes; ++i) p_[i] = uint8_t(pattern + i * 37);
    copy_.assign(p_, p_ + bytes);
}

bool Sentinel::untouched() const { return std::memcmp(p_, copy_.data(), copy_.size()) == 0; }

}  // namespace zt
