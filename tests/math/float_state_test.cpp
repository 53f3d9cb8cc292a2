// The module's floating-point state: set on entry to a computing step, and the caller's given
// back exactly, raised flags included.
#include "cpu/float_state.h"

#include <gtest/gtest.h>

#include "support/float_control.h"

TEST(ModuleFloatState, IsSetInsideAndTheCallersComesBackBitForBit) {
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
#if defined(__i386__)
        EXPECT_EQ(inside.x87, 0x027F);
#else
        EXPECT_EQ(inside.x87, set.x87); // computing in SSE registers, it leaves the x87 alone
#endif
        EXPECT_EQ(inside.mxcsr, 0x1F80u);
        EXPECT_EQ(set.mxcsr, caller.mxcsr);
        EXPECT_TRUE(after == set) << std::hex << after.x87 << " " << after.mxcsr;
    }
}
