#pragma once
// The practice room: the client's main window. At 1000 x 700 its controls sit where Cantorel
// clicks (client coordinates): the card at (181, 118) opens the card dialog, the chat input at
// (585, 643) takes the focus, the send button at (917, 633) sends the line to the public chat.
// Like the chat program, it is one window with no child windows: whatever point of it a capture
// lands on, the target is this window.

#include <string>
#include <vector>

#include "tools/practice-client/field.hpp"

class CardDialog;

class RoomWindow final : public ClientWindow {
  public:
    RoomWindow(ClientLog& log, std::wstring nickname);
    /// Creates and shows the window; false on failure.
    bool open(const std::wstring& title, int x, int y, int width, int height);

    const std::wstring& nickname() const { return nickname_; }
    /// Shows a new name on the card (the card dialog confirmed it).
    void setNickname(const std::wstring& nickname);

    // Where things are, in client coordinates.
    static constexpr Box kCard{20, 100, 420, 138};
    static constexpr Box kChatList{440, 92, 970, 600};
    static constexpr Box kInput{440, 620, 860, 660};
    static constexpr Box kSend{872, 615, 968, 655};
    /// Where the card dialog opens: over the member list, clear of the card and the chat.
    static constexpr Box kCardDialogArea{10, 190, 430, 430};

  private:
    enum Part { None, Card, Input, Send };
    int partAt(int x, int y) const override;
    void clicked(int part) override;
    void openCard();
    void send();
    void paintChat(HDC dc) const;

    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void paint(HDC dc, const RECT& client) override;
    void onDestroyed() override;

    std::wstring nickname_;
    std::vector<std::wstring> chat_;  // the public chat, oldest first
    CardDialog* card_ = nullptr;
};
