#include "io/mapped_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Each view spans this much and starts on a multiple of it, and so of Windows' allocation
// granularity (64 KiB) and of a page everywhere.
constexpr uint64_t view_bytes = 64 * 1024 * 1024;

#if defined(_WIN32)

class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (ok()) CloseHandle(h_);
    }
    bool ok() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }

  private:
    HANDLE h_;
};

DWORD high(uint64_t v) { return static_cast<DWORD>(v >> 32); }
DWORD low(uint64_t v) { return static_cast<DWORD>(v); }

#endif

// Copies the parts of the pieces that fall in [start, start + length) into view, which maps
// that range.
void copy_into(uint8_t* view, uint64_t start, uint64_t length, const FilePiece* pieces,
               size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const uint64_t from = std::max(start, pieces[i].offset);
        const uint64_t to = std::min(start + length, pieces[i].offset + pieces[i].size);
        if (from >= to) continue;
        std::memcpy(view + (from - start),
                    static_cast<const uint8_t*>(pieces[i].bytes) + (from - pieces[i].offset),
                    static_cast<size_t>(to - from));
    }
}

} // namespace

#if defined(_WIN32)

bool MappedFile::open(const std::string& path, std::string* error) {
    close();
    Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.ok() || !GetFileSizeEx(file.get(), &size)) {
        *error = "cannot open " + path;
        return false;
    }
    if (static_cast<uint64_t>(size.QuadPart) > SIZE_MAX) {
        *error = path + " is too large to map in this process";
        return false;
    }
    if (size.QuadPart == 0) return true;
    Handle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    const void* view =
        mapping.ok() ? MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (!view) {
        *error = "cannot map " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    data_ = static_cast<const uint8_t*>(view);
    size_ = static_cast<size_t>(size.QuadPart);
    return true;
}

void MappedFile::close() {
    if (data_) UnmapViewOfFile(data_);
    data_ = nullptr;
    size_ = 0;
}

bool write_mapped_file(const std::string& path, uint64_t size, const FilePiece* pieces,
                       size_t count, std::string* error) {
    bool ok = false, opened = false;
    {
        Handle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        opened = file.ok();
        Handle mapping(file.ok() && size ? CreateFileMappingA(file.get(), nullptr, PAGE_READWRITE,
                                                              high(size), low(size), nullptr)
                                         : nullptr);
        ok = file.ok() && (size == 0 || mapping.ok());
        for (uint64_t start = 0; ok && start < size; start += view_bytes) {
            const uint64_t length = std::min(view_bytes, size - start);
            void* view = MapViewOfFile(mapping.get(), FILE_MAP_WRITE, high(start), low(start),
                                       static_cast<SIZE_T>(length));
            ok = view != nullptr;
            if (ok) {
                copy_into(static_cast<uint8_t*>(view), start, length, pieces, count);
                ok = UnmapViewOfFile(view) != 0;
            }
        }
    }
    if (!ok) {
        *error = "cannot write " + path + " (error " + std::to_string(GetLastError()) + ")";
        if (opened) DeleteFileA(path.c_str()); // only what this call made or emptied
    }
    return ok;
}

#else

bool MappedFile::open(const std::string& path, std::string* error) {
    close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0) {
        if (fd >= 0) ::close(fd);
        *error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    // Every page of it is read, so all are mapped at once rather than fault by fault.
    void* view = info.st_size ? mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ,
                                     MAP_PRIVATE | MAP_POPULATE, fd, 0)
                              : nullptr;
    const int mapped_errno = errno;
    ::close(fd);
    if (info.st_size == 0) return true;
    if (view == MAP_FAILED) {
        *error = "cannot map " + path + ": " + std::strerror(mapped_errno);
        return false;
    }
    data_ = static_cast<const uint8_t*>(view);
    size_ = static_cast<size_t>(info.st_size);
    return true;
}

void MappedFile::close() {
    if (data_) munmap(const_cast<uint8_t*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
}

bool write_mapped_file(const std::string& path, uint64_t size, const FilePiece* pieces,
                       size_t count, std::string* error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = fd >= 0 && ftruncate(fd, static_cast<off_t>(size)) == 0;
    for (uint64_t start = 0; ok && start < size; start += view_bytes) {
        const size_t length = static_cast<size_t>(std::min(view_bytes, size - start));
        void* view = mmap(nullptr, length, PROT_WRITE, MAP_SHARED, fd, static_cast<off_t>(start));
        ok = view != MAP_FAILED;
        if (ok) {
            copy_into(static_cast<uint8_t*>(view), start, length, pieces, count);
            ok = munmap(view, length) == 0;
        }
    }
    const int failure = errno;
    if (fd >= 0) ok = ::close(fd) == 0 && ok;
    if (!ok) {
        *error = "cannot write " + path + ": " + std::strerror(failure);
        if (fd >= 0) ::unlink(path.c_str()); // only what this call made or emptied
    }
    return ok;
}

#endif
