// What this machine charges for memory a process has not used before, against memory it has: maps
// a block as the stand-in host maps a large array (2 MiB pages on request), writes one byte per
// 4 KiB page, gives it back, and again. On a VM that returns freed memory to its hypervisor the
// first pass of a big block costs many times the later ones.
// Usage: first_touch MIB [PASSES]
#include <sys/mman.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s MIB [PASSES]\n", argv[0]);
        return 2;
    }
    const size_t bytes = size_t(std::atol(argv[1])) << 20;
    const int passes = argc > 2 ? std::atoi(argv[2]) : 3;
    for (int pass = 1; pass <= passes; ++pass) {
        void* block =
            mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED) return 1;
        madvise(block, bytes, MADV_HUGEPAGE);
        volatile char* page = static_cast<char*>(block);
        const auto start = std::chrono::steady_clock::now();
        for (size_t at = 0; at < bytes; at += 4096)
            page[at] = 1;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("pass %d: %zu MiB in %.3f s, %.2f GB/s\n", pass, bytes >> 20, seconds,
                    double(bytes) / seconds * 1e-9);
        munmap(block, bytes);
    }
    return 0;
}
