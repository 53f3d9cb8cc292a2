// The generic class: scalar single-precision code that any x86 runs, for the transform slots.
#include <cmath>

#include "math/math_api.h"
#include "math/math_impl.h"
#include "math/math_table.h"

Vector4* generic_vec2_transform(Vector4* out, const Vector2* v, const Matrix4* m) {
    float x = v->x, y = v->y;
    float r[4];
    for (int c = 0; c < 4; ++c)
        r[c] = x * m->m[0][c] + y * m->m[1][c] + m->m[3][c];
    out->x = r[0], out->y = r[1], out->z = r[2], out->w = r[3];
    return out;
}

Vector4* generic_vec3_transform(Vector4* out, const Vector3* v, const Matrix4* m) {
    float x = v->x, y = v->y, z = v->z;
    float r[4];
    for (int c = 0; c < 4; ++c)
        r[c] = x * m->m[0][c] + y * m->m[1][c] + z * m->m[2][c] + m->m[3][c];
    out->x = r[0], out->y = r[1], out->z = r[2], out->w = r[3];
    return out;
}

Vector4* generic_vec4_transform(Vector4* out, const Vector4* v, const Matrix4* m) {
    float x = v->x, y = v->y, z = v->z, w = v->w;
    float r[4];
    for (int c = 0; c < 4; ++c)
        r[c] = x * m->m[0][c] + y * m->m[1][c] + z * m->m[2][c] + w * m->m[3][c];
    out->x = r[0], out->y = r[1], out->z = r[2], out->w = r[3];
    return out;
}

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

Matrix4* generic_matrix_multiply_transpose(Matrix4* out, const Matrix4* a, const Matrix4* b) {
    Matrix4 p;
    generic_matrix_multiply(&p, a, b);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out->m[j][i] = p.m[i][j];
    return out;
}

Vector2* generic_vec2_transform_normal(Vector2* out, const Vector2* v, const Matrix4* m) {
    float x = v->x, y = v->y;
    float rx = x * m->m[0][0] + y * m->m[1][0], ry = x * m->m[0][1] + y * m->m[1][1];
    out->x = rx, out->y = ry;
    return out;
}

Vector3* generic_vec3_transform_normal(Vector3* out, const Vector3* v, const Matrix4* m) {
    float x = v->x, y = v->y, z = v->z;
    float r[3];
    for (int c = 0; c < 3; ++c)
        r[c] = x * m->m[0][c] + y * m->m[1][c] + z * m->m[2][c];
    out->x = r[0], out->y = r[1], out->z = r[2];
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

namespace {

const MathClassSlot generic_slots[] = {
    QV_MATH_OWN(vec2_transform, generic_vec2_transform),
    QV_MATH_OWN(vec3_transform, generic_vec3_transform),
    QV_MATH_OWN(vec4_transform, generic_vec4_transform),
    QV_MATH_OWN(matrix_multiply, generic_matrix_multiply),
    QV_MATH_OWN(matrix_multiply_transpose, generic_matrix_multiply_transpose),
    QV_MATH_OWN(vec2_transform_normal, generic_vec2_transform_normal),
    QV_MATH_OWN(vec3_transform_normal, generic_vec3_transform_normal),
    QV_MATH_OWN(vec3_normalize, generic_vec3_normalize),
};

} // namespace

void fill_generic_math(MathDispatchTable* table) { install_math_slots(table, generic_slots); }
