#pragma once
// cantorel.ini beside the program: the settings that kvd.ini has no place for, one section per
// owner ([lyrics], [hotkeys], [network], ...). The program never erases it, and a write keeps
// every section and key it does not set.

#include <string_view>
#include <utility>
#include <vector>

#include "text/gbk_text.hpp"

namespace cantorel_ini {

using Values = std::vector<std::pair<std::string_view, GbkText>>;

/// `folder` + "cantorel.ini".
GbkText path(const GbkText& folder);

/// The file's content; empty when it is missing or unreadable.
std::string read(const GbkText& folder);

/// The value of `key` in `section` of `content` (profile reading rules), `fallback` when the
/// section or key is missing.
GbkText value(std::string_view content, std::string_view section, std::string_view key,
              std::string_view fallback);

/// Sets `values` in `section` and writes the file through a temporary one. With `onlyMissing`
/// a key that is already there keeps what the user wrote. False when the file could not be
/// written, or exists but could not be read (writing then would lose the other sections).
bool write(const GbkText& folder, std::string_view section, const Values& values,
           bool onlyMissing = false);

}  // namespace cantorel_ini
