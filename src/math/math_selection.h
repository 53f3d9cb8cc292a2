// The selection's rules: which processor class the platform facts call for, and the processor
// feature tests it is made of. Pure functions of the facts, so they run against any set of them.
#pragma once

#include <cstdint>

#include "math/math_probe.h"
#include "math/math_slots.h"

// The class codes: which processor class the selection installed.
enum : uint32_t {
    MATH_CLASS_NONE = 0,
    MATH_CLASS_3DNOW = 1,
    MATH_CLASS_SSE2 = 2,
    MATH_CLASS_SSE = 3,
};

int processor_feature_present(const MathPlatformProbe* probe, uint32_t feature);
// What cpuid_simd_flags reports.
enum : uint32_t {
    MATH_SIMD_SSE = 4,
    MATH_SIMD_SSE2 = 8,
};
uint32_t cpuid_simd_flags(const MathPlatformProbe* probe);
int cpuid_has_3dnow(const MathPlatformProbe* probe);
// What probe_3dnow_flags reports, bit by bit.
enum : uint32_t {
    MATH_3DNOW_PROBED = 0x1,          // always: the probe ran
    MATH_3DNOW_BASIC_LEAVES = 0x2,    // CPUID has leaf 1
    MATH_3DNOW_EXTENDED_LEAVES = 0x4, // CPUID has leaf 0x80000001
    MATH_3DNOW_MMX = 0x20,
    MATH_3DNOW_3DNOW = 0x80,
    MATH_3DNOW_3DNOW_EXTENSIONS = 0x100,
    MATH_3DNOW_MMX_EXTENSIONS = 0x200,
};
uint32_t probe_3dnow_flags(const MathPlatformProbe* probe);

// The whole selection on any table with any facts: the reference copy, the generic class, the
// registry switches, then the first processor class whose test holds. Returns the class code.
uint32_t select_math_classes(MathDispatchTable* table, const MathPlatformProbe* probe);
