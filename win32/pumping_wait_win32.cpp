// A wait that keeps the window alive: a one-shot waitable timer, and every message that arrives
// before it fires is handled at once.
#include "win32/pumping_wait_win32.hpp"

#include <windows.h>

#include <vector>

#include "win32/message_loop.hpp"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace {

// Every kind of message a window of ours can be waiting for.
constexpr DWORD kWakeMask = QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_POSTMESSAGE | QS_TIMER |
                            QS_PAINT | QS_SENDMESSAGE | QS_HOTKEY;

// A delivery waits 10 ms between steps, many times a line; creating a kernel timer for each
// wait would be waste. Each thread keeps its timers and lends one to each wait in progress:
// a wait inside a timer tick inside a wait needs a timer of its own, since re-arming the outer
// one would cut the outer wait short.
class TimerPool {
  public:
    ~TimerPool() {
        for (HANDLE timer : free_) CloseHandle(timer);
    }
    HANDLE take() {
        if (!free_.empty()) {
            HANDLE timer = free_.back();
            free_.pop_back();
            return timer;
        }
        // High-resolution where Windows offers it (10 1803 and later): a plain timer's expiry
        // falls on the system tick, which would stretch a 10 ms pause to about 16 ms.
        HANDLE timer = CreateWaitableTimerExW(
            nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
        return timer ? timer : CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    }
    // Only a timer that has fired or was never armed comes back, so it is not signalled.
    void give(HANDLE timer) { free_.push_back(timer); }

  private:
    std::vector<HANDLE> free_;
};

thread_local TimerPool pool;

}  // namespace

void Win32PumpingWait::wait(int ms) {
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(ms > 0 ? ms : 0) * 10000;
    HANDLE timer = pool.take();
    // A timer that was never armed would never fire, and the wait below has no timeout.
    if (!timer || !SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
        if (timer) pool.give(timer);
        Sleep(ms > 0 ? static_cast<DWORD>(ms) : 0);
        return;
    }
    // Messages already queued before the wait would not wake MsgWaitForMultipleObjects (it
    // waits for new ones), so hand them out first.
    bool pumping = message_loop::pumpPending();
    for (;;) {
        if (!pumping) {
            // The program is closing: sit out the rest of the wait without dispatching more.
            WaitForSingleObject(timer, INFINITE);
            break;
        }
        const DWORD woke = MsgWaitForMultipleObjects(1, &timer, FALSE, INFINITE, kWakeMask);
        if (woke == WAIT_OBJECT_0) break;
        if (woke == WAIT_FAILED) {
            WaitForSingleObject(timer, INFINITE);
            break;
        }
        pumping = message_loop::pumpPending();
    }
    pool.give(timer);
    message_loop::finishQuit();
}
