#pragma once
// Chinese texts the parsers look for, as GBK bytes. Parsers that read network pages and names
// take their markers from here instead of from narrow literals, so they build the same with a
// compiler that has no GBK execution character set (clang, for the fuzz targets). GCC-built
// tests hold each constant against the literal it stands for.

#include <string_view>

namespace gbk::marker {

/// 没有找到相关: the lyric site's page when nothing was found.
inline constexpr std::string_view kNothingFound =
    "\xC3\xBB\xD3\xD0\xD5\xD2\xB5\xBD\xCF\xE0\xB9\xD8";
/// LRC歌词下载: the text that ends every hit of the lyric site's result page.
inline constexpr std::string_view kLrcDownload = "LRC\xB8\xE8\xB4\xCA\xCF\xC2\xD4\xD8";
/// 歌词: the file name of a lyric whose song name leaves nothing usable.
inline constexpr std::string_view kLyric = "\xB8\xE8\xB4\xCA";

/// The keys of the maker's update pages (GBK pages with a block of `key=value</p>` entries).
namespace update {

inline constexpr std::string_view kBlockStart = "////\xBF\xAA\xCA\xBC";  // ////开始
inline constexpr std::string_view kBlockEnd = "////\xBD\xE1\xCA\xF8";    // ////结束
inline constexpr std::string_view kForced =
    "\xCA\xC7\xB7\xF1\xC7\xBF\xD6\xC6\xB8\xFC\xD0\xC2=";  // 是否强制更新=
inline constexpr std::string_view kPrompt =
    "\xCA\xC7\xB7\xF1\xCC\xE1\xCA\xBE\xB8\xFC\xD0\xC2=";  // 是否提示更新=
inline constexpr std::string_view kAddress =
    "\xD7\xD4\xB6\xAF\xB8\xFC\xD0\xC2\xB5\xD8\xD6\xB7=";  // 自动更新地址=
inline constexpr std::string_view kProgramName = "\xB3\xCC\xD0\xF2\xC3\xFB\xD7\xD6=";  // 程序名字=
inline constexpr std::string_view kChecksum = "\xD0\xA3\xD1\xE9\xC2\xEB=";             // 校验码=
inline constexpr std::string_view kVersion = "\xB0\xE6\xB1\xBE=";                      // 版本=
inline constexpr std::string_view kSignature = "\xC7\xA9\xC3\xFB=";                    // 签名=
inline constexpr std::string_view kValueEnd = "</p>";
inline constexpr std::string_view kYes = "\xCA\xC7";  // 是

}  // namespace update

}  // namespace gbk::marker
