#pragma once
// The main window for playing on the console: every unit in memory, except the playback timer
// 时钟_歌词播放, which runs on an EventLoop so lines go out in real (or virtual) time.

#include <string_view>

#include "app/memory_units.hpp"
#include "platform/posix/real_time.hpp"

namespace posix {

class LoopUnits : public UnitDirectory {
  public:
    /// Takes a new timer of `loop` as the playback timer.
    explicit LoopUnits(EventLoop& loop) : playbackTimer_(loop.createTimer()) {}

    Unit* find(std::string_view name) override { return memory_.find(name); }
    TimerUnit* findTimer(std::string_view name) override {
        return name == "时钟_歌词播放" ? &playbackTimer_ : memory_.findTimer(name);
    }
    WindowFrame& frame() override { return memory_.frame(); }

  private:
    MemoryUnits memory_;
    LoopTimer& playbackTimer_;
};

}  // namespace posix
