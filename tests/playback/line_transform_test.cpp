#include "playback/line_transform.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "ui/memory_units.hpp"

using ::testing::ElementsAre;

namespace {

struct TransformHarness {
    MemoryUnits memory;
    MainUnits units{memory};
    LineTransform transform{units, 7};

    void filterWith(const GbkText& words) {
        units.是否开启广告过滤模式.setChecked(true);
        units.过滤.setText(words);
    }
};

const GbkText kDots = "................";

TEST(LineTransform, DefaultWordsFilterCaseSensitively) {
    TransformHarness h;
    h.units.是否开启广告过滤模式.setChecked(true);
    EXPECT_EQ(h.transform.apply("join QQ group"), kDots);
    EXPECT_EQ(h.transform.apply("only qq here"), "only qq here");
    EXPECT_EQ(h.transform.apply("歌词制作 someone"), kDots);
    EXPECT_EQ(h.transform.apply("plain line"), "plain line");
    h.units.是否开启广告过滤模式.setChecked(false);
    EXPECT_EQ(h.transform.apply("join QQ group"), "join QQ group");
}

TEST(LineTransform, WordsMatchOnlyAtCharacterStarts) {
    TransformHarness h;
    // "\xD6\xD0" is 中; the word "\xD0\xCE" would be found across 中 and 形 if searched bytewise.
    h.filterWith("\xD0\xCE");
    EXPECT_EQ(h.transform.apply("\xD6\xD0\xCE\xC4"), "\xD6\xD0\xCE\xC4");
}

TEST(LineTransform, TidyUpRewritesTheWordListStageByStage) {
    struct Case {
        GbkText before, after;
    };
    const Case cases[] = {
        {"  QQ\r\n\r\nwww  ", "QQ\r\nwww"},
        {"\r\nQQ\r\n", "QQ"},
        {"QQ\r\n \t \r\n\r\nwww", "QQ\r\nwww"},
        {"\t QQ", "\t QQ"},            // only spaces are trimmed
        {"\xA1\xA1QQ", "\xA1\xA1QQ"},  // the full-width space is no blank here
        {"QQ\n\r", "QQ"},
        {"", ""},
    };
    for (const Case& c : cases) {
        TransformHarness h;
        h.filterWith(c.before);
        h.transform.apply("line");
        EXPECT_EQ(h.units.过滤.text(), c.after) << c.before;
    }
}

TEST(LineTransform, TidyUpWritesOnlyTheStagesThatChangeTheBox) {
    // The user watches the word list being cleaned: trim, outer line breaks, blank lines.
    struct RecordingBox : EditBox {
        GbkText content;
        std::vector<GbkText> writes;
        GbkText text() const override { return content; }
        void setText(const GbkText& text) override { writes.push_back(content = text); }
        bool visible() const override { return true; }
        void setVisible(bool) override {}
        bool enabled() const override { return true; }
        void setEnabled(bool) override {}
    };
    struct Directory : UnitDirectory {
        MemoryUnits memory;
        RecordingBox words;
        Unit* find(std::string_view name) override {
            return name == "过滤" ? &words : memory.find(name);
        }
        TimerUnit* findTimer(std::string_view name) override { return memory.findTimer(name); }
        WindowFrame& frame() override { return memory.frame(); }
    } directory;
    MainUnits units{directory};
    LineTransform transform{units, 1};
    units.是否开启广告过滤模式.setChecked(true);
    directory.words.content = "  \r\nQQ\r\n\r\nwww\r\n  ";
    EXPECT_EQ(transform.apply("www"), kDots);
    EXPECT_THAT(directory.words.writes,
                ElementsAre("\r\nQQ\r\n\r\nwww\r\n", "QQ\r\n\r\nwww", "QQ\r\nwww"));

    // A tidy list is left alone, so someone typing in it keeps caret, selection and undo; a
    // stage that changes something still writes only its own result.
    directory.words.writes.clear();
    EXPECT_EQ(transform.apply("line"), "line");
    EXPECT_TRUE(directory.words.writes.empty());
    directory.words.content = "QQ\r\n\r\nwww";
    transform.apply("line");
    EXPECT_THAT(directory.words.writes, ElementsAre("QQ\r\nwww"));
}

TEST(LineTransform, EmptyWordsFilterNothing) {
    TransformHarness h;
    h.filterWith("\r\n\r\nQQ\r\n");  // tidied to an empty first word, then QQ
    EXPECT_EQ(h.transform.apply("ordinary line"), "ordinary line");
    EXPECT_EQ(h.transform.apply("QQ"), kDots);
    h.filterWith("   ");
    EXPECT_EQ(h.transform.apply("ordinary line"), "ordinary line");
}

TEST(LineTransform, ReverseMakesHalfWidthAndKeepsTwoByteCharactersWhole) {
    struct Case {
        GbkText in, out;
    };
    const Case cases[] = {
        {"\xA3\xC1\xA3\xC2\xC4\xE3\xBA\xC3",
         "\xBA\xC3\xC4\xE3"
         "BA"},  // ＡＢ你好 -> 好你BA
        {"a\xA1\xA1"
         "b",
         "b a"},
        {"\xA1\xAB\xA1\xEE\xA1\xEF", "**~"},
        {kDots, kDots},
        {"", ""},
    };
    for (const Case& c : cases) {
        TransformHarness h;
        h.units.开启倒序模式.setChecked(true);
        EXPECT_EQ(h.transform.apply(c.in), c.out);
        EXPECT_EQ(h.units.初始文本.text(), c.out);
    }
}

TEST(LineTransform, FilteredLinesStayFilteredInEveryMode) {
    TransformHarness h;
    h.filterWith("QQ");
    h.units.开启倒序模式.setChecked(true);
    EXPECT_EQ(h.transform.apply("QQ"), kDots);
    h.units.开启倒序模式.setChecked(false);
    h.units.开启正反序模式.setChecked(true);
    EXPECT_EQ(h.transform.apply("QQ"), kDots);
    EXPECT_EQ(h.transform.apply("QQ"), kDots);
}

TEST(LineTransform, AlternationRunsAcrossLinesAndSongs) {
    TransformHarness h;
    h.units.开启正反序模式.setChecked(true);
    std::vector<GbkText> out;
    for (const char* line : {"ab", "cd", "ef"}) out.push_back(h.transform.apply(line));
    EXPECT_THAT(out, ElementsAre("ab", "dc", "ef"));
    // Lines in other modes do not flip it; the next alternate line goes out reversed.
    h.units.开启正反序模式.setChecked(false);
    h.transform.apply("xy");
    h.units.开启正反序模式.setChecked(true);
    EXPECT_EQ(h.transform.apply("gh"), "hg");
}

TEST(LineTransform, PrefixAndSuffixPairByIndex) {
    TransformHarness h;
    h.units.开启倒序模式.setChecked(true);
    h.units.开启前后缀模式.setChecked(true);
    h.units.前缀.addItem("<");
    h.units.前缀.addItem("[");
    h.units.后缀.addItem(">");
    std::set<GbkText> seen;
    for (int i = 0; i < 50; ++i) seen.insert(h.transform.apply("ab"));
    EXPECT_EQ(seen, (std::set<GbkText>{"<ba>", "[ba"}));
}

TEST(LineTransform, PrefixSuffixAloneWrapsTheFilteredLine) {
    TransformHarness h;
    h.units.开启前后缀模式.setChecked(true);
    h.units.前缀.addItem("\xA1\xBE");  // 【, never reversed or half-widthed
    h.units.后缀.addItem("\xA1\xBF");
    EXPECT_EQ(h.transform.apply("ab"),
              "\xA1\xBE"
              "ab\xA1\xBF");
    h.filterWith("ab");
    EXPECT_EQ(h.transform.apply("ab"), "\xA1\xBE" + kDots + "\xA1\xBF");
    h.units.前缀.clear();
    h.units.后缀.clear();
    EXPECT_EQ(h.transform.apply("cd"), "cd");
}

TEST(LineTransform, TheSameSeedDrawsTheSameIndices) {
    auto draws = [](std::uint32_t seed) {
        MemoryUnits memory;
        MainUnits units{memory};
        units.开启前后缀模式.setChecked(true);
        for (const char* p : {"a", "b", "c", "d"}) units.前缀.addItem(p);
        LineTransform t{units, seed};
        GbkText all;
        for (int i = 0; i < 20; ++i) all += t.apply("");
        return all;
    };
    EXPECT_EQ(draws(11), draws(11));
    EXPECT_NE(draws(11), draws(12));
}

}  // namespace
