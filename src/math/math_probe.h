// The platform facts that the math table's selection reads, behind a small interface so that the
// selection's rules can be run against any set of facts.
#pragma once

#include <cstdint>

// The fields of the system's version record that the selection reads.
struct MathOsVersion {
    uint32_t platform_id; // 1: the 9x platform, 2: NT, 0: unknown
    uint32_t major, minor, build;
};

struct MathPlatformProbe {
    // 1 and *value when "Software\Microsoft\Direct3D" under HKEY_LOCAL_MACHINE holds value_name
    // as a 4-byte REG_DWORD; 0 otherwise.
    int (*read_registry_dword)(const char* value_name, uint32_t* value);
    // 1 and the version record when the system's version query succeeds; 0 otherwise.
    int (*get_version)(MathOsVersion* out);
    // The system's processor feature query (Windows feature numbers).
    int (*is_processor_feature_present)(uint32_t feature);
    // 1 and EAX, EBX, ECX, EDX of CPUID leaf; 0 when the processor has no CPUID.
    int (*cpuid)(uint32_t leaf, uint32_t regs[4]);
};

// The Windows processor feature numbers the selection asks for.
enum : uint32_t {
    MATH_FEATURE_SSE = 6,   // PF_XMMI_INSTRUCTIONS_AVAILABLE
    MATH_FEATURE_3DNOW = 7, // PF_3DNOW_INSTRUCTIONS_AVAILABLE
    MATH_FEATURE_SSE2 = 10, // PF_XMMI64_INSTRUCTIONS_AVAILABLE
};

// The facts of the machine the module runs on (Windows: registry, version and feature queries and
// CPUID; elsewhere: CPUID, no registry values, an NT-type system).
extern const MathPlatformProbe math_platform_probe;
