#pragma once
// The Win32 side of every unit: one child window of the main window, or of a group box's
// container (see group_box.cpp).

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "ui/main_layout.hpp"
#include "ui/units.hpp"
#include "win32/gui/gui_text.hpp"

namespace gui {

class Control {
  public:
    virtual ~Control() = default;
    /// The unit interface this control implements.
    virtual Unit& unit() = 0;
    /// The window the unit's members are created in: a group box's container, else null.
    virtual HWND memberParent() const { return nullptr; }

    /// Run once after every unit of the window exists.
    virtual void settle() {}

    /// Moves the control to `scaled` (its layout at `dpi`) and gives it `font`: the window
    /// went to a screen of another density.
    virtual void place(const UnitLayout& scaled, HFONT font, int dpi);

    HWND hwnd() const { return hwnd_; }
    /// Takes the created window.
    void attach(HWND hwnd) { hwnd_ = hwnd; }

  protected:
    HWND hwnd_ = nullptr;
};

/// The parts of Unit every control shares.
template <typename Base>
class Win32Control : public Base, public Control {
  public:
    Unit& unit() override { return *this; }
    // The unit's own flag: a member of a hidden group box still reads as visible.
    bool visible() const override {
        return (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
    }
    void setVisible(bool visible) override { ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }
    bool enabled() const override { return IsWindowEnabled(hwnd_) != FALSE; }
    void setEnabled(bool enabled) override { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }
};

/// Controls whose text is the window text.
template <typename Base>
class Win32TextControl : public Win32Control<Base> {
  public:
    GbkText text() const override { return windowText(this->hwnd_); }
    void setText(const GbkText& text) override { setWindowText(this->hwnd_, text); }
};

/// Where and how a control is created.
struct Placement {
    HWND parent;  // the main window or a group box's container
    int id;       // control id, reported in WM_COMMAND / WM_NOTIFY
    int x, y;     // client coordinates of `parent`, at `dpi`
    HFONT font;
    int dpi;  // the window's density; the layout passed beside is already scaled to it
};

/// Runs `handler` on every left-button press in `control`, before the control itself sees it.
void onLeftButtonDown(Control& control, std::function<void()> handler);

/// Registers a window class of the program's own controls once per process (later calls find
/// it registered); true when the class is there to use.
bool registerControlClass(const wchar_t* name, WNDPROC proc);

/// Item `index` of a list box or a combo box, read with its length and text messages
/// (LB_GETTEXTLEN and LB_GETTEXT, or CB_GETLBTEXTLEN and CB_GETLBTEXT); empty when missing.
GbkText itemText(HWND hwnd, UINT lengthMessage, UINT textMessage, int index);

/// Creates a child window and sets its font; `text` is GbkText.
HWND createChild(const Placement& at, const UnitLayout& layout, const wchar_t* className,
                 DWORD style, DWORD exStyle, const GbkText& text, int height);

// One factory per kind family; each returns null for a kind it does not build.
std::unique_ptr<Control> makeTextControl(const UnitLayout& layout, const Placement& at);
std::unique_ptr<Control> makeComboBox(const UnitLayout& layout, const Placement& at);
std::unique_ptr<Control> makeListView(const UnitLayout& layout, const Placement& at);
std::unique_ptr<Control> makeFileList(const UnitLayout& layout, const Placement& at);
std::unique_ptr<Control> makeStatusBar(const UnitLayout& layout, const Placement& at);
std::unique_ptr<Control> makeGroupBox(const UnitLayout& layout, const Placement& at);
std::unique_ptr<Control> makeDrawPanel(const UnitLayout& layout, const Placement& at);

}  // namespace gui
