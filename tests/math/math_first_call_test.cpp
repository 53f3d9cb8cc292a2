// The table's life in a fresh process: stubs before the first call, one selection, and the
// selection this platform's own facts lead to with no registry values.
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "math/math_api.h"
#include "math/math_dispatch.h"
#include "math/math_generic.h"
#include "math/math_reference.h"
#include "math/math_selection.h"
#include "math/math_sse2.h"

namespace {

// The first class whose feature the platform reports, asked as the selection asks: on an NT-type
// system the system's feature query decides 3DNow!, not CPUID, which emulators may set.
uint32_t class_the_platform_reports() {
    const struct {
        uint32_t feature, code;
    } classes[] = {{MATH_FEATURE_3DNOW, MATH_CLASS_3DNOW},
                   {MATH_FEATURE_SSE2, MATH_CLASS_SSE2},
                   {MATH_FEATURE_SSE, MATH_CLASS_SSE}};
    for (const auto& c : classes)
        if (processor_feature_present(&math_platform_probe, c.feature)) return c.code;
    return MATH_CLASS_NONE;
}

} // namespace

TEST(MathFirstCall, TwoThreadsFirstCallSelectsOnceAndReachesThePlatformsClass) {
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

    // The processors here reach SSE2 natively and under Wine; under an emulator or on an older
    // processor the platform's own report decides.
    const uint32_t expected = class_the_platform_reports();
    EXPECT_EQ(math_selection_state.load(), expected);
    EXPECT_EQ(select_math_implementations(), expected);
    MathDispatchTable table;
    EXPECT_EQ(select_math_classes(&table, &math_platform_probe), expected);
    EXPECT_EQ(0, std::memcmp(&math_dispatch_table, &table, sizeof table));
    if (expected == MATH_CLASS_SSE2) {
        MathDispatchTable sse2 = math_reference_table;
        fill_generic_math(&sse2);
        fill_sse2_math(&sse2);
        EXPECT_EQ(0, std::memcmp(&math_dispatch_table, &sse2, sizeof sse2));
    }
    // No slot is left on its stub.
    auto* slots = reinterpret_cast<void (**)()>(&math_dispatch_table);
    auto* stubs = reinterpret_cast<void (*const*)()>(&math_stub_table);
    for (int i = 0; i < MATH_SLOT_COUNT; ++i)
        EXPECT_NE(slots[i], stubs[i]) << i;
}
