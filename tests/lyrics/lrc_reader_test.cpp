#include "lyrics/lrc_reader.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <boost/regex.hpp>
#include <climits>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

// Readable failures: time and text instead of the object's bytes.
static void PrintTo(const LyricLine& line, std::ostream* out) {
    *out << "{" << line.time << ", " << testing::PrintToString(line.text) << "}";
}

namespace {

LyricTable parsed(const GbkText& text) {
    LyricTable table;
    EXPECT_TRUE(LrcReader::parse(text, table));
    return table;
}

std::vector<LyricLine> lines(const GbkText& text) { return parsed(text).lines; }

TEST(LrcTagTime, FractionsArePartsOfASecond) {
    const struct {
        const char* tag;
        std::int32_t ms;
    } cases[] = {
        {"[01:23.45]", 83450},     {"[01:23.456]", 83456}, {"[01:23.4]", 83400},
        {"[12:34:56]", 754560},    {"[00:05]", 5000},      {"[:.]", 0},
        {"[1:2]", 62000},          {"[00:01.2345]", 1234}, {"[00:75.00]", 75000},
        {"[00:01.05]", 1050},      {"[1:]]", 60000},       {"[00:03.]", 3000},
        {"[0003:0004.5]", 184500},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LrcReader::tagTime(c.tag), c.ms) << c.tag;
        const auto table = lines(std::string(c.tag) + "x");
        ASSERT_EQ(table.size(), 1u) << c.tag;
        EXPECT_EQ(table[0].time, c.ms) << c.tag;
    }
}

TEST(LrcTagTime, TimesBeyondThirtyTwoBitsSaturate) {
    EXPECT_EQ(LrcReader::tagTime("[35791:23.647]"), INT_MAX);  // exactly 2^31 - 1
    EXPECT_EQ(LrcReader::tagTime("[35791:23.648]"), INT_MAX);
    EXPECT_EQ(LrcReader::tagTime("[99999999999999999999999:00.00]"), INT_MAX);
    EXPECT_EQ(LrcReader::tagTime("[0:99999999999999999999999.00]"), INT_MAX);
    EXPECT_EQ(LrcReader::tagTime("[35791:23.646]"), INT_MAX - 1);
}

TEST(LrcReader, SeveralTagsOnOneLineGiveOneEntryEach) {
    const auto got = lines("[00:10.00][00:20.00]Hi\r\n");
    EXPECT_EQ(got, (std::vector<LyricLine>{{10000, "Hi"}, {20000, "Hi"}}));
}

TEST(LrcReader, EachTagTakesTheTextOfItsOwnLine) {
    const auto got = lines("[00:12.00]A\r\n[00:13.00]mid\r\n[00:12.00]B\r\n");
    EXPECT_EQ(got, (std::vector<LyricLine>{{12000, "A"}, {12000, "B"}, {13000, "mid"}}));
}

TEST(LrcReader, TagsInsideTheTextAreRemovedAndTheRestIsKeptUntrimmed) {
    const auto got = lines("[00:01.00]  \xD0\xC7[00:02.00]\xB9\xE2 \r\n[00:03.00]\r\n");
    EXPECT_EQ(got, (std::vector<LyricLine>{
                       {1000, "  \xD0\xC7\xB9\xE2 "}, {2000, "  \xD0\xC7\xB9\xE2 "}, {3000, ""}}));
}

TEST(LrcReader, EveryKindOfLineEndEndsALine) {
    for (const char* eol : {"\r\n", "\n", "\r"}) {
        const std::string e = eol;
        const auto got = lines("[ti:x]" + e + "[00:01.00]one" + e + e + "[00:02.00]two" + e);
        EXPECT_EQ(got, (std::vector<LyricLine>{{1000, "one"}, {2000, "two"}}))
            << "line end " << static_cast<int>(e.back());
        EXPECT_EQ(parsed("[ti:x]" + e + "[00:01.00]one").title, "x");
    }
    // Mixed ends in one file, and a last line without an end.
    EXPECT_EQ(lines("[00:01]a\r[00:02]b\n[00:03]c\r\n[00:04]d"),
              (std::vector<LyricLine>{{1000, "a"}, {2000, "b"}, {3000, "c"}, {4000, "d"}}));
}

TEST(LrcReader, EntriesAreOrderedByTimeAndEqualTimesKeepFileOrder) {
    EXPECT_EQ(
        lines("[00:05.00]five\r\n[00:03.00]first three\r\n[00:03.00]second three\r\n"),
        (std::vector<LyricLine>{{3000, "first three"}, {3000, "second three"}, {5000, "five"}}));
    // A chorus tagged twice on one line interleaves with the lines between.
    EXPECT_EQ(lines("[00:01]a\r\n[00:02][00:04]chorus\r\n[00:03]b\r\n[00:04]c\r\n"),
              (std::vector<LyricLine>{
                  {1000, "a"}, {2000, "chorus"}, {3000, "b"}, {4000, "chorus"}, {4000, "c"}}));
}

TEST(LrcReader, ReadsHeaderFieldsCaseSensitivelyWithoutBlanks) {
    const LyricTable table = parsed(
        "[ti:Song]\r\n[ar:Singer]\r\n[al:\xB8\xE8]\r\n[by:me]\r\n[offset:500]\r\n[00:01.00]x\r\n");
    EXPECT_EQ(table.title, "Song");
    EXPECT_EQ(table.artist, "Singer");
    EXPECT_EQ(table.album, "\xB8\xE8");
    EXPECT_EQ(table.author, "me");
    EXPECT_EQ(table.offset, 500);
    EXPECT_EQ(table.lines, (std::vector<LyricLine>{{1000, "x"}}));  // the offset moves nothing

    const LyricTable other = parsed("[TI:Upper]\r\n[ti:Two Words]\r\n[ar:]\r\n[offset:-200]\r\n");
    EXPECT_EQ(other.title, "");
    EXPECT_EQ(other.artist, "");
    EXPECT_EQ(other.offset, -200);
    EXPECT_EQ(parsed("[offset:+30ms]").offset, 30);
    EXPECT_EQ(parsed("[offset:]").offset, 0);
    // The value is the longest run of non-blanks that still ends in a bracket.
    EXPECT_EQ(parsed("[ti:a]b]\r\n").title, "a]b");
    // 0xA0 is no blank in GBK text (it is a trail byte here).
    EXPECT_EQ(parsed("[ti:\xB0\xA0]").title, "\xB0\xA0");
}

TEST(LrcReader, HeaderLinesNeverGiveLyricText) {
    // A tag written on a header line (any letter case) gets an empty text.
    EXPECT_EQ(lines("[ti:x][00:01.00]\r\n[00:02.00]real\r\n"),
              (std::vector<LyricLine>{{1000, ""}, {2000, "real"}}));
    EXPECT_EQ(lines("[AR:x][00:01.00]sung\r\n[Offset:1][00:02.00]y\r\n"),
              (std::vector<LyricLine>{{1000, ""}, {2000, ""}}));
    // "[tim" starts like "[ti", so such a line counts as a header line too.
    EXPECT_EQ(lines("[time][00:01.00]z"), (std::vector<LyricLine>{{1000, ""}}));
}

TEST(LrcReader, TextWithoutTagsIsAnEmptySuccess) {
    LyricTable table;
    table.lines = {{1, "old"}};
    table.title = "old";
    table.offset = 9;
    ASSERT_TRUE(LrcReader::parse("", table));
    EXPECT_EQ(table.count(), 0);
    EXPECT_EQ(table.title, "");
    EXPECT_EQ(table.offset, 0);
    ASSERT_TRUE(LrcReader::parse("plain text\r\n[ar:x]\r\n[00:aa]\r\n", table));
    EXPECT_EQ(table.count(), 0);
    EXPECT_EQ(table.artist, "x");
}

TEST(LrcReader, ATagBrokenByALineEndStaysOnItsFirstLine) {
    // "." takes any byte, so "[00:0" + LF + "]" is one tag; its line keeps the broken tag.
    EXPECT_EQ(lines("[00:0\n]x\n[00:01]y"), (std::vector<LyricLine>{{0, "[00:0"}, {1000, "y"}}));
}

TEST(LrcReader, TextThatDefeatsThePatternMatcherFailsAndKeepsTheTable) {
    LyricTable table;
    ASSERT_TRUE(LrcReader::parse("[ti:kept]\r\n[00:01.00]kept\r\n", table));
    const LyricTable before = table;
    EXPECT_FALSE(LrcReader::parse("[00:01]x\r\n[0:" + std::string(30000, '1'), table));
    EXPECT_EQ(table.lines, before.lines);
    EXPECT_EQ(table.title, "kept");
}

// The reader taken straight from its definition, with none of the shortcuts that make the
// real one fast: every match of the tag pattern over the whole text; each tag's line cut out
// and cleared of the pattern's matches by the pattern itself; a stable sort; each header from
// its first match.
LyricTable referenceParse(const std::string& text) {
    const boost::regex tag(R"(\[[0-9]*:[0-9]*.[0-9]*\])", boost::regex::perl | boost::regex::mod_s);
    LyricTable table;
    for (boost::sregex_iterator it(text.begin(), text.end(), tag), end; it != end; ++it) {
        const auto at = static_cast<std::size_t>(it->position());
        std::size_t begin = at;
        while (begin > 0 && text[begin - 1] != '\r' && text[begin - 1] != '\n') --begin;
        const std::size_t stop = std::min(text.find_first_of("\r\n", at), text.size());
        const std::string line = text.substr(begin, stop - begin);
        table.lines.push_back(
            {*LrcReader::tagTime(it->str()),
             LrcReader::isHeaderLine(line) ? "" : boost::regex_replace(line, tag, "")});
    }
    std::stable_sort(table.lines.begin(), table.lines.end(),
                     [](const LyricLine& a, const LyricLine& b) { return a.time < b.time; });
    auto header = [&](const std::string& key) -> std::string {
        boost::smatch match;
        const boost::regex pattern("\\[" + key + ":[^ \t\n\v\f\r]*\\]");
        if (!boost::regex_search(text, match, pattern)) return "";
        return match.str().substr(key.size() + 2, match.length() - key.size() - 3);
    };
    table.title = header("ti");
    table.artist = header("ar");
    table.album = header("al");
    table.author = header("by");
    return table;
}

TEST(LrcReader, AgreesWithTheReaderTakenStraightFromItsDefinition) {
    // Whole tags, headers and line ends, and near-tags built from runs of digits and the
    // bytes that matter to the pattern, so odd and broken tags come up often.
    const char* const pieces[] = {
        "[00:01.00]", "[01:02.345]", "[00:05]", "\r\n", "\n",     "\r", " a",
        "\xB0\xA1",   "\xB0",        "[ti:",    "[AR:", "[al:x]", "|"};
    const char punctuation[] = {':', '.', ']', '[', 'a', '\n', '\r', '\xB0'};
    std::mt19937 random(20261208);
    auto nearTag = [&] {
        std::string tag = "[";
        for (int part = 0; part < 3; ++part) {
            tag.append(random() % 3, static_cast<char>('0' + random() % 10));
            tag += part < 2 && random() % 4 != 0 ? (part == 0 ? ':' : '.')
                                                 : punctuation[random() % std::size(punctuation)];
        }
        return tag;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int count = static_cast<int>(random() % 16);
        for (int i = 0; i < count; ++i) {
            text += random() % 2 ? nearTag() : pieces[random() % std::size(pieces)];
        }
        const LyricTable expected = referenceParse(text);
        const LyricTable got = parsed(text);
        ASSERT_EQ(got.lines, expected.lines) << testing::PrintToString(text);
        ASSERT_EQ(got.title, expected.title) << testing::PrintToString(text);
        ASSERT_EQ(got.artist, expected.artist) << testing::PrintToString(text);
        ASSERT_EQ(got.album, expected.album) << testing::PrintToString(text);
        ASSERT_EQ(got.author, expected.author) << testing::PrintToString(text);
    }
}

TEST(LrcReader, LongFilesKeepEveryLine) {
    std::string text;
    char line[48];
    for (int i = 0; i < 3000; ++i) {
        std::snprintf(line, sizeof line, "[%d:%d.50]l%d\r\n", i / 60, i % 60, i);
        text += line;
    }
    const auto got = lines(text);
    ASSERT_EQ(got.size(), 3000u);
    EXPECT_EQ(got[1234], (LyricLine{1234500, "l1234"}));
    EXPECT_EQ(got.back(), (LyricLine{2999500, "l2999"}));
}

// Many tags in front of one long line: each entry holds a copy of the line, so without a bound
// a 240 KB file asked for gigabytes.
TEST(LrcReader, ManyTagsOnALongLineStayWithinASmallMultipleOfTheFile) {
    std::string tags;
    for (int i = 0; i < 20000; ++i) tags += "[0:" + std::to_string(i % 60) + ".0]";
    // The line ends in a two-byte character that the cut would split.
    const std::string line =
        std::string(LrcReader::kMaxLineBytes - 1, 'x') + "\xD6\xD0" + std::string(100000, 'y');
    const GbkText text = tags + line + "\r\n";
    LyricTable table;
    bool tooLarge = true;
    ASSERT_TRUE(LrcReader::parse(text, table, &tooLarge));
    EXPECT_FALSE(tooLarge);
    ASSERT_EQ(table.lines.size(), 20000u);
    std::size_t bytes = 0;
    for (const LyricLine& entry : table.lines) {
        EXPECT_EQ(entry.text, std::string(LrcReader::kMaxLineBytes - 1, 'x'));
        bytes += entry.text.capacity() + sizeof entry;
    }
    EXPECT_LE(bytes, text.size() * LrcReader::kMemoryFactor + LrcReader::kMemoryAllowance);

    // Shorter tags and longer lines still: refused as too large, the table left as it was.
    std::string more;
    for (int i = 0; i < 60000; ++i) more += "[:1]";
    EXPECT_FALSE(LrcReader::parse(more + std::string(300, 'z'), table, &tooLarge));
    EXPECT_TRUE(tooLarge);
    EXPECT_EQ(table.lines.size(), 20000u);
    EXPECT_TRUE(LrcReader::parse("[00:01]\xD6\xD0", table, &tooLarge));
    EXPECT_FALSE(tooLarge);
}

}  // namespace
