#pragma once
// A window system for tests: records every post (with the fake time it happened, when a clock
// is given) and answers queries from plain configurable values.

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "platform/clock.hpp"
#include "platform/window_system.hpp"

struct PostedMessage {
    WindowHandle window = 0;
    unsigned message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    std::int64_t atMicros = 0;  // not compared: tests check timing explicitly
    bool unicode = false;       // a character posted as a UTF-16 unit (PostMessageW)
    bool operator==(const PostedMessage& other) const {
        return window == other.window && message == other.message && wParam == other.wParam &&
               lParam == other.lParam && unicode == other.unicode;
    }
};

struct MovedWindow {
    WindowHandle window = 0;
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const MovedWindow&) const = default;
};

class FakeWindowSystem : public WindowSystem {
  public:
    /// `clock` (optional) stamps each post with its time.
    explicit FakeWindowSystem(Clock* clock = nullptr) : clock_(clock) {}

    PostResult post(WindowHandle window, unsigned message, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
    PostResult postUnicodeChar(WindowHandle window, char16_t unit) override;
    bool isUnicodeWindow(WindowHandle window) override { return unicode.contains(window); }
    DpiView clientDpi(WindowHandle window) override;
    DpiView geometryDpi(WindowHandle window) override;
    bool outranksUs(WindowHandle window) override { return elevated.contains(window); }
    WindowHandle findTopLevel(const GbkText& className, const GbkText& title) override;
    bool isWindow(WindowHandle window) override { return live.contains(window); }
    std::optional<ScreenRect> windowRect(WindowHandle window) override;
    void moveWindow(WindowHandle window, int left, int top, int width, int height) override;
    WindowHandle desktopWindow() override { return desktop; }
    /// Like Windows with a US keyboard for the keys the program uses (map type 0 only).
    unsigned mapVirtualKey(unsigned code, unsigned mapType) override;

    ScreenPoint cursorPos() override { return cursor; }
    WindowHandle windowFromPoint(ScreenPoint point) override;
    std::uint32_t processIdOf(WindowHandle window) override;
    std::uint32_t currentProcessId() override { return ownProcessId; }
    ScreenPoint clientOrigin(WindowHandle window) override;
    GbkText windowTitle(WindowHandle window) override;
    bool leftButtonDown() override { return leftButton; }

    /// Makes `window` a live window with an optional rectangle and title.
    void addWindow(WindowHandle window, ScreenRect rect = {}, GbkText title = {});
    /// The window is gone: isWindow false, no rectangle.
    void closeWindow(WindowHandle window);

    // Configuration, read at each call.
    std::set<WindowHandle> live;
    std::map<WindowHandle, ScreenRect> rects;
    std::map<WindowHandle, GbkText> titles;
    std::map<WindowHandle, std::uint32_t> processIds;
    std::map<WindowHandle, ScreenPoint> clientOrigins;
    WindowHandle desktop = 0x10010;
    ScreenPoint cursor;
    bool leftButton = false;
    std::uint32_t ownProcessId = 100;
    /// Answers of findTopLevel, one per call; after they run out, `findDefault`.
    std::vector<WindowHandle> findScript;
    WindowHandle findDefault = 0;
    std::function<WindowHandle(ScreenPoint)> fromPoint;
    /// Windows that take UTF-16 characters; all others are ANSI windows.
    std::set<WindowHandle> unicode;
    /// Windows of a process running with higher privilege (outranksUs).
    std::set<WindowHandle> elevated;
    /// The answer to each post, when set; posts it does not answer Posted are recorded in
    /// `dropped`, not in `posts`.
    std::function<PostResult(const PostedMessage&)> answer;
    /// Client and geometry coordinate spaces by window (96-DPI unaware when not given).
    std::map<WindowHandle, DpiView> clientDpis;
    std::map<WindowHandle, DpiView> geometryDpis;
    /// The largest window moveWindow can make (a small screen); unlimited when 0.
    int maxWidth = 0, maxHeight = 0;
    /// Runs after each post is recorded (a test's stand-in for the receiving client).
    std::function<void(const PostedMessage&)> onPost;

    // Records.
    std::vector<PostedMessage> posts;
    std::vector<PostedMessage> dropped;
    std::vector<MovedWindow> moves;
    std::vector<std::pair<GbkText, GbkText>> findCalls;
    std::vector<std::int64_t> findTimes;

  private:
    Clock* clock_;
    std::size_t findIndex_ = 0;
};

/// One line as a chat client would see it: the text typed between the click that starts a
/// line and the click that sends it. Backspaces delete one byte each (card text starts empty).
struct SentLine {
    WindowHandle window = 0;
    GbkText text;
    std::int64_t startMicros = 0;  // first click of the line
    std::int64_t sentMicros = 0;   // the sending (public) or first confirming (card) click
};

/// Reassembles the lines of public-screen and nickname-card deliveries from `posts`.
std::vector<SentLine> sentLines(const std::vector<PostedMessage>& posts);
/// Just the texts of sentLines().
std::vector<GbkText> sentTexts(const std::vector<PostedMessage>& posts);
