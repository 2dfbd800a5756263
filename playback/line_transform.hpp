#pragma once
// LineTransform: turns the text of the lyric row being played into the text delivery types.
// The filter, reverse, alternate and prefix/suffix options are read from the units at every
// call, so a change applies from the next line on.

#include <cstdint>
#include <random>

#include "text/gbk_text.hpp"
#include "ui/main_units.hpp"

class LineTransform {
  public:
    /// `seed` drives the choice of prefix/suffix; the program seeds it from the clock.
    LineTransform(MainUnits& units, std::uint32_t seed);

    /// The text to send for `line`. May rewrite 过滤 (tidy-up) and writes 初始文本.
    GbkText apply(const GbkText& line);

    /// What a filtered line becomes.
    static constexpr std::string_view kFiltered = "................";

  private:
    GbkText filter(const GbkText& line);
    GbkText reverse(const GbkText& text);
    GbkText wrap(const GbkText& text);

    MainUnits& units_;
    std::mt19937 random_;
    int alternateState_ = 0;  // lives as long as the program, across songs
};

namespace transform {

/// Removes leading and trailing ASCII spaces only (what PathRemoveBlanksA does).
GbkText trimSpaces(std::string_view text);

/// Removes one CR LF at the very start and one at the very end, where present.
GbkText cutOuterLineBreak(std::string_view text);

/// Removes every blank line between words: each match of "\n\s*\r".
GbkText removeBlankLines(const GbkText& text);

/// Half-width conversion, then the characters in reverse order (two-byte ones kept whole).
GbkText reversed(std::string_view text);

}  // namespace transform
