#pragma once
// Periodic GUI-thread timers with millisecond accuracy.
// Usage (all on the GUI thread that runs the message loop):
//   Win32Timer timer;
//   timer.setHandler([&] { onTick(); });
//   timer.setPeriod(500);   // same value again keeps the rhythm, another restarts, 0 stops
// Ticks arrive as posted messages to a hidden window of this thread, so they run inside ANY
// message loop of the thread: message_loop::run, PumpingWait, MessageBox, modal dialogs, the
// window move/size loop. No loop needs to know about them.
// Each thread that creates timers gets a scheduler of its own; a timer is used and destroyed on
// the thread that created it. A handler may change any timer's period (its own included), pump
// messages, or destroy other timers.

#include <cstdint>
#include <functional>
#include <memory>

#include "ui/period_schedule.hpp"
#include "ui/units.hpp"

class TimerScheduler;

/// Runs this thread's timer worker (the thread that wakes at each expiry) at a raised priority,
/// or back at the normal one; also holds for a worker started later.
void raiseTimerThreadPriority(bool raised);

class Win32Timer final : public TimerUnit {
  public:
    Win32Timer();
    ~Win32Timer() override;
    Win32Timer(const Win32Timer&) = delete;
    Win32Timer& operator=(const Win32Timer&) = delete;

    int period() const override;
    void setPeriod(int ms) override;
    void setHandler(std::function<void()> handler) override;

  private:
    friend class TimerScheduler;
    TimerScheduler* scheduler_;  // the creating thread's
    std::uint64_t id_;
    PeriodSchedule schedule_;
    std::uint64_t generation_ = 0;  // counts effective period changes
    std::function<void()> handler_;
};
