#include "win32/gui/draw_panel.hpp"

namespace gui {
namespace {

constexpr wchar_t kPanelClass[] = L"CantorelDrawPanel";

}  // namespace

LRESULT CALLBACK DrawPanelControl::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<DrawPanelControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            if (self && self->paint_) self->paint_();
            return 0;
        }
        case WM_LBUTTONDOWN:
            if (self && self->buttonDown_) self->buttonDown_();
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

std::unique_ptr<Control> makeDrawPanel(const UnitLayout& layout, const Placement& at) {
    if (layout.kind != UnitKind::DrawPanel ||
        !registerControlClass(kPanelClass, DrawPanelControl::proc))
        return nullptr;
    HWND hwnd = createChild(at, layout, kPanelClass, WS_VISIBLE, 0, {}, layout.height);
    if (!hwnd) return nullptr;
    auto control = std::make_unique<DrawPanelControl>();
    control->attach(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control.get()));
    return control;
}

}  // namespace gui
