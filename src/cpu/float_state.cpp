#include "cpu/float_state.h"

#include "cpu/cpuid.h"

namespace {

// Round to nearest, every exception masked, no flush-to-zero, no denormals-are-zero.
const uint32_t module_mxcsr = 0x1F80;

} // namespace

// Out of line on purpose: at a call the x87 register stack is empty, so loading a whole saved
// environment (tag word included) cannot disturb values the compiler keeps there.
#if defined(__i386__)

namespace {

// 53-bit precision, round to nearest, every exception masked.
const uint16_t module_x87_control = 0x027F;

int processor_has_sse() {
    uint32_t r[4];
    return read_cpuid(1, r) && (r[3] & CPUID_EDX_SSE) != 0;
}

} // namespace

void enter_module_float_state(FloatState* saved) {
    // FNSTENV also masks every x87 exception, so a pending one cannot fire before the load.
    asm volatile("fnstenv %0" : "=m"(saved->x87_environment));
    asm volatile("fldcw %0" : : "m"(module_x87_control));
    saved->has_mxcsr = processor_has_sse();
    if (saved->has_mxcsr) {
        asm volatile("stmxcsr %0" : "=m"(saved->mxcsr));
        asm volatile("ldmxcsr %0" : : "m"(module_mxcsr));
    }
}

void leave_module_float_state(const FloatState* saved) {
    if (saved->has_mxcsr) asm volatile("ldmxcsr %0" : : "m"(saved->mxcsr));
    // Status flags raised by the module's own work go with it; the host's come back.
    asm volatile("fldenv %0" : : "m"(saved->x87_environment));
}

#elif defined(__x86_64__)

// Float arithmetic runs in SSE registers here; the x87 unit is left alone.
void enter_module_float_state(FloatState* saved) {
    saved->has_mxcsr = 1;
    asm volatile("stmxcsr %0" : "=m"(saved->mxcsr));
    asm volatile("ldmxcsr %0" : : "m"(module_mxcsr));
}

void leave_module_float_state(const FloatState* saved) {
    asm volatile("ldmxcsr %0" : : "m"(saved->mxcsr));
}

#else
#error "the floating-point state is known for 32-bit and 64-bit x86 only"
#endif
