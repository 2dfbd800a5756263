#pragma once
// Words the title matching and the lyric readers look for, as bytes (GBK for titles, UTF-8 for
// lyrics as the services send them), so the readers build the same with clang for fuzzing. A
// GCC-built test holds each constant against the literal it stands for.

#include <array>
#include <string_view>

namespace search_marker {

/// Decorations a title carries beside the song's own name, GBK, ASCII ones in lower case:
/// 伴奏, 纯音乐, 女声版, 男声版, 现场版, 原版伴奏, 消音版, KTV版 and their Western forms.
inline constexpr std::array<std::string_view, 13> kDecorations = {
    "\xB0\xE9\xD7\xE0",          // 伴奏
    "\xB4\xBF\xD2\xF4\xC0\xD6",  // 纯音乐
    "\xC5\xAE\xC9\xF9\xB0\xE6",  // 女声版
    "\xC4\xD0\xC9\xF9\xB0\xE6",  // 男声版
    "\xCF\xD6\xB3\xA1\xB0\xE6",  // 现场版
    "\xCF\xFB\xD2\xF4\xB0\xE6",  // 消音版
    "ktv\xB0\xE6",               // ktv版
    "live",
    "instrumental",
    "inst.",
    "karaoke",
    "off vocal",
    "ktv",
};

/// Decorations that say a track has no singing (GBK, plain keys): 伴奏, 纯音乐, 消音版.
inline constexpr std::array<std::string_view, 6> kInstrumental = {
    "\xB0\xE9\xD7\xE0",
    "\xB4\xBF\xD2\xF4\xC0\xD6",
    "\xCF\xFB\xD2\xF4\xB0\xE6",
    "instrumental",
    "karaoke",
    "offvocal",
};

/// 纯音乐 and 没有填词 in UTF-8: the "lyric" of a track without words says one of them.
inline constexpr std::string_view kPureMusicUtf8 = "\xE7\xBA\xAF\xE9\x9F\xB3\xE4\xB9\x90";
inline constexpr std::string_view kNoWordsUtf8 = "\xE6\xB2\xA1\xE6\x9C\x89\xE5\xA1\xAB\xE8\xAF\x8D";
/// 暂无歌词 in UTF-8: a service's placeholder for a lyric it does not have.
inline constexpr std::string_view kNoLyricYetUtf8 =
    "\xE6\x9A\x82\xE6\x97\xA0\xE6\xAD\x8C\xE8\xAF\x8D";

}  // namespace search_marker
