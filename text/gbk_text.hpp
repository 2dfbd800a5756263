#pragma once
// GbkText: the text type of the whole program, a byte string in code page 936.
// Lengths and positions count bytes. A byte >= 0x80 starts a two-byte character, and
// every search, split and cut here steps over such characters whole.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using GbkText = std::string;

namespace gbk {

/// True when `b` starts a two-byte character.
constexpr bool isLeadByte(unsigned char b) { return b >= 0x80; }

/// Byte length of the character starting at `pos` (1 or 2; 1 for a lead byte at the very end).
std::size_t charLength(std::string_view text, std::size_t pos);

/// The text up to its first NUL byte: a byte buffer taken as text ends there.
std::string_view cutAtNul(std::string_view bytes);

/// 0-based byte offset of the first occurrence of `needle` starting at a character start at or
/// after `from` (which must itself be a character start), or nullopt. An empty needle matches at
/// `from` when `from` <= size.
std::optional<std::size_t> find(std::string_view text, std::string_view needle,
                                std::size_t from = 0);

/// True when `needle` occurs in `text` at a character start.
bool contains(std::string_view text, std::string_view needle);

/// Split rule: one field before every delimiter (adjacent delimiters give empty fields); the
/// rest after the last delimiter is a field only when not empty; an empty text gives no fields.
std::vector<GbkText> split(std::string_view text, std::string_view delimiter);

/// The text after the first `start` up to the next `end`; empty when either is missing.
GbkText textBetween(std::string_view text, std::string_view start, std::string_view end);

/// Replaces every occurrence of `from` (left to right, non-overlapping, at character starts).
GbkText replaceAll(std::string_view text, std::string_view from, std::string_view to);

/// The characters of `text` in order, each one or two bytes.
std::vector<std::string_view> characters(std::string_view text);

/// Full-width ASCII (A3A1-A3FE) to ASCII, A1A1 to a space, A1AB to '~', A1EE/A1EF to '*'.
GbkText toHalfWidth(std::string_view text);

/// `c` in lower case when it is an ASCII capital letter; any other byte as it is.
constexpr char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

/// True when `a` and `b` are the same text with ASCII letters compared without case. Only
/// single-byte characters fold: the trail byte of a two-byte character can be a letter
/// (0x41..0x5A), and folding it would match a different character.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

/// True when `text` ends with `suffix`, compared as equalsIgnoringCase does.
bool endsWithIgnoringCase(std::string_view text, std::string_view suffix);

/// Where the file name in `path` begins: after the last '/' or '\\' that is a character of its
/// own ("\\" is also the second byte of some GBK characters); 0 when there is none.
std::size_t fileNameStart(std::string_view path);

/// True when the last character of `path` is '/' or '\\' (the one rule for "ends with a
/// separator": a two-byte character ending in 0x5C is no separator).
bool endsWithSeparator(std::string_view path);

/// Removes ASCII spaces and the full-width space (A1 A1) at both ends.
GbkText trimBlanks(std::string_view text);

}  // namespace gbk
