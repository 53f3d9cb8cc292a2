// Reference code for vectors: transforms, normalising, projection and the four-dimensional cross
// product.
#include <cmath>

#include "math/math_api.h"
#include "math/math_impl.h"
#include "math/math_reference_support.h"
#include "math/math_table.h"

using namespace math_reference_support;

Vector4* reference_vec2_transform(Vector4* out, const Vector2* v, const Matrix4* m) {
    double x = v->x, y = v->y;
    float r[4];
    for (int c = 0; c < 4; ++c)
        r[c] = (float)row_times(m, x, y, 0.0, 1.0, c);
    out->x = r[0], out->y = r[1], out->z = r[2], out->w = r[3];
    return out;
}

Vector4* reference_vec3_transform(Vector4* out, const Vector3* v, const Matrix4* m) {
    double x = v->x, y = v->y, z = v->z;
    float r[4];
    for (int c = 0; c < 4; ++c)
        r[c] = (float)row_times(m, x, y, z, 1.0, c);
    out->x = r[0], out->y = r[1], out->z = r[2], out->w = r[3];
    return out;
}

Vector4* reference_vec4_transform(Vector4* out, const Vector4* v, const Matrix4* m) {
    double x = v->x, y = v->y, z = v->z, w = v->w;
    float r[4];
    for (int c = 0; c < 4; ++c)
        r[c] = (float)row_times(m, x, y, z, w, c);
    out->x = r[0], out->y = r[1], out->z = r[2], out->w = r[3];
    return out;
}

Vector2* reference_vec2_transform_normal(Vector2* out, const Vector2* v, const Matrix4* m) {
    double x = v->x, y = v->y;
    float rx = (float)row_times(m, x, y, 0.0, 0.0, 0), ry = (float)row_times(m, x, y, 0.0, 0.0, 1);
    out->x = rx, out->y = ry;
    return out;
}

Vector3* reference_vec3_transform_normal(Vector3* out, const Vector3* v, const Matrix4* m) {
    double x = v->x, y = v->y, z = v->z;
    float r[3];
    for (int c = 0; c < 3; ++c)
        r[c] = (float)row_times(m, x, y, z, 0.0, c);
    out->x = r[0], out->y = r[1], out->z = r[2];
    return out;
}

Vector3* reference_vec3_normalize(Vector3* out, const Vector3* v) {
    double x = v->x, y = v->y, z = v->z;
    float length2 = (float)(x * x + y * y + z * z);
    if (nearly_equal(length2, 1.0f)) {
        out->x = v->x, out->y = v->y, out->z = v->z;
        return out;
    }
    // A zero vector has no direction; keep it zero rather than produce NaN.
    double scale = length2 > 0.0f ? 1.0 / std::sqrt((double)length2) : 0.0;
    out->x = (float)(x * scale), out->y = (float)(y * scale), out->z = (float)(z * scale);
    return out;
}

Vector4* reference_vec4_normalize(Vector4* out, const Vector4* v) {
    double x = v->x, y = v->y, z = v->z, w = v->w;
    float length2 = (float)(x * x + y * y + z * z + w * w);
    if (nearly_equal(length2, 1.0f)) {
        *out = *v;
        return out;
    }
    double scale = length2 > 0.0f ? 1.0 / std::sqrt((double)length2) : 0.0;
    out->x = (float)(x * scale), out->y = (float)(y * scale);
    out->z = (float)(z * scale), out->w = (float)(w * scale);
    return out;
}

Vector2* reference_vec2_transform_coord(Vector2* out, const Vector2* v, const Matrix4* m) {
    double x = v->x, y = v->y;
    float rx = (float)row_times(m, x, y, 0.0, 1.0, 0), ry = (float)row_times(m, x, y, 0.0, 1.0, 1);
    float w = (float)row_times(m, x, y, 0.0, 1.0, 3);
    out->x = rx, out->y = ry;
    if (nearly_equal(w, 1.0f)) return out;
    double r = 1.0 / w;
    out->x = (float)(rx * r), out->y = (float)(ry * r);
    return out;
}

Vector3* reference_vec3_transform_coord(Vector3* out, const Vector3* v, const Matrix4* m) {
    double x = v->x, y = v->y, z = v->z; // v is read completely before out is written
    float rx = (float)row_times(m, x, y, z, 1.0, 0);
    float ry = (float)row_times(m, x, y, z, 1.0, 1);
    float rz = (float)row_times(m, x, y, z, 1.0, 2);
    float w = (float)row_times(m, x, y, z, 1.0, 3);
    out->x = rx, out->y = ry, out->z = rz;
    if (nearly_equal(w, 1.0f)) return out;
    double r = 1.0 / w;
    out->x = (float)(rx * r), out->y = (float)(ry * r), out->z = (float)(rz * r);
    return out;
}

namespace {

// world * view * projection, skipping the null ones.
void combined_matrix(Matrix4* out, const Matrix4* projection, const Matrix4* view,
                     const Matrix4* world) {
    set_identity(out);
    if (world) math_slot(math_dispatch_table.matrix_multiply)(out, out, world);
    if (view) math_slot(math_dispatch_table.matrix_multiply)(out, out, view);
    if (projection) math_slot(math_dispatch_table.matrix_multiply)(out, out, projection);
}

} // namespace

Vector3* reference_vec3_project(Vector3* out, const Vector3* v, const Viewport* viewport,
                                const Matrix4* projection, const Matrix4* view,
                                const Matrix4* world) {
    Matrix4 m;
    combined_matrix(&m, projection, view, world);
    Vector3 p;
    math_slot(math_dispatch_table.vec3_transform_coord)(&p, v, &m);
    out->x = (float)(viewport->x + (1.0 + p.x) * viewport->width * 0.5);
    out->y = (float)(viewport->y + (1.0 - p.y) * viewport->height * 0.5);
    out->z = (float)(viewport->min_z + p.z * ((double)viewport->max_z - viewport->min_z));
    return out;
}

Vector3* reference_vec3_unproject(Vector3* out, const Vector3* v, const Viewport* viewport,
                                  const Matrix4* projection, const Matrix4* view,
                                  const Matrix4* world) {
    Matrix4 m;
    combined_matrix(&m, projection, view, world);
    if (!math_slot(math_dispatch_table.matrix_inverse)(&m, nullptr, &m)) return nullptr;
    // An empty viewport extent maps everything to its centre rather than dividing by zero.
    double depth = (double)viewport->max_z - viewport->min_z;
    Vector3 p;
    p.x = viewport->width ? (float)(2.0 * (v->x - (double)viewport->x) / viewport->width - 1.0)
                          : 0.0f;
    p.y = viewport->height ? (float)(1.0 - 2.0 * (v->y - (double)viewport->y) / viewport->height)
                           : 0.0f;
    p.z = depth != 0.0 ? (float)((v->z - (double)viewport->min_z) / depth) : 0.0f;
    return math_slot(math_dispatch_table.vec3_transform_coord)(out, &p, &m);
}

Vector4* reference_vec4_cross(Vector4* out, const Vector4* v1, const Vector4* v2,
                              const Vector4* v3) {
    double a = (double)v2->x * v3->y - (double)v2->y * v3->x;
    double b = (double)v2->x * v3->z - (double)v2->z * v3->x;
    double c = (double)v2->x * v3->w - (double)v2->w * v3->x;
    double d = (double)v2->y * v3->z - (double)v2->z * v3->y;
    double e = (double)v2->y * v3->w - (double)v2->w * v3->y;
    double f = (double)v2->z * v3->w - (double)v2->w * v3->z;
    float x = (float)(v1->y * f - v1->z * e + v1->w * d);
    float y = (float)(-(v1->x * f) + v1->z * c - v1->w * b);
    float z = (float)(v1->x * e - v1->y * c + v1->w * a);
    float w = (float)(-(v1->x * d) + v1->y * b - v1->z * a);
    out->x = x, out->y = y, out->z = z, out->w = w;
    return out;
}

Vector2* reference_vec2_normalize(Vector2* out, const Vector2* v) {
    double x = v->x, y = v->y;
    float length2 = (float)(x * x + y * y);
    if (nearly_equal(length2, 1.0f)) {
        *out = *v;
        return out;
    }
    double scale = length2 > 0.0f ? 1.0 / std::sqrt((double)length2) : 0.0;
    out->x = (float)(x * scale), out->y = (float)(y * scale);
    return out;
}
