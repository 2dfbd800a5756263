#pragma once
// Delivery: puts one line into the chat client by posting clicks, characters and key presses
// to its windows at fixed client points, and the two radio-button handlers that pick the mode.
// Nothing is ever posted to the desktop, to handle 0 or to a handle that is no window any more.

#include <cstdint>
#include <functional>

#include "delivery/app_state.hpp"
#include "delivery/dpi_scale.hpp"
#include "platform/clock.hpp"
#include "platform/message_box.hpp"
#include "platform/window_system.hpp"
#include "ui/main_units.hpp"

enum class DeliveryMode { None, PublicScreen, NicknameCard };

/// The mode the radio buttons select right now (公屏字幕 is checked first).
DeliveryMode readDeliveryMode(const MainUnits& units);

namespace delivery {

// Client-area points of the chat client, valid once its main window is 1000 x 700 (its layout
// at 96 DPI; dpi_scale.hpp carries both into the client's space on a scaled screen).
constexpr ScreenPoint kOpenCardPoint{181, 118};
constexpr ScreenPoint kPublicInputPoint{585, 643};
constexpr ScreenPoint kPublicSendPoint{917, 633};
constexpr ScreenPoint kCardInputPoint{256, 124};
constexpr ScreenPoint kCardConfirmPoint{299, 164};
constexpr int kCardSearchTries = 30;
constexpr int kCardSearchPauseMs = 100;
constexpr int kCardBackspaces = 30;
constexpr int kStepPauseMs = 10;
constexpr int kStaleCardPasses = 5;
constexpr unsigned kVkBack = 8;
constexpr unsigned kVkMenu = 18;

inline constexpr const char* kClientClass = "TXGuiFoundation";
inline constexpr const char* kCardTitle = "修改房间名片";
inline constexpr const char* kClientTooSmall =
    "QT语音窗口调整不到字幕所需的大小（屏幕太小？），不会向它发送字幕；"
    "请在更大的屏幕上重新选择字幕类型";

/// lParam of a mouse message at client point (x, y).
constexpr std::intptr_t pointParam(int x, int y) { return x + y * 65536; }

/// Key-down and key-up lParams of `virtualKey` with scan code `scan`.
std::intptr_t keyDownParam(unsigned virtualKey, unsigned scan);
std::intptr_t keyUpParam(unsigned virtualKey, unsigned scan);

/// True when posting to `window` can only reach a live window other than the desktop.
bool canPostTo(WindowSystem& windows, WindowHandle window);

/// A left click at client point (x, y): move, button down, button up. Skipped (Failed) for no
/// window; stops at the first post that does not go out and returns its result.
PostResult postClick(WindowSystem& windows, WindowHandle window, int x, int y);

/// The characters of `text`: to a Unicode window each UTF-16 unit of the text read as code page
/// 936, to an ANSI window each byte, lead byte first. Stops at the first post that fails.
PostResult typeText(WindowSystem& windows, WindowHandle window, const GbkText& text);

/// Key down and key up of `virtualKey`. Skipped (Failed) for no window.
PostResult postKeyPress(WindowSystem& windows, WindowHandle window, unsigned virtualKey);

}  // namespace delivery

/// How a line's delivery ended. Anything but Delivered means nothing reached the client and
/// playback cannot go on until the user acts.
enum class LineOutcome {
    Delivered,
    NoTarget,        // TargetWindow is 0
    TargetClosed,    // TargetWindow no longer names a window: the client was closed or restarted
    NoCardDialog,    // the card dialog is gone and could not be opened again
    Refused,         // Windows refused the posts: the client runs with higher privilege
    ClientTooSmall,  // the client's window could not be given the size the click points need
    NotPosted,       // a post failed for another reason (the client's queue is full)
};

/// Why a line did not go out, in the user's words ("目标窗口已关闭"); empty for Delivered.
GbkText whyNotDelivered(LineOutcome outcome);

class Delivery {
  public:
    Delivery(WindowSystem& windows, PumpingWait& wait, MessageBoxes& boxes, AppState& state,
             MainUnits& units)
        : windows_(windows), wait_(wait), boxes_(boxes), state_(state), units_(units) {}

    /// Clicks the client's card button and looks for the card dialog (30 tries, 100 ms apart);
    /// on success records it in AppState::cardDialog. Returns whether it was found.
    bool openCardDialog();

    /// True when TargetWindow names a live window other than the desktop; the handle of a closed
    /// client counts as none.
    bool hasTarget();

    /// Before playback starts: false when the client runs with higher privilege, after saying
    /// so in the status bar and in a box that offers to restart this program as administrator
    /// (a Yes runs the restart given below).
    bool confirmReachable();
    /// What a Yes in that box does: save the settings, start this program again as
    /// administrator and close this one.
    void setRestartAsAdministrator(std::function<void()> restart) {
        restartAsAdministrator_ = std::move(restart);
    }

    /// Delivers one line in `mode` with the 10 ms pauses between steps; None posts nothing.
    /// Needs a live target; in NicknameCard mode a card dialog that is no window any more is
    /// opened again first. Posts nothing unless the outcome is Delivered.
    LineOutcome deliverLine(DeliveryMode mode, const GbkText& text);

    /// A click on the radio button of `mode` (PublicScreen or NicknameCard) as the window reports
    /// it: only a click that left the button ticked unticks the other one and runs the handler
    /// below, since Windows also reports a click when an unticked radio button merely takes the
    /// focus (Tab). Windows unticks the other button of the group only while both are shown and
    /// enabled, so the two are kept exclusive here.
    void onModeButtonClicked(DeliveryMode mode);

    /// Click on 公屏字幕: needs a live target; resizes the client to 1000 x 700 at 96 DPI (scaled
    /// to the screen) and reads the size back: a window that stays smaller is said in the
    /// status bar, and lines to it end as ClientTooSmall instead of clicking beside controls.
    void onPublicScreenClicked();
    /// Click on 昵称字幕: needs a live target; resizes the client and closes stale card dialogs.
    void onNicknameCardClicked();

  private:
    void resizeTarget();
    void showNoTarget();
    LineOutcome outcomeOf(PostResult result, WindowHandle window);
    PostResult clickAt(WindowHandle window, ScreenPoint at96);

    WindowSystem& windows_;
    PumpingWait& wait_;
    MessageBoxes& boxes_;
    AppState& state_;
    MainUnits& units_;
    std::function<void()> restartAsAdministrator_;
    bool refused_ = false;  // the last card-dialog search ended because its click was refused
    WindowHandle sizedTarget_ = 0;  // the target the last mode click resized ...
    bool targetFits_ = true;        // ... and whether it came out at the size the points need
};
