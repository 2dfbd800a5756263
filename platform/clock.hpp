#pragma once
// Time: a monotonic clock, and the short waits of delivery that keep the user interface alive.

#include <cstdint>

class Clock {
  public:
    virtual ~Clock() = default;
    /// Monotonic time in microseconds since an arbitrary start.
    virtual std::int64_t nowMicros() = 0;
};

class PumpingWait {
  public:
    virtual ~PumpingWait() = default;
    /// Waits `ms` milliseconds while other window events and timer ticks keep being handled.
    virtual void wait(int ms) = 0;
};
