// The double-precision hand computations the reference routines are checked against.
#pragma once

#include <gtest/gtest.h>

#include "math/math_types.h"

// Row vector (x, y, z, w) times m in double.
inline void times(const double v[4], const Matrix4& m, double out[4]) {
    for (int c = 0; c < 4; ++c) {
        out[c] = 0;
        for (int k = 0; k < 4; ++k)
            out[c] += v[k] * m.m[k][c];
    }
}

inline void expect_matrix_near(const Matrix4& got, const double e[4][4], double tol) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(got.m[r][c], e[r][c], tol) << r << "," << c;
}

inline void expect_matrix_near(const Matrix4& got, const Matrix4& e, double tol) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(got.m[r][c], e.m[r][c], tol) << r << "," << c;
}

inline void product(const Matrix4& a, const Matrix4& b, double out[4][4]) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            out[i][j] = 0;
            for (int k = 0; k < 4; ++k)
                out[i][j] += (double)a.m[i][k] * b.m[k][j];
        }
}

// The rotation of a point by a unit quaternion, q v q*, in double.
inline void rotate(const Quaternion& q, const double v[3], double out[3]) {
    double x = q.x, y = q.y, z = q.z, w = q.w;
    double tx = 2 * (y * v[2] - z * v[1]), ty = 2 * (z * v[0] - x * v[2]),
           tz = 2 * (x * v[1] - y * v[0]);
    out[0] = v[0] + w * tx + (y * tz - z * ty);
    out[1] = v[1] + w * ty + (z * tx - x * tz);
    out[2] = v[2] + w * tz + (x * ty - y * tx);
}

inline void expect_same_rotation(const Matrix4& m, const Quaternion& q, double tol) {
    double axes[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, e[3];
    for (int r = 0; r < 3; ++r) {
        rotate(q, axes[r], e);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(m.m[r][c], e[c], tol) << r << "," << c;
    }
}
