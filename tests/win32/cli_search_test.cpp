// cantorel-cli search and download on Windows: the same commands through WinINet, against the
// local lyric site whose address the test command puts into CANTOREL_LYRIC_SITE.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "cli/commands.hpp"
#include "platform/files.hpp"
#include "tests/cli/command_run.hpp"
#include "tests/win32/lyric_site.hpp"

namespace {

TEST(CliSearchWinInet, SearchesAndSavesThroughWinInet) {
    const std::string site = lyricSiteAddress();
    const char* source = std::getenv("CANTOREL_SOURCE_DIR");
    ASSERT_TRUE(!site.empty() && source);

    const CommandRun hits =
        runCommand(cli::runSearch, {"starlight", "--source", "site", "--site", site});
    EXPECT_EQ(hits.code, 0) << hits.err;
    EXPECT_EQ(std::count(hits.out.begin(), hits.out.end(), '\n'), 9) << hits.out;
    EXPECT_EQ(hits.out.substr(0, hits.out.find('\n')),
              reinterpret_cast<const char*>(u8"夜航\t林间小队\t歌词网站"));

    TempFolder folder("cantorel-cli-wininet");
    const CommandRun saved = runCommand(
        cli::runDownload,
        {"starlight", "--pick", "3", "--source", "site", "--site", site, "--dir", folder.gbk()});
    EXPECT_EQ(saved.code, 0) << saved.err;
    std::ifstream want(std::string(source) + "/tools/lyric-site/data/lrc/far-utf16.lrc",
                       std::ios::binary);
    EXPECT_EQ(files::readAll(files::join(folder.gbk(), "远方.lrc")),
              std::string((std::istreambuf_iterator<char>(want)), {}));

    const CommandRun cut = runCommand(
        cli::runDownload,
        {"starlight", "--pick", "9", "--source", "site", "--site", site, "--dir", folder.gbk()});
    EXPECT_EQ(cut.code, 2);
    EXPECT_FALSE(files::exists(files::join(folder.gbk(), "半首歌.lrc")));
}

}  // namespace
