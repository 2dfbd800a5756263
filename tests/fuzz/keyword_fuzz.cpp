// The search text as any user might type it: the encoded keyword holds only the kept
// characters and %XX escapes, and decoding it gives back the UTF-8 form of the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "search/keyword_encoding.hpp"
#include "text/codepage.hpp"

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;  // lower-case digits are not what the site expects
}

bool kept(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           std::string_view("*,-./@_").find(c) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const GbkText text(reinterpret_cast<const char*>(data), size);
    const std::string encoded = encodeKeyword(text);
    std::string decoded;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != '%') {
            if (!kept(encoded[i])) std::abort();
            decoded.push_back(encoded[i]);
            continue;
        }
        if (i + 2 >= encoded.size()) std::abort();
        const int high = hexValue(encoded[i + 1]);
        const int low = hexValue(encoded[i + 2]);
        if (high < 0 || low < 0) std::abort();
        const auto byte = static_cast<char>(high * 16 + low);
        // A kept character is never escaped: the site would read the same keyword either way,
        // but the address would differ from the browser's.
        if (kept(byte)) std::abort();
        decoded.push_back(byte);
        i += 2;
    }
    if (decoded != codepage::gbkToUtf8(text)) std::abort();
    return 0;
}
