#pragma once

#include <string>
#include <utility>

namespace platform::storage {

// The outcome of one step on a disk or a mount: success, or the errno that stands for the failure
// and, where the step knows it, its cause in plain words for a user. The cause travels with the
// failure it explains, so a step that failed harmlessly leaves nothing behind for a later one.
class StepResult {
  public:
    static StepResult Ok() { return StepResult(); }
    static StepResult Failed(int error, std::string cause = {}) {
        StepResult result;
        result.error_ = error == 0 ? -1 : error;
        result.cause_ = std::move(cause);
        return result;
    }

    bool ok() const { return error_ == 0; }
    int error() const { return error_; }
    const std::string& cause() const { return cause_; }

    // A failure without a cause of its own gets this one; success stays success.
    StepResult OrCause(std::string cause) const {
        return ok() || !cause_.empty() ? *this : Failed(error_, std::move(cause));
    }

    // Hands the failure to a caller at the storage interface: errno, and the failure cause when
    // there is one.
    void Publish() const;

  private:
    StepResult() = default;

    int error_ = 0;
    std::string cause_;
};

}  // namespace platform::storage
