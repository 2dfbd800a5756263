#include "posix/real_time.hpp"

#include <sched.h>
#include <sys/prctl.h>
#include <time.h>

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

}  // namespace posix
