#pragma once
// Click handlers of the settings panel (用户设置): the prefix and suffix lists, the auto-save
// check box and the two reversal check boxes, which exclude each other.

#include "app/settings_store.hpp"
#include "platform/message_box.hpp"
#include "ui/main_units.hpp"

namespace settings_panel {

/// 前缀_添加: appends the edit-field text of 前缀 (empty and repeated texts included).
void onAddPrefix(MainUnits& units);
/// 前缀_删除: deletes the selected item of 前缀; nothing when none is selected.
void onDeletePrefix(MainUnits& units);
/// 后缀_添加: appends the edit-field text of 后缀.
void onAddSuffix(MainUnits& units);
/// 后缀_删除: deletes the selected item of 后缀; nothing when none is selected.
void onDeleteSuffix(MainUnits& units);

/// 退出前自动保存所有配置, after the click toggled it: unticked erases the stored files at once.
void onAutoSaveClicked(MainUnits& units, SettingsStore& store);

/// The save at close: what could not be written is named in a task-modal box, since the user
/// would otherwise find the settings gone only at the next start. False when something failed.
bool saveAtClose(SettingsStore& store, MessageBoxes& boxes);

/// 开启倒序模式, after the click: when ticked, unticks 开启正反序模式.
void onReverseClicked(MainUnits& units);
/// 开启正反序模式, after the click: when ticked, unticks 开启倒序模式.
void onMirrorClicked(MainUnits& units);

}  // namespace settings_panel
