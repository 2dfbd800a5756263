#pragma once
// Target capture: the user drags from the capture panel 画板_捕获器 onto the chat client, and the
// last window outlined under the cursor becomes AppState::targetWindow. An overlay carrying the
// glyph follows the cursor; when no window can be found under the cursor (SuperMode) the global
// hook reports the window that receives the button release instead.
//
// This file holds the rules of a drag. Everything drawn or windowed goes through CaptureSurface;
// win32/capture_win32.cpp implements it and runs the overlay's two timers.

#include <array>
#include <cstdint>

#include "delivery/mouse_hook.hpp"
#include "platform/window_system.hpp"

struct AppState;
struct MainUnits;

namespace capture {

// Colours are COLORREF values (0x00BBGGRR).
constexpr std::uint32_t kGlyphPen = 0xFF8800;         // red 0, green 136, blue 255
constexpr std::uint32_t kPanelBackground = 0xF0FFF0;  // red 240, green 255, blue 240
constexpr std::uint32_t kFramePen = 0x0001F4;         // red 244, green 1, blue 0
constexpr int kFrameWidth = 5;
constexpr std::uint32_t kOverlayColourKey = 0xFFFFFF;  // white: fully transparent
constexpr int kOverlayAlpha = 250;
constexpr int kOverlaySize = 31;
constexpr int kFollowMs = 2;
constexpr int kCaptureTickMs = 100;
/// The glyph's centre; it sits under the cursor's hot spot outside SuperMode.
constexpr int kGlyphCentre = 14;
/// In SuperMode the overlay moves off the hot spot so the release lands on the window below.
constexpr int kSuperModeOffset = 15;

struct Line {
    int x1, y1, x2, y2;
};

/// The glyph's circle: bounding box (4, 4)-(25, 25), filled with the panel's background.
constexpr Line kGlyphEllipse{4, 4, 25, 25};
/// The glyph's strokes, drawn after the circle, each from its first point to its second.
constexpr std::array<Line, 14> kGlyphLines{{
    {4, 14, 25, 14},
    {14, 4, 14, 25},
    {9, 12, 9, 17},
    {11, 13, 11, 16},
    {13, 13, 13, 16},
    {19, 12, 19, 17},
    {17, 13, 17, 16},
    {15, 13, 15, 16},
    {12, 9, 17, 9},
    {13, 11, 16, 11},
    {13, 13, 16, 13},
    {12, 19, 17, 19},
    {13, 17, 16, 17},
    {13, 15, 16, 15},
}};
/// The long cross of the capture panel, reaching its edges.
constexpr std::array<Line, 2> kLongCross{{{0, 14, 31, 14}, {14, 0, 14, 31}}};

/// Written on the overlay when no window is found under the cursor.
inline constexpr char kSuperModeText[] =
    "(*^-^*) 无法获取窗口句柄,超级模式被激活,松开鼠标后获取当前窗口句柄!";
/// Prefix of the title label 透明标签1.
inline constexpr char kTitlePrefix[] = "窗口标题：";

}  // namespace capture

/// Everything capture draws, windows it opens and global switches it flips.
class CaptureSurface {
  public:
    virtual ~CaptureSurface() = default;
    /// Clears 画板_捕获器, gives it the background kPanelBackground, draws the long cross and
    /// the glyph with kGlyphPen.
    virtual void drawRestingPicture() = 0;
    /// Clears 画板_捕获器 and draws only the long cross: the glyph travels with the cursor.
    virtual void drawDragPicture() = 0;
    /// Creates the overlay, hidden, owned by the main window, with its follow (2 ms) and capture
    /// (100 ms) timers running; false when it could not be created.
    virtual bool createOverlay() = 0;
    /// Destroys the overlay and stops its timers.
    virtual void destroyOverlay() = 0;
    /// Puts the overlay's top-left corner at a screen point.
    virtual void moveOverlay(int left, int top) = 0;
    virtual void showOverlay() = 0;
    /// Clears the overlay's panel 画板1 to white (transparent).
    virtual void clearOverlay() = 0;
    /// Draws the glyph on 画板1 with kGlyphPen.
    virtual void drawOverlayGlyph() = 0;
    /// Writes text at 画板1's top-left.
    virtual void writeOverlayText(const GbkText& text) = 0;
    /// Makes the overlay click-through and colour-keyed (white transparent, alpha 250).
    virtual void makeOverlayLayered() = 0;
    /// Inverts a kFrameWidth frame around the whole window (border and caption included);
    /// inverting twice restores the screen.
    virtual void invertFrame(WindowHandle window) = 0;
    /// ShowCursor: raises or lowers the display count and returns the new count.
    virtual int showCursor(bool show) = 0;
    /// Makes the main window (and so the overlay it owns) topmost or not.
    virtual void setMainTopmost(bool topmost) = 0;
};

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
    class ReleaseCallback : public HookCallback {
      public:
        explicit ReleaseCallback(CaptureSession& session) : session_(session) {}
        void onHookEvent(WindowHandle window, std::int32_t, std::int32_t) override;

      private:
        CaptureSession& session_;
    };

    bool isOwn(WindowHandle window);
    void frame(WindowHandle window);
    void leaveSuperMode();
    void endDrag();

    WindowSystem& windows_;
    HOOK类& hook_;
    CaptureSurface& surface_;
    MainUnits& units_;
    AppState& app_;
    ReleaseCallback release_{*this};

    bool busy_ = false;
    bool overlay_ = false;
    bool superMode_ = false;
    int offset_ = 0;
    WindowHandle lastFramed_ = 0;
};
