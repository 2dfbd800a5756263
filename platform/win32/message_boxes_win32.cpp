// Task-modal message boxes without owner, shown through UTF-16.
#include "platform/win32/message_boxes_win32.hpp"

#include <windows.h>

#include "text/codepage.hpp"

namespace {
std::wstring wide(const GbkText& text) {
    const std::u16string w = codepage::gbkToUtf16(text);
    return std::wstring(w.begin(), w.end());
}
}  // namespace

int Win32MessageBoxes::show(const GbkText& text, const GbkText& title, unsigned style) {
    return MessageBoxW(nullptr, wide(text).c_str(), wide(title).c_str(), style | MB_TASKMODAL);
}
