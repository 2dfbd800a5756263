#include "win32/gui/control.hpp"

#include <windows.h>
// The common-control headers need what windows.h declares.
#include <commctrl.h>
namespace gui {

namespace {

LRESULT CALLBACK buttonDownHook(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR data) {
    if (message == WM_LBUTTONDOWN) (*reinterpret_cast<std::function<void()>*>(data))();
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, buttonDownHook, 1);
        delete reinterpret_cast<std::function<void()>*>(data);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void onLeftButtonDown(Control& control, std::function<void()> handler) {
    auto* stored = new std::function<void()>(std::move(handler));
    if (!SetWindowSubclass(control.hwnd(), buttonDownHook, 1,
                           reinterpret_cast<DWORD_PTR>(stored))) {
        delete stored;
    }
}

void Control::place(const UnitLayout& scaled, HFONT font, int) {
    SetWindowPos(hwnd_, nullptr, scaled.x, scaled.y, scaled.width, scaled.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (font) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

bool registerControlClass(const wchar_t* name, WNDPROC proc) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(module, name, &wc)) return true;
    wc.lpfnWndProc = proc;
    wc.hInstance = module;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

GbkText itemText(HWND hwnd, UINT lengthMessage, UINT textMessage, int index) {
    const LRESULT length = SendMessageW(hwnd, lengthMessage, index, 0);
    if (length <= 0) return {};
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got =
        SendMessageW(hwnd, textMessage, index, reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return narrow(buffer);
}

HWND createChild(const Placement& at, const UnitLayout& layout, const wchar_t* className,
                 DWORD style, DWORD exStyle, const GbkText& text, int height) {
    HWND hwnd = CreateWindowExW(
        exStyle, className, wide(text).c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, at.x, at.y,
        layout.width, height, at.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(at.id)),
        GetModuleHandleW(nullptr), nullptr);
    if (hwnd && at.font) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(at.font), FALSE);
    return hwnd;
}

}  // namespace gui
