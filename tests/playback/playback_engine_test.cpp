#include "playback/playback_engine.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "delivery/privilege.hpp"
#include "tests/playback/engine_harness.hpp"

using ::testing::ElementsAre;

namespace {

TEST(PlaybackEngine, StartChecksAnswerInOrderAndLeaveStateAlone) {
    struct Case {
        bool mode, target, lyrics;
        GbkText text, title;
        unsigned style;
    };
    const Case cases[] = {
        {false, false, false, "请选择字幕类型", "温馨提示", mb::kOk | mb::kTaskModal},
        {true, false, false, "请选取要发送的程序位置！", "没有目标",
         mb::kIconInformation | mb::kTaskModal},
        {true, true, false, "请先选择歌词LRC！", "没有歌词", mb::kIconInformation | mb::kTaskModal},
    };
    for (const Case& c : cases) {
        EngineHarness h;
        h.units.公屏字幕.setChecked(c.mode);
        if (!c.target) h.state.targetWindow = 0;
        if (c.lyrics) h.load({{100, "a"}});
        h.engine.startStop();
        ASSERT_EQ(h.boxes.shown().size(), 1u) << c.text;
        EXPECT_EQ(h.boxes.shown()[0], (FakeMessageBoxes::Shown{c.text, c.title, c.style}));
        EXPECT_EQ(h.caption(), "开始字幕");
        EXPECT_EQ(h.timer().period(), 0);
        EXPECT_TRUE(h.windows.posts.empty());
    }
}

TEST(PlaybackEngine, StartHidesThePreviewOnceAModeIsChosen) {
    EngineHarness h;
    h.state.targetWindow = 0;
    h.units.歌词预览.setVisible(true);
    h.units.超级列表框_歌词.setVisible(false);
    h.engine.startStop();
    EXPECT_FALSE(h.units.歌词预览.visible());
    EXPECT_TRUE(h.units.超级列表框_歌词.visible());
}

TEST(PlaybackEngine, LinesGoOutAtTheirOwnTimesAndTheSongEndsIdle) {
    EngineHarness h;
    h.load({{1000, "one"}, {3000, "two"}, {3500, "three"}});
    h.engine.startStop();
    EXPECT_EQ(h.caption(), "停止字幕");
    EXPECT_EQ(h.timer().period(), 1000);
    EXPECT_EQ(h.engine.position(), 1);
    h.runMs(10000);
    EXPECT_THAT(h.sent(), ElementsAre("one", "two", "three"));
    EXPECT_THAT(h.sentAtMs(), ElementsAre(1000, 3000, 3500));
    EXPECT_EQ(h.caption(), "开始字幕");
    EXPECT_EQ(h.timer().period(), 0);
    EXPECT_EQ(h.engine.position(), 0);
    EXPECT_EQ(h.units.超级列表框_歌词.selection(), 2);
}

TEST(PlaybackEngine, DeliveryWaitsDoNotPushTheSongLate) {
    // 80 lines 1 s apart, each costing 20 ms of waits: the last still goes out on time.
    EngineHarness h;
    h.state.lyrics = {};
    for (int i = 1; i <= 80; ++i) {
        h.state.lyrics.lines.push_back({i * 1000, "x"});
        h.units.超级列表框_歌词.setCell(h.units.超级列表框_歌词.addRow("", i), 1, "x");
    }
    h.engine.startStop();
    h.runMs(90000);
    const auto times = h.sentAtMs();
    ASSERT_EQ(times.size(), 80u);
    for (int i = 0; i < 80; ++i) EXPECT_EQ(times[static_cast<size_t>(i)], (i + 1) * 1000);
}

TEST(PlaybackEngine, EqualTimesGoOutBackToBackInsteadOfStalling) {
    EngineHarness h;
    h.load({{100, "a"}, {200, "b"}, {200, "c"}, {300, "d"}});
    h.engine.startStop();
    h.runMs(1000);
    EXPECT_THAT(h.sent(), ElementsAre("a", "b", "c", "d"));
    // "c" follows as soon as the delivery of "b" (two 10 ms pauses) is over.
    EXPECT_THAT(h.sentAtMs(), ElementsAre(100, 200, 220, 300));
    EXPECT_EQ(h.caption(), "开始字幕");
}

TEST(PlaybackEngine, AnEntryAtTimeZeroGoesOutOnStart) {
    for (bool alone : {false, true}) {
        EngineHarness h;
        if (alone)
            h.load({{0, "zero"}});
        else
            h.load({{0, "zero"}, {500, "next"}});
        h.engine.startStop();
        EXPECT_THAT(h.sent(), ElementsAre("zero"));
        EXPECT_THAT(h.sentAtMs(), ElementsAre(0));
        h.runMs(1000);
        if (alone) {
            EXPECT_THAT(h.sent(), ElementsAre("zero"));
        } else {
            EXPECT_THAT(h.sentAtMs(), ElementsAre(0, 500));
        }
        EXPECT_EQ(h.caption(), "开始字幕");
        EXPECT_EQ(h.timer().period(), 0);
    }
}

TEST(PlaybackEngine, OneEntryWithATimeGoesOutOnceAndStops) {
    EngineHarness h;
    h.load({{700, "only"}});
    h.engine.startStop();
    h.runMs(5000);
    EXPECT_THAT(h.sent(), ElementsAre("only"));
    EXPECT_EQ(h.caption(), "开始字幕");
    EXPECT_EQ(h.timer().period(), 0);
}

TEST(PlaybackEngine, StopResetsSoTheNextStartBeginsAtTheFirstLine) {
    EngineHarness h;
    h.load({{100, "a"}, {200, "b"}, {300, "c"}});
    h.engine.startStop();
    h.runMs(150);
    h.engine.startStop();
    EXPECT_EQ(h.caption(), "开始字幕");
    EXPECT_EQ(h.timer().period(), 0);
    EXPECT_EQ(h.engine.position(), 0);
    h.runMs(1000);
    h.engine.startStop();
    h.runMs(1000);
    EXPECT_THAT(h.sent(), ElementsAre("a", "a", "b", "c"));
    EXPECT_THAT(h.sentAtMs(), ElementsAre(100, 1250, 1350, 1450));
}

TEST(PlaybackEngine, PauseKeepsThePlaceAndResumeDeliversTheDueLineAtOnce) {
    EngineHarness h;
    h.load({{100, "a"}, {200, "b"}, {500, "c"}});
    h.engine.startStop();
    h.runMs(150);
    EXPECT_TRUE(h.engine.pauseIfPlaying());
    EXPECT_FALSE(h.engine.pauseIfPlaying());
    EXPECT_EQ(h.caption(), "开始字幕");
    EXPECT_EQ(h.timer().period(), 0);
    EXPECT_EQ(h.engine.position(), 2);
    h.runMs(5000);
    EXPECT_THAT(h.sent(), ElementsAre("a"));
    h.engine.startStop();  // at 5150: "b" counts as due now, "c" 300 ms later
    h.runMs(1000);
    EXPECT_THAT(h.sent(), ElementsAre("a", "b", "c"));
    EXPECT_THAT(h.sentAtMs(), ElementsAre(100, 5150, 5450));
}

TEST(PlaybackEngine, ResumeOnTheLastLineEndsIdle) {
    EngineHarness h;
    h.load({{100, "a"}, {200, "b"}});
    h.engine.startStop();
    h.runMs(150);
    h.engine.pauseIfPlaying();
    h.engine.startStop();
    EXPECT_THAT(h.sent(), ElementsAre("a", "b"));
    EXPECT_EQ(h.caption(), "开始字幕");
    EXPECT_EQ(h.timer().period(), 0);
    EXPECT_EQ(h.engine.position(), 0);
}

TEST(PlaybackEngine, DoubleClickDeliversTheRowAndFollowsOnFromIt) {
    EngineHarness h;
    h.load({{1000, "1"}, {2000, "2"}, {3000, "3"}, {4000, "4"}, {5000, "5"}, {5600, "6"}});
    h.engine.startStop();
    h.runMs(1500);
    h.units.超级列表框_歌词.setSelection(4);
    h.engine.jumpTo();
    EXPECT_THAT(h.sent(), ElementsAre("1", "5"));
    h.runMs(2000);
    EXPECT_THAT(h.sent(), ElementsAre("1", "5", "6"));
    EXPECT_THAT(h.sentAtMs(), ElementsAre(1000, 1500, 2100));
}

TEST(PlaybackEngine, DoubleClickBesideTheRowsOrWhileIdleDoesNothing) {
    EngineHarness h;
    h.load({{100, "a"}, {300, "b"}});
    h.units.超级列表框_歌词.setSelection(1);
    h.engine.jumpTo();
    EXPECT_EQ(h.caption(), "开始字幕");
    EXPECT_TRUE(h.windows.posts.empty());

    h.engine.startStop();
    h.runMs(200);  // "a" at 100
    h.units.超级列表框_歌词.setSelection(-1);
    h.engine.jumpTo();  // at 200: no row hit, the song goes on
    h.runMs(1000);
    EXPECT_THAT(h.sent(), ElementsAre("a", "b"));
    EXPECT_THAT(h.sentAtMs(), ElementsAre(100, 300));
}

TEST(PlaybackEngine, StopStopsWhateverModeAndTargetSay) {
    // A quick press on the capture panel clears the target; the mode may be unticked too.
    for (bool keepMode : {false, true}) {
        EngineHarness h;
        h.load({{100, "a"}, {200, "b"}, {300, "c"}});
        h.engine.startStop();
        h.runMs(150);
        h.state.targetWindow = 0;
        h.units.公屏字幕.setChecked(keepMode);
        h.engine.startStop();
        EXPECT_TRUE(h.boxes.shown().empty());
        EXPECT_EQ(h.caption(), "开始字幕");
        EXPECT_EQ(h.timer().period(), 0);
        EXPECT_EQ(h.engine.position(), 0);
    }
}

TEST(PlaybackEngine, ALineThatCannotReachTheClientStopsAndSaysWhy) {
    enum class Fault { TargetClosed, TargetCleared, CardGone };
    struct Case {
        Fault fault;
        GbkText status;
    };
    const Case cases[] = {
        {Fault::TargetClosed, "目标窗口已关闭，字幕已停止"},
        {Fault::TargetCleared, "没有目标窗口，字幕已停止"},
        {Fault::CardGone, "找不到名片窗口，字幕已停止"},
    };
    for (const Case& c : cases) {
        EngineHarness h;
        if (c.fault == Fault::CardGone) {
            h.units.公屏字幕.setChecked(false);
            h.units.昵称字幕.setChecked(true);
            h.windows.addWindow(EngineHarness::kCard);
            h.windows.findDefault = EngineHarness::kCard;
        }
        h.load({{100, "a"}, {1000, "b"}, {2000, "c"}});
        h.engine.startStop();
        h.runMs(500);
        if (c.fault == Fault::TargetClosed) h.windows.closeWindow(EngineHarness::kTarget);
        if (c.fault == Fault::TargetCleared) h.state.targetWindow = 0;
        if (c.fault == Fault::CardGone) {
            h.windows.closeWindow(EngineHarness::kCard);
            h.windows.findDefault = 0;
        }
        h.runMs(5000);
        EXPECT_THAT(h.sent(), ElementsAre("a")) << c.status;
        EXPECT_EQ(h.caption(), "开始字幕") << c.status;
        EXPECT_EQ(h.timer().period(), 0) << c.status;
        EXPECT_EQ(h.units.状态条1.part(1), c.status);
        EXPECT_TRUE(h.boxes.shown().empty()) << c.status;
    }
    // A target that closed before the start counts as none.
    EngineHarness h;
    h.load({{100, "a"}});
    h.windows.closeWindow(EngineHarness::kTarget);
    h.engine.startStop();
    ASSERT_EQ(h.boxes.shown().size(), 1u);
    EXPECT_EQ(h.boxes.shown()[0].title, "没有目标");
    EXPECT_EQ(h.caption(), "开始字幕");
}

TEST(PlaybackEngine, AfterTheThreadWasHeldUpOnlyTheLatestDueLineGoesOut) {
    EngineHarness h;
    h.load({{1000, "1"}, {2000, "2"}, {3000, "3"}, {4000, "4"}, {5000, "5"}, {6000, "6"}});
    h.engine.startStop();
    // At 1500 a modal box holds the thread until 4700: lines 2 to 4 fall due meanwhile.
    h.timers.at(1500000, [&] { h.clock.advance(3200000); });
    h.runMs(10000);
    EXPECT_THAT(h.sent(), ElementsAre("1", "4", "5", "6"));
    // Still anchored at the start: 5 and 6 keep their own times.
    EXPECT_THAT(h.sentAtMs(), ElementsAre(1000, 4700, 5000, 6000));
    EXPECT_EQ(h.units.状态条1.part(1), "已跳过2行过期歌词");
}

TEST(PlaybackEngine, ATickDueDuringADeliveryWaitsForItsEnd) {
    // Lines 5 ms apart while each delivery takes 20 ms: the timer expires inside the waits.
    EngineHarness h;
    h.load({{10, "a"}, {15, "b"}, {20, "c"}});
    h.engine.startStop();
    h.runMs(200);
    EXPECT_THAT(h.sent(), ElementsAre("a", "b", "c"));
    EXPECT_THAT(h.sentAtMs(), ElementsAre(10, 30, 50));
    EXPECT_GE(h.timers.firings(h.timer()).size(), 2u);
    // No delivery started inside another: each line's posts are contiguous.
    EXPECT_EQ(h.windows.posts.size(), 3u * (3 + 1 + 3));
    EXPECT_EQ(h.caption(), "开始字幕");
}

TEST(PlaybackEngine, StopDuringADeliveryIsHonoured) {
    EngineHarness h;
    h.load({{100, "a"}, {200, "b"}});
    h.wait.onWait = [&](int index, int) {
        if (index == 0) h.engine.startStop();
    };
    h.engine.startStop();
    h.runMs(1000);
    EXPECT_THAT(h.sent(), ElementsAre("a"));  // the line in flight still completes
    EXPECT_EQ(h.caption(), "开始字幕");
    EXPECT_EQ(h.timer().period(), 0);
    EXPECT_EQ(h.engine.position(), 0);
}

TEST(PlaybackEngine, PauseByFileChoiceDuringADeliveryKeepsTheNextLine) {
    EngineHarness h;
    h.load({{100, "a"}, {200, "b"}, {300, "c"}});
    h.wait.onWait = [&](int index, int) {
        if (index == 1) h.engine.pauseIfPlaying();
    };
    h.engine.startStop();
    h.runMs(1000);
    EXPECT_THAT(h.sent(), ElementsAre("a"));
    EXPECT_EQ(h.timer().period(), 0);
    EXPECT_EQ(h.engine.position(), 2);
    h.wait.onWait = nullptr;
    h.engine.startStop();
    h.runMs(1000);
    EXPECT_THAT(h.sent(), ElementsAre("a", "b", "c"));
}

TEST(PlaybackEngine, DoubleClickDuringADeliveryRunsWhenItEnds) {
    EngineHarness h;
    h.load({{100, "a"}, {200, "b"}, {300, "c"}, {400, "d"}});
    h.wait.onWait = [&](int index, int) {
        if (index == 0) {  // at 100, inside the delivery of "a"
            h.units.超级列表框_歌词.setSelection(2);
            h.engine.jumpTo();
        }
    };
    h.engine.startStop();
    h.runMs(1000);
    EXPECT_THAT(h.sent(), ElementsAre("a", "c", "d"));
    // "c" counts as due at the click (100) and goes out when "a" is done; "d" 100 ms after it.
    EXPECT_THAT(h.sentAtMs(), ElementsAre(100, 120, 200));
}

TEST(PlaybackEngine, StopAndStartDuringADeliveryStartOverOnce) {
    EngineHarness h;
    h.load({{0, "a"}, {300, "b"}});
    h.wait.onWait = [&](int index, int) {
        if (index == 0) {
            h.engine.startStop();  // stop
            h.engine.startStop();  // start again: its first line waits for the running one
        }
    };
    h.engine.startStop();
    h.runMs(1000);
    EXPECT_THAT(h.sent(), ElementsAre("a", "a", "b"));
    EXPECT_THAT(h.sentAtMs(), ElementsAre(0, 20, 300));
}

TEST(PlaybackEngine, ALoadAfterThePauseDuringADeliveryStartsTheNewSongFresh) {
    // A double-click on another file while a line is in flight: the selection change pauses,
    // the double-click loads a shorter lyric under the running delivery.
    EngineHarness h;
    h.load({{100, "a"}, {200, "b"}, {300, "c"}, {400, "d"}});
    h.wait.onWait = [&](int index, int) {
        if (index == 0) {
            EXPECT_TRUE(h.engine.pauseIfPlaying());
            h.load({{50, "x"}});
        }
    };
    h.engine.startStop();
    h.runMs(1000);
    EXPECT_THAT(h.sent(), ElementsAre("a"));
    EXPECT_EQ(h.timer().period(), 0);
    EXPECT_EQ(h.caption(), "开始字幕");
    h.wait.onWait = nullptr;
    h.engine.startStop();
    h.runMs(1000);
    EXPECT_THAT(h.sent(), ElementsAre("a", "x"));
    EXPECT_EQ(h.caption(), "开始字幕");
}

TEST(PlaybackEngine, ARadioClickDuringADeliveryChangesTheNextLineOnly) {
    EngineHarness h;
    h.windows.addWindow(EngineHarness::kCard);
    h.state.cardDialog = EngineHarness::kCard;
    h.load({{100, "a"}, {200, "b"}});
    h.wait.onWait = [&](int index, int) {
        if (index == 0) {  // inside the public delivery of "a"
            h.units.公屏字幕.setChecked(false);
            h.units.昵称字幕.setChecked(true);
            h.delivery.onNicknameCardClicked();
        }
    };
    h.engine.startStop();
    h.runMs(1000);
    const auto lines = sentLines(h.windows.posts);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].window, EngineHarness::kTarget);
    EXPECT_EQ(lines[0].text, "a");
    EXPECT_EQ(lines[1].window, EngineHarness::kCard);
    EXPECT_EQ(lines[1].text, "b");
    EXPECT_EQ(lines[1].startMicros, 200000);
}

TEST(PlaybackEngine, CardModeOpensTheDialogBeforeTheFirstLine) {
    EngineHarness h;
    h.units.公屏字幕.setChecked(false);
    h.units.昵称字幕.setChecked(true);
    h.windows.addWindow(EngineHarness::kCard);
    h.windows.findScript = {0, 0, EngineHarness::kCard};
    h.load({{0, "a"}, {100, "b"}});
    h.engine.startStop();
    EXPECT_EQ(h.state.cardDialog, EngineHarness::kCard);
    h.runMs(1000);
    EXPECT_THAT(h.sent(), ElementsAre("a", "b"));
    // Time 0 is when playback began, after the two 100 ms search pauses.
    EXPECT_THAT(h.sentAtMs(), ElementsAre(200, 300));
}

TEST(PlaybackEngine, ASecondClickDuringTheCardSearchCancelsTheStart) {
    EngineHarness h;
    h.units.公屏字幕.setChecked(false);
    h.units.昵称字幕.setChecked(true);
    h.load({{0, "a"}});
    h.wait.onWait = [&](int index, int) {
        if (index == 3) h.engine.startStop();
    };
    h.engine.startStop();
    h.runMs(5000);
    EXPECT_EQ(h.caption(), "开始字幕");
    EXPECT_EQ(h.timer().period(), 0);
    EXPECT_EQ(h.windows.findCalls.size(), 30u);
    // Only the click that opens the card went out; no line was typed.
    EXPECT_EQ(h.windows.posts.size(), 3u);
}

TEST(PlaybackEngine, NoModeSkipsLinesButKeepsTime) {
    EngineHarness h;
    h.load({{100, "a"}, {200, "b"}, {300, "c"}});
    h.engine.startStop();
    h.runMs(150);
    h.units.公屏字幕.setChecked(false);
    h.runMs(100);
    h.units.公屏字幕.setChecked(true);
    h.runMs(1000);
    EXPECT_THAT(h.sent(), ElementsAre("a", "c"));
    EXPECT_THAT(h.sentAtMs(), ElementsAre(100, 300));
}

TEST(PlaybackEngine, LinesPassThroughTheTransforms) {
    EngineHarness h;
    h.units.开启倒序模式.setChecked(true);
    h.load({{0, "ab"}});
    h.engine.startStop();
    EXPECT_THAT(h.sent(), ElementsAre("ba"));
}

TEST(PlaybackEngine, EarlyOrStrayExpiriesDeliverNothingEarly) {
    EngineHarness h;
    h.load({{1000, "a"}, {2000, "b"}});
    h.timer().fire();  // idle: nothing happens
    EXPECT_EQ(h.caption(), "开始字幕");
    h.engine.startStop();
    h.runMs(400);
    h.timer().fire();  // 600 ms too early: re-armed for the rest
    EXPECT_TRUE(h.windows.posts.empty());
    EXPECT_EQ(h.timer().period(), 600);
    h.runMs(3000);
    EXPECT_THAT(h.sentAtMs(), ElementsAre(1000, 2000));
}

}  // namespace

TEST(PlaybackEngine, NudgesMoveEveryFollowingLineExactlyAndResetAtAFreshStart) {
    EngineHarness h;
    h.load({{1000, "1"}, {2000, "2"}, {3000, "3"}, {4000, "4"}, {60000, "5"}});
    h.engine.startStop();
    // One nudge lands inside the first line's delivery waits, the others between lines.
    h.timers.at(1005000, [&] { h.engine.nudge(100); });
    h.timers.at(1500000, [&] {
        h.engine.nudge(100);
        h.engine.nudge(100);
    });
    h.timers.at(2500000, [&] { h.engine.nudge(-100); });
    h.runMs(4500);
    EXPECT_THAT(h.sentAtMs(), ElementsAre(1000, 2300, 3200, 4200));
    EXPECT_EQ(h.units.状态条1.part(1), "偏移 +0.2 秒");

    h.engine.startStop();  // stop: a later start is a fresh one
    h.engine.nudge(500);   // ignored while idle
    const std::int64_t restart = h.clock.nowMicros() / 1000;
    h.engine.startStop();
    EXPECT_EQ(h.engine.nudgeMs(), 0);
    EXPECT_EQ(h.units.状态条1.part(1), "偏移 0.0 秒");
    h.engine.nudge(-1250);
    EXPECT_EQ(h.units.状态条1.part(1), "偏移 -1.25 秒");
    h.runMs(2000);
    EXPECT_EQ(h.sentAtMs().at(4), restart);  // 1000 - 1250 is already past: at once
    EXPECT_EQ(h.sentAtMs().at(5), restart + 750);
}

TEST(PlaybackEngine, NextAndPreviousLineJumpFromTheSelectedRow) {
    EngineHarness h;
    h.load({{1000, "1"}, {2000, "2"}, {3000, "3"}});
    h.engine.jumpBy(1);  // idle: nothing
    h.engine.startStop();
    h.engine.jumpBy(-1);  // nothing shown yet: no row before it
    EXPECT_TRUE(h.sent().empty());
    h.engine.jumpBy(1);   // the first line, now
    h.engine.jumpBy(1);   // the second
    h.engine.jumpBy(-1);  // the first again; the song follows on from it
    h.runMs(1500);
    h.engine.jumpBy(9);  // at 1560: held at the last row, which ends the song
    EXPECT_THAT(h.sent(), ElementsAre("1", "2", "1", "2", "3"));
    EXPECT_THAT(h.sentAtMs(), ElementsAre(0, 20, 40, 1040, 1560));
    EXPECT_EQ(h.caption(), "开始字幕");
}

TEST(PrivilegedClient, AStartAgainstAnElevatedClientOffersTheRestartAndSendsNothing) {
    for (int answer : {mb::kIdYes, mb::kIdNo}) {
        EngineHarness h;
        int restarts = 0;
        h.delivery.setRestartAsAdministrator([&] { ++restarts; });
        h.windows.elevated = {EngineHarness::kTarget};
        h.load({{1000, "a"}, {2000, "b"}});
        h.boxes.answerNext(answer);
        h.engine.startStop();
        h.runMs(3000);
        EXPECT_TRUE(h.windows.posts.empty());
        EXPECT_EQ(h.caption(), "开始字幕");
        ASSERT_EQ(h.boxes.shown().size(), 1u);
        EXPECT_EQ(h.boxes.shown()[0].style, mb::kYesNo | mb::kIconWarning | mb::kTaskModal);
        EXPECT_EQ(h.units.状态条1.part(StatusBar::kMessage), privilege::kClientElevated);
        EXPECT_EQ(restarts, answer == mb::kIdYes ? 1 : 0);
    }
}

TEST(PrivilegedClient, PostsRefusedMidSongStopWithTheReasonAndCountNothingAsSent) {
    EngineHarness h;
    h.load({{1000, "a"}, {2000, "b"}, {3000, "c"}});
    h.engine.startStop();
    h.runMs(1500);
    // The client restarted as administrator: detection at capture could not know.
    h.windows.answer = [](const PostedMessage&) { return PostResult::Refused; };
    h.runMs(3000);
    EXPECT_THAT(h.sent(), ElementsAre("a"));
    EXPECT_EQ(h.windows.dropped.size(), 1u);
    EXPECT_EQ(h.caption(), "开始字幕");
    EXPECT_NE(h.units.状态条1.part(StatusBar::kMessage).find("管理员"), GbkText::npos);
}

TEST(PlaybackEngine, PaceIsKeptWhilePlayingOrArmedAndLetGoWhenIdleOrPaused) {
    struct RecordingPace : PaceKeeper {
        std::vector<bool> calls;
        void keepPace(bool on) override { calls.push_back(on); }
    } pace;
    bool armed = false;
    const StartGate gate{[] { return true; }, [&] { armed = true; }, [&] { armed = false; }};
    EngineHarness h;
    h.engine.setPaceKeeper(&pace);
    h.load({{1000, "a"}, {2000, "b"}});
    h.engine.startStop();  // plays to the end
    h.runMs(2500);
    h.engine.startStop();  // and again, paused by a file choice
    EXPECT_TRUE(h.engine.pauseIfPlaying());
    h.engine.startStop();  // resumed, stopped by the button
    h.engine.startStop();
    EXPECT_THAT(pace.calls, ElementsAre(true, false, true, false, true, false));

    pace.calls.clear();
    h.engine.setStartGate(gate);
    h.engine.startStop();  // armed for the accompaniment ...
    EXPECT_TRUE(armed);
    EXPECT_THAT(pace.calls, ElementsAre(true));
    h.engine.startAt(h.clock.nowMicros());  // ... which starts: still keeping pace
    h.engine.startStop();
    EXPECT_THAT(pace.calls, ElementsAre(true, false));
}
