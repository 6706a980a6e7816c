#pragma once
// Owns an open file descriptor and closes it when the scope ends, however it
// ends. close() closes it early and reports the error, for a writer that
// must know whether its data reached the file.
#include <unistd.h>

#include <utility>

namespace base {

class ScopedDescriptor {
public:
    ScopedDescriptor() = default;
    // Takes over the descriptor; a negative one holds nothing.
    explicit ScopedDescriptor(int fd) : fd_(fd) {}
    ~ScopedDescriptor() { close(); }
    ScopedDescriptor(ScopedDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    ScopedDescriptor& operator=(ScopedDescriptor&& other) noexcept {
        if (this != &other) {
            close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    ScopedDescriptor(const ScopedDescriptor&) = delete;
    ScopedDescriptor& operator=(const ScopedDescriptor&) = delete;

    int get() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }
    // Closes the descriptor now: 0, or -1 with errno set when close failed
    // (the descriptor is released either way). 0 when nothing is held.
    int close() {
        int fd = std::exchange(fd_, -1);
        return fd >= 0 ? ::close(fd) : 0;
    }

private:
    int fd_ = -1;
};

}  // namespace base
