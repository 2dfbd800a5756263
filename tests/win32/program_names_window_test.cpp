// The real main window in a program folder whose name GBK cannot hold (a Korean user name),
// with a lyric whose name GBK cannot hold either: the file list shows the real name, the lyric
// plays into the practice room, and the settings are saved beside the program.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/win32/practice_client_runner.hpp"
#include "tests/win32/program_folder.hpp"
#include "win32/gui/main_window.hpp"
#include "win32/wide_path.hpp"

namespace {

void pumpFor(int milliseconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

TEST(ProgramNamesWindow, AKoreanNamedLyricInAKoreanNamedFolderIsListedPlayedAndSettingsSaved) {
    if (practice::clientPath().empty()) GTEST_SKIP() << "CANTOREL_BUILD_DIR is not set";
    test_program::initCommonControls();
    const std::wstring folderW =
        test_program::freshFolder("names").wstring() + L"\\\xAE40\xBBFC\xC218";  // 김민수
    ASSERT_TRUE(CreateDirectoryW(folderW.c_str(), nullptr));
    const std::wstring lyricName = L"\xC0AC\xB791\xD574.lrc";  // 사랑해.lrc
    {
        const std::string lyric = "[00:00.00]\xB5\xDA\xD2\xBB\xBE\xE4\r\n[00:00.30]two\r\n";
        HANDLE file = CreateFileW((folderW + L"\\" + lyricName).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD wrote = 0;
        WriteFile(file, lyric.data(), static_cast<DWORD>(lyric.size()), &wrote, nullptr);
        CloseHandle(file);
    }

    practice::Client client("names");
    Win32WindowSystem windows;
    ASSERT_TRUE(client.start(windows));
    {
        MainWindow window(MainWindowOptions{win32::pathText(folderW), false});
        ASSERT_TRUE(window.create());
        HWND list = window.units().control("文件框1")->hwnd();
        ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
        wchar_t shown[64] = {};
        SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(shown));
        EXPECT_EQ(std::wstring(shown), lyricName);

        SendMessageW(list, LB_SETCURSEL, 0, 0);
        SendMessageW(window.hwnd(), WM_COMMAND,
                     MAKEWPARAM(window.units().idOf("文件框1"), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        ASSERT_EQ(window.state().lyrics.count(), 2);

        window.state().targetWindow = client.mainWindow();
        auto click = [&](const char* name) {
            SendMessageW(window.units().control(name)->hwnd(), BM_CLICK, 0, 0);
        };
        click("公屏字幕");
        click("开始字幕");
        pumpFor(1500);
        SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
    }
    ASSERT_TRUE(client.stop());
    std::vector<std::string> sent;
    for (const auto& line : client.readLog())
        if (line.is("event", "public")) sent.push_back(line.get("text_hex"));
    EXPECT_EQ(sent, (std::vector<std::string>{practice::hex("\xB5\xDA\xD2\xBB\xBE\xE4"),
                                              practice::hex("two")}));
    // Saved at the close into the real folder.
    EXPECT_NE(GetFileAttributesW((folderW + L"\\kvd.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
