#include "platform/storage/failure_cause.h"

#include <cstring>
#include <iterator>
#include <system_error>

namespace platform::storage {

namespace {

std::string& Cause() {
    static std::string cause;
    return cause;
}

uint64_t RoundedTenths(uint64_t bytes, uint64_t unit) {
    const uint64_t tenth = unit / 10;
    return bytes / tenth + ((bytes % tenth) * 2 >= tenth ? 1 : 0);
}

}  // namespace

void SetFailureCause(std::string cause) {
    Cause() = std::move(cause);
}

const std::string& FailureCause() {
    return Cause();
}

void ClearFailureCause() {
    Cause().clear();
}

std::string ErrnoText(int error) {
    return std::generic_category().message(error);
}

std::string ByteCountText(uint64_t bytes) {
    const std::string exact = std::to_string(bytes) + " bytes";
    return bytes < 1000 ? exact : RoundedByteCountText(bytes) + " (" + exact + ")";
}

std::string RoundedByteCountText(uint64_t bytes) {
    static constexpr const char* kUnits[] = {"kB", "MB", "GB", "TB", "PB", "EB"};
    if (bytes < 1000) {
        return std::to_string(bytes) + " bytes";
    }
    // Tenths of the largest unit that keeps the number at or above 1, rounded half up.
    uint64_t unit = 1000;
    size_t index = 0;
    while (index + 1 < std::size(kUnits) && bytes / unit >= 1000) {
        unit *= 1000;
        ++index;
    }
    uint64_t tenths = RoundedTenths(bytes, unit);
    if (tenths >= 10000 && index + 1 < std::size(kUnits)) {
        unit *= 1000;
        ++index;
        tenths = RoundedTenths(bytes, unit);
    }
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " " + kUnits[index];
}

}  // namespace platform::storage
