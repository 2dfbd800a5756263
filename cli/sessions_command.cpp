// cantorel-cli sessions: prints the system's media sessions as JSON lines, one each time they
// change, so a user can show what their player reports (and record a timeline for `follow`).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/commands.hpp"
#include "cli/console.hpp"
#include "follow/session_json.hpp"
#include "platform/media_sessions.hpp"
#include "platform/playback_loop.hpp"
#include "text/codepage.hpp"

namespace cli {

int runSessions(const Args& args) {
    bool once = false;
    long seconds = 0;  // 0: until Ctrl-C
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--once") {
            once = true;
        } else if (args[i] == "--seconds" && i + 1 < args.size()) {
            char* end = nullptr;
            seconds = std::strtol(args[++i].c_str(), &end, 10);
            if (*end != '\0' || seconds <= 0) {
                put("cantorel-cli sessions: --seconds takes a whole number above 0\n", stderr);
                return 1;
            }
        } else {
            put("usage: cantorel-cli sessions [--once] [--seconds N]\n", stderr);
            return 1;
        }
    }
    const auto loop = makePlaybackLoop(false);
    Clock& clock = loop->clock();
    const auto reader = makeMediaSessionReader(clock);
    const std::int64_t start = clock.nowMicros();
    reader->start([] {});
    std::uint64_t shown = 0;
    int code = 0;
    for (;;) {
        const MediaSessionReader::State state = reader->latest();
        if (state.unavailable) {
            say(stderr, "cantorel-cli sessions: %s\n", codepage::gbkToUtf8(state.reason).c_str());
            code = 2;
            break;
        }
        const std::int64_t now = clock.nowMicros();
        if (state.serial != shown) {
            shown = state.serial;
            TimedSessions timed{(now - start) / 1000, state.sessions};
            for (SessionSnapshot& s : timed.sessions) s.stampMicros -= start;
            say(stdout, "%s\n", timelineJson(timed).c_str());
            std::fflush(stdout);
            if (once) break;
        }
        // The first reading may take a moment: the manager is asked for asynchronously.
        if ((seconds > 0 || once) && now - start >= (once ? 10 : seconds) * 1000000LL) break;
        loop->pumpingWait().wait(50);
    }
    reader->stop();
    return code;
}

}  // namespace cli
