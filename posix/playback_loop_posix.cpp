// The console playback loop on Linux: an EventLoop over CLOCK_MONOTONIC (or virtual time),
// stopped by SIGINT or SIGTERM.
#include <sched.h>

#include <csignal>

#include "app/loop_units.hpp"
#include "platform/playback_loop.hpp"
#include "posix/real_time.hpp"

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) { interrupted = 1; }

class PosixPlaybackLoop final : public PlaybackLoop {
  public:
    explicit PosixPlaybackLoop(bool virtualTime)
        : virtualTime_(virtualTime),
          time_(virtualTime ? static_cast<TimeSource&>(virtual_)
                            : static_cast<TimeSource&>(monotonic_)),
          loop_(time_),
          wait_(loop_),
          units_(loop_) {}

    Clock& clock() override { return time_; }
    PumpingWait& pumpingWait() override { return wait_; }
    UnitDirectory& units() override { return units_; }

    bool run() override {
        interrupted = 0;
        struct sigaction action {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        struct sigaction previousInt {
        }, previousTerm{};
        sigaction(SIGINT, &action, &previousInt);
        sigaction(SIGTERM, &action, &previousTerm);
        loop_.watchFlag(&interrupted);
        // A preview runs in virtual time and needs no priority.
        const int previousPolicy = sched_getscheduler(0);
        sched_param previousParam{};
        sched_getparam(0, &previousParam);
        const bool prioritized = !virtualTime_ && posix::requestTimingPriority();
        loop_.run();  // returns when no timer is armed or on a signal
        // Whoever runs the command in-process gets its own Ctrl-C and scheduling back.
        if (prioritized && previousPolicy >= 0)
            sched_setscheduler(0, previousPolicy, &previousParam);
        sigaction(SIGINT, &previousInt, nullptr);
        sigaction(SIGTERM, &previousTerm, nullptr);
        return interrupted == 0;
    }

  private:
    bool virtualTime_;
    posix::MonotonicClock monotonic_;
    VirtualClock virtual_;
    TimeSource& time_;
    EventLoop loop_;
    LoopPumpingWait wait_;
    LoopUnits units_;
};

}  // namespace

std::unique_ptr<PlaybackLoop> makePlaybackLoop(bool virtualTime) {
    return std::make_unique<PosixPlaybackLoop>(virtualTime);
}
