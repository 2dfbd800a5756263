#pragma once
// Target capture: the user drags from the capture panel 画板_捕获器 onto the chat client, and the
// last window outlined under the cursor becomes AppState::targetWindow. An overlay carrying the
// glyph follows the cursor; when no window can be found under the cursor (SuperMode) the global
// hook reports the window that receives the button release instead.
//
// This file holds the rules of a drag. Everything drawn or windowed goes through CaptureSurface
// (delivery/capture_surface.hpp), which the Windows shell implements.

#include <array>
#include <cstdint>

#include "delivery/capture_surface.hpp"
#include "delivery/mouse_hook.hpp"
#include "platform/window_system.hpp"

struct AppState;
struct MainUnits;

/// The state of capture across drags. Runs on the GUI thread only.
class CaptureSession {
  public:
    /// All references must outlive the session.
    CaptureSession(WindowSystem& windows, HOOK类& hook, CaptureSurface& surface, MainUnits& units,
                   AppState& app);
    /// Drops its hook callback if a drag is still running.
    ~CaptureSession();
    CaptureSession(const CaptureSession&) = delete;
    CaptureSession& operator=(const CaptureSession&) = delete;

    /// The main window was activated: the panel shows the resting picture again.
    void activated();
    /// Left button pressed on 画板_捕获器: starts a drag unless one is running.
    void startDrag();
    /// The 2 ms timer: the overlay follows the cursor.
    void followTick();
    /// The 100 ms timer: outlines the window under the cursor, updates the target and the
    /// coordinate boxes, and ends the drag once the button is up.
    void captureTick();
    /// Ends a running drag at once, as a release would (cursor shown, not topmost, hook removed,
    /// frame erased, overlay destroyed) and leaves the target as it is. For a program closing in
    /// the middle of a drag; nothing when no drag runs.
    void cancel();

    /// True from the press until a tick finds the button up.
    bool dragging() const { return overlay_; }
    /// True while the last tick found no window under the cursor.
    bool superMode() const { return superMode_; }
    int overlayOffset() const { return offset_; }
    /// The window carrying the inverted frame, 0 for none.
    WindowHandle lastFramed() const { return lastFramed_; }

  private:
    void released(WindowHandle window);
    bool isOwn(WindowHandle window);
    void frame(WindowHandle window);
    void leaveSuperMode();
    void endDrag();

    WindowSystem& windows_;
    HOOK类& hook_;
    CaptureSurface& surface_;
    MainUnits& units_;
    AppState& app_;
    HookCallback release_{
        [this](WindowHandle window, std::int32_t, std::int32_t) { released(window); }};

    bool busy_ = false;
    bool overlay_ = false;
    bool superMode_ = false;
    int offset_ = 0;
    WindowHandle lastFramed_ = 0;
};
