// The platform facts that the math table's selection reads, behind a small interface so that the
// selection's rules can be run against any set of facts.
#pragma once

#include <cstdint>

#include "math/math_table.h"

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

// The three registry calls, with the Windows API's meaning and results (0 is ERROR_SUCCESS).
struct MathRegistryCalls {
    long (*open_key)(const char* sub_key, void** key); // under HKEY_LOCAL_MACHINE
    long (*query_value)(void* key, const char* value_name, uint32_t* type, unsigned char* data,
                        uint32_t* size);
    long (*close_key)(void* key);
};

// Reads value_name under "Software\Microsoft\Direct3D": 1 and *value only for a 4-byte REG_DWORD.
// The key is opened and closed once per read.
int read_registry_dword_with(const MathRegistryCalls* calls, const char* value_name,
                             uint32_t* value);

int processor_feature_present(const MathPlatformProbe* probe, uint32_t feature);
// 4 for SSE, plus 8 for SSE2.
uint32_t cpuid_simd_flags(const MathPlatformProbe* probe);
int cpuid_has_3dnow(const MathPlatformProbe* probe);
// 1, +2 with CPUID leaf 1, +0x20 MMX, +4 with leaf 0x80000001, +0x80 3DNow!, +0x100 3DNow!
// extensions, +0x200 MMX extensions.
uint32_t probe_3dnow_flags(const MathPlatformProbe* probe);

// Steps 3 to 8 of the selection on any table with any facts: reference copy, generic class,
// registry switches, then the first processor class whose test holds. Returns the class code.
uint32_t select_math_classes(MathDispatchTable* table, const MathPlatformProbe* probe);
