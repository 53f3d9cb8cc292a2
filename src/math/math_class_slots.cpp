#include "math/math_class_slots.h"

#include "math/math_reference.h"

void install_math_slots(MathDispatchTable* table, const MathClassSlot* slots, int count) {
    auto* to = reinterpret_cast<void (**)()>(table);
    const auto* reference = reinterpret_cast<void (*const*)()>(&math_reference_table);
    for (int i = 0; i < count; ++i)
        to[slots[i].slot] = slots[i].routine ? slots[i].routine : reference[slots[i].slot];
}
