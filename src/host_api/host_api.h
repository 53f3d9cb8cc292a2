// The table of host entry points: one per host function name of host_function_list.h, in the
// order they are looked up.
#pragma once

#include "host_api/host_interface.h"

struct HostApi {
#define QV_HOST_FUNCTION(result, name, params, args) name##Fn name;
#define QV_HOST_UNUSED(name) HostProc name;
#define QV_HOST_AGAIN(name)
#include "host_api/host_function_list.h"
#undef QV_HOST_FUNCTION
#undef QV_HOST_UNUSED
#undef QV_HOST_AGAIN
    // Not an entry: 1 while the last MQInit found every name, so the command never calls
    // through a table that a failed look-up left half filled.
    int32_t resolved;
};

// Every name looked up by MQInit, in order; MQ_GetSystemPath appears twice.
inline constexpr int host_lookup_count = 141;
inline constexpr int host_entry_count = 140;

// The module-wide table; all null until MQInit fills it.
extern HostApi host_api;

// The resolution list: the name of each look-up and the entry it fills.
struct HostLookup {
    const char* name;
    unsigned offset; // byte offset of the entry in HostApi
};
extern const HostLookup host_lookups[host_lookup_count];
