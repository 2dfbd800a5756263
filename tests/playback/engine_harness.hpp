#pragma once
// The engine with everything around it on fake time: in-memory units, the real transforms and
// delivery over a recording window system, a pumping wait that runs due timer ticks.

#include <initializer_list>
#include <utility>

#include "playback/playback_engine.hpp"
#include "tests/support/delivery_rig.hpp"

struct EngineHarness : DeliveryRig {
    LineTransform transform{units, 1};
    PlaybackEngine engine{units, state, boxes, clock, transform, delivery};

    EngineHarness() {
        timers.add(timer());
        windows.addWindow(kTarget);
        state.targetWindow = kTarget;
        units.公屏字幕.setChecked(true);
    }

    MemoryTimer& timer() { return memory.timer("时钟_歌词播放"); }

    /// Loads lines as the file loader does: table and list rows ("L<time>" unless given).
    void load(std::initializer_list<std::pair<int, const char*>> lines) {
        state.lyrics = {};
        units.超级列表框_歌词.clear();
        int item = 0;
        for (const auto& [time, text] : lines) {
            state.lyrics.lines.push_back({time, text});
            const int row = units.超级列表框_歌词.addRow(std::to_string(time), ++item);
            units.超级列表框_歌词.setCell(row, 1, text);
        }
        engine.resetPosition();
    }

    std::vector<GbkText> sent() const { return sentTexts(windows.posts); }
    /// Start of each sent line, in whole milliseconds of fake time.
    std::vector<std::int64_t> sentAtMs() const {
        std::vector<std::int64_t> times;
        for (const SentLine& line : sentLines(windows.posts))
            times.push_back(line.startMicros / 1000);
        return times;
    }
    GbkText caption() { return units.开始字幕.text(); }
    void runMs(std::int64_t ms) { timers.advanceMillis(ms); }
};
