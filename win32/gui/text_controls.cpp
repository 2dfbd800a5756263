// Edit boxes, labels, buttons, check boxes and radio buttons: the units whose
// state is their window text (plus the ticked state for the check kinds).
#include <windows.h>
// The common-control headers need what windows.h declares.
#include <commctrl.h>

#include "win32/gui/control.hpp"

namespace gui {
namespace {

template <typename Base>
class CheckControl : public Win32TextControl<Base> {
  public:
    bool checked() const override {
        return SendMessageW(this->hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void setChecked(bool checked) override {
        SendMessageW(this->hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
};

class EditControl : public Win32TextControl<EditBox> {};
class LabelControl : public Win32TextControl<Label> {};
class ButtonControl : public Win32TextControl<Button> {};
class PlainControl : public Win32Control<Unit> {};

template <typename T>
std::unique_ptr<Control> build(const UnitLayout& layout, const Placement& at,
                               const wchar_t* className, DWORD style, DWORD exStyle = 0) {
    auto control = std::make_unique<T>();
    const DWORD visible = layout.kind == UnitKind::WebView ? 0 : WS_VISIBLE;
    HWND hwnd = createChild(at, layout, className, style | visible, exStyle,
                            GbkText(layout.caption), layout.height);
    if (!hwnd) return nullptr;
    control->attach(hwnd);
    return control;
}

}  // namespace

std::unique_ptr<Control> makeTextControl(const UnitLayout& layout, const Placement& at) {
    // The hidden stores lie beyond the window's edges: Tab must not carry the focus out there.
    const DWORD kTab = layout.hidden ? 0 : WS_TABSTOP;
    switch (layout.kind) {
        case UnitKind::EditBox:
            return build<EditControl>(layout, at, WC_EDITW, kTab | ES_AUTOHSCROLL,
                                      WS_EX_CLIENTEDGE);
        case UnitKind::MultiLineEdit: {
            auto control = build<EditControl>(
                layout, at, WC_EDITW,
                kTab | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL,
                WS_EX_CLIENTEDGE);
            // Filter lists and page texts outgrow the default 32K-character limit.
            if (control) SendMessageW(control->hwnd(), EM_SETLIMITTEXT, 0, 0);
            return control;
        }
        case UnitKind::Label:
        case UnitKind::TransparentLabel:
            return build<LabelControl>(layout, at, WC_STATICW, SS_LEFT | SS_NOPREFIX);
        case UnitKind::Button:
            return build<ButtonControl>(layout, at, WC_BUTTONW, kTab | BS_PUSHBUTTON);
        case UnitKind::CheckBox: {
            auto control = build<CheckControl<CheckBox>>(layout, at, WC_BUTTONW,
                                                         kTab | BS_AUTOCHECKBOX | BS_MULTILINE);
            if (control && layout.checked) {
                SendMessageW(control->hwnd(), BM_SETCHECK, BST_CHECKED, 0);
            }
            return control;
        }
        case UnitKind::PushCheckBox:
            // WS_GROUP ends the radio group that the two radio buttons before it form.
            return build<CheckControl<CheckBox>>(layout, at, WC_BUTTONW,
                                                 kTab | WS_GROUP | BS_AUTOCHECKBOX | BS_PUSHLIKE);
        case UnitKind::RadioButton:
            // Both radio buttons sit in one group: the first of the top bar starts it.
            return build<CheckControl<RadioButton>>(
                layout, at, WC_BUTTONW,
                kTab | BS_AUTORADIOBUTTON | (layout.name == "公屏字幕" ? WS_GROUP : 0));
        case UnitKind::WebView:
            // Nothing reads this page, and loading one would only tell an outside site the
            // user's address: an empty, hidden static stands in its place.
            return build<PlainControl>(layout, at, WC_STATICW, 0);
        default:
            return nullptr;
    }
}

}  // namespace gui
