// The transform math: every operation calls the routine in its slot of math_dispatch_table, which
// is bound to the implementation chosen for this processor on the first call. Every operation
// writes into storage the caller supplies and returns a pointer to it; nothing is allocated. The
// operations, their signatures and what each computes are those of the slot list.
#pragma once

#include "math/math_slots.h"

#define QV_MATH_PUBLIC_DECL(slot, result, name, params, args) result name params;
QV_MATH_SLOTS(QV_MATH_PUBLIC_DECL)
#undef QV_MATH_PUBLIC_DECL

// 1 when a - b lies within [-2^-23, 2^-23], bounds included; 0 otherwise and for NaN. Not a slot.
int float_nearly_equal(float a, float b);
