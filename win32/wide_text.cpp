#include "win32/wide_text.hpp"

#include "text/codepage.hpp"

namespace win32 {

std::wstring wide(std::string_view gbk) {
    const std::u16string utf16 = codepage::gbkToUtf16(gbk);
    return std::wstring(utf16.begin(), utf16.end());
}

GbkText narrow(std::wstring_view text) {
    return codepage::utf16ToGbk(std::u16string(text.begin(), text.end()));
}

}  // namespace win32
