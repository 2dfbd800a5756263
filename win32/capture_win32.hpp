#pragma once
// Target capture on Windows: the capture panel's pictures, the overlay that follows the cursor
// during a drag, the inverted frame, cursor hiding and topmost switching. The rules of a drag live
// in delivery/capture.hpp; this owner wires them to real windows and owns the program's one
// HOOK类 instance (low-level hooks), so the main window needs only this object.

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
    void drawRestingPicture();

    /// Starts a drag; call from the panel's WM_LBUTTONDOWN (its coordinates are not needed).
    void onPanelButtonDown();

    /// True from the press on the panel until a capture tick finds the button released.
    bool dragging() const;

    /// The program's global mouse hook.
    HOOK类& hook();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

/// Inverts a 5-pixel frame around the whole of `window` (border and caption included); a second
/// call restores the pixels. Does nothing for a handle that is no window.
void invertWindowFrame(HWND window);
