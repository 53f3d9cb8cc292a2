// The reference code: the plainest routine for every slot, kept by topic in math_reference_*.cpp,
// and the table of them. Every reference routine computes in double and rounds once to single
// precision when it stores; composite routines reach their steps through the dispatch table, so
// that a faster step is picked up everywhere.
#pragma once

#include "math/math_slots.h"

#define QV_MATH_REFERENCE_DECL(slot, result, name, params, args) result reference_##name params;
QV_MATH_SLOTS(QV_MATH_REFERENCE_DECL)
#undef QV_MATH_REFERENCE_DECL

// The reference table has the dispatch table's layout, so one block copy fills the whole table.
typedef MathDispatchTable MathReferenceTable;
// The reference implementation of every slot.
extern const MathReferenceTable math_reference_table;
