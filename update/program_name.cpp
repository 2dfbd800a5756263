#include "update/program_name.hpp"

namespace {

constexpr std::size_t kMaxNameBytes = 100;

bool isReservedDevice(std::string_view name) {
    // Windows takes a device name with any extension ("CON.exe", "com1.txt.exe") as the device.
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (gbk::equalsIgnoringCase(stem, device)) return true;
    }
    if (stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9') {
        const std::string_view kind = stem.substr(0, 3);
        return gbk::equalsIgnoringCase(kind, "COM") || gbk::equalsIgnoringCase(kind, "LPT");
    }
    return false;
}

}  // namespace

bool isSafeProgramName(std::string_view name) {
    if (name.size() > kMaxNameBytes || !gbk::endsWithIgnoringCase(name, ".exe")) return false;
    if (name.size() == 4) return false;  // ".exe" alone names no program
    if (name.find("..") != std::string_view::npos) return false;
    // A separator or colon byte is refused even as the second byte of a two-byte character:
    // whatever reads the name as bytes would take it for one.
    if (name.find_first_of("\\/:") != std::string_view::npos) return false;
    for (std::size_t i = 0; i < name.size(); i += gbk::charLength(name, i)) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (gbk::isLeadByte(c)) {
            // A lead byte with no trail byte, or with one that is no GBK trail byte, is no
            // character: Windows would turn it into something else.
            if (i + 1 >= name.size()) return false;
            const unsigned char trail = static_cast<unsigned char>(name[i + 1]);
            if (c == 0x80 || c == 0xFF || trail < 0x40 || trail == 0x7F || trail == 0xFF)
                return false;
            continue;
        }
        if (c < 0x20 || c == 0x7F) return false;
        if (std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
            return false;
    }
    return !isReservedDevice(name);
}
