// The generic class: scalar single-precision code that any x86 runs, for the transform slots.
#pragma once

#include "math/math_slots.h"

// Writes the class's slots 0 to 7 and leaves the others as they are.
void fill_generic_math(MathDispatchTable* table);
// The class's matrix product, by which a table filled with the class is recognised.
Matrix4* generic_matrix_multiply(Matrix4* out, const Matrix4* a, const Matrix4* b);
