#pragma once
// File descriptors: one that closes itself, and reading at an offset.

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace zelvar {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads up to `size` bytes at `offset` into `out`, as many reads as it takes; how many it got (fewer
// at the file's end or on a failure).
inline std::size_t readAt(int fd, unsigned char* out, std::size_t size, std::int64_t offset) {
    std::size_t have = 0;
    while (have < size) {
        const ssize_t n = pread(fd, out + have, size - have, static_cast<off_t>(offset + have));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        have += static_cast<std::size_t>(n);
    }
    return have;
}

}  // namespace zelvar
