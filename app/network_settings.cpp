#include "app/network_settings.hpp"

#include <charconv>
#include <string>

#include "app/cantorel_ini.hpp"

namespace {

constexpr std::string_view kNetworkSection = "network";

// A limit that is not a positive whole number keeps its default: a zero would mean "no limit"
// to some clients and hang the fetch it was meant to bound.
template <typename T>
void readPositive(std::string_view content, std::string_view key, T& value) {
    const GbkText text = cantorel_ini::value(content, kNetworkSection, key, "");
    T parsed{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
    if (!text.empty() && ec == std::errc() && ptr == end && parsed > 0) value = parsed;
}

}  // namespace

NetworkSettings readNetworkSettings(std::string_view content) {
    NetworkSettings settings;
    settings.lyricSite = cantorel_ini::value(content, kNetworkSection, "lyric_site", "");
    const GbkText lrclib = cantorel_ini::value(content, kNetworkSection, "lrclib", "");
    if (!lrclib.empty()) settings.lrclib = lrclib;
    const GbkText netease = cantorel_ini::value(content, kNetworkSection, "netease", "");
    if (!netease.empty()) settings.netease = netease;
    const GbkText qq = cantorel_ini::value(content, kNetworkSection, "qq", "");
    if (!qq.empty()) settings.qq = qq;
    const GbkText source = cantorel_ini::value(content, kNetworkSection, "source", "");
    if (isSourceChoice(source)) settings.source = source;
    readPositive(content, "connect_timeout", settings.limits.connectSeconds);
    readPositive(content, "idle_timeout", settings.limits.idleSeconds);
    readPositive(content, "total_timeout", settings.limits.totalSeconds);
    readPositive(content, "max_bytes", settings.limits.maxBytes);
    return settings;
}

GbkText networkIniPath(const GbkText& folder) { return cantorel_ini::path(folder); }

NetworkSettings loadNetworkSettings(const GbkText& folder) {
    return readNetworkSettings(cantorel_ini::read(folder));
}

bool saveSourceChoice(const GbkText& folder, std::string_view sourceId) {
    return cantorel_ini::write(folder, kNetworkSection, {{"source", GbkText(sourceId)}});
}
