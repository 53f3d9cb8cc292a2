// The floating-point state the module computes under. The host's thread may run with single
// precision (Direct3D sets it), another rounding mode, flush-to-zero or unmasked exceptions; each
// computing step sets the state the module's arithmetic is written for and gives back exactly
// what it found, since host code it calls or that runs in between may change the state again.
#pragma once

#include <cstdint>

struct FloatState {
    uint32_t x87_environment[7]; // the x87 unit's control, status and tag words (32-bit x86 only)
    uint32_t mxcsr;
    int has_mxcsr; // 0 on a processor without SSE, where MXCSR does not exist
};

// Saves the calling thread's state in *saved, then sets the module's: on the x87 unit 53-bit
// precision, round to nearest, every exception masked; in MXCSR the same without flush-to-zero
// or denormals-are-zero.
void enter_module_float_state(FloatState* saved);
// Gives back bit for bit the state enter_module_float_state saved, flags included.
//
// Callers pair the two by hand on their single way out: a scope guard's destructor would need
// the C++ unwinding support, which in the Windows build brings the POSIX thread library into the
// module, with handles left behind at every unload.
void leave_module_float_state(const FloatState* saved);
