#pragma once
// A stand-in for the chat client on the console: a WindowSystem whose "windows" understand the
// delivery sequences. Posted characters are gathered into the line being typed, and a line is
// handed on when its sending (public chat) or confirming (nickname card) click arrives.
// Pure logic over the WindowSystem interface, so the command line uses it on every platform.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "platform/clock.hpp"
#include "platform/window_system.hpp"
#include "text/gbk_text.hpp"

namespace cli {

struct ClientLine {
    GbkText text;
    bool card = false;             // typed into the nickname card rather than the public chat
    std::int64_t startMicros = 0;  // the click that began the line
    std::int64_t sentMicros = 0;   // the click that sent or confirmed it
};

/// "[+mm:ss.mmm]" for `micros` since playback began, as the console shows each line; a
/// negative time reads as 0.
inline std::string elapsedStamp(std::int64_t micros);

class ConsoleClient : public WindowSystem {
  public:
    static constexpr WindowHandle kMainWindow = 0x1000;
    static constexpr WindowHandle kCardDialog = 0x2000;
    static constexpr WindowHandle kDesktop = 0x10010;

    ConsoleClient(Clock& clock, std::function<void(const ClientLine&)> onLine)
        : clock_(clock), onLine_(std::move(onLine)) {}

    void post(WindowHandle window, unsigned message, std::uintptr_t wParam,
              std::intptr_t lParam) override;
    WindowHandle findTopLevel(const GbkText& className, const GbkText& title) override;
    bool isWindow(WindowHandle window) override;
    std::optional<ScreenRect> windowRect(WindowHandle window) override;
    void moveWindow(WindowHandle window, int left, int top, int width, int height) override;
    WindowHandle desktopWindow() override { return kDesktop; }
    unsigned mapVirtualKey(unsigned code, unsigned mapType) override;

    ScreenPoint cursorPos() override { return {}; }
    WindowHandle windowFromPoint(ScreenPoint) override { return 0; }
    std::uint32_t processIdOf(WindowHandle window) override { return isWindow(window) ? 2 : 0; }
    std::uint32_t currentProcessId() override { return 1; }
    ScreenPoint clientOrigin(WindowHandle) override { return {}; }
    GbkText windowTitle(WindowHandle window) override;
    bool leftButtonDown() override { return false; }

    /// Messages that reached no live window of this client (delivery should never send any).
    int strayPosts() const { return strayPosts_; }

  private:
    void click(WindowHandle window, int x, int y);

    Clock& clock_;
    std::function<void(const ClientLine&)> onLine_;
    bool cardOpen_ = false;
    GbkText chatInput_;
    std::int64_t chatStart_ = 0;
    GbkText cardText_;
    bool cardEdited_ = false;
    std::int64_t cardStart_ = 0;
    ScreenRect mainRect_{100, 100, 900, 700};
    int strayPosts_ = 0;
};

// Header-only: the command, its tests and the timing benchmark each compile it in.

namespace console_detail {

inline constexpr const char* kCardClass = "TXGuiFoundation";
inline constexpr const char* kCardTitle = "修改房间名片";

// Removes the last whole character, as a Backspace in an edit control does.
inline void eraseLastCharacter(GbkText& text) {
    const auto chars = gbk::characters(text);
    if (!chars.empty()) text.resize(text.size() - chars.back().size());
}

}  // namespace console_detail

inline std::string elapsedStamp(std::int64_t micros) {
    const long long ms = micros < 0 ? 0 : micros / 1000;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "[+%02lld:%02lld.%03lld]", ms / 60000, ms / 1000 % 60,
                  ms % 1000);
    return buffer;
}

inline bool ConsoleClient::isWindow(WindowHandle window) {
    return window == kMainWindow || (window == kCardDialog && cardOpen_);
}

inline WindowHandle ConsoleClient::findTopLevel(const GbkText& className, const GbkText& title) {
    return cardOpen_ && className == console_detail::kCardClass &&
                   title == console_detail::kCardTitle
               ? kCardDialog
               : 0;
}

inline std::optional<ScreenRect> ConsoleClient::windowRect(WindowHandle window) {
    if (window == kMainWindow) return mainRect_;
    if (window == kCardDialog && cardOpen_) return ScreenRect{300, 200, 700, 420};
    return std::nullopt;
}

inline void ConsoleClient::moveWindow(WindowHandle window, int left, int top, int width,
                                      int height) {
    if (window == kMainWindow) mainRect_ = {left, top, left + width, top + height};
}

inline unsigned ConsoleClient::mapVirtualKey(unsigned code, unsigned mapType) {
    return mapType == 0 && code == 8 ? 0x0E : 0;  // Backspace is all delivery presses
}

inline GbkText ConsoleClient::windowTitle(WindowHandle window) {
    if (window == kMainWindow) return "QT语音";
    return window == kCardDialog && cardOpen_ ? console_detail::kCardTitle : "";
}

inline void ConsoleClient::click(WindowHandle window, int x, int y) {
    const std::int64_t now = clock_.nowMicros();
    if (window == kMainWindow) {
        if (x == 181 && y == 118) {
            cardOpen_ = true;
        } else if (x == 585 && y == 643) {
            chatInput_.clear();
            chatStart_ = now;
        } else if (x == 917 && y == 633) {
            onLine_({chatInput_, false, chatStart_, now});
            chatInput_.clear();
        }
    } else if (window == kCardDialog) {
        if (x == 256 && y == 124) {
            cardStart_ = now;
            cardEdited_ = true;
        } else if (x == 299 && y == 164 && cardEdited_) {
            // The confirming click comes twice; the card changes once.
            onLine_({cardText_, true, cardStart_, now});
            cardEdited_ = false;
        }
    }
}

inline void ConsoleClient::post(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    if (!isWindow(window)) {
        ++strayPosts_;
        return;
    }
    GbkText& input = window == kMainWindow ? chatInput_ : cardText_;
    switch (message) {
        case msg::kLButtonDown:
            click(window, static_cast<int>(lParam & 0xFFFF),
                  static_cast<int>((lParam >> 16) & 0xFFFF));
            break;
        case msg::kChar:
            input.push_back(static_cast<char>(wParam & 0xFF));
            break;
        case msg::kKeyDown:
            if (wParam == 8) console_detail::eraseLastCharacter(input);
            break;
        case msg::kClose:
            if (window == kCardDialog) cardOpen_ = false;
            break;
        default:
            break;
    }
}

}  // namespace cli
