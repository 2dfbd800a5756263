#pragma once
// The search text as it goes into a query address.

#include <string>

#include "text/gbk_text.hpp"

/// Percent-encodes the UTF-8 form of `text`: letters, digits and * , - . / @ _ stay, every
/// other byte becomes %XX (upper-case hex).
std::string encodeKeyword(const GbkText& text);
