#pragma once
// The system's media sessions: what each player tells the system it plays (title, artist,
// length, playing or paused, a position as of a stamp). Read on a thread of the reader's own;
// whoever listens is told that something changed and takes the latest state on its own thread.
// Usage:
//   auto reader = makeMediaSessionReader(clock);
//   reader->start([&] { post a message to the window });   // on the window: reader->latest()
// Windows reads Windows.Media.Control (Windows 10 1809 and later); elsewhere, and where the
// system lacks it, the state says unavailable.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/clock.hpp"
#include "text/gbk_text.hpp"

enum class PlayState { Other, Playing, Paused, Stopped };

/// One session at one moment. Times are on the reader's Clock: the player's wall-clock stamp is
/// converted when the snapshot is taken.
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

class MediaSessionReader {
  public:
    virtual ~MediaSessionReader() = default;

    struct State {
        bool unavailable = false;  // the system has no media sessions: following stays off
        GbkText reason;            // why, for the status bar
        SessionList sessions;
        std::uint64_t serial = 0;  // grows with every change
    };

    /// Starts reading every 250 ms; `changed` runs on the reader's thread after each change
    /// (new sessions, or unavailable). Once only.
    virtual void start(std::function<void()> changed) = 0;
    /// Stops reading and waits for the thread; `changed` is not called afterwards.
    virtual void stop() = 0;
    /// The newest state; any thread.
    virtual State latest() = 0;
};

/// This platform's reader, stamping on `clock`.
std::unique_ptr<MediaSessionReader> makeMediaSessionReader(Clock& clock);
