#pragma once
// The core names a window by a WindowHandle; on Windows that number is the HWND itself.

#include <windows.h>

#include "platform/window_system.hpp"

namespace win32 {

inline HWND hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
inline WindowHandle handle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

}  // namespace win32
