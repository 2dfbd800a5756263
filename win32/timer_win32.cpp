// GUI-thread timers.
//
// Why not SetTimer: on Windows its expiries fall on the system tick (about 15.6 ms unless some
// program raises the timer resolution) and each period is rounded up to that tick, so lyric
// lines would land up to 16 ms late and equal gaps would drift. Instead every timer keeps its
// own expiry grid on the performance counter (PeriodSchedule), one waitable timer is armed for
// the earliest expiry, and a small worker thread that waits on it posts a message to a hidden
// window of the GUI thread. Posted messages are handled by every message loop - ours,
// PumpingWait's, MessageBox's, a modal dialog's, the move/size loop - so ticks never stall
// while a loop we do not own runs, and no loop needs to cooperate.
// The waitable timer is high-resolution where Windows offers it (10 1803 and later); elsewhere
// a plain one with the system timer period lowered to 1 ms while timers exist.
#include "win32/timer_win32.hpp"

#include <windows.h>

#include <algorithm>
#include <cassert>
#include <map>
#include <utility>
#include <vector>

#include "win32/clock_win32.hpp"
#include "win32/message_boxes_win32.hpp"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace {

constexpr UINT kTickMessage = WM_APP + 0x31;
constexpr UINT kFailedMessage = WM_APP + 0x32;
constexpr wchar_t kTimerSinkClass[] = L"CantorelTimerSink";

using TimePeriodFn = UINT(WINAPI*)(UINT);

// winmm is loaded only on the fallback path, so the program needs no import of it.
void setSystemTimerPeriod(bool raise) {
    static HMODULE winmm = LoadLibraryW(L"winmm.dll");
    if (!winmm) return;
    auto fn = reinterpret_cast<TimePeriodFn>(reinterpret_cast<void*>(
        GetProcAddress(winmm, raise ? "timeBeginPeriod" : "timeEndPeriod")));
    if (fn) fn(1);
}

}  // namespace

// One per thread that has timers: created with the thread's first timer, gone with its last.
// Its sink window belongs to that thread, so the ticks run there and nowhere else.
class TimerScheduler {
  public:
    static TimerScheduler& acquire() {
        if (!instance_) instance_ = new TimerScheduler();
        ++instance_->users_;
        return *instance_;
    }
    void release() {
        assertOwnThread();
        if (--users_ == 0) {
            instance_ = nullptr;
            delete this;
        }
    }
    void assertOwnThread() const { assert(GetCurrentThreadId() == owner_); }

    std::uint64_t add(Win32Timer* timer) {
        const std::uint64_t id = ++lastId_;
        timers_[id] = timer;
        return id;
    }
    void remove(std::uint64_t id) {
        assertOwnThread();
        timers_.erase(id);
        rearm();
    }

    // Arms the waitable timer for the earliest expiry of all timers (or disarms it).
    void rearm() {
        std::optional<std::int64_t> earliest;
        for (const auto& [id, timer] : timers_) {
            const auto due = timer->schedule_.due();
            if (due && (!earliest || *due < *earliest)) earliest = due;
        }
        if (!waitable_) return;
        if (!earliest) {
            CancelWaitableTimer(waitable_);
            return;
        }
        const std::int64_t ahead = *earliest - qpcMicros();
        LARGE_INTEGER due;
        due.QuadPart = -std::max<LONGLONG>(1, ahead * 10);  // relative, in 100 ns
        if (!SetWaitableTimer(waitable_, &due, 0, nullptr, nullptr, FALSE)) reportFailure();
    }

    // Runs the handler of every timer that has expired, earliest expiry first.
    void runDue() {
        const std::int64_t now = qpcMicros();
        struct Expiry {
            std::int64_t when;
            std::uint64_t id;
            std::uint64_t generation;
            bool operator<(const Expiry& other) const {
                return when != other.when ? when < other.when : id < other.id;
            }
        };
        std::vector<Expiry> due;
        for (auto& [id, timer] : timers_) {
            const auto when = timer->schedule_.due();
            if (when && timer->schedule_.takeExpiry(now))
                due.push_back({*when, id, timer->generation_});
        }
        std::sort(due.begin(), due.end());
        // Armed before the handlers run: a handler that pumps messages must see later ticks.
        rearm();
        for (const auto& entry : due) {
            auto it = timers_.find(entry.id);
            // Destroyed, stopped or restarted by an earlier handler: this expiry is void.
            if (it == timers_.end() || it->second->generation_ != entry.generation) continue;
            // A copy, so a handler may replace its own handler or destroy its timer.
            const std::function<void()> handler = it->second->handler_;
            if (handler) handler();
        }
        if (!due.empty()) rearm();
    }

  private:
    TimerScheduler() {
        HINSTANCE module = GetModuleHandleW(nullptr);
        WNDCLASSW wc{};
        wc.lpfnWndProc = sinkProc;
        wc.hInstance = module;
        wc.lpszClassName = kTimerSinkClass;
        RegisterClassW(&wc);  // fails harmlessly when already registered
        sink_ = CreateWindowExW(0, kTimerSinkClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                module, nullptr);
        waitable_ = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                           TIMER_ALL_ACCESS);
        highResolution_ = waitable_ != nullptr;
        if (!waitable_) {
            waitable_ = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
            setSystemTimerPeriod(true);
        }
        quit_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (sink_ && waitable_ && quit_)
            worker_ = CreateThread(nullptr, 0, workerMain, this, 0, nullptr);
        if (!worker_) reportFailure();
        applyPriority();
    }

    // Without ticks no lyric line goes out on time, and the user on stage would only notice
    // when the room stays silent: say so once. The box comes from its own message, never from
    // the middle of a timer operation.
    void reportFailure() {
        if (failureReported_) return;
        failureReported_ = true;
        if (!sink_ || !PostMessageW(sink_, kFailedMessage, 0, 0)) showFailure();
    }
    static void showFailure() {
        Win32MessageBoxes().show("计时器无法启动，歌词无法按时发送。请重新启动程序。", "温馨提示",
                                 mb::kIconInformation | mb::kTaskModal);
    }

    ~TimerScheduler() {
        if (worker_) {
            SetEvent(quit_);
            WaitForSingleObject(worker_, INFINITE);
            CloseHandle(worker_);
        }
        if (!highResolution_) setSystemTimerPeriod(false);
        if (quit_) CloseHandle(quit_);
        if (waitable_) CloseHandle(waitable_);
        if (sink_) DestroyWindow(sink_);
    }

    // Only reads handles that live until it has been joined.
    static DWORD WINAPI workerMain(void* param) {
        auto* self = static_cast<TimerScheduler*>(param);
        HANDLE handles[2] = {self->quit_, self->waitable_};
        for (;;) {
            const DWORD woke = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
            if (woke != WAIT_OBJECT_0 + 1) return 0;
            PostMessageW(self->sink_, kTickMessage, 0, 0);
        }
    }

    static LRESULT CALLBACK sinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == kFailedMessage) {
            showFailure();
            return 0;
        }
        if (message == kTickMessage) {
            if (!instance_) return 0;
            // Held for the run: a handler may destroy the last timer, which would otherwise
            // delete the scheduler under its own feet.
            acquire().runDue();
            instance_->release();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

  public:
    static void setRaised(bool raised) {
        raised_ = raised;
        if (instance_) instance_->applyPriority();
    }

  private:
    // The worker only waits and posts, so running it above everything else costs nothing and
    // lets an expiry reach the GUI thread at once on a busy machine.
    void applyPriority() {
        if (worker_)
            SetThreadPriority(worker_,
                              raised_ ? THREAD_PRIORITY_TIME_CRITICAL : THREAD_PRIORITY_NORMAL);
    }

    static inline thread_local bool raised_ = false;
    static inline thread_local TimerScheduler* instance_ = nullptr;
    const DWORD owner_ = GetCurrentThreadId();
    int users_ = 0;
    std::uint64_t lastId_ = 0;
    std::map<std::uint64_t, Win32Timer*> timers_;
    HWND sink_ = nullptr;
    HANDLE waitable_ = nullptr;
    HANDLE quit_ = nullptr;
    HANDLE worker_ = nullptr;
    bool highResolution_ = false;
    bool failureReported_ = false;
};

void raiseTimerThreadPriority(bool raised) { TimerScheduler::setRaised(raised); }

// The schedule counts microseconds of the performance counter: exact whatever its frequency.
Win32Timer::Win32Timer()
    : scheduler_(&TimerScheduler::acquire()), id_(scheduler_->add(this)), schedule_(1000) {}

Win32Timer::~Win32Timer() {
    scheduler_->remove(id_);
    scheduler_->release();
}

int Win32Timer::period() const { return schedule_.period(); }

void Win32Timer::setPeriod(int ms) {
    scheduler_->assertOwnThread();
    if (!schedule_.setPeriod(ms, qpcMicros())) return;
    ++generation_;
    scheduler_->rearm();
}

void Win32Timer::setHandler(std::function<void()> handler) { handler_ = std::move(handler); }
