// The slot table of the math routines: slot number, result, name, parameters and argument list of
// every operation, in slot order. Expanded wherever a per-slot list is needed (the table record,
// the public entries, the stubs, the reference table), so the order is written down only once.
#pragma once

#include "math/math_types.h"

#define QV_MATH_SLOTS(X)                                                                           \
    X(0, Vector4*, vec2_transform, (Vector4 * out, const Vector2* v, const Matrix4* m),            \
      (out, v, m))                                                                                 \
    X(1, Vector4*, vec3_transform, (Vector4 * out, const Vector3* v, const Matrix4* m),            \
      (out, v, m))                                                                                 \
    X(2, Vector4*, vec4_transform, (Vector4 * out, const Vector4* v, const Matrix4* m),            \
      (out, v, m))                                                                                 \
    X(3, Matrix4*, matrix_multiply, (Matrix4 * out, const Matrix4* a, const Matrix4* b),           \
      (out, a, b))                                                                                 \
    X(4, Matrix4*, matrix_multiply_transpose, (Matrix4 * out, const Matrix4* a, const Matrix4* b), \
      (out, a, b))                                                                                 \
    X(5, Vector2*, vec2_transform_normal, (Vector2 * out, const Vector2* v, const Matrix4* m),     \
      (out, v, m))                                                                                 \
    X(6, Vector3*, vec3_transform_normal, (Vector3 * out, const Vector3* v, const Matrix4* m),     \
      (out, v, m))                                                                                 \
    X(7, Vector3*, vec3_normalize, (Vector3 * out, const Vector3* v), (out, v))                    \
    X(8, Vector4*, vec4_normalize, (Vector4 * out, const Vector4* v), (out, v))                    \
    X(9, Vector2*, vec2_transform_coord, (Vector2 * out, const Vector2* v, const Matrix4* m),      \
      (out, v, m))                                                                                 \
    X(10, Vector3*, vec3_transform_coord, (Vector3 * out, const Vector3* v, const Matrix4* m),     \
      (out, v, m))                                                                                 \
    X(11, float, matrix_determinant, (const Matrix4* m), (m))                                      \
    X(12, Plane*, plane_from_point_normal,                                                         \
      (Plane * out, const Vector3* point, const Vector3* normal), (out, point, normal))            \
    X(13, Plane*, plane_from_points,                                                               \
      (Plane * out, const Vector3* p1, const Vector3* p2, const Vector3* p3), (out, p1, p2, p3))   \
    X(14, Vector3*, vec3_project,                                                                  \
      (Vector3 * out, const Vector3* v, const Viewport* viewport, const Matrix4* projection,       \
       const Matrix4* view, const Matrix4* world),                                                 \
      (out, v, viewport, projection, view, world))                                                 \
    X(15, Vector3*, vec3_unproject,                                                                \
      (Vector3 * out, const Vector3* v, const Viewport* viewport, const Matrix4* projection,       \
       const Matrix4* view, const Matrix4* world),                                                 \
      (out, v, viewport, projection, view, world))                                                 \
    X(16, Vector4*, vec4_cross,                                                                    \
      (Vector4 * out, const Vector4* v1, const Vector4* v2, const Vector4* v3), (out, v1, v2, v3)) \
    X(17, Vector2*, vec2_hermite,                                                                  \
      (Vector2 * out, const Vector2* p1, const Vector2* t1, const Vector2* p2, const Vector2* t2,  \
       float s),                                                                                   \
      (out, p1, t1, p2, t2, s))                                                                    \
    X(18, Matrix4*, matrix_inverse, (Matrix4 * out, float* determinant, const Matrix4* m),         \
      (out, determinant, m))                                                                       \
    X(19, Quaternion*, quaternion_multiply,                                                        \
      (Quaternion * out, const Quaternion* q1, const Quaternion* q2), (out, q1, q2))               \
    X(20, Quaternion*, quaternion_normalize, (Quaternion * out, const Quaternion* q), (out, q))    \
    X(21, Plane*, plane_normalize, (Plane * out, const Plane* p), (out, p))                        \
    X(22, Vector3*, plane_intersect_line,                                                          \
      (Vector3 * out, const Plane* plane, const Vector3* p1, const Vector3* p2),                   \
      (out, plane, p1, p2))                                                                        \
    X(23, void, quaternion_to_axis_angle, (const Quaternion* q, Vector3* axis, float* angle),      \
      (q, axis, angle))                                                                            \
    X(24, Quaternion*, quaternion_from_matrix, (Quaternion * out, const Matrix4* m), (out, m))     \
    X(25, Quaternion*, quaternion_from_yaw_pitch_roll,                                             \
      (Quaternion * out, float yaw, float pitch, float roll), (out, yaw, pitch, roll))             \
    X(26, Matrix4*, matrix_translation, (Matrix4 * out, float x, float y, float z),                \
      (out, x, y, z))                                                                              \
    X(27, Matrix4*, matrix_shadow, (Matrix4 * out, const Vector4* light, const Plane* plane),      \
      (out, light, plane))                                                                         \
    X(28, Matrix4*, matrix_reflect, (Matrix4 * out, const Plane* plane), (out, plane))             \
    X(29, Quaternion*, quaternion_from_axis_angle,                                                 \
      (Quaternion * out, const Vector3* axis, float angle), (out, axis, angle))                    \
    X(30, Matrix4*, matrix_rotation_x, (Matrix4 * out, float angle), (out, angle))                 \
    X(31, Matrix4*, matrix_rotation_y, (Matrix4 * out, float angle), (out, angle))                 \
    X(32, Matrix4*, matrix_rotation_z, (Matrix4 * out, float angle), (out, angle))                 \
    X(33, Matrix4*, matrix_scaling, (Matrix4 * out, float sx, float sy, float sz),                 \
      (out, sx, sy, sz))                                                                           \
    X(34, Plane*, plane_transform, (Plane * out, const Plane* p, const Matrix4* m), (out, p, m))   \
    X(35, Quaternion*, quaternion_slerp,                                                           \
      (Quaternion * out, const Quaternion* q1, const Quaternion* q2, float t), (out, q1, q2, t))   \
    X(36, Quaternion*, quaternion_barycentric,                                                     \
      (Quaternion * out, const Quaternion* q1, const Quaternion* q2, const Quaternion* q3,         \
       float f, float g),                                                                          \
      (out, q1, q2, q3, f, g))                                                                     \
    X(37, Matrix4*, matrix_transpose, (Matrix4 * out, const Matrix4* m), (out, m))                 \
    X(38, Matrix4*, matrix_from_quaternion, (Matrix4 * out, const Quaternion* q), (out, q))        \
    X(39, Matrix4*, matrix_transformation,                                                         \
      (Matrix4 * out, const Vector3* scaling_center, const Quaternion* scaling_rotation,           \
       const Vector3* scaling, const Vector3* rotation_center, const Quaternion* rotation,         \
       const Vector3* translation),                                                                \
      (out, scaling_center, scaling_rotation, scaling, rotation_center, rotation, translation))    \
    X(40, Matrix4*, matrix_rotation_yaw_pitch_roll,                                                \
      (Matrix4 * out, float yaw, float pitch, float roll), (out, yaw, pitch, roll))                \
    X(41, Matrix4*, matrix_affine_transformation,                                                  \
      (Matrix4 * out, float scaling, const Vector3* rotation_center, const Quaternion* rotation,   \
       const Vector3* translation),                                                                \
      (out, scaling, rotation_center, rotation, translation))                                      \
    X(42, Matrix4*, matrix_rotation_axis, (Matrix4 * out, const Vector3* axis, float angle),       \
      (out, axis, angle))                                                                          \
    X(43, Quaternion*, quaternion_squad,                                                           \
      (Quaternion * out, const Quaternion* q1, const Quaternion* a, const Quaternion* b,           \
       const Quaternion* c, float t),                                                              \
      (out, q1, a, b, c, t))                                                                       \
    X(44, Quaternion*, quaternion_inverse, (Quaternion * out, const Quaternion* q), (out, q))      \
    X(45, void, quaternion_squad_setup,                                                            \
      (Quaternion * a_out, Quaternion * b_out, Quaternion * c_out, const Quaternion* q0,           \
       const Quaternion* q1, const Quaternion* q2, const Quaternion* q3),                          \
      (a_out, b_out, c_out, q0, q1, q2, q3))                                                       \
    X(46, Vector2*, vec2_normalize, (Vector2 * out, const Vector2* v), (out, v))                   \
    X(47, Vector2*, vec2_catmull_rom,                                                              \
      (Vector2 * out, const Vector2* v0, const Vector2* v1, const Vector2* v2, const Vector2* v3,  \
       float s),                                                                                   \
      (out, v0, v1, v2, v3, s))                                                                    \
    X(48, Vector2*, vec2_barycentric,                                                              \
      (Vector2 * out, const Vector2* v1, const Vector2* v2, const Vector2* v3, float f, float g),  \
      (out, v1, v2, v3, f, g))                                                                     \
    X(49, Vector3*, vec3_hermite,                                                                  \
      (Vector3 * out, const Vector3* p1, const Vector3* t1, const Vector3* p2, const Vector3* t2,  \
       float s),                                                                                   \
      (out, p1, t1, p2, t2, s))                                                                    \
    X(50, Vector3*, vec3_catmull_rom,                                                              \
      (Vector3 * out, const Vector3* v0, const Vector3* v1, const Vector3* v2, const Vector3* v3,  \
       float s),                                                                                   \
      (out, v0, v1, v2, v3, s))                                                                    \
    X(51, Vector3*, vec3_barycentric,                                                              \
      (Vector3 * out, const Vector3* v1, const Vector3* v2, const Vector3* v3, float f, float g),  \
      (out, v1, v2, v3, f, g))                                                                     \
    X(52, Vector4*, vec4_hermite,                                                                  \
      (Vector4 * out, const Vector4* p1, const Vector4* t1, const Vector4* p2, const Vector4* t2,  \
       float s),                                                                                   \
      (out, p1, t1, p2, t2, s))                                                                    \
    X(53, Vector4*, vec4_catmull_rom,                                                              \
      (Vector4 * out, const Vector4* v0, const Vector4* v1, const Vector4* v2, const Vector4* v3,  \
       float s),                                                                                   \
      (out, v0, v1, v2, v3, s))                                                                    \
    X(54, Vector4*, vec4_barycentric,                                                              \
      (Vector4 * out, const Vector4* v1, const Vector4* v2, const Vector4* v3, float f, float g),  \
      (out, v1, v2, v3, f, g))                                                                     \
    X(55, Quaternion*, quaternion_ln, (Quaternion * out, const Quaternion* q), (out, q))           \
    X(56, Quaternion*, quaternion_exp, (Quaternion * out, const Quaternion* q), (out, q))

enum { MATH_SLOT_COUNT = 57 };
