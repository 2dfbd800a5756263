#pragma once
// Media sessions as JSON lines, the form `cantorel-cli sessions` prints and `follow --timeline`
// replays: one object a line, {"at": MS, "sessions": [SESSION, ...]}, each session
// {"player", "title", "artist", "length", "state", "position", "stamp", "rate"}. Text is UTF-8;
// times are milliseconds on the timeline's own clock ("at" when the snapshot was taken, "stamp"
// when its position was current, "at" when left out); "state" is playing, paused, stopped or
// other; a session without "position" has no timeline.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "follow/media_session.hpp"

struct TimedSessions {
    std::int64_t atMs = 0;
    SessionList sessions;  // stamps in microseconds of the timeline's clock
};

struct TimelineLine {
    std::optional<TimedSessions> value;  // nullopt: the line could not be read
    std::string error;                   // why, for the user
};

/// Reads one line of a timeline. An empty line or one starting with '#' gives neither a value
/// nor an error.
TimelineLine parseTimelineLine(std::string_view line);

/// One line for `sessions` taken at `atMs` (stamps converted to milliseconds of the same clock).
std::string timelineJson(const TimedSessions& sessions);
