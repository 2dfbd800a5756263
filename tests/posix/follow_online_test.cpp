// cantorel-cli follow with an empty lyric folder: each track's lyric is found on the local
// stand-in for LRCLIB, saved into the folder, and typed at the song's time; the next track too.
#include <gtest/gtest.h>

#include "cli/commands.hpp"
#include "platform/files.hpp"
#include "tests/cli/command_run.hpp"
#include "tests/posix/lyric_site.hpp"

namespace {

std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class FollowOnline : public LyricSiteSuite {
  protected:
    TempFolder folder_{"cantorel-follow-online"};
};

TEST_F(FollowOnline, EachTracksLyricIsFoundSavedAndTypedInStep) {
    folder_.write(
        "timeline.jsonl",
        utf8(u8"{\"at\":0,\"sessions\":[{\"player\":\"QQMusic.exe\",\"title\":\"Starlight Road "
             u8"(伴奏)\","
             u8"\"artist\":\"The "
             u8"Lanterns\",\"length\":120000,\"state\":\"playing\",\"position\":0}]}\n"
             u8"{\"at\":7000,\"sessions\":[{\"player\":\"QQMusic.exe\",\"title\":\"星光\","
             u8"\"artist\":\"林间小队\",\"length\":90000,\"state\":\"playing\",\"position\":0}]}\n"
             u8"{\"at\":10000,\"sessions\":[]}\n"));
    const CommandRun run =
        runCommand(cli::runFollow, {"--timeline", folder_.gbk() + "/timeline.jsonl", "--lyrics",
                                    folder_.gbk(), "--lrclib", site_->base(), "--dry-run"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, utf8(u8"[+00:01.000] Under the starlight\n"
                            u8"[+00:03.000] We walk home\n"
                            u8"[+00:05.500] 星光照亮回家的路\n"
                            u8"[+00:07.800] 星光落在海面\n"
                            u8"[+00:09.400] 我们轻轻地唱\n"));
    EXPECT_EQ(files::listFiles(folder_.gbk(), ".lrc"),
              (std::vector<GbkText>{"Starlight Road - The Lanterns.lrc",
                                    "\xD0\xC7\xB9\xE2 - \xC1\xD6\xBC\xE4\xD0\xA1\xB6\xD3.lrc"}));
}

}  // namespace
