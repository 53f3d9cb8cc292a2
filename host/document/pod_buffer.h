// A growable array of trivially copyable values for the document model's big per-object arrays.
// Large blocks come from a host-wide cache of blocks that earlier objects gave back, so rebuilding
// an object of copies (every preview refresh does) reuses memory that is already mapped instead of
// paying a page fault for every 4 KiB of fresh memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace standin {

// A cached block of at least bytes (its real size in *granted), or null when none fits; growing:
// for an array that already holds values and is likely to grow again.
void* acquire_large_block(size_t bytes, size_t* granted, bool growing);
// Keeps the block for reuse, or frees it when the cache is full.
void release_large_block(void* block, size_t bytes);

template <class T> class PodBuffer {
    static_assert(std::is_trivially_copyable<T>::value, "stored by byte copies");

  public:
    PodBuffer() = default;
    PodBuffer(const PodBuffer& other) { append(other.data_, other.size_); }
    PodBuffer(PodBuffer&& other) noexcept
        : data_(other.data_), size_(other.size_), capacity_(other.capacity_) {
        other.data_ = nullptr;
        other.size_ = other.capacity_ = 0;
    }
    PodBuffer& operator=(const PodBuffer& other) {
        if (this != &other) {
            size_ = 0;
            append(other.data_, other.size_);
        }
        return *this;
    }
    PodBuffer& operator=(PodBuffer&& other) noexcept {
        if (this != &other) {
            release(data_, capacity_);
            data_ = other.data_;
            size_ = other.size_;
            capacity_ = other.capacity_;
            other.data_ = nullptr;
            other.size_ = other.capacity_ = 0;
        }
        return *this;
    }
    ~PodBuffer() { release(data_, capacity_); }

    size_t size() const { return size_; }
    size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }
    T* data() { return data_; }
    const T* data() const { return data_; }
    T& operator[](size_t i) { return data_[i]; }
    const T& operator[](size_t i) const { return data_[i]; }
    T* begin() { return data_; }
    T* end() { return data_ + size_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }

    void reserve(size_t capacity) {
        if (capacity <= capacity_) return;
        if (capacity * sizeof(T) < large_block) {
            void* grown = std::realloc(data_, capacity * sizeof(T));
            if (!grown) throw std::bad_alloc();
            data_ = static_cast<T*>(grown);
            capacity_ = capacity;
            return;
        }
        size_t granted = 0;
        T* block = static_cast<T*>(acquire_large_block(capacity * sizeof(T), &granted, size_ != 0));
        if (block) {
            if (size_) std::memcpy(block, data_, size_ * sizeof(T));
            release(data_, capacity_);
            data_ = block;
            capacity_ = granted / sizeof(T);
            return;
        }
        // Nothing cached fits: the allocator remaps a large block rather than copying it, so the
        // pages already written stay and are not faulted in again.
        void* grown = std::realloc(data_, capacity * sizeof(T));
        if (!grown) throw std::bad_alloc();
        data_ = static_cast<T*>(grown);
        capacity_ = capacity;
    }

    // Room for extra more values, growing geometrically so that repeated appends stay linear.
    T* grow_by(size_t extra) {
        const size_t need = size_ + extra;
        if (need > capacity_) reserve(need > 2 * capacity_ ? need : 2 * capacity_);
        T* tail = data_ + size_;
        size_ = need;
        return tail;
    }

    void push_back(const T& value) { *grow_by(1) = value; }

    // values may not point into this buffer.
    void append(const T* values, size_t count) {
        if (count) std::memcpy(grow_by(count), values, count * sizeof(T));
    }

    void clear() { size_ = 0; }

    friend bool operator==(const PodBuffer& a, const PodBuffer& b) {
        return a.size_ == b.size_ &&
               (a.size_ == 0 || !std::memcmp(a.data_, b.data_, a.size_ * sizeof(T)));
    }

  private:
    static constexpr size_t large_block = size_t(1) << 20;

    static void release(T* block, size_t capacity) {
        if (capacity * sizeof(T) >= large_block) {
            release_large_block(block, capacity * sizeof(T));
        } else {
            std::free(block);
        }
    }

    T* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

} // namespace standin
