#include "delivery/delivery.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/delivery_rig.hpp"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

constexpr WindowHandle kTarget = DeliveryRig::kTarget;
constexpr WindowHandle kCard = DeliveryRig::kCard;

struct DeliveryHarness : DeliveryRig {
    DeliveryHarness() {
        windows.addWindow(kTarget, {10, 20, 510, 420});
        state.targetWindow = kTarget;
    }
};

std::vector<PostedMessage> click(WindowHandle w, int x, int y) {
    const std::intptr_t at = x + y * 65536;
    return {
        {w, msg::kMouseMove, 2, at}, {w, msg::kLButtonDown, 1, at}, {w, msg::kLButtonUp, 0, at}};
}

std::vector<PostedMessage> chars(WindowHandle w, std::initializer_list<unsigned> bytes) {
    std::vector<PostedMessage> out;
    for (unsigned b : bytes) out.push_back({w, msg::kChar, b, 0});
    return out;
}

template <typename... Parts>
std::vector<PostedMessage> concat(const Parts&... parts) {
    std::vector<PostedMessage> out;
    (out.insert(out.end(), parts.begin(), parts.end()), ...);
    return out;
}

TEST(Delivery, PublicLineIsClickTypeSendWithTwoPauses) {
    DeliveryHarness h;
    h.delivery.deliverLine(DeliveryMode::PublicScreen, "ab中");
    EXPECT_EQ(h.windows.posts,
              concat(click(kTarget, 585, 643), chars(kTarget, {0x61, 0x62, 0xD6, 0xD0}),
                     click(kTarget, 917, 633)));
    EXPECT_THAT(h.wait.waits, ElementsAre(10, 10));
    // Pauses sit between the steps: typing at 10 ms, the send click at 20 ms.
    EXPECT_EQ(h.windows.posts[3].atMicros, 10000);
    EXPECT_EQ(h.windows.posts.back().atMicros, 20000);
}

TEST(Delivery, EmptyPublicLineStillClicksAndWaits) {
    DeliveryHarness h;
    h.delivery.deliverLine(DeliveryMode::PublicScreen, "");
    EXPECT_EQ(h.windows.posts, concat(click(kTarget, 585, 643), click(kTarget, 917, 633)));
    EXPECT_THAT(h.wait.waits, ElementsAre(10, 10));
}

TEST(Delivery, CardLineClearsWithThirtyBackspacesAndConfirmsTwice) {
    DeliveryHarness h;
    h.windows.addWindow(kCard);
    h.state.cardDialog = kCard;
    h.delivery.deliverLine(DeliveryMode::NicknameCard, "x");
    std::vector<PostedMessage> backspaces;
    for (int i = 0; i < 30; ++i) {
        backspaces.push_back({kCard, msg::kKeyDown, 8, 0x000E0001});
        backspaces.push_back({kCard, msg::kKeyUp, 8,
                              static_cast<std::intptr_t>(static_cast<std::int32_t>(0xC00E0001u))});
    }
    EXPECT_EQ(h.windows.posts, concat(click(kCard, 256, 124), backspaces, chars(kCard, {0x78}),
                                      click(kCard, 299, 164), click(kCard, 299, 164)));
    EXPECT_THAT(h.wait.waits, ElementsAre(10, 10, 10));
}

TEST(Delivery, AUnicodeWindowGetsTheCharactersAsUtf16InBothModes) {
    for (DeliveryMode mode : {DeliveryMode::PublicScreen, DeliveryMode::NicknameCard}) {
        DeliveryHarness h;
        h.windows.addWindow(kCard);
        h.state.cardDialog = kCard;
        const WindowHandle typedTo = mode == DeliveryMode::PublicScreen ? kTarget : kCard;
        h.windows.unicode = {typedTo};
        ASSERT_EQ(h.delivery.deliverLine(mode, "a中文"), LineOutcome::Delivered);
        std::vector<PostedMessage> typed;
        for (const PostedMessage& p : h.windows.posts)
            if (p.message == msg::kChar) typed.push_back(p);
        // One WM_CHAR a character, never a byte: what the code page of the poster cannot spoil.
        EXPECT_THAT(typed, ElementsAre(PostedMessage{typedTo, msg::kChar, 0x61, 0, 0, true},
                                       PostedMessage{typedTo, msg::kChar, 0x4E2D, 0, 0, true},
                                       PostedMessage{typedTo, msg::kChar, 0x6587, 0, 0, true}));
        EXPECT_THAT(sentTexts(h.windows.posts), ElementsAre("a中文"));
    }
}

TEST(Delivery, RefusedOrLostPostsEndTheLineUndeliveredWithTheirOwnOutcome) {
    struct Case {
        const char* what;
        DeliveryMode mode;
        std::size_t goOut;  // posts that go out before the first one fails
        PostResult failure;
        LineOutcome outcome;
    };
    const Case cases[] = {
        {"public, refused at once", DeliveryMode::PublicScreen, 0, PostResult::Refused,
         LineOutcome::Refused},
        {"public, refused while typing", DeliveryMode::PublicScreen, 4, PostResult::Refused,
         LineOutcome::Refused},
        {"public, send click lost", DeliveryMode::PublicScreen, 6, PostResult::Failed,
         LineOutcome::NotPosted},
        {"card, refused among the Backspaces", DeliveryMode::NicknameCard, 10, PostResult::Refused,
         LineOutcome::Refused},
        {"card, second confirm lost", DeliveryMode::NicknameCard, 68, PostResult::Failed,
         LineOutcome::NotPosted},
    };
    for (const Case& c : cases) {
        DeliveryHarness h;
        h.windows.addWindow(kCard);
        h.state.cardDialog = kCard;
        h.windows.answer = [&](const PostedMessage&) {
            return h.windows.posts.size() < c.goOut ? PostResult::Posted : c.failure;
        };
        EXPECT_EQ(h.delivery.deliverLine(c.mode, "ab"), c.outcome) << c.what;
        // Nothing after the failing post is tried: it would only be refused again.
        EXPECT_EQ(h.windows.posts.size(), c.goOut) << c.what;
        EXPECT_EQ(h.windows.dropped.size(), 1u) << c.what;
    }

    // A client that refuses the card button's click is not searched for three seconds.
    DeliveryHarness h;
    h.windows.answer = [](const PostedMessage&) { return PostResult::Refused; };
    EXPECT_EQ(h.delivery.deliverLine(DeliveryMode::NicknameCard, "x"), LineOutcome::Refused);
    EXPECT_TRUE(h.wait.waits.empty());
    EXPECT_TRUE(h.windows.findCalls.empty());
}

TEST(Delivery, NoModePostsNothing) {
    DeliveryHarness h;
    h.delivery.deliverLine(DeliveryMode::None, "text");
    EXPECT_TRUE(h.windows.posts.empty());
    EXPECT_TRUE(h.wait.waits.empty());
}

TEST(Delivery, ALineThatCannotReachTheClientSaysWhyAndPostsNothing) {
    struct Case {
        const char* what;
        WindowHandle target, card;
        DeliveryMode mode;
        LineOutcome outcome;
        std::size_t posts, waits;  // the card cases click the card button and search 30 times
    };
    const Case cases[] = {
        {"no target", 0, kCard, DeliveryMode::PublicScreen, LineOutcome::NoTarget, 0, 0},
        {"desktop as target", 0x10010, kCard, DeliveryMode::NicknameCard, LineOutcome::NoTarget, 0,
         0},
        {"closed target", 0x7777, kCard, DeliveryMode::NicknameCard, LineOutcome::TargetClosed, 0,
         0},
        {"card never found", kTarget, 0, DeliveryMode::NicknameCard, LineOutcome::NoCardDialog, 3,
         30},
        {"card closed since", kTarget, 0x8888, DeliveryMode::NicknameCard,
         LineOutcome::NoCardDialog, 3, 30},
    };
    for (const Case& c : cases) {
        DeliveryHarness h;
        h.windows.live.insert(h.windows.desktop);
        h.windows.addWindow(kCard);
        h.state.targetWindow = c.target;
        h.state.cardDialog = c.card;
        EXPECT_EQ(h.delivery.deliverLine(c.mode, "abc"), c.outcome) << c.what;
        EXPECT_EQ(h.windows.posts.size(), c.posts) << c.what;
        EXPECT_EQ(h.wait.waits.size(), c.waits) << c.what;
        EXPECT_TRUE(sentTexts(h.windows.posts).empty()) << c.what;
    }
}

TEST(Delivery, AClosedCardDialogIsOpenedAgainBeforeTheLine) {
    DeliveryHarness h;
    h.state.cardDialog = 0x8888;  // closed by the user or by the 昵称字幕 passes
    h.windows.addWindow(kCard);
    h.windows.findScript = {0, kCard};
    EXPECT_EQ(h.delivery.deliverLine(DeliveryMode::NicknameCard, "x"), LineOutcome::Delivered);
    EXPECT_EQ(h.state.cardDialog, kCard);
    const auto lines = sentLines(h.windows.posts);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].window, kCard);
    EXPECT_EQ(lines[0].text, "x");
    EXPECT_EQ(lines[0].startMicros, 100000);  // after the card button's click and one pause
}

TEST(Delivery, KeyParamsFollowTheExtendedAndAltRules) {
    struct Case {
        unsigned vk, scan;
        std::uint32_t down, up;
    };
    const Case cases[] = {
        {0x08, 0x0E, 0x000E0001, 0xC00E0001},   // Backspace
        {0x41, 0x1E, 0x001E0001, 0xC01E0001},   // A
        {0x21, 0x49, 0x01490001, 0xC1490001},   // Page Up: extended
        {0x2E, 0x53, 0x01530001, 0xC1530001},   // Delete: extended
        {0x5B, 0x5B, 0x015B0001, 0xC15B0001},   // left Windows key: extended
        {0x6F, 0x35, 0x01350001, 0xC1350001},   // numeric divide: extended
        {0x90, 0x45, 0x01450001, 0xC1450001},   // Num Lock: extended
        {0x12, 0x38, 0x20380001, 0xC0380001},   // Alt: context bit on key down only
        {0x30, 0x1FF, 0x00FF0001, 0xC0FF0001},  // only the scan code's low byte counts
    };
    for (const Case& c : cases) {
        EXPECT_EQ(delivery::keyDownParam(c.vk, c.scan & 0xFF),
                  static_cast<std::intptr_t>(static_cast<std::int32_t>(c.down)))
            << c.vk;
        EXPECT_EQ(delivery::keyUpParam(c.vk, c.scan & 0xFF),
                  static_cast<std::intptr_t>(static_cast<std::int32_t>(c.up)))
            << c.vk;
    }
    DeliveryHarness h;
    delivery::postKeyPress(h.windows, kTarget, 0x2E);
    EXPECT_THAT(h.windows.posts,
                ElementsAre(PostedMessage{kTarget, msg::kKeyDown, 0x2E, 0x01530001},
                            PostedMessage{kTarget, msg::kKeyUp, 0x2E,
                                          static_cast<std::int32_t>(0xC1530001u)}));
}

TEST(Delivery, CardDialogFoundOnTheThirdTryAfterTwoPauses) {
    DeliveryHarness h;
    h.windows.addWindow(kCard);
    h.windows.findScript = {0, 0x9999 /* not a window */, kCard};
    EXPECT_TRUE(h.delivery.openCardDialog());
    EXPECT_EQ(h.state.cardDialog, kCard);
    EXPECT_EQ(h.windows.posts, click(kTarget, 181, 118));
    EXPECT_THAT(h.wait.waits, ElementsAre(100, 100));
    EXPECT_THAT(h.windows.findTimes, ElementsAre(0, 100000, 200000));
    for (const auto& [cls, title] : h.windows.findCalls) {
        EXPECT_EQ(cls, "TXGuiFoundation");
        EXPECT_EQ(title, "修改房间名片");
    }
}

TEST(Delivery, CardDialogSearchGivesUpAfterThirtyTriesAndKeepsTheOldHandle) {
    DeliveryHarness h;
    h.state.cardDialog = 0x4444;
    EXPECT_FALSE(h.delivery.openCardDialog());
    EXPECT_EQ(h.state.cardDialog, 0x4444u);
    EXPECT_EQ(h.windows.findCalls.size(), 30u);
    EXPECT_THAT(h.wait.waits, ElementsAreArray(std::vector<int>(30, 100)));
    EXPECT_TRUE(h.boxes.shown().empty());
}

TEST(Delivery, ModeButtonsWithoutTargetWarnAndUntick) {
    for (bool card : {false, true})
        for (WindowHandle target : {WindowHandle{0}, WindowHandle{0x7777} /* client closed */}) {
            DeliveryHarness h;
            h.state.targetWindow = target;
            RadioButton& button = card ? h.units.昵称字幕 : h.units.公屏字幕;
            button.setChecked(true);
            // The public button shows its box while still ticked; the card button unticks first.
            bool tickedDuringBox = false;
            struct Watch : MessageBoxes {
                RadioButton* b;
                bool* seen;
                FakeMessageBoxes* inner;
                int show(const GbkText& t, const GbkText& ti, unsigned s) override {
                    *seen = b->checked();
                    return inner->show(t, ti, s);
                }
            } watch;
            watch.b = &button;
            watch.seen = &tickedDuringBox;
            watch.inner = &h.boxes;
            Delivery d{h.windows, h.wait, watch, h.state, h.units};
            card ? d.onNicknameCardClicked() : d.onPublicScreenClicked();
            EXPECT_FALSE(button.checked());
            EXPECT_EQ(tickedDuringBox, !card);
            ASSERT_EQ(h.boxes.shown().size(), 1u);
            EXPECT_EQ(h.boxes.shown()[0],
                      (FakeMessageBoxes::Shown{"请先获取QT语音客户端的窗口", "没有目标",
                                               mb::kIconInformation | mb::kTaskModal}));
            EXPECT_TRUE(h.windows.moves.empty());
        }
}

TEST(Delivery, ModeButtonsResizeTheClientAndCardClosesStaleDialogs) {
    DeliveryHarness h;
    h.delivery.onPublicScreenClicked();
    EXPECT_THAT(h.windows.moves, ElementsAre(MovedWindow{kTarget, 10, 20, 1000, 700}));
    EXPECT_TRUE(h.windows.posts.empty());

    h.windows.addWindow(0x31);
    h.windows.addWindow(0x32);
    h.windows.findScript = {0x31, 0x32, 0, 0, 0};
    h.state.cardDialog = 0x31;
    h.delivery.onNicknameCardClicked();
    EXPECT_EQ(h.windows.moves.size(), 2u);
    EXPECT_EQ(h.windows.findCalls.size(), 5u);
    EXPECT_THAT(h.windows.posts, ElementsAre(PostedMessage{0x31, msg::kClose, 0, 0},
                                             PostedMessage{0x32, msg::kClose, 0, 0}));
    EXPECT_EQ(h.state.cardDialog, 0x31u);
    EXPECT_TRUE(h.wait.waits.empty());
}

TEST(Delivery, OnlyAClickThatTicksAModeButtonRunsItsHandlerAndUnticksTheOther) {
    DeliveryHarness h;
    h.delivery.onModeButtonClicked(DeliveryMode::NicknameCard);  // focus only: not ticked
    h.delivery.onModeButtonClicked(DeliveryMode::None);
    EXPECT_TRUE(h.windows.moves.empty());
    EXPECT_TRUE(h.windows.findCalls.empty());

    h.units.公屏字幕.setChecked(true);
    h.units.昵称字幕.setChecked(true);  // both shown ticked while one was hidden or disabled
    h.delivery.onModeButtonClicked(DeliveryMode::NicknameCard);
    EXPECT_FALSE(h.units.公屏字幕.checked());
    EXPECT_TRUE(h.units.昵称字幕.checked());
    EXPECT_EQ(h.windows.moves.size(), 1u);
    EXPECT_FALSE(h.windows.findCalls.empty());  // the card handler ran

    h.units.公屏字幕.setChecked(true);
    h.delivery.onModeButtonClicked(DeliveryMode::PublicScreen);
    EXPECT_FALSE(h.units.昵称字幕.checked());
    EXPECT_EQ(h.windows.moves.size(), 2u);
}

TEST(Delivery, ModeReadsTheRadioButtons) {
    DeliveryHarness h;
    EXPECT_EQ(readDeliveryMode(h.units), DeliveryMode::None);
    h.units.昵称字幕.setChecked(true);
    EXPECT_EQ(readDeliveryMode(h.units), DeliveryMode::NicknameCard);
    h.units.昵称字幕.setChecked(false);
    h.units.公屏字幕.setChecked(true);
    EXPECT_EQ(readDeliveryMode(h.units), DeliveryMode::PublicScreen);
}

}  // namespace
