#pragma once
// A single-threaded event loop whose timers behave like the program's GUI timers, over a time
// source that may be real or virtual. The command line plays through it on Linux, and previews
// (`--dry-run`) on every platform run in its virtual time, so a song plays instantly with its
// times intact. Waits use absolute deadlines, so lateness does not add up.

#include <csignal>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/clock.hpp"
#include "ui/period_schedule.hpp"
#include "ui/units.hpp"

/// Where the loop's time comes from and how it sleeps.
class TimeSource : public Clock {
  public:
    /// Sleeps until `deadlineMicros` on this source's clock; may return early on a signal.
    virtual void sleepUntil(std::int64_t deadlineMicros) = 0;
};

/// Virtual time that jumps to each deadline at once: plays a song instantly, times intact.
class VirtualClock : public TimeSource {
  public:
    std::int64_t nowMicros() override { return now_; }
    void sleepUntil(std::int64_t deadlineMicros) override {
        if (deadlineMicros > now_) now_ = deadlineMicros;
    }

  private:
    std::int64_t now_ = 0;
};

class EventLoop;

/// A periodic timer of an EventLoop with the period rules of every timer (PeriodSchedule).
class LoopTimer : public TimerUnit {
  public:
    int period() const override { return schedule_.period(); }
    void setPeriod(int ms) override;
    void setHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

  private:
    friend class EventLoop;
    explicit LoopTimer(EventLoop& loop) : loop_(loop) {}
    EventLoop& loop_;
    PeriodSchedule schedule_{1000};  // over the loop's microseconds
    std::function<void()> handler_;
};

class EventLoop {
  public:
    explicit EventLoop(TimeSource& time) : time_(time) {}
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    /// A new timer owned by the loop, stopped.
    LoopTimer& createTimer();

    /// Runs expiring timers until `deadlineMicros`; returns early once a stop is requested.
    /// Handlers may call it again (a pumping wait inside a handler).
    void runUntil(std::int64_t deadlineMicros);
    /// Runs until a stop is requested or no timer is armed.
    void run();

    /// Makes run()/runUntil() return as soon as they notice it.
    void requestStop() { stopRequested_ = true; }
    /// Also stop when `*flag` becomes non-zero (set from a signal handler).
    void watchFlag(const volatile std::sig_atomic_t* flag) { flag_ = flag; }
    bool stopRequested() const { return stopRequested_ || (flag_ && *flag_ != 0); }

    TimeSource& time() { return time_; }

  private:
    LoopTimer* earliest() const;
    /// Fires every timer due by now; true when one fired.
    bool fireDue();

    TimeSource& time_;
    std::vector<std::unique_ptr<LoopTimer>> timers_;
    bool stopRequested_ = false;
    const volatile std::sig_atomic_t* flag_ = nullptr;
};

/// A wait of the delivery sequences that keeps the loop's timers running; cut short by a stop.
class LoopPumpingWait : public PumpingWait {
  public:
    explicit LoopPumpingWait(EventLoop& loop) : loop_(loop) {}
    void wait(int ms) override;

  private:
    EventLoop& loop_;
};
