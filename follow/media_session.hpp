#pragma once
// What a player tells the system about what it plays, as the follower reads it: one snapshot of
// one media session. Times are on the follower's monotonic clock; the reader converts the
// player's wall-clock stamp when it takes the snapshot.

#include <cstdint>
#include <vector>

#include "text/gbk_text.hpp"

enum class PlayState { Other, Playing, Paused, Stopped };

struct SessionSnapshot {
    GbkText player;  // the player's app id ("QQMusic.exe", "Spotify.exe", ...)
    GbkText title;
    GbkText artist;
    std::int64_t lengthMs = 0;  // 0: the player gives none
    PlayState state = PlayState::Other;
    bool hasPosition = false;      // false: the player gives no timeline
    std::int64_t positionMs = 0;   // the song's position as of `stampMicros`
    std::int64_t stampMicros = 0;  // clock time the position was current
    double rate = 1.0;             // playback rate; 1 when the player gives none
    bool operator==(const SessionSnapshot&) const = default;
};

/// Every session the system knows of, taken at one moment.
using SessionList = std::vector<SessionSnapshot>;

/// The same song of the same player: title, artist and player equal.
inline bool sameTrack(const SessionSnapshot& a, const SessionSnapshot& b) {
    return a.player == b.player && a.title == b.title && a.artist == b.artist;
}
