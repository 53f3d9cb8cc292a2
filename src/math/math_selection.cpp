// The selection's rules over the platform facts: registry switches, version and feature queries,
// CPUID probes, and the order in which the processor classes are tried.
#include "math/math_selection.h"

#include <cstring>

#include "cpu/cpuid.h"
#include "math/math_3dnow.h"
#include "math/math_generic.h"
#include "math/math_reference.h"
#include "math/math_sse.h"
#include "math/math_sse2.h"

namespace {

// The 9x platform before the build that knows the SSE state (4.10 build 1373).
int is_early_release(const MathOsVersion* v) {
    if (v->major < 4) return 1;
    if (v->major == 4 && v->minor < 10) return 1;
    return v->major == 4 && (v->build & 0xFFFF) < 1373;
}

} // namespace

uint32_t cpuid_simd_flags(const MathPlatformProbe* probe) {
    uint32_t r[4];
    if (!probe->cpuid(0, r) || r[0] == 0) return 0;
    if (!probe->cpuid(1, r)) return 0;
    return (r[3] & CPUID_EDX_SSE ? MATH_SIMD_SSE : 0u) |
           (r[3] & CPUID_EDX_SSE2 ? MATH_SIMD_SSE2 : 0u);
}

int cpuid_has_3dnow(const MathPlatformProbe* probe) {
    uint32_t r[4];
    if (!probe->cpuid(0x80000000u, r) || r[0] < 0x80000001u) return 0;
    if (!probe->cpuid(0x80000001u, r)) return 0;
    return (r[3] & CPUID_EXT_EDX_3DNOW) != 0;
}

uint32_t probe_3dnow_flags(const MathPlatformProbe* probe) {
    uint32_t flags = MATH_3DNOW_PROBED, r[4];
    if (!probe->cpuid(0, r) || r[0] == 0) return flags;
    flags |= MATH_3DNOW_BASIC_LEAVES;
    if (probe->cpuid(1, r) && (r[3] & CPUID_EDX_MMX)) flags |= MATH_3DNOW_MMX;
    if (!probe->cpuid(0x80000000u, r) || r[0] <= 0x80000000u) return flags;
    flags |= MATH_3DNOW_EXTENDED_LEAVES;
    if (!probe->cpuid(0x80000001u, r)) return flags;
    if (r[3] & CPUID_EXT_EDX_3DNOW) flags |= MATH_3DNOW_3DNOW;
    if (r[3] & CPUID_EXT_EDX_3DNOW_EXTENSIONS) flags |= MATH_3DNOW_3DNOW_EXTENSIONS;
    if (r[3] & CPUID_EXT_EDX_MMX_EXTENSIONS) flags |= MATH_3DNOW_MMX_EXTENSIONS;
    return flags;
}

int processor_feature_present(const MathPlatformProbe* probe, uint32_t feature) {
    MathOsVersion version;
    std::memset(&version, 0, sizeof version);
    if (!probe->get_version(&version)) std::memset(&version, 0, sizeof version);
    if (version.platform_id == 2) {
        if (feature == MATH_FEATURE_SSE2) return (cpuid_simd_flags(probe) & MATH_SIMD_SSE2) != 0;
        return probe->is_processor_feature_present(feature) != 0;
    }
    if (version.platform_id == 1) {
        int early = is_early_release(&version);
        if (feature == MATH_FEATURE_SSE)
            return !early && (cpuid_simd_flags(probe) & MATH_SIMD_SSE) != 0;
        if (feature == MATH_FEATURE_3DNOW) return cpuid_has_3dnow(probe);
        if (feature == MATH_FEATURE_SSE2)
            return !early && (cpuid_simd_flags(probe) & MATH_SIMD_SSE2) != 0;
    }
    return 0;
}

uint32_t select_math_classes(MathDispatchTable* table, const MathPlatformProbe* probe) {
    std::memcpy(table, &math_reference_table, sizeof *table);
    fill_generic_math(table);

    uint32_t disable = 0, value = 0;
    if (probe->read_registry_dword("DisablePSGP", &value)) disable = value;
    if (probe->read_registry_dword("DisableD3DXPSGP", &value)) disable = value;
    if (disable == 1) return MATH_CLASS_NONE;

    if (processor_feature_present(probe, MATH_FEATURE_3DNOW)) {
        uint32_t flags = probe_3dnow_flags(probe);
        if ((flags & MATH_3DNOW_MMX) && (flags & MATH_3DNOW_3DNOW)) {
            fill_3dnow_math(table);
            if ((flags & MATH_3DNOW_3DNOW_EXTENSIONS) && (flags & MATH_3DNOW_MMX_EXTENSIONS))
                fill_3dnow_extended_math(table);
        }
        return MATH_CLASS_3DNOW;
    }
    if (processor_feature_present(probe, MATH_FEATURE_SSE2)) {
        fill_sse2_math(table);
        return MATH_CLASS_SSE2;
    }
    if (processor_feature_present(probe, MATH_FEATURE_SSE)) {
        fill_sse_math(table);
        return MATH_CLASS_SSE;
    }
    return MATH_CLASS_NONE;
}
