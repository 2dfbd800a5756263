// The window system over user32. GBK names go through UTF-16 with code page 936: the A
// functions would read them with the system code page and miss on a Western Windows.
#include "win32/window_system_win32.hpp"

#include <windows.h>

#include <string>

#include "win32/dpi_win32.hpp"
#include "win32/wide_text.hpp"
#include "win32/window_handle.hpp"

namespace {

using win32::handle;
using win32::hwnd;

using win32::wide;

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

namespace {

// The mandatory integrity level of a token (a SECURITY_MANDATORY_*_RID), or -1 unreadable.
long integrityOf(HANDLE token) {
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    if (size == 0) return -1;
    std::string buffer(size, '\0');
    if (!GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) return -1;
    const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
    PSID sid = label->Label.Sid;
    if (!sid || !IsValidSid(sid) || *GetSidSubAuthorityCount(sid) == 0) return -1;
    return static_cast<long>(*GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u));
}

long ownIntegrity() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return -1;
    const long level = integrityOf(token);
    CloseHandle(token);
    return level;
}

}  // namespace

bool Win32WindowSystem::outranksUs(WindowHandle window) {
    DWORD pid = 0;
    if (window == 0 || GetWindowThreadProcessId(hwnd(window), &pid) == 0 || pid == 0) return false;
    // A process of higher integrity will not open up to us: the refusal is itself the answer.
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    HANDLE token = nullptr;
    const bool opened = OpenProcessToken(process, TOKEN_QUERY, &token) != FALSE;
    const DWORD error = GetLastError();
    CloseHandle(process);
    if (!opened) return error == ERROR_ACCESS_DENIED;
    const long theirs = integrityOf(token);
    CloseHandle(token);
    const long ours = ownIntegrity();
    return theirs >= 0 && ours >= 0 && theirs > ours;
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

// A window's rectangle is read and set in the window's own space (see geometryDpi): Windows
// would otherwise scale it between its DPI and ours, rounding on the way.
std::optional<ScreenRect> Win32WindowSystem::windowRect(WindowHandle window) {
    RECT r;
    if (window == 0) return std::nullopt;
    const win32::dpi::ScopedWindowSpace space(hwnd(window));
    if (!GetWindowRect(hwnd(window), &r)) return std::nullopt;
    return ScreenRect{r.left, r.top, r.right, r.bottom};
}

void Win32WindowSystem::moveWindow(WindowHandle window, int left, int top, int width, int height) {
    const win32::dpi::ScopedWindowSpace space(hwnd(window));
    MoveWindow(hwnd(window), left, top, width, height, TRUE);
}

DpiView Win32WindowSystem::clientDpi(WindowHandle window) {
    return win32::dpi::windowView(hwnd(window));
}

DpiView Win32WindowSystem::geometryDpi(WindowHandle window) {
    // windowRect and moveWindow switch into the window's own space where Windows can, so that
    // space is the client's; where it cannot, windowView answers with this thread's.
    return win32::dpi::windowView(hwnd(window));
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
