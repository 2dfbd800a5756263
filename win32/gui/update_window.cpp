#include "win32/gui/update_window.hpp"

#include <windows.h>
// The common-control headers need what windows.h declares.
#include <commctrl.h>

#include <atomic>
#include <thread>

#include "platform/files.hpp"
#include "platform/sha256.hpp"
#include "ui/dpi_scale.hpp"
#include "update/program_name.hpp"
#include "win32/gui/dpi_win32.hpp"
#include "win32/gui/gui_text.hpp"
#include "win32/gui/hand_over.hpp"
#include "win32/gui/top_window.hpp"
#include "win32/wide_path.hpp"

namespace {

constexpr wchar_t kClass[] = L"CantorelUpdateWindow";
constexpr UINT kDownloadDone = WM_APP + 0x51;
constexpr UINT_PTR kTickTimer = 1;
// The client area the 248 x 128 frame of the old program left on Windows 7: the progress bar,
// the labels and the first row of buttons below them.
constexpr int kClientWidth = 242;
constexpr int kClientHeight = 99;

// A program is larger and slower than a page: the download may take as long as it keeps
// moving, up to an hour, and may be up to 512 MB.
FetchLimits downloadLimits(FetchLimits limits) {
    limits.totalSeconds = std::max(limits.totalSeconds, 3600);
    limits.maxBytes = std::max<std::size_t>(limits.maxBytes, 512u * 1024 * 1024);
    return limits;
}

bool writeWhole(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        DWORD wrote = 0;
        const DWORD part = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        ok = WriteFile(file, bytes.data() + done, part, &wrote, nullptr) && wrote == part;
        done += wrote;
    }
    ok = ok && FlushFileBuffers(file);
    CloseHandle(file);
    if (!ok) DeleteFileW(path.c_str());
    return ok;
}

bool startProgram(const std::wstring& path, const std::wstring& folder) {
    // Quoted, so a folder with a blank in its name cannot make Windows run another file.
    std::wstring command = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process))
        return false;
    WaitForInputIdle(process.hProcess, 1000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

GbkText runningProgramName() {
    wchar_t path[MAX_PATH * 4] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring text(path, n);
    const std::size_t slash = text.find_last_of(L"\\/");
    return win32::nameText(files::programFolder(),
                           slash == std::wstring::npos ? text : text.substr(slash + 1));
}

}  // namespace

/// What the download thread and the window share; the thread may outlive the window.
struct UpdateDownloadWindow::Job {
    std::atomic<bool> cancel{false};
    std::atomic<long long> received{0};
    std::atomic<long long> total{0};
    FetchOutcome outcome;  // written by the thread before it posts kDownloadDone
};

UpdateDownloadWindow::UpdateDownloadWindow(UpdateWindowOptions options, WebFetcher& fetcher,
                                           std::shared_ptr<HttpClient> client)
    : options_(std::move(options)), fetcher_(fetcher), client_(std::move(client)) {}

UpdateDownloadWindow::~UpdateDownloadWindow() {
    if (job_) job_->cancel.store(true);
    if (hwnd_) DestroyWindow(hwnd_);
    if (font_) DeleteObject(font_);
}

bool UpdateDownloadWindow::open() {
    if (!gui::registerTopWindowClass(kClass, proc)) return false;
    // The settings are safe before anything else happens: the update may end this program.
    if (options_.saveSettings) options_.saveSettings();
    CreateWindowExW(0, kClass, gui::wide("在线更新中请稍后").c_str(),
                    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 50, 50, 248, 128,
                    nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) return false;
    // Laid out at 96 pixels per inch, made at the density of the screen it opens on.
    const int dpi = gui::windowDpi(hwnd_);
    font_ = gui::createMessageFont(dpi);
    const SIZE frame =
        gui::frameSize(hwnd_, dpi::scale(kClientWidth, dpi), dpi::scale(kClientHeight, dpi), dpi);
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.cx, frame.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    createUnits();
    // Hidden, not destroyed: should the update fail, the user gets the program back as it was.
    if (options_.mainWindow) ShowWindow(options_.mainWindow, SW_HIDE);
    ShowWindow(hwnd_, SW_SHOW);
    ::UpdateWindow(hwnd_);
    fetcher_.start(FetchRequest{options_.infoAddress, {}, options_.limits},
                   [this](FetchOutcome page) { onInfo(page); });
    return true;
}

void UpdateDownloadWindow::createUnits() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    struct Unit {
        int id;
        const wchar_t* kind;
        const char* text;
        DWORD style;
        int x, y, w, h;
    };
    namespace ids = update_ids;
    // The last four sit below the window's visible area, as they always have.
    const Unit units[] = {
        {ids::k进度条, PROGRESS_CLASSW, "", 0, 2, 4, 238, 13},
        {ids::k下载进度, L"STATIC", kConnectingText, SS_LEFT, 6, 23, 195, 16},
        {ids::k下载速度, L"STATIC", "下载速度:", SS_LEFT, 6, 36, 232, 16},
        {ids::k已经下载, L"STATIC", "已经下载:", SS_LEFT, 6, 50, 232, 16},
        {ids::k已用时间, L"STATIC", "已用时间:", SS_LEFT, 6, 63, 232, 16},
        {ids::k剩余时间, L"STATIC", "剩余时间:", SS_LEFT, 6, 78, 232, 16},
        {ids::k按钮1, L"BUTTON", "在线下载更新", BS_PUSHBUTTON, 3, 175, 104, 24},
        {ids::k按钮2, L"BUTTON", "进入指定地点下载", BS_PUSHBUTTON, 176, 176, 112, 24},
        {ids::k超级链接框1, L"STATIC", "", SS_LEFT | SS_NOTIFY, 8, 176, 272, 24},
        {ids::k图片框1, L"STATIC", "", SS_BITMAP, 16, 239, 278, 48},
    };
    const int dpi = gui::windowDpi(hwnd_);
    for (const Unit& unit : units) {
        const dpi::Box at = dpi::scale(dpi::Box{unit.x, unit.y, unit.w, unit.h}, dpi);
        HWND control =
            CreateWindowExW(0, unit.kind, gui::wide(unit.text).c_str(),
                            WS_CHILD | WS_VISIBLE | unit.style, at.x, at.y, at.width, at.height,
                            hwnd_, reinterpret_cast<HMENU>(INT_PTR(unit.id)), module, nullptr);
        if (control && font_) SendMessageW(control, WM_SETFONT, WPARAM(font_), FALSE);
    }
    SendDlgItemMessageW(hwnd_, ids::k进度条, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
}

LRESULT CALLBACK UpdateDownloadWindow::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<UpdateDownloadWindow*>(
            reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<UpdateDownloadWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT UpdateDownloadWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kTickTimer) onTick();
            return 0;
        case kDownloadDone:
            onDownloaded();
            return 0;
        case WM_CLOSE: {
            // The transfer stops within a second; nothing was written for it yet.
            fail(cancelledReason());
            DestroyWindow(hwnd_);
            auto closed = options_.closed;
            if (closed) closed();
            return 0;
        }
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void UpdateDownloadWindow::setText(int id, const GbkText& text) {
    if (hwnd_) gui::setWindowText(GetDlgItem(hwnd_, id), text);
}

void UpdateDownloadWindow::onInfo(const FetchOutcome& page) {
    if (finished_) return;
    InfoVerdict verdict = checkUpdateInfo(page);
    if (!verdict.info) return fail(verdict.reason);
    info_ = std::move(*verdict.info);
    startDownload(info_);
}

void UpdateDownloadWindow::startDownload(const UpdateInfo& info) {
    HWND button = GetDlgItem(hwnd_, update_ids::k按钮1);
    gui::setWindowText(button, "正在更新,请稍等.");
    EnableWindow(button, FALSE);

    job_ = std::make_shared<Job>();
    FetchRequest request{info.address, {}, downloadLimits(options_.limits)};
    request.progress = [job = job_.get()](std::size_t received, long long announced) {
        job->received.store(static_cast<long long>(received));
        if (announced > 0) job->total.store(announced);
    };
    std::thread([client = client_, job = job_, request = std::move(request), window = hwnd_] {
        job->outcome = client->fetch(request, &job->cancel);
        // A window closed meanwhile is gone, and so is the message: nothing is left to free.
        if (!job->cancel.load()) PostMessageW(window, kDownloadDone, 0, 0);
    }).detach();
    SetTimer(hwnd_, kTickTimer, 1000, nullptr);
}

void UpdateDownloadWindow::onTick() {
    if (!job_ || finished_) return;
    const std::int64_t received = job_->received.load();
    elapsed_.tick();
    const ProgressTexts texts =
        progressTexts({received, job_->total.load(), received - lastReceived_}, elapsed_);
    lastReceived_ = received;
    setText(update_ids::k下载进度, texts.progress);
    SendDlgItemMessageW(hwnd_, update_ids::k进度条, PBM_SETPOS, texts.bar, 0);
    setText(update_ids::k下载速度, texts.speed);
    setText(update_ids::k已经下载, texts.received);
    setText(update_ids::k已用时间, texts.elapsed);
    setText(update_ids::k剩余时间, texts.remaining);
}

void UpdateDownloadWindow::onDownloaded() {
    if (!job_ || finished_) return;
    KillTimer(hwnd_, kTickTimer);
    onTick();  // the last bytes show before the verdict
    const FetchOutcome& outcome = job_->outcome;
    if (auto refused = refuseDownload(outcome, *info_.checksum, sha256Hex)) return fail(*refused);
    if (!install(outcome.body)) return;
    finished_ = true;
    // The new program runs: this one ends the way a close ends it (the settings are saved).
    job_.reset();
    DestroyWindow(hwnd_);
    if (options_.mainWindow) PostMessageW(options_.mainWindow, WM_CLOSE, 0, 0);
}

bool UpdateDownloadWindow::install(const std::string& body) {
    const InstallPaths paths =
        installPaths(options_.programFolder, runningProgramName(), info_.programName);
    const std::wstring temporary = win32::widePath(paths.temporary);
    const std::wstring target = win32::widePath(paths.target);
    const std::wstring old = win32::widePath(paths.oldProgram);
    if (!writeWhole(temporary, body)) {
        fail(saveFailedReason());
        return false;
    }
    // Windows lets a running program's file be renamed though not replaced: it steps aside
    // and the new one takes its name.
    const bool movedAside = !old.empty();
    if (movedAside && !MoveFileExW(target.c_str(), old.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary.c_str());
        fail(saveFailedReason());
        return false;
    }
    auto undo = [&] {
        if (movedAside) MoveFileExW(old.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
    };
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary.c_str());
        undo();
        fail(saveFailedReason());
        return false;
    }
    // The new program finds the hotkeys and the one-copy lock free; they come back if it
    // does not start.
    hand_over::release();
    if (!startProgram(target, win32::widePath(options_.programFolder))) {
        hand_over::retake();
        undo();
        fail(startFailedReason());
        return false;
    }
    return true;
}

void UpdateDownloadWindow::fail(const GbkText& reason) {
    if (finished_) return;
    finished_ = true;
    if (job_) job_->cancel.store(true);
    if (hwnd_) KillTimer(hwnd_, kTickTimer);
    setText(update_ids::k下载进度, reason);
    // The program goes on as before the update.
    if (options_.mainWindow) ShowWindow(options_.mainWindow, SW_SHOW);
    // The reason stays readable over the main window, which opens at the same place.
    if (hwnd_) {
        SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(hwnd_);
    }
}
