#include "audio/onset_detector.hpp"

#include <algorithm>
#include <cmath>

namespace {

double energyOfDb(double db) { return std::pow(10.0, db / 10.0); }
double dbOfEnergy(double energy) { return 10.0 * std::log10(std::max(energy, 1e-20)); }

std::int64_t framesIn(double seconds, double frameSeconds) {
    return std::max<std::int64_t>(1, std::llround(seconds / frameSeconds));
}

}  // namespace

OnsetDetector::OnsetDetector(int sampleRate, OnsetSettings settings)
    : rate_(std::max(sampleRate, 1)),
      settings_(settings),
      frameLength_(std::max<std::size_t>(
          1, static_cast<std::size_t>(std::llround(rate_ * settings.frameSeconds)))),
      minSilenceFrames_(framesIn(settings.minSilenceSeconds, settings.frameSeconds)),
      minSoundFrames_(framesIn(settings.minSoundSeconds, settings.frameSeconds)),
      maxGapFrames_(framesIn(settings.maxGapSeconds, settings.frameSeconds)),
      minRunFrames_(framesIn(settings.minRunSeconds, settings.frameSeconds)) {
    frame_.reserve(frameLength_);
}

double OnsetDetector::threshold() const {
    const double fromFloor = std::max(floor_, 0.0) * energyOfDb(settings_.aboveFloorDb);
    return std::max(fromFloor, energyOfDb(settings_.minLevelDb));
}

std::optional<Onset> OnsetDetector::feed(const float* samples, std::size_t count) {
    if (found_) return std::nullopt;
    for (std::size_t i = 0; i < count; ++i) {
        const float s = samples[i];
        // A damaged stream's NaN or infinity would poison the floor for good.
        frame_.push_back(std::isfinite(s) ? s : 0.0f);
        ++seen_;
        if (frame_.size() == frameLength_) {
            endFrame();
            if (found_) return result_;
        }
    }
    return std::nullopt;
}

void OnsetDetector::endFrame() {
    double sum = 0;
    for (float s : frame_) sum += static_cast<double>(s) * s;
    const double energy = sum / static_cast<double>(frame_.size());
    const std::int64_t index = frames_++;

    if (floor_ < 0) floor_ = std::min(energy, energyOfDb(settings_.maxFloorDb));
    const bool loud = energy > threshold();

    if (!candidate_) {
        if (loud) {
            candidate_ = true;
            candidateAfterSilence_ = silentFrames_ >= minSilenceFrames_;
            candidateFrame_ = index;
            candidateStart_ = -1;
            candidateEnergy_ = 0;
            gapFrames_ = 0;
            runFrames_ = 0;
        } else {
            // The floor falls quickly to a quieter frame and rises slowly, so the music's
            // own beginning cannot lift it out of the way.
            floor_ += (energy - floor_) * (energy < floor_ ? 0.3 : 0.05);
            if (floor_ <= energyOfDb(settings_.maxFloorDb))
                ++silentFrames_;
            else
                silentFrames_ = 0;
        }
    }
    if (candidate_) {
        if (candidateStart_ >= 0) candidateEnergy_ += energy;
        gapFrames_ = loud ? 0 : gapFrames_ + 1;
        if (loud) {
            if (runFrames_++ == 0) {
                runStart_ = locateStart();
                runStartFrame_ = index;
            }
            if (runFrames_ >= minRunFrames_ && candidateStart_ < 0) {
                // The music starts here: its duration and level count from now on.
                candidateStart_ = runStart_;
                candidateFrame_ = runStartFrame_;
                candidateEnergy_ = energy * static_cast<double>(runFrames_);
            }
        } else {
            runFrames_ = 0;
        }
        if (gapFrames_ > maxGapFrames_) {
            // Too short to be music: a click or a notification. The silence before it goes on
            // counting, so music right after a click still starts the song.
            candidate_ = false;
            silentFrames_ += gapFrames_;
        } else if (loud && candidateStart_ >= 0 && index - candidateFrame_ + 1 >= minSoundFrames_) {
            candidate_ = false;
            if (candidateAfterSilence_) {
                found_ = true;
                Onset onset;
                onset.sample = candidateStart_;
                onset.seconds = static_cast<double>(candidateStart_) / rate_;
                onset.levelDb = dbOfEnergy(candidateEnergy_ / static_cast<double>(minSoundFrames_));
                result_ = onset;
            } else {
                silentFrames_ = gapFrames_;  // sound without silence before it: keep waiting
            }
        }
    }
    previous_.swap(frame_);
    frame_.clear();
}

std::int64_t OnsetDetector::locateStart() const {
    // The first sample of this frame or the one before that rises above the threshold's
    // amplitude: a sound that began late in the previous frame may have left it quiet.
    const double level = std::sqrt(threshold());
    const std::int64_t frameStart = seen_ - static_cast<std::int64_t>(frame_.size());
    const std::int64_t previousStart = frameStart - static_cast<std::int64_t>(previous_.size());
    for (std::size_t i = 0; i < previous_.size(); ++i)
        if (std::fabs(previous_[i]) > level) return previousStart + static_cast<std::int64_t>(i);
    for (std::size_t i = 0; i < frame_.size(); ++i)
        if (std::fabs(frame_[i]) > level) return frameStart + static_cast<std::int64_t>(i);
    return frameStart;
}
