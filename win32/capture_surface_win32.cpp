#include "win32/capture_surface_win32.hpp"

#include <string>
#include <utility>

#include "text/codepage.hpp"
#include "win32/dpi_win32.hpp"
#include "win32/window_handle.hpp"

namespace {

constexpr wchar_t kOverlayClass[] = L"CantorelCaptureOverlay";
constexpr UINT_PTR kFollowTimer = 1;   // 时钟1
constexpr UINT_PTR kCaptureTimer = 2;  // 时钟2
constexpr COLORREF kWhite = RGB(255, 255, 255);

SIZE clientSize(HWND window) {
    RECT r{0, 0, 32, 32};
    if (window) GetClientRect(window, &r);
    return {r.right > 0 ? r.right : 32, r.bottom > 0 ? r.bottom : 32};
}

}  // namespace

// A picture kept in memory, so a panel repaints from it instead of forgetting what was drawn.
class Win32CaptureSurface::Canvas {
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

Win32CaptureSurface::Win32CaptureSurface(HWND mainWindow, HWND capturePanel, Ticks ticks)
    : main_(mainWindow),
      panel_(capturePanel),
      ticks_(std::move(ticks)),
      panelPicture_(std::make_unique<Canvas>(
          clientSize(capturePanel).cx, clientSize(capturePanel).cy, capture::kPanelBackground)),
      overlayPicture_(
          std::make_unique<Canvas>(capture::kOverlaySize, capture::kOverlaySize, kWhite)) {}

Win32CaptureSurface::~Win32CaptureSurface() { destroyOverlay(); }

void Win32CaptureSurface::drawRestingPicture() {
    panelPicture_->setBackground(capture::kPanelBackground);
    panelPicture_->clear();
    panelPicture_->lines(capture::kLongCross.data(), capture::kLongCross.size(),
                         capture::kGlyphPen);
    panelPicture_->glyph(capture::kGlyphPen);
    panelPicture_->paintOn(panel_);
}

void Win32CaptureSurface::drawDragPicture() {
    panelPicture_->clear();
    panelPicture_->lines(capture::kLongCross.data(), capture::kLongCross.size(),
                         capture::kGlyphPen);
    panelPicture_->paintOn(panel_);
}

void Win32CaptureSurface::repaintPanel() { panelPicture_->paintOn(panel_); }

void Win32CaptureSurface::moveOverlay(int left, int top) {
    SetWindowPos(overlay_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32CaptureSurface::showOverlay() { ShowWindow(overlay_, SW_SHOWNOACTIVATE); }

void Win32CaptureSurface::clearOverlay() {
    overlayPicture_->clear();
    repaintOverlay();
}

void Win32CaptureSurface::drawOverlayGlyph() {
    overlayPicture_->glyph(capture::kGlyphPen);
    repaintOverlay();
}

void Win32CaptureSurface::writeOverlayText(const GbkText& text) {
    overlayPicture_->text(text);
    repaintOverlay();
}

void Win32CaptureSurface::makeOverlayLayered() {
    const LONG style = GetWindowLongW(overlay_, GWL_EXSTYLE);
    SetWindowLongW(overlay_, GWL_EXSTYLE, style | WS_EX_TRANSPARENT | WS_EX_LAYERED);
    SetLayeredWindowAttributes(overlay_, capture::kOverlayColourKey,
                               static_cast<BYTE>(capture::kOverlayAlpha), LWA_COLORKEY | LWA_ALPHA);
}

void Win32CaptureSurface::invertFrame(WindowHandle window) {
    invertWindowFrame(win32::hwnd(window));
}

int Win32CaptureSurface::showCursor(bool show) { return ShowCursor(show ? TRUE : FALSE); }

void Win32CaptureSurface::setMainTopmost(bool topmost) {
    SetWindowPos(main_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32CaptureSurface::repaintOverlay() {
    if (overlay_) InvalidateRect(overlay_, nullptr, FALSE);
}

void Win32CaptureSurface::registerOverlayClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Win32CaptureSurface::overlayProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kOverlayClass;
    registered = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

LRESULT CALLBACK Win32CaptureSurface::overlayProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
    auto* self = reinterpret_cast<Win32CaptureSurface*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE: {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            break;
        }
        case WM_TIMER:
            if (!self) break;
            if (wParam == kFollowTimer && self->ticks_.follow) self->ticks_.follow();
            if (wParam == kCaptureTimer && self->ticks_.capture) self->ticks_.capture();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the picture covers every pixel
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            if (self) self->overlayPicture_->paintOn(dc);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_NCDESTROY:
            // Owned windows go with their owner: never hold a handle that may be reused.
            if (self && self->overlay_ == window) self->overlay_ = nullptr;
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

bool Win32CaptureSurface::createOverlay() {
    registerOverlayClass();
    overlayPicture_->clear();
    // Layered and click-through from the first moment: WindowFromPoint of the very first
    // capture tick must see the window below, not the overlay under the cursor.
    overlay_ =
        CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                        kOverlayClass, L"", WS_POPUP, 0, 0, capture::kOverlaySize,
                        capture::kOverlaySize, main_, nullptr, GetModuleHandleW(nullptr), this);
    if (!overlay_) return false;
    makeOverlayLayered();
    SetTimer(overlay_, kFollowTimer, capture::kFollowMs, nullptr);
    SetTimer(overlay_, kCaptureTimer, capture::kCaptureTickMs, nullptr);
    return true;
}

void Win32CaptureSurface::destroyOverlay() {
    if (overlay_) {
        KillTimer(overlay_, kFollowTimer);
        KillTimer(overlay_, kCaptureTimer);
        DestroyWindow(overlay_);
        overlay_ = nullptr;
    }
    if (GetCapture() == panel_) ReleaseCapture();
}

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
