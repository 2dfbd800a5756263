#pragma once
// The word-list files qz.zbb (prefixes) and hz.zbb (suffixes): a little-endian item count
// (16-bit; 0xFFFF escapes to a 32-bit count that follows), then each item as a signed 32-bit
// length and that many GBK bytes. A length of 0 or less is an empty item with no bytes.

#include <string>
#include <string_view>
#include <vector>

#include "text/gbk_text.hpp"

namespace lists {

/// The items of a list file's bytes. Missing or empty bytes give no items; a file cut short or
/// declaring more than it holds gives the items read before the damage.
std::vector<GbkText> decodeListFile(std::string_view bytes);

/// The bytes of a list file holding `items` in order.
std::string encodeListFile(const std::vector<GbkText>& items);

/// The items of the list file at `path`; none when it is missing or unreadable.
std::vector<GbkText> readListFile(const GbkText& path);

/// Replaces the list file at `path` through a temporary file, so a failed write leaves the
/// previous file whole. False when the file could not be written.
bool writeListFile(const GbkText& path, const std::vector<GbkText>& items);

}  // namespace lists
