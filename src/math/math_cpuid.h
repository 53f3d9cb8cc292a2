// CPUID for both builds. A processor without CPUID (no ID flag in EFLAGS) counts as having none,
// which is how the instruction's fault is avoided rather than caught.
#pragma once

#include <cpuid.h>
#include <cstdint>

inline int math_cpuid(uint32_t leaf, uint32_t regs[4]) {
    unsigned a, b, c, d;
    // Asking for the highest leaf of the leaf's own range (basic or extended) tests the ID flag;
    // a highest basic leaf of 0 says nothing about the extended leaves.
    if (__get_cpuid_max(leaf & 0x80000000u, nullptr) == 0) return 0;
    __cpuid(leaf, a, b, c, d);
    regs[0] = a, regs[1] = b, regs[2] = c, regs[3] = d;
    return 1;
}
