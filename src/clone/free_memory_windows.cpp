// What Windows can still give the process: the least of its free address space (the limit of a
// 32-bit process), the free physical memory and what may still be committed.
#include "clone/build_limit.h"

#include <windows.h>

uint64_t free_memory_bytes() {
    // The host's thread keeps its last-error value, whatever the query does with it.
    const DWORD host_error = GetLastError();
    MEMORYSTATUSEX status;
    status.dwLength = sizeof status;
    uint64_t free_bytes = UINT64_MAX; // unknown: the host's counts still bound the build
    if (GlobalMemoryStatusEx(&status)) {
        free_bytes = status.ullAvailVirtual;
        if (status.ullAvailPhys < free_bytes) free_bytes = status.ullAvailPhys;
        if (status.ullAvailPageFile < free_bytes) free_bytes = status.ullAvailPageFile;
    }
    SetLastError(host_error);
    return free_bytes;
}
