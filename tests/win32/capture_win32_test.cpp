// Capture on real windows: the low-level hook, the inverted frame, the panel's picture and whole
// drags driven with SendInput. Needs a display (run under Xvfb).
#include "win32/capture_win32.hpp"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "delivery/app_state.hpp"
#include "delivery/capture.hpp"
#include "delivery/mouse_hook.hpp"
#include "ui/main_units.hpp"
#include "ui/memory_units.hpp"
#include "win32/capture_surface_win32.hpp"
#include "win32/mouse_hook_win32.hpp"
#include "win32/window_system_win32.hpp"

namespace {

constexpr COLORREF kPaint = RGB(10, 120, 200);
std::function<void()> g_panelDown;

LRESULT CALLBACK testProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            HBRUSH brush = CreateSolidBrush(kPaint);
            FillRect(dc, &ps.rcPaint, brush);
            DeleteObject(brush);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
            if (GetWindowLongPtrW(window, GWLP_ID) == 7 && g_panelDown) g_panelDown();
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND makeWindow(int x, int y, int w, int h, HWND parent = nullptr, int id = 0) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = testProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CaptureTestWindow";
        RegisterClassW(&wc);
        registered = true;
    }
    const DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_VISIBLE;
    return CreateWindowExW(0, L"CaptureTestWindow", L"capture test", style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

void pump(int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        Sleep(1);
    }
}

void button(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof(in));
}

COLORREF pixel(HWND window, int x, int y) {
    HDC dc = GetWindowDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

COLORREF inverted(COLORREF c) {
    return RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c));
}

TEST(HookBackendWin32, SeesButtonsWithTheWindowUnderThePointUntilRemoved) {
    HWND target = makeWindow(400, 300, 200, 150);
    pump(100);
    std::vector<HookEvent> seen;
    Win32HookBackend backend;
    ASSERT_TRUE(backend.install([&](const HookEvent& e) { seen.push_back(e); }));
    SetCursorPos(500, 375);
    button(true);
    button(false);
    pump(300);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].message, static_cast<unsigned>(WM_LBUTTONDOWN));
    EXPECT_EQ(seen[1].message, static_cast<unsigned>(WM_LBUTTONUP));
    EXPECT_EQ(seen[1].paramL, 500);
    EXPECT_EQ(seen[1].paramH, 375);
    EXPECT_EQ(seen[1].window, reinterpret_cast<WindowHandle>(target));
    EXPECT_GE(seen[1].time, seen[0].time);

    backend.uninstall();
    button(true);
    button(false);
    pump(200);
    EXPECT_EQ(seen.size(), 2u);
    DestroyWindow(target);
}

TEST(CaptureWin32, FrameDrawnTwiceRestoresThePixels) {
    HWND w = makeWindow(200, 200, 120, 90);
    pump(150);
    const COLORREF edge = pixel(w, 1, 1);
    const COLORREF inside = pixel(w, 40, 40);
    ASSERT_EQ(edge, kPaint);

    invertWindowFrame(w);
    EXPECT_EQ(pixel(w, 1, 1), inverted(kPaint));
    EXPECT_EQ(pixel(w, 118, 88), inverted(kPaint));
    EXPECT_EQ(pixel(w, 40, 40), inside);

    invertWindowFrame(w);
    EXPECT_EQ(pixel(w, 1, 1), edge);
    EXPECT_EQ(pixel(w, 118, 88), edge);
    invertWindowFrame(nullptr);  // no window: nothing happens
    DestroyWindow(w);
}

class CaptureDrag : public ::testing::Test {
  protected:
    void SetUp() override {
        main = makeWindow(100, 100, 300, 200);
        panel = makeWindow(10, 10, 32, 32, main, 7);
        capture = std::make_unique<Win32Capture>(main, panel, units, app, windows);
        g_panelDown = [this] { capture->onPanelButtonDown(); };
        pump(100);
        capture->paintPanel();
    }
    void TearDown() override {
        g_panelDown = nullptr;
        capture.reset();
        DestroyWindow(main);
        pump(50);
    }
    HWND overlay() { return FindWindowW(L"CantorelCaptureOverlay", nullptr); }
    bool topmost(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    /// The display count, left unchanged.
    int cursorCount() {
        const int c = ShowCursor(TRUE) - 1;
        ShowCursor(FALSE);
        return c;
    }
    GbkText label() { return memory.get<TextUnit>("透明标签1").text(); }

    MemoryUnits memory;
    MainUnits units{memory};
    AppState app;
    Win32WindowSystem windows;
    HWND main = nullptr;
    HWND panel = nullptr;
    std::unique_ptr<Win32Capture> capture;
};

TEST_F(CaptureDrag, RestingAndDragPicturesOnThePanel) {
    const COLORREF pen = capture::kGlyphPen;
    const COLORREF back = capture::kPanelBackground;
    EXPECT_EQ(pen, RGB(0, 136, 255));
    EXPECT_EQ(back, RGB(240, 255, 240));
    struct Probe {
        int x, y;
        COLORREF resting, dragging;
    };
    const Probe probes[] = {
        {1, 1, back, back},   {0, 14, pen, pen},    {14, 0, pen, pen},
        {14, 14, back, pen},  {9, 12, pen, back},   {12, 9, pen, back},
        {20, 20, back, back}, {19, 17, back, back}, {14, 30, pen, pen},
    };
    for (const Probe& p : probes) {
        EXPECT_EQ(pixel(panel, p.x, p.y), p.resting) << p.x << "," << p.y;
    }

    SetCursorPos(100 + 10 + 14, 100 + 10 + 14);
    button(true);
    pump(150);
    ASSERT_TRUE(capture->dragInProgress());
    for (const Probe& p : probes) {
        EXPECT_EQ(pixel(panel, p.x, p.y), p.dragging) << p.x << "," << p.y;
    }
    capture->paintPanel();  // a repaint mid-drag keeps the drag picture
    EXPECT_EQ(pixel(panel, 9, 12), back);
    button(false);
    pump(250);
    EXPECT_FALSE(capture->dragInProgress());
}

TEST_F(CaptureDrag, QuickClickOnThePanelEndsWithNoTargetAndEverythingRestored) {
    app.targetWindow = 12345;
    const int countBefore = cursorCount();
    SetCursorPos(124, 124);
    button(true);
    pump(250);
    ASSERT_TRUE(capture->dragInProgress());
    HWND o = overlay();
    ASSERT_NE(o, nullptr);
    EXPECT_TRUE(IsWindowVisible(o));
    const LONG ex = GetWindowLongW(o, GWL_EXSTYLE);
    EXPECT_EQ(ex & (WS_EX_LAYERED | WS_EX_TRANSPARENT), WS_EX_LAYERED | WS_EX_TRANSPARENT);
    EXPECT_EQ(GetWindow(o, GW_OWNER), main);
    // Owned windows follow their owner to the top; Wine lifts only the overlay itself, which is
    // the window that has to stay above everything.
    EXPECT_TRUE(topmost(o));
    EXPECT_LT(cursorCount(), 0);

    SetCursorPos(250, 200);
    pump(250);  // at least one capture tick
    RECT r;
    GetWindowRect(o, &r);
    EXPECT_EQ(r.left, 250 - 14);
    EXPECT_EQ(r.top, 200 - 14);
    EXPECT_EQ(r.right - r.left, 31);
    EXPECT_EQ(memory.get<TextUnit>("编辑框_鼠标位置_X").text(), "250");

    button(false);
    pump(250);
    EXPECT_FALSE(capture->dragInProgress());
    EXPECT_EQ(overlay(), nullptr);
    EXPECT_FALSE(topmost(main));
    EXPECT_EQ(app.targetWindow, 0u);
    EXPECT_EQ(cursorCount(), countBefore);
    EXPECT_FALSE(capture->hook().installed());
}

TEST_F(CaptureDrag, ClosingMidDragRestoresCursorTopmostAndMouse) {
    const int countBefore = cursorCount();
    SetCursorPos(124, 124);
    button(true);
    pump(250);
    ASSERT_TRUE(capture->dragInProgress());
    ASSERT_LT(cursorCount(), countBefore);

    capture.reset();
    EXPECT_EQ(overlay(), nullptr);
    EXPECT_FALSE(topmost(main));
    EXPECT_EQ(cursorCount(), countBefore);
    EXPECT_NE(GetCapture(), panel);
    button(false);
    pump(100);
}

TEST_F(CaptureDrag, DragOntoAnotherProgramMakesItTheTarget) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    wchar_t command[] = L"notepad.exe";
    ASSERT_TRUE(
        CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    WaitForInputIdle(pi.hProcess, 5000);
    HWND other = nullptr;
    for (int i = 0; i < 50 && !other; ++i) {
        pump(100);
        struct Find {
            DWORD pid;
            HWND found;
        } find{pi.dwProcessId, nullptr};
        EnumWindows(
            [](HWND w, LPARAM p) -> BOOL {
                auto* f = reinterpret_cast<Find*>(p);
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                if (pid == f->pid && IsWindowVisible(w)) {
                    f->found = w;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&find));
        other = find.found;
    }
    ASSERT_NE(other, nullptr);
    MoveWindow(other, 500, 400, 300, 250, TRUE);
    pump(300);

    SetCursorPos(124, 124);
    button(true);
    pump(150);
    SetCursorPos(650, 525);
    pump(300);
    EXPECT_TRUE(capture->dragInProgress());
    const WindowHandle during = app.targetWindow;
    button(false);
    pump(300);

    EXPECT_FALSE(capture->dragInProgress());
    EXPECT_NE(app.targetWindow, 0u);
    EXPECT_EQ(app.targetWindow, during);
    EXPECT_EQ(windows.processIdOf(app.targetWindow), pi.dwProcessId);
    EXPECT_EQ(label().rfind(capture::kTitlePrefix, 0), 0u);

    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

}  // namespace
