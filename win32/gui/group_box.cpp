// Group boxes. Each one is a plain container window holding a BS_GROUPBOX frame and the units
// placed in the box. The container, not the frame, is the members' parent: a frame answers hit
// tests with HTTRANSPARENT and keeps its children's notifications to itself, while the
// container passes every notification on to the main window and, being opaque, lets the panel
// on top cover the one below it as a real container would.
// NOTE: the container must not clip its children: the frame covers all of it and paints no
// background of its own, so a clipping container would leave its whole inside unpainted.
#include <windows.h>
// The common-control headers need what windows.h declares.
#include <commctrl.h>

#include <algorithm>

#include "win32/gui/control.hpp"

namespace gui {
namespace {

constexpr wchar_t kContainerClass[] = L"CantorelGroup";

LRESULT CALLBACK containerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
            return SendMessageW(GetParent(hwnd), message, wParam, lParam);
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

class GroupControl : public Win32Control<GroupBox> {
  public:
    GbkText text() const override { return windowText(frame_); }
    void setText(const GbkText& text) override { setWindowText(frame_, text); }
    HWND memberParent() const override { return hwnd_; }
    // The frame goes under the members; it was created first and would otherwise cover them.
    void settle() override {
        SetWindowPos(frame_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    void setFrame(HWND frame) { frame_ = frame; }
    HWND frame() const { return frame_; }

  private:
    HWND frame_ = nullptr;
};

}  // namespace

UnitLayout fitToForm(const UnitLayout& layout, HWND mainWindow) {
    // The window's fixed outer widths (493 narrow, 745 wide) leave a client area a few pixels
    // narrower than the boxes of the template, so their right edges would be cut off. A box
    // of the window itself is narrowed to the client width of the form it shows in: the narrow
    // one for the lyric side, the wide one for the panels. Every unit inside still fits.
    if (!layout.parent.empty() || layout.hidden) return layout;
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(mainWindow, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(mainWindow, GWL_EXSTYLE)));
    const int border = frame.right - frame.left;
    const int narrowClient = layout::kNarrowWidth - border;
    const int client = layout.x < narrowClient ? narrowClient : layout::kWideWidth - border;
    UnitLayout fitted = layout;
    fitted.width = std::clamp(client - layout.x, 1, layout.width);
    return fitted;
}

std::unique_ptr<Control> makeGroupBox(const UnitLayout& template_, const Placement& at) {
    if (template_.kind != UnitKind::GroupBox ||
        !registerControlClass(kContainerClass, containerProc))
        return nullptr;
    const UnitLayout layout = fitToForm(template_, at.parent);
    HWND container = createChild(at, layout, kContainerClass, WS_VISIBLE, WS_EX_CONTROLPARENT, {},
                                 layout.height);
    if (!container) return nullptr;
    const Placement inside{container, at.id, 0, 0, at.font};
    HWND frame = createChild(inside, layout, WC_BUTTONW, WS_VISIBLE | BS_GROUPBOX, 0,
                             GbkText(layout.caption), layout.height);
    if (!frame) return nullptr;
    auto control = std::make_unique<GroupControl>();
    control->attach(container);
    control->setFrame(frame);
    return control;
}

}  // namespace gui
