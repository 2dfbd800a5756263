#include "delivery/delivery.hpp"

#include "delivery/privilege.hpp"
#include "text/codepage.hpp"

DeliveryMode readDeliveryMode(const MainUnits& units) {
    if (units.公屏字幕.checked()) return DeliveryMode::PublicScreen;
    if (units.昵称字幕.checked()) return DeliveryMode::NicknameCard;
    return DeliveryMode::None;
}

namespace delivery {

namespace {

bool isExtendedKey(unsigned vk) {
    return (vk >= 0x21 && vk <= 0x2F) || (vk >= 0x5B && vk <= 0x5D) || vk == 0x6F || vk == 0x90;
}

std::uint32_t keyBits(unsigned virtualKey, unsigned scan) {
    std::uint32_t bits = 1;  // repeat count
    bits |= (scan & 0xFFu) << 16;
    if (isExtendedKey(virtualKey)) bits |= 1u << 24;
    return bits;
}

// lParams are 32-bit values on the wire; widen them as Windows does for LPARAM.
std::intptr_t asParam(std::uint32_t bits) {
    return static_cast<std::intptr_t>(static_cast<std::int32_t>(bits));
}

}  // namespace

std::intptr_t keyDownParam(unsigned virtualKey, unsigned scan) {
    std::uint32_t bits = keyBits(virtualKey, scan);
    if (virtualKey == kVkMenu) bits |= 1u << 29;
    return asParam(bits);
}

std::intptr_t keyUpParam(unsigned virtualKey, unsigned scan) {
    return asParam(keyBits(virtualKey, scan) | (1u << 30) | (1u << 31));
}

bool canPostTo(WindowSystem& windows, WindowHandle window) {
    // NOTE: a null handle used to stand for the desktop, so a card dialog that was never found
    // or a client that had closed got clicks on the user's desktop. Such posts are dropped.
    return window != 0 && window != windows.desktopWindow() && windows.isWindow(window);
}

PostResult postClick(WindowSystem& windows, WindowHandle window, int x, int y) {
    if (!canPostTo(windows, window)) return PostResult::Failed;
    const std::intptr_t at = pointParam(x, y);
    PostResult result = windows.post(window, msg::kMouseMove, 2, at);
    if (result == PostResult::Posted) result = windows.post(window, msg::kLButtonDown, 1, at);
    if (result == PostResult::Posted) result = windows.post(window, msg::kLButtonUp, 0, at);
    return result;
}

PostResult typeText(WindowSystem& windows, WindowHandle window, const GbkText& text) {
    if (!canPostTo(windows, window)) return PostResult::Failed;
    // A byte posted to a Unicode window is converted with the system's ANSI code page, which
    // turns GBK into garbage on any Windows not set to Simplified Chinese: such a window gets
    // the characters themselves.
    if (windows.isUnicodeWindow(window)) {
        for (char16_t unit : codepage::gbkToUtf16(text)) {
            const PostResult result = windows.postUnicodeChar(window, unit);
            if (result != PostResult::Posted) return result;
        }
        return PostResult::Posted;
    }
    for (unsigned char byte : text) {
        const PostResult result = windows.post(window, msg::kChar, byte, 0);
        if (result != PostResult::Posted) return result;
    }
    return PostResult::Posted;
}

PostResult postKeyPress(WindowSystem& windows, WindowHandle window, unsigned virtualKey) {
    if (!canPostTo(windows, window)) return PostResult::Failed;
    const unsigned scan = windows.mapVirtualKey(virtualKey, 0) & 0xFFu;
    const PostResult result =
        windows.post(window, msg::kKeyDown, virtualKey, keyDownParam(virtualKey, scan));
    if (result != PostResult::Posted) return result;
    return windows.post(window, msg::kKeyUp, virtualKey, keyUpParam(virtualKey, scan));
}

}  // namespace delivery

using namespace delivery;

GbkText whyNotDelivered(LineOutcome outcome) {
    switch (outcome) {
        case LineOutcome::NoTarget:
            return "没有目标窗口";
        case LineOutcome::TargetClosed:
            return "目标窗口已关闭";
        case LineOutcome::NoCardDialog:
            return "找不到名片窗口";
        case LineOutcome::Refused:
            return "QT语音以管理员身份运行，Windows 拦下了发给它的字幕";
        case LineOutcome::ClientTooSmall:
            return "QT语音窗口小于字幕所需的大小";
        case LineOutcome::NotPosted:
            return "QT语音没有收下字幕（消息队列已满？）";
        case LineOutcome::Delivered:
            break;
    }
    return {};
}

bool Delivery::openCardDialog() {
    refused_ = false;
    // The client takes no input from us at all: three seconds of searching would find nothing.
    if (clickAt(state_.targetWindow, kOpenCardPoint) == PostResult::Refused) {
        refused_ = true;
        return false;
    }
    // The client opens the dialog a moment after the click; look at once, then every 100 ms.
    for (int attempt = 0; attempt < kCardSearchTries; ++attempt) {
        const WindowHandle found = windows_.findTopLevel(kClientClass, kCardTitle);
        if (found != 0 && windows_.isWindow(found)) {
            state_.cardDialog = found;
            return true;
        }
        wait_.wait(kCardSearchPauseMs);
    }
    return false;
}

bool Delivery::hasTarget() { return canPostTo(windows_, state_.targetWindow); }

bool Delivery::confirmReachable() {
    if (!windows_.outranksUs(state_.targetWindow)) return true;
    units_.状态条1.setPart(StatusBar::kMessage, privilege::kClientElevated);
    const int answer = boxes_.show(privilege::kRestartQuestion, privilege::kRestartTitle,
                                   mb::kYesNo | mb::kIconWarning | mb::kTaskModal);
    if (answer == mb::kIdYes && restartAsAdministrator_) restartAsAdministrator_();
    return false;
}

PostResult Delivery::clickAt(WindowHandle window, ScreenPoint at96) {
    // The table's points are the client's 96-DPI layout; a DPI-aware client has its controls
    // further out on a scaled screen. Read at each click: a window may change screens.
    const ScreenPoint at = clientScale(windows_.clientDpi(window), {}).point(at96);
    return postClick(windows_, window, at.x, at.y);
}

LineOutcome Delivery::outcomeOf(PostResult result, WindowHandle window) {
    switch (result) {
        case PostResult::Posted:
            return LineOutcome::Delivered;
        case PostResult::Refused:
            return LineOutcome::Refused;
        case PostResult::Failed:
            break;
    }
    // The handle is read afresh at each step, so a capture or a closed window shows here.
    if (!canPostTo(windows_, state_.targetWindow))
        return windows_.isWindow(state_.targetWindow) || state_.targetWindow == 0
                   ? LineOutcome::NoTarget
                   : LineOutcome::TargetClosed;
    if (window != state_.targetWindow && !canPostTo(windows_, window))
        return LineOutcome::NoCardDialog;
    return LineOutcome::NotPosted;
}

LineOutcome Delivery::deliverLine(DeliveryMode mode, const GbkText& text) {
    if (mode == DeliveryMode::None) return LineOutcome::Delivered;
    // A line posted to a window that is gone would look sent while the room never sees it.
    const WindowHandle target = state_.targetWindow;
    if (target == 0 || target == windows_.desktopWindow()) return LineOutcome::NoTarget;
    if (!windows_.isWindow(target)) return LineOutcome::TargetClosed;
    // Clicks on a window that could not be made big enough would land beside the controls.
    if (target == sizedTarget_ && !targetFits_) return LineOutcome::ClientTooSmall;
    // The user may have closed the card dialog, or the 昵称字幕 handler's passes closed it.
    if (mode == DeliveryMode::NicknameCard && !canPostTo(windows_, state_.cardDialog) &&
        !openCardDialog())
        return refused_ ? LineOutcome::Refused : LineOutcome::NoCardDialog;

    // Every step must go out: a line whose posts were refused or lost is not delivered, and
    // the steps after a failed one are not posted. Handles are read afresh at each step: the
    // waits let capture or a card search change them.
    PostResult result = PostResult::Posted;
    WindowHandle to = 0;
    const auto step = [&](WindowHandle window, auto&& post) {
        if (result != PostResult::Posted) return;
        to = window;
        result = post(window);
    };
    const auto click = [&](ScreenPoint at) {
        return [this, at](WindowHandle w) { return clickAt(w, at); };
    };
    const auto type = [&](WindowHandle w) { return typeText(windows_, w, text); };
    const auto pause = [&] {
        if (result == PostResult::Posted) wait_.wait(kStepPauseMs);
    };
    switch (mode) {
        case DeliveryMode::None:
            break;
        case DeliveryMode::PublicScreen:
            step(state_.targetWindow, click(kPublicInputPoint));
            pause();
            step(state_.targetWindow, type);
            pause();
            step(state_.targetWindow, click(kPublicSendPoint));
            break;
        case DeliveryMode::NicknameCard:
            step(state_.cardDialog, click(kCardInputPoint));
            pause();
            // The card text is never read back, so a fixed number of presses clears it.
            for (int i = 0; i < kCardBackspaces; ++i)
                step(state_.cardDialog,
                     [this](WindowHandle w) { return postKeyPress(windows_, w, kVkBack); });
            pause();
            step(state_.cardDialog, type);
            pause();
            step(state_.cardDialog, click(kCardConfirmPoint));
            step(state_.cardDialog, click(kCardConfirmPoint));
            break;
    }
    return outcomeOf(result, to);
}

void Delivery::showNoTarget() {
    boxes_.show("请先获取QT语音客户端的窗口", "没有目标", mb::kIconInformation | mb::kTaskModal);
}

void Delivery::resizeTarget() {
    // The click points only hit the client's controls at this size; the corner stays put.
    const WindowHandle target = state_.targetWindow;
    const auto rect = windows_.windowRect(target);
    if (!rect) return;
    const ClientScale scale = clientScale(windows_.clientDpi(target), windows_.geometryDpi(target));
    windows_.moveWindow(target, rect->left, rect->top, scale.windowWidth, scale.windowHeight);
    // A screen too small for the scaled size clamps the window, and a client of higher
    // privilege ignores the move: the size is read back rather than assumed.
    const auto back = windows_.windowRect(target);
    sizedTarget_ = target;
    targetFits_ = back && scale.fits(*back);
    if (windows_.outranksUs(target))
        units_.状态条1.setPart(StatusBar::kMessage, privilege::kClientElevated);
    else if (!targetFits_)
        units_.状态条1.setPart(StatusBar::kMessage, kClientTooSmall);
}

void Delivery::onModeButtonClicked(DeliveryMode mode) {
    const bool card = mode == DeliveryMode::NicknameCard;
    RadioButton& clicked = card ? units_.昵称字幕 : units_.公屏字幕;
    if (mode == DeliveryMode::None || !clicked.checked()) return;
    (card ? units_.公屏字幕 : units_.昵称字幕).setChecked(false);
    card ? onNicknameCardClicked() : onPublicScreenClicked();
}

void Delivery::onPublicScreenClicked() {
    if (!hasTarget()) {
        showNoTarget();
        units_.公屏字幕.setChecked(false);
        return;
    }
    resizeTarget();
}

void Delivery::onNicknameCardClicked() {
    if (!hasTarget()) {
        units_.昵称字幕.setChecked(false);
        showNoTarget();
        return;
    }
    resizeTarget();
    // Card dialogs left open from earlier use would take the typing meant for the new one.
    for (int pass = 0; pass < kStaleCardPasses; ++pass) {
        const WindowHandle stale = windows_.findTopLevel(kClientClass, kCardTitle);
        if (canPostTo(windows_, stale)) windows_.post(stale, msg::kClose, 0, 0);
    }
}
