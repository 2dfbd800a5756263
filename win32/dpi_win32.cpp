// Per-window DPI through user32's functions of Windows 10 1607 and later, found at run time.
#include "win32/dpi_win32.hpp"

namespace win32::dpi {

namespace {

// DPI_AWARENESS values: UNAWARE_GDISCALED (Windows 10 1809) reads as unaware, it is stretched.
constexpr int kInvalid = -1, kUnaware = 0, kSystemAware = 1, kPerMonitorAware = 2;

struct User32Dpi {
    using Context = void*;
    Context(WINAPI* windowContext)(HWND) = nullptr;        // GetWindowDpiAwarenessContext
    Context(WINAPI* threadContext)() = nullptr;            // GetThreadDpiAwarenessContext
    Context(WINAPI* setThreadContext)(Context) = nullptr;  // SetThreadDpiAwarenessContext
    int(WINAPI* awarenessOf)(Context) = nullptr;           // GetAwarenessFromDpiAwarenessContext
    UINT(WINAPI* dpiForWindow)(HWND) = nullptr;            // GetDpiForWindow
    UINT(WINAPI* dpiForSystem)() = nullptr;                // GetDpiForSystem

    bool complete() const {
        return windowContext && threadContext && setThreadContext && awarenessOf && dpiForWindow &&
               dpiForSystem;
    }
};

template <typename F>
void find(HMODULE module, const char* name, F& out) {
    out = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const User32Dpi& user32() {
    static const User32Dpi api = [] {
        User32Dpi a;
        HMODULE user = GetModuleHandleW(L"user32.dll");
        if (!user) return a;
        find(user, "GetWindowDpiAwarenessContext", a.windowContext);
        find(user, "GetThreadDpiAwarenessContext", a.threadContext);
        find(user, "SetThreadDpiAwarenessContext", a.setThreadContext);
        find(user, "GetAwarenessFromDpiAwarenessContext", a.awarenessOf);
        find(user, "GetDpiForWindow", a.dpiForWindow);
        find(user, "GetDpiForSystem", a.dpiForSystem);
        return a;
    }();
    return api;
}

DpiAwareness awarenessFrom(int value) {
    switch (value) {
        case kSystemAware:
            return DpiAwareness::SystemAware;
        case kPerMonitorAware:
            return DpiAwareness::PerMonitorAware;
        case kUnaware:
        case kInvalid:
        default:
            return DpiAwareness::Unaware;
    }
}

int screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

DpiView threadView() {
    const User32Dpi& api = user32();
    if (!api.complete()) {
        // Before Windows 10 a process is either aware (of the system DPI) or not.
        if (IsProcessDPIAware()) return {DpiAwareness::SystemAware, screenDpi()};
        return {};
    }
    const DpiAwareness awareness = awarenessFrom(api.awarenessOf(api.threadContext()));
    // A per-monitor thread's DPI depends on the screen: the callers ask for a window's space
    // through windowView, so here the system's stands in.
    return {awareness,
            awareness == DpiAwareness::Unaware ? 96 : static_cast<int>(api.dpiForSystem())};
}

DpiView windowView(HWND window) {
    const User32Dpi& api = user32();
    if (!api.complete() || !window) return threadView();
    const DpiAwareness awareness = awarenessFrom(api.awarenessOf(api.windowContext(window)));
    const UINT dpi = api.dpiForWindow(window);
    if (dpi == 0) return threadView();  // no window (any more)
    return {awareness, static_cast<int>(dpi)};
}

ScopedWindowSpace::ScopedWindowSpace(HWND window) {
    const User32Dpi& api = user32();
    if (!api.complete() || !window) return;
    void* context = api.windowContext(window);
    if (context) previous_ = api.setThreadContext(context);
}

ScopedWindowSpace::~ScopedWindowSpace() {
    if (previous_) user32().setThreadContext(previous_);
}

}  // namespace win32::dpi
