#include <gtest/gtest.h>

#include "search/lrclib_source.hpp"
#include "search/lyric_search.hpp"
#include "search/netease_source.hpp"
#include "search/qq_source.hpp"
#include "search/translation_merge.hpp"
#include "tests/support/fake_message_boxes.hpp"
#include "tests/support/fake_web_fetcher.hpp"
#include "text/codepage.hpp"
#include "ui/memory_units.hpp"

namespace {

std::string u(const GbkText& gbk) { return codepage::gbkToUtf8(gbk); }

TEST(TranslationMerge, TranslationLinesFollowTheirOriginalUnderItsTags) {
    EXPECT_EQ(
        mergeTranslation("[ti:x]\n[00:01.00]Hello\n[00:02.50][00:30.00]Chorus\n[00:03.00]Same\n"
                         "[00:04.00]\n",
                         "[by:t]\n[00:01.000]Ni hao\n[00:02.5]He chang\n[00:03.00]Same\n"
                         "[00:04.00]//\n[01:00.00]Late\nno tag\n"),
        "[ti:x]\n[00:01.00]Hello\n[00:01.00]Ni hao\n[00:02.50][00:30.00]Chorus\n"
        "[00:02.50][00:30.00]He chang\n[00:03.00]Same\n[00:04.00]\n[01:00.00]Late\n");
    EXPECT_EQ(mergeTranslation("[00:01.00]a\r\n", ""), "[00:01.00]a\r\n");  // kept byte for byte
    EXPECT_EQ(lrcTagTime("01:02.5"), 62500);
    EXPECT_EQ(lrcTagTime("1:02:30"), 62300);
    EXPECT_EQ(lrcTagTime("00:61.00"), -1);
    EXPECT_EQ(lrcTagTime("ti:x"), -1);
    EXPECT_EQ(lrcTagTime(":"), -1);
}

TEST(NeteaseReader, SearchAnswersGoodEmptyAndHostile) {
    const HitList list = parseNeteaseSearch(
        u(R"({"code":200,"result":{"songs":[)"
          R"({"id":186001,"name":"晴天","artists":[{"name":"周杰伦"},{"name":"B"}],"duration":269000},)"
          R"({"id":"7","name":"id is text"},{"id":-3,"name":"negative"},{"id":8,"name":null},)"
          R"({"id":9,"name":"x","artists":"nope","duration":1e300},5]}})"),
        "http://127.0.0.1:9");
    ASSERT_EQ(list.hits.size(), 2u);
    EXPECT_EQ(list.hits[0],
              (SearchHit{"晴天", "周杰伦/B",
                         "http://127.0.0.1:9/api/song/lyric?id=186001&lv=1&tv=-1", 269000}));
    EXPECT_EQ(list.hits[1].artist, "");
    EXPECT_EQ(list.hits[1].durationMs, 0);
    EXPECT_TRUE(parseNeteaseSearch(R"({"code":200,"result":{}})", "b").noResult);
    EXPECT_TRUE(parseNeteaseSearch(R"({"code":200,"result":{"songCount":0}})", "b").readable);
    EXPECT_FALSE(parseNeteaseSearch(R"({"code":-460,"message":"Cheating"})", "b").readable);
    EXPECT_FALSE(parseNeteaseSearch("<html>busy</html>", "b").readable);
    EXPECT_FALSE(parseNeteaseSearch("[1,2]", "b").readable);
}

TEST(NeteaseReader, LyricWithTranslationOrNone) {
    EXPECT_EQ(parseNeteaseLyric(u(R"({"lrc":{"lyric":"[00:01.00]Hello\n"},)"
                                  R"("tlyric":{"lyric":"[00:01.00]你好\n"},"code":200})")),
              u("[00:01.00]Hello\n[00:01.00]你好\n"));
    EXPECT_EQ(parseNeteaseLyric(R"({"lrc":{"lyric":"[00:01.00]a"},"tlyric":null})"), "[00:01.00]a");
    EXPECT_EQ(parseNeteaseLyric(R"({"nolyric":true,"lrc":{"lyric":"[00:01.00]a"}})"), std::nullopt);
    EXPECT_EQ(parseNeteaseLyric(u(R"({"lrc":{"lyric":"[00:00.000] 纯音乐，请欣赏\n"}})")),
              std::nullopt);
    EXPECT_EQ(parseNeteaseLyric(R"({"uncollected":true,"code":200})"), std::nullopt);
    EXPECT_EQ(parseNeteaseLyric(R"({"lrc":{"lyric":7}})"), std::nullopt);
    EXPECT_EQ(parseNeteaseLyric("{\"lrc\":"), std::nullopt);
}

TEST(QqReader, SearchAnswersGoodEmptyAndHostile) {
    const HitList list = parseQqSearch(
        u(R"(callback({"code":0,"data":{"song":{"list":[)"
          R"({"songmid":"003OUlho2HcRHC","songname":"后来&#38;现在","singer":[{"name":"刘若英"}],"interval":341},)"
          R"({"songmid":"../../x?y","songname":"bad mid"},{"songmid":"abc","songname":""},)"
          R"({"songmid":"abd","songname":"ok","interval":-5}]}}}))"),
        "http://127.0.0.1:9");
    ASSERT_EQ(list.hits.size(), 2u);
    EXPECT_EQ(list.hits[0].song, "后来&现在");
    EXPECT_EQ(list.hits[0].artist, "刘若英");
    EXPECT_EQ(list.hits[0].durationMs, 341000);
    EXPECT_EQ(list.hits[0].link,
              "http://127.0.0.1:9/lyric/fcgi-bin/fcg_query_lyric_new.fcg?songmid=003OUlho2HcRHC"
              "&format=json&nobase64=1");
    EXPECT_EQ(list.hits[1].durationMs, 0);
    EXPECT_TRUE(parseQqSearch(R"({"code":0,"data":{"song":{"list":[]}}})", "b").noResult);
    EXPECT_FALSE(parseQqSearch(R"({"code":500})", "b").readable);
    EXPECT_FALSE(parseQqSearch(R"(cb()", "b").readable);
    EXPECT_FALSE(parseQqSearch("", "b").readable);
}

TEST(QqReader, LyricEscapedOrBase64WithTranslation) {
    EXPECT_EQ(
        parseQqLyric(u(R"({"retcode":0,"lyric":"&#91;00&#58;01&#46;00&#93;Hi &amp; bye&#10;",)"
                       R"("trans":"&#91;00&#58;01&#46;00&#93;嗨&#10;"})")),
        u("[00:01.00]Hi & bye\n[00:01.00]嗨\n"));
    // "[00:01.00]a" in base64, as the service sends it when nobase64 is ignored.
    EXPECT_EQ(parseQqLyric(R"({"retcode":0,"lyric":"WzAwOjAxLjAwXWE=","trans":""})"),
              "[00:01.00]a");
    EXPECT_EQ(unescapeQqText("plain words"), "plain words");
    EXPECT_EQ(unescapeQqText("&#0; &#x1F600; &bogus; &#xD800; &"), " \xF0\x9F\x98\x80 &bogus;  &");
    EXPECT_EQ(parseQqLyric(R"({"retcode":-1901,"lyric":""})"), std::nullopt);
    EXPECT_EQ(
        parseQqLyric(u(R"({"retcode":0,"lyric":"[00:00:00]此歌曲为没有填词的纯音乐，请您欣赏"})")),
        std::nullopt);

    NetworkSettings settings;
    settings.qq = "http://127.0.0.1:9/";
    const auto qq = makeQqSource(settings);
    EXPECT_EQ(qq->searchRequest("a b").url,
              "http://127.0.0.1:9/soso/fcgi-bin/client_search_cp?w=a%20b&p=1&n=30&format=json");
    const FetchRequest lyric = qq->lyricRequest("http://127.0.0.1:9/lyric");
    EXPECT_EQ(lyric.referer, "https://y.qq.com/portal/player.html");
    EXPECT_NE(lyric.userAgent.find("Cantorel/"), std::string::npos);
}

TEST(LrclibGet, TitleArtistAndLengthAskForTheOneRecord) {
    NetworkSettings settings;
    settings.lrclib = "http://127.0.0.1:9";
    const auto lrclib = makeLrclibSource(settings);
    EXPECT_EQ(lrclib->queryRequest({"晴天", "周杰伦", 269400}).url,
              "http://127.0.0.1:9/api/get?track_name=%E6%99%B4%E5%A4%A9&artist_name="
              "%E5%91%A8%E6%9D%B0%E4%BC%A6&duration=269");
    EXPECT_EQ(lrclib->queryRequest({"晴天", "周杰伦", 0}).url,
              "http://127.0.0.1:9/api/search?q=%E6%99%B4%E5%A4%A9%20%E5%91%A8%E6%9D%B0%E4%BC%A6");
    const auto one = lrclib->readAnswer(FakeWebFetcher::ok(
        R"({"id":3,"trackName":"A","artistName":"B","duration":200.4,"syncedLyrics":"[00:01.00]x"})"));
    ASSERT_TRUE(one && one->hits.size() == 1);
    EXPECT_EQ(one->hits[0].durationMs, 200000);
    const auto missing =
        lrclib->readAnswer({R"({"code":404,"name":"TrackNotFound","message":"Failed to find"})",
                            404, FetchFailure::None});
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->noResult);
    EXPECT_FALSE(lrclib->readAnswer({"<html>", 404, FetchFailure::None}));
    // Instrumentals and lyrics that only say so are no hits.
    EXPECT_TRUE(parseLrclibSearch(u(R"([{"id":1,"instrumental":true,"syncedLyrics":"[00:01.00]x"},)"
                                    R"({"id":2,"syncedLyrics":"[00:01.00]纯音乐，请欣赏"}])"),
                                  "b")
                    .noResult);
}

// 全部: every source asked at once, rows as answers arrive, failures named.
struct AllPanel {
    MemoryUnits memory;
    MainUnits units{memory};
    FakeWebFetcher fetcher;
    FakeMessageBoxes boxes;
    std::vector<ActiveSource> sources = [] {
        NetworkSettings s;
        s.netease = s.qq = s.lrclib = "http://127.0.0.1:9";
        return std::vector<ActiveSource>{{"netease", makeNeteaseSource(s)},
                                         {"qq", makeQqSource(s)},
                                         {"lrclib", makeLrclibSource(s)}};
    }();
    LyricSearch search{units, fetcher, boxes, [this] { return sources; }};
    GbkText status() const { return units.状态条1.part(1); }
};

TEST(AllSourcesSearch, HitsArriveRankedWhileASourceHangsAndFailuresAreNamed) {
    AllPanel p;
    p.units.欲搜索内容.setText("晴天 周杰伦");
    p.search.startSearch();
    ASSERT_EQ(p.fetcher.requests().size(), 3u);  // all asked before any answer
    // LRCLIB answers first with a live take; QQ never answers.
    p.fetcher.answer(
        2, FakeWebFetcher::ok(u(R"j([{"id":1,"trackName":"晴天 (Live)","artistName":"周杰伦",)j"
                                R"("syncedLyrics":"[00:01.00]x"}])")));
    ASSERT_EQ(p.units.欲下载列表.rowCount(), 1);
    EXPECT_EQ(p.status(), "当前已搜索到:1首歌曲，仍在搜索：网易云音乐、QQ音乐");
    p.fetcher.answer(
        0,
        FakeWebFetcher::ok(u(
            R"({"code":200,"result":{"songs":[{"id":5,"name":"晴天","artists":[{"name":"周杰伦"}]},)"
            R"j({"id":6,"name":"晴天 (Live)","artists":[{"name":"周杰伦"}]}]}})j")));
    // The studio take ranks first; NetEase's live take duplicates LRCLIB's, which came first.
    ASSERT_EQ(p.units.欲下载列表.rowCount(), 2);
    EXPECT_EQ(p.units.欲下载列表.cell(0, 0), "晴天");
    EXPECT_EQ(p.units.欲下载列表.cell(0, 2), "网易云音乐");
    EXPECT_EQ(p.search.rowSources(), (std::vector<std::string_view>{"netease", "lrclib"}));
    EXPECT_EQ(p.search.hitAt(1)->source, p.sources[2].source);
    EXPECT_EQ(p.status(), "当前已搜索到:2首歌曲，仍在搜索：QQ音乐");
    p.fetcher.answer(1, FakeWebFetcher::failed(FetchFailure::Timeout));
    EXPECT_EQ(p.status(), "当前已搜索到:2首歌曲；未能搜索：QQ音乐");

    // Nothing anywhere keeps the rows; every source failing says which.
    p.search.startSearch();
    for (std::size_t i = 3; i < 6; ++i)
        p.fetcher.answer(i, FakeWebFetcher::failed(FetchFailure::Connect));
    EXPECT_EQ(p.status(), "搜索失败：网易云音乐、QQ音乐、LRCLIB均无回答");
    EXPECT_EQ(p.units.欲下载列表.rowCount(), 2);
    p.search.startSearch();
    p.fetcher.answer(6, FakeWebFetcher::ok(R"({"code":200,"result":{"songs":[]}})"));
    p.fetcher.answer(7, FakeWebFetcher::ok("<html>"));
    p.fetcher.answer(8, FakeWebFetcher::ok("[]"));
    EXPECT_EQ(p.boxes.texts().size(), 1u);
    EXPECT_EQ(p.status(), "当前已搜索到:2首歌曲；未能搜索：QQ音乐");
}

}  // namespace
