// The window system over user32. GBK names go through UTF-16 with code page 936: the A
// functions would read them with the system code page and miss on a Western Windows.
#include "win32/window_system_win32.hpp"

#include <windows.h>

#include <string>

#include "win32/wide_text.hpp"
#include "win32/window_handle.hpp"

namespace {

using win32::handle;
using win32::hwnd;

using win32::wide;

// Cantorel follows each screen's density; the client may not, and Windows then shows it in
// scaled, virtual pixels. Its size and places are read and set in the client's own pixels, the
// ones its click points are measured in, by taking on its awareness for the call (Windows 10
// version 1607 on; before it the calls run as they are).
class InClientPixels {
  public:
    explicit InClientPixels(HWND window) {
        using GetContextFn = HANDLE(WINAPI*)(HWND);
        using SetContextFn = HANDLE(WINAPI*)(HANDLE);
        static const auto get = lookUp<GetContextFn>("GetWindowDpiAwarenessContext");
        static const auto set = lookUp<SetContextFn>("SetThreadDpiAwarenessContext");
        set_ = set;
        if (window && get && set) {
            if (HANDLE context = get(window)) previous_ = set(context);
        }
    }
    ~InClientPixels() {
        if (previous_) set_(previous_);
    }
    InClientPixels(const InClientPixels&) = delete;
    InClientPixels& operator=(const InClientPixels&) = delete;

  private:
    template <typename Function>
    static Function lookUp(const char* name) {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        return reinterpret_cast<Function>(
            reinterpret_cast<void*>(user32 ? GetProcAddress(user32, name) : nullptr));
    }

    HANDLE(WINAPI* set_)(HANDLE) = nullptr;
    HANDLE previous_ = nullptr;
};

}  // namespace

namespace {

PostResult resultOf(BOOL posted) {
    if (posted) return PostResult::Posted;
    // User Interface Privilege Isolation: a window of a process with a higher integrity level
    // takes no input from us, and says so only through this error.
    return GetLastError() == ERROR_ACCESS_DENIED ? PostResult::Refused : PostResult::Failed;
}

}  // namespace

PostResult Win32WindowSystem::post(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                   std::intptr_t lParam) {
    // A: a character byte posted to an ANSI window arrives as that byte. (Posted to a Unicode
    // window it would be converted with the system's code page, so typing uses
    // postUnicodeChar there.)
    SetLastError(0);
    return resultOf(PostMessageA(hwnd(window), message, wParam, lParam));
}

PostResult Win32WindowSystem::postUnicodeChar(WindowHandle window, char16_t unit) {
    SetLastError(0);
    return resultOf(PostMessageW(hwnd(window), WM_CHAR, unit, 0));
}

bool Win32WindowSystem::isUnicodeWindow(WindowHandle window) {
    return window != 0 && IsWindowUnicode(hwnd(window)) != FALSE;
}

WindowHandle Win32WindowSystem::findTopLevel(const GbkText& className, const GbkText& title) {
    const std::wstring cls = wide(className);
    const std::wstring text = wide(title);
    return handle(FindWindowExW(nullptr, nullptr, cls.c_str(), text.c_str()));
}

bool Win32WindowSystem::isWindow(WindowHandle window) {
    return window != 0 && IsWindow(hwnd(window)) != FALSE;
}

std::optional<ScreenRect> Win32WindowSystem::windowRect(WindowHandle window) {
    RECT r;
    const InClientPixels pixels(hwnd(window));
    if (window == 0 || !GetWindowRect(hwnd(window), &r)) return std::nullopt;
    return ScreenRect{r.left, r.top, r.right, r.bottom};
}

void Win32WindowSystem::moveWindow(WindowHandle window, int left, int top, int width, int height) {
    const InClientPixels pixels(hwnd(window));
    MoveWindow(hwnd(window), left, top, width, height, TRUE);
}

WindowHandle Win32WindowSystem::desktopWindow() { return handle(GetDesktopWindow()); }

unsigned Win32WindowSystem::mapVirtualKey(unsigned code, unsigned mapType) {
    return MapVirtualKeyA(code, mapType);
}

ScreenPoint Win32WindowSystem::cursorPos() {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

WindowHandle Win32WindowSystem::windowFromPoint(ScreenPoint point) {
    return handle(WindowFromPoint(POINT{point.x, point.y}));
}

std::uint32_t Win32WindowSystem::processIdOf(WindowHandle window) {
    DWORD pid = 0;
    if (window == 0 || GetWindowThreadProcessId(hwnd(window), &pid) == 0) return 0;
    return pid;
}

std::uint32_t Win32WindowSystem::currentProcessId() { return GetCurrentProcessId(); }

ScreenPoint Win32WindowSystem::clientOrigin(WindowHandle window) {
    HWND w = window != 0 ? hwnd(window) : GetForegroundWindow();
    POINT p{0, 0};
    const InClientPixels pixels(w);
    if (w) ClientToScreen(w, &p);
    return {p.x, p.y};
}

GbkText Win32WindowSystem::windowTitle(WindowHandle window) {
    if (window == 0) return {};
    const int length = GetWindowTextLengthW(hwnd(window));
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd(window), text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return win32::narrow(text);
}

bool Win32WindowSystem::leftButtonDown() { return (GetKeyState(VK_LBUTTON) & 0x80) != 0; }
