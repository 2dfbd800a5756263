#include "search/safe_file_name.hpp"

#include <array>
#include <string_view>

#include "platform/files.hpp"
#include "text/gbk_markers.hpp"

namespace {

constexpr std::size_t kMaxNameBytes = 120;

bool isTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

// A two-byte character only when both bytes can form one: a lone lead byte could otherwise
// swallow a following "\" or "/" and let Windows' own decoding bring the separator back.
bool isDoubleByte(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    return lead >= 0x81 && lead <= 0xFE && pos + 1 < text.size() &&
           isTrailByte(static_cast<unsigned char>(text[pos + 1]));
}

bool isForbidden(unsigned char b) {
    return b < 0x20 || b == 0x7F ||
           std::string_view("\\/:*?\"<>|").find(static_cast<char>(b)) != std::string_view::npos;
}

bool isBlankOrDot(char c) { return c == ' ' || c == '.'; }

// Windows drops blanks and dots at the end of a name on its own; at the start they hide the file.
GbkText trimBlanksAndDots(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlankOrDot(text[begin])) ++begin;
    while (end > begin && isBlankOrDot(text[end - 1])) --end;
    return GbkText(text.substr(begin, end - begin));
}

// At most kMaxNameBytes, cut at a character start; what the cut leaves at the end is trimmed.
GbkText fitLength(GbkText safe) {
    if (safe.size() <= kMaxNameBytes) return safe;
    std::size_t cut = 0;
    while (cut < safe.size()) {
        const std::size_t next = cut + (isDoubleByte(safe, cut) ? 2 : 1);
        if (next > kMaxNameBytes) break;
        cut = next;
    }
    return trimBlanksAndDots(std::string_view(safe).substr(0, cut));
}

// "SONGLY~1": what Windows makes of a long name for programs that know only 8.3 names. Saving
// under such a name would write over whichever long-named file holds that alias.
bool isShortAlias(std::string_view stem) {
    const std::size_t tilde = stem.rfind('~');
    return stem.size() <= 8 && tilde != std::string_view::npos && tilde + 1 < stem.size() &&
           stem.find_first_not_of("0123456789", tilde + 1) == std::string_view::npos;
}

}  // namespace

bool isReservedDeviceName(std::string_view stem) {
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL"}) {
        if (gbk::equalsIgnoringCase(stem, device)) return true;
    }
    if (stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9') {
        return gbk::equalsIgnoringCase(stem.substr(0, 3), "COM") ||
               gbk::equalsIgnoringCase(stem.substr(0, 3), "LPT");
    }
    return false;
}

GbkText safeFileName(const GbkText& name) {
    GbkText safe;
    safe.reserve(name.size());
    for (std::size_t pos = 0; pos < name.size();) {
        if (isDoubleByte(name, pos)) {
            safe.append(name, pos, 2);
            pos += 2;
            continue;
        }
        const auto b = static_cast<unsigned char>(name[pos]);
        safe.push_back(b >= 0x80 || isForbidden(b) ? '_' : static_cast<char>(b));
        ++pos;
    }
    safe = fitLength(trimBlanksAndDots(safe));
    if (safe.empty()) return GbkText(gbk::marker::kLyric);

    // Windows opens the device whatever follows the name's first dot.
    const std::size_t dot = safe.find('.');
    const std::size_t stemEnd = dot == GbkText::npos ? safe.size() : dot;
    if (isReservedDeviceName(std::string_view(safe).substr(0, stemEnd))) {
        // The "_" can push a name of full length over it; the stem keeps its "_" in the cut.
        safe = fitLength(safe.substr(0, stemEnd) + "_" + safe.substr(stemEnd));
    }
    if (isShortAlias(std::string_view(safe).substr(0, stemEnd)))
        safe[safe.rfind('~', stemEnd)] = '_';
    return safe;
}

GbkText lyricSavePath(const GbkText& folder, const GbkText& song) {
    const GbkText where = files::isFolder(folder) ? folder : files::programFolder();
    return files::join(where, safeFileName(song) + ".lrc");
}

GbkText nextFreePath(const GbkText& path) {
    if (!files::exists(path)) return path;
    // The dot of the extension belongs to the file name, not to a folder above it.
    const std::size_t nameStart = gbk::fileNameStart(path);
    std::size_t dot = path.rfind('.');
    if (dot == GbkText::npos || dot < nameStart) dot = path.size();
    for (int n = 2;; ++n) {
        const GbkText candidate =
            path.substr(0, dot) + " (" + std::to_string(n) + ")" + path.substr(dot);
        if (!files::exists(candidate) || n >= 9999) return candidate;
    }
}
