#include "win32/gui/win32_units.hpp"

#include <algorithm>

#include "ui/dpi_scale.hpp"
#include "win32/gui/dpi_win32.hpp"

namespace gui {
namespace {

constexpr int kFirstId = 1000;

std::unique_ptr<Control> makeControl(const UnitLayout& layout, const Placement& at) {
    switch (layout.kind) {
        case UnitKind::GroupBox:
            return makeGroupBox(layout, at);
        case UnitKind::ComboBox:
            return makeComboBox(layout, at);
        case UnitKind::ListView:
            return makeListView(layout, at);
        case UnitKind::FileList:
            return makeFileList(layout, at);
        case UnitKind::StatusBar:
            return makeStatusBar(layout, at);
        case UnitKind::DrawPanel:
            return makeDrawPanel(layout, at);
        case UnitKind::Timer:
            return nullptr;
        default:
            return makeTextControl(layout, at);
    }
}

bool overlap(const UnitLayout& a, const UnitLayout& b) {
    return a.parent == b.parent && a.x < b.x + b.width && b.x < a.x + a.width &&
           a.y < b.y + b.height && b.y < a.y + a.height;
}

bool hasBlankRightPart(UnitKind kind) {
    return kind == UnitKind::RadioButton || kind == UnitKind::CheckBox;
}

}  // namespace

Win32Units::Win32Units(HWND window, HFONT font, int dpi) : window_(window), dpi_(dpi) {
    int id = kFirstId;
    for (const UnitLayout& layout : layout::mainWindow()) {
        ++id;
        if (layout.kind == UnitKind::Timer) continue;
        // Parents come before their children in the layout, so a member's box already exists.
        HWND parent = window;
        if (!layout.parent.empty()) {
            Control* box = control(layout.parent);
            if (box && box->memberParent()) parent = box->memberParent();
        }
        const UnitLayout scaled = dpi::scale(layout, dpi);
        auto made = makeControl(scaled, Placement{parent, id, scaled.x, scaled.y, font, dpi});
        if (!made) {
            ++missing_;
            continue;
        }
        names_.emplace(id, std::string(layout.name));
        controls_.emplace(std::string(layout.name), std::move(made));
    }
    for (auto& [name, made] : controls_) made->settle();
    clipOverlaps();
    fitFrame();
}

void Win32Units::relayout(HFONT font, int dpi) {
    dpi_ = dpi;
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    for (const UnitLayout& layout : layout::mainWindow()) {
        if (Control* made = control(layout.name)) made->place(dpi::scale(layout, dpi), font, dpi);
    }
    clipOverlaps();
    fitFrame();
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(window_, nullptr, nullptr,
                 RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// The client area is the form's boxes plus the status bar below them, whatever the bar's own
// height comes to with this font; the frame around it is the system's.
void Win32Units::fitFrame() {
    const UnitLayout* bar = layout::findUnit("状态条1");
    int barHeight = dpi::scale(bar->height, dpi_);
    if (Control* made = control(bar->name)) {
        SendMessageW(made->hwnd(), WM_SIZE, 0, 0);
        RECT rect{};
        GetWindowRect(made->hwnd(), &rect);
        barHeight = std::max<int>(barHeight, rect.bottom - rect.top);
    }
    const int width = dpi::scale(layout::clientWidthFor(form_), dpi_);
    const int height = dpi::scale(bar->y, dpi_) + barHeight;
    const SIZE outer = gui::frameSize(window_, width, height, dpi_);
    SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // While the units are being made the window cannot pass the new size on to the bar yet.
    if (Control* made = control(bar->name)) SendMessageW(made->hwnd(), WM_SIZE, 0, 0);
}

// The top bar's units overlap their right-hand neighbours by a few pixels, and sibling windows
// created earlier lie on top, so a radio button would cover the left edge of the next radio
// button's circle or of the next push button. A check or radio button leaves the end of its
// rectangle blank, so it gives up the overlapped strip through a window region. The creation
// order stays the layout's, and with it the Tab order and the radio group.
void Win32Units::clipOverlaps() {
    const auto all = layout::mainWindow();
    for (size_t i = 0; i < all.size(); ++i) {
        if (!hasBlankRightPart(all[i].kind)) continue;
        for (size_t j = i + 1; j < all.size(); ++j) {
            if (!overlap(all[i], all[j]) || all[j].x <= all[i].x) continue;
            Control* under = control(all[i].name);
            if (!under) break;
            // The system owns the region once it is set.
            HRGN kept = CreateRectRgn(0, 0, dpi::scale(all[j].x, dpi_) - dpi::scale(all[i].x, dpi_),
                                      dpi::scale(all[i], dpi_).height);
            if (kept && !SetWindowRgn(under->hwnd(), kept, FALSE)) DeleteObject(kept);
            break;
        }
    }
}

Unit* Win32Units::find(std::string_view name) {
    Control* found = control(name);
    return found ? &found->unit() : nullptr;
}

TimerUnit* Win32Units::findTimer(std::string_view name) {
    auto it = timers_.find(name);
    return it == timers_.end() ? nullptr : it->second.get();
}

void Win32Units::setWidth(int width) {
    form_ = width;
    fitFrame();
}

Control* Win32Units::control(std::string_view name) {
    auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second.get();
}

std::string_view Win32Units::nameOf(int id) const {
    auto it = names_.find(id);
    return it == names_.end() ? std::string_view() : std::string_view(it->second);
}

int Win32Units::idOf(std::string_view name) const {
    for (const auto& [id, unitName] : names_) {
        if (unitName == name) return id;
    }
    return 0;
}

void Win32Units::addTimer(std::string_view name, std::unique_ptr<TimerUnit> timer) {
    timers_.insert_or_assign(std::string(name), std::move(timer));
}

}  // namespace gui
