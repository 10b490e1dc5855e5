#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

namespace platform::storage {

// A zeroed byte buffer aligned for unbuffered device I/O (4096 bytes covers every logical block
// size the backends meet).
class AlignedBuffer {
  public:
    static constexpr size_t kAlignment = 4096;

    explicit AlignedBuffer(size_t size)
        : size_(size),
          bytes_(static_cast<unsigned char*>(::operator new (
              RoundUp(size == 0 ? 1 : size), std::align_val_t{kAlignment}, std::nothrow))) {
        if (bytes_) {
            std::memset(bytes_.get(), 0, RoundUp(size == 0 ? 1 : size));
        }
    }

    unsigned char* data() { return bytes_.get(); }
    const unsigned char* data() const { return bytes_.get(); }
    size_t size() const { return size_; }
    bool valid() const { return bytes_ != nullptr; }

  private:
    static size_t RoundUp(size_t n) { return (n + kAlignment - 1) / kAlignment * kAlignment; }

    struct Free {
        void operator()(unsigned char* p) const {
            ::operator delete (p, std::align_val_t{kAlignment});
        }
    };
    size_t size_;
    std::unique_ptr<unsigned char, Free> bytes_;
};

}  // namespace platform::storage
