#pragma once
// Conversions between GbkText and Unicode. They happen only at the edges: files, HTTP pages,
// the console, file paths and the Windows controls. Implemented per platform (iconv on Linux,
// MultiByteToWideChar/WideCharToMultiByte with code page 936 on Windows).

#include <string>
#include <string_view>

#include "text/gbk_text.hpp"

namespace codepage {

/// UTF-8 to GBK; characters without a GBK form, and invalid UTF-8 sequences, become '?'.
GbkText utf8ToGbk(std::string_view utf8);

/// GBK to UTF-8; bytes that form no GBK character become U+FFFD.
std::string gbkToUtf8(std::string_view gbk);

/// UTF-16 (native order) to GBK; characters without a GBK form become '?'.
GbkText utf16ToGbk(std::u16string_view utf16);

/// GBK to UTF-16; bytes that form no GBK character become U+FFFD.
std::u16string gbkToUtf16(std::string_view gbk);

/// True when `bytes` is well-formed UTF-8 (no overlongs, no surrogates, at most U+10FFFF).
bool isValidUtf8(std::string_view bytes);

/// UTF-8 to UTF-16 and back; portable, no code page involved.
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

}  // namespace codepage
