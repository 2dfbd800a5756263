#include "app/profile_codec.hpp"

#include <optional>
#include <vector>

namespace profile {
namespace {

// One line of the file: [begin, end) is its text, `next` is where the following line starts
// (after the line break; equal to `end` for a last line without one).
struct Line {
    std::size_t begin;
    std::size_t end;
    std::size_t next;
};

std::vector<Line> linesOf(std::string_view content) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t end = content.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back({pos, content.size(), content.size()});
            break;
        }
        std::size_t next = end + 1;
        if (content[end] == '\r' && next < content.size() && content[next] == '\n') ++next;
        lines.push_back({pos, end, next});
        pos = next;
    }
    return lines;
}

// The profile functions strip ASCII blanks only (and ^Z, which old DOS tools left at the end of
// files); a full-width space is text. No blank can be the trail byte of a two-byte character,
// so trimming byte-wise at both ends is safe.
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; }

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Names compare ignoring ASCII case, as Windows does.
bool sameName(std::string_view a, std::string_view b) { return gbk::equalsIgnoringCase(a, b); }

// The name inside "[name]" when the trimmed line is a section line. ']' can be a trail byte, so
// the closing bracket is the last one found at a character start.
std::optional<std::string_view> sectionName(std::string_view trimmed) {
    if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
    std::optional<std::size_t> close;
    for (std::size_t i = 1; i < trimmed.size(); i += gbk::charLength(trimmed, i)) {
        if (trimmed[i] == ']') close = i;
    }
    if (!close) return std::nullopt;
    return trimmed.substr(1, *close - 1);
}

struct KeyLine {
    std::string_view name;
    std::string_view value;
};

// '=' (0x3D) is never a trail byte, so the first one in the line is the separator.
std::optional<KeyLine> keyLine(std::string_view trimmed) {
    const std::size_t eq = trimmed.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return KeyLine{trim(trimmed.substr(0, eq)), trim(trimmed.substr(eq + 1))};
}

std::string_view textOf(std::string_view content, const Line& line) {
    return content.substr(line.begin, line.end - line.begin);
}

// Index of the first line of the first section called `section` (its header), or nullopt.
std::optional<std::size_t> findSection(std::string_view content, const std::vector<Line>& lines,
                                       std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(trim(textOf(content, lines[i])));
        if (name && sameName(*name, section)) return i;
    }
    return std::nullopt;
}

bool isSectionLine(std::string_view content, const Line& line) {
    return sectionName(trim(textOf(content, line))).has_value();
}

// A read buffer of `bufferSize` bytes holds the text and its NUL; a two-byte character that
// does not fit whole is left out rather than cut in half.
GbkText cutToBuffer(std::string_view text, std::size_t bufferSize) {
    if (bufferSize == 0) return {};
    const std::size_t limit = bufferSize - 1;
    if (text.size() <= limit) return GbkText(text);
    std::size_t end = 0;
    while (end < limit) {
        const std::size_t n = gbk::charLength(text, end);
        if (end + n > limit) break;
        end += n;
    }
    return GbkText(text.substr(0, end));
}

std::string_view withoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

GbkText getString(std::string_view content, std::string_view section, std::string_view key,
                  std::string_view defaultValue, std::size_t bufferSize) {
    const std::vector<Line> lines = linesOf(content);
    const auto header = findSection(content, lines, section);
    if (header) {
        for (std::size_t i = *header + 1; i < lines.size(); ++i) {
            if (isSectionLine(content, lines[i])) break;
            const auto entry = keyLine(trim(textOf(content, lines[i])));
            if (entry && sameName(entry->name, key)) {
                return cutToBuffer(withoutQuotes(entry->value), bufferSize);
            }
        }
    }
    return cutToBuffer(defaultValue, bufferSize);
}

void setString(std::string& content, std::string_view section, std::string_view key,
               std::string_view value) {
    value = value.substr(0, value.find_first_of("\r\n"));
    const std::vector<Line> lines = linesOf(content);
    const auto header = findSection(content, lines, section);

    if (!header) {
        if (!content.empty() && content.back() != '\n' && content.back() != '\r') {
            content += "\r\n";
        }
        content += "[";
        content += section;
        content += "]\r\n";
        content += key;
        content += "=";
        content += value;
        content += "\r\n";
        return;
    }

    std::size_t last = *header;  // the last non-blank line of the section
    for (std::size_t i = *header + 1; i < lines.size(); ++i) {
        const std::string_view trimmed = trim(textOf(content, lines[i]));
        if (sectionName(trimmed)) break;
        if (trimmed.empty()) continue;
        last = i;
        const auto entry = keyLine(trimmed);
        if (entry && sameName(entry->name, key)) {
            const std::string replacement = std::string(entry->name) + "=" + std::string(value);
            content.replace(lines[i].begin, lines[i].end - lines[i].begin, replacement);
            return;
        }
    }

    // Wine and Windows both put a new key right after the section's last entry, so blank lines
    // that separate it from the next section stay after it.
    std::string insertion;
    if (lines[last].next == lines[last].end) insertion += "\r\n";  // last line had no break
    insertion += key;
    insertion += "=";
    insertion += value;
    insertion += "\r\n";
    content.insert(lines[last].next, insertion);
}

}  // namespace profile
