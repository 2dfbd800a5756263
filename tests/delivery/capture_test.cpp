#include "delivery/capture.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "delivery/app_state.hpp"
#include "tests/delivery/capture_fakes.hpp"
#include "ui/main_units.hpp"
#include "ui/memory_units.hpp"

namespace {

constexpr WindowHandle kPanel = 10;  // our capture panel
constexpr WindowHandle kClientA = 100;
constexpr WindowHandle kClientB = 200;

class CaptureTest : public ::testing::Test {
  protected:
    CaptureTest() {
        desktop.windows[kPanel] = {ScriptedDesktop::kOurPid, {8, 10}, "panel"};
        desktop.windows[kClientA] = {7, {115, 157}, "QT A"};
        desktop.windows[kClientB] = {8, {300, 300}, "QT B"};
        desktop.foreground = kPanel;
    }

    /// Presses on the panel with the cursor over `window`.
    void pressOver(WindowHandle window, ScreenPoint at = {400, 400}) {
        desktop.under = window;
        desktop.cursor = at;
        desktop.buttonDown = true;
        session.startDrag();
    }
    void tickOver(WindowHandle window, ScreenPoint at = {400, 400}) {
        desktop.under = window;
        desktop.cursor = at;
        session.captureTick();
    }
    void release() {
        desktop.buttonDown = false;
        session.captureTick();
    }
    GbkText text(std::string_view name) { return memory.get<TextUnit>(name).text(); }
    long count(const std::string& entry) {
        return std::count(surface.log.begin(), surface.log.end(), entry);
    }

    ScriptedDesktop desktop;
    ManualHookBackend backend;
    HOOK类 hook{backend, desktop};
    RecordingSurface surface;
    MemoryUnits memory;
    MainUnits units{memory};
    AppState app;
    CaptureSession session{desktop, hook, surface, units, app};
};

TEST_F(CaptureTest, QuickClickOnOurOwnPanelLeavesNoTarget) {
    app.targetWindow = kClientB;  // a previous drag's target is replaced
    desktop.buttonDown = false;   // released before the first tick
    desktop.under = kPanel;
    session.startDrag();

    EXPECT_EQ(app.targetWindow, 0u);
    EXPECT_FALSE(session.dragging());
    EXPECT_EQ(count("destroy"), 1);
    EXPECT_TRUE(surface.frames.empty());
    EXPECT_EQ(surface.cursorCount, 0);
    EXPECT_FALSE(surface.topmost);  // a drag that already ended leaves the window alone
    EXPECT_EQ(count("topmost"), 0);
}

TEST_F(CaptureTest, DragStartsWithCrossOverlayAtCursorAndTopmost) {
    pressOver(kClientA, {500, 600});
    const std::vector<std::string> start(surface.log.begin(), surface.log.begin() + 5);
    EXPECT_EQ(start,
              (std::vector<std::string>{"cross", "create", "move 486,586", "show", "clear"}));
    EXPECT_EQ(surface.log.back(), "topmost");
    EXPECT_TRUE(session.dragging());
    EXPECT_EQ(app.targetWindow, kClientA);
}

TEST_F(CaptureTest, SecondPressRedrawsTheCrossButMakesNoSecondOverlay) {
    pressOver(kClientA);
    pressOver(kClientA);
    EXPECT_EQ(count("cross"), 2);
    EXPECT_EQ(surface.overlaysCreated, 1);
}

TEST_F(CaptureTest, MovingFromAToBErasesAsFrameBeforeDrawingBs) {
    pressOver(kClientA);
    EXPECT_EQ(text("透明标签1"), GbkText("窗口标题：QT A"));
    tickOver(kClientA);  // no change, no drawing
    tickOver(kClientB);
    EXPECT_EQ(surface.frames, (std::vector<WindowHandle>{kClientA, kClientA, kClientB}));
    EXPECT_EQ(text("透明标签1"), GbkText("窗口标题：QT B"));
    EXPECT_EQ(app.targetWindow, kClientB);

    release();
    EXPECT_EQ(surface.frames.back(), kClientB);  // erased at the end
    EXPECT_EQ(surface.frames.size(), 4u);
    EXPECT_EQ(session.lastFramed(), 0u);
    EXPECT_EQ(app.targetWindow, kClientB);
}

TEST_F(CaptureTest, CoordinateBoxesShowScreenAndClientRelativePositions) {
    pressOver(kClientA, {115 + 585, 157 + 643});
    EXPECT_EQ(text("编辑框_鼠标位置_X"), "700");
    EXPECT_EQ(text("编辑框_鼠标位置_Y"), "800");
    EXPECT_EQ(text("编辑框_窗口鼠标位置_X"), "585");
    EXPECT_EQ(text("编辑框_窗口鼠标位置_Y"), "643");

    // Over our own window the screen position still updates, nothing else does.
    tickOver(kPanel, {20, 30});
    EXPECT_EQ(text("编辑框_鼠标位置_X"), "20");
    EXPECT_EQ(text("编辑框_鼠标位置_Y"), "30");
    EXPECT_EQ(text("编辑框_窗口鼠标位置_X"), "585");
    EXPECT_EQ(text("透明标签1"), GbkText("窗口标题：QT A"));
    EXPECT_EQ(app.targetWindow, 0u);

    // With no window the foreground window's origin is the reference.
    tickOver(0, {50, 60});
    EXPECT_EQ(text("编辑框_窗口鼠标位置_X"), "42");
    EXPECT_EQ(text("编辑框_窗口鼠标位置_Y"), "50");
}

TEST_F(CaptureTest, CursorShowsAgainAfterAnyNumberOfHiddenTicks) {
    for (int ticks : {0, 1, 7}) {
        RecordingSurface s;
        CaptureSession c{desktop, hook, s, units, app};
        desktop.under = kClientA;
        desktop.buttonDown = true;
        c.startDrag();
        for (int i = 0; i < ticks; ++i) c.captureTick();
        EXPECT_EQ(s.cursorCount, -(ticks + 1));
        desktop.buttonDown = false;
        c.captureTick();
        EXPECT_EQ(s.cursorCount, 0) << ticks;
        EXPECT_FALSE(s.topmost);
    }
}

TEST_F(CaptureTest, SuperModeMovesTheOverlayOffTheCursorAndWatchesTheRelease) {
    pressOver(0, {300, 200});
    EXPECT_TRUE(session.superMode());
    EXPECT_TRUE(hook.installed());
    EXPECT_EQ(surface.overlayText, GbkText(capture::kSuperModeText));
    session.followTick();
    EXPECT_EQ(surface.overlayAt, (ScreenPoint{301, 201}));
    EXPECT_EQ(surface.cursorCount, 0);  // the real cursor stays visible

    tickOver(0);  // registering again is refused quietly
    EXPECT_EQ(backend.installs, 1);

    tickOver(kClientA);  // a window again: back to normal
    EXPECT_FALSE(session.superMode());
    EXPECT_FALSE(hook.installed());
    session.followTick();
    EXPECT_EQ(surface.overlayAt, (ScreenPoint{386, 386}));
}

TEST_F(CaptureTest, ReleaseInSuperModeTakesTheWindowOfTheReleaseEvent) {
    pressOver(kClientA);
    tickOver(0);  // off the framed window onto nothing
    EXPECT_EQ(surface.frames, (std::vector<WindowHandle>{kClientA, kClientA}));
    EXPECT_EQ(app.targetWindow, 0u);
    EXPECT_EQ(text("透明标签1"), GbkText("窗口标题："));

    backend.fire(HookEvent{msg::kLButtonUp, 310, 210, 5000, kClientB});
    EXPECT_EQ(app.targetWindow, kClientB);
    release();
    EXPECT_EQ(app.targetWindow, kClientB);
    EXPECT_FALSE(session.dragging());
    EXPECT_FALSE(hook.installed());
}

TEST_F(CaptureTest, ReleaseInSuperModeOverOurOwnWindowGivesNoTarget) {
    pressOver(0);
    backend.fire(HookEvent{msg::kLButtonUp, 1, 1, 5000, kPanel});
    release();
    EXPECT_EQ(app.targetWindow, 0u);
}

TEST_F(CaptureTest, ReturningToTheFramedWindowMakesItTheTargetAgain) {
    pressOver(kClientA);
    tickOver(kPanel);
    EXPECT_EQ(app.targetWindow, 0u);
    tickOver(kClientA);
    EXPECT_EQ(app.targetWindow, kClientA);
    EXPECT_EQ(surface.frames.size(), 1u);  // the frame stayed; nothing redrawn

    tickOver(kPanel);
    release();  // over our own window: no target, and the frame is gone
    EXPECT_EQ(app.targetWindow, 0u);
    EXPECT_EQ(surface.frames, (std::vector<WindowHandle>{kClientA, kClientA}));
}

TEST_F(CaptureTest, AFramedWindowThatDiedIsNotDrawnOn) {
    pressOver(kClientA);
    desktop.windows[kClientA].alive = false;
    tickOver(kClientB);
    release();
    EXPECT_EQ(surface.frames, (std::vector<WindowHandle>{kClientA, kClientB, kClientB}));
}

TEST_F(CaptureTest, ClosingMidDragPutsEverythingBackAndKeepsTheTarget) {
    pressOver(kClientA);
    tickOver(kClientB);
    session.cancel();
    EXPECT_FALSE(session.dragging());
    EXPECT_EQ(surface.frames, (std::vector<WindowHandle>{kClientA, kClientA, kClientB, kClientB}));
    EXPECT_EQ(session.lastFramed(), 0u);
    EXPECT_EQ(surface.cursorCount, 0);
    EXPECT_FALSE(surface.topmost);
    EXPECT_EQ(count("destroy"), 1);
    EXPECT_EQ(app.targetWindow, kClientB);

    pressOver(0);  // SuperMode: the hook is in
    ASSERT_TRUE(hook.installed());
    session.cancel();
    EXPECT_FALSE(hook.installed());
    EXPECT_FALSE(backend.live());
    EXPECT_EQ(count("destroy"), 2);

    pressOver(kClientA);
    surface.onClear = [&] { session.cancel(); };  // inside a tick: the tick ends the drag itself
    release();
    surface.onClear = nullptr;
    session.cancel();  // and with no drag running
    EXPECT_EQ(count("destroy"), 3);
    EXPECT_EQ(surface.cursorCount, 0);
}

TEST_F(CaptureTest, TicksDuringATickAndAfterTheDragDoNothing) {
    pressOver(kClientA);
    surface.onClear = [&] { session.captureTick(); };
    tickOver(kClientB);
    EXPECT_EQ(count("clear"), 2);  // the creation tick and this one, not the nested one
    surface.onClear = nullptr;

    release();
    const auto before = surface.log.size();
    session.captureTick();
    session.followTick();
    EXPECT_EQ(surface.log.size(), before);
}

}  // namespace
