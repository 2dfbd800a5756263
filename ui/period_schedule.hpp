#pragma once
// The period rules every timer of the program follows, as plain arithmetic over a monotonic
// tick count, so they can be checked without waiting. The Win32 timers, the command line's
// event loop and the in-memory timers of the tests each keep one of these per timer.
//   - setting the current period again changes nothing: a running timer keeps its rhythm;
//   - any other period restarts the countdown from the moment it is set;
//   - a period of 0 or below stops the timer.
// Expiries lie on a grid (start + k * period), so a timer never drifts; a timer served late
// fires once and then goes on with the next grid point still ahead, as WM_TIMER does.

#include <cstdint>
#include <optional>

class PeriodSchedule {
  public:
    /// `ticksPerMs`: monotonic ticks in one millisecond (must be > 0).
    explicit PeriodSchedule(std::int64_t ticksPerMs) : ticksPerMs_(ticksPerMs) {}

    /// Current period in milliseconds; 0 when stopped.
    int period() const { return periodMs_; }

    /// Applies the period rules at time `now`; true when the period changed (the countdown
    /// restarted or stopped), false when the timer goes on as before.
    bool setPeriod(int ms, std::int64_t now);

    /// The next expiry, or nullopt while stopped.
    std::optional<std::int64_t> due() const;

    /// True when the timer has expired at `now`; it then moves to the first grid point after
    /// `now` (so one call per expiry, however late it is served).
    bool takeExpiry(std::int64_t now);

  private:
    std::int64_t ticksPerMs_;
    int periodMs_ = 0;
    std::int64_t due_ = 0;
};
