// Every processor class against the reference, slot by slot, and the edge cases of the transform
// operations run against every class's table.
#include <cstring>
#include <limits>
#include <string>
#include <typeinfo>

#include <gtest/gtest.h>

#include "math/math_3dnow.h"
#include "math/math_api.h"
#include "math/math_generic.h"
#include "math/math_sse.h"
#include "math/math_sse2.h"
#include "math_test_support.h"

namespace {

struct ClassTable {
    const char* name;
    MathDispatchTable table;
};

std::vector<ClassTable> class_tables() {
    std::vector<ClassTable> tables;
    auto make = [&](const char* name, void (*fill)(MathDispatchTable*),
                    void (*extra)(MathDispatchTable*)) {
        ClassTable c{name, math_reference_table};
        fill_generic_math(&c.table);
        if (fill) fill(&c.table);
        if (extra) extra(&c.table);
        tables.push_back(c);
    };
    make("reference", nullptr, nullptr);
    make("generic", fill_generic_math, nullptr);
    make("sse", fill_sse_math, nullptr);
    make("sse2", fill_sse2_math, nullptr);
    make("3dnow", fill_3dnow_math, nullptr);
    make("3dnow_extended", fill_3dnow_math, fill_3dnow_extended_math);
    return tables;
}

const Matrix4 kIdentity = identity_matrix();
const double kRelative = 1e-5; // about 80 units in the last place of a value near 1

TEST(MathClasses, EverySlotOfEveryClassMatchesTheReference) {
    for (const ClassTable& c : class_tables())
        for (int slot = 0; slot < MATH_SLOT_COUNT; ++slot)
            for (uint32_t seed = 0; seed < 200; ++seed) {
                std::vector<float> expected = run_slot(math_reference_table, slot, seed);
                std::vector<float> got = run_slot(c.table, slot, seed);
                ASSERT_TRUE(close_enough(got, expected, kRelative))
                    << c.name << " slot " << slot << " seed " << seed;
            }
}

TEST(MathClasses, ASlotBoundToAnotherSlotsRoutineIsCaught) {
    // Every pair of slots with the same signature (the only swaps that compile) gives different
    // results on the same inputs, so the comparison above fails for any such mix-up.
    const std::type_info* types[] = {
#define QV_SLOT_TYPE(slot, result, name, params, args) &typeid(result(*) params),
        QV_MATH_SLOTS(QV_SLOT_TYPE)
#undef QV_SLOT_TYPE
    };
    auto* reference = reinterpret_cast<void (*const*)()>(&math_reference_table);
    int pairs = 0;
    for (int i = 0; i < MATH_SLOT_COUNT; ++i)
        for (int j = 0; j < MATH_SLOT_COUNT; ++j) {
            if (i == j || *types[i] != *types[j]) continue;
            MathDispatchTable swapped = math_reference_table;
            reinterpret_cast<void (**)()>(&swapped)[i] = reference[j];
            bool differs = false;
            for (uint32_t seed = 0; seed < 5 && !differs; ++seed)
                differs = !close_enough(run_slot(swapped, i, seed),
                                        run_slot(math_reference_table, i, seed), kRelative);
            EXPECT_TRUE(differs) << "slot " << i << " bound to slot " << j;
            ++pairs;
        }
    EXPECT_EQ(pairs, 38); // every same-signature pair of the slot table
}

class TransformEdges : public ::testing::TestWithParam<int> {
  protected:
    MathDispatchTable t = class_tables()[GetParam()].table;
};

TEST_P(TransformEdges, MatrixMultiplyMapsInTheOrderOfItsArguments) {
    Matrix4 scale, shift = identity_matrix(), m;
    math_reference_table.matrix_scaling(&scale, 2, 1, 1);
    shift.m[3][0] = 5;
    const Vector3 p = {1, 0, 0};
    t.matrix_multiply(&m, &scale, &shift);
    EXPECT_EQ(point_through(t, m, p).x, 7.0f);
    t.matrix_multiply(&m, &shift, &scale);
    expect_point_eq(point_through(t, m, p), 12.0f, 0.0f, 0.0f);
}

TEST_P(TransformEdges, MatrixMultiplyAllowsEveryAliasing) {
    MathInputs in(42);
    for (int round = 0; round < 50; ++round) {
        Matrix4 a = in.matrix(), b = in.matrix(), expected;
        t.matrix_multiply(&expected, &a, &b);
        Matrix4 x = a;
        t.matrix_multiply(&x, &x, &b);
        EXPECT_EQ(0, std::memcmp(&x, &expected, sizeof x)) << "out == a";
        Matrix4 y = b;
        t.matrix_multiply(&y, &a, &y);
        EXPECT_EQ(0, std::memcmp(&y, &expected, sizeof y)) << "out == b";
        Matrix4 z = a, square;
        t.matrix_multiply(&square, &a, &a);
        t.matrix_multiply(&z, &z, &z);
        EXPECT_EQ(0, std::memcmp(&z, &square, sizeof z)) << "out == a == b";
        Matrix4 tr = a, tr_expected;
        t.matrix_multiply_transpose(&tr_expected, &a, &b);
        t.matrix_multiply_transpose(&tr, &tr, &b);
        EXPECT_EQ(0, std::memcmp(&tr, &tr_expected, sizeof tr)) << "transposed, out == a";
    }
}

TEST_P(TransformEdges, TransformCoordDividesOnlyWhenWIsNotNearlyOne) {
    Matrix4 m = identity_matrix();
    m.m[3][0] = 0.25f; // an exact x' so undivided results compare exactly
    Vector3 p = {0.5f, 3.0f, -2.0f}, r;
    m.m[3][3] = 1.0f + 0x1p-23f;
    t.vec3_transform_coord(&r, &p, &m);
    expect_point_eq(r, 0.75f, 3.0f, -2.0f);
    m.m[3][3] = 1.0f + 0x1p-22f;
    t.vec3_transform_coord(&r, &p, &m);
    EXPECT_NE(r.y, 3.0f);
    m.m[3][3] = 2.0f;
    t.vec3_transform_coord(&r, &p, &m);
    expect_point_eq(r, 0.375f, 1.5f, -1.0f);
    Vector3 q = {1.0f, 0.0f, -2.0f};
    m = identity_matrix();
    m.m[3][3] = 0.0f;
    t.vec3_transform_coord(&r, &q, &m);
    EXPECT_EQ(r.x, std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(r.y));
    EXPECT_EQ(r.z, -std::numeric_limits<float>::infinity());
    // out may be v.
    Vector3 v = {1, 2, 3};
    m.m[3][3] = 1.0f;
    m.m[0][1] = 1.0f;
    t.vec3_transform_coord(&v, &v, &m);
    expect_point_eq(v, 1.0f, 3.0f, 3.0f);
    // NaN in the point propagates.
    Vector3 nan_point = {std::nanf(""), 1, 1};
    t.vec3_transform_coord(&r, &nan_point, &kIdentity);
    EXPECT_TRUE(std::isnan(r.x));
}

TEST_P(TransformEdges, YawPitchRollTurnRollThenPitchThenYaw) {
    const float half_pi = 1.5707963f;
    struct Case {
        float yaw, pitch, roll;
        Vector3 from, to;
    } cases[] = {
        {0, 0, 0, {1, 2, 3}, {1, 2, 3}},
        {half_pi, 0, 0, {1, 0, 0}, {0, 0, -1}},
        {0, half_pi, 0, {0, 1, 0}, {0, 0, 1}},
        {0, 0, half_pi, {1, 0, 0}, {0, 1, 0}},
        {half_pi, 0, half_pi, {1, 0, 0}, {0, 1, 0}},
        {half_pi, half_pi, 0, {0, 1, 0}, {1, 0, 0}},
    };
    // The composite reaches its steps through the module table: check both routes.
    for (const Case& c : cases) {
        Quaternion q;
        Matrix4 m;
        t.quaternion_from_yaw_pitch_roll(&q, c.yaw, c.pitch, c.roll);
        t.matrix_from_quaternion(&m, &q);
        Vector3 r;
        t.vec3_transform_coord(&r, &c.from, &m);
        EXPECT_NEAR(r.x, c.to.x, 1e-6);
        EXPECT_NEAR(r.y, c.to.y, 1e-6);
        EXPECT_NEAR(r.z, c.to.z, 1e-6);
        t.matrix_rotation_yaw_pitch_roll(&m, c.yaw, c.pitch, c.roll);
        t.vec3_transform_coord(&r, &c.from, &m);
        EXPECT_NEAR(r.x, c.to.x, 1e-6);
        EXPECT_NEAR(r.y, c.to.y, 1e-6);
        EXPECT_NEAR(r.z, c.to.z, 1e-6);
    }
    Matrix4 m;
    t.matrix_rotation_yaw_pitch_roll(&m, 0, 0, 0);
    EXPECT_EQ(0, std::memcmp(&m, &kIdentity, sizeof m));
}

TEST_P(TransformEdges, YawPitchRollMatchesTheFullAngleTable) {
    MathInputs in(7);
    for (int i = 0; i < 200; ++i) {
        double yaw = in.f(-7, 7), pitch = in.f(-7, 7), roll = in.f(-7, 7);
        double cY = cos(yaw), sY = sin(yaw), cP = cos(pitch), sP = sin(pitch), cR = cos(roll),
               sR = sin(roll);
        double e[3][3] = {{cR * cY + sR * sP * sY, sR * cP, sR * sP * cY - cR * sY},
                          {cR * sP * sY - sR * cY, cR * cP, cR * sP * cY + sR * sY},
                          {cP * sY, -sP, cP * cY}};
        Matrix4 m;
        t.matrix_rotation_yaw_pitch_roll(&m, (float)yaw, (float)pitch, (float)roll);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(m.m[r][c], e[r][c], 2e-6);
        EXPECT_EQ(m.m[3][3], 1.0f);
        EXPECT_EQ(m.m[0][3], 0.0f);
        EXPECT_EQ(m.m[3][0], 0.0f);
    }
}

// Typed angles are not bounded: any finite float, of either sign, gives the reference's unit
// quaternion.
TEST_P(TransformEdges, YawPitchRollMatchesTheReferenceUpToTheLargestFloat) {
    std::vector<double> magnitudes;
    for (double m = 1e-30; m < 3.4028235e38; m *= 3.7)
        magnitudes.push_back(m);
    magnitudes.push_back(3.4028235e38);
    for (double m : magnitudes)
        for (float a : {(float)m, -(float)m}) {
            Quaternion got, want;
            t.quaternion_from_yaw_pitch_roll(&got, a, a / 3, -a);
            math_reference_table.quaternion_from_yaw_pitch_roll(&want, a, a / 3, -a);
            EXPECT_TRUE(
                close_enough(floats_of(&got, sizeof got), floats_of(&want, sizeof want), kRelative))
                << a;
            EXPECT_NEAR(got.x * got.x + got.y * got.y + got.z * got.z + got.w * got.w, 1.0, 1e-5)
                << a;
        }
}

INSTANTIATE_TEST_SUITE_P(EveryClass, TransformEdges, ::testing::Range(0, 6));

TEST(MathOperations, NearlyEqualBoundsAreInclusiveAndNaNIsNever) {
    EXPECT_EQ(1, float_nearly_equal(1.0f, 1.0f + 0x1p-23f));
    EXPECT_EQ(1, float_nearly_equal(1.0f + 0x1p-23f, 1.0f));
    EXPECT_EQ(0, float_nearly_equal(1.0f, 1.0f + 0x1p-22f));
    EXPECT_EQ(0, float_nearly_equal(1.0f + 0x1p-22f, 1.0f));
    EXPECT_EQ(1, float_nearly_equal(0.0f, 0x1p-23f));
    EXPECT_EQ(0, float_nearly_equal(0.0f, 0x1.000002p-23f));
    EXPECT_EQ(0, float_nearly_equal(std::nanf(""), 1.0f));
    EXPECT_EQ(0, float_nearly_equal(1.0f, std::nanf("")));
    EXPECT_EQ(0, float_nearly_equal(std::nanf(""), std::nanf("")));
}

TEST(MathOperations, ScalingStoresItsFactorsUnchanged) {
    Matrix4 m;
    matrix_scaling(&m, 0, 0, 0);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(m.m[r][c], r == 3 && c == 3 ? 1.0f : 0.0f);
    matrix_scaling(&m, -2.5f, 1e-30f, -0.0f);
    EXPECT_EQ(m.m[0][0], -2.5f);
    EXPECT_EQ(m.m[1][1], 1e-30f);
    EXPECT_TRUE(std::signbit(m.m[2][2]));
}

TEST(MathOperations, QuaternionMatrixTakesTheQuaternionAsItIs) {
    for (float w : {1.0f, -3.0f, 0.0f, 1e6f}) {
        Quaternion q = {0, 0, 0, w};
        Matrix4 m;
        matrix_from_quaternion(&m, &q);
        EXPECT_EQ(0, std::memcmp(&m, &kIdentity, sizeof m)) << w;
    }
    // Twice the unit rotation about Z by 90 degrees: not normalised, so the diagonal is 1 - 2z^2.
    Quaternion q = {0, 0, 2 * 0.70710678f, 2 * 0.70710678f};
    Matrix4 m;
    matrix_from_quaternion(&m, &q);
    EXPECT_NEAR(m.m[0][0], 1 - 2 * 2.0, 1e-5);
    EXPECT_NEAR(m.m[0][1], 2 * 2.0, 1e-5);
    EXPECT_EQ(m.m[2][2], 1.0f);
}

} // namespace
