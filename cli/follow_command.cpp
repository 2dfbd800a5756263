// cantorel-cli follow: replays recorded media-session snapshots (a timeline) through the
// program's own follower, line transforms and delivery, with the console stand-in for the chat
// client printing each line as it arrives: what following a player would have typed, and when.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/console.hpp"
#include "cli/console_client.hpp"
#include "delivery/app_state.hpp"
#include "delivery/delivery.hpp"
#include "follow/follow_screen.hpp"
#include "follow/follower.hpp"
#include "follow/session_json.hpp"
#include "follow/source_finder.hpp"
#include "lyrics/lyric_files.hpp"
#include "platform/files.hpp"
#include "platform/playback_loop.hpp"
#include "playback/line_transform.hpp"
#include "search/direct_fetcher.hpp"
#include "text/codepage.hpp"
#include "ui/main_units.hpp"

namespace cli {

namespace {

struct FollowOptions {
    std::string timeline;
    std::string lyrics = ".";
    bool card = false;
    bool dryRun = false;
    std::string pin;
    int offsetMs = 0;
    std::optional<std::string> site;    // the lyric site, looked up when the folder has nothing
    std::optional<std::string> lrclib;  // LRCLIB at this address, likewise
};

void printFollowUsage() {
    put("usage: cantorel-cli follow --timeline FILE [--lyrics DIR] [--mode public|card]\n"
        "       [--dry-run] [--pin PLAYER] [--offset MS] [--site HOST_OR_URL] [--lrclib URL]\n",
        stderr);
}

std::optional<FollowOptions> parseFollowOptions(const Args& args) {
    FollowOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                say(stderr, "cantorel-cli follow: %s needs a value\n", a.c_str());
                return std::nullopt;
            }
            return args[++i];
        };
        std::optional<std::string> v;
        if (a == "--dry-run") {
            o.dryRun = true;
        } else if (a == "--site" || a == "--lrclib") {
            if (!(v = value())) return std::nullopt;
            (a == "--site" ? o.site : o.lrclib) = *v;
        } else if (a == "--timeline" || a == "--lyrics" || a == "--mode" || a == "--pin" ||
                   a == "--offset") {
            if (!(v = value())) return std::nullopt;
            if (a == "--timeline") o.timeline = *v;
            if (a == "--lyrics") o.lyrics = *v;
            if (a == "--pin") o.pin = *v;
            if (a == "--mode") {
                if (*v != "public" && *v != "card") {
                    put("cantorel-cli follow: --mode is public or card\n", stderr);
                    return std::nullopt;
                }
                o.card = *v == "card";
            }
            if (a == "--offset") {
                char* end = nullptr;
                const long ms = std::strtol(v->c_str(), &end, 10);
                if (v->empty() || *end != '\0' || ms < -600000 || ms > 600000) {
                    say(stderr, "cantorel-cli follow: bad offset '%s'\n", v->c_str());
                    return std::nullopt;
                }
                o.offsetMs = static_cast<int>(ms);
            }
        } else {
            say(stderr, "cantorel-cli follow: unknown argument '%s'\n", a.c_str());
            return std::nullopt;
        }
    }
    if (o.timeline.empty()) {
        printFollowUsage();
        return std::nullopt;
    }
    return o;
}

std::optional<std::vector<TimedSessions>> readTimeline(const std::string& path) {
    const auto bytes = files::readAll(argumentText(path));
    if (!bytes) {
        say(stderr, "cantorel-cli follow: cannot read %s\n", path.c_str());
        return std::nullopt;
    }
    std::vector<TimedSessions> timeline;
    std::string_view text = *bytes;
    for (int number = 1; !text.empty(); ++number) {
        const auto end = text.find('\n');
        const TimelineLine line = parseTimelineLine(text.substr(0, end));
        if (!line.error.empty()) {
            say(stderr, "cantorel-cli follow: %s:%d: %s\n", path.c_str(), number,
                line.error.c_str());
            return std::nullopt;
        }
        if (line.value) {
            if (!timeline.empty() && line.value->atMs < timeline.back().atMs) {
                say(stderr, "cantorel-cli follow: %s:%d: \"at\" goes back in time\n", path.c_str(),
                    number);
                return std::nullopt;
            }
            timeline.push_back(*line.value);
        }
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return timeline;
}

// Offsets for this run only: the command never writes cantorel.ini.
struct RunOffsets : PlayerOffsets {
    int start = 0;
    std::map<GbkText, int> ms;
    int offsetMs(const GbkText& player) override {
        return ms.contains(player) ? ms[player] : start;
    }
    void setOffsetMs(const GbkText& player, int value) override { ms[player] = value; }
};

}  // namespace

int runFollow(const Args& args) {
    const auto options = parseFollowOptions(args);
    if (!options) return 1;
    const auto timeline = readTimeline(options->timeline);
    if (!timeline) return 1;

    const auto loop = makePlaybackLoop(options->dryRun);
    Clock& time = loop->clock();
    MainUnits units(loop->units());
    AppState state;
    ConsoleMessageBoxes boxes;
    std::int64_t startMicros = 0;
    ConsoleClient client(time, [&](const ClientLine& line) {
        say(stdout, "%s %s\n", elapsedStamp(line.startMicros - startMicros).c_str(),
            printable(line.text).c_str());
        std::fflush(stdout);
    });
    state.targetWindow = ConsoleClient::kMainWindow;
    LineTransform transform(units, 1);
    Delivery delivery(client, loop->pumpingWait(), boxes, state, units);
    (options->card ? units.昵称字幕 : units.公屏字幕).setChecked(true);
    delivery.onModeButtonClicked(options->card ? DeliveryMode::NicknameCard
                                               : DeliveryMode::PublicScreen);

    const GbkText folder = argumentText(options->lyrics);
    units.文件框1.setFolder(folder);
    auto load = [&](const GbkText& path) -> std::optional<LyricTable> {
        LoadedLyric loaded = loadLyricFile(path, units.填充.text());
        if (!loaded.parsed) return std::nullopt;
        return std::move(loaded.table);
    };
    FolderLyricFinder folderFinder([folder] { return folder; }, load);
    // The sources only where the command line names them: a replay stays offline otherwise.
    NetworkSettings network;
    network.lyricSite = options->site ? argumentText(*options->site) : GbkText();
    if (options->lrclib) network.lrclib = argumentText(*options->lrclib);
    std::vector<std::shared_ptr<const LyricSource>> sources;
    if (options->site) sources.push_back(findSource("site")->make(network));
    if (options->lrclib) sources.push_back(findSource("lrclib")->make(network));
    const auto http = makeHttpClient();
    DirectWebFetcher fetcher(*http);
    SourceLyricFinder sourceFinder(
        fetcher, [&] { return sources; }, [folder] { return folder; }, load);
    ChainedLyricFinder finder(folderFinder, sourceFinder);
    struct Screen : FollowScreen {
        using FollowScreen::FollowScreen;
        std::int64_t* start = nullptr;
        Clock* clock = nullptr;
        void showStatus(const GbkText& text) override {
            FollowScreen::showStatus(text);
            say(stderr, "%s %s\n", elapsedStamp(clock->nowMicros() - *start).c_str(),
                codepage::gbkToUtf8(text).c_str());
        }
    } screen(units, state, transform, delivery);
    screen.start = &startMicros;
    screen.clock = &time;
    RunOffsets offsets;
    offsets.start = options->offsetMs;
    Follower follower(time, finder, screen, offsets);
    follower.pin(argumentText(options->pin));

    // One timer drives both the replay and the follower: it wakes for the next snapshot or the
    // next due line, whichever comes first, and stops (ending the run) when neither is left.
    TimerUnit& timer = units.时钟_歌词播放;
    std::size_t next = 0;
    std::function<void()> drive = [&] {
        for (;;) {
            const std::int64_t now = time.nowMicros();
            while (next < timeline->size() && startMicros + (*timeline)[next].atMs * 1000 <= now) {
                SessionList sessions = (*timeline)[next++].sessions;
                for (SessionSnapshot& s : sessions) s.stampMicros += startMicros;
                follower.update(sessions);
            }
            follower.tick();
            std::optional<std::int64_t> wake = follower.nextDueMicros();
            if (next < timeline->size()) {
                const std::int64_t at = startMicros + (*timeline)[next].atMs * 1000;
                wake = wake ? std::min(*wake, at) : at;
            }
            timer.setPeriod(0);
            if (!wake) return;
            const std::int64_t left = *wake - time.nowMicros();
            if (left <= Follower::kEarlyToleranceMicros) continue;
            // Rounded up: the timer never fires before the moment it waits for.
            timer.setPeriod(static_cast<int>(std::min<std::int64_t>((left + 999) / 1000, 1 << 30)));
            return;
        }
    };
    timer.setHandler(drive);

    startMicros = time.nowMicros();
    follower.start();
    drive();
    if (timer.period() != 0 && !loop->run()) {
        follower.stop();
        put("cantorel-cli follow: stopped\n", stderr);
        return 130;
    }
    return 0;
}

}  // namespace cli
