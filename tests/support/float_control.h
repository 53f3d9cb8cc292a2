// The calling thread's floating-point control as a host leaves it: the x87 control word and MXCSR.
// In 64 bits the module computes in SSE registers only, but the host's x87 word must still come
// back as it was.
#pragma once

#include <cstdint>

struct FloatControl {
    uint16_t x87;
    uint32_t mxcsr;
    bool operator==(const FloatControl& o) const { return x87 == o.x87 && mxcsr == o.mxcsr; }
};

// What hosts that draw with Direct3D and other foreign code leave behind: single precision and
// round toward zero on the x87 unit; flush-to-zero, denormals-are-zero and round up in MXCSR.
inline constexpr FloatControl hostile_float_control = {0x0C7F, 0xDFC0};

inline FloatControl read_float_control() {
    FloatControl c{0, 0};
    asm volatile("fnstcw %0" : "=m"(c.x87));
    asm volatile("stmxcsr %0" : "=m"(c.mxcsr));
    return c;
}

inline void write_float_control(const FloatControl& c) {
    asm volatile("fldcw %0" : : "m"(c.x87));
    asm volatile("ldmxcsr %0" : : "m"(c.mxcsr));
}

// Runs body with the thread's control set to c, then puts the previous control back.
template <typename Body> void with_float_control(const FloatControl& c, Body body) {
    const FloatControl before = read_float_control();
    write_float_control(c);
    body();
    write_float_control(before);
}
