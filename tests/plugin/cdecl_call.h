// Calls a function with the C calling convention and measures what it did to the stack pointer:
// a cdecl function must leave ESP as it found it, the caller removing the arguments.
#pragma once

#include <cstdint>
#include <initializer_list>

struct CdeclResult {
    uint32_t value;    // EAX after the call
    int32_t esp_shift; // ESP after the caller's clean-up minus ESP before the arguments
};

// Pushes argv[argc-1] .. argv[0], calls, pops argc words as a cdecl caller does, and compares ESP.
extern "C" uint32_t qv_call_cdecl(const void* function, int32_t argc, const uint32_t* argv,
                                  int32_t* esp_shift);

inline CdeclResult call_cdecl(const void* function, std::initializer_list<uint32_t> args) {
    CdeclResult result{};
    result.value =
        qv_call_cdecl(function, static_cast<int32_t>(args.size()), args.begin(), &result.esp_shift);
    return result;
}
