#include "platform/posix/real_time.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/posix/console_client.hpp"
#include "platform/posix/loop_units.hpp"
#include "playback/playback_engine.hpp"
#include "tests/support/fake_message_boxes.hpp"

using ::testing::ElementsAre;

namespace {

struct VirtualLoop {
    posix::VirtualClock clock;
    posix::EventLoop loop{clock};
    std::vector<std::int64_t> fired;  // in ms

    posix::LoopTimer& recordingTimer() {
        posix::LoopTimer& t = loop.createTimer();
        t.setHandler([this] { fired.push_back(clock.nowMicros() / 1000); });
        return t;
    }
};

TEST(EventLoop, PeriodicTimerKeepsItsRhythmUnlessThePeriodChanges) {
    VirtualLoop v;
    posix::LoopTimer& t = v.recordingTimer();
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
    posix::LoopTimer& t = v.loop.createTimer();
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
    posix::LoopPumpingWait wait(v.loop);
    posix::LoopTimer& fast = v.recordingTimer();
    posix::LoopTimer& slow = v.loop.createTimer();
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
    posix::LoopTimer& t = v.loop.createTimer();
    std::vector<std::int64_t> at;
    t.setHandler([&] {
        at.push_back(v.clock.nowMicros() / 1000);
        if (at.size() == 1) v.clock.sleepUntil(75'000);  // blocks without pumping
    });
    t.setPeriod(20);
    v.loop.runUntil(100'000);
    EXPECT_THAT(at, ElementsAre(20, 75, 80, 100));
}

TEST(EventLoop, RealWaitsNeverEndEarly) {
    posix::MonotonicClock clock;
    posix::EventLoop loop(clock);
    posix::LoopPumpingWait wait(loop);
    for (int ms : {1, 3, 10}) {
        const std::int64_t before = clock.nowMicros();
        wait.wait(ms);
        EXPECT_GE(clock.nowMicros() - before, ms * 1000);
    }
}

TEST(ConsoleClient, PublicLinesAreSentByTheSendClick) {
    posix::VirtualClock clock;
    std::vector<posix::ClientLine> lines;
    posix::ConsoleClient client(clock, [&](const posix::ClientLine& l) { lines.push_back(l); });
    auto click = [&](WindowHandle w, int x, int y) {
        client.post(w, msg::kLButtonDown, 1, x + y * 65536);
    };
    const WindowHandle main = posix::ConsoleClient::kMainWindow;
    click(main, 585, 643);
    for (char c : std::string("hi\xD6\xD0"))
        client.post(main, msg::kChar, static_cast<unsigned char>(c), 0);
    clock.sleepUntil(20'000);
    click(main, 917, 633);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "hi\xD6\xD0");
    EXPECT_FALSE(lines[0].card);
    EXPECT_EQ(lines[0].startMicros, 0);
    EXPECT_EQ(lines[0].sentMicros, 20'000);
}

TEST(ConsoleClient, CardTextIsEditedByBackspacesAndConfirmedOnce) {
    posix::VirtualClock clock;
    std::vector<GbkText> lines;
    posix::ConsoleClient client(clock,
                                [&](const posix::ClientLine& l) { lines.push_back(l.text); });
    const WindowHandle main = posix::ConsoleClient::kMainWindow;
    const WindowHandle card = posix::ConsoleClient::kCardDialog;
    EXPECT_EQ(client.findTopLevel("TXGuiFoundation", "修改房间名片"), 0u);
    client.post(main, msg::kLButtonDown, 1, 181 + 118 * 65536);
    EXPECT_EQ(client.findTopLevel("TXGuiFoundation", "修改房间名片"), card);
    auto type = [&](const GbkText& text, int backspaces) {
        client.post(card, msg::kLButtonDown, 1, 256 + 124 * 65536);
        for (int i = 0; i < backspaces; ++i) client.post(card, msg::kKeyDown, 8, 0);
        for (char c : text) client.post(card, msg::kChar, static_cast<unsigned char>(c), 0);
        client.post(card, msg::kLButtonDown, 1, 299 + 164 * 65536);
        client.post(card, msg::kLButtonDown, 1, 299 + 164 * 65536);
    };
    type("a\xD6\xD0", 30);
    type("b", 1);  // one Backspace takes the whole two-byte character
    EXPECT_THAT(lines, ElementsAre("a\xD6\xD0", "ab"));
    client.post(card, msg::kClose, 0, 0);
    EXPECT_FALSE(client.isWindow(card));
    client.post(card, msg::kChar, 'x', 0);
    EXPECT_EQ(client.strayPosts(), 1);
}

TEST(RealTimePlayback, VirtualTimeDeliversEachLineExactlyWhenDue) {
    posix::VirtualClock clock;
    posix::EventLoop loop(clock);
    posix::LoopPumpingWait wait(loop);
    posix::LoopUnits directory(loop);
    MainUnits units(directory);
    AppState state;
    FakeMessageBoxes boxes;
    std::vector<std::int64_t> starts;
    posix::ConsoleClient client(
        clock, [&](const posix::ClientLine& l) { starts.push_back(l.startMicros); });
    LineTransform transform(units, 1);
    Delivery delivery(client, wait, boxes, state, units);
    PlaybackEngine engine(units, state, boxes, clock, transform, delivery);
    const int times[] = {0, 333, 333, 1001, 1017, 5000};
    for (int i = 0; i < 6; ++i) {
        state.lyrics.lines.push_back({times[i], "x"});
        units.超级列表框_歌词.setCell(units.超级列表框_歌词.addRow("", i + 1), 1, "x");
    }
    state.targetWindow = posix::ConsoleClient::kMainWindow;
    units.公屏字幕.setChecked(true);
    engine.startStop();
    loop.run();
    EXPECT_THAT(starts, ElementsAre(0, 333'000, 353'000, 1'001'000, 1'021'000, 5'000'000));
    EXPECT_EQ(units.开始字幕.text(), "开始字幕");
    EXPECT_EQ(client.strayPosts(), 0);
}

}  // namespace
