#include "playback/line_transform.hpp"

#include <boost/regex.hpp>

namespace transform {

GbkText trimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return GbkText(text.substr(first, last - first + 1));
}

GbkText cutOuterLineBreak(std::string_view text) {
    if (text.starts_with("\r\n")) text.remove_prefix(2);
    if (text.ends_with("\r\n")) text.remove_suffix(2);
    return GbkText(text);
}

GbkText removeBlankLines(const GbkText& text) {
    // The pattern only holds ASCII, and \s is classified in the "C" locale, so no byte of a
    // two-byte character can take part in a match.
    try {
        static const boost::regex kBlankLine("\\n\\s*\\r", boost::regex::perl);
        return boost::regex_replace(text, kBlankLine, "", boost::format_all);
    } catch (const std::exception&) {
        return text;  // a pathological word list stays as the user wrote it
    }
}

GbkText reversed(std::string_view text) {
    const GbkText half = gbk::toHalfWidth(text);
    const auto chars = gbk::characters(half);
    GbkText out;
    out.reserve(half.size());
    for (auto it = chars.rbegin(); it != chars.rend(); ++it) out.append(*it);
    return out;
}

}  // namespace transform

LineTransform::LineTransform(MainUnits& units, std::uint32_t seed) : units_(units), random_(seed) {}

GbkText LineTransform::filter(const GbkText& line) {
    if (!units_.是否开启广告过滤模式.checked()) return line;

    // Each stage of the tidy-up goes back into the box, so the user sees the cleaned list. A stage
    // that changes nothing writes nothing: a rewrite would move the caret of someone typing in the
    // box mid-song, drop the selection and clear undo.
    EditBox& box = units_.过滤;
    const auto tidy = [&box](GbkText cleaned) {
        if (cleaned != box.text()) box.setText(cleaned);
    };
    tidy(transform::trimSpaces(box.text()));
    tidy(transform::cutOuterLineBreak(box.text()));
    tidy(transform::removeBlankLines(box.text()));

    GbkText text = line;
    for (const GbkText& word : gbk::split(box.text(), "\r\n")) {
        // NOTE: an empty word would match every line; a blank line left in the list must not
        // turn the whole song into full stops.
        if (word.empty()) continue;
        if (gbk::contains(text, word)) text = GbkText(kFiltered);
    }
    return text;
}

GbkText LineTransform::reverse(const GbkText& text) {
    units_.初始文本.setText({});
    units_.初始文本.setText(transform::reversed(text));
    return units_.初始文本.text();
}

GbkText LineTransform::wrap(const GbkText& text) {
    const int n = units_.前缀.count();
    int index = 0;
    if (n > 0) index = std::uniform_int_distribution<int>(0, n - 1)(random_);
    // Prefix and suffix pair up by index; a shorter suffix list gives an empty suffix.
    return units_.前缀.item(index) + text + units_.后缀.item(index);
}

GbkText LineTransform::apply(const GbkText& line) {
    const GbkText filtered = filter(line);
    const bool wrapped = units_.开启前后缀模式.checked();
    GbkText out;
    // The settings panel keeps reverse and alternate exclusive; should both be on anyway,
    // reverse wins, as its row comes first.
    if (units_.开启倒序模式.checked()) {
        out = reverse(filtered);
    } else if (units_.开启正反序模式.checked()) {
        out = alternateState_ == 0 ? filtered : reverse(filtered);
        alternateState_ = 1 - alternateState_;
    } else {
        out = filtered;
    }
    return wrapped ? wrap(out) : out;
}
