#pragma once
// The window system over Win32.
// Usage: one Win32WindowSystem can serve the whole program (it holds no state):
//   Win32WindowSystem windows;
//   WindowHandle card = windows.findTopLevel("TXGuiFoundation", "修改房间名片");
//   windows.post(card, msg::kChar, 0xD6, 0);
// Titles and class names are GBK; lookups go through the W functions with code page 936, so
// they work whatever the system's ANSI code page is. Characters go to a Unicode window as UTF-16
// units (PostMessageW) and to an ANSI window as bytes (PostMessageA); each post reports whether
// it went out or was refused.

#include "platform/window_system.hpp"

class Win32WindowSystem final : public WindowSystem {
  public:
    PostResult post(WindowHandle window, unsigned message, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
    PostResult postUnicodeChar(WindowHandle window, char16_t unit) override;
    bool isUnicodeWindow(WindowHandle window) override;
    DpiView clientDpi(WindowHandle window) override;
    DpiView geometryDpi(WindowHandle window) override;
    bool outranksUs(WindowHandle window) override;
    WindowHandle findTopLevel(const GbkText& className, const GbkText& title) override;
    bool isWindow(WindowHandle window) override;
    std::optional<ScreenRect> windowRect(WindowHandle window) override;
    void moveWindow(WindowHandle window, int left, int top, int width, int height) override;
    WindowHandle desktopWindow() override;
    unsigned mapVirtualKey(unsigned code, unsigned mapType) override;

    ScreenPoint cursorPos() override;
    WindowHandle windowFromPoint(ScreenPoint point) override;
    std::uint32_t processIdOf(WindowHandle window) override;
    std::uint32_t currentProcessId() override;
    ScreenPoint clientOrigin(WindowHandle window) override;
    GbkText windowTitle(WindowHandle window) override;
    bool leftButtonDown() override;
};
