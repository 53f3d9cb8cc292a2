// The generic class: scalar single-precision code that any x86 runs, for the transform slots.
#include "math/math_generic.h"

#include <cmath>
#include <cstring>

#include "math/math_api.h"
#include "math/math_class_slots.h"

namespace {

// Component c of the row vector v (its first n components) times m in single precision, plus row
// 3 as it is for a point (w = 1): only the terms that are there, summed in order.
inline float times_column(const float* v, int n, bool point, const Matrix4* m, int c) {
    float sum = v[0] * m->m[0][c];
    for (int k = 1; k < n; ++k)
        sum += v[k] * m->m[k][c];
    return point ? sum + m->m[3][c] : sum;
}

// The transforms: v (a point or a direction) times m, into as many components as Out has. All of
// v is read before out is written, so out may be v.
template <class Out, class In, bool Point> Out* transform(Out* out, const In* v, const Matrix4* m) {
    float p[sizeof(In) / sizeof(float)], r[sizeof(Out) / sizeof(float)];
    std::memcpy(p, v, sizeof p);
    for (size_t c = 0; c < sizeof r / sizeof r[0]; ++c)
        r[c] = times_column(p, sizeof p / sizeof p[0], Point, m, (int)c);
    std::memcpy(out, r, sizeof r);
    return out;
}

Matrix4* generic_matrix_multiply_transpose(Matrix4* out, const Matrix4* a, const Matrix4* b) {
    Matrix4 p;
    generic_matrix_multiply(&p, a, b);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out->m[j][i] = p.m[i][j];
    return out;
}

Vector3* generic_vec3_normalize(Vector3* out, const Vector3* v) {
    float x = v->x, y = v->y, z = v->z;
    float length2 = x * x + y * y + z * z;
    if (float_nearly_equal(length2, 1.0f)) {
        out->x = x, out->y = y, out->z = z;
        return out;
    }
    float scale = length2 > 0.0f ? 1.0f / std::sqrt(length2) : 0.0f;
    out->x = x * scale, out->y = y * scale, out->z = z * scale;
    return out;
}

} // namespace

Matrix4* generic_matrix_multiply(Matrix4* out, const Matrix4* a, const Matrix4* b) {
    // Row by row: row i of the result needs only row i of a, so with out == a each row of a is
    // copied before it is overwritten; b is copied whole when out == b.
    Matrix4 b_copy;
    if (out == b) b_copy = *b, b = &b_copy;
    for (int i = 0; i < 4; ++i) {
        float a0 = a->m[i][0], a1 = a->m[i][1], a2 = a->m[i][2], a3 = a->m[i][3];
        for (int j = 0; j < 4; ++j)
            out->m[i][j] = a0 * b->m[0][j] + a1 * b->m[1][j] + a2 * b->m[2][j] + a3 * b->m[3][j];
    }
    return out;
}

namespace {

const MathClassSlot generic_slots[] = {
    QV_MATH_OWN(vec2_transform, (transform<Vector4, Vector2, true>)),
    QV_MATH_OWN(vec3_transform, (transform<Vector4, Vector3, true>)),
    QV_MATH_OWN(vec4_transform, (transform<Vector4, Vector4, false>)),
    QV_MATH_OWN(matrix_multiply, generic_matrix_multiply),
    QV_MATH_OWN(matrix_multiply_transpose, generic_matrix_multiply_transpose),
    QV_MATH_OWN(vec2_transform_normal, (transform<Vector2, Vector2, false>)),
    QV_MATH_OWN(vec3_transform_normal, (transform<Vector3, Vector3, false>)),
    QV_MATH_OWN(vec3_normalize, generic_vec3_normalize),
};

} // namespace

void fill_generic_math(MathDispatchTable* table) { install_math_slots(table, generic_slots); }
