#pragma once

#include <cstdint>

// Local wall-clock date and time, broken down; wDayOfWeek counts 0 = Sunday.
struct SYSTEMTIME {
    uint16_t wYear = 0;
    uint16_t wMonth = 0;
    uint16_t wDayOfWeek = 0;
    uint16_t wDay = 0;
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;
};

// A count of 100-ns units since 1601-01-01 00:00 (here: local time), split in two halves.
struct FILETIME {
    uint32_t dwLowDateTime = 0;
    uint32_t dwHighDateTime = 0;
};

// The current local time from the installed wall clock (see platform/clock/wall_clock.h).
void GetLocalTime(SYSTEMTIME* out);
// Converts a date and time (wDayOfWeek ignored) to its 100-ns count. False, leaving *out
// unchanged, for a field out of range (years 1601 to 30827).
bool SystemTimeToFileTime(const SYSTEMTIME* in, FILETIME* out);
// Converts a 100-ns count back, with the day of the week. False for counts of 2^63 or more.
bool FileTimeToSystemTime(const FILETIME* in, SYSTEMTIME* out);
