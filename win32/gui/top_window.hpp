#pragma once
// What every top-level window of the program shares: its class (the font: dpi_win32.hpp).

#include <windows.h>

namespace gui {

/// Registers the window class `name` with the program's icon, the arrow cursor and the dialog
/// background. True when the class is there (registered now or before).
bool registerTopWindowClass(const wchar_t* name, WNDPROC proc);

}  // namespace gui
