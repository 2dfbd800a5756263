#include "lyrics/lyric_files.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.hpp"
#include "tests/support/fake_message_boxes.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/codepage.hpp"
#include "ui/memory_units.hpp"

namespace {

using namespace std::string_literals;

class FakePlayback : public PlaybackSeam {
  public:
    bool pauseIfPlaying() override {
        ++pauses;
        return playing;
    }
    void resetPosition() override { ++resets; }
    bool playing = false;
    int pauses = 0;
    int resets = 0;
};

struct Rows {
    std::vector<std::pair<GbkText, GbkText>> cells;  // column 0, column 1
    std::vector<int> itemNumbers;
    bool operator==(const Rows&) const = default;
};

class LyricFilesTest : public ::testing::Test {
  protected:
    LyricFilesTest() { units.文件框1.setFolder(folder.gbk()); }

    void choose(const GbkText& name) {
        units.文件框1.setSelectedName(name);
        files.loadSelectedFile();
    }

    Rows rows() const {
        Rows result;
        const ListView& list = units.超级列表框_歌词;
        for (int r = 0; r < list.rowCount(); ++r) {
            result.cells.emplace_back(list.cell(r, 0), list.cell(r, 1));
            result.itemNumbers.push_back(list.itemNumber(r));
        }
        return result;
    }

    TempFolder folder;
    MemoryUnits memory;
    MainUnits units{memory};
    LyricTable lyrics;
    FakeMessageBoxes boxes;
    FakePlayback playback;
    LyricFiles files{units, lyrics, boxes, playback};
};

// The same lyric in GBK with CR LF; the other encodings are made from it.
const GbkText kLyric =
    "[ti:\xD0\xC7\xB9\xE2]\r\n[00:03.50]\xB5\xDA\xB6\xFE\r\n[00:01.00]first\r\n[00:02.00]\r\n";
const Rows kRows{{{"1000", "first"}, {"2000", "FILL"}, {"3500", "\xB5\xDA\xB6\xFE"}}, {1, 2, 3}};

std::string utf16(const GbkText& gbk, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : codepage::gbkToUtf16(gbk)) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST_F(LyricFilesTest, LoadsEveryEncodingIntoTheSameRows) {
    const std::string utf8 = codepage::gbkToUtf8(kLyric);
    std::string unixEnds = utf8;
    std::erase(unixEnds, '\r');
    const std::pair<const char*, std::string> encodings[] = {
        {"gbk.lrc", kLyric},
        {"utf8.lrc", utf8},
        {"utf8-lf.lrc", unixEnds},
        {"utf8-bom.lrc", "\xEF\xBB\xBF" + utf8},
        {"utf16le.lrc", utf16(kLyric, false)},
        {"utf16be.lrc", utf16(kLyric, true)},
    };
    units.填充.setText("FILL");
    for (const auto& [name, bytes] : encodings) {
        folder.write(name, bytes);
        choose(name);
        EXPECT_EQ(rows(), kRows) << name;
        EXPECT_EQ(lyrics.title, "\xD0\xC7\xB9\xE2") << name;
        EXPECT_EQ(units.透明标签1.text(), name);
    }
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(LyricFilesTest, FillsEmptyTextsInTheTableAsWellAndOnlyAtLoadTime) {
    folder.write("a.lrc", kLyric);
    units.填充.setText("FILL");
    choose("a.lrc");
    EXPECT_EQ(lyrics.lines[1], (LyricLine{2000, "FILL"}));
    units.填充.setText("later");
    EXPECT_EQ(units.超级列表框_歌词.cell(1, 1), "FILL");

    units.填充.setText("");
    choose("a.lrc");
    EXPECT_EQ(units.超级列表框_歌词.cell(1, 1), "");
    EXPECT_EQ(lyrics.lines[1].text, "");
}

TEST_F(LyricFilesTest, ShowsTheLyricListAndRestartsTheSongOnLoad) {
    folder.write("a.lrc", kLyric);
    units.歌词预览.setVisible(true);
    units.超级列表框_歌词.setVisible(false);
    choose("a.lrc");
    units.超级列表框_歌词.setSelection(2);
    choose("a.lrc");
    EXPECT_FALSE(units.歌词预览.visible());
    EXPECT_TRUE(units.超级列表框_歌词.visible());
    EXPECT_EQ(playback.resets, 2);
    EXPECT_EQ(units.超级列表框_歌词.selection(), -1);
    EXPECT_EQ(rows().cells.size(), 3u);  // replaced, not appended
}

TEST_F(LyricFilesTest, ChoosingDuringPlaybackOnlyPauses) {
    folder.write("a.lrc", kLyric);
    folder.write("b.lrc", "[00:09.00]other\r\n");
    choose("a.lrc");
    const Rows before = rows();
    units.歌词预览.setVisible(true);

    playback.playing = true;
    choose("b.lrc");
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(lyrics.count(), 3);
    EXPECT_EQ(units.透明标签1.text(), "a.lrc");
    EXPECT_EQ(playback.resets, 1);
    EXPECT_FALSE(units.歌词预览.visible());  // the list comes back even so

    playback.playing = false;  // the pause stopped playback; choosing again loads
    choose("b.lrc");
    EXPECT_EQ(rows(), (Rows{{{"9000", "other"}}, {1}}));
}

TEST_F(LyricFilesTest, MissingOrTaglessFilesLoadAsZeroRowsAndSaySoInTheStatusBar) {
    folder.write("a.lrc", kLyric);
    choose("a.lrc");
    choose("gone.lrc");
    EXPECT_EQ(rows(), Rows{});
    EXPECT_EQ(lyrics.count(), 0);
    EXPECT_EQ(units.透明标签1.text(), "gone.lrc");
    EXPECT_EQ(units.状态条1.part(1), "无法读取歌词文件：gone.lrc");

    folder.write("plain.lrc", "no tags here\r\n");
    choose("plain.lrc");
    EXPECT_EQ(rows(), Rows{});
    EXPECT_EQ(units.透明标签1.text(), "plain.lrc");
    EXPECT_EQ(units.状态条1.part(1), "歌词文件中没有带时间的歌词：plain.lrc");
    EXPECT_TRUE(boxes.shown().empty());

    // A good file ends the complaint; someone else's status text is left alone.
    choose("a.lrc");
    EXPECT_EQ(units.状态条1.part(1), "");
    units.状态条1.setPart(1, "歌词下载完毕");
    choose("a.lrc");
    EXPECT_EQ(units.状态条1.part(1), "歌词下载完毕");
}

// Korean and an emoji have no GBK form: the load says how many characters cannot be typed, a
// literal '?' of the lyric is not counted, and the next clean file ends the notice.
TEST_F(LyricFilesTest, CharactersGbkLacksAreCountedInTheStatusBarAtLoad) {
    folder.write("ko.lrc",
                 reinterpret_cast<const char*>(u8"[00:01]사랑해 ok?\n[00:02]好 \U0001F3B5\n"));
    choose("ko.lrc");
    EXPECT_EQ(units.状态条1.part(1), "歌词中有无法输入的字符：4 个（GBK 之外，显示为“?”）");
    EXPECT_EQ(rows().cells[0].second, "??? ok?");
    folder.write("a.lrc", kLyric);
    choose("a.lrc");
    EXPECT_EQ(units.状态条1.part(1), "");

    folder.write("be.lrc",
                 "\xFE\xFF\0[\0"
                 "0\0"
                 "0\0:\0"
                 "0\0"
                 "1\0]\xD5\x5C\0?"s);
    choose("be.lrc");
    EXPECT_EQ(units.状态条1.part(1), "歌词中有无法输入的字符：1 个（GBK 之外，显示为“?”）");
}

TEST_F(LyricFilesTest, AFileTheReaderRejectsShowsTheFailureAndLeavesTheListEmpty) {
    folder.write("a.lrc", kLyric);
    folder.write("bad.lrc", "[00:01]x\r\n[0:" + std::string(30000, '7'));
    choose("a.lrc");
    choose("bad.lrc");
    EXPECT_EQ(boxes.shown(),
              (std::vector<FakeMessageBoxes::Shown>{
                  {"解析失败,未知原因！", "信息：", mb::kIconInformation | mb::kTaskModal}}));
    EXPECT_EQ(rows(), Rows{});
    EXPECT_EQ(lyrics.count(), 0);
    EXPECT_EQ(units.透明标签1.text(), "a.lrc");
}

TEST_F(LyricFilesTest, LoadsFilesWithChineseNamesAndStopsAtNul) {
    const GbkText name = "\xD0\xC7\xB9\xE2.lrc";  // 星光.lrc
    folder.write(name, "[00:01.00]a\r\n\0[00:02.00]b\r\n"s);
    choose(name);
    EXPECT_EQ(rows(), (Rows{{{"1000", "a"}}, {1}}));
    EXPECT_EQ(units.透明标签1.text(), name);
}

}  // namespace
