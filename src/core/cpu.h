// CPU feature detection used to fill the entry cells at load time.
#pragma once

namespace zan {

// True when the processor and the operating system support AVX2 (cpuid
// leaf 7 EBX bit 5, AVX and OSXSAVE in leaf 1, and XMM/YMM state enabled in
// XCR0 as read by xgetbv).
bool cpu_has_avx2();

// Name of the instruction set the entry cells were filled for: "AVX2" or
// "portable (x86-64)".
const char* cpu_dispatch_name();

}  // namespace zan
