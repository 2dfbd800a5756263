#pragma once
// The 更多设置 dialog: 双语歌词, 应用歌词偏移, 伴奏开始时自动开始, 跟随播放器 (and the one player
// to follow) and the five global hotkeys.

#include <windows.h>

#include "app/more_settings.hpp"
#include "platform/message_box.hpp"

namespace more_settings_dialog {

// Control ids, for the dialog's own code and for tests that drive it.
constexpr int kBilingual = 101;       // drop-down list: 逐行, 原文, 译文, 合并
constexpr int kApplyOffset = 102;     // check box
constexpr int kStartWithAudio = 103;  // check box
constexpr int kFollowPlayer = 104;    // check box 跟随播放器
constexpr int kPinnedPlayer = 105;    // edit box: the one player to follow, empty for any
constexpr int kAudioDevice = 106;     // drop-down list: the system's default, then each device
constexpr int kFirstHotkey = 110;     // edit boxes kFirstHotkey + action

/// Shows the dialog over `owner` (disabled meanwhile) until OK or Cancel. OK takes the choices
/// into `settings` once every hotkey text is good (a faulty one is refused with a message and
/// the dialog stays) and returns true; Cancel or the close box returns false and leaves
/// `settings` as it was.
bool run(HWND owner, HFONT font, MoreSettings& settings, MessageBoxes& boxes);

}  // namespace more_settings_dialog
