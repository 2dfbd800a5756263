// 跟随播放器 end to end inside Wine: the main window reads a session manager built on the real
// one's vtables, looks each track's lyric up on the local stand-in for LRCLIB, and types it into
// the practice room in step with the player's position; the next track is followed too.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/win32/fake_session_manager.hpp"
#include "tests/win32/lyric_site.hpp"
#include "tests/win32/practice_client_runner.hpp"
#include "win32/gui/gui_text.hpp"
#include "win32/gui/main_window.hpp"
#include "win32/media_sessions_win32.hpp"

// After the window's own text helpers, which it reads names through.
#include "tests/win32/program_folder.hpp"

using namespace fake_sessions;

namespace {

INT64 filetimeNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return static_cast<INT64>((static_cast<std::uint64_t>(now.dwHighDateTime) << 32) |
                              now.dwLowDateTime);
}

template <typename Done>
bool pumpUntil(Done done, int ms) {
    const std::int64_t deadline = qpcMicros() + ms * 1000LL;
    while (!done()) {
        if (qpcMicros() > deadline) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    }
    return true;
}

TEST(FollowWindow, LyricsFoundOnTheSiteArePlayedIntoTheRoomInStepTrackAfterTrack) {
    if (practice::clientPath().empty()) GTEST_SKIP() << "CANTOREL_BUILD_DIR is not set";
    const std::string site = lyricSiteAddress();
    ASSERT_FALSE(site.empty());
    test_program::initCommonControls();
    const auto folder = test_program::freshFolder("FollowWindow");
    std::ofstream(folder / L"cantorel.ini", std::ios::binary)
        << "[network]\r\nlrclib=" << site << "\r\nsource=lrclib\r\n[follow]\r\nenabled=1\r\n";

    auto* manager = new FakeManager;
    MainWindowOptions options{test_program::gbkPath(folder), false};
    options.sessionReader = [manager](Clock& clock) -> std::unique_ptr<MediaSessionReader> {
        return std::make_unique<Win32MediaSessionReader>(
            clock, [manager](ISessionManagerStaticsAbi** statics) {
                manager->AddRef();
                *statics = new FakeStatics(1, kStatusCompleted, manager);
                return S_OK;
            });
    };
    MainWindow window(options);
    ASSERT_TRUE(window.create());
    ShowWindow(window.hwnd(), SW_SHOWNOACTIVATE);
    MainUnits& u = window.mainUnits();

    Win32WindowSystem windows;
    practice::Client client("follow");
    ASSERT_TRUE(client.start(windows));
    window.state().targetWindow = client.mainWindow();
    HWND publicScreen = window.units().control("公屏字幕")->hwnd();
    SendMessageW(publicScreen, BM_CLICK, 0, 0);
    SendMessageW(window.units().control("开始字幕")->hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(u.开始字幕.text(), "跟随中…");

    // The player started the accompaniment 0.5 s ago; its lines are due at 1, 3 and 5.5 s.
    const std::int64_t start = qpcMicros() - 500000;
    manager->set({{L"QQMusic.exe", L"Starlight Road (伴奏)", L"The Lanterns", 0, kStatusCompleted,
                   kPlaybackPlaying, 0, 120 * 10000000LL, 0, filetimeNow() - 5000000}});
    ASSERT_TRUE(pumpUntil([&] { return u.超级列表框_歌词.rowCount() == 3; }, 10000))
        << u.状态条1.part(1);
    EXPECT_EQ(u.状态条1.part(1), "QQ音乐：Starlight Road (伴奏) - The Lanterns（时间来自播放器）");
    EXPECT_TRUE(std::filesystem::exists(folder / L"Starlight Road - The Lanterns.lrc"));
    pumpUntil([] { return false; }, 6000);

    // The next track, from its start.
    const std::int64_t next = qpcMicros();
    manager->set({{L"QQMusic.exe", L"星光", L"林间小队", 0, kStatusCompleted, kPlaybackPlaying, 0,
                   90 * 10000000LL, 0, filetimeNow()}});
    pumpUntil([] { return false; }, 3500);
    SendMessageW(window.units().control("开始字幕")->hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(u.开始字幕.text(), "开始字幕");
    ASSERT_TRUE(client.stop());

    std::vector<std::pair<std::string, std::int64_t>> sent;
    for (const auto& line : client.readLog()) {
        if (line.is("event", "public"))
            sent.emplace_back(line.get("text_hex"), std::stoll(line.get("t_us")));
    }
    const std::pair<GbkText, std::int64_t> due[] = {
        {"Under the starlight", start + 1000000},
        {"We walk home", start + 3000000},
        {"\xD0\xC7\xB9\xE2\xD5\xD5\xC1\xC1\xBB\xD8\xBC\xD2\xB5\xC4\xC2\xB7", start + 5500000},
        {"\xD0\xC7\xB9\xE2\xC2\xE4\xD4\xDA\xBA\xA3\xC3\xE6", next + 800000},
        {"\xCE\xD2\xC3\xC7\xC7\xE1\xC7\xE1\xB5\xD8\xB3\xAA", next + 2400000}};
    ASSERT_EQ(sent.size(), std::size(due));
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].first, practice::hex(due[i].first)) << i;
        // Sent once typed: the line's start plus the delivery's own steps (some 100 ms), and
        // the 250 ms between two readings of the sessions for a track's first report.
        const std::int64_t late = sent[i].second - due[i].second;
        std::printf("follow: line %zu sent %lld ms after its time\n", i,
                    static_cast<long long>(late / 1000));
        EXPECT_GE(late, 0) << i;
        EXPECT_LT(late, 600000) << i;
    }
    manager->Release();
}

}  // namespace
