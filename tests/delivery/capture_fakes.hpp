#pragma once
// Fakes for the capture and hook tests: a scripted desktop, a hook that fires on demand and a
// surface that records what capture draws.

#include <map>
#include <string>
#include <vector>

#include "delivery/capture.hpp"
#include "delivery/mouse_hook.hpp"
#include "platform/window_system.hpp"

/// A hook the test fires by hand.
class ManualHookBackend : public HookBackend {
  public:
    bool install(Handler handler) override {
        ++installs;
        handler_ = std::move(handler);
        return refuse ? false : true;
    }
    bool watchKeys(bool on) override {
        keys = on;
        return !refuse;
    }
    void uninstall() override {
        ++uninstalls;
        keys = false;
        handler_ = nullptr;
    }
    /// Delivers an event when a hook is in place (a refused hook still hands events to no one).
    void fire(const HookEvent& event) {
        if (handler_ && !refuse) handler_(event);
    }
    bool live() const { return static_cast<bool>(handler_); }

    int installs = 0;
    int uninstalls = 0;
    bool keys = false;  // the key watch is on
    bool refuse = false;

  private:
    Handler handler_;
};

/// A desktop whose windows, cursor and button state the test sets.
class ScriptedDesktop : public WindowSystem {
  public:
    struct Window {
        std::uint32_t pid = 0;
        ScreenPoint origin;
        GbkText title;
        bool alive = true;
    };
    static constexpr std::uint32_t kOurPid = 4242;

    PostResult post(WindowHandle, unsigned, std::uintptr_t, std::intptr_t) override {
        return PostResult::Posted;
    }
    WindowHandle findTopLevel(const GbkText&, const GbkText&) override { return 0; }
    bool isWindow(WindowHandle window) override {
        auto it = windows.find(window);
        return it != windows.end() && it->second.alive;
    }
    std::optional<ScreenRect> windowRect(WindowHandle) override { return std::nullopt; }
    void moveWindow(WindowHandle, int, int, int, int) override {}
    WindowHandle desktopWindow() override { return 0; }
    unsigned mapVirtualKey(unsigned code, unsigned mapType) override {
        return mapType == 1 ? code + 1000 : 0;
    }
    ScreenPoint cursorPos() override { return cursor; }
    WindowHandle windowFromPoint(ScreenPoint) override { return under; }
    std::uint32_t processIdOf(WindowHandle window) override {
        auto it = windows.find(window);
        return it == windows.end() ? 0 : it->second.pid;
    }
    std::uint32_t currentProcessId() override { return kOurPid; }
    ScreenPoint clientOrigin(WindowHandle window) override {
        auto it = windows.find(window == 0 ? foreground : window);
        return it == windows.end() ? ScreenPoint{} : it->second.origin;
    }
    GbkText windowTitle(WindowHandle window) override {
        auto it = windows.find(window);
        return it == windows.end() ? GbkText() : it->second.title;
    }
    bool leftButtonDown() override { return buttonDown; }

    std::map<WindowHandle, Window> windows;
    ScreenPoint cursor;
    WindowHandle under = 0;
    WindowHandle foreground = 0;
    bool buttonDown = true;
};

/// Records every drawing and window operation as a short line of text.
class RecordingSurface : public CaptureSurface {
  public:
    void drawRestingPicture() override { log.push_back("resting"); }
    void drawDragPicture() override { log.push_back("cross"); }
    bool createOverlay() override {
        log.push_back("create");
        ++overlaysCreated;
        return true;
    }
    void destroyOverlay() override { log.push_back("destroy"); }
    void moveOverlay(int left, int top) override {
        log.push_back("move " + std::to_string(left) + "," + std::to_string(top));
        overlayAt = {left, top};
    }
    void showOverlay() override { log.push_back("show"); }
    void clearOverlay() override {
        log.push_back("clear");
        if (onClear) onClear();
    }
    void drawOverlayGlyph() override { log.push_back("glyph"); }
    void writeOverlayText(const GbkText& text) override { overlayText = text; }
    void makeOverlayLayered() override { log.push_back("layered"); }
    void invertFrame(WindowHandle window) override {
        log.push_back("frame " + std::to_string(window));
        frames.push_back(window);
    }
    int showCursor(bool show) override {
        cursorCount += show ? 1 : -1;
        return cursorCount;
    }
    void setMainTopmost(bool on) override {
        log.push_back(on ? "topmost" : "not topmost");
        topmost = on;
    }

    std::vector<std::string> log;
    std::vector<WindowHandle> frames;
    ScreenPoint overlayAt;
    GbkText overlayText;
    int overlaysCreated = 0;
    int cursorCount = 0;
    bool topmost = false;
    std::function<void()> onClear;  // lets a test run code in the middle of a tick
};
