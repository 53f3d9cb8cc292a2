// The plug-in loaded and unloaded 100 times in one process, each time asked for its identity and
// bound to the stand-in host as a host would: afterwards the process holds no more handles and
// no more memory than after the first rounds.
#include <windows.h>

#include <psapi.h>

#include <cstdint>
#include <cstdio>

namespace {

typedef int(__cdecl* InitFn)(const char*);
typedef unsigned(__cdecl* CheckVersionFn)(unsigned);

// FARPROC to the export's own type, through the generic function pointer type.
template <class Fn> Fn export_of(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

bool load_round() {
    HMODULE module = LoadLibraryA(QV_PLUGIN_DLL);
    if (!module) return false;
    InitFn init = export_of<InitFn>(module, "MQInit");
    CheckVersionFn check = export_of<CheckVersionFn>(module, "MQCheckVersion");
    const bool ok = init && check && init(QV_HOST_DLL) == 1;
    if (check) check(0x0100);
    return FreeLibrary(module) && ok;
}

struct Usage {
    DWORD handles;         // GetProcessHandleCount; Wine answers 0
    uintptr_t next_handle; // the value a new handle gets: the lowest free one, higher after a leak
    SIZE_T private_bytes;  // K32GetProcessMemoryInfo; Wine answers 0
    SIZE_T committed;      // committed private memory, from a walk of the address space
};

Usage usage() {
    Usage u{0, 0, 0, 0};
    GetProcessHandleCount(GetCurrentProcess(), &u.handles);
    HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    u.next_handle = reinterpret_cast<uintptr_t>(probe);
    CloseHandle(probe);
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(),
                            reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    u.private_bytes = counters.PrivateUsage;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            u.committed += region.RegionSize;
        if (static_cast<const char*>(region.BaseAddress) + region.RegionSize <= at) break;
    }
    return u;
}

} // namespace

int main() {
    // The host module stays loaded, as the host's own module does.
    if (!LoadLibraryA(QV_HOST_DLL)) {
        std::printf("cannot load %s\n", QV_HOST_DLL);
        return 1;
    }
    for (int i = 0; i < 5; ++i) // settle the loader's and the heap's first allocations
        if (!load_round()) return 1;
    const Usage before = usage();
    for (int i = 0; i < 100; ++i) {
        if (!load_round()) {
            std::printf("round %d failed\n", i);
            return 1;
        }
    }
    const Usage after = usage();
    const long handle_growth = long(after.handles) - long(before.handles);
    const long long private_growth =
        (long long)after.private_bytes - (long long)before.private_bytes;
    const long long committed_growth = (long long)after.committed - (long long)before.committed;
    std::printf("100 loads: handle count %lu -> %lu, next handle %#lx -> %#lx, private bytes "
                "%llu -> %llu, committed private memory %llu -> %llu\n",
                before.handles, after.handles, (unsigned long)before.next_handle,
                (unsigned long)after.next_handle, (unsigned long long)before.private_bytes,
                (unsigned long long)after.private_bytes, (unsigned long long)before.committed,
                (unsigned long long)after.committed);
    // No handle may stay behind; 64 KiB of memory allows for heap bookkeeping, while a leak of
    // even one page per load (400 KiB) fails.
    if (handle_growth > 0 || after.next_handle != before.next_handle ||
        private_growth > 64 * 1024 || committed_growth > 64 * 1024) {
        std::printf("growth found\n");
        return 1;
    }
    return 0;
}
