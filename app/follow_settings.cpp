#include "app/follow_settings.hpp"

#include <charconv>
#include <string>

#include "app/cantorel_ini.hpp"

namespace {

constexpr std::string_view kFollow = "follow";
constexpr std::string_view kOffsets = "follow_offsets";
constexpr int kMaxOffsetMs = 600000;

// An app id as a profile key: '=' would end the key, and blanks around it would be trimmed
// away on reading.
GbkText keyFor(const GbkText& player) {
    GbkText key;
    for (const char c : player) key += c == '=' || c == '[' || c == ']' || c == ' ' ? '_' : c;
    return key.empty() ? GbkText("_") : key;
}

}  // namespace

FollowSettings loadFollowSettings(const GbkText& folder) {
    const std::string content = cantorel_ini::read(folder);
    FollowSettings settings;
    settings.enabled = cantorel_ini::value(content, kFollow, "enabled", "0") == "1";
    settings.pinnedPlayer = cantorel_ini::value(content, kFollow, "pinned_player", "");
    return settings;
}

bool saveFollowSettings(const GbkText& folder, const FollowSettings& settings) {
    return cantorel_ini::write(
        folder, kFollow,
        {{"enabled", settings.enabled ? "1" : "0"}, {"pinned_player", settings.pinnedPlayer}});
}

int IniPlayerOffsets::offsetMs(const GbkText& player) {
    const GbkText text =
        cantorel_ini::value(cantorel_ini::read(folder_), kOffsets, keyFor(player), "0");
    int ms = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, ms);
    if (ec != std::errc() || ptr != end || ms < -kMaxOffsetMs || ms > kMaxOffsetMs) return 0;
    return ms;
}

void IniPlayerOffsets::setOffsetMs(const GbkText& player, int ms) {
    if (ms < -kMaxOffsetMs) ms = -kMaxOffsetMs;
    if (ms > kMaxOffsetMs) ms = kMaxOffsetMs;
    // A failed write loses only this nudge's memory; following goes on with it.
    cantorel_ini::write(folder_, kOffsets, {{keyFor(player), std::to_string(ms)}});
}
