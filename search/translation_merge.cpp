#include "search/translation_merge.hpp"

#include <cstdio>
#include <map>
#include <vector>

namespace {

struct Line {
    std::string_view tags;  // the leading time tags as written
    long long time = -1;    // the first tag's time; -1 when the line has none
    std::string_view text;
};

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

Line readLine(std::string_view line) {
    Line out;
    std::size_t at = 0;
    while (at < line.size() && line[at] == '[') {
        const std::size_t close = line.find(']', at);
        if (close == std::string_view::npos) break;
        const long long time = lrcTagTime(line.substr(at + 1, close - at - 1));
        if (time < 0) break;
        if (out.time < 0) out.time = time;
        at = close + 1;
    }
    out.tags = line.substr(0, at);
    out.text = line.substr(at);
    while (!out.text.empty() && out.text.front() == ' ') out.text.remove_prefix(1);
    while (!out.text.empty() && out.text.back() == ' ') out.text.remove_suffix(1);
    return out;
}

}  // namespace

long long lrcTagTime(std::string_view inside) {
    // minutes ":" seconds, then "." or ":" and the fraction.
    long long parts[3] = {0, 0, 0};
    int fractionDigits = 0;
    int part = 0;
    bool digit = false;
    for (char c : inside) {
        if (c >= '0' && c <= '9') {
            if (part == 2) {
                if (fractionDigits < 3) {
                    parts[2] = parts[2] * 10 + (c - '0');
                    ++fractionDigits;
                }
            } else {
                if (parts[part] > 100000) return -1;
                parts[part] = parts[part] * 10 + (c - '0');
            }
            digit = true;
        } else if ((c == ':' && part == 0) || ((c == '.' || c == ':') && part == 1)) {
            if (!digit) return -1;
            ++part;
            digit = false;
        } else {
            return -1;
        }
    }
    if (part < 1 || !digit || parts[1] >= 60) return -1;
    long long fraction = parts[2];
    for (int d = fractionDigits; d < 3; ++d) fraction *= 10;
    return (parts[0] * 60 + parts[1]) * 1000 + (part == 2 ? fraction : 0);
}

std::string mergeTranslation(std::string_view lyric, std::string_view translation) {
    std::multimap<long long, std::string_view> translated;
    for (std::string_view raw : linesOf(translation)) {
        const Line line = readLine(raw);
        if (line.time < 0 || line.text.empty() || line.text == "//") continue;
        translated.emplace(line.time, line.text);
    }
    if (translated.empty()) return std::string(lyric);

    std::string out;
    out.reserve(lyric.size() + translation.size());
    for (std::string_view raw : linesOf(lyric)) {
        out += raw;
        out += '\n';
        const Line line = readLine(raw);
        if (line.time < 0 || line.text.empty()) continue;
        const auto it = translated.find(line.time);
        if (it == translated.end()) continue;
        if (it->second != line.text) {
            out += line.tags;
            out += it->second;
            out += '\n';
        }
        translated.erase(it);
    }
    // Translations of times the lyric has no line for keep their own tags.
    for (const auto& [time, text] : translated) {
        const long long centis = time / 10;
        char tag[32];
        std::snprintf(tag, sizeof tag, "[%02lld:%02lld.%02lld]", centis / 6000, centis / 100 % 60,
                      centis % 100);
        out += tag;
        out += text;
        out += '\n';
    }
    return out;
}
