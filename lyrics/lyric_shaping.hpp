#pragma once
// Reshaping a parsed lyric before it is shown and played: what to do with the lines of a
// bilingual file (a translation carried as a second line with the same time) and whether the
// file's [offset:] header moves the lines.

#include <optional>
#include <string_view>
#include <vector>

#include "lyrics/lyric_table.hpp"

/// What a group of lines with equal times becomes.
enum class Bilingual {
    Lines,        // 逐行: every line, as the file has them
    Original,     // 原文: the group's first line
    Translation,  // 译文: the group's last line
    Joined,       // 合并: the group's lines joined with " / "
};

struct LyricShape {
    Bilingual bilingual = Bilingual::Lines;
    bool applyOffset = false;  // 应用歌词偏移
};

/// Replaces each run of lines with equal times by what `mode` makes of it; a run of one line
/// stays as it is. Empty lines inside a run count as a missing half: the other lines stand
/// for the run, and a run of empty lines only becomes one empty line.
std::vector<LyricLine> groupEqualTimes(const std::vector<LyricLine>& lines, Bilingual mode);

/// Moves every line `offsetMs` earlier (a negative offset: later), no line below 0 ms and none
/// beyond the 32-bit range. Order is kept: the shift is the same for all lines.
void shiftByOffset(std::vector<LyricLine>& lines, std::int64_t offsetMs);

/// Both steps on a freshly parsed table: the runs are grouped on the file's own times, then
/// the offset applies, so lines the offset pushes together at 0 ms stay separate lines.
void shapeLyric(LyricTable& table, const LyricShape& shape);

/// The setting's captions 逐行, 原文, 译文, 合并 (GBK), in the order of the enum.
std::string_view bilingualCaption(Bilingual mode);
/// Stored and command-line names: lines, original, translation, joined.
std::string_view bilingualName(Bilingual mode);
std::optional<Bilingual> bilingualFromName(std::string_view name);
