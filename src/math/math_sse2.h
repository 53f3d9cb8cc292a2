// The SSE2 class.
#pragma once

#include "math/math_slots.h"

// Writes the class's slots over the generic class's and leaves the others as they are.
void fill_sse2_math(MathDispatchTable* table);
