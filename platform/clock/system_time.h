#pragma once

#include <cstdint>

// SYSTEMTIME (local date and time, broken down), FILETIME (100-ns units since 1601-01-01 00:00),
// GetLocalTime, SystemTimeToFileTime and FileTimeToSystemTime: the system's own on Windows, ours
// elsewhere (platform/clock/linux).
#include "system_defs/clock_types.h"

inline constexpr uint64_t FileTimeToUInt64(const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}
inline constexpr FILETIME UInt64ToFileTime(uint64_t v) {
    return {static_cast<uint32_t>(v & 0xFFFFFFFFu), static_cast<uint32_t>(v >> 32)};
}
