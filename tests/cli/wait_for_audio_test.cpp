// cantorel-cli play --wait-for-audio: a WAV stands in for what the computer plays.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/commands.hpp"
#include "tests/audio/signals.hpp"
#include "tests/cli/command_run.hpp"

using ::testing::HasSubstr;

namespace {

// Named apart from play_command_test.cpp's helper, which a unity build puts in the same unit.
CommandRun playWaiting(const cli::Args& args) { return runCommand(cli::runPlay, args); }

class WaitForAudioTest : public CommandFolderTest {
  protected:
    WaitForAudioTest() {
        write("song.lrc", "[00:00.00]zero\r\n[00:02.00]one\r\n[00:03.50]two\r\n");
        write("short.lrc", "[00:00.10]hi\r\n");
    }
    void writeWav(const std::string& name, double musicAt, double seconds) {
        signals::Track track(16000, seconds);
        if (musicAt >= 0)
            track.noise(0.3, 0.002, -6)
                .tone(musicAt, seconds - musicAt, 440, -20, signals::kPi / 2);
        write(name, signals::wavBytes(track.samples(), 16000, 2));
        // (The music starts at its peak, so its first sample is the onset to the sample.)
    }
};

TEST_F(WaitForAudioTest, DryRunStampsCountFromTheStartOfTheWav) {
    writeWav("music.wav", 1.234, 4);
    const CommandRun run =
        playWaiting({path("song.lrc"), "--dry-run", "--wait-for-audio", path("music.wav")});
    EXPECT_EQ(run.code, 0) << run.err;
    // The line at time 0 goes out with the music; the click at 0.3 s started nothing.
    EXPECT_EQ(run.out, "[+00:01.234] zero\n[+00:03.234] one\n[+00:04.734] two\n");
    EXPECT_THAT(run.err, HasSubstr(reinterpret_cast<const char*>(u8"1.23 秒")));

    const CommandRun nudged = playWaiting(
        {path("song.lrc"), "--dry-run", "--nudge", "-200", "--wait-for-audio", path("music.wav")});
    EXPECT_THAT(nudged.out, HasSubstr("[+00:03.034] one\n"));
}

TEST_F(WaitForAudioTest, RefusesUnreadableWavsAndSoundWithoutMusic) {
    write("text.wav", "RIFF, but not really");
    writeWav("silent.wav", -1, 2);
    const std::pair<const char*, const char*> cases[] = {
        {"missing.wav", "cannot read"},
        {"text.wav", "not a RIFF WAVE file"},
        {"silent.wav", "ends before any music"},
    };
    for (const auto& [wav, message] : cases) {
        const CommandRun run =
            playWaiting({path("song.lrc"), "--dry-run", "--wait-for-audio", path(wav)});
        EXPECT_EQ(run.code, 1) << wav;
        EXPECT_THAT(run.err, HasSubstr(message)) << wav;
        EXPECT_EQ(run.out, "") << wav;
    }
}

TEST_F(WaitForAudioTest, InRealTimeNoLineGoesOutBeforeTheMusic) {
    writeWav("quick.wav", 0.4, 1.6);
    const CommandRun run = playWaiting({path("short.lrc"), "--wait-for-audio", path("quick.wav")});
    ASSERT_EQ(run.code, 0) << run.err;
    ASSERT_THAT(run.out, HasSubstr("] hi\n"));
    EXPECT_GE(run.out.substr(0, 12), "[+00:00.500]");
}

}  // namespace
