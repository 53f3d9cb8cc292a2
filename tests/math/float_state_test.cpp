// The module's floating-point state: set on entry to a computing step, and the caller's given
// back exactly, raised flags included.
#include "math/float_state.h"

#include <gtest/gtest.h>

#include "support/float_control.h"

TEST(ModuleFloatState, IsSetInsideAndTheCallersComesBackBitForBit) {
#if defined(__i386__)
    const uint16_t module_x87 = 0x027F;
#else
    const uint16_t module_x87 = 0; // no x87 control is read or set here
#endif
    const FloatControl callers[] = {read_float_control(), hostile_float_control,
                                    FloatControl{0x037F, 0x1FBF}}; // every MXCSR flag raised
    for (const FloatControl& caller : callers) {
        FloatControl set{}, inside{}, after{};
        with_float_control(caller, [&] {
            set = read_float_control(); // the caller's, as far as this processor keeps it
            FloatState saved;
            enter_module_float_state(&saved);
            inside = read_float_control();
            volatile double third = 1.0;
            third = third / 3.0; // raises the inexact flag, which must not reach the caller
            leave_module_float_state(&saved);
            after = read_float_control();
        });
        EXPECT_EQ(inside.x87, module_x87);
        EXPECT_EQ(inside.mxcsr, 0x1F80u);
        EXPECT_EQ(set.mxcsr, caller.mxcsr);
        EXPECT_TRUE(after == set) << std::hex << after.x87 << " " << after.mxcsr;
    }
}
