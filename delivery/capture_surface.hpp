#pragma once
// What capture draws and opens while the user drags the cross-hair: the panel's pictures, the
// overlay that follows the cursor, the inverted frame around the window under it. The rules of a
// drag (delivery/capture.hpp) drive this surface; the Windows shell paints it.

#include <array>
#include <cstdint>

#include "platform/window_system.hpp"
#include "text/gbk_text.hpp"

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
