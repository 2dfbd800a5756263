#include "win32/gui/win32_units.hpp"

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

Win32Units::Win32Units(HWND window, HFONT font) : window_(window) {
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
        auto made = makeControl(layout, Placement{parent, id, layout.x, layout.y, font});
        if (!made) {
            ++missing_;
            continue;
        }
        names_.emplace(id, std::string(layout.name));
        controls_.emplace(std::string(layout.name), std::move(made));
    }
    for (auto& [name, made] : controls_) made->settle();
    clipOverlaps();
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
            HRGN kept = CreateRectRgn(0, 0, all[j].x - all[i].x, all[i].height);
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

int Win32Units::width() const {
    RECT rect{};
    GetWindowRect(window_, &rect);
    return rect.right - rect.left;
}

void Win32Units::setWidth(int width) {
    RECT rect{};
    GetWindowRect(window_, &rect);
    SetWindowPos(window_, nullptr, 0, 0, width, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
