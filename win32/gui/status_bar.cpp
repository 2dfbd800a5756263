// The two-part status bar at the bottom of the main window.
#include <windows.h>
// The common-control headers need what windows.h declares.
#include <commctrl.h>

#include "ui/dpi_scale.hpp"
#include "win32/gui/control.hpp"

namespace gui {
namespace {

constexpr int kParts = 2;
constexpr int kFirstPartWidth = 120;

class StatusControl : public Win32Control<StatusBar> {
  public:
    GbkText part(int index) const override {
        if (index < 0 || index >= kParts) return {};
        const LRESULT length = LOWORD(SendMessageW(hwnd_, SB_GETTEXTLENGTHW, index, 0));
        std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(hwnd_, SB_GETTEXTW, index, reinterpret_cast<LPARAM>(buffer.data()));
        buffer.resize(static_cast<size_t>(length));
        return narrow(buffer);
    }
    void setPart(int index, const GbkText& text) override {
        if (index < 0 || index >= kParts) return;
        SendMessageW(hwnd_, SB_SETTEXTW, index, reinterpret_cast<LPARAM>(wide(text).c_str()));
    }
    // The bar keeps to the bottom edge by itself; only the parts and the font follow the density.
    void place(const UnitLayout&, HFONT font, int dpi) override {
        if (font) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        setParts(hwnd_, dpi);
        SendMessageW(hwnd_, WM_SIZE, 0, 0);
    }
    static void setParts(HWND hwnd, int dpi) {
        int edges[kParts] = {dpi::scale(kFirstPartWidth, dpi), -1};
        SendMessageW(hwnd, SB_SETPARTS, kParts, reinterpret_cast<LPARAM>(edges));
    }
};

}  // namespace

std::unique_ptr<Control> makeStatusBar(const UnitLayout& layout, const Placement& at) {
    if (layout.kind != UnitKind::StatusBar) return nullptr;
    // The bar keeps to the bottom of the client area by itself, so it stays whole whatever
    // height the frame's caption takes on this system.
    HWND hwnd = createChild(at, layout, STATUSCLASSNAMEW, WS_VISIBLE, 0, {}, layout.height);
    if (!hwnd) return nullptr;
    StatusControl::setParts(hwnd, at.dpi);
    auto control = std::make_unique<StatusControl>();
    control->attach(hwnd);
    control->setPart(0, "软件状态:");
    control->setPart(1, "尚未进行任何操作");
    return control;
}

}  // namespace gui
