#include "win32/gui/update_window.hpp"

#include <windows.h>
// The common-control headers need what windows.h declares.
#include <commctrl.h>

#include <atomic>
#include <future>
#include <thread>

#include "platform/files.hpp"
#include "platform/sha256.hpp"
#include "text/web_address.hpp"
#include "ui/dpi_scale.hpp"
#include "update/update_install.hpp"
#include "win32/gui/dpi_win32.hpp"
#include "win32/gui/gui_text.hpp"
#include "win32/gui/hand_over.hpp"
#include "win32/gui/top_window.hpp"
#include "win32/message_boxes_win32.hpp"
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

}  // namespace

/// What the download thread and the window share; the thread may outlive the window.
struct UpdateDownloadWindow::Job {
    std::atomic<bool> cancel{false};
    std::atomic<long long> received{0};
    std::atomic<long long> total{0};
    GbkText path;  // the new file the download goes to
    std::unique_ptr<files::NewFile> file;
    Sha256Stream hash;
    std::promise<void> ended;  // set when the thread has let go of the file
    // Written by the thread before it posts kDownloadDone:
    FetchOutcome outcome;
    bool written = true;  // every part reached the disk
    std::optional<std::string> digest;
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
    // A page that came over plain http could be anybody's.
    if (!web_address::isSecureOrLoopback(options_.infoAddress)) {
        ShowWindow(hwnd_, SW_SHOW);
        fail("更新失败：更新信息地址不是 https");
        return true;
    }
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
    InfoVerdict verdict = checkUpdateInfo(page, options_.trust);
    if (!verdict.info) return fail(verdict.reason);
    info_ = std::move(*verdict.info);
    startDownload(info_);
}

void UpdateDownloadWindow::startDownload(const UpdateInfo& info) {
    HWND button = GetDlgItem(hwnd_, update_ids::k按钮1);
    gui::setWindowText(button, "正在更新,请稍等.");
    EnableWindow(button, FALSE);

    job_ = std::make_shared<Job>();
    job_->file = files::createUnique(options_.programFolder, info.programName + ".",
                                     kDownloadSuffix, job_->path);
    if (!job_->file) {
        job_.reset();
        return fail(saveFailedReason());
    }
    FetchRequest request{info.address, {}, downloadLimits(options_.limits)};
    request.progress = [job = job_.get()](std::size_t received, long long announced) {
        job->received.store(static_cast<long long>(received));
        if (announced > 0) job->total.store(announced);
    };
    // Written and hashed as it arrives: a program of hundreds of megabytes never sits in memory.
    request.sink = [job = job_](std::string_view part) {
        job->hash.add(part);
        if (job->file->write(part)) return true;
        job->written = false;
        return false;
    };
    std::thread([client = client_, job = job_, request = std::move(request), window = hwnd_] {
        // Nothing may leave a thread: an exception there ends the program.
        try {
            job->outcome = client->fetch(request, &job->cancel);
        } catch (...) {
            job->outcome.failure = FetchFailure::Other;
        }
        job->written = job->file->close() && job->written;
        job->digest = job->hash.finish();
        // A window closed meanwhile is gone, and so is the message; what was written goes.
        if (job->cancel.load())
            files::remove(job->path);
        else
            PostMessageW(window, kDownloadDone, 0, 0);
        job->ended.set_value();
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
    const Job& job = *job_;
    std::optional<GbkText> refused = refuseDownload(job.outcome, *info_.checksum, job.digest);
    if (!job.written) refused = saveFailedReason();
    if (refused) {
        files::remove(job.path);
        return fail(*refused);
    }
    if (!install()) return;
    finished_ = true;
    // The new program runs: this one ends the way a close ends it (the settings are saved).
    job_.reset();
    DestroyWindow(hwnd_);
    if (options_.mainWindow) PostMessageW(options_.mainWindow, WM_CLOSE, 0, 0);
}

bool UpdateDownloadWindow::install() {
    const GbkText target = files::join(options_.programFolder, info_.programName);
    // The one failure the user must act on: the earlier program is no longer where it was.
    // The label is one short line, so the box gives the whole path.
    auto tellWhere = [](const GbkText& reason) {
        Win32MessageBoxes().show(reason, "字幕工具版本更新提示：",
                                 mb::kIconInformation | mb::kTaskModal);
    };
    const InstallResult placed = putInPlace(job_->path, target);
    if (!placed.ok) {
        fail(placed.reason);
        if (placed.undoFailed) tellWhere(placed.reason);
        return false;
    }
    // The new program finds the hotkeys and the one-copy lock free; they come back if it
    // does not start.
    hand_over::release();
    if (!startProgram(win32::widePath(target), win32::widePath(options_.programFolder))) {
        hand_over::retake();
        const std::optional<GbkText> undoFailed = undoInstall(target, placed.movedAside);
        fail(undoFailed ? *undoFailed : startFailedReason());
        if (undoFailed) tellWhere(*undoFailed);
        return false;
    }
    return true;
}

void UpdateDownloadWindow::fail(const GbkText& reason) {
    if (finished_) return;
    finished_ = true;
    if (job_) {
        job_->cancel.store(true);
        // The transfer ends within a second of the cancel and deletes its file; wait for that,
        // so what the user sees is a folder without a half download in it.
        job_->ended.get_future().wait_for(std::chrono::seconds(3));
    }
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
