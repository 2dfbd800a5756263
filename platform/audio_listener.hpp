#pragma once
// Listening to what the computer plays until the accompaniment starts. Nothing heard is kept:
// the sound goes through the onset detector and is dropped.

#include <cstdint>
#include <functional>

#include "audio/listen_source.hpp"
#include "text/gbk_text.hpp"

struct HeardOnset {
    std::int64_t clockMicros = 0;  // when the music started, on the monotonic clock (Clock)
    double listenedSeconds = 0;    // how long after listening began
    double levelDb = 0;            // the music's level, dB of full scale
};

class AudioListener {
  public:
    using OnsetHandler = std::function<void(const HeardOnset&)>;
    using FailureHandler = std::function<void(const GbkText& reason)>;
    using ListeningHandler = std::function<void(ListenSource source)>;
    virtual ~AudioListener() = default;

    /// Starts listening. Later, on the user-interface thread, exactly one handler runs: the
    /// onset, or a failure (no device, the device went away, nothing heard for too long); it
    /// may also run inside this call. Listening has ended when either runs.
    virtual void start(OnsetHandler onOnset, FailureHandler onFailure) = 0;
    /// Stops listening; no handler runs after it returns.
    virtual void stop() = 0;
    /// For the next start only: `player` (its media session's app id) is listened to alone
    /// where the system allows it, else the whole playback device; once listening has begun,
    /// `onListening` is told on the user-interface thread which of the two it is. A start
    /// without it listens to the playback device.
    virtual void listenTo(const GbkText& player, ListeningHandler onListening) {
        (void)player;
        (void)onListening;
    }
};
