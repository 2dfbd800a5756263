#include "follow/follower.hpp"

#include <gtest/gtest.h>

#include <map>

#include "tests/support/fake_clock.hpp"

namespace {

struct Typed {
    std::int64_t atMs;
    GbkText text;
    bool operator==(const Typed&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Typed& t) { return os << t.atMs << " " << t.text; }

LyricTable lyricOf(std::initializer_list<std::pair<int, const char*>> lines) {
    LyricTable table;
    for (auto [time, text] : lines) table.lines.push_back({time, text});
    return table;
}

// Lyrics by title; a title it does not know has none. With `deferred` the answers wait for
// answer().
struct Finder : LyricFinder {
    std::map<GbkText, LyricTable> lyrics;
    bool deferred = false;
    std::vector<std::pair<GbkText, Done>> waiting;
    void find(const SessionSnapshot& track, Done done) override {
        if (deferred) {
            waiting.emplace_back(track.title, std::move(done));
            return;
        }
        answerFor(track.title, done);
    }
    void answerFor(const GbkText& title, const Done& done) {
        const auto it = lyrics.find(title);
        if (it == lyrics.end()) return done(std::nullopt);
        done(FoundLyric{it->second, title + ".lrc"});
    }
    void answer(std::size_t i) { answerFor(waiting[i].first, waiting[i].second); }
};

struct Output : FollowOutput {
    FakeClock& clock;
    std::vector<Typed> typed;
    std::vector<GbkText> shown, statuses;
    std::function<void()> whileTyping;
    bool reachable = true;
    explicit Output(FakeClock& c) : clock(c) {}
    void showLyric(const FoundLyric& lyric) override { shown.push_back(lyric.name); }
    bool typeLine(const LyricTable& table, int index) override {
        typed.push_back({clock.nowMillis(), table.lines[static_cast<std::size_t>(index)].text});
        if (whileTyping) whileTyping();
        return reachable;
    }
    void showStatus(const GbkText& text) override { statuses.push_back(text); }
};

struct Offsets : PlayerOffsets {
    std::map<GbkText, int> ms;
    int offsetMs(const GbkText& player) override { return ms[player]; }
    void setOffsetMs(const GbkText& player, int value) override { ms[player] = value; }
};

SessionSnapshot song(const char* title, PlayState state, std::int64_t lengthMs = 200000) {
    SessionSnapshot s;
    s.player = "QQMusic.exe";
    s.title = title;
    s.artist = "Singer";
    s.lengthMs = lengthMs;
    s.state = state;
    return s;
}

SessionSnapshot at(SessionSnapshot s, std::int64_t positionMs, std::int64_t stampMs) {
    s.hasPosition = true;
    s.positionMs = positionMs;
    s.stampMicros = stampMs * 1000;
    return s;
}

struct FollowerTest : ::testing::Test {
    FakeClock clock;
    Finder finder;
    Output output{clock};
    Offsets offsets;
    Follower follower{clock, finder, output, offsets};

    FollowerTest() {
        finder.lyrics["A"] =
            lyricOf({{1000, "a1"}, {2000, "a2"}, {3000, "a3"}, {10000, "a4"}, {12000, "a5"}});
        finder.lyrics["B"] = lyricOf({{500, "b1"}, {1500, "b2"}});
        follower.start();
    }
    // Runs the follower's timer up to `ms`, then delivers `sessions` (if any) at that time.
    void runTo(std::int64_t ms) {
        while (const auto due = follower.nextDueMicros()) {
            if (*due > ms * 1000) break;
            clock.set(std::max(clock.nowMicros(), *due));
            follower.tick();
        }
        clock.set(ms * 1000);
    }
    void report(std::int64_t ms, const SessionList& sessions) {
        runTo(ms);
        follower.update(sessions);
    }
};

TEST(ChooseSession, PinnedThenFollowedWhilePlayingThenFirstPlayingThenFollowedPaused) {
    SessionSnapshot a = song("A", PlayState::Playing), b = song("B", PlayState::Playing);
    a.player = "a.exe";
    b.player = "b.exe";
    SessionSnapshot pausedA = a;
    pausedA.state = PlayState::Paused;
    EXPECT_EQ(chooseSession({a, b}, "", ""), 0);
    EXPECT_EQ(chooseSession({a, b}, "b.exe", ""), 1);        // stays with the one it follows
    EXPECT_EQ(chooseSession({pausedA, b}, "a.exe", ""), 1);  // another one plays
    EXPECT_EQ(chooseSession({pausedA}, "a.exe", ""), 0);     // a pause holds
    EXPECT_EQ(chooseSession({pausedA}, "", ""), -1);         // nothing plays
    EXPECT_EQ(chooseSession({a, b}, "a.exe", "b.exe"), 1);   // pinned wins
    EXPECT_EQ(chooseSession({a}, "", "c.exe"), -1);          // pinned one absent: none
    EXPECT_EQ(chooseSession({}, "a.exe", ""), -1);
}

TEST_F(FollowerTest, PlayerTimeThroughPauseResumeSeekAndTrackChange) {
    report(0, {at(song("A", PlayState::Playing), 0, 0)});
    EXPECT_EQ(output.shown, (std::vector<GbkText>{"A.lrc"}));
    // Paused at 2.5 s, resumed at 20 s where it stopped: a3 comes 0.5 s after the resume.
    report(2500, {at(song("A", PlayState::Paused), 2500, 2500)});
    report(20000, {at(song("A", PlayState::Playing), 2500, 20000)});
    // Polls repeat the same timeline; a seek to 11 s types a4 (being sung) at once, never a3.
    report(20400, {at(song("A", PlayState::Playing), 2500, 20000)});
    report(21000, {at(song("A", PlayState::Playing), 11000, 21000)});
    // B starts: A's last line never comes.
    report(21500, {at(song("B", PlayState::Playing), 0, 21500)});
    runTo(60000);
    EXPECT_EQ(output.typed, (std::vector<Typed>{{1000, "a1"},
                                                {2000, "a2"},
                                                {20500, "a3"},
                                                {21000, "a4"},
                                                {22000, "b1"},
                                                {23000, "b2"}}));
    EXPECT_EQ(follower.nextDueMicros(), std::nullopt);
    // The set ends: the session goes, nothing is followed.
    report(61000, {});
    EXPECT_EQ(follower.followed(), nullptr);
    EXPECT_EQ(output.statuses.back(), "跟随中：没有正在播放的歌曲");
}

TEST_F(FollowerTest, PositionAtItsRateAndLyricFoundLateTypesOnlyTheLineInProgress) {
    finder.deferred = true;
    SessionSnapshot a = at(song("A", PlayState::Playing), 0, 0);
    a.rate = 2.0;
    report(0, {a});
    runTo(1600);  // the song is at 3.2 s: a1 and a2 were missed while looking
    finder.answer(0);
    runTo(6000);  // a4 (10 s) at 5 s, a5 (12 s) at 6 s
    EXPECT_EQ(output.typed, (std::vector<Typed>{{1600, "a3"}, {5000, "a4"}, {6000, "a5"}}));
}

TEST_F(FollowerTest, AnswerForAnEarlierTrackIsDroppedAndAMissingLyricWaits) {
    finder.deferred = true;
    report(0, {at(song("A", PlayState::Playing), 0, 0)});
    report(300, {at(song("C", PlayState::Playing), 0, 300)});
    finder.answer(0);  // A's answer comes after C started
    finder.answer(1);  // C has none
    runTo(5000);
    EXPECT_TRUE(output.typed.empty());
    EXPECT_TRUE(output.shown.empty());
    EXPECT_EQ(output.statuses.back(),
              "QQ音乐：C - Singer（时间来自播放器），没有找到歌词，等待下一首");
}

TEST_F(FollowerTest, NoUsablePositionFollowsFromTheTrackChange) {
    // No length, a stale stamp, a zero that stays: each track is timed from when it appeared.
    SessionSnapshot noLength = at(song("A", PlayState::Playing, 0), 0, 0);
    report(100, {noLength});
    runTo(1150);
    SessionSnapshot stale = at(song("B", PlayState::Playing), 0, -900000);
    report(4000, {stale});
    runTo(6000);
    EXPECT_EQ(follower.songTime(), SongTime::TrackChange);
    EXPECT_EQ(
        output.typed,
        (std::vector<Typed>{{1100, "a1"}, {2100, "a2"}, {3100, "a3"}, {4500, "b1"}, {5500, "b2"}}));
    EXPECT_EQ(output.statuses.back(), "QQ音乐：B - Singer（时间来自切歌）");

    // Zero reported afresh 3 s into the song: the song clock keeps its own time, paused too.
    output.typed.clear();
    report(10000, {at(song("A", PlayState::Playing), 0, 10000)});
    report(14000, {at(song("A", PlayState::Playing), 0, 14000)});
    EXPECT_EQ(follower.songMs(), 4000);
    report(14500, {at(song("A", PlayState::Paused), 0, 14500)});
    report(20000, {at(song("A", PlayState::Playing), 0, 20000)});
    runTo(26000);
    EXPECT_EQ(output.typed,
              (std::vector<Typed>{{11000, "a1"}, {12000, "a2"}, {13000, "a3"}, {25500, "a4"}}));
}

TEST_F(FollowerTest, WaitsForTheMusicWhenAskedAndTimesFromIt) {
    follower.setWaitForMusic(true);
    SessionSnapshot noPosition = song("B", PlayState::Playing);
    report(0, {noPosition});
    runTo(3000);
    EXPECT_TRUE(output.typed.empty());
    EXPECT_EQ(follower.songTime(), SongTime::WaitingForMusic);
    follower.musicStarted(2000 * 1000);  // heard a second ago
    runTo(5000);
    EXPECT_EQ(output.typed, (std::vector<Typed>{{3000, "b1"}, {3500, "b2"}}));
    EXPECT_EQ(follower.songTime(), SongTime::Music);
    EXPECT_NE(output.statuses.back().find("时间来自伴奏"), GbkText::npos);
}

TEST_F(FollowerTest, CoarseReportsKeepStepAndAPositionRunningAheadIsDropped) {
    // Reports every 5 s, each a little off: each corrects the clock, no line comes twice or is
    // lost.
    report(0, {at(song("A", PlayState::Playing), 0, 0)});
    report(5000, {at(song("A", PlayState::Playing), 5100, 5000)});
    report(10000, {at(song("A", PlayState::Playing), 9950, 10000)});
    runTo(13000);
    EXPECT_EQ(output.typed,
              (std::vector<Typed>{
                  {1000, "a1"}, {2000, "a2"}, {3000, "a3"}, {9900, "a4"}, {12050, "a5"}}));
    EXPECT_EQ(follower.songTime(), SongTime::Player);

    // A position gaining 0.8 s every 2 s: the second such report ends trust in it, and the
    // track's own playing time rules.
    output.typed.clear();
    report(20000, {at(song("B", PlayState::Playing), 0, 20000)});
    report(22000, {at(song("B", PlayState::Playing), 2800, 22000)});
    report(24000, {at(song("B", PlayState::Playing), 5600, 24000)});
    EXPECT_EQ(follower.songTime(), SongTime::TrackChange);
    EXPECT_EQ(follower.songMs(), 4000);
    EXPECT_EQ(output.typed, (std::vector<Typed>{{20500, "b1"}, {21500, "b2"}}));
}

TEST_F(FollowerTest, NudgeMovesTheFollowingLinesAndIsKeptPerPlayer) {
    offsets.ms["QQMusic.exe"] = 200;
    report(0, {at(song("A", PlayState::Playing), 0, 0)});
    runTo(1500);
    follower.nudge(300);
    follower.nudge(-100);
    runTo(2500);
    EXPECT_EQ(output.typed, (std::vector<Typed>{{1200, "a1"}, {2400, "a2"}}));
    EXPECT_EQ(offsets.ms["QQMusic.exe"], 400);
    EXPECT_EQ(output.statuses.back(), "QQ音乐 偏移 +0.4 秒");
}

TEST_F(FollowerTest, SessionsArrivingWhileTypingWaitAndAFailedLineEndsFollowing) {
    report(0, {at(song("A", PlayState::Playing), 0, 0)});
    output.whileTyping = [&] {
        output.whileTyping = nullptr;
        follower.update({at(song("B", PlayState::Playing), 0, clock.nowMillis())});
        EXPECT_EQ(follower.followed()->title, "A");  // not while a line of A is typed
    };
    runTo(1000);
    EXPECT_EQ(follower.followed()->title, "B");
    output.reachable = false;
    runTo(3000);
    EXPECT_FALSE(follower.following());
    EXPECT_EQ(output.typed, (std::vector<Typed>{{1000, "a1"}, {1500, "b1"}}));
}

}  // namespace
