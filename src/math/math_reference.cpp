// The reference table: the plainest code for every slot, kept by topic in math_reference_*.cpp.
// Every reference routine computes in double and rounds once to single precision when it stores;
// composite routines reach their steps through the dispatch table, so that a faster step is
// picked up everywhere.
#include "math/math_impl.h"
#include "math/math_reference_support.h"
#include "math/math_table.h"

int float_nearly_equal(float a, float b) { return math_reference_support::nearly_equal(a, b); }

const MathReferenceTable math_reference_table = {
#define QV_MATH_REFERENCE_ENTRY(slot, result, name, params, args) reference_##name,
    QV_MATH_SLOTS(QV_MATH_REFERENCE_ENTRY)
#undef QV_MATH_REFERENCE_ENTRY
};
