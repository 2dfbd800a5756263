#pragma once
// Telling whether a lyric belongs to the song a player plays. Players and lyric files spell the
// same song differently ("晴天 (伴奏)", "Qing Tian - Instrumental", full-width letters, extra
// blanks), so both sides are reduced to a key before they are compared.

#include <optional>
#include <string_view>
#include <vector>

#include "text/gbk_text.hpp"

/// The title without the decorations accompaniment and live tracks carry: a trailing bracket
/// holding 伴奏, KTV, Instrumental, Karaoke, Live, Remaster, 纯音乐, Off Vocal or 原唱 (any of
/// ( ) （ ） [ ] 【 】), a trailing " - Instrumental" and the like after a dash, and a bare
/// trailing "KTV版", "伴奏版" or "伴奏".
GbkText cleanTitle(std::string_view title);

/// What two spellings of a name share: half-width, ASCII letters in lower case, without blanks,
/// ASCII punctuation and the symbols of the GBK punctuation row.
GbkText matchKey(std::string_view text);

/// The single artists of a credit such as "周杰伦/费玉清" or "A & B, C", each as a match key.
std::vector<GbkText> artistKeys(std::string_view artist);

/// How well a lyric named `song` by `artist` fits the track `title` by `trackArtist`: 0 not at
/// all (the titles differ, or both name artists and none is shared), 1 the title alone (one
/// side names no artist), 2 title and an artist.
int trackMatch(std::string_view title, std::string_view trackArtist, std::string_view song,
               std::string_view artist);

/// The lyric file in `names` (file names in the lyric folder, ".lrc" included) that best fits
/// the track: names like "晴天 - 周杰伦.lrc", "周杰伦 - 晴天.lrc" or "晴天.lrc". nullopt when none
/// fits; of equal fits the first in the list.
std::optional<std::size_t> bestLyricFile(std::string_view title, std::string_view artist,
                                         const std::vector<GbkText>& names);
