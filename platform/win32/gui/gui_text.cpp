#include "platform/win32/gui/gui_text.hpp"

#include "text/codepage.hpp"

namespace gui {

std::wstring wide(std::string_view gbk) {
    const std::u16string utf16 = codepage::gbkToUtf16(gbk);
    return std::wstring(utf16.begin(), utf16.end());
}

GbkText narrow(std::wstring_view text) {
    return codepage::utf16ToGbk(std::u16string(text.begin(), text.end()));
}

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
