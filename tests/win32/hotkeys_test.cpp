// The global hotkeys and the 更多设置 dialog on the real main window, hosted in the test process:
// keys drive the engine, a chord another program holds is reported while the others work, the
// chords go back to the system at close, and the dialog's choices are saved and come back.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/cantorel_ini.hpp"
#include "tests/win32/program_folder.hpp"
#include "win32/gui/main_window.hpp"
#include "win32/gui/more_settings_dialog.hpp"

namespace {

using test_program::freshFolder;
using test_program::gbkPath;

namespace dialog = more_settings_dialog;

void writeFile(const std::filesystem::path& file, const std::string& bytes) {
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

void pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

// Runs the window's messages for `milliseconds`: the retries of a taken chord take three seconds.
void pumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

/// Holds `chord` from a thread of its own, as another program would, until destroyed.
class ChordHolder {
  public:
    ChordHolder(UINT modifiers, UINT key) {
        thread_ = std::thread([this, modifiers, key] {
            held_ = RegisterHotKey(nullptr, 1, modifiers, key) != FALSE;
            ready_ = true;
            while (!release_) Sleep(5);
            if (held_) UnregisterHotKey(nullptr, 1);
        });
        while (!ready_) Sleep(1);
    }
    ~ChordHolder() {
        release_ = true;
        thread_.join();
    }
    bool held() const { return held_; }

  private:
    std::thread thread_;
    std::atomic<bool> ready_{false}, release_{false}, held_{false};
};

/// True when `chord` can be registered right now, by a thread standing in for another program.
bool chordIsFree(UINT modifiers, UINT key) { return ChordHolder(modifiers, key).held(); }

class HotkeyWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test_program::initCommonControls(); }
    void TearDown() override {
        window_.reset();
        if (client_) DestroyWindow(client_);
    }

    MainWindow& open(const std::filesystem::path& folder) {
        window_ = std::make_unique<MainWindow>(MainWindowOptions{gbkPath(folder), false});
        EXPECT_TRUE(window_->create());
        return *window_;
    }
    void close() {
        SendMessageW(window_->hwnd(), WM_CLOSE, 0, 0);
        window_.reset();
    }
    HWND unit(std::string_view name) { return window_->units().control(name)->hwnd(); }
    MainUnits& units() { return window_->mainUnits(); }
    GbkText status() { return units().状态条1.part(1); }

    // A stand-in client as the target, public-screen mode, and the first lyric of the folder
    // loaded: what 开始字幕 needs to start.
    void readyToPlay() {
        client_ = CreateWindowExW(0, L"Static", L"client", WS_POPUP, 600, 400, 200, 150, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        window_->state().targetWindow = reinterpret_cast<WindowHandle>(client_);
        SendMessageW(unit("公屏字幕"), BM_CLICK, 0, 0);
        chooseFirstFile();
    }
    void chooseFirstFile() {
        const LPARAM onFirstItem = MAKELPARAM(10, 4);
        SendMessageW(unit("文件框1"), WM_LBUTTONDOWN, MK_LBUTTON, onFirstItem);
        SendMessageW(unit("文件框1"), WM_LBUTTONUP, 0, onFirstItem);
    }

    // What the system does when the chord of `action` is pressed.
    void press(HotkeyAction action) {
        PostMessageW(window_->hwnd(), WM_HOTKEY, Win32Hotkeys::idOf(action), 0);
        pump();
    }

    std::unique_ptr<MainWindow> window_;
    HWND client_ = nullptr;
};

// Three lines far enough apart that none falls due by itself while a test runs.
const std::string kSong = "[00:30.00]one\r\n[00:40.00]two\r\n[00:50.00]three\r\n";

TEST_F(HotkeyWindow, KeysStartNudgeSkipAndStopAndAFreshStartForgetsTheNudge) {
    const auto folder = freshFolder("hotkeys-play");
    writeFile(folder / L"song.lrc", kSong);
    open(folder);
    readyToPlay();
    ASSERT_EQ(units().超级列表框_歌词.rowCount(), 3);

    press(HotkeyAction::StartStop);
    EXPECT_EQ(units().开始字幕.text(), "停止字幕");
    for (int i = 0; i < 3; ++i) press(HotkeyAction::NudgeLater);
    EXPECT_EQ(status(), "偏移 +0.3 秒");
    press(HotkeyAction::NudgeEarlier);
    EXPECT_EQ(status(), "偏移 +0.2 秒");
    press(HotkeyAction::NextLine);
    EXPECT_EQ(units().超级列表框_歌词.selection(), 0);
    press(HotkeyAction::NextLine);
    press(HotkeyAction::PreviousLine);
    EXPECT_EQ(units().超级列表框_歌词.selection(), 0);
    press(HotkeyAction::StartStop);
    EXPECT_EQ(units().开始字幕.text(), "开始字幕");

    press(HotkeyAction::StartStop);
    EXPECT_EQ(status(), "偏移 0.0 秒");
}

TEST_F(HotkeyWindow, ATakenChordIsReportedByNameTheOthersWorkAndAllGoBackAtClose) {
    const auto folder = freshFolder("hotkeys-taken");
    writeFile(folder / L"song.lrc", kSong);
    writeFile(folder / L"cantorel.ini", "[hotkeys]\r\nprevious_line=Ctrl+Alt+Banana\r\n");
    {
        const ChordHolder other(MOD_CONTROL | MOD_ALT, 'S');
        ASSERT_TRUE(other.held());
        open(folder);
        pumpFor(3500);
        EXPECT_EQ(status(), "热键已被其他程序占用：Ctrl+Alt+S；热键无法识别：Ctrl+Alt+Banana");
        // The window holds the chords it could have.
        EXPECT_FALSE(chordIsFree(MOD_CONTROL | MOD_ALT, VK_OEM_6));
        EXPECT_FALSE(chordIsFree(MOD_CONTROL | MOD_ALT, VK_NEXT));

        readyToPlay();
        SendMessageW(unit("开始字幕"), BM_CLICK, 0, 0);
        press(HotkeyAction::NudgeLater);
        EXPECT_EQ(status(), "偏移 +0.1 秒");
    }
    close();
    EXPECT_TRUE(chordIsFree(MOD_CONTROL | MOD_ALT, VK_OEM_6));
    EXPECT_TRUE(chordIsFree(MOD_CONTROL | MOD_ALT, 'S'));
}

// The copy an update replaces lets its keys go just before the new one starts: a chord still
// held at the start is tried again, and got, without the status bar ever calling it taken.
TEST_F(HotkeyWindow, AChordLetGoShortlyAfterTheStartIsTakenWithoutComplaint) {
    const auto folder = freshFolder("hotkeys-handover");
    {
        const ChordHolder old(MOD_CONTROL | MOD_ALT, 'S');
        ASSERT_TRUE(old.held());
        open(folder);
        pumpFor(600);
        EXPECT_EQ(status(), "尚未进行任何操作");
    }
    pumpFor(1000);
    EXPECT_FALSE(chordIsFree(MOD_CONTROL | MOD_ALT, 'S'));
    pumpFor(2500);
    EXPECT_EQ(status(), "尚未进行任何操作");
    close();
    EXPECT_TRUE(chordIsFree(MOD_CONTROL | MOD_ALT, 'S'));
}

// The dialog or message box of this process titled `title`, waited for (from a thread of the
// test's own while the window's thread runs the modal loop).
HWND waitForBox(const GbkText& title) {
    for (int i = 0; i < 500; ++i) {
        HWND found = FindWindowW(L"#32770", gui::wide(title).c_str());
        if (found && IsWindowVisible(found)) return found;
        Sleep(10);
    }
    return nullptr;
}

bool gone(HWND window) {
    for (int i = 0; i < 500 && IsWindow(window); ++i) Sleep(10);
    return !IsWindow(window);
}

TEST_F(HotkeyWindow, DialogCancelChangesNothingAndOkSavesReregistersReshapesAndComesBack) {
    const auto folder = freshFolder("hotkeys-dialog");
    // A bilingual lyric: a translation under the same time tag.
    writeFile(folder / L"duet.lrc",
              "[00:01.00]Hello\r\n[00:01.00]\xC4\xE3\xBA\xC3\r\n[00:02.00]Bye\r\n");
    open(folder);
    chooseFirstFile();
    ASSERT_EQ(units().超级列表框_歌词.rowCount(), 3);
    HWND more = unit("更多设置");

    bool closed = false;
    std::thread cancel([&] {
        HWND box = waitForBox("更多设置");
        if (!box) return;
        CheckDlgButton(box, dialog::kApplyOffset, BST_CHECKED);
        SetDlgItemTextW(box, dialog::kFirstHotkey, L"Ctrl+Alt+F1");
        // Escape on the control that has the keyboard cancels, as in every dialog.
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &gui);
        PostMessageW(gui.hwndFocus ? gui.hwndFocus : box, WM_KEYDOWN, VK_ESCAPE, 0);
        closed = gone(box);
    });
    SendMessageW(more, BM_CLICK, 0, 0);
    cancel.join();
    ASSERT_TRUE(closed);
    std::string ini = cantorel_ini::read(gbkPath(folder));
    EXPECT_EQ(cantorel_ini::value(ini, "lyrics", "apply_offset", "0"), "0");
    EXPECT_TRUE(chordIsFree(MOD_CONTROL | MOD_ALT, VK_F1));
    EXPECT_EQ(units().超级列表框_歌词.rowCount(), 3);

    closed = false;
    GbkText refusal;
    std::thread edit([&] {
        HWND box = waitForBox("更多设置");
        if (!box) return;
        SendDlgItemMessageW(box, dialog::kBilingual, CB_SETCURSEL, 3, 0);  // 合并
        CheckDlgButton(box, dialog::kStartWithAudio, BST_CHECKED);
        const int next = dialog::kFirstHotkey + static_cast<int>(HotkeyAction::NextLine);
        SetDlgItemTextW(box, next, L"Ctrl+Alt+Banana");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        HWND message = waitForBox("温馨提示");
        if (!message) {
            PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        for (HWND c = GetWindow(message, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            refusal += gui::windowText(c) + "\n";
        PostMessageW(message, WM_COMMAND, IDOK, 0);
        gone(message);
        if (!IsWindow(box)) return;  // the faulty text was let through
        SetDlgItemTextW(box, next, L"ctrl+shift+f9");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        closed = gone(box);
    });
    SendMessageW(more, BM_CLICK, 0, 0);
    edit.join();
    ASSERT_TRUE(closed);
    EXPECT_NE(refusal.find("Ctrl+Alt+Banana"), std::string::npos);

    ini = cantorel_ini::read(gbkPath(folder));
    EXPECT_EQ(cantorel_ini::value(ini, "lyrics", "bilingual", ""), "joined");
    EXPECT_EQ(cantorel_ini::value(ini, "lyrics", "start_with_audio", ""), "1");
    EXPECT_EQ(cantorel_ini::value(ini, "hotkeys", "next_line", ""), "Ctrl+Shift+F9");
    EXPECT_EQ(status(), "更多设置已保存");
    EXPECT_FALSE(chordIsFree(MOD_CONTROL | MOD_SHIFT, VK_F9));
    EXPECT_TRUE(chordIsFree(MOD_CONTROL | MOD_ALT, VK_NEXT));
    // The lyric on show was read again in the new shape.
    ASSERT_EQ(units().超级列表框_歌词.rowCount(), 2);
    EXPECT_EQ(units().超级列表框_歌词.cell(0, 1), "Hello / \xC4\xE3\xBA\xC3");

    close();
    open(folder);
    chooseFirstFile();
    EXPECT_EQ(units().超级列表框_歌词.rowCount(), 2);
    EXPECT_FALSE(chordIsFree(MOD_CONTROL | MOD_SHIFT, VK_F9));
}

}  // namespace

namespace {

// The device the music start listens to: the system's default first, then every playback
// device the system has; a chosen device that is unplugged now keeps its place until another
// is chosen, and the default chosen again is written as empty.
TEST_F(HotkeyWindow, DialogOffersTheDefaultAndEveryDeviceAndKeepsAnUnpluggedChoice) {
    const auto folder = freshFolder("hotkeys-device");
    writeFile(folder / L"cantorel.ini", "[audio]\r\ndevice={0.0.0.00000000}.{gone}\r\n");
    open(folder);
    const std::size_t devices = renderDevices().size();
    std::vector<std::wstring> rows;
    LRESULT chosen = -1;
    auto answer = [&](int pick) {
        return std::thread([&, pick] {
            HWND box = waitForBox("更多设置");
            if (!box) return;
            HWND list = GetDlgItem(box, dialog::kAudioDevice);
            rows.clear();
            for (LRESULT i = 0; i < SendMessageW(list, CB_GETCOUNT, 0, 0); ++i) {
                wchar_t text[256] = {};
                SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                rows.emplace_back(text);
            }
            chosen = SendMessageW(list, CB_GETCURSEL, 0, 0);
            if (pick >= 0) SendMessageW(list, CB_SETCURSEL, pick, 0);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            gone(box);
        });
    };
    std::thread keep = answer(-1);
    SendMessageW(unit("更多设置"), BM_CLICK, 0, 0);
    keep.join();
    ASSERT_EQ(rows.size(), devices + 2);
    EXPECT_EQ(gui::narrow(rows.front()), "系统默认设备（随系统切换）");
    EXPECT_EQ(gui::narrow(rows.back()), "已选的设备（现在未连接）");
    EXPECT_EQ(chosen, static_cast<LRESULT>(devices + 1));
    EXPECT_EQ(cantorel_ini::value(cantorel_ini::read(gbkPath(folder)), "audio", "device", ""),
              "{0.0.0.00000000}.{gone}");

    std::thread toDefault = answer(0);
    SendMessageW(unit("更多设置"), BM_CLICK, 0, 0);
    toDefault.join();
    EXPECT_EQ(cantorel_ini::value(cantorel_ini::read(gbkPath(folder)), "audio", "device", "?"), "");
    close();
}

}  // namespace
