#include "app/panel_toggles.hpp"

#include "ui/main_layout.hpp"

namespace panels {
namespace {

// One toggle: `shown` becomes the visible panel when widening; narrowing leaves both panels as
// they are, so the window simply hides whatever was on the right.
void toggle(MainUnits& units, CheckBox& button, std::string_view expandCaption,
            std::string_view collapseCaption, GroupBox& shown, GroupBox& other) {
    if (button.text() == expandCaption) {
        button.setText(GbkText(collapseCaption));
        units.window.setWidth(layout::kWideWidth);
        shown.setVisible(true);
        other.setVisible(false);
    } else {
        button.setText(GbkText(expandCaption));
        units.window.setWidth(layout::kNarrowWidth);
    }
}

}  // namespace

void onSettingsToggle(MainUnits& units) {
    toggle(units, units.设置, "设置[展开]", "设置[收起]", units.用户设置, units.歌词搜索功能);
}

void onSearchToggle(MainUnits& units) {
    toggle(units, units.歌词下载, "歌词下载[展开]", "歌词下载[收起]", units.歌词搜索功能,
           units.用户设置);
}

}  // namespace panels
