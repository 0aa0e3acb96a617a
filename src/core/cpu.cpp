#include "core/cpu.h"

#include <cpuid.h>
#include <cstdint>

namespace zan {

static uint64_t read_xcr0() {
    uint32_t lo, hi;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    return (uint64_t(hi) << 32) | lo;
}

bool cpu_has_avx2() {
    unsigned eax, ebx, ecx, edx;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
    const bool osxsave = ecx & (1u << 27);
    const bool avx = ecx & (1u << 28);
    if (!osxsave || !avx) return false;
    if ((read_xcr0() & 0x6) != 0x6) return false;  // XMM and YMM state
    if (__get_cpuid_max(0, nullptr) < 7) return false;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    return ebx & (1u << 5);
}

const char* cpu_dispatch_name() { return cpu_has_avx2() ? "AVX2" : "portable (x86-64)"; }

}  // namespace zan
