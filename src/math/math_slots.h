// The slot list of the math routines: slot number, result, name, parameters and argument list of
// every operation, in slot order, with what each computes. Expanded wherever a per-slot list is
// needed (the public declarations and entries, the table record, the stubs, the reference table),
// so the order and every signature are written down only once. Matrices are row-major and act on
// row vectors: in a * b, a is applied first.
#pragma once

#include <cstddef>

#include "math/math_types.h"

// A vector v of type V times the matrix m, into a vector of type R.
#define QV_MATH_TIMES_MATRIX(X, slot, R, V, name)                                                  \
    X(slot, R*, name, (R * out, const V* v, const Matrix4* m), (out, v, m))
// The curves through points, alike in 2, 3 and 4 components (V is the vector type).
// Cubic Hermite point at s from p1 (tangent t1) to p2 (tangent t2).
#define QV_MATH_HERMITE(X, slot, V, name)                                                          \
    X(slot, V*, name, (V * out, const V* p1, const V* t1, const V* p2, const V* t2, float s),      \
      (out, p1, t1, p2, t2, s))
// Catmull-Rom point at s between v1 (s = 0) and v2 (s = 1).
#define QV_MATH_CATMULL_ROM(X, slot, V, name)                                                      \
    X(slot, V*, name, (V * out, const V* v0, const V* v1, const V* v2, const V* v3, float s),      \
      (out, v0, v1, v2, v3, s))
// v1 + f (v2 - v1) + g (v3 - v1).
#define QV_MATH_BARYCENTRIC(X, slot, V, name)                                                      \
    X(slot, V*, name, (V * out, const V* v1, const V* v2, const V* v3, float f, float g),          \
      (out, v1, v2, v3, f, g))

#define QV_MATH_SLOTS(X)                                                                           \
    /* (x, y, 0, 1) times m. */                                                                    \
    QV_MATH_TIMES_MATRIX(X, 0, Vector4, Vector2, vec2_transform)                                   \
    /* (x, y, z, 1) times m. */                                                                    \
    QV_MATH_TIMES_MATRIX(X, 1, Vector4, Vector3, vec3_transform)                                   \
    /* (x, y, z, w) times m. out may be v. */                                                      \
    QV_MATH_TIMES_MATRIX(X, 2, Vector4, Vector4, vec4_transform)                                   \
    /* a * b (a applied first). out may be a, b or both. */                                        \
    X(3, Matrix4*, matrix_multiply, (Matrix4 * out, const Matrix4* a, const Matrix4* b),           \
      (out, a, b))                                                                                 \
    /* Transpose of a * b. out may be a, b or both. */                                             \
    X(4, Matrix4*, matrix_multiply_transpose, (Matrix4 * out, const Matrix4* a, const Matrix4* b), \
      (out, a, b))                                                                                 \
    /* The direction (x, y, 0, 0) times m, x and y of the result. */                               \
    QV_MATH_TIMES_MATRIX(X, 5, Vector2, Vector2, vec2_transform_normal)                            \
    /* The direction (x, y, z, 0) times m, x, y and z of the result. */                            \
    QV_MATH_TIMES_MATRIX(X, 6, Vector3, Vector3, vec3_transform_normal)                            \
    /* v scaled to unit length; a zero vector stays zero. */                                       \
    X(7, Vector3*, vec3_normalize, (Vector3 * out, const Vector3* v), (out, v))                    \
    X(8, Vector4*, vec4_normalize, (Vector4 * out, const Vector4* v), (out, v))                    \
    /* (x, y, 0, 1) times m, x and y divided by w unless w is nearly 1. */                         \
    QV_MATH_TIMES_MATRIX(X, 9, Vector2, Vector2, vec2_transform_coord)                             \
    /* (x, y, z, 1) times m, divided by w unless w is nearly 1. out may be v. */                   \
    QV_MATH_TIMES_MATRIX(X, 10, Vector3, Vector3, vec3_transform_coord)                            \
    /* Determinant of m. */                                                                        \
    X(11, float, matrix_determinant, (const Matrix4* m), (m))                                      \
    /* The plane through point with the given normal (normal taken as it is). */                   \
    X(12, Plane*, plane_from_point_normal,                                                         \
      (Plane * out, const Vector3* point, const Vector3* normal), (out, point, normal))            \
    /* The plane through p1, p2, p3, unit normal (p2 - p1) x (p3 - p1); zero for collinear */      \
    /* points. */                                                                                  \
    X(13, Plane*, plane_from_points,                                                               \
      (Plane * out, const Vector3* p1, const Vector3* p2, const Vector3* p3), (out, p1, p2, p3))   \
    /* v through world, view and projection (each may be null: identity) to viewport */            \
    /* coordinates: x, y in pixels from the top left, z mapped to [min_z, max_z]. */               \
    X(14, Vector3*, vec3_project,                                                                  \
      (Vector3 * out, const Vector3* v, const Viewport* viewport, const Matrix4* projection,       \
       const Matrix4* view, const Matrix4* world),                                                 \
      (out, v, viewport, projection, view, world))                                                 \
    /* The inverse of vec3_project; null (out untouched) when the matrices are singular. */        \
    X(15, Vector3*, vec3_unproject,                                                                \
      (Vector3 * out, const Vector3* v, const Viewport* viewport, const Matrix4* projection,       \
       const Matrix4* view, const Matrix4* world),                                                 \
      (out, v, viewport, projection, view, world))                                                 \
    /* The four-dimensional cross product, the vector orthogonal to v1, v2 and v3. */              \
    X(16, Vector4*, vec4_cross,                                                                    \
      (Vector4 * out, const Vector4* v1, const Vector4* v2, const Vector4* v3), (out, v1, v2, v3)) \
    QV_MATH_HERMITE(X, 17, Vector2, vec2_hermite)                                                  \
    /* Inverse of m; the determinant is stored when determinant is not null. Null (out */          \
    /* untouched) when m is singular. */                                                           \
    X(18, Matrix4*, matrix_inverse, (Matrix4 * out, float* determinant, const Matrix4* m),         \
      (out, determinant, m))                                                                       \
    /* The rotation q1 followed by q2, that is the Hamilton product q2 q1. out may be q1 or q2. */ \
    X(19, Quaternion*, quaternion_multiply,                                                        \
      (Quaternion * out, const Quaternion* q1, const Quaternion* q2), (out, q1, q2))               \
    /* q scaled to unit length; a zero quaternion stays zero. */                                   \
    X(20, Quaternion*, quaternion_normalize, (Quaternion * out, const Quaternion* q), (out, q))    \
    /* p scaled so that its normal (a, b, c) has unit length; a zero normal stays zero. */         \
    X(21, Plane*, plane_normalize, (Plane * out, const Plane* p), (out, p))                        \
    /* Where the line through p1 and p2 meets the plane; null (out untouched) when parallel. */    \
    X(22, Vector3*, plane_intersect_line,                                                          \
      (Vector3 * out, const Plane* plane, const Vector3* p1, const Vector3* p2),                   \
      (out, plane, p1, p2))                                                                        \
    /* The axis (x, y, z of q, not normalised) and angle 2 acos(w) of a unit quaternion. */        \
    X(23, void, quaternion_to_axis_angle, (const Quaternion* q, Vector3* axis, float* angle),      \
      (q, axis, angle))                                                                            \
    /* The unit quaternion of the rotation in the upper 3x3 block of m. */                         \
    X(24, Quaternion*, quaternion_from_matrix, (Quaternion * out, const Matrix4* m), (out, m))     \
    /* The rotation by roll about Z, then pitch about X, then yaw about Y (radians). */            \
    X(25, Quaternion*, quaternion_from_yaw_pitch_roll,                                             \
      (Quaternion * out, float yaw, float pitch, float roll), (out, yaw, pitch, roll))             \
    /* Translation by (x, y, z). */                                                                \
    X(26, Matrix4*, matrix_translation, (Matrix4 * out, float x, float y, float z),                \
      (out, x, y, z))                                                                              \
    /* Flattens geometry onto plane as seen from light (w = 0: directional, 1: point light). */    \
    X(27, Matrix4*, matrix_shadow, (Matrix4 * out, const Vector4* light, const Plane* plane),      \
      (out, light, plane))                                                                         \
    /* Reflection about plane. */                                                                  \
    X(28, Matrix4*, matrix_reflect, (Matrix4 * out, const Plane* plane), (out, plane))             \
    /* Rotation by angle (radians) about axis; the axis is normalised first. */                    \
    X(29, Quaternion*, quaternion_from_axis_angle,                                                 \
      (Quaternion * out, const Vector3* axis, float angle), (out, axis, angle))                    \
    /* Rotation by angle (radians) about X, Y or Z. */                                             \
    X(30, Matrix4*, matrix_rotation_x, (Matrix4 * out, float angle), (out, angle))                 \
    X(31, Matrix4*, matrix_rotation_y, (Matrix4 * out, float angle), (out, angle))                 \
    X(32, Matrix4*, matrix_rotation_z, (Matrix4 * out, float angle), (out, angle))                 \
    /* Scaling by sx, sy, sz, stored unchanged. */                                                 \
    X(33, Matrix4*, matrix_scaling, (Matrix4 * out, float sx, float sy, float sz),                 \
      (out, sx, sy, sz))                                                                           \
    /* The plane (a, b, c, d) as a row vector times m (pass the inverse transpose of a point */    \
    /* transform to move a plane with the points). */                                              \
    X(34, Plane*, plane_transform, (Plane * out, const Plane* p, const Matrix4* m), (out, p, m))   \
    /* Spherical linear interpolation from q1 (t = 0) to q2 (t = 1) along the shorter arc. */      \
    X(35, Quaternion*, quaternion_slerp,                                                           \
      (Quaternion * out, const Quaternion* q1, const Quaternion* q2, float t), (out, q1, q2, t))   \
    /* slerp(slerp(q1, q2, f + g), slerp(q1, q3, f + g), g / (f + g)); q1 when f + g is 0. */      \
    X(36, Quaternion*, quaternion_barycentric,                                                     \
      (Quaternion * out, const Quaternion* q1, const Quaternion* q2, const Quaternion* q3,         \
       float f, float g),                                                                          \
      (out, q1, q2, q3, f, g))                                                                     \
    /* Transpose of m. out may be m. */                                                            \
    X(37, Matrix4*, matrix_transpose, (Matrix4 * out, const Matrix4* m), (out, m))                 \
    /* The rotation matrix of q, which is used as it is (not normalised). */                       \
    X(38, Matrix4*, matrix_from_quaternion, (Matrix4 * out, const Quaternion* q), (out, q))        \
    /* Scaling about scaling_center in the frame scaling_rotation, then rotation about */          \
    /* rotation_center, then translation. Any argument may be null (no such step). */              \
    X(39, Matrix4*, matrix_transformation,                                                         \
      (Matrix4 * out, const Vector3* scaling_center, const Quaternion* scaling_rotation,           \
       const Vector3* scaling, const Vector3* rotation_center, const Quaternion* rotation,         \
       const Vector3* translation),                                                                \
      (out, scaling_center, scaling_rotation, scaling, rotation_center, rotation, translation))    \
    /* The rotation by roll about Z, then pitch about X, then yaw about Y (radians). */            \
    X(40, Matrix4*, matrix_rotation_yaw_pitch_roll,                                                \
      (Matrix4 * out, float yaw, float pitch, float roll), (out, yaw, pitch, roll))                \
    /* Uniform scaling, rotation about rotation_center, then translation (pointers may be */       \
    /* null). */                                                                                   \
    X(41, Matrix4*, matrix_affine_transformation,                                                  \
      (Matrix4 * out, float scaling, const Vector3* rotation_center, const Quaternion* rotation,   \
       const Vector3* translation),                                                                \
      (out, scaling, rotation_center, rotation, translation))                                      \
    /* Rotation by angle (radians) about axis; the axis is normalised first. */                    \
    X(42, Matrix4*, matrix_rotation_axis, (Matrix4 * out, const Vector3* axis, float angle),       \
      (out, axis, angle))                                                                          \
    /* Spherical quadrangle interpolation slerp(slerp(q1, c, t), slerp(a, b, t), 2t(1 - t)). */    \
    X(43, Quaternion*, quaternion_squad,                                                           \
      (Quaternion * out, const Quaternion* q1, const Quaternion* a, const Quaternion* b,           \
       const Quaternion* c, float t),                                                              \
      (out, q1, a, b, c, t))                                                                       \
    /* Inverse of q: its conjugate divided by its squared length; zero stays zero. */              \
    X(44, Quaternion*, quaternion_inverse, (Quaternion * out, const Quaternion* q), (out, q))      \
    /* Control points a, b and end point c for quaternion_squad between q1 and q2, with q0 */      \
    /* before and q3 after, all brought to the hemisphere of q1. */                                \
    X(45, void, quaternion_squad_setup,                                                            \
      (Quaternion * a_out, Quaternion * b_out, Quaternion * c_out, const Quaternion* q0,           \
       const Quaternion* q1, const Quaternion* q2, const Quaternion* q3),                          \
      (a_out, b_out, c_out, q0, q1, q2, q3))                                                       \
    /* v scaled to unit length; a zero vector stays zero. */                                       \
    X(46, Vector2*, vec2_normalize, (Vector2 * out, const Vector2* v), (out, v))                   \
    QV_MATH_CATMULL_ROM(X, 47, Vector2, vec2_catmull_rom)                                          \
    QV_MATH_BARYCENTRIC(X, 48, Vector2, vec2_barycentric)                                          \
    QV_MATH_HERMITE(X, 49, Vector3, vec3_hermite)                                                  \
    QV_MATH_CATMULL_ROM(X, 50, Vector3, vec3_catmull_rom)                                          \
    QV_MATH_BARYCENTRIC(X, 51, Vector3, vec3_barycentric)                                          \
    QV_MATH_HERMITE(X, 52, Vector4, vec4_hermite)                                                  \
    QV_MATH_CATMULL_ROM(X, 53, Vector4, vec4_catmull_rom)                                          \
    QV_MATH_BARYCENTRIC(X, 54, Vector4, vec4_barycentric)                                          \
    /* Logarithm of a unit quaternion: (axis * half angle, 0). */                                  \
    X(55, Quaternion*, quaternion_ln, (Quaternion * out, const Quaternion* q), (out, q))           \
    /* Exponential of a pure quaternion (v, 0): (v / |v| sin |v|, cos |v|). */                     \
    X(56, Quaternion*, quaternion_exp, (Quaternion * out, const Quaternion* q), (out, q))

enum { MATH_SLOT_COUNT = 57 };

// Each slot's number, from the slot list.
enum MathSlot : int {
#define QV_MATH_SLOT_NUMBER(slot, result, name, params, args) MATH_SLOT_##name = slot,
    QV_MATH_SLOTS(QV_MATH_SLOT_NUMBER)
#undef QV_MATH_SLOT_NUMBER
};

// One entry point per slot, in slot order; each member has its operation's signature. The
// module-wide table, the reference table and every class's table have this layout.
struct MathDispatchTable {
#define QV_MATH_MEMBER(slot, result, name, params, args) result(*name) params;
    QV_MATH_SLOTS(QV_MATH_MEMBER)
#undef QV_MATH_MEMBER
};
static_assert(sizeof(MathDispatchTable) == MATH_SLOT_COUNT * sizeof(void (*)()),
              "one pointer per slot, no padding");
// A slot's number is its place in the table, so a number written wrong, or twice, cannot compile.
#define QV_MATH_SLOT_PLACE(slot, result, name, params, args)                                       \
    static_assert(offsetof(MathDispatchTable, name) == (slot) * sizeof(void (*)()),                \
                  "slot " #slot " (" #name ") is not at its place in the table");
QV_MATH_SLOTS(QV_MATH_SLOT_PLACE)
#undef QV_MATH_SLOT_PLACE
