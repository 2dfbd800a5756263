#include "app/settings_panel.hpp"

namespace settings_panel {
namespace {

void addEditText(ComboBox& combo) { combo.addItem(combo.editText()); }

void deleteSelected(ComboBox& combo) {
    const int selected = combo.selectedIndex();
    if (selected >= 0 && selected < combo.count()) combo.removeItem(selected);
}

}  // namespace

void onAddPrefix(MainUnits& units) { addEditText(units.前缀); }
void onDeletePrefix(MainUnits& units) { deleteSelected(units.前缀); }
void onAddSuffix(MainUnits& units) { addEditText(units.后缀); }
void onDeleteSuffix(MainUnits& units) { deleteSelected(units.后缀); }

void onAutoSaveClicked(MainUnits& units, SettingsStore& store) {
    if (!units.退出前自动保存所有配置.checked()) store.erase();
}

bool saveAtClose(SettingsStore& store, MessageBoxes& boxes) {
    if (store.save()) return true;
    GbkText text = "以下设置文件无法保存，本次的设置没有保留：";
    for (const GbkText& path : store.failedFiles()) text += "\r\n" + path;
    boxes.show(text, "温馨提示", mb::kIconInformation | mb::kTaskModal);
    return false;
}

void onReverseClicked(MainUnits& units) {
    if (units.开启倒序模式.checked()) units.开启正反序模式.setChecked(false);
}

void onMirrorClicked(MainUnits& units) {
    if (units.开启正反序模式.checked()) units.开启倒序模式.setChecked(false);
}

}  // namespace settings_panel
