#pragma once
// The GUI thread's message loop, shared by the program's main loop and PumpingWait.
// Usage:
//   message_loop::setFilter([&](MSG& m) { return IsDialogMessageW(main, &m) != 0; });
//   return message_loop::run();          // until PostQuitMessage
//   message_loop::pumpPending();         // inside a wait: handle what is queued now
// Timers (timer_win32.hpp) need nothing from the loop; they arrive as ordinary messages.
// Keyboard messages go through TranslateMessage, as in any Win32 program.

#include <windows.h>

#include <functional>

namespace message_loop {

/// A message filter run before translation and dispatch; true means the filter handled it.
using Filter = std::function<bool(MSG&)>;

/// Installs the filter for this thread's loops (an empty function removes it).
void setFilter(Filter filter);

/// Runs the loop until WM_QUIT and returns its exit code.
int run();

/// Dispatches every message already queued and returns. When WM_QUIT turns up it stops,
/// remembers it and returns false; run() or finishQuit() hands it on.
bool pumpPending();

/// True while a pumpPending call is running on this thread: a message handled now runs inside
/// a wait (a delivery's pause, a file load), not in the program's main loop.
bool insidePump();

/// True once pumpPending has taken a WM_QUIT that has not yet been handed on.
bool quitPending();

/// Re-posts a WM_QUIT taken by pumpPending so the outer loop ends as asked.
void finishQuit();

}  // namespace message_loop
