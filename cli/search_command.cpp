// cantorel-cli search and download: the search panel's search and save without a window. The
// sources, the judgement of each answer, the safe file names and the atomic save are the
// program's own; only the questions and the status bar become exit codes and messages.
#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/network_settings.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/console.hpp"
#include "platform/files.hpp"
#include "platform/web_fetch.hpp"
#include "search/lyric_fetch.hpp"
#include "search/lyric_source.hpp"
#include "search/safe_file_name.hpp"
#include "text/codepage.hpp"

namespace cli {
namespace {

// Exit codes of both commands.
constexpr int kBadArguments = 1;
constexpr int kFetchFailed = 2;  // also: the answer was unreadable or the file not written

struct SearchOptions {
    std::string text;
    std::optional<std::string> source;
    std::optional<std::string> site;
    std::optional<std::string> lrclib;
    bool json = false;
    int pick = 0;  // download only: the hit, counted from 1
    std::optional<std::string> dir;
};

void fail(const char* command, const std::string& message) {
    say(stderr, "cantorel-cli %s: %s\n", command, message.c_str());
}

std::optional<SearchOptions> readOptions(const char* command, const Args& args, bool download) {
    SearchOptions options;
    bool haveText = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--source" || arg == "--site" || arg == "--lrclib" ||
                                (download && (arg == "--pick" || arg == "--dir"));
        if (takesValue) {
            if (i + 1 >= args.size()) {
                fail(command, arg + " needs a value");
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (arg == "--source") {
                if (!findSource(value)) {
                    fail(command, "--source is lrclib or site, not '" + value + "'");
                    return std::nullopt;
                }
                options.source = value;
            } else if (arg == "--site") {
                options.site = value;
            } else if (arg == "--lrclib") {
                options.lrclib = value;
            } else if (arg == "--dir") {
                options.dir = value;
            } else {
                const char* end = value.data() + value.size();
                const auto [ptr, ec] = std::from_chars(value.data(), end, options.pick);
                if (ec != std::errc() || ptr != end || options.pick <= 0) {
                    fail(command, "--pick needs a hit number from 1 on, not '" + value + "'");
                    return std::nullopt;
                }
            }
        } else if (arg == "--json" && !download) {
            options.json = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            fail(command, "unknown option '" + arg + "'");
            return std::nullopt;
        } else if (haveText) {
            fail(command, "only one TEXT, got '" + options.text + "' and '" + arg + "'");
            return std::nullopt;
        } else {
            options.text = arg;
            haveText = true;
        }
    }
    if (!haveText) {
        fail(command, "missing TEXT (the song name to search for)");
        return std::nullopt;
    }
    if (download && options.pick == 0) {
        fail(command, "missing --pick N (the hit to save, counted from 1)");
        return std::nullopt;
    }
    return options;
}

// The chosen source over cantorel.ini's settings, with the addresses given on the command line.
std::unique_ptr<LyricSource> sourceOf(const char* command, const SearchOptions& options) {
    NetworkSettings settings = loadNetworkSettings(files::programFolder());
    if (options.site) settings.lyricSite = argumentText(*options.site);
    if (options.lrclib) settings.lrclib = argumentText(*options.lrclib);
    const std::string id = options.source.value_or(settings.source);
    std::unique_ptr<LyricSource> source = findSource(id)->make(settings);
    if (!source) {
        fail(command, "no address for the source '" + id + "' (give --site or --lrclib)");
    }
    return source;
}

std::string why(const GbkText& problem) { return codepage::gbkToUtf8(problem); }

// Runs the search; the hits, or nullopt after a message when the search failed.
std::optional<std::vector<SearchHit>> searchHits(const char* command, const LyricSource& source,
                                                 HttpClient& client, const GbkText& text) {
    const FetchRequest request = source.searchRequest(text);
    const FetchOutcome outcome = client.fetch(request);
    if (searchFailed(outcome)) {
        const GbkText problem = fetchProblem(outcome);
        fail(command, "the search failed: " + (problem.empty() ? "no answer" : why(problem)) +
                          " (" + codepage::gbkToUtf8(request.url) + ")");
        return std::nullopt;
    }
    HitList list = source.readHits(outcome.body);
    if (!list.readable) {
        fail(command, "the answer is not a result of this source (" +
                          codepage::gbkToUtf8(request.url) + ")");
        return std::nullopt;
    }
    return std::move(list.hits);
}

}  // namespace

int runSearch(const Args& args) {
    const std::optional<SearchOptions> options = readOptions("search", args, false);
    if (!options) return kBadArguments;
    const std::unique_ptr<LyricSource> source = sourceOf("search", *options);
    if (!source) return kBadArguments;
    const std::unique_ptr<HttpClient> client = makeHttpClient();
    const auto hits = searchHits("search", *source, *client, argumentText(options->text));
    if (!hits) return kFetchFailed;
    for (const SearchHit& hit : *hits) {
        if (options->json) {
            say(stdout, "{\"song\":%s,\"artist\":%s,\"link\":%s}\n", jsonString(hit.song).c_str(),
                jsonString(hit.artist).c_str(), jsonString(hit.link).c_str());
        } else {
            say(stdout, "%s\t%s\n", codepage::gbkToUtf8(hit.song).c_str(),
                codepage::gbkToUtf8(hit.artist).c_str());
        }
    }
    return 0;
}

int runDownload(const Args& args) {
    const std::optional<SearchOptions> options = readOptions("download", args, true);
    if (!options) return kBadArguments;
    // The window falls back to the program folder when its folder is gone; a folder typed here
    // that does not exist is a mistake to report, not to work around.
    const GbkText dir = options->dir ? argumentText(*options->dir) : GbkText(".");
    if (!files::isFolder(dir)) {
        fail("download", "no such folder '" + *options->dir + "'");
        return kBadArguments;
    }
    const std::unique_ptr<LyricSource> source = sourceOf("download", *options);
    if (!source) return kBadArguments;
    const std::unique_ptr<HttpClient> client = makeHttpClient();
    const auto hits = searchHits("download", *source, *client, argumentText(options->text));
    if (!hits) return kFetchFailed;
    if (static_cast<std::size_t>(options->pick) > hits->size()) {
        fail("download", "--pick " + std::to_string(options->pick) + " but the search gave " +
                             std::to_string(hits->size()) + " hits");
        return kBadArguments;
    }
    const SearchHit& hit = (*hits)[static_cast<std::size_t>(options->pick) - 1];
    if (hit.link.empty()) {
        fail("download", "hit " + std::to_string(options->pick) + " has no lyric address");
        return kFetchFailed;
    }
    const LyricBytes lyric = takeLyric(*source, client->fetch(source->lyricRequest(hit.link)));
    if (!lyric.problem.empty()) {
        fail("download", "the lyric download failed: " + why(lyric.problem) + " (" +
                             codepage::gbkToUtf8(hit.link) + ")");
        return kFetchFailed;
    }
    const GbkText path = lyricSavePath(dir, hit.song);
    if (!files::writeAtomically(path, lyric.bytes)) {
        fail("download", "cannot write '" + codepage::gbkToUtf8(path) + "'");
        return kFetchFailed;
    }
    say(stdout, "%s\n", codepage::gbkToUtf8(path).c_str());
    return 0;
}

}  // namespace cli
