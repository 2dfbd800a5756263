#include "win32/hotkeys_win32.hpp"

#include <string>
#include <vector>

namespace {

// Ids of an application's hotkeys lie below 0xC000.
constexpr int kFirstId = 0xB000;

struct NamedKey {
    const char* name;
    UINT code;
};
constexpr NamedKey kNamedKeys[] = {
    {"PageDown", VK_NEXT},
    {"PageUp", VK_PRIOR},
    {"Home", VK_HOME},
    {"End", VK_END},
    {"Insert", VK_INSERT},
    {"Delete", VK_DELETE},
    {"Space", VK_SPACE},
    {"Pause", VK_PAUSE},
    // On US and Chinese keyboards the bracket keys are the OEM 4 and 6 keys.
    {"[", VK_OEM_4},
    {"]", VK_OEM_6},
};

UINT keyCode(const std::string& key) {
    if (key.size() == 1 && ((key[0] >= 'A' && key[0] <= 'Z') || (key[0] >= '0' && key[0] <= '9')))
        return static_cast<UINT>(key[0]);
    for (const NamedKey& named : kNamedKeys) {
        if (key == named.name) return named.code;
    }
    if (key.size() >= 2 && key.size() <= 3 && key[0] == 'F') {
        int n = 0;
        for (char c : key.substr(1)) {
            if (c < '0' || c > '9') return 0;
            n = n * 10 + (c - '0');
        }
        if (n >= 1 && n <= 12) return static_cast<UINT>(VK_F1 + n - 1);
    }
    return 0;
}

}  // namespace

bool win32Chord(const Hotkey& key, UINT& modifiers, UINT& virtualKey) {
    virtualKey = keyCode(key.key);
    // Held keys repeat; a start/stop that toggles with every repeat would be useless.
    modifiers = MOD_NOREPEAT;
    if (key.ctrl) modifiers |= MOD_CONTROL;
    if (key.alt) modifiers |= MOD_ALT;
    if (key.shift) modifiers |= MOD_SHIFT;
    if (key.win) modifiers |= MOD_WIN;
    return virtualKey != 0;
}

GbkText Win32Hotkeys::registerAll(const std::array<HotkeySetting, kHotkeyActions>& hotkeys) {
    unregisterAll();
    std::vector<std::string> taken, unreadable;
    for (const HotkeySetting& setting : hotkeys) {
        if (!setting.key) {
            if (setting.text.find_first_not_of(" \t") != std::string::npos)
                unreadable.push_back(setting.text);
            continue;
        }
        UINT modifiers = 0, code = 0;
        if (!win32Chord(*setting.key, modifiers, code)) {
            unreadable.push_back(setting.text);
            continue;
        }
        const int index = static_cast<int>(setting.action);
        // Whatever the reason a chord is refused, the user cannot have it: it reads as taken.
        if (RegisterHotKey(window_, idOf(setting.action), modifiers, code))
            registered_[static_cast<std::size_t>(index)] = true;
        else
            taken.push_back(hotkeyName(*setting.key));
    }
    anyTaken_ = !taken.empty();
    return hotkeyProblems(taken, unreadable);
}

void Win32Hotkeys::unregisterAll() {
    for (int i = 0; i < kHotkeyActions; ++i) {
        if (!registered_[static_cast<std::size_t>(i)]) continue;
        UnregisterHotKey(window_, idOf(static_cast<HotkeyAction>(i)));
        registered_[static_cast<std::size_t>(i)] = false;
    }
}

int Win32Hotkeys::idOf(HotkeyAction action) { return kFirstId + static_cast<int>(action); }

std::optional<HotkeyAction> Win32Hotkeys::actionOf(WPARAM id) const {
    const auto index = static_cast<long long>(id) - kFirstId;
    if (index < 0 || index >= kHotkeyActions) return std::nullopt;
    return static_cast<HotkeyAction>(index);
}
