// Reference code for vectors: transforms, normalising, projection and the four-dimensional cross
// product.
#include "math/math_dispatch.h"
#include "math/math_reference.h"
#include "math/math_reference_support.h"

using namespace math_reference_support;

namespace {

// r (x, y, z, w of a transformed point) with its first count components divided by w, unless w is
// nearly 1.
void divide_by_w(float r[4], int count) {
    if (nearly_equal(r[3], 1.0f)) return;
    double k = 1.0 / r[3];
    for (int c = 0; c < count; ++c)
        r[c] = (float)(r[c] * k);
}

// The transforms: v padded with zeros and then w (1: a point, 0: a direction) times m, and for
// the coordinate forms the point's w divided out. All of v is read before out is written.
template <class Out, class In>
Out* transformed(Out* out, const In* v, const Matrix4* m, double w, bool divide) {
    float r[4];
    times_matrix(m, v, w, r, 4);
    if (divide) divide_by_w(r, (int)(sizeof(Out) / sizeof(float)));
    return stored(out, r);
}

} // namespace

Vector4* reference_vec2_transform(Vector4* out, const Vector2* v, const Matrix4* m) {
    return transformed(out, v, m, 1.0, false);
}

Vector4* reference_vec3_transform(Vector4* out, const Vector3* v, const Matrix4* m) {
    return transformed(out, v, m, 1.0, false);
}

Vector4* reference_vec4_transform(Vector4* out, const Vector4* v, const Matrix4* m) {
    return transformed(out, v, m, 1.0, false);
}

Vector2* reference_vec2_transform_normal(Vector2* out, const Vector2* v, const Matrix4* m) {
    return transformed(out, v, m, 0.0, false);
}

Vector3* reference_vec3_transform_normal(Vector3* out, const Vector3* v, const Matrix4* m) {
    return transformed(out, v, m, 0.0, false);
}

Vector3* reference_vec3_normalize(Vector3* out, const Vector3* v) {
    double x = v->x, y = v->y, z = v->z;
    double scale = unit_scale(x * x + y * y + z * z);
    out->x = (float)(x * scale), out->y = (float)(y * scale), out->z = (float)(z * scale);
    return out;
}

Vector4* reference_vec4_normalize(Vector4* out, const Vector4* v) {
    double x = v->x, y = v->y, z = v->z, w = v->w;
    double scale = unit_scale(x * x + y * y + z * z + w * w);
    out->x = (float)(x * scale), out->y = (float)(y * scale);
    out->z = (float)(z * scale), out->w = (float)(w * scale);
    return out;
}

Vector2* reference_vec2_transform_coord(Vector2* out, const Vector2* v, const Matrix4* m) {
    return transformed(out, v, m, 1.0, true);
}

Vector3* reference_vec3_transform_coord(Vector3* out, const Vector3* v, const Matrix4* m) {
    return transformed(out, v, m, 1.0, true);
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
    double scale = unit_scale(x * x + y * y);
    out->x = (float)(x * scale), out->y = (float)(y * scale);
    return out;
}
