#pragma once
// The monotonic clock over QueryPerformanceCounter.
// Usage: Win32Clock clock; std::int64_t t = clock.nowMicros();
// The counter is system-wide, so times taken in different processes compare directly.

#include <cstdint>

#include "platform/clock.hpp"

/// QueryPerformanceCounter in microseconds.
std::int64_t qpcMicros();

class Win32Clock final : public Clock {
  public:
    std::int64_t nowMicros() override { return qpcMicros(); }
};
