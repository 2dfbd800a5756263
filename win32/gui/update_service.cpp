#include "win32/gui/update_service.hpp"

#include <windows.h>

#include <string>

#include "platform/signature.hpp"
#include "update/update_install.hpp"
#include "update/update_signature.hpp"
#include "win32/wide_path.hpp"

namespace {

// The file name this process runs from ("Cantorel.exe").
GbkText runningProgramName() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    const std::size_t slash = path.find_last_of(L"\\/");
    return win32::pathText(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

}  // namespace

UpdateService::UpdateService(HWND mainWindow, GbkText programFolder,
                             std::function<void()> saveSettings)
    : mainWindow_(mainWindow),
      programFolder_(std::move(programFolder)),
      saveSettings_(std::move(saveSettings)),
      settings_(loadUpdateSettings(programFolder_)),
      client_(makeHttpClient()),
      fetcher_(client_),
      checker_(fetcher_, boxes_, settings_.noticeAddress, settings_.limits,
               [this](std::function<void()> closed) { openWindow(std::move(closed)); }) {
    // An update that a crash or a power loss cut short is put right before anything else.
    repairInterruptedUpdate(programFolder_, runningProgramName());
}

UpdateService::~UpdateService() {
    fetcher_.cancelAll();
    windows_.clear();
}

void UpdateService::start() { checker_.run(); }

void UpdateService::openWindow(std::function<void()> closed) {
    // Only one update at a time.
    for (const auto& window : windows_)
        if (window->hwnd()) return;
    UpdateTrust trust{updateKeys(kReleaseUpdateKey, settings_.updateKey), CANTOREL_VERSION,
                      verifyP256Sha256};
    UpdateWindowOptions options{mainWindow_,      programFolder_,   settings_.infoAddress,
                                std::move(trust), settings_.limits, saveSettings_,
                                std::move(closed)};
    auto window = std::make_unique<UpdateDownloadWindow>(std::move(options), fetcher_, client_);
    if (window->open()) windows_.push_back(std::move(window));
}
