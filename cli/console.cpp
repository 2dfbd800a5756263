#include "cli/console.hpp"

#include <cstdarg>
#include <cstdio>

#include "cli/arguments.hpp"
#include "platform/console.hpp"
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

void say(std::FILE* stream, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int size = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (size > 0) {
        std::string text(static_cast<std::size_t>(size) + 1, '\0');
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<std::size_t>(size));
        console::write(stream, text);
    }
    va_end(again);
}

void put(const char* text, std::FILE* stream) { console::write(stream, text); }

int ConsoleMessageBoxes::show(const GbkText& text, const GbkText& title, unsigned) {
    say(stderr, "%s: %s\n", printable(title).c_str(), printable(text).c_str());
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
