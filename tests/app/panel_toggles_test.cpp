#include "app/panel_toggles.hpp"

#include <gtest/gtest.h>

#include "ui/memory_units.hpp"

namespace {

struct Window {
    MemoryUnits memory;
    MainUnits units{memory};
};

enum Click { Settings, Search };

void click(MainUnits& units, Click which) {
    if (which == Settings)
        panels::onSettingsToggle(units);
    else
        panels::onSearchToggle(units);
}

struct Case {
    const char* name;
    std::vector<Click> clicks;
    int width;
    bool settingsShown;
    bool searchShown;
    const char* settingsCaption;
    const char* searchCaption;
};

class PanelToggles : public ::testing::TestWithParam<Case> {};

TEST_P(PanelToggles, CaptionsWidthAndPanelsFollowTheClicks) {
    const Case& c = GetParam();
    Window w;
    for (Click k : c.clicks) click(w.units, k);
    EXPECT_EQ(w.units.window.width(), c.width);
    EXPECT_EQ(w.units.用户设置.visible(), c.settingsShown);
    EXPECT_EQ(w.units.歌词搜索功能.visible(), c.searchShown);
    EXPECT_EQ(w.units.设置.text(), c.settingsCaption);
    EXPECT_EQ(w.units.歌词下载.text(), c.searchCaption);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, PanelToggles,
    ::testing::Values(
        Case{"NothingClicked", {}, 748, true, true, "设置[展开]", "歌词下载[展开]"},
        Case{"SettingsOpens", {Settings}, 745, true, false, "设置[收起]", "歌词下载[展开]"},
        Case{"SettingsTwiceNarrows",
             {Settings, Settings},
             493,
             true,
             false,
             "设置[展开]",
             "歌词下载[展开]"},
        // The search panel replaces the settings panel; 设置 keeps its own caption.
        Case{"SettingsThenSearch",
             {Settings, Search},
             745,
             false,
             true,
             "设置[收起]",
             "歌词下载[收起]"},
        // 设置 reads "[收起]", so this click narrows without showing its panel.
        Case{"SettingsSearchSettings",
             {Settings, Search, Settings},
             493,
             false,
             true,
             "设置[展开]",
             "歌词下载[收起]"},
        Case{"SearchTwiceLeavesSettingsHidden",
             {Search, Search},
             493,
             false,
             true,
             "设置[展开]",
             "歌词下载[展开]"},
        Case{"SearchTwiceThenSettings",
             {Search, Search, Settings},
             745,
             true,
             false,
             "设置[收起]",
             "歌词下载[展开]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PanelToggle, AnyCaptionOtherThanExpandNarrows) {
    Window w;
    w.units.设置.setText("设置");
    panels::onSettingsToggle(w.units);
    EXPECT_EQ(w.units.window.width(), 493);
    EXPECT_EQ(w.units.设置.text(), "设置[展开]");
}

}  // namespace
