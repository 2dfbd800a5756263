#include "win32/capture_win32.hpp"

#include <string>

#include "delivery/capture.hpp"
#include "text/codepage.hpp"
#include "win32/dpi_win32.hpp"
#include "win32/mouse_hook_win32.hpp"
#include "win32/window_handle.hpp"

namespace {

using win32::hwnd;

constexpr wchar_t kOverlayClass[] = L"CantorelCaptureOverlay";
constexpr UINT_PTR kFollowTimer = 1;   // 时钟1
constexpr UINT_PTR kCaptureTimer = 2;  // 时钟2
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A picture kept in memory, so a panel repaints from it instead of forgetting what was drawn.
class Canvas {
  public:
    Canvas(int width, int height, COLORREF background)
        : width_(width), height_(height), background_(background) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        oldBitmap_ = SelectObject(dc_, bitmap_);
        clear();
    }
    ~Canvas() {
        SelectObject(dc_, oldBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void setBackground(COLORREF colour) { background_ = colour; }
    void clear() {
        HBRUSH brush = CreateSolidBrush(background_);
        RECT all{0, 0, width_, height_};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    void lines(const capture::Line* first, std::size_t count, COLORREF pen) {
        HPEN p = CreatePen(PS_SOLID, 1, pen);
        HGDIOBJ old = SelectObject(dc_, p);
        for (std::size_t i = 0; i < count; ++i) {
            MoveToEx(dc_, first[i].x1, first[i].y1, nullptr);
            LineTo(dc_, first[i].x2, first[i].y2);
        }
        SelectObject(dc_, old);
        DeleteObject(p);
    }
    /// TargetGlyph: a circle filled with the background, the strokes, and a background dot at
    /// the centre so the hot spot shows what lies beneath.
    void glyph(COLORREF pen) {
        HPEN p = CreatePen(PS_SOLID, 1, pen);
        HBRUSH fill = CreateSolidBrush(background_);
        HGDIOBJ oldPen = SelectObject(dc_, p);
        HGDIOBJ oldBrush = SelectObject(dc_, fill);
        const capture::Line& e = capture::kGlyphEllipse;
        Ellipse(dc_, e.x1, e.y1, e.x2, e.y2);
        SelectObject(dc_, oldBrush);
        SelectObject(dc_, oldPen);
        DeleteObject(fill);
        DeleteObject(p);
        lines(capture::kGlyphLines.data(), capture::kGlyphLines.size(), pen);
        SetPixel(dc_, capture::kGlyphCentre, capture::kGlyphCentre, background_);
    }
    void text(const GbkText& text) {
        const std::u16string wide = codepage::gbkToUtf16(text);
        HGDIOBJ oldFont = SelectObject(dc_, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, RGB(0, 0, 0));
        TextOutW(dc_, 0, 0, reinterpret_cast<const wchar_t*>(wide.c_str()),
                 static_cast<int>(wide.size()));
        SelectObject(dc_, oldFont);
    }
    void paintOn(HDC target) const { BitBlt(target, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY); }
    void paintOn(HWND window) const {
        if (!window) return;
        HDC dc = GetDC(window);
        paintOn(dc);
        ReleaseDC(window, dc);
    }

  private:
    int width_;
    int height_;
    COLORREF background_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
};

SIZE clientSize(HWND window) {
    RECT r{0, 0, 32, 32};
    if (window) GetClientRect(window, &r);
    return {r.right > 0 ? r.right : 32, r.bottom > 0 ? r.bottom : 32};
}

}  // namespace

struct Win32Capture::Impl final : public CaptureSurface {
    Impl(HWND mainWindow, HWND capturePanel, MainUnits& units, AppState& app, WindowSystem& windows)
        : main(mainWindow),
          panel(capturePanel),
          hook(backend, windows),
          panelPicture(clientSize(capturePanel).cx, clientSize(capturePanel).cy,
                       capture::kPanelBackground),
          overlayPicture(capture::kOverlaySize, capture::kOverlaySize, kWhite),
          session(windows, hook, *this, units, app) {}

    // Closing in the middle of a drag: the framed window must not keep its inverted frame, and
    // the cursor, topmost state and hook go back as at the end of any drag.
    ~Impl() override { session.cancel(); }

    static void registerOverlayClass();
    static LRESULT CALLBACK overlayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // CaptureSurface
    void drawRestingPicture() override {
        panelPicture.setBackground(capture::kPanelBackground);
        panelPicture.clear();
        panelPicture.lines(capture::kLongCross.data(), capture::kLongCross.size(),
                           capture::kGlyphPen);
        panelPicture.glyph(capture::kGlyphPen);
        panelPicture.paintOn(panel);
    }
    void drawDragPicture() override {
        panelPicture.clear();
        panelPicture.lines(capture::kLongCross.data(), capture::kLongCross.size(),
                           capture::kGlyphPen);
        panelPicture.paintOn(panel);
    }
    bool createOverlay() override;
    void destroyOverlay() override;
    void moveOverlay(int left, int top) override {
        SetWindowPos(overlay, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void showOverlay() override { ShowWindow(overlay, SW_SHOWNOACTIVATE); }
    void clearOverlay() override {
        overlayPicture.clear();
        repaintOverlay();
    }
    void drawOverlayGlyph() override {
        overlayPicture.glyph(capture::kGlyphPen);
        repaintOverlay();
    }
    void writeOverlayText(const GbkText& text) override {
        overlayPicture.text(text);
        repaintOverlay();
    }
    void makeOverlayLayered() override {
        const LONG style = GetWindowLongW(overlay, GWL_EXSTYLE);
        SetWindowLongW(overlay, GWL_EXSTYLE, style | WS_EX_TRANSPARENT | WS_EX_LAYERED);
        SetLayeredWindowAttributes(overlay, capture::kOverlayColourKey,
                                   static_cast<BYTE>(capture::kOverlayAlpha),
                                   LWA_COLORKEY | LWA_ALPHA);
    }
    void invertFrame(WindowHandle window) override;
    int showCursor(bool show) override { return ShowCursor(show ? TRUE : FALSE); }
    void setMainTopmost(bool topmost) override {
        SetWindowPos(main, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    void repaintOverlay() {
        if (overlay) InvalidateRect(overlay, nullptr, FALSE);
    }

    HWND main;
    HWND panel;
    HWND overlay = nullptr;
    Win32HookBackend backend;
    HOOK类 hook;
    Canvas panelPicture;
    Canvas overlayPicture;
    CaptureSession session;
};

void Win32Capture::Impl::registerOverlayClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Impl::overlayProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kOverlayClass;
    registered = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

LRESULT CALLBACK Win32Capture::Impl::overlayProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    auto* self = reinterpret_cast<Impl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE: {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            break;
        }
        case WM_TIMER:
            if (!self) break;
            if (wParam == kFollowTimer) self->session.followTick();
            if (wParam == kCaptureTimer) self->session.captureTick();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the picture covers every pixel
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            if (self) self->overlayPicture.paintOn(dc);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_NCDESTROY:
            // Owned windows go with their owner: never hold a handle that may be reused.
            if (self && self->overlay == window) self->overlay = nullptr;
            break;
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool Win32Capture::Impl::createOverlay() {
    registerOverlayClass();
    overlayPicture.clear();
    // Layered and click-through from the first moment: WindowFromPoint of the very first
    // capture tick must see the window below, not the overlay under the cursor.
    overlay =
        CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                        kOverlayClass, L"", WS_POPUP, 0, 0, capture::kOverlaySize,
                        capture::kOverlaySize, main, nullptr, GetModuleHandleW(nullptr), this);
    if (!overlay) return false;
    makeOverlayLayered();
    SetTimer(overlay, kFollowTimer, capture::kFollowMs, nullptr);
    SetTimer(overlay, kCaptureTimer, capture::kCaptureTickMs, nullptr);
    return true;
}

void Win32Capture::Impl::destroyOverlay() {
    if (overlay) {
        KillTimer(overlay, kFollowTimer);
        KillTimer(overlay, kCaptureTimer);
        DestroyWindow(overlay);
        overlay = nullptr;
    }
    if (GetCapture() == panel) ReleaseCapture();
}

void Win32Capture::Impl::invertFrame(WindowHandle window) { invertWindowFrame(hwnd(window)); }

void invertWindowFrame(HWND target) {
    if (!target || !IsWindow(target)) return;
    // In the window's own space its rectangle and its device context agree at any scaling; in
    // ours a DPI-aware window's would be scaled down and the frame drawn inside it.
    const win32::dpi::ScopedWindowSpace space(target);
    RECT r;
    if (!GetWindowRect(target, &r)) return;
    HDC dc = GetWindowDC(target);  // the whole window: border and caption too
    if (!dc) return;
    HPEN pen = CreatePen(PS_SOLID, capture::kFrameWidth, capture::kFramePen);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    // R2_NOT ignores the pen colour and inverts what lies beneath, so a second identical
    // rectangle puts every pixel back without the window having to repaint.
    const int oldRop = SetROP2(dc, R2_NOT);
    Rectangle(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    SetROP2(dc, oldRop);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    ReleaseDC(target, dc);
}

Win32Capture::Win32Capture(HWND mainWindow, HWND capturePanel, MainUnits& units, AppState& app,
                           WindowSystem& windows)
    : impl_(std::make_unique<Impl>(mainWindow, capturePanel, units, app, windows)) {}

Win32Capture::~Win32Capture() = default;

void Win32Capture::drawRestingPicture() {
    if (impl_->session.dragging()) {
        impl_->panelPicture.paintOn(impl_->panel);
    } else {
        impl_->session.activated();
    }
}

void Win32Capture::onPanelButtonDown() {
    // With the mouse captured the release comes back to this thread wherever it happens, so the
    // button state the capture tick reads is current on Windows too, and the cursor stays
    // hidden over other programs' windows.
    if (impl_->panel) SetCapture(impl_->panel);
    impl_->session.startDrag();
    // No overlay came up: nothing will end a drag, so nothing may keep the mouse either.
    if (!impl_->session.dragging() && GetCapture() == impl_->panel) ReleaseCapture();
}

bool Win32Capture::dragging() const { return impl_->session.dragging(); }

HOOK类& Win32Capture::hook() { return impl_->hook; }
