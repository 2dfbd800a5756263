#pragma once
// The console's stand-in for listening to the computer's sound: a WAV file played through the
// onset detector as if it were coming out of the speakers, beginning when listening starts.

#include <cstdint>

#include "audio/wav_reader.hpp"
#include "platform/audio_listener.hpp"
#include "platform/clock.hpp"

namespace cli {

class WavListener : public AudioListener {
  public:
    /// With `realTime` the sound is fed at its own speed on `clock`, waiting with `wait`;
    /// without, all at once (the clock is then virtual and the onset lies ahead of it).
    WavListener(const MonoSound& sound, Clock& clock, PumpingWait& wait, bool realTime)
        : sound_(sound), clock_(clock), wait_(wait), realTime_(realTime) {}

    /// Plays the file to the detector inside this call; reports the onset or that the file
    /// ended in silence.
    void start(OnsetHandler onOnset, FailureHandler onFailure) override;
    void stop() override {}

    /// Clock time at which the file began playing (valid after start).
    std::int64_t beganMicros() const { return beganMicros_; }
    /// True once the music has been heard.
    bool heard() const { return heard_; }

  private:
    const MonoSound& sound_;
    Clock& clock_;
    PumpingWait& wait_;
    bool realTime_;
    std::int64_t beganMicros_ = 0;
    bool heard_ = false;
};

}  // namespace cli
