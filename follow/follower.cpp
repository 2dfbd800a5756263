#include "follow/follower.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace {

// A report this far ahead of the song clock, twice in a row, is a player whose position runs
// fast (some players' own media sessions do): the song clock no longer takes its reports.
constexpr std::int64_t kAheadMicros = 300000;
constexpr std::int64_t kAheadLimitMicros = 10000000;
// A position of zero this long after the track began is a player that reports no position.
constexpr std::int64_t kZeroLateMicros = 3000000;
// Slack on the song's length before a position counts as beyond the song.
constexpr std::int64_t kLengthSlackMicros = 2000000;

double usableRate(double rate) { return std::isfinite(rate) && rate > 0.01 ? rate : 1.0; }

GbkText signedSeconds(int ms) {
    const int size = ms < 0 ? -ms : ms;
    std::string seconds =
        std::to_string(size / 1000) + "." + std::to_string(1000 + size % 1000).substr(1);
    while (seconds.back() == '0' && seconds[seconds.size() - 2] != '.') seconds.pop_back();
    return (ms > 0 ? "+" : ms < 0 ? "-" : "") + seconds;
}

}  // namespace

int chooseSession(const SessionList& sessions, const GbkText& followedPlayer,
                  const GbkText& pinned) {
    const int count = static_cast<int>(sessions.size());
    auto find = [&](auto&& wanted) {
        for (int i = 0; i < count; ++i) {
            if (wanted(sessions[static_cast<std::size_t>(i)])) return i;
        }
        return -1;
    };
    if (!pinned.empty()) return find([&](const SessionSnapshot& s) { return s.player == pinned; });
    const auto playing = [](const SessionSnapshot& s) { return s.state == PlayState::Playing; };
    if (!followedPlayer.empty()) {
        const int kept = find(
            [&](const SessionSnapshot& s) { return s.player == followedPlayer && playing(s); });
        if (kept >= 0) return kept;
    }
    const int first = find(playing);
    if (first >= 0 || followedPlayer.empty()) return first;
    return find([&](const SessionSnapshot& s) {
        return s.player == followedPlayer && s.state == PlayState::Paused;
    });
}

GbkText playerName(const GbkText& player) {
    struct Known {
        const char* id;
        const char* name;
    };
    static constexpr Known kKnown[] = {{"qqmusic", "QQ音乐"},  {"cloudmusic", "网易云音乐"},
                                       {"kugou", "酷狗音乐"},  {"kwmusic", "酷我音乐"},
                                       {"spotify", "Spotify"}, {"foobar2000", "foobar2000"},
                                       {"chrome", "Chrome"},   {"msedge", "Edge"},
                                       {"firefox", "Firefox"}, {"zunemusic", "媒体播放器"}};
    GbkText lower;
    for (const char c : player) lower += gbk::lowerAscii(c);
    for (const Known& known : kKnown) {
        if (gbk::contains(lower, known.id)) return known.name;
    }
    GbkText name = player;
    if (gbk::endsWithIgnoringCase(name, ".exe")) name.resize(name.size() - 4);
    return name;
}

Follower::Follower(Clock& clock, LyricFinder& finder, FollowOutput& output, PlayerOffsets& offsets)
    : clock_(clock), finder_(finder), output_(output), offsets_(offsets) {}

void Follower::start() {
    following_ = true;
    track_.reset();
    lastStatus_.clear();
    process(last_);
    showStatus();
}

void Follower::stop() {
    following_ = false;
    track_.reset();
    pending_.reset();
    heldTick_ = false;
}

void Follower::update(const SessionList& sessions) {
    if (typing_) {
        pending_ = sessions;  // taken as soon as the line in progress is typed
        return;
    }
    process(sessions);
}

void Follower::tick() { run(); }

void Follower::process(const SessionList& sessions) {
    last_ = sessions;
    if (!following_) return;
    const int chosen = chooseSession(sessions, track_ ? track_->snap.player : GbkText(), pinned_);
    if (chosen < 0 || sessions[static_cast<std::size_t>(chosen)].state == PlayState::Stopped) {
        if (track_) track_.reset();
        showStatus();
        return;
    }
    follow(sessions[static_cast<std::size_t>(chosen)]);
    run();
}

void Follower::follow(const SessionSnapshot& snap) {
    if (!track_ || !sameTrack(track_->snap, snap)) {
        newTrack(snap);
    } else {
        refresh(snap);
    }
    showStatus();
}

bool Follower::usablePosition(const SessionSnapshot& snap) const {
    if (!snap.hasPosition || snap.lengthMs <= 0 || snap.positionMs < 0) return false;
    const std::int64_t length = snap.lengthMs * 1000 + kLengthSlackMicros;
    if (snap.positionMs * 1000 > length) return false;
    if (snap.state == PlayState::Playing) {
        const std::int64_t now = clock_.nowMicros();
        // A stamp so old that the song would be over: the timeline is not this track's.
        const double since = static_cast<double>(now - snap.stampMicros);
        if (snap.positionMs * 1000.0 + since * usableRate(snap.rate) > static_cast<double>(length))
            return false;
        if (snap.positionMs == 0 && track_ &&
            snap.stampMicros - track_->seenMicros > kZeroLateMicros)
            return false;
    }
    return true;
}

void Follower::newTrack(const SessionSnapshot& snap) {
    const std::int64_t now = clock_.nowMicros();
    track_.emplace();
    Track& t = *track_;
    t.snap = snap;
    t.seenMicros = now;
    t.offsetMs = offsets_.offsetMs(snap.player);
    t.lookup = ++lookups_;
    const bool playing = snap.state == PlayState::Playing;
    t.ownSinceMicros = now;
    t.ownRunning = playing;
    if (usablePosition(snap)) {
        t.source = SongTime::Player;
        t.lastStamp = snap.stampMicros;
        if (playing) {
            setClock(snap.positionMs * 1000, snap.stampMicros, usableRate(snap.rate), true);
        } else {
            setClock(snap.positionMs * 1000, now, 1.0, false);
        }
    } else if (waitForMusic_) {
        t.source = SongTime::WaitingForMusic;
        setClock(0, now, 1.0, false);
    } else {
        t.source = SongTime::TrackChange;
        setClock(0, now, 1.0, playing);
    }
    const std::uint64_t lookup = t.lookup;
    finder_.find(snap, [this, lookup](std::optional<FoundLyric> found) {
        lyricFound(lookup, std::move(found));
    });
}

std::int64_t Follower::ownMicros(std::int64_t now) const {
    const Track& t = *track_;
    return t.ownPlayedMicros + (t.ownRunning ? now - t.ownSinceMicros : 0);
}

void Follower::refresh(const SessionSnapshot& snap) {
    Track& t = *track_;
    const std::int64_t now = clock_.nowMicros();
    t.snap = snap;
    const bool playing = snap.state == PlayState::Playing;
    if (playing != t.ownRunning) {
        t.ownPlayedMicros = ownMicros(now);
        t.ownSinceMicros = now;
        t.ownRunning = playing;
    }
    if (t.source == SongTime::WaitingForMusic) return;

    const bool fromPlayer = t.source == SongTime::Player && !t.distrusted;
    if (fromPlayer && !usablePosition(snap)) {
        // The player stopped giving a position mid-song: the song clock goes on by itself.
        t.distrusted = true;
    }
    const bool report = fromPlayer && !t.distrusted && snap.stampMicros != t.lastStamp;
    if (!playing) {
        if (!t.running && !report) return;
        std::int64_t song = songMicrosAt(now);
        if (report) {
            t.lastStamp = snap.stampMicros;
            const std::int64_t reported = snap.positionMs * 1000;
            if (std::llabs(reported - song) >= kSeekMicros) jumpTo(reported);
            song = reported;  // a pause report holds the exact place
        }
        setClock(song, now, 1.0, false);
        return;
    }
    if (!report) {
        // Playing again without a new timeline (or a clock of our own): go on from the hold.
        if (!t.running) setClock(songMicrosAt(now), now, t.rate, true);
        return;
    }
    t.lastStamp = snap.stampMicros;
    const double rate = usableRate(snap.rate);
    const std::int64_t reported =
        snap.positionMs * 1000 +
        static_cast<std::int64_t>(static_cast<double>(now - snap.stampMicros) * rate);
    if (!t.running) {
        // Resumed: the player's own place wins; a jump while paused counts as a seek.
        if (std::llabs(reported - songMicrosAt(now)) >= kSeekMicros) jumpTo(reported);
        setClock(reported, now, rate, true);
        return;
    }
    const std::int64_t drift = reported - songMicrosAt(now);
    if (drift > kAheadMicros && drift < kAheadLimitMicros) {
        if (++t.aheadReports >= 2) {
            // Running fast: from here the track's own playing time is the song's time.
            t.distrusted = true;
            t.source = SongTime::TrackChange;
            const std::int64_t own = ownMicros(now);
            jumpTo(own);
            setClock(own, now, 1.0, true);
            return;
        }
    } else {
        t.aheadReports = 0;
    }
    if (std::llabs(drift) >= kSeekMicros) jumpTo(reported);
    setClock(reported, now, rate, true);
}

void Follower::setClock(std::int64_t songMicros, std::int64_t clockMicros, double rate,
                        bool running) {
    Track& t = *track_;
    t.baseSongMicros = songMicros;
    t.baseClockMicros = clockMicros;
    t.rate = rate;
    t.running = running;
}

std::int64_t Follower::songMicrosAt(std::int64_t clockMicros) const {
    const Track& t = *track_;
    if (!t.running) return t.baseSongMicros;
    return t.baseSongMicros +
           static_cast<std::int64_t>(static_cast<double>(clockMicros - t.baseClockMicros) * t.rate);
}

std::int64_t Follower::songMs() const {
    return track_ ? songMicrosAt(clock_.nowMicros()) / 1000 : 0;
}

void Follower::jumpTo(std::int64_t songMicros) {
    Track& t = *track_;
    if (!t.lyric) return;
    const auto& lines = t.lyric->table.lines;
    int next = 0;
    while (next < static_cast<int>(lines.size()) &&
           (lines[static_cast<std::size_t>(next)].time + std::int64_t{t.offsetMs}) * 1000 <=
               songMicros)
        ++next;
    // The line being sung at the new place goes out now, unless it just went out; the ones
    // jumped over never do.
    t.next = next > 0 && next - 1 != t.lastTyped ? next - 1 : next;
}

void Follower::musicStarted(std::int64_t atMicros) {
    if (!following_ || !track_ || track_->source != SongTime::WaitingForMusic) return;
    track_->source = SongTime::Music;
    setClock(0, atMicros, 1.0, track_->snap.state == PlayState::Playing);
    if (!track_->running) track_->baseClockMicros = clock_.nowMicros();
    showStatus();
    run();
}

void Follower::listeningTo(ListenSource source) {
    if (!following_ || !track_ || track_->source != SongTime::WaitingForMusic) return;
    track_->heardFrom = source;
    showStatus();
}

void Follower::nudge(int ms) {
    if (!following_ || !track_ || ms == 0) return;
    track_->offsetMs += ms;
    offsets_.setOffsetMs(track_->snap.player, track_->offsetMs);
    output_.showStatus(playerName(track_->snap.player) + " 偏移 " +
                       signedSeconds(track_->offsetMs) + " 秒");
}

void Follower::lyricFound(std::uint64_t lookup, std::optional<FoundLyric> found) {
    if (!following_ || !track_ || track_->lookup != lookup) return;  // an older track's answer
    Track& t = *track_;
    t.looked = true;
    if (found && !found->table.lines.empty()) {
        t.lyric = std::move(found);
        output_.showLyric(*t.lyric);
        jumpTo(songMicrosAt(clock_.nowMicros()));
    }
    showStatus();
    run();
    if (scheduleChanged_) scheduleChanged_();
}

std::optional<std::int64_t> Follower::dueMicros(int index) const {
    const Track& t = *track_;
    if (!t.running || !t.lyric) return std::nullopt;
    const auto& lines = t.lyric->table.lines;
    if (index < 0 || index >= static_cast<int>(lines.size())) return std::nullopt;
    const std::int64_t song =
        (lines[static_cast<std::size_t>(index)].time + std::int64_t{t.offsetMs}) * 1000;
    return t.baseClockMicros + static_cast<std::int64_t>(std::ceil(
                                   static_cast<double>(song - t.baseSongMicros) / t.rate));
}

std::optional<std::int64_t> Follower::nextDueMicros() const {
    if (!following_ || !track_) return std::nullopt;
    return dueMicros(track_->next);
}

void Follower::run() {
    if (typing_) {
        heldTick_ = true;
        return;
    }
    for (;;) {
        if (!following_ || !track_) return;
        const auto due = dueMicros(track_->next);
        if (!due) return;
        const std::int64_t now = clock_.nowMicros();
        if (*due - now > kEarlyToleranceMicros) return;
        Track& t = *track_;
        // Lines that fell due while nothing could be typed are not sent in a burst.
        const int last = t.lyric->table.count() - 1;
        while (t.next < last && now - *dueMicros(t.next) >= kMissedMicros &&
               *dueMicros(t.next + 1) <= now)
            ++t.next;
        const int index = t.next++;
        t.lastTyped = index;
        // The table stays alive while typing: sessions arriving meanwhile wait in pending_.
        const FoundLyric lyric = *t.lyric;
        typing_ = true;
        const bool typed = output_.typeLine(lyric.table, index);
        typing_ = false;
        heldTick_ = false;
        if (!typed) {
            stop();
            return;
        }
        if (pending_) {
            SessionList sessions = std::move(*pending_);
            pending_.reset();
            process(sessions);
        }
    }
}

void Follower::showStatus() {
    GbkText text;
    if (!track_) {
        text = "跟随中：没有正在播放的歌曲";
    } else {
        const Track& t = *track_;
        text = playerName(t.snap.player) + "：" + t.snap.title;
        if (!t.snap.artist.empty()) text += " - " + t.snap.artist;
        switch (t.source) {
            case SongTime::Player:
                text += "（时间来自播放器）";
                break;
            case SongTime::Music:
                text += "（时间来自伴奏）";
                break;
            case SongTime::WaitingForMusic:
                if (!t.heardFrom) {
                    text += "（等待伴奏…）";
                } else if (*t.heardFrom == ListenSource::Player) {
                    text += "（等待伴奏…，只听" + playerName(t.snap.player) + "的声音）";
                } else {
                    text += "（等待伴奏…，听电脑播放的声音）";
                }
                break;
            case SongTime::TrackChange:
                text += "（时间来自切歌）";
                break;
            case SongTime::None:
                break;
        }
        if (!t.looked) {
            text += "，正在找歌词…";
        } else if (!t.lyric) {
            text += "，没有找到歌词，等待下一首";
        }
        if (t.snap.state == PlayState::Paused) text += "，已暂停";
    }
    if (text == lastStatus_) return;
    lastStatus_ = text;
    output_.showStatus(text);
}
