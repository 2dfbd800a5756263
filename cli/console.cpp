#include "cli/console.hpp"

#include <cstdio>

#include "cli/arguments.hpp"
#include "text/codepage.hpp"

namespace cli {

int ConsoleMessageBoxes::show(const GbkText& text, const GbkText& title, unsigned) {
    std::fprintf(stderr, "%s: %s\n", codepage::gbkToUtf8(title).c_str(),
                 codepage::gbkToUtf8(text).c_str());
    shown_ = true;
    return mb::kIdOk;
}

void chooseFile(MainUnits& units, const GbkText& path) {
    const std::size_t nameStart = fileNameStart(path);
    units.文件框1.setFolder(nameStart == 0 ? GbkText(".") : path.substr(0, nameStart));
    units.文件框1.setSelectedName(path.substr(nameStart));
}

}  // namespace cli
