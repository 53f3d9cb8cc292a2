// The transform math: every operation calls the routine in its slot of math_dispatch_table, which
// is bound to the implementation chosen for this processor on the first call. Every operation
// writes into storage the caller supplies and returns a pointer to it; nothing is allocated.
// Matrices are row-major and act on row vectors: in a * b, a is applied first.
#pragma once

#include "math/math_types.h"

// (x, y, 0, 1) times m.
Vector4* vec2_transform(Vector4* out, const Vector2* v, const Matrix4* m);
// (x, y, z, 1) times m.
Vector4* vec3_transform(Vector4* out, const Vector3* v, const Matrix4* m);
// (x, y, z, w) times m. out may be v.
Vector4* vec4_transform(Vector4* out, const Vector4* v, const Matrix4* m);
// a * b (a applied first). out may be a, b or both.
Matrix4* matrix_multiply(Matrix4* out, const Matrix4* a, const Matrix4* b);
// Transpose of a * b. out may be a, b or both.
Matrix4* matrix_multiply_transpose(Matrix4* out, const Matrix4* a, const Matrix4* b);
// The direction (x, y, 0, 0) times m, x and y of the result.
Vector2* vec2_transform_normal(Vector2* out, const Vector2* v, const Matrix4* m);
// The direction (x, y, z, 0) times m, x, y and z of the result.
Vector3* vec3_transform_normal(Vector3* out, const Vector3* v, const Matrix4* m);
// v scaled to unit length; a zero vector stays zero.
Vector3* vec3_normalize(Vector3* out, const Vector3* v);
// v scaled to unit length; a zero vector stays zero.
Vector4* vec4_normalize(Vector4* out, const Vector4* v);
// (x, y, 0, 1) times m, x and y divided by w unless w is nearly 1.
Vector2* vec2_transform_coord(Vector2* out, const Vector2* v, const Matrix4* m);
// (x, y, z, 1) times m, divided by w unless w is nearly 1. out may be v.
Vector3* vec3_transform_coord(Vector3* out, const Vector3* v, const Matrix4* m);
// Determinant of m.
float matrix_determinant(const Matrix4* m);
// The plane through point with the given normal (normal taken as it is).
Plane* plane_from_point_normal(Plane* out, const Vector3* point, const Vector3* normal);
// The plane through p1, p2, p3, unit normal (p2 - p1) x (p3 - p1); zero for collinear
// points.
Plane* plane_from_points(Plane* out, const Vector3* p1, const Vector3* p2, const Vector3* p3);
// v through world, view and projection (each may be null: identity) to viewport
// coordinates: x, y in pixels from the top left, z mapped to [min_z, max_z].
Vector3* vec3_project(Vector3* out, const Vector3* v, const Viewport* viewport,
                      const Matrix4* projection, const Matrix4* view, const Matrix4* world);
// The inverse of vec3_project; null (out untouched) when the matrices are singular.
Vector3* vec3_unproject(Vector3* out, const Vector3* v, const Viewport* viewport,
                        const Matrix4* projection, const Matrix4* view, const Matrix4* world);
// The four-dimensional cross product, the vector orthogonal to v1, v2 and v3.
Vector4* vec4_cross(Vector4* out, const Vector4* v1, const Vector4* v2, const Vector4* v3);
// Cubic Hermite point at s from p1 (tangent t1) to p2 (tangent t2).
Vector2* vec2_hermite(Vector2* out, const Vector2* p1, const Vector2* t1, const Vector2* p2,
                      const Vector2* t2, float s);
// Inverse of m; the determinant is stored when determinant is not null. Null (out
// untouched) when m is singular.
Matrix4* matrix_inverse(Matrix4* out, float* determinant, const Matrix4* m);
// The rotation q1 followed by q2, that is the Hamilton product q2 q1. out may be q1 or q2.
Quaternion* quaternion_multiply(Quaternion* out, const Quaternion* q1, const Quaternion* q2);
// q scaled to unit length; a zero quaternion stays zero.
Quaternion* quaternion_normalize(Quaternion* out, const Quaternion* q);
// p scaled so that its normal (a, b, c) has unit length; a zero normal stays zero.
Plane* plane_normalize(Plane* out, const Plane* p);
// Where the line through p1 and p2 meets the plane; null (out untouched) when parallel.
Vector3* plane_intersect_line(Vector3* out, const Plane* plane, const Vector3* p1,
                              const Vector3* p2);
// The axis (x, y, z of q, not normalised) and angle 2 acos(w) of a unit quaternion.
void quaternion_to_axis_angle(const Quaternion* q, Vector3* axis, float* angle);
// The unit quaternion of the rotation in the upper 3x3 block of m.
Quaternion* quaternion_from_matrix(Quaternion* out, const Matrix4* m);
// The rotation by roll about Z, then pitch about X, then yaw about Y (radians).
Quaternion* quaternion_from_yaw_pitch_roll(Quaternion* out, float yaw, float pitch, float roll);
// Translation by (x, y, z).
Matrix4* matrix_translation(Matrix4* out, float x, float y, float z);
// Flattens geometry onto plane as seen from light (w = 0: directional, 1: point light).
Matrix4* matrix_shadow(Matrix4* out, const Vector4* light, const Plane* plane);
// Reflection about plane.
Matrix4* matrix_reflect(Matrix4* out, const Plane* plane);
// Rotation by angle (radians) about axis; the axis is normalised first.
Quaternion* quaternion_from_axis_angle(Quaternion* out, const Vector3* axis, float angle);
// Rotation by angle (radians) about X, Y or Z.
Matrix4* matrix_rotation_x(Matrix4* out, float angle);
Matrix4* matrix_rotation_y(Matrix4* out, float angle);
Matrix4* matrix_rotation_z(Matrix4* out, float angle);
// Scaling by sx, sy, sz, stored unchanged.
Matrix4* matrix_scaling(Matrix4* out, float sx, float sy, float sz);
// The plane (a, b, c, d) as a row vector times m (pass the inverse transpose of a point
// transform to move a plane with the points).
Plane* plane_transform(Plane* out, const Plane* p, const Matrix4* m);
// Spherical linear interpolation from q1 (t = 0) to q2 (t = 1) along the shorter arc.
Quaternion* quaternion_slerp(Quaternion* out, const Quaternion* q1, const Quaternion* q2, float t);
// slerp(slerp(q1, q2, f + g), slerp(q1, q3, f + g), g / (f + g)); q1 when f + g is 0.
Quaternion* quaternion_barycentric(Quaternion* out, const Quaternion* q1, const Quaternion* q2,
                                   const Quaternion* q3, float f, float g);
// Transpose of m. out may be m.
Matrix4* matrix_transpose(Matrix4* out, const Matrix4* m);
// The rotation matrix of q, which is used as it is (not normalised).
Matrix4* matrix_from_quaternion(Matrix4* out, const Quaternion* q);
// Scaling about scaling_center in the frame scaling_rotation, then rotation about
// rotation_center, then translation. Any argument may be null (no such step).
Matrix4* matrix_transformation(Matrix4* out, const Vector3* scaling_center,
                               const Quaternion* scaling_rotation, const Vector3* scaling,
                               const Vector3* rotation_center, const Quaternion* rotation,
                               const Vector3* translation);
// The rotation by roll about Z, then pitch about X, then yaw about Y (radians).
Matrix4* matrix_rotation_yaw_pitch_roll(Matrix4* out, float yaw, float pitch, float roll);
// Uniform scaling, rotation about rotation_center, then translation (pointers may be
// null).
Matrix4* matrix_affine_transformation(Matrix4* out, float scaling, const Vector3* rotation_center,
                                      const Quaternion* rotation, const Vector3* translation);
// Rotation by angle (radians) about axis; the axis is normalised first.
Matrix4* matrix_rotation_axis(Matrix4* out, const Vector3* axis, float angle);
// Spherical quadrangle interpolation slerp(slerp(q1, c, t), slerp(a, b, t), 2t(1 - t)).
Quaternion* quaternion_squad(Quaternion* out, const Quaternion* q1, const Quaternion* a,
                             const Quaternion* b, const Quaternion* c, float t);
// Inverse of q: its conjugate divided by its squared length; zero stays zero.
Quaternion* quaternion_inverse(Quaternion* out, const Quaternion* q);
// Control points a, b and end point c for quaternion_squad between q1 and q2, with q0
// before and q3 after, all brought to the hemisphere of q1.
void quaternion_squad_setup(Quaternion* a_out, Quaternion* b_out, Quaternion* c_out,
                            const Quaternion* q0, const Quaternion* q1, const Quaternion* q2,
                            const Quaternion* q3);
// v scaled to unit length; a zero vector stays zero.
Vector2* vec2_normalize(Vector2* out, const Vector2* v);
// Catmull-Rom point at s between v1 (s = 0) and v2 (s = 1).
Vector2* vec2_catmull_rom(Vector2* out, const Vector2* v0, const Vector2* v1, const Vector2* v2,
                          const Vector2* v3, float s);
// The 2-, 3- and 4-component forms alike: v1 + f (v2 - v1) + g (v3 - v1).
Vector2* vec2_barycentric(Vector2* out, const Vector2* v1, const Vector2* v2, const Vector2* v3,
                          float f, float g);
// The 3- and 4-component forms: cubic Hermite point, as vec2_hermite.
Vector3* vec3_hermite(Vector3* out, const Vector3* p1, const Vector3* t1, const Vector3* p2,
                      const Vector3* t2, float s);
Vector3* vec3_catmull_rom(Vector3* out, const Vector3* v0, const Vector3* v1, const Vector3* v2,
                          const Vector3* v3, float s);
Vector3* vec3_barycentric(Vector3* out, const Vector3* v1, const Vector3* v2, const Vector3* v3,
                          float f, float g);
Vector4* vec4_hermite(Vector4* out, const Vector4* p1, const Vector4* t1, const Vector4* p2,
                      const Vector4* t2, float s);
Vector4* vec4_catmull_rom(Vector4* out, const Vector4* v0, const Vector4* v1, const Vector4* v2,
                          const Vector4* v3, float s);
Vector4* vec4_barycentric(Vector4* out, const Vector4* v1, const Vector4* v2, const Vector4* v3,
                          float f, float g);
// Logarithm of a unit quaternion: (axis * half angle, 0).
Quaternion* quaternion_ln(Quaternion* out, const Quaternion* q);
// Exponential of a pure quaternion (v, 0): (v / |v| sin |v|, cos |v|).
Quaternion* quaternion_exp(Quaternion* out, const Quaternion* q);

// 1 when a - b lies within [-2^-23, 2^-23], bounds included; 0 otherwise and for NaN. Not a slot.
int float_nearly_equal(float a, float b);
