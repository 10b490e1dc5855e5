#include "platform/storage/linux/step_result.h"

#include <cerrno>

#include "platform/storage/failure_cause.h"

namespace platform::storage {

void StepResult::Publish() const {
    if (!cause_.empty()) {
        SetFailureCause(cause_);
    }
    errno = error_ > 0 ? error_ : EIO;
}

}  // namespace platform::storage
