#include "search/keyword_encoding.hpp"

#include "text/codepage.hpp"

std::string encodeKeyword(const GbkText& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::string utf8 = codepage::gbkToUtf8(text);
    std::string out;
    out.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        const bool kept = (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') ||
                          (b >= 'a' && b <= 'z') || b == '*' || b == ',' || b == '-' || b == '.' ||
                          b == '/' || b == '@' || b == '_';
        if (kept) {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 0x0F]);
        }
    }
    return out;
}
