// A file descriptor that is closed when it goes out of scope, so every early
// return of an operation still releases what it opened.
#pragma once

#include <unistd.h>

namespace uws {

class unique_fd {
public:
    explicit unique_fd(int fd) : fd_(fd) {}
    ~unique_fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    unique_fd(const unique_fd&) = delete;
    unique_fd& operator=(const unique_fd&) = delete;
    unique_fd(unique_fd&&) = delete;
    unique_fd& operator=(unique_fd&&) = delete;

    [[nodiscard]] int get() const { return fd_; }
    // Any descriptor of 0 or more counts as opened.
    [[nodiscard]] bool is_open() const { return fd_ >= 0; }

private:
    int fd_;
};

}  // namespace uws
