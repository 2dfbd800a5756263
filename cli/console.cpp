#include "cli/console.hpp"

#include <cstdio>

#include "cli/arguments.hpp"
#include "text/codepage.hpp"
#include "text/web_address.hpp"

namespace cli {

std::string printable(const GbkText& text) {
    std::string out = codepage::gbkToUtf8(text);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && c != '\t') || b == 0x7F) c = '?';
    }
    return out;
}

std::string printableAddress(const GbkText& url) {
    return printable(web_address::withoutPassword(url));
}

int ConsoleMessageBoxes::show(const GbkText& text, const GbkText& title, unsigned) {
    std::fprintf(stderr, "%s: %s\n", printable(title).c_str(), printable(text).c_str());
    shown_ = true;
    return mb::kIdOk;
}

std::string jsonString(const GbkText& text) {
    std::string out = "\"";
    for (const char c : codepage::gbkToUtf8(text)) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

void chooseFile(MainUnits& units, const GbkText& path) {
    const std::size_t nameStart = fileNameStart(path);
    units.文件框1.setFolder(nameStart == 0 ? GbkText(".") : path.substr(0, nameStart));
    units.文件框1.setSelectedName(path.substr(nameStart));
}

}  // namespace cli
