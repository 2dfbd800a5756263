// QueryPerformanceCounter in microseconds.
#include "win32/clock_win32.hpp"

#include <windows.h>

std::int64_t qpcMicros() {
    static const std::int64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<std::int64_t>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const std::int64_t ticks = now.QuadPart;
    // Split the multiplication so a counter running for months cannot overflow.
    return ticks / frequency * 1000000 + ticks % frequency * 1000000 / frequency;
}
