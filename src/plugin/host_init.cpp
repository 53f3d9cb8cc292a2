// MQInit: resolves the host functions by name from the host's module.
#include <windows.h>

#include <cstring>

#include "host_api/host_api.h"
#include "plugin/exports.h"

extern "C" int32_t MQ_EXPORT MQInit(const char* host_module_path) {
    // A path that does not load changes nothing: the table of the last good MQInit stays in use.
    HMODULE host = LoadLibraryA(host_module_path);
    if (!host) return 0;
    // From here entries are overwritten; only a complete look-up makes the table usable again.
    host_api.resolved = 0;

    bool all_found = true;
    for (const HostLookup& lookup : host_lookups) {
        FARPROC entry = GetProcAddress(host, lookup.name);
        std::memcpy(reinterpret_cast<char*>(&host_api) + lookup.offset, &entry, sizeof entry);
        if (!entry) {
            all_found = false;
            break;
        }
    }
    // The host keeps its own module loaded; holding a reference of ours would only pin it.
    FreeLibrary(host);
    host_api.resolved = all_found ? 1 : 0;
    return host_api.resolved;
}
