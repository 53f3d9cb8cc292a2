// Reference implementations of every slot: plain floating-point code, intermediates in double,
// results rounded once to single precision when stored. Composite routines reach their steps
// through the dispatch table so that a faster step is picked up everywhere.
#include <cmath>

#include "math/math_api.h"
#include "math/math_impl.h"
#include "math/math_table.h"

namespace {

const double kTolerance = 1.1920928955078125e-7; // 2^-23

void set_identity(Matrix4* out) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out->m[r][c] = r == c ? 1.0f : 0.0f;
}

// Component c of the row vector (x, y, z, w) times m, at double precision.
double row_times(const Matrix4* m, double x, double y, double z, double w, int c) {
    return x * m->m[0][c] + y * m->m[1][c] + z * m->m[2][c] + w * m->m[3][c];
}

// The Hamilton product p q (q applied first).
void hamilton(Quaternion* out, const Quaternion* p, const Quaternion* q) {
    math_slot(math_dispatch_table.quaternion_multiply)(out, q, p);
}

double quaternion_dot(const Quaternion* a, const Quaternion* b) {
    return (double)a->x * b->x + (double)a->y * b->y + (double)a->z * b->z + (double)a->w * b->w;
}

void negate(Quaternion* q) {
    q->x = -q->x;
    q->y = -q->y;
    q->z = -q->z;
    q->w = -q->w;
}

} // namespace

int float_nearly_equal(float a, float b) {
    double d = (double)a - (double)b;
    return d >= -kTolerance && d <= kTolerance;
}

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

Matrix4* reference_matrix_multiply(Matrix4* out, const Matrix4* a, const Matrix4* b) {
    Matrix4 local;
    // Build in a local only when the output overlaps an input.
    Matrix4* target = (out == a || out == b) ? &local : out;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            target->m[i][j] =
                (float)((double)a->m[i][0] * b->m[0][j] + (double)a->m[i][1] * b->m[1][j] +
                        (double)a->m[i][2] * b->m[2][j] + (double)a->m[i][3] * b->m[3][j]);
    if (target != out)
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                out->m[i][j] = local.m[i][j];
    return out;
}

Matrix4* reference_matrix_multiply_transpose(Matrix4* out, const Matrix4* a, const Matrix4* b) {
    Matrix4 product;
    math_slot(math_dispatch_table.matrix_multiply)(&product, a, b);
    return math_slot(math_dispatch_table.matrix_transpose)(out, &product);
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
    if (float_nearly_equal(length2, 1.0f)) {
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
    if (float_nearly_equal(length2, 1.0f)) {
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
    if (float_nearly_equal(w, 1.0f)) return out;
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
    if (float_nearly_equal(w, 1.0f)) return out;
    double r = 1.0 / w;
    out->x = (float)(rx * r), out->y = (float)(ry * r), out->z = (float)(rz * r);
    return out;
}

float reference_matrix_determinant(const Matrix4* m) {
    double a[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            a[r][c] = m->m[r][c];
    // Expansion along the first row with 2x2 minors of the lower two rows.
    double s0 = a[2][2] * a[3][3] - a[2][3] * a[3][2];
    double s1 = a[2][1] * a[3][3] - a[2][3] * a[3][1];
    double s2 = a[2][1] * a[3][2] - a[2][2] * a[3][1];
    double s3 = a[2][0] * a[3][3] - a[2][3] * a[3][0];
    double s4 = a[2][0] * a[3][2] - a[2][2] * a[3][0];
    double s5 = a[2][0] * a[3][1] - a[2][1] * a[3][0];
    double c0 = a[1][1] * s0 - a[1][2] * s1 + a[1][3] * s2;
    double c1 = a[1][0] * s0 - a[1][2] * s3 + a[1][3] * s4;
    double c2 = a[1][0] * s1 - a[1][1] * s3 + a[1][3] * s5;
    double c3 = a[1][0] * s2 - a[1][1] * s4 + a[1][2] * s5;
    return (float)(a[0][0] * c0 - a[0][1] * c1 + a[0][2] * c2 - a[0][3] * c3);
}

Plane* reference_plane_from_point_normal(Plane* out, const Vector3* point, const Vector3* normal) {
    float a = normal->x, b = normal->y, c = normal->z;
    out->d = (float)-((double)point->x * a + (double)point->y * b + (double)point->z * c);
    out->a = a, out->b = b, out->c = c;
    return out;
}

Plane* reference_plane_from_points(Plane* out, const Vector3* p1, const Vector3* p2,
                                   const Vector3* p3) {
    double ux = (double)p2->x - p1->x, uy = (double)p2->y - p1->y, uz = (double)p2->z - p1->z;
    double vx = (double)p3->x - p1->x, vy = (double)p3->y - p1->y, vz = (double)p3->z - p1->z;
    Vector3 normal = {(float)(uy * vz - uz * vy), (float)(uz * vx - ux * vz),
                      (float)(ux * vy - uy * vx)};
    math_slot(math_dispatch_table.vec3_normalize)(&normal, &normal);
    return math_slot(math_dispatch_table.plane_from_point_normal)(out, p1, &normal);
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

namespace {

struct HermiteWeights {
    double h1, h2, h3, h4;
};

HermiteWeights hermite_weights(float s) {
    double s1 = s, s2 = s1 * s1, s3 = s2 * s1;
    return {2 * s3 - 3 * s2 + 1, s3 - 2 * s2 + s1, -2 * s3 + 3 * s2, s3 - s2};
}

float hermite(const HermiteWeights& h, float p1, float t1, float p2, float t2) {
    return (float)(h.h1 * p1 + h.h2 * t1 + h.h3 * p2 + h.h4 * t2);
}

float catmull_rom(double s, float v0, float v1, float v2, float v3) {
    double s2 = s * s, s3 = s2 * s;
    return (float)(0.5 *
                   (2.0 * v1 + (-(double)v0 + v2) * s + (2.0 * v0 - 5.0 * v1 + 4.0 * v2 - v3) * s2 +
                    (-(double)v0 + 3.0 * v1 - 3.0 * v2 + v3) * s3));
}

float barycentric(float v1, float v2, float v3, double f, double g) {
    return (float)(v1 + f * ((double)v2 - v1) + g * ((double)v3 - v1));
}

} // namespace

Vector2* reference_vec2_hermite(Vector2* out, const Vector2* p1, const Vector2* t1,
                                const Vector2* p2, const Vector2* t2, float s) {
    HermiteWeights h = hermite_weights(s);
    Vector2 r = {hermite(h, p1->x, t1->x, p2->x, t2->x), hermite(h, p1->y, t1->y, p2->y, t2->y)};
    *out = r;
    return out;
}

Matrix4* reference_matrix_inverse(Matrix4* out, float* determinant, const Matrix4* m) {
    double a[16];
    for (int i = 0; i < 16; ++i)
        a[i] = m->m[i / 4][i % 4];
    double inv[16];
    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] +
             a[9] * a[7] * a[14] + a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] -
             a[8] * a[7] * a[14] - a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] +
             a[8] * a[7] * a[13] + a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] -
              a[8] * a[6] * a[13] - a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] -
             a[9] * a[3] * a[14] - a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] +
             a[8] * a[3] * a[14] + a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] -
             a[8] * a[3] * a[13] - a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] +
              a[8] * a[2] * a[13] + a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
             a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] -
             a[4] * a[3] * a[14] - a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] +
              a[4] * a[3] * a[13] + a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] -
              a[4] * a[2] * a[13] - a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] -
             a[5] * a[3] * a[10] - a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
             a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
              a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] +
              a[8] * a[1] * a[6] - a[8] * a[2] * a[5];
    double det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
    if (determinant) *determinant = (float)det;
    // A singular matrix has no inverse: report it instead of filling out with infinities.
    if (det == 0.0 || !std::isfinite(det)) return nullptr;
    double r = 1.0 / det;
    for (int i = 0; i < 16; ++i)
        out->m[i / 4][i % 4] = (float)(inv[i] * r);
    return out;
}

Quaternion* reference_quaternion_multiply(Quaternion* out, const Quaternion* q1,
                                          const Quaternion* q2) {
    // q2 q1: q1 acts first, as a acts first in a matrix product a * b.
    double px = q2->x, py = q2->y, pz = q2->z, pw = q2->w;
    double qx = q1->x, qy = q1->y, qz = q1->z, qw = q1->w;
    float x = (float)(pw * qx + qw * px + py * qz - pz * qy);
    float y = (float)(pw * qy + qw * py + pz * qx - px * qz);
    float z = (float)(pw * qz + qw * pz + px * qy - py * qx);
    float w = (float)(pw * qw - px * qx - py * qy - pz * qz);
    out->x = x, out->y = y, out->z = z, out->w = w;
    return out;
}

Quaternion* reference_quaternion_normalize(Quaternion* out, const Quaternion* q) {
    float length2 = (float)quaternion_dot(q, q);
    if (float_nearly_equal(length2, 1.0f)) {
        *out = *q;
        return out;
    }
    double scale = length2 > 0.0f ? 1.0 / std::sqrt((double)length2) : 0.0;
    out->x = (float)(q->x * scale), out->y = (float)(q->y * scale);
    out->z = (float)(q->z * scale), out->w = (float)(q->w * scale);
    return out;
}

Plane* reference_plane_normalize(Plane* out, const Plane* p) {
    double length2 = (double)p->a * p->a + (double)p->b * p->b + (double)p->c * p->c;
    double scale = length2 > 0.0 ? 1.0 / std::sqrt(length2) : 0.0;
    out->a = (float)(p->a * scale), out->b = (float)(p->b * scale);
    out->c = (float)(p->c * scale), out->d = (float)(p->d * scale);
    return out;
}

Vector3* reference_plane_intersect_line(Vector3* out, const Plane* plane, const Vector3* p1,
                                        const Vector3* p2) {
    double dx = (double)p2->x - p1->x, dy = (double)p2->y - p1->y, dz = (double)p2->z - p1->z;
    double along = plane->a * dx + plane->b * dy + plane->c * dz;
    if (along == 0.0) return nullptr;
    double t = -((double)plane->a * p1->x + (double)plane->b * p1->y + (double)plane->c * p1->z +
                 plane->d) /
               along;
    float x = (float)(p1->x + t * dx), y = (float)(p1->y + t * dy), z = (float)(p1->z + t * dz);
    out->x = x, out->y = y, out->z = z;
    return out;
}

void reference_quaternion_to_axis_angle(const Quaternion* q, Vector3* axis, float* angle) {
    if (axis) axis->x = q->x, axis->y = q->y, axis->z = q->z;
    // Clamp so that a w one rounding step above 1 gives angle 0, not NaN.
    double w = q->w > 1.0f ? 1.0 : q->w < -1.0f ? -1.0 : q->w;
    if (angle) *angle = (float)(2.0 * std::acos(w));
}

Quaternion* reference_quaternion_from_matrix(Quaternion* out, const Matrix4* m) {
    double m00 = m->m[0][0], m11 = m->m[1][1], m22 = m->m[2][2];
    double trace = m00 + m11 + m22;
    double x, y, z, w;
    if (trace > 0.0) {
        double s = 2.0 * std::sqrt(trace + 1.0); // 4w
        w = 0.25 * s;
        x = ((double)m->m[1][2] - m->m[2][1]) / s;
        y = ((double)m->m[2][0] - m->m[0][2]) / s;
        z = ((double)m->m[0][1] - m->m[1][0]) / s;
    } else if (m00 >= m11 && m00 >= m22) {
        double s = 2.0 * std::sqrt(1.0 + m00 - m11 - m22); // 4x
        x = 0.25 * s;
        y = ((double)m->m[0][1] + m->m[1][0]) / s;
        z = ((double)m->m[0][2] + m->m[2][0]) / s;
        w = ((double)m->m[1][2] - m->m[2][1]) / s;
    } else if (m11 >= m22) {
        double s = 2.0 * std::sqrt(1.0 + m11 - m00 - m22); // 4y
        y = 0.25 * s;
        x = ((double)m->m[0][1] + m->m[1][0]) / s;
        z = ((double)m->m[1][2] + m->m[2][1]) / s;
        w = ((double)m->m[2][0] - m->m[0][2]) / s;
    } else {
        double s = 2.0 * std::sqrt(1.0 + m22 - m00 - m11); // 4z
        z = 0.25 * s;
        x = ((double)m->m[0][2] + m->m[2][0]) / s;
        y = ((double)m->m[1][2] + m->m[2][1]) / s;
        w = ((double)m->m[0][1] - m->m[1][0]) / s;
    }
    out->x = (float)x, out->y = (float)y, out->z = (float)z, out->w = (float)w;
    return out;
}

Quaternion* reference_quaternion_from_yaw_pitch_roll(Quaternion* out, float yaw, float pitch,
                                                     float roll) {
    float a = yaw * 0.5f, b = pitch * 0.5f, c = roll * 0.5f;
    float sa = (float)std::sin((double)a), ca = (float)std::cos((double)a);
    float sb = (float)std::sin((double)b), cb = (float)std::cos((double)b);
    float sc = (float)std::sin((double)c), cc = (float)std::cos((double)c);
    out->x = (float)((double)cc * ca * sb + (double)sc * sa * cb);
    out->y = (float)((double)cc * sa * cb - (double)sc * ca * sb);
    out->z = (float)((double)sc * ca * cb - (double)cc * sa * sb);
    out->w = (float)((double)cc * ca * cb + (double)sc * sa * sb);
    return out;
}

Matrix4* reference_matrix_translation(Matrix4* out, float x, float y, float z) {
    set_identity(out);
    out->m[3][0] = x, out->m[3][1] = y, out->m[3][2] = z;
    return out;
}

Matrix4* reference_matrix_shadow(Matrix4* out, const Vector4* light, const Plane* plane) {
    Plane p;
    math_slot(math_dispatch_table.plane_normalize)(&p, plane);
    double pl[4] = {p.a, p.b, p.c, p.d};
    double l[4] = {light->x, light->y, light->z, light->w};
    double dot = pl[0] * l[0] + pl[1] * l[1] + pl[2] * l[2] + pl[3] * l[3];
    // A point p goes to dot * p - (p . plane) * light, which lies on the plane.
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out->m[i][j] = (float)((i == j ? dot : 0.0) - pl[i] * l[j]);
    return out;
}

Matrix4* reference_matrix_reflect(Matrix4* out, const Plane* plane) {
    Plane p;
    math_slot(math_dispatch_table.plane_normalize)(&p, plane);
    double pl[4] = {p.a, p.b, p.c, p.d};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            out->m[i][j] = (float)((i == j ? 1.0 : 0.0) - 2.0 * pl[i] * pl[j]);
    out->m[0][3] = 0.0f, out->m[1][3] = 0.0f, out->m[2][3] = 0.0f, out->m[3][3] = 1.0f;
    return out;
}

Quaternion* reference_quaternion_from_axis_angle(Quaternion* out, const Vector3* axis,
                                                 float angle) {
    Vector3 n;
    math_slot(math_dispatch_table.vec3_normalize)(&n, axis);
    double half = angle * 0.5, s = std::sin(half);
    out->x = (float)(n.x * s), out->y = (float)(n.y * s), out->z = (float)(n.z * s);
    out->w = (float)std::cos(half);
    return out;
}

Matrix4* reference_matrix_rotation_x(Matrix4* out, float angle) {
    float s = (float)std::sin((double)angle), c = (float)std::cos((double)angle);
    set_identity(out);
    out->m[1][1] = c, out->m[1][2] = s, out->m[2][1] = -s, out->m[2][2] = c;
    return out;
}

Matrix4* reference_matrix_rotation_y(Matrix4* out, float angle) {
    float s = (float)std::sin((double)angle), c = (float)std::cos((double)angle);
    set_identity(out);
    out->m[0][0] = c, out->m[0][2] = -s, out->m[2][0] = s, out->m[2][2] = c;
    return out;
}

Matrix4* reference_matrix_rotation_z(Matrix4* out, float angle) {
    float s = (float)std::sin((double)angle), c = (float)std::cos((double)angle);
    set_identity(out);
    out->m[0][0] = c, out->m[0][1] = s, out->m[1][0] = -s, out->m[1][1] = c;
    return out;
}

Matrix4* reference_matrix_scaling(Matrix4* out, float sx, float sy, float sz) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out->m[r][c] = 0.0f;
    out->m[0][0] = sx, out->m[1][1] = sy, out->m[2][2] = sz, out->m[3][3] = 1.0f;
    return out;
}

Plane* reference_plane_transform(Plane* out, const Plane* p, const Matrix4* m) {
    double a = p->a, b = p->b, c = p->c, d = p->d;
    float r[4];
    for (int j = 0; j < 4; ++j)
        r[j] = (float)row_times(m, a, b, c, d, j);
    out->a = r[0], out->b = r[1], out->c = r[2], out->d = r[3];
    return out;
}

Quaternion* reference_quaternion_slerp(Quaternion* out, const Quaternion* q1, const Quaternion* q2,
                                       float t) {
    double dot = quaternion_dot(q1, q2);
    double sign = 1.0;
    if (dot < 0.0) dot = -dot, sign = -1.0; // the shorter arc
    double k1, k2;
    if (dot > 0.9999) {
        // Nearly the same rotation: sin(theta) is too small to divide by; interpolate linearly.
        k1 = 1.0 - t, k2 = t;
    } else {
        double theta = std::acos(dot), s = std::sin(theta);
        k1 = std::sin((1.0 - t) * theta) / s, k2 = std::sin(t * theta) / s;
    }
    k2 *= sign;
    float x = (float)(k1 * q1->x + k2 * q2->x), y = (float)(k1 * q1->y + k2 * q2->y);
    float z = (float)(k1 * q1->z + k2 * q2->z), w = (float)(k1 * q1->w + k2 * q2->w);
    out->x = x, out->y = y, out->z = z, out->w = w;
    return out;
}

Quaternion* reference_quaternion_barycentric(Quaternion* out, const Quaternion* q1,
                                             const Quaternion* q2, const Quaternion* q3, float f,
                                             float g) {
    float sum = f + g;
    if (sum == 0.0f) {
        *out = *q1;
        return out;
    }
    Quaternion a, b;
    math_slot(math_dispatch_table.quaternion_slerp)(&a, q1, q2, sum);
    math_slot(math_dispatch_table.quaternion_slerp)(&b, q1, q3, sum);
    return math_slot(math_dispatch_table.quaternion_slerp)(out, &a, &b, g / sum);
}

Matrix4* reference_matrix_transpose(Matrix4* out, const Matrix4* m) {
    Matrix4 t;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            t.m[c][r] = m->m[r][c];
    *out = t;
    return out;
}

Matrix4* reference_matrix_from_quaternion(Matrix4* out, const Quaternion* q) {
    double x = q->x, y = q->y, z = q->z, w = q->w; // all of q before out is written
    float x2 = (float)(2.0 * x * x), y2 = (float)(2.0 * y * y), z2 = (float)(2.0 * z * z);
    float xy = (float)(2.0 * x * y), xz = (float)(2.0 * x * z), yz = (float)(2.0 * y * z);
    double xw = 2.0 * x * w, yw = 2.0 * y * w, zw = 2.0 * z * w;
    out->m[0][0] = (float)(1.0 - y2 - z2);
    out->m[0][1] = (float)(xy + zw);
    out->m[0][2] = (float)(xz - yw);
    out->m[0][3] = 0.0f;
    out->m[1][0] = (float)(xy - zw);
    out->m[1][1] = (float)(1.0 - x2 - z2);
    out->m[1][2] = (float)(yz + xw);
    out->m[1][3] = 0.0f;
    out->m[2][0] = (float)(xz + yw);
    out->m[2][1] = (float)(yz - xw);
    out->m[2][2] = (float)(1.0 - x2 - y2);
    out->m[2][3] = 0.0f;
    out->m[3][0] = 0.0f, out->m[3][1] = 0.0f, out->m[3][2] = 0.0f, out->m[3][3] = 1.0f;
    return out;
}

namespace {

// out * (translation by -sign * c), skipping a null c.
void then_translate(Matrix4* out, const Vector3* c, float sign) {
    if (!c) return;
    Matrix4 t;
    math_slot(math_dispatch_table.matrix_translation)(&t, sign * c->x, sign * c->y, sign * c->z);
    math_slot(math_dispatch_table.matrix_multiply)(out, out, &t);
}

void then_rotate(Matrix4* out, const Quaternion* q, int inverse) {
    if (!q) return;
    Quaternion r = *q;
    if (inverse) math_slot(math_dispatch_table.quaternion_inverse)(&r, q);
    Matrix4 m;
    math_slot(math_dispatch_table.matrix_from_quaternion)(&m, &r);
    math_slot(math_dispatch_table.matrix_multiply)(out, out, &m);
}

} // namespace

Matrix4* reference_matrix_transformation(Matrix4* out, const Vector3* scaling_center,
                                         const Quaternion* scaling_rotation, const Vector3* scaling,
                                         const Vector3* rotation_center, const Quaternion* rotation,
                                         const Vector3* translation) {
    Matrix4 m;
    set_identity(&m);
    if (scaling) {
        then_translate(&m, scaling_center, -1.0f);
        then_rotate(&m, scaling_rotation, 1);
        Matrix4 s;
        math_slot(math_dispatch_table.matrix_scaling)(&s, scaling->x, scaling->y, scaling->z);
        math_slot(math_dispatch_table.matrix_multiply)(&m, &m, &s);
        then_rotate(&m, scaling_rotation, 0);
        then_translate(&m, scaling_center, 1.0f);
    }
    if (rotation) {
        then_translate(&m, rotation_center, -1.0f);
        then_rotate(&m, rotation, 0);
        then_translate(&m, rotation_center, 1.0f);
    }
    then_translate(&m, translation, 1.0f);
    *out = m;
    return out;
}

Matrix4* reference_matrix_rotation_yaw_pitch_roll(Matrix4* out, float yaw, float pitch,
                                                  float roll) {
    Quaternion q;
    math_slot(math_dispatch_table.quaternion_from_yaw_pitch_roll)(&q, yaw, pitch, roll);
    return math_slot(math_dispatch_table.matrix_from_quaternion)(out, &q);
}

Matrix4* reference_matrix_affine_transformation(Matrix4* out, float scaling,
                                                const Vector3* rotation_center,
                                                const Quaternion* rotation,
                                                const Vector3* translation) {
    Matrix4 m;
    math_slot(math_dispatch_table.matrix_scaling)(&m, scaling, scaling, scaling);
    if (rotation) {
        then_translate(&m, rotation_center, -1.0f);
        then_rotate(&m, rotation, 0);
        then_translate(&m, rotation_center, 1.0f);
    }
    then_translate(&m, translation, 1.0f);
    *out = m;
    return out;
}

Matrix4* reference_matrix_rotation_axis(Matrix4* out, const Vector3* axis, float angle) {
    Vector3 n;
    math_slot(math_dispatch_table.vec3_normalize)(&n, axis);
    double s = std::sin((double)angle), c = std::cos((double)angle), k = 1.0 - c;
    double x = n.x, y = n.y, z = n.z;
    out->m[0][0] = (float)(c + k * x * x);
    out->m[0][1] = (float)(k * x * y + s * z);
    out->m[0][2] = (float)(k * x * z - s * y);
    out->m[1][0] = (float)(k * x * y - s * z);
    out->m[1][1] = (float)(c + k * y * y);
    out->m[1][2] = (float)(k * y * z + s * x);
    out->m[2][0] = (float)(k * x * z + s * y);
    out->m[2][1] = (float)(k * y * z - s * x);
    out->m[2][2] = (float)(c + k * z * z);
    out->m[0][3] = 0.0f, out->m[1][3] = 0.0f, out->m[2][3] = 0.0f;
    out->m[3][0] = 0.0f, out->m[3][1] = 0.0f, out->m[3][2] = 0.0f, out->m[3][3] = 1.0f;
    return out;
}

Quaternion* reference_quaternion_squad(Quaternion* out, const Quaternion* q1, const Quaternion* a,
                                       const Quaternion* b, const Quaternion* c, float t) {
    Quaternion outer, inner;
    math_slot(math_dispatch_table.quaternion_slerp)(&outer, q1, c, t);
    math_slot(math_dispatch_table.quaternion_slerp)(&inner, a, b, t);
    return math_slot(math_dispatch_table.quaternion_slerp)(out, &outer, &inner,
                                                           2.0f * t * (1.0f - t));
}

Quaternion* reference_quaternion_inverse(Quaternion* out, const Quaternion* q) {
    double length2 = quaternion_dot(q, q);
    double r = length2 > 0.0 ? 1.0 / length2 : 0.0;
    float x = (float)(-q->x * r), y = (float)(-q->y * r), z = (float)(-q->z * r);
    out->w = (float)(q->w * r);
    out->x = x, out->y = y, out->z = z;
    return out;
}

namespace {

// -(ln(q^-1 next) + ln(q^-1 previous)) / 4, exponentiated and applied after q.
void squad_control(Quaternion* out, const Quaternion* q, const Quaternion* previous,
                   const Quaternion* next) {
    Quaternion inverse, to_next, to_previous, ln_next, ln_previous;
    math_slot(math_dispatch_table.quaternion_inverse)(&inverse, q);
    hamilton(&to_next, &inverse, next);
    hamilton(&to_previous, &inverse, previous);
    math_slot(math_dispatch_table.quaternion_ln)(&ln_next, &to_next);
    math_slot(math_dispatch_table.quaternion_ln)(&ln_previous, &to_previous);
    Quaternion sum = {(float)(-0.25 * ((double)ln_next.x + ln_previous.x)),
                      (float)(-0.25 * ((double)ln_next.y + ln_previous.y)),
                      (float)(-0.25 * ((double)ln_next.z + ln_previous.z)), 0.0f};
    Quaternion e;
    math_slot(math_dispatch_table.quaternion_exp)(&e, &sum);
    hamilton(out, q, &e);
}

} // namespace

void reference_quaternion_squad_setup(Quaternion* a_out, Quaternion* b_out, Quaternion* c_out,
                                      const Quaternion* q0, const Quaternion* q1,
                                      const Quaternion* q2, const Quaternion* q3) {
    Quaternion p0 = *q0, p1 = *q1, p2 = *q2, p3 = *q3;
    if (quaternion_dot(&p0, &p1) < 0.0) negate(&p0);
    if (quaternion_dot(&p1, &p2) < 0.0) negate(&p2);
    if (quaternion_dot(&p2, &p3) < 0.0) negate(&p3);
    Quaternion a, b;
    squad_control(&a, &p1, &p0, &p2);
    squad_control(&b, &p2, &p1, &p3);
    *a_out = a, *b_out = b, *c_out = p2;
}

Vector2* reference_vec2_normalize(Vector2* out, const Vector2* v) {
    double x = v->x, y = v->y;
    float length2 = (float)(x * x + y * y);
    if (float_nearly_equal(length2, 1.0f)) {
        *out = *v;
        return out;
    }
    double scale = length2 > 0.0f ? 1.0 / std::sqrt((double)length2) : 0.0;
    out->x = (float)(x * scale), out->y = (float)(y * scale);
    return out;
}

Vector2* reference_vec2_catmull_rom(Vector2* out, const Vector2* v0, const Vector2* v1,
                                    const Vector2* v2, const Vector2* v3, float s) {
    Vector2 r = {catmull_rom(s, v0->x, v1->x, v2->x, v3->x),
                 catmull_rom(s, v0->y, v1->y, v2->y, v3->y)};
    *out = r;
    return out;
}

Vector2* reference_vec2_barycentric(Vector2* out, const Vector2* v1, const Vector2* v2,
                                    const Vector2* v3, float f, float g) {
    Vector2 r = {barycentric(v1->x, v2->x, v3->x, f, g), barycentric(v1->y, v2->y, v3->y, f, g)};
    *out = r;
    return out;
}

Vector3* reference_vec3_hermite(Vector3* out, const Vector3* p1, const Vector3* t1,
                                const Vector3* p2, const Vector3* t2, float s) {
    HermiteWeights h = hermite_weights(s);
    Vector3 r = {hermite(h, p1->x, t1->x, p2->x, t2->x), hermite(h, p1->y, t1->y, p2->y, t2->y),
                 hermite(h, p1->z, t1->z, p2->z, t2->z)};
    *out = r;
    return out;
}

Vector3* reference_vec3_catmull_rom(Vector3* out, const Vector3* v0, const Vector3* v1,
                                    const Vector3* v2, const Vector3* v3, float s) {
    Vector3 r = {catmull_rom(s, v0->x, v1->x, v2->x, v3->x),
                 catmull_rom(s, v0->y, v1->y, v2->y, v3->y),
                 catmull_rom(s, v0->z, v1->z, v2->z, v3->z)};
    *out = r;
    return out;
}

Vector3* reference_vec3_barycentric(Vector3* out, const Vector3* v1, const Vector3* v2,
                                    const Vector3* v3, float f, float g) {
    Vector3 r = {barycentric(v1->x, v2->x, v3->x, f, g), barycentric(v1->y, v2->y, v3->y, f, g),
                 barycentric(v1->z, v2->z, v3->z, f, g)};
    *out = r;
    return out;
}

Vector4* reference_vec4_hermite(Vector4* out, const Vector4* p1, const Vector4* t1,
                                const Vector4* p2, const Vector4* t2, float s) {
    HermiteWeights h = hermite_weights(s);
    Vector4 r = {hermite(h, p1->x, t1->x, p2->x, t2->x), hermite(h, p1->y, t1->y, p2->y, t2->y),
                 hermite(h, p1->z, t1->z, p2->z, t2->z), hermite(h, p1->w, t1->w, p2->w, t2->w)};
    *out = r;
    return out;
}

Vector4* reference_vec4_catmull_rom(Vector4* out, const Vector4* v0, const Vector4* v1,
                                    const Vector4* v2, const Vector4* v3, float s) {
    Vector4 r = {
        catmull_rom(s, v0->x, v1->x, v2->x, v3->x), catmull_rom(s, v0->y, v1->y, v2->y, v3->y),
        catmull_rom(s, v0->z, v1->z, v2->z, v3->z), catmull_rom(s, v0->w, v1->w, v2->w, v3->w)};
    *out = r;
    return out;
}

Vector4* reference_vec4_barycentric(Vector4* out, const Vector4* v1, const Vector4* v2,
                                    const Vector4* v3, float f, float g) {
    Vector4 r = {barycentric(v1->x, v2->x, v3->x, f, g), barycentric(v1->y, v2->y, v3->y, f, g),
                 barycentric(v1->z, v2->z, v3->z, f, g), barycentric(v1->w, v2->w, v3->w, f, g)};
    *out = r;
    return out;
}

Quaternion* reference_quaternion_ln(Quaternion* out, const Quaternion* q) {
    double w = q->w > 1.0f ? 1.0 : q->w < -1.0f ? -1.0 : q->w;
    double theta = std::acos(w), s = std::sin(theta);
    double k = s > 1e-12 ? theta / s : 1.0; // theta / sin(theta) tends to 1
    out->x = (float)(q->x * k), out->y = (float)(q->y * k), out->z = (float)(q->z * k);
    out->w = 0.0f;
    return out;
}

Quaternion* reference_quaternion_exp(Quaternion* out, const Quaternion* q) {
    double x = q->x, y = q->y, z = q->z;
    double theta = std::sqrt(x * x + y * y + z * z);
    double k = theta > 1e-12 ? std::sin(theta) / theta : 1.0; // sin(theta) / theta tends to 1
    out->x = (float)(x * k), out->y = (float)(y * k), out->z = (float)(z * k);
    out->w = (float)std::cos(theta);
    return out;
}

const MathReferenceTable math_reference_table = {
#define QV_MATH_REFERENCE_ENTRY(slot, result, name, params, args) reference_##name,
    QV_MATH_SLOTS(QV_MATH_REFERENCE_ENTRY)
#undef QV_MATH_REFERENCE_ENTRY
};
