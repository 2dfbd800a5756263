#pragma once
// Text at the controls: the program keeps GbkText, the controls get UTF-16 through the W
// functions, converted with code page 936 whatever the system's ANSI code page is.

#include <windows.h>

#include <string>
#include <string_view>

#include "text/gbk_text.hpp"
#include "win32/wide_text.hpp"

namespace gui {

using win32::narrow;
using win32::wide;

/// The window's text as GbkText.
GbkText windowText(HWND window);

/// Sets the window's text from GbkText.
void setWindowText(HWND window, const GbkText& text);

}  // namespace gui
