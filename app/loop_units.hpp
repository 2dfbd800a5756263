#pragma once
// The main window for playing on the console: every unit in memory, except the playback timer
// 时钟_歌词播放, which is a timer that really expires (an EventLoop's, or the platform's own), so
// lines go out in real (or virtual) time.

#include <string_view>

#include "app/event_loop.hpp"
#include "ui/memory_units.hpp"

class LoopUnits : public UnitDirectory {
  public:
    /// Takes a new timer of `loop` as the playback timer.
    explicit LoopUnits(EventLoop& loop) : playbackTimer_(loop.createTimer()) {}
    /// Uses `playbackTimer`, which must outlive these units, as the playback timer.
    explicit LoopUnits(TimerUnit& playbackTimer) : playbackTimer_(playbackTimer) {}

    Unit* find(std::string_view name) override { return memory_.find(name); }
    TimerUnit* findTimer(std::string_view name) override {
        return name == "时钟_歌词播放" ? &playbackTimer_ : memory_.findTimer(name);
    }
    WindowFrame& frame() override { return memory_.frame(); }

  private:
    MemoryUnits memory_;
    TimerUnit& playbackTimer_;
};
