// The facts of a Windows system: the Direct3D registry switches, the version and processor feature
// queries, and CPUID.
#include "math/math_probe.h"

#include <windows.h>

#include "cpu/cpuid.h"
#include "math/math_registry.h"

namespace {

long open_direct3d_key(const char* sub_key, void** key) {
    HKEY handle = nullptr;
    long status = RegOpenKeyA(HKEY_LOCAL_MACHINE, sub_key, &handle);
    *key = handle;
    return status;
}

long query_value(void* key, const char* value_name, uint32_t* type, unsigned char* data,
                 uint32_t* size) {
    DWORD t = 0, s = *size;
    long status = RegQueryValueExA(static_cast<HKEY>(key), value_name, nullptr, &t, data, &s);
    *type = t, *size = s;
    return status;
}

long close_key(void* key) { return RegCloseKey(static_cast<HKEY>(key)); }

const MathRegistryCalls registry_calls = {open_direct3d_key, query_value, close_key};

int read_direct3d_dword(const char* value_name, uint32_t* value) {
    return read_registry_dword_with(&registry_calls, value_name, value);
}

int get_version(MathOsVersion* out) {
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return 0;
#pragma GCC diagnostic pop
    out->platform_id = info.dwPlatformId, out->major = info.dwMajorVersion;
    out->minor = info.dwMinorVersion, out->build = info.dwBuildNumber;
    return 1;
}

int feature_present(uint32_t feature) { return IsProcessorFeaturePresent(feature) ? 1 : 0; }

} // namespace

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record the query expects");

const MathPlatformProbe math_platform_probe = {read_direct3d_dword, get_version, feature_present,
                                               read_cpuid};
