// What Linux can still give the process without swapping: MemAvailable, or the free pages where
// the kernel does not report it. Read into a buffer on the stack.
#include "clone/build_limit.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

uint64_t free_memory_bytes() {
    const uint64_t free_pages =
        uint64_t(sysconf(_SC_AVPHYS_PAGES)) * uint64_t(sysconf(_SC_PAGESIZE));
    const int file = open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
    if (file < 0) return free_pages;
    char text[4096];
    const ssize_t got = read(file, text, sizeof text - 1);
    close(file);
    if (got <= 0) return free_pages;
    text[got] = '\0';
    const char* line = std::strstr(text, "MemAvailable:");
    if (!line) return free_pages;
    return std::strtoull(line + std::strlen("MemAvailable:"), nullptr, 10) * 1024; // in kB
}
