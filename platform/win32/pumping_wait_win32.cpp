// A wait that keeps the window alive: a one-shot waitable timer, and every message that arrives
// before it fires is handled at once.
#include "platform/win32/pumping_wait_win32.hpp"

#include <windows.h>

#include "platform/win32/message_loop.hpp"

namespace {
// QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_POSTMESSAGE | QS_TIMER | QS_PAINT |
// QS_SENDMESSAGE | QS_HOTKEY: every kind of message a window of ours can be waiting for.
constexpr DWORD kWakeMask = 0x00FF;
}  // namespace

void Win32PumpingWait::wait(int ms) {
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(ms > 0 ? ms : 0) * 10000;
    HANDLE timer = CreateWaitableTimerA(nullptr, FALSE, nullptr);
    // A timer that was never armed would never fire, and the wait below has no timeout.
    if (!timer || !SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
        if (timer) CloseHandle(timer);
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
    CloseHandle(timer);
    message_loop::finishQuit();
}
