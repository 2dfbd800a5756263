#pragma once
// The capture surface on Windows: the capture panel's pictures, the overlay window that follows
// the cursor during a drag (with its follow and capture timers), the inverted frame, cursor
// hiding and topmost switching. It knows nothing of the rules of a drag: the timers only call
// the two ticks it was given.

#include <windows.h>

#include <functional>
#include <memory>

#include "delivery/capture_surface.hpp"

class Win32CaptureSurface final : public CaptureSurface {
  public:
    /// What the overlay's two timers run: the 2 ms follow tick and the 100 ms capture tick.
    struct Ticks {
        std::function<void()> follow;
        std::function<void()> capture;
    };

    /// Paints on the main window's 32 x 32 panel 画板_捕获器; the overlay is owned by
    /// `mainWindow`. Both windows must outlive the surface.
    Win32CaptureSurface(HWND mainWindow, HWND capturePanel, Ticks ticks);
    ~Win32CaptureSurface() override;
    Win32CaptureSurface(const Win32CaptureSurface&) = delete;
    Win32CaptureSurface& operator=(const Win32CaptureSurface&) = delete;

    /// Paints the panel's current picture again (WM_PAINT during a drag).
    void repaintPanel();

    void drawRestingPicture() override;
    void drawDragPicture() override;
    bool createOverlay() override;
    void destroyOverlay() override;
    void moveOverlay(int left, int top) override;
    void showOverlay() override;
    void clearOverlay() override;
    void drawOverlayGlyph() override;
    void writeOverlayText(const GbkText& text) override;
    void makeOverlayLayered() override;
    void invertFrame(WindowHandle window) override;
    int showCursor(bool show) override;
    void setMainTopmost(bool topmost) override;

  private:
    class Canvas;
    static void registerOverlayClass();
    static LRESULT CALLBACK overlayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void repaintOverlay();

    HWND main_;
    HWND panel_;
    HWND overlay_ = nullptr;
    Ticks ticks_;
    std::unique_ptr<Canvas> panelPicture_;
    std::unique_ptr<Canvas> overlayPicture_;
};

/// Inverts a 5-pixel frame around the whole of `window` (border and caption included); a second
/// call restores the pixels. Does nothing for a handle that is no window.
void invertWindowFrame(HWND window);
