// Cantorel.exe: opens the main window and runs the message loop until it is gone.
#include <windows.h>
// The common-control headers need what windows.h declares.
#include <commctrl.h>
#include <ole2.h>

#include "platform/files.hpp"
#include "win32/gui/hand_over.hpp"
#include "win32/gui/main_window.hpp"
#include "win32/gui/single_copy.hpp"
#include "win32/message_boxes_win32.hpp"
#include "win32/message_loop.hpp"
#include "win32/wide_path.hpp"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES |
                                                       ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    // The shell's folder browser needs COM on this thread.
    const HRESULT ole = OleInitialize(nullptr);

    // One copy per program folder; a second start shows the first and ends.
    const std::wstring folder = win32::widePath(files::programFolder());
    SingleCopy copy(folder, 10000);
    if (!copy.held()) {
        SingleCopy::showRunningCopy(folder, 5000);
        if (SUCCEEDED(ole)) OleUninitialize();
        return 0;
    }
    hand_over::add([&copy] { copy.release(); }, [&copy] { copy.retake(); });

    int code = 1;
    {
        // The window's logic owns the program-wide state; leaving this block is the exit step
        // that releases it.
        MainWindow window(MainWindowOptions{files::programFolder()});
        if (window.create()) {
            ShowWindow(window.hwnd(), show);
            UpdateWindow(window.hwnd());
            message_loop::setFilter([&window](MSG& m) { return window.translateMessage(m); });
            code = message_loop::run();
            message_loop::setFilter({});
        } else {
            // Started from Explorer there is no console: without a box the program would
            // simply never appear.
            Win32MessageBoxes().show("主窗口无法创建，程序无法启动。", "温馨提示",
                                     mb::kIconInformation | mb::kTaskModal);
        }
    }
    if (SUCCEEDED(ole)) OleUninitialize();
    return code;
}
