// The 3DNow! classes. No processor this module is built and tested on runs 3DNow!, and untested
// vector code is not wanted, so both classes install the reference code under their slots; the
// selection's rules for them stay intact.
#include "math/math_3dnow.h"

#include <cstring>

#include "math/math_class_slots.h"
#include "math/math_reference.h"

void fill_3dnow_math(MathDispatchTable* table) {
    std::memcpy(table, &math_reference_table, sizeof *table);
}

namespace {

// The slots the extended class sets back to the reference routines.
const MathClassSlot extended_slots[] = {
    QV_MATH_REFERENCE(vec3_unproject),         QV_MATH_REFERENCE(matrix_inverse),
    QV_MATH_REFERENCE(quaternion_from_matrix), QV_MATH_REFERENCE(matrix_from_quaternion),
    QV_MATH_REFERENCE(matrix_transformation),
};

} // namespace

void fill_3dnow_extended_math(MathDispatchTable* table) {
    install_math_slots(table, extended_slots);
}
