#pragma once
// Paths between Windows, which names files in UTF-16, and the program, which carries them as
// GbkText. A name GBK can hold passes exactly. A name it cannot hold (Korean, emoji, "♪",
// "・") gets a stand-in: each character GBK lacks shows as '?', which no Windows file name can
// contain, so the stand-in never names another file; the real name is remembered here and
// every file service turns the stand-in back into it.

#include <string>
#include <string_view>

#include "text/gbk_text.hpp"

namespace win32 {

/// The GbkText the program carries for the real path or name `real`: the exact GBK form when
/// it converts back to `real` unchanged, else a stand-in kept with `real` (the same stand-in
/// every time; two real names never share one).
GbkText pathText(std::wstring_view real);

/// The name to join to `folder` (as the program carries it) for the file `realName` in it:
/// exact when GBK holds it, else a stand-in whose joined path leads back to the real file.
GbkText nameText(const GbkText& folder, std::wstring_view realName);

/// The real UTF-16 path of `path`: a stand-in (or a path inside a stand-in folder) becomes
/// the real path it was made for; any other path is converted from GBK.
std::wstring widePath(const GbkText& path);

}  // namespace win32
