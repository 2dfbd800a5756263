#include "lyrics/lrc_reader.hpp"

#include <algorithm>
#include <boost/regex.hpp>
#include <cstdint>
#include <cstring>
#include <exception>
#include <limits>
#include <string>
#include <vector>

namespace {

// Matching is byte-wise over GBK text and "." takes any byte, line breaks included. The
// pattern accepts [mm:ss.xx], [mm:ss.xxx], [mm:ss:xx] and [mm:ss] (there the "." takes the
// last digit of the seconds); tagTime() reads each form.
const boost::regex& tagPattern() {
    static const boost::regex pattern(R"(\[[0-9]*:[0-9]*.[0-9]*\])",
                                      boost::regex::perl | boost::regex::mod_s);
    return pattern;
}

// Header values are runs of non-blank bytes. The blank set is written out rather than "\S" so
// that no locale can count a GBK byte such as 0xA0 or 0x85 as a space.
const boost::regex& headerPattern(std::string_view key) {
    auto make = [](const char* k) {
        return boost::regex(std::string("\\[") + k + ":[^ \t\n\v\f\r]*\\]", boost::regex::perl);
    };
    static const boost::regex ti = make("ti"), ar = make("ar"), al = make("al"), by = make("by"),
                              offset = make("offset");
    if (key == "ti") return ti;
    if (key == "ar") return ar;
    if (key == "al") return al;
    if (key == "by") return by;
    return offset;
}

struct Span {
    std::size_t begin;
    std::size_t end;
};

// Walks the lines of a text in order. Lines end at CR LF, at a lone LF and at a lone CR, so
// files saved on any system read line by line. The next CR and the next LF are each looked up
// once and kept, so a file using only one of them is still read in one pass.
class LineWalker {
  public:
    explicit LineWalker(std::string_view text)
        : text_(text), cr_(find('\r', 0)), lf_(find('\n', 0)) {}

    /// The line holding byte `pos`, which must not be before the previous call's line nor
    /// be a line end itself.
    Span lineAt(std::size_t pos) {
        while (line_.end <= pos) advance();
        return line_;
    }

  private:
    std::size_t find(char c, std::size_t from) const {
        const void* hit = std::memchr(text_.data() + from, c, text_.size() - from);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data())
                   : text_.size();
    }
    void advance() {
        if (cr_ < next_) cr_ = find('\r', next_);
        if (lf_ < next_) lf_ = find('\n', next_);
        const std::size_t stop = std::min(cr_, lf_);
        line_ = {next_, stop};
        next_ = stop + 1;
        if (stop == cr_ && lf_ == next_) ++next_;
    }

    std::string_view text_;
    std::size_t cr_;
    std::size_t lf_;
    std::size_t next_ = 0;  // where the line after line_ starts
    Span line_{0, 0};
};

// Reads a run of ASCII digits; the value stops growing far beyond any 32-bit time, so a tag
// with a hundred digits saturates instead of overflowing.
std::uint64_t readDigits(std::string_view s, std::size_t& pos) {
    constexpr std::uint64_t kCap = 1'000'000'000'000ULL;
    std::uint64_t value = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        if (value < kCap) value = value * 10 + static_cast<std::uint64_t>(s[pos] - '0');
        ++pos;
    }
    return value;
}

// First match of a header's pattern. No match can start before the first "[key:", so the
// search begins there; texts without the header cost one plain substring scan.
GbkText headerValue(const GbkText& text, std::string_view key) {
    std::string opener = "[";
    opener.append(key).push_back(':');
    const std::size_t from = text.find(opener);
    if (from == GbkText::npos) return {};
    boost::cmatch match;
    const char* begin = text.data() + from;
    if (!boost::regex_search(begin, text.data() + text.size(), match, headerPattern(key)))
        return {};
    const auto length = static_cast<std::size_t>(match.length(0));
    return GbkText(match[0].first + opener.size(), length - opener.size() - 1);
}

// Offset values are decimal with an optional sign; anything after the digits is ignored and
// an empty value reads as 0.
std::int64_t readOffset(std::string_view value) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < value.size() && (value[pos] == '+' || value[pos] == '-')) {
        negative = value[pos] == '-';
        ++pos;
    }
    const auto magnitude = static_cast<std::int64_t>(readDigits(value, pos));
    return negative ? -magnitude : magnitude;
}

struct TagMatch {
    std::size_t begin;
    std::size_t end;
    std::size_t group;  // index of the tag's line among the lines holding tags
};

// The lyric text of the line `span`, which holds tags[first] up to tags[last - 1]: the line
// without those tags, untrimmed. Header lines never give lyric text, so a tag written on one
// gets an empty text.
GbkText lineText(const GbkText& text, Span span, const std::vector<TagMatch>& tags,
                 std::size_t first, std::size_t last) {
    const std::string_view line(text.data() + span.begin, span.end - span.begin);
    if (LrcReader::isHeaderLine(line)) return {};
    GbkText lyric;
    lyric.reserve(span.end - span.begin);
    std::size_t copied = span.begin;
    // A tag broken across a line end is no tag of this line's text; it can only be the last.
    for (std::size_t t = first; t < last && tags[t].end <= span.end; ++t) {
        lyric.append(text, copied, tags[t].begin - copied);
        copied = tags[t].end;
    }
    lyric.append(text, copied, span.end - copied);
    return lyric;
}

}  // namespace

std::optional<std::int32_t> LrcReader::tagTime(std::string_view tag) {
    if (tag.empty() || tag.front() != '[') return std::nullopt;
    std::size_t pos = 1;
    const std::uint64_t minutes = readDigits(tag, pos);
    if (pos >= tag.size() || tag[pos] != ':') return std::nullopt;
    ++pos;
    const std::uint64_t seconds = readDigits(tag, pos);
    // The seconds run up to the closing bracket means the tag has no fraction ([00:05]).
    // Otherwise one separator byte follows ("." or ":") and then the fraction, which counts
    // parts of a second: 4 is 400 ms, 45 is 450 ms, 456 is 456 ms; further digits are cut off.
    std::uint64_t fraction = 0;
    const std::size_t closing = tag.size() - 1;
    if (pos < closing) {
        std::size_t digit = pos + 1;
        for (std::uint64_t scale = 100; scale > 0; scale /= 10, ++digit) {
            if (digit >= closing || tag[digit] < '0' || tag[digit] > '9') break;
            fraction += static_cast<std::uint64_t>(tag[digit] - '0') * scale;
        }
    }
    const std::uint64_t total = minutes * 60000 + seconds * 1000 + fraction;
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(std::min(total, kMax));
}

bool LrcReader::isHeaderLine(std::string_view line) {
    auto startsWith = [&](std::string_view prefix) {
        if (line.size() < prefix.size()) return false;
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            char c = line[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != prefix[i]) return false;
        }
        return true;
    };
    return startsWith("[ar") || startsWith("[ti") || startsWith("[al") || startsWith("[by") ||
           startsWith("[offset");
}

namespace {

bool parseText(const GbkText& text, LyricTable& table) {
    const char* const base = text.data();

    // One pass of the tag pattern over the whole text, in file order. regex_grep keeps one
    // matcher for the whole walk, which costs far less per tag than a search per match.
    std::vector<TagMatch> tags;
    tags.reserve(text.size() / 32);  // about one tag a line of lyric
    boost::regex_grep(
        [&](const boost::cmatch& match) {
            tags.push_back({static_cast<std::size_t>(match[0].first - base),
                            static_cast<std::size_t>(match[0].second - base), 0});
            return true;
        },
        base, base + text.size(), tagPattern());

    // Each tag takes the text of the line it starts on, built once per line. Tags come in
    // file order, so one walk over the lines serves them all.
    LineWalker lines(text);
    std::vector<GbkText> groupTexts;
    std::vector<std::size_t> groupUses;
    std::vector<std::pair<std::int32_t, std::size_t>> order;  // (time, tag index)
    order.reserve(tags.size());
    for (std::size_t first = 0; first < tags.size();) {
        const Span line = lines.lineAt(tags[first].begin);
        std::size_t last = first;
        for (; last < tags.size() && tags[last].begin < line.end; ++last) {
            const std::optional<std::int32_t> time = LrcReader::tagTime(
                std::string_view(base + tags[last].begin, tags[last].end - tags[last].begin));
            if (!time) return false;
            tags[last].group = groupTexts.size();
            order.emplace_back(*time, last);
        }
        groupTexts.push_back(lineText(text, line, tags, first, last));
        groupUses.push_back(last - first);
        first = last;
    }
    // Equal times keep file order. Most files already ascend and skip the sort.
    auto earlier = [](const auto& a, const auto& b) { return a.first < b.first; };
    if (!std::is_sorted(order.begin(), order.end(), earlier)) {
        std::stable_sort(order.begin(), order.end(), earlier);
    }

    std::vector<LyricLine> entries(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::size_t group = tags[order[i].second].group;
        entries[i].time = order[i].first;
        // The last entry of a line takes its text; the others copy it.
        if (--groupUses[group] == 0) {
            entries[i].text = std::move(groupTexts[group]);
        } else {
            entries[i].text = groupTexts[group];
        }
    }

    LyricTable result;
    result.lines = std::move(entries);
    result.title = headerValue(text, "ti");
    result.artist = headerValue(text, "ar");
    result.album = headerValue(text, "al");
    result.author = headerValue(text, "by");
    result.offset = readOffset(headerValue(text, "offset"));
    table = std::move(result);
    return true;
}

}  // namespace

bool LrcReader::parse(const GbkText& text, LyricTable& table) {
    // Boost.Regex gives up with an exception when a text makes it backtrack without end, as
    // a tag opening tens of thousands of digits does. Such a file fails to load; it must not
    // take the program down.
    try {
        return parseText(text, table);
    } catch (const std::exception&) {
        return false;
    }
}
