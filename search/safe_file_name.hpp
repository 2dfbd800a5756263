#pragma once
// File names made from text that came over the network. Whatever the text, the result names a
// file inside the given folder.

#include <string_view>

#include "text/gbk_text.hpp"

/// `name` as a Windows and Linux file name: \ / : * ? " < > | and control bytes become "_"
/// (only whole characters are looked at; a valid two-byte character is kept, a byte that forms
/// none becomes "_"), blanks and dots at both ends go, a reserved device name (CON, PRN, AUX,
/// NUL, COM1-COM9, LPT1-LPT9, any case, with or without extension) gets "_" after the device
/// name, an empty name becomes "歌词", and the result is cut to 120 bytes at a character start.
/// A name Windows would take for the 8.3 short alias of another file ("SONGLY~1": at most eight
/// bytes before the first dot, ending in "~" and digits) has its "~" turned into "_".
GbkText safeFileName(const GbkText& name);

/// True when Windows opens a file of this stem (the name before its first dot) as a device:
/// CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9 in any case, blanks after it ignored.
bool isReservedDeviceName(std::string_view stem);

/// Where the lyric of `song` is saved: `folder` (the text of 编辑框1) when it is an existing
/// folder, else the program folder, joined with the safe name of `song` and ".lrc".
GbkText lyricSavePath(const GbkText& folder, const GbkText& song);

/// The first of "name (2).ext", "name (3).ext", ... beside `path` that names no file; `path`
/// itself when no file has its name.
GbkText nextFreePath(const GbkText& path);
