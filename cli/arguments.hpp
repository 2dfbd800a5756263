#pragma once
// Command-line arguments as the commands read them: text in GBK, file paths cut into the folder
// and name the file list takes.

#include <cstddef>
#include <string>

#include "text/codepage.hpp"
#include "text/gbk_text.hpp"

namespace cli {

/// An argument in GBK. Arguments come as UTF-8 from a Linux shell; a Chinese Windows console
/// hands over GBK, which is almost never valid UTF-8 and passes unchanged.
inline GbkText argumentText(const std::string& arg) {
    return codepage::isValidUtf8(arg) ? codepage::utf8ToGbk(arg) : GbkText(arg);
}

using gbk::fileNameStart;

}  // namespace cli
