#include "text/gbk_text.hpp"

#include <gtest/gtest.h>

#include "text/codepage.hpp"

namespace {

// "中" is D6 D0 and "啊" is B0 A1 in GBK; 0xD0 0xD6 in a row spells a false "中" across
// two characters in "兄中" style texts, which searches must not match.
TEST(GbkFind, MatchesOnlyAtCharacterStarts) {
    const GbkText text = "\xB0\xD6\xD0\xB0";  // two characters: B0 D6, D0 B0
    EXPECT_FALSE(gbk::find(text, "\xD6\xD0").has_value());
    EXPECT_EQ(gbk::find("a\xD6\xD0"
                        "b",
                        "\xD6\xD0"),
              1u);
    EXPECT_EQ(gbk::find("\xD6\xD0"
                        "A\xD6\xD0",
                        "\xD6\xD0", 1),
              3u);
    EXPECT_FALSE(gbk::find("abc", "x").has_value());
    EXPECT_EQ(gbk::find("abc", ""), 0u);
}

TEST(GbkFind, TrailByteThatLooksLikeAsciiIsNotMatched) {
    // B0 41 is one character whose second byte is 'A'.
    EXPECT_FALSE(gbk::find("\xB0"
                           "A",
                           "A")
                     .has_value());
    EXPECT_EQ(gbk::find("\xB0"
                        "AA",
                        "A"),
              2u);
}

TEST(GbkSplit, FollowsTheSplitRule) {
    using V = std::vector<GbkText>;
    EXPECT_EQ(gbk::split("", ","), V{});
    EXPECT_EQ(gbk::split("a,b", ","), (V{"a", "b"}));
    EXPECT_EQ(gbk::split("a,,b,", ","), (V{"a", "", "b"}));
    EXPECT_EQ(gbk::split(",", ","), (V{""}));
    EXPECT_EQ(gbk::split("\r\n\r\nQQ\r\n", "\r\n"), (V{"", "", "QQ"}));
}

TEST(GbkTextBetween, FirstStartThenNextEnd) {
    EXPECT_EQ(gbk::textBetween("x[a]y[b]", "[", "]"), "a");
    EXPECT_EQ(gbk::textBetween("no start]", "[", "]"), "");
    EXPECT_EQ(gbk::textBetween("[no end", "[", "]"), "");
    EXPECT_EQ(gbk::textBetween("////开始k=是</p>////结束", "////开始", "////结束"), "k=是</p>");
    EXPECT_EQ(gbk::textBetween("]x[", "[", "]"), "");
}

TEST(GbkReplaceAll, LeftToRightWithoutOverlap) {
    EXPECT_EQ(gbk::replaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(gbk::replaceAll("a><br><b><br><", "><br><", "\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(gbk::replaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(gbk::replaceAll("\xB0\xD6\xD0\xB0", "\xD6\xD0", "x"), "\xB0\xD6\xD0\xB0");
}

TEST(GbkCharacters, TwoByteCharactersStayWhole) {
    const auto chars = gbk::characters(
        "a\xD6\xD0"
        "b\xFF");
    ASSERT_EQ(chars.size(), 4u);
    EXPECT_EQ(chars[1], "\xD6\xD0");
    EXPECT_EQ(chars[3], "\xFF");  // a lead byte at the very end stands alone
}

TEST(GbkHalfWidth, ConvertsFullWidthFormsOnly) {
    EXPECT_EQ(gbk::toHalfWidth("ＡＢ你好"), "AB你好");
    EXPECT_EQ(gbk::toHalfWidth("\xA1\xA1\xA1\xAB\xA1\xEE\xA1\xEF"), " ~**");
    EXPECT_EQ(gbk::toHalfWidth("！～"), "!~");
}

TEST(GbkTrimBlanks, RemovesAsciiAndFullWidthSpacesAtBothEnds) {
    EXPECT_EQ(gbk::trimBlanks("  a b \xA1\xA1 "), "a b");
    EXPECT_EQ(gbk::trimBlanks("\xA1\xA1x"), "x");
    // B0 A1 ends in A1 but is a character, not half a full-width space.
    EXPECT_EQ(gbk::trimBlanks("\xB0\xA1\xA1"), "\xB0\xA1\xA1");
    EXPECT_EQ(gbk::trimBlanks("   "), "");
}

TEST(GbkIgnoringCase, FoldsAsciiLettersButNotTrailBytes) {
    EXPECT_TRUE(gbk::equalsIgnoringCase("Song\xB8\xE8.LRC", "sONG\xB8\xE8.lrc"));
    // 0x81 0x41 and 0x81 0x61 are two different characters.
    EXPECT_FALSE(gbk::equalsIgnoringCase("\x81\x41", "\x81\x61"));
    EXPECT_FALSE(gbk::equalsIgnoringCase("ab", "abc"));
    EXPECT_TRUE(gbk::endsWithIgnoringCase("\xD0\xC7.LrC", ".lrc"));
    EXPECT_FALSE(gbk::endsWithIgnoringCase("lrc", ".lrc"));
}

TEST(CodePage, RoundTripsChineseBetweenGbkAndUtf8) {
    const GbkText gbkText = "开始字幕 ok";
    const std::string utf8 = codepage::gbkToUtf8(gbkText);
    EXPECT_EQ(utf8, reinterpret_cast<const char*>(u8"开始字幕 ok"));
    EXPECT_EQ(codepage::utf8ToGbk(utf8), gbkText);
}

TEST(CodePage, CharactersWithoutGbkFormBecomeQuestionMarks) {
    EXPECT_EQ(codepage::utf8ToGbk("a\xF0\x9F\x98\x80"
                                  "b"),
              "a?b");
    EXPECT_EQ(codepage::utf8ToGbk("a\xFF"
                                  "b"),
              "a?b");
    // ASCII runs skip the converter; what they border reads as it does through it.
    for (const std::string_view mixed : {"\xE4\xB8x\xE4\xB8\xAD", "<p>\xC3</p>\xF0\x9F",
                                         "\x80\x80"
                                         "a"})
        EXPECT_EQ(codepage::utf8ToGbk(mixed), codepage::utf16ToGbk(codepage::utf8ToUtf16(mixed)));
}

TEST(CodePage, Utf8Validation) {
    EXPECT_TRUE(codepage::isValidUtf8(reinterpret_cast<const char*>(u8"歌词 abc")));
    EXPECT_FALSE(codepage::isValidUtf8("\xB8\xE8\xB4\xCA"));  // 歌词 in GBK
    EXPECT_FALSE(codepage::isValidUtf8("\xC0\x80"));          // overlong NUL
    EXPECT_FALSE(codepage::isValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(codepage::isValidUtf8("\xE6\xAD"));          // cut short
}

TEST(GbkText, PathsAreCutOnlyAtSeparatorsThatAreCharactersOfTheirOwn) {
    struct Case {
        const char* path;
        std::size_t start;
    };
    const Case cases[] = {
        {"song.lrc", 0},
        {"samples/song.lrc", 8},
        {"C:\\lyrics\\song.lrc", 10},
        {"a/b\\c.lrc", 4},
        {"dir/", 4},
        // 0x81 0x5C is one GBK character whose second byte looks like a backslash.
        {"dir/\x81\x5C.lrc", 4},
        {"\x81\x5C\\x.lrc", 3},
        {"\x81\x5C", 0},  // a folder whose last character ends in 0x5C
        {"\x81\x5C\\", 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gbk::fileNameStart(c.path), c.start) << c.path;
        EXPECT_EQ(gbk::endsWithSeparator(c.path), c.start == std::string_view(c.path).size())
            << c.path;
    }
}

}  // namespace
