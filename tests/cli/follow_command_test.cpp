// The follow command over the recorded timelines of tests/follow/timelines: every line at the
// time the player's song reached it, natively and under Wine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "cli/commands.hpp"
#include "tests/cli/command_run.hpp"

namespace {

std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string timelines() {
    const char* source = std::getenv("CANTOREL_SOURCE_DIR");
    return std::string(source ? source : ".") + "/tests/follow/timelines/";
}

CommandRun follow(const std::string& timeline) {
    return runCommand(cli::runFollow, {"--timeline", timelines() + timeline, "--lyrics",
                                       timelines() + "lyrics", "--dry-run"});
}

TEST(FollowCommand, ASetWithPauseSeekAndATrackWithoutLyric) {
    const CommandRun run = follow("set.jsonl");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, utf8(u8"[+00:02.000] 晚风吹过小河边\n"
                            u8"[+00:05.000] 灯火一盏一盏亮\n"
                            u8"[+00:11.000] 你说明天还会晴\n"  // 3 s of pause
                            u8"[+00:15.000] 我把歌唱给月亮\n"
                            u8"[+00:16.000] 晚风吹过小河边\n"  // the seek to 0:18
                            u8"[+00:18.000] 一起回家\n"
                            u8"[+00:42.500] Paper boats on a silver stream\n"
                            u8"[+00:45.000] Carry every little dream\n"
                            u8"[+00:48.000] Home again\n"));
    EXPECT_NE(
        run.err.find(utf8(u8"无词曲 (伴奏) - 林远（时间来自播放器），没有找到歌词，等待下一首")),
        std::string::npos)
        << run.err;
}

TEST(FollowCommand, PlayersWithoutACoarseOrARunawayPosition) {
    const CommandRun run = follow("players.jsonl");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, utf8(u8"[+00:02.500] 晚风吹过小河边\n"  // from the track change at 0.5 s
                            u8"[+00:05.500] 灯火一盏一盏亮\n"
                            u8"[+00:08.500] 你说明天还会晴\n"
                            u8"[+00:12.500] 我把歌唱给月亮\n"
                            u8"[+00:16.500] 晚风吹过小河边\n"
                            u8"[+00:20.500] 一起回家\n"
                            u8"[+00:23.500] Paper boats on a silver stream\n"
                            u8"[+00:26.000] Carry every little dream\n"
                            u8"[+00:28.980] Home again\n"  // after a report 20 ms ahead
                            u8"[+00:35.000] 晚风吹过小河边\n"
                            u8"[+00:38.000] 灯火一盏一盏亮\n"  // own time from 0:37
                            u8"[+00:41.000] 你说明天还会晴\n"
                            u8"[+00:45.000] 我把歌唱给月亮\n"));
    EXPECT_NE(run.err.find(utf8(u8"酷狗音乐：晚风 - 林远（时间来自切歌）")), std::string::npos);
}

TEST(FollowCommand, RefusesBadArgumentsAndBrokenTimelines) {
    for (const cli::Args& args :
         {cli::Args{}, cli::Args{"--timeline"},
          cli::Args{"--timeline", timelines() + "missing.jsonl"},
          cli::Args{"--timeline", timelines() + "set.jsonl", "--mode", "x"},
          cli::Args{"--timeline", timelines() + "set.jsonl", "--offset", "1s"},
          cli::Args{"--timeline", timelines() + "set.jsonl", "extra"}}) {
        const CommandRun run = runCommand(cli::runFollow, args);
        EXPECT_EQ(run.code, 1) << testing::PrintToString(args);
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
