#pragma once
// Where the new program goes. The name comes from the network, so it must be a plain program
// file name in the program folder and nothing else.

#include <optional>

#include "text/gbk_text.hpp"

/// True for a bare file name ending in ".exe" (any case) of at most 100 bytes: no path
/// separator, no drive or stream colon, no "..", no control byte, broken two-byte character or
/// character Windows forbids in names, and not a reserved device name (CON, PRN, AUX, NUL,
/// COM1-9, LPT1-9, with any extension). Leading blanks are part of the name.
bool isSafeProgramName(std::string_view name);
