#include "audio/onset_detector.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/audio/signals.hpp"

namespace {

using signals::Track;

/// Feeds the track in blocks of `block` samples, as a capture delivers its packets.
std::optional<Onset> detect(const Track& track, std::size_t block = 441) {
    OnsetDetector detector(track.rate());
    const auto& s = track.samples();
    for (std::size_t at = 0; at < s.size(); at += block) {
        if (auto onset = detector.feed(s.data() + at, std::min(block, s.size() - at))) return onset;
    }
    return std::nullopt;
}

double errorMs(const std::optional<Onset>& onset, double truth) {
    return onset ? std::fabs(onset->seconds - truth) * 1000 : 1e9;
}

TEST(OnsetDetector, FindsTheStartWithin10MsForEveryMaterialRateAndLevel) {
    const double start = 1.2345;
    for (int rate : {8000, 22050, 44100, 48000, 96000}) {
        for (double db : {-6.0, -25.0, -45.0}) {
            for (int material = 0; material < 3; ++material) {
                Track track(rate, 3.5);
                if (material == 0) track.tone(start, 2.2, 440, db);
                if (material == 1) track.noise(start, 2.2, db);
                if (material == 2) track.music(start, 2.2, db);
                const auto onset = detect(track, std::size_t(rate / 100 + 7));
                SCOPED_TRACE(::testing::Message()
                             << rate << " Hz, " << db << " dB, material " << material);
                EXPECT_LT(errorMs(onset, start), 10.0);
                if (onset && material == 0) {
                    EXPECT_NEAR(onset->levelDb, db, 1.0);
                }
            }
        }
    }
}

TEST(OnsetDetector, HumAndHissUnderneathCountAsSilence) {
    Track hum(48000, 4);
    hum.tone(0, 4, 50, -55).music(2.0, 2, -20);
    EXPECT_LT(errorMs(detect(hum), 2.0), 10.0);

    Track hiss(44100, 4);
    hiss.noise(0, 4, -58, 3).tone(1.5, 2.5, 330, -30);
    EXPECT_LT(errorMs(detect(hiss), 1.5), 10.0);
}

TEST(OnsetDetector, ClicksAndNotificationSoundsDoNotStartTheSong) {
    Track track(44100, 5);
    track
        .noise(0.5, 0.002, -6)       // a click
        .chime(1.0, 0.6, -10)        // a notification
        .noise(2.45, 0.003, -3, 11)  // a click just before the music
        .music(2.5, 2.5, -18);
    EXPECT_LT(errorMs(detect(track), 2.5), 10.0);

    Track noMusic(44100, 5);
    noMusic.noise(0.5, 0.002, -6).chime(1.0, 0.6, -10).chime(3.0, 0.8, -6);
    EXPECT_FALSE(detect(noMusic));
}

TEST(OnsetDetector, MusicAlreadyPlayingStartsNothingUntilAPause) {
    Track playing(44100, 6);
    playing.music(0, 6, -20);
    EXPECT_FALSE(detect(playing));

    Track afterPause(44100, 7);
    afterPause.music(0, 3, -20).music(4.0, 3, -20);
    EXPECT_LT(errorMs(detect(afterPause), 4.0), 10.0);
}

TEST(OnsetDetector, DamagedSamplesAreTakenAsSilence) {
    Track track(16000, 3);
    track.tone(1.0, 2, 440, -20);
    std::vector<float> s = track.samples();
    for (std::size_t i = 0; i < 8000; i += 97) s[i] = std::nanf("");
    s[100] = INFINITY;
    OnsetDetector detector(16000);
    const auto onset = detector.feed(s.data(), s.size());
    EXPECT_LT(errorMs(onset, 1.0), 10.0);
    EXPECT_FALSE(detector.feed(s.data(), s.size()));  // reported once only
}

}  // namespace
