#include "document/pod_buffer.h"

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

#elif defined(_WIN32)
#include <windows.h>

#include <cstring>

namespace standin {

namespace {

// A large array reserves address space ahead of its size and commits pages as it grows, so that
// growing within the reserve neither moves nor copies it. Only when it outgrows the reserve is it
// copied, into a reserve four times its new size; a 32-bit process has 2 GiB of address space in
// all, so there the reserve is only twice its new size.
const size_t commit_step = size_t(64) << 10;
const size_t reserve_factor = sizeof(void*) == 4 ? 2 : 4;

size_t round_up(size_t bytes) { return (bytes + commit_step - 1) & ~(commit_step - 1); }

// The bytes reserved for the block at base: its committed pages and the reserved ones after them.
size_t reserved_bytes(void* base) {
    size_t total = 0;
    char* at = static_cast<char*>(base);
    MEMORY_BASIC_INFORMATION info;
    while (VirtualQuery(at + total, &info, sizeof info) == sizeof info &&
           info.AllocationBase == base && info.State != MEM_FREE)
        total += info.RegionSize;
    return total;
}

void* reserve_and_commit(size_t bytes) {
    size_t reserve = bytes <= SIZE_MAX / reserve_factor ? bytes * reserve_factor : bytes;
    void* block = VirtualAlloc(nullptr, reserve, MEM_RESERVE, PAGE_NOACCESS);
    if (!block && reserve > bytes)
        block = VirtualAlloc(nullptr, reserve = bytes, MEM_RESERVE, PAGE_NOACCESS);
    if (!block) return nullptr;
    if (!VirtualAlloc(block, bytes, MEM_COMMIT, PAGE_READWRITE)) {
        VirtualFree(block, 0, MEM_RELEASE);
        return nullptr;
    }
    return block;
}

} // namespace

void* map_large_block(size_t bytes, size_t* granted) {
    if (bytes > SIZE_MAX - commit_step) return nullptr;
    bytes = round_up(bytes);
    void* block = reserve_and_commit(bytes);
    if (block) *granted = bytes;
    return block;
}

void* remap_large_block(void* block, size_t bytes, size_t new_bytes, size_t* granted) {
    if (new_bytes > SIZE_MAX - commit_step) return nullptr;
    bytes = round_up(bytes);
    new_bytes = round_up(new_bytes);
    if (new_bytes <= reserved_bytes(block)) {
        // The pages already committed keep their contents; only the new ones are committed.
        if (!VirtualAlloc(static_cast<char*>(block) + bytes, new_bytes - bytes, MEM_COMMIT,
                          PAGE_READWRITE))
            return nullptr;
        *granted = new_bytes;
        return block;
    }
    void* moved = reserve_and_commit(new_bytes);
    if (!moved) return nullptr;
    std::memcpy(moved, block, bytes);
    VirtualFree(block, 0, MEM_RELEASE);
    *granted = new_bytes;
    return moved;
}

void unmap_large_block(void* block, size_t) {
    if (block) VirtualFree(block, 0, MEM_RELEASE);
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
