#pragma once
// LrcReader turns the text of an LRC file into the timed lines and header fields of a
// LyricTable. It keeps no state between calls.

#include <cstdint>
#include <optional>
#include <string_view>

#include "lyrics/lyric_table.hpp"
#include "text/gbk_text.hpp"

class LrcReader {
  public:
    /// Replaces every entry and header field of `table` with what `text` holds: one entry per
    /// time tag, carrying the text of the tag's own line with all its tags removed, ordered by
    /// time (equal times keep file order). Returns false, leaving `table` as it was, when a tag
    /// cannot be converted (no text matched by the tag pattern causes that) or when the text
    /// defeats the pattern matcher (a tag opening tens of thousands of digits). `text` must not
    /// be one of `table`'s own strings; the table's storage is reused.
    /// A line's text is cut after kMaxLineBytes (at a character start): no chat message is
    /// longer. A text whose entries would still take more than kMemoryFactor times its own size
    /// (plus kMemoryAllowance) is refused as well, with `tooLarge` set when given: thousands of
    /// tags in front of one long line must not exhaust the machine.
    static bool parse(const GbkText& text, LyricTable& table, bool* tooLarge = nullptr);

    static constexpr std::size_t kMaxLineBytes = 256;
    static constexpr std::size_t kMemoryFactor = 32;
    static constexpr std::size_t kMemoryAllowance = 1 << 20;

    /// Milliseconds of one whole time tag such as "[01:23.45]" (fraction in parts of a second,
    /// saturating at INT32_MAX); nullopt when `tag` lacks the "[minutes:" start.
    static std::optional<std::int32_t> tagTime(std::string_view tag);

    /// True for the lines that never give lyric text: "[ar", "[ti", "[al", "[by" or "[offset"
    /// at the start, ASCII letters compared without case.
    static bool isHeaderLine(std::string_view line);
};
