// The module-wide dispatch table the public entries call through, its stubs, and the one-time
// selection that binds every slot to the implementation chosen for this processor.
#pragma once

#include <atomic>
#include <cstdint>

#include "math/math_slots.h"

// Every slot starts as its stub.
extern MathDispatchTable math_dispatch_table;
// Reads a slot of the dispatch table. A concurrent first caller may read slots while the
// selecting thread stores them, so both sides access slots atomically. Relaxed order is enough,
// since a slot holds either its stub (which waits for the complete table) or its final routine,
// and it costs a plain load.
template <typename Routine> inline Routine math_slot(const Routine& slot) {
    return __atomic_load_n(&slot, __ATOMIC_RELAXED);
}
// The slot stubs, each of which selects the implementations and forwards its call.
extern const MathDispatchTable math_stub_table;

enum : uint32_t { MATH_NOT_SELECTED = 0xFFFF };
// MATH_NOT_SELECTED until the selection starts, MATH_CLASS_NONE while it fills the table, then
// the class code (math_selection.h).
extern std::atomic<uint32_t> math_selection_state;

// Runs the one-time selection with the platform's facts and returns the class code. Later calls
// (and concurrent first calls, once the first one has finished) return the same code.
uint32_t select_math_implementations();
