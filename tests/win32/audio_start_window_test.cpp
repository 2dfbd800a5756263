// 开始字幕 with 伴奏开始时自动开始 on, in the real main window: the button arms at once, and
// what the machine's sound does next (no device here under Wine, usually) ends in a clear state.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/win32/program_folder.hpp"
#include "text/codepage.hpp"
#include "win32/gui/main_window.hpp"
#include "win32/pumping_wait_win32.hpp"

namespace {

using test_program::freshFolder;

std::filesystem::path makeFolder() {
    const auto folder = freshFolder("audio-start");
    std::ofstream(folder / L"cantorel.ini", std::ios::binary)
        << "[lyrics]\r\nstart_with_audio=1\r\n";
    return folder;
}

TEST(AudioStartWindow, StartArmsAndEndsInAClearState) {
    test_program::initCommonControls();
    const auto folder = makeFolder();
    MainWindow window(MainWindowOptions{test_program::gbkPath(folder), false});
    ASSERT_TRUE(window.create());
    ShowWindow(window.hwnd(), SW_SHOW);
    MainUnits& u = window.mainUnits();
    window.state().targetWindow = reinterpret_cast<WindowHandle>(window.hwnd());
    window.state().lyrics.lines = {{2000, "a"}};
    u.公屏字幕.setChecked(true);
    HWND button = window.units().control("开始字幕")->hwnd();

    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(u.开始字幕.text(), "等待伴奏…");
    EXPECT_NE(u.状态条1.part(1).find("正在监听"), GbkText::npos);

    Win32PumpingWait wait;
    for (int i = 0; i < 150 && u.开始字幕.text() != "开始字幕"; ++i) wait.wait(20);
    if (u.开始字幕.text() == "开始字幕") {
        // No sound device: disarmed, with the reason where the user looks.
        std::printf("disarmed: %s\n", codepage::gbkToUtf8(u.状态条1.part(1)).c_str());
        EXPECT_NE(u.状态条1.part(1).find("已停止等待伴奏"), GbkText::npos);
    } else {
        // A silent device: still waiting; the second click disarms.
        EXPECT_EQ(u.开始字幕.text(), "等待伴奏…");
        SendMessageW(button, BM_CLICK, 0, 0);
        EXPECT_EQ(u.开始字幕.text(), "开始字幕");
        EXPECT_EQ(u.状态条1.part(1), "已停止等待伴奏");
    }
}

}  // namespace
