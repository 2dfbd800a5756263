// The GUI thread's message loop.
#include "win32/message_loop.hpp"

namespace message_loop {
namespace {

// The program has one GUI thread; these belong to it.
Filter filter_;
bool quitPending_ = false;
int pumpDepth_ = 0;
WPARAM quitCode_ = 0;

void dispatch(MSG& m) {
    if (filter_ && filter_(m)) return;
    TranslateMessage(&m);
    DispatchMessageW(&m);
}

}  // namespace

void setFilter(Filter filter) { filter_ = std::move(filter); }

int run() {
    if (quitPending_) {
        quitPending_ = false;
        return static_cast<int>(quitCode_);
    }
    MSG m;
    for (;;) {
        const BOOL got = GetMessageW(&m, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(m.wParam);
        if (got == -1) return -1;
        dispatch(m);
    }
}

bool pumpPending() {
    if (quitPending_) return false;
    struct Depth {
        Depth() { ++pumpDepth_; }
        ~Depth() { --pumpDepth_; }
    } depth;
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            // Keep it for the outer loop: re-posting it now would make this loop see it again.
            quitPending_ = true;
            quitCode_ = m.wParam;
            return false;
        }
        dispatch(m);
    }
    return true;
}

bool insidePump() { return pumpDepth_ > 0; }

bool quitPending() { return quitPending_; }

void finishQuit() {
    if (!quitPending_) return;
    quitPending_ = false;
    PostQuitMessage(static_cast<int>(quitCode_));
}

}  // namespace message_loop
