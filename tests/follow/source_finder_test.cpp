#include "follow/source_finder.hpp"

#include <gtest/gtest.h>

#include "lyrics/lyric_files.hpp"
#include "platform/files.hpp"
#include "tests/support/fake_web_fetcher.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

// Hits are "song|artist|link" lines; a lyric body is the LRC itself.
struct LineSource : LyricSource {
    GbkText name;
    explicit LineSource(GbkText n) : name(std::move(n)) {}
    FetchRequest searchRequest(const GbkText& text) const override {
        return {name + "/search?" + text, {}, {}};
    }
    HitList readHits(std::string_view body) const override {
        HitList list;
        for (const GbkText& line : gbk::split(body, "\n")) {
            const auto f = gbk::split(line, "|");
            if (f.size() == 3) list.hits.push_back({f[0], f[1], f[2]});
        }
        return list;
    }
    FetchRequest lyricRequest(const GbkText& link) const override { return {link, {}, {}}; }
    std::optional<std::string> lyricBytes(std::string_view body) const override {
        return std::string(body);
    }
};

TEST(SourceLyricFinder, EachSourceInTurnTheFittingHitIsSavedLoadedAndNamed) {
    TempFolder folder;
    FakeWebFetcher fetcher;
    SourceLyricFinder finder(
        fetcher,
        [] {
            return std::vector<std::shared_ptr<const LyricSource>>{
                std::make_shared<LineSource>("a"), nullptr, std::make_shared<LineSource>("b")};
        },
        [&] { return folder.gbk(); },
        [](const GbkText& path) -> std::optional<LyricTable> {
            LoadedLyric loaded = loadLyricFile(path, "");
            if (!loaded.parsed) return std::nullopt;
            return loaded.table;
        });
    SessionSnapshot track;
    track.title = "晚风 (伴奏)";
    track.artist = "林远";
    std::optional<FoundLyric> found;
    int answers = 0;
    finder.find(track, [&](std::optional<FoundLyric> f) {
        found = std::move(f);
        ++answers;
    });
    EXPECT_EQ(fetcher.requests().back().url, "a/search?晚风");
    // Source a: another singer's song of that name only; source b: the fitting hit, whose
    // lyric first fails to come, then (on a second lookup) comes.
    fetcher.answerLast(FakeWebFetcher::ok("晚风|别人|a/x.lrc\n"));
    EXPECT_EQ(fetcher.requests().back().url, "b/search?晚风");
    fetcher.answerLast(FakeWebFetcher::ok("晚风 Live|林远|b/1.lrc\n晚风|林远/合唱团|b/2.lrc\n"));
    EXPECT_EQ(fetcher.requests().back().url, "b/2.lrc");
    fetcher.answerLast(FakeWebFetcher::failed(FetchFailure::Timeout));
    EXPECT_EQ(answers, 1);
    EXPECT_FALSE(found);
    EXPECT_TRUE(files::listFiles(folder.gbk(), ".lrc").empty());

    finder.find(track, [&](std::optional<FoundLyric> f) { found = std::move(f); });
    fetcher.answerLast(FakeWebFetcher::ok(""));
    fetcher.answerLast(FakeWebFetcher::ok("晚风|林远|b/2.lrc\n"));
    fetcher.answerLast(FakeWebFetcher::ok("[00:01.00]one\r\n[00:02.00]two\r\n"));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->name, "晚风 - 林远.lrc");
    EXPECT_EQ(found->table.count(), 2);
    EXPECT_EQ(files::listFiles(folder.gbk(), ".lrc"), std::vector<GbkText>{"晚风 - 林远.lrc"});
}

}  // namespace
