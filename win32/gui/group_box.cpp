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
    void place(const UnitLayout& scaled, HFONT font, int dpi) override {
        Control::place(scaled, font, dpi);
        SetWindowPos(frame_, nullptr, 0, 0, scaled.width, scaled.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (font) SendMessageW(frame_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    void setFrame(HWND frame) { frame_ = frame; }
    HWND frame() const { return frame_; }

  private:
    HWND frame_ = nullptr;
};

}  // namespace

std::unique_ptr<Control> makeGroupBox(const UnitLayout& layout, const Placement& at) {
    if (layout.kind != UnitKind::GroupBox || !registerControlClass(kContainerClass, containerProc))
        return nullptr;
    HWND container = createChild(at, layout, kContainerClass, WS_VISIBLE, WS_EX_CONTROLPARENT, {},
                                 layout.height);
    if (!container) return nullptr;
    const Placement inside{container, at.id, 0, 0, at.font, at.dpi};
    HWND frame = createChild(inside, layout, WC_BUTTONW, WS_VISIBLE | BS_GROUPBOX, 0,
                             GbkText(layout.caption), layout.height);
    if (!frame) return nullptr;
    auto control = std::make_unique<GroupControl>();
    control->attach(container);
    control->setFrame(frame);
    return control;
}

}  // namespace gui
