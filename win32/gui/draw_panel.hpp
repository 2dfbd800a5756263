#pragma once
// The draw panel of the target picker: a plain child window that leaves drawing and the
// button-down reaction to whoever owns the picture.

#include <functional>

#include "win32/gui/control.hpp"

namespace gui {

class DrawPanelControl : public Win32Control<Unit> {
  public:
    /// Run after each WM_PAINT has validated the panel (the handler draws with its own DC).
    void setPaintHandler(std::function<void()> handler) { paint_ = std::move(handler); }
    /// Run on each left-button press in the panel.
    void setButtonDownHandler(std::function<void()> handler) { buttonDown_ = std::move(handler); }

    /// Window procedure of the panel class.
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    std::function<void()> paint_;
    std::function<void()> buttonDown_;
};

}  // namespace gui
