// The 3DNow! classes: the basic one, and the extended one written over it.
#pragma once

#include "math/math_slots.h"

// Each writes its own slots and leaves the others as they are.
void fill_3dnow_math(MathDispatchTable* table);
void fill_3dnow_extended_math(MathDispatchTable* table);
