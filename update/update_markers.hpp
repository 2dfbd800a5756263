#pragma once
// The keys of the maker's update pages as GBK bytes. The pages are GBK; writing the keys as
// byte escapes keeps the parsers buildable by compilers that have no GBK execution character
// set (the fuzz build), and a native test holds them against the compiler's own literals.

#include <string_view>

namespace update_markers {

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
inline constexpr std::string_view kVersion = "\xB0\xE6\xB1\xBE=";             // 版本=
inline constexpr std::string_view kSignature = "\xC7\xA9\xC3\xFB=";           // 签名=
inline constexpr std::string_view kValueEnd = "</p>";
inline constexpr std::string_view kYes = "\xCA\xC7";  // 是

}  // namespace update_markers
