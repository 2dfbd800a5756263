#include "win32/gui/gui_text.hpp"

namespace gui {

GbkText windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, buffer.data(), length + 1);
    buffer.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return narrow(buffer);
}

void setWindowText(HWND window, const GbkText& text) { SetWindowTextW(window, wide(text).c_str()); }

}  // namespace gui
