#pragma once

#include <cstdint>
#include <string>

namespace platform::storage {

// Why the last storage call that failed failed, in plain words for the user ("/media/op/STICK
// is busy: bash (pid 4242) has its working folder there"). A call of the storage interface that
// fails sets it; steps inside a call hand their causes up with their results, so that only the
// failure that ends the call leaves a cause. Like errno, it means something only right after a
// failure: a caller that reports a cause clears it before the call whose failure it reports.
void SetFailureCause(std::string cause);
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
