// GUI-thread timers and the pumping wait: ticks and messages that keep running in the middle of
// a wait or inside a message loop that knows nothing about timers.
#include "win32/timer_win32.hpp"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "win32/clock_win32.hpp"
#include "win32/pumping_wait_win32.hpp"

namespace {

// ---- Real timers. Only the order of events is asserted, never how long something took.

// Pumps until `done` or about two seconds have passed.
template <typename Done>
void pumpUntil(Done done) {
    Win32PumpingWait wait;
    for (int i = 0; i < 200 && !done(); ++i) wait.wait(10);
}

TEST(Win32Timer, TicksDuringAPumpingWaitAndStopsAtZero) {
    Win32Timer timer;
    int ticks = 0;
    timer.setHandler([&] { ++ticks; });
    timer.setPeriod(15);
    EXPECT_EQ(timer.period(), 15);
    pumpUntil([&] { return ticks >= 3; });
    EXPECT_GE(ticks, 3);

    timer.setPeriod(-4);
    EXPECT_EQ(timer.period(), 0);
    const int stoppedAt = ticks;
    Win32PumpingWait().wait(100);
    EXPECT_EQ(ticks, stoppedAt);
}

// Arms `timer` at 300 ms, sets `second` on it at least 180 ms later (nothing is pumped in
// between, so it cannot tick), and at that moment arms a 200 ms reference timer. Returns which
// of the two ticked first: 't' for `timer`, 'r' for the reference. Expiries run in the order
// of their due times however late they are served, so the answer does not depend on the load.
char firstTickAfterSecondPeriod(int second) {
    Win32Timer timer, reference;
    std::vector<char> order;
    timer.setHandler([&] {
        order.push_back('t');
        timer.setPeriod(0);
    });
    reference.setHandler([&] {
        order.push_back('r');
        reference.setPeriod(0);
    });
    timer.setPeriod(300);
    Sleep(180);
    timer.setPeriod(second);
    reference.setPeriod(200);
    pumpUntil([&] { return order.size() >= 2; });
    return order.empty() ? '?' : order.front();
}

TEST(Win32Timer, SettingTheSamePeriodKeepsTheRhythmAndAnotherRestartsTheCountdown) {
    // Kept, the expiry stays at 300, before the reference's 380 or later.
    EXPECT_EQ(firstTickAfterSecondPeriod(300), 't');
    // Restarted, it comes 250 after the change, after the reference's 200.
    EXPECT_EQ(firstTickAfterSecondPeriod(250), 'r');
}

TEST(Win32Timer, EarlierExpiryRunsFirstAndAHandlerMayStopItsOwnTimer) {
    Win32Timer slow, fast;
    std::vector<char> order;
    slow.setHandler([&] {
        order.push_back('s');
        slow.setPeriod(0);
    });
    fast.setHandler([&] {
        order.push_back('f');
        fast.setPeriod(0);
    });
    slow.setPeriod(120);
    fast.setPeriod(40);
    pumpUntil([&] { return order.size() >= 2; });
    Win32PumpingWait().wait(150);  // neither ticks again
    EXPECT_EQ(order, (std::vector<char>{'f', 's'}));
}

TEST(Win32Timer, AnExpiryStoppedByAnEarlierHandlerOfTheSameRunIsDropped) {
    Win32Timer first, second;
    int secondTicks = 0;
    first.setHandler([&] {
        first.setPeriod(0);
        second.setPeriod(0);
    });
    second.setHandler([&] { ++secondTicks; });
    first.setPeriod(60);
    second.setPeriod(60);
    Sleep(120);  // both expire before the message loop gets to either
    Win32PumpingWait().wait(100);
    EXPECT_EQ(first.period(), 0);
    EXPECT_EQ(secondTicks, 0);
}

TEST(Win32Timer, TicksInsideALoopThatKnowsNothingAboutTimers) {
    // A plain GetMessage loop, like the one inside MessageBox or a modal dialog.
    Win32Timer timer;
    int ticks = 0;
    timer.setHandler([&] {
        if (++ticks == 3) PostQuitMessage(5);
    });
    timer.setPeriod(20);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
    EXPECT_EQ(m.wParam, 5u);
    EXPECT_EQ(ticks, 3);
}

TEST(Win32Timer, AHandlerMayDestroyTheLastTimerAndNewTimersStillTick) {
    auto only = std::make_unique<Win32Timer>();
    int ticks = 0;
    only->setHandler([&] {
        ++ticks;
        only.reset();
    });
    only->setPeriod(10);
    pumpUntil([&] { return !only; });
    EXPECT_EQ(ticks, 1);

    Win32Timer next;
    int nextTicks = 0;
    next.setHandler([&] { ++nextTicks; });
    next.setPeriod(10);
    pumpUntil([&] { return nextTicks > 0; });
    EXPECT_GT(nextTicks, 0);
}

// ---- The pumping wait.

std::vector<UINT>* received = nullptr;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP && received) received->push_back(message);
    return DefWindowProcW(window, message, wParam, lParam);
}

class PumpingWaitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = recordingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CantorelPumpingWaitTest";
        RegisterClassW(&wc);
        window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
        received = &messages;
    }
    void TearDown() override {
        received = nullptr;
        if (window) DestroyWindow(window);
    }
    HWND window = nullptr;
    std::vector<UINT> messages;
};

TEST_F(PumpingWaitTest, HandlesMessagesQueuedBeforeAndPostedDuringTheWait) {
    PostMessageW(window, WM_APP + 1, 0, 0);
    HANDLE poster = CreateThread(
        nullptr, 0,
        [](void* target) -> DWORD {
            Sleep(30);
            PostMessageW(static_cast<HWND>(target), WM_APP + 2, 0, 0);
            return 0;
        },
        window, 0, nullptr);
    const std::int64_t start = qpcMicros();
    Win32PumpingWait().wait(150);
    const std::int64_t waited = qpcMicros() - start;
    WaitForSingleObject(poster, INFINITE);
    CloseHandle(poster);
    EXPECT_EQ(messages, (std::vector<UINT>{WM_APP + 1, WM_APP + 2}));
    EXPECT_GE(waited, 148000);  // the wait is not cut short by the messages
}

TEST_F(PumpingWaitTest, AQuitDuringTheWaitIsHandedOnAfterIt) {
    PostQuitMessage(9);
    Win32PumpingWait().wait(20);
    PostMessageW(window, WM_APP + 3, 0, 0);
    // The quit is queued again for the outer loop, which then ends as asked.
    MSG m;
    int code = -1;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
    code = static_cast<int>(m.wParam);
    EXPECT_EQ(code, 9);
    EXPECT_EQ(messages, (std::vector<UINT>{WM_APP + 3}));
}

TEST_F(PumpingWaitTest, NestedWaitsInsideATimerTickBothFinish) {
    Win32Timer timer;
    int ticks = 0;
    timer.setHandler([&] {
        ++ticks;
        timer.setPeriod(0);
        Win32PumpingWait().wait(30);  // a delivery inside a tick
        PostMessageW(window, WM_APP + 4, 0, 0);
    });
    timer.setPeriod(10);
    Win32PumpingWait().wait(150);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(messages, (std::vector<UINT>{WM_APP + 4}));
}

}  // namespace
