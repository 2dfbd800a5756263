#pragma once
// Message boxes: no owner window, task-modal. The style values are Windows' MB_* values.

#include "text/gbk_text.hpp"

namespace mb {
constexpr unsigned kOk = 0x0;
constexpr unsigned kYesNo = 0x4;
constexpr unsigned kIconWarning = 0x30;
constexpr unsigned kIconInformation = 0x40;
constexpr unsigned kTaskModal = 0x2000;
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
}  // namespace mb

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    /// Shows a task-modal box without owner and returns the button pressed (mb::kId*).
    virtual int show(const GbkText& text, const GbkText& title, unsigned style) = 0;
};
