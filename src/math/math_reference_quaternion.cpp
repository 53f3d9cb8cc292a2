// Reference code for quaternions: products, conversions and interpolation.
#include <cmath>

#include "math/math_dispatch.h"
#include "math/math_reference.h"
#include "math/math_reference_support.h"

using namespace math_reference_support;

namespace {

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
    double scale = unit_scale(quaternion_dot(q, q));
    out->x = (float)(q->x * scale), out->y = (float)(q->y * scale);
    out->z = (float)(q->z * scale), out->w = (float)(q->w * scale);
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

Quaternion* reference_quaternion_from_axis_angle(Quaternion* out, const Vector3* axis,
                                                 float angle) {
    Vector3 n;
    math_slot(math_dispatch_table.vec3_normalize)(&n, axis);
    double half = angle * 0.5, s = std::sin(half);
    out->x = (float)(n.x * s), out->y = (float)(n.y * s), out->z = (float)(n.z * s);
    out->w = (float)std::cos(half);
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
