#include "follow/track_match.hpp"

#include <gtest/gtest.h>

namespace {

TEST(TrackMatch, DecorationsOfAccompanimentAndLiveVersionsAreStripped) {
    const std::pair<const char*, const char*> cases[] = {
        {"晴天 (伴奏)", "晴天"},
        {"晴天（伴奏版）", "晴天"},
        {"晴天 - Instrumental", "晴天"},
        {"晴天 KTV版", "晴天"},
        {"晴天【Live】 (伴奏)", "晴天"},
        {"Hello (Remastered 2011)", "Hello"},
        {"  晴天  ", "晴天"},
        {"(伴奏)", "(伴奏)"},  // nothing but a decoration
        {"Love Me (Do)", "Love Me (Do)"},
        {"Re-Birth", "Re-Birth"},
    };
    for (const auto& [title, clean] : cases) EXPECT_EQ(cleanTitle(title), clean) << title;
}

TEST(TrackMatch, TitleAndArtistAreComparedAsKeys) {
    EXPECT_EQ(matchKey("Ｈｅｌｌｏ，　World!"), "helloworld");
    EXPECT_EQ(matchKey("周杰伦·晴天"), "周杰伦晴天");
    EXPECT_EQ(trackMatch("晴天 (伴奏)", "周杰伦", "晴天", "周杰伦/费玉清"), 2);
    EXPECT_EQ(trackMatch("Hello", "ADELE", "hello", ""), 1);
    EXPECT_EQ(trackMatch("晴天", "周杰伦", "晴天", "五月天"), 0);  // another song of that name
    EXPECT_EQ(trackMatch("晴天", "周杰伦", "雨天", "周杰伦"), 0);
    EXPECT_EQ(trackMatch("", "周杰伦", "", "周杰伦"), 0);
}

TEST(TrackMatch, BestFileTakesEitherOrderAndPrefersTheArtist) {
    const std::vector<GbkText> names = {"晴天 - 五月天.lrc", "晴天.lrc", "周杰伦 - 晴天.LRC",
                                        "七里香 - 周杰伦.lrc"};
    EXPECT_EQ(bestLyricFile("晴天", "周杰伦", names), 2u);
    EXPECT_EQ(bestLyricFile("晴天", "", names), 0u);  // first fit when no artist is known
    EXPECT_EQ(bestLyricFile("七里香 (伴奏)", "周杰伦", names), 3u);
    EXPECT_EQ(bestLyricFile("稻香", "周杰伦", names), std::nullopt);
}

}  // namespace
