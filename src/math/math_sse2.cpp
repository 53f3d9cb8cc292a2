// The SSE2 class. Compiled with -msse2; only ever called after the selection found SSE2.
#include <emmintrin.h>

#include "math/math_impl.h"
#include "math/math_table.h"

#define QV_SIMD_NS sse2
#define QV_SIMD_SSE2 1
#include "math/math_simd.inc"

namespace {

// The further slots this class alone sets back to the reference routines.
const MathClassSlot class_reference_slots[] = {
    QV_MATH_REFERENCE(matrix_rotation_x),
    QV_MATH_REFERENCE(matrix_rotation_y),
};

} // namespace

void fill_sse2_math(MathDispatchTable* table) {
    install_math_slots(table, sse2::own_slots);
    install_math_slots(table, sse2::reference_slots);
    install_math_slots(table, class_reference_slots);
}
