#include "search/lyric_search.hpp"

#include <gtest/gtest.h>

#include "platform/files.hpp"
#include "search/lrc_downloader.hpp"
#include "search/lrclib_source.hpp"
#include "search/safe_file_name.hpp"
#include "search/site_source.hpp"
#include "tests/support/fake_message_boxes.hpp"
#include "tests/support/fake_web_fetcher.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/codepage.hpp"
#include "ui/memory_units.hpp"

namespace {

// One result fragment as the lyric site writes it; the page goes out as UTF-8.
GbkText fragment(const GbkText& link, const GbkText& nameText) {
    return "<li><font size=\"-1\"><a>" + link + "</font> <a href=\"x\">" + nameText +
           "LRC歌词下载</a></li>\n";
}
std::string page(const GbkText& gbk) { return codepage::gbkToUtf8("<html>" + gbk + "</html>"); }

TEST(EncodeKeyword, KeepsOnlyTheSafeAsciiBytes) {
    EXPECT_EQ(LyricSearch::encodeKeyword("a b+c"), "a%20b%2Bc");
    EXPECT_EQ(LyricSearch::encodeKeyword("歌词"), "%E6%AD%8C%E8%AF%8D");
    EXPECT_EQ(LyricSearch::encodeKeyword("Az09*,-./@_"), "Az09*,-./@_");
    EXPECT_EQ(LyricSearch::encodeKeyword("Hello~World"), "Hello%7EWorld");
    EXPECT_EQ(LyricSearch::encodeKeyword("?&=:"), "%3F%26%3D%3A");
    EXPECT_EQ(LyricSearch::encodeKeyword(""), "");
}

TEST(SitePage, NameTextGivesArtistThenSongAndEveryFragmentARow) {
    const HitList list = parseSitePage(page(fragment("http://127.0.0.1/1.lrc", "歌手 歌名 ") +
                                            fragment("http://127.0.0.1/2.lrc", "甲 乙 丙") +
                                            fragment("http://127.0.0.1/3.lrc", "独  ") +
                                            fragment("http://127.0.0.1/4.lrc", "solo") +
                                            "<font size=\"-1\">无名 无链接 LRC歌词下载</a>"));
    ASSERT_EQ(list.hits.size(), 5u);
    EXPECT_EQ(list.hits[0], (SearchHit{"歌名", "歌手", "http://127.0.0.1/1.lrc"}));
    EXPECT_EQ(list.hits[1], (SearchHit{"乙", "甲", "http://127.0.0.1/2.lrc"}));
    EXPECT_EQ(list.hits[2], (SearchHit{"", "独", "http://127.0.0.1/3.lrc"}));
    EXPECT_EQ(list.hits[3], (SearchHit{"", "solo", "http://127.0.0.1/4.lrc"}));
    EXPECT_EQ(list.hits[4], (SearchHit{"无链接", "无名", ""}));
}

TEST(SitePage, FragmentsOverLinesStayApartAndNoResultMarkerWins) {
    const HitList list = parseSitePage(
        page("<font size=\"-1\"><a>\nhttp://127.0.0.1/a.lrc</font>\n<b>A 甲 LRC歌词下载</a>" +
             fragment("http://127.0.0.1/b.lrc", "B 乙 ")));
    ASSERT_EQ(list.hits.size(), 2u);
    EXPECT_EQ(list.hits[0], (SearchHit{"甲", "A", "http://127.0.0.1/a.lrc"}));
    EXPECT_EQ(list.hits[1].link, "http://127.0.0.1/b.lrc");

    const HitList none = parseSitePage(page(fragment("l", "a b") + "没有找到相关的歌词"));
    EXPECT_TRUE(none.noResult);
    EXPECT_TRUE(none.hits.empty());
}

TEST(SitePage, ManyOpeningsWithoutAClosingAreReadInOnePass) {
    std::string openings;
    for (int i = 0; i < 60000; ++i) openings += "<font size=\"-1\">x";
    EXPECT_TRUE(parseSitePage(page(openings)).hits.empty());
    // The first opening's group runs lazily to the first closing, as the pattern's would.
    const HitList one =
        parseSitePage(page(openings + fragment("http://127.0.0.1:9/1.lrc", "甲 乙 ")));
    ASSERT_EQ(one.hits.size(), 1u);
    EXPECT_EQ(one.hits[0].song, "乙");
    EXPECT_EQ(one.hits[0].artist, "甲");
}

TEST(Lrclib, OnlyRecordsWithSyncedLyricsAreHits) {
    const std::string json = codepage::gbkToUtf8(
        R"([{"id":7,"trackName":"星光","artistName":"A","syncedLyrics":"[00:01.00]x"},)"
        R"({"id":8,"trackName":"Plain","artistName":"B","syncedLyrics":null},)"
        R"({"trackName":"NoId","syncedLyrics":"[00:01.00]x"}, 5])");
    const HitList list = parseLrclibSearch(json, "http://127.0.0.1:9");
    ASSERT_EQ(list.hits.size(), 1u);
    EXPECT_EQ(list.hits[0], (SearchHit{"星光", "A", "http://127.0.0.1:9/api/get/7"}));
    EXPECT_FALSE(parseLrclibSearch("<html>", "b").readable);
    EXPECT_FALSE(parseLrclibSearch("{\"a\":1}", "b").readable);
    EXPECT_TRUE(parseLrclibSearch("[]", "b").noResult);
    // An id past the signed range keeps its digits instead of wrapping to a negative one.
    EXPECT_EQ(parseLrclibSearch(R"([{"id":18446744073709551615,"syncedLyrics":"x"}])", "b")
                  .hits.at(0)
                  .link,
              "b/api/get/18446744073709551615");

    NetworkSettings settings;
    settings.lrclib = "http://127.0.0.1:9/";
    const auto source = makeLrclibSource(settings);
    EXPECT_EQ(source->searchRequest("a b").url, "http://127.0.0.1:9/api/search?q=a%20b");
    EXPECT_NE(source->searchRequest("x").userAgent.find("Cantorel/"), std::string::npos);
    EXPECT_EQ(source->lyricBytes(R"({"syncedLyrics":"[00:01.00]y"})"), "[00:01.00]y");
    EXPECT_EQ(source->lyricBytes(R"({"syncedLyrics":null})"), std::nullopt);
    EXPECT_EQ(source->lyricBytes("not json"), std::nullopt);
}

TEST(SafeFileName, HostileNamesStayInsideTheFolder) {
    EXPECT_EQ(safeFileName("..\\..\\歌词"), "_.._歌词");
    EXPECT_EQ(safeFileName("a/b:c*?\"<>|\x01"), "a_b_c_______");
    EXPECT_EQ(safeFileName("CON"), "CON_");
    EXPECT_EQ(safeFileName("lpt1.txt"), "lpt1_.txt");
    EXPECT_EQ(safeFileName("COM10"), "COM10");
    EXPECT_EQ(safeFileName(" . "), "歌词");
    // 0x5C and 0x7C as second bytes belong to their characters; a lead byte without a valid
    // second byte never hides the separator after it.
    EXPECT_EQ(safeFileName("\x95\x5C\x81\x7C"), "\x95\x5C\x81\x7C");
    EXPECT_EQ(safeFileName("a\x81/b\x81"), "a__b_");
    const GbkText long_ = "a" + std::string(200, '\xB8');
    const GbkText cut = safeFileName("a" + GbkText(100, ' ') + std::string("歌歌歌歌歌歌歌歌歌歌"));
    EXPECT_LE(cut.size(), 120u);
    EXPECT_LE(safeFileName(long_).size(), 120u);
    EXPECT_EQ(safeFileName("x" + std::string(150, '\xB8')).size() % 2, 1u);  // whole pairs only
    // A device name of full length keeps its "_" and its length.
    const GbkText device = safeFileName("CON." + std::string(200, 'x'));
    EXPECT_EQ(device.size(), 120u);
    EXPECT_EQ(device.substr(0, 5), "CON_.");
    EXPECT_EQ(lyricSavePath("/no/such/folder", "a"), files::join(files::programFolder(), "a.lrc"));
    // Names Windows would read as the short alias of another file.
    EXPECT_EQ(safeFileName("SONGLY~1"), "SONGLY_1");
    EXPECT_EQ(safeFileName("a~12.lrc"), "a_12.lrc");
    EXPECT_EQ(safeFileName("LONGERNAME~1"), "LONGERNAME~1");
    EXPECT_EQ(safeFileName("~x"), "~x");
}

struct Panel {
    MemoryUnits memory;
    MainUnits units{memory};
    FakeWebFetcher fetcher;
    FakeMessageBoxes boxes;
    std::vector<ActiveSource> sources = [] {
        NetworkSettings s;
        s.lyricSite = "127.0.0.1:9";
        return std::vector<ActiveSource>{{"site", makeSiteSource(s)}};
    }();
    LyricSearch search{units, fetcher, boxes, [this] { return sources; }};
    int refreshes = 0;
    LrcDownloader downloader{units, fetcher, boxes, search, [this] { ++refreshes; }};

    void searchFor(const GbkText& text) {
        units.欲搜索内容.setText(text);
        search.startSearch();
    }
    GbkText status() const { return units.状态条1.part(1); }
};

TEST(LyricSearchPanel, ResultFillsPairedRowsAndFailuresKeepThem) {
    Panel p;
    p.searchFor("星 光");
    EXPECT_EQ(p.fetcher.requests()[0].url,
              "http://127.0.0.1:9/?keyword=%E6%98%9F%20%E5%85%89&field=all");
    EXPECT_EQ(p.status(), "正在搜索歌曲名为:星 光的歌曲歌词");
    p.fetcher.answerLast(FakeWebFetcher::ok(
        page(fragment("http://127.0.0.1/1", "甲 一 ") + fragment("http://127.0.0.1/2", "乙 二 "))));
    ASSERT_EQ(p.units.欲下载列表.rowCount(), 2);
    EXPECT_EQ(p.units.欲下载列表.cell(1, 0), "二");
    EXPECT_EQ(p.units.欲下载列表.cell(1, 1), "乙");
    EXPECT_EQ(p.search.hitLinks(),
              (std::vector<GbkText>{"http://127.0.0.1/1", "http://127.0.0.1/2"}));
    EXPECT_EQ(p.status(), "当前已搜索到:2首歌曲");

    p.searchFor("x");
    p.fetcher.answerLast(FakeWebFetcher::failed(FetchFailure::Connect));
    EXPECT_EQ(p.status(), "搜索失败：无法连接歌词网站");
    p.searchFor("x");
    p.fetcher.answerLast({page(fragment("l", "a b")), 404, FetchFailure::None});
    EXPECT_EQ(p.status(), "搜索失败：无法连接歌词网站");
    // What the user can mend outside the program is named in words.
    const std::pair<FetchOutcome, GbkText> named[] = {
        {FakeWebFetcher::failed(FetchFailure::Certificate),
         "服务器证书无效（过期、不受信任或与网址不符）"},
        {FakeWebFetcher::failed(FetchFailure::Revocation),
         "服务器证书已被吊销，或无法检查是否吊销"},
        {FakeWebFetcher::failed(FetchFailure::Tls), "无法建立安全连接（Windows 7 请启用 TLS 1.2）"},
        {FakeWebFetcher::failed(FetchFailure::ProxyLogon),
         "代理服务器要求登录，请在系统的代理设置中登录"},
        {{"", 407, FetchFailure::None}, "代理服务器要求登录，请在系统的代理设置中登录"},
        {FakeWebFetcher::failed(FetchFailure::Offline), "电脑没有连接网络"},
    };
    for (const auto& [outcome, words] : named) {
        p.searchFor("x");
        p.fetcher.answerLast(outcome);
        EXPECT_EQ(p.status(), "搜索失败：" + words);
    }
    p.searchFor("x");
    p.fetcher.answerLast(FakeWebFetcher::ok(page("没有找到相关")));
    EXPECT_EQ(p.boxes.texts(), (std::vector<GbkText>{"搜索失败！没有相关歌词,查看歌名是否正确！"}));
    EXPECT_EQ(p.units.欲下载列表.rowCount(), 2);
    EXPECT_EQ(p.search.hitLinks().size(), 2u);
    EXPECT_EQ(p.status(), "当前已搜索到:2首歌曲");
}

TEST(LyricSearchPanel, NewerSearchSupersedesAnOlderOne) {
    Panel p;
    p.searchFor("old");
    p.searchFor("new");
    p.fetcher.answer(1, FakeWebFetcher::ok(page(fragment("n", "新 新歌"))));
    p.fetcher.answer(0, FakeWebFetcher::ok(page(fragment("o", "旧 旧歌"))));
    ASSERT_EQ(p.units.欲下载列表.rowCount(), 1);
    EXPECT_EQ(p.units.欲下载列表.cell(0, 0), "新歌");
    p.sources.clear();
    p.searchFor("y");
    EXPECT_EQ(p.status(), "搜索失败：未设置歌词网站");
    EXPECT_EQ(p.fetcher.requests().size(), 2u);
}

struct DownloadPanel : Panel {
    TempFolder folder{"cantorel-lrc"};
    DownloadPanel() {
        units.编辑框1.setText(folder.gbk());
        searchFor("s");
        fetcher.answerLast(FakeWebFetcher::ok(
            page(fragment("http://127.0.0.1:9/1", "甲 a/b ") + fragment("", "乙 二 "))));
        units.欲下载列表.setSelection(0);
    }
    std::optional<std::string> saved(const char* name = "a_b.lrc") const {
        return files::readAll(files::join(folder.gbk(), name));
    }
};

TEST(LrcDownload, PreviewShowsTheLyricLinesOfEveryEncoding) {
    const std::string utf16 = std::string(
        "\xFF\xFE[\0"
        "0\0"
        "0\0:\0"
        "0\0"
        "1\0]\0"
        "A\0\n\0",
        20);
    const struct {
        std::string body;
        std::vector<GbkText> texts;
    } cases[] = {
        {"[ti:t]\r\n[00:01.00]一\r\n[00:02.00]二\r\n", {"一", "二"}},
        {codepage::gbkToUtf8("[00:01.00][00:03.00]一\n[00:02.00]二\n"), {"一", "二", "一"}},
        {utf16, {"A"}},
    };
    for (const auto& c : cases) {
        DownloadPanel p;
        p.downloader.previewHit();
        p.fetcher.answerLast(FakeWebFetcher::ok(c.body));
        EXPECT_TRUE(p.units.歌词预览.visible());
        EXPECT_FALSE(p.units.超级列表框_歌词.visible());
        std::vector<GbkText> texts;
        for (int r = 0; r < p.units.歌词预览.rowCount(); ++r)
            texts.push_back(p.units.歌词预览.cell(r, 1));
        EXPECT_EQ(texts, c.texts);
    }
}

TEST(LrcDownload, YesSavesTheFetchedBytesWholeAndNoWritesNothing) {
    DownloadPanel p;
    const std::string body("[00:01.00]a\0b\n", 14);
    p.boxes.answerNext(mb::kIdNo);
    p.downloader.previewHit();
    p.fetcher.answerLast(FakeWebFetcher::ok(body));
    EXPECT_FALSE(p.saved());
    p.boxes.answerNext(mb::kIdYes);
    p.downloader.previewHit();
    p.fetcher.answerLast(FakeWebFetcher::ok(body));
    EXPECT_EQ(p.fetcher.requests().size(), 3u);  // one search, one fetch per preview
    EXPECT_EQ(p.saved(), body);
    EXPECT_EQ(p.status(), "歌词下载完毕");
    EXPECT_EQ(p.boxes.shown().back(),
              (FakeMessageBoxes::Shown{"是否需要下载歌词？", "歌词下载提示！",
                                       mb::kYesNo | mb::kTaskModal}));
}

TEST(LrcDownload, FailedErrorOrEmptyAnswersNeverReplaceAGoodFile) {
    DownloadPanel p;
    p.folder.write("a_b.lrc", "good");
    const FetchOutcome bad[] = {FakeWebFetcher::failed(FetchFailure::Timeout),
                                {"<html>404</html>", 404, FetchFailure::None},
                                FakeWebFetcher::ok("")};
    for (const FetchOutcome& outcome : bad) {
        p.downloader.downloadHit();
        p.fetcher.answerLast(outcome);
        EXPECT_EQ(p.saved(), "good");
        EXPECT_EQ(p.status().rfind("歌词下载失败：", 0), 0u) << p.status();
        EXPECT_EQ(p.units.歌词预览.rowCount(), 0);
    }
    const std::size_t requests = p.fetcher.requests().size();
    p.units.欲下载列表.setSelection(1);  // the hit without a link
    p.downloader.downloadHit();
    EXPECT_EQ(p.fetcher.requests().size(), requests);
    EXPECT_EQ(p.saved(), "good");
    EXPECT_TRUE(p.boxes.shown().empty());
}

TEST(LrcDownload, AnotherLyricOfTheNameIsReplacedOnlyWhenTheUserSaysSo) {
    const FakeMessageBoxes::Shown question{"已有同名歌词，是否覆盖？", "歌词下载提示！",
                                           mb::kYesNo | mb::kTaskModal};
    DownloadPanel p;
    p.folder.write("a_b.lrc", "mine, corrected by hand");
    // A double-click asks too; No keeps the file and saves beside it, under the next free name.
    p.boxes.answerNext(mb::kIdNo);
    p.downloader.downloadHit();
    p.fetcher.answerLast(FakeWebFetcher::ok("[00:01.00]new"));
    EXPECT_EQ(p.boxes.shown(), std::vector{question});
    EXPECT_EQ(p.saved(), "mine, corrected by hand");
    EXPECT_EQ(p.saved("a_b (2).lrc"), "[00:01.00]new");
    p.boxes.answerNext(mb::kIdNo);
    p.downloader.downloadHit();
    p.fetcher.answerLast(FakeWebFetcher::ok("[00:01.00]newer"));
    EXPECT_EQ(p.saved("a_b (3).lrc"), "[00:01.00]newer");
    // Yes replaces it; the same bytes again need no question and write nothing new.
    p.boxes.answerNext(mb::kIdYes);
    p.downloader.downloadHit();
    p.fetcher.answerLast(FakeWebFetcher::ok("[00:01.00]new"));
    EXPECT_EQ(p.saved(), "[00:01.00]new");
    p.downloader.downloadHit();
    p.fetcher.answerLast(FakeWebFetcher::ok("[00:01.00]new"));
    EXPECT_EQ(p.boxes.shown().size(), 3u);
    EXPECT_EQ(p.status(), "歌词下载完毕");
    EXPECT_FALSE(p.saved("a_b (4).lrc"));
}

TEST(LrcDownload, ALyricTooLargeToLoadIsNeitherShownNorSaved) {
    DownloadPanel p;
    std::string tags;
    for (int i = 0; i < 250000; ++i) tags += "[:1]";
    p.downloader.downloadHit();
    p.fetcher.answerLast(FakeWebFetcher::ok(tags + std::string(1000, 'x')));
    EXPECT_EQ(p.status(), "歌词下载失败：歌词文件太大");
    EXPECT_FALSE(p.saved());
    EXPECT_EQ(p.units.歌词预览.rowCount(), 0);
}

TEST(LrcDownload, DoubleClickSupersedesThePreviewAndNoRowDoesNothing) {
    DownloadPanel p;
    p.downloader.previewHit();
    p.downloader.downloadHit();
    p.fetcher.answer(1, FakeWebFetcher::ok("[00:01.00]old"));
    p.fetcher.answer(2, FakeWebFetcher::ok("[00:01.00]new"));
    EXPECT_TRUE(p.boxes.shown().empty());
    EXPECT_EQ(p.saved(), "[00:01.00]new");
    EXPECT_EQ(p.refreshes, 2);  // after the preview and after the save

    DownloadPanel q;
    q.units.歌词预览.setVisible(false);
    q.units.欲下载列表.setSelection(-1);
    q.downloader.previewHit();
    EXPECT_EQ(q.fetcher.requests().size(), 1u);
    EXPECT_FALSE(q.units.歌词预览.visible());
}

}  // namespace
