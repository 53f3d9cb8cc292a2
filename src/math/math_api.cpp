// The public entries, each a call through its slot of the dispatch table.
#include "math/math_api.h"

#include "math/math_dispatch.h"
#include "math/math_reference_support.h"

#define QV_MATH_PUBLIC(slot, result, name, params, args)                                           \
    result name params { return math_slot(math_dispatch_table.name) args; }
QV_MATH_SLOTS(QV_MATH_PUBLIC)
#undef QV_MATH_PUBLIC

int float_nearly_equal(float a, float b) { return math_reference_support::nearly_equal(a, b); }
