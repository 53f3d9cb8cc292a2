// The SSE class. Compiled with -msse; only ever called after the selection found SSE.
#include <xmmintrin.h>

#include "math/math_impl.h"
#include "math/math_table.h"

#define QV_SIMD_NS sse
#include "math/math_simd.inc"

void fill_sse_math(MathDispatchTable* t) {
    const MathReferenceTable& r = math_reference_table;
    t->vec2_transform = sse::vec2_transform;
    t->vec3_transform = sse::vec3_transform;
    t->vec4_transform = sse::vec4_transform;
    t->matrix_multiply = sse::matrix_multiply;
    t->matrix_multiply_transpose = sse::matrix_multiply_transpose;
    t->vec2_transform_normal = sse::vec2_transform_normal;
    t->vec3_transform_normal = sse::vec3_transform_normal;
    t->vec3_normalize = r.vec3_normalize;
    t->vec4_normalize = r.vec4_normalize;
    t->vec2_transform_coord = sse::vec2_transform_coord;
    t->vec3_transform_coord = sse::vec3_transform_coord;
    t->matrix_determinant = r.matrix_determinant;
    t->plane_from_points = r.plane_from_points;
    t->vec4_cross = r.vec4_cross;
    t->vec2_hermite = r.vec2_hermite;
    t->matrix_inverse = r.matrix_inverse;
    t->quaternion_multiply = r.quaternion_multiply;
    t->quaternion_normalize = r.quaternion_normalize;
    t->plane_normalize = r.plane_normalize;
    t->plane_intersect_line = r.plane_intersect_line;
    t->quaternion_from_matrix = r.quaternion_from_matrix;
    t->quaternion_from_yaw_pitch_roll = sse::quaternion_from_yaw_pitch_roll;
    t->matrix_shadow = r.matrix_shadow;
    t->matrix_reflect = r.matrix_reflect;
    t->quaternion_inverse = r.quaternion_inverse;
    t->vec2_catmull_rom = r.vec2_catmull_rom;
    t->vec2_barycentric = r.vec2_barycentric;
    t->vec3_hermite = r.vec3_hermite;
    t->vec3_catmull_rom = r.vec3_catmull_rom;
    t->vec3_barycentric = r.vec3_barycentric;
    t->vec4_hermite = r.vec4_hermite;
    t->vec4_catmull_rom = r.vec4_catmull_rom;
    t->vec4_barycentric = r.vec4_barycentric;
}
