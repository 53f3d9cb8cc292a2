// Inputs and comparisons shared by the math tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "math/math_reference.h"

struct MathInputs {
    std::mt19937 rng;
    explicit MathInputs(uint32_t seed) : rng(seed) {}
    float f(float lo = -2.0f, float hi = 2.0f) {
        return std::uniform_real_distribution<float>(lo, hi)(rng);
    }
    Vector2 v2() { return {f(), f()}; }
    Vector3 v3() { return {f(), f(), f()}; }
    Vector4 v4() { return {f(), f(), f(), f()}; }
    Plane plane() { return {f(), f(), f(), f()}; }
    Quaternion unit_quaternion() {
        double x = f(), y = f(), z = f(), w = f();
        double n = std::sqrt(x * x + y * y + z * z + w * w);
        return {(float)(x / n), (float)(y / n), (float)(z / n), (float)(w / n)};
    }
    Matrix4 matrix() {
        Matrix4 m;
        for (auto& r : m.m)
            for (float& e : r)
                e = f();
        return m;
    }
    // A well-conditioned affine matrix: rotation, scaling between 0.5 and 2, translation.
    Matrix4 affine() {
        Quaternion q = unit_quaternion();
        Matrix4 m;
        math_reference_table.matrix_from_quaternion(&m, &q);
        for (int r = 0; r < 3; ++r) {
            float s = f(0.5f, 2.0f);
            for (int c = 0; c < 3; ++c)
                m.m[r][c] *= s;
        }
        m.m[3][0] = f(), m.m[3][1] = f(), m.m[3][2] = f();
        return m;
    }
};

inline Matrix4 identity_matrix() {
    Matrix4 m = {};
    for (int i = 0; i < 4; ++i)
        m.m[i][i] = 1.0f;
    return m;
}

// p through m, by the table's vec3_transform_coord.
inline Vector3 point_through(const MathDispatchTable& t, const Matrix4& m, Vector3 p) {
    Vector3 r;
    t.vec3_transform_coord(&r, &p, &m);
    return r;
}

// r is (x, y, z) exactly, component by component.
inline void expect_point_eq(const Vector3& r, float x, float y, float z) {
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.z, z);
}

inline std::vector<float> floats_of(const void* p, size_t bytes) {
    const float* f = static_cast<const float*>(p);
    return std::vector<float>(f, f + bytes / sizeof(float));
}

// Runs slot `slot` of `table` on inputs drawn from `seed` and returns everything it wrote (and a
// 1/0 for a null result). The same seed gives the same inputs for every table.
std::vector<float> run_slot(const MathDispatchTable& table, int slot, uint32_t seed);

// True when every value is within rel * max(1, |expected|) of the expected one (NaN matches NaN,
// infinities match exactly).
inline bool close_enough(const std::vector<float>& got, const std::vector<float>& expected,
                         double rel) {
    if (got.size() != expected.size()) return false;
    for (size_t i = 0; i < got.size(); ++i) {
        double g = got[i], e = expected[i];
        if (std::isnan(e) || std::isnan(g)) {
            if (!(std::isnan(e) && std::isnan(g))) return false;
            continue;
        }
        if (std::isinf(e) || std::isinf(g)) {
            if (g != e) return false;
            continue;
        }
        if (std::fabs(g - e) > rel * std::fmax(1.0, std::fabs(e))) return false;
    }
    return true;
}
