#include "cli/console_client.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/loop_units.hpp"
#include "delivery/app_state.hpp"
#include "delivery/delivery.hpp"
#include "playback/line_transform.hpp"
#include "playback/playback_engine.hpp"
#include "tests/support/fake_message_boxes.hpp"
#include "ui/main_units.hpp"

using ::testing::ElementsAre;

namespace {

TEST(ConsoleClient, PublicLinesAreSentByTheSendClick) {
    VirtualClock clock;
    std::vector<cli::ClientLine> lines;
    cli::ConsoleClient client(clock, [&](const cli::ClientLine& l) { lines.push_back(l); });
    auto click = [&](WindowHandle w, int x, int y) {
        client.post(w, msg::kLButtonDown, 1, x + y * 65536);
    };
    const WindowHandle main = cli::ConsoleClient::kMainWindow;
    click(main, 585, 643);
    for (char c : std::string("hi\xD6\xD0"))
        client.post(main, msg::kChar, static_cast<unsigned char>(c), 0);
    clock.sleepUntil(20'000);
    click(main, 917, 633);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "hi\xD6\xD0");
    EXPECT_FALSE(lines[0].card);
    EXPECT_EQ(lines[0].startMicros, 0);
    EXPECT_EQ(lines[0].sentMicros, 20'000);
}

TEST(ConsoleClient, CardTextIsEditedByBackspacesAndConfirmedOnce) {
    VirtualClock clock;
    std::vector<GbkText> lines;
    cli::ConsoleClient client(clock, [&](const cli::ClientLine& l) { lines.push_back(l.text); });
    const WindowHandle main = cli::ConsoleClient::kMainWindow;
    const WindowHandle card = cli::ConsoleClient::kCardDialog;
    EXPECT_EQ(client.findTopLevel("TXGuiFoundation", "修改房间名片"), 0u);
    client.post(main, msg::kLButtonDown, 1, 181 + 118 * 65536);
    EXPECT_EQ(client.findTopLevel("TXGuiFoundation", "修改房间名片"), card);
    auto type = [&](const GbkText& text, int backspaces) {
        client.post(card, msg::kLButtonDown, 1, 256 + 124 * 65536);
        for (int i = 0; i < backspaces; ++i) client.post(card, msg::kKeyDown, 8, 0);
        for (char c : text) client.post(card, msg::kChar, static_cast<unsigned char>(c), 0);
        client.post(card, msg::kLButtonDown, 1, 299 + 164 * 65536);
        client.post(card, msg::kLButtonDown, 1, 299 + 164 * 65536);
    };
    type("a\xD6\xD0", 30);
    type("b", 1);  // one Backspace takes the whole two-byte character
    EXPECT_THAT(lines, ElementsAre("a\xD6\xD0", "ab"));
    client.post(card, msg::kClose, 0, 0);
    EXPECT_FALSE(client.isWindow(card));
    client.post(card, msg::kChar, 'x', 0);
    EXPECT_EQ(client.strayPosts(), 1);
}

TEST(RealTimePlayback, VirtualTimeDeliversEachLineExactlyWhenDue) {
    VirtualClock clock;
    EventLoop loop(clock);
    LoopPumpingWait wait(loop);
    LoopUnits directory(loop);
    MainUnits units(directory);
    AppState state;
    FakeMessageBoxes boxes;
    std::vector<std::int64_t> starts;
    cli::ConsoleClient client(clock,
                              [&](const cli::ClientLine& l) { starts.push_back(l.startMicros); });
    LineTransform transform(units, 1);
    Delivery delivery(client, wait, boxes, state, units);
    PlaybackEngine engine(units, state, boxes, clock, transform, delivery);
    const int times[] = {0, 333, 333, 1001, 1017, 5000};
    for (int i = 0; i < 6; ++i) {
        state.lyrics.lines.push_back({times[i], "x"});
        units.超级列表框_歌词.setCell(units.超级列表框_歌词.addRow("", i + 1), 1, "x");
    }
    state.targetWindow = cli::ConsoleClient::kMainWindow;
    units.公屏字幕.setChecked(true);
    engine.startStop();
    loop.run();
    EXPECT_THAT(starts, ElementsAre(0, 333'000, 353'000, 1'001'000, 1'021'000, 5'000'000));
    EXPECT_EQ(units.开始字幕.text(), "开始字幕");
    EXPECT_EQ(client.strayPosts(), 0);
}

}  // namespace
