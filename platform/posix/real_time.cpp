#include "platform/posix/real_time.hpp"

#include <sched.h>
#include <sys/prctl.h>
#include <time.h>

#include <cerrno>

namespace posix {

MonotonicClock::MonotonicClock() {
    // The default slack of 50 us would be most of the lateness of a precise wake-up.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

std::int64_t MonotonicClock::nowMicros() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

void MonotonicClock::sleepUntil(std::int64_t deadlineMicros) {
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(deadlineMicros / 1000000);
    ts.tv_nsec = static_cast<long>(deadlineMicros % 1000000) * 1000;
    // An interrupting signal returns EINTR: the loop then looks at its stop flag.
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
}

bool requestTimingPriority() {
    sched_param param{};
    param.sched_priority = sched_get_priority_min(SCHED_FIFO);
    // The loop sleeps between lines; the kernel's real-time throttling still caps any runaway.
    // Children started from here go back to normal scheduling.
    return sched_setscheduler(0, SCHED_FIFO | SCHED_RESET_ON_FORK, &param) == 0;
}

void LoopTimer::setPeriod(int ms) {
    if (ms < 0) ms = 0;
    if (ms == period_) return;
    period_ = ms;
    due_ = ms > 0 ? loop_.time().nowMicros() + ms * 1000LL : -1;
}

LoopTimer& EventLoop::createTimer() {
    timers_.push_back(std::unique_ptr<LoopTimer>(new LoopTimer(*this)));
    return *timers_.back();
}

LoopTimer* EventLoop::earliest() const {
    LoopTimer* best = nullptr;
    for (const auto& t : timers_)
        if (t->due_ >= 0 && (!best || t->due_ < best->due_)) best = t.get();
    return best;
}

bool EventLoop::fireDue() {
    LoopTimer* t = earliest();
    const std::int64_t now = time_.nowMicros();
    if (!t || t->due_ > now) return false;
    // The rhythm goes on from the expiry, not from the handler's end; expiries missed while a
    // handler ran fold into one late expiry, as queued GUI timer messages do.
    do {
        t->due_ += t->period_ * 1000LL;
    } while (t->due_ <= now);
    auto handler = t->handler_;  // the handler may replace itself
    if (handler) handler();
    return true;
}

void EventLoop::runUntil(std::int64_t deadlineMicros) {
    while (!stopRequested()) {
        if (fireDue()) continue;
        if (time_.nowMicros() >= deadlineMicros) return;
        const LoopTimer* next = earliest();
        const std::int64_t wake = next && next->due_ < deadlineMicros ? next->due_ : deadlineMicros;
        time_.sleepUntil(wake);
    }
}

void EventLoop::run() {
    while (!stopRequested()) {
        const LoopTimer* next = earliest();
        if (!next) return;
        runUntil(next->due_);
    }
}

void LoopPumpingWait::wait(int ms) { loop_.runUntil(loop_.time().nowMicros() + ms * 1000LL); }

}  // namespace posix
