#include "win32/wide_path.hpp"

#include <map>
#include <mutex>

#include "win32/wide_text.hpp"

namespace win32 {
namespace {

struct StandIns {
    std::mutex lock;
    std::map<GbkText, std::wstring> real;     // stand-in -> real path
    std::map<std::wstring, GbkText> standIn;  // real path -> stand-in
};

StandIns& standIns() {
    static StandIns table;
    return table;
}

// "a?b~2.lrc" for the second real name that would show as "a?b.lrc".
GbkText numbered(const GbkText& text, int number) {
    const std::size_t slash = text.find_last_of('\\');
    std::size_t dot = text.find_last_of('.');
    if (dot == GbkText::npos || (slash != GbkText::npos && dot < slash)) dot = text.size();
    return text.substr(0, dot) + "~" + std::to_string(number) + text.substr(dot);
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The stand-in `prefix` + `text` (numbered when taken) for the real path `real`.
GbkText remember(const GbkText& prefix, const GbkText& text, const std::wstring& real) {
    StandIns& table = standIns();
    const std::lock_guard<std::mutex> held(table.lock);
    if (auto known = table.standIn.find(real); known != table.standIn.end()) return known->second;
    GbkText standIn = prefix + text;
    for (int number = 2; table.real.count(standIn) != 0; ++number)
        standIn = prefix + numbered(text, number);
    table.real.emplace(standIn, real);
    table.standIn.emplace(real, standIn);
    return standIn;
}

}  // namespace

GbkText pathText(std::wstring_view real) {
    const GbkText text = narrow(real);
    if (wide(text) == real) return text;
    return remember({}, text, std::wstring(real));
}

GbkText nameText(const GbkText& folder, std::wstring_view realName) {
    const GbkText text = narrow(realName);
    if (wide(text) == realName) return text;
    const bool separated = folder.empty() || gbk::endsWithSeparator(folder);
    const GbkText prefix = separated ? folder : folder + "\\";
    std::wstring real = widePath(folder);
    if (!real.empty() && real.back() != L'\\' && real.back() != L'/') real += L'\\';
    return remember(prefix, text, real + std::wstring(realName)).substr(prefix.size());
}

std::wstring widePath(const GbkText& path) {
    StandIns& table = standIns();
    const std::lock_guard<std::mutex> held(table.lock);
    // The longest stand-in the path starts with, ending where a path component ends.
    const std::pair<const GbkText, std::wstring>* best = nullptr;
    for (const auto& entry : table.real) {
        const GbkText& standIn = entry.first;
        if (path.size() < standIn.size() || path.compare(0, standIn.size(), standIn) != 0) continue;
        if (path.size() > standIn.size() && !isSeparator(path[standIn.size()])) continue;
        if (!best || standIn.size() > best->first.size()) best = &entry;
    }
    if (!best) return wide(path);
    return best->second + wide(std::string_view(path).substr(best->first.size()));
}

}  // namespace win32
