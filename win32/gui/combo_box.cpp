// The editable drop-down lists (prefix and suffix lists).
#include <windows.h>
// The common-control headers need what windows.h declares.
#include <commctrl.h>

#include "ui/dpi_scale.hpp"
#include "win32/gui/control.hpp"

namespace gui {
namespace {

// The drop-down part needs room for a few items; the layout height is the closed box's.
constexpr int kDropDownHeight = 200;

class ComboControl : public Win32Control<ComboBox> {
  public:
    int count() const override { return static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0)); }
    GbkText item(int index) const override {
        if (index < 0 || index >= count()) return {};
        return itemText(hwnd_, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
    }
    void addItem(const GbkText& text) override {
        SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(text).c_str()));
    }
    void removeItem(int index) override {
        if (index >= 0 && index < count()) SendMessageW(hwnd_, CB_DELETESTRING, index, 0);
    }
    void clear() override { SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0); }
    int selectedIndex() const override {
        return static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
    }
    void setSelectedIndex(int index) override {
        SendMessageW(hwnd_, CB_SETCURSEL, index >= 0 && index < count() ? index : -1, 0);
    }
    GbkText editText() const override { return windowText(hwnd_); }
    void setEditText(const GbkText& text) override { setWindowText(hwnd_, text); }
    void place(const UnitLayout& scaled, HFONT font, int dpi) override {
        UnitLayout open = scaled;
        open.height = dpi::scale(kDropDownHeight, dpi);
        Control::place(open, font, dpi);
    }
};

}  // namespace

std::unique_ptr<Control> makeComboBox(const UnitLayout& layout, const Placement& at) {
    if (layout.kind != UnitKind::ComboBox) return nullptr;
    HWND hwnd = createChild(at, layout, WC_COMBOBOXW,
                            WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                            0, GbkText(layout.caption), dpi::scale(kDropDownHeight, at.dpi));
    if (!hwnd) return nullptr;
    auto control = std::make_unique<ComboControl>();
    control->attach(hwnd);
    return control;
}

}  // namespace gui
