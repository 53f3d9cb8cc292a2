// The reference table, from the routines of every topic.
#include "math/math_reference.h"

const MathReferenceTable math_reference_table = {
#define QV_MATH_REFERENCE_ENTRY(slot, result, name, params, args) reference_##name,
    QV_MATH_SLOTS(QV_MATH_REFERENCE_ENTRY)
#undef QV_MATH_REFERENCE_ENTRY
};
