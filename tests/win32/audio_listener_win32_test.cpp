// Listening to the playback device. The test machine may have no sound device at all (Wine
// without a sound server) or a silent one: either way listening must end cleanly, on this
// thread, and never claim to have heard music.
#include "win32/audio_listener_win32.hpp"

#include <audioclient.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <optional>
#include <string>

#include "text/codepage.hpp"
#include "win32/pumping_wait_win32.hpp"
#include "win32/wide_text.hpp"

namespace {

struct Heard {
    int onsets = 0, failures = 0;
    GbkText reason;
    DWORD thread = 0;
};

void listen(Win32AudioListener& listener, Heard& heard) {
    listener.start([&](const HeardOnset&) { ++heard.onsets; },
                   [&](const GbkText& reason) {
                       ++heard.failures;
                       heard.reason = reason;
                       heard.thread = GetCurrentThreadId();
                   });
}

void pumpFor(int ms) {
    Win32PumpingWait wait;
    for (int waited = 0; waited < ms; waited += 20) wait.wait(20);
}

TEST(Win32AudioListener, EndsCleanlyWithOrWithoutADevice) {
    Win32AudioListener listener;
    Heard heard;
    listen(listener, heard);
    pumpFor(3000);
    EXPECT_EQ(heard.onsets, 0);
    if (heard.failures > 0) {
        // No device (or none that can be opened): one failure with a reason, on this thread.
        EXPECT_EQ(heard.failures, 1);
        EXPECT_FALSE(heard.reason.empty());
        EXPECT_EQ(heard.thread, GetCurrentThreadId());
        std::printf("listening failed as expected: %s\n",
                    codepage::gbkToUtf8(heard.reason).c_str());
    } else {
        // A device that plays nothing: still listening; a stop ends it for good.
        std::printf("a playback device is listening in silence\n");
        listener.stop();
        pumpFor(300);
        EXPECT_EQ(heard.failures, 0);
    }
    EXPECT_EQ(heard.onsets, 0);

    // Listening again works the same way, and a stop right after a start leaves nothing behind.
    Heard again;
    listen(listener, again);
    listener.stop();
    pumpFor(500);
    EXPECT_EQ(again.onsets + again.failures, 0);
}

TEST(Win32AudioListener, DestroyedWhileListening) {
    Heard heard;
    {
        Win32AudioListener listener;
        listen(listener, heard);
        Sleep(200);  // an outcome may queue
    }
    pumpFor(300);
    EXPECT_EQ(heard.onsets + heard.failures, 0);
}

TEST(Win32AudioListener, ThePlayerAloneWhereWindowsCanElseThePlaybackDevice) {
    using namespace audio_listener_win32;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring full = path;
    const std::wstring name = full.substr(full.find_last_of(L'\\') + 1);
    std::wstring upper = name;
    for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
    // A desktop player's app id: its executable's name, in any case, or its path.
    const DWORD self = playerProcessId(name);
    EXPECT_NE(self, 0u);
    EXPECT_EQ(playerProcessId(upper), self);
    EXPECT_EQ(playerProcessId(full), self);
    for (const wchar_t* unknown : {L"", L"NoSuchPlayer.exe", L"exe",
                                   L"Microsoft.ZuneMusic_8wekyb3d8bbwe!Microsoft.ZuneMusic"})
        EXPECT_EQ(playerProcessId(unknown), 0u) << codepage::gbkToUtf8(win32::narrow(unknown));

    // Wine and Windows before 10 2004 cannot capture one process; the answer is clean either way.
    IAudioClient* client = nullptr;
    const HRESULT hr = activateProcessLoopback(GetCurrentProcessId(), nullptr, 3000, &client);
    std::printf("Windows build %u; process loopback of this process: 0x%08lx\n", windowsBuild(),
                static_cast<unsigned long>(hr));
    if (SUCCEEDED(hr)) {
        ASSERT_NE(client, nullptr);
        client->Release();
    } else {
        EXPECT_EQ(client, nullptr);
    }
    // The same activation of the default playback device, a path Wine knows: the answer comes
    // back through the completion handler (an error when there is no device), in time.
    const DWORD before = GetTickCount();
    client = nullptr;
    const HRESULT render =
        activateAudioClient(L"{E6327CAD-DCEC-4949-AE8A-991E976A79D2}", 0, nullptr, 3000, &client);
    std::printf("activation of the default playback device: 0x%08lx\n",
                static_cast<unsigned long>(render));
    EXPECT_NE(render, HRESULT_FROM_WIN32(ERROR_TIMEOUT));
    EXPECT_LT(GetTickCount() - before, 2500u);
    EXPECT_EQ(client != nullptr, SUCCEEDED(render));
    if (client) client->Release();

    // This process as the player, on a system said to allow it: listened to alone, or where
    // that fails, exactly as a listener of the playback device does (the same failure when
    // there is no device); the handler is told which once listening has begun.
    struct Result {
        Heard heard;
        std::optional<ListenSource> source;
    };
    auto listenFor = [&](const GbkText& player) {
        Win32AudioListener listener(kProcessLoopbackBuild);
        Result result;
        if (!player.empty()) listener.listenTo(player, [&](ListenSource s) { result.source = s; });
        listen(listener, result.heard);
        pumpFor(player.empty() ? 1500 : 4500);
        listener.stop();
        return result;
    };
    const Result device = listenFor({});
    const Result player = listenFor(win32::narrow(name));
    EXPECT_EQ(player.heard.onsets, 0);
    if (SUCCEEDED(hr)) {
        EXPECT_EQ(player.heard.failures, 0);
        EXPECT_EQ(player.source, ListenSource::Player);
    } else {
        EXPECT_EQ(player.heard.failures, device.heard.failures);
        EXPECT_EQ(player.heard.reason, device.heard.reason);
        if (player.heard.failures == 0) {
            EXPECT_EQ(player.source, ListenSource::PlaybackDevice);
        }
    }
    std::printf("listening for this process: %s\n",
                player.heard.failures ? codepage::gbkToUtf8(player.heard.reason).c_str()
                : player.source == ListenSource::Player ? "the player alone"
                                                        : "the playback device");
}

}  // namespace
