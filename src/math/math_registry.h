// The Direct3D registry switches, read over the three registry calls so that the reading rules
// run against any registry.
#pragma once

#include <cstdint>

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
