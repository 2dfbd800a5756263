// cantorel-cli search and download against the local lyric site, through libcurl.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "cli/commands.hpp"
#include "platform/files.hpp"
#include "tests/cli/command_run.hpp"
#include "tests/posix/lyric_site.hpp"

namespace {

std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string siteFile(const std::string& name) {
    std::ifstream file(
        std::string(std::getenv("CANTOREL_SOURCE_DIR")) + "/tools/lyric-site/data/lrc/" + name,
        std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), {});
}

class SearchCommand : public LyricSiteSuite {
  protected:
    static CommandRun search(cli::Args args) { return runCommand(cli::runSearch, args); }
    CommandRun download(cli::Args args) {
        args.insert(args.end(), {"--dir", folder_.gbk()});
        return runCommand(cli::runDownload, args);
    }
    static cli::Args site(const std::string& text) {
        return {text, "--source", "site", "--site", site_->base()};
    }
    static cli::Args lrclib(const std::string& text) {
        return {text, "--source", "lrclib", "--lrclib", site_->base()};
    }
    static cli::Args with(cli::Args args, const cli::Args& more) {
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
    std::string saved(const char8_t* name) const {
        std::ifstream file(folder_ / utf8(name).c_str(), std::ios::binary);
        return file ? std::string((std::istreambuf_iterator<char>(file)), {}) : "<missing>";
    }

    TempFolder folder_{"cantorel-cli-download"};
};

TEST_F(SearchCommand, PrintsEveryHitOfEachSourceInOrder) {
    const CommandRun hits = search(site("starlight"));
    EXPECT_EQ(hits.code, 0) << hits.err;
    EXPECT_EQ(hits.out,
              utf8(u8"夜航\t林间小队\t歌词网站\n晨光\t小河\t歌词网站\n"
                   u8"远方\t远山\t歌词网站\n无链接\t无名\t歌词网站\n"
                   u8"..\\..\\歌词\t坏人\t歌词网站\nCON\t坏人\t歌词网站\n"
                   u8"a/b:c\t坏人\t歌词网站\n坏链接\t丢失\t歌词网站\n半首歌\t断线\t歌词网站\n"));

    // Only the records with synced lyrics; each JSON line names the record to fetch.
    const CommandRun json = search(with(lrclib("STARLIGHT"), {"--json"}));
    EXPECT_EQ(json.code, 0) << json.err;
    EXPECT_EQ(json.out,
              "{\"song\":\"Starlight Road\",\"artist\":\"The Lanterns\",\"link\":\"" +
                  site_->base() + "/api/get/101\",\"source\":\"lrclib\",\"duration\":120}\n" +
                  utf8(u8"{\"song\":\"..\\\\..\\\\歌词\",\"artist\":\"starlight hacker\",") +
                  "\"link\":\"" + site_->base() +
                  "/api/get/105\",\"source\":\"lrclib\",\"duration\":10}\n" +
                  "{\"song\":\"CON\",\"artist\":\"starlight hacker\",\"link\":\"" + site_->base() +
                  "/api/get/106\",\"source\":\"lrclib\",\"duration\":10}\n" +
                  "{\"song\":\"a/b:c\",\"artist\":\"starlight hacker\",\"link\":\"" +
                  site_->base() + "/api/get/107\",\"source\":\"lrclib\",\"duration\":10}\n");

    for (const cli::Args& none : {site("nothing"), lrclib("no such song")}) {
        const CommandRun run = search(none);
        EXPECT_EQ(run.code, 0) << none[0];
        EXPECT_EQ(run.out, "") << none[0];
    }
}

TEST_F(SearchCommand, FailedSearchesExitWithTwo) {
    const cli::Args failed[] = {
        site("404"),
        site("cut"),
        lrclib("500"),
        lrclib("cut"),  // a cut answer is no answer
        {"starlight", "--source", "lrclib", "--lrclib", site_->base() + "/x"},  // not JSON
        {"starlight", "--source", "site", "--site", "http://127.0.0.1:1"},
    };
    for (const cli::Args& args : failed) {
        const CommandRun run = search(args);
        EXPECT_EQ(run.code, 2) << args[0] << " " << args.back();
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err, "");
    }
}

TEST_F(SearchCommand, DownloadSavesTheBytesUnderASafeName) {
    const CommandRun gbk = download(with(site(utf8(u8"星光")), {"--pick", "1"}));
    EXPECT_EQ(gbk.code, 0) << gbk.err;
    EXPECT_EQ(gbk.out, (folder_ / utf8(u8"夜航.lrc").c_str()).string() + "\n");
    EXPECT_EQ(saved(u8"夜航.lrc"), siteFile("night-gbk.lrc"));

    EXPECT_EQ(download(with(site("starlight"), {"--pick", "3"})).code, 0);
    EXPECT_EQ(saved(u8"远方.lrc"), siteFile("far-utf16.lrc"));  // zero bytes and all

    // Hostile names from both sources stay inside the folder.
    for (const char* pick : {"5", "6", "7"}) {
        EXPECT_EQ(download(with(site("starlight"), {"--pick", pick})).code, 0) << pick;
    }
    EXPECT_EQ(saved(u8"_.._歌词.lrc"), siteFile("hostile.lrc"));
    EXPECT_EQ(saved(u8"CON_.lrc"), siteFile("hostile.lrc"));
    EXPECT_EQ(saved(u8"a_b_c.lrc"), siteFile("hostile.lrc"));
    // Another lyric of the same name stays unless --overwrite says otherwise; the same bytes
    // again write nothing new.
    EXPECT_EQ(download(with(lrclib("starlight"), {"--pick", "3"})).code, 0);
    EXPECT_EQ(saved(u8"CON_.lrc"), siteFile("hostile.lrc"));
    EXPECT_EQ(saved(u8"CON_ (2).lrc"), "[00:00.50]device name\n");
    EXPECT_EQ(download(with(lrclib("starlight"), {"--pick", "3", "--overwrite"})).code, 0);
    EXPECT_EQ(saved(u8"CON_.lrc"), "[00:00.50]device name\n");
    EXPECT_EQ(download(with(site(utf8(u8"星光")), {"--pick", "1"})).out, gbk.out);
    EXPECT_EQ(saved(u8"夜航 (2).lrc"), "<missing>");
    EXPECT_EQ(download(with(lrclib("starlight"), {"--pick", "1"})).code, 0);
    EXPECT_EQ(saved(u8"Starlight Road.lrc"), utf8(u8"[00:01.00]Under the starlight\n"
                                                  u8"[00:03.00]We walk home\n"
                                                  u8"[00:05.50]星光照亮回家的路\n"));
}

TEST_F(SearchCommand, FailedDownloadsKeepTheFileThereAndExitWithTwo) {
    // Rows 4, 8 and 9: no link, a 404 page, a transfer cut in the middle.
    for (const char8_t* name : {u8"无链接.lrc", u8"坏链接.lrc", u8"半首歌.lrc"}) {
        std::ofstream((folder_ / utf8(name).c_str()), std::ios::binary) << "[00:01.00]good\r\n";
    }
    for (const char* pick : {"4", "8", "9"}) {
        const CommandRun run = download(with(site("starlight"), {"--pick", pick}));
        EXPECT_EQ(run.code, 2) << pick;
        EXPECT_EQ(run.out, "") << pick;
        EXPECT_NE(run.err, "") << pick;
    }
    for (const char8_t* name : {u8"无链接.lrc", u8"坏链接.lrc", u8"半首歌.lrc"}) {
        EXPECT_EQ(saved(name), "[00:01.00]good\r\n");
    }
    EXPECT_EQ(download(with(site("404"), {"--pick", "1"})).code, 2);
}

TEST_F(SearchCommand, AllSourcesRankOneListAndTranslationsAreSaved) {
    const std::string base = site_->base();
    const cli::Args services = {"--netease", base, "--qq",   base + "/hang",
                                "--lrclib",  base, "--site", ""};
    // QQ never answers (the site stalls, then answers nonsense): the others' hits still come,
    // ranked, and the failed source is named.
    const CommandRun all =
        search(with({"Paper Boats", "--artist", "Mira Lane", "--json"}, services));
    EXPECT_EQ(all.code, 0) << all.err;
    EXPECT_EQ(
        all.out.substr(0, all.out.find('\n')),
        "{\"song\":\"Paper Boats\",\"artist\":\"Mira Lane\",\"link\":\"" + base +
            "/api/song/lyric?id=186014&lv=1&tv=-1\",\"source\":\"netease\",\"duration\":198}");
    EXPECT_NE(all.err.find(utf8(u8"QQ音乐")), std::string::npos);

    // NetEase's translation and QQ's (escaped, behind its Referer) land under the same tags.
    const std::string translated = utf8(
        u8"[00:05.20]Light on the water, light on the road\n"
        u8"[00:05.20]水上的光，路上的光\n");
    EXPECT_EQ(download(with({"Paper Boats", "--source", "netease", "--pick", "1"}, services)).code,
              0);
    EXPECT_NE(saved(u8"Paper Boats.lrc").find(translated), std::string::npos);
    const CommandRun qq =
        download(with({"Golden Hour", "--source", "qq", "--pick", "1", "--qq", base}, {}));
    EXPECT_EQ(qq.code, 0) << qq.err;
    EXPECT_NE(saved(u8"Golden Hour.lrc")
                  .find(utf8(u8"[00:09.40]我们走在回家的路上\n"
                             u8"[00:09.40]We walk on the way home\n")),
              std::string::npos);
    // Hostile answers give only the hits that are whole: numeric ids, plain song mids.
    const CommandRun hostile = search(with({"hostile", "--source", "all", "--json"},
                                           {"--netease", base, "--qq", base, "--lrclib", base}));
    EXPECT_EQ(hostile.code, 0) << hostile.err;
    EXPECT_NE(hostile.out.find("/api/song/lyric?id=186001&"), std::string::npos) << hostile.out;
    EXPECT_NE(hostile.out.find("songmid=000007QqMid01&"), std::string::npos) << hostile.out;
    EXPECT_EQ(hostile.out.find("songmid=.."), std::string::npos) << hostile.out;
    EXPECT_EQ(hostile.out.find("\"string id\""), std::string::npos) << hostile.out;
    // A backing track's "lyric" that says there are no words is never saved.
    const CommandRun pure =
        download(with({"晴天 (伴奏)", "--source", "netease", "--pick", "4"}, services));
    EXPECT_EQ(pure.code, 2);
}

TEST_F(SearchCommand, BadArgumentsExitWithOne) {
    const cli::Args refused[] = {
        {},
        {"--json"},
        with(site("starlight"), {"--pick"}),
        with(site("starlight"), {"--pick", "0"}),
        with(site("starlight"), {"--pick", "2x"}),
        with(site("starlight"), {"--pick", "10"}),  // nine hits
        with(site("starlight"), {"--pick", "1", "--colour"}),
        {"a", "b", "--pick", "1"},
        {"starlight", "--pick", "1", "--source", "elsewhere"},
    };
    for (const cli::Args& args : refused) {
        const CommandRun run = download(args);
        EXPECT_EQ(run.code, 1) << testing::PrintToString(args);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(search(site("starlight")).code, 0);
    EXPECT_EQ(search(with(site("starlight"), {"--pick", "1"})).code, 1);  // download's option
    EXPECT_EQ(runCommand(cli::runDownload,
                         with(site("starlight"), {"--pick", "1", "--dir", "/no/such/folder"}))
                  .code,
              1);
    EXPECT_EQ(files::listFiles(folder_.gbk(), "").size(), 0u);
}

}  // namespace
