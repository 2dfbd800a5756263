#include "delivery/dpi_scale.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/delivery_rig.hpp"

using ::testing::ElementsAre;

namespace {

constexpr DpiAwareness kAwareness[] = {DpiAwareness::Unaware, DpiAwareness::SystemAware,
                                       DpiAwareness::PerMonitorAware};
constexpr int kDpis[] = {96, 120, 144, 192};  // 100, 125, 150, 200 %

// The client's layout at 100 / 125 / 150 / 200 %: window size and the five click points.
struct Layout {
    int width, height;
    ScreenPoint card, input, send, cardInput, cardConfirm;
};
Layout layoutAt(int dpi) {
    switch (dpi) {
        case 120:
            return {1250, 875, {226, 148}, {731, 804}, {1146, 791}, {320, 155}, {374, 205}};
        case 144:
            return {1500, 1050, {272, 177}, {878, 965}, {1376, 950}, {384, 186}, {449, 246}};
        case 192:
            return {2000, 1400, {362, 236}, {1170, 1286}, {1834, 1266}, {512, 248}, {598, 328}};
        default:
            return {1000, 700, {181, 118}, {585, 643}, {917, 633}, {256, 124}, {299, 164}};
    }
}

TEST(DpiScale, EveryAwarenessPairAtEveryScaling) {
    for (DpiAwareness clientAwareness : kAwareness)
        for (int clientDpi : kDpis)
            for (DpiAwareness ownAwareness : kAwareness)
                for (int ownDpi : kDpis) {
                    const DpiView client{clientAwareness, clientDpi};
                    const DpiView own{ownAwareness, ownDpi};
                    const auto scale = delivery::clientScale(client, own);
                    // A DPI-unaware side works in 96-DPI units whatever its screen.
                    const Layout mine =
                        layoutAt(ownAwareness == DpiAwareness::Unaware ? 96 : ownDpi);
                    const Layout theirs =
                        layoutAt(clientAwareness == DpiAwareness::Unaware ? 96 : clientDpi);
                    const auto where = ::testing::Message()
                                       << "client " << int(clientAwareness) << "@" << clientDpi
                                       << ", own " << int(ownAwareness) << "@" << ownDpi;
                    EXPECT_EQ(scale.windowWidth, mine.width) << where;
                    EXPECT_EQ(scale.windowHeight, mine.height) << where;
                    EXPECT_EQ(scale.point(delivery::kOpenCardPoint), theirs.card) << where;
                    EXPECT_EQ(scale.point(delivery::kPublicInputPoint), theirs.input) << where;
                    EXPECT_EQ(scale.point(delivery::kPublicSendPoint), theirs.send) << where;
                    EXPECT_EQ(scale.point(delivery::kCardInputPoint), theirs.cardInput) << where;
                    EXPECT_EQ(scale.point(delivery::kCardConfirmPoint), theirs.cardConfirm)
                        << where;
                    // The size read back fits within a pixel of rounding, and not beyond.
                    EXPECT_TRUE(scale.fits({5, 5, 5 + mine.width + 1, 5 + mine.height})) << where;
                    EXPECT_FALSE(scale.fits({0, 0, mine.width, mine.height - 40})) << where;
                }
}

struct ScaledRig : DeliveryRig {
    ScaledRig() {
        windows.addWindow(kTarget, {100, 50, 600, 450});
        windows.addWindow(kCard);
        state.targetWindow = kTarget;
        state.cardDialog = kCard;
        // A per-monitor aware client on a 150 % screen, seen by a DPI-unaware program.
        windows.clientDpis[kTarget] =
            windows.clientDpis[kCard] = {DpiAwareness::PerMonitorAware, 144};
    }
};

TEST(DpiScale, DeliveryResizesAndClicksInTheClientsSpace) {
    ScaledRig h;
    h.delivery.onPublicScreenClicked();
    EXPECT_THAT(h.windows.moves, ElementsAre(MovedWindow{kTarget, 100, 50, 1000, 700}));
    h.windows.geometryDpis[DeliveryRig::kTarget] = {DpiAwareness::PerMonitorAware, 144};
    h.delivery.onPublicScreenClicked();
    EXPECT_EQ(h.windows.moves.back(), (MovedWindow{DeliveryRig::kTarget, 100, 50, 1500, 1050}));

    for (DeliveryMode mode : {DeliveryMode::PublicScreen, DeliveryMode::NicknameCard})
        ASSERT_EQ(h.delivery.deliverLine(mode, "x"), LineOutcome::Delivered);
    std::vector<std::intptr_t> downs;
    for (const PostedMessage& p : h.windows.posts)
        if (p.message == msg::kLButtonDown) downs.push_back(p.lParam);
    EXPECT_THAT(downs, ElementsAre(878 + 965 * 65536, 1376 + 950 * 65536, 384 + 186 * 65536,
                                   449 + 246 * 65536, 449 + 246 * 65536));
}

TEST(DpiScale, AWindowTheScreenKeepsSmallIsSaidAndGetsNoClicks) {
    ScaledRig h;
    h.windows.geometryDpis[DeliveryRig::kTarget] = {DpiAwareness::PerMonitorAware, 144};
    h.windows.maxWidth = 1366;  // a laptop screen at 150 %
    h.windows.maxHeight = 728;
    h.units.公屏字幕.setChecked(true);
    h.delivery.onPublicScreenClicked();
    EXPECT_EQ(h.units.状态条1.part(StatusBar::kMessage), delivery::kClientTooSmall);
    EXPECT_EQ(h.delivery.deliverLine(DeliveryMode::PublicScreen, "x"), LineOutcome::ClientTooSmall);
    EXPECT_TRUE(h.windows.posts.empty());

    // On a bigger screen the next mode click sizes it and lines go out again.
    h.windows.maxWidth = h.windows.maxHeight = 0;
    h.delivery.onPublicScreenClicked();
    EXPECT_EQ(h.delivery.deliverLine(DeliveryMode::PublicScreen, "x"), LineOutcome::Delivered);
}

}  // namespace
