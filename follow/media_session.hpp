#pragma once
// Media sessions as the follower compares them.

#include "platform/media_sessions.hpp"

/// The same song of the same player: title, artist and player equal.
inline bool sameTrack(const SessionSnapshot& a, const SessionSnapshot& b) {
    return a.player == b.player && a.title == b.title && a.artist == b.artist;
}
