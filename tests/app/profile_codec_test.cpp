#include "app/profile_codec.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ReadCase {
    const char* name;
    const char* section;
    const char* key;
    const char* expected;
};

// Reading rules over one file that holds every awkward shape at once.
const std::string kFile =
    "; a comment line\r\n"
    "  [Main]  \r\n"
    "plain=value\r\n"
    "  padded  =  \t spaced value \t \r\n"
    "double=\"quoted\"\r\n"
    "single='quoted'\r\n"
    "inner=\" kept inside \"\r\n"
    "mixed=\"not closed'\r\n"
    "lone=\"\r\n"
    "emptyquotes=\"\"\r\n"
    "cr=before\rafter=1\r\n"
    "lf=first\nsecond\r\n"
    "empty=\r\n"
    "eq=a=b\r\n"
    "dup=first\r\n"
    "dup=second\r\n"
    "fullwidth=\xA1\xA1x\xA1\xA1\r\n"
    "\r\n"
    "[\xB1\xE0\xBC\xAD\xBF\xF2]\r\n"         // 编辑框
    "\xB9\xFD\xC2\xCB=\xD6\xD0\xCE\xC4\r\n"  // 过滤=中文
    "\x81\x61=lower trail\r\n"               // a character whose trail byte is 'a'
    "[Main]\r\n"
    "later=only in the second Main\r\n";

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, FollowsTheProfileReadingRules) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(profile::getString(kFile, c.section, c.key, "DEF"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRead,
    ::testing::Values(
        ReadCase{"Plain", "Main", "plain", "value"},
        ReadCase{"SectionAndKeyIgnoreAsciiCase", "mAIN", "PLAIN", "value"},
        ReadCase{"BlanksAroundNameAndValueGo", "Main", "padded", "spaced value"},
        ReadCase{"DoubleQuotesGo", "Main", "double", "quoted"},
        ReadCase{"SingleQuotesGo", "Main", "single", "quoted"},
        ReadCase{"BlanksInsideQuotesStay", "Main", "inner", " kept inside "},
        ReadCase{"MismatchedQuotesStay", "Main", "mixed", "\"not closed'"},
        ReadCase{"LoneQuoteStays", "Main", "lone", "\""},
        ReadCase{"EmptyQuotesGiveEmpty", "Main", "emptyquotes", ""},
        ReadCase{"LoneCrEndsTheValue", "Main", "cr", "before"},
        ReadCase{"TextAfterLoneCrIsALineOfItsOwn", "Main", "after", "1"},
        ReadCase{"LoneLfEndsTheValue", "Main", "lf", "first"},
        ReadCase{"EmptyValueIsEmptyNotDefault", "Main", "empty", ""},
        ReadCase{"FirstEqualsSeparates", "Main", "eq", "a=b"},
        ReadCase{"FirstDuplicateWins", "Main", "dup", "first"},
        ReadCase{"FullWidthSpaceIsText", "Main", "fullwidth", "\xA1\xA1x\xA1\xA1"},
        ReadCase{"GbkSectionAndKey", "\xB1\xE0\xBC\xAD\xBF\xF2", "\xB9\xFD\xC2\xCB",
                 "\xD6\xD0\xCE\xC4"},
        ReadCase{"TrailByteIsNotCaseFolded", "\xB1\xE0\xBC\xAD\xBF\xF2", "\x81\x41", "DEF"},
        ReadCase{"KeysOfOtherSectionsAreNotSeen", "\xB1\xE0\xBC\xAD\xBF\xF2", "plain", "DEF"},
        ReadCase{"OnlyTheFirstSectionOfANameCounts", "Main", "later", "DEF"},
        ReadCase{"CommentIsNoKey", "Main", "; a comment line", "DEF"},
        ReadCase{"MissingSectionGivesDefault", "Nope", "plain", "DEF"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileRead, LongValueIsCutToTheBufferLessOne) {
    const std::string content = "[S]\r\nk=" + std::string(12000, 'x') + "\r\n";
    EXPECT_EQ(profile::getString(content, "S", "k", "").size(), 10239u);
    EXPECT_EQ(profile::getString(content, "S", "k", "", 4), "xxx");
    EXPECT_EQ(profile::getString(content, "S", "k", "", 1), "");
    EXPECT_EQ(profile::getString(content, "S", "k", "", 0), "");
}

TEST(ProfileRead, CutNeverSplitsATwoByteCharacter) {
    const std::string content = "[S]\r\nk=\xD6\xD0\xCE\xC4\xD6\xD0\r\n";  // 中文中
    EXPECT_EQ(profile::getString(content, "S", "k", "", 5), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(profile::getString(content, "S", "k", "", 6), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(profile::getString(content, "S", "k", "", 7), "\xD6\xD0\xCE\xC4\xD6\xD0");
}

TEST(ProfileRead, QuotesGoBeforeTheCut) {
    EXPECT_EQ(profile::getString("[S]\r\nk=\"abcdef\"\r\n", "S", "k", "", 4), "abc");
}

struct WriteCase {
    const char* name;
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
};

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, FollowsTheProfileWritingRules) {
    const WriteCase& c = GetParam();
    std::string content = c.before;
    profile::setString(content, c.section, c.key, c.value);
    EXPECT_EQ(content, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileWrite,
    ::testing::Values(
        WriteCase{"FreshFile", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
        WriteCase{"NewKeyGoesAtTheEndOfItsSection", "[S]\r\na=1\r\n[T]\r\nb=2\r\n", "S", "k", "v",
                  "[S]\r\na=1\r\nk=v\r\n[T]\r\nb=2\r\n"},
        WriteCase{"NewKeyGoesBeforeBlankLinesAfterTheSection",
                  "[S]\r\na=1\r\n\r\n\r\n[T]\r\nb=2\r\n", "S", "k", "v",
                  "[S]\r\na=1\r\nk=v\r\n\r\n\r\n[T]\r\nb=2\r\n"},
        WriteCase{"NewKeyInAnEmptySection", "[S]\r\n[T]\r\n", "S", "k", "v",
                  "[S]\r\nk=v\r\n[T]\r\n"},
        WriteCase{"ExistingKeyIsReplacedInPlace", "x\r\n[S]\r\n a = old \r\nb=2\r\n", "S", "a",
                  "new", "x\r\n[S]\r\na=new\r\nb=2\r\n"},
        WriteCase{"ReplaceKeepsTheStoredSpellingAndLineEnd", "[S]\nKey=old\n", "s", "KEY", "new",
                  "[S]\nKey=new\n"},
        WriteCase{"NewSectionIsAppended", "[S]\r\na=1\r\n", "T", "k", "v",
                  "[S]\r\na=1\r\n[T]\r\nk=v\r\n"},
        WriteCase{"MissingFinalBreakIsAddedFirst", "[S]\r\na=1", "S", "k", "v",
                  "[S]\r\na=1\r\nk=v\r\n"},
        WriteCase{"MissingFinalBreakBeforeNewSection", ";c", "T", "k", "v", ";c\r\n[T]\r\nk=v\r\n"},
        WriteCase{"ValueIsCutAtALineBreak", "", "S", "k", "a\nb", "[S]\r\nk=a\r\n"},
        WriteCase{"EmptyValue", "[S]\r\nk=old\r\n", "S", "k", "", "[S]\r\nk=\r\n"},
        WriteCase{"CommentsStayInPlace", "[S]\r\n;note\r\n", "S", "k", "v",
                  "[S]\r\n;note\r\nk=v\r\n"},
        WriteCase{"GbkNames", "", "\xB1\xE0\xBC\xAD\xBF\xF2", "\xB9\xFD\xC2\xCB", "\xD6\xD0",
                  "[\xB1\xE0\xBC\xAD\xBF\xF2]\r\n\xB9\xFD\xC2\xCB=\xD6\xD0\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileWrite, WhatIsWrittenReadsBack) {
    std::string content;
    const std::string longValue(20000, 'y');
    profile::setString(content, "S", "long", longValue);
    profile::setString(content, "S", "gbk", "\xD6\xD0\xCE\xC4");
    profile::setString(content, "S", "long", "short");
    EXPECT_EQ(profile::getString(content, "S", "long", ""), "short");
    EXPECT_EQ(profile::getString(content, "S", "gbk", ""), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(content, "[S]\r\nlong=short\r\ngbk=\xD6\xD0\xCE\xC4\r\n");
}

}  // namespace
