// MQInit: resolves the host functions by name from the host's module.
#include <windows.h>

#include <cstdint>
#include <cstring>

#include "host_api/host_api.h"
#include "plugin/exports.h"

namespace {

// Whether the code at entry still belongs to a loaded module, without taking a reference.
bool still_loaded(FARPROC entry) {
    HMODULE owner = nullptr;
    return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCSTR>(reinterpret_cast<uintptr_t>(entry)),
                              &owner) != 0;
}

} // namespace

extern "C" int32_t MQ_EXPORT MQInit(const char* host_module_path) {
    // The host's thread gets its last-error value back, whatever the look-up met on the way.
    const DWORD host_last_error = GetLastError();
    // A path that does not load changes nothing: the table of the last good MQInit stays in use.
    HMODULE host = LoadLibraryA(host_module_path);
    if (!host) {
        SetLastError(host_last_error);
        return 0;
    }
    // From here entries are overwritten; only a complete look-up makes the table usable again.
    host_api.resolved = 0;

    bool all_found = true;
    FARPROC entry = nullptr;
    for (const HostLookup& lookup : host_lookups) {
        entry = GetProcAddress(host, lookup.name);
        std::memcpy(reinterpret_cast<char*>(&host_api) + lookup.offset, &entry, sizeof entry);
        if (!entry) {
            all_found = false;
            break;
        }
    }
    // The host keeps its own module loaded; holding a reference of ours would only pin it. A
    // module that nobody else holds is unmapped by this release, and its entries with it.
    FreeLibrary(host);
    if (all_found) all_found = still_loaded(entry);
    host_api.resolved = all_found ? 1 : 0;
    SetLastError(host_last_error);
    return host_api.resolved;
}
