// The core library: allocation aligned to 64 bytes, the largest data cache
// size read from the machine, and the thread count.
#include "zancore.h"

#include <cpuid.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Largest data or unified cache listed in sysfs for cpu0, 0 if none.
int64_t cache_size_from_sysfs() {
    int64_t best = 0;
    for (int idx = 0; idx < 16; ++idx) {
        char path[96];
        std::snprintf(path, sizeof path, "/sys/devices/system/cpu/cpu0/cache/index%d/type", idx);
        FILE* f = std::fopen(path, "r");
        if (!f) break;
        char type[32] = {0};
        const bool gotType = std::fgets(type, sizeof type, f) != nullptr;
        std::fclose(f);
        if (!gotType || std::strncmp(type, "Instruction", 11) == 0) continue;
        std::snprintf(path, sizeof path, "/sys/devices/system/cpu/cpu0/cache/index%d/size", idx);
        f = std::fopen(path, "r");
        if (!f) continue;
        long long value = 0;
        char unit = 0;
        const int n = std::fscanf(f, "%lld%c", &value, &unit);
        std::fclose(f);
        if (n < 1 || value <= 0) continue;
        int64_t bytes = value;
        if (n == 2 && (unit == 'K' || unit == 'k')) bytes *= 1024;
        if (n == 2 && (unit == 'M' || unit == 'm')) bytes *= 1024 * 1024;
        if (bytes > best) best = bytes;
    }
    return best;
}

// Largest data or unified cache described by cpuid leaf 4 (deterministic
// cache parameters), 0 if the leaf is missing.
int64_t cache_size_from_cpuid() {
    unsigned eax, ebx, ecx, edx;
    if (__get_cpuid_max(0, nullptr) < 4) return 0;
    int64_t best = 0;
    for (unsigned sub = 0; sub < 16; ++sub) {
        __cpuid_count(4, sub, eax, ebx, ecx, edx);
        const unsigned type = eax & 0x1f;  // 0 none, 1 data, 2 instruction, 3 unified
        if (type == 0) break;
        if (type == 2) continue;
        const int64_t ways = ((ebx >> 22) & 0x3ff) + 1;
        const int64_t parts = ((ebx >> 12) & 0x3ff) + 1;
        const int64_t line = (ebx & 0xfff) + 1;
        const int64_t sets = int64_t(ecx) + 1;
        const int64_t bytes = ways * parts * line * sets;
        if (bytes > best) best = bytes;
    }
    return best;
}

int64_t largest_cache() {
    static const int64_t size = [] {
        int64_t s = cache_size_from_sysfs();
        if (s <= 0) s = cache_size_from_cpuid();
        return s;
    }();
    return size;
}

}  // namespace

extern "C" {

void* zanMalloc(size_t bytes) {
    if (bytes == 0) return nullptr;
    void* p = nullptr;
    if (posix_memalign(&p, ZANCORE_ALIGNMENT, bytes) != 0) return nullptr;
    return p;
}

void zanFree(void* p) { std::free(p); }

void* zanAlignPtr(void* p, int32_t alignment) {
    if (alignment <= 1) return p;
    const uintptr_t a = static_cast<uintptr_t>(alignment);
    return reinterpret_cast<void*>((reinterpret_cast<uintptr_t>(p) + a - 1) & ~(a - 1));
}

int32_t zanGetMaxCacheSizeB(int32_t* pSize) {
    if (!pSize) return -8;
    const int64_t s = largest_cache();
    if (s <= 0 || s > INT32_MAX) return -1;
    *pSize = static_cast<int32_t>(s);
    return 0;
}

int32_t ownGetNumThreads(void) {
    const long n = sysconf(_SC_NPROCESSORS_ONLN);
    return n >= 1 ? static_cast<int32_t>(n) : 1;
}

}  // extern "C"
