// The Win32 window system and pumping wait carry delivered lines into a running practice
// client, byte for byte; the client's log is the witness.
#include <gtest/gtest.h>

#include "delivery/app_state.hpp"
#include "delivery/delivery.hpp"
#include "playback/playback_engine.hpp"
#include "tests/support/fake_message_boxes.hpp"
#include "tests/win32/practice_client_runner.hpp"
#include "ui/main_units.hpp"
#include "ui/memory_units.hpp"
#include "win32/clock_win32.hpp"
#include "win32/pumping_wait_win32.hpp"
#include "win32/window_system_win32.hpp"

namespace {

using practice::LogLine;

std::vector<LogLine> only(const std::vector<LogLine>& log, const std::string& key,
                          const std::string& value) {
    std::vector<LogLine> out;
    for (const auto& line : log)
        if (line.is(key, value)) out.push_back(line);
    return out;
}

// Index of the first line with key = value at or after `from`, or -1.
int indexOf(const std::vector<LogLine>& log, const std::string& key, const std::string& value,
            size_t from = 0) {
    for (size_t i = from; i < log.size(); ++i)
        if (log[i].is(key, value)) return static_cast<int>(i);
    return -1;
}

class PracticeClientDelivery : public ::testing::Test {
  protected:
    void SetUp() override {
        if (practice::clientPath().empty()) GTEST_SKIP() << "CANTOREL_BUILD_DIR is not set";
    }

    Win32WindowSystem windows;
    Win32PumpingWait wait;
    FakeMessageBoxes boxes;
    MemoryUnits memory;
    MainUnits units{memory};
    AppState state;
    Delivery delivery{windows, wait, boxes, state, units};
};

TEST_F(PracticeClientDelivery, PublicLinesArriveByteForByteAndInOrder) {
    practice::Client client("public");
    ASSERT_TRUE(client.start(windows));
    state.targetWindow = client.mainWindow();

    // Mixed one- and two-byte characters, punctuation and a JSON-sensitive quote.
    const std::vector<GbkText> lines = {"ab\xD6\xD0\xCE\xC4 \"x\"", "\xC4\xE3\xBA\xC3\xA3\xA1",
                                        "plain ascii 123"};
    delivery.onPublicScreenClicked();
    for (const auto& line : lines) delivery.deliverLine(DeliveryMode::PublicScreen, line);
    ASSERT_TRUE(client.stop());

    const auto log = client.readLog();
    const auto sent = only(log, "event", "public");
    ASSERT_EQ(sent.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(sent[i].get("text_hex"), practice::hex(lines[i])) << "line " << i;

    // Every character message together is exactly the bytes of the lines, in posting order.
    std::string received;
    for (const auto& line : only(log, "msg", "char")) received += line.get("gbk_hex");
    std::string posted;
    for (const auto& line : lines) posted += practice::hex(line);
    EXPECT_EQ(received, posted);

    // The click focuses the input before the first character arrives, and the send comes after.
    const int focus = indexOf(log, "event", "focus");
    const int firstChar = indexOf(log, "msg", "char");
    const int firstSend = indexOf(log, "event", "public");
    ASSERT_GE(focus, 0);
    EXPECT_LT(focus, firstChar);
    EXPECT_LT(firstChar, firstSend);
    EXPECT_TRUE(log.back().is("event", "closed"));
}

TEST_F(PracticeClientDelivery, CardLineReplacesTheNicknameAfterBackspaces) {
    practice::Client client("card");
    ASSERT_TRUE(client.start(windows));
    state.targetWindow = client.mainWindow();

    delivery.onNicknameCardClicked();
    ASSERT_TRUE(delivery.openCardDialog());
    EXPECT_EQ(windows.windowTitle(state.cardDialog),
              "\xD0\xDE\xB8\xC4\xB7\xBF\xBC\xE4\xC3\xFB\xC6\xAC");
    EXPECT_EQ(windows.processIdOf(state.cardDialog), client.processId());

    // The second line is shorter than the first: the backspaces must have cleared it.
    const GbkText first = "\xB8\xE8\xB4\xCA line one";
    const GbkText second = "\xB6\xFE";
    delivery.deliverLine(DeliveryMode::NicknameCard, first);
    delivery.deliverLine(DeliveryMode::NicknameCard, second);
    ASSERT_TRUE(client.stop());

    const auto log = client.readLog();
    const auto names = only(log, "event", "nickname");
    // Each line is confirmed twice; the second confirm finds nothing to change.
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0].get("text_hex"), practice::hex(first));
    EXPECT_TRUE(names[0].is("changed", "true"));
    EXPECT_TRUE(names[1].is("changed", "false"));
    EXPECT_EQ(names[2].get("text_hex"), practice::hex(second));
    EXPECT_EQ(names[3].get("text_hex"), practice::hex(second));

    const auto keys = only(log, "msg", "keydown");
    EXPECT_EQ(keys.size(), 60u);
    for (const auto& key : keys) {
        EXPECT_TRUE(key.is("window", "card"));
        EXPECT_TRUE(key.is("wparam", "8"));
    }
    EXPECT_EQ(only(log, "event", "card_opened").size(), 1u);
}

TEST_F(PracticeClientDelivery, WindowQueriesDescribeTheClient) {
    practice::Client client("queries");
    ASSERT_TRUE(client.start(windows));
    const WindowHandle room = client.mainWindow();

    EXPECT_TRUE(windows.isWindow(room));
    EXPECT_FALSE(windows.isWindow(0));
    EXPECT_EQ(windows.windowTitle(room), client.title());
    EXPECT_EQ(windows.processIdOf(room), client.processId());
    EXPECT_NE(windows.processIdOf(room), windows.currentProcessId());
    EXPECT_EQ(windows.findTopLevel("TXGuiFoundation", client.title() + "?"), 0u);
    EXPECT_NE(windows.mapVirtualKey(8, 0), 0u);

    windows.moveWindow(room, 30, 40, 900, 640);
    const auto rect = windows.windowRect(room);
    ASSERT_TRUE(rect.has_value());
    EXPECT_EQ(*rect, (ScreenRect{30, 40, 930, 680}));
    const ScreenPoint origin = windows.clientOrigin(room);
    EXPECT_GE(origin.x, rect->left);
    EXPECT_GE(origin.y, rect->top);
    EXPECT_LT(origin.x, rect->right);
    EXPECT_LT(origin.y, rect->bottom);
    // A capture dropped on the public chat must give the room itself, as with the real client.
    EXPECT_EQ(windows.windowFromPoint({origin.x + 600, origin.y + 300}), room);

    // The room takes characters as UTF-16, runs at our privilege, and under Wine every window
    // is per-monitor aware at the configured DPI: its own space is the one its rectangle uses.
    EXPECT_TRUE(windows.isUnicodeWindow(room));
    EXPECT_FALSE(windows.outranksUs(room));
    EXPECT_EQ(windows.clientDpi(room), windows.geometryDpi(room));
    EXPECT_GE(windows.clientDpi(room).dpi, 96);
    EXPECT_EQ(windows.postUnicodeChar(room, u'中'), PostResult::Posted);

    ASSERT_TRUE(client.stop());
    EXPECT_FALSE(windows.isWindow(room));
    EXPECT_FALSE(windows.windowRect(room).has_value());
    // A post to a window that is gone says so.
    EXPECT_EQ(windows.post(room, msg::kMouseMove, 0, 0), PostResult::Failed);
    EXPECT_EQ(windows.postUnicodeChar(room, u'a'), PostResult::Failed);
}

// On stage the singer cannot watch the client: with real windows the engine stops on a room
// that is gone, reopens a card dialog the user closed, and the stop button stops whatever the
// target has become.
class StagePlayback : public PracticeClientDelivery {
  protected:
    void load(const std::vector<std::pair<int, GbkText>>& lines) {
        int item = 0;
        for (const auto& [time, text] : lines) {
            state.lyrics.lines.push_back({time, text});
            const int row = units.超级列表框_歌词.addRow(std::to_string(time), ++item);
            units.超级列表框_歌词.setCell(row, 1, text);
        }
        engine.resetPosition();
    }
    // Waits out `ms` with the messages flowing, then runs the playback timer's tick.
    void tickAfter(int ms) {
        wait.wait(ms);
        engine.tick();
    }

    Win32Clock clock;
    LineTransform transform{units, 1};
    PlaybackEngine engine{units, state, boxes, clock, transform, delivery};
};

TEST_F(StagePlayback, StopAlwaysStopsAndAClosedRoomEndsTheSongWithTheReason) {
    practice::Client client("stage-public");
    ASSERT_TRUE(client.start(windows));
    state.targetWindow = client.mainWindow();
    load({{0, "one"}, {150, "two"}, {300, "three"}});
    units.公屏字幕.setChecked(true);

    engine.startStop();
    EXPECT_EQ(units.开始字幕.text(), "停止字幕");
    state.targetWindow = 0;  // a quick press and release on the capture panel
    engine.startStop();
    EXPECT_EQ(units.开始字幕.text(), "开始字幕");
    EXPECT_TRUE(boxes.shown().empty());

    state.targetWindow = client.mainWindow();
    engine.resetPosition();
    engine.startStop();
    TerminateProcess(client.process(), 1);
    WaitForSingleObject(client.process(), 5000);
    tickAfter(200);
    EXPECT_EQ(units.开始字幕.text(), "开始字幕");
    EXPECT_EQ(units.状态条1.part(1), "目标窗口已关闭，字幕已停止");
}

TEST_F(StagePlayback, ACardDialogClosedMidSongIsOpenedAgainForTheNextLine) {
    practice::Client client("stage-card");
    ASSERT_TRUE(client.start(windows));
    state.targetWindow = client.mainWindow();
    load({{0, "one"}, {150, "two"}});
    units.昵称字幕.setChecked(true);
    delivery.onNicknameCardClicked();

    engine.startStop();
    ASSERT_NE(state.cardDialog, WindowHandle{0});
    const HWND card = reinterpret_cast<HWND>(state.cardDialog);
    PostMessageW(card, WM_CLOSE, 0, 0);
    for (int i = 0; i < 100 && IsWindow(card); ++i) wait.wait(20);
    ASSERT_FALSE(IsWindow(card));
    const GbkText status = units.状态条1.part(1);
    tickAfter(200);
    EXPECT_EQ(units.状态条1.part(1), status);  // no word of a stop
    ASSERT_TRUE(client.stop());

    const auto log = client.readLog();
    EXPECT_EQ(only(log, "event", "card_opened").size(), 2u);
    const auto names = only(log, "event", "nickname");
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.back().get("text_hex"), practice::hex("two"));
}

}  // namespace
