// Code page 936 conversions on Windows. The code page is always named: CP_ACP would turn
// GBK into Latin-1 on a Western system.
#include <windows.h>

#include "text/codepage.hpp"

namespace codepage {
namespace {
constexpr UINT kGbk = 936;

// Converts all of `gbk`, or fails when any character in it is invalid.
bool convertStrict(std::string_view gbk, std::u16string& out) {
    out.clear();
    if (gbk.empty()) return true;
    const int size = static_cast<int>(gbk.size());
    const int n = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, gbk.data(), size, nullptr, 0);
    if (n <= 0) return false;
    out.resize(static_cast<size_t>(n));
    MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, gbk.data(), size,
                        reinterpret_cast<wchar_t*>(out.data()), n);
    return true;
}

}  // namespace

std::u16string gbkToUtf16(std::string_view gbk) {
    std::u16string out;
    if (convertStrict(gbk, out)) return out;
    // Some bytes form no character. Windows would give each such pair a '?', which reads
    // like a real question mark; go character by character and give U+FFFD instead, as
    // iconv does on Linux. 0x80 (the euro sign) is a character of one byte in code page 936.
    out.clear();
    for (std::size_t pos = 0; pos < gbk.size();) {
        const std::size_t length =
            static_cast<unsigned char>(gbk[pos]) == 0x80 ? 1 : gbk::charLength(gbk, pos);
        std::u16string piece;
        out += convertStrict(gbk.substr(pos, length), piece) ? piece : std::u16string(1, u'\xFFFD');
        pos += length;
    }
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
    // No best fit: a character GBK lacks becomes '?' as on Linux, never a look-alike ("・" is
    // not "·"), so a converted name can never be another file's name.
    const int n =
        WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, src, len, nullptr, 0, "?", nullptr);
    GbkText out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, src, len, out.data(), n, "?", nullptr);
    return out;
}

std::string gbkToUtf8(std::string_view gbk) { return utf16ToUtf8(gbkToUtf16(gbk)); }

GbkText utf8ToGbk(std::string_view utf8) { return utf16ToGbk(utf8ToUtf16(utf8)); }

}  // namespace codepage
