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

// The CPUID feature bits the selection reads: in EDX of leaf 1, and in EDX of the extended leaf
// 0x80000001.
enum : uint32_t {
    CPUID_EDX_MMX = 1u << 23,
    CPUID_EDX_SSE = 1u << 25,
    CPUID_EDX_SSE2 = 1u << 26,
    CPUID_EXT_EDX_MMX_EXTENSIONS = 1u << 22,
    CPUID_EXT_EDX_3DNOW_EXTENSIONS = 1u << 30,
    CPUID_EXT_EDX_3DNOW = 1u << 31,
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
