#pragma once
// The one loaded lyric: timed lines in ascending time, plus the header tags.

#include <cstdint>
#include <vector>

#include "text/gbk_text.hpp"

struct LyricLine {
    std::int32_t time = 0;  // milliseconds from the start of the song
    GbkText text;
    bool operator==(const LyricLine&) const = default;
};

struct LyricTable {
    std::vector<LyricLine> lines;  // ascending by time; equal times keep file order
    GbkText title;
    GbkText artist;
    GbkText album;
    GbkText author;
    std::int64_t offset = 0;  // recorded, never applied

    int count() const { return static_cast<int>(lines.size()); }
};
