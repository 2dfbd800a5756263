#pragma once
// OnsetDetector: finds the moment a stream of sound goes from silence to music, for starting
// the lyric when the accompaniment starts. It reads mono float samples (full scale 1.0) at any
// sample rate, in blocks of any size, and reports the onset as a sample number of the stream
// (the first sample fed is sample 0).
//
// Each 10 ms frame's mean energy is held against a noise floor that follows the quiet frames,
// so a steady hum or hiss counts as silence. Sound counts as an onset only when it comes after
// a stretch of silence and lasts: a click, a key tap or a notification sound dies away before
// the confirmation and is forgotten. The onset is then placed on the first sample that rises
// above the threshold, well inside a frame.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct OnsetSettings {
    double frameSeconds = 0.010;
    /// Quiet needed before an onset counts; music already playing never starts a song.
    double minSilenceSeconds = 0.3;
    /// Sound must last this long after its start (gaps up to maxGapSeconds allowed) and still
    /// be there at the end.
    double minSoundSeconds = 1.0;
    double maxGapSeconds = 0.25;
    /// The music starts with the first unbroken stretch of sound this long; shorter blips
    /// just before it (a click, a key tap) are not its start.
    double minRunSeconds = 0.05;
    /// A frame is sound when its energy is this far above the noise floor ...
    double aboveFloorDb = 10.0;
    /// ... and above this level (dB of full scale, RMS), so digital silence has a threshold.
    double minLevelDb = -60.0;
    /// A floor louder than this is no silence (listening began in the middle of a song).
    double maxFloorDb = -45.0;
};

struct Onset {
    std::int64_t sample = 0;  // first sample of the music, counted from the stream's start
    double seconds = 0;       // the same, in seconds
    double levelDb = 0;       // RMS level of the music's first second, dB of full scale
};

class OnsetDetector {
  public:
    explicit OnsetDetector(int sampleRate, OnsetSettings settings = {});

    /// Feeds the next `count` samples; returns the onset once it is confirmed (once only:
    /// after that the detector ignores what it is fed).
    std::optional<Onset> feed(const float* samples, std::size_t count);

    /// Samples fed so far.
    std::int64_t samplesSeen() const { return seen_; }
    int sampleRate() const { return rate_; }
    bool found() const { return found_; }

  private:
    void endFrame();
    std::int64_t locateStart() const;
    double threshold() const;

    int rate_;
    OnsetSettings settings_;
    std::size_t frameLength_;
    std::int64_t minSilenceFrames_, minSoundFrames_, maxGapFrames_, minRunFrames_;

    std::vector<float> frame_, previous_;  // the frame being filled and the one before it
    std::int64_t seen_ = 0;
    std::int64_t frames_ = 0;  // whole frames ended so far
    double floor_ = -1;        // noise floor (mean square); negative until the first frame
    std::int64_t silentFrames_ = 0;

    bool candidate_ = false;  // sound has begun and is being confirmed
    bool candidateAfterSilence_ = false;
    std::int64_t candidateFrame_ = 0, gapFrames_ = 0;
    std::int64_t runStart_ = 0, runStartFrame_ = 0, runFrames_ = 0;  // the sound going on now
    std::int64_t candidateStart_ = -1;  // its first long enough stretch; -1: none yet
    double candidateEnergy_ = 0;
    bool found_ = false;
    std::optional<Onset> result_;
};
