#pragma once
// Follower: types the lyric of whatever song a player plays, at the song's own time. It reads
// snapshots of the system's media sessions, picks the session to follow, looks up each new
// track's lyric, and keeps a song clock: the player's position extrapolated from its stamp at
// its rate while playing, held while paused, moved by a seek. A player that gives no usable
// position is followed from the moment its track changed (or, when asked, from the music's
// start). The follower is pure: time comes from a Clock, lyrics from a LyricFinder, and what it
// decides goes to a FollowOutput; whoever runs it re-arms a timer for nextDueMicros() after each
// call and calls tick() when it expires.

#include <cstdint>
#include <functional>
#include <optional>

#include "audio/listen_source.hpp"
#include "follow/media_session.hpp"
#include "lyrics/lyric_table.hpp"
#include "platform/clock.hpp"

/// A lyric found for a track, and the name it is kept under in the lyric folder.
struct FoundLyric {
    LyricTable table;
    GbkText name;
};

/// Where lyrics come from. The answer may come at once or later; the follower drops answers
/// for a track it no longer follows.
class LyricFinder {
  public:
    virtual ~LyricFinder() = default;
    using Done = std::function<void(std::optional<FoundLyric>)>;
    /// Looks for the lyric of `track` and calls `done` exactly once.
    virtual void find(const SessionSnapshot& track, Done done) = 0;
};

/// What the follower does to the world.
class FollowOutput {
  public:
    virtual ~FollowOutput() = default;
    /// A track's lyric was found: show it (the lyric list, the file list).
    virtual void showLyric(const FoundLyric& lyric) = 0;
    /// Types line `index` (0-based) of `table`; false when it could not reach the client,
    /// which ends the following.
    virtual bool typeLine(const LyricTable& table, int index) = 0;
    /// Part 1 of the status bar.
    virtual void showStatus(const GbkText& text) = 0;
};

/// The per-player offsets: milliseconds every line of that player's songs comes later.
class PlayerOffsets {
  public:
    virtual ~PlayerOffsets() = default;
    virtual int offsetMs(const GbkText& player) = 0;
    virtual void setOffsetMs(const GbkText& player, int ms) = 0;
};

/// Where the song's time comes from.
enum class SongTime { None, Player, TrackChange, Music, WaitingForMusic };

class Follower {
  public:
    Follower(Clock& clock, LyricFinder& finder, FollowOutput& output, PlayerOffsets& offsets);

    /// Following on: the sessions seen last are read again now.
    void start();
    /// Following off; nothing more is typed, lookups in flight are dropped.
    void stop();
    bool following() const { return following_; }

    /// Follow only the player with this app id; empty follows whichever plays.
    void pin(const GbkText& player) { pinned_ = player; }
    /// Tracks without a usable position wait for musicStarted instead of starting at the
    /// track change.
    void setWaitForMusic(bool wait) { waitForMusic_ = wait; }

    /// The sessions as the system reports them now.
    void update(const SessionList& sessions);
    /// Types what is due now.
    void tick();
    /// Called when the schedule changed outside the calls above (a lyric that was looked up
    /// arrived), so the runner re-arms its timer.
    void onScheduleChanged(std::function<void()> changed) { scheduleChanged_ = std::move(changed); }
    /// The music of the followed track started at `atMicros` (the music-start detector).
    void musicStarted(std::int64_t atMicros);
    /// What the music-start detector listens to for the followed track, for its status.
    void listeningTo(ListenSource source);
    /// The live nudge: every following line of this player `ms` later (negative: earlier); kept
    /// as the player's offset.
    void nudge(int ms);

    /// Clock time the next line is due; nullopt when nothing is scheduled.
    std::optional<std::int64_t> nextDueMicros() const;
    /// The session followed now, or null.
    const SessionSnapshot* followed() const { return track_ ? &track_->snap : nullptr; }
    SongTime songTime() const { return track_ ? track_->source : SongTime::None; }
    /// The song's position now in milliseconds (0 without a track).
    std::int64_t songMs() const;

    /// A new position this far from the song clock is a seek.
    static constexpr std::int64_t kSeekMicros = 1500000;
    /// A line this late whose successor is due too is skipped (as in playback).
    static constexpr std::int64_t kMissedMicros = 250000;
    /// Due within this is due now.
    static constexpr std::int64_t kEarlyToleranceMicros = 500;

  private:
    struct Track {
        SessionSnapshot snap;
        std::int64_t seenMicros = 0;
        std::uint64_t lookup = 0;  // the lookup whose answer is awaited
        bool looked = false;       // the answer came
        std::optional<FoundLyric> lyric;
        SongTime source = SongTime::None;
        std::optional<ListenSource> heardFrom;  // what is listened to while waiting for music
        bool distrusted = false;  // the player's position proved unusable for this track
        int aheadReports = 0;     // consecutive reports running ahead of the song clock
        bool running = false;
        std::int64_t baseSongMicros = 0;
        std::int64_t baseClockMicros = 0;
        double rate = 1.0;
        std::int64_t lastStamp = 0;  // stamp of the last position taken
        int next = 0;                // index of the next line to type
        int lastTyped = -1;
        int offsetMs = 0;
        // The track's own playing time (pauses held), the song's time when the player's fails.
        std::int64_t ownPlayedMicros = 0;
        std::int64_t ownSinceMicros = 0;
        bool ownRunning = false;
    };

    void process(const SessionList& sessions);
    void follow(const SessionSnapshot& snap);
    void newTrack(const SessionSnapshot& snap);
    void refresh(const SessionSnapshot& snap);
    bool usablePosition(const SessionSnapshot& snap) const;
    std::int64_t songMicrosAt(std::int64_t clockMicros) const;
    std::int64_t ownMicros(std::int64_t now) const;
    void setClock(std::int64_t songMicros, std::int64_t clockMicros, double rate, bool running);
    void jumpTo(std::int64_t songMicros);
    void lyricFound(std::uint64_t lookup, std::optional<FoundLyric> lyric);
    std::optional<std::int64_t> dueMicros(int index) const;
    void run();
    void showStatus();
    void drop(const GbkText& status);

    Clock& clock_;
    LyricFinder& finder_;
    FollowOutput& output_;
    PlayerOffsets& offsets_;
    bool following_ = false;
    bool waitForMusic_ = false;
    GbkText pinned_;
    SessionList last_;
    std::optional<Track> track_;
    std::uint64_t lookups_ = 0;
    bool typing_ = false;                 // inside typeLine (whose waits may call in here)
    std::optional<SessionList> pending_;  // sessions that arrived meanwhile
    bool heldTick_ = false;
    GbkText lastStatus_;
    std::function<void()>
        scheduleChanged_;  // shown only when it changes: sessions arrive four times a second
};

/// The index in `sessions` of the session to follow: the pinned player's when one is pinned;
/// else the followed player's while it plays; else the first playing; else the followed
/// player's (paused); -1 for none.
int chooseSession(const SessionList& sessions, const GbkText& followedPlayer,
                  const GbkText& pinned);

/// The name users know a player by: "QQ音乐" for "QQMusic.exe"; an unknown app id without its
/// ".exe".
GbkText playerName(const GbkText& player);
