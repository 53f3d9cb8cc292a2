// Whether a build of copies may start at all: the host counts an object's vertices in signed 32
// bits, and the process has only so much memory. A build past either would end in a frozen host,
// then an out-of-memory crash that loses the user's unsaved work.
#pragma once

#include <cstdint>

// Bytes the process can still be given, as the platform reports them. Bound at link time like
// show_clone_dialog: the module's own definition asks the platform, and a test program may define
// its own to choose what is free.
uint64_t free_memory_bytes();

// Estimated peak of the host's memory for a command of count copies of an object of n vertices.
uint64_t build_memory_estimate(int32_t n, int32_t count);

// 1 when count copies of an object of n vertices may be built: the user's object holding them all
// (n x (count + 1) vertices) still fits the host's counts, and the estimate fits in what is free.
// A count of 0 or less builds nothing and always may. Faces and face corners the command never
// counts (that would be host calls it does not make); their share is in the estimate.
int build_fits(int32_t n, int32_t count);
