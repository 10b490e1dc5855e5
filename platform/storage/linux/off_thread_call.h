#pragma once

#include <functional>
#include <memory>
#include <optional>

namespace platform::storage {

// What a system call returned, and errno after it.
struct CallOutcome {
    int value = -1;
    int error = 0;
};

// A system call that may block for long (syncfs, umount2 of a file system that must write out
// what it holds), run on a thread of its own so that the calling thread can wait in slices,
// running the device-wait hook, and keep its windows answering however slow the drive is. The
// call runs to its end whatever becomes of this object.
class OffThreadCall {
  public:
    explicit OffThreadCall(std::function<int()> call);

    // Waits for the outcome. When stoppable, a Stop ends the wait at once with nothing; the call
    // goes on, and a later Wait still gets its outcome.
    std::optional<CallOutcome> Wait(bool stoppable) const;

  private:
    struct Pending;
    std::shared_ptr<Pending> pending_;
};

}  // namespace platform::storage
