#include "text/gbk_text.hpp"

namespace gbk {

std::size_t charLength(std::string_view text, std::size_t pos) {
    if (isLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) return 2;
    return 1;
}

std::string_view cutAtNul(std::string_view bytes) {
    const std::size_t nul = bytes.find('\0');
    return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

std::optional<std::size_t> find(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.empty()) {
        if (from <= text.size()) return from;
        return std::nullopt;
    }
    // Jump to candidate positions with the byte search, then check that the candidate is a
    // character start by walking characters from the last known start.
    std::size_t charStart = from;
    while (true) {
        const std::size_t hit = text.find(needle, from);
        if (hit == std::string_view::npos) return std::nullopt;
        while (charStart < hit) charStart += charLength(text, charStart);
        if (charStart == hit) return hit;
        from = charStart;  // the hit began on a trail byte; resume at the next character
    }
}

bool contains(std::string_view text, std::string_view needle) {
    return find(text, needle).has_value();
}

std::vector<GbkText> split(std::string_view text, std::string_view delimiter) {
    std::vector<GbkText> fields;
    if (text.empty()) return fields;
    if (delimiter.empty()) {
        fields.emplace_back(text);
        return fields;
    }
    std::size_t start = 0;
    while (auto hit = find(text, delimiter, start)) {
        fields.emplace_back(text.substr(start, *hit - start));
        start = *hit + delimiter.size();
    }
    if (start < text.size()) fields.emplace_back(text.substr(start));
    return fields;
}

GbkText textBetween(std::string_view text, std::string_view start, std::string_view end) {
    const auto s = find(text, start);
    if (!s) return {};
    const std::size_t from = *s + start.size();
    const auto e = find(text, end, from);
    if (!e) return {};
    return GbkText(text.substr(from, *e - from));
}

GbkText replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return GbkText(text);
    GbkText out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (auto hit = find(text, from, pos)) {
        out.append(text.substr(pos, *hit - pos));
        out.append(to);
        pos = *hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

std::vector<std::string_view> characters(std::string_view text) {
    std::vector<std::string_view> chars;
    chars.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t len = charLength(text, pos);
        chars.push_back(text.substr(pos, len));
        pos += len;
    }
    return chars;
}

GbkText toHalfWidth(std::string_view text) {
    GbkText out;
    out.reserve(text.size());
    for (std::string_view ch : characters(text)) {
        if (ch.size() == 2) {
            const auto lead = static_cast<unsigned char>(ch[0]);
            const auto trail = static_cast<unsigned char>(ch[1]);
            if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
                out.push_back(static_cast<char>(trail - 0x80));
                continue;
            }
            if (lead == 0xA1 && trail == 0xA1) {
                out.push_back(' ');
                continue;
            }
            if (lead == 0xA1 && trail == 0xAB) {
                out.push_back('~');
                continue;
            }
            if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
                out.push_back('*');
                continue;
            }
        }
        out.append(ch);
    }
    return out;
}

GbkText trimBlanks(std::string_view text) {
    constexpr std::string_view kFullWidthSpace = "\xA1\xA1";
    bool changed = true;
    while (changed && !text.empty()) {
        changed = false;
        if (text.front() == ' ') {
            text.remove_prefix(1);
            changed = true;
        } else if (text.starts_with(kFullWidthSpace)) {
            text.remove_prefix(2);
            changed = true;
        }
    }
    // Trailing side: walk characters so a trail byte A1 is never taken for half a space.
    std::size_t keep = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t len = charLength(text, pos);
        const std::string_view ch = text.substr(pos, len);
        pos += len;
        if (ch != " " && ch != kFullWidthSpace) keep = pos;
    }
    return GbkText(text.substr(0, keep));
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        if (isLeadByte(static_cast<unsigned char>(a[i]))) {
            const std::size_t n = charLength(a, i);
            if (a.substr(i, n) != b.substr(i, n)) return false;
            i += n;
        } else {
            if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
            ++i;
        }
    }
    return true;
}

std::size_t fileNameStart(std::string_view path) {
    std::size_t start = 0;
    for (std::size_t pos = 0; pos < path.size(); pos += charLength(path, pos)) {
        if (path[pos] == '/' || path[pos] == '\\') start = pos + 1;
    }
    return start;
}

bool endsWithSeparator(std::string_view path) {
    return !path.empty() && fileNameStart(path) == path.size();
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return suffix.size() <= text.size() &&
           equalsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace gbk
