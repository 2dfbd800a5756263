// cantorel-cli search and download: the search panel's search and save without a window. The
// sources, the judgement of each answer, the safe file names and the atomic save are the
// program's own; only the questions and the status bar become exit codes and messages.
#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/network_settings.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/console.hpp"
#include "platform/files.hpp"
#include "platform/web_fetch.hpp"
#include "search/hit_ranking.hpp"
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
    std::optional<std::string> netease;
    std::optional<std::string> qq;
    std::string artist;
    int durationSeconds = 0;
    bool json = false;
    int pick = 0;  // download only: the hit, counted from 1
    std::optional<std::string> dir;
    bool overwrite = false;  // download only: replace a different lyric of the same name
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
                                arg == "--netease" || arg == "--qq" || arg == "--artist" ||
                                arg == "--duration" ||
                                (download && (arg == "--pick" || arg == "--dir"));
        if (takesValue) {
            if (i + 1 >= args.size()) {
                fail(command, arg + " needs a value");
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (arg == "--source") {
                if (!isSourceChoice(value)) {
                    fail(command,
                         "--source is netease, qq, lrclib, site or all, not '" + value + "'");
                    return std::nullopt;
                }
                options.source = value;
            } else if (arg == "--site") {
                options.site = value;
            } else if (arg == "--lrclib") {
                options.lrclib = value;
            } else if (arg == "--netease") {
                options.netease = value;
            } else if (arg == "--qq") {
                options.qq = value;
            } else if (arg == "--artist") {
                options.artist = value;
            } else if (arg == "--duration") {
                const char* end = value.data() + value.size();
                const auto [ptr, ec] = std::from_chars(value.data(), end, options.durationSeconds);
                if (ec != std::errc() || ptr != end || options.durationSeconds <= 0 ||
                    options.durationSeconds > 86400) {
                    fail(command, "--duration needs the length in seconds, not '" + value + "'");
                    return std::nullopt;
                }
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
        } else if (arg == "--overwrite" && download) {
            options.overwrite = true;
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

// The chosen sources over cantorel.ini's settings, with the addresses given on the command
// line; none (after a message) when the choice is off.
std::vector<ActiveSource> sourcesOf(const char* command, const SearchOptions& options) {
    NetworkSettings settings = loadNetworkSettings(files::programFolder());
    if (options.site) settings.lyricSite = argumentText(*options.site);
    if (options.lrclib) settings.lrclib = argumentText(*options.lrclib);
    if (options.netease) settings.netease = argumentText(*options.netease);
    if (options.qq) settings.qq = argumentText(*options.qq);
    const std::string id = options.source.value_or(settings.source);
    std::vector<ActiveSource> sources;
    for (const SourceEntry& entry : lyricSources()) {
        if (id != kAllSources && entry.id != id) continue;
        std::shared_ptr<const LyricSource> source = entry.make(settings);
        if (source) sources.push_back({entry.id, std::move(source)});
    }
    if (sources.empty()) {
        fail(command, "no address for the source '" + id + "' (give --site or --lrclib)");
    }
    return sources;
}

std::string why(const GbkText& problem) { return codepage::gbkToUtf8(problem); }

SearchQuery queryOf(const SearchOptions& options) {
    return {argumentText(options.text), argumentText(options.artist),
            options.durationSeconds * 1000};
}

// Asks every source at once and ranks their hits; nullopt after a message when no source gave
// an answer. A source that fails is named on stderr while the others' hits still count.
std::optional<std::vector<SearchHit>> searchHits(const char* command,
                                                 const std::vector<ActiveSource>& sources,
                                                 HttpClient& client, const SearchQuery& query) {
    std::vector<FetchRequest> requests;
    std::vector<FetchOutcome> outcomes(sources.size());
    for (const ActiveSource& active : sources)
        requests.push_back(active.source->queryRequest(query));
    {
        std::vector<std::jthread> fetches;
        for (std::size_t i = 0; i < sources.size(); ++i) {
            fetches.emplace_back([&, i] { outcomes[i] = client.fetch(requests[i]); });
        }
    }
    std::vector<SearchHit> hits;
    std::size_t answered = 0;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const std::string label = codepage::gbkToUtf8(GbkText(sourceLabel(sources[i].id)));
        std::optional<HitList> list = sources[i].source->readAnswer(outcomes[i]);
        if (!list) {
            const GbkText problem = fetchProblem(outcomes[i]);
            fail(command,
                 label + ": the search failed: " + (problem.empty() ? "no answer" : why(problem)) +
                     " (" + printableAddress(requests[i].url) + ")");
            continue;
        }
        if (!list->readable) {
            fail(command, label + ": the answer is not a result of this source (" +
                              printableAddress(requests[i].url) + ")");
            continue;
        }
        ++answered;
        for (SearchHit& hit : list->hits) {
            hit.source = sources[i].id;
            hits.push_back(std::move(hit));
        }
    }
    if (answered == 0) return std::nullopt;
    return rankHits(query, std::move(hits));
}

const LyricSource* sourceOfHit(const std::vector<ActiveSource>& sources, const SearchHit& hit) {
    for (const ActiveSource& active : sources) {
        if (active.id == hit.source) return active.source.get();
    }
    return nullptr;
}

}  // namespace

int runSearch(const Args& args) {
    const std::optional<SearchOptions> options = readOptions("search", args, false);
    if (!options) return kBadArguments;
    const std::vector<ActiveSource> sources = sourcesOf("search", *options);
    if (sources.empty()) return kBadArguments;
    const std::unique_ptr<HttpClient> client = makeHttpClient();
    const auto hits = searchHits("search", sources, *client, queryOf(*options));
    if (!hits) return kFetchFailed;
    for (const SearchHit& hit : *hits) {
        if (options->json) {
            say(stdout, "{\"song\":%s,\"artist\":%s,\"link\":%s,\"source\":%s,\"duration\":%d}\n",
                jsonString(hit.song).c_str(), jsonString(hit.artist).c_str(),
                jsonString(hit.link).c_str(), jsonString(GbkText(hit.source)).c_str(),
                hit.durationMs / 1000);
        } else {
            say(stdout, "%s\t%s\t%s\n", printable(hit.song).c_str(), printable(hit.artist).c_str(),
                codepage::gbkToUtf8(GbkText(sourceLabel(hit.source))).c_str());
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
    const std::vector<ActiveSource> sources = sourcesOf("download", *options);
    if (sources.empty()) return kBadArguments;
    const std::unique_ptr<HttpClient> client = makeHttpClient();
    const auto hits = searchHits("download", sources, *client, queryOf(*options));
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
    const LyricSource* source = sourceOfHit(sources, hit);
    if (!source) return kFetchFailed;
    const LyricBytes lyric = takeLyric(*source, client->fetch(source->lyricRequest(hit.link)));
    if (!lyric.problem.empty()) {
        fail("download", "the lyric download failed: " + why(lyric.problem) + " (" +
                             printableAddress(hit.link) + ")");
        return kFetchFailed;
    }
    GbkText path = lyricSavePath(dir, hit.song);
    // A different lyric of that name stays; the new one takes the next free name.
    if (files::exists(path) && files::readAll(path) == lyric.bytes) {
        say(stdout, "%s\n", codepage::gbkToUtf8(path).c_str());
        return 0;
    }
    if (!options->overwrite) path = nextFreePath(path);
    if (!files::writeAtomically(path, lyric.bytes)) {
        fail("download", "cannot write '" + codepage::gbkToUtf8(path) + "'");
        return kFetchFailed;
    }
    say(stdout, "%s\n", codepage::gbkToUtf8(path).c_str());
    return 0;
}

}  // namespace cli
