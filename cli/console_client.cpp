// The console stand-in for the chat client.
#include "cli/console_client.hpp"

#include <cstdio>

namespace cli {

namespace {

constexpr const char* kCardClass = "TXGuiFoundation";
constexpr const char* kCardTitle = "修改房间名片";

// Removes the last whole character, as a Backspace in an edit control does.
void eraseLastCharacter(GbkText& text) {
    const auto chars = gbk::characters(text);
    if (!chars.empty()) text.resize(text.size() - chars.back().size());
}

}  // namespace

std::string elapsedStamp(std::int64_t micros) {
    const long long ms = micros < 0 ? 0 : micros / 1000;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "[+%02lld:%02lld.%03lld]", ms / 60000, ms / 1000 % 60,
                  ms % 1000);
    return buffer;
}

bool ConsoleClient::isWindow(WindowHandle window) {
    return window == kMainWindow || (window == kCardDialog && cardOpen_);
}

WindowHandle ConsoleClient::findTopLevel(const GbkText& className, const GbkText& title) {
    return cardOpen_ && className == kCardClass && title == kCardTitle ? kCardDialog : 0;
}

std::optional<ScreenRect> ConsoleClient::windowRect(WindowHandle window) {
    if (window == kMainWindow) return mainRect_;
    if (window == kCardDialog && cardOpen_) return ScreenRect{300, 200, 700, 420};
    return std::nullopt;
}

void ConsoleClient::moveWindow(WindowHandle window, int left, int top, int width, int height) {
    if (window == kMainWindow) mainRect_ = {left, top, left + width, top + height};
}

unsigned ConsoleClient::mapVirtualKey(unsigned code, unsigned mapType) {
    return mapType == 0 && code == kVkBack ? kBackScanCode : 0;
}

GbkText ConsoleClient::windowTitle(WindowHandle window) {
    if (window == kMainWindow) return "QT语音";
    return window == kCardDialog && cardOpen_ ? kCardTitle : "";
}

void ConsoleClient::click(WindowHandle window, int x, int y) {
    const std::int64_t now = clock_.nowMicros();
    const auto at = [&](ScreenPoint p) { return x == p.x && y == p.y; };
    if (window == kMainWindow) {
        if (at(kCardButton)) {
            cardOpen_ = true;
        } else if (at(kChatInput)) {
            chatInput_.clear();
            chatStart_ = now;
        } else if (at(kChatSend)) {
            onLine_({chatInput_, false, chatStart_, now});
            chatInput_.clear();
        }
    } else if (window == kCardDialog) {
        if (at(kCardNameField)) {
            cardStart_ = now;
            cardEdited_ = true;
        } else if (at(kCardConfirm) && cardEdited_) {
            // The confirming click comes twice; the card changes once.
            onLine_({cardText_, true, cardStart_, now});
            cardEdited_ = false;
        }
    }
}

PostResult ConsoleClient::post(WindowHandle window, unsigned message, std::uintptr_t wParam,
                               std::intptr_t lParam) {
    if (!isWindow(window)) {
        ++strayPosts_;
        return PostResult::Failed;
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
            if (wParam == kVkBack) eraseLastCharacter(input);
            break;
        case msg::kClose:
            if (window == kCardDialog) cardOpen_ = false;
            break;
        default:
            break;
    }
    return PostResult::Posted;
}

}  // namespace cli
