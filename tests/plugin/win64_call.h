// Calls a function with the x64 Windows calling convention and checks what it did to the
// registers that a callee must preserve: RBX, RBP, RSI, RDI, R12-R15 and XMM6-XMM15.
#pragma once

#include <cstdint>
#include <initializer_list>

struct Win64Result {
    uint64_t value;     // RAX after the call
    uint32_t clobbered; // bit i: RBX, RBP, RSI, RDI, R12..R15 (0-7), then XMM6..XMM15 (8-17)
};

// Passes argv[0..3] in RCX, RDX, R8, R9 (a callee that takes fewer ignores the rest).
extern "C" uint64_t qv_call_win64(const void* function, const uint64_t* argv, uint32_t* clobbered);

// Returns its argument and zeroes RBX and XMM6: a callee that breaks the convention.
extern "C" uint64_t qv_clobbers_rbx_and_xmm6(uint64_t value);

inline Win64Result call_win64(const void* function, std::initializer_list<uint64_t> args) {
    uint64_t argv[4] = {0, 0, 0, 0};
    int n = 0;
    for (uint64_t arg : args)
        if (n < 4) argv[n++] = arg;
    Win64Result result{};
    result.value = qv_call_win64(function, argv, &result.clobbered);
    return result;
}
