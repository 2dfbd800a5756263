#include "app/settings_store.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/list_file.hpp"
#include "app/settings_panel.hpp"
#include "app/startup.hpp"
#include "platform/files.hpp"
#include "tests/support/fake_message_boxes.hpp"
#include "tests/support/temp_folder.hpp"
#include "ui/main_layout.hpp"
#include "ui/memory_units.hpp"

namespace {

namespace fs = std::filesystem;

// One run of the program: a fresh window and a store over the shared folder.
struct Session {
    explicit Session(const TempFolder& folder) : store(units, folder.gbk()) {}
    MemoryUnits memory;
    MainUnits units{memory};
    SettingsStore store;
};

std::string fileBytes(const GbkText& path) { return files::readAll(path).value_or("<missing>"); }

const char* const kDefaultFill = "请麦上宝贝送上鲜花";

TEST(SettingsStore, FirstRunShowsTemplatesAndEmptyLists) {
    TempFolder folder;
    Session run(folder);
    run.store.load();
    run.store.loadLists();
    EXPECT_EQ(run.units.填充.text(), kDefaultFill);
    EXPECT_EQ(run.units.过滤.text(), layout::findUnit("过滤")->caption);
    EXPECT_EQ(run.units.前缀.count(), 0);
    EXPECT_EQ(run.units.后缀.count(), 0);
    EXPECT_TRUE(run.units.退出前自动保存所有配置.checked());
}

TEST(SettingsStore, FreshFileHasEveryBoxInUnitOrder) {
    TempFolder folder;
    Session run(folder);
    run.units.编辑框1.setText("C:\\lrc");
    ASSERT_TRUE(run.store.save());
    const std::string expected =
        "[编辑框]\r\n"
        "过滤=//说明:包含以下词汇的句子都将被过滤.><br><QQ><br><QQ><br><www><br><com><br><"
        "制作><br><制作><br><51lrc><br><歌词制作><br><歌词吾爱\r\n"
        "初始文本=\r\n欲搜索内容=\r\n编辑框1=C:\\lrc\r\n填充=请麦上宝贝送上鲜花\r\n"
        "预备下载内容=\r\n编辑框_窗口鼠标位置_X=\r\n编辑框_窗口鼠标位置_Y=\r\n"
        "编辑框_鼠标位置_X=\r\n编辑框_鼠标位置_Y=\r\n";
    EXPECT_EQ(fileBytes(run.store.iniPath()), expected);
}

struct Stored {
    const char* box;
    std::string text;      // set before the save
    std::string expected;  // shown after the next start
};

TEST(SettingsStore, EditBoxesComeBackFromTheNextRunByTheProfileRules) {
    const std::string filterTemplate(layout::findUnit("过滤")->caption);
    const std::vector<Stored> table = {
        {"过滤", "QQ\r\nwww\r\n", "QQ\r\nwww\r\n"},
        {"填充", "", kDefaultFill},            // emptied: the template comes back
        {"欲搜索内容", "a><br><b", "a\r\nb"},  // the marker itself reads as a line break
        {"初始文本", "  \"quoted\"  ", "quoted"},
        {"预备下载内容", "one\ntwo\rthree\r\n", "one\r\ntwo\r\nthree\r\n"},  // pasted breaks
        {"编辑框_鼠标位置_X", std::string(10300, '7'), std::string(10239, '7')},
        {"编辑框_鼠标位置_Y", "\xA1\xA1padded ", "\xA1\xA1padded"},  // full-width blank is text
        {"编辑框_窗口鼠标位置_X", "[00:01.00]a\r\n[00:02.00]b", "[00:01.00]a\r\n[00:02.00]b"},
        {"编辑框_窗口鼠标位置_Y", "-4", "-4"},
    };
    TempFolder folder;
    {
        Session first(folder);
        for (const Stored& s : table) first.memory.get<EditBox>(s.box).setText(s.text);
        ASSERT_TRUE(first.store.save());
    }
    Session second(folder);
    second.store.load();
    for (const Stored& s : table) {
        EXPECT_EQ(second.memory.get<EditBox>(s.box).text(), s.expected) << s.box;
    }
    second.units.过滤.setText("");
    ASSERT_TRUE(second.store.save());
    Session third(folder);
    third.store.load();
    EXPECT_EQ(third.units.过滤.text(), filterTemplate);
}

TEST(SettingsStore, StoredLyricFolderGivesWayToTheProgramFolder) {
    TempFolder folder;
    {
        Session first(folder);
        first.units.编辑框1.setText("D:\\old");
        ASSERT_TRUE(first.store.save());
    }
    Session second(folder);
    CreationSteps steps;
    steps.loadSettings = [&] { second.store.load(); };
    steps.loadLists = [&] { second.store.loadLists(); };
    runCreationSteps(second.units, "E:\\program", steps);
    EXPECT_EQ(second.units.编辑框1.text(), "E:\\program");
}

TEST(SettingsStore, SaveKeepsForeignSectionsAndLines) {
    TempFolder folder;
    Session run(folder);
    ASSERT_TRUE(files::writeAtomically(run.store.iniPath(),
                                       ";mine\r\n[其他]\r\nx=1\r\n\r\n[编辑框]\r\n填充=old\r\n"
                                       "unknown=keep\r\n\r\n[尾]\r\ny=2\r\n"));
    run.units.填充.setText("new");
    ASSERT_TRUE(run.store.save());
    const std::string ini = fileBytes(run.store.iniPath());
    EXPECT_EQ(ini.find(";mine\r\n[其他]\r\nx=1\r\n\r\n[编辑框]\r\n填充=new\r\nunknown=keep\r\n"
                       "过滤="),
              0u);
    EXPECT_NE(ini.find("编辑框_鼠标位置_Y=\r\n\r\n[尾]\r\ny=2\r\n"), std::string::npos);
}

TEST(SettingsStore, ListsRoundTripSuffixFirst) {
    TempFolder folder;
    {
        Session first(folder);
        for (const char* item : {"p1", "", "p1", "\xC7\xB0"}) first.units.前缀.addItem(item);
        for (const char* item : {"s1", "s2"}) first.units.后缀.addItem(item);
        ASSERT_TRUE(first.store.save());
        EXPECT_EQ(lists::readListFile(first.store.prefixPath()),
                  (std::vector<GbkText>{"p1", "", "p1", "\xC7\xB0"}));
    }
    Session second(folder);
    second.units.前缀.addItem("stale");  // loading replaces, never appends
    second.store.loadLists();
    ASSERT_EQ(second.units.前缀.count(), 4);
    EXPECT_EQ(second.units.前缀.item(1), "");
    EXPECT_EQ(second.units.前缀.item(3), "\xC7\xB0");
    ASSERT_EQ(second.units.后缀.count(), 2);
    EXPECT_EQ(second.units.后缀.item(0), "s1");
}

TEST(SettingsStore, NothingIsWrittenWhileAutoSaveIsUnticked) {
    TempFolder folder;
    Session run(folder);
    run.units.退出前自动保存所有配置.setChecked(false);
    EXPECT_TRUE(run.store.save());
    EXPECT_FALSE(files::exists(run.store.iniPath()));
    EXPECT_FALSE(files::exists(run.store.prefixPath()));
    EXPECT_FALSE(files::exists(run.store.suffixPath()));
}

TEST(SettingsStore, UntickingErasesAtOnceAndTickingAgainSavesAtClose) {
    TempFolder folder;
    Session run(folder);
    settings_panel::onAutoSaveClicked(run.units, run.store);  // still ticked: nothing happens
    ASSERT_TRUE(run.store.save());
    ASSERT_TRUE(files::exists(run.store.iniPath()));

    run.units.退出前自动保存所有配置.setChecked(false);
    settings_panel::onAutoSaveClicked(run.units, run.store);
    EXPECT_FALSE(files::exists(run.store.iniPath()));
    EXPECT_FALSE(files::exists(run.store.prefixPath()));
    EXPECT_FALSE(files::exists(run.store.suffixPath()));
    settings_panel::onAutoSaveClicked(run.units, run.store);  // erasing nothing is silent

    run.units.退出前自动保存所有配置.setChecked(true);
    settings_panel::onAutoSaveClicked(run.units, run.store);
    EXPECT_FALSE(files::exists(run.store.iniPath()));
    ASSERT_TRUE(run.store.save());
    EXPECT_TRUE(files::exists(run.store.iniPath()));
    EXPECT_TRUE(files::exists(run.store.prefixPath()));
    EXPECT_TRUE(files::exists(run.store.suffixPath()));
}

TEST(SettingsStore, AFailedWriteLeavesTheOtherFilesSaved) {
    TempFolder folder;
    Session run(folder);
    fs::create_directory(folder / "hz.zbb");  // cannot be replaced by a file, nor read as one
    EXPECT_EQ(files::readAll(run.store.suffixPath()), std::nullopt);
    run.units.前缀.addItem("p");
    EXPECT_FALSE(run.store.save());
    EXPECT_TRUE(fs::is_directory(folder / "hz.zbb"));
    EXPECT_EQ(lists::readListFile(run.store.prefixPath()), std::vector<GbkText>{"p"});
    EXPECT_TRUE(files::exists(run.store.iniPath()));
    EXPECT_EQ(fs::directory_iterator(folder / "hz.zbb"), fs::directory_iterator());

    // At close the user is told which file kept its old contents.
    FakeMessageBoxes boxes;
    EXPECT_FALSE(settings_panel::saveAtClose(run.store, boxes));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text,
              "以下设置文件无法保存，本次的设置没有保留：\r\n" + run.store.suffixPath());
    fs::remove(folder / "hz.zbb");
    EXPECT_TRUE(settings_panel::saveAtClose(run.store, boxes));
    EXPECT_EQ(boxes.shown().size(), 1u);
}

TEST(SettingsStore, EveryEditBoxOfTheWindowIsStored) {
    // A box added to the layout but not to the stored list would silently lose its text.
    std::vector<std::string_view> layoutBoxes;
    for (const UnitLayout& unit : layout::mainWindow()) {
        if (unit.kind == UnitKind::EditBox || unit.kind == UnitKind::MultiLineEdit)
            layoutBoxes.push_back(unit.name);
    }
    std::vector<std::string_view> stored;
    for (const StoredEditBox& box : kStoredEditBoxes) stored.push_back(box.key);
    std::sort(layoutBoxes.begin(), layoutBoxes.end());
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(stored, layoutBoxes);

    MemoryUnits memory;
    MainUnits units(memory);
    for (const StoredEditBox& box : kStoredEditBoxes) {
        EXPECT_EQ(&box.unit(units), memory.find(box.key)) << box.key;
    }
}

TEST(SettingsPanel, AddAndDeleteItems) {
    MemoryUnits memory;
    MainUnits units(memory);
    units.前缀.setEditText("a");
    settings_panel::onAddPrefix(units);
    settings_panel::onAddPrefix(units);  // a repeat is added again
    units.前缀.setEditText("");
    settings_panel::onAddPrefix(units);  // so is an empty text
    ASSERT_EQ(units.前缀.count(), 3);
    EXPECT_EQ(units.前缀.item(2), "");

    settings_panel::onDeletePrefix(units);  // nothing selected
    EXPECT_EQ(units.前缀.count(), 3);
    units.前缀.setSelectedIndex(0);
    settings_panel::onDeletePrefix(units);
    EXPECT_EQ(units.前缀.count(), 2);

    units.后缀.setEditText("s");
    settings_panel::onAddSuffix(units);
    EXPECT_EQ(units.后缀.item(0), "s");
    EXPECT_EQ(units.前缀.count(), 2);
    units.后缀.setSelectedIndex(0);
    settings_panel::onDeleteSuffix(units);
    EXPECT_EQ(units.后缀.count(), 0);
}

TEST(SettingsPanel, ReversalModesExcludeEachOther) {
    MemoryUnits memory;
    MainUnits units(memory);
    units.开启倒序模式.setChecked(true);
    settings_panel::onReverseClicked(units);
    units.开启正反序模式.setChecked(true);
    settings_panel::onMirrorClicked(units);
    EXPECT_FALSE(units.开启倒序模式.checked());
    EXPECT_TRUE(units.开启正反序模式.checked());

    units.开启正反序模式.setChecked(false);  // unticking leaves the other alone
    units.开启倒序模式.setChecked(true);
    settings_panel::onMirrorClicked(units);
    EXPECT_TRUE(units.开启倒序模式.checked());
}

}  // namespace
