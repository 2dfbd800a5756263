#pragma once
// The command line's console, picked at build time (posix or win32): the arguments as UTF-8
// whatever code page the console uses, and text written so the console shows it.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace console {

/// The program's arguments after its name, as UTF-8. On Windows they are read as UTF-16 from
/// the command line, so Chinese arrives intact under any code page; `argv` is used elsewhere.
std::vector<std::string> arguments(int argc, char** argv);

/// Writes UTF-8 `text` to `stream` (stdout or stderr): as UTF-16 to a Windows console, which
/// shows it whatever its code page; as the UTF-8 bytes to a file, a pipe or a Linux terminal.
void write(std::FILE* stream, std::string_view text);

}  // namespace console
