// The table's life in a fresh process: stubs before the first call, one selection, and the
// selection this machine reaches with no registry values.
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "math/math_api.h"
#include "math/math_cpuid.h"
#include "math/math_table.h"

namespace {

// Read with the instruction itself. The processors here report no 3DNow!; an emulator that runs
// 32-bit Wine on a machine refusing 32-bit programs may, and then the 3DNow! class comes first.
bool processor_reports_3dnow() {
    uint32_t r[4];
    return math_cpuid(0x80000000u, r) && r[0] >= 0x80000001u && math_cpuid(0x80000001u, r) &&
           (r[3] >> 31) != 0;
}

} // namespace

TEST(MathFirstCall, TwoThreadsFirstCallSelectsOnceAndReachesSse2) {
    ASSERT_EQ(math_selection_state.load(), 0xFFFFu);
    ASSERT_EQ(0, std::memcmp(&math_dispatch_table, &math_stub_table, sizeof math_dispatch_table));

    Matrix4 results[2];
    Vector3 points[2];
    auto work = [&](int i) {
        matrix_rotation_yaw_pitch_roll(&results[i], 0.5f, 0.25f, 1.0f);
        Vector3 p = {1, 2, 3};
        vec3_transform_coord(&points[i], &p, &results[i]);
    };
    std::thread first(work, 0), second(work, 1);
    first.join();
    second.join();
    EXPECT_EQ(0, std::memcmp(&results[0], &results[1], sizeof results[0]));
    EXPECT_EQ(0, std::memcmp(&points[0], &points[1], sizeof points[0]));

    // Without registry values this machine's processor reaches the SSE2 class, natively and
    // under Wine.
    if (processor_reports_3dnow()) {
        EXPECT_EQ(math_selection_state.load(), 1u);
    } else {
        EXPECT_EQ(math_selection_state.load(), 2u);
        EXPECT_EQ(select_math_implementations(), 2u);
        MathDispatchTable expected = math_reference_table;
        fill_generic_math(&expected);
        fill_sse2_math(&expected);
        EXPECT_EQ(0, std::memcmp(&math_dispatch_table, &expected, sizeof expected));
    }
    // No slot is left on its stub.
    auto* slots = reinterpret_cast<void (**)()>(&math_dispatch_table);
    auto* stubs = reinterpret_cast<void (*const*)()>(&math_stub_table);
    for (int i = 0; i < MATH_SLOT_COUNT; ++i)
        EXPECT_NE(slots[i], stubs[i]) << i;
}
