#pragma once
// Real time for the command line on Linux: the monotonic clock the event loop (app/event_loop.hpp)
// sleeps on, and the scheduling priority that lets it wake on time.

#include <cstdint>

#include "app/event_loop.hpp"

namespace posix {

/// CLOCK_MONOTONIC, in microseconds.
class MonotonicClock : public TimeSource {
  public:
    /// Also narrows this thread's timer slack so that sleeps end within microseconds.
    MonotonicClock();
    std::int64_t nowMicros() override;
    void sleepUntil(std::int64_t deadlineMicros) override;
};

/// Asks for a real-time (FIFO) scheduling priority for this process, best effort: on a busy
/// machine an ordinary process can wake a whole scheduler tick late, which a subtitle shows.
/// Returns false when the system refuses (no privilege); playback then runs as before.
bool requestTimingPriority();

}  // namespace posix
