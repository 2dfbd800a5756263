// The media-session reader against a session manager built here on the same vtables as
// Windows.Media.Control's: every call the reader makes, its strings, asynchronous results that
// finish late, fail or are cancelled, and empty lists. Wine has no media sessions, so the real
// factory's "unavailable" is checked too.
#include "win32/media_sessions_win32.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "tests/win32/fake_session_manager.hpp"
#include "win32/clock_win32.hpp"
#include "win32/wide_text.hpp"

using namespace winrt_media;
using namespace fake_sessions;

namespace {

constexpr INT64 kSecond = 10000000;  // 100 ns units
constexpr INT64 kNowFiletime = 134000000000000000;

const SessionData kPlaying{L"QQMusic.exe",
                           L"晚风",
                           L"林远",
                           3,
                           kStatusCompleted,
                           kPlaybackPlaying,
                           1.5,
                           200 * kSecond,
                           12 * kSecond,
                           kNowFiletime - 2 * kSecond};
const SessionData kPausedNoTimeline{
    L"Spotify.exe", L"Paper Boats", L"Mira Lane", 0, kStatusError, kPlaybackPaused, 0, 0, 0, 0};

TEST(MediaSessionsWin32, EverySessionIsReadThroughTheInterfacesAndEveryReferenceIsGivenBack) {
    ASSERT_TRUE(winRt().loaded()) << "combase's HSTRING functions are missing";
    {
        auto* manager = new FakeManager;
        manager->sessions = {kPlaying, kPausedNoTimeline};
        const auto reading = media_sessions_win32::readSessions(manager, 50000000, kNowFiletime);
        manager->Release();
        ASSERT_EQ(reading.error, S_OK);
        ASSERT_EQ(reading.sessions.size(), 2u);
        const SessionSnapshot& a = reading.sessions[0];
        EXPECT_EQ(a.player, "QQMusic.exe");
        EXPECT_EQ(a.title, "晚风");
        EXPECT_EQ(a.artist, "林远");
        EXPECT_EQ(a.state, PlayState::Playing);
        EXPECT_EQ(a.lengthMs, 200000);
        EXPECT_TRUE(a.hasPosition);
        EXPECT_EQ(a.positionMs, 12000);
        EXPECT_EQ(a.stampMicros, 48000000);  // two seconds before now on the clock
        EXPECT_EQ(a.rate, 1.5);
        // Its properties failed: the session stays, without title; a zero timeline is none.
        const SessionSnapshot& b = reading.sessions[1];
        EXPECT_EQ(b.player, "Spotify.exe");
        EXPECT_EQ(b.title, "");
        EXPECT_EQ(b.state, PlayState::Paused);
        EXPECT_FALSE(b.hasPosition);
        EXPECT_EQ(b.rate, 1.0);
    }
    EXPECT_EQ(liveFakes, 0);
}

TEST(MediaSessionsWin32, ManagerRequestWaitsForCompletionAndReportsFailureCancelAndEmptyLists) {
    struct Case {
        int polls, status;
        HRESULT error, expected;
    };
    for (const Case c :
         {Case{4, kStatusCompleted, S_OK, S_OK},
          Case{0, kStatusError, HRESULT(0x80070005), HRESULT(0x80070005)},
          Case{0, kStatusError, S_OK, E_FAIL}, Case{2, kStatusCanceled, S_OK, E_ABORT},
          Case{1000000, kStatusCompleted, S_OK, E_PENDING}}) {
        auto* statics = new FakeStatics(c.polls, c.status, new FakeManager, c.error);
        ISessionManagerAbi* manager = nullptr;
        EXPECT_EQ(media_sessions_win32::requestManager(statics, &manager, 100), c.expected)
            << c.polls << " " << c.status;
        EXPECT_EQ(manager != nullptr, c.expected == S_OK);
        if (manager) {
            const auto empty = media_sessions_win32::readSessions(manager, 0, kNowFiletime);
            EXPECT_EQ(empty.error, S_OK);
            EXPECT_TRUE(empty.sessions.empty());
            static_cast<FakeManager*>(manager)->listError = E_UNEXPECTED;
            EXPECT_EQ(media_sessions_win32::readSessions(manager, 0, kNowFiletime).error,
                      E_UNEXPECTED);
            manager->Release();
        }
        statics->Release();
    }
    EXPECT_EQ(liveFakes, 0);
}

MediaSessionReader::State waitFor(MediaSessionReader& reader, std::uint64_t serial) {
    for (int i = 0; i < 400 && reader.latest().serial < serial; ++i) Sleep(10);
    return reader.latest();
}

TEST(MediaSessionsWin32, ReaderThreadPublishesChangesAndSaysWhenUnavailable) {
    Win32Clock clock;
    {
        auto* manager = new FakeManager;
        manager->sessions = {kPlaying};
        std::atomic<int> told{0};
        Win32MediaSessionReader reader(
            clock,
            [manager](ISessionManagerStaticsAbi** statics) {
                manager->AddRef();
                *statics = new FakeStatics(2, kStatusCompleted, manager);
                return S_OK;
            },
            20);
        reader.start([&] { ++told; });
        const auto state = waitFor(reader, 1);
        EXPECT_FALSE(state.unavailable);
        ASSERT_EQ(state.sessions.size(), 1u);
        EXPECT_EQ(state.sessions[0].title, "晚风");
        // Unchanged sessions are not news; a new list is.
        Sleep(100);
        EXPECT_EQ(reader.latest().serial, 1u);
        reader.stop();
        EXPECT_EQ(told, 1);
        manager->Release();
    }
    EXPECT_EQ(liveFakes, 0);

    Win32MediaSessionReader refused(clock, [](ISessionManagerStaticsAbi** statics) {
        *statics = nullptr;
        return REGDB_E_CLASSNOTREG;
    });
    refused.start([] {});
    const auto state = waitFor(refused, 1);
    EXPECT_TRUE(state.unavailable);
    EXPECT_NE(state.reason.find("0x80040154"), std::string::npos);

    // The system's own factory: Wine has none and says so; Windows 10 and later answer.
    Win32MediaSessionReader real(clock);
    real.start([] {});
    const auto answer = waitFor(real, 1);
    if (answer.unavailable) EXPECT_NE(answer.reason, "");
    real.stop();
}

}  // namespace
