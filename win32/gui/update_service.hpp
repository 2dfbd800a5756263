#pragma once
// The online update of the main window: one notice check per start, asked in the background
// once the window is up, and the update window when the notice asks for it. Addresses come from
// cantorel.ini [network] update_notice and update_info; without them nothing is asked.

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "app/update_settings.hpp"
#include "update/update_checker.hpp"
#include "win32/gui/update_window.hpp"
#include "win32/message_boxes_win32.hpp"
#include "win32/web_fetcher_win32.hpp"

class UpdateService {
  public:
    UpdateService(HWND mainWindow, GbkText programFolder, std::function<void()> saveSettings);
    ~UpdateService();

    /// Starts the check and returns at once.
    void start();

  private:
    void openWindow(std::function<void()> closed);

    HWND mainWindow_;
    GbkText programFolder_;
    std::function<void()> saveSettings_;
    UpdateSettings settings_;
    std::shared_ptr<HttpClient> client_;
    Win32WebFetcher fetcher_;
    Win32MessageBoxes boxes_;
    UpdateChecker checker_;
    // Windows stay allocated until the program ends: a closed one may still be on the stack
    // when the next one opens (the question comes from inside its close).
    std::vector<std::unique_ptr<UpdateDownloadWindow>> windows_;
};
