#pragma once
// The outside windows the program talks to: posting input into the chat client, finding its
// card dialog, moving it, and the queries target capture makes. Implemented over Win32 in
// win32/; tests use the recording fake in tests/support/.

#include <cstdint>
#include <optional>

#include "text/gbk_text.hpp"

using WindowHandle = std::uintptr_t;  // 0 means no window

struct ScreenPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

// Message numbers the core posts or receives; the values are Windows'.
namespace msg {
constexpr unsigned kClose = 0x0010;
constexpr unsigned kKeyDown = 0x0100;
constexpr unsigned kKeyUp = 0x0101;
constexpr unsigned kChar = 0x0102;
constexpr unsigned kMouseMove = 0x0200;
constexpr unsigned kLButtonDown = 0x0201;
constexpr unsigned kLButtonUp = 0x0202;
constexpr unsigned kLButtonDblClk = 0x0203;
constexpr unsigned kRButtonDown = 0x0204;
constexpr unsigned kRButtonUp = 0x0205;
constexpr unsigned kMButtonDown = 0x0207;
constexpr unsigned kMButtonUp = 0x0208;
}  // namespace msg

/// What became of one posted message.
enum class PostResult {
    Posted,
    Refused,  // the window's process runs with higher privilege: Windows drops input to it
    Failed,   // no such window (any more), or its queue is full
};

/// How a window's coordinates relate to the screen's pixels.
enum class DpiAwareness { Unaware, SystemAware, PerMonitorAware };

/// A coordinate space: the awareness of a window (or thread) and the DPI its coordinates are
/// in. A DPI-unaware window always works in 96-DPI units.
struct DpiView {
    DpiAwareness awareness = DpiAwareness::Unaware;
    int dpi = 96;
    bool operator==(const DpiView&) const = default;
};

class WindowSystem {
  public:
    virtual ~WindowSystem() = default;

    /// Posts (never sends) a message; a character message carries one byte of the ANSI code
    /// page (PostMessageA).
    virtual PostResult post(WindowHandle window, unsigned message, std::uintptr_t wParam,
                            std::intptr_t lParam) = 0;
    /// Posts WM_CHAR carrying one UTF-16 unit (PostMessageW), for a Unicode window.
    virtual PostResult postUnicodeChar(WindowHandle window, char16_t unit) {
        return post(window, msg::kChar, unit, 0);
    }
    /// True when the window takes its characters as UTF-16 (IsWindowUnicode).
    virtual bool isUnicodeWindow(WindowHandle) { return false; }
    /// The space the window's client coordinates are in: where posted points land.
    virtual DpiView clientDpi(WindowHandle) { return {}; }
    /// The space in which windowRect and moveWindow take and give this window's rectangle.
    virtual DpiView geometryDpi(WindowHandle) { return {}; }
    /// True when the window's process runs with higher privilege than this one (a higher
    /// integrity level, or a process that will not even let us read its token).
    virtual bool outranksUs(WindowHandle) { return false; }
    /// First top-level window with this class and title, or 0.
    virtual WindowHandle findTopLevel(const GbkText& className, const GbkText& title) = 0;
    /// True for a live window.
    virtual bool isWindow(WindowHandle window) = 0;
    /// Screen rectangle of the whole window, or nullopt when it is no window.
    virtual std::optional<ScreenRect> windowRect(WindowHandle window) = 0;
    /// Moves and resizes a window (repainting it).
    virtual void moveWindow(WindowHandle window, int left, int top, int width, int height) = 0;
    /// The desktop window.
    virtual WindowHandle desktopWindow() = 0;
    /// MapVirtualKeyA.
    virtual unsigned mapVirtualKey(unsigned code, unsigned mapType) = 0;

    // Queries of target capture.
    virtual ScreenPoint cursorPos() = 0;
    virtual WindowHandle windowFromPoint(ScreenPoint point) = 0;
    /// Process id owning the window; 0 for no window.
    virtual std::uint32_t processIdOf(WindowHandle window) = 0;
    virtual std::uint32_t currentProcessId() = 0;
    /// Screen position of the client-area origin; the foreground window's when `window` is 0.
    virtual ScreenPoint clientOrigin(WindowHandle window) = 0;
    virtual GbkText windowTitle(WindowHandle window) = 0;
    /// True while the left mouse button is held.
    virtual bool leftButtonDown() = 0;
};
