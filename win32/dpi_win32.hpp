#pragma once
// Display scaling across windows of other programs. The per-window DPI functions came with
// Windows 10 1607: they are looked up at run time, and without them every window is taken to
// share this thread's space (Windows 7 and 8 have no per-monitor scaling of other programs'
// coordinates that the program could see anyway).

#include <windows.h>

#include "platform/window_system.hpp"

namespace win32::dpi {

/// The space a window's own client coordinates are in (GetWindowDpiAwarenessContext,
/// GetDpiForWindow); this thread's space where those are missing.
DpiView windowView(HWND window);

/// The space this thread works in now: its awareness and the DPI of its coordinates.
DpiView threadView();

/// While it lives, this thread works in `window`'s own space
/// (SetThreadDpiAwarenessContext with the window's context), so rectangles it reads and sets,
/// and drawing on the window's device context, are in the window's coordinates; the previous
/// context comes back at the end. Nothing happens where Windows lacks the functions.
class ScopedWindowSpace {
  public:
    explicit ScopedWindowSpace(HWND window);
    ~ScopedWindowSpace();
    ScopedWindowSpace(const ScopedWindowSpace&) = delete;
    ScopedWindowSpace& operator=(const ScopedWindowSpace&) = delete;

  private:
    void* previous_ = nullptr;  // DPI_AWARENESS_CONTEXT
};

}  // namespace win32::dpi
