// The facts of a machine without the Windows registry, version query or feature query: CPUID for
// the processor, an NT-type system, no registry values.
#include "math/math_probe.h"

#include "cpu/cpuid.h"

namespace {

int no_registry_value(const char*, uint32_t*) { return 0; }

int nt_type_system(MathOsVersion* out) {
    out->platform_id = 2, out->major = 10, out->minor = 0, out->build = 0;
    return 1;
}

int feature_from_cpuid(uint32_t feature) {
    uint32_t r[4];
    if (!read_cpuid(1, r)) return 0;
    if (feature == MATH_FEATURE_SSE) return (r[3] & CPUID_EDX_SSE) != 0;
    if (feature == MATH_FEATURE_SSE2) return (r[3] & CPUID_EDX_SSE2) != 0;
    if (feature == MATH_FEATURE_3DNOW) {
        if (!read_cpuid(0x80000000u, r) || r[0] < 0x80000001u || !read_cpuid(0x80000001u, r))
            return 0;
        return (r[3] & CPUID_EXT_EDX_3DNOW) != 0;
    }
    return 0;
}

} // namespace

const MathPlatformProbe math_platform_probe = {no_registry_value, nt_type_system,
                                               feature_from_cpuid, read_cpuid};
