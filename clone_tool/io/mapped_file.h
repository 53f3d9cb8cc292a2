// Files mapped into memory, the same on both sides of the exchange between quorvel-clone and the
// stand-in runner: mmap natively, file mappings under Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A whole file mapped for reading, unmapped with the object.
class MappedFile {
  public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() { close(); }

    // False with a reason if the file cannot be opened or mapped.
    bool open(const std::string& path, std::string* error);
    void close();
    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

  private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

// A piece of a file being written: bytes copied to offset.
struct FilePiece {
    uint64_t offset;
    const void* bytes;
    uint64_t size;
};

// Makes a file of size bytes (zero where no piece falls) and copies the pieces into it through
// mapped views of a few megabytes each, so that a 32-bit process needs little address space for
// it. Pieces may not overlap. On failure error says why, and a file it began to write is removed
// (one it could not open is left as it was).
bool write_mapped_file(const std::string& path, uint64_t size, const FilePiece* pieces,
                       size_t count, std::string* error);
