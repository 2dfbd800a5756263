// Song names as any page or API might send them: the file name made of one is always a single
// safe name inside the lyric folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/files.hpp"
#include "search/safe_file_name.hpp"

namespace {

// The sanitiser's idea of a two-byte character: both bytes must be able to form one.
bool isDoubleByte(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x81 || lead > 0xFE || pos + 1 >= text.size()) return false;
    const auto trail = static_cast<unsigned char>(text[pos + 1]);
    return trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

void checkSafe(std::string_view name) {
    if (name.empty() || name.size() > 120) std::abort();
    std::size_t pos = 0;
    while (pos < name.size()) {
        if (isDoubleByte(name, pos)) {
            pos += 2;
            continue;
        }
        const auto b = static_cast<unsigned char>(name[pos]);
        // A stray high byte could join the next byte into a character when Windows decodes it
        // (a lone lead byte at the end is a name cut inside a character); separators, reserved
        // characters and control bytes must not survive at all.
        if (b >= 0x80 || b < 0x20 || b == 0x7F ||
            std::string_view("\\/:*?\"<>|").find(static_cast<char>(b)) != std::string_view::npos) {
            std::abort();
        }
        ++pos;
    }
    const auto edge = [](char c) { return c == ' ' || c == '.'; };
    if (edge(name.front()) || edge(name.back())) std::abort();
    // Windows would open the device, not a file, for this name.
    if (isReservedDeviceName(name.substr(0, name.find('.')))) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const GbkText name(reinterpret_cast<const char*>(data), size);
    const GbkText safe = safeFileName(name);
    checkSafe(safe);
    // A safe name is left as it is.
    if (safeFileName(safe) != safe) std::abort();

    // The saved path is the folder, one separator and the name: it never leaves the folder.
    const GbkText folder = files::programFolder();
    const GbkText path = lyricSavePath("/nonexistent-cantorel-folder", name);
    if (path != files::join(folder, safe + ".lrc")) std::abort();
    return 0;
}
