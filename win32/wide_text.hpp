#pragma once
// GbkText at the W functions of Windows: UTF-16 converted with code page 936 whatever the
// system's ANSI code page is (the A functions would read GBK as Latin-1 on a Western system).

#include <string>
#include <string_view>

#include "text/gbk_text.hpp"

namespace win32 {

/// GBK bytes to a wide string.
std::wstring wide(std::string_view gbk);

/// A wide string to GBK bytes ('?' for characters GBK lacks).
GbkText narrow(std::wstring_view text);

}  // namespace win32
