// Task-modal message boxes without owner, shown through UTF-16.
#include "win32/message_boxes_win32.hpp"

#include <windows.h>

#include "win32/wide_text.hpp"

int Win32MessageBoxes::show(const GbkText& text, const GbkText& title, unsigned style) {
    return MessageBoxW(nullptr, win32::wide(text).c_str(), win32::wide(title).c_str(),
                       style | MB_TASKMODAL);
}
