// What the reference routines of several topics share.
#pragma once

#include "math/math_types.h"

namespace math_reference_support {

// float_nearly_equal's rule, here so that the reference routines inline it.
inline int nearly_equal(float a, float b) {
    const double tolerance = 1.1920928955078125e-7; // 2^-23
    double d = (double)a - (double)b;
    return d >= -tolerance && d <= tolerance;
}

inline void set_identity(Matrix4* out) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out->m[r][c] = r == c ? 1.0f : 0.0f;
}

// Component c of the row vector (x, y, z, w) times m, at double precision.
inline double row_times(const Matrix4* m, double x, double y, double z, double w, int c) {
    return x * m->m[0][c] + y * m->m[1][c] + z * m->m[2][c] + w * m->m[3][c];
}

} // namespace math_reference_support
