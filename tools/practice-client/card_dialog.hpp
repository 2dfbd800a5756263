#pragma once
// The card dialog "修改房间名片": a top-level window of class TXGuiFoundation. At its client
// points the name field sits at (256, 124) and the confirm button at (299, 164). Confirming
// shows the name in the room and leaves the dialog open, as the next line is typed into it.

#include <functional>
#include <string>

#include "tools/practice-client/field.hpp"

class CardDialog final : public ClientWindow {
  public:
    /// What the dialog needs of the window that opens it; it knows nothing else of the room.
    struct Owner {
        HWND window = nullptr;  // the dialog opens over `area` of this window's client area
        Box area{};
        std::wstring nickname;                               // what the name field starts with
        std::function<void(const std::wstring&)> confirmed;  // a name was confirmed
        std::function<void()> closed;                        // the dialog's window is gone
    };

    /// Creates and shows the dialog over the owner; returns null on failure. The dialog
    /// deletes itself when its window is destroyed.
    static CardDialog* open(Owner owner, ClientLog& log);
    void bringToFront();

    static constexpr wchar_t kTitle[] = L"修改房间名片";
    static constexpr Box kName{100, 108, 380, 140};
    static constexpr Box kCancel{140, 150, 238, 180};
    static constexpr Box kConfirm{250, 150, 348, 180};

  private:
    CardDialog(Owner owner, ClientLog& log);
    enum Part { None, Name, Cancel, Confirm };
    int partAt(int x, int y) const override;
    void clicked(int part) override;
    void confirm();

    void paint(HDC dc, const RECT& client) override;
    void onDestroyed() override;

    Owner owner_;
};
