// The 3DNow! classes. No processor this module is built and tested on runs 3DNow!, and untested
// vector code is not wanted, so both classes install the reference code under their slots; the
// selection's rules for them stay intact.
#include <cstring>

#include "math/math_impl.h"
#include "math/math_table.h"

void fill_3dnow_math(MathDispatchTable* table) {
    std::memcpy(table, &math_reference_table, sizeof *table);
}

void fill_3dnow_extended_math(MathDispatchTable* table) {
    table->vec3_unproject = math_reference_table.vec3_unproject;
    table->matrix_inverse = math_reference_table.matrix_inverse;
    table->quaternion_from_matrix = math_reference_table.quaternion_from_matrix;
    table->matrix_from_quaternion = math_reference_table.matrix_from_quaternion;
    table->matrix_transformation = math_reference_table.matrix_transformation;
}
