#pragma once
// Target capture on Windows: this owner wires the rules of a drag (delivery/capture.hpp) to the
// Windows surface (win32/capture_surface_win32.hpp) and owns the program's one HOOK类 instance
// (low-level hooks), so the main window needs only this object.

#include <windows.h>

#include <memory>

class HOOK类;
class WindowSystem;
struct AppState;
struct MainUnits;

class Win32Capture {
  public:
    /// Binds capture to the main window and its 32 x 32 panel 画板_捕获器. Create one per
    /// program, after the main window and its units exist; destroy it before the main window.
    Win32Capture(HWND mainWindow, HWND capturePanel, MainUnits& units, AppState& app,
                 WindowSystem& windows);
    ~Win32Capture();
    Win32Capture(const Win32Capture&) = delete;
    Win32Capture& operator=(const Win32Capture&) = delete;

    /// Draws the resting picture (long cross and glyph) on the panel. Call on every activation
    /// of the main window and from the panel's WM_PAINT. While a drag runs it only repaints the
    /// drag picture, so a repaint cannot bring the glyph back mid-drag.
    void paintPanel();

    /// Starts a drag; call from the panel's WM_LBUTTONDOWN (its coordinates are not needed).
    void onPanelButtonDown();

    /// True from the press on the panel until a capture tick finds the button released.
    bool dragInProgress() const;

    /// The program's global mouse hook.
    HOOK类& hook();

  private:
    struct Impl;
    HWND panel_;
    std::unique_ptr<Impl> impl_;
};
