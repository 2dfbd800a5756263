#pragma once
// AudioArming: the start that waits for the accompaniment. With its setting on, 开始字幕 arms
// it (the engine shows "等待伴奏…"); it listens to what the computer plays, and when the music
// starts the song starts with time 0 at that moment. Any stop, pause or a second click lets go
// of the listener; a failure to listen disarms with the reason in the status bar.

#include <cstdint>
#include <functional>

#include "platform/audio_listener.hpp"
#include "playback/playback_engine.hpp"
#include "ui/main_units.hpp"

class AudioArming {
  public:
    /// Installs itself as the engine's start gate; `wanted` reads the setting at each start.
    AudioArming(PlaybackEngine& engine, AudioListener& listener, MainUnits& units,
                std::function<bool()> wanted);
    ~AudioArming();
    AudioArming(const AudioArming&) = delete;
    AudioArming& operator=(const AudioArming&) = delete;

    /// Starts listening for the music; the engine calls it through its start gate.
    void arm();
    bool armed() const { return armed_; }
    /// Stops listening without touching the engine; nothing when not armed.
    void disarm();

  private:
    void onOnset(std::uint64_t session, const HeardOnset& onset);
    void onFailure(std::uint64_t session, const GbkText& reason);

    PlaybackEngine& engine_;
    AudioListener& listener_;
    MainUnits& units_;
    std::function<bool()> wanted_;
    bool armed_ = false;
    std::uint64_t session_ = 0;  // events of an earlier listening are dropped
};

/// The status line for a heard onset: "伴奏在监听 12.34 秒时响起（电平 -18 dB），字幕开始".
GbkText onsetStatus(const HeardOnset& onset);
