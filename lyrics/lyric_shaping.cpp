#include "lyrics/lyric_shaping.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace {

constexpr std::array<std::string_view, 4> kCaptions = {"逐行", "原文", "译文", "合并"};
constexpr std::array<std::string_view, 4> kNames = {"lines", "original", "translation", "joined"};

LyricLine shapeRun(const LyricLine* first, const LyricLine* last, Bilingual mode) {
    std::vector<const GbkText*> texts;
    for (const LyricLine* line = first; line != last; ++line) {
        if (!line->text.empty()) texts.push_back(&line->text);
    }
    LyricLine out{first->time, {}};
    if (texts.empty()) return out;
    switch (mode) {
        case Bilingual::Original:
            out.text = *texts.front();
            break;
        case Bilingual::Translation:
            out.text = *texts.back();
            break;
        case Bilingual::Joined:
            for (std::size_t i = 0; i < texts.size(); ++i) {
                if (i) out.text += " / ";
                out.text += *texts[i];
            }
            break;
        case Bilingual::Lines:
            break;
    }
    return out;
}

}  // namespace

std::vector<LyricLine> groupEqualTimes(const std::vector<LyricLine>& lines, Bilingual mode) {
    if (mode == Bilingual::Lines) return lines;
    std::vector<LyricLine> out;
    out.reserve(lines.size());
    for (std::size_t start = 0; start < lines.size();) {
        std::size_t end = start + 1;
        while (end < lines.size() && lines[end].time == lines[start].time) ++end;
        if (end - start == 1)
            out.push_back(lines[start]);
        else
            out.push_back(shapeRun(&lines[start], &lines[start] + (end - start), mode));
        start = end;
    }
    return out;
}

void shiftByOffset(std::vector<LyricLine>& lines, std::int64_t offsetMs) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    for (LyricLine& line : lines) {
        // Offsets come from the file and may be any size: clamp the shift before adding.
        const std::int64_t shift = std::clamp<std::int64_t>(offsetMs, -kMax, kMax);
        line.time = static_cast<std::int32_t>(std::clamp<std::int64_t>(line.time - shift, 0, kMax));
    }
}

void shapeLyric(LyricTable& table, const LyricShape& shape) {
    table.lines = groupEqualTimes(table.lines, shape.bilingual);
    if (shape.applyOffset && table.offset != 0) shiftByOffset(table.lines, table.offset);
}

std::string_view bilingualCaption(Bilingual mode) { return kCaptions[static_cast<int>(mode)]; }

std::string_view bilingualName(Bilingual mode) { return kNames[static_cast<int>(mode)]; }

std::optional<Bilingual> bilingualFromName(std::string_view name) {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (kNames[i] == name) return static_cast<Bilingual>(i);
    }
    return std::nullopt;
}
