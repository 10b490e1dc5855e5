#pragma once

#include <unistd.h>

namespace platform::storage {

// Owns one file descriptor and closes it when destroyed. Move-only.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            UniqueFd old(fd_);
            fd_ = other.Release();
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

    // Gives up ownership; the caller closes the descriptor.
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

    // Closes the descriptor now; false when close() reported an error (or nothing was open).
    bool Close() {
        if (fd_ < 0) {
            return false;
        }
        return ::close(Release()) == 0;
    }

  private:
    int fd_ = -1;
};

}  // namespace platform::storage
