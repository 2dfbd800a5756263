#pragma once
// Controllable time for tests: a fake monotonic clock, a driver that fires in-memory timers
// (MemoryTimer) when the fake time passes their expiry, and a pumping wait that advances the
// fake time while timers and scheduled callbacks keep running.

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/clock.hpp"
#include "ui/memory_units.hpp"

class FakeClock : public Clock {
  public:
    std::int64_t nowMicros() override { return now_; }
    void set(std::int64_t micros) { now_ = micros; }
    void advance(std::int64_t micros) { now_ += micros; }
    std::int64_t nowMillis() const { return now_ / 1000; }

  private:
    std::int64_t now_ = 0;
};

/// Runs MemoryTimers on a FakeClock the way a GUI timer runs: each timer follows the period
/// rules on the fake time, and an expiry runs the handler while the rhythm continues.
class FakeTimers {
  public:
    explicit FakeTimers(FakeClock& clock) : clock_(clock) {}

    void add(MemoryTimer& timer);
    /// Runs `callback` when the fake time reaches `atMicros` (in order with timer expiries).
    void at(std::int64_t atMicros, std::function<void()> callback);
    /// Moves time forward to `targetMicros`, firing every expiry and callback due on the way.
    void advanceTo(std::int64_t targetMicros);
    void advanceMillis(std::int64_t ms) { advanceTo(clock_.nowMicros() + ms * 1000); }
    /// Next expiry of `timer`, or -1 when it is stopped.
    std::int64_t nextExpiry(MemoryTimer& timer);
    /// Fake times at which `timer` fired.
    std::vector<std::int64_t> firings(const MemoryTimer& timer) const;
    FakeClock& clock() { return clock_; }

  private:
    struct Tracked {
        MemoryTimer* timer;
        std::vector<std::int64_t> fired;
    };
    struct Scheduled {
        std::int64_t at;
        std::function<void()> callback;
    };
    FakeClock& clock_;
    std::vector<Tracked> timers_;
    std::vector<Scheduled> scheduled_;
};

/// PumpingWait over FakeTimers: records each wait and advances the fake time by it, running
/// whatever falls due meanwhile (including re-entrant timer ticks).
class FakePumpingWait : public PumpingWait {
  public:
    explicit FakePumpingWait(FakeTimers& timers) : timers_(timers) {}
    void wait(int ms) override;
    /// Runs at the start of each wait with the wait's index (0-based) and length.
    std::function<void(int index, int ms)> onWait;
    std::vector<int> waits;

  private:
    FakeTimers& timers_;
};
