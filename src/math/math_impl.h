// Declarations of every implementation class's routines, for the tables and the class fills.
#pragma once

#include "math/math_slots.h"

#define QV_MATH_REFERENCE_DECL(slot, result, name, params, args) result reference_##name params;
QV_MATH_SLOTS(QV_MATH_REFERENCE_DECL)
#undef QV_MATH_REFERENCE_DECL

// The generic class: scalar code for any x86, slots 0 to 7.
Vector4* generic_vec2_transform(Vector4* out, const Vector2* v, const Matrix4* m);
Vector4* generic_vec3_transform(Vector4* out, const Vector3* v, const Matrix4* m);
Vector4* generic_vec4_transform(Vector4* out, const Vector4* v, const Matrix4* m);
Matrix4* generic_matrix_multiply(Matrix4* out, const Matrix4* a, const Matrix4* b);
Matrix4* generic_matrix_multiply_transpose(Matrix4* out, const Matrix4* a, const Matrix4* b);
Vector2* generic_vec2_transform_normal(Vector2* out, const Vector2* v, const Matrix4* m);
Vector3* generic_vec3_transform_normal(Vector3* out, const Vector3* v, const Matrix4* m);
Vector3* generic_vec3_normalize(Vector3* out, const Vector3* v);
