#include "app/follow_controller.hpp"

#include <gtest/gtest.h>

#include "follow/follow_screen.hpp"
#include "tests/support/delivery_rig.hpp"

namespace {

struct NoOffsets : PlayerOffsets {
    int offsetMs(const GbkText&) override { return 0; }
    void setOffsetMs(const GbkText&, int) override {}
};

struct OneLyric : LyricFinder {
    void find(const SessionSnapshot& track, Done done) override {
        LyricTable table;
        table.lines = {{1000, "one"}, {2000, "two"}};
        done(FoundLyric{table, track.title + ".lrc"});
    }
};

struct Listener : AudioListener {
    OnsetHandler onset;
    GbkText player;
    ListeningHandler listening;
    int starts = 0, stops = 0;
    void listenTo(const GbkText& app, ListeningHandler told) override {
        player = app;
        listening = std::move(told);
    }
    void start(OnsetHandler heard, FailureHandler) override {
        ++starts;
        onset = std::move(heard);
    }
    void stop() override {
        ++stops;
        onset = nullptr;
    }
};

struct FollowControllerTest : DeliveryRig, ::testing::Test {
    MemoryTimer timer;
    LineTransform transform{units, 1};
    FollowScreen screen{units, state, transform, delivery};
    OneLyric finder;
    NoOffsets offsets;
    Follower follower{clock, finder, screen, offsets};
    Listener listener;
    FollowController controller{units, follower, timer, clock, &listener};

    FollowControllerTest() {
        timers.add(timer);
        windows.addWindow(kTarget);
        state.targetWindow = kTarget;
        units.公屏字幕.setChecked(true);
    }
    static MediaSessionReader::State playing(const char* title) {
        SessionSnapshot s;
        s.player = "QQMusic.exe";
        s.title = title;
        s.lengthMs = 60000;
        s.state = PlayState::Playing;
        s.hasPosition = true;
        return {false, {}, {s}, 1};
    }
};

TEST_F(FollowControllerTest, TheButtonFollowsUntilClickedAgainAndLinesGoOutOnTheTimer) {
    controller.sessions(playing("Song"));  // before the click: nothing is typed
    controller.startStop();
    EXPECT_EQ(units.开始字幕.text(), "跟随中…");
    EXPECT_EQ(units.透明标签1.text(), "Song.lrc");
    EXPECT_EQ(units.超级列表框_歌词.rowCount(), 2);
    timers.advanceTo(2500000);
    EXPECT_EQ(sentTexts(windows.posts), (std::vector<GbkText>{"one", "two"}));
    EXPECT_EQ(units.超级列表框_歌词.selection(), 1);
    controller.startStop();
    EXPECT_EQ(units.开始字幕.text(), "开始字幕");
    EXPECT_EQ(timer.period(), 0);
}

TEST_F(FollowControllerTest, WithoutMediaSessionsTheClickSaysWhyAndAClosedTargetStops) {
    controller.sessions({true, "没有媒体会话", {}, 1});
    controller.startStop();
    EXPECT_EQ(units.开始字幕.text(), "开始字幕");
    EXPECT_EQ(units.状态条1.part(StatusBar::kMessage), "没有媒体会话");

    controller.sessions(playing("Song"));
    controller.startStop();
    windows.closeWindow(kTarget);
    timers.advanceTo(1500000);
    EXPECT_FALSE(controller.following());
    EXPECT_EQ(units.开始字幕.text(), "开始字幕");
    EXPECT_EQ(units.状态条1.part(StatusBar::kMessage), "目标窗口已关闭，跟随已停止");
}

TEST_F(FollowControllerTest, ATrackWithoutPositionWaitsForItsMusicWhenAsked) {
    follower.setWaitForMusic(true);
    auto state = playing("Song");
    state.sessions[0].hasPosition = false;
    controller.startStop();
    controller.sessions(state);
    EXPECT_EQ(listener.starts, 1);
    // The player is listened to alone where the system allows it, and the status says so.
    EXPECT_EQ(listener.player, "QQMusic.exe");
    listener.listening(ListenSource::Player);
    EXPECT_EQ(units.状态条1.part(StatusBar::kMessage),
              "QQ音乐：Song（等待伴奏…，只听QQ音乐的声音）");
    timers.advanceTo(3000000);
    EXPECT_TRUE(sentTexts(windows.posts).empty());
    listener.onset({2000000, 2.0, -20});  // the music started at 2 s
    timers.advanceTo(4500000);
    EXPECT_EQ(sentTexts(windows.posts), (std::vector<GbkText>{"one", "two"}));
    // The next track is listened for afresh; stopping lets go of the listener.
    state.sessions[0].title = "Next";
    controller.sessions(state);
    EXPECT_EQ(listener.starts, 2);
    listener.listening(ListenSource::PlaybackDevice);
    EXPECT_EQ(units.状态条1.part(StatusBar::kMessage),
              "QQ音乐：Next（等待伴奏…，听电脑播放的声音）");
    controller.startStop();
    EXPECT_EQ(listener.stops, 1);
}

}  // namespace
