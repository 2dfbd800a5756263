#include "app/more_settings.hpp"

#include <gtest/gtest.h>

#include "app/cantorel_ini.hpp"
#include "platform/files.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

TEST(MoreSettings, HotkeyChordsParseInAnySpellingAndRejectWhatCouldEatTyping) {
    const std::pair<const char*, const char*> good[] = {
        {"Ctrl+Alt+S", "Ctrl+Alt+S"},       {" alt + CTRL + s ", "Ctrl+Alt+S"},
        {"Ctrl+Alt+]", "Ctrl+Alt+]"},       {"ctrl+alt+pagedown", "Ctrl+Alt+PageDown"},
        {"Win+Shift+F12", "Shift+Win+F12"}, {"Alt+7", "Alt+7"},
    };
    for (const auto& [text, name] : good) {
        const auto key = parseHotkey(text);
        ASSERT_TRUE(key) << text;
        EXPECT_EQ(hotkeyName(*key), name);
    }
    for (const char* bad : {"", "S", "Shift+S", "Ctrl+Ctrl+S", "Ctrl+Alt+", "Ctrl+Alt+S+T",
                            "Ctrl+Alt+F13", "Ctrl+Alt+Left", "Ctrl+Alt+中"}) {
        EXPECT_FALSE(parseHotkey(bad)) << bad;
    }
}

TEST(MoreSettings, RoundTripThroughCantorelIniKeepsOtherSectionsAndTheUsersKeys) {
    TempFolder folder;
    folder.write("cantorel.ini",
                 "[network]\r\ntimeout_ms=5000\r\n[hotkeys]\r\nstart_stop=Ctrl+Shift+Home\r\n"
                 "next_line=\r\nprevious_line=Ctrl+Alt+Banana\r\n");
    MoreSettings settings = loadMoreSettings(folder.gbk());
    EXPECT_EQ(settings.shape.bilingual, Bilingual::Lines);
    EXPECT_FALSE(settings.shape.applyOffset);
    EXPECT_EQ(hotkeyName(*settings.hotkeys[0].key), "Ctrl+Shift+Home");
    EXPECT_EQ(hotkeyName(*settings.hotkeys[1].key), "Ctrl+Alt+]");  // default
    EXPECT_FALSE(settings.hotkeys[3].key);                          // switched off
    EXPECT_FALSE(settings.hotkeys[4].key);
    EXPECT_EQ(settings.hotkeys[4].text, "Ctrl+Alt+Banana");
    EXPECT_EQ(settings.audioDevice, "");  // the system's default device

    settings.shape = {Bilingual::Translation, true};
    settings.audioDevice = "{0.0.0.00000000}.{5f1c2c5e-1111-4a2b-9c3d-0123456789ab}";
    settings.startWithAudio = true;
    settings.hotkeys[2].text = "Ctrl+Shift+F9";
    ASSERT_TRUE(saveMoreSettings(folder.gbk(), settings));
    const MoreSettings again = loadMoreSettings(folder.gbk());
    EXPECT_EQ(again.shape.bilingual, Bilingual::Translation);
    EXPECT_TRUE(again.shape.applyOffset);
    EXPECT_TRUE(again.startWithAudio);
    EXPECT_EQ(again.audioDevice, settings.audioDevice);
    EXPECT_EQ(hotkeyName(*again.hotkeys[2].key), "Ctrl+Shift+F9");
    const std::string content = cantorel_ini::read(folder.gbk());
    EXPECT_EQ(cantorel_ini::value(content, "network", "timeout_ms", ""), "5000");
    EXPECT_EQ(cantorel_ini::value(content, "hotkeys", "next_line", "?"), "");
    EXPECT_EQ(cantorel_ini::value(content, "hotkeys", "previous_line", ""), "Ctrl+Alt+Banana");
    EXPECT_EQ(cantorel_ini::value(content, "hotkeys", "nudge_later", ""), "Ctrl+Alt+]");
    EXPECT_EQ(cantorel_ini::value(content, "lyrics", "start_with_audio", ""), "1");
}

TEST(MoreSettings, HotkeyProblemsMakeOneLine) {
    EXPECT_EQ(hotkeyProblems({}, {}), "");
    EXPECT_EQ(hotkeyProblems({"Ctrl+Alt+S", "Ctrl+Alt+]"}, {}),
              "热键已被其他程序占用：Ctrl+Alt+S、Ctrl+Alt+]");
    EXPECT_EQ(hotkeyProblems({"Ctrl+Alt+S"}, {"Ctrl+Alt+Banana"}),
              "热键已被其他程序占用：Ctrl+Alt+S；热键无法识别：Ctrl+Alt+Banana");
}

}  // namespace
