// The practice room window.
#include "tools/practice-client/room_window.hpp"

#include "tools/practice-client/card_dialog.hpp"

namespace {

std::wstring speakerLine(const std::wstring& nickname, const std::wstring& text) {
    return nickname + L"：" + text;
}

}  // namespace

RoomWindow::RoomWindow(ClientLog& log, std::wstring nickname)
    : ClientWindow(log, "main", kInput, "chat"), nickname_(std::move(nickname)) {}

bool RoomWindow::open(const std::wstring& title, int x, int y, int width, int height) {
    if (!create(title, WS_OVERLAPPEDWINDOW, x, y, width, height, nullptr)) return false;
    chat_.push_back(L"系统：欢迎来到练习房间，公屏发言会显示在这里。");
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    return true;
}

void RoomWindow::setNickname(const std::wstring& nickname) {
    nickname_ = nickname;
    repaint();
}

int RoomWindow::partAt(int x, int y) const {
    if (kCard.contains(x, y)) return Card;
    if (kInput.contains(x, y)) return Input;
    if (kSend.contains(x, y)) return Send;
    return None;
}

void RoomWindow::clicked(int part) {
    if (part == Card) openCard();
    if (part == Send) send();
}

void RoomWindow::openCard() {
    if (card_) {
        card_->bringToFront();
        return;
    }
    card_ = CardDialog::open(
        {hwnd_, kCardDialogArea, nickname_, [this](const std::wstring& name) { setNickname(name); },
         [this] { card_ = nullptr; }},
        log_);
}

void RoomWindow::send() {
    const std::wstring text = field_.text();
    if (text.empty()) {
        // The chat program sends nothing for an empty line.
        log_.event("send_ignored", "\"reason\":\"empty\"");
        return;
    }
    log_.event("public",
               json::textFields("nickname", nickname_) + "," + json::textFields("text", text));
    chat_.push_back(speakerLine(nickname_, text));
    field_.setText(L"");
    repaint();
}

bool RoomWindow::onMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_GETMINMAXINFO) return false;
    // Let Cantorel make the window 1000 x 700 on any screen.
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMaxTrackSize.x = std::max<LONG>(info->ptMaxTrackSize.x, 1000);
    info->ptMaxTrackSize.y = std::max<LONG>(info->ptMaxTrackSize.y, 700);
    result = 0;
    return true;
}

void RoomWindow::paint(HDC dc, const RECT& client) {
    const Fonts& fonts = Fonts::get();
    HBRUSH background = CreateSolidBrush(RGB(236, 241, 247));
    FillRect(dc, &client, background);
    DeleteObject(background);

    RECT header{0, 0, client.right, 70};
    HBRUSH headerBrush = CreateSolidBrush(RGB(34, 92, 160));
    FillRect(dc, &header, headerBrush);
    DeleteObject(headerBrush);
    paintText(dc, Box{20, 8, 700, 40}, L"QT语音 · 练习房间", fonts.large, RGB(255, 255, 255));
    paintText(dc, Box{20, 40, 700, 66}, L"房间号 10086  ·  在线 3 人  ·  自由发言模式",
              fonts.normal, RGB(210, 225, 245));

    paintText(dc, Box{20, 76, 420, 98}, L"我的房间名片（点击修改）", fonts.normal,
              RGB(90, 100, 115));
    RECT card = kCard.rect();
    FillRect(dc, &card, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HBRUSH frame = CreateSolidBrush(RGB(170, 178, 189));
    FrameRect(dc, &card, frame);
    paintText(dc, Box{kCard.left + 10, kCard.top, kCard.right - 60, kCard.bottom},
              L"名片：" + nickname_, fonts.bold, RGB(30, 30, 30));
    paintText(dc, Box{kCard.right - 56, kCard.top, kCard.right - 6, kCard.bottom}, L"修改",
              fonts.normal, RGB(34, 128, 230), DT_RIGHT | DT_VCENTER | DT_SINGLELINE);

    paintText(dc, Box{20, 150, 420, 176}, L"成员列表", fonts.bold, RGB(30, 30, 30));
    RECT members{20, 180, 420, 600};
    FillRect(dc, &members, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc, &members, frame);
    DeleteObject(frame);
    const std::wstring names[] = {L"● " + nickname_ + L"（我）", L"● 主持人小林", L"● 路过的听众"};
    int top = 188;
    for (const auto& name : names) {
        paintText(dc, Box{32, top, 410, top + 26}, name, fonts.normal, RGB(40, 40, 40));
        top += 30;
    }

    paintText(dc, Box{kChatList.left, 72, kChatList.right, 90}, L"公屏聊天", fonts.bold,
              RGB(30, 30, 30));
    paintChat(dc);
    paintText(dc, Box{kInput.left, 600, kInput.right, 618}, L"输入消息：", fonts.normal,
              RGB(90, 100, 115));
    field_.paint(dc, fieldFocused_);
    paintButton(dc, kSend, L"发送", pressed_ == Send);
}

void RoomWindow::paintChat(HDC dc) const {
    RECT area = kChatList.rect();
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HBRUSH frame = CreateSolidBrush(RGB(170, 178, 189));
    FrameRect(dc, &area, frame);
    DeleteObject(frame);
    // From the top down; once the box is full the oldest lines scroll off.
    constexpr int kLineHeight = 24;
    const size_t fits = static_cast<size_t>((kChatList.bottom - kChatList.top - 12) / kLineHeight);
    const size_t first = chat_.size() > fits ? chat_.size() - fits : 0;
    int top = kChatList.top + 6;
    for (size_t i = first; i < chat_.size(); ++i, top += kLineHeight)
        paintText(dc, Box{kChatList.left + 10, top, kChatList.right - 10, top + kLineHeight},
                  chat_[i], Fonts::get().normal, RGB(30, 30, 30));
}

void RoomWindow::onDestroyed() {
    if (card_) DestroyWindow(card_->handle());
    log_.event("closed");
    PostQuitMessage(0);
}
