#pragma once
// The hotkey texts of the 更多设置 dialog, checked before anything is saved: a text either
// switches its key off (empty) or names a chord no other action uses.

#include <array>
#include <string>
#include <string_view>

#include "app/more_settings.hpp"
#include "text/gbk_text.hpp"

using HotkeyTexts = std::array<std::string, kHotkeyActions>;

/// What `action` is called in the dialog and its messages: 开始/停止字幕, 字幕推迟 0.1 秒, ...
std::string_view hotkeyCaption(HotkeyAction action);

struct HotkeyCheck {
    int field = -1;   // the first text refused (an action's index); -1 when all were taken
    GbkText message;  // why it was refused, for a message box
};

/// Takes the typed texts into `settings`, each chord in its one spelling ("ctrl+alt+s" becomes
/// "Ctrl+Alt+S"). When a text names no chord, or two actions name the same one, `settings`
/// stays as it was and the result says which text and why.
HotkeyCheck takeHotkeyTexts(const HotkeyTexts& texts, MoreSettings& settings);
