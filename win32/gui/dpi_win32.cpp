#include "win32/gui/dpi_win32.hpp"

#include "ui/dpi_scale.hpp"

namespace gui {
namespace {

FARPROC user32(const char* name) {
    HMODULE module = GetModuleHandleW(L"user32.dll");
    return module ? GetProcAddress(module, name) : nullptr;
}

template <typename Function>
Function lookUp(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(user32(name)));
}

int systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : dpi::kLayoutDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : dpi::kLayoutDpi;
}

}  // namespace

int windowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto forWindow = lookUp<GetDpiForWindowFn>("GetDpiForWindow");
    if (window && forWindow) {
        if (const UINT dpi = forWindow(window)) return static_cast<int>(dpi);
    }
    return systemDpi();
}

SIZE frameSize(HWND window, int width, int height, int dpi) {
    using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = lookUp<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    RECT frame{0, 0, width, height};
    if (!adjustForDpi || !adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
        // Before Windows 10 every window has the system's density, and so has its frame.
        frame = RECT{0, 0, width, height};
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

HFONT createMessageFont(int dpi) {
    using ParametersForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    static const auto forDpi = lookUp<ParametersForDpiFn>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (forDpi &&
        forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
        return CreateFontIndirectW(&metrics.lfMessageFont);
    }
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return nullptr;
    }
    // The older call measures the font at the system's density.
    metrics.lfMessageFont.lfHeight =
        dpi::fontHeight(metrics.lfMessageFont.lfHeight, systemDpi(), dpi);
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

}  // namespace gui
