#include "win32/mouse_hook_win32.hpp"

#include "win32/window_handle.hpp"

namespace {

using win32::handle;

// Low-level hook procedures carry no context; the installed backend is found here.
Win32HookBackend* g_installed = nullptr;

}  // namespace

Win32HookBackend::~Win32HookBackend() { uninstall(); }

bool Win32HookBackend::install(Handler handler) {
    uninstall();
    handler_ = std::move(handler);
    g_installed = this;
    HINSTANCE module = GetModuleHandleW(nullptr);
    mouse_ = SetWindowsHookExW(WH_MOUSE_LL, &Win32HookBackend::mouseProc, module, 0);
    return mouse_ != nullptr;
}

bool Win32HookBackend::watchKeys(bool on) {
    if (!on) {
        if (keyboard_) UnhookWindowsHookEx(keyboard_);
        keyboard_ = nullptr;
        return true;
    }
    if (!keyboard_ && g_installed == this) {
        keyboard_ = SetWindowsHookExW(WH_KEYBOARD_LL, &Win32HookBackend::keyboardProc,
                                      GetModuleHandleW(nullptr), 0);
    }
    return keyboard_ != nullptr;
}

void Win32HookBackend::uninstall() {
    if (mouse_) UnhookWindowsHookEx(mouse_);
    if (keyboard_) UnhookWindowsHookEx(keyboard_);
    mouse_ = keyboard_ = nullptr;
    if (g_installed == this) g_installed = nullptr;
    handler_ = nullptr;
}

std::optional<HookEvent> Win32HookBackend::mouseEvent(WPARAM message, const MSLLHOOKSTRUCT& info) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            break;
        default:
            return std::nullopt;  // moves come by the hundred and no callback takes them
    }
    HWND window = WindowFromPoint(info.pt);
    if (!window) window = GetForegroundWindow();
    return HookEvent{static_cast<unsigned>(message), info.pt.x, info.pt.y, info.time,
                     handle(window)};
}

HookEvent Win32HookBackend::keyEvent(WPARAM message, const KBDLLHOOKSTRUCT& info) {
    const auto scan = static_cast<std::int32_t>(info.scanCode & 0xFF);
    return HookEvent{static_cast<unsigned>(message),
                     static_cast<std::int32_t>(info.vkCode & 0xFF) | (scan << 8), scan, info.time,
                     handle(GetForegroundWindow())};
}

void Win32HookBackend::deliver(const HookEvent& event) {
    // A callback may remove the hook, which clears handler_; call a copy.
    Handler handler = handler_;
    if (handler) handler(event);
}

LRESULT CALLBACK Win32HookBackend::mouseProc(int code, WPARAM wParam, LPARAM lParam) {
    std::optional<HookEvent> event;
    if (code == HC_ACTION && g_installed) {
        event = mouseEvent(wParam, *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam));
    }
    const LRESULT next = CallNextHookEx(nullptr, code, wParam, lParam);
    if (event && g_installed) g_installed->deliver(*event);
    return next;
}

LRESULT CALLBACK Win32HookBackend::keyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    std::optional<HookEvent> event;
    if (code == HC_ACTION && g_installed) {
        event = keyEvent(wParam, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam));
    }
    const LRESULT next = CallNextHookEx(nullptr, code, wParam, lParam);
    if (event && g_installed) g_installed->deliver(*event);
    return next;
}
