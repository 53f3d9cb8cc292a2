// A host module for MQInit tests: exports host function names (the .def picks which), each bound
// to a distinct function that only counts calls. Loads and unloads are counted in environment
// variables, which outlive the module.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

long calls;

void bump(const char* variable) {
    char text[32];
    DWORD length = GetEnvironmentVariableA(variable, text, sizeof text);
    long count = length > 0 && length < sizeof text ? std::strtol(text, nullptr, 10) : 0;
    std::snprintf(text, sizeof text, "%ld", count + 1);
    SetEnvironmentVariableA(variable, text);
}

} // namespace

extern "C" {

// Never called by a correct plug-in before a command runs; a call shows up in fake_host_calls.
#define QV_HOST_UNUSED(name)                                                                       \
    long fake_##name() { return ++calls; }
#define QV_HOST_FUNCTION(result, name, params, args) QV_HOST_UNUSED(name)
#define QV_HOST_AGAIN(name)
#include "host_api/host_function_list.h"
#undef QV_HOST_FUNCTION
#undef QV_HOST_UNUSED
#undef QV_HOST_AGAIN

long fake_host_calls() { return calls; }

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) bump("QV_FAKE_HOST_LOADS");
    if (reason == DLL_PROCESS_DETACH) bump("QV_FAKE_HOST_UNLOADS");
    return TRUE;
}
}
