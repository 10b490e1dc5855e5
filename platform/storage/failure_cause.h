#pragma once

#include <cstdint>
#include <string>

namespace platform::storage {

// Why the last storage step that failed failed, in plain words for the user ("/media/op/STICK
// is busy: bash (pid 4242) has its working folder there"). A step that fails sets it; an
// operation clears it when it begins. Like errno, it means something only right after a failure.
// The step nearest the cause knows it best: a caller that only passes a failure on keeps what
// the step beneath said (SetFailureCauseIfNone).
void SetFailureCause(std::string cause);
void SetFailureCauseIfNone(std::string cause);
const std::string& FailureCause();
void ClearFailureCause();

// The system's text for an errno value ("Input/output error").
std::string ErrnoText(int error);

// A byte count for people, in decimal units with one decimal place: "2.0 GB (2002780160
// bytes)"; below 1 kB just the bytes.
std::string ByteCountText(uint64_t bytes);
// The same, rounded only: "2.0 GB".
std::string RoundedByteCountText(uint64_t bytes);

}  // namespace platform::storage
