#include "app/event_loop.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;

namespace {

struct VirtualLoop {
    VirtualClock clock;
    EventLoop loop{clock};
    std::vector<std::int64_t> fired;  // in ms

    LoopTimer& recordingTimer() {
        LoopTimer& t = loop.createTimer();
        t.setHandler([this] { fired.push_back(clock.nowMicros() / 1000); });
        return t;
    }
};

TEST(EventLoop, PeriodicTimerKeepsItsRhythmUnlessThePeriodChanges) {
    VirtualLoop v;
    LoopTimer& t = v.recordingTimer();
    t.setPeriod(50);
    v.loop.runUntil(120'000);
    t.setPeriod(50);  // same period: still due at 150
    v.loop.runUntil(160'000);
    t.setPeriod(30);  // restarts at 160
    v.loop.runUntil(230'000);
    t.setPeriod(-5);
    EXPECT_EQ(t.period(), 0);
    v.loop.runUntil(400'000);
    EXPECT_THAT(v.fired, ElementsAre(50, 100, 150, 190, 220));
}

TEST(EventLoop, RunEndsWhenNoTimerIsArmedOrAStopIsRequested) {
    VirtualLoop v;
    LoopTimer& t = v.loop.createTimer();
    int count = 0;
    t.setHandler([&] {
        if (++count == 3) t.setPeriod(0);
    });
    t.setPeriod(10);
    v.loop.run();
    EXPECT_EQ(count, 3);
    EXPECT_EQ(v.clock.nowMicros(), 30'000);

    volatile std::sig_atomic_t flag = 0;
    v.loop.watchFlag(&flag);
    t.setHandler([&] {
        if (++count == 5) flag = 1;
    });
    t.setPeriod(10);
    v.loop.run();
    EXPECT_EQ(count, 5);
    EXPECT_TRUE(v.loop.stopRequested());
}

TEST(EventLoop, WaitsInsideAHandlerKeepTimersRunning) {
    VirtualLoop v;
    LoopPumpingWait wait(v.loop);
    LoopTimer& fast = v.recordingTimer();
    LoopTimer& slow = v.loop.createTimer();
    int depth = 0, deepest = 0;
    slow.setHandler([&] {
        deepest = std::max(deepest, ++depth);
        wait.wait(25);  // the fast timer fires twice meanwhile
        --depth;
    });
    fast.setPeriod(10);
    slow.setPeriod(100);
    v.loop.runUntil(105'000);
    EXPECT_THAT(v.fired, ElementsAre(10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120));
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(v.clock.nowMicros(), 125'000);
}

TEST(EventLoop, ExpiriesMissedDuringALongHandlerFoldIntoOne) {
    VirtualLoop v;
    LoopTimer& t = v.loop.createTimer();
    std::vector<std::int64_t> at;
    t.setHandler([&] {
        at.push_back(v.clock.nowMicros() / 1000);
        if (at.size() == 1) v.clock.sleepUntil(75'000);  // blocks without pumping
    });
    t.setPeriod(20);
    v.loop.runUntil(100'000);
    EXPECT_THAT(at, ElementsAre(20, 75, 80, 100));
}

}  // namespace
