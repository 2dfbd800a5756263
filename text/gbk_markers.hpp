#pragma once
// Chinese texts the parsers look for, as GBK bytes. Parsers that read network pages and names
// take their markers from here instead of from narrow literals, so they build the same with a
// compiler that has no GBK execution character set (clang, for the fuzz targets). A GCC-built
// test holds each constant against the literal it stands for.

#include <string_view>

namespace gbk::marker {

/// 没有找到相关: the lyric site's page when nothing was found.
inline constexpr std::string_view kNothingFound =
    "\xC3\xBB\xD3\xD0\xD5\xD2\xB5\xBD\xCF\xE0\xB9\xD8";
/// LRC歌词下载: the text that ends every hit of the lyric site's result page.
inline constexpr std::string_view kLrcDownload = "LRC\xB8\xE8\xB4\xCA\xCF\xC2\xD4\xD8";
/// 歌词: the file name of a lyric whose song name leaves nothing usable.
inline constexpr std::string_view kLyric = "\xB8\xE8\xB4\xCA";

}  // namespace gbk::marker
