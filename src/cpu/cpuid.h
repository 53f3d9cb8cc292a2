// CPUID for both builds. A processor without CPUID (no ID flag in EFLAGS) counts as having none,
// which is how the instruction's fault is avoided rather than caught.
#pragma once

#include <cpuid.h>
#include <cstdint>

// 1 and EAX, EBX, ECX, EDX of leaf; 0 when the processor has no CPUID or not that leaf's range.
inline int read_cpuid(uint32_t leaf, uint32_t regs[4]) {
    unsigned a, b, c, d;
    // Asking for the highest leaf of the leaf's own range (basic or extended) tests the ID flag;
    // a highest basic leaf of 0 says nothing about the extended leaves.
    if (__get_cpuid_max(leaf & 0x80000000u, nullptr) == 0) return 0;
    __cpuid(leaf, a, b, c, d);
    regs[0] = a, regs[1] = b, regs[2] = c, regs[3] = d;
    return 1;
}

// The feature bits the module reads: in EDX of leaf 1, and in EDX of the extended leaf
// 0x80000001.
enum : uint32_t {
    CPUID_EDX_MMX = 1u << 23,
    CPUID_EDX_SSE = 1u << 25,
    CPUID_EDX_SSE2 = 1u << 26,
    CPUID_EXT_EDX_MMX_EXTENSIONS = 1u << 22,
    CPUID_EXT_EDX_3DNOW_EXTENSIONS = 1u << 30,
    CPUID_EXT_EDX_3DNOW = 1u << 31,
};
