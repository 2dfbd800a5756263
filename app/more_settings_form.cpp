#include "app/more_settings_form.hpp"

#include <optional>

namespace {

constexpr std::array<std::string_view, kHotkeyActions> kCaptions = {
    "开始/停止字幕", "字幕推迟 0.1 秒", "字幕提前 0.1 秒", "跳到下一行", "跳到上一行",
};

std::string quoted(int field) {
    return "「" + std::string(kCaptions[static_cast<std::size_t>(field)]) + "」";
}

}  // namespace

std::string_view hotkeyCaption(HotkeyAction action) {
    return kCaptions[static_cast<std::size_t>(action)];
}

HotkeyCheck takeHotkeyTexts(const HotkeyTexts& texts, MoreSettings& settings) {
    std::array<std::optional<Hotkey>, kHotkeyActions> keys;
    for (int i = 0; i < kHotkeyActions; ++i) {
        const std::string& text = texts[static_cast<std::size_t>(i)];
        if (text.find_first_not_of(" \t") == std::string::npos) continue;  // switched off
        keys[static_cast<std::size_t>(i)] = parseHotkey(text);
        if (!keys[static_cast<std::size_t>(i)]) {
            return {i, quoted(i) + "的热键无法识别：" + text +
                           "\r\n\r\n写法如 Ctrl+Alt+S、Ctrl+Shift+F5、Alt+PageDown，须含 Ctrl、"
                           "Alt 或 Win；留空则不用这个热键。"};
        }
        // One chord can be registered only once: the second action would never fire.
        for (int j = 0; j < i; ++j) {
            if (keys[static_cast<std::size_t>(j)] == keys[static_cast<std::size_t>(i)]) {
                return {i, quoted(i) + "与" + quoted(j) + "的热键相同：" +
                               hotkeyName(*keys[static_cast<std::size_t>(i)])};
            }
        }
    }
    for (int i = 0; i < kHotkeyActions; ++i) {
        HotkeySetting& setting = settings.hotkeys[static_cast<std::size_t>(i)];
        setting.action = static_cast<HotkeyAction>(i);
        setting.key = keys[static_cast<std::size_t>(i)];
        setting.text = setting.key ? hotkeyName(*setting.key) : std::string();
    }
    return {};
}
