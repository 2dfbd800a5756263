#pragma once
// What every top-level window of the program shares: its class and its font.

#include <windows.h>

namespace gui {

/// Registers the window class `name` with the program's icon, the arrow cursor and the dialog
/// background. True when the class is there (registered now or before).
bool registerTopWindowClass(const wchar_t* name, WNDPROC proc);

/// The system's message font, which the controls use; null when the system names none (the
/// controls then keep their own). The caller deletes it.
HFONT createMessageFont();

}  // namespace gui
