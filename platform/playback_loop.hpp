#pragma once
// The loop that plays a lyric on the console (cantorel-cli play): the main window's units in
// memory except the playback timer 时钟_歌词播放, which runs on this platform's own timers, a
// pumping wait that keeps that timer running inside a delivery, and the run that lasts until
// the song has ended or the user presses Ctrl-C.
// Usage:
//   auto loop = makePlaybackLoop(dryRun);
//   MainUnits units(loop->units());  ... engine over loop->clock(), loop->pumpingWait() ...
//   engine.startStop();
//   if (!loop->run()) engine.startStop();  // interrupted
// Linux runs it on an EventLoop over CLOCK_MONOTONIC, Windows on its message loop and
// Win32Timer; a virtual-time loop (previews) is the same EventLoop on both.

#include <memory>

#include "platform/clock.hpp"
#include "ui/units.hpp"

class PlaybackLoop {
  public:
    virtual ~PlaybackLoop() = default;

    /// The time the playback engine and the console client read.
    virtual Clock& clock() = 0;
    /// The wait the delivery sequences use; keeps the playback timer running.
    virtual PumpingWait& pumpingWait() = 0;
    /// Every unit of the main window; 时钟_歌词播放 ticks on this loop.
    virtual UnitDirectory& units() = 0;

    /// Runs until the playback timer is stopped (the song has ended) or Ctrl-C; false when
    /// Ctrl-C ended it. Ctrl-C is this loop's only while it runs.
    virtual bool run() = 0;
};

/// A loop in real time, or with `virtualTime` in virtual time that jumps to each deadline, so a
/// song plays instantly with its times intact.
std::unique_ptr<PlaybackLoop> makePlaybackLoop(bool virtualTime);
