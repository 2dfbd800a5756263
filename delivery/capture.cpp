#include "delivery/capture.hpp"

#include <string>

#include "delivery/app_state.hpp"
#include "delivery/privilege.hpp"
#include "ui/main_units.hpp"

namespace {

// ShowCursor raises the count by one per call, so a drag of n hidden ticks needs n + 1 calls.
// The bound only guards against a display count that never rises.
constexpr int kMaxCursorRestores = 100000;

}  // namespace

CaptureSession::CaptureSession(WindowSystem& windows, HOOK类& hook, CaptureSurface& surface,
                               MainUnits& units, AppState& app)
    : windows_(windows), hook_(hook), surface_(surface), units_(units), app_(app) {}

CaptureSession::~CaptureSession() {
    // The hook must not keep a pointer to a callback that is going away.
    if (superMode_) hook_.RemoveCallbacks(msg::kLButtonUp, true);
}

void CaptureSession::activated() { surface_.drawRestingPicture(); }

void CaptureSession::startDrag() {
    surface_.drawDragPicture();
    if (overlay_) return;
    if (!surface_.createOverlay()) return;
    overlay_ = true;
    offset_ = 0;
    followTick();
    surface_.showOverlay();
    captureTick();
    // The first tick may already have found the button up and ended the drag; a main window
    // left topmost after that would stay above everything for good.
    if (overlay_) surface_.setMainTopmost(true);
}

void CaptureSession::followTick() {
    if (!overlay_) return;
    const ScreenPoint cursor = windows_.cursorPos();
    surface_.moveOverlay(cursor.x - capture::kGlyphCentre + offset_,
                         cursor.y - capture::kGlyphCentre + offset_);
}

bool CaptureSession::isOwn(WindowHandle window) {
    const std::uint32_t pid = windows_.processIdOf(window);
    return pid != 0 && pid == windows_.currentProcessId();
}

void CaptureSession::frame(WindowHandle window) {
    if (windows_.isWindow(window)) surface_.invertFrame(window);
}

void CaptureSession::leaveSuperMode() {
    hook_.RemoveCallbacks(msg::kLButtonUp, false);  // drops every callback, unhooks
    superMode_ = false;
    offset_ = 0;
}

void CaptureSession::captureTick() {
    // A tick of a timer that was already queued when the drag ended finds no overlay.
    if (busy_ || !overlay_) return;
    busy_ = true;

    const WindowHandle under = windows_.windowFromPoint(windows_.cursorPos());
    const bool own = isOwn(under);
    if (own) app_.targetWindow = 0;

    surface_.clearOverlay();
    if (under != 0) {
        leaveSuperMode();
        surface_.drawOverlayGlyph();
        // Once per tick with a window found: the count keeps falling, and the end of the drag
        // raises it until the cursor shows again.
        surface_.showCursor(false);
    } else {
        // Repeated registrations of the same callback are refused by the hook, harmlessly.
        hook_.SetCallback(&release_, msg::kLButtonUp);
        superMode_ = true;
        offset_ = capture::kSuperModeOffset;
        surface_.writeOverlayText(capture::kSuperModeText);
    }
    surface_.makeOverlayLayered();

    const ScreenPoint cursor = windows_.cursorPos();
    units_.编辑框_鼠标位置_X.setText(std::to_string(cursor.x));
    units_.编辑框_鼠标位置_Y.setText(std::to_string(cursor.y));
    if (!own) {
        const ScreenPoint origin = windows_.clientOrigin(under);
        units_.编辑框_窗口鼠标位置_X.setText(std::to_string(cursor.x - origin.x));
        units_.编辑框_窗口鼠标位置_Y.setText(std::to_string(cursor.y - origin.y));

        if (under != lastFramed_) {
            frame(lastFramed_);  // inverting again erases the old frame
            frame(under);
            lastFramed_ = under;
            app_.targetWindow = under;
            units_.透明标签1.setText(capture::kTitlePrefix +
                                     (under != 0 ? windows_.windowTitle(under) : GbkText()));
        } else if (under != 0) {
            // Back on the framed window after passing over one of ours, which cleared the
            // target: the window that carries the frame is the one the user will get.
            app_.targetWindow = under;
        }
    }

    if (!windows_.leftButtonDown()) endDrag();
    busy_ = false;
}

void CaptureSession::cancel() {
    if (overlay_ && !busy_) endDrag();
}

void CaptureSession::endDrag() {
    for (int i = 0; i < kMaxCursorRestores && surface_.showCursor(true) < 0; ++i) {
    }
    surface_.setMainTopmost(false);
    leaveSuperMode();
    frame(lastFramed_);
    lastFramed_ = 0;
    surface_.destroyOverlay();
    overlay_ = false;
    // Windows would drop every line posted to a client of higher privilege: say so now.
    if (app_.targetWindow != 0 && windows_.outranksUs(app_.targetWindow))
        units_.状态条1.setPart(StatusBar::kMessage, privilege::kClientElevated);
}

void CaptureSession::released(WindowHandle window) {
    // With nothing under the point the hook reports the foreground window, which during a drag
    // is our own main window; that is never a target.
    app_.targetWindow = isOwn(window) ? 0 : window;
}
