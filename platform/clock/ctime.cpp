#include "platform/clock/ctime.h"

#include <cstdio>

#include "platform/clock/wall_clock.h"

namespace {

constexpr const char* kMonths[12] = {"January",   "February", "March",    "April",
                                     "May",       "June",     "July",     "August",
                                     "September", "October",  "November", "December"};
constexpr const char* kDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};

void AppendNumber(std::string& out, int value, int width) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    out += buffer;
}

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DayOfYear(const SYSTEMTIME& t) {
    constexpr int kBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const int month = t.wMonth >= 1 && t.wMonth <= 12 ? t.wMonth : 1;
    return kBefore[month - 1] + t.wDay + (month > 2 && IsLeap(t.wYear) ? 1 : 0);
}

}  // namespace

CTime CTime::GetCurrentTime() {
    SYSTEMTIME now = platform::clock::CurrentWallClock().Now();
    now.wMilliseconds = 0;
    return CTime(now);
}

std::string CTime::Format(const char* pattern) const {
    std::string out;
    if (pattern == nullptr) {
        return out;
    }
    const int month = time_.wMonth >= 1 && time_.wMonth <= 12 ? time_.wMonth - 1 : 0;
    const int weekday = time_.wDayOfWeek % 7;
    for (const char* p = pattern; *p != '\0'; ++p) {
        if (*p != '%' || p[1] == '\0') {
            out += *p;
            continue;
        }
        switch (*++p) {
            case 'a':
                out.append(kDays[weekday], 3);
                break;
            case 'A':
                out += kDays[weekday];
                break;
            case 'b':
                out.append(kMonths[month], 3);
                break;
            case 'B':
                out += kMonths[month];
                break;
            case 'd':
                AppendNumber(out, time_.wDay, 2);
                break;
            case 'H':
                AppendNumber(out, time_.wHour, 2);
                break;
            case 'I':
                AppendNumber(out, (time_.wHour + 11) % 12 + 1, 2);
                break;
            case 'j':
                AppendNumber(out, DayOfYear(time_), 3);
                break;
            case 'm':
                AppendNumber(out, time_.wMonth, 2);
                break;
            case 'M':
                AppendNumber(out, time_.wMinute, 2);
                break;
            case 'p':
                out += time_.wHour < 12 ? "AM" : "PM";
                break;
            case 'S':
                AppendNumber(out, time_.wSecond, 2);
                break;
            case 'y':
                AppendNumber(out, time_.wYear % 100, 2);
                break;
            case 'Y':
                AppendNumber(out, time_.wYear, 4);
                break;
            case '%':
                out += '%';
                break;
            default:
                out += '%';
                out += *p;
                break;
        }
    }
    return out;
}
