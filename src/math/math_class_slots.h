// A processor class's slots as data, and the routine that writes them into a table.
#pragma once

#include "math/math_slots.h"

// One slot of a processor class: the class's own routine, or (null) the reference one.
struct MathClassSlot {
    int slot;
    void (*routine)();
};
// A class's own routine for a slot; the cast compiles only when routine has the slot's type.
#define QV_MATH_OWN(name, routine)                                                                 \
    {                                                                                              \
        MATH_SLOT_##name,                                                                          \
            reinterpret_cast<void (*)()>(static_cast<decltype(MathDispatchTable::name)>(routine))  \
    }
// A slot a class sets back to the reference routine.
#define QV_MATH_REFERENCE(name)                                                                    \
    { MATH_SLOT_##name, nullptr }

// Writes the listed slots into table and leaves the others as they are.
void install_math_slots(MathDispatchTable* table, const MathClassSlot* slots, int count);
template <int N>
void install_math_slots(MathDispatchTable* table, const MathClassSlot (&slots)[N]) {
    install_math_slots(table, slots, N);
}
