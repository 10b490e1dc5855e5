#include "platform/storage/failure_cause.h"

#include <cstdio>
#include <cstring>

namespace platform::storage {

namespace {

std::string& Cause() {
    static std::string cause;
    return cause;
}

}  // namespace

void SetFailureCause(std::string cause) {
    Cause() = std::move(cause);
}

void SetFailureCauseIfNone(std::string cause) {
    if (Cause().empty()) {
        Cause() = std::move(cause);
    }
}

const std::string& FailureCause() {
    return Cause();
}

void ClearFailureCause() {
    Cause().clear();
}

std::string ErrnoText(int error) {
    char buffer[256];
    return ::strerror_r(error, buffer, sizeof buffer);
}

std::string ByteCountText(uint64_t bytes) {
    static const char* const kUnits[] = {"KiB", "MiB", "GiB", "TiB"};
    if (bytes < 1024) {
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    }
    double value = static_cast<double>(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 3) {
        value /= 1024;
        ++unit;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.1f %s (%llu bytes)", value, kUnits[unit],
                  static_cast<unsigned long long>(bytes));
    return text;
}

}  // namespace platform::storage
