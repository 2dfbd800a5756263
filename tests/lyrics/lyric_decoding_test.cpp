#include "lyrics/lyric_decoding.hpp"

#include <gtest/gtest.h>

#include <string>

#include "text/codepage.hpp"

namespace {

using namespace std::string_literals;

// "星光" is D0 C7 B9 E2 in GBK, E6 98 9F E5 85 89 in UTF-8 and U+661F U+5149 in UTF-16.
TEST(LyricDecoding, EachEncodingBecomesTheSameGbkText) {
    const struct {
        const char* name;
        std::string bytes;
        LyricEncoding encoding;
    } cases[] = {
        {"gbk", "[00:01]\xD0\xC7\xB9\xE2\r\n", LyricEncoding::Gbk},
        {"utf-8", "[00:01]\xE6\x98\x9F\xE5\x85\x89\r\n", LyricEncoding::Utf8},
        {"utf-8 bom", "\xEF\xBB\xBF[00:01]\xE6\x98\x9F\xE5\x85\x89\r\n", LyricEncoding::Utf8Bom},
        {"utf-16le bom",
         "\xFF\xFE[\0"
         "0\0"
         "0\0:\0"
         "0\0"
         "1\0]\0\x1F\x66\x49\x51\r\0\n\0"s,
         LyricEncoding::Utf16LeBom},
        {"utf-16be bom",
         "\xFE\xFF\0[\0"
         "0\0"
         "0\0:\0"
         "0\0"
         "1\0]\x66\x1F\x51\x49\0\r\0\n"s,
         LyricEncoding::Utf16BeBom},
    };
    for (const auto& c : cases) {
        const DecodedLyric decoded = decodeLyricBytes(c.bytes);
        EXPECT_EQ(decoded.text, "[00:01]\xD0\xC7\xB9\xE2\r\n") << c.name;
        EXPECT_EQ(decoded.encoding, c.encoding) << c.name;
    }
}

TEST(LyricDecoding, TextEndsAtTheFirstNulCharacter) {
    EXPECT_EQ(decodeLyricBytes("[00:01]a\0[00:02]b"s).text, "[00:01]a");
    EXPECT_EQ(decodeLyricBytes("\xEF\xBB\xBF"
                               "a\0b"s)
                  .text,
              "a");
    // In UTF-16 only a whole zero unit ends the text, not the zero half of "a".
    EXPECT_EQ(decodeLyricBytes("\xFF\xFE"
                               "a\0b\0\0\0c\0"s)
                  .text,
              "ab");
    EXPECT_EQ(decodeLyricBytes("\xFE\xFF\0a\0\0\0c"s).text, "a");
    EXPECT_EQ(decodeLyricBytes("\0abc"s).text, "");
    EXPECT_EQ(decodeLyricBytes("\xFF\xFE"
                               "a\0b"s)
                  .text,
              "a");  // half a unit at the end
}

TEST(LyricDecoding, GbkThatIsNotUtf8IsKeptByteForByte) {
    // "\xC4\xE3\xBA\xC3" (你好) is not UTF-8; 0x80 (the euro sign in code page 936) neither.
    for (const std::string& bytes : {"\xC4\xE3\xBA\xC3 [00:01]"s, "\x80\xA1\xA1"s, "\xFF\xFF"s}) {
        EXPECT_EQ(decodeLyricBytes(bytes).text, bytes);
        EXPECT_EQ(decodeLyricBytes(bytes).encoding, LyricEncoding::Gbk);
    }
    // Plain ASCII needs no decision: it reads the same either way.
    EXPECT_EQ(decodeLyricBytes("[00:01]la").encoding, LyricEncoding::Gbk);
}

TEST(LyricDecoding, UnicodeWithoutGbkFormBecomesQuestionMarks) {
    // U+1F600 (a surrogate pair in UTF-16) and U+0E01 (Thai) have no GBK form.
    EXPECT_EQ(decodeLyricBytes("a\xF0\x9F\x98\x80\xE0\xB8\x81"
                               "b")
                  .text,
              "a??b");
    EXPECT_EQ(decodeLyricBytes("\xFF\xFE"
                               "a\0\x3D\xD8\x00\xDE"
                               "b\0"s)
                  .text,
              "a?b");
}

}  // namespace
