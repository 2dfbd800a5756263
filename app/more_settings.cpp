#include "app/more_settings.hpp"

#include <cctype>

#include "app/cantorel_ini.hpp"

namespace {

constexpr std::string_view kLyrics = "lyrics";
constexpr std::string_view kAudio = "audio";
constexpr std::string_view kHotkeys = "hotkeys";
constexpr int kNudgeStepMs = 100;

struct ActionEntry {
    std::string_view iniKey;
    // Not Ctrl+Alt+arrows: common graphics drivers turn the screen on those.
    std::string_view chord;
};
constexpr std::array<ActionEntry, kHotkeyActions> kActions = {{
    {"start_stop", "Ctrl+Alt+S"},
    {"nudge_later", "Ctrl+Alt+]"},
    {"nudge_earlier", "Ctrl+Alt+["},
    {"next_line", "Ctrl+Alt+PageDown"},
    {"previous_line", "Ctrl+Alt+PageUp"},
}};

constexpr std::string_view kNamedKeys[] = {"PageDown", "PageUp", "Home",  "End",
                                           "Insert",   "Delete", "Space", "Pause"};

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

/// The key part in its one spelling, or empty when it names no key.
std::string canonicalKey(std::string_view part) {
    if (part.size() == 1) {
        const unsigned char c = static_cast<unsigned char>(part[0]);
        if (std::isalnum(c)) return std::string(1, static_cast<char>(std::toupper(c)));
        if (c == '[' || c == ']') return std::string(part);
        return {};
    }
    for (std::string_view named : kNamedKeys) {
        if (sameIgnoringCase(part, named)) return std::string(named);
    }
    if ((part[0] == 'F' || part[0] == 'f') && part.size() <= 3) {
        int n = 0;
        for (char c : part.substr(1)) {
            if (c < '0' || c > '9') return {};
            n = n * 10 + (c - '0');
        }
        if (n >= 1 && n <= 12) return "F" + std::to_string(n);
    }
    return {};
}

}  // namespace

std::optional<Hotkey> parseHotkey(std::string_view text) {
    Hotkey key;
    text = trimmed(text);
    // The key itself may be "+"-free only; split at '+' from the left.
    while (!text.empty()) {
        const std::size_t plus = text.find('+');
        const std::string_view part = trimmed(text.substr(0, plus));
        text = plus == std::string_view::npos ? std::string_view() : text.substr(plus + 1);
        if (!key.key.empty()) return std::nullopt;  // something after the key
        bool* modifier = sameIgnoringCase(part, "ctrl")    ? &key.ctrl
                         : sameIgnoringCase(part, "alt")   ? &key.alt
                         : sameIgnoringCase(part, "shift") ? &key.shift
                         : sameIgnoringCase(part, "win")   ? &key.win
                                                           : nullptr;
        if (modifier) {
            if (*modifier) return std::nullopt;
            *modifier = true;
            continue;
        }
        key.key = canonicalKey(part);
        if (key.key.empty()) return std::nullopt;
    }
    if (key.key.empty() || !(key.ctrl || key.alt || key.win)) return std::nullopt;
    return key;
}

std::string hotkeyName(const Hotkey& key) {
    std::string name;
    if (key.ctrl) name += "Ctrl+";
    if (key.alt) name += "Alt+";
    if (key.shift) name += "Shift+";
    if (key.win) name += "Win+";
    return name + key.key;
}

std::string_view hotkeyIniKey(HotkeyAction action) {
    return kActions[static_cast<int>(action)].iniKey;
}

std::string_view defaultHotkey(HotkeyAction action) {
    return kActions[static_cast<int>(action)].chord;
}

MoreSettings loadMoreSettings(const GbkText& folder) {
    const std::string content = cantorel_ini::read(folder);
    MoreSettings settings;
    const GbkText mode = cantorel_ini::value(content, kLyrics, "bilingual", "lines");
    settings.shape.bilingual = bilingualFromName(mode).value_or(Bilingual::Lines);
    settings.shape.applyOffset = cantorel_ini::value(content, kLyrics, "apply_offset", "0") == "1";
    settings.startWithAudio = cantorel_ini::value(content, kLyrics, "start_with_audio", "0") == "1";
    settings.audioDevice = gbk::trimBlanks(cantorel_ini::value(content, kAudio, "device", ""));
    for (int i = 0; i < kHotkeyActions; ++i) {
        const auto action = static_cast<HotkeyAction>(i);
        HotkeySetting& setting = settings.hotkeys[static_cast<std::size_t>(i)];
        setting.action = action;
        setting.text =
            cantorel_ini::value(content, kHotkeys, hotkeyIniKey(action), defaultHotkey(action));
        setting.key = parseHotkey(setting.text);
    }
    settings.follow = loadFollowSettings(folder);
    return settings;
}

bool saveMoreSettings(const GbkText& folder, const MoreSettings& settings) {
    const bool lyrics =
        cantorel_ini::write(folder, kLyrics,
                            {{"bilingual", GbkText(bilingualName(settings.shape.bilingual))},
                             {"apply_offset", settings.shape.applyOffset ? "1" : "0"},
                             {"start_with_audio", settings.startWithAudio ? "1" : "0"}});
    const bool audio = cantorel_ini::write(folder, kAudio, {{"device", settings.audioDevice}});
    cantorel_ini::Values keys;
    for (const HotkeySetting& setting : settings.hotkeys)
        keys.emplace_back(hotkeyIniKey(setting.action), setting.text);
    const bool hotkeys = cantorel_ini::write(folder, kHotkeys, keys);
    const bool follow = saveFollowSettings(folder, settings.follow);
    return lyrics && audio && hotkeys && follow;
}

GbkText hotkeyProblems(const std::vector<std::string>& taken,
                       const std::vector<std::string>& unreadable) {
    auto joined = [](const std::vector<std::string>& names) {
        GbkText text;
        for (std::size_t i = 0; i < names.size(); ++i) text += (i ? "、" : "") + names[i];
        return text;
    };
    GbkText message;
    if (!taken.empty()) message = "热键已被其他程序占用：" + joined(taken);
    if (!unreadable.empty())
        message += (message.empty() ? "" : "；") + GbkText("热键无法识别：") + joined(unreadable);
    return message;
}

void runHotkey(HotkeyAction action, PlaybackEngine& engine) {
    switch (action) {
        case HotkeyAction::StartStop:
            engine.startStop();
            break;
        case HotkeyAction::NudgeLater:
            engine.nudge(kNudgeStepMs);
            break;
        case HotkeyAction::NudgeEarlier:
            engine.nudge(-kNudgeStepMs);
            break;
        case HotkeyAction::NextLine:
            engine.jumpBy(1);
            break;
        case HotkeyAction::PreviousLine:
            engine.jumpBy(-1);
            break;
    }
}
