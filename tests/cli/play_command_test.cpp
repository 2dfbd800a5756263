// The play command. The same tests run natively and, in the Windows tree, under Wine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "tests/cli/command_run.hpp"

using ::testing::ElementsAre;

namespace {

CommandRun play(const cli::Args& args) { return runCommand(cli::runPlay, args); }

std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class PlayCommandTest : public CommandFolderTest {
  protected:
    PlayCommandTest() {
        // GBK: 中文 at 0.5 s written after "ab" at 1 s, and an empty line at 1.25 s.
        write("song.lrc", "[00:01.00]ab\r\n[00:00.50]\xD6\xD0\xCE\xC4\r\n[00:01.25]\r\n");
        write("words.txt", "ab\n");
        write("prefixes.txt", utf8(u8"\xEF\xBB\xBF<\n"));
        write("suffixes.txt", ">\r\n");
    }
};

TEST_F(PlayCommandTest, RefusesMissingFilesAndBadOptionsWithExitCodeOne) {
    const cli::Args refused[] = {
        {},
        {path("missing.lrc")},
        {path("song.lrc"), "--colour"},
        {path("song.lrc"), "--mode", "desktop"},
        {path("song.lrc"), "--seed", "12abc"},
        {path("song.lrc"), "--seed", "-1"},
        {path("song.lrc"), "--seed", "99999999999"},
        {path("song.lrc"), "--reverse", "--alternate"},
        {path("song.lrc"), "--filter-words", path("missing.txt")},
        {path("song.lrc"), path("song.lrc")},
        {path("song.lrc"), "--bilingual", "both"},
        {path("song.lrc"), "--nudge", "0.5"},
        {path("song.lrc"), "--nudge"},
    };
    for (const cli::Args& args : refused) {
        const CommandRun run = play(args);
        EXPECT_EQ(run.code, 1) << testing::PrintToString(args);
        EXPECT_EQ(run.out, "") << testing::PrintToString(args);
        EXPECT_NE(run.err.find("cantorel-cli play"), std::string::npos) << run.err;
    }
}

TEST_F(PlayCommandTest, DryRunPrintsEachLineAtItsTimeThroughTheTransforms) {
    struct Case {
        cli::Args options;
        std::string out;
    };
    const Case cases[] = {
        {{"--fill", "~"}, utf8(u8"[+00:00.500] 中文\n[+00:01.000] ab\n[+00:01.250] ~\n")},
        {{"--mode", "card", "--reverse"},
         utf8(u8"[+00:00.500] 文中\n[+00:01.000] ba\n[+00:01.250] 花鲜上送贝宝上麦请\n")},
        {{"--alternate", "--filter-words", path("words.txt"), "--fill", ""},
         utf8(u8"[+00:00.500] 中文\n[+00:01.000] ................\n[+00:01.250] \n")},
        {{"--prefix-suffix", "--prefixes", path("prefixes.txt"), "--suffixes", path("suffixes.txt"),
          "--seed", "7", "--fill", "x"},
         utf8(u8"[+00:00.500] <中文>\n[+00:01.000] <ab>\n[+00:01.250] <x>\n")},
    };
    for (const Case& c : cases) {
        cli::Args args{path("song.lrc"), "--dry-run"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CommandRun run = play(args);
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, c.out) << testing::PrintToString(c.options);
    }
}

TEST_F(PlayCommandTest, AFileWithoutTimedLinesIsRefused) {
    write("plain.lrc", "no tags here\r\n");
    const CommandRun run = play({path("plain.lrc"), "--dry-run"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("no timed lines"), std::string::npos) << run.err;
}

// Real time on this platform's own timers: the lines arrive in order with their text. The
// stamps are not compared, since a busy machine may deliver a few milliseconds late.
TEST_F(PlayCommandTest, RealTimePlaysEveryLineInOrder) {
    write("short.lrc", "[00:00.05]one\r\n[00:00.00]\xD6\xD0\r\n[00:00.12]three\r\n");
    const CommandRun run = play({path("short.lrc")});
    EXPECT_EQ(run.code, 0) << run.err;
    std::vector<std::string> texts;
    for (std::size_t at = 0; at < run.out.size();) {
        const std::size_t end = run.out.find('\n', at);
        const std::string line = run.out.substr(at, end - at);
        EXPECT_EQ(line.rfind("[+00:00.", 0), 0u) << line;
        texts.push_back(line.substr(line.find(' ') + 1));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    EXPECT_THAT(texts, ElementsAre(utf8(u8"中"), "one", "three"));
}

TEST_F(PlayCommandTest, BilingualOffsetAndNudgeShapeTheDryRun) {
    write("two.lrc",
          "[offset:300]\r\n[00:01.00]Hi\r\n[00:01.00]\xC4\xE3\xBA\xC3\r\n[00:02.00]x\r\n");
    const std::pair<cli::Args, std::string> cases[] = {
        {{"--bilingual", "joined"}, utf8(u8"[+00:01.000] Hi / 你好\n[+00:02.000] x\n")},
        {{"--bilingual", "translation", "--apply-offset", "--nudge", "-200"},
         utf8(u8"[+00:00.500] 你好\n[+00:01.500] x\n")},
    };
    for (const auto& [options, out] : cases) {
        cli::Args args = {path("two.lrc"), "--dry-run"};
        args.insert(args.end(), options.begin(), options.end());
        const CommandRun run = play(args);
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, out);
    }
}

}  // namespace
