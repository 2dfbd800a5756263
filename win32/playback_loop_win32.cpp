// The console playback loop on Windows: the playback timer is a Win32Timer whose ticks arrive as
// window messages, and the loop pumps this thread's messages until the song has ended or Ctrl-C.
// A preview runs on the portable EventLoop in virtual time, exactly as on Linux.
#include <windows.h>

#include <atomic>

#include "app/event_loop.hpp"
#include "app/loop_units.hpp"
#include "platform/playback_loop.hpp"
#include "win32/clock_win32.hpp"
#include "win32/message_loop.hpp"
#include "win32/pumping_wait_win32.hpp"
#include "win32/timer_win32.hpp"

namespace {

// The console's control handler runs on a thread of its own: it only raises the flag and wakes
// the loop through the event. The event lives as long as the process, so a handler still
// running after the loop has ended never touches a closed handle.
std::atomic<bool> interrupted{false};
const HANDLE interruptEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);

BOOL WINAPI onConsoleControl(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
    interrupted = true;
    if (interruptEvent) SetEvent(interruptEvent);
    return TRUE;
}

// Lines are printed as UTF-8; a real console shows them as such only in code page 65001. The
// console outlives this program, so its own code page comes back afterwards. Redirected output
// and Wine's console pass the bytes through either way.
class Utf8Console {
  public:
    Utf8Console() : previous_(GetConsoleOutputCP()) {
        if (previous_ != 0) SetConsoleOutputCP(CP_UTF8);
    }
    ~Utf8Console() {
        if (previous_ != 0) SetConsoleOutputCP(previous_);
    }
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

  private:
    UINT previous_;  // 0 when there is no console
};

class Win32PlaybackLoop final : public PlaybackLoop {
  public:
    Win32PlaybackLoop() : units_(timer_) {}

    Clock& clock() override { return clock_; }
    PumpingWait& pumpingWait() override { return wait_; }
    UnitDirectory& units() override { return units_; }

    bool run() override {
        interrupted = false;
        if (interruptEvent) ResetEvent(interruptEvent);
        SetConsoleCtrlHandler(onConsoleControl, TRUE);
        // The engine stops its timer when the last line has gone out. Ticks (and the waits of a
        // delivery inside them) run while messages are dispatched.
        while (!interrupted && timer_.period() != 0) {
            if (!message_loop::pumpPending()) break;  // WM_QUIT: nobody posts one here
            if (interrupted || timer_.period() == 0) break;
            const DWORD woke =
                MsgWaitForMultipleObjectsEx(interruptEvent ? 1 : 0, &interruptEvent, INFINITE,
                                            QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            if (woke == WAIT_FAILED) break;
        }
        SetConsoleCtrlHandler(onConsoleControl, FALSE);
        return !interrupted;
    }

  private:
    Utf8Console console_;
    Win32Clock clock_;
    Win32PumpingWait wait_;
    Win32Timer timer_;
    LoopUnits units_;
};

// Virtual time has no messages to wait for: the EventLoop jumps from one expiry to the next.
class VirtualPlaybackLoop final : public PlaybackLoop {
  public:
    VirtualPlaybackLoop() : loop_(clock_), wait_(loop_), units_(loop_) {}

    Clock& clock() override { return clock_; }
    PumpingWait& pumpingWait() override { return wait_; }
    UnitDirectory& units() override { return units_; }

    bool run() override {
        loop_.run();
        return true;
    }

  private:
    Utf8Console console_;
    VirtualClock clock_;
    EventLoop loop_;
    LoopPumpingWait wait_;
    LoopUnits units_;
};

}  // namespace

std::unique_ptr<PlaybackLoop> makePlaybackLoop(bool virtualTime) {
    if (virtualTime) return std::make_unique<VirtualPlaybackLoop>();
    return std::make_unique<Win32PlaybackLoop>();
}
