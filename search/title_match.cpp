#include "search/title_match.hpp"

#include <string>
#include <vector>

#include "search/search_markers.hpp"

namespace {

bool isAsciiWordByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// GBK rows A1 and A3 (after the half-width step only A1 remains) are punctuation and symbols;
// A8 holds pinyin letters, which stay.
bool isPunctuation(std::string_view character) {
    if (character.size() == 1) return !isAsciiWordByte(static_cast<unsigned char>(character[0]));
    const auto lead = static_cast<unsigned char>(character[0]);
    return lead == 0xA1 || lead == 0xA3;
}

GbkText folded(std::string_view text) {
    GbkText half = gbk::toHalfWidth(text);
    for (std::size_t i = 0; i < half.size(); ++i) {
        if (static_cast<unsigned char>(half[i]) >= 0x80) {
            ++i;  // the trail byte of a two-byte character is no letter to fold
        } else {
            half[i] = gbk::lowerAscii(half[i]);
        }
    }
    return half;
}

GbkText keyOfFolded(std::string_view text) {
    GbkText key;
    for (std::string_view c : gbk::characters(text)) {
        if (!isPunctuation(c)) key += c;
    }
    return key;
}

// The folded text without bracketed parts. Brackets: () and [] (full-width ones are half-width
// by now), 【】 (A1BE/A1BF) and 〔〕 (A1B2/A1B3).
GbkText withoutBrackets(std::string_view text) {
    GbkText out;
    int depth = 0;
    for (std::string_view c : gbk::characters(text)) {
        const bool open = c == "(" || c == "[" || c == "\xA1\xBE" || c == "\xA1\xB2";
        const bool close = c == ")" || c == "]" || c == "\xA1\xBF" || c == "\xA1\xB3";
        if (open) {
            ++depth;
        } else if (close) {
            if (depth > 0) --depth;
            out += ' ';  // "A(live)B" keeps A and B apart
        } else if (depth == 0) {
            out += c;
        }
    }
    return out;
}

bool isSeparator(std::string_view c) { return c == " " || c == "-" || c == "_" || c == "/"; }

// Drops decoration words from the end of a folded, bracket-free title: 晴天 伴奏, 晴天-live,
// 晴天伴奏 (Chinese words need no space between them).
GbkText withoutTrailingDecorations(GbkText text) {
    for (bool dropped = true; dropped;) {
        dropped = false;
        // Trailing separators are not part of the title ('_' can be a trail byte: go by
        // characters).
        for (std::vector<std::string_view> chars = gbk::characters(text);
             !chars.empty() && isSeparator(chars.back()); chars.pop_back()) {
            text.resize(text.size() - chars.back().size());
        }
        for (std::string_view word : search_marker::kDecorations) {
            if (text.size() <= word.size() || !gbk::endsWithIgnoringCase(text, word)) continue;
            const std::size_t at = text.size() - word.size();
            // At a character start only, and an ASCII word only as a whole word.
            bool atStart = false;
            for (std::size_t i = 0; i <= at;) {
                if (i == at) {
                    atStart = true;
                    break;
                }
                i += static_cast<unsigned char>(text[i]) >= 0x80 && i + 1 < text.size() ? 2 : 1;
            }
            if (!atStart) continue;
            const bool asciiWord = isAsciiWordByte(static_cast<unsigned char>(word[0]));
            if (asciiWord && isAsciiWordByte(static_cast<unsigned char>(text[at - 1]))) continue;
            const GbkText rest = text.substr(0, at);
            if (keyOfFolded(rest).empty()) continue;  // the decoration is the whole title
            text = rest;
            dropped = true;
            break;
        }
    }
    return text;
}

bool holds(std::string_view a, std::string_view b) {
    return !a.empty() && !b.empty() && (gbk::contains(a, b) || gbk::contains(b, a));
}

}  // namespace

GbkText plainKey(std::string_view text) { return keyOfFolded(folded(text)); }

GbkText titleKey(std::string_view text) {
    const GbkText whole = folded(text);
    GbkText bare = withoutBrackets(whole);
    // "(I Can't Get No)" alone is a title, not a decoration.
    if (keyOfFolded(bare).empty()) bare = whole;
    GbkText key = keyOfFolded(withoutTrailingDecorations(bare));
    return key.empty() ? keyOfFolded(whole) : key;
}

int titleCloseness(std::string_view asked, std::string_view title) {
    const GbkText a = plainKey(asked);
    const GbkText t = plainKey(title);
    if (!a.empty() && a == t) return 4;
    const GbkText ak = titleKey(asked);
    const GbkText tk = titleKey(title);
    if (!ak.empty() && ak == tk) return tk == t ? 3 : 2;
    return holds(ak, tk) ? 1 : 0;
}

int artistCloseness(std::string_view asked, std::string_view artist) {
    const GbkText a = plainKey(asked);
    const GbkText b = plainKey(artist);
    if (a.empty() || b.empty()) return 0;
    if (a == b) return 2;
    return holds(a, b) ? 1 : 0;
}

bool namesInstrumental(std::string_view title) {
    const GbkText key = plainKey(title);
    for (std::string_view word : search_marker::kInstrumental) {
        if (key.size() > word.size() && gbk::contains(key, word)) return true;
    }
    return false;
}

bool saysNoLyric(std::string_view lyric) {
    int lines = 0;
    bool saysSo = false;
    std::size_t start = 0;
    while (start <= lyric.size()) {
        std::size_t end = lyric.find('\n', start);
        if (end == std::string_view::npos) end = lyric.size();
        std::string_view line = lyric.substr(start, end - start);
        start = end + 1;
        // The text after the line's tags; a header tag ([ti:...]) leaves nothing.
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        while (!line.empty() && line.front() == '[') {
            const std::size_t close = line.find(']');
            if (close == std::string_view::npos) break;
            line.remove_prefix(close + 1);
        }
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
        if (line.empty()) continue;
        ++lines;
        if (line.find(search_marker::kPureMusicUtf8) != std::string_view::npos ||
            line.find(search_marker::kNoWordsUtf8) != std::string_view::npos ||
            line.find(search_marker::kNoLyricYetUtf8) != std::string_view::npos) {
            saysSo = true;
        }
        if (lines > 3) return false;  // a real lyric, whatever one line says
    }
    return lines == 0 || saysSo;
}
