#pragma once
// TimedOnsetDetector: the onset detector over a capture's packets, each stamped with the clock
// time of its first sample, answering with the onset's clock time. A loopback capture sends
// nothing while nothing plays, so the stretches without packets are fed as silence; every
// stretch keeps its own clock time, so made-up silence and late packets never shift the onset.

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "audio/onset_detector.hpp"

struct TimedOnset {
    std::int64_t clockMicros = 0;  // when the music started
    double listenedSeconds = 0;    // ... counted from the start of listening
    double levelDb = 0;
};

class TimedOnsetDetector {
  public:
    /// Listening began at `startMicros`; nothing before it is silence that counts.
    TimedOnsetDetector(int sampleRate, std::int64_t startMicros, OnsetSettings settings = {});

    /// A packet of `count` samples whose first sample played at `firstMicros`.
    std::optional<TimedOnset> feed(const float* samples, std::size_t count,
                                   std::int64_t firstMicros);
    /// No packet has come up to `nowMicros`: after a short grace (packets arrive some
    /// milliseconds after they played) that time was silence.
    std::optional<TimedOnset> quietUntil(std::int64_t nowMicros);

    /// Listening this long without music ends it.
    static constexpr std::int64_t kListenLimitMicros = 600LL * 1000000;
    static constexpr std::int64_t kPacketGraceMicros = 200000;

  private:
    std::optional<TimedOnset> silence(std::int64_t fromMicros, std::int64_t untilMicros);
    std::optional<TimedOnset> run(const float* samples, std::size_t count, std::int64_t micros);
    std::int64_t durationMicros(std::int64_t samples) const;

    struct Stretch {
        std::int64_t firstSample;
        std::int64_t micros;
    };
    OnsetDetector detector_;
    int rate_;
    std::int64_t startMicros_, coveredUntil_;
    std::deque<Stretch> stretches_;
    std::vector<float> zeros_;
};
