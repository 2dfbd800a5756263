#include "ui/dpi_scale.hpp"

#include <gtest/gtest.h>

namespace {

TEST(DpiScale, ValuesRoundToTheNearestPixelAtEveryCommonScaling) {
    struct Case {
        int value, dpi, want;
    };
    const Case cases[] = {
        {100, 96, 100}, {100, 120, 125}, {100, 144, 150}, {100, 192, 200}, {3, 144, 5},
        {1, 120, 1},    {-3, 144, -5},   {0, 144, 0},     {7, 0, 7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dpi::scale(c.value, c.dpi), c.want) << c.value << "@" << c.dpi;
}

TEST(DpiScale, NeighboursThatTouchStillTouchAfterScaling) {
    // 3 + 149 = 152 is where the lyric list's neighbour starts; sizes scaled on their own would
    // leave a pixel's gap or overlap at 125 %.
    for (const int dpi : {96, 120, 144, 168, 192}) {
        const dpi::Box left = dpi::scale(dpi::Box{3, 15, 149, 310}, dpi);
        const dpi::Box right = dpi::scale(dpi::Box{152, 15, 328, 310}, dpi);
        EXPECT_EQ(left.x + left.width, right.x) << dpi;
        EXPECT_EQ(left.height, right.height) << dpi;
    }
    const UnitLayout* start = layout::findUnit("开始字幕");
    const UnitLayout scaled = dpi::scale(*start, 144);
    EXPECT_EQ(scaled.name, start->name);
    EXPECT_EQ(scaled.x, 12);
    EXPECT_EQ(scaled.y, 492);
    EXPECT_EQ(scaled.width, 216);
    EXPECT_EQ(scaled.height, 48);
}

TEST(DpiScale, FontHeightsFollowTheWindowNotTheSystem) {
    EXPECT_EQ(dpi::fontHeight(-12, 96, 144), -18);
    EXPECT_EQ(dpi::fontHeight(-18, 144, 96), -12);
    EXPECT_EQ(dpi::fontHeight(-15, 120, 120), -15);
    EXPECT_EQ(dpi::fontHeight(-12, 0, 144), -12);
}

TEST(MainLayoutForms, ClientAreasAreCutToTheBoxesOfEachForm) {
    EXPECT_EQ(layout::clientWidthFor(layout::kNarrowWidth), 488);
    EXPECT_EQ(layout::clientWidthFor(layout::kWideWidth), 744);
    EXPECT_EQ(layout::clientWidthFor(layout::kWidth), 744);
}

}  // namespace
