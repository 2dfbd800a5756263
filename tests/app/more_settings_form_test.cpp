#include "app/more_settings_form.hpp"

#include <gtest/gtest.h>

namespace {

MoreSettings defaults() {
    MoreSettings settings;
    for (int i = 0; i < kHotkeyActions; ++i) {
        const auto action = static_cast<HotkeyAction>(i);
        settings.hotkeys[static_cast<std::size_t>(i)] = {action, parseHotkey(defaultHotkey(action)),
                                                         std::string(defaultHotkey(action))};
    }
    return settings;
}

TEST(MoreSettingsForm, GoodTextsAreTakenInTheirOneSpellingAndBlankSwitchesAKeyOff) {
    MoreSettings settings = defaults();
    const HotkeyCheck check =
        takeHotkeyTexts({" ctrl+alt+s ", "", "\t", "Alt+Shift+f5", "Ctrl+Alt+PageUp"}, settings);
    EXPECT_EQ(check.field, -1);
    EXPECT_EQ(settings.hotkeys[0].text, "Ctrl+Alt+S");
    EXPECT_FALSE(settings.hotkeys[1].key);
    EXPECT_EQ(settings.hotkeys[1].text, "");
    EXPECT_FALSE(settings.hotkeys[2].key);
    EXPECT_EQ(settings.hotkeys[3].text, "Alt+Shift+F5");
    EXPECT_EQ(settings.hotkeys[3].action, HotkeyAction::NextLine);
}

TEST(MoreSettingsForm, AnUnreadableOrRepeatedChordIsRefusedByNameAndChangesNothing) {
    const MoreSettings before = defaults();
    MoreSettings settings = before;
    HotkeyCheck check = takeHotkeyTexts(
        {"Ctrl+Alt+S", "Ctrl+Alt+]", "Ctrl+Alt+[", "Ctrl+Alt+Banana", "S"}, settings);
    EXPECT_EQ(check.field, 3);
    EXPECT_NE(check.message.find("「跳到下一行」的热键无法识别：Ctrl+Alt+Banana"),
              std::string::npos);

    // The same chord twice, however it is written: the later action is the one refused.
    check = takeHotkeyTexts({"Ctrl+Alt+S", "", "Ctrl+Alt+[", "alt+ctrl+s", ""}, settings);
    EXPECT_EQ(check.field, 3);
    EXPECT_EQ(check.message, "「跳到下一行」与「开始/停止字幕」的热键相同：Ctrl+Alt+S");
    for (int i = 0; i < kHotkeyActions; ++i) {
        EXPECT_EQ(settings.hotkeys[static_cast<std::size_t>(i)].text,
                  before.hotkeys[static_cast<std::size_t>(i)].text);
    }
}

}  // namespace
