#pragma once
// The settings behind the 更多设置 dialog and the global hotkeys, kept in cantorel.ini:
// [lyrics] bilingual = lines|original|translation|joined, apply_offset = 0|1,
// start_with_audio = 0|1, and [hotkeys] with one chord per action ("Ctrl+Alt+S"; empty
// switches the key off).

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/follow_settings.hpp"
#include "lyrics/lyric_shaping.hpp"
#include "playback/playback_engine.hpp"
#include "text/gbk_text.hpp"

enum class HotkeyAction { StartStop, NudgeLater, NudgeEarlier, NextLine, PreviousLine };
constexpr int kHotkeyActions = 5;

/// One key chord. `key` is a letter or digit ("S"), "[", "]", a named key ("PageDown",
/// "PageUp", "Home", "End", "Insert", "Delete", "Space", "Pause") or "F1" to "F12".
struct Hotkey {
    bool ctrl = false, alt = false, shift = false, win = false;
    std::string key;
    bool operator==(const Hotkey&) const = default;
};

/// "Ctrl+Alt+S", modifiers in any order and any case, blanks around the parts ignored; nullopt
/// for an unknown key, a chord without Ctrl, Alt or Win (it would swallow plain typing) or a
/// repeated part.
std::optional<Hotkey> parseHotkey(std::string_view text);
/// The chord as the user reads it: "Ctrl+Alt+PageDown".
std::string hotkeyName(const Hotkey& key);

/// The key of `action` in [hotkeys] and its chord when the file has none.
std::string_view hotkeyIniKey(HotkeyAction action);
std::string_view defaultHotkey(HotkeyAction action);

struct HotkeySetting {
    HotkeyAction action;
    std::optional<Hotkey> key;  // nullopt: switched off or not understood
    std::string text;           // as written in the file
};

struct MoreSettings {
    LyricShape shape;
    bool startWithAudio = false;  // [lyrics] start_with_audio
    FollowSettings follow;        // [follow]
    GbkText audioDevice;          // [audio] device: the playback device listened to; empty: the
                                  // system's default device, whichever it is at the time
    std::array<HotkeySetting, kHotkeyActions> hotkeys;
};

/// Reads [lyrics], [audio], [hotkeys] and [follow] of cantorel.ini in `folder`; what is missing
/// or not understood takes its default.
MoreSettings loadMoreSettings(const GbkText& folder);
/// Writes [lyrics], [audio], [hotkeys] and [follow], every hotkey with its text as the settings
/// hold it (so a text the program could not read stays as the user wrote it).
bool saveMoreSettings(const GbkText& folder, const MoreSettings& settings);

/// The one status-bar line for hotkeys that could not be had: `taken` are chords another
/// program holds, `unreadable` texts of the file that name no chord. Empty when both are.
GbkText hotkeyProblems(const std::vector<std::string>& taken,
                       const std::vector<std::string>& unreadable);

/// What a hotkey does: start/stop as the button, nudges of 100 ms, the next or previous line.
void runHotkey(HotkeyAction action, PlaybackEngine& engine);
