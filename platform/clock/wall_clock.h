#pragma once

#include <cstdint>

#include "platform/clock/system_time.h"

namespace platform::clock {

// Source of the local wall-clock time. The program uses the system's; tests install a fake.
class WallClock {
  public:
    virtual ~WallClock() = default;
    // The current local date and time, with milliseconds and day of the week.
    virtual SYSTEMTIME Now() const = 0;
};

// The system's local time (realtime clock, local time zone).
class SystemWallClock final : public WallClock {
  public:
    SYSTEMTIME Now() const override;
};

// A settable clock for tests: holds a 100-ns stamp that only moves when told to.
class FakeWallClock final : public WallClock {
  public:
    // Starts at the given local time (invalid fields start it at 1601-01-01).
    explicit FakeWallClock(const SYSTEMTIME& start);
    SYSTEMTIME Now() const override;
    void Set(const SYSTEMTIME& time);
    void AdvanceMilliseconds(int64_t ms);

  private:
    uint64_t stamp_ = 0;
};

// The clock CTime::GetCurrentTime reads, and on Linux GetLocalTime too (on Windows GetLocalTime is
// the system's own); the system's unless overridden.
const WallClock& CurrentWallClock();

// Installs a clock for its own lifetime and puts the previous one back on destruction.
class ScopedWallClock {
  public:
    explicit ScopedWallClock(const WallClock& clock);
    ~ScopedWallClock();
    ScopedWallClock(const ScopedWallClock&) = delete;
    ScopedWallClock& operator=(const ScopedWallClock&) = delete;

  private:
    const WallClock* previous_;
};

}  // namespace platform::clock
