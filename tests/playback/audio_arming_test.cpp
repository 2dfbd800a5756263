#include "playback/audio_arming.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/playback/engine_harness.hpp"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct FakeListener : AudioListener {
    int starts = 0, stops = 0;
    OnsetHandler onset;
    FailureHandler failure;
    GbkText failAtOnce;  // fails inside start() when set
    void start(OnsetHandler o, FailureHandler f) override {
        ++starts;
        onset = std::move(o);
        failure = std::move(f);
        if (!failAtOnce.empty()) failure(failAtOnce);
    }
    void stop() override { ++stops; }
};

struct ArmingHarness : EngineHarness {
    FakeListener listener;
    bool setting = true;
    AudioArming arming{engine, listener, units, [this] { return setting; }};
    GbkText status() { return units.状态条1.part(1); }
    void hear(std::int64_t atMs) { listener.onset({atMs * 1000, 1.5, -18.4}); }
};

TEST(AudioArming, ArmsInsteadOfStartingAndPutsTimeZeroAtTheOnset) {
    ArmingHarness h;
    h.load({{1000, "one"}, {3000, "two"}});
    h.engine.startStop();
    EXPECT_EQ(h.caption(), "等待伴奏…");
    EXPECT_EQ(h.listener.starts, 1);
    EXPECT_THAT(h.status(), HasSubstr("正在监听"));
    h.runMs(5000);  // nothing goes out and nudges do nothing while waiting
    h.engine.nudge(100);
    EXPECT_THAT(h.sent(), IsEmpty());
    EXPECT_EQ(h.timer().period(), 0);

    h.hear(4800);  // the music began 200 ms before the news arrived
    EXPECT_EQ(h.caption(), "停止字幕");
    EXPECT_EQ(h.listener.stops, 1);
    EXPECT_EQ(h.status(), "伴奏在监听 1.50 秒时响起（电平 -18 dB），字幕开始");
    h.runMs(10000);
    EXPECT_THAT(h.sent(), ElementsAre("one", "two"));
    EXPECT_THAT(h.sentAtMs(), ElementsAre(5800, 7800));
}

TEST(AudioArming, TheStartNudgeAndLaterNudgesApplyOnTop) {
    ArmingHarness h;
    h.engine.setStartNudge(300);
    h.load({{1000, "one"}, {3000, "two"}});
    h.engine.startStop();
    h.hear(0);
    EXPECT_EQ(h.status(), "偏移 +0.3 秒");
    h.runMs(1500);
    h.engine.nudge(-100);
    h.runMs(10000);
    EXPECT_THAT(h.sentAtMs(), ElementsAre(1300, 3200));
}

TEST(AudioArming, ASecondClickALoadOrAStopLetGoAndLateNewsIsIgnored) {
    for (int way = 0; way < 3; ++way) {
        ArmingHarness h;
        h.load({{1000, "one"}});
        h.engine.startStop();
        if (way == 0) h.engine.startStop();
        if (way == 1) {
            EXPECT_FALSE(h.engine.pauseIfPlaying());  // the chosen file loads
        }
        if (way == 2) h.engine.halt("stopped");
        EXPECT_EQ(h.caption(), "开始字幕") << way;
        EXPECT_EQ(h.listener.stops, 1) << way;
        if (way < 2) {
            EXPECT_EQ(h.status(), "已停止等待伴奏");
        }
        h.hear(100);
        h.listener.failure("late");
        h.runMs(5000);
        EXPECT_EQ(h.caption(), "开始字幕") << way;
        EXPECT_THAT(h.sent(), IsEmpty()) << way;
        EXPECT_NE(h.status(), "late");
    }
}

TEST(AudioArming, AFailureToListenDisarmsWithItsReason) {
    for (bool atOnce : {false, true}) {
        ArmingHarness h;
        h.load({{1000, "one"}});
        if (atOnce) h.listener.failAtOnce = "没有找到播放设备";
        h.engine.startStop();
        if (!atOnce) h.listener.failure("没有找到播放设备");
        EXPECT_EQ(h.caption(), "开始字幕");
        EXPECT_EQ(h.status(), "没有找到播放设备");
        h.engine.startStop();  // the next click tries again
        EXPECT_EQ(h.listener.starts, 2);
    }
}

TEST(AudioArming, ChecksComeFirstAndTheSettingOffStartsAtOnce) {
    ArmingHarness h;
    h.engine.startStop();  // no lyric
    EXPECT_EQ(h.boxes.shown().size(), 1u);
    EXPECT_EQ(h.listener.starts, 0);
    h.setting = false;
    h.load({{1000, "one"}});
    h.engine.startStop();
    EXPECT_EQ(h.caption(), "停止字幕");
    h.runMs(2000);
    EXPECT_THAT(h.sentAtMs(), ElementsAre(1000));
    EXPECT_EQ(h.listener.starts, 0);
}

}  // namespace
