#pragma once
// Message boxes over MessageBoxW.
// Usage: Win32MessageBoxes boxes; boxes.show("请先选择歌词LRC！", "没有歌词",
// mb::kIconInformation); No owner window, always task-modal; GBK text is shown through UTF-16 so it
// reads right on every Windows locale.

#include "platform/message_box.hpp"

class Win32MessageBoxes final : public MessageBoxes {
  public:
    int show(const GbkText& text, const GbkText& title, unsigned style) override;
};
