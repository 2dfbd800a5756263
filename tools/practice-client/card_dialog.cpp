// The card dialog of the practice client.
#include "tools/practice-client/card_dialog.hpp"

#include <utility>

CardDialog::CardDialog(Owner owner, ClientLog& log)
    : ClientWindow(log, "card", kName, "name"), owner_(std::move(owner)) {
    field_.setText(owner_.nickname);
}

CardDialog* CardDialog::open(Owner owner, ClientLog& log) {
    const HWND parent = owner.window;
    const Box area = owner.area;
    auto* dialog = new CardDialog(std::move(owner), log);
    POINT at{area.left, area.top};
    ClientToScreen(parent, &at);
    if (!dialog->create(kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, at.x, at.y,
                        area.right - area.left, area.bottom - area.top, parent)) {
        delete dialog;
        return nullptr;
    }
    ShowWindow(dialog->handle(), SW_SHOW);
    UpdateWindow(dialog->handle());
    log.event("card_opened",
              "\"hwnd\":" + std::to_string(reinterpret_cast<std::uintptr_t>(dialog->handle())));
    return dialog;
}

void CardDialog::bringToFront() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    log_.event("card_opened",
               "\"hwnd\":" + std::to_string(reinterpret_cast<std::uintptr_t>(hwnd_)) +
                   ",\"existing\":true");
}

int CardDialog::partAt(int x, int y) const {
    if (kName.contains(x, y)) return Name;
    if (kCancel.contains(x, y)) return Cancel;
    if (kConfirm.contains(x, y)) return Confirm;
    return None;
}

void CardDialog::confirm() {
    const bool changed = field_.text() != owner_.nickname;
    log_.event("nickname", json::textFields("text", field_.text()) +
                               ",\"changed\":" + (changed ? "true" : "false"));
    owner_.nickname = field_.text();
    if (owner_.confirmed) owner_.confirmed(owner_.nickname);
}

void CardDialog::clicked(int part) {
    if (part == Confirm) confirm();
    if (part == Cancel) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void CardDialog::paint(HDC dc, const RECT& client) {
    HBRUSH background = CreateSolidBrush(RGB(244, 247, 251));
    FillRect(dc, &client, background);
    DeleteObject(background);
    const Fonts& fonts = Fonts::get();
    paintText(dc, Box{20, 12, 380, 44}, kTitle, fonts.large, RGB(30, 30, 30));
    paintText(dc, Box{20, 52, 380, 96}, L"房间名片会显示在成员列表和公屏发言中。", fonts.normal,
              RGB(110, 110, 110));
    paintText(dc, Box{20, kName.top, kName.left - 6, kName.bottom}, L"名片：", fonts.normal,
              RGB(30, 30, 30));
    field_.paint(dc, fieldFocused_);
    paintButton(dc, kCancel, L"取消", pressed_ == Cancel);
    paintButton(dc, kConfirm, L"确定", pressed_ == Confirm);
}

void CardDialog::onDestroyed() {
    log_.event("card_closed");
    if (owner_.closed) owner_.closed();
    delete this;
}
