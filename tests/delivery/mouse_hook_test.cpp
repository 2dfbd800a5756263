#include "delivery/mouse_hook.hpp"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "tests/delivery/capture_fakes.hpp"

namespace {

struct Recorder : HookCallback {
    Recorder()
        : HookCallback([this](WindowHandle window, std::int32_t a, std::int32_t b) {
              calls.emplace_back(window, a, b);
          }) {}
    std::vector<std::tuple<WindowHandle, std::int32_t, std::int32_t>> calls;
};

class MouseHookTest : public ::testing::Test {
  protected:
    HookEvent event(unsigned message, std::uint32_t time, int a = 10, int b = 20) {
        return HookEvent{message, a, b, time, 77};
    }

    ManualHookBackend backend;
    ScriptedDesktop desktop;
    HOOK类 hook{backend, desktop};
    Recorder first, second;
};

TEST_F(MouseHookTest, SameCallbackTwiceIsRefusedAndInstallsOnce) {
    EXPECT_TRUE(hook.SetCallback(&first, msg::kLButtonUp));
    EXPECT_FALSE(hook.SetCallback(&first, msg::kLButtonUp));
    EXPECT_TRUE(hook.SetCallback(&second, msg::kLButtonUp));  // a different one replaces it
    EXPECT_EQ(backend.installs, 1);
    EXPECT_TRUE(hook.installed());

    backend.fire(event(msg::kLButtonUp, 5));
    EXPECT_TRUE(first.calls.empty());
    EXPECT_EQ(second.calls.size(), 1u);
}

TEST_F(MouseHookTest, UnknownKindsChangeNothingAndARefusedHookIsNotRetried) {
    EXPECT_FALSE(hook.SetCallback(&first, msg::kMouseMove));
    EXPECT_FALSE(hook.SetCallback(nullptr, msg::kLButtonUp));
    EXPECT_FALSE(hook.RemoveCallbacks(msg::kMouseMove, true));
    EXPECT_FALSE(hook.installed());
    EXPECT_EQ(backend.installs, 0);
    EXPECT_EQ(backend.uninstalls, 0);

    // A hook the system refuses still counts as installed, so it is not asked for again.
    backend.refuse = true;
    EXPECT_TRUE(hook.SetCallback(&first, msg::kLButtonUp));
    EXPECT_TRUE(hook.installed());
    EXPECT_FALSE(hook.SetCallback(&first, msg::kLButtonUp));
    EXPECT_EQ(backend.installs, 1);
}

TEST_F(MouseHookTest, RemovingOneKindKeepsTheHookWhileAnotherIsSet) {
    hook.SetCallback(&first, msg::kLButtonDown);
    hook.SetCallback(&second, msg::kLButtonUp);

    EXPECT_TRUE(hook.RemoveCallbacks(msg::kLButtonUp, true));
    EXPECT_TRUE(hook.installed());
    EXPECT_EQ(backend.uninstalls, 0);
    backend.fire(event(msg::kLButtonUp, 5));
    EXPECT_TRUE(second.calls.empty());

    EXPECT_TRUE(hook.RemoveCallbacks(msg::kLButtonDown, true));
    EXPECT_FALSE(hook.installed());
    EXPECT_EQ(backend.uninstalls, 1);
}

TEST_F(MouseHookTest, KeysAreWatchedOnlyWhileAKeySlotIsSet) {
    hook.SetCallback(&first, msg::kLButtonUp);
    EXPECT_FALSE(backend.keys);  // a drag needs the mouse only
    hook.SetCallback(&second, msg::kKeyUp);
    EXPECT_TRUE(backend.keys);
    hook.SetCallback(&second, msg::kKeyDown);
    hook.RemoveCallbacks(msg::kKeyUp, true);
    EXPECT_TRUE(backend.keys);
    hook.RemoveCallbacks(msg::kKeyDown, true);
    EXPECT_FALSE(backend.keys);
    EXPECT_TRUE(hook.installed());
}

TEST_F(MouseHookTest, RemovingAllUnhooksEvenWhenNothingIsInstalled) {
    EXPECT_TRUE(hook.RemoveCallbacks(12345, false));
    EXPECT_EQ(backend.uninstalls, 1);

    hook.SetCallback(&first, msg::kKeyDown);
    hook.SetCallback(&first, msg::kRButtonUp);
    EXPECT_TRUE(hook.RemoveCallbacks(0, false));
    EXPECT_FALSE(hook.installed());
    // Slots are empty: the next registration installs afresh.
    EXPECT_TRUE(hook.SetCallback(&first, msg::kKeyDown));
    EXPECT_EQ(backend.installs, 2);
}

TEST_F(MouseHookTest, DoubleClickNeedsAPressWithin500MsOfTheLastRelease) {
    struct Case {
        std::uint32_t up, down;
        bool doubleClick;
    };
    const Case cases[] = {
        {1000, 1499, true},
        {1000, 1500, false},
        {1000, 1000, true},
        {0xFFFFFF00u, 0x000000F0u, true},  // the tick count wrapped between the two
        {5000, 9000, false},
    };
    for (const Case& c : cases) {
        Recorder down, dbl;
        HOOK类 h{backend, desktop};
        h.SetCallback(&down, msg::kLButtonDown);
        h.SetCallback(&dbl, msg::kLButtonDblClk);
        h.dispatch(event(msg::kLButtonUp, c.up));
        h.dispatch(event(msg::kLButtonDown, c.down, 3, 4));
        EXPECT_EQ(down.calls.size(), 1u) << c.down;
        ASSERT_EQ(dbl.calls.size(), c.doubleClick ? 1u : 0u) << c.up << " -> " << c.down;
        if (c.doubleClick) {
            EXPECT_EQ(dbl.calls[0], std::make_tuple(WindowHandle{77}, 3, 4));
        }
    }
}

TEST_F(MouseHookTest, ReleaseTimeIsKeptWithoutAReleaseCallback) {
    hook.SetCallback(&first, msg::kRButtonDown);
    backend.fire(event(msg::kLButtonUp, 31337));
    EXPECT_EQ(hook.lastLeftUpTime(), 31337u);
    EXPECT_TRUE(first.calls.empty());
}

TEST_F(MouseHookTest, EachKindReachesItsOwnSlotWithItsArguments) {
    const unsigned mouseKinds[] = {msg::kLButtonDown, msg::kLButtonUp,   msg::kRButtonDown,
                                   msg::kRButtonUp,   msg::kMButtonDown, msg::kMButtonUp};
    for (unsigned kind : mouseKinds) {
        Recorder r;
        HOOK类 h{backend, desktop};
        h.SetCallback(&r, kind);
        h.dispatch(event(msg::kMouseMove, 1));
        h.dispatch(event(msg::kLButtonDblClk, 1));  // the system's own double-click message
        h.dispatch(event(kind == msg::kLButtonUp ? msg::kRButtonUp : msg::kLButtonUp, 1));
        h.dispatch(event(kind, 900000, 640, 480));
        ASSERT_EQ(r.calls.size(), 1u) << kind;
        EXPECT_EQ(r.calls[0], std::make_tuple(WindowHandle{77}, 640, 480));
    }
    // Keys: the second value is the scan code mapped to a virtual key.
    for (unsigned kind : {msg::kKeyDown, msg::kKeyUp}) {
        Recorder r;
        HOOK类 h{backend, desktop};
        h.SetCallback(&r, kind);
        h.dispatch(event(kind, 1, 0x1E41, 0x1E));
        ASSERT_EQ(r.calls.size(), 1u);
        EXPECT_EQ(r.calls[0], std::make_tuple(WindowHandle{77}, 0x1E41, 0x1E + 1000));
    }
}

TEST_F(MouseHookTest, DestructionAndRemovalStopEverything) {
    {
        HOOK类 h{backend, desktop};
        h.SetCallback(&first, msg::kLButtonUp);
        h.RemoveCallbacks(0, false);
        h.dispatch(event(msg::kLButtonUp, 5));  // arrived after the hook came off
        EXPECT_TRUE(first.calls.empty());
        h.SetCallback(&first, msg::kLButtonUp);
    }
    EXPECT_FALSE(backend.live());
    EXPECT_EQ(backend.uninstalls, 2);
}

}  // namespace
