#include "host/document/pod_buffer.h"

#if defined(__linux__)
#include <sys/mman.h>

#include <cstdint>

namespace standin {

namespace {

// Touching fresh memory costs a page fault per 4 KiB page, which costs more than writing the
// page; with 2 MiB pages, one fault covers 512 of them. Large blocks are therefore mapped
// directly, aligned to 2 MiB and marked for huge pages, and moved rather than copied as they grow.
const size_t huge_page = size_t(2) << 20;

size_t round_up(size_t bytes) { return (bytes + huge_page - 1) & ~(huge_page - 1); }

// A 2 MiB-aligned stretch of free address space, reserved without memory until it is replaced.
void* aligned_hole(size_t bytes) {
    void* place = mmap(nullptr, bytes + huge_page, PROT_NONE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (place == MAP_FAILED) return nullptr;
    const uintptr_t start = reinterpret_cast<uintptr_t>(place);
    const uintptr_t aligned = (start + huge_page - 1) & ~uintptr_t(huge_page - 1);
    if (aligned > start) munmap(place, aligned - start);
    const uintptr_t tail = start + bytes + huge_page - (aligned + bytes);
    if (tail) munmap(reinterpret_cast<void*>(aligned + bytes), tail);
    return reinterpret_cast<void*>(aligned);
}

} // namespace

void* map_large_block(size_t bytes, size_t* granted) {
    bytes = round_up(bytes);
    void* hole = aligned_hole(bytes);
    if (!hole) return nullptr;
    void* block =
        mmap(hole, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (block == MAP_FAILED) {
        munmap(hole, bytes);
        return nullptr;
    }
    madvise(block, bytes, MADV_HUGEPAGE);
    *granted = bytes;
    return block;
}

void* remap_large_block(void* block, size_t bytes, size_t new_bytes, size_t* granted) {
    bytes = round_up(bytes);
    new_bytes = round_up(new_bytes);
    void* hole = aligned_hole(new_bytes);
    if (!hole) return nullptr;
    // The pages move with their contents (already written, already faulted in): nothing is copied.
    void* moved = mremap(block, bytes, new_bytes, MREMAP_MAYMOVE | MREMAP_FIXED, hole);
    if (moved == MAP_FAILED) {
        munmap(hole, new_bytes);
        return nullptr;
    }
    madvise(moved, new_bytes, MADV_HUGEPAGE);
    *granted = new_bytes;
    return moved;
}

void unmap_large_block(void* block, size_t bytes) {
    if (block) munmap(block, round_up(bytes));
}

} // namespace standin

#else

namespace standin {

// Elsewhere the allocator's own large blocks serve.
void* map_large_block(size_t bytes, size_t* granted) {
    *granted = bytes;
    return std::malloc(bytes);
}

void* remap_large_block(void* block, size_t, size_t new_bytes, size_t* granted) {
    *granted = new_bytes;
    return std::realloc(block, new_bytes);
}

void unmap_large_block(void* block, size_t) { std::free(block); }

} // namespace standin

#endif
