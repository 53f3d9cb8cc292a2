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
    // By the slots' names: a slot left out here is a compiler warning.
    switch (static_cast<MathSlot>(slot)) {
    case MATH_SLOT_vec2_transform:
        result = t.vec2_transform(&r4, &a2, &m), append(out, r4);
        break;
    case MATH_SLOT_vec3_transform:
        result = t.vec3_transform(&r4, &a3, &m), append(out, r4);
        break;
    case MATH_SLOT_vec4_transform:
        result = t.vec4_transform(&r4, &a4, &m), append(out, r4);
        break;
    case MATH_SLOT_matrix_multiply:
        result = t.matrix_multiply(&rm, &m, &n), append(out, rm);
        break;
    case MATH_SLOT_matrix_multiply_transpose:
        result = t.matrix_multiply_transpose(&rm, &m, &n), append(out, rm);
        break;
    case MATH_SLOT_vec2_transform_normal:
        result = t.vec2_transform_normal(&r2, &a2, &m), append(out, r2);
        break;
    case MATH_SLOT_vec3_transform_normal:
        result = t.vec3_transform_normal(&r3, &a3, &m), append(out, r3);
        break;
    case MATH_SLOT_vec3_normalize:
        result = t.vec3_normalize(&r3, &a3), append(out, r3);
        break;
    case MATH_SLOT_vec4_normalize:
        result = t.vec4_normalize(&r4, &a4), append(out, r4);
        break;
    case MATH_SLOT_vec2_transform_coord:
        result = t.vec2_transform_coord(&r2, &a2, &projective), append(out, r2);
        break;
    case MATH_SLOT_vec3_transform_coord:
        result = t.vec3_transform_coord(&r3, &a3, &projective), append(out, r3);
        break;
    case MATH_SLOT_matrix_determinant:
        scalar = t.matrix_determinant(&affine), result = &scalar, append(out, scalar);
        break;
    case MATH_SLOT_plane_from_point_normal:
        result = t.plane_from_point_normal(&rp, &a3, &b3), append(out, rp);
        break;
    case MATH_SLOT_plane_from_points:
        result = t.plane_from_points(&rp, &a3, &b3, &c3), append(out, rp);
        break;
    case MATH_SLOT_vec3_project:
        result = t.vec3_project(&r3, &a3, &viewport, &projective, &affine, nullptr);
        append(out, r3);
        break;
    case MATH_SLOT_vec3_unproject:
        r3 = {in.f(10, 650), in.f(20, 500), in.f(0, 1)};
        result = t.vec3_unproject(&r3, &r3, &viewport, &projective, &affine, nullptr);
        append(out, r3);
        break;
    case MATH_SLOT_vec4_cross:
        result = t.vec4_cross(&r4, &a4, &b4, &c4), append(out, r4);
        break;
    case MATH_SLOT_vec2_hermite:
        result = t.vec2_hermite(&r2, &a2, &b2, &c2, &d2, s), append(out, r2);
        break;
    case MATH_SLOT_matrix_inverse:
        result = t.matrix_inverse(&rm, &scalar, &affine), append(out, rm), append(out, scalar);
        break;
    case MATH_SLOT_quaternion_multiply:
        result = t.quaternion_multiply(&rq, &q1, &q2), append(out, rq);
        break;
    case MATH_SLOT_quaternion_normalize: {
        Quaternion q = {a4.x, a4.y, a4.z, a4.w};
        result = t.quaternion_normalize(&rq, &q), append(out, rq);
        break;
    }
    case MATH_SLOT_plane_normalize:
        result = t.plane_normalize(&rp, &p), append(out, rp);
        break;
    case MATH_SLOT_plane_intersect_line:
        result = t.plane_intersect_line(&r3, &p, &a3, &b3), append(out, r3);
        break;
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
    case MATH_SLOT_matrix_translation:
        result = t.matrix_translation(&rm, a3.x, a3.y, a3.z), append(out, rm);
        break;
    case MATH_SLOT_matrix_shadow:
        result = t.matrix_shadow(&rm, &a4, &p), append(out, rm);
        break;
    case MATH_SLOT_matrix_reflect:
        result = t.matrix_reflect(&rm, &p), append(out, rm);
        break;
    case MATH_SLOT_quaternion_from_axis_angle:
        result = t.quaternion_from_axis_angle(&rq, &a3, angle), append(out, rq);
        break;
    case MATH_SLOT_matrix_rotation_x:
        result = t.matrix_rotation_x(&rm, angle), append(out, rm);
        break;
    case MATH_SLOT_matrix_rotation_y:
        result = t.matrix_rotation_y(&rm, angle), append(out, rm);
        break;
    case MATH_SLOT_matrix_rotation_z:
        result = t.matrix_rotation_z(&rm, angle), append(out, rm);
        break;
    case MATH_SLOT_matrix_scaling:
        result = t.matrix_scaling(&rm, a3.x, a3.y, a3.z), append(out, rm);
        break;
    case MATH_SLOT_plane_transform:
        result = t.plane_transform(&rp, &p, &m), append(out, rp);
        break;
    case MATH_SLOT_quaternion_slerp:
        result = t.quaternion_slerp(&rq, &q1, &q2, s), append(out, rq);
        break;
    case MATH_SLOT_quaternion_barycentric:
        result = t.quaternion_barycentric(&rq, &q1, &q2, &q3, s * 0.5f, g), append(out, rq);
        break;
    case MATH_SLOT_matrix_transpose:
        result = t.matrix_transpose(&rm, &m), append(out, rm);
        break;
    case MATH_SLOT_matrix_from_quaternion:
        result = t.matrix_from_quaternion(&rm, &q1), append(out, rm);
        break;
    case MATH_SLOT_matrix_transformation:
        result = t.matrix_transformation(&rm, &a3, &q1, &b3, &c3, &q2, &d3), append(out, rm);
        break;
    case MATH_SLOT_matrix_rotation_yaw_pitch_roll:
        result = t.matrix_rotation_yaw_pitch_roll(&rm, a3.x * 3, a3.y * 3, a3.z * 3);
        append(out, rm);
        break;
    case MATH_SLOT_matrix_affine_transformation:
        result = t.matrix_affine_transformation(&rm, s + 0.5f, &a3, &q1, &b3), append(out, rm);
        break;
    case MATH_SLOT_matrix_rotation_axis:
        result = t.matrix_rotation_axis(&rm, &a3, angle), append(out, rm);
        break;
    case MATH_SLOT_quaternion_squad:
        result = t.quaternion_squad(&rq, &q1, &q2, &q3, &q4, s), append(out, rq);
        break;
    case MATH_SLOT_quaternion_inverse: {
        Quaternion q = {a4.x, a4.y, a4.z, a4.w};
        result = t.quaternion_inverse(&rq, &q), append(out, rq);
        break;
    }
    case MATH_SLOT_quaternion_squad_setup:
        t.quaternion_squad_setup(&rq, &rq2, &rq3, &q1, &q2, &q3, &q4);
        append(out, rq), append(out, rq2), append(out, rq3), result = &rq;
        break;
    case MATH_SLOT_vec2_normalize:
        result = t.vec2_normalize(&r2, &a2), append(out, r2);
        break;
    case MATH_SLOT_vec2_catmull_rom:
        result = t.vec2_catmull_rom(&r2, &a2, &b2, &c2, &d2, s), append(out, r2);
        break;
    case MATH_SLOT_vec2_barycentric:
        result = t.vec2_barycentric(&r2, &a2, &b2, &c2, s, g), append(out, r2);
        break;
    case MATH_SLOT_vec3_hermite:
        result = t.vec3_hermite(&r3, &a3, &b3, &c3, &d3, s), append(out, r3);
        break;
    case MATH_SLOT_vec3_catmull_rom:
        result = t.vec3_catmull_rom(&r3, &a3, &b3, &c3, &d3, s), append(out, r3);
        break;
    case MATH_SLOT_vec3_barycentric:
        result = t.vec3_barycentric(&r3, &a3, &b3, &c3, s, g), append(out, r3);
        break;
    case MATH_SLOT_vec4_hermite:
        result = t.vec4_hermite(&r4, &a4, &b4, &c4, &d4, s), append(out, r4);
        break;
    case MATH_SLOT_vec4_catmull_rom:
        result = t.vec4_catmull_rom(&r4, &a4, &b4, &c4, &d4, s), append(out, r4);
        break;
    case MATH_SLOT_vec4_barycentric:
        result = t.vec4_barycentric(&r4, &a4, &b4, &c4, s, g), append(out, r4);
        break;
    case MATH_SLOT_quaternion_ln:
        result = t.quaternion_ln(&rq, &q1), append(out, rq);
        break;
    case MATH_SLOT_quaternion_exp: {
        Quaternion pure = {a3.x, a3.y, a3.z, 0.0f};
        result = t.quaternion_exp(&rq, &pure), append(out, rq);
        break;
    }
    }
    out.push_back(result ? 1.0f : 0.0f);
    return out;
}
