#include "platform/win32/gui/control.hpp"

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
