#include "posix/real_time.hpp"

#include <gtest/gtest.h>

namespace {

TEST(EventLoop, RealWaitsNeverEndEarly) {
    posix::MonotonicClock clock;
    EventLoop loop(clock);
    LoopPumpingWait wait(loop);
    for (int ms : {1, 3, 10}) {
        const std::int64_t before = clock.nowMicros();
        wait.wait(ms);
        EXPECT_GE(clock.nowMicros() - before, ms * 1000);
    }
}

}  // namespace
