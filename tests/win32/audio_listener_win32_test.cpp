// Listening to the playback device. The test machine may have no sound device at all (Wine
// without a sound server) or a silent one: either way listening must end cleanly, on this
// thread, and never claim to have heard music.
#include "win32/audio_listener_win32.hpp"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "text/codepage.hpp"
#include "win32/pumping_wait_win32.hpp"

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

}  // namespace
