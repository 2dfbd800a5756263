#include "audio/timed_onset_detector.hpp"

#include <algorithm>

namespace {
// A few seconds of silence are all the detector needs; longer ones change nothing in it.
constexpr std::int64_t kLongestSilenceMicros = 3000000;
// Packet stamps wander by a fraction of a millisecond; smaller gaps are no silence.
constexpr std::int64_t kGapMicros = 5000;
}  // namespace

TimedOnsetDetector::TimedOnsetDetector(int sampleRate, std::int64_t startMicros,
                                       OnsetSettings settings)
    : detector_(sampleRate, settings),
      rate_(detector_.sampleRate()),
      startMicros_(startMicros),
      coveredUntil_(startMicros) {}

std::int64_t TimedOnsetDetector::durationMicros(std::int64_t samples) const {
    return samples * 1000000 / rate_;
}

std::optional<TimedOnset> TimedOnsetDetector::feed(const float* samples, std::size_t count,
                                                   std::int64_t firstMicros) {
    if (firstMicros > coveredUntil_ + kGapMicros)
        if (auto onset = silence(coveredUntil_, firstMicros)) return onset;
    return run(samples, count, firstMicros);
}

std::optional<TimedOnset> TimedOnsetDetector::quietUntil(std::int64_t nowMicros) {
    if (nowMicros - coveredUntil_ < kPacketGraceMicros) return std::nullopt;
    return silence(coveredUntil_, nowMicros - kPacketGraceMicros / 2);
}

std::optional<TimedOnset> TimedOnsetDetector::silence(std::int64_t fromMicros,
                                                      std::int64_t untilMicros) {
    const std::int64_t length = std::min(untilMicros - fromMicros, kLongestSilenceMicros);
    const auto count = static_cast<std::size_t>(length * rate_ / 1000000);
    if (count == 0) return std::nullopt;
    zeros_.assign(count, 0.0f);
    auto onset = run(zeros_.data(), count, fromMicros);
    coveredUntil_ = std::max(coveredUntil_, untilMicros);
    return onset;
}

std::optional<TimedOnset> TimedOnsetDetector::run(const float* samples, std::size_t count,
                                                  std::int64_t micros) {
    stretches_.push_back({detector_.samplesSeen(), micros});
    if (stretches_.size() > 64) stretches_.pop_front();  // the onset lies in the last few
    coveredUntil_ = std::max(coveredUntil_, micros + durationMicros(std::int64_t(count)));
    const auto onset = detector_.feed(samples, count);
    if (!onset) return std::nullopt;
    auto it = std::find_if(stretches_.rbegin(), stretches_.rend(),
                           [&](const Stretch& s) { return s.firstSample <= onset->sample; });
    const Stretch s = it != stretches_.rend() ? *it : stretches_.front();
    TimedOnset timed;
    timed.clockMicros = s.micros + durationMicros(onset->sample - s.firstSample);
    timed.listenedSeconds = double(timed.clockMicros - startMicros_) / 1e6;
    timed.levelDb = onset->levelDb;
    return timed;
}
