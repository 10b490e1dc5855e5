#pragma once

#include <utility>

#include "platform/storage/windows/win32_calls.h"

namespace platform::storage {

// An owned handle of the system, closed through the calls that opened it.
class Win32Handle {
  public:
    Win32Handle() = default;
    Win32Handle(Win32Calls& calls, HANDLE handle) : calls_(&calls), handle_(handle) {}
    ~Win32Handle() { Close(); }
    Win32Handle(Win32Handle&& other) noexcept
        : calls_(other.calls_), handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    Win32Handle& operator=(Win32Handle&& other) noexcept {
        if (this != &other) {
            Close();
            calls_ = other.calls_;
            handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        }
        return *this;
    }
    Win32Handle(const Win32Handle&) = delete;
    Win32Handle& operator=(const Win32Handle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }

    // Closes the handle now; false when the system reported a failure.
    bool Close() {
        if (!valid()) {
            return true;
        }
        const bool closed = calls_->CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
        return closed;
    }

  private:
    Win32Calls* calls_ = nullptr;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace platform::storage
