#include "lyrics/lyric_decoding.hpp"

#include <algorithm>
#include <string>
#include <utility>

#include "text/codepage.hpp"

namespace {

bool startsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

// An odd last byte is half a character and is dropped.
std::u16string utf16Units(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(
            static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
    }
    return units;
}

bool hasNonAscii(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Every character GBK lacks became one '?', so the '?' the text gained are the ones lost.
template <typename Text>
int lost(const GbkText& converted, const Text& source) {
    const auto before = std::count(source.begin(), source.end(), '?');
    return static_cast<int>(std::count(converted.begin(), converted.end(), '?') - before);
}

DecodedLyric fromUnicode(GbkText converted, std::u16string_view source, LyricEncoding encoding) {
    const int untypable = lost(converted, source);
    return {std::move(converted), encoding, untypable};
}

DecodedLyric fromUtf8(std::string_view source, LyricEncoding encoding) {
    GbkText converted = codepage::utf8ToGbk(source);
    const int untypable = lost(converted, source);
    return {std::move(converted), encoding, untypable};
}

}  // namespace

DecodedLyric decodeLyricBytes(std::string_view bytes) {
    // UTF-16 is full of zero bytes, so its text is cut at NUL only once decoded.
    if (startsWith(bytes, "\xFF\xFE") || startsWith(bytes, "\xFE\xFF")) {
        const bool bigEndian = bytes[0] == '\xFE';
        const std::u16string units = utf16Units(bytes.substr(2), bigEndian);
        const std::u16string_view text(units.data(), std::min(units.find(u'\0'), units.size()));
        return fromUnicode(codepage::utf16ToGbk(text), text,
                           bigEndian ? LyricEncoding::Utf16BeBom : LyricEncoding::Utf16LeBom);
    }
    if (startsWith(bytes, "\xEF\xBB\xBF")) {
        return fromUtf8(gbk::cutAtNul(bytes.substr(3)), LyricEncoding::Utf8Bom);
    }
    const std::string_view text = gbk::cutAtNul(bytes);
    // GBK text is almost never valid UTF-8 once it holds a few Chinese characters, while
    // UTF-8 read as GBK would be garbage; plain ASCII is the same in both.
    if (hasNonAscii(text) && codepage::isValidUtf8(text)) {
        return fromUtf8(text, LyricEncoding::Utf8);
    }
    return {GbkText(text), LyricEncoding::Gbk, 0};
}
