// The SSE2 class. Compiled with -msse2; only ever called after the selection found SSE2.
#include "math/math_sse2.h"

#include <emmintrin.h>

#define QV_SIMD_NS sse2
#define QV_SIMD_SSE2 1
#include "math/math_simd.inc"

void fill_sse2_math(MathDispatchTable* table) {
    // The further slots this class alone sets back to the reference routines.
    static const MathClassSlot class_reference_slots[] = {QV_MATH_REFERENCE(matrix_rotation_x),
                                                          QV_MATH_REFERENCE(matrix_rotation_y)};
    sse2::fill_class(table, class_reference_slots);
}
