#include "win32/capture_win32.hpp"

#include "delivery/capture.hpp"
#include "delivery/mouse_hook.hpp"
#include "win32/capture_surface_win32.hpp"
#include "win32/mouse_hook_win32.hpp"

struct Win32Capture::Impl {
    Impl(HWND mainWindow, HWND capturePanel, MainUnits& units, AppState& app, WindowSystem& windows)
        : hook(backend, windows),
          surface(mainWindow, capturePanel,
                  {[this] { session.followTick(); }, [this] { session.captureTick(); }}),
          session(windows, hook, surface, units, app) {}

    // Closing in the middle of a drag: the framed window must not keep its inverted frame, and
    // the cursor, topmost state and hook go back as at the end of any drag.
    ~Impl() { session.cancel(); }

    Win32HookBackend backend;
    HOOK类 hook;
    Win32CaptureSurface surface;
    CaptureSession session;
};

Win32Capture::Win32Capture(HWND mainWindow, HWND capturePanel, MainUnits& units, AppState& app,
                           WindowSystem& windows)
    : panel_(capturePanel),
      impl_(std::make_unique<Impl>(mainWindow, capturePanel, units, app, windows)) {}

Win32Capture::~Win32Capture() = default;

void Win32Capture::paintPanel() {
    if (impl_->session.dragging()) {
        impl_->surface.repaintPanel();
    } else {
        impl_->session.activated();
    }
}

void Win32Capture::onPanelButtonDown() {
    // With the mouse captured the release comes back to this thread wherever it happens, so the
    // button state the capture tick reads is current on Windows too, and the cursor stays
    // hidden over other programs' windows.
    if (panel_) SetCapture(panel_);
    impl_->session.startDrag();
    // No overlay came up: nothing will end a drag, so nothing may keep the mouse either.
    if (!impl_->session.dragging() && GetCapture() == panel_) ReleaseCapture();
}

bool Win32Capture::dragInProgress() const { return impl_->session.dragging(); }

HOOK类& Win32Capture::hook() { return impl_->hook; }
