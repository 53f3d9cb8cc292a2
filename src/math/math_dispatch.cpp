#include "math/math_dispatch.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sched.h>
#endif

#include "math/math_probe.h"
#include "math/math_selection.h"

std::atomic<uint32_t> math_selection_state{MATH_NOT_SELECTED};

namespace {

// Set once the table is completely filled; a concurrent first caller waits for it.
std::atomic<int> selection_done{0};

// The system's own yield, not std::this_thread::yield: in the Windows build that one links the
// POSIX thread library, whose start-up in the module leaves two handles and some 20 KiB behind at
// every unload.
void yield_to_other_threads() {
#ifdef _WIN32
    SwitchToThread();
#else
    sched_yield();
#endif
}

#define QV_MATH_STUB(slot, result, name, params, args)                                             \
    result stub_##name params {                                                                    \
        select_math_implementations();                                                             \
        return math_slot(math_dispatch_table.name) args;                                           \
    }
QV_MATH_SLOTS(QV_MATH_STUB)
#undef QV_MATH_STUB

} // namespace

const MathDispatchTable math_stub_table = {
#define QV_MATH_STUB_ENTRY(slot, result, name, params, args) stub_##name,
    QV_MATH_SLOTS(QV_MATH_STUB_ENTRY)
#undef QV_MATH_STUB_ENTRY
};

MathDispatchTable math_dispatch_table = math_stub_table;

uint32_t select_math_implementations() {
    if (selection_done.load(std::memory_order_acquire))
        return math_selection_state.load(std::memory_order_relaxed);
    uint32_t expected = MATH_NOT_SELECTED;
    if (math_selection_state.compare_exchange_strong(expected, MATH_CLASS_NONE,
                                                     std::memory_order_acq_rel)) {
        // Filled aside and published slot by slot, so that a concurrent caller only ever finds
        // its slot's stub (which waits below) or the final implementation, never a reference
        // routine that a class is about to replace.
        MathDispatchTable chosen;
        uint32_t code = select_math_classes(&chosen, &math_platform_probe);
        auto* from = reinterpret_cast<void (**)()>(&chosen);
        auto* to = reinterpret_cast<void (**)()>(&math_dispatch_table);
        for (int i = 0; i < MATH_SLOT_COUNT; ++i)
            __atomic_store_n(&to[i], from[i], __ATOMIC_RELAXED);
        math_selection_state.store(code, std::memory_order_relaxed);
        selection_done.store(1, std::memory_order_release);
        return code;
    }
    // Another thread is filling the table: no slot may run before it is complete.
    while (!selection_done.load(std::memory_order_acquire))
        yield_to_other_threads();
    return math_selection_state.load(std::memory_order_relaxed);
}
