#include "audio/listen_source.hpp"

#include <gtest/gtest.h>

TEST(ListenSource, PlayerAloneOnlyWithItsProcessOnWindows10_2004AndLater) {
    struct Case {
        std::uint32_t build, pid;
        ListenSource expected;
    } cases[] = {
        {19041, 4242, ListenSource::Player},          // Windows 10 2004
        {22631, 4242, ListenSource::Player},          // Windows 11
        {19040, 4242, ListenSource::PlaybackDevice},  // 1909 and older
        {7601, 4242, ListenSource::PlaybackDevice},   // Windows 7
        {0, 4242, ListenSource::PlaybackDevice},      // build unknown
        {22631, 0, ListenSource::PlaybackDevice},     // player's process unknown
    };
    for (const Case& c : cases)
        EXPECT_EQ(chooseListenSource(c.build, c.pid), c.expected) << c.build << " " << c.pid;
}
