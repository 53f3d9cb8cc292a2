#include "host_api/host_api.h"

#include <cstddef>

HostApi host_api;

// clang-format off
#define LOOKUP(name) {#name, static_cast<unsigned>(offsetof(HostApi, name))},
// clang-format on

const HostLookup host_lookups[host_lookup_count] = {
#define QV_HOST_FUNCTION(result, name, params, args) LOOKUP(name)
#define QV_HOST_UNUSED(name) LOOKUP(name)
#define QV_HOST_AGAIN(name) LOOKUP(name)
#include "host_api/host_function_list.h"
#undef QV_HOST_FUNCTION
#undef QV_HOST_UNUSED
#undef QV_HOST_AGAIN
};

// An array initialiser would fill a short list up with null names without a word.
constexpr int listed_lookups = 0
#define QV_HOST_FUNCTION(result, name, params, args) +1
#define QV_HOST_UNUSED(name) +1
#define QV_HOST_AGAIN(name) +1
#include "host_api/host_function_list.h"
#undef QV_HOST_FUNCTION
#undef QV_HOST_UNUSED
#undef QV_HOST_AGAIN
    ;
static_assert(listed_lookups == host_lookup_count, "every look-up listed once, in order");
static_assert(offsetof(HostApi, resolved) == host_entry_count * sizeof(HostProc),
              "one entry per name, then the flag");
