#include "app/network_settings.hpp"

#include <charconv>
#include <string>

#include "app/profile_codec.hpp"
#include "platform/files.hpp"

namespace {

constexpr std::string_view kSection = "network";

// A limit that is not a positive whole number keeps its default: a zero would mean "no limit"
// to some clients and hang the fetch it was meant to bound.
template <typename T>
void readPositive(std::string_view content, std::string_view key, T& value) {
    const GbkText text = profile::getString(content, kSection, key, "");
    T parsed{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
    if (!text.empty() && ec == std::errc() && ptr == end && parsed > 0) value = parsed;
}

}  // namespace

NetworkSettings readNetworkSettings(std::string_view content) {
    NetworkSettings settings;
    settings.lyricSite = profile::getString(content, kSection, "lyric_site", "");
    const GbkText lrclib = profile::getString(content, kSection, "lrclib", "");
    if (!lrclib.empty()) settings.lrclib = lrclib;
    const GbkText source = profile::getString(content, kSection, "source", "");
    if (findSource(source)) settings.source = source;
    readPositive(content, "connect_timeout", settings.limits.connectSeconds);
    readPositive(content, "idle_timeout", settings.limits.idleSeconds);
    readPositive(content, "total_timeout", settings.limits.totalSeconds);
    readPositive(content, "max_bytes", settings.limits.maxBytes);
    return settings;
}

GbkText networkIniPath(const GbkText& folder) { return files::join(folder, "cantorel.ini"); }

NetworkSettings loadNetworkSettings(const GbkText& folder) {
    return readNetworkSettings(files::readAll(networkIniPath(folder)).value_or(""));
}

bool saveSourceChoice(const GbkText& folder, std::string_view sourceId) {
    const GbkText path = networkIniPath(folder);
    std::optional<std::string> content = files::readAll(path);
    // A file that is there but unreadable holds the user's addresses; never write over it.
    if (!content && files::exists(path)) return false;
    std::string text = content.value_or("");
    if (profile::getString(text, kSection, "source", "") == sourceId) return true;
    profile::setString(text, kSection, "source", sourceId);
    return files::writeAtomically(path, text);
}
