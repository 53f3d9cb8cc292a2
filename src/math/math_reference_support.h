// What the reference routines of several topics share.
#pragma once

#include <cmath>
#include <cstring>

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

// The row vector v (2, 3 or 4 floats), padded with zeros and then w to four components, times m
// at double precision: the first count components, each rounded once to single precision.
template <class V> void times_matrix(const Matrix4* m, const V* v, double w, float* r, int count) {
    float p[sizeof(V) / sizeof(float)];
    std::memcpy(p, v, sizeof p);
    double x[4] = {0.0, 0.0, 0.0, w};
    for (size_t k = 0; k < sizeof p / sizeof p[0]; ++k)
        x[k] = p[k];
    for (int c = 0; c < count; ++c)
        r[c] = (float)row_times(m, x[0], x[1], x[2], x[3], c);
}

// out, a record of floats, from r.
template <class V> V* stored(V* out, const float* r) {
    std::memcpy(out, r, sizeof *out);
    return out;
}

// The factor that scales a vector of squared length length2 to unit length. Nearly unit already,
// it is 1, so the vector comes back unchanged; a zero vector has no direction and stays zero
// rather than become NaN.
inline double unit_scale(double length2) {
    float rounded = (float)length2;
    if (nearly_equal(rounded, 1.0f)) return 1.0;
    return rounded > 0.0f ? 1.0 / std::sqrt((double)rounded) : 0.0;
}

} // namespace math_reference_support
