// Code page 936 conversions on Windows. The code page is always named: CP_ACP would turn
// GBK into Latin-1 on a Western system.
#include <windows.h>

#include "text/codepage.hpp"

namespace codepage {
namespace {
constexpr UINT kGbk = 936;
}

std::u16string gbkToUtf16(std::string_view gbk) {
    if (gbk.empty()) return {};
    const int n = MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::u16string out(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()),
                        reinterpret_cast<wchar_t*>(out.data()), n);
    return out;
}

GbkText utf16ToGbk(std::u16string_view input) {
    if (input.empty()) return {};
    // GBK has nothing outside the BMP; a surrogate pair is one character and becomes one '?',
    // as on Linux (Wine would give one per half).
    std::u16string utf16;
    utf16.reserve(input.size());
    for (size_t i = 0; i < input.size(); ++i) {
        const char16_t c = input[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < input.size() && input[i + 1] >= 0xDC00 &&
            input[i + 1] <= 0xDFFF) {
            ++i;
            utf16.push_back(u'?');
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            utf16.push_back(u'?');
        } else {
            utf16.push_back(c);
        }
    }
    const auto* src = reinterpret_cast<const wchar_t*>(utf16.data());
    const int len = static_cast<int>(utf16.size());
    const int n = WideCharToMultiByte(kGbk, 0, src, len, nullptr, 0, "?", nullptr);
    GbkText out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(kGbk, 0, src, len, out.data(), n, "?", nullptr);
    return out;
}

std::string gbkToUtf8(std::string_view gbk) { return utf16ToUtf8(gbkToUtf16(gbk)); }

GbkText utf8ToGbk(std::string_view utf8) { return utf16ToGbk(utf8ToUtf16(utf8)); }

}  // namespace codepage
