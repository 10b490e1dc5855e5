#pragma once

#include <string>

#include "platform/clock/system_time.h"

// A local date and time to the second, as the framework's time class offers it.
class CTime {
  public:
    CTime() = default;
    explicit CTime(const SYSTEMTIME& time) : time_(time) {}

    // The current local time from the installed wall clock.
    static CTime GetCurrentTime();

    // Formats like strftime in the "C" locale whatever the process locale: %a %A %b %B %d %H %I
    // %j %m %M %p %S %y %Y %%; other conversions are copied as they are.
    std::string Format(const char* pattern) const;

    int GetYear() const { return time_.wYear; }
    int GetMonth() const { return time_.wMonth; }
    int GetDay() const { return time_.wDay; }
    int GetHour() const { return time_.wHour; }
    int GetMinute() const { return time_.wMinute; }
    int GetSecond() const { return time_.wSecond; }
    int GetDayOfWeek() const { return time_.wDayOfWeek + 1; }  // 1 = Sunday

  private:
    SYSTEMTIME time_;
};
