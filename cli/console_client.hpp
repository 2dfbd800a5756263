#pragma once
// A stand-in for the chat client on the console: a WindowSystem whose "windows" understand the
// delivery sequences. Posted characters are gathered into the line being typed, and a line is
// handed on when its sending (public chat) or confirming (nickname card) click arrives.
// Pure logic over the WindowSystem interface, so the command line uses it on every platform.

#include <cstdint>
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
std::string elapsedStamp(std::int64_t micros);

class ConsoleClient : public WindowSystem {
  public:
    static constexpr WindowHandle kMainWindow = 0x1000;
    static constexpr WindowHandle kCardDialog = 0x2000;
    static constexpr WindowHandle kDesktop = 0x10010;

    // The client's own click points (client coordinates at 1000 x 700) and codes. They are the
    // real client's, written here from the client's side rather than taken from delivery's
    // constants, so a point that delivery gets wrong shows as a line that never arrives.
    static constexpr ScreenPoint kCardButton{181, 118};     // opens the card dialog
    static constexpr ScreenPoint kChatInput{585, 643};      // focuses the chat input
    static constexpr ScreenPoint kChatSend{917, 633};       // sends the chat input
    static constexpr ScreenPoint kCardNameField{256, 124};  // focuses the card's name field
    static constexpr ScreenPoint kCardConfirm{299, 164};    // confirms the card
    static constexpr unsigned kVkBack = 0x08;               // Backspace, the only key pressed
    static constexpr unsigned kBackScanCode = 0x0E;

    ConsoleClient(Clock& clock, std::function<void(const ClientLine&)> onLine)
        : clock_(clock), onLine_(std::move(onLine)) {}

    PostResult post(WindowHandle window, unsigned message, std::uintptr_t wParam,
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

}  // namespace cli
