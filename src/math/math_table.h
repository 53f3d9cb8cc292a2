// The table of math entry points, bound to processor-specific implementations on first use.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "math/math_slots.h"

// One entry point per slot, in slot order; each member has its operation's signature.
struct MathDispatchTable {
#define QV_MATH_MEMBER(slot, result, name, params, args) result(*name) params;
    QV_MATH_SLOTS(QV_MATH_MEMBER)
#undef QV_MATH_MEMBER
};
static_assert(sizeof(MathDispatchTable) == MATH_SLOT_COUNT * sizeof(void (*)()),
              "one pointer per slot, no padding");
// A slot's number is its place in the table, so a number written wrong, or twice, cannot compile.
#define QV_MATH_SLOT_PLACE(slot, result, name, params, args)                                       \
    static_assert(offsetof(MathDispatchTable, name) == (slot) * sizeof(void (*)()),                \
                  "slot " #slot " (" #name ") is not at its place in the table");
QV_MATH_SLOTS(QV_MATH_SLOT_PLACE)
#undef QV_MATH_SLOT_PLACE

// The reference table has the dispatch table's layout, so one block copy fills the whole table.
typedef MathDispatchTable MathReferenceTable;

// The module-wide table the public entries call through; every slot starts as its stub.
extern MathDispatchTable math_dispatch_table;
// Reads a slot of the dispatch table. A concurrent first caller may read slots while the
// selecting thread stores them, so both sides access slots atomically. Relaxed order is enough,
// since a slot holds either its stub (which waits for the complete table) or its final routine,
// and it costs a plain load.
template <typename Routine> inline Routine math_slot(const Routine& slot) {
    return __atomic_load_n(&slot, __ATOMIC_RELAXED);
}
// The reference implementation of every slot.
extern const MathReferenceTable math_reference_table;
// The slot stubs, each of which selects the implementations and forwards its call.
extern const MathDispatchTable math_stub_table;

enum : uint32_t {
    MATH_NOT_SELECTED = 0xFFFF,
    MATH_CLASS_NONE = 0,
    MATH_CLASS_3DNOW = 1,
    MATH_CLASS_SSE2 = 2,
    MATH_CLASS_SSE = 3,
};

// 0xFFFF until the selection starts, 0 while it fills the table, then the class code (0 to 3).
extern std::atomic<uint32_t> math_selection_state;

// Runs the one-time selection with the platform's facts and returns the class code. Later calls
// (and concurrent first calls, once the first one has finished) return the same code.
uint32_t select_math_implementations();

// Each slot's number, from the slot list.
enum MathSlot : int {
#define QV_MATH_SLOT_NUMBER(slot, result, name, params, args) MATH_SLOT_##name = slot,
    QV_MATH_SLOTS(QV_MATH_SLOT_NUMBER)
#undef QV_MATH_SLOT_NUMBER
};

// One slot of a processor class, as data: the class's own routine, or (null) the reference one.
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

// The class fills: each writes its own slots and leaves the others as they are.
void fill_generic_math(MathDispatchTable* table);
void fill_3dnow_math(MathDispatchTable* table);
void fill_3dnow_extended_math(MathDispatchTable* table);
void fill_sse_math(MathDispatchTable* table);
void fill_sse2_math(MathDispatchTable* table);
