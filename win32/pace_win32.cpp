#include "win32/pace_win32.hpp"

#include <windows.h>

#include "win32/timer_win32.hpp"

namespace {

// From processthreadsapi.h of newer SDKs: ProcessPowerThrottling and its state.
constexpr int kProcessPowerThrottling = 4;
constexpr ULONG kThrottlingVersion = 1;
constexpr ULONG kExecutionSpeed = 0x1;
constexpr ULONG kIgnoreTimerResolution = 0x4;

struct PowerThrottlingState {
    ULONG version;
    ULONG controlMask;
    ULONG stateMask;
};

using SetProcessInformationFn = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);

SetProcessInformationFn setProcessInformation() {
    static const auto fn = reinterpret_cast<SetProcessInformationFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetProcessInformation")));
    return fn;
}

}  // namespace

void Win32PaceKeeper::keepPace(bool on) {
    if (const auto set = setProcessInformation()) {
        // Controlled with the state bit clear: never throttle. Nothing controlled: Windows
        // decides again, as for any process.
        PowerThrottlingState state{kThrottlingVersion,
                                   on ? kExecutionSpeed | kIgnoreTimerResolution : 0, 0};
        set(GetCurrentProcess(), kProcessPowerThrottling, &state, sizeof state);
    }
    raiseTimerThreadPriority(on);
    SetThreadPriority(GetCurrentThread(),
                      on ? THREAD_PRIORITY_ABOVE_NORMAL : THREAD_PRIORITY_NORMAL);
}
