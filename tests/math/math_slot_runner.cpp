// One call of every slot on generated inputs, so that whole tables can be compared slot by slot.
#include "math_test_support.h"

namespace {

template <class T> void append(std::vector<float>& out, const T& value) {
    std::vector<float> f = floats_of(&value, sizeof value);
    out.insert(out.end(), f.begin(), f.end());
}

} // namespace

std::vector<float> run_slot(const MathDispatchTable& t, int slot, uint32_t seed) {
    MathInputs in(seed * 7919u + (uint32_t)slot);
    std::vector<float> out;
    Vector2 a2 = in.v2(), b2 = in.v2(), c2 = in.v2(), d2 = in.v2(), r2 = {};
    Vector3 a3 = in.v3(), b3 = in.v3(), c3 = in.v3(), d3 = in.v3(), r3 = {};
    Vector4 a4 = in.v4(), b4 = in.v4(), c4 = in.v4(), d4 = in.v4(), r4 = {};
    Quaternion q1 = in.unit_quaternion(), q2 = in.unit_quaternion(), q3 = in.unit_quaternion(),
               q4 = in.unit_quaternion(), rq = {}, rq2 = {}, rq3 = {};
    Matrix4 m = in.matrix(), n = in.matrix(), rm = {};
    Matrix4 affine = in.affine();
    // A projective matrix, so that the divisions by w really happen.
    Matrix4 projective = affine;
    projective.m[0][3] = in.f(-0.2f, 0.2f), projective.m[1][3] = in.f(-0.2f, 0.2f);
    projective.m[2][3] = in.f(-0.2f, 0.2f), projective.m[3][3] = in.f(1.5f, 3.0f);
    Plane p = in.plane(), rp = {};
    float s = in.f(0.0f, 1.0f), g = in.f(0.0f, 0.5f), angle = in.f(-6.0f, 6.0f);
    Viewport viewport = {10, 20, 640, 480, 0.0f, 1.0f};
    float scalar = 0.0f;
    const void* result = nullptr;
    // By the slots' names: a slot left out here is a compiler warning. Most slots are one call
    // whose result points at what it wrote.
#define QV_RUN(name, written, ...)                                                                 \
    case MATH_SLOT_##name:                                                                         \
        result = t.name(__VA_ARGS__), append(out, written);                                        \
        break
    switch (static_cast<MathSlot>(slot)) {
        QV_RUN(vec2_transform, r4, &r4, &a2, &m);
        QV_RUN(vec3_transform, r4, &r4, &a3, &m);
        QV_RUN(vec4_transform, r4, &r4, &a4, &m);
        QV_RUN(matrix_multiply, rm, &rm, &m, &n);
        QV_RUN(matrix_multiply_transpose, rm, &rm, &m, &n);
        QV_RUN(vec2_transform_normal, r2, &r2, &a2, &m);
        QV_RUN(vec3_transform_normal, r3, &r3, &a3, &m);
        QV_RUN(vec3_normalize, r3, &r3, &a3);
        QV_RUN(vec4_normalize, r4, &r4, &a4);
        QV_RUN(vec2_transform_coord, r2, &r2, &a2, &projective);
        QV_RUN(vec3_transform_coord, r3, &r3, &a3, &projective);
    case MATH_SLOT_matrix_determinant:
        scalar = t.matrix_determinant(&affine), result = &scalar, append(out, scalar);
        break;
        QV_RUN(plane_from_point_normal, rp, &rp, &a3, &b3);
        QV_RUN(plane_from_points, rp, &rp, &a3, &b3, &c3);
    case MATH_SLOT_vec3_project:
        result = t.vec3_project(&r3, &a3, &viewport, &projective, &affine, nullptr);
        append(out, r3);
        break;
    case MATH_SLOT_vec3_unproject:
        r3 = {in.f(10, 650), in.f(20, 500), in.f(0, 1)};
        result = t.vec3_unproject(&r3, &r3, &viewport, &projective, &affine, nullptr);
        append(out, r3);
        break;
        QV_RUN(vec4_cross, r4, &r4, &a4, &b4, &c4);
        QV_RUN(vec2_hermite, r2, &r2, &a2, &b2, &c2, &d2, s);
    case MATH_SLOT_matrix_inverse:
        result = t.matrix_inverse(&rm, &scalar, &affine), append(out, rm), append(out, scalar);
        break;
        QV_RUN(quaternion_multiply, rq, &rq, &q1, &q2);
    case MATH_SLOT_quaternion_normalize: {
        Quaternion q = {a4.x, a4.y, a4.z, a4.w};
        result = t.quaternion_normalize(&rq, &q), append(out, rq);
        break;
    }
        QV_RUN(plane_normalize, rp, &rp, &p);
        QV_RUN(plane_intersect_line, r3, &r3, &p, &a3, &b3);
    case MATH_SLOT_quaternion_to_axis_angle:
        t.quaternion_to_axis_angle(&q1, &r3, &scalar), append(out, r3), append(out, scalar);
        result = &scalar;
        break;
    case MATH_SLOT_quaternion_from_matrix: {
        Matrix4 rotation;
        math_reference_table.matrix_from_quaternion(&rotation, &q1);
        result = t.quaternion_from_matrix(&rq, &rotation), append(out, rq);
        break;
    }
    case MATH_SLOT_quaternion_from_yaw_pitch_roll:
        result = t.quaternion_from_yaw_pitch_roll(&rq, a3.x * 3, a3.y * 3, a3.z * 3);
        append(out, rq);
        break;
        QV_RUN(matrix_translation, rm, &rm, a3.x, a3.y, a3.z);
        QV_RUN(matrix_shadow, rm, &rm, &a4, &p);
        QV_RUN(matrix_reflect, rm, &rm, &p);
        QV_RUN(quaternion_from_axis_angle, rq, &rq, &a3, angle);
        QV_RUN(matrix_rotation_x, rm, &rm, angle);
        QV_RUN(matrix_rotation_y, rm, &rm, angle);
        QV_RUN(matrix_rotation_z, rm, &rm, angle);
        QV_RUN(matrix_scaling, rm, &rm, a3.x, a3.y, a3.z);
        QV_RUN(plane_transform, rp, &rp, &p, &m);
        QV_RUN(quaternion_slerp, rq, &rq, &q1, &q2, s);
        QV_RUN(quaternion_barycentric, rq, &rq, &q1, &q2, &q3, s * 0.5f, g);
        QV_RUN(matrix_transpose, rm, &rm, &m);
        QV_RUN(matrix_from_quaternion, rm, &rm, &q1);
        QV_RUN(matrix_transformation, rm, &rm, &a3, &q1, &b3, &c3, &q2, &d3);
    case MATH_SLOT_matrix_rotation_yaw_pitch_roll:
        result = t.matrix_rotation_yaw_pitch_roll(&rm, a3.x * 3, a3.y * 3, a3.z * 3);
        append(out, rm);
        break;
        QV_RUN(matrix_affine_transformation, rm, &rm, s + 0.5f, &a3, &q1, &b3);
        QV_RUN(matrix_rotation_axis, rm, &rm, &a3, angle);
        QV_RUN(quaternion_squad, rq, &rq, &q1, &q2, &q3, &q4, s);
    case MATH_SLOT_quaternion_inverse: {
        Quaternion q = {a4.x, a4.y, a4.z, a4.w};
        result = t.quaternion_inverse(&rq, &q), append(out, rq);
        break;
    }
    case MATH_SLOT_quaternion_squad_setup:
        t.quaternion_squad_setup(&rq, &rq2, &rq3, &q1, &q2, &q3, &q4);
        append(out, rq), append(out, rq2), append(out, rq3), result = &rq;
        break;
        QV_RUN(vec2_normalize, r2, &r2, &a2);
        QV_RUN(vec2_catmull_rom, r2, &r2, &a2, &b2, &c2, &d2, s);
        QV_RUN(vec2_barycentric, r2, &r2, &a2, &b2, &c2, s, g);
        QV_RUN(vec3_hermite, r3, &r3, &a3, &b3, &c3, &d3, s);
        QV_RUN(vec3_catmull_rom, r3, &r3, &a3, &b3, &c3, &d3, s);
        QV_RUN(vec3_barycentric, r3, &r3, &a3, &b3, &c3, s, g);
        QV_RUN(vec4_hermite, r4, &r4, &a4, &b4, &c4, &d4, s);
        QV_RUN(vec4_catmull_rom, r4, &r4, &a4, &b4, &c4, &d4, s);
        QV_RUN(vec4_barycentric, r4, &r4, &a4, &b4, &c4, s, g);
        QV_RUN(quaternion_ln, rq, &rq, &q1);
    case MATH_SLOT_quaternion_exp: {
        Quaternion pure = {a3.x, a3.y, a3.z, 0.0f};
        result = t.quaternion_exp(&rq, &pure), append(out, rq);
        break;
    }
    }
#undef QV_RUN
    out.push_back(result ? 1.0f : 0.0f);
    return out;
}
