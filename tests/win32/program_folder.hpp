#pragma once
// Scratch program folders for tests that host the real main window, so one test's settings
// files never mix with another's. A folder is emptied when it is made again, not at the end,
// so the files of a failed test are still there to read.
#include <windows.h>
// The common-control headers need what windows.h declares.
#include <commctrl.h>

#include <filesystem>
#include <string>

#include "win32/gui/gui_text.hpp"

namespace test_program {

/// An empty folder `name` (ASCII) in the tests' own part of the temporary folder.
inline std::filesystem::path freshFolder(const std::string& name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path folder = std::filesystem::path(temp) / L"cantorel-window-test" /
                                         std::wstring(name.begin(), name.end());
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder);
    return folder;
}

inline GbkText gbkPath(const std::filesystem::path& path) { return gui::narrow(path.wstring()); }

/// The common controls the main window is made of, registered once per process.
inline void initCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
}

}  // namespace test_program
