#pragma once
// The density a window is shown at and what follows from it on this system: the frame around a
// client area and the message font. The functions that only newer Windows has (10, version 1607
// on) are looked up at run time, so the program still starts on Windows 7 with the system's one
// density.

#include <windows.h>

namespace gui {

/// The density `window` is shown at, in pixels per inch; the system's when `window` is null or
/// the system cannot tell one window's.
int windowDpi(HWND window);

/// The outer size of a window of `window`'s styles whose client area is `width` x `height` at
/// `dpi`, with the caption and borders of the system it runs on.
SIZE frameSize(HWND window, int width, int height, int dpi);

/// The system's message font for a window at `dpi`; null when the system names none (the
/// controls then keep their own). The caller deletes it.
HFONT createMessageFont(int dpi);

}  // namespace gui
