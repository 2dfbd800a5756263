#include "search/title_match.hpp"

#include <gtest/gtest.h>

#include "search/hit_ranking.hpp"
#include "search/search_markers.hpp"
#include "text/codepage.hpp"

namespace {

TEST(SearchMarkers, EachConstantIsTheTextItStandsFor) {
    const auto& d = search_marker::kDecorations;
    EXPECT_EQ(d[0], "伴奏");
    EXPECT_EQ(d[1], "纯音乐");
    EXPECT_EQ(d[2], "女声版");
    EXPECT_EQ(d[3], "男声版");
    EXPECT_EQ(d[4], "现场版");
    EXPECT_EQ(d[5], "消音版");
    EXPECT_EQ(d[6], "ktv版");
    EXPECT_EQ(search_marker::kInstrumental[0], "伴奏");
    EXPECT_EQ(search_marker::kInstrumental[1], "纯音乐");
    EXPECT_EQ(search_marker::kInstrumental[2], "消音版");
    EXPECT_EQ(search_marker::kPureMusicUtf8, codepage::gbkToUtf8("纯音乐"));
    EXPECT_EQ(search_marker::kNoWordsUtf8, codepage::gbkToUtf8("没有填词"));
    EXPECT_EQ(search_marker::kNoLyricYetUtf8, codepage::gbkToUtf8("暂无歌词"));
}

TEST(TitleMatch, WidthCaseSpacesAndDecorationsDoNotStopAMatch) {
    struct Case {
        GbkText asked, title;
        int closeness;
    };
    const Case cases[] = {
        {"晴天", "晴天", 4},
        {"ｑｉｎｇ　ｔｉａｎ", "Qing Tian", 4},  // full-width letters and space
        {"Hello, World!", "hello world", 4},
        {"晴天", "晴天 (Live)", 2},
        {"晴天", "晴天（女声版）", 2},
        {"晴天", "晴天【KTV版】", 2},
        {"晴天", "晴天 - 伴奏", 2},
        {"晴天", "晴天伴奏", 2},
        {"晴天", "晴天 Instrumental", 2},
        {"晴天", "晴天-纯音乐", 2},
        {"晴天 (Live)", "晴天", 3},  // the words of the song itself
        {"Olive", "Olive", 4},       // "live" inside a word is no decoration
        {"Olive", "O", 1},
        {"Go", "Go Live", 2},  // ...but a word of its own is
        {"伴奏", "伴奏", 4},   // a title that is all decoration keeps it
        {"(I Can't Get No)", "(i can't get no)", 4},
        {"晴天", "后来", 0},
        {"", "晴天", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(titleCloseness(c.asked, c.title), c.closeness)
            << codepage::gbkToUtf8(c.asked) << " / " << codepage::gbkToUtf8(c.title);
    }
    EXPECT_EQ(artistCloseness("周杰伦", "周杰伦"), 2);
    EXPECT_EQ(artistCloseness("周杰伦", "周杰伦、杨瑞代"), 1);
    EXPECT_EQ(artistCloseness("", "周杰伦"), 0);
    EXPECT_TRUE(namesInstrumental("晴天 (伴奏)"));
    EXPECT_TRUE(namesInstrumental("Sakura - Off Vocal"));
    EXPECT_FALSE(namesInstrumental("纯音乐"));  // a song called so
    EXPECT_FALSE(namesInstrumental("晴天 (Live)"));
    // A trail byte that is a letter is not folded: these two characters differ only there.
    EXPECT_NE(plainKey("\x81\x41"), plainKey("\x81\x61"));
}

TEST(TitleMatch, NoLyricTextIsToldFromARealLyric) {
    const auto u = [](const GbkText& gbk) { return codepage::gbkToUtf8(gbk); };
    EXPECT_TRUE(saysNoLyric(u("[00:00.000] 纯音乐，请欣赏\n")));
    EXPECT_TRUE(saysNoLyric(u("[ti:x]\n[00:00:00]此歌曲为没有填词的纯音乐，请您欣赏")));
    EXPECT_TRUE(saysNoLyric(u("[by:x]\n[00:01.00]暂无歌词")));
    EXPECT_TRUE(saysNoLyric("[ar:x]\n[00:01.00]\n"));
    EXPECT_TRUE(saysNoLyric(""));
    EXPECT_FALSE(saysNoLyric(u("[00:01.00]一\n[00:02.00]二\n")));
    EXPECT_FALSE(saysNoLyric(u("[00:01.00]一\n[00:02.00]二\n[00:03.00]三\n[00:04.00]纯音乐\n")));
}

SearchHit hit(GbkText song, GbkText artist, std::string_view source, int ms = 0,
              bool synced = true) {
    return {std::move(song), std::move(artist), "l", ms, synced, source};
}

TEST(HitRanking, SyncedThenTitleThenArtistThenLength) {
    const SearchQuery query{"晴天", "周杰伦", 269000};
    const auto ranked = rankHits(query, {
                                            hit("晴天", "别人", "qq", 0, false),  // plain text
                                            hit("晴天 (Live)", "周杰伦", "qq", 269000),
                                            hit("晴天", "翻唱者", "qq", 269000),
                                            hit("晴天", "周杰伦", "netease", 271000),
                                            hit("晴天", "周杰伦", "lrclib", 270000),
                                            hit("雨天", "周杰伦", "qq", 269000),
                                            hit("晴天 (伴奏)", "周杰伦", "qq", 269000),
                                        });
    ASSERT_EQ(ranked.size(), 6u);  // netease and lrclib hold the same song: one stays
    EXPECT_EQ(ranked[0].source, "lrclib");
    EXPECT_EQ(ranked[1].artist, "翻唱者");
    EXPECT_EQ(ranked[2].song, "晴天 (Live)");
    EXPECT_EQ(ranked[3].song, "雨天");
    EXPECT_EQ(ranked[4].song, "晴天 (伴奏)");  // a backing track after every sung take
    EXPECT_FALSE(ranked[5].synced);
}

TEST(HitRanking, DuplicatesCollapseOnlyAcrossSourcesAndLengths) {
    const SearchQuery query{"后来 刘若英", "", 0};
    const auto ranked = rankHits(query, {
                                            hit("后来", "刘若英", "netease", 340000),
                                            hit("后来", "刘若英", "netease", 341000),
                                            hit("後来", "x", "qq"),
                                            hit("后来", "刘若英", "qq", 341500),
                                            hit("后来", "刘若英", "lrclib", 200000),
                                            hit("后来", "刘若英", "site"),
                                        });
    // The artist typed beside the title is read as the artist: 后来/刘若英 hits rank first.
    ASSERT_EQ(ranked.size(), 4u);
    EXPECT_EQ(ranked[0].source, "netease");
    EXPECT_EQ(ranked[1].source, "netease");  // one source's own entries all stay
    EXPECT_EQ(ranked[2].source, "lrclib");   // another length: another recording
    EXPECT_EQ(ranked[3].artist, "x");
}

}  // namespace
