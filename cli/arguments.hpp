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

/// Where the file name in `path` begins: after the last '/' or '\\' that is a character of its
/// own ("\\" is also the second byte of some GBK characters); 0 when there is none.
inline std::size_t fileNameStart(const GbkText& path) {
    std::size_t start = 0;
    for (std::size_t pos = 0; pos < path.size(); pos += gbk::charLength(path, pos)) {
        if (path[pos] == '/' || path[pos] == '\\') start = pos + 1;
    }
    return start;
}

}  // namespace cli
