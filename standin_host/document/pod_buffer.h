// A growable array of trivially copyable values for the document model's big per-object arrays.
// Assigning to an array keeps its capacity, so an object the host reuses (see create_object)
// takes new content into memory it already holds, without page faults. Large arrays live in
// blocks of their own that grow without being copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace standin {

// Frees the storage the host keeps for reuse; called when an allocation fails, before it is
// tried again.
void release_spare_objects();

// Blocks for large arrays, of at least bytes (their real size in *granted); null when memory is
// short. remap keeps the contents and moves the block rather than copying it where it can.
void* map_large_block(size_t bytes, size_t* granted);
void* remap_large_block(void* block, size_t bytes, size_t new_bytes, size_t* granted);
void unmap_large_block(void* block, size_t bytes);

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
    // Keeps this array's capacity: a reused object holds its storage across rebuilds.
    PodBuffer& operator=(const PodBuffer& other) {
        if (this != &other) {
            size_ = 0;
            append(other.data_, other.size_);
        }
        return *this;
    }
    PodBuffer& operator=(PodBuffer&& other) noexcept {
        if (this != &other) {
            release();
            data_ = other.data_;
            size_ = other.size_;
            capacity_ = other.capacity_;
            other.data_ = nullptr;
            other.size_ = other.capacity_ = 0;
        }
        return *this;
    }
    ~PodBuffer() { release(); }

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
        if (capacity > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
        if (!regrow(capacity)) {
            release_spare_objects();
            if (!regrow(capacity)) throw std::bad_alloc();
        }
    }

    // Room for extra more values, growing geometrically so that repeated appends stay linear.
    void make_room(size_t extra) {
        const size_t need = size_ + extra;
        if (need > capacity_) reserve(need > 2 * capacity_ ? need : 2 * capacity_);
    }

    T* grow_by(size_t extra) {
        make_room(extra);
        T* tail = data_ + size_;
        size_ += extra;
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
    static bool is_large(size_t capacity) { return capacity * sizeof(T) >= large_block; }

    // Capacity only grows, so a large array never turns small again.
    bool regrow(size_t capacity) {
        const size_t bytes = capacity * sizeof(T);
        if (!is_large(capacity)) {
            // An empty array has nothing worth moving: its old block is freed first, so that it
            // can be handed back at once.
            void* grown = size_ ? std::realloc(data_, bytes) : nullptr;
            if (!size_) {
                std::free(data_);
                data_ = nullptr;
                capacity_ = 0;
                grown = std::malloc(bytes);
            }
            if (!grown) return false;
            data_ = static_cast<T*>(grown);
            capacity_ = capacity;
            return true;
        }
        size_t granted = 0;
        void* grown;
        if (is_large(capacity_)) {
            grown = remap_large_block(data_, capacity_ * sizeof(T), bytes, &granted);
        } else {
            grown = map_large_block(bytes, &granted);
            if (grown) {
                if (size_) std::memcpy(grown, data_, size_ * sizeof(T));
                std::free(data_);
            }
        }
        if (!grown) return false;
        data_ = static_cast<T*>(grown);
        capacity_ = granted / sizeof(T);
        return true;
    }

    void release() {
        if (is_large(capacity_))
            unmap_large_block(data_, capacity_ * sizeof(T));
        else
            std::free(data_);
    }

    T* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

} // namespace standin
