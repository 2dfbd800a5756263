// Message boxes show GBK text correctly whatever the code page, and return the button pressed.
#include "win32/message_boxes_win32.hpp"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

struct Seen {
    std::wstring text;
    bool found = false;
};

// Finds the box by its title as UTF-16, reads its text and presses "No".
DWORD WINAPI answerNo(void* param) {
    auto* seen = static_cast<Seen*>(param);
    for (int i = 0; i < 200; ++i) {
        HWND box = FindWindowW(L"#32770", L"没有目标");
        if (box) {
            wchar_t text[256] = {};
            // 0xFFFF is the id of a message box's text.
            GetDlgItemTextW(box, 0xFFFF, text, 256);
            seen->text = text;
            seen->found = true;
            PostMessageW(box, WM_COMMAND, IDNO, 0);
            return 0;
        }
        Sleep(25);
    }
    return 1;
}

TEST(Win32MessageBoxes, ShowsGbkTextAndReturnsTheButtonPressed) {
    Seen seen;
    HANDLE answerer = CreateThread(nullptr, 0, answerNo, &seen, 0, nullptr);
    const int answer = Win32MessageBoxes().show("请先获取QT语音客户端的窗口", "没有目标",
                                                mb::kYesNo | mb::kIconInformation);
    WaitForSingleObject(answerer, INFINITE);
    CloseHandle(answerer);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, L"请先获取QT语音客户端的窗口");
    EXPECT_EQ(answer, mb::kIdNo);
}

}  // namespace
