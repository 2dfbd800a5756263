#include "lyrics/lyric_shaping.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

using ::testing::ElementsAre;

namespace {

std::vector<LyricLine> song() {
    // Pairs at the very start and end, a group of three, a single line between.
    return {{0, "Hi"},   {0, "你好"}, {1500, "solo"}, {3000, "a"},
            {3000, "b"}, {3000, "c"}, {9000, "End"},  {9000, "终"}};
}

TEST(LyricShaping, EachModeTurnsGroupsOfEqualTimesIntoOneLineAndLeavesSinglesAlone) {
    EXPECT_EQ(groupEqualTimes(song(), Bilingual::Lines), song());
    EXPECT_THAT(groupEqualTimes(song(), Bilingual::Original),
                ElementsAre(LyricLine{0, "Hi"}, LyricLine{1500, "solo"}, LyricLine{3000, "a"},
                            LyricLine{9000, "End"}));
    EXPECT_THAT(groupEqualTimes(song(), Bilingual::Translation),
                ElementsAre(LyricLine{0, "你好"}, LyricLine{1500, "solo"}, LyricLine{3000, "c"},
                            LyricLine{9000, "终"}));
    EXPECT_THAT(groupEqualTimes(song(), Bilingual::Joined),
                ElementsAre(LyricLine{0, "Hi / 你好"}, LyricLine{1500, "solo"},
                            LyricLine{3000, "a / b / c"}, LyricLine{9000, "End / 终"}));
}

TEST(LyricShaping, AnEmptyLineInAGroupIsAMissingHalf) {
    const std::vector<LyricLine> lines = {{100, ""}, {100, "只有译文"}, {200, "原文"}, {200, ""},
                                          {300, ""}, {300, ""},         {400, ""}};
    for (Bilingual mode : {Bilingual::Original, Bilingual::Translation, Bilingual::Joined}) {
        EXPECT_THAT(groupEqualTimes(lines, mode),
                    ElementsAre(LyricLine{100, "只有译文"}, LyricLine{200, "原文"},
                                LyricLine{300, ""}, LyricLine{400, ""}))
            << bilingualName(mode);
    }
}

TEST(LyricShaping, PositiveOffsetsMoveLinesEarlierAndNoneGoesBelowZero) {
    std::vector<LyricLine> lines = {{200, "a"}, {700, "b"}, {5000, "c"}};
    shiftByOffset(lines, 500);
    EXPECT_THAT(lines, ElementsAre(LyricLine{0, "a"}, LyricLine{200, "b"}, LyricLine{4500, "c"}));
    shiftByOffset(lines, -1000);
    EXPECT_THAT(lines,
                ElementsAre(LyricLine{1000, "a"}, LyricLine{1200, "b"}, LyricLine{5500, "c"}));
    shiftByOffset(lines, std::numeric_limits<std::int64_t>::max());
    EXPECT_THAT(lines, ElementsAre(LyricLine{0, "a"}, LyricLine{0, "b"}, LyricLine{0, "c"}));
    shiftByOffset(lines, std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(lines[0].time, std::numeric_limits<std::int32_t>::max());
}

TEST(LyricShaping, TheOffsetAppliesOnlyWhenSwitchedOnAndAfterTheGrouping) {
    LyricTable table;
    table.lines = {{100, "x"}, {300, "y"}, {300, "译"}, {900, "z"}};
    table.offset = 400;
    LyricTable plain = table;
    shapeLyric(plain, {Bilingual::Joined, false});
    EXPECT_THAT(plain.lines,
                ElementsAre(LyricLine{100, "x"}, LyricLine{300, "y / 译"}, LyricLine{900, "z"}));
    // x and y both land on 0 but were no group in the file: they stay two lines.
    shapeLyric(table, {Bilingual::Joined, true});
    EXPECT_THAT(table.lines,
                ElementsAre(LyricLine{0, "x"}, LyricLine{0, "y / 译"}, LyricLine{500, "z"}));
}

}  // namespace
