#pragma once
// The Windows profile-file (ini) semantics of GetPrivateProfileStringA / WritePrivateProfileStringA
// over one file held in memory as GBK bytes. Cantorel.exe, the command line and the tests all go
// through this one codec, so kvd.ini reads and writes the same on every platform.
//
// File shape: lines end at CR LF, a lone CR or a lone LF. A section starts at a line "[name]"
// (blanks around it allowed) and runs to the next section line. A key line is "name=value".
// Lines of any other shape (comments, blank lines) are kept as they are.

#include <cstddef>
#include <string>
#include <string_view>

#include "text/gbk_text.hpp"

namespace profile {

/// The read buffer of the settings store: a value comes back with at most 10239 bytes.
constexpr std::size_t kReadBufferSize = 10240;

/// The value of `key` in the first section named `section` (both matched ignoring ASCII case),
/// with the profile reading rules: blanks around the value removed, then one pair of enclosing
/// matching quotes (" or ') removed, then cut to at most `bufferSize` - 1 bytes without splitting
/// a two-byte character. `defaultValue` (cut the same way) when the section or key is missing.
GbkText getString(std::string_view content, std::string_view section, std::string_view key,
                  std::string_view defaultValue, std::size_t bufferSize = kReadBufferSize);

/// Sets `key` = `value` in `section` with the profile writing rules: an existing key's line is
/// replaced in place (keeping the key's spelling), a new key goes after the last non-blank line of
/// its section, a missing section is appended at the end. Everything else stays byte for byte.
/// New lines end in CR LF. A value holding a line break is stored up to that break only: the rest
/// could never be read back, and written raw it would become a stray line of its own.
void setString(std::string& content, std::string_view section, std::string_view key,
               std::string_view value);

}  // namespace profile
