#include "lyrics/lrc_reader.hpp"

#include <algorithm>
#include <array>
#include <boost/regex.hpp>
#include <cstdint>
#include <cstring>
#include <exception>
#include <limits>
#include <new>
#include <string>
#include <string_view>
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

// The header keys in the order of the table's fields.
constexpr std::string_view kHeaderKeys[] = {"ti", "ar", "al", "by", "offset"};
constexpr std::size_t kHeaderCount = std::size(kHeaderKeys);

// Header values are runs of non-blank bytes. The blank set is written out rather than "\S" so
// that no locale can count a GBK byte such as 0xA0 or 0x85 as a space.
const boost::regex& headerPattern(std::size_t header) {
    static const auto patterns = [] {
        std::vector<boost::regex> made;
        for (const std::string_view key : kHeaderKeys) {
            std::string pattern = "\\[";
            pattern.append(key).append(":[^ \t\n\v\f\r]*\\]");
            made.emplace_back(pattern, boost::regex::perl);
        }
        return made;
    }();
    return patterns[header];
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

// First match of each header's pattern, in the order of kHeaderKeys. No match can start
// before the first "[key:", so one walk over the brackets finds where each search begins.
std::array<GbkText, kHeaderCount> headerValues(const GbkText& text) {
    std::array<std::size_t, kHeaderCount> starts;
    starts.fill(GbkText::npos);
    std::size_t missing = kHeaderCount;
    const std::string_view all(text);
    for (std::size_t pos = all.find('['); pos != GbkText::npos && missing > 0;
         pos = all.find('[', pos + 1)) {
        // Time tags go on at once: no key starts with a digit.
        if (pos + 1 >= all.size() || all[pos + 1] < 'a' || all[pos + 1] > 't') continue;
        for (std::size_t h = 0; h < kHeaderCount; ++h) {
            const std::string_view key = kHeaderKeys[h];
            if (starts[h] == GbkText::npos && all.compare(pos + 1, key.size(), key) == 0 &&
                all.size() > pos + 1 + key.size() && all[pos + 1 + key.size()] == ':') {
                starts[h] = pos;
                --missing;
            }
        }
    }
    std::array<GbkText, kHeaderCount> values;
    for (std::size_t h = 0; h < kHeaderCount; ++h) {
        if (starts[h] == GbkText::npos) continue;
        boost::cmatch match;
        if (!boost::regex_search(text.data() + starts[h], text.data() + text.size(), match,
                                 headerPattern(h)))
            continue;
        const std::size_t opener = kHeaderKeys[h].size() + 2;  // "[key:"
        values[h].assign(match[0].first + opener,
                         static_cast<std::size_t>(match.length(0)) - opener - 1);
    }
    return values;
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

// Length of the tag at `open` when it has the plain shape "[" digits ":" digits ("." or ":")
// digits "]", else 0. For that shape the tag pattern, whose runs are greedy, matches exactly
// the same bytes at `open` on its first try, so the pattern need not run.
std::size_t plainTagLength(const char* open, const char* end) {
    const char* at = open + 1;
    auto digitRun = [&] {
        const char* start = at;
        while (at < end && *at >= '0' && *at <= '9') ++at;
        return at > start && at < end;
    };
    if (!digitRun() || *at != ':') return 0;
    ++at;
    if (!digitRun() || (*at != '.' && *at != ':')) return 0;
    ++at;
    if (!digitRun() || *at != ']') return 0;
    return static_cast<std::size_t>(at + 1 - open);
}

struct Tag {
    std::uint32_t begin;
    std::uint32_t end;
};

// The matches of the tag pattern one after another, as a leftmost search resumed after each
// match finds them. Almost every tag is written [mm:ss.xx]; plainTagLength() recognises that
// shape without the matcher, and the pattern decides everywhere else.
class TagScanner {
  public:
    explicit TagScanner(const GbkText& text)
        : base_(text.data()), end_(base_ + text.size()), from_(base_) {}

    std::optional<Tag> next() {
        if (from_ >= end_) return std::nullopt;
        const auto* open = static_cast<const char*>(std::memchr(from_, '[', end_ - from_));
        if (!open) {
            from_ = end_;
            return std::nullopt;
        }
        const char* close = open + plainTagLength(open, end_);
        if (close == open) {
            if (!boost::regex_search(open, end_, match_, tagPattern())) {
                from_ = end_;
                return std::nullopt;
            }
            open = match_[0].first;
            close = match_[0].second;
        }
        from_ = close;
        return Tag{static_cast<std::uint32_t>(open - base_),
                   static_cast<std::uint32_t>(close - base_)};
    }

  private:
    const char* base_;
    const char* end_;
    const char* from_;
    boost::cmatch match_;
};

// A line holding tags: where it lies and which tags (a run of the tag list) stand on it.
struct TaggedLine {
    std::uint32_t begin;
    std::uint32_t end;
    std::uint32_t firstTag;
    std::uint32_t tagCount;
    std::uint32_t firstEntry = kNoEntry;  // the entry that got the line's text first
    static constexpr std::uint32_t kNoEntry = std::numeric_limits<std::uint32_t>::max();
};

// Writes into `lyric` the text of `line`: the line without its tags, untrimmed. Header lines
// never give lyric text, so a tag written on one gets an empty text. `lyric` keeps its
// buffer, so a table parsed again reuses its strings.
void writeLineText(const GbkText& text, const TaggedLine& line, const std::vector<Tag>& tags,
                   GbkText& lyric) {
    lyric.clear();
    const std::string_view whole(text.data() + line.begin, line.end - line.begin);
    if (LrcReader::isHeaderLine(whole)) return;
    std::size_t copied = line.begin;
    // Appends up to the length a line may have; false once it is reached.
    auto append = [&](std::size_t from, std::size_t count) {
        const std::size_t room = LrcReader::kMaxLineBytes - lyric.size();
        lyric.append(text, from, std::min(count, room));
        return count < room;
    };
    for (std::uint32_t t = line.firstTag; t < line.firstTag + line.tagCount; ++t) {
        // A tag broken across a line end is no tag of this line's text; it can only be last.
        if (tags[t].end > line.end) break;
        if (!append(copied, tags[t].begin - copied)) break;
        copied = tags[t].end;
    }
    if (lyric.size() < LrcReader::kMaxLineBytes) append(copied, line.end - copied);
    // A cut never leaves half a character behind.
    if (lyric.size() == LrcReader::kMaxLineBytes) {
        std::size_t end = 0;
        while (end < lyric.size()) {
            const std::size_t next =
                end + (gbk::isLeadByte(static_cast<unsigned char>(lyric[end])) ? 2 : 1);
            if (next > lyric.size()) break;
            end = next;
        }
        lyric.resize(end);
    }
}

// The bytes the line's text takes in each of its entries, at most kMaxLineBytes.
std::size_t lineTextBytes(const GbkText& text, const TaggedLine& line,
                          const std::vector<Tag>& tags) {
    if (LrcReader::isHeaderLine(std::string_view(text.data() + line.begin, line.end - line.begin)))
        return 0;
    std::size_t bytes = line.end - line.begin;
    for (std::uint32_t t = line.firstTag; t < line.firstTag + line.tagCount; ++t) {
        if (tags[t].end > line.end) break;
        bytes -= tags[t].end - tags[t].begin;
    }
    return std::min(bytes, LrcReader::kMaxLineBytes);
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

bool parseText(const GbkText& text, LyricTable& table, bool* tooLarge) {
    // Positions are kept in 32 bits.
    if (text.size() > std::numeric_limits<std::uint32_t>::max()) return false;

    // Tags and lines are found in one walk, so each stretch of a long text is read while it
    // is still in the cache.
    TagScanner scanner(text);
    LineWalker walker(text);
    std::vector<Tag> tags;
    std::vector<TaggedLine> lines;
    std::vector<std::pair<std::int32_t, std::uint32_t>> order;  // (time, index into lines)
    for (std::optional<Tag> tag = scanner.next(); tag;) {
        const Span span = walker.lineAt(tag->begin);
        TaggedLine line{static_cast<std::uint32_t>(span.begin),
                        static_cast<std::uint32_t>(span.end),
                        static_cast<std::uint32_t>(tags.size()), 0};
        for (; tag && tag->begin < span.end; tag = scanner.next()) {
            const std::optional<std::int32_t> time = LrcReader::tagTime(
                std::string_view(text).substr(tag->begin, tag->end - tag->begin));
            if (!time) return false;
            order.emplace_back(*time, static_cast<std::uint32_t>(lines.size()));
            tags.push_back(*tag);
            ++line.tagCount;
        }
        lines.push_back(line);
    }
    // Equal times keep file order. Most files already ascend and skip the sort.
    auto earlier = [](const auto& a, const auto& b) { return a.first < b.first; };
    if (!std::is_sorted(order.begin(), order.end(), earlier)) {
        std::stable_sort(order.begin(), order.end(), earlier);
    }
    // Every entry holds its own copy of its line's text: what they take together is known
    // before any is made.
    const std::size_t budget = text.size() * LrcReader::kMemoryFactor + LrcReader::kMemoryAllowance;
    std::size_t needed = order.size() * sizeof(LyricLine);
    for (const TaggedLine& line : lines) {
        needed += lineTextBytes(text, line, tags) * line.tagCount;
        if (needed > budget) {
            if (tooLarge) *tooLarge = true;
            return false;
        }
    }
    std::array<GbkText, kHeaderCount> headers = headerValues(text);

    // Nothing fails from here on, so the table is filled in place. Each line's text is built
    // once, by the first of its entries; the others copy it.
    table.lines.resize(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        TaggedLine& line = lines[order[i].second];
        LyricLine& entry = table.lines[i];
        entry.time = order[i].first;
        if (line.firstEntry == TaggedLine::kNoEntry) {
            writeLineText(text, line, tags, entry.text);
            line.firstEntry = static_cast<std::uint32_t>(i);
        } else {
            entry.text = table.lines[line.firstEntry].text;
        }
    }
    table.title = std::move(headers[0]);
    table.artist = std::move(headers[1]);
    table.album = std::move(headers[2]);
    table.author = std::move(headers[3]);
    table.offset = readOffset(headers[4]);
    return true;
}

}  // namespace

bool LrcReader::parse(const GbkText& text, LyricTable& table, bool* tooLarge) {
    if (tooLarge) *tooLarge = false;
    // Boost.Regex gives up with an exception when a text makes it backtrack without end, as
    // a tag opening tens of thousands of digits does. Such a file fails to load; it must not
    // take the program down.
    try {
        return parseText(text, table, tooLarge);
    } catch (const std::bad_alloc&) {
        if (tooLarge) *tooLarge = true;
        return false;
    } catch (const std::exception&) {
        return false;
    }
}
