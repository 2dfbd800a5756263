#include "audio/timed_onset_detector.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/audio/signals.hpp"

namespace {

constexpr int kRate = 48000;
constexpr std::int64_t kStart = 7000000;  // listening began here on the clock

/// Feeds `track` as 10 ms packets stamped from `firstMicros`, skipping those before `from`
/// seconds (a loopback capture sends nothing while nothing plays).
std::optional<TimedOnset> capture(TimedOnsetDetector& d, const signals::Track& track,
                                  std::int64_t firstMicros, double from = 0) {
    const auto& s = track.samples();
    const std::size_t packet = kRate / 100;
    for (std::size_t at = std::size_t(from * kRate); at < s.size(); at += packet) {
        const std::int64_t stamp = firstMicros + std::int64_t(at) * 1000000 / kRate;
        if (auto onset = d.feed(s.data() + at, std::min(packet, s.size() - at), stamp))
            return onset;
    }
    return std::nullopt;
}

TEST(TimedOnsetDetector, TheOnsetTakesTheClockTimeOfItsPacket) {
    signals::Track track(kRate, 3);
    track.tone(1.0123, 2, 440, -20, signals::kPi / 2);
    TimedOnsetDetector d(kRate, kStart);
    const auto onset = capture(d, track, kStart);
    ASSERT_TRUE(onset);
    EXPECT_NEAR(onset->clockMicros, kStart + 1012300, 100);
    EXPECT_NEAR(onset->listenedSeconds, 1.0123, 1e-3);
}

TEST(TimedOnsetDetector, TimeWithoutPacketsIsSilence) {
    // Nothing played for two seconds after listening began; the first packets are music.
    signals::Track track(kRate, 4);
    track.music(2.0, 2, -20);
    for (bool polled : {false, true}) {
        TimedOnsetDetector d(kRate, kStart);
        if (polled) {
            for (std::int64_t t = kStart; t < kStart + 2000000; t += 10000)
                EXPECT_FALSE(d.quietUntil(t));
        }
        const auto onset = capture(d, track, kStart, 2.0);
        ASSERT_TRUE(onset) << polled;
        EXPECT_NEAR(onset->clockMicros, kStart + 2000000, 10000) << polled;
    }

    // Music already playing when listening began is no start, however long it goes on.
    signals::Track playing(kRate, 4);
    playing.music(0, 4, -20);
    TimedOnsetDetector d(kRate, kStart);
    EXPECT_FALSE(capture(d, playing, kStart));
}

}  // namespace
