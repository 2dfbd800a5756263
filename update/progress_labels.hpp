#pragma once
// The texts of the update window, refreshed once a second while the new program downloads.

#include <cstdint>

#include "text/gbk_text.hpp"

/// A byte count with its unit, two decimals at most ("1.5KB", "1000B", "1MB"); a count of zero
/// or less is the bare number ("0").
GbkText formatSize(std::int64_t bytes);

/// Elapsed time of the download, advanced one second per tick.
struct Elapsed {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    void tick();
};

/// What one tick knows.
struct ProgressSample {
    std::int64_t received = 0;   // bytes so far
    std::int64_t total = 0;      // announced size; 0 or less while unknown
    std::int64_t sinceLast = 0;  // bytes since the previous tick
};

struct ProgressTexts {
    GbkText progress;   // 下载进度
    int bar = 0;        // 进度条, 0 to 100
    GbkText speed;      // 下载速度
    GbkText received;   // 已经下载
    GbkText elapsed;    // 已用时间
    GbkText remaining;  // 剩余时间
};

/// The label texts for `sample` after `elapsed` has been advanced for this tick.
ProgressTexts progressTexts(const ProgressSample& sample, const Elapsed& elapsed);

/// The text 下载进度 shows while the connection is made and no size is known.
extern const char* const kConnectingText;
