// The SSE class. Compiled with -msse; only ever called after the selection found SSE.
#include "math/math_sse.h"

#include <xmmintrin.h>

#define QV_SIMD_NS sse
#include "math/math_simd.inc"

void fill_sse_math(MathDispatchTable* table) {
    // The further slot this class alone sets back to the reference routine.
    static const MathClassSlot class_reference_slots[] = {QV_MATH_REFERENCE(quaternion_inverse)};
    sse::fill_class(table, class_reference_slots);
}
