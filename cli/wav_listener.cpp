#include "cli/wav_listener.hpp"

#include <algorithm>

#include "audio/onset_detector.hpp"

namespace cli {

void WavListener::start(OnsetHandler onOnset, FailureHandler onFailure) {
    OnsetDetector detector(sound_.sampleRate);
    beganMicros_ = clock_.nowMicros();
    // Blocks of 10 ms, each handed over once it has "played", as a capture delivers them.
    const std::size_t block = std::max<std::size_t>(1, std::size_t(sound_.sampleRate) / 100);
    const auto& samples = sound_.samples;
    auto microsAt = [&](std::size_t sample) {
        return beganMicros_ + static_cast<std::int64_t>(sample) * 1000000 / sound_.sampleRate;
    };
    for (std::size_t at = 0; at < samples.size(); at += block) {
        const std::size_t count = std::min(block, samples.size() - at);
        if (realTime_) {
            const std::int64_t wait = microsAt(at + count) - clock_.nowMicros();
            if (wait > 0) wait_.wait(static_cast<int>((wait + 999) / 1000));
        }
        if (const auto onset = detector.feed(samples.data() + at, count)) {
            heard_ = true;
            onOnset({microsAt(static_cast<std::size_t>(onset->sample)), onset->seconds,
                     onset->levelDb});
            return;
        }
    }
    onFailure("the WAV file ends before any music starts");
}

}  // namespace cli
