// The SSE class. Compiled with -msse; only ever called after the selection found SSE.
#include <xmmintrin.h>

#include "math/math_impl.h"
#include "math/math_table.h"

#define QV_SIMD_NS sse
#include "math/math_simd.inc"

namespace {

// The further slots this class alone sets back to the reference routines.
const MathClassSlot class_reference_slots[] = {
    QV_MATH_REFERENCE(quaternion_inverse),
};

} // namespace

void fill_sse_math(MathDispatchTable* table) {
    install_math_slots(table, sse::own_slots);
    install_math_slots(table, sse::reference_slots);
    install_math_slots(table, class_reference_slots);
}
