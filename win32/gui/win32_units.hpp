#pragma once
// The main window's units as real controls, built from the layout data, and looked up by name
// or by control id.

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "ui/units.hpp"
#include "win32/gui/control.hpp"

namespace gui {

class Win32Units : public UnitDirectory, public WindowFrame {
  public:
    /// Creates every non-timer unit of the main layout inside `window`, laid out for `dpi`,
    /// and sizes the window's frame around them.
    Win32Units(HWND window, HFONT font, int dpi);

    /// Lays every unit and the frame out again for `dpi` with `font` (the window moved to a
    /// screen of another density).
    void relayout(HFONT font, int dpi);
    int dpi() const { return dpi_; }

    /// True when every unit of the layout except the timers was created.
    bool complete() const { return missing_ == 0; }

    Unit* find(std::string_view name) override;
    TimerUnit* findTimer(std::string_view name) override;
    WindowFrame& frame() override { return *this; }

    /// The form's template width (kWidth, kNarrowWidth or kWideWidth); the frame on screen
    /// is as wide as that form's client area at the window's density needs.
    int width() const override { return form_; }
    void setWidth(int width) override;

    /// The control of unit `name`, or null.
    Control* control(std::string_view name);
    /// Name of the unit with control id `id`, or empty.
    std::string_view nameOf(int id) const;
    /// Control id of unit `name`, or 0.
    int idOf(std::string_view name) const;
    /// Adds the timer unit called `name` (timers come from the platform's timer service).
    void addTimer(std::string_view name, std::unique_ptr<TimerUnit> timer);

  private:
    void clipOverlaps();
    void fitFrame();

    HWND window_;
    int dpi_;
    int form_ = layout::kWidth;
    std::map<std::string, std::unique_ptr<Control>, std::less<>> controls_;
    std::map<std::string, std::unique_ptr<TimerUnit>, std::less<>> timers_;
    std::map<int, std::string> names_;
    int missing_ = 0;
};

}  // namespace gui
